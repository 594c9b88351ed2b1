#include "data/song.h"
#include "data/sqlquote.h"

#include <QTest>

class TestSong : public QObject {
    Q_OBJECT

private slots:
    void newSongPointsToTheNoneRows() {
        const Song song;
        QCOMPARE(song.ArtistID(), QStringLiteral("1"));
        QCOMPARE(song.JanlID_1(), QStringLiteral("1"));
        QCOMPARE(song.JanlID_2(), QStringLiteral("1"));
        QCOMPARE(song.JanlID_3(), QStringLiteral("1"));
    }

    void priorityOutsideRangeKeepsPreviousValue() {
        Song song;
        song.setPriority(100);
        QCOMPARE(song.Priority(), qint16(100));
        song.setPriority(101);
        QCOMPARE(song.Priority(), qint16(100));
        song.setPriority(-1);
        QCOMPARE(song.Priority(), qint16(100));
        song.setPriority(0);
        QCOMPARE(song.Priority(), qint16(0));
    }

    void quotingDoublesTheQuote_data() {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("name");
        QTest::newRow("plain") << "ALL"
                               << "'ALL'"
                               << "\"ALL\"";
        QTest::newRow("quotes") << "it's \"x\""
                                << "'it''s \"x\"'"
                                << "\"it's \"\"x\"\"\"";
        QTest::newRow("empty") << ""
                               << "''"
                               << "\"\"";
        QTest::newRow("japanese") << QString::fromUtf16(u"ベスト")
                                  << QString::fromUtf16(u"'ベスト'")
                                  << QString::fromUtf16(u"\"ベスト\"");
    }
    void quotingDoublesTheQuote() {
        QFETCH(QString, value);
        QFETCH(QString, text);
        QFETCH(QString, name);
        QCOMPARE(sql::quoteText(value), text);
        QCOMPARE(sql::quoteName(value), name);
    }
};

QTEST_GUILESS_MAIN(TestSong)
#include "tst_song.moc"
