// The main window's player control against a scripted player, driving the
// one-second tick by hand, and once against the real player.

#include "app/mainwindow.h"
#include "app/opening.h"
#include "audiofiles.h"
#include "fakeplayer.h"
#include "playback/gstplayer.h"
#include "playback/playstate.h"
#include "scriptedpresenter.h"
#include "songlist/songlist.h"
#include "songlist/songlistview.h"
#include "templibrary.h"

#include "data/sqlite.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QSignalSpy>
#include <QSlider>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <QToolButton>

class TestPlayerControl : public QObject {
    Q_OBJECT

    // A started main window over `lib` (closed here) with a fake player.
    struct Running {
        FakePlayer* player = new FakePlayer;
        std::unique_ptr<frmMain> window;
    };
    static Running start(TempLibrary& lib, const QHash<QString, double>& lengths = {}) {
        lib.close();
        Running r;
        r.player->lengths = lengths;
        r.window = std::make_unique<frmMain>(lib.path(), r.player);
        if (!r.window->Form_Load())
            r.window.reset();
        return r;
    }
    static QString path(TempLibrary& lib, const QString& title) {
        return lib.folder() + "/music/" + title + ".mp3";
    }
    static int storedCount(const QString& dbPath, int id) {
        ADO_Connector db(dbPath);
        Recordset rs;
        db.adoGetData(10, rs, QString::number(id));
        return rs.Field("カウント").toInt();
    }
    static void tick(frmMain& w, int times) {
        for (int i = 0; i < times; ++i)
            w.tmDuration_Timer();
    }
    // The library's disk is full: every change to a song fails, as the
    // engine reports it.
    static bool fillDisk(const QString& dbPath) {
        sqlite::Database raw;
        QString error;
        return raw.open(dbPath, false, error) &&
               raw.exec("CREATE TRIGGER full BEFORE UPDATE ON TM_曲情報"
                        " BEGIN SELECT RAISE(ABORT, 'database or disk is full'); END",
                        error);
    }
    // Records what a modal box would let run underneath it: whether the
    // tick is on, and whether an end of stream arriving meanwhile opens
    // another song.
    struct UnderBox {
        bool ticking = false;
        QStringList playerCalls;
    };
    static void watchUnderBox(ScriptedPresenter& boxes, frmMain& w, FakePlayer& player,
                              UnderBox& seen) {
        boxes.whileShown = [&](const ScriptedPresenter::Box&) {
            seen.ticking = seen.ticking || w.tmDuration->isActive();
            const qsizetype before = player.log.size();
            player.finish();
            seen.playerCalls << player.log.mid(before);
        };
    }

private slots:
    void initTestCase() { frmOpening::setInterval(0); }
    void init() { gPlayState = kStopped; }

    void playOnAnEmptyListDoesNothing() {
        TempLibrary lib;
        Running r = start(lib);
        QVERIFY(r.window);
        r.window->frmMain_PlaySong(QString());
        QCOMPARE(gPlayState, kStopped);
        QVERIFY(r.player->log.isEmpty());
    }

    void playPausesAndResumes() {
        TempLibrary lib;
        lib.addSong("a");
        Running r = start(lib, {{path(lib, "a"), 200}});
        frmMain& w = *r.window;
        w.frmMain_PlaySong(QString());
        QCOMPARE(gPlayState, kPlaying);
        QCOMPARE(r.player->opened(), path(lib, "a"));
        QVERIFY(w.tmDuration->isActive());
        QCOMPARE(w.sldDuration->maximum(), 200);
        QCOMPARE(w.lblSongDisp1->text(), QStringLiteral("a"));
        QCOMPARE(w.lblStatBarSong->text(), path(lib, "a"));
        r.player->log.clear();
        w.frmMain_PlaySong("Key_9"); // the key is ignored while playing
        QCOMPARE(gPlayState, kPaused);
        QVERIFY(!w.tmDuration->isActive());
        w.frmMain_PlaySong("Key_9");
        QCOMPARE(gPlayState, kPlaying);
        QVERIFY(w.tmDuration->isActive());
        QCOMPARE(r.player->log, QStringList({"pause", "start"}));
        w.frmMain_StopSong();
        QCOMPARE(gPlayState, kStopped);
        QVERIFY(w.lblSongDisp1->text().isEmpty());
        QVERIFY(w.lblStatBarSong->text().isEmpty());
        QCOMPARE(w.sldDuration->value(), 0);
    }

    void aPlayCountsOnceAfterHalfTheSong() {
        TempLibrary lib;
        const int rock = lib.addGenre("Rock");
        const int ann = lib.addArtist("Ann");
        TempLibrary::Fields f;
        f.genres[0] = rock;
        f.artist = ann;
        f.count = 5;
        lib.addSong("a", f);
        const QString db = lib.path();
        Running r = start(lib, {{path(lib, "a"), 200}});
        frmMain& w = *r.window;
        w.frmMain_PlaySong(QString());
        tick(w, 100);
        QVERIFY(!w.counted());
        tick(w, 1); // the 101st second is past half of 200
        QVERIFY(w.counted());
        QCOMPARE(w.currentSong()->Count(), 6);
        QCOMPARE(w.lvSongList->songs().cell("Key_1", 3), QStringLiteral("6"));
        tick(w, 60);
        QCOMPARE(w.currentSong()->Count(), 6);
        // The slider holds at its maximum.
        tick(w, 100);
        QCOMPARE(w.sldDuration->value(), 200);

        // Stopping and starting again counts again.
        w.frmMain_StopSong();
        w.frmMain_PlaySong(QString());
        QVERIFY(!w.counted());
        tick(w, 101);
        QCOMPARE(w.currentSong()->Count(), 7);
        r.window.reset();
        QCOMPARE(storedCount(db, 1), 7);
        // The write-back keeps the song's genre and artist.
        ADO_Connector check(db);
        Recordset rs;
        check.adoGetData(10, rs, "1");
        QCOMPARE(rs.text("ジャンル1"), QStringLiteral("Rock"));
        QCOMPARE(rs.text("アーティスト名"), QStringLiteral("Ann"));
    }

    void pauseHoldsTheCount() {
        TempLibrary lib;
        lib.addSong("a");
        Running r = start(lib, {{path(lib, "a"), 200}});
        frmMain& w = *r.window;
        w.frmMain_PlaySong(QString());
        tick(w, 80);
        w.frmMain_PlaySong(QString()); // pause: the timer stops, so no ticks
        QVERIFY(!w.tmDuration->isActive());
        QCOMPARE(w.sldDuration->value(), 80);
        w.frmMain_PlaySong(QString());
        tick(w, 21);
        QVERIFY(w.counted());
    }

    void volumeOutsideTheRangeIsNotApplied() {
        TempLibrary lib;
        TempLibrary::Fields f;
        f.volume = 3500;
        lib.addSong("a", f);
        Running r = start(lib, {{path(lib, "a"), 10}});
        frmMain& w = *r.window;
        w.sldVolume->setValue(6000);
        QCOMPARE(r.player->volume(), -4000); // no song yet: the slider alone
        w.frmMain_PlaySong(QString());
        QCOMPARE(r.player->volume(), -500); // 6000 + 3500 - 10000
        w.sldVolume->setValue(7000);        // 10500: left as it was
        QCOMPARE(r.player->volume(), -500);
        w.sldVolume->setValue(6500);
        QCOMPARE(r.player->volume(), 0);
    }

    void volumeSliderEnds_data() {
        QTest::addColumn<bool>("playing");
        QTest::addColumn<int>("slider");
        QTest::addColumn<int>("player");
        QTest::newRow("silent, no song") << false << 0 << -10000;
        QTest::newRow("silent, playing") << true << 0 << -10000;
        QTest::newRow("loudest, no song") << false << 8000 << -2000;
        QTest::newRow("loudest, playing") << true << 8000 << -2000;
    }
    void volumeSliderEnds() {
        QFETCH(bool, playing);
        QFETCH(int, slider);
        QFETCH(int, player);
        TempLibrary lib;
        lib.addSong("a");
        Running r = start(lib, {{path(lib, "a"), 10}});
        frmMain& w = *r.window;
        w.sldVolume->setValue(3000);
        if (playing)
            w.frmMain_PlaySong(QString());
        QCOMPARE(r.player->volume(), -7000);
        w.sldVolume->setValue(slider);
        QCOMPARE(r.player->volume(), player);
    }

    void nextPlaysFromEveryState_data() {
        QTest::addColumn<int>("from");
        QTest::addColumn<QString>("next");
        QTest::newRow("stopped") << kStopped << "a";
        QTest::newRow("paused") << kPaused << "b";
        QTest::newRow("playing") << kPlaying << "b";
    }
    void nextPlaysFromEveryState() {
        QFETCH(int, from);
        QFETCH(QString, next);
        TempLibrary lib;
        lib.addSong("a");
        lib.addSong("b");
        Running r = start(lib, {{path(lib, "a"), 10}, {path(lib, "b"), 10}});
        frmMain& w = *r.window;
        w.cboHowToPlay->setCurrentIndex(1);
        if (from != kStopped)
            w.frmMain_PlaySong(QString());
        if (from == kPaused)
            w.frmMain_PlaySong(QString());
        QCOMPARE(gPlayState, from);
        r.player->log.clear();
        w.frmMain_NextSong();
        QCOMPARE(gPlayState, kPlaying);
        QCOMPARE(r.player->opened(), path(lib, next));
        QCOMPARE(r.player->log.front(), QStringLiteral("stop"));
        QCOMPARE(r.player->log.back(), QStringLiteral("start"));
        QVERIFY(w.tmDuration->isActive());
        QCOMPARE(w.cmdPlay->toolTip(), QStringLiteral("一時停止"));
        // Playing, so the play button now pauses.
        w.frmMain_PlaySong(QString());
        QCOMPARE(gPlayState, kPaused);
    }

    void programPlayEndsAfterTheLastSong() {
        TempLibrary lib;
        lib.addSong("a");
        lib.addSong("b");
        Running r = start(lib, {{path(lib, "a"), 10}, {path(lib, "b"), 10}});
        frmMain& w = *r.window;
        w.cboHowToPlay->setCurrentIndex(1);
        w.frmMain_PlaySong(QString());
        QCOMPARE(r.player->opened(), path(lib, "a"));
        QCOMPARE(gLastKey, QStringLiteral("Key_1"));
        r.player->finish();
        QCOMPARE(r.player->opened(), path(lib, "b"));
        QCOMPARE(gPlayState, kPlaying);
        r.player->finish();
        QCOMPARE(gPlayState, kStopped);
        // A last key that is no longer listed also stops.
        lvSetLastKey("Key_42");
        w.frmMain_PlaySong(QString());
        QCOMPARE(gPlayState, kStopped);
    }

    void refusedStartShowsMessage17AndStops() {
        TempLibrary lib;
        lib.addSong("a");
        Running r = start(lib, {{path(lib, "a"), 10}});
        r.player->failing.insert(path(lib, "a"));
        ScriptedPresenter boxes;
        r.window->frmMain_PlaySong(QString());
        QCOMPARE(gPlayState, kStopped);
        QCOMPARE(boxes.boxes().size(), 1);
        QCOMPARE(boxes.boxes().front().text, QStringLiteral("曲の再生に失敗しました"));
        QVERIFY(!r.window->tmDuration->isActive());
    }

    // A song that fails part-way is a start the player refused: message 17,
    // then stop, and no play counted after it.
    void anErrorWhilePlayingShowsMessage17AndStops() {
        TempLibrary lib;
        lib.addSong("a");
        const QString db = lib.path();
        Running r = start(lib, {{path(lib, "a"), 200}});
        frmMain& w = *r.window;
        ScriptedPresenter boxes;
        r.player->breakDown(); // stopped: nothing to report
        QVERIFY(boxes.boxes().isEmpty());

        UnderBox seen;
        watchUnderBox(boxes, w, *r.player, seen);
        w.frmMain_PlaySong(QString());
        tick(w, 60);
        r.player->log.clear();
        r.player->breakDown();
        QCOMPARE(boxes.boxes().size(), 1);
        QCOMPARE(boxes.boxes().front().text, QStringLiteral("曲の再生に失敗しました"));
        QVERIFY(!seen.ticking);
        QVERIFY(seen.playerCalls.isEmpty());
        QCOMPARE(gPlayState, kStopped);
        QVERIFY(!w.tmDuration->isActive());
        QCOMPARE(w.sldDuration->value(), 0);
        QVERIFY(w.lblSongDisp1->text().isEmpty());
        QVERIFY(w.lblStatBarSong->text().isEmpty());
        QCOMPARE(r.player->log, QStringList({"stop"}));
        QVERIFY(!w.counted());
        r.window.reset();
        QCOMPARE(storedCount(db, 1), 0);
    }

    // With the library on a full disk, the count of the first song cannot
    // be written: one box, and playback stops instead of going on under it.
    void aCountThatCannotBeWrittenStopsWithOneBox() {
        TempLibrary lib;
        lib.addSong("a");
        lib.addSong("b");
        const QString db = lib.path();
        Running r = start(lib, {{path(lib, "a"), 10}, {path(lib, "b"), 10}});
        frmMain& w = *r.window;
        QVERIFY(fillDisk(db));
        w.cboHowToPlay->setCurrentIndex(1);
        w.frmMain_PlaySong(QString());
        ScriptedPresenter boxes;
        UnderBox seen;
        watchUnderBox(boxes, w, *r.player, seen);
        r.player->log.clear();
        tick(w, 6); // past half of 10 seconds
        QCOMPARE(boxes.boxes().size(), 1);
        QCOMPARE(boxes.boxes().front().title, QStringLiteral("DBError"));
        QVERIFY(!seen.ticking);
        QVERIFY(seen.playerCalls.isEmpty());
        QCOMPARE(r.player->log, QStringList({"stop"}));
        QCOMPARE(gPlayState, kStopped);
        QVERIFY(!w.tmDuration->isActive());
        // The list shows the count the library holds.
        QCOMPARE(w.currentSong()->Count(), 0);
        QCOMPARE(w.lvSongList->songs().cell("Key_1", 3), QStringLiteral("0"));
        r.window.reset();
        QCOMPARE(storedCount(db, 1), 0);
    }

    void lengthZeroKeepsThePreviousMaximum() {
        TempLibrary lib;
        lib.addSong("a");
        lib.addSong("b");
        Running r = start(lib, {{path(lib, "a"), 120.4}});
        frmMain& w = *r.window;
        w.cboHowToPlay->setCurrentIndex(1);
        w.frmMain_PlaySong(QString());
        QCOMPARE(w.sldDuration->maximum(), 120);
        w.frmMain_NextSong(); // b reads as 0 seconds
        QCOMPARE(r.player->opened(), path(lib, "b"));
        QCOMPARE(w.sldDuration->maximum(), 120);
    }

    // Ctrl+P plays the selected song from every state: a song playing or
    // paused is stopped first, not paused or resumed.
    void playSelectedFromEveryState_data() {
        QTest::addColumn<int>("from");
        QTest::newRow("stopped") << kStopped;
        QTest::newRow("paused") << kPaused;
        QTest::newRow("playing") << kPlaying;
    }
    void playSelectedFromEveryState() {
        QFETCH(int, from);
        TempLibrary lib;
        lib.addSong("a");
        lib.addSong("b");
        Running r = start(lib, {{path(lib, "a"), 10}, {path(lib, "b"), 10}});
        frmMain& w = *r.window;
        w.cboHowToPlay->setCurrentIndex(1);
        if (from != kStopped)
            w.frmMain_PlaySong(QString());
        if (from == kPaused)
            w.frmMain_PlaySong(QString());
        QCOMPARE(gPlayState, from);
        w.lvSongList->selectKey("Key_2");
        r.player->log.clear();
        QAction* playSelected = w.action("mnuEdit_PlaySelListSong");
        QCOMPARE(playSelected->shortcut(), QKeySequence("Ctrl+P"));
        playSelected->trigger();
        QCOMPARE(gPlayState, kPlaying);
        QCOMPARE(r.player->opened(), path(lib, "b"));
        QCOMPARE(r.player->log.front(), QStringLiteral("stop"));
        QCOMPARE(r.player->log.back(), QStringLiteral("start"));
        QCOMPARE(w.currentSong()->KeyString(), QStringLiteral("Key_2"));
        QVERIFY(w.tmDuration->isActive());
    }

    // The song text of the status bar stays while menus show their status
    // tips, and afterwards.
    void statusTextSurvivesTheMenus() {
        TempLibrary lib;
        lib.addSong("a");
        Running r = start(lib, {{path(lib, "a"), 10}});
        frmMain& w = *r.window;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.frmMain_PlaySong(QString());
        QCOMPARE(w.lblStatBarSong->text(), path(lib, "a"));
        auto* menu = w.findChild<QMenu*>("mnuEdit");
        QVERIFY(menu);
        const QString tip = QStringLiteral("アルバムを編集します");
        w.action("mnuEdit_Album")->setStatusTip(tip);
        w.menuBar()->setActiveAction(menu->menuAction());
        QTRY_VERIFY(menu->isVisible());
        for (const char* name : {"mnuEdit_SetList", "mnuEdit_Album"}) {
            menu->setActiveAction(w.action(name));
            QCOMPARE(w.lblStatBarSong->text(), path(lib, "a"));
            QVERIFY(w.lblStatBarSong->isVisible());
        }
        QCOMPARE(w.statBar->currentMessage(), tip); // the tips did reach the bar
        menu->hide();
        QCOMPARE(w.lblStatBarSong->text(), path(lib, "a"));
        QVERIFY(w.lblStatBarSong->isVisible());
    }

    void playSelectedAndShowPlaying() {
        TempLibrary lib;
        lib.addSong("a");
        lib.addSong("b");
        Running r = start(lib, {{path(lib, "b"), 10}});
        frmMain& w = *r.window;
        w.frmMain_ShowPlaySong(); // nothing played yet: nothing happens
        QVERIFY(w.lvSongList->selectedKeys().isEmpty());
        w.lvSongList->selectKey("Key_2");
        w.mnuEdit_PlaySelListSong_Click();
        QCOMPARE(r.player->opened(), path(lib, "b"));
        QCOMPARE(w.cboHowToPlay->currentIndex(), 0); // the combo keeps random play
        w.lvSongList->selectKey("Key_1");
        w.frmMain_ShowPlaySong();
        QCOMPARE(w.lvSongList->selectedKeys(), QStringList({"Key_2"}));
        QVERIFY(w.lvSongList->multiSelect());
    }

    void realPlayerPlaysTheListThrough() {
        TempLibrary lib;
        QDir().mkpath(lib.folder() + "/music");
        for (const char* t : {"a", "b"})
            QVERIFY(audiofiles::writeWav(path(lib, t), 0.3));
        lib.addSong("a");
        lib.addSong("b");
        lib.close();
        frmMain w(lib.path(), new GstPlayer("fakesink sync=false"));
        QVERIFY(w.Form_Load());
        w.cboHowToPlay->setCurrentIndex(1);
        w.frmMain_PlaySong(QString());
        QCOMPARE(gPlayState, kPlaying);
        QTRY_COMPARE_WITH_TIMEOUT(gPlayState, kStopped, 10000);
        QCOMPARE(gLastKey, QStringLiteral("Key_2"));
    }

    // A real output that fails some way into a real file, as a sound
    // device that goes away: the window stops with message 17 instead of
    // playing on forever, and counts nothing.
    void realPlayerFailingPartWayStops() {
        TempLibrary lib;
        QDir().mkpath(lib.folder() + "/music");
        QVERIFY(audiofiles::writeWav(path(lib, "a"), 10.0));
        lib.addSong("a");
        const QString db = lib.path();
        lib.close();
        // identity passes 30 buffers (about 1.3 s), then errors.
        frmMain w(db, new GstPlayer("identity error-after=30 ! fakesink sync=true"));
        QVERIFY(w.Form_Load());
        ScriptedPresenter boxes;
        w.frmMain_PlaySong(QString());
        QCOMPARE(gPlayState, kPlaying);
        QVERIFY(boxes.boxes().isEmpty());
        QTRY_COMPARE_WITH_TIMEOUT(boxes.boxes().size(), 1, 15000);
        QCOMPARE(boxes.boxes().front().text, QStringLiteral("曲の再生に失敗しました"));
        QCOMPARE(gPlayState, kStopped);
        QVERIFY(!w.tmDuration->isActive());
        QVERIFY(!w.counted());
        QCOMPARE(storedCount(db, 1), 0);
    }
};

QTEST_MAIN(TestPlayerControl)
#include "tst_playercontrol.moc"
