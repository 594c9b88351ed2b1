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
        if (!gConnector->adoGetColumn(Read::StoredQuery, QStringLiteral("ID"), out,
                                      queryName(setList)))
            return QStringLiteral("<failed>");
        out.sort();
        return out.join(u',');
    }

    // The pieces of set list `name` there are: "listed" in the list, its
    // conditions "row" (once for each) and its "query".
    static QStringList pieces(const QString& name) {
        QStringList out;
        Recordset rs;
        for (gConnector->adoGetData(Read::SetLists, rs); !rs.Eof(); rs.MoveNext()) {
            if (rs.text(QStringLiteral("セットリスト名")) == name)
                out << QStringLiteral("listed");
        }
        for (gConnector->adoGetData(Read::SetListConditions, rs, name); !rs.Eof(); rs.MoveNext())
            out << QStringLiteral("row");
        if (gConnector->queryExists(queryName(name)))
            out << QStringLiteral("query");
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
        const int rock = lib.addGenre(QStringLiteral("Rock 'n' Roll")),
                  jazz = lib.addGenre(QStringLiteral("ジャズ"));
        const int oneil = lib.addArtist(QStringLiteral("O\"Neil"));
        lib.addSong(QStringLiteral("a"),
                    {.priority = 90, .genres = {rock, 1, 1}, .trend = true, .count = 3});
        lib.addSong(QStringLiteral("b"),
                    {.priority = 50, .genres = {jazz, 1, 1}, .artist = oneil, .count = 10});
        lib.addSong(QStringLiteral("c"),
                    {.priority = 80, .genres = {rock, 1, 1}, .breakOut = true, .count = 20});
        lib.addSong(QStringLiteral("d"), {.priority = 10, .genres = {1, jazz, 1}});
        gConnector->adoSetData(Write::AddAlbumSong, {QStringLiteral("彼の \"ベスト\" it's"),
                                                     QStringLiteral("3"), QStringLiteral("1")});
        gConnector->adoSetData(Write::AddAlbumSong, {QStringLiteral("彼の \"ベスト\" it's"),
                                                     QStringLiteral("2"), QStringLiteral("2")});
        boxes_.emplace();
    }

    // The row as stored: the first values given, the rest of the nineteen empty.
    void storedValues_data() {
        QTest::addColumn<Conditions>("rows");
        QTest::addColumn<QStringList>("stored");
        QTest::newRow("count or genre")
            << Conditions{{{PlayCount, kAtLeast, QStringLiteral("10"), QStringLiteral("or")},
                           {Genre, kAtLeast, QStringLiteral("G")}}}
            << QStringList{QStringLiteral("再生カウントが..."),
                           QStringLiteral("以上"),
                           QStringLiteral("10"),
                           QStringLiteral(" or"),
                           QStringLiteral("ジャンルが..."),
                           QStringLiteral("="),
                           QStringLiteral("G")};
        QTest::newRow("count and trend") << Conditions{{{PlayCount, kAtMost, QStringLiteral("3")},
                                                        {Trend, kAtLeast, kUnchecked}}}
                                         << QStringList{QStringLiteral("再生カウントが..."),
                                                        QStringLiteral("以下"),
                                                        QStringLiteral("3"),
                                                        QStringLiteral("and"),
                                                        QStringLiteral("トレンドが..."),
                                                        QStringLiteral("="),
                                                        QStringLiteral("チェック無し")};
        QTest::newRow("album stands alone")
            << Conditions{{{Album, kAtLeast, QStringLiteral("A'1")},
                           {PlayCount, kAtLeast, QStringLiteral("1")}}}
            << QStringList{QStringLiteral("アルバムが..."), QStringLiteral("="),
                           QStringLiteral("A'1")};
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
        QTest::newRow("count 以上 10")
            << "2,3" << Conditions{{{PlayCount, kAtLeast, QStringLiteral("10")}}};
        QTest::newRow("count 以下 10")
            << "1,2,4" << Conditions{{{PlayCount, kAtMost, QStringLiteral("10")}}};
        QTest::newRow("priority 以上 80 and trend")
            << "1"
            << Conditions{
                   {{Priority, kAtLeast, QStringLiteral("80")}, {Trend, kAtLeast, kChecked}}};
        QTest::newRow("priority 以上 80 or trend")
            << "1,3"
            << Conditions{{{Priority, kAtLeast, QStringLiteral("80"), QStringLiteral("or")},
                           {Trend, kAtLeast, kChecked}}};
        // Genre and artist names ignore case.
        QTest::newRow("genre, quoted")
            << "1,3" << Conditions{{{Genre, kAtLeast, QStringLiteral("rock 'n' roll")}}};
        QTest::newRow("genre, first slot only")
            << "2" << Conditions{{{Genre, kAtLeast, QStringLiteral("ジャズ")}}};
        QTest::newRow("artist, quoted")
            << "2" << Conditions{{{Artist, kAtLeast, QStringLiteral("o\"NEIL")}}};
        QTest::newRow("break-out unchecked")
            << "1,2,4" << Conditions{{{BreakOut, kAtLeast, kUnchecked}}};
        // An album stands alone.
        QTest::newRow("album, quoted")
            << "2,3"
            << Conditions{{{Album, kAtLeast, QStringLiteral("彼の \"ベスト\" it's")},
                           {PlayCount, kAtLeast, QStringLiteral("20")}}};
        // (priority <= 10 and count <= 0) or trend
        QTest::newRow("a and b or c")
            << "1,4"
            << Conditions{{{Priority, kAtMost, QStringLiteral("10")},
                           {PlayCount, kAtMost, QStringLiteral("0"), QStringLiteral("or")},
                           {Trend, kAtLeast, kChecked}}};
    }
    void queriesSelectTheRightSongs() {
        QFETCH(QString, expected);
        QFETCH(Conditions, rows);
        const QString name =
            QStringLiteral("セット '%1' \"x\"").arg(QString::fromUtf8(QTest::currentDataTag()));
        QString error;
        QVERIFY2(saveSetList(name, rows, error), qPrintable(error));
        QCOMPARE(ids(name), expected);
    }

    void failedSaveLeavesNothingSaved() {
        // A query of that name already exists, so the new one cannot be made.
        QVERIFY(gConnector->adoxCreateQuery(QStringLiteral("SELECT 1 AS ID"),
                                            queryName(QStringLiteral("taken"))));
        QString error;
        QVERIFY(!saveSetList(QStringLiteral("taken"),
                             Conditions{{{PlayCount, kAtLeast, QStringLiteral("1")}}}, error));
        QVERIFY(!error.isEmpty());
        QCOMPARE(pieces(QStringLiteral("taken")), QStringList({QStringLiteral("query")}));
    }

    // Set list "old" (count 以上 10: songs 2 and 3) becomes "new" (count 以上 20).
    void updateReplacesAllOrNothing_data() {
        QTest::addColumn<QString>("obstacle"); // run before the update
        QTest::addColumn<QString>("kept");     // the set list there is after it
        QTest::addColumn<QString>("ids");
        QTest::addColumn<QStringList>("strays"); // what is left of the other
        QTest::newRow("old query lost") << "DROP VIEW Q_SetList_old" << QStringLiteral("new")
                                        << QStringLiteral("3") << QStringList();
        QTest::newRow("new query's name taken")
            << "CREATE VIEW Q_SetList_new AS SELECT 1 AS ID" << QStringLiteral("old")
            << QStringLiteral("2,3") << QStringList{QStringLiteral("query")};
        QTest::newRow("new conditions row refused")
            << "CREATE TRIGGER refuse BEFORE INSERT ON TM_セットリスト条件"
               " WHEN NEW.セットリスト名 = 'new' BEGIN SELECT RAISE(ABORT, 'refused'); END"
            << QStringLiteral("old") << QStringLiteral("2,3") << QStringList();
    }
    void updateReplacesAllOrNothing() {
        QFETCH(QString, obstacle);
        QFETCH(QString, kept);
        QFETCH(QString, ids);
        QFETCH(QStringList, strays);
        QString error;
        QVERIFY(saveSetList(QStringLiteral("old"),
                            Conditions{{{PlayCount, kAtLeast, QStringLiteral("10")}}}, error));
        QVERIFY(gConnector->adoSetData(Write::RunSql, {obstacle}));
        QCOMPARE(updateSetList(QStringLiteral("old"), QStringLiteral("new"),
                               Conditions{{{PlayCount, kAtLeast, QStringLiteral("20")}}}, error),
                 kept == QStringLiteral("new"));
        QCOMPARE(pieces(kept), QStringList({QStringLiteral("listed"), QStringLiteral("row"),
                                            QStringLiteral("query")}));
        QCOMPARE(pieces(kept == u"new" ? QStringLiteral("old") : QStringLiteral("new")), strays);
        QCOMPARE(this->ids(kept), ids);
        Recordset rs;
        QVERIFY(gConnector->adoGetData(Read::SetListConditions, rs, kept));
        QCOMPARE(rs.text(QStringLiteral("Val_1")),
                 kept == u"new" ? QStringLiteral("20") : QStringLiteral("10"));
        QVERIFY(kept == QStringLiteral("old") || boxes_->boxes().isEmpty());
    }

    void deleteRemovesAllThreePieces() {
        const QString name = QStringLiteral("it's \"gone\"");
        QString error;
        for (const QString& setList : {name, QStringLiteral("lost")})
            QVERIFY(saveSetList(setList, Conditions{{{PlayCount, kAtLeast, QStringLiteral("10")}}},
                                error));
        QCOMPARE(pieces(name), QStringList({QStringLiteral("listed"), QStringLiteral("row"),
                                            QStringLiteral("query")}));
        // When its query is lost already, the other two pieces still go.
        QVERIFY(gConnector->adoSetData(Write::DropQuery, {queryName(QStringLiteral("lost"))}));
        deleteSetList(name);
        deleteSetList(QStringLiteral("lost"));
        QCOMPARE(pieces(name) + pieces(QStringLiteral("lost")), QStringList());
        QCOMPARE(boxes_->boxes().size(), 1); // dropping the lost query
    }
};

QTEST_GUILESS_MAIN(TestConditions)
#include "tst_conditions.moc"
