// Choosing the song to play; the player control driven directly, against
// a scripted player with the one-second tick by hand and against the real
// player on short files the test writes; the main window's forwards to it;
// the compact window, which follows the control too.
//
// Compact window positions are worked out for the offscreen screen: 800 x
// 800 pixels at 96 DPI (15 twips a pixel); its design size is 380 x 116.

#include "app/mainwindow.h"
#include "app/opening.h"
#include "audiofiles.h"
#include "base/modal.h"
#include "base/random.h"
#include "data/songrecord.h"
#include "fakeplayer.h"
#include "playback/compactwindow.h"
#include "playback/gstplayer.h"
#include "playback/nowplaying.h"
#include "playback/playercontrol.h"
#include "playback/playstate.h"
#include "playback/priorityshuffle.h"
#include "playback/selectsong.h"
#include "playback/songchooser.h"
#include "scriptedpresenter.h"
#include "songlist/filterbox.h"
#include "songlist/songlist.h"
#include "songlist/songlistmodel.h"
#include "songlist/songlistview.h"
#include "songlist/songrows.h"
#include "templibrary.h"

#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QSignalSpy>
#include <QSlider>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QWindow>

#include <optional>

using StopReason = PlayerControl::StopReason;

class TestPlayerControl : public QObject {
    Q_OBJECT

    std::optional<TempLibrary> lib_;
    std::unique_ptr<frmMain> w_;
    FakePlayer* player_ = nullptr;
    // The control under test without a window, with its list and player.
    std::unique_ptr<SongListModel> list_;
    std::unique_ptr<MediaPlayer> ownPlayer_;
    std::unique_ptr<PlayerControl> control_;

    // The control over the library's songs (set list "ALL") in `mode`.
    PlayerControl& control(MediaPlayer* player, const QString& mode) {
        ownPlayer_.reset(player);
        list_ = std::make_unique<SongListModel>();
        list_->setColumns({"曲名", "ｱｰﾃｨｽﾄ名", "ｼﾞｬﾝﾙ", "ｶｳﾝﾄ", "優先度", "ﾌｧｲﾙﾊﾟｽ"});
        [&] { QVERIFY(lvSetSongList(0, "ALL", *list_)); }();
        lvResetLastKey();
        control_ = std::make_unique<PlayerControl>(*player, *list_);
        control_->setSetList("ALL");
        control_->setPlayMode(mode);
        return *control_;
    }
    // The control with a scripted player over `songs` added in order (the
    // first with the fields given), each of the length given.
    PlayerControl& scripted(const QList<std::pair<QString, double>>& songs,
                            const QString& mode = kProgramPlay,
                            const TempLibrary::Fields& first = {}) {
        player_ = new FakePlayer;
        for (const auto& [title, seconds] : songs) {
            lib_->addSong(title, title == songs.front().first ? first : TempLibrary::Fields());
            player_->lengths[path(title)] = seconds;
        }
        return control(player_, mode);
    }
    // The control with the real player, as fast as the output takes it.
    PlayerControl& real(const QString& mode) {
        return control(new GstPlayer("fakesink sync=false"), mode);
    }
    // The main window over the library with `songs` added in order and a
    // scripted player, in play mode `mode` (0 random, 1 program).
    frmMain& start(const QList<std::pair<QString, double>>& songs, int mode = 0) {
        player_ = new FakePlayer;
        for (const auto& [title, seconds] : songs) {
            lib_->addSong(title);
            player_->lengths[path(title)] = seconds;
        }
        lib_->close();
        w_ = std::make_unique<frmMain>(lib_->path(), player_);
        [&] { QVERIFY(w_->Form_Load()); }();
        w_->cboHowToPlay->setCurrentIndex(mode);
        return *w_;
    }
    QString path(const QString& title) const { return lib_->folder() + "/music/" + title + ".mp3"; }
    QString music(const QString& name) const { return lib_->folder() + "/music/" + name; }
    // Song `id` as the library holds it, but for its file path: ID, count,
    // title, priority, genres, artist, breakout, trend, volume.
    QString stored(const QString& id) const {
        ADO_Connector db(lib_->path());
        Recordset rs;
        db.adoGetData(Read::SongById, rs, id);
        QStringList fields;
        for (int c = 0; !rs.Eof() && c < rs.fieldCount(); ++c)
            fields << (c == 2 ? "" : rs.text(c));
        return fields.join('|');
    }
    int storedCount(int id) const { return stored(QString::number(id)).section('|', 1, 1).toInt(); }
    static void tick(PlayerControl& c, int times) {
        for (int i = 0; i < times; ++i)
            c.tick();
    }
    // Counts each song as soon as it starts: ticks past half its length
    // before the player can report its end.
    static void countEachSong(PlayerControl& c) {
        QObject::connect(&c, &PlayerControl::songStarted, &c, [&c] {
            while (!c.counted() && c.position() < c.maximum())
                c.tick();
        });
    }
    static StopReason reason(const QSignalSpy& stops, int at = 0) {
        return stops.at(at).at(0).value<StopReason>();
    }
    static void show(QWidget& w) {
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
    }
    void storeCompact(const QString& key, const QString& value) {
        lib_->db().adoSetData(Write::RunSql, {"UPDATE TM_初期設定 SET 設定値 = '" + value +
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
        QDir().mkpath(lib_->folder() + "/music");
        gPlayState = kStopped;
    }
    void cleanup() {
        setModalHandler({});
        control_.reset();
        ownPlayer_.reset();
        list_.reset();
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
    // the set list's, not the library's, and the offset lands on its rows;
    // the control's chooser, which reads the set list's IDs once, draws the
    // same.
    void randomPlayDrawsOnlyFromTheSetList_data() {
        QTest::addColumn<bool>("chooser");
        QTest::newRow("SelectSong") << false;
        QTest::newRow("chooser") << true;
    }
    void randomPlayDrawsOnlyFromTheSetList() {
        QFETCH(bool, chooser);
        TempLibrary::Fields high;
        high.priority = 90;
        for (int i = 1; i <= 6; ++i)
            lib_->addSong(QString("s%1").arg(i), i % 2 == 0 ? high : TempLibrary::Fields());
        QVERIFY(lib_->db().adoxCreateQuery("SELECT * FROM Q_SetList_ALL WHERE 優先度 = 90",
                                           "Q_SetList_高い"));
        seedSongRandom(777); // a fixed seed: the same figures every run
        QHash<QString, int> drawn;
        SongChooser draws;
        draws.setSetList("高い");
        draws.setPlayMode(kRandomPlay);
        const SongListModel noList;
        for (int i = 0; i < 3000; ++i) {
            QString mode = kRandomPlay, key;
            Song song;
            if (chooser)
                QCOMPARE(draws.choose(QString(), noList, song), SongChooser::Outcome::Chosen);
            else
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

    // Priorities 0, 10 and 30 over 20,000 draws: shares 0, 1/4 and 3/4.
    // A share's standard deviation is 0.003 here; the tolerance of 0.015
    // is five of them.
    void priorityDrawFollowsThePriorities() {
        PriorityShuffle shuffle;
        shuffle.setSongs({{1, 0}, {2, 10}, {3, 30}});
        seedSongRandom(2026);
        QHash<qint64, int> drawn;
        for (int i = 0; i < 20000; ++i)
            ++drawn[shuffle.draw(songRandom())];
        QCOMPARE(drawn.value(1), 0);
        QVERIFY2(qAbs(drawn.value(2) / 20000.0 - 0.25) < 0.015,
                 qPrintable(QString::number(drawn.value(2))));
        QVERIFY2(qAbs(drawn.value(3) / 20000.0 - 0.75) < 0.015,
                 qPrintable(QString::number(drawn.value(3))));
        shuffle.remove(3);
        for (int i = 0; i < 100; ++i)
            QCOMPARE(shuffle.draw(songRandom()), 2);
        shuffle.remove(2);
        QCOMPARE(shuffle.draw(songRandom()), -1);
    }

    // Nine playable songs (one of priority 0 never plays): after a song
    // plays, at least four others (half of the other eight) play before it
    // comes again, however heavily it is weighted; every song comes.
    void priorityDrawRepeatsNoSongEarly() {
        PriorityShuffle shuffle;
        std::vector<PriorityShuffle::Entry> songs = {{100, 0}};
        for (int id = 1; id <= 9; ++id)
            songs.push_back({id, id == 1 ? 100 : 1});
        shuffle.setSongs(songs);
        QCOMPARE(shuffle.playable(), 9);
        QCOMPARE(shuffle.spacing(), 4);
        seedSongRandom(11);
        QHash<qint64, int> lastPlayed;
        QHash<qint64, int> plays;
        int closest = 1000;
        for (int i = 0; i < 3000; ++i) {
            const qint64 id = shuffle.draw(songRandom());
            if (lastPlayed.contains(id))
                closest = std::min(closest, i - lastPlayed[id] - 1);
            lastPlayed[id] = i;
            ++plays[id];
            shuffle.played(id);
        }
        QCOMPARE(closest, 4);
        QCOMPARE(plays.size(), 9);
        QVERIFY(!plays.contains(100));
        // The heavy song comes as often as the spacing lets it: every fifth.
        QVERIFY2(plays.value(1) > 550, qPrintable(QString::number(plays.value(1))));
        // Two playable songs take turns; one plays on its own.
        shuffle.setSongs({{1, 5}, {2, 90}});
        QCOMPARE(shuffle.spacing(), 1);
        QString turns;
        for (int i = 0; i < 6; ++i) {
            const qint64 id = shuffle.draw(songRandom());
            turns += QString::number(id);
            shuffle.played(id);
        }
        QVERIFY2(turns == "121212" || turns == "212121", qPrintable(turns));
        shuffle.remove(2);
        QCOMPARE(shuffle.spacing(), 0);
        shuffle.played(1);
        QCOMPARE(shuffle.draw(songRandom()), 1);
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

        lib_->db().adoSetData(Write::ResetDisplayItems, {});
        lib_->db().adoSetData(Write::FrameOrder, {"1", "ｶｳﾝﾄ"});
        lib_->db().adoSetData(Write::StatusBarOrder, {"1", "曲名"});
        lib_->db().adoSetData(Write::StatusBarOrder, {"2", "ｶｳﾝﾄ"});
        QCOMPARE(nowplaying::frameTexts(song), std::make_pair(QString("12"), QString()));
        QCOMPARE(nowplaying::statusText(song), std::optional<QString>("12"));
        lib_->db().adoSetData(Write::ResetDisplayItems, {});
        QCOMPARE(nowplaying::statusText(song), std::nullopt);
    }

    void anEmptyListPlaysNothing() {
        PlayerControl& c = scripted({});
        QSignalSpy states(&c, &PlayerControl::stateChanged);
        c.toggle();
        c.play();
        c.next();
        QCOMPARE(c.state(), kStopped);
        QCOMPARE(gPlayState, kStopped);
        QVERIFY(states.isEmpty());
        QVERIFY(player_->log.isEmpty());
    }

    // Play, pause on a key (ignored while paused or playing), resume and
    // stop; a play counts once, past half the song in ticks of playing
    // time, and again after a new start. The song read for playing is
    // shown and written back whole, IDs included.
    void aPlayCountsOncePastHalfTheSong() {
        TempLibrary::Fields f;
        f.genres[0] = lib_->addGenre("A");
        f.genres[2] = lib_->addGenre("B");
        f.artist = lib_->addArtist("Ann");
        f.priority = 70;
        f.trend = true;
        f.volume = -200;
        f.count = 5;
        PlayerControl& c = scripted({{"a", 200}}, kRandomPlay, f);
        QSignalSpy started(&c, &PlayerControl::songStarted);
        QSignalSpy states(&c, &PlayerControl::stateChanged);
        c.toggle();
        QCOMPARE(started.size(), 1);
        QCOMPARE(started.at(0).at(0).value<Song>().Title(), QStringLiteral("a"));
        QVERIFY(c.timer().isActive());
        QCOMPARE(c.maximum(), 200);
        tick(c, 80);
        player_->log.clear();
        c.toggle("Key_9");
        QCOMPARE(gPlayState, kPaused);
        QVERIFY(!c.timer().isActive());
        QCOMPARE(c.position(), 80);
        c.toggle("Key_9");
        QCOMPARE(gPlayState, kPlaying);
        QVERIFY(c.timer().isActive());
        QCOMPARE(player_->log, QStringList({"pause", "start"}));
        QCOMPARE(started.size(), 1); // resuming starts nothing new
        QCOMPARE(states.size(), 3);  // playing, paused, playing
        tick(c, 20);
        QVERIFY(!c.counted()); // 100 of 200 seconds is not past half
        tick(c, 1);
        QStringList row; // 曲名, ｱｰﾃｨｽﾄ名, ｼﾞｬﾝﾙ, ｶｳﾝﾄ, 優先度, ﾌｧｲﾙﾊﾟｽ
        for (int col = 0; col < 6; ++col)
            row << list_->cell("Key_1", col);
        QCOMPARE(row, QStringList({"a", "Ann", "A", "6", "70", path("a")}));
        tick(c, 160);
        QCOMPARE(c.currentSong()->Count(), 6);
        QCOMPARE(c.position(), 200); // held at the length
        c.stop();
        c.toggle();
        QVERIFY(!c.counted());
        tick(c, 101);
        QCOMPARE(stored("1"), QStringLiteral("1|7||a|70|A|指定無し|B|Ann|False|True|-200"));
    }

    // The player's volume is the slider's plus the song's correction, v,
    // on the cubic curve: 6000 log10(v / 10000) hundredths of a decibel;
    // a sum outside 0 to 10000 leaves the volume as it was. The slider is
    // at 2000 (-4194) before the song starts.
    void volumeFollowsTheSliderAndTheSong_data() {
        QTest::addColumn<int>("correction");
        QTest::addColumn<bool>("playing");
        QTest::addColumn<int>("slider");
        QTest::addColumn<int>("volume");
        QTest::newRow("silent, no song") << 0 << false << 0 << -10000;
        QTest::newRow("silent, playing") << 0 << true << 0 << -10000;
        QTest::newRow("barely audible") << 0 << false << 300 << -9137;
        QTest::newRow("the default, about -24 dB") << 0 << false << 4000 << -2388;
        QTest::newRow("loudest slider, about -6 dB") << 0 << true << 8000 << -581;
        QTest::newRow("corrected") << 3500 << true << 6000 << -134;
        QTest::newRow("corrected to the top") << 3500 << true << 6500 << 0;
        // 2000 + 3500 when the song started: -1558.
        QTest::newRow("above the top, as before") << 3500 << true << 7000 << -1558;
        QTest::newRow("below silence, as before") << -3500 << true << 2000 << -4194;
    }
    void volumeFollowsTheSliderAndTheSong() {
        QFETCH(int, correction);
        QFETCH(bool, playing);
        QFETCH(int, slider);
        TempLibrary::Fields f;
        f.volume = correction;
        PlayerControl& c = scripted({{"a", 10}}, kRandomPlay, f);
        c.setVolume(2000);
        QCOMPARE(player_->volume(), -4194);
        if (playing)
            c.toggle();
        c.setVolume(slider);
        QTEST(player_->volume(), "volume");
    }

    // Program play goes down the list at each song's end and stops after
    // the last; a song of no known length keeps the last length. Play
    // then starts again from the first song; an end after Stop starts
    // nothing.
    void programPlayEndsAfterTheLastSongAndStartsOver() {
        PlayerControl& c = scripted({{"a", 120.4}, {"b", 0}});
        QSignalSpy stops(&c, &PlayerControl::stopped);
        c.toggle();
        QCOMPARE(gLastKey, QStringLiteral("Key_1"));
        QCOMPARE(c.maximum(), 120);
        player_->finish();
        QCOMPARE(player_->openedFile(), path("b"));
        QCOMPARE(c.state(), kPlaying);
        QCOMPARE(c.maximum(), 120);
        QVERIFY(stops.isEmpty());
        player_->finish();
        QCOMPARE(c.state(), kStopped);
        QCOMPARE(stops.size(), 1);
        QCOMPARE(reason(stops), StopReason::EndOfList);
        c.toggle();
        QCOMPARE(player_->openedFile(), path("a"));
        QCOMPARE(c.state(), kPlaying);
        c.stop();
        QCOMPARE(reason(stops, 1), StopReason::Command);
        player_->finish(); // an end on its way as Stop was pressed
        QCOMPARE(c.state(), kStopped);
        QCOMPARE(player_->openedFile(), path("a"));
        lvSetLastKey("Key_42"); // a last key no longer listed ends as well
        c.toggle();
        QCOMPARE(c.state(), kStopped);
        QCOMPARE(reason(stops, 2), StopReason::EndOfList);
    }

    // A length learnt while playing moves the end of the position and the
    // half-way point of the count.
    void aBetterLengthMovesTheCount() {
        PlayerControl& c = scripted({{"a", 12}});
        QSignalSpy positions(&c, &PlayerControl::positionChanged);
        c.toggle();
        tick(c, 6);
        QVERIFY(!c.counted());
        player_->changeLength(62.4);
        QCOMPARE(c.maximum(), 62);
        QCOMPARE(positions.last(), QVariantList({6, 62}));
        tick(c, 25);
        QVERIFY(!c.counted()); // 31 of 62 is not past half
        tick(c, 1);
        QVERIFY(c.counted());
        player_->changeLength(20); // shorter than what has played: held at the end
        QCOMPARE(positions.last(), QVariantList({20, 20}));
    }

    // The frame's time at the bounds of minutes and hours: hours shown from
    // an hour on, for both sides when the song is that long.
    void timeText_data() {
        QTest::addColumn<int>("seconds");
        QTest::addColumn<int>("length");
        QTest::addColumn<QString>("text");
        QTest::newRow("nothing") << 0 << 0 << "0:00 / 0:00";
        QTest::newRow("short") << 83 << 296 << "1:23 / 4:56";
        QTest::newRow("last minute") << 3599 << 3599 << "59:59 / 59:59";
        QTest::newRow("an hour") << 0 << 3600 << "0:00:00 / 1:00:00";
        QTest::newRow("past an hour") << 3661 << 7322 << "1:01:01 / 2:02:02";
        QTest::newRow("held past a short length") << 3600 << 60 << "1:00:00 / 1:00";
    }
    void timeText() {
        QFETCH(int, seconds);
        QFETCH(int, length);
        QFETCH(QString, text);
        QCOMPARE(nowplaying::positionText(seconds, length), text);
    }

    // A seek moves the place, not the count: a play counts once more than
    // half of the song has been played, wherever seeks took it, and only
    // once. A seek to the end counts nothing; a player that refuses keeps
    // the place; nothing is seeked while stopped.
    void aSeekMovesThePlaceNotTheCount() {
        PlayerControl& c = scripted({{"a", 200}, {"b", 100}, {"c", 100}});
        player_->unseekable << path("b");
        QSignalSpy positions(&c, &PlayerControl::positionChanged);
        QVERIFY(!c.seek(50));
        QVERIFY(!player_->log.join(',').contains("seek"));
        c.toggle();
        tick(c, 10);
        QVERIFY(c.seek(150));
        QVERIFY(player_->log.contains("seek 150"));
        QCOMPARE(positions.last(), QVariantList({150, 200}));
        tick(c, 90); // 100 of 200 seconds played; the place held at the end
        QCOMPARE(c.position(), 200);
        QCOMPARE(c.played(), 100);
        QVERIFY(!c.counted());
        tick(c, 1);
        QVERIFY(c.counted());
        QVERIFY(c.seek(-5)); // clamped to the start
        QCOMPARE(c.position(), 0);
        tick(c, 150);
        QCOMPARE(storedCount(1), 1);
        c.toggle(); // paused, it still seeks
        QVERIFY(c.seek(199));
        QCOMPARE(c.position(), 199);
        c.toggle();
        player_->finish();
        QCOMPARE(c.currentSong()->Title(), QStringLiteral("b"));
        tick(c, 30);
        QVERIFY(!c.seek(90));
        QCOMPARE(positions.last(), QVariantList({30, 100}));
        QCOMPARE(c.position(), 30);
        player_->finish();
        QCOMPARE(c.currentSong()->Title(), QStringLiteral("c"));
        QVERIFY(c.seek(100));
        tick(c, 1);
        player_->finish();
        QCOMPARE(storedCount(1), 1);
        QCOMPARE(storedCount(2), 0);
        QCOMPARE(storedCount(3), 0);
    }

    // A song the player cannot open or fails part-way is marked in the
    // list with the reason and passed over without a box; a scripted start
    // that fails is the same.
    void aFailingSongIsMarkedAndPassedOver_data() {
        QTest::addColumn<QString>("failure");
        QTest::newRow("open") << "open";
        QTest::newRow("part-way") << "part-way";
    }
    void aFailingSongIsMarkedAndPassedOver() {
        QFETCH(QString, failure);
        ScriptedPresenter boxes;
        PlayerControl& c = scripted({{"a", 10}, {"b", 10}, {"c", 10}});
        QSignalSpy skipped(&c, &PlayerControl::songSkipped);
        QSignalSpy started(&c, &PlayerControl::songStarted);
        if (failure == "open")
            player_->failing.insert(path("b"));
        c.toggle();
        player_->finish();
        if (failure == "part-way") {
            tick(c, 3);
            player_->breakDown();
        }
        QCOMPARE(player_->openedFile(), path("c"));
        QCOMPARE(c.state(), kPlaying);
        QCOMPARE(skipped.size(), 1);
        QCOMPARE(skipped.at(0).at(0).value<Song>().FilePath(), path("b"));
        const QString why = failure == "open" ? "cannot open" : "device lost";
        QCOMPARE(skipped.at(0).at(1).toString(), why);
        QCOMPARE(started.size(), failure == "open" ? 2 : 3);
        QCOMPARE(list_->unplayable("Key_2"), why);
        QCOMPARE(list_->data(list_->index(1, 0), Qt::ToolTipRole).toString(), why);
        QCOMPARE(list_->data(list_->index(1, 3), SongListModel::kUnplayableRole), QVariant(true));
        QCOMPARE(list_->data(list_->index(0, 0), SongListModel::kUnplayableRole), QVariant());
        QCOMPARE(c.unplayableReason("2"), why);
        QVERIFY(boxes.boxes().isEmpty());
        QCOMPARE(storedCount(2), 0);
        // Program play passes over the marked song from now on; chosen by
        // its key, it is tried, and marked no more once it plays.
        c.stop();
        lvResetLastKey();
        player_->failing.clear();
        c.toggle();
        player_->finish();
        QCOMPARE(player_->openedFile(), path("c"));
        c.playKey("Key_2");
        QCOMPARE(player_->openedFile(), path("b"));
        QCOMPARE(list_->unplayable("Key_2"), QString());
        QCOMPARE(c.unplayableReason("2"), QString());
    }

    // Five songs in a row that cannot be played stop playing with one box
    // naming the last; so does a set list whose every song is marked. The
    // songs are counted over from the next command.
    void failuresInARowStopWithOneBox_data() {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<int>("songs");
        QTest::addColumn<int>("skips");
        QTest::addColumn<StopReason>("reason");
        QTest::newRow("program, five in a row") << kProgramPlay << 7 << 5 << StopReason::Failures;
        QTest::newRow("random, five in a row") << kRandomPlay << 9 << 5 << StopReason::Failures;
        QTest::newRow("random, all marked") << kRandomPlay << 3 << 3 << StopReason::AllUnplayable;
        QTest::newRow("priority, all marked")
            << kPriorityPlay << 3 << 3 << StopReason::AllUnplayable;
        QTest::newRow("program, all marked") << kProgramPlay << 3 << 3 << StopReason::AllUnplayable;
    }
    void failuresInARowStopWithOneBox() {
        QFETCH(QString, mode);
        QFETCH(int, songs);
        QFETCH(int, skips);
        ScriptedPresenter boxes;
        QList<std::pair<QString, double>> files;
        for (int i = 1; i <= songs; ++i)
            files.append({QString("s%1").arg(i), 10});
        PlayerControl& c = scripted(files, mode);
        for (const auto& file : files)
            player_->failing.insert(path(file.first));
        QSignalSpy skipped(&c, &PlayerControl::songSkipped);
        QSignalSpy stops(&c, &PlayerControl::stopped);
        c.toggle();
        QCOMPARE(skipped.size(), skips);
        QCOMPARE(c.state(), kStopped);
        QCOMPARE(stops.size(), 1);
        QTEST(reason(stops), "reason");
        QCOMPARE(boxes.boxes().size(), 1);
        const QString last = skipped.last().at(0).value<Song>().FilePath();
        QCOMPARE(boxes.boxes().front().text, "曲の再生に失敗しました\n\n" + last + "\ncannot open");
        QCOMPARE(boxes.boxes().front().title, QStringLiteral("Melodara Player"));
        // Random play drew no marked song twice.
        QSet<QString> files2;
        for (const auto& skip : skipped)
            files2.insert(skip.at(0).value<Song>().FilePath());
        QCOMPARE(files2.size(), skips);
    }

    // A play count the library cannot write (its disk is full) shows the
    // connector's one box and stops: neither the tick nor an end of stream
    // runs under the box, and no play is counted.
    void aCountThatCannotBeStoredStops() {
        QVERIFY(lib_->db().adoSetData(Write::RunSql,
                                      {"CREATE TRIGGER full BEFORE UPDATE ON TM_曲情報 BEGIN"
                                       " SELECT RAISE(ABORT, 'database or disk is full'); END"}));
        PlayerControl& c = scripted({{"a", 10}, {"b", 10}});
        ScriptedPresenter boxes;
        QSignalSpy stops(&c, &PlayerControl::stopped);
        QStringList underBox;
        boxes.whileShown = [&](const ScriptedPresenter::Box&) {
            if (c.timer().isActive())
                underBox << "ticking";
            const qsizetype before = player_->log.size();
            player_->finish();
            underBox << player_->log.mid(before);
        };
        c.toggle();
        tick(c, 6);
        QCOMPARE(boxes.boxes().size(), 1);
        QCOMPARE(boxes.boxes().front().title + ": " + boxes.boxes().front().text,
                 QStringLiteral("DBError: database or disk is full"));
        QCOMPARE(underBox, QStringList());
        QCOMPARE(player_->log.back(), QStringLiteral("stop"));
        QCOMPARE(c.state(), kStopped);
        QCOMPARE(reason(stops), StopReason::CountNotStored);
        QVERIFY(!c.timer().isActive());
        QCOMPARE(c.position(), 0);
        QCOMPARE(list_->cell("Key_1", 3), QStringLiteral("0"));
        QCOMPARE(storedCount(1), 0);
    }

    // Random play by priority plays no song of priority 0, and the draw
    // leaves out songs found unplayable.
    void priorityPlayLeavesOutPriorityZeroAndMarkedSongs() {
        TempLibrary::Fields none;
        none.priority = 0;
        for (const char* title : {"a", "b", "c"})
            lib_->addSong(title);
        lib_->addSong("zero", none);
        PlayerControl& c = scripted({}, kPriorityPlay);
        for (const char* title : {"a", "b", "c", "zero"})
            player_->lengths[path(title)] = 10;
        player_->failing.insert(path("b"));
        QStringList played;
        connect(&c, &PlayerControl::songStarted, &c,
                [&](const Song& song) { played << song.Title(); });
        c.toggle();
        for (int i = 0; i < 40; ++i)
            player_->finish();
        QCOMPARE(played.size(), 41);
        // "a" and "c" take turns: two playable songs, one kept back each time.
        for (int i = 1; i < played.size(); ++i)
            QVERIFY2(played[i] != played[i - 1] && played[i] != "zero",
                     qPrintable(played.join(',')));
        QCOMPARE(list_->unplayable("Key_2"), QStringLiteral("cannot open"));
    }

    // Real files through the real player: short songs mixed with a missing
    // file, an empty one, one cut inside its header and one that is not
    // audio. Program play goes through them once, random play until eight
    // songs have played; neither shows a box, each good song that plays
    // is counted once a play, and no bad file is tried twice.
    void realFilesWithBadOnesPlayWithoutABox_data() {
        QTest::addColumn<QString>("mode");
        QTest::newRow("program") << kProgramPlay;
        QTest::newRow("random") << kRandomPlay;
        QTest::newRow("priority") << kPriorityPlay;
    }
    void realFilesWithBadOnesPlayWithoutABox() {
        QFETCH(QString, mode);
        QVERIFY(audiofiles::writeWav(music("a.wav"), 0.5));
        QVERIFY(audiofiles::writeAiff(music("b.aiff"), 0.5));
        QVERIFY(audiofiles::writeMidi(music("c.mid"), 1));
        QVERIFY(audiofiles::writeBytes(music("empty.mp3"), QByteArray()));
        QVERIFY(audiofiles::writeWav(music("whole.wav"), 0.5));
        QFile whole(music("whole.wav"));
        QVERIFY(whole.open(QIODevice::ReadOnly));
        QVERIFY(audiofiles::writeBytes(music("cut.wav"), whole.read(30)));
        QVERIFY(audiofiles::writeBytes(music("text.mp3"), "not a song\n"));
        const QStringList names = {"a.wav",   "missing.wav", "b.aiff",  "empty.mp3",
                                   "cut.wav", "c.mid",       "text.mp3"};
        for (const QString& name : names)
            lib_->addSong(name, {}, music(name));
        ScriptedPresenter boxes;
        PlayerControl& c = real(mode);
        countEachSong(c);
        QSignalSpy skipped(&c, &PlayerControl::songSkipped);
        QSignalSpy stops(&c, &PlayerControl::stopped);
        QStringList played;
        connect(&c, &PlayerControl::songStarted, &c, [&](const Song& song) {
            played << song.Title();
            if (mode != kProgramPlay && played.size() == 8)
                c.stop();
        });
        c.toggle();
        QTRY_COMPARE_WITH_TIMEOUT(stops.size(), 1, 60000);
        QVERIFY(boxes.boxes().isEmpty());
        QCOMPARE(reason(stops), mode == kProgramPlay ? StopReason::EndOfList : StopReason::Command);
        if (mode == kProgramPlay)
            QCOMPARE(played, QStringList({"a.wav", "b.aiff", "c.mid"}));
        for (int id = 1; id <= names.size(); ++id) {
            const QString name = names[id - 1];
            QCOMPARE(storedCount(id), int(played.count(name)));
            const bool good = name == "a.wav" || name == "b.aiff" || name == "c.mid";
            const bool marked = !list_->unplayable(songrecord::keyOf(id)).isEmpty();
            if (good || mode == kProgramPlay)
                QVERIFY2(marked == !good, qPrintable(name));
        }
        QSet<QString> skippedFiles;
        for (const auto& skip : skipped) {
            const Song song = skip.at(0).value<Song>();
            skippedFiles.insert(song.FilePath());
            QVERIFY(!list_->unplayable(songrecord::listKey(song.KeyString())).isEmpty());
        }
        QCOMPARE(skippedFiles.size(), skipped.size());
        if (mode == kProgramPlay)
            QCOMPARE(skipped.size(), 4);
    }

    // A VBR MP3 without a length header: its parser first measures it by
    // its loud first frames (far shorter than it is) and learns better as
    // it reads on. The length shown and the half-way point of the count
    // follow: ticked to half of each length learnt, the song is not
    // counted (by the first length it would have been); past half of the
    // true one it is, once.
    void theTrueLengthOfAnMp3WithoutALengthHeader() {
        const QString wav = lib_->folder() + "/burst.wav";
        const QString mp3 = music("burst.mp3");
        QVERIFY(audiofiles::writeBurstWav(wav, 3, 27));
        if (!audiofiles::encodeWav(wav, mp3, "lamemp3enc target=quality quality=2"))
            QFAIL("the MP3 encoder (gstreamer1.0-plugins-good) is not installed");
        QFile file(mp3);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray head = file.read(4096);
        QVERIFY(!head.contains("Xing") && !head.contains("Info") && !head.contains("VBRI"));
        lib_->addSong("burst", {}, mp3);
        PlayerControl& c = real(kProgramPlay);
        QList<int> lengths;
        std::pair<int, int> countedAt; // the position and the length then
        connect(&c, &PlayerControl::positionChanged, &c, [&](int, int maximum) {
            if (c.state() != kPlaying || maximum == 0 ||
                lengths.value(lengths.size() - 1) == maximum)
                return;
            lengths << maximum;
            if (c.counted())
                return;
            while (c.position() < maximum / 2)
                c.tick();
            QVERIFY(!c.counted());
            if (maximum >= 29) {
                c.tick();
                QVERIFY(c.counted());
                countedAt = {c.position(), maximum};
            }
        });
        QSignalSpy stops(&c, &PlayerControl::stopped);
        c.toggle();
        QTRY_COMPARE_WITH_TIMEOUT(stops.size(), 1, 30000);
        QStringList shown;
        for (int length : lengths)
            shown << QString::number(length);
        QVERIFY2(lengths.size() >= 2 && lengths.first() < 20 && lengths.last() >= 29 &&
                     lengths.last() <= 30,
                 qPrintable(shown.join(',')));
        QCOMPARE(countedAt.first, countedAt.second / 2 + 1);
        QCOMPARE(storedCount(1), 1);
    }

    // The main window forwards its buttons, menu entry and volume to the
    // control, and shows what the control reports: the song in the frame
    // and the status bar, which says which file was passed over and why
    // until the next song starts.
    void theMainWindowShowsWhatTheControlReports() {
        frmMain& w = start({{"a", 10}, {"b", 10}, {"c", 10}}, 1);
        player_->failing.insert(path("b"));
        QCOMPARE(w.playerControl().volume(), 4000); // the stored default
        w.sldVolume->setValue(8000);
        QCOMPARE(player_->volume(), -581);
        w.cmdPlay->click();
        QCOMPARE(texts(w), QStringLiteral("a|指定無し|一時停止"));
        QCOMPARE(w.lblStatBarSong->text(), path("a"));
        QCOMPARE(w.sldDuration->maximum(), 10);
        w.tmDuration_Timer();
        QCOMPARE(w.sldDuration->value(), 1);
        QStringList status;
        connect(&w.playerControl(), &PlayerControl::songSkipped, this,
                [&] { status << w.lblStatBarSong->text(); });
        player_->finish();
        QCOMPARE(status,
                 QStringList({"再生できない曲を飛ばしました：" + path("b") + "（cannot open）"}));
        QCOMPARE(texts(w), QStringLiteral("c|指定無し|一時停止"));
        QCOMPARE(w.lblStatBarSong->text(), path("c"));
        QCOMPARE(w.sldDuration->value(), 0);
        // Showing the playing song selects it alone; the list stays multi-select.
        w.lvSongList->selectKey("Key_1");
        w.frmMain_ShowPlaySong();
        QCOMPARE(w.lvSongList->selectedKeys(), QStringList({"Key_3"}));
        QVERIFY(w.lvSongList->multiSelect());
        w.cmdStop->click();
        QCOMPARE(texts(w), QStringLiteral("||再生"));
        QCOMPARE(w.lblStatBarSong->text(), QString());
        QCOMPARE(w.currentSong()->Title(), QStringLiteral("c")); // the current song stays
        // Chosen by its key the marked song is tried again; failing, it is
        // passed over to the next, which fails too, and program play ends
        // there: the status bar still names the last one.
        player_->failing.insert(path("c"));
        w.lvSongList->selectKey("Key_2");
        w.mnuEdit_PlaySelListSong->trigger();
        QCOMPARE(gPlayState, kStopped);
        QCOMPARE(w.lblStatBarSong->text(),
                 "再生できない曲を飛ばしました：" + path("c") + "（cannot open）");
        QCOMPARE(texts(w), QStringLiteral("||再生"));
    }

    // The time beside sldDuration follows the tick; a click on the groove
    // or a drag of the handle seeks where it is let go, the tick leaving a
    // held handle alone; a song that refuses snaps the handle back.
    void theSliderSeeksAndShowsTheTime() {
        frmMain& w = start({{"a", 200}, {"b", 100}}, 1);
        player_->unseekable << path("b");
        show(w);
        QSlider& slider = *w.sldDuration;
        QCOMPARE(w.lblDuration->text(), QStringLiteral("0:00 / 0:00"));
        QVERIFY(w.lblDuration->geometry().left() > slider.geometry().right());
        QVERIFY(w.lblDuration->geometry().right() < w.fraSong->width());
        w.cmdPlay->click();
        w.tmDuration_Timer();
        QCOMPARE(w.lblDuration->text(), QStringLiteral("0:01 / 3:20"));
        QTest::mouseClick(&slider, Qt::LeftButton, {},
                          QPoint(slider.width() * 3 / 4, slider.height() / 2));
        const int clicked = w.playerControl().position();
        QVERIFY2(clicked >= 135 && clicked <= 165, qPrintable(QString::number(clicked)));
        QCOMPARE(player_->log.filter("seek"), QStringList({QString("seek %1").arg(clicked)}));
        QCOMPARE(slider.value(), clicked);
        slider.setSliderDown(true);
        slider.setSliderPosition(20);
        w.tmDuration_Timer();
        QCOMPARE(slider.sliderPosition(), 20);
        slider.setSliderDown(false);
        QCOMPARE(player_->log.filter("seek").last(), QStringLiteral("seek 20"));
        QCOMPARE(w.lblDuration->text(), QStringLiteral("0:20 / 3:20"));
        player_->finish();
        QCOMPARE(w.currentSong()->Title(), QStringLiteral("b"));
        for (int i = 0; i < 5; ++i)
            w.tmDuration_Timer();
        slider.setSliderDown(true);
        slider.setSliderPosition(80);
        slider.setSliderDown(false);
        QCOMPARE(slider.value(), 5);
        QCOMPARE(w.lblDuration->text(), QStringLiteral("0:05 / 1:40"));
    }

    // Ctrl+L takes the filter box; the list narrowed, program play goes
    // down the shown rows and random play still draws from the whole set
    // list; selecting all selects the shown rows. In the list Space plays,
    // pauses and resumes as cmdPlay does, and Enter plays the selected song
    // as Ctrl+P does.
    void keysAndTheFilterInTheWindow() {
        frmMain& w = start({{"apple", 10}, {"banana", 10}, {"cherry", 10}, {"grape", 10}}, 1);
        show(w);
        QTest::keyClick(&w, Qt::Key_L, Qt::ControlModifier);
        QTRY_VERIFY(w.txtFilter->hasFocus());
        QTest::keyClicks(w.txtFilter, "AP");
        QCOMPARE(w.lvSongList->songs().count(), 2);
        QTest::keyClick(w.txtFilter, Qt::Key_Down);
        QTRY_VERIFY(w.lvSongList->hasFocus());
        w.lvSongList->selectAll();
        QCOMPARE(w.lvSongList->selectedKeys(), QStringList({"Key_1", "Key_4"}));
        w.lvSongList->clearSelection();
        QTest::keyClick(w.lvSongList, Qt::Key_Space);
        QCOMPARE(w.currentSong()->Title(), QStringLiteral("apple"));
        QCOMPARE(gPlayState, kPlaying);
        player_->finish();
        QCOMPARE(w.currentSong()->Title(), QStringLiteral("grape"));
        player_->finish();
        QCOMPARE(gPlayState, kStopped);
        QTest::keyClick(w.lvSongList, Qt::Key_Space);
        QCOMPARE(w.currentSong()->Title(), QStringLiteral("apple"));
        QTest::keyClick(w.lvSongList, Qt::Key_Space);
        QCOMPARE(gPlayState, kPaused);
        QTest::keyClick(w.lvSongList, Qt::Key_Space);
        QCOMPARE(gPlayState, kPlaying);
        w.lvSongList->selectKey("Key_4");
        QTest::keyClick(w.lvSongList, Qt::Key_Return);
        QCOMPARE(w.currentSong()->Title(), QStringLiteral("grape"));
        QCOMPARE(gPlayState, kPlaying);
        w.lvSongList->selectKey("Key_1");
        QTest::keyClick(w.lvSongList, Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(w.currentSong()->Title(), QStringLiteral("apple"));
        w.cboHowToPlay->setCurrentIndex(0);
        QSet<QString> drawn;
        for (int i = 0; i < 40; ++i) {
            w.frmMain_NextSong();
            drawn << w.currentSong()->Title();
        }
        QVERIFY(drawn.contains("banana") || drawn.contains("cherry"));
        QCOMPARE(w.lvSongList->songs().count(), 2);
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
            w.mnuEdit_PlaySelListSong->trigger();
        QCOMPARE(gPlayState, kPlaying);
        QCOMPARE(player_->openedFile(), path(plays));
        QCOMPARE(player_->log.front(), QStringLiteral("stop"));
        QCOMPARE(player_->log.back(), QStringLiteral("start"));
        QCOMPARE(w.cboHowToPlay->currentIndex(), mode);
        QCOMPARE(w.cmdPlay->toolTip(), QStringLiteral("一時停止"));
        w.cmdPlay->click();
        QCOMPARE(gPlayState, kPaused);
    }

    // Reading the same set list again after an edit of names or of the
    // display lets the song play on, with its edited record, and program
    // play goes on after it; the library window's reload (songs may be
    // gone) and choosing another set list stop.
    void aReloadOfTheSameSetListPlaysOn() {
        frmMain& w = start({{"a", 10}, {"b", 10}, {"c", 10}}, 1);
        QVERIFY(w.lvSongList->songs().count() == 3);
        w.frmMain_PlaySong(QString());
        player_->finish();
        QCOMPARE(player_->openedFile(), path("b"));
        gConnector->adoSetData(Write::AddArtist, {"Bob"});
        gConnector->adoSetData(Write::UpdateSong, {path("b"), "b2", "50", "1", "1", "1", "2", "No",
                                                   "No", "0", "2", "0"});
        player_->log.clear();
        w.frmMain_RefreshSetList();
        QCOMPARE(gPlayState, kPlaying);
        QVERIFY(!player_->log.contains("stop"));
        QCOMPARE(texts(w), QStringLiteral("b2|Bob|一時停止"));
        QCOMPARE(w.currentSong()->Artist(), QStringLiteral("Bob"));
        QCOMPARE(w.lvSongList->songs().cell("Key_2", 0), QStringLiteral("b2"));
        player_->finish();
        QCOMPARE(player_->openedFile(), path("c"));
        w.frmMain_ReloadSetList();
        QCOMPARE(gPlayState, kStopped);
        w.frmMain_PlaySong(QString());
        QCOMPARE(player_->openedFile(), path("a")); // from the top
        QVERIFY(gConnector->adoxCreateQuery("SELECT * FROM Q_SetList_ALL", "Q_SetList_Other"));
        gConnector->adoSetData(Write::AddSetList, {"Other"});
        w.frmMain_SetSetListCombo();
        w.cboSetList->setCurrentText("Other");
        QCOMPARE(gPlayState, kStopped);
        QCOMPARE(player_->log.back(), QStringLiteral("stop"));
    }

    // "優先度ﾗﾝﾀﾞﾑ再生" is the third mode; chosen at shutdown it comes back
    // at the next start, also in a library made before it existed.
    void priorityPlayIsStoredLikeTheOtherModes() {
        lib_->db().adoSetData(Write::RunSql,
                              {"DELETE FROM TM_再生種別 WHERE 再生種別 = '優先度ﾗﾝﾀﾞﾑ再生'"});
        frmMain& w = start({{"a", 10}});
        QCOMPARE(w.cboHowToPlay->count(), 3);
        QCOMPARE(w.cboHowToPlay->itemText(2), QStringLiteral("優先度ﾗﾝﾀﾞﾑ再生"));
        w.cboHowToPlay->setCurrentIndex(2);
        QCOMPARE(w.playerControl().playMode(), kPriorityPlay);
        w_.reset();
        w_ = std::make_unique<frmMain>(lib_->path(), new FakePlayer);
        QVERIFY(w_->Form_Load());
        QCOMPARE(w_->cboHowToPlay->currentText(), QStringLiteral("優先度ﾗﾝﾀﾞﾑ再生"));
        QCOMPARE(w_->playerControl().playMode(), kPriorityPlay);
    }

    // The song text of the status bar stays while a menu shows its status
    // tips, and afterwards.
    void statusTextSurvivesTheMenus() {
        frmMain& w = start({{"a", 10}});
        show(w);
        w.frmMain_PlaySong(QString());
        auto* menu = w.findChild<QMenu*>("mnuEdit");
        w.mnuEdit_Album->setStatusTip("tip");
        w.menuBar()->setActiveAction(menu->menuAction());
        QTRY_VERIFY(menu->isVisible());
        menu->setActiveAction(w.mnuEdit_Album);
        QCOMPARE(w.statBar->currentMessage(), QStringLiteral("tip"));
        for (bool open : {true, false}) {
            menu->setVisible(open);
            QCOMPARE(w.lblStatBarSong->text(), path("a"));
            QVERIFY(w.lblStatBarSong->isVisible());
        }
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

    // Compact mode from the main window: the compact window shows what the
    // control reports, as the main window goes on doing, and hands its
    // place back however it ends; the platform's close command acts as the
    // return button.
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
                QCOMPARE(texts(w), "||再生");
                c.cmdNext->click();
                QCOMPARE(gPlayState, kPlaying);
                QCOMPARE(texts(c), "a|指定無し|一時停止");
                c.cmdPlay->click();
                QCOMPARE(gPlayState, kPaused);
                QCOMPARE(texts(c), "a|指定無し|再生");
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
        w.mnuDisp_Compact->trigger();
        QVERIFY(!w.compact() && !w.compactWindow());
        QVERIFY(!(w.windowState() & Qt::WindowMinimized));
        QCOMPARE(texts(w), "||再生");
        // Opened again, it comes back where it was left: stored in twips
        // as it is read.
        QPoint reopened;
        setModalHandler([&](QDialog& dialog) {
            reopened = dialog.pos();
            return 0;
        });
        w.mnuDisp_Compact->trigger();
        QCOMPARE(reopened, QPoint(120, 45));
    }
};

QTEST_MAIN(TestPlayerControl)
#include "tst_playercontrol.moc"
