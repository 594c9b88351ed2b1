// The display settings dialog on a real library: what it loads, how its
// lists move, what OK stores (all of it or nothing), that Cancel and the
// close box store nothing, its pickers, and the main window's rebuild.

#include "app/mainwindow.h"
#include "app/opening.h"
#include "base/modal.h"
#include "fakeplayer.h"
#include "scriptedpresenter.h"
#include "songlist/dispsetdialog.h"
#include "songlist/songlistview.h"
#include "templibrary.h"

#include <QColorDialog>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

using displaysettings::Write;

class TestDispSetDialog : public QObject {
    Q_OBJECT

    static void sql(TempLibrary& lib, const QString& statement) {
        QVERIFY(lib.db().adoSetData(46, {statement}));
    }
    static void store(TempLibrary& lib, const QString& key, const QString& value) {
        sql(lib, "UPDATE TM_初期設定 SET 設定値 = '" + value + "' WHERE 設定情報 = '" + key + "'");
    }
    static QStringList rows(const QTreeWidget* list) {
        QStringList out;
        for (int i = 0; i < list->topLevelItemCount(); ++i)
            out << list->topLevelItem(i)->text(0);
        return out;
    }
    static QString selected(const QTreeWidget* list) {
        const QTreeWidgetItem* item = list->currentItem();
        return item && item->isSelected() ? item->text(0) : QString();
    }
    static void select(QTreeWidget* list, const QString& name) {
        list->setCurrentItem(list->findItems(name, Qt::MatchExactly).value(0));
    }
    // The stored names of read `kind`, in order.
    static QStringList names(int kind) {
        Recordset rs;
        gConnector->adoGetData(kind, rs);
        QStringList out;
        for (; !rs.Eof(); rs.MoveNext())
            out << rs.text("列名");
        return out;
    }
    // The stored value of settings row `key`.
    static QString setting(const QString& key) {
        Recordset rs;
        gConnector->adoGetData(key.startsWith(u"メイン") ? 7 : 14, rs);
        for (; !rs.Eof(); rs.MoveNext()) {
            if (rs.text("設定情報") == key)
                return rs.text("設定値");
        }
        return "<missing>";
    }
    // Every stored value the dialog writes, as one text.
    static QString snapshot() {
        QStringList out;
        for (int kind : {1, 8, 9})
            out << names(kind).join(',');
        for (const char* key :
             {"メイン画面背景画像パス", "メイン画面フォント色", "メイン画面背景色",
              "コンパクト画面背景画像パス", "コンパクト画面フォント色", "コンパクト画面背景色"})
            out << setting(key);
        return out.join('|');
    }

private slots:
    void initTestCase() { frmOpening::setInterval(0); }
    void cleanup() { setModalHandler({}); }

    void aNewLibraryLoadsItsFixedRows() {
        TempLibrary lib;
        frmDispSet d;
        QCOMPARE(d.windowTitle(), QStringLiteral("表示設定"));
        QCOMPARE(rows(d.lvShowColumnList),
                 QStringList({"曲名", "ｱｰﾃｨｽﾄ名", "ｼﾞｬﾝﾙ", "ｶｳﾝﾄ", "優先度"}));
        QCOMPARE(rows(d.lvColumnList), QStringList({"ﾌﾞﾚｰｸｱｳﾄ", "ﾄﾚﾝﾄﾞ", "ﾎﾞﾘｭｰﾑ補正"}));
        QCOMPARE(d.lvShowColumnList->headerItem()->text(0), QStringLiteral("表示する曲プロパティ"));
        QCOMPARE(d.lvColumnList->headerItem()->text(0), QStringLiteral("曲プロパティ一覧"));
        QCOMPARE(d.cboDispSongProp[0]->count(), 9);
        QCOMPARE(d.cboDispSongProp[0]->itemText(4), QStringLiteral("ﾌｧｲﾙﾊﾟｽ"));
        QCOMPARE(d.cboDispSongProp[1]->itemText(8), QStringLiteral("ｱｰﾃｨｽﾄ名"));
        QCOMPARE(d.cboDispSongProp[0]->currentText(), QStringLiteral("曲名"));
        QCOMPARE(d.cboDispSongProp[1]->currentText(), QStringLiteral("ｱｰﾃｨｽﾄ名"));
        QCOMPARE(d.cboDispStatBar->currentText(), QStringLiteral("ﾌｧｲﾙﾊﾟｽ"));
        QCOMPARE(d.txtListPicPath->text(), QStringLiteral("未指定"));
        QCOMPARE(d.txtListPicPathCpt->text(), QStringLiteral("未指定"));
        QCOMPARE(d.lblFontCol[0]->value(), 0);
        QCOMPARE(d.lblBackCol->value(), 16777215);
        QCOMPARE(d.lblBackCol->palette().color(QPalette::Window), QColor(255, 255, 255));
        QCOMPARE(d.State, 1);
    }

    void loadRules_data() {
        QTest::addColumn<QStringList>("displayed");
        QTest::addColumn<QStringList>("shown");
        QTest::addColumn<QStringList>("available");
        // The file path is in neither list, wherever it stands.
        QTest::newRow("file path first")
            << QStringList{"ﾌｧｲﾙﾊﾟｽ", "ｶｳﾝﾄ"} << QStringList{"ｶｳﾝﾄ"}
            << QStringList{"優先度", "ｼﾞｬﾝﾙ",      "曲名",    "ﾌﾞﾚｰｸｱｳﾄ",
                           "ﾄﾚﾝﾄﾞ",  "ﾎﾞﾘｭｰﾑ補正", "ｱｰﾃｨｽﾄ名"};
        QTest::newRow("file path alone")
            << QStringList{"ﾌｧｲﾙﾊﾟｽ"} << QStringList{}
            << QStringList{"ｶｳﾝﾄ",     "優先度", "ｼﾞｬﾝﾙ",      "曲名",
                           "ﾌﾞﾚｰｸｱｳﾄ", "ﾄﾚﾝﾄﾞ",  "ﾎﾞﾘｭｰﾑ補正", "ｱｰﾃｨｽﾄ名"};
        // All nine, the file path in the middle: the last name is not
        // offered as well.
        QTest::newRow("all nine") << QStringList{"ﾄﾚﾝﾄﾞ",    "曲名",       "ﾌｧｲﾙﾊﾟｽ",
                                                 "ｶｳﾝﾄ",     "優先度",     "ｼﾞｬﾝﾙ",
                                                 "ﾌﾞﾚｰｸｱｳﾄ", "ﾎﾞﾘｭｰﾑ補正", "ｱｰﾃｨｽﾄ名"}
                                  << QStringList{"ﾄﾚﾝﾄﾞ", "曲名",     "ｶｳﾝﾄ",       "優先度",
                                                 "ｼﾞｬﾝﾙ", "ﾌﾞﾚｰｸｱｳﾄ", "ﾎﾞﾘｭｰﾑ補正", "ｱｰﾃｨｽﾄ名"}
                                  << QStringList{};
    }
    void loadRules() {
        QFETCH(QStringList, displayed);
        QFETCH(QStringList, shown);
        QFETCH(QStringList, available);
        TempLibrary lib;
        lib.showColumns(displayed);
        frmDispSet d;
        QCOMPARE(rows(d.lvShowColumnList), shown);
        QCOMPARE(rows(d.lvColumnList), available);
    }

    void itemsAndPathsLoad() {
        TempLibrary lib;
        // Frame line 1 names an unknown item; a third frame row has no line.
        sql(lib, "INSERT INTO TM_表示項目(列名, フレーム表示順, ステータスバー表示順)"
                 " VALUES ('謎', 1, 3)");
        sql(lib, "UPDATE TM_表示項目 SET フレーム表示順 = 2 WHERE 列名 = 'ﾄﾚﾝﾄﾞ'");
        sql(lib, "UPDATE TM_表示項目 SET フレーム表示順 = 3 WHERE 列名 = 'ｶｳﾝﾄ'");
        sql(lib, "UPDATE TM_表示項目 SET フレーム表示順 = 0 WHERE 列名 IN ('曲名', 'ｱｰﾃｨｽﾄ名')");
        // Status rows ｶｳﾝﾄ, 優先度, 謎: the last known one wins.
        sql(lib, "UPDATE TM_表示項目 SET ステータスバー表示順 = 1 WHERE 列名 = 'ｶｳﾝﾄ'");
        sql(lib, "UPDATE TM_表示項目 SET ステータスバー表示順 = 2 WHERE 列名 = '優先度'");
        sql(lib, "UPDATE TM_表示項目 SET ステータスバー表示順 = 0 WHERE 列名 = 'ﾌｧｲﾙﾊﾟｽ'");
        store(lib, "メイン画面背景画像パス", "");
        sql(lib,
            "UPDATE TM_初期設定 SET 設定値 = NULL WHERE 設定情報 = 'コンパクト画面背景画像パス'");
        store(lib, "メイン画面フォント色", "255");
        store(lib, "メイン画面背景色", "not a colour");
        store(lib, "コンパクト画面フォント色", "16711680");
        store(lib, "コンパクト画面背景色", "65280");
        frmDispSet d;
        QCOMPARE(d.cboDispSongProp[0]->currentIndex(), -1);
        QCOMPARE(d.cboDispSongProp[1]->currentText(), QStringLiteral("ﾄﾚﾝﾄﾞ"));
        QCOMPARE(d.cboDispStatBar->currentText(), QStringLiteral("優先度"));
        QCOMPARE(d.txtListPicPath->text(), QStringLiteral("未指定"));
        QCOMPARE(d.txtListPicPathCpt->text(), QStringLiteral("未指定"));
        QCOMPARE(d.lblFontCol[0]->value(), 255);
        QCOMPARE(d.lblFontCol[0]->palette().color(QPalette::Window), QColor(255, 0, 0));
        QCOMPARE(d.lblBackCol->value(), 16777215); // not a number: as designed
        QCOMPARE(d.lblFontCol[1]->palette().color(QPalette::Window), QColor(0, 0, 255));
        QCOMPARE(d.lblBackColCpt->palette().color(QPalette::Window), QColor(0, 255, 0));

        store(lib, "メイン画面背景画像パス", "/pictures/bg.bmp");
        d.frmDst_InitForm();
        QCOMPARE(d.txtListPicPath->text(), QStringLiteral("/pictures/bg.bmp"));
    }

    void movesAcrossTheLists() {
        TempLibrary lib;
        lib.showColumns({"曲名", "ｶｳﾝﾄ", "ﾌｧｲﾙﾊﾟｽ"});
        frmDispSet d;
        QCOMPARE(selected(d.lvColumnList), QStringLiteral("優先度"));
        d.cmdAdd->click();
        QCOMPARE(rows(d.lvShowColumnList), QStringList({"曲名", "ｶｳﾝﾄ", "優先度"}));
        QCOMPARE(selected(d.lvColumnList), QStringLiteral("ｼﾞｬﾝﾙ")); // the next one
        // The last available row: the one before it is selected next.
        select(d.lvColumnList, "ｱｰﾃｨｽﾄ名");
        d.cmdAdd->click();
        QCOMPARE(selected(d.lvColumnList), QStringLiteral("ﾎﾞﾘｭｰﾑ補正"));
        select(d.lvColumnList, "ｼﾞｬﾝﾙ");
        for (int i = 0; i < 4; ++i)
            d.cmdAdd->click();
        QCOMPARE(d.lvColumnList->topLevelItemCount(), 0);
        QCOMPARE(rows(d.lvShowColumnList),
                 QStringList({"曲名", "ｶｳﾝﾄ", "優先度", "ｱｰﾃｨｽﾄ名", "ｼﾞｬﾝﾙ", "ﾌﾞﾚｰｸｱｳﾄ", "ﾄﾚﾝﾄﾞ",
                              "ﾎﾞﾘｭｰﾑ補正"}));
        d.cmdAdd->click(); // nothing left to add
        QCOMPARE(d.lvShowColumnList->topLevelItemCount(), 8);

        select(d.lvShowColumnList, "ｶｳﾝﾄ");
        d.cmdDelete->click();
        QCOMPARE(rows(d.lvColumnList), QStringList({"ｶｳﾝﾄ"}));
        QCOMPARE(selected(d.lvShowColumnList), QStringLiteral("優先度"));
        // Without a selection neither arrow moves anything.
        d.lvColumnList->clearSelection();
        d.cmdAdd->click();
        QCOMPARE(rows(d.lvColumnList), QStringList({"ｶｳﾝﾄ"}));
    }

    void movesUpAndDown() {
        TempLibrary lib;
        lib.showColumns({"曲名", "ｶｳﾝﾄ", "優先度", "ﾌｧｲﾙﾊﾟｽ"});
        frmDispSet d;
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        const QStringList order = {"曲名", "ｶｳﾝﾄ", "優先度"};
        select(d.lvShowColumnList, "曲名");
        d.cmdUP->click(); // the first row stays first
        QCOMPARE(rows(d.lvShowColumnList), order);
        select(d.lvShowColumnList, "優先度");
        d.cmdDown->click(); // the last row stays last
        QCOMPARE(rows(d.lvShowColumnList), order);
        d.cmdUP->click();
        QCOMPARE(rows(d.lvShowColumnList), QStringList({"曲名", "優先度", "ｶｳﾝﾄ"}));
        QCOMPARE(selected(d.lvShowColumnList), QStringLiteral("優先度"));
        QTRY_VERIFY(d.lvShowColumnList->hasFocus());
        d.cmdUP->click();
        QCOMPARE(rows(d.lvShowColumnList), QStringList({"優先度", "曲名", "ｶｳﾝﾄ"}));
        d.cmdDown->click();
        d.cmdDown->click();
        QCOMPARE(rows(d.lvShowColumnList), QStringList({"曲名", "ｶｳﾝﾄ", "優先度"}));
        QCOMPARE(selected(d.lvShowColumnList), QStringLiteral("優先度"));
    }

    void okStoresEverySetting() {
        TempLibrary lib;
        lib.showColumns({"曲名", "ｶｳﾝﾄ", "ﾌｧｲﾙﾊﾟｽ"});
        frmDispSet d;
        select(d.lvShowColumnList, "ｶｳﾝﾄ");
        d.cmdUP->click();
        d.cboDispSongProp[0]->setCurrentIndex(d.cboDispSongProp[0]->findText("ｼﾞｬﾝﾙ"));
        d.cboDispSongProp[1]->setCurrentIndex(-1); // an empty line stores no item
        d.cboDispStatBar->setCurrentIndex(d.cboDispStatBar->findText("ｶｳﾝﾄ"));
        d.txtListPicPathCpt->setText("/pictures/c.jpg");
        d.lblFontCol[0]->setValue(255);
        d.lblBackCol->setValue(65280);
        d.lblFontCol[1]->setValue(8454143);
        d.lblBackColCpt->setValue(0);
        const QList<Write> expected = {
            {32, {}},
            {33, {"1", "ｶｳﾝﾄ"}},
            {33, {"2", "曲名"}},
            {33, {"3", "ﾌｧｲﾙﾊﾟｽ"}},
            {34, {"1", "ｼﾞｬﾝﾙ"}},
            {34, {"2", ""}},
            {35, {"1", "ｶｳﾝﾄ"}},
            {36, {"/pictures/c.jpg"}},
            {37, {"8454143"}},
            {38, {"0"}},
            {39, {"未指定"}},
            {40, {"255"}},
            {41, {"65280"}},
        };
        QCOMPARE(displaysettings::writes(d.settings()), expected);

        ScriptedPresenter boxes;
        d.cmdOK->click();
        QCOMPARE(d.State, 0);
        QCOMPARE(d.result(), int(QDialog::Accepted));
        QVERIFY(boxes.boxes().isEmpty());
        QCOMPARE(names(1), QStringList({"ｶｳﾝﾄ", "曲名", "ﾌｧｲﾙﾊﾟｽ"}));
        QCOMPARE(names(8), QStringList({"ｼﾞｬﾝﾙ"}));
        QCOMPARE(names(9), QStringList({"ｶｳﾝﾄ"}));
        QCOMPARE(snapshot().section('|', 3),
                 QStringLiteral("未指定|255|65280|/pictures/c.jpg|8454143|0"));
        QCOMPARE(setting("コンパクト画面Left"), QStringLiteral("0")); // not the dialog's
        // Reopened, the dialog shows what was stored.
        frmDispSet again;
        QCOMPARE(rows(again.lvShowColumnList), QStringList({"ｶｳﾝﾄ", "曲名"}));
        QCOMPARE(again.cboDispSongProp[1]->currentIndex(), -1);
        QCOMPARE(again.lblBackCol->value(), 65280);
    }

    void okWithEveryColumnRemovedLeavesTheFilePathAlone() {
        TempLibrary lib;
        frmDispSet d;
        for (int i = 0; i < 5; ++i)
            d.cmdDelete->click();
        QCOMPARE(d.lvShowColumnList->topLevelItemCount(), 0);
        QCOMPARE(displaysettings::writes(d.settings()).mid(0, 2),
                 QList<Write>({{32, {}}, {33, {"1", "ﾌｧｲﾙﾊﾟｽ"}}}));
        d.cmdOK->click();
        QCOMPARE(names(1), QStringList({"ﾌｧｲﾙﾊﾟｽ"}));
    }

    void aFailedSaveStoresNothing() {
        TempLibrary lib;
        frmDispSet d;
        d.cmdDelete->click();
        d.lblFontCol[0]->setValue(255);
        const QString before = snapshot();
        // The last write is refused: the earlier ones must not stay.
        sql(lib,
            "CREATE TRIGGER refuse BEFORE UPDATE ON TM_初期設定"
            " WHEN NEW.設定情報 = 'メイン画面背景色' BEGIN SELECT RAISE(ABORT, 'refused'); END");
        ScriptedPresenter boxes;
        d.cmdOK->click();
        QCOMPARE(boxes.boxes().size(), 1);
        QCOMPARE(boxes.boxes().front().title, QStringLiteral("DBError"));
        QCOMPARE(d.State, 1);
        QCOMPARE(d.result(), 0); // still open
        QCOMPARE(snapshot(), before);
    }

    void cancelAndTheCloseBoxStoreNothing_data() {
        QTest::addColumn<bool>("closeBox");
        QTest::newRow("cancel") << false;
        QTest::newRow("close box") << true;
    }
    void cancelAndTheCloseBoxStoreNothing() {
        QFETCH(bool, closeBox);
        TempLibrary lib;
        const QString before = snapshot();
        frmDispSet d;
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        d.cmdDelete->click();
        d.cmdAdd->click();
        d.cboDispStatBar->setCurrentIndex(0);
        d.lblBackColCpt->setValue(255);
        d.txtListPicPath->setText("/x.bmp");
        if (closeBox)
            QVERIFY(d.close());
        else
            d.cmdCancel->click();
        QCOMPARE(d.State, 1);
        QVERIFY(!d.isVisible());
        QCOMPARE(snapshot(), before);
    }

    void colourPicker() {
        TempLibrary lib;
        frmDispSet d;
        int shown = 0;
        QColor initial;
        setModalHandler([&](QDialog& dialog) {
            auto* colours = qobject_cast<QColorDialog*>(&dialog);
            if (!colours)
                return int(QDialog::Rejected);
            ++shown;
            initial = colours->currentColor();
            colours->setCurrentColor(QColor(0, 128, 255));
            return int(shown == 1 ? QDialog::Accepted : QDialog::Rejected);
        });
        d.cmdRefCol->click();
        QCOMPARE(shown, 1);
        QCOMPARE(initial, QColor(255, 255, 255));  // it starts at the label's colour
        QCOMPARE(d.lblBackCol->value(), 16744448); // 0 + 256 x 128 + 65536 x 255
        d.lblBackCol->setValue(16777215);
        d.cmdRefCol->click(); // cancelled: nothing changes
        QCOMPARE(shown, 2);
        QCOMPARE(d.lblBackCol->value(), 16777215);

        setModalHandler([](QDialog& dialog) {
            qobject_cast<QColorDialog*>(&dialog)->setCurrentColor(QColor(255, 0, 0));
            return int(QDialog::Accepted);
        });
        d.cmdFontRefCol[1]->click();
        d.cmdRefColCpt->click();
        QCOMPARE(d.lblFontCol[1]->value(), 255);
        QCOMPARE(d.lblBackColCpt->value(), 255);
        QCOMPARE(d.lblFontCol[0]->value(), 0);
    }

    void picturePicker() {
        TempLibrary lib;
        const QString picture = lib.folder() + "/bg.jpg";
        QFile file(picture);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        frmDispSet d;
        QStringList filters;
        bool accept = true;
        setModalHandler([&](QDialog& dialog) {
            auto* files = qobject_cast<QFileDialog*>(&dialog);
            if (!files)
                return int(QDialog::Rejected);
            filters = files->nameFilters();
            files->selectFile(picture);
            return int(accept ? QDialog::Accepted : QDialog::Rejected);
        });
        d.cmdSearchCpt->click();
        QCOMPARE(filters, QStringList({"全ての画像ﾌｧｲﾙ (*.bmp *.jpg)", "ﾋﾞｯﾄﾏｯﾌﾟﾌｧｲﾙ(*.bmp)",
                                       "Jpegﾌｧｲﾙ(*.jpg)"}));
        QCOMPARE(d.txtListPicPathCpt->text(), picture);
        QCOMPARE(d.txtListPicPath->text(), QStringLiteral("未指定"));
        accept = false;
        d.cmdSearch->click();
        QCOMPARE(d.txtListPicPath->text(), QStringLiteral("未指定"));
        accept = true;
        d.cmdSearch->click();
        QCOMPARE(d.txtListPicPath->text(), picture);
    }

    // From the main window: after OK the columns, the list and the list's
    // appearance are rebuilt; after Cancel nothing is.
    void theMainWindowRebuildsOnlyAfterOk() {
        TempLibrary lib;
        lib.addSong("a");
        lib.addSong("b");
        lib.close();
        frmMain w(lib.path(), new FakePlayer);
        QVERIFY(w.Form_Load());
        const QStringList columns = {"曲名", "ｱｰﾃｨｽﾄ名", "ｼﾞｬﾝﾙ", "ｶｳﾝﾄ", "優先度", "ﾌｧｲﾙﾊﾟｽ"};
        QCOMPARE(w.lvSongList->songs().captions(), columns);
        w.lvSongList->songs().removeItem("Key_2");
        setModalHandler([](QDialog& dialog) {
            auto& d = dynamic_cast<frmDispSet&>(dialog);
            d.cmdDelete->click(); // 曲名 goes
            d.lblFontCol[0]->setValue(255);
            d.cmdCancel->click();
            return d.result();
        });
        w.action("mnuSetting_Disp")->trigger();
        QCOMPARE(w.lvSongList->songs().captions(), columns);
        QCOMPARE(w.lvSongList->songs().count(), 1); // not reloaded

        setModalHandler([](QDialog& dialog) {
            auto& d = dynamic_cast<frmDispSet&>(dialog);
            d.cmdDelete->click();
            d.lblFontCol[0]->setValue(255);
            d.cmdOK->click();
            return d.result();
        });
        w.action("mnuSetting_Disp")->trigger();
        QCOMPARE(w.lvSongList->songs().captions(),
                 QStringList({"ｱｰﾃｨｽﾄ名", "ｼﾞｬﾝﾙ", "ｶｳﾝﾄ", "優先度", "ﾌｧｲﾙﾊﾟｽ"}));
        QCOMPARE(w.lvSongList->songs().count(), 2);
        QCOMPARE(w.lvSongList->textColor(), QColor(255, 0, 0));
    }
};

QTEST_MAIN(TestDispSetDialog)
#include "tst_dispsetdialog.moc"
