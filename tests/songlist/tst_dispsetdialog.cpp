// The display settings dialog on a real library: what it loads, how its
// lists move, what OK stores (all of it or nothing), that Cancel and the
// close box store nothing, its pickers, and the main window's rebuild.

#include "app/mainwindow.h"
#include "app/opening.h"
#include "base/modal.h"
#include "diskfiles.h"
#include "fakeplayer.h"
#include "playback/playercontrol.h"
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
#include <QSpinBox>
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
            out << item->text(0) + (item == list->currentItem() && item->isSelected()
                                        ? QStringLiteral("*")
                                        : QString());
        }
        return out.join(u',');
    }
    static QString lists(const frmDispSet& d) {
        return rows(d.lvShowColumnList) + QStringLiteral(" / ") + rows(d.lvColumnList);
    }
    static void select(QTreeWidget* list, const QString& name) {
        list->setCurrentItem(list->findItems(name, Qt::MatchExactly).value(0));
    }
    // The frame and status items, the picture paths and the colours (value
    // and shown colour) of the main list, then the compact window, and the
    // crossfade's seconds.
    static QString controls(const frmDispSet& d) {
        QStringList out = {d.cboDispSongProp[0]->currentText(), d.cboDispSongProp[1]->currentText(),
                           d.cboDispStatBar->currentText(), d.txtListPicPath->text(),
                           d.txtListPicPathCpt->text()};
        for (const ColorLabel* c :
             {d.lblFontCol[0], d.lblBackCol, d.lblFontCol[1], d.lblBackColCpt})
            out << QString::number(c->value()) + c->palette().color(QPalette::Window).name();
        out << QString::number(d.spnCrossfade->value());
        return out.join(u'|');
    }
    // The writes that would store the dialog's settings, as "kind:params".
    static QStringList writes(const frmDispSet& d) {
        QStringList out;
        for (const SettingWrite& w : displaysettings::writes(d.settings()))
            out << QString::number(w.kind) + QStringLiteral(":") + w.params.join(u',');
        return out;
    }
    // What the dialog shows when it is opened now.
    static QString stored() {
        frmDispSet d;
        return lists(d) + QStringLiteral(" | ") + controls(d);
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
            lib.showColumns(QString::fromUtf8(shown).split(u','));
            QCOMPARE(lists(frmDispSet()), QString::fromUtf8(expected));
        }
    }

    void itemsAndPathsLoad() {
        TempLibrary lib;
        // Frame line 1 names an unknown item; a third frame row has no line.
        // Status rows ｶｳﾝﾄ, 優先度, 謎: the last known one wins.
        QVERIFY(sql(
            QStringLiteral("UPDATE TM_表示項目 SET フレーム表示順 = CASE 列名 WHEN 'ﾄﾚﾝﾄﾞ' THEN 2"
                           " WHEN 'ｶｳﾝﾄ' THEN 3 ELSE 0 END, ステータスバー表示順 = CASE 列名"
                           " WHEN 'ｶｳﾝﾄ' THEN 1 WHEN '優先度' THEN 2 ELSE 0 END")));
        QVERIFY(
            sql(QStringLiteral("INSERT INTO TM_表示項目(列名, フレーム表示順, ステータスバー表示順)"
                               " VALUES ('謎', 1, 3)")));
        QVERIFY(sql(QStringLiteral(
            "UPDATE TM_初期設定 SET 設定値 = CASE 設定情報"
            " WHEN 'メイン画面背景画像パス' THEN '' WHEN 'コンパクト画面背景画像パス' THEN NULL"
            " WHEN 'メイン画面フォント色' THEN '255' WHEN 'メイン画面背景色' THEN 'not a colour'"
            " WHEN 'コンパクト画面フォント色' THEN '16711680'"
            " WHEN 'コンパクト画面背景色' THEN '65280' ELSE 設定値 END")));
        // A crossfade above the top is the top.
        QVERIFY(sql(QStringLiteral(
            "INSERT INTO TM_初期設定(設定情報, 設定値) VALUES ('曲間クロスフェード', '12')")));
        frmDispSet d;
        // A colour that is not a number keeps the default, as designed.
        QCOMPARE(controls(d),
                 QStringLiteral("|ﾄﾚﾝﾄﾞ|優先度|未指定|未指定|255#ff0000|16777215#ffffff|"
                                "16711680#0000ff|65280#00ff00|10"));
        QCOMPARE(d.spnCrossfade->minimum(), 0);
        QCOMPARE(d.spnCrossfade->maximum(), 10);
    }

    void movesAcrossAndWithinTheLists() {
        TempLibrary lib;
        lib.showColumns(
            {QStringLiteral("曲名"), QStringLiteral("ｶｳﾝﾄ"), QStringLiteral("ﾌｧｲﾙﾊﾟｽ")});
        frmDispSet d;
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        d.cmdAdd->click(); // the next row is selected
        QCOMPARE(lists(d),
                 QStringLiteral("曲名,ｶｳﾝﾄ,優先度 / ｼﾞｬﾝﾙ*,ﾌﾞﾚｰｸｱｳﾄ,ﾄﾚﾝﾄﾞ,ﾎﾞﾘｭｰﾑ補正,ｱｰﾃｨｽﾄ名"));
        select(d.lvColumnList,
               QStringLiteral("ｱｰﾃｨｽﾄ名")); // the last row: the one before it is next
        d.cmdAdd->click();
        QCOMPARE(lists(d),
                 QStringLiteral("曲名,ｶｳﾝﾄ,優先度,ｱｰﾃｨｽﾄ名 / ｼﾞｬﾝﾙ,ﾌﾞﾚｰｸｱｳﾄ,ﾄﾚﾝﾄﾞ,ﾎﾞﾘｭｰﾑ補正*"));
        select(d.lvColumnList, QStringLiteral("ｼﾞｬﾝﾙ"));
        for (int i = 0; i < 5; ++i) // the last click finds nothing left to add
            d.cmdAdd->click();
        QCOMPARE(lists(d),
                 QStringLiteral("曲名,ｶｳﾝﾄ,優先度,ｱｰﾃｨｽﾄ名,ｼﾞｬﾝﾙ,ﾌﾞﾚｰｸｱｳﾄ,ﾄﾚﾝﾄﾞ,ﾎﾞﾘｭｰﾑ補正 / "));
        select(d.lvShowColumnList, QStringLiteral("ｶｳﾝﾄ"));
        d.cmdDelete->click();
        // The row moved is current but not selected: the arrow moves nothing.
        d.cmdAdd->click();
        QCOMPARE(lists(d),
                 QStringLiteral("曲名,優先度*,ｱｰﾃｨｽﾄ名,ｼﾞｬﾝﾙ,ﾌﾞﾚｰｸｱｳﾄ,ﾄﾚﾝﾄﾞ,ﾎﾞﾘｭｰﾑ補正 / ｶｳﾝﾄ"));
        d.cmdUP->click();
        d.cmdUP->click(); // the first row stays first
        QCOMPARE(rows(d.lvShowColumnList),
                 QStringLiteral("優先度*,曲名,ｱｰﾃｨｽﾄ名,ｼﾞｬﾝﾙ,ﾌﾞﾚｰｸｱｳﾄ,ﾄﾚﾝﾄﾞ,ﾎﾞﾘｭｰﾑ補正"));
        QTRY_VERIFY(d.lvShowColumnList->hasFocus());
        select(d.lvShowColumnList, QStringLiteral("ﾎﾞﾘｭｰﾑ補正"));
        d.cmdDown->click(); // the last row stays last
        d.cmdUP->click();
        QCOMPARE(rows(d.lvShowColumnList),
                 QStringLiteral("優先度,曲名,ｱｰﾃｨｽﾄ名,ｼﾞｬﾝﾙ,ﾌﾞﾚｰｸｱｳﾄ,ﾎﾞﾘｭｰﾑ補正*,ﾄﾚﾝﾄﾞ"));
        d.cmdDown->click();
        QCOMPARE(rows(d.lvShowColumnList),
                 QStringLiteral("優先度,曲名,ｱｰﾃｨｽﾄ名,ｼﾞｬﾝﾙ,ﾌﾞﾚｰｸｱｳﾄ,ﾄﾚﾝﾄﾞ,ﾎﾞﾘｭｰﾑ補正*"));
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
        lib.showColumns(
            {QStringLiteral("曲名"), QStringLiteral("ｶｳﾝﾄ"), QStringLiteral("ﾌｧｲﾙﾊﾟｽ")});
        const QString before = stored();
        frmDispSet d;
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        select(d.lvShowColumnList, QStringLiteral("ｶｳﾝﾄ"));
        d.cmdUP->click();
        d.cboDispSongProp[0]->setCurrentIndex(
            d.cboDispSongProp[0]->findText(QStringLiteral("ｼﾞｬﾝﾙ")));
        d.cboDispSongProp[1]->setCurrentIndex(-1); // an empty line stores no item
        d.cboDispStatBar->setCurrentIndex(d.cboDispStatBar->findText(QStringLiteral("ｶｳﾝﾄ")));
        d.txtListPicPath->setText(QStringLiteral("/pictures/m.bmp"));
        d.txtListPicPathCpt->setText(QStringLiteral("/pictures/c.jpg"));
        d.lblFontCol[0]->setValue(255);
        d.lblBackCol->setValue(65280);
        d.lblFontCol[1]->setValue(8454143);
        d.lblBackColCpt->setValue(0);
        QCOMPARE(d.spnCrossfade->value(), 0); // off unless stored
        d.spnCrossfade->setValue(10);
        QCOMPARE(
            writes(d),
            QStringList({QStringLiteral("32:"), QStringLiteral("33:1,ｶｳﾝﾄ"),
                         QStringLiteral("33:2,曲名"), QStringLiteral("33:3,ﾌｧｲﾙﾊﾟｽ"),
                         QStringLiteral("34:1,ｼﾞｬﾝﾙ"), QStringLiteral("34:2,"),
                         QStringLiteral("35:1,ｶｳﾝﾄ"), QStringLiteral("36:/pictures/c.jpg"),
                         QStringLiteral("37:8454143"), QStringLiteral("38:0"),
                         QStringLiteral("39:/pictures/m.bmp"), QStringLiteral("40:255"),
                         QStringLiteral("41:65280"), QStringLiteral("59:曲間クロスフェード,10")}));
        ScriptedPresenter boxes;
        if (how == 3)
            QVERIFY(sql(QStringLiteral(
                "CREATE TRIGGER refuse BEFORE INSERT ON TM_初期設定 WHEN NEW.設定情報 ="
                " '曲間クロスフェード' BEGIN SELECT RAISE(ABORT, 'refused'); END")));
        if (how == 0 || how == 3)
            d.cmdOK->click();
        else if (how == 1)
            d.cmdCancel->click();
        else
            QVERIFY(d.close());
        QCOMPARE(d.State, how == 0 ? 0 : 1);
        QCOMPARE(d.isVisible(), how == 3); // a failed save leaves the dialog open
        QCOMPARE(boxes.boxes().value(0).title, how == 3 ? QStringLiteral("DBError") : QString());
        // Reopened, the dialog shows what is stored.
        QCOMPARE(stored(),
                 how > 0
                     ? before
                     : QStringLiteral(
                           "ｶｳﾝﾄ*,曲名 / 優先度*,ｼﾞｬﾝﾙ,ﾌﾞﾚｰｸｱｳﾄ,ﾄﾚﾝﾄﾞ,ﾎﾞﾘｭｰﾑ補正,ｱｰﾃｨｽﾄ名 | "
                           "ｼﾞｬﾝﾙ||ｶｳﾝﾄ|/pictures/m.bmp|/pictures/c.jpg|255#ff0000|65280#00ff00|"
                           "8454143#ffff80|0#000000|10"));
    }

    void okWithEveryColumnRemovedLeavesTheFilePathAlone() {
        TempLibrary lib;
        frmDispSet d;
        for (int i = 0; i < 5; ++i)
            d.cmdDelete->click();
        QCOMPARE(writes(d).mid(0, 2),
                 QStringList({QStringLiteral("32:"), QStringLiteral("33:1,ﾌｧｲﾙﾊﾟｽ")}));
        d.cmdOK->click();
        SongListView list;
        QVERIFY(lvSetColumns(list));
        QCOMPARE(list.songs().captions(), QStringList({QStringLiteral("ﾌｧｲﾙﾊﾟｽ")}));
    }

    void pickers() {
        TempLibrary lib;
        const QString picture = lib.folder() + QStringLiteral("/bg.jpg");
        QVERIFY(diskfiles::write(picture, {}));
        frmDispSet d;
        // What each dialog is given, a colour or a file; "!" cancels it.
        QStringList answers = {QStringLiteral("#0080ff"),
                               QStringLiteral("!#010203"),
                               QStringLiteral("#ff0000"),
                               QStringLiteral("#ff0000"),
                               picture,
                               QStringLiteral("!") + picture,
                               picture};
        QStringList shown; // each colour dialog's colour, each file dialog's filters
        setModalHandler([&](QDialog& dialog) {
            const QString answer = answers.takeFirst();
            if (auto* colours = qobject_cast<QColorDialog*>(&dialog)) {
                shown << colours->currentColor().name();
                colours->setCurrentColor(QColor(answer.mid(answer.startsWith(u'!'))));
            } else if (auto* files = qobject_cast<QFileDialog*>(&dialog)) {
                shown << files->nameFilters().join(u';');
                files->selectFile(answer.mid(answer.startsWith(u'!')));
            }
            return int(answer.startsWith(u'!') ? QDialog::Rejected : QDialog::Accepted);
        });
        d.cmdRefCol->click();
        d.cmdRefCol->click(); // cancelled: nothing changes
        d.cmdFontRefCol[1]->click();
        d.cmdRefColCpt->click();
        d.cmdSearchCpt->click();
        d.cmdSearch->click(); // cancelled
        QCOMPARE(d.txtListPicPath->text(), QStringLiteral("未指定"));
        d.cmdSearch->click();
        QVERIFY(answers.isEmpty());
        // Each colour dialog starts at its label's colour; 0 + 256 x 128 + 65536 x 255.
        const QString filters =
            QStringLiteral("全ての画像ﾌｧｲﾙ (*.bmp *.jpg);ﾋﾞｯﾄﾏｯﾌﾟﾌｧｲﾙ(*.bmp);Jpegﾌｧｲﾙ(*.jpg)");
        QCOMPARE(shown, QStringList({QStringLiteral("#ffffff"), QStringLiteral("#0080ff"),
                                     QStringLiteral("#000000"), QStringLiteral("#ffffff"), filters,
                                     filters, filters}));
        QCOMPARE(controls(d),
                 QStringLiteral("曲名|ｱｰﾃｨｽﾄ名|ﾌｧｲﾙﾊﾟｽ|") + picture + u'|' + picture +
                     QStringLiteral("|0#000000|16744448#0080ff|255#ff0000|255#ff0000|0"));
        QCOMPARE(d.cboDispSongProp[0]->count(), 9);
        QCOMPARE(d.cboDispSongProp[0]->itemText(4), QStringLiteral("ﾌｧｲﾙﾊﾟｽ"));
        QCOMPARE(d.cboDispSongProp[1]->itemText(8), QStringLiteral("ｱｰﾃｨｽﾄ名"));
    }

    // From the main window: after OK the columns, the list, the list's
    // appearance and the player's crossfade are rebuilt; after Cancel
    // nothing is. The crossfade stored is read again at the next start.
    void theMainWindowRebuildsOnlyAfterOk() {
        TempLibrary lib;
        lib.addSong(QStringLiteral("a"));
        lib.addSong(QStringLiteral("b"));
        lib.close();
        frmMain w(lib.path(), new FakePlayer);
        QVERIFY(w.Form_Load());
        const QStringList columns = {QStringLiteral("曲名"),   QStringLiteral("ｱｰﾃｨｽﾄ名"),
                                     QStringLiteral("ｼﾞｬﾝﾙ"),  QStringLiteral("ｶｳﾝﾄ"),
                                     QStringLiteral("優先度"), QStringLiteral("ﾌｧｲﾙﾊﾟｽ")};
        QCOMPARE(w.lvSongList->songs().captions(), columns);
        w.lvSongList->songs().removeItem(QStringLiteral("Key_2"));
        const auto answer = [](bool ok) {
            return [ok](QDialog& dialog) {
                auto& d = dynamic_cast<frmDispSet&>(dialog);
                d.cmdDelete->click(); // 曲名 goes
                d.lblFontCol[0]->setValue(255);
                d.spnCrossfade->setValue(ok ? 3 : 7);
                (ok ? d.cmdOK : d.cmdCancel)->click();
                return d.result();
            };
        };
        setModalHandler(answer(false));
        w.mnuSetting_Disp->trigger();
        QCOMPARE(w.lvSongList->songs().captions(), columns);
        QCOMPARE(w.lvSongList->songs().count(), 1); // not reloaded
        QCOMPARE(w.playerControl().crossfade(), 0);
        setModalHandler(answer(true));
        w.mnuSetting_Disp->trigger();
        QCOMPARE(w.lvSongList->songs().captions(), columns.mid(1));
        QCOMPARE(w.lvSongList->songs().count(), 2);
        QCOMPARE(w.lvSongList->textColor(), QColor(255, 0, 0));
        QCOMPARE(w.playerControl().crossfade(), 3);
        w.playerControl().setCrossfade(0);
        QVERIFY(w.frmMain_Init());
        QCOMPARE(w.playerControl().crossfade(), 3);
    }

    // A column added in front of the sorted one: the list comes back
    // sorted on the same column, which shutdown stores by its new place.
    void theSortStaysOnItsColumnAfterOk() {
        TempLibrary lib;
        for (auto [title, count] : {std::pair{"b", 9}, {"a", 10}, {"C", 100}})
            lib.addSong(QString::fromUtf8(title), {.count = count});
        lib.close();
        {
            frmMain w(lib.path(), new FakePlayer);
            QVERIFY(w.Form_Load());
            SongListView& list = *w.lvSongList;
            lvSortList(list.songs(), 3); // ｶｳﾝﾄ, descending
            setModalHandler([](QDialog& dialog) {
                auto& d = dynamic_cast<frmDispSet&>(dialog);
                select(d.lvColumnList, QStringLiteral("ﾌﾞﾚｰｸｱｳﾄ"));
                d.cmdAdd->click();
                select(d.lvShowColumnList, QStringLiteral("ﾌﾞﾚｰｸｱｳﾄ"));
                for (int i = 0; i < 5; ++i)
                    d.cmdUP->click();
                d.cmdOK->click();
                return d.result();
            });
            w.mnuSetting_Disp->trigger();
            setModalHandler({});
            QCOMPARE(list.songs().captions(),
                     QStringList({QStringLiteral("ﾌﾞﾚｰｸｱｳﾄ"), QStringLiteral("曲名"),
                                  QStringLiteral("ｱｰﾃｨｽﾄ名"), QStringLiteral("ｼﾞｬﾝﾙ"),
                                  QStringLiteral("ｶｳﾝﾄ"), QStringLiteral("優先度"),
                                  QStringLiteral("ﾌｧｲﾙﾊﾟｽ")}));
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
            stored << rs.text(QStringLiteral("設定情報")) + QStringLiteral("|") +
                          rs.text(QStringLiteral("設定値"));
        QCOMPARE(stored,
                 QStringList({QStringLiteral("ソート列|4"), QStringLiteral("ソート種別|昇順")}));
    }
};

QTEST_MAIN(TestDispSetDialog)
#include "tst_dispsetdialog.moc"
