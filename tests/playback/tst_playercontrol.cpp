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
#include "playback/crossfade.h"
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
#include <QElapsedTimer>
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

#include <algorithm>
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
        list_->setColumns({QStringLiteral("曲名"), QStringLiteral("ｱｰﾃｨｽﾄ名"),
                           QStringLiteral("ｼﾞｬﾝﾙ"), QStringLiteral("ｶｳﾝﾄ"),
                           QStringLiteral("優先度"), QStringLiteral("ﾌｧｲﾙﾊﾟｽ")});
        [&] { QVERIFY(lvSetSongList(0, QStringLiteral("ALL"), *list_)); }();
        lvResetLastKey();
        control_ = std::make_unique<PlayerControl>(*player, *list_);
        control_->setSetList(QStringLiteral("ALL"));
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
        return control(new GstPlayer(QStringLiteral("fakesink sync=false")), mode);
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
    QString path(const QString& title) const {
        return lib_->folder() + QStringLiteral("/music/") + title + QStringLiteral(".mp3");
    }
    QString music(const QString& name) const {
        return lib_->folder() + QStringLiteral("/music/") + name;
    }
    // Song `id` as the library holds it, but for its file path: ID, count,
    // title, priority, genres, artist, breakout, trend, volume.
    QString stored(const QString& id) const {
        ADO_Connector db(lib_->path());
        Recordset rs;
        db.adoGetData(Read::SongById, rs, id);
        QStringList fields;
        for (int c = 0; !rs.Eof() && c < rs.fieldCount(); ++c)
            fields << (c == 2 ? QString() : rs.text(c));
        return fields.join(u'|');
    }
    int storedCount(int id) const {
        return stored(QString::number(id)).section(u'|', 1, 1).toInt();
    }
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
        lib_->db().adoSetData(Write::RunSql,
                              {QStringLiteral("UPDATE TM_初期設定 SET 設定値 = '") + value +
                               QStringLiteral("' WHERE 設定情報 = 'コンパクト画面") + key +
                               QStringLiteral("'")});
    }
    // The two now-playing texts and the play button's state.
    template <class Window> static QString texts(const Window& w) {
        return w.lblSongDisp1->text() + QStringLiteral("|") + w.lblSongDisp2->text() +
               QStringLiteral("|") + w.cmdPlay->toolTip();
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
        QDir().mkpath(lib_->folder() + QStringLiteral("/music"));
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
            lib_->addSong(QStringLiteral("s%1").arg(i), i % 2 == 0 ? high : TempLibrary::Fields());
        QVERIFY(lib_->db().adoxCreateQuery(
            QStringLiteral("SELECT * FROM Q_SetList_ALL WHERE 優先度 = 90"),
            QStringLiteral("Q_SetList_高い")));
        seedSongRandom(777); // a fixed seed: the same figures every run
        QHash<QString, int> drawn;
        SongChooser draws;
        draws.setSetList(QStringLiteral("高い"));
        draws.setPlayMode(kRandomPlay);
        const SongListModel noList;
        for (int i = 0; i < 3000; ++i) {
            QString mode = kRandomPlay, key;
            Song song;
            if (chooser)
                QCOMPARE(draws.choose(QString(), noList, song), SongChooser::Outcome::Chosen);
            else
                QVERIFY(SelectSong(QStringLiteral("高い"), mode, song, key));
            QCOMPARE(mode, kRandomPlay);
            ++drawn[song.Title()];
        }
        // Songs 2, 4 and 6 in that order: the middle one half the time.
        QCOMPARE(drawn.size(), 3);
        for (const auto& [title, share] : {std::pair("s2", 0.25), {"s4", 0.5}, {"s6", 0.25}})
            QVERIFY2(qAbs(drawn.value(QString::fromUtf8(title)) / 3000.0 - share) < 0.03,
                     qPrintable(QString::fromUtf8(title) +
                                QStringLiteral(": %1").arg(drawn.value(QString::fromUtf8(title)))));
    }

    // A key plays that song in program mode. With no rows there is nothing
    // to draw; a set list without its query, or a song that is gone, gives
    // an empty song.
    void keyAndFailedReads() {
        QString mode = kRandomPlay, key;
        Song song;
        QVERIFY(!SelectSong(QStringLiteral("ALL"), mode, song, key));
        QVERIFY(SelectSong(QStringLiteral("missing"), mode, song, key));
        QVERIFY(song.FilePath().isEmpty());
        lib_->addSong(QStringLiteral("first"));
        lib_->addSong(QStringLiteral("second"));
        key = QStringLiteral("Key_2");
        QVERIFY(SelectSong(QStringLiteral("ALL"), mode, song, key));
        QCOMPARE(QStringList({mode, key, song.Title(), song.KeyString()}),
                 QStringList({kProgramPlay, QStringLiteral("2"), QStringLiteral("second"),
                              QStringLiteral("Key_2")}));
        key = QStringLiteral("Key_99");
        song = Song();
        QVERIFY(SelectSong(QStringLiteral("ALL"), mode, song, key));
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
        QVERIFY2(turns == QStringLiteral("121212") || turns == QStringLiteral("212121"),
                 qPrintable(turns));
        shuffle.remove(2);
        QCOMPARE(shuffle.spacing(), 0);
        shuffle.played(1);
        QCOMPARE(shuffle.draw(songRandom()), 1);
    }

    // The frame shows the fields of the first two display items, the status
    // bar that of the last status item.
    void frameAndStatusFollowTheDisplayItems() {
        Song song;
        song.setTitle(QStringLiteral("t"));
        song.setArtist(QStringLiteral("Artist"));
        song.setCount(12);
        song.setFilePath(QStringLiteral("/a.mp3"));
        // The stored defaults: frame 曲名, ｱｰﾃｨｽﾄ名; status ﾌｧｲﾙﾊﾟｽ.
        QCOMPARE(nowplaying::frameTexts(song),
                 std::make_pair(QStringLiteral("t"), QStringLiteral("Artist")));
        QCOMPARE(nowplaying::statusText(song), std::optional<QString>(QStringLiteral("/a.mp3")));
        QCOMPARE(nowplaying::fieldText(song, QStringLiteral("作曲者")),
                 std::nullopt); // no such field

        lib_->db().adoSetData(Write::ResetDisplayItems, {});
        lib_->db().adoSetData(Write::FrameOrder, {QStringLiteral("1"), QStringLiteral("ｶｳﾝﾄ")});
        lib_->db().adoSetData(Write::StatusBarOrder, {QStringLiteral("1"), QStringLiteral("曲名")});
        lib_->db().adoSetData(Write::StatusBarOrder, {QStringLiteral("2"), QStringLiteral("ｶｳﾝﾄ")});
        QCOMPARE(nowplaying::frameTexts(song), std::make_pair(QStringLiteral("12"), QString()));
        QCOMPARE(nowplaying::statusText(song), std::optional<QString>(QStringLiteral("12")));
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
        f.genres[0] = lib_->addGenre(QStringLiteral("A"));
        f.genres[2] = lib_->addGenre(QStringLiteral("B"));
        f.artist = lib_->addArtist(QStringLiteral("Ann"));
        f.priority = 70;
        f.trend = true;
        f.volume = -200;
        f.count = 5;
        PlayerControl& c = scripted({{QStringLiteral("a"), 200}}, kRandomPlay, f);
        QSignalSpy started(&c, &PlayerControl::songStarted);
        QSignalSpy states(&c, &PlayerControl::stateChanged);
        c.toggle();
        QCOMPARE(started.size(), 1);
        QCOMPARE(started.at(0).at(0).value<Song>().Title(), QStringLiteral("a"));
        QVERIFY(c.timer().isActive());
        QCOMPARE(c.maximum(), 200);
        tick(c, 80);
        player_->log.clear();
        c.toggle(QStringLiteral("Key_9"));
        QCOMPARE(gPlayState, kPaused);
        QVERIFY(!c.timer().isActive());
        QCOMPARE(c.position(), 80);
        c.toggle(QStringLiteral("Key_9"));
        QCOMPARE(gPlayState, kPlaying);
        QVERIFY(c.timer().isActive());
        QCOMPARE(player_->log, QStringList({QStringLiteral("pause"), QStringLiteral("start")}));
        QCOMPARE(started.size(), 1); // resuming starts nothing new
        QCOMPARE(states.size(), 3);  // playing, paused, playing
        tick(c, 20);
        QVERIFY(!c.counted()); // 100 of 200 seconds is not past half
        tick(c, 1);
        QStringList row; // 曲名, ｱｰﾃｨｽﾄ名, ｼﾞｬﾝﾙ, ｶｳﾝﾄ, 優先度, ﾌｧｲﾙﾊﾟｽ
        for (int col = 0; col < 6; ++col)
            row << list_->cell(QStringLiteral("Key_1"), col);
        QCOMPARE(row, QStringList({QStringLiteral("a"), QStringLiteral("Ann"), QStringLiteral("A"),
                                   QStringLiteral("6"), QStringLiteral("70"),
                                   path(QStringLiteral("a"))}));
        tick(c, 160);
        QCOMPARE(c.currentSong()->Count(), 6);
        QCOMPARE(c.position(), 200); // held at the length
        c.stop();
        c.toggle();
        QVERIFY(!c.counted());
        tick(c, 101);
        QCOMPARE(stored(QStringLiteral("1")),
                 QStringLiteral("1|7||a|70|A|指定無し|B|Ann|False|True|-200"));
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
        PlayerControl& c = scripted({{QStringLiteral("a"), 10}}, kRandomPlay, f);
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
        PlayerControl& c = scripted({{QStringLiteral("a"), 120.4}, {QStringLiteral("b"), 0}});
        QSignalSpy stops(&c, &PlayerControl::stopped);
        c.toggle();
        QCOMPARE(gLastKey, QStringLiteral("Key_1"));
        QCOMPARE(c.maximum(), 120);
        player_->finish();
        QCOMPARE(player_->openedFile(), path(QStringLiteral("b")));
        QCOMPARE(c.state(), kPlaying);
        QCOMPARE(c.maximum(), 120);
        QVERIFY(stops.isEmpty());
        player_->finish();
        QCOMPARE(c.state(), kStopped);
        QCOMPARE(stops.size(), 1);
        QCOMPARE(reason(stops), StopReason::EndOfList);
        c.toggle();
        QCOMPARE(player_->openedFile(), path(QStringLiteral("a")));
        QCOMPARE(c.state(), kPlaying);
        c.stop();
        QCOMPARE(reason(stops, 1), StopReason::Command);
        player_->finish(); // an end on its way as Stop was pressed
        QCOMPARE(c.state(), kStopped);
        QCOMPARE(player_->openedFile(), path(QStringLiteral("a")));
        lvSetLastKey(QStringLiteral("Key_42")); // a last key no longer listed ends as well
        c.toggle();
        QCOMPARE(c.state(), kStopped);
        QCOMPARE(reason(stops, 2), StopReason::EndOfList);
    }

    // A length learnt while playing moves the end of the position and the
    // half-way point of the count.
    void aBetterLengthMovesTheCount() {
        PlayerControl& c = scripted({{QStringLiteral("a"), 12}});
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
        PlayerControl& c = scripted(
            {{QStringLiteral("a"), 200}, {QStringLiteral("b"), 100}, {QStringLiteral("c"), 100}});
        player_->unseekable << path(QStringLiteral("b"));
        QSignalSpy positions(&c, &PlayerControl::positionChanged);
        QVERIFY(!c.seek(50));
        QVERIFY(!player_->log.join(u',').contains(QStringLiteral("seek")));
        c.toggle();
        tick(c, 10);
        QVERIFY(c.seek(150));
        QVERIFY(player_->log.contains(QStringLiteral("seek 150")));
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

    // The crossfade's decisions for a setting and two songs' lengths: the
    // second into the first at which the next song takes over (-1 never)
    // and the seconds both sound, at most half of either song.
    void crossfadeHandover_data() {
        QTest::addColumn<int>("setting");
        QTest::addColumn<double>("first");
        QTest::addColumn<double>("second");
        QTest::addColumn<double>("handover");
        QTest::addColumn<double>("overlap");
        QTest::newRow("0 s is off") << 0 << 200.0 << 200.0 << -1.0 << 0.0;
        QTest::newRow("below 0 is off") << -3 << 200.0 << 200.0 << -1.0 << 0.0;
        QTest::newRow("1 s") << 1 << 4.0 << 4.0 << 3.0 << 1.0;
        QTest::newRow("10 s") << 10 << 200.0 << 180.0 << 190.0 << 10.0;
        QTest::newRow("above 10 s is 10 s") << 11 << 200.0 << 180.0 << 190.0 << 10.0;
        QTest::newRow("first shorter than twice") << 10 << 12.0 << 200.0 << 6.0 << 6.0;
        QTest::newRow("second shorter than twice") << 10 << 200.0 << 8.0 << 190.0 << 4.0;
        QTest::newRow("both exactly twice") << 10 << 20.0 << 20.0 << 10.0 << 10.0;
        QTest::newRow("first of unknown length") << 10 << 0.0 << 100.0 << -1.0 << 0.0;
        QTest::newRow("second of unknown length") << 10 << 200.0 << 0.0 << 190.0 << 10.0;
    }
    void crossfadeHandover() {
        QFETCH(int, setting);
        QFETCH(double, first);
        QFETCH(double, second);
        Crossfade fade;
        fade.setSeconds(setting);
        QTEST(fade.handoverAt(first), "handover");
        QTEST(fade.overlap(first, second), "overlap");
    }

    // The fade is linear in amplitude: each song's level in hundredths of
    // a decibel gains 2000 log10(g), with silence the floor.
    void crossfadeCurve_data() {
        QTest::addColumn<double>("elapsed");
        QTest::addColumn<double>("overlap");
        QTest::addColumn<double>("out");
        QTest::addColumn<double>("in");
        QTest::addColumn<int>("level");   // -581 faded out
        QTest::addColumn<int>("levelIn"); // -581 faded in
        QTest::newRow("before the start") << -1.0 << 10.0 << 1.0 << 0.0 << -581 << -10000;
        QTest::newRow("the start") << 0.0 << 10.0 << 1.0 << 0.0 << -581 << -10000;
        QTest::newRow("a quarter") << 2.5 << 10.0 << 0.75 << 0.25 << -831 << -1785;
        QTest::newRow("half") << 0.5 << 1.0 << 0.5 << 0.5 << -1183 << -1183;
        QTest::newRow("a hundredth left") << 9.9 << 10.0 << 0.01 << 0.99 << -4581 << -590;
        QTest::newRow("the end") << 10.0 << 10.0 << 0.0 << 1.0 << -10000 << -581;
        QTest::newRow("past the end") << 12.0 << 10.0 << 0.0 << 1.0 << -10000 << -581;
        QTest::newRow("no overlap") << 0.0 << 0.0 << 0.0 << 1.0 << -10000 << -581;
    }
    void crossfadeCurve() {
        QFETCH(double, elapsed);
        QFETCH(double, overlap);
        QFETCH(double, out);
        QFETCH(double, in);
        const Crossfade::Gains g = Crossfade::gains(elapsed, overlap);
        QCOMPARE(g.out, out);
        QCOMPARE(g.in, in);
        QTEST(Crossfade::faded(-581, g.out), "level");
        QTEST(Crossfade::faded(-581, g.in), "levelIn");
        QCOMPARE(Crossfade::faded(-9000, 0.01), -10000);
    }

    // The handover with a scripted player: a (20 s) hands over to b at 19 s
    // with 1 s set; a is counted by its 19 s played, b is the current song
    // on a second player, opened silent and faded in while a fades out,
    // and the fade ends with a silenced. A command mid-fade acts on b and
    // silences a at once; a's own end ends the fade too. With 0 s, nothing
    // of this: a plays to its end on the one player.
    void crossfadeHandsOverToTheNextSong_data() {
        QTest::addColumn<int>("setting");
        QTest::addColumn<QString>("then");
        QTest::addColumn<int>("state");
        QTest::addColumn<QString>("current");
        QTest::newRow("off") << 0 << "" << kPlaying << "a";
        QTest::newRow("fades to its end") << 1 << "" << kPlaying << "b";
        QTest::newRow("the outgoing song ends") << 1 << "end" << kPlaying << "b";
        QTest::newRow("stop mid-fade") << 1 << "stop" << kStopped << "b";
        QTest::newRow("pause mid-fade") << 1 << "pause" << kPaused << "b";
        QTest::newRow("next mid-fade") << 1 << "next" << kPlaying << "c";
    }
    void crossfadeHandsOverToTheNextSong() {
        QFETCH(int, setting);
        QFETCH(QString, then);
        TempLibrary::Fields loud;
        loud.volume = 3000; // a: 4000 + 3000 = 7000, -929
        PlayerControl& c = scripted(
            {{QStringLiteral("a"), 20}, {QStringLiteral("b"), 30}, {QStringLiteral("c"), 40}},
            kProgramPlay, loud);
        c.setCrossfade(setting);
        c.setVolume(4000); // b and c: -2388
        QSignalSpy started(&c, &PlayerControl::songStarted);
        c.toggle();
        tick(c, 18);
        QVERIFY(player_->twins.isEmpty());
        player_->log.clear();
        tick(c, 1);
        QCOMPARE(storedCount(1), 1);
        if (setting == 0) {
            QVERIFY(player_->twins.isEmpty());
            QCOMPARE(c.currentSong()->Title(), QStringLiteral("a"));
            QCOMPARE(c.position(), 19);
            QVERIFY(!player_->log.join(u',').contains(QStringLiteral("volume")));
            QTEST(c.state(), "state");
            return;
        }
        QCOMPARE(player_->twins.size(), 1);
        FakePlayer& second = *player_->twins.front();
        QCOMPARE(started.size(), 2);
        QCOMPARE(c.currentSong()->Title(), QStringLiteral("b"));
        QCOMPARE(c.position(), 0);
        QCOMPARE(&c.player(), &second);
        QCOMPARE(second.log.mid(0, 3),
                 QStringList({QStringLiteral("volume -10000"),
                              QStringLiteral("open ") + path(QStringLiteral("b")),
                              QStringLiteral("start")}));
        QCOMPARE(c.fade().phase(), Crossfade::Phase::Fading);
        QCOMPARE(c.fade().currentOverlap(), 1.0);
        QVERIFY(!player_->log.contains(QStringLiteral("stop"))); // a plays on
        if (then.isEmpty())
            QTRY_VERIFY(!c.fade().active());
        else if (then == QStringLiteral("end"))
            player_->finish();
        else if (then == QStringLiteral("stop"))
            c.stop();
        else if (then == QStringLiteral("pause"))
            c.pause();
        else
            c.next();
        QVERIFY(!c.fade().active());
        QCOMPARE(player_->log.last(), QStringLiteral("stop"));
        QTEST(c.state(), "state");
        QTEST(c.currentSong()->Title(), "current");
        QCOMPARE(second.volume(), -2388); // its full level
        // The outgoing level only fell; the incoming only rose.
        QList<int> out, in;
        for (const QString& entry : player_->log)
            if (entry.startsWith(QStringLiteral("volume")))
                out << entry.section(u' ', 1).toInt();
        for (const QString& entry : second.log)
            if (entry.startsWith(QStringLiteral("volume")))
                in << entry.section(u' ', 1).toInt();
        QVERIFY(std::is_sorted(out.rbegin(), out.rend()));
        QVERIFY(std::is_sorted(in.begin(), in.end()));
        QVERIFY(out.isEmpty() || out.first() <= -929);
        // b hands back over to the first player at 29 s.
        if (c.state() != kPlaying || then == QStringLiteral("next"))
            return;
        tick(c, 29);
        QCOMPARE(storedCount(2), 1);
        QCOMPARE(c.currentSong()->Title(), QStringLiteral("c"));
        QCOMPARE(&c.player(), static_cast<MediaPlayer*>(player_));
        QCOMPARE(player_->twins.size(), 1);
    }

    // A song handed over at exactly half its length has not played more
    // than half: 10 s songs with 10 s set overlap 5 s, and a is not counted.
    void crossfadeAtHalfTheSongCountsNothing() {
        PlayerControl& c = scripted({{QStringLiteral("a"), 10}, {QStringLiteral("b"), 10}});
        c.setCrossfade(10);
        c.toggle();
        tick(c, 4);
        QCOMPARE(c.currentSong()->Title(), QStringLiteral("a"));
        tick(c, 1);
        QCOMPARE(c.currentSong()->Title(), QStringLiteral("b"));
        QCOMPARE(c.fade().currentOverlap(), 5.0);
        QCOMPARE(storedCount(1), 0);
    }

    // The last song of program play has no next one to hand over to: it
    // plays to its end on its player, and playing stops as without a fade.
    void crossfadeLeavesTheLastSongWhole() {
        PlayerControl& c = scripted({{QStringLiteral("a"), 20}});
        c.setCrossfade(10);
        QSignalSpy stops(&c, &PlayerControl::stopped);
        c.toggle();
        tick(c, 15);
        QVERIFY(player_->twins.isEmpty());
        QCOMPARE(c.position(), 15);
        QVERIFY(stops.isEmpty());
        player_->finish();
        QCOMPARE(stops.size(), 1);
        QCOMPARE(reason(stops), StopReason::EndOfList);
        QCOMPARE(storedCount(1), 1);
    }

    // Two short real files with 2 s set: b starts 2 s before a ends, both
    // sound for the fade's length, each is counted once, and b is current.
    void crossfadeOfTwoRealFiles() {
        QVERIFY(audiofiles::writeWav(music(QStringLiteral("a.wav")), 5));
        QVERIFY(audiofiles::writeWav(music(QStringLiteral("b.wav")), 5));
        lib_->addSong(QStringLiteral("a"), {}, music(QStringLiteral("a.wav")));
        lib_->addSong(QStringLiteral("b"), {}, music(QStringLiteral("b.wav")));
        PlayerControl& c =
            control(new GstPlayer(QStringLiteral("fakesink sync=true")), kProgramPlay);
        c.setCrossfade(2);
        QSignalSpy stops(&c, &PlayerControl::stopped);
        QElapsedTimer fade;
        qint64 fadeMs = -1;
        connect(&c, &PlayerControl::songStarted, &c, [&](const Song& song) {
            if (song.Title() == u"b") {
                QVERIFY(c.fade().phase() == Crossfade::Phase::Fading);
                fade.start();
            }
        });
        QTimer watch; // the fade's end, to the step
        watch.setInterval(PlayerControl::kFadeStepMs / 2);
        connect(&watch, &QTimer::timeout, &c, [&] {
            if (fade.isValid() && fadeMs < 0 && !c.fade().active())
                fadeMs = fade.elapsed();
        });
        watch.start();
        c.toggle();
        QTRY_COMPARE_WITH_TIMEOUT(stops.size(), 1, 20000);
        QCOMPARE(reason(stops), StopReason::EndOfList);
        QCOMPARE(c.currentSong()->Title(), QStringLiteral("b"));
        QCOMPARE(storedCount(1), 1);
        QCOMPARE(storedCount(2), 1);
        // Both sounded for the fade's 2 s: a's end may come a tick's slack
        // before the fade's own.
        QVERIFY2(fadeMs >= 1700 && fadeMs <= 2300, qPrintable(QString::number(fadeMs)));
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
        PlayerControl& c = scripted(
            {{QStringLiteral("a"), 10}, {QStringLiteral("b"), 10}, {QStringLiteral("c"), 10}});
        QSignalSpy skipped(&c, &PlayerControl::songSkipped);
        QSignalSpy started(&c, &PlayerControl::songStarted);
        if (failure == QStringLiteral("open"))
            player_->failing.insert(path(QStringLiteral("b")));
        c.toggle();
        player_->finish();
        if (failure == QStringLiteral("part-way")) {
            tick(c, 3);
            player_->breakDown();
        }
        QCOMPARE(player_->openedFile(), path(QStringLiteral("c")));
        QCOMPARE(c.state(), kPlaying);
        QCOMPARE(skipped.size(), 1);
        QCOMPARE(skipped.at(0).at(0).value<Song>().FilePath(), path(QStringLiteral("b")));
        const QString why =
            failure == u"open" ? QStringLiteral("cannot open") : QStringLiteral("device lost");
        QCOMPARE(skipped.at(0).at(1).toString(), why);
        QCOMPARE(started.size(), failure == QStringLiteral("open") ? 2 : 3);
        QCOMPARE(list_->unplayable(QStringLiteral("Key_2")), why);
        QCOMPARE(list_->data(list_->index(1, 0), Qt::ToolTipRole).toString(), why);
        QCOMPARE(list_->data(list_->index(1, 3), SongListModel::kUnplayableRole), QVariant(true));
        QCOMPARE(list_->data(list_->index(0, 0), SongListModel::kUnplayableRole), QVariant());
        QCOMPARE(c.unplayableReason(QStringLiteral("2")), why);
        QVERIFY(boxes.boxes().isEmpty());
        QCOMPARE(storedCount(2), 0);
        // Program play passes over the marked song from now on; chosen by
        // its key, it is tried, and marked no more once it plays.
        c.stop();
        lvResetLastKey();
        player_->failing.clear();
        c.toggle();
        player_->finish();
        QCOMPARE(player_->openedFile(), path(QStringLiteral("c")));
        c.playKey(QStringLiteral("Key_2"));
        QCOMPARE(player_->openedFile(), path(QStringLiteral("b")));
        QCOMPARE(list_->unplayable(QStringLiteral("Key_2")), QString());
        QCOMPARE(c.unplayableReason(QStringLiteral("2")), QString());
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
            files.append({QStringLiteral("s%1").arg(i), 10});
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
        QCOMPARE(boxes.boxes().front().text, QStringLiteral("曲の再生に失敗しました\n\n") + last +
                                                 QStringLiteral("\ncannot open"));
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
        QVERIFY(lib_->db().adoSetData(
            Write::RunSql,
            {QStringLiteral("CREATE TRIGGER full BEFORE UPDATE ON TM_曲情報 BEGIN"
                            " SELECT RAISE(ABORT, 'database or disk is full'); END")}));
        PlayerControl& c = scripted({{QStringLiteral("a"), 10}, {QStringLiteral("b"), 10}});
        ScriptedPresenter boxes;
        QSignalSpy stops(&c, &PlayerControl::stopped);
        QStringList underBox;
        boxes.whileShown = [&](const ScriptedPresenter::Box&) {
            if (c.timer().isActive())
                underBox << QStringLiteral("ticking");
            const qsizetype before = player_->log.size();
            player_->finish();
            underBox << player_->log.mid(before);
        };
        c.toggle();
        tick(c, 6);
        QCOMPARE(boxes.boxes().size(), 1);
        QCOMPARE(boxes.boxes().front().title + QStringLiteral(": ") + boxes.boxes().front().text,
                 QStringLiteral("DBError: database or disk is full"));
        QCOMPARE(underBox, QStringList());
        QCOMPARE(player_->log.back(), QStringLiteral("stop"));
        QCOMPARE(c.state(), kStopped);
        QCOMPARE(reason(stops), StopReason::CountNotStored);
        QVERIFY(!c.timer().isActive());
        QCOMPARE(c.position(), 0);
        QCOMPARE(list_->cell(QStringLiteral("Key_1"), 3), QStringLiteral("0"));
        QCOMPARE(storedCount(1), 0);
    }

    // Random play by priority plays no song of priority 0, and the draw
    // leaves out songs found unplayable.
    void priorityPlayLeavesOutPriorityZeroAndMarkedSongs() {
        TempLibrary::Fields none;
        none.priority = 0;
        for (const char* title : {"a", "b", "c"})
            lib_->addSong(QString::fromUtf8(title));
        lib_->addSong(QStringLiteral("zero"), none);
        PlayerControl& c = scripted({}, kPriorityPlay);
        for (const char* title : {"a", "b", "c", "zero"})
            player_->lengths[path(QString::fromUtf8(title))] = 10;
        player_->failing.insert(path(QStringLiteral("b")));
        QStringList played;
        connect(&c, &PlayerControl::songStarted, &c,
                [&](const Song& song) { played << song.Title(); });
        c.toggle();
        for (int i = 0; i < 40; ++i)
            player_->finish();
        QCOMPARE(played.size(), 41);
        // "a" and "c" take turns: two playable songs, one kept back each time.
        for (int i = 1; i < played.size(); ++i)
            QVERIFY2(played[i] != played[i - 1] && played[i] != QStringLiteral("zero"),
                     qPrintable(played.join(u',')));
        QCOMPARE(list_->unplayable(QStringLiteral("Key_2")), QStringLiteral("cannot open"));
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
        QVERIFY(audiofiles::writeWav(music(QStringLiteral("a.wav")), 0.5));
        QVERIFY(audiofiles::writeAiff(music(QStringLiteral("b.aiff")), 0.5));
        QVERIFY(audiofiles::writeMidi(music(QStringLiteral("c.mid")), 1));
        QVERIFY(audiofiles::writeBytes(music(QStringLiteral("empty.mp3")), QByteArray()));
        QVERIFY(audiofiles::writeWav(music(QStringLiteral("whole.wav")), 0.5));
        QFile whole(music(QStringLiteral("whole.wav")));
        QVERIFY(whole.open(QIODevice::ReadOnly));
        QVERIFY(audiofiles::writeBytes(music(QStringLiteral("cut.wav")), whole.read(30)));
        QVERIFY(audiofiles::writeBytes(music(QStringLiteral("text.mp3")), "not a song\n"));
        const QStringList names = {QStringLiteral("a.wav"),   QStringLiteral("missing.wav"),
                                   QStringLiteral("b.aiff"),  QStringLiteral("empty.mp3"),
                                   QStringLiteral("cut.wav"), QStringLiteral("c.mid"),
                                   QStringLiteral("text.mp3")};
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
            QCOMPARE(played, QStringList({QStringLiteral("a.wav"), QStringLiteral("b.aiff"),
                                          QStringLiteral("c.mid")}));
        for (int id = 1; id <= names.size(); ++id) {
            const QString name = names[id - 1];
            QCOMPARE(storedCount(id), int(played.count(name)));
            const bool good = name == QStringLiteral("a.wav") || name == QStringLiteral("b.aiff") ||
                              name == QStringLiteral("c.mid");
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
        const QString wav = lib_->folder() + QStringLiteral("/burst.wav");
        const QString mp3 = music(QStringLiteral("burst.mp3"));
        QVERIFY(audiofiles::writeBurstWav(wav, 3, 27));
        if (!audiofiles::encodeWav(wav, mp3, QStringLiteral("lamemp3enc target=quality quality=2")))
            QFAIL("the MP3 encoder (gstreamer1.0-plugins-good) is not installed");
        QFile file(mp3);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray head = file.read(4096);
        QVERIFY(!head.contains("Xing") && !head.contains("Info") && !head.contains("VBRI"));
        lib_->addSong(QStringLiteral("burst"), {}, mp3);
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
                 qPrintable(shown.join(u',')));
        QCOMPARE(countedAt.first, countedAt.second / 2 + 1);
        QCOMPARE(storedCount(1), 1);
    }

    // The main window forwards its buttons, menu entry and volume to the
    // control, and shows what the control reports: the song in the frame
    // and the status bar, which says which file was passed over and why
    // until the next song starts.
    void theMainWindowShowsWhatTheControlReports() {
        frmMain& w = start(
            {{QStringLiteral("a"), 10}, {QStringLiteral("b"), 10}, {QStringLiteral("c"), 10}}, 1);
        player_->failing.insert(path(QStringLiteral("b")));
        QCOMPARE(w.playerControl().volume(), 4000); // the stored default
        w.sldVolume->setValue(8000);
        QCOMPARE(player_->volume(), -581);
        w.cmdPlay->click();
        QCOMPARE(texts(w), QStringLiteral("a|指定無し|一時停止"));
        QCOMPARE(w.lblStatBarSong->text(), path(QStringLiteral("a")));
        QCOMPARE(w.sldDuration->maximum(), 10);
        w.tmDuration_Timer();
        QCOMPARE(w.sldDuration->value(), 1);
        QStringList status;
        connect(&w.playerControl(), &PlayerControl::songSkipped, this,
                [&] { status << w.lblStatBarSong->text(); });
        player_->finish();
        QCOMPARE(status,
                 QStringList({QStringLiteral("再生できない曲を飛ばしました：") +
                              path(QStringLiteral("b")) + QStringLiteral("（cannot open）")}));
        QCOMPARE(texts(w), QStringLiteral("c|指定無し|一時停止"));
        QCOMPARE(w.lblStatBarSong->text(), path(QStringLiteral("c")));
        QCOMPARE(w.sldDuration->value(), 0);
        // Showing the playing song selects it alone; the list stays multi-select.
        w.lvSongList->selectKey(QStringLiteral("Key_1"));
        w.frmMain_ShowPlaySong();
        QCOMPARE(w.lvSongList->selectedKeys(), QStringList({QStringLiteral("Key_3")}));
        QVERIFY(w.lvSongList->multiSelect());
        w.cmdStop->click();
        QCOMPARE(texts(w), QStringLiteral("||再生"));
        QCOMPARE(w.lblStatBarSong->text(), QString());
        QCOMPARE(w.currentSong()->Title(), QStringLiteral("c")); // the current song stays
        // Chosen by its key the marked song is tried again; failing, it is
        // passed over to the next, which fails too, and program play ends
        // there: the status bar still names the last one.
        player_->failing.insert(path(QStringLiteral("c")));
        w.lvSongList->selectKey(QStringLiteral("Key_2"));
        w.mnuEdit_PlaySelListSong->trigger();
        QCOMPARE(gPlayState, kStopped);
        QCOMPARE(w.lblStatBarSong->text(), QStringLiteral("再生できない曲を飛ばしました：") +
                                               path(QStringLiteral("c")) +
                                               QStringLiteral("（cannot open）"));
        QCOMPARE(texts(w), QStringLiteral("||再生"));
    }

    // The time beside sldDuration follows the tick; a click on the groove
    // or a drag of the handle seeks where it is let go, the tick leaving a
    // held handle alone; a song that refuses snaps the handle back.
    void theSliderSeeksAndShowsTheTime() {
        frmMain& w = start({{QStringLiteral("a"), 200}, {QStringLiteral("b"), 100}}, 1);
        player_->unseekable << path(QStringLiteral("b"));
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
        QCOMPARE(player_->log.filter(QStringLiteral("seek")),
                 QStringList({QStringLiteral("seek %1").arg(clicked)}));
        QCOMPARE(slider.value(), clicked);
        slider.setSliderDown(true);
        slider.setSliderPosition(20);
        w.tmDuration_Timer();
        QCOMPARE(slider.sliderPosition(), 20);
        slider.setSliderDown(false);
        QCOMPARE(player_->log.filter(QStringLiteral("seek")).last(), QStringLiteral("seek 20"));
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
        frmMain& w = start({{QStringLiteral("apple"), 10},
                            {QStringLiteral("banana"), 10},
                            {QStringLiteral("cherry"), 10},
                            {QStringLiteral("grape"), 10}},
                           1);
        show(w);
        QTest::keyClick(&w, Qt::Key_L, Qt::ControlModifier);
        QTRY_VERIFY(w.txtFilter->hasFocus());
        QTest::keyClicks(w.txtFilter, QStringLiteral("AP"));
        QCOMPARE(w.lvSongList->songs().count(), 2);
        QTest::keyClick(w.txtFilter, Qt::Key_Down);
        QTRY_VERIFY(w.lvSongList->hasFocus());
        w.lvSongList->selectAll();
        QCOMPARE(w.lvSongList->selectedKeys(),
                 QStringList({QStringLiteral("Key_1"), QStringLiteral("Key_4")}));
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
        w.lvSongList->selectKey(QStringLiteral("Key_4"));
        QTest::keyClick(w.lvSongList, Qt::Key_Return);
        QCOMPARE(w.currentSong()->Title(), QStringLiteral("grape"));
        QCOMPARE(gPlayState, kPlaying);
        w.lvSongList->selectKey(QStringLiteral("Key_1"));
        QTest::keyClick(w.lvSongList, Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(w.currentSong()->Title(), QStringLiteral("apple"));
        w.cboHowToPlay->setCurrentIndex(0);
        QSet<QString> drawn;
        for (int i = 0; i < 40; ++i) {
            w.frmMain_NextSong();
            drawn << w.currentSong()->Title();
        }
        QVERIFY(drawn.contains(QStringLiteral("banana")) ||
                drawn.contains(QStringLiteral("cherry")));
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
        const int mode = command == QStringLiteral("next") ? 1 : 0;
        frmMain& w = start({{QStringLiteral("a"), 10}, {QStringLiteral("b"), 10}}, mode);
        if (from != kStopped)
            w.frmMain_PlaySong(QString());
        if (from == kPaused)
            w.frmMain_PlaySong(QString());
        QCOMPARE(gPlayState, from);
        w.lvSongList->selectKey(QStringLiteral("Key_2"));
        player_->log.clear();
        if (command == QStringLiteral("next"))
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
        frmMain& w = start(
            {{QStringLiteral("a"), 10}, {QStringLiteral("b"), 10}, {QStringLiteral("c"), 10}}, 1);
        QVERIFY(w.lvSongList->songs().count() == 3);
        w.frmMain_PlaySong(QString());
        player_->finish();
        QCOMPARE(player_->openedFile(), path(QStringLiteral("b")));
        gConnector->adoSetData(Write::AddArtist, {QStringLiteral("Bob")});
        gConnector->adoSetData(Write::UpdateSong,
                               {path(QStringLiteral("b")), QStringLiteral("b2"),
                                QStringLiteral("50"), QStringLiteral("1"), QStringLiteral("1"),
                                QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("No"),
                                QStringLiteral("No"), QStringLiteral("0"), QStringLiteral("2"),
                                QStringLiteral("0")});
        player_->log.clear();
        w.frmMain_RefreshSetList();
        QCOMPARE(gPlayState, kPlaying);
        QVERIFY(!player_->log.contains(QStringLiteral("stop")));
        QCOMPARE(texts(w), QStringLiteral("b2|Bob|一時停止"));
        QCOMPARE(w.currentSong()->Artist(), QStringLiteral("Bob"));
        QCOMPARE(w.lvSongList->songs().cell(QStringLiteral("Key_2"), 0), QStringLiteral("b2"));
        player_->finish();
        QCOMPARE(player_->openedFile(), path(QStringLiteral("c")));
        w.frmMain_ReloadSetList();
        QCOMPARE(gPlayState, kStopped);
        w.frmMain_PlaySong(QString());
        QCOMPARE(player_->openedFile(), path(QStringLiteral("a"))); // from the top
        QVERIFY(gConnector->adoxCreateQuery(QStringLiteral("SELECT * FROM Q_SetList_ALL"),
                                            QStringLiteral("Q_SetList_Other")));
        gConnector->adoSetData(Write::AddSetList, {QStringLiteral("Other")});
        w.frmMain_SetSetListCombo();
        w.cboSetList->setCurrentText(QStringLiteral("Other"));
        QCOMPARE(gPlayState, kStopped);
        QCOMPARE(player_->log.back(), QStringLiteral("stop"));
    }

    // "優先度ﾗﾝﾀﾞﾑ再生" is the third mode; chosen at shutdown it comes back
    // at the next start, also in a library made before it existed.
    void priorityPlayIsStoredLikeTheOtherModes() {
        lib_->db().adoSetData(
            Write::RunSql,
            {QStringLiteral("DELETE FROM TM_再生種別 WHERE 再生種別 = '優先度ﾗﾝﾀﾞﾑ再生'")});
        frmMain& w = start({{QStringLiteral("a"), 10}});
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
        frmMain& w = start({{QStringLiteral("a"), 10}});
        show(w);
        w.frmMain_PlaySong(QString());
        auto* menu = w.findChild<QMenu*>(QStringLiteral("mnuEdit"));
        w.mnuEdit_Album->setStatusTip(QStringLiteral("tip"));
        w.menuBar()->setActiveAction(menu->menuAction());
        QTRY_VERIFY(menu->isVisible());
        menu->setActiveAction(w.mnuEdit_Album);
        QCOMPARE(w.statBar->currentMessage(), QStringLiteral("tip"));
        for (bool open : {true, false}) {
            menu->setVisible(open);
            QCOMPARE(w.lblStatBarSong->text(), path(QStringLiteral("a")));
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
            shape += mask.contains(p) ? u'#' : u'.';
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
        QTest::newRow("first use")
            << QStringList{QStringLiteral("0"), QStringLiteral("0")} << QPoint(210, 342);
        QTest::newRow("both edges")
            << QStringList{QStringLiteral("1500"), QStringLiteral("3000")} << QPoint(100, 200);
        // One edge stored: the other stays at its design place, 0.
        QTest::newRow("left only")
            << QStringList{QStringLiteral("1500"), QStringLiteral("0")} << QPoint(100, 0);
        QTest::newRow("top only") << QStringList{QStringLiteral("0"), QStringLiteral("3000")}
                                  << QPoint(0, 200);
        QTest::newRow("not numbers")
            << QStringList{QStringLiteral("left"), QStringLiteral("")} << QPoint(210, 342);
        QTest::newRow("partly off the screen")
            << QStringList{QStringLiteral("-1500"), QStringLiteral("3000")} << QPoint(-100, 200);
        QTest::newRow("on no screen")
            << QStringList{QStringLiteral("150000"), QStringLiteral("3000")} << QPoint(210, 342);
    }
    void opensWhereStored() {
        QFETCH(QStringList, edges);
        storeCompact(QStringLiteral("Left"), edges[0]);
        storeCompact(QStringLiteral("Top"), edges[1]);
        frmCompact c;
        c.frmCpt_LoadSettings();
        QTEST(c.pos(), "expected");
    }

    // 255 makes the texts and their lines red; a picture is drawn from the
    // top left over the background colour. A missing picture leaves none,
    // and a colour that is not a number changes nothing.
    void appearanceFromTheSettings() {
        const QString picture = lib_->folder() + QStringLiteral("/bg.bmp");
        QImage image(40, 40, QImage::Format_RGB32);
        image.fill(Qt::yellow);
        QVERIFY(image.save(picture));
        frmCompact c;
        const auto load = [&](const QString& path, const QString& text, const QString& back) {
            storeCompact(QStringLiteral("背景画像パス"), path);
            storeCompact(QStringLiteral("フォント色"), text);
            storeCompact(QStringLiteral("背景色"), back);
            c.frmCpt_LoadSettings();
            return c.hasPicture();
        };
        const auto colors = [&] {
            QStringList out;
            for (const QLabel* label : {c.lblSongDisp1, c.lblSongDisp2})
                out << label->palette().color(QPalette::WindowText).name();
            for (const QWidget* w : QList<const QWidget*>{c.linSongName, c.linArtist, &c})
                out << w->palette().color(QPalette::Window).name();
            return out.join(u' ');
        };
        QVERIFY(load(picture, QStringLiteral("255"), QStringLiteral("65280")));
        QCOMPARE(colors(), QStringLiteral("#ff0000 #ff0000 #ff0000 #ff0000 #00ff00"));
        const QImage shown = c.grab().toImage();
        QCOMPARE(shown.pixelColor(10, 25), QColor(Qt::yellow));
        QCOMPARE(shown.pixelColor(200, 90), QColor(0, 255, 0));
        QVERIFY(!load(lib_->folder() + QStringLiteral("/missing.bmp"), QStringLiteral("blue"),
                      QStringLiteral("16711680")));
        QCOMPARE(colors(), QStringLiteral("#ff0000 #ff0000 #ff0000 #ff0000 #0000ff"));
        QVERIFY(load(picture, QStringLiteral("blue"), QStringLiteral("16711680")));
        QVERIFY(
            !load(QStringLiteral("未指定"), QStringLiteral("blue"), QStringLiteral("16711680")));
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
        frmMain& w = start({{QStringLiteral("a"), 200}});
        w.frmMain_PlaySong(QString());
        setModalHandler([&](QDialog& dialog) {
            auto& c = dynamic_cast<frmCompact&>(dialog);
            show(c);
            [&] {
                QVERIFY(w.windowState() & Qt::WindowMinimized);
                QCOMPARE(texts(c), QStringLiteral("a|指定無し|一時停止"));
                c.cmdStop->click();
                QCOMPARE(gPlayState, kStopped);
                QCOMPARE(texts(c), QStringLiteral("||再生"));
                QCOMPARE(texts(w), QStringLiteral("||再生"));
                c.cmdNext->click();
                QCOMPARE(gPlayState, kPlaying);
                QCOMPARE(texts(c), QStringLiteral("a|指定無し|一時停止"));
                c.cmdPlay->click();
                QCOMPARE(gPlayState, kPaused);
                QCOMPARE(texts(c), QStringLiteral("a|指定無し|再生"));
                c.cmdStop->click();
                c.move(120, 45);
                if (end == QStringLiteral("return"))
                    c.cmdReturn->click();
                else if (end == QStringLiteral("close"))
                    c.close();
                else if (end == QStringLiteral("escape"))
                    QTest::keyClick(&c, Qt::Key_Escape);
            }();
            return c.result();
        });
        w.mnuDisp_Compact->trigger();
        QVERIFY(!w.compact() && !w.compactWindow());
        QVERIFY(!(w.windowState() & Qt::WindowMinimized));
        QCOMPARE(texts(w), QStringLiteral("||再生"));
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
