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

#include <QComboBox>
#include <QLabel>
#include <QSignalSpy>
#include <QSlider>
#include <QStatusBar>
#include <QTest>
#include <QTimer>

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
        QCOMPARE(w.statBar->currentMessage(), path(lib, "a"));
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
        QVERIFY(w.statBar->currentMessage().isEmpty());
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
};

QTEST_MAIN(TestPlayerControl)
#include "tst_playercontrol.moc"
