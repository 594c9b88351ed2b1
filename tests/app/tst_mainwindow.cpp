// The main window driven headless against a real library database:
// start-up, set-list switching, resize, appearance, search and shutdown.

#include "app/opening.h"
#include "app/qttranslations.h"
#include "base/elidedlabel.h"
#include "base/pictures.h"
#include "data/requests.h"
#include "diskfiles.h"
#include "mainfixture.h"
#include "songlist/filterbox.h"
#include "songlist/search.h"
#include "songlist/serchdialog.h"
#include "songlist/songlist.h"
#include "songlist/songlistview.h"

#include <QAction>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
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

    // The rows of read `kind`, each as its `fields` joined by "|".
    static QStringList rows(TempLibrary& lib, int kind, const QStringList& fields) {
        QStringList out;
        Recordset rs;
        lib.db().adoGetData(kind, rs);
        for (; !rs.Eof(); rs.MoveNext()) {
            QStringList row;
            for (const QString& field : fields)
                row << rs.text(field);
            out << row.join(u'|');
        }
        return out;
    }
    // Songs a, b, c and a set list "Fav" holding b and c.
    static void fill(TempLibrary& lib) {
        for (const char* t : {"a", "b", "c"})
            lib.addSong(QLatin1String(t));
        lib.db().adoSetData(Write::AddSetList, {QStringLiteral("Fav")});
        lib.db().adoxCreateQuery(QStringLiteral("SELECT * FROM Q_SetList_ALL WHERE ID > 1"),
                                 QStringLiteral("Q_SetList_Fav"));
    }
    // Resizes the window so that the area below the menu bar and above the
    // status bar, where the resize rule lays out, is `inner`.
    static void resizeInner(frmMain& w, const QSize& inner) {
        w.resize(inner.width(), inner.height() + w.menuBar()->height() + w.statBar->height());
        QTRY_COMPARE(w.centralWidget()->size(), inner);
    }
    // The set list shown, its titles in list order, the play mode and the
    // volume.
    static QString shown(const frmMain& w) {
        QStringList titles;
        const SongListModel& list = w.lvSongList->songs();
        for (int p = 0; p < list.count(); ++p)
            titles << list.cell(list.keyAt(p), 0);
        return QStringList({w.cboSetList->currentText(), titles.join(u','),
                            w.cboHowToPlay->currentText(), QString::number(w.sldVolume->value())})
            .join(QStringLiteral(" | "));
    }

private slots:
    void initTestCase() {
        QCOMPARE(frmOpening::interval(), 1000); // the splash's one period
        frmOpening::setInterval(0);
    }

    void withoutSelectionTheFirstSetListAndModeAreShown() {
        MainFixture f;
        fill(f.lib);
        f.lib.db().adoSetData(Write::SelectSetList,
                              {QStringLiteral("deleted list")}); // none selected
        f.lib.db().adoSetData(Write::SelectPlayMode, {QStringLiteral("none")});
        f.lib.db().adoSetData(Write::SystemVolume, {QStringLiteral("loud")});
        QVERIFY(f.start());
        QCOMPARE(shown(*f.w), QStringLiteral("ALL | a,b,c | ﾗﾝﾀﾞﾑ再生 | 4000"));
    }

    void failedListLoadEndsStartAndKeepsSettings() {
        MainFixture f;
        f.lib.db().adoSetData(Write::AddSetList,
                              {QStringLiteral("Lost")}); // a set list without its query
        f.lib.db().adoSetData(Write::SelectSetList, {QStringLiteral("Lost")});
        f.lib.db().adoSetData(Write::SystemVolume, {QStringLiteral("7000")});
        QVERIFY(!f.start());
        QCOMPARE(f.boxes.boxes().size(), 2);
        QCOMPARE(f.boxes.boxes()[0].title, QStringLiteral("DBError"));
        QCOMPARE(f.boxes.boxes()[1].text, QStringLiteral("画面の初期化に失敗しました"));
        // The next start does not fail the same way: it comes up on "ALL",
        // with the settings kept.
        f.boxes.clear();
        QVERIFY(f.start());
        QCOMPARE(shown(*f.w), QStringLiteral("ALL |  | ﾗﾝﾀﾞﾑ再生 | 7000"));
        QVERIFY(f.boxes.boxes().isEmpty());
    }

    void onlyUserChangesReloadTheList() {
        MainFixture f;
        fill(f.lib);
        QVERIFY(f.start());
        frmMain& w = *f.w;
        // The program refilling the combo does not reload the list.
        w.lvSongList->songs().removeItem(QStringLiteral("Key_1"));
        w.frmMain_SetSetListCombo();
        QCOMPARE(shown(w), QStringLiteral("ALL | b,c | ﾗﾝﾀﾞﾑ再生 | 4000"));
        gLastKey = QStringLiteral("Key_3");
        w.cboSetList->setCurrentIndex(w.cboSetList->findText(QStringLiteral("Fav")));
        QCOMPARE(shown(w), QStringLiteral("Fav | b,c | ﾗﾝﾀﾞﾑ再生 | 4000"));
        QVERIFY(w.lvSongList->songs().sorted()); // the reloaded list keeps its sort
        QVERIFY(gLastKey.isEmpty());
        w.cboSetList->setCurrentIndex(0);
        QCOMPARE(shown(w), QStringLiteral("ALL | a,b,c | ﾗﾝﾀﾞﾑ再生 | 4000"));
        w.close();
        f.lib.reopen();
        QCOMPARE(rows(f.lib, 2, {QStringLiteral("セットリスト名"), QStringLiteral("選択")}),
                 QStringList({QStringLiteral("ALL|True"), QStringLiteral("Fav|False")}));
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
        const QList<QRect> layout = {list, frame, QRect(volumeX, 68, 160, 32)};
        MainFixture f;
        QVERIFY(f.start());
        frmMain& w = *f.w;
        const auto laidOut = [&] {
            return QList<QRect>(
                {w.lvSongList->geometry(), w.fraSong->geometry(), w.sldVolume->geometry()});
        };
        resizeInner(w, inner);
        QCOMPARE(laidOut(), layout);
        const QList<QWidget*> controls = {
            w.lblSetList, w.cboSetList, w.lblPlayState, w.cboHowToPlay, w.cmdPlay,  w.cmdStop,
            w.cmdNext,    w.fraSong,    w.sldVolume,    w.lvSongList,   w.txtFilter};
        for (QWidget* a : controls) {
            QVERIFY2(QRect(QPoint(), inner).contains(a->geometry()), qPrintable(a->objectName()));
            for (QWidget* b : controls) {
                QVERIFY2(
                    a == b || !a->geometry().intersects(b->geometry()),
                    qPrintable(a->objectName() + QStringLiteral(" overlaps ") + b->objectName()));
            }
        }
        for (QWidget* part : QWidgetList({w.lblSongDisp1, w.lblSongDisp2}))
            QCOMPARE(QPair(part->x(), part->width()), QPair(12, frame.width() - 24));
        // The slider and the time beside it share the width, the time at the right.
        QCOMPARE(w.sldDuration->x(), 12);
        QCOMPARE(w.lblDuration->geometry().right(), frame.width() - 13);
        QVERIFY(w.sldDuration->geometry().right() < w.lblDuration->x());
        QVERIFY(w.sldDuration->width() >= 100);
        // The filter box lies under the buttons, up to the frame.
        QCOMPARE(w.txtFilter->geometry(), QRect(8, 116, frame.x() - 16, 24));

        // The window cannot be made smaller than the smallest area above:
        // asked for less, it stops there.
        const int bars = w.menuBar()->height() + w.statBar->height();
        for (const auto& [asked, got] : {std::pair(QSize(1200, 199), QSize(1200, 200)),
                                         std::pair(QSize(639, 800), QSize(640, 800)),
                                         std::pair(QSize(100, 50), QSize(640, 200))}) {
            w.resize(asked.width(), asked.height() + bars);
            QTRY_COMPARE(w.centralWidget()->size(), got);
        }
    }

    // A long path in the status bar is cut in the middle, keeping its
    // file name, instead of widening the window and pushing the volume
    // off it; the label follows the window's width.
    void statusTextNeverWidensTheWindow() {
        MainFixture f;
        QVERIFY(f.start());
        frmMain& w = *f.w;
        resizeInner(w, QSize(860, 400));
        const QString path = QStringLiteral("/music/") +
                             QStringLiteral("長いフォルダ名/").repeated(40) +
                             QStringLiteral("曲.mp3");
        QCOMPARE(path.size(), 332); // 7 + 40 × 8 + 5
        w.lblStatBarSong->setText(path);
        auto* label = static_cast<ElidedLabel*>(w.lblStatBarSong);
        for (const int width : {860, 720}) {
            resizeInner(w, QSize(width, 400));
            QTRY_COMPARE(w.width(), width);
            QCOMPARE(w.lblStatBarSong->text(), path);
            const QString shown = label->shownText();
            QVERIFY2(shown.startsWith(QStringLiteral("/music/")) &&
                         shown.endsWith(QStringLiteral("/曲.mp3")) &&
                         shown.contains(QStringLiteral("…")),
                     qPrintable(shown));
            QVERIFY(label->geometry().right() < width);
            QCOMPARE(w.sldVolume->geometry().right(), width - 21);
        }
    }

    // Shutdown writes the settings, even when nothing played, and the next
    // start restores them.
    void shutdownWritesTheSettingsTheNextStartShows() {
        MainFixture f;
        fill(f.lib);
        QVERIFY(f.start());
        f.w->cboSetList->setCurrentIndex(1);
        f.w->sldVolume->setValue(2500);
        f.w->cboHowToPlay->setCurrentIndex(1);
        f.w->lvSongList->setColumnWidth(1, 100);
        lvSortList(f.w->lvSongList->songs(), 0); // titles; the stored order (0) flips to 1
        f.w.reset();
        f.lib.reopen();
        QCOMPARE(rows(f.lib, 6, {QStringLiteral("設定値")}), QStringList({QStringLiteral("2500")}));
        QCOMPARE(rows(f.lib, 5, {QStringLiteral("再生種別"), QStringLiteral("選択")}),
                 QStringList({QStringLiteral("ﾗﾝﾀﾞﾑ再生|False"), QStringLiteral("ﾌﾟﾛｸﾞﾗﾑ再生|True"),
                              QStringLiteral("優先度ﾗﾝﾀﾞﾑ再生|False")}));
        // 100 pixels at 96 DPI
        QCOMPARE(rows(f.lib, 1, {QStringLiteral("列名"), QStringLiteral("幅")}).at(1),
                 QStringLiteral("ｱｰﾃｨｽﾄ名|1500"));
        // Order 1 is stored as "昇順", and "昇順" restores descending.
        QCOMPARE(rows(f.lib, 4, {QStringLiteral("設定情報"), QStringLiteral("設定値")}),
                 QStringList({QStringLiteral("ソート列|0"), QStringLiteral("ソート種別|昇順")}));
        QVERIFY(f.start());
        QCOMPARE(shown(*f.w), QStringLiteral("Fav | c,b | ﾌﾟﾛｸﾞﾗﾑ再生 | 2500"));
        QCOMPARE(f.w->lvSongList->columnWidth(1), 100);
        QVERIFY(f.boxes.boxes().isEmpty());
    }

    // The window's place, size and maximised state are stored at shutdown
    // in twips (15 a pixel at 96 DPI) and restored at the next start; a
    // place no screen shows (the offscreen screen is 800 x 800) is centred
    // instead. A library that never stored one opens at the default size.
    void theWindowPlaceIsRemembered_data() {
        QTest::addColumn<QRect>("placed");
        QTest::addColumn<bool>("maximised");
        QTest::addColumn<QStringList>("stored"); // Left, Top, Width, Height, 最大化
        QTest::addColumn<QPoint>("restored");
        QTest::newRow("on the screen")
            << QRect(30, 40, 700, 500) << false
            << QStringList({QStringLiteral("450"), QStringLiteral("600"), QStringLiteral("10500"),
                            QStringLiteral("7500"), QStringLiteral("0")})
            << QPoint(30, 40);
        QTest::newRow("partly off the screen")
            << QRect(-300, 700, 700, 500) << false
            << QStringList({QStringLiteral("-4500"), QStringLiteral("10500"),
                            QStringLiteral("10500"), QStringLiteral("7500"), QStringLiteral("0")})
            << QPoint(-300, 700);
        QTest::newRow("off every screen")
            << QRect(900, 0, 700, 500) << false
            << QStringList({QStringLiteral("13500"), QStringLiteral("0"), QStringLiteral("10500"),
                            QStringLiteral("7500"), QStringLiteral("0")})
            << QPoint(50, 150);
        QTest::newRow("maximised")
            << QRect(30, 40, 700, 500) << true
            << QStringList({QStringLiteral("450"), QStringLiteral("600"), QStringLiteral("10500"),
                            QStringLiteral("7500"), QStringLiteral("1")})
            << QPoint(0, 0);
    }
    void theWindowPlaceIsRemembered() {
        QFETCH(QRect, placed);
        QFETCH(bool, maximised);
        QFETCH(QStringList, stored);
        QFETCH(QPoint, restored);
        MainFixture f;
        QVERIFY(f.start());
        QCOMPARE(f.w->size(), QSize(860, 600));
        f.w->resize(placed.size());
        f.w->move(placed.topLeft());
        QTRY_COMPARE(f.w->pos(), placed.topLeft());
        if (maximised) {
            f.w->showMaximized();
            QTRY_VERIFY(f.w->isMaximized());
        }
        f.w.reset();
        f.lib.reopen();
        QStringList values;
        for (const char* name : {"Left", "Top", "Width", "Height", "最大化"}) {
            Recordset rs;
            f.lib.db().adoGetData(Read::Setting, rs,
                                  QStringLiteral("メイン画面") + QString::fromUtf8(name));
            values << (rs.Eof() ? QStringLiteral("<none>") : rs.text(QStringLiteral("設定値")));
        }
        QCOMPARE(values, stored);
        QVERIFY(f.start());
        QCOMPARE(f.w->isMaximized(), maximised);
        if (maximised) {
            f.w->showNormal();
            QTRY_VERIFY(!f.w->isMaximized());
            restored = placed.topLeft();
        }
        QTRY_COMPARE(f.w->pos(), restored);
        QCOMPARE(f.w->size(), placed.size());
    }

    // Colours are stored as red + 256 green + 65536 blue; a missing
    // picture or a value that is not a number changes only that setting.
    void appearanceComesFromTheSettings() {
        MainFixture f;
        QImage image(16, 16, QImage::Format_RGB32);
        image.fill(Qt::yellow);
        QVERIFY(image.save(f.lib.folder() + QStringLiteral("/bg.png")));
        f.lib.db().adoSetData(Write::MainPicture, {f.lib.folder() + QStringLiteral("/bg.png")});
        f.lib.db().adoSetData(Write::MainFontColor, {QStringLiteral("255")});
        f.lib.db().adoSetData(Write::MainBackColor, {QStringLiteral("65280")});
        QVERIFY(f.start());
        QVERIFY(f.w->lvSongList->hasPicture());
        QCOMPARE(f.w->lvSongList->textColor(), QColor(255, 0, 0));
        QCOMPARE(f.w->lvSongList->backColor(), QColor(0, 255, 0));
        f.w.reset();
        f.lib.reopen();
        f.lib.db().adoSetData(Write::MainPicture,
                              {f.lib.folder() + QStringLiteral("/missing.png")});
        f.lib.db().adoSetData(Write::MainFontColor, {QStringLiteral("not a colour")});
        f.lib.db().adoSetData(Write::MainBackColor, {QStringLiteral("16711680")});
        const QColor designText = SongListView().textColor();
        QVERIFY(f.start());
        QVERIFY(!f.w->lvSongList->hasPicture());
        QCOMPARE(f.w->lvSongList->textColor(), designText);
        QCOMPARE(f.w->lvSongList->backColor(), QColor(0, 0, 255));
    }

    // Every menu item by name, with its access key, its shortcut and the
    // separators; no access key is used twice in a menu, and each shortcut
    // is in the help page's table.
    void menusHaveTheirItemsShortcutsAndSeparators() {
        const QString help = QString::fromUtf8(
            diskfiles::read(QStringLiteral(MELODARA_PROGRAM_FOLDER "/MelodaraHelp.html")));
        frmMain w(QString(), new FakePlayer);
        QStringList layout;
        const auto accessKey = [](const QAction* a) {
            const qsizetype at = a->text().indexOf(u'&');
            return at < 0 ? QString() : QStringLiteral("/") + a->text().mid(at + 1, 1);
        };
        QStringList menuKeys;
        for (QAction* top : w.menuBar()->actions()) {
            QStringList items;
            QStringList keysOfMenu;
            for (QAction* a : top->menu()->actions()) {
                const QString keys = a->shortcut().toString();
                QVERIFY2(keys.isEmpty() || help.contains(QStringLiteral("<kbd>") + keys +
                                                         QStringLiteral("</kbd>")),
                         qPrintable(keys));
                QVERIFY2(a->isSeparator() || !keysOfMenu.contains(accessKey(a)),
                         qPrintable(a->text()));
                keysOfMenu << accessKey(a);
                items << (a->isSeparator()
                              ? QStringLiteral("-")
                              : a->objectName().section(u'_', 1) + accessKey(a) +
                                    (keys.isEmpty() ? QString() : QStringLiteral("=") + keys));
            }
            QVERIFY(!menuKeys.contains(accessKey(top)));
            menuKeys << accessKey(top);
            layout << top->menu()->objectName() + accessKey(top) + QStringLiteral(":") +
                          items.join(u' ');
        }
        QCOMPARE(
            layout,
            QStringList(
                {QStringLiteral("mnuFile/F:ShowMLP/S - ExportM3u/E CopySong/C - Exit/X"),
                 QStringLiteral("mnuEdit/E:SetList/S Album/A - Category/C Artist/T - SongProp/R "
                                "SongPropDirect/D - Serch/F=Ctrl+F Filter/L=Ctrl+L - "
                                "PlaySelListSong/P=Ctrl+P"),
                 QStringLiteral("mnuSetting/S:Disp/D"),
                 QStringLiteral("mnuWeb/W:SerchGoods/S=F2 SerchAuction/O=F3 ShowZep/H=F4"),
                 QStringLiteral("mnuDisp/D:ShowPlaySong/P=Ctrl+D - Compact/C=Ctrl+C"),
                 QStringLiteral("mnuHelp/H:ShowHelp/V=F1 Help/H - HP/S")}));
        QVERIFY(diskfiles::read(QStringLiteral(MELODARA_PROGRAM_FOLDER "/始めにお読みください.txt"))
                    .contains("Melodara Player"));
    }

    // One modeless search window over the song list, with its columns;
    // after it reopens, the first search starts from the top.
    void searchFromTheMenu() {
        MainFixture f;
        for (const char* t : {"Alpha", "Beta", "Gamma", "Delta"})
            f.lib.addSong(QLatin1String(t));
        f.lib.showColumns({QStringLiteral("曲名"), QStringLiteral("ﾌｧｲﾙﾊﾟｽ")});
        QVERIFY(f.start());
        frmMain& w = *f.w;
        w.lvSongList->songs().setSort(true, 0, 0); // Alpha, Beta, Delta, Gamma
        QAction* command = w.mnuEdit_Serch;

        command->trigger();
        command->trigger(); // brings the open window forward, columns once
        const QList<frmSerch*> windows = w.findChildren<frmSerch*>();
        QCOMPARE(windows.size(), 1);
        frmSerch* serch = windows.front();
        QVERIFY(serch->isVisible() && !serch->isModal());
        QComboBox* columns = serch->cboSerchColumn;
        QCOMPARE(columns->count(), 2);
        QCOMPARE(columns->itemText(0), QStringLiteral("曲名"));
        QCOMPARE(columns->currentText(), QStringLiteral("ﾌｧｲﾙﾊﾟｽ"));

        columns->setCurrentIndex(0);
        serch->txtSerch->setText(QStringLiteral("ta"));
        serch->cmdNext->click();
        QCOMPARE(w.lvSongList->selectedKeys(), QStringList({QStringLiteral("Key_2")}));
        serch->cmdNext->click();
        QCOMPARE(w.lvSongList->selectedKeys(), QStringList({QStringLiteral("Key_4")}));
        QCOMPARE(gSerchPos, 3);

        // Closed and opened again: the first search starts from the top.
        serch->cmdCancel->click();
        QTRY_VERIFY(w.findChildren<frmSerch*>().isEmpty());
        command->trigger();
        serch = w.findChildren<frmSerch*>().front();
        QCOMPARE(serch->cboSerchColumn->count(), 2);
        QCOMPARE(gSerchPos, 3);
        serch->cboSerchColumn->setCurrentIndex(0);
        serch->txtSerch->setText(QStringLiteral("a"));
        serch->cmdNext->click();
        QCOMPARE(w.lvSongList->selectedKeys(), QStringList({QStringLiteral("Key_1")}));
        QVERIFY(f.boxes.boxes().isEmpty());
    }
    void buttonsNeverLackPictures() {
        // The test folder has no MLPData: the built-in pictures are shown.
        frmMain w(QString(), new FakePlayer);
        for (QToolButton* b : {w.cmdPlay, w.cmdStop, w.cmdNext})
            QVERIFY(!b->icon().isNull());

        const QString folder = QCoreApplication::applicationDirPath() + QStringLiteral("/MLPData");
        QImage own(20, 10, QImage::Format_RGB32);
        own.fill(Qt::blue);
        QVERIFY(QDir().mkpath(folder) && own.save(folder + QStringLiteral("/Play.bmp"), "BMP"));
        QCOMPARE(pictures::load(pictures::Picture::Play).size(), QSize(20, 10));
        QDir(folder).removeRecursively();
        QCOMPARE(pictures::load(pictures::Picture::Play).size(), QSize(32, 32));
    }

    void splashClosesAfterOnePeriod() {
        frmOpening splash;
        QCOMPARE(splash.findChild<QLabel*>(QStringLiteral("lblTitle"))->text(),
                 QStringLiteral("Melodara Player"));
        QCOMPARE(splash.findChild<QLabel*>(QStringLiteral("lblVersion"))->text(),
                 QStringLiteral("Version 5.00"));
        splash.tmProc->start(10);
        QCOMPARE(splash.exec(), int(QDialog::Accepted));
    }

    void standardButtonsReadJapanese() {
        QVERIFY(installQtTranslations(*QCoreApplication::instance()));
        QDialogButtonBox buttons(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
        QCOMPARE(buttons.button(QDialogButtonBox::Cancel)->text(), QStringLiteral("キャンセル"));
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
