// The set-list dialog and editor driven headless with the message-box
// double, and the main window showing a new set list.

#include "app/mainwindow.h"
#include "app/opening.h"
#include "base/modal.h"
#include "scriptedpresenter.h"
#include "setlists/setlistdialog.h"
#include "setlists/setlistsave.h"
#include "setlists/setlistwizard.h"
#include "songlist/songlistview.h"
#include "templibrary.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

using namespace setlists;

class TestSetListDialogs : public QObject {
    Q_OBJECT

    static void choose(QComboBox* combo, const QString& text) {
        const int i = combo->findText(text);
        QVERIFY2(i >= 0, qPrintable(text));
        combo->setCurrentIndex(i);
    }
    static QStringList items(const QComboBox* combo) {
        QStringList out;
        for (int i = 0; i < combo->count(); ++i)
            out << combo->itemText(i);
        return out;
    }
    static QStringList names(const QListWidget* list) {
        QStringList out;
        for (int i = 0; i < list->count(); ++i)
            out << list->item(i)->text();
        return out;
    }

private slots:
    void initTestCase() { frmOpening::setInterval(0); }
    void cleanup() { setModalHandler({}); }

    void rowsCascade() {
        TempLibrary lib;
        lib.addSong("a");
        frmSetListWizard w;
        w.frmSlw_InitForm();
        // No album yet: row 0 starts on play count and offers no album kind.
        QCOMPARE(w.cboCond[0]->currentText(), caption(Kind::PlayCount));
        QVERIFY(!items(w.cboCond[0]).contains(caption(Kind::Album)));
        QCOMPARE(w.cboCond[1]->currentText(), caption(Kind::Unset));
        QVERIFY(w.cboCond[1]->isEnabled());
        QVERIFY(!w.cboCond[2]->isEnabled());
        QCOMPARE(w.txtVal[0]->text(), QStringLiteral("0"));
        QVERIFY(!w.txtVal[0]->isHidden() && w.cboSelKind[0]->isHidden());

        choose(w.cboCond[1], caption(Kind::Genre));
        QCOMPARE(items(w.cboSelKind[1]), QStringList({"指定無し"}));
        QVERIFY(w.cboCond[2]->isEnabled());
        choose(w.cboCond[2], caption(Kind::Trend));
        choose(w.cboCond[3], caption(Kind::Priority));
        QCOMPARE(items(w.cboSelKind[2]), QStringList({kChecked, kUnchecked}));
        // Row 2 back to unset resets and disables rows 3 and 4.
        choose(w.cboCond[2], caption(Kind::Unset));
        QCOMPARE(w.cboCond[3]->currentText(), caption(Kind::Unset));
        QVERIFY(!w.cboCond[3]->isEnabled() && !w.cboCond[4]->isEnabled());
        QVERIFY(w.txtVal[3]->isHidden());
        QVERIFY(w.cboJoin[4]->isHidden()); // the last row has no joint

        lib.db().adoSetData(22, {"Best", "1", "1"});
        frmSetListWizard withAlbums;
        withAlbums.frmSlw_InitForm();
        QCOMPARE(withAlbums.cboCond[0]->currentText(), caption(Kind::Album));
        QCOMPARE(items(withAlbums.cboSelKind[0]), QStringList({"Best"}));
        QVERIFY(withAlbums.cboJoin[0]->isHidden());
        QVERIFY(!withAlbums.cboCond[1]->isEnabled());
        QVERIFY(!items(withAlbums.cboCond[1]).contains(caption(Kind::Album)));
        choose(withAlbums.cboCond[0], caption(Kind::Artist));
        QVERIFY(withAlbums.cboCond[1]->isEnabled());
    }

    void okChecksNameAndNumbers() {
        TempLibrary lib;
        ScriptedPresenter boxes;
        frmSetList list;
        frmSetListWizard w;
        w.setNameCheck([&](const QString& n) { return list.frmSetLst_ChkSameName(n); });
        w.frmSlw_InitForm();
        w.cmdOK_Click();
        QCOMPARE(boxes.boxes().back().text, QStringLiteral("セットリスト名称を入力して下さい"));
        w.txtSetListName->setText("ALL");
        w.cmdOK_Click();
        QCOMPARE(boxes.boxes().back().text,
                 QStringLiteral("同じ名前のセットリストが既に存在します"));
        // Names are compared ignoring case and width.
        for (const QString& taken : {QStringLiteral("all"), QStringLiteral("ＡＬＬ")}) {
            boxes.clear();
            w.txtSetListName->setText(taken);
            w.cmdOK_Click();
            QCOMPARE(boxes.boxes().size(), 1);
            QCOMPARE(boxes.boxes().back().text,
                     QStringLiteral("同じ名前のセットリストが既に存在します"));
        }
        w.txtSetListName->setText("Mix");
        w.txtVal[0]->setText("");
        w.cmdOK_Click();
        QCOMPARE(
            boxes.boxes().back().text,
            QStringLiteral(
                "選曲条件を設定して下さい\r\n条件１：0 から 999999 までの整数を入力して下さい"));
        QCOMPARE(boxes.boxes().back().title, QStringLiteral("Melodara Player"));
        QCOMPARE(w.result(), int(QDialog::Rejected));
        QVERIFY(!lib.db().queryExists(queryName("Mix")));
        w.txtVal[0]->setText("5");
        w.cmdOK_Click();
        QCOMPARE(w.result(), int(QDialog::Accepted));
        QVERIFY(lib.db().queryExists(queryName("Mix")));
    }

    void numberBoxAcceptsWhatOkAccepts_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("accepted");
        const QString priority = caption(Kind::Priority);
        const QString count = caption(Kind::PlayCount);
        QTest::newRow("0") << priority << "0" << true;
        QTest::newRow("100") << priority << "100" << true;
        QTest::newRow("101") << priority << "101" << false;
        QTest::newRow("999999") << count << "999999" << true;
        QTest::newRow("1000000") << count << "1000000" << false;
        QTest::newRow("-1") << count << "-1" << false;
        QTest::newRow("+7") << count << "+7" << false;
        QTest::newRow("1,000") << count << "1,000" << false;
        QTest::newRow("3.5") << priority << "3.5" << false;
    }
    void numberBoxAcceptsWhatOkAccepts() {
        QFETCH(QString, kind);
        QFETCH(QString, typed);
        QFETCH(bool, accepted);
        TempLibrary lib;
        ScriptedPresenter boxes;
        frmSetListWizard w;
        w.frmSlw_InitForm();
        w.txtSetListName->setText("new");
        choose(w.cboCond[0], caption(Kind::PlayCount));
        choose(w.cboCond[1], kind);
        w.txtVal[1]->clear();
        QTest::keyClicks(w.txtVal[1], typed);
        QCOMPARE(w.txtVal[1]->text(), typed); // nothing typed is dropped
        QCOMPARE(w.txtVal[1]->hasAcceptableInput(), accepted);
        w.cmdOK_Click();
        QCOMPARE(w.result(), int(accepted ? QDialog::Accepted : QDialog::Rejected));
        QCOMPARE(boxes.boxes().size(), accepted ? 0 : 1);
        if (!accepted) {
            const QString range = kind == caption(Kind::Priority) ? "100" : "999999";
            QCOMPARE(boxes.boxes().back().text, "選曲条件を設定して下さい\r\n条件２：0 から " +
                                                    range + " までの整数を入力して下さい");
        }
    }

    void editLoadsTheStoredRowAndRenames() {
        TempLibrary lib;
        ScriptedPresenter boxes;
        Conditions rows;
        rows[0] = {Kind::PlayCount, kAtMost, "3", "or"};
        rows[1] = {Kind::Trend, kAtLeast, kUnchecked, "and"};
        QString error;
        QVERIFY(saveSetList("Mine", rows, error));
        QVERIFY(saveSetList("Other", rows, error));
        frmSetList list;
        frmSetListWizard w;
        w.setNameCheck([&](const QString& n) { return list.frmSetLst_ChkSameName(n); });
        w.State = 1;
        w.setSetListName("Mine");
        w.frmSlw_InitForm();
        QCOMPARE(w.cboCond[0]->currentText(), caption(Kind::PlayCount));
        QCOMPARE(w.cboExt[0]->currentText(), kAtMost);
        QCOMPARE(w.txtVal[0]->text(), QStringLiteral("3"));
        QCOMPARE(w.cboJoin[0]->currentText(), QStringLiteral("or"));
        QCOMPARE(w.cboCond[1]->currentText(), caption(Kind::Trend));
        QCOMPARE(w.cboSelKind[1]->currentText(), kUnchecked);
        QCOMPARE(w.cboCond[2]->currentText(), caption(Kind::Unset));

        w.txtSetListName->setText("Other");
        w.cmdOK_Click();
        QCOMPARE(boxes.boxes().size(), 1); // renaming onto another name is refused
        w.txtSetListName->setText("Mine");
        choose(w.cboCond[0], caption(Kind::Priority));
        w.txtVal[0]->setText("80");
        w.cmdOK_Click(); // keeping the name is fine
        QCOMPARE(boxes.boxes().size(), 1);
        QCOMPARE(w.result(), int(QDialog::Accepted));
        Recordset rs;
        lib.db().adoGetData(17, rs, "Mine");
        QCOMPARE(rs.text("Where_1"), caption(Kind::Priority));
        QCOMPARE(rs.text("Val_1"), QStringLiteral("80"));
    }

    void editKeepsStoredValuesAndMayRecaseItsName() {
        TempLibrary lib;
        ScriptedPresenter boxes;
        const int song = lib.addSong("a");
        lib.db().adoSetData(22, {"Best", QString::number(song), "1"});
        lib.db().adoSetData(22, {"Best ", QString::number(song), "1"});
        Conditions rows;
        rows[0] = {Kind::Album, kAtLeast, "Best ", "and"};
        QString error;
        QVERIFY(saveSetList("Mine", rows, error));
        QVERIFY(saveSetList("Other", rows, error));
        frmSetList list;
        setModalHandler([](QDialog& dialog) {
            auto* editor = qobject_cast<frmSetListWizard*>(&dialog);
            // The album whose name ends in a blank, not its look-alike.
            if (editor->cboSelKind[0]->currentText() != u"Best ")
                return 0;
            editor->txtSetListName->setText("OTHER"); // another's name
            editor->cmdOK_Click();
            editor->txtSetListName->setText("MINE"); // its own, recased
            editor->cmdOK_Click();
            return editor->result();
        });
        list.lstSetList->setCurrentRow(1);
        QCOMPARE(list.lstSetList->currentItem()->text(), QStringLiteral("Mine"));
        list.cmdEdit->click();
        QCOMPARE(boxes.boxes().size(), 1);
        QCOMPARE(boxes.boxes()[0].text, QStringLiteral("同じ名前のセットリストが既に存在します"));
        QCOMPARE(names(list.lstSetList), QStringList({"ALL", "Other", "MINE"}));
        Recordset rs;
        QVERIFY(lib.db().adoGetData(17, rs, "MINE"));
        QCOMPARE(rs.text("Val_1"), QStringLiteral("Best "));
    }

    void allIsProtectedAndDeleteRemovesPieces() {
        TempLibrary lib;
        ScriptedPresenter boxes;
        Conditions rows;
        rows[0] = {Kind::PlayCount, kAtLeast, "1", "and"};
        QString error;
        QVERIFY(saveSetList("Temp", rows, error));
        int editors = 0;
        setModalHandler([&](QDialog&) { return ++editors, 0; });
        frmSetList dialog;
        QCOMPARE(dialog.windowTitle(), QStringLiteral("セットリスト一覧"));
        QCOMPARE(names(dialog.lstSetList), QStringList({"ALL", "Temp"}));
        QCOMPARE(dialog.lstSetList->currentRow(), 0);
        QVERIFY(!dialog.frmSetLst_ChkSameName("all"));
        QVERIFY(!dialog.frmSetLst_ChkSameName("ALL"));
        QVERIFY(dialog.frmSetLst_ChkSameName("all", "ALL")); // its own name
        QVERIFY(dialog.frmSetLst_ChkSameName("ALL2"));

        dialog.cmdEdit->click();
        QCOMPARE(boxes.boxes().back().text, QStringLiteral("「ALL」セットリストは編集できません"));
        dialog.cmdDel->click();
        QCOMPARE(boxes.boxes().back().text, QStringLiteral("「ALL」セットリストは削除できません"));
        QCOMPARE(editors, 0);

        dialog.lstSetList->setCurrentRow(1);
        boxes.answer(2); // Cancel
        dialog.cmdDel->click();
        QCOMPARE(names(dialog.lstSetList), QStringList({"ALL", "Temp"}));
        QCOMPARE(boxes.boxes().back().style, 1);
        dialog.cmdDel->click(); // OK
        QCOMPARE(names(dialog.lstSetList), QStringList({"ALL"}));
        QVERIFY(!lib.db().queryExists(queryName("Temp")));
        QVERIFY(dialog.lstSetList->selectedItems().isEmpty());
        // No selection: edit and delete do nothing.
        const qsizetype shown = boxes.boxes().size();
        dialog.cmdEdit->click();
        dialog.cmdDel->click();
        QCOMPARE(boxes.boxes().size(), shown);
        QCOMPARE(editors, 0);
    }

    void emptyListDisablesEditAndDelete() {
        TempLibrary lib;
        lib.db().adoSetData(43, {"ALL"});
        frmSetList dialog;
        QVERIFY(!dialog.cmdEdit->isEnabled());
        QVERIFY(!dialog.cmdDel->isEnabled());
    }

    void newSetListPlaysInTheMainWindow() {
        TempLibrary lib;
        TempLibrary::Fields f;
        f.priority = 90;
        lib.addSong("high", f);
        f.priority = 20;
        lib.addSong("low", f);
        lib.close();
        ScriptedPresenter boxes;
        frmMain w(lib.path());
        QVERIFY(w.Form_Load());
        // The list dialog adds one set list through the editor, then closes.
        setModalHandler([](QDialog& dialog) {
            if (auto* list = qobject_cast<frmSetList*>(&dialog)) {
                list->cmdAdd->click();
                return 1;
            }
            auto* editor = qobject_cast<frmSetListWizard*>(&dialog);
            editor->txtSetListName->setText(QString::fromUtf16(u"高い優先度"));
            editor->cboCond[0]->setCurrentIndex(
                editor->cboCond[0]->findText(caption(Kind::Priority)));
            editor->txtVal[0]->setText("80");
            editor->cmdOK_Click();
            return editor->result();
        });
        w.action("mnuEdit_SetList")->trigger();
        QCOMPARE(items(w.cboSetList), QStringList({"ALL", QString::fromUtf16(u"高い優先度")}));
        w.cboSetList->setCurrentIndex(1);
        const SongListModel& songs = w.lvSongList->songs();
        QCOMPARE(songs.count(), 1);
        QCOMPARE(songs.cell(songs.keyAt(0), 0), QStringLiteral("high"));
        QVERIFY(boxes.boxes().isEmpty());
    }
};

QTEST_MAIN(TestSetListDialogs)
#include "tst_setlistdialogs.moc"
