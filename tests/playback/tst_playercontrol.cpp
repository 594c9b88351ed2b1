// Choosing the song to play and what the now-playing display shows of it;
// the main window's player control against a scripted player, driving the
// one-second tick by hand, and once against the real player; the compact
// window the player writes to in compact mode.
//
// Compact window positions are worked out for the offscreen screen: 800 x
// 800 pixels at 96 DPI (15 twips a pixel); its design size is 380 x 116.

#include "app/mainwindow.h"
#include "app/opening.h"
#include "audiofiles.h"
#include "base/modal.h"
#include "base/random.h"
#include "fakeplayer.h"
#include "playback/compactwindow.h"
#include "playback/gstplayer.h"
#include "playback/nowplaying.h"
#include "playback/playstate.h"
#include "playback/selectsong.h"
#include "scriptedpresenter.h"
#include "songlist/songlist.h"
#include "songlist/songlistview.h"
#include "templibrary.h"

#include <QAction>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QSlider>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QWindow>

#include <optional>

class TestPlayerControl : public QObject {
    Q_OBJECT

    std::optional<TempLibrary> lib_;
    std::unique_ptr<frmMain> w_;
    FakePlayer* player_ = nullptr;

    // The main window over the library with `songs` added in order (the
    // first with the fields given) in play mode `mode` (0 random, 1
    // program), and a scripted player that gives them their lengths.
    frmMain& start(const QList<std::pair<QString, double>>& songs, int mode = 0,
                   const TempLibrary::Fields& first = {}) {
        player_ = new FakePlayer;
        for (const auto& [title, seconds] : songs) {
            lib_->addSong(title, title == songs.front().first ? first : TempLibrary::Fields());
            player_->lengths[path(title)] = seconds;
        }
        lib_->close();
        w_ = std::make_unique<frmMain>(lib_->path(), player_);
        [&] { QVERIFY(w_->Form_Load()); }();
        w_->cboHowToPlay->setCurrentIndex(mode);
        return *w_;
    }
    QString path(const QString& title) const { return lib_->folder() + "/music/" + title + ".mp3"; }
    // Song `id` as the library holds it, but for its file path: ID, count,
    // title, priority, genres, artist, breakout, trend, volume.
    QString stored(const QString& id) const {
        ADO_Connector db(lib_->path());
        Recordset rs;
        db.adoGetData(10, rs, id);
        QStringList fields;
        for (int c = 0; !rs.Eof() && c < rs.fieldCount(); ++c)
            fields << (c == 2 ? "" : rs.text(c));
        return fields.join('|');
    }
    static void tick(frmMain& w, int times) {
        for (int i = 0; i < times; ++i)
            w.tmDuration_Timer();
    }
    static void show(QWidget& w) {
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
    }
    void storeCompact(const QString& key, const QString& value) {
        lib_->db().adoSetData(46, {"UPDATE TM_初期設定 SET 設定値 = '" + value +
                                   "' WHERE 設定情報 = 'コンパクト画面" + key + "'"});
    }
    // The two now-playing texts and the play button's state.
    template <class Window> static QString texts(const Window& w) {
        return w.lblSongDisp1->text() + "|" + w.lblSongDisp2->text() + "|" + w.cmdPlay->toolTip();
    }

private slots:
    void initTestCase() {
        frmOpening::setInterval(0);
        QCOMPARE(QGuiApplication::primaryScreen()->geometry(), QRect(0, 0, 800, 800));
        QCOMPARE(QWidget().logicalDpiX(), 96);
        QCOMPARE(QWidget().logicalDpiY(), 96);
    }
    void init() {
        lib_.emplace();
        gPlayState = kStopped;
    }
    void cleanup() {
        setModalHandler({});
        w_.reset();
        lib_.reset();
    }

    void drawRoundsHalvesToEven_data() {
        QTest::addColumn<float>("r");
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("row");
        QTest::newRow("one row") << 0.9f << 1 << 0;
        QTest::newRow("half of one goes down") << 0.5f << 2 << 0;
        QTest::newRow("just above half") << 0.51f << 2 << 1;
        QTest::newRow("half of two stays") << 0.25f << 3 << 0;
        QTest::newRow("one and a half goes up") << 0.75f << 3 << 2;
        QTest::newRow("near one") << 0.9999f << 3 << 2;
        QTest::newRow("zero") << 0.0f << 5 << 0;
    }
    void drawRoundsHalvesToEven() {
        QFETCH(float, r);
        QFETCH(int, rows);
        QTEST(drawnRow(r, rows), "row");
    }

    // Random play draws one row of the set list's own query: the count is
    // the set list's, not the library's, and the offset lands on its rows.
    void randomPlayDrawsOnlyFromTheSetList() {
        TempLibrary::Fields high;
        high.priority = 90;
        for (int i = 1; i <= 6; ++i)
            lib_->addSong(QString("s%1").arg(i), i % 2 == 0 ? high : TempLibrary::Fields());
        QVERIFY(lib_->db().adoxCreateQuery("SELECT * FROM Q_SetList_ALL WHERE 優先度 = 90",
                                           "Q_SetList_高い"));
        seedSongRandom(777); // a fixed seed: the same figures every run
        QHash<QString, int> drawn;
        for (int i = 0; i < 3000; ++i) {
            QString mode = kRandomPlay, key;
            Song song;
            QVERIFY(SelectSong("高い", mode, song, key));
            QCOMPARE(mode, kRandomPlay);
            ++drawn[song.Title()];
        }
        // Songs 2, 4 and 6 in that order: the middle one half the time.
        QCOMPARE(drawn.size(), 3);
        for (const auto& [title, share] : {std::pair("s2", 0.25), {"s4", 0.5}, {"s6", 0.25}})
            QVERIFY2(qAbs(drawn.value(title) / 3000.0 - share) < 0.03,
                     qPrintable(title + QString(": %1").arg(drawn.value(title))));
    }

    // A key plays that song in program mode. With no rows there is nothing
    // to draw; a set list without its query, or a song that is gone, gives
    // an empty song.
    void keyAndFailedReads() {
        QString mode = kRandomPlay, key;
        Song song;
        QVERIFY(!SelectSong("ALL", mode, song, key));
        QVERIFY(SelectSong("missing", mode, song, key));
        QVERIFY(song.FilePath().isEmpty());
        lib_->addSong("first");
        lib_->addSong("second");
        key = "Key_2";
        QVERIFY(SelectSong("ALL", mode, song, key));
        QCOMPARE(QStringList({mode, key, song.Title(), song.KeyString()}),
                 QStringList({kProgramPlay, "2", "second", "Key_2"}));
        key = "Key_99";
        song = Song();
        QVERIFY(SelectSong("ALL", mode, song, key));
        QVERIFY(song.FilePath().isEmpty());
    }

    // The frame shows the fields of the first two display items, the status
    // bar that of the last status item.
    void frameAndStatusFollowTheDisplayItems() {
        Song song;
        song.setTitle("t");
        song.setArtist("Artist");
        song.setCount(12);
        song.setFilePath("/a.mp3");
        // The stored defaults: frame 曲名, ｱｰﾃｨｽﾄ名; status ﾌｧｲﾙﾊﾟｽ.
        QCOMPARE(nowplaying::frameTexts(song), std::make_pair(QString("t"), QString("Artist")));
        QCOMPARE(nowplaying::statusText(song), std::optional<QString>("/a.mp3"));
        QCOMPARE(nowplaying::fieldText(song, "作曲者"), std::nullopt); // no such field

        lib_->db().adoSetData(32, {});
        lib_->db().adoSetData(34, {"1", "ｶｳﾝﾄ"});
        lib_->db().adoSetData(35, {"1", "曲名"});
        lib_->db().adoSetData(35, {"2", "ｶｳﾝﾄ"});
        QCOMPARE(nowplaying::frameTexts(song), std::make_pair(QString("12"), QString()));
        QCOMPARE(nowplaying::statusText(song), std::optional<QString>("12"));
        lib_->db().adoSetData(32, {});
        QCOMPARE(nowplaying::statusText(song), std::nullopt);
    }

    void anEmptyListPlaysNothing() {
        frmMain& w = start({});
        w.frmMain_PlaySong(QString());
        w.frmMain_NextSong();
        QCOMPARE(gPlayState, kStopped);
        QVERIFY(player_->log.isEmpty());
    }

    // Play, pause on a key (ignored while playing), resume and stop; a play
    // counts once, past half the song in ticks of playing time, and again
    // after a new start. The song read for playing is shown and written
    // back whole, IDs included.
    void aPlayCountsOncePastHalfTheSong() {
        TempLibrary::Fields f;
        f.genres[0] = lib_->addGenre("A");
        f.genres[2] = lib_->addGenre("B");
        f.artist = lib_->addArtist("Ann");
        f.priority = 70;
        f.trend = true;
        f.volume = -200;
        f.count = 5;
        frmMain& w = start({{"a", 200}}, 0, f);
        w.frmMain_PlaySong(QString());
        QVERIFY(w.tmDuration->isActive());
        QCOMPARE(w.sldDuration->maximum(), 200);
        tick(w, 80);
        player_->log.clear();
        w.frmMain_PlaySong("Key_9");
        QCOMPARE(gPlayState, kPaused);
        QVERIFY(!w.tmDuration->isActive());
        QCOMPARE(w.sldDuration->value(), 80);
        w.frmMain_PlaySong("Key_9");
        QCOMPARE(gPlayState, kPlaying);
        QVERIFY(w.tmDuration->isActive());
        QCOMPARE(player_->log, QStringList({"pause", "start"}));
        tick(w, 20);
        QVERIFY(!w.counted()); // 100 of 200 seconds is not past half
        tick(w, 1);
        QStringList row; // 曲名, ｱｰﾃｨｽﾄ名, ｼﾞｬﾝﾙ, ｶｳﾝﾄ, 優先度, ﾌｧｲﾙﾊﾟｽ
        for (int c = 0; c < 6; ++c)
            row << w.lvSongList->songs().cell("Key_1", c);
        QCOMPARE(row, QStringList({"a", "Ann", "A", "6", "70", path("a")}));
        tick(w, 160);
        QCOMPARE(w.currentSong()->Count(), 6);
        QCOMPARE(w.sldDuration->value(), 200); // held at its maximum
        w.frmMain_StopSong();
        w.frmMain_PlaySong(QString());
        QVERIFY(!w.counted());
        tick(w, 101);
        QCOMPARE(stored("1"), QStringLiteral("1|7||a|70|A|指定無し|B|Ann|False|True|-200"));
    }

    // The player's volume is the slider's plus the song's correction, less
    // 10000; a sum outside 0 to 10000 leaves the volume as it was.
    void volumeFollowsTheSliderAndTheSong_data() {
        QTest::addColumn<int>("correction");
        QTest::addColumn<bool>("playing");
        QTest::addColumn<int>("slider");
        QTest::addColumn<int>("volume");
        QTest::newRow("silent, no song") << 0 << false << 0 << -10000;
        QTest::newRow("silent, playing") << 0 << true << 0 << -10000;
        QTest::newRow("loudest, no song") << 0 << false << 8000 << -2000;
        QTest::newRow("loudest, playing") << 0 << true << 8000 << -2000;
        QTest::newRow("corrected") << 3500 << true << 6000 << -500;
        QTest::newRow("corrected to the top") << 3500 << true << 6500 << 0;
        QTest::newRow("above the top, as before") << 3500 << true << 7000 << -3500;
        QTest::newRow("below silence, as before") << -3500 << true << 2000 << -7000;
    }
    void volumeFollowsTheSliderAndTheSong() {
        QFETCH(int, correction);
        QFETCH(bool, playing);
        QFETCH(int, slider);
        TempLibrary::Fields f;
        f.volume = correction;
        frmMain& w = start({{"a", 10}}, 0, f);
        w.sldVolume->setValue(3000);
        if (playing)
            w.frmMain_PlaySong(QString());
        w.sldVolume->setValue(slider);
        QTEST(player_->volume(), "volume");
    }

    // Program play goes down the list at each song's end and stops after
    // the last; a song of no known length keeps the slider's range.
    void programPlayEndsAfterTheLastSong() {
        frmMain& w = start({{"a", 120.4}, {"b", 0}}, 1);
        w.frmMain_PlaySong(QString());
        QCOMPARE(gLastKey, QStringLiteral("Key_1"));
        QCOMPARE(w.sldDuration->maximum(), 120);
        player_->finish();
        QCOMPARE(player_->opened(), path("b"));
        QCOMPARE(gPlayState, kPlaying);
        QCOMPARE(w.sldDuration->maximum(), 120);
        // Showing the playing song selects it alone; the list stays multi-select.
        w.lvSongList->selectKey("Key_1");
        w.frmMain_ShowPlaySong();
        QCOMPARE(w.lvSongList->selectedKeys(), QStringList({"Key_2"}));
        QVERIFY(w.lvSongList->multiSelect());
        player_->finish();
        QCOMPARE(gPlayState, kStopped);
        lvSetLastKey("Key_42"); // a last key no longer listed also stops
        w.frmMain_PlaySong(QString());
        QCOMPARE(gPlayState, kStopped);
    }

    // Next (program play) and "選択中の曲を再生" (Ctrl+P, random play, the
    // second song selected) play from every state: a song playing or
    // paused is stopped first, not paused or resumed.
    void nextAndPlaySelectedFromEveryState_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<int>("from");
        QTest::addColumn<QString>("plays");
        QTest::newRow("next, stopped") << "next" << kStopped << "a";
        QTest::newRow("next, paused") << "next" << kPaused << "b";
        QTest::newRow("next, playing") << "next" << kPlaying << "b";
        QTest::newRow("selected, stopped") << "selected" << kStopped << "b";
        QTest::newRow("selected, paused") << "selected" << kPaused << "b";
        QTest::newRow("selected, playing") << "selected" << kPlaying << "b";
    }
    void nextAndPlaySelectedFromEveryState() {
        QFETCH(QString, command);
        QFETCH(int, from);
        QFETCH(QString, plays);
        const int mode = command == "next" ? 1 : 0;
        frmMain& w = start({{"a", 10}, {"b", 10}}, mode);
        if (from != kStopped)
            w.frmMain_PlaySong(QString());
        if (from == kPaused)
            w.frmMain_PlaySong(QString());
        QCOMPARE(gPlayState, from);
        w.lvSongList->selectKey("Key_2");
        player_->log.clear();
        if (command == "next")
            w.cmdNext->click();
        else
            w.action("mnuEdit_PlaySelListSong")->trigger();
        QCOMPARE(gPlayState, kPlaying);
        QCOMPARE(player_->opened(), path(plays));
        QCOMPARE(player_->log.front(), QStringLiteral("stop"));
        QCOMPARE(player_->log.back(), QStringLiteral("start"));
        QCOMPARE(w.cboHowToPlay->currentIndex(), mode);
        QCOMPARE(w.cmdPlay->toolTip(), QStringLiteral("一時停止"));
        w.cmdPlay->click();
        QCOMPARE(gPlayState, kPaused);
    }

    // A start the player refuses, a song failing part-way (a device that
    // goes away) and a play count the library cannot write (its disk is
    // full) each show one box and stop: neither the tick nor an end of
    // stream runs under the box, and no play is counted.
    void failuresShowOneBoxAndStop_data() {
        QTest::addColumn<QString>("box");
        QTest::newRow("refused start") << "Melodara Player: 曲の再生に失敗しました";
        QTest::newRow("part-way") << "Melodara Player: 曲の再生に失敗しました";
        QTest::newRow("count") << "DBError: database or disk is full";
    }
    void failuresShowOneBoxAndStop() {
        const QString failure = QTest::currentDataTag();
        QVERIFY(
            lib_->db().adoSetData(46, {"CREATE TRIGGER full BEFORE UPDATE ON TM_曲情報 BEGIN"
                                       " SELECT RAISE(ABORT, 'database or disk is full'); END"}));
        frmMain& w = start({{"a", 10}, {"b", 10}}, 1);
        ScriptedPresenter boxes;
        player_->breakDown(); // stopped: nothing to report
        QVERIFY(boxes.boxes().isEmpty());
        QStringList underBox;
        boxes.whileShown = [&](const ScriptedPresenter::Box&) {
            if (w.tmDuration->isActive())
                underBox << "ticking";
            const qsizetype before = player_->log.size();
            player_->finish();
            underBox << player_->log.mid(before);
        };
        if (failure == "refused start")
            player_->failing.insert(path("a"));
        w.frmMain_PlaySong(QString());
        if (failure != "refused start")
            tick(w, failure == "count" ? 6 : 3);
        if (failure == "part-way")
            player_->breakDown();
        QCOMPARE(boxes.boxes().size(), 1);
        QTEST(boxes.boxes().front().title + ": " + boxes.boxes().front().text, "box");
        QCOMPARE(underBox, QStringList());
        QCOMPARE(player_->log.back(), QStringLiteral("stop"));
        QCOMPARE(gPlayState, kStopped);
        QVERIFY(!w.tmDuration->isActive());
        QCOMPARE(w.sldDuration->value(), 0);
        QCOMPARE(w.lblSongDisp1->text() + w.lblStatBarSong->text(), QString());
        QCOMPARE(w.lvSongList->songs().cell("Key_1", 3), QStringLiteral("0"));
        QCOMPARE(stored("1").section('|', 1, 1), QStringLiteral("0"));
    }

    // The song text of the status bar stays while a menu shows its status
    // tips, and afterwards.
    void statusTextSurvivesTheMenus() {
        frmMain& w = start({{"a", 10}});
        show(w);
        w.frmMain_PlaySong(QString());
        auto* menu = w.findChild<QMenu*>("mnuEdit");
        w.action("mnuEdit_Album")->setStatusTip("tip");
        w.menuBar()->setActiveAction(menu->menuAction());
        QTRY_VERIFY(menu->isVisible());
        menu->setActiveAction(w.action("mnuEdit_Album"));
        QCOMPARE(w.statBar->currentMessage(), QStringLiteral("tip"));
        for (bool open : {true, false}) {
            menu->setVisible(open);
            QCOMPARE(w.lblStatBarSong->text(), path("a"));
            QVERIFY(w.lblStatBarSong->isVisible());
        }
    }

    // The real player, its output failing some way into a song as a sound
    // device that goes away: the first song ends and the next starts; the
    // failing one stops with message 17 instead of playing on, and counts
    // nothing.
    void realPlayerPlaysOnAndStopsOnAFailure() {
        QDir().mkpath(lib_->folder() + "/music");
        QVERIFY(audiofiles::writeWav(path("a"), 0.3));
        QVERIFY(audiofiles::writeWav(path("b"), 10.0));
        lib_->addSong("a");
        lib_->addSong("b");
        lib_->close();
        // identity passes 30 buffers of each song (about 1.3 s), then errors.
        frmMain w(lib_->path(), new GstPlayer("identity error-after=30 ! fakesink sync=true"));
        QVERIFY(w.Form_Load());
        w.cboHowToPlay->setCurrentIndex(1);
        ScriptedPresenter boxes;
        w.frmMain_PlaySong(QString());
        QTRY_COMPARE_WITH_TIMEOUT(gLastKey, QStringLiteral("Key_2"), 10000);
        QVERIFY(boxes.boxes().isEmpty());
        QTRY_COMPARE_WITH_TIMEOUT(boxes.boxes().size(), 1, 15000);
        QCOMPARE(boxes.boxes().front().text, QStringLiteral("曲の再生に失敗しました"));
        QCOMPARE(gPlayState, kStopped);
        QVERIFY(!w.tmDuration->isActive());
        QCOMPARE(stored("2").section('|', 1, 1), QStringLiteral("0"));
    }

    // The corners are quarters of a 35 x 35 ellipse.
    void shapeIsRounded() {
        frmCompact c;
        QCOMPARE(c.size(), QSize(380, 116));
        QCOMPARE(c.mask().boundingRect(), QRect(0, 0, 380, 116));
        const QRegion mask = c.mask();
        QString shape;
        for (const QPoint& p :
             {QPoint(0, 0), QPoint(379, 0), QPoint(0, 115), QPoint(379, 115), QPoint(2, 2),
              QPoint(377, 113), QPoint(380, 58), QPoint(8, 8), QPoint(371, 8), QPoint(190, 0),
              QPoint(190, 115), QPoint(0, 58), QPoint(379, 58)})
            shape += mask.contains(p) ? '#' : '.';
        // Out: the corners, points inside their curves, and beyond the edge.
        // In: within the corner ellipses, and the middle of each edge.
        QCOMPARE(shape, QStringLiteral(".......######"));
    }

    // The window opens frameless and on top; a click on the mark unpins it
    // and another pins it again, told to the shown window, which keeps its
    // place and the focus.
    void pinToggleKeepsPlaceAndActivation() {
        frmCompact c;
        const auto mark = [&] { return c.lblTopMost->palette().color(QPalette::WindowText); };
        c.move(100, 80);
        show(c);
        c.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&c));
        QWindow* const window = c.windowHandle();
        QVERIFY(window->flags() & Qt::WindowStaysOnTopHint);
        QCOMPARE(mark(), QColor(255, 255, 128));
        for (bool pinned : {false, true}) {
            QTest::mouseClick(c.lblTopMost, Qt::LeftButton);
            QCOMPARE(c.unpinned(), !pinned);
            QCOMPARE(mark(), pinned ? QColor(255, 255, 128) : QColor(0, 0, 255));
            QCOMPARE(bool(window->flags() & Qt::WindowStaysOnTopHint), pinned);
            QVERIFY(c.windowFlags() & Qt::FramelessWindowHint);
            QVERIFY(c.isVisible() && c.isActiveWindow());
            QCOMPARE(c.pos(), QPoint(100, 80)); // a click on the mark is no drag
            QVERIFY(!c.dragging());
        }
    }

    void opensWhereStored_data() {
        QTest::addColumn<QStringList>("edges"); // left and top in twips
        QTest::addColumn<QPoint>("expected");
        // Centred: 800 / 2 - 380 / 2 and 800 / 2 - 116 / 2.
        QTest::newRow("first use") << QStringList{"0", "0"} << QPoint(210, 342);
        QTest::newRow("both edges") << QStringList{"1500", "3000"} << QPoint(100, 200);
        // One edge stored: the other stays at its design place, 0.
        QTest::newRow("left only") << QStringList{"1500", "0"} << QPoint(100, 0);
        QTest::newRow("top only") << QStringList{"0", "3000"} << QPoint(0, 200);
        QTest::newRow("not numbers") << QStringList{"left", ""} << QPoint(210, 342);
        QTest::newRow("partly off the screen") << QStringList{"-1500", "3000"} << QPoint(-100, 200);
        QTest::newRow("on no screen") << QStringList{"150000", "3000"} << QPoint(210, 342);
    }
    void opensWhereStored() {
        QFETCH(QStringList, edges);
        storeCompact("Left", edges[0]);
        storeCompact("Top", edges[1]);
        frmCompact c;
        c.frmCpt_LoadSettings();
        QTEST(c.pos(), "expected");
    }

    // 255 makes the texts and their lines red; a picture is drawn from the
    // top left over the background colour. A missing picture leaves none,
    // and a colour that is not a number changes nothing.
    void appearanceFromTheSettings() {
        const QString picture = lib_->folder() + "/bg.bmp";
        QImage image(40, 40, QImage::Format_RGB32);
        image.fill(Qt::yellow);
        QVERIFY(image.save(picture));
        frmCompact c;
        const auto load = [&](const QString& path, const QString& text, const QString& back) {
            storeCompact("背景画像パス", path);
            storeCompact("フォント色", text);
            storeCompact("背景色", back);
            c.frmCpt_LoadSettings();
            return c.hasPicture();
        };
        const auto colors = [&] {
            QStringList out;
            for (const QLabel* label : {c.lblSongDisp1, c.lblSongDisp2})
                out << label->palette().color(QPalette::WindowText).name();
            for (const QWidget* w : QList<const QWidget*>{c.linSongName, c.linArtist, &c})
                out << w->palette().color(QPalette::Window).name();
            return out.join(' ');
        };
        QVERIFY(load(picture, "255", "65280"));
        QCOMPARE(colors(), "#ff0000 #ff0000 #ff0000 #ff0000 #00ff00");
        const QImage shown = c.grab().toImage();
        QCOMPARE(shown.pixelColor(10, 25), QColor(Qt::yellow));
        QCOMPARE(shown.pixelColor(200, 90), QColor(0, 255, 0));
        QVERIFY(!load(lib_->folder() + "/missing.bmp", "blue", "16711680"));
        QCOMPARE(colors(), "#ff0000 #ff0000 #ff0000 #ff0000 #0000ff");
        QVERIFY(load(picture, "blue", "16711680"));
        QVERIFY(!load("未指定", "blue", "16711680"));
    }

    void dragMovesByThePointersTravel_data() {
        QTest::addColumn<QString>("target");
        QTest::newRow("surface") << "frmCompact";
        QTest::newRow("first text") << "lblSongDisp1";
        QTest::newRow("second text") << "lblSongDisp2";
    }
    void dragMovesByThePointersTravel() {
        QFETCH(QString, target);
        frmCompact c;
        c.move(100, 80);
        show(c);
        QWidget* on = c.objectName() == target ? &c : c.findChild<QWidget*>(target);
        const QPoint start = on == &c ? QPoint(200, 90) : QPoint(10, 10);
        QTest::mousePress(on, Qt::LeftButton, {}, start);
        QVERIFY(c.dragging());
        QTest::mouseMove(on, start + QPoint(30, 20));
        QTRY_COMPARE(c.windowHandle()->position(), QPoint(130, 100));
        QCOMPARE(c.pos(), QPoint(130, 100));
        // The pointer keeps its place on the window, so the next step is
        // again the travel from there.
        QTest::mouseMove(on, start + QPoint(-50, 5));
        QTRY_COMPARE(c.windowHandle()->position(), QPoint(80, 105));
        QTest::mouseRelease(on, Qt::LeftButton, {}, start);
        QVERIFY(!c.dragging());
        QTest::mousePress(on, Qt::RightButton, {}, start); // only the left button drags
        QVERIFY(!c.dragging());
        QTest::mouseRelease(on, Qt::RightButton, {}, start);
        QCOMPARE(c.pos(), QPoint(80, 105));
    }

    // Compact mode from the main window: the player writes to the compact
    // window, which hands its texts, pictures and place back however it
    // ends; the platform's close command acts as the return button.
    void compactModeFromTheMainWindow_data() {
        QTest::addColumn<QString>("end");
        QTest::newRow("return button") << "return";
        QTest::newRow("close command") << "close";
        QTest::newRow("escape key") << "escape";
        QTest::newRow("ends without returning") << "none";
    }
    void compactModeFromTheMainWindow() {
        QFETCH(QString, end);
        frmMain& w = start({{"a", 200}});
        w.frmMain_PlaySong(QString());
        setModalHandler([&](QDialog& dialog) {
            auto& c = dynamic_cast<frmCompact&>(dialog);
            show(c);
            [&] {
                QVERIFY(w.windowState() & Qt::WindowMinimized);
                QCOMPARE(texts(c), "a|指定無し|一時停止");
                c.cmdStop->click();
                QCOMPARE(gPlayState, kStopped);
                QCOMPARE(texts(c), "||再生");
                QCOMPARE(texts(w), "a|指定無し|一時停止"); // the main window's stay
                c.cmdNext->click();
                QCOMPARE(gPlayState, kPlaying);
                QCOMPARE(texts(c), "a|指定無し|一時停止");
                c.cmdPlay->click();
                QCOMPARE(gPlayState, kPaused);
                c.cmdStop->click();
                c.move(120, 45);
                if (end == "return")
                    c.cmdReturn->click();
                else if (end == "close")
                    c.close();
                else if (end == "escape")
                    QTest::keyClick(&c, Qt::Key_Escape);
            }();
            return c.result();
        });
        w.action("mnuDisp_Compact")->trigger();
        QVERIFY(!w.compact() && !w.compactWindow());
        QVERIFY(!(w.windowState() & Qt::WindowMinimized));
        QCOMPARE(texts(w), "||再生"); // the compact window's came back
        // Opened again, it comes back where it was left: stored in twips
        // as it is read.
        QPoint reopened;
        setModalHandler([&](QDialog& dialog) {
            reopened = dialog.pos();
            return 0;
        });
        w.action("mnuDisp_Compact")->trigger();
        QCOMPARE(reopened, QPoint(120, 45));
    }
};

QTEST_MAIN(TestPlayerControl)
#include "tst_playercontrol.moc"
