// The display settings dialog on a real library: what it loads, how its
// lists move, what OK stores (all of it or nothing), that Cancel and the
// close box store nothing, its pickers, and the main window's rebuild.

#include "app/mainwindow.h"
#include "app/opening.h"
#include "base/modal.h"
#include "diskfiles.h"
#include "fakeplayer.h"
#include "scriptedpresenter.h"
#include "songlist/dispsetdialog.h"
#include "songlist/songlist.h"
#include "songlist/songlistview.h"
#include "templibrary.h"

#include <QColorDialog>
#include <QComboBox>
#include <QFileDialog>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

using displaysettings::SettingWrite;

class TestDispSetDialog : public QObject {
    Q_OBJECT

    static bool sql(const QString& statement) {
        return gConnector->adoSetData(Write::RunSql, {statement});
    }
    // A list's names, the selected current row marked "*".
    static QString rows(const QTreeWidget* list) {
        QStringList out;
        for (int i = 0; i < list->topLevelItemCount(); ++i) {
            const QTreeWidgetItem* item = list->topLevelItem(i);
            out << item->text(0) + (item == list->currentItem() && item->isSelected() ? "*" : "");
        }
        return out.join(',');
    }
    static QString lists(const frmDispSet& d) {
        return rows(d.lvShowColumnList) + " / " + rows(d.lvColumnList);
    }
    static void select(QTreeWidget* list, const QString& name) {
        list->setCurrentItem(list->findItems(name, Qt::MatchExactly).value(0));
    }
    // The frame and status items, the picture paths and the colours (value
    // and shown colour) of the main list, then the compact window.
    static QString controls(const frmDispSet& d) {
        QStringList out = {d.cboDispSongProp[0]->currentText(), d.cboDispSongProp[1]->currentText(),
                           d.cboDispStatBar->currentText(), d.txtListPicPath->text(),
                           d.txtListPicPathCpt->text()};
        for (const ColorLabel* c :
             {d.lblFontCol[0], d.lblBackCol, d.lblFontCol[1], d.lblBackColCpt})
            out << QString::number(c->value()) + c->palette().color(QPalette::Window).name();
        return out.join('|');
    }
    // The writes that would store the dialog's settings, as "kind:params".
    static QStringList writes(const frmDispSet& d) {
        QStringList out;
        for (const SettingWrite& w : displaysettings::writes(d.settings()))
            out << QString::number(w.kind) + ":" + w.params.join(',');
        return out;
    }
    // What the dialog shows when it is opened now.
    static QString stored() {
        frmDispSet d;
        return lists(d) + " | " + controls(d);
    }

private slots:
    void initTestCase() { frmOpening::setInterval(0); }
    void cleanup() { setModalHandler({}); }

    // Shown columns, then the two lists: the file path is in neither,
    // wherever it stands; with all nine shown, the last name is not
    // offered as well.
    void theFilePathIsNotOffered() {
        TempLibrary lib;
        for (const auto& [shown, expected] :
             {std::pair{"ﾌｧｲﾙﾊﾟｽ,ｶｳﾝﾄ",
                        "ｶｳﾝﾄ* / 優先度*,ｼﾞｬﾝﾙ,曲名,ﾌﾞﾚｰｸｱｳﾄ,ﾄﾚﾝﾄﾞ,ﾎﾞﾘｭｰﾑ補正,ｱｰﾃｨｽﾄ名"},
              {"ﾌｧｲﾙﾊﾟｽ", " / ｶｳﾝﾄ*,優先度,ｼﾞｬﾝﾙ,曲名,ﾌﾞﾚｰｸｱｳﾄ,ﾄﾚﾝﾄﾞ,ﾎﾞﾘｭｰﾑ補正,ｱｰﾃｨｽﾄ名"},
              {"ﾄﾚﾝﾄﾞ,曲名,ﾌｧｲﾙﾊﾟｽ,ｶｳﾝﾄ,優先度,ｼﾞｬﾝﾙ,ﾌﾞﾚｰｸｱｳﾄ,ﾎﾞﾘｭｰﾑ補正,ｱｰﾃｨｽﾄ名",
               "ﾄﾚﾝﾄﾞ*,曲名,ｶｳﾝﾄ,優先度,ｼﾞｬﾝﾙ,ﾌﾞﾚｰｸｱｳﾄ,ﾎﾞﾘｭｰﾑ補正,ｱｰﾃｨｽﾄ名 / "}}) {
            lib.showColumns(QString(shown).split(','));
            QCOMPARE(lists(frmDispSet()), QString(expected));
        }
    }

    void itemsAndPathsLoad() {
        TempLibrary lib;
        // Frame line 1 names an unknown item; a third frame row has no line.
        // Status rows ｶｳﾝﾄ, 優先度, 謎: the last known one wins.
        QVERIFY(sql("UPDATE TM_表示項目 SET フレーム表示順 = CASE 列名 WHEN 'ﾄﾚﾝﾄﾞ' THEN 2"
                    " WHEN 'ｶｳﾝﾄ' THEN 3 ELSE 0 END, ステータスバー表示順 = CASE 列名"
                    " WHEN 'ｶｳﾝﾄ' THEN 1 WHEN '優先度' THEN 2 ELSE 0 END"));
        QVERIFY(sql("INSERT INTO TM_表示項目(列名, フレーム表示順, ステータスバー表示順)"
                    " VALUES ('謎', 1, 3)"));
        QVERIFY(sql(
            "UPDATE TM_初期設定 SET 設定値 = CASE 設定情報"
            " WHEN 'メイン画面背景画像パス' THEN '' WHEN 'コンパクト画面背景画像パス' THEN NULL"
            " WHEN 'メイン画面フォント色' THEN '255' WHEN 'メイン画面背景色' THEN 'not a colour'"
            " WHEN 'コンパクト画面フォント色' THEN '16711680'"
            " WHEN 'コンパクト画面背景色' THEN '65280' ELSE 設定値 END"));
        frmDispSet d;
        // A colour that is not a number keeps the default, as designed.
        QCOMPARE(controls(d), "|ﾄﾚﾝﾄﾞ|優先度|未指定|未指定|255#ff0000|16777215#ffffff|"
                              "16711680#0000ff|65280#00ff00");
    }

    void movesAcrossAndWithinTheLists() {
        TempLibrary lib;
        lib.showColumns({"曲名", "ｶｳﾝﾄ", "ﾌｧｲﾙﾊﾟｽ"});
        frmDispSet d;
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        d.cmdAdd->click(); // the next row is selected
        QCOMPARE(lists(d), "曲名,ｶｳﾝﾄ,優先度 / ｼﾞｬﾝﾙ*,ﾌﾞﾚｰｸｱｳﾄ,ﾄﾚﾝﾄﾞ,ﾎﾞﾘｭｰﾑ補正,ｱｰﾃｨｽﾄ名");
        select(d.lvColumnList, "ｱｰﾃｨｽﾄ名"); // the last row: the one before it is next
        d.cmdAdd->click();
        QCOMPARE(lists(d), "曲名,ｶｳﾝﾄ,優先度,ｱｰﾃｨｽﾄ名 / ｼﾞｬﾝﾙ,ﾌﾞﾚｰｸｱｳﾄ,ﾄﾚﾝﾄﾞ,ﾎﾞﾘｭｰﾑ補正*");
        select(d.lvColumnList, "ｼﾞｬﾝﾙ");
        for (int i = 0; i < 5; ++i) // the last click finds nothing left to add
            d.cmdAdd->click();
        QCOMPARE(lists(d), "曲名,ｶｳﾝﾄ,優先度,ｱｰﾃｨｽﾄ名,ｼﾞｬﾝﾙ,ﾌﾞﾚｰｸｱｳﾄ,ﾄﾚﾝﾄﾞ,ﾎﾞﾘｭｰﾑ補正 / ");
        select(d.lvShowColumnList, "ｶｳﾝﾄ");
        d.cmdDelete->click();
        // The row moved is current but not selected: the arrow moves nothing.
        d.cmdAdd->click();
        QCOMPARE(lists(d), "曲名,優先度*,ｱｰﾃｨｽﾄ名,ｼﾞｬﾝﾙ,ﾌﾞﾚｰｸｱｳﾄ,ﾄﾚﾝﾄﾞ,ﾎﾞﾘｭｰﾑ補正 / ｶｳﾝﾄ");
        d.cmdUP->click();
        d.cmdUP->click(); // the first row stays first
        QCOMPARE(rows(d.lvShowColumnList), "優先度*,曲名,ｱｰﾃｨｽﾄ名,ｼﾞｬﾝﾙ,ﾌﾞﾚｰｸｱｳﾄ,ﾄﾚﾝﾄﾞ,ﾎﾞﾘｭｰﾑ補正");
        QTRY_VERIFY(d.lvShowColumnList->hasFocus());
        select(d.lvShowColumnList, "ﾎﾞﾘｭｰﾑ補正");
        d.cmdDown->click(); // the last row stays last
        d.cmdUP->click();
        QCOMPARE(rows(d.lvShowColumnList), "優先度,曲名,ｱｰﾃｨｽﾄ名,ｼﾞｬﾝﾙ,ﾌﾞﾚｰｸｱｳﾄ,ﾎﾞﾘｭｰﾑ補正*,ﾄﾚﾝﾄﾞ");
        d.cmdDown->click();
        QCOMPARE(rows(d.lvShowColumnList), "優先度,曲名,ｱｰﾃｨｽﾄ名,ｼﾞｬﾝﾙ,ﾌﾞﾚｰｸｱｳﾄ,ﾄﾚﾝﾄﾞ,ﾎﾞﾘｭｰﾑ補正*");
    }

    // How the dialog ends, and what is stored then: every setting after OK;
    // nothing after Cancel, the close box or a save whose last write is
    // refused (the earlier writes must not stay).
    void whatIsStored_data() {
        QTest::addColumn<int>("how");
        QTest::newRow("OK") << 0;
        QTest::newRow("cancel") << 1;
        QTest::newRow("close box") << 2;
        QTest::newRow("failed save") << 3;
    }
    void whatIsStored() {
        QFETCH(int, how);
        TempLibrary lib;
        lib.showColumns({"曲名", "ｶｳﾝﾄ", "ﾌｧｲﾙﾊﾟｽ"});
        const QString before = stored();
        frmDispSet d;
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        select(d.lvShowColumnList, "ｶｳﾝﾄ");
        d.cmdUP->click();
        d.cboDispSongProp[0]->setCurrentIndex(d.cboDispSongProp[0]->findText("ｼﾞｬﾝﾙ"));
        d.cboDispSongProp[1]->setCurrentIndex(-1); // an empty line stores no item
        d.cboDispStatBar->setCurrentIndex(d.cboDispStatBar->findText("ｶｳﾝﾄ"));
        d.txtListPicPath->setText("/pictures/m.bmp");
        d.txtListPicPathCpt->setText("/pictures/c.jpg");
        d.lblFontCol[0]->setValue(255);
        d.lblBackCol->setValue(65280);
        d.lblFontCol[1]->setValue(8454143);
        d.lblBackColCpt->setValue(0);
        QCOMPARE(writes(d),
                 QStringList({"32:", "33:1,ｶｳﾝﾄ", "33:2,曲名", "33:3,ﾌｧｲﾙﾊﾟｽ", "34:1,ｼﾞｬﾝﾙ",
                              "34:2,", "35:1,ｶｳﾝﾄ", "36:/pictures/c.jpg", "37:8454143", "38:0",
                              "39:/pictures/m.bmp", "40:255", "41:65280"}));
        ScriptedPresenter boxes;
        if (how == 3)
            QVERIFY(sql("CREATE TRIGGER refuse BEFORE UPDATE ON TM_初期設定 WHEN NEW.設定情報 ="
                        " 'メイン画面背景色' BEGIN SELECT RAISE(ABORT, 'refused'); END"));
        if (how == 0 || how == 3)
            d.cmdOK->click();
        else if (how == 1)
            d.cmdCancel->click();
        else
            QVERIFY(d.close());
        QCOMPARE(d.State, how == 0 ? 0 : 1);
        QCOMPARE(d.isVisible(), how == 3); // a failed save leaves the dialog open
        QCOMPARE(boxes.boxes().value(0).title, how == 3 ? "DBError" : QString());
        // Reopened, the dialog shows what is stored.
        QCOMPARE(stored(),
                 how > 0 ? before
                         : "ｶｳﾝﾄ*,曲名 / 優先度*,ｼﾞｬﾝﾙ,ﾌﾞﾚｰｸｱｳﾄ,ﾄﾚﾝﾄﾞ,ﾎﾞﾘｭｰﾑ補正,ｱｰﾃｨｽﾄ名 | "
                           "ｼﾞｬﾝﾙ||ｶｳﾝﾄ|/pictures/m.bmp|/pictures/c.jpg|255#ff0000|65280#00ff00|"
                           "8454143#ffff80|0#000000");
    }

    void okWithEveryColumnRemovedLeavesTheFilePathAlone() {
        TempLibrary lib;
        frmDispSet d;
        for (int i = 0; i < 5; ++i)
            d.cmdDelete->click();
        QCOMPARE(writes(d).mid(0, 2), QStringList({"32:", "33:1,ﾌｧｲﾙﾊﾟｽ"}));
        d.cmdOK->click();
        SongListView list;
        QVERIFY(lvSetColumns(list));
        QCOMPARE(list.songs().captions(), QStringList({"ﾌｧｲﾙﾊﾟｽ"}));
    }

    void pickers() {
        TempLibrary lib;
        const QString picture = lib.folder() + "/bg.jpg";
        QVERIFY(diskfiles::write(picture, {}));
        frmDispSet d;
        // What each dialog is given, a colour or a file; "!" cancels it.
        QStringList answers = {"#0080ff", "!#010203",    "#ff0000", "#ff0000",
                               picture,   "!" + picture, picture};
        QStringList shown; // each colour dialog's colour, each file dialog's filters
        setModalHandler([&](QDialog& dialog) {
            const QString answer = answers.takeFirst();
            if (auto* colours = qobject_cast<QColorDialog*>(&dialog)) {
                shown << colours->currentColor().name();
                colours->setCurrentColor(QColor(answer.mid(answer.startsWith('!'))));
            } else if (auto* files = qobject_cast<QFileDialog*>(&dialog)) {
                shown << files->nameFilters().join(';');
                files->selectFile(answer.mid(answer.startsWith('!')));
            }
            return int(answer.startsWith('!') ? QDialog::Rejected : QDialog::Accepted);
        });
        d.cmdRefCol->click();
        d.cmdRefCol->click(); // cancelled: nothing changes
        d.cmdFontRefCol[1]->click();
        d.cmdRefColCpt->click();
        d.cmdSearchCpt->click();
        d.cmdSearch->click(); // cancelled
        QCOMPARE(d.txtListPicPath->text(), "未指定");
        d.cmdSearch->click();
        QVERIFY(answers.isEmpty());
        // Each colour dialog starts at its label's colour; 0 + 256 x 128 + 65536 x 255.
        const QString filters = "全ての画像ﾌｧｲﾙ (*.bmp *.jpg);ﾋﾞｯﾄﾏｯﾌﾟﾌｧｲﾙ(*.bmp);Jpegﾌｧｲﾙ(*.jpg)";
        QCOMPARE(shown, QStringList({"#ffffff", "#0080ff", "#000000", "#ffffff", filters, filters,
                                     filters}));
        QCOMPARE(controls(d), "曲名|ｱｰﾃｨｽﾄ名|ﾌｧｲﾙﾊﾟｽ|" + picture + "|" + picture +
                                  "|0#000000|16744448#0080ff|255#ff0000|255#ff0000");
        QCOMPARE(d.cboDispSongProp[0]->count(), 9);
        QCOMPARE(d.cboDispSongProp[0]->itemText(4), "ﾌｧｲﾙﾊﾟｽ");
        QCOMPARE(d.cboDispSongProp[1]->itemText(8), "ｱｰﾃｨｽﾄ名");
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
        const auto answer = [](bool ok) {
            return [ok](QDialog& dialog) {
                auto& d = dynamic_cast<frmDispSet&>(dialog);
                d.cmdDelete->click(); // 曲名 goes
                d.lblFontCol[0]->setValue(255);
                (ok ? d.cmdOK : d.cmdCancel)->click();
                return d.result();
            };
        };
        setModalHandler(answer(false));
        w.mnuSetting_Disp->trigger();
        QCOMPARE(w.lvSongList->songs().captions(), columns);
        QCOMPARE(w.lvSongList->songs().count(), 1); // not reloaded
        setModalHandler(answer(true));
        w.mnuSetting_Disp->trigger();
        QCOMPARE(w.lvSongList->songs().captions(), columns.mid(1));
        QCOMPARE(w.lvSongList->songs().count(), 2);
        QCOMPARE(w.lvSongList->textColor(), QColor(255, 0, 0));
    }

    // A column added in front of the sorted one: the list comes back
    // sorted on the same column, which shutdown stores by its new place.
    void theSortStaysOnItsColumnAfterOk() {
        TempLibrary lib;
        for (auto [title, count] : {std::pair{"b", 9}, {"a", 10}, {"C", 100}})
            lib.addSong(title, {.count = count});
        lib.close();
        {
            frmMain w(lib.path(), new FakePlayer);
            QVERIFY(w.Form_Load());
            SongListView& list = *w.lvSongList;
            lvSortList(list.songs(), 3); // ｶｳﾝﾄ, descending
            setModalHandler([](QDialog& dialog) {
                auto& d = dynamic_cast<frmDispSet&>(dialog);
                select(d.lvColumnList, "ﾌﾞﾚｰｸｱｳﾄ");
                d.cmdAdd->click();
                select(d.lvShowColumnList, "ﾌﾞﾚｰｸｱｳﾄ");
                for (int i = 0; i < 5; ++i)
                    d.cmdUP->click();
                d.cmdOK->click();
                return d.result();
            });
            w.mnuSetting_Disp->trigger();
            setModalHandler({});
            QCOMPARE(list.songs().captions(), QStringList({"ﾌﾞﾚｰｸｱｳﾄ", "曲名", "ｱｰﾃｨｽﾄ名", "ｼﾞｬﾝﾙ",
                                                           "ｶｳﾝﾄ", "優先度", "ﾌｧｲﾙﾊﾟｽ"}));
            QCOMPARE(QList<int>(
                         {list.songs().sorted(), list.songs().sortKey(), list.songs().sortOrder()}),
                     QList<int>({1, 4, 1}));
            QCOMPARE(list.header()->sortIndicatorSection(), 4);
            QCOMPARE(list.songs().cellAt(0, 4), u"9");
            QCOMPARE(list.songs().cellAt(2, 4), u"10");
        }
        lib.reopen();
        Recordset rs;
        QVERIFY(lib.db().adoGetData(Read::SortSettings, rs));
        QStringList stored;
        for (; !rs.Eof(); rs.MoveNext())
            stored << rs.text("設定情報") + "|" + rs.text("設定値");
        QCOMPARE(stored, QStringList({"ソート列|4", "ソート種別|昇順"}));
    }
};

QTEST_MAIN(TestDispSetDialog)
#include "tst_dispsetdialog.moc"
