// Choosing the song to play and what the now-playing display shows of it.

#include "base/random.h"
#include "data/song.h"
#include "playback/nowplaying.h"
#include "playback/selectsong.h"
#include "templibrary.h"

#include <QTest>

class TestSelectSong : public QObject {
    Q_OBJECT

    // How often each row of `rows` songs is drawn in `draws` random picks.
    static QList<double> shares(int rows, int draws) {
        TempLibrary lib;
        for (int i = 0; i < rows; ++i)
            lib.addSong(QString("s%1").arg(i));
        seedSongRandom(12345);
        QList<int> counts(rows, 0);
        for (int i = 0; i < draws; ++i) {
            QString mode = kRandomPlay;
            QString key;
            Song song;
            if (SelectSong("ALL", mode, song, key))
                ++counts[song.KeyString().toInt() - 1];
        }
        QList<double> out;
        for (int c : counts)
            out << double(c) / draws;
        return out;
    }

private slots:
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
        QFETCH(int, row);
        QCOMPARE(drawnRow(r, rows), row);
    }

    void randomDrawFavoursTheMiddle() {
        // A fixed seed: the figures are the same every run.
        const QList<double> two = shares(2, 6000);
        QVERIFY2(qAbs(two[0] - 0.5) < 0.03, qPrintable(QString::number(two[0])));
        const QList<double> three = shares(3, 6000);
        QVERIFY2(qAbs(three[0] - 0.25) < 0.03, qPrintable(QString::number(three[0])));
        QVERIFY2(qAbs(three[1] - 0.5) < 0.03, qPrintable(QString::number(three[1])));
        QVERIFY2(qAbs(three[2] - 0.25) < 0.03, qPrintable(QString::number(three[2])));
        QCOMPARE(shares(1, 50), QList<double>({1.0}));
    }

    // The draw reads one row of the set list's own query: the count is the
    // set list's, not the library's, and the offset lands on its rows.
    void randomPlayDrawsOnlyFromTheSetList() {
        TempLibrary lib;
        TempLibrary::Fields high;
        high.priority = 90;
        for (int i = 1; i <= 6; ++i)
            lib.addSong(QString("s%1").arg(i), i % 2 == 0 ? high : TempLibrary::Fields());
        QVERIFY(lib.db().adoxCreateQuery("SELECT * FROM Q_SetList_ALL WHERE 優先度 = 90",
                                         QString::fromUtf16(u"Q_SetList_高い")));
        seedSongRandom(777);
        QHash<QString, int> drawn;
        for (int i = 0; i < 3000; ++i) {
            QString mode = kRandomPlay;
            QString key;
            Song song;
            QVERIFY(SelectSong(QString::fromUtf16(u"高い"), mode, song, key));
            QCOMPARE(mode, kRandomPlay);
            ++drawn[song.Title()];
        }
        // Songs 2, 4 and 6 in that order: the middle one half the time.
        QCOMPARE(drawn.keys().size(), 3);
        QVERIFY2(qAbs(drawn.value("s2") / 3000.0 - 0.25) < 0.03,
                 qPrintable(QString::number(drawn.value("s2"))));
        QVERIFY2(qAbs(drawn.value("s4") / 3000.0 - 0.5) < 0.03,
                 qPrintable(QString::number(drawn.value("s4"))));
        QVERIFY2(qAbs(drawn.value("s6") / 3000.0 - 0.25) < 0.03,
                 qPrintable(QString::number(drawn.value("s6"))));
    }

    void keyPlaysThatSongInProgramMode() {
        TempLibrary lib;
        const int a = lib.addGenre("A");
        const int b = lib.addGenre("B");
        const int ann = lib.addArtist("Ann");
        lib.addSong("first");
        TempLibrary::Fields f;
        f.genres[0] = a;
        f.genres[2] = b; // A, 指定無し, B
        f.artist = ann;
        f.count = 4;
        f.priority = 70;
        f.trend = true;
        f.volume = -200;
        lib.addSong("second", f);
        QString mode = kRandomPlay;
        QString key = "Key_2";
        Song song;
        QVERIFY(SelectSong("ALL", mode, song, key));
        QCOMPARE(mode, kProgramPlay);
        QCOMPARE(key, QStringLiteral("2"));
        QCOMPARE(song.KeyString(), QStringLiteral("Key_2"));
        QCOMPARE(song.Title(), QStringLiteral("second"));
        QCOMPARE(song.Janl(), QStringLiteral("A"));
        QCOMPARE(song.Artist(), QStringLiteral("Ann"));
        QCOMPARE(song.Count(), 4);
        QCOMPARE(song.Priority(), qint16(70));
        QCOMPARE(song.Trend(), QStringLiteral("True"));
        QCOMPARE(song.BreakOut(), QStringLiteral("False"));
        QCOMPARE(song.Volume(), -200);
        // The IDs come along, so writing the song back keeps them.
        QCOMPARE(song.ArtistID(), QString::number(ann));
        QCOMPARE(song.JanlID_1(), QString::number(a));
        QCOMPARE(song.JanlID_2(), QStringLiteral("1"));
        QCOMPARE(song.JanlID_3(), QString::number(b));
        const QStringList params = nowplaying::songParams(song);
        QCOMPARE(params.mid(2), QStringList({"70", QString::number(a), "1", QString::number(b),
                                             QString::number(ann), "No", "Yes", "-200", "2", "4"}));
    }

    void failedAndEmptyReads() {
        TempLibrary lib;
        QString mode = kRandomPlay;
        QString key;
        Song song;
        // No rows to draw from: nothing is chosen.
        QVERIFY(!SelectSong("ALL", mode, song, key));
        // A set list without its query, and a song that is gone: an empty song.
        QVERIFY(SelectSong("missing", mode, song, key));
        QVERIFY(song.FilePath().isEmpty());
        key = "Key_99";
        QVERIFY(SelectSong("ALL", mode, song, key));
        QVERIFY(song.FilePath().isEmpty());
    }

    void fieldTextsByDisplayName_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        QTest::newRow("title") << "曲名"
                               << "t";
        QTest::newRow("count") << "ｶｳﾝﾄ"
                               << "12";
        QTest::newRow("volume") << "ﾎﾞﾘｭｰﾑ補正"
                                << "-5";
        QTest::newRow("flag") << "ﾄﾚﾝﾄﾞ"
                              << "True";
        QTest::newRow("unknown") << "作曲者"
                                 << "<none>";
    }
    void fieldTextsByDisplayName() {
        QFETCH(QString, name);
        QFETCH(QString, text);
        Song song;
        song.setTitle("t");
        song.setCount(12);
        song.setVolume(-5);
        song.setTrend("True");
        QCOMPARE(nowplaying::fieldText(song, name).value_or("<none>"), text);
    }

    void frameAndStatusFollowTheDisplayItems() {
        TempLibrary lib;
        Song song;
        song.setTitle("Title");
        song.setArtist("Artist");
        song.setCount(3);
        song.setFilePath("/a.mp3");
        // The stored defaults: frame 曲名, ｱｰﾃｨｽﾄ名; status ﾌｧｲﾙﾊﾟｽ.
        QCOMPARE(nowplaying::frameTexts(song), std::make_pair(QString("Title"), QString("Artist")));
        QCOMPARE(nowplaying::statusText(song), std::optional<QString>("/a.mp3"));

        lib.db().adoSetData(32, {});
        lib.db().adoSetData(34, {"1", "ｶｳﾝﾄ"});
        lib.db().adoSetData(35, {"1", "曲名"});
        lib.db().adoSetData(35, {"2", "ｶｳﾝﾄ"});
        QCOMPARE(nowplaying::frameTexts(song), std::make_pair(QString("3"), QString()));
        QCOMPARE(nowplaying::statusText(song), std::optional<QString>("3"));
        lib.db().adoSetData(32, {});
        QCOMPARE(nowplaying::statusText(song), std::nullopt);
    }
};

QTEST_GUILESS_MAIN(TestSelectSong)
#include "tst_selectsong.moc"
