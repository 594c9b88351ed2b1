// Set-list conditions: the stored row, the generated query run on a real
// database, and saving, replacing and deleting set lists.

#include "scriptedpresenter.h"
#include "setlists/conditions.h"
#include "setlists/setlistsave.h"
#include "templibrary.h"

#include <QTest>

using namespace setlists;

class TestConditions : public QObject {
    Q_OBJECT

    static Condition number(Kind kind, const QString& comparison, int n,
                            const QString& join = "and") {
        return {kind, comparison, QString::number(n), join};
    }
    static Condition choice(Kind kind, const QString& value, const QString& join = "and") {
        return {kind, kAtLeast, value, join};
    }
    static QStringList ids(TempLibrary& lib, const QString& setList) {
        Recordset rs;
        if (!lib.db().adoGetData(3, rs, queryName(setList)))
            return {"<failed>"};
        QStringList out;
        for (; !rs.Eof(); rs.MoveNext())
            out << rs.text("ID");
        std::sort(out.begin(), out.end());
        return out;
    }

    // Songs chosen to tell "and" from "or" and "以上" from "以下":
    //   1: count 3,  priority 90, genre "Rock 'n' Roll", trend
    //   2: count 10, priority 50, genre "ジャズ",        artist "O\"Neil"
    //   3: count 20, priority 80, genre "Rock 'n' Roll", break-out
    //   4: count 0,  priority 10, genre "ジャズ" in the second slot only
    struct Library {
        TempLibrary lib;
        int rock, jazz, oneil;
        Library() {
            rock = lib.addGenre("Rock 'n' Roll");
            jazz = lib.addGenre("ジャズ");
            oneil = lib.addArtist("O\"Neil");
            TempLibrary::Fields f;
            f.count = 3, f.priority = 90, f.genres[0] = rock, f.trend = true;
            lib.addSong("one", f);
            f = {};
            f.count = 10, f.priority = 50, f.genres[0] = jazz, f.artist = oneil;
            lib.addSong("two", f);
            f = {};
            f.count = 20, f.priority = 80, f.genres[0] = rock, f.breakOut = true;
            lib.addSong("three", f);
            f = {};
            f.count = 0, f.priority = 10, f.genres[1] = jazz;
            lib.addSong("four", f);
            lib.db().adoSetData(22, {"彼の \"ベスト\" it's", "3", "1"});
            lib.db().adoSetData(22, {"彼の \"ベスト\" it's", "2", "2"});
        }
    };

private slots:
    void storedRowOfTheExample() {
        Conditions rows;
        rows[0] = number(Kind::PlayCount, kAtLeast, 10, "or");
        rows[1] = choice(Kind::Genre, "G");
        QStringList expected = {"再生カウントが...", "以上", "10", " or",
                                "ジャンルが...",     "=",    "G"};
        while (expected.size() < 19)
            expected << QString();
        QCOMPARE(storedValues(rows), expected);
        QVERIFY(songQuery(rows).endsWith(" WHERE  song.カウント >=10 or   janl1.ジャンル名 = 'G'"));
    }

    void queryOfTheSecondExample() {
        Conditions rows;
        rows[0] = number(Kind::PlayCount, kAtMost, 3);
        rows[1] = choice(Kind::Trend, kUnchecked);
        QVERIFY(songQuery(rows).endsWith(" WHERE  song.カウント <=3 and  song.トレンド <>TRUE"));
        const QStringList stored = storedValues(rows);
        QCOMPARE(stored.mid(0, 7), QStringList({"再生カウントが...", "以下", "3", "and",
                                                "トレンドが...", "=", "チェック無し"}));
    }

    void albumConditionStandsAlone() {
        Conditions rows;
        rows[0] = choice(Kind::Album, "A'1");
        QStringList expected = {"アルバムが...", "=", "A'1"};
        while (expected.size() < 19)
            expected << QString();
        QCOMPARE(storedValues(rows), expected);
        QVERIFY(songQuery(rows).endsWith(" INNER JOIN TM_アルバム AS Album ON song.ID = Album.曲ID "
                                         "WHERE Album.アルバム名 = 'A''1'"));
    }

    void queriesSelectTheRightSongs_data() {
        QTest::addColumn<int>("first"); // which case: filled in the test
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("count 以上 10") << 0 << QStringList({"2", "3"});
        QTest::newRow("count 以下 10") << 1 << QStringList({"1", "2", "4"});
        QTest::newRow("priority 以上 80 and trend") << 2 << QStringList({"1"});
        QTest::newRow("priority 以上 80 or trend") << 3 << QStringList({"1", "3"});
        QTest::newRow("genre with a quote") << 4 << QStringList({"1", "3"});
        QTest::newRow("genre in the first slot only") << 5 << QStringList({"2"});
        QTest::newRow("artist with a double quote") << 6 << QStringList({"2"});
        QTest::newRow("break-out unchecked") << 7 << QStringList({"1", "2", "4"});
        QTest::newRow("album with quotes") << 8 << QStringList({"2", "3"});
        QTest::newRow("a and b or c") << 9 << QStringList({"1", "4"});
    }
    void queriesSelectTheRightSongs() {
        QFETCH(int, first);
        QFETCH(QStringList, expected);
        Library l;
        Conditions rows;
        switch (first) {
        case 0:
            rows[0] = number(Kind::PlayCount, kAtLeast, 10);
            break;
        case 1:
            rows[0] = number(Kind::PlayCount, kAtMost, 10);
            break;
        case 2:
            rows[0] = number(Kind::Priority, kAtLeast, 80, "and");
            rows[1] = choice(Kind::Trend, kChecked);
            break;
        case 3:
            rows[0] = number(Kind::Priority, kAtLeast, 80, "or");
            rows[1] = choice(Kind::Trend, kChecked);
            break;
        case 4:
            rows[0] = choice(Kind::Genre, "rock 'n' roll"); // names ignore case
            break;
        case 5:
            rows[0] = choice(Kind::Genre, "ジャズ");
            break;
        case 6:
            rows[0] = choice(Kind::Artist, "O\"Neil");
            break;
        case 7:
            rows[0] = choice(Kind::BreakOut, kUnchecked);
            break;
        case 8:
            rows[0] = choice(Kind::Album, "彼の \"ベスト\" it's");
            break;
        case 9: // (priority <= 10 and count <= 0) or trend
            rows[0] = number(Kind::Priority, kAtMost, 10, "and");
            rows[1] = number(Kind::PlayCount, kAtMost, 0, "or");
            rows[2] = choice(Kind::Trend, kChecked);
            break;
        }
        QString error;
        const QString name = QString("セット '%1' \"x\"").arg(first);
        QVERIFY2(saveSetList(name, rows, error), qPrintable(error));
        QCOMPARE(ids(l.lib, name), expected);
    }

    void storedRowReadsBackAsWritten() {
        Library l;
        Conditions rows;
        rows[0] = number(Kind::PlayCount, kAtMost, 7, "or");
        rows[1] = choice(Kind::Artist, "O\"Neil", "and");
        rows[2] = choice(Kind::BreakOut, kChecked);
        QString error;
        QVERIFY(saveSetList("mine", rows, error));
        Recordset rs;
        QVERIFY(l.lib.db().adoGetData(17, rs, "mine"));
        const Conditions back = fromStoredRow(rs);
        QCOMPARE(back[0].kind, Kind::PlayCount);
        QCOMPARE(back[0].comparison, kAtMost);
        QCOMPARE(back[0].value, QStringLiteral("7"));
        QCOMPARE(back[0].join, QStringLiteral("or")); // stored " or", trimmed
        QCOMPARE(back[1].value, QStringLiteral("O\"Neil"));
        QCOMPARE(back[2].kind, Kind::BreakOut);
        QCOMPARE(back[3].kind, Kind::Unset);
        QCOMPARE(rs.text("Oper_1"), QStringLiteral(" or"));
        QCOMPARE(rs.text("Oper_3"), QString());
        QVERIFY(!rs.isNull("Oper_5"));
    }

    void storedValuesReadBackAsStored() {
        // An album, genre or artist name may end (or begin) with a blank.
        Library l;
        Conditions rows;
        rows[0] = choice(Kind::Album, "Best ");
        QString error;
        QVERIFY(saveSetList("album", rows, error));
        rows[0] = choice(Kind::Artist, " Ann", "or");
        rows[1] = number(Kind::Priority, kAtLeast, 5);
        QVERIFY(saveSetList("artist", rows, error));
        Recordset rs;
        QVERIFY(l.lib.db().adoGetData(17, rs, "album"));
        QCOMPARE(fromStoredRow(rs)[0].value, QStringLiteral("Best "));
        QVERIFY(l.lib.db().adoGetData(17, rs, "artist"));
        const Conditions back = fromStoredRow(rs);
        QCOMPARE(back[0].value, QStringLiteral(" Ann"));
        QCOMPARE(back[0].join, QStringLiteral("or"));
        QCOMPARE(back[1].value, QStringLiteral("5"));
    }

    void numbersMustBeWholeAndInRange_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::newRow("zero") << int(Kind::Priority) << "0" << true;
        QTest::newRow("hundred") << int(Kind::Priority) << "100" << true;
        QTest::newRow("priority too big") << int(Kind::Priority) << "101" << false;
        QTest::newRow("big count") << int(Kind::PlayCount) << "999999" << true;
        QTest::newRow("count too big") << int(Kind::PlayCount) << "1000000" << false;
        QTest::newRow("zero count") << int(Kind::PlayCount) << "0" << true;
        QTest::newRow("negative") << int(Kind::PlayCount) << "-1" << false;
        QTest::newRow("plus sign") << int(Kind::PlayCount) << "+7" << false;
        QTest::newRow("group separator") << int(Kind::PlayCount) << "1,000" << false;
        QTest::newRow("blanks around") << int(Kind::PlayCount) << " 7 " << true;
        QTest::newRow("empty") << int(Kind::PlayCount) << "" << false;
        QTest::newRow("text") << int(Kind::PlayCount) << "1 or 1=1" << false;
        QTest::newRow("decimal") << int(Kind::PlayCount) << "1.5" << false;
    }
    void numbersMustBeWholeAndInRange() {
        QFETCH(int, kind);
        QFETCH(QString, text);
        QFETCH(bool, valid);
        Conditions rows;
        rows[0] = {Kind(kind), kAtLeast, text, "and"};
        QCOMPARE(!invalidRow(rows).has_value(), valid);
        QCOMPARE(numberOf(Kind(kind), text).has_value(), valid);
    }

    void failedQueryLeavesNothingSaved() {
        TempLibrary lib;
        // A query of that name already exists, so the new one cannot be made.
        QVERIFY(lib.db().adoxCreateQuery("SELECT 1 AS ID", queryName("taken")));
        Conditions rows;
        rows[0] = number(Kind::PlayCount, kAtLeast, 1);
        QString error;
        QVERIFY(!saveSetList("taken", rows, error));
        QVERIFY(!error.isEmpty());
        Recordset rs;
        lib.db().adoGetData(2, rs);
        QCOMPARE(rs.RecordCount(), 1); // only "ALL"
        lib.db().adoGetData(17, rs, "taken");
        QCOMPARE(rs.RecordCount(), 0);
    }

    void updateReplacesEvenWithoutTheOldQuery() {
        Library l;
        ScriptedPresenter boxes;
        Conditions rows;
        rows[0] = number(Kind::PlayCount, kAtLeast, 10);
        QString error;
        QVERIFY(saveSetList("old", rows, error));
        QVERIFY(l.lib.db().adoSetData(42, {queryName("old")})); // the query got lost
        rows[0] = number(Kind::PlayCount, kAtLeast, 20);
        QVERIFY(updateSetList("old", "new", rows, error));
        QVERIFY(boxes.boxes().isEmpty());
        QCOMPARE(ids(l.lib, "new"), QStringList({"3"}));
        Recordset rs;
        l.lib.db().adoGetData(17, rs, "old");
        QCOMPARE(rs.RecordCount(), 0);
        l.lib.db().adoGetData(2, rs);
        QCOMPARE(rs.RecordCount(), 2);
    }

    void failedUpdateLeavesTheOldSetListWhole_data() {
        QTest::addColumn<QString>("obstacle");
        // The new query's name is already taken by a stray query.
        QTest::newRow("query") << "CREATE VIEW Q_SetList_new AS SELECT 1 AS ID";
        // The engine refuses the new conditions row.
        QTest::newRow("conditions row")
            << "CREATE TRIGGER refuse BEFORE INSERT ON TM_セットリスト条件"
               " WHEN NEW.セットリスト名 = 'new' BEGIN SELECT RAISE(ABORT, 'refused'); END";
    }
    void failedUpdateLeavesTheOldSetListWhole() {
        QFETCH(QString, obstacle);
        Library l;
        ScriptedPresenter boxes;
        Conditions rows;
        rows[0] = number(Kind::PlayCount, kAtLeast, 10);
        QString error;
        QVERIFY(saveSetList("old", rows, error));
        QVERIFY(l.lib.db().adoSetData(46, {obstacle}));
        rows[0] = number(Kind::PlayCount, kAtLeast, 20);
        QVERIFY(!updateSetList("old", "new", rows, error));
        // "old" is still listed, with its conditions and its query.
        QCOMPARE(ids(l.lib, "old"), QStringList({"2", "3"}));
        Recordset rs;
        QVERIFY(l.lib.db().adoGetData(17, rs, "old"));
        QCOMPARE(rs.RecordCount(), 1);
        QCOMPARE(rs.text("Val_1"), QStringLiteral("10"));
        QVERIFY(l.lib.db().adoGetData(2, rs));
        QStringList names;
        for (; !rs.Eof(); rs.MoveNext())
            names << rs.text("セットリスト名");
        QCOMPARE(names, QStringList({"ALL", "old"}));
        QVERIFY(l.lib.db().adoGetData(17, rs, "new"));
        QCOMPARE(rs.RecordCount(), 0);
    }

    void deleteRemovesAllThreePieces() {
        Library l;
        ScriptedPresenter boxes;
        Conditions rows;
        rows[0] = number(Kind::PlayCount, kAtLeast, 10);
        QString error;
        QVERIFY(saveSetList("gone", rows, error));
        deleteSetList("gone");
        QVERIFY(!l.lib.db().queryExists(queryName("gone")));
        Recordset rs;
        l.lib.db().adoGetData(17, rs, "gone");
        QCOMPARE(rs.RecordCount(), 0);
        l.lib.db().adoGetData(2, rs);
        QCOMPARE(rs.RecordCount(), 1);
        QVERIFY(boxes.boxes().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestConditions)
#include "tst_conditions.moc"
