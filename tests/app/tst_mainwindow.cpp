// The main window driven headless against a real library database:
// start-up, set-list switching, resize, appearance and shutdown.

#include "app/mainwindow.h"
#include "app/opening.h"
#include "app/qttranslations.h"
#include "base/pictures.h"
#include "scriptedpresenter.h"
#include "songlist/songlist.h"
#include "songlist/songlistview.h"
#include "templibrary.h"

#include <QAction>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSlider>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <QToolButton>

class TestMainWindow : public QObject {
    Q_OBJECT

    static QString setting(TempLibrary& lib, int kind, const QString& key) {
        Recordset rs;
        lib.db().adoGetData(kind, rs);
        for (; !rs.Eof(); rs.MoveNext()) {
            if (key.isEmpty() || rs.text("設定情報") == key)
                return rs.text("設定値");
        }
        return "<missing>";
    }
    static void store(TempLibrary& lib, const QString& key, const QString& value) {
        lib.db().adoSetData(
            46, {"UPDATE TM_初期設定 SET 設定値 = '" + value + "' WHERE 設定情報 = '" + key + "'"});
    }
    // A library with songs a, b, c and a set list "Fav" holding b and c.
    static void fill(TempLibrary& lib) {
        for (const char* t : {"a", "b", "c"})
            lib.addSong(t);
        lib.db().adoSetData(45, {"Fav"});
        lib.db().adoxCreateQuery("SELECT * FROM Q_SetList_ALL WHERE ID > 1", "Q_SetList_Fav");
    }
    // Resizes the window so that the area below the menu bar and above the
    // status bar, where the resize rule lays out, is `inner`.
    static void resizeInner(frmMain& w, const QSize& inner) {
        w.resize(inner.width(), inner.height() + w.menuBar()->height() + w.statBar->height());
        QTRY_COMPARE(w.centralWidget()->size(), inner);
    }
    static QStringList titles(const frmMain& w) {
        QStringList out;
        const SongListModel& list = w.lvSongList->songs();
        for (int p = 0; p < list.count(); ++p)
            out << list.cell(list.keyAt(p), 0);
        return out;
    }

private slots:
    void initTestCase() { frmOpening::setInterval(0); }

    void startsWithTheSelectedSetList() {
        TempLibrary lib;
        fill(lib);
        lib.db().adoSetData(23, {"Fav"});
        lib.db().adoSetData(27, {"6500"});
        lib.db().adoSetData(28, {"ﾌﾟﾛｸﾞﾗﾑ再生"});
        lib.db().adoSetData(53, {"昇順", "0"});
        lib.close();
        ScriptedPresenter boxes;
        frmMain w(lib.path());
        QVERIFY(w.Form_Load());
        QCOMPARE(w.cboSetList->count(), 2);
        QCOMPARE(w.cboSetList->currentText(), QStringLiteral("Fav"));
        QCOMPARE(titles(w), QStringList({"c", "b"})); // "昇順" restores descending
        QCOMPARE(w.cboHowToPlay->currentText(), QStringLiteral("ﾌﾟﾛｸﾞﾗﾑ再生"));
        QCOMPARE(w.sldVolume->value(), 6500);
        QVERIFY(w.lvSongList->songs().sorted());
        QCOMPARE(w.lvSongList->songs().sortOrder(), 1);
        QVERIFY(boxes.boxes().isEmpty());
        QCOMPARE(w.windowTitle(), QStringLiteral("Melodara Player"));
    }

    void withoutSelectionTheFirstSetListAndModeAreShown() {
        TempLibrary lib;
        fill(lib);
        lib.db().adoSetData(23, {"deleted list"}); // none selected
        lib.db().adoSetData(28, {"none"});
        store(lib, "システムボリューム", "loud");
        lib.close();
        frmMain w(lib.path());
        QVERIFY(w.Form_Load());
        QCOMPARE(w.cboSetList->currentText(), QStringLiteral("ALL"));
        QCOMPARE(titles(w), QStringList({"a", "b", "c"}));
        QCOMPARE(w.cboHowToPlay->currentIndex(), 0);
        QCOMPARE(w.sldVolume->value(), 4000);
    }

    void failedListLoadEndsStartAndKeepsSettings() {
        TempLibrary lib;
        lib.db().adoSetData(45, {"Lost"}); // a set list without its query
        lib.db().adoSetData(23, {"Lost"});
        lib.db().adoSetData(27, {"7000"});
        lib.close();
        ScriptedPresenter boxes;
        {
            frmMain w(lib.path());
            QVERIFY(!w.Form_Load());
        }
        QCOMPARE(boxes.boxes().size(), 2);
        QCOMPARE(boxes.boxes()[0].title, QStringLiteral("DBError"));
        QCOMPARE(boxes.boxes()[1].text, QStringLiteral("画面の初期化に失敗しました"));
        lib.reopen();
        QCOMPARE(setting(lib, 6, {}), QStringLiteral("7000"));
        lib.close();
        // The next start does not fail the same way: it comes up on "ALL".
        boxes.clear();
        frmMain again(lib.path());
        QVERIFY(again.Form_Load());
        QCOMPARE(again.cboSetList->currentText(), QStringLiteral("ALL"));
        QCOMPARE(again.sldVolume->value(), 7000);
        QVERIFY(boxes.boxes().isEmpty());
    }

    void onlyUserChangesReloadTheList() {
        TempLibrary lib;
        fill(lib);
        lib.close();
        frmMain w(lib.path());
        QVERIFY(w.Form_Load());
        QCOMPARE(titles(w), QStringList({"a", "b", "c"}));
        // The program refilling the combo does not reload the list.
        w.lvSongList->songs().removeItem("Key_1");
        w.frmMain_SetSetListCombo();
        QCOMPARE(titles(w), QStringList({"b", "c"}));
        gLastKey = "Key_3";
        w.cboSetList->setCurrentIndex(w.cboSetList->findText("Fav"));
        QCOMPARE(titles(w), QStringList({"b", "c"}));
        QVERIFY(!w.lvSongList->songs().sorted());
        QVERIFY(gLastKey.isEmpty());
        w.cboSetList->setCurrentIndex(0);
        QCOMPARE(titles(w), QStringList({"a", "b", "c"}));
        w.close();
        lib.reopen();
        Recordset rs;
        lib.db().adoGetData(2, rs);
        QCOMPARE(rs.text("選択"), QStringLiteral("True")); // ALL selected again
    }

    void resizeRuleLaysOutWithoutOverlap_data() {
        QTest::addColumn<QSize>("inner");
        QTest::addColumn<QRect>("list");
        QTest::addColumn<QRect>("frame");
        QTest::addColumn<int>("volumeX");
        // The list keeps 8 pixels on the right and ends at the status bar;
        // the frame (380 wide) is centred where the buttons (ending at 172)
        // and the volume (160 wide, 20 from the edge) leave room, else it
        // fills the room between them with 8 pixels either side.
        QTest::newRow("smallest") << QSize(640, 200) << QRect(8, 150, 624, 50)
                                  << QRect(180, 36, 272, 104) << 460;
        QTest::newRow("narrow") << QSize(700, 400) << QRect(8, 150, 684, 250)
                                << QRect(180, 36, 332, 104) << 520;
        QTest::newRow("centred") << QSize(760, 400) << QRect(8, 150, 744, 250)
                                 << QRect(190, 36, 380, 104) << 580;
        QTest::newRow("large") << QSize(1000, 700) << QRect(8, 150, 984, 550)
                               << QRect(310, 36, 380, 104) << 820;
    }
    void resizeRuleLaysOutWithoutOverlap() {
        QFETCH(QSize, inner);
        QFETCH(QRect, list);
        QFETCH(QRect, frame);
        QFETCH(int, volumeX);
        TempLibrary lib;
        lib.close();
        frmMain w(lib.path());
        QVERIFY(w.Form_Load());
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QVERIFY(w.statBar->height() >= 20); // it takes the list's bottom margin
        resizeInner(w, inner);
        QCOMPARE(w.lvSongList->geometry(), list);
        QCOMPARE(w.fraSong->geometry(), frame);
        QCOMPARE(w.sldVolume->x(), volumeX);
        QCOMPARE(w.sldVolume->width(), 160);

        const QList<QWidget*> controls = {
            w.lblSetList, w.cboSetList, w.lblPlayState, w.cboHowToPlay, w.cmdPlay,
            w.cmdStop,    w.cmdNext,    w.fraSong,      w.sldVolume,    w.lvSongList};
        for (QWidget* a : controls) {
            QVERIFY2(QRect(QPoint(), inner).contains(a->geometry()), qPrintable(a->objectName()));
            for (QWidget* b : controls) {
                QVERIFY2(a == b || !a->geometry().intersects(b->geometry()),
                         qPrintable(a->objectName() + " overlaps " + b->objectName()));
            }
        }
        for (QWidget* part :
             std::initializer_list<QWidget*>{w.lblSongDisp1, w.lblSongDisp2, w.sldDuration}) {
            QCOMPARE(part->x(), 12);
            QCOMPARE(part->width(), frame.width() - 24);
        }

        // A window wide enough but under 200 high, or high enough but under
        // 640 wide, leaves every control where it was.
        for (const QSize& below : {QSize(1200, 199), QSize(639, 800)}) {
            resizeInner(w, below);
            QCOMPARE(w.lvSongList->geometry(), list);
            QCOMPARE(w.fraSong->geometry(), frame);
            QCOMPARE(w.sldVolume->x(), volumeX);
        }
    }

    void shutdownWritesTheSettings() {
        TempLibrary lib;
        fill(lib);
        lib.close();
        {
            frmMain w(lib.path());
            QVERIFY(w.Form_Load());
            w.sldVolume->setValue(2500);
            w.cboHowToPlay->setCurrentIndex(1);
            w.lvSongList->setColumnWidth(1, 100);
            lvSortList(w.lvSongList->songs(), 2); // stored 降順 (0) flips to 1
            w.close();
        }
        lib.reopen();
        QCOMPARE(setting(lib, 6, {}), QStringLiteral("2500"));
        Recordset modes;
        lib.db().adoGetData(5, modes);
        modes.MoveNext();
        QCOMPARE(modes.text("再生種別"), QStringLiteral("ﾌﾟﾛｸﾞﾗﾑ再生"));
        QCOMPARE(modes.text("選択"), QStringLiteral("True"));
        Recordset widths;
        lib.db().adoGetData(1, widths);
        widths.MoveNext();
        QCOMPARE(widths.text("列名"), QStringLiteral("ｱｰﾃｨｽﾄ名"));
        QCOMPARE(widths.Field("幅").toDouble(), 1500.0); // 100 pixels at 96 DPI
        QCOMPARE(setting(lib, 4, "ソート種別"), QStringLiteral("昇順"));
        QCOMPARE(setting(lib, 4, "ソート列"), QStringLiteral("2"));
    }

    void appearanceComesFromTheSettings() {
        TempLibrary lib;
        const QString picture = lib.folder() + "/bg.png";
        QImage image(16, 16, QImage::Format_RGB32);
        image.fill(Qt::yellow);
        QVERIFY(image.save(picture));
        store(lib, "メイン画面背景画像パス", picture);
        store(lib, "メイン画面フォント色", "255");
        store(lib, "メイン画面背景色", "65280");
        lib.close();
        {
            frmMain w(lib.path());
            QVERIFY(w.Form_Load());
            QVERIFY(w.lvSongList->hasPicture());
            QCOMPARE(w.lvSongList->textColor(), QColor(255, 0, 0));
            QCOMPARE(w.lvSongList->backColor(), QColor(0, 255, 0));
        }
        lib.reopen();
        store(lib, "メイン画面背景画像パス", lib.folder() + "/missing.png");
        store(lib, "メイン画面フォント色", "not a colour");
        store(lib, "メイン画面背景色", "16711680");
        lib.close();
        frmMain w(lib.path());
        const QColor designText = w.lvSongList->textColor();
        QVERIFY(w.Form_Load());
        QVERIFY(!w.lvSongList->hasPicture());
        QCOMPARE(w.lvSongList->textColor(), designText);
        QCOMPARE(w.lvSongList->backColor(), QColor(0, 0, 255));
    }

    void menuBarHasEveryItem_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("shortcut");
        QTest::newRow("exit") << "mnuFile_Exit"
                              << "MelodaraPlayerの終了(&X)"
                              << "";
        QTest::newRow("search") << "mnuEdit_Serch"
                                << "検索(&F)"
                                << "Ctrl+F";
        QTest::newRow("play") << "mnuEdit_PlaySelListSong"
                              << "選択中の曲を再生(&P)"
                              << "Ctrl+P";
        QTest::newRow("auction") << "mnuWeb_SerchAuction"
                                 << "楽天オークション検索(&O)"
                                 << "F3";
        QTest::newRow("compact") << "mnuDisp_Compact"
                                 << "コンパクト表示(&C)"
                                 << "Ctrl+C";
        QTest::newRow("help") << "mnuHelp_ShowHelp"
                              << "ヘルプ表示"
                              << "F1";
        QTest::newRow("home page") << "mnuHelp_HP"
                                   << "作者のﾎｰﾑﾍﾟｰｼﾞ...(&S)"
                                   << "";
    }
    void menuBarHasEveryItem() {
        QFETCH(QString, name);
        QFETCH(QString, caption);
        QFETCH(QString, shortcut);
        frmMain w;
        QAction* a = w.action(name);
        QVERIFY(a);
        QCOMPARE(a->objectName(), name);
        QCOMPARE(a->text(), caption);
        QCOMPARE(a->shortcut().toString(), shortcut);
    }

    void menusHaveTheirSeparators() {
        frmMain w;
        QStringList layout;
        for (QAction* top : w.menuBar()->actions()) {
            QStringList items;
            for (QAction* a : top->menu()->actions())
                items << (a->isSeparator() ? "-" : a->objectName().section('_', 1));
            layout << top->menu()->objectName() + ":" + items.join(' ');
        }
        QCOMPARE(layout,
                 QStringList({"mnuFile:ShowMLP - ExportM3u CopySong - Exit",
                              "mnuEdit:SetList Album - Category Artist - SongProp SongPropDirect - "
                              "Serch - PlaySelListSong",
                              "mnuSetting:Disp", "mnuWeb:SerchGoods SerchAuction ShowZep",
                              "mnuDisp:ShowPlaySong - Compact", "mnuHelp:ShowHelp Help - HP"}));
    }

    void buttonsNeverLackPictures() {
        // The test folder has no MLPData: the built-in pictures are shown.
        frmMain w;
        for (QToolButton* b : {w.cmdPlay, w.cmdStop, w.cmdNext})
            QVERIFY(!b->icon().isNull());
        QCOMPARE(w.sldVolume->maximum(), 8000);
        QCOMPARE(w.sldVolume->singleStep(), 500);

        const QString folder = QCoreApplication::applicationDirPath() + "/MLPData";
        QDir().mkpath(folder);
        QImage own(20, 10, QImage::Format_RGB32);
        own.fill(Qt::blue);
        QVERIFY(own.save(folder + "/Play.bmp", "BMP"));
        QCOMPARE(pictures::load(pictures::Picture::Play).size(), QSize(20, 10));
        QDir(folder).removeRecursively();
        QCOMPARE(pictures::load(pictures::Picture::Play).size(), QSize(32, 32));
    }

    void splashClosesAfterOnePeriod() {
        frmOpening splash;
        QCOMPARE(splash.windowTitle(), QStringLiteral("MelodaraPlayer"));
        QCOMPARE(splash.findChild<QLabel*>("lblTitle")->text(), QStringLiteral("Melodara Player"));
        QCOMPARE(splash.findChild<QLabel*>("lblVersion")->text(), QStringLiteral("Version 5.00"));
        QCOMPARE(splash.tmProc->interval(), 0);
        frmOpening::setInterval(1000);
        frmOpening standard;
        QCOMPARE(standard.tmProc->interval(), 1000);
        frmOpening::setInterval(0);
        standard.tmProc->setInterval(10);
        standard.tmProc->start();
        QCOMPARE(standard.exec(), int(QDialog::Accepted));
    }

    void standardButtonsReadJapanese() {
        QVERIFY(installQtTranslations(*QCoreApplication::instance()));
        QDialogButtonBox buttons(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
        QCOMPARE(buttons.button(QDialogButtonBox::Cancel)->text(), QStringLiteral("キャンセル"));
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
