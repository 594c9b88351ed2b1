// Set-list conditions: the stored row, the generated query run on a real
// database, and saving, replacing and deleting set lists.

#include "scriptedpresenter.h"
#include "setlists/conditions.h"
#include "setlists/setlistsave.h"
#include "templibrary.h"

#include <QTest>

#include <optional>

using namespace setlists;
using enum setlists::Kind;

Q_DECLARE_METATYPE(setlists::Conditions)

class TestConditions : public QObject {
    Q_OBJECT

    // The IDs a set list's query selects, sorted and joined by ",".
    static QString ids(const QString& setList) {
        QStringList out;
        if (!gConnector->adoGetColumn(Read::StoredQuery, "ID", out, queryName(setList)))
            return "<failed>";
        out.sort();
        return out.join(',');
    }

    // The pieces of set list `name` there are: "listed" in the list, its
    // conditions "row" (once for each) and its "query".
    static QStringList pieces(const QString& name) {
        QStringList out;
        Recordset rs;
        for (gConnector->adoGetData(Read::SetLists, rs); !rs.Eof(); rs.MoveNext()) {
            if (rs.text("セットリスト名") == name)
                out << "listed";
        }
        for (gConnector->adoGetData(Read::SetListConditions, rs, name); !rs.Eof(); rs.MoveNext())
            out << "row";
        if (gConnector->queryExists(queryName(name)))
            out << "query";
        return out;
    }

    std::optional<TempLibrary> lib_;
    std::optional<ScriptedPresenter> boxes_;

private slots:
    // Songs chosen to tell "and" from "or" and "以上" from "以下", the
    // fourth with its genre in the second slot only, and an album of 3, 2.
    void init() {
        boxes_.reset();
        TempLibrary& lib = lib_.emplace();
        const int rock = lib.addGenre("Rock 'n' Roll"), jazz = lib.addGenre("ジャズ");
        const int oneil = lib.addArtist("O\"Neil");
        lib.addSong("a", {.priority = 90, .genres = {rock, 1, 1}, .trend = true, .count = 3});
        lib.addSong("b", {.priority = 50, .genres = {jazz, 1, 1}, .artist = oneil, .count = 10});
        lib.addSong("c", {.priority = 80, .genres = {rock, 1, 1}, .breakOut = true, .count = 20});
        lib.addSong("d", {.priority = 10, .genres = {1, jazz, 1}});
        gConnector->adoSetData(Write::AddAlbumSong, {"彼の \"ベスト\" it's", "3", "1"});
        gConnector->adoSetData(Write::AddAlbumSong, {"彼の \"ベスト\" it's", "2", "2"});
        boxes_.emplace();
    }

    // The row as stored: the first values given, the rest of the nineteen empty.
    void storedValues_data() {
        QTest::addColumn<Conditions>("rows");
        QTest::addColumn<QStringList>("stored");
        QTest::newRow("count or genre")
            << Conditions{{{PlayCount, kAtLeast, "10", "or"}, {Genre, kAtLeast, "G"}}}
            << QStringList{"再生カウントが...", "以上", "10", " or", "ジャンルが...", "=", "G"};
        QTest::newRow("count and trend")
            << Conditions{{{PlayCount, kAtMost, "3"}, {Trend, kAtLeast, kUnchecked}}}
            << QStringList{"再生カウントが...", "以下", "3",           "and",
                           "トレンドが...",     "=",    "チェック無し"};
        QTest::newRow("album stands alone")
            << Conditions{{{Album, kAtLeast, "A'1"}, {PlayCount, kAtLeast, "1"}}}
            << QStringList{"アルバムが...", "=", "A'1"};
    }
    void storedValues() {
        QFETCH(Conditions, rows);
        QFETCH(QStringList, stored);
        while (stored.size() < 19)
            stored << QString();
        QCOMPARE(setlists::storedValues(rows), stored);
    }

    void queriesSelectTheRightSongs_data() {
        QTest::addColumn<QString>("expected");
        QTest::addColumn<Conditions>("rows");
        QTest::newRow("count 以上 10") << "2,3" << Conditions{{{PlayCount, kAtLeast, "10"}}};
        QTest::newRow("count 以下 10") << "1,2,4" << Conditions{{{PlayCount, kAtMost, "10"}}};
        QTest::newRow("priority 以上 80 and trend")
            << "1" << Conditions{{{Priority, kAtLeast, "80"}, {Trend, kAtLeast, kChecked}}};
        QTest::newRow("priority 以上 80 or trend")
            << "1,3" << Conditions{{{Priority, kAtLeast, "80", "or"}, {Trend, kAtLeast, kChecked}}};
        // Genre and artist names ignore case.
        QTest::newRow("genre, quoted") << "1,3" << Conditions{{{Genre, kAtLeast, "rock 'n' roll"}}};
        QTest::newRow("genre, first slot only") << "2" << Conditions{{{Genre, kAtLeast, "ジャズ"}}};
        QTest::newRow("artist, quoted") << "2" << Conditions{{{Artist, kAtLeast, "o\"NEIL"}}};
        QTest::newRow("break-out unchecked")
            << "1,2,4" << Conditions{{{BreakOut, kAtLeast, kUnchecked}}};
        // An album stands alone.
        QTest::newRow("album, quoted")
            << "2,3"
            << Conditions{{{Album, kAtLeast, "彼の \"ベスト\" it's"}, {PlayCount, kAtLeast, "20"}}};
        // (priority <= 10 and count <= 0) or trend
        QTest::newRow("a and b or c") << "1,4"
                                      << Conditions{{{Priority, kAtMost, "10"},
                                                     {PlayCount, kAtMost, "0", "or"},
                                                     {Trend, kAtLeast, kChecked}}};
    }
    void queriesSelectTheRightSongs() {
        QFETCH(QString, expected);
        QFETCH(Conditions, rows);
        const QString name = QString("セット '%1' \"x\"").arg(QTest::currentDataTag());
        QString error;
        QVERIFY2(saveSetList(name, rows, error), qPrintable(error));
        QCOMPARE(ids(name), expected);
    }

    void failedSaveLeavesNothingSaved() {
        // A query of that name already exists, so the new one cannot be made.
        QVERIFY(gConnector->adoxCreateQuery("SELECT 1 AS ID", queryName("taken")));
        QString error;
        QVERIFY(!saveSetList("taken", Conditions{{{PlayCount, kAtLeast, "1"}}}, error));
        QVERIFY(!error.isEmpty());
        QCOMPARE(pieces("taken"), QStringList({"query"}));
    }

    // Set list "old" (count 以上 10: songs 2 and 3) becomes "new" (count 以上 20).
    void updateReplacesAllOrNothing_data() {
        QTest::addColumn<QString>("obstacle"); // run before the update
        QTest::addColumn<QString>("kept");     // the set list there is after it
        QTest::addColumn<QString>("ids");
        QTest::addColumn<QStringList>("strays"); // what is left of the other
        QTest::newRow("old query lost")
            << "DROP VIEW Q_SetList_old" << QString("new") << QString("3") << QStringList();
        QTest::newRow("new query's name taken")
            << "CREATE VIEW Q_SetList_new AS SELECT 1 AS ID" << QString("old") << QString("2,3")
            << QStringList{"query"};
        QTest::newRow("new conditions row refused")
            << "CREATE TRIGGER refuse BEFORE INSERT ON TM_セットリスト条件"
               " WHEN NEW.セットリスト名 = 'new' BEGIN SELECT RAISE(ABORT, 'refused'); END"
            << QString("old") << QString("2,3") << QStringList();
    }
    void updateReplacesAllOrNothing() {
        QFETCH(QString, obstacle);
        QFETCH(QString, kept);
        QFETCH(QString, ids);
        QFETCH(QStringList, strays);
        QString error;
        QVERIFY(saveSetList("old", Conditions{{{PlayCount, kAtLeast, "10"}}}, error));
        QVERIFY(gConnector->adoSetData(Write::RunSql, {obstacle}));
        QCOMPARE(updateSetList("old", "new", Conditions{{{PlayCount, kAtLeast, "20"}}}, error),
                 kept == "new");
        QCOMPARE(pieces(kept), QStringList({"listed", "row", "query"}));
        QCOMPARE(pieces(kept == "new" ? "old" : "new"), strays);
        QCOMPARE(this->ids(kept), ids);
        Recordset rs;
        QVERIFY(gConnector->adoGetData(Read::SetListConditions, rs, kept));
        QCOMPARE(rs.text("Val_1"), kept == "new" ? "20" : "10");
        QVERIFY(kept == "old" || boxes_->boxes().isEmpty());
    }

    void deleteRemovesAllThreePieces() {
        const QString name = "it's \"gone\"";
        QString error;
        for (const QString& setList : {name, QString("lost")})
            QVERIFY(saveSetList(setList, Conditions{{{PlayCount, kAtLeast, "10"}}}, error));
        QCOMPARE(pieces(name), QStringList({"listed", "row", "query"}));
        // When its query is lost already, the other two pieces still go.
        QVERIFY(gConnector->adoSetData(Write::DropQuery, {queryName("lost")}));
        deleteSetList(name);
        deleteSetList("lost");
        QCOMPARE(pieces(name) + pieces("lost"), QStringList());
        QCOMPARE(boxes_->boxes().size(), 1); // dropping the lost query
    }
};

QTEST_GUILESS_MAIN(TestConditions)
#include "tst_conditions.moc"
