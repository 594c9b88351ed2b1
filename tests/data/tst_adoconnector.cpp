#include "data/adoconnector.h"
#include "data/sqlite.h"
#include "faultydisk.h"
#include "scriptedpresenter.h"
#include "templibrary.h"

#include <QRegularExpression>
#include <QSemaphore>
#include <QTest>
#include <QThread>

#include <optional>

#include <sqlite3.h>

class TestAdoConnector : public QObject {
    Q_OBJECT

    std::optional<ScriptedPresenter> boxes_;
    std::optional<TempLibrary> lib_;
    ADO_Connector* db_ = nullptr;

    QStringList column(int kind, const QString& name, const QString& param = QString()) {
        QStringList out;
        if (!db_->adoGetColumn(kind, name, out, param))
            return {QStringLiteral("<failed>")};
        return out;
    }

    // The set list names as a second connection reads them from the file.
    QStringList setListsInFile() {
        sqlite::Database other;
        QString error;
        if (!other.open(lib_->path(), false, error))
            return {error};
        sqlite::Statement query(
            other, QStringLiteral("SELECT セットリスト名 FROM TM_セットリスト ORDER BY rowid"));
        QStringList out;
        sqlite::Statement::Step step;
        while ((step = query.step()) == sqlite::Statement::Step::Row)
            out << query.value(0).toString();
        if (step == sqlite::Statement::Step::Error)
            out << query.error();
        return out;
    }

private slots:
    void initTestCase() { faultydisk::install(); }

    // A new library for each test.
    void init() {
        faultydisk::failWrites(0);
        lib_.reset();
        boxes_.emplace();
        db_ = &lib_.emplace().db();
        QVERIFY(db_->isConnected());
    }

    // A new library lists a new song in "ALL", its only set list, selected;
    // quotes and Japanese text are stored as typed.
    void freshDatabaseListsNewSongInAll() {
        const QString title = QStringLiteral("彼女の\"歌\" it's; DROP TABLE TM_曲情報");
        QVERIFY(db_->adoSetData(Write::AddSong,
                                {QStringLiteral("/x/") + title + QStringLiteral(".mp3"), title}));
        Recordset rs;
        QVERIFY(db_->adoGetData(Read::StoredQuery, rs, QStringLiteral("Q_SetList_ALL")));
        QCOMPARE(rs.RecordCount(), 1);
        QCOMPARE(
            QStringList({rs.text(QStringLiteral("ファイルパス")),
                         rs.text(QStringLiteral("タイトル")), rs.text(QStringLiteral("ジャンル1")),
                         rs.text(QStringLiteral("アーティスト名")),
                         rs.text(QStringLiteral("ブレークアウト"))}),
            QStringList({QStringLiteral("/x/") + title + QStringLiteral(".mp3"), title,
                         QStringLiteral("指定無し"), QStringLiteral("指定無し"),
                         QStringLiteral("False")}));
        QCOMPARE(column(2, QStringLiteral("セットリスト名")) + column(2, QStringLiteral("選択")),
                 QStringList({QStringLiteral("ALL"), QStringLiteral("True")}));
        QVERIFY(boxes_->boxes().isEmpty());
    }

    // A value that is not a number fails the write with one box each, and a
    // song's deletion with a bad ID runs neither of its deletes.
    void nonNumericValueFailsWithBox() {
        QVERIFY(db_->adoSetData(Write::AddSong, {QStringLiteral("/a.mp3"), QStringLiteral("a")}));
        QVERIFY(db_->adoSetData(Write::AddAlbumSong, {QStringLiteral("Best"), QStringLiteral("1"),
                                                      QStringLiteral("1")}));
        QVERIFY(
            !db_->adoSetData(Write::ColumnWidth, {QStringLiteral("wide"), QStringLiteral("曲名")}));
        QVERIFY(!db_->adoSetData(Write::DeleteSong, {QStringLiteral("x")}));
        QCOMPARE(boxes_->boxes().size(), 2);
        QCOMPARE(column(11, QStringLiteral("アルバム名")) + column(16, QStringLiteral("ID")),
                 QStringList({QStringLiteral("Best"), QStringLiteral("1")}));
    }

    void failedWriteInsideBulkWriteUndoesOnlyItself() {
        {
            ADO_Connector::BulkWrite bulk(*db_);
            QVERIFY(db_->adoSetData(Write::AddSetList, {QStringLiteral("Fav")}));
            QVERIFY(
                !db_->adoSetData(Write::AddSetList, {QStringLiteral("fav")})); // names ignore case
            QVERIFY(db_->adoSetData(Write::AddSetList, {QStringLiteral("Live")}));
            QVERIFY(bulk.commit());
        }
        QCOMPARE(boxes_->boxes().size(), 1);
        QCOMPARE(
            column(2, QStringLiteral("セットリスト名")),
            QStringList({QStringLiteral("ALL"), QStringLiteral("Fav"), QStringLiteral("Live")}));
        {
            ADO_Connector::BulkWrite bulk(*db_);
            QVERIFY(db_->adoSetData(Write::AddSetList, {QStringLiteral("Dropped")}));
        }
        QCOMPARE(
            column(2, QStringLiteral("セットリスト名")),
            QStringList({QStringLiteral("ALL"), QStringLiteral("Fav"), QStringLiteral("Live")}));
    }

    // The engine itself ends the whole transaction: a trigger's ROLLBACK,
    // or the file reaching its size limit as on a full disk.
    void bulkWriteUndoneByTheEngineCommitsNothing_data() {
        QTest::addColumn<QString>("limit");
        QTest::addColumn<int>("failsAt"); // 0: wherever the file fills up
        QTest::addColumn<QString>("reason");
        QTest::addRow("trigger raises ROLLBACK")
            << "CREATE TRIGGER full BEFORE INSERT ON TM_曲情報 WHEN NEW.タイトル = 'song 70'"
               " BEGIN SELECT RAISE(ROLLBACK, 'disk is full'); END"
            << 70 << "DBError: disk is full";
        // A limit below the file's size is raised to it: no page may be added.
        QTest::addRow("file reaches its size limit")
            << "PRAGMA max_page_count = 1" << 0 << "DBError: database or disk is full";
    }
    void bulkWriteUndoneByTheEngineCommitsNothing() {
        QFETCH(QString, limit);
        QFETCH(int, failsAt);
        QFETCH(QString, reason);
        QVERIFY(db_->adoSetData(Write::RunSql, {limit}));
        QList<bool> written;
        {
            ADO_Connector::BulkWrite bulk(*db_);
            for (int i = 1; i <= 3000; ++i) {
                written << db_->adoSetData(Write::AddSong,
                                           {QStringLiteral("/music/some artist/song %1.mp3").arg(i),
                                            QStringLiteral("song %1").arg(i)});
            }
            QVERIFY(!db_->adoxCreateQuery(QStringLiteral("SELECT 1 AS ID"),
                                          QStringLiteral("Q_SetList_late")));
            QVERIFY(!bulk.commit());
        }
        const qsizetype firstFailure = written.indexOf(false);
        if (failsAt > 0)
            QCOMPARE(firstFailure, failsAt - 1);
        else
            QVERIFY(firstFailure > 0);
        QCOMPARE(written.lastIndexOf(true), firstFailure - 1);
        QCOMPARE(boxes_->boxes().size(), 1);
        QCOMPARE(boxes_->boxes().front().title + QStringLiteral(": ") +
                     boxes_->boxes().front().text,
                 reason);
        QCOMPARE(column(16, QStringLiteral("ID")), QStringList());
        QVERIFY(!db_->queryExists(QStringLiteral("Q_SetList_late")));

        // Once the guard is gone, writes stand on their own again.
        QVERIFY(db_->adoSetData(Write::RunSql, {QStringLiteral("DROP TRIGGER IF EXISTS full")}));
        QVERIFY(db_->adoSetData(Write::AddSong,
                                {QStringLiteral("/music/after.mp3"), QStringLiteral("after")}));
        QCOMPARE(column(16, QStringLiteral("ファイルパス")),
                 QStringList({QStringLiteral("/music/after.mp3")}));
        QCOMPARE(boxes_->boxes().size(), 1);
    }

    // The disk fails as the write is committed: the write reports failure,
    // and a later write either reaches the file, as a second connection
    // sees, or reports failure too; never success without the file. Where
    // the rollback after the failed commit is refused too, the connection
    // is closed and opened again, at the next call when the first try to
    // open it fails (its proof of being writable refused).
    void writeAfterAFailedCommit_data() {
        QTest::addColumn<int>("fault");
        QTest::addColumn<bool>("bulk");
        QTest::addColumn<bool>("healed"); // before the later write
        QTest::addColumn<int>("rollbacksRefused");
        // A busy file keeps the engine's transaction open after the failure.
        const QList<std::tuple<int, const char*, int>> faults = {
            {SQLITE_FULL, "full", 0},
            {SQLITE_IOERR_WRITE, "I/O error", 0},
            {SQLITE_READONLY, "read-only", 0},
            {SQLITE_BUSY, "busy", 0},
            {SQLITE_BUSY, "busy, rollback refused", 1},
            {SQLITE_BUSY, "busy, rollback and reopening refused", 2}};
        for (const auto& [fault, name, refused] : faults) {
            for (const bool bulk : {false, true}) {
                for (const bool healed : {false, true}) {
                    QTest::addRow("%s %s %s", name, bulk ? "bulk" : "single",
                                  healed ? "healed" : "still failing")
                        << fault << bulk << healed << refused;
                }
            }
        }
    }
    void writeAfterAFailedCommit() {
        QFETCH(int, fault);
        QFETCH(bool, bulk);
        QFETCH(bool, healed);
        QFETCH(int, rollbacksRefused);
        // A second connection that has read, as the window's reader may
        // have: closing the connector never ends the file's last one. (A
        // last close would copy the log into the file, and the engine takes
        // a busy write there for a reader in the way, dropping the log.)
        sqlite::Database keeper;
        QString error;
        QVERIFY2(keeper.open(lib_->path(), false, error) &&
                     keeper.exec(QStringLiteral("SELECT count(*) FROM sqlite_master"), error),
                 qPrintable(error));
        faultydisk::failWrites(fault);
        if (rollbacksRefused > 0) {
            faultydisk::refuseRollbacks(rollbacksRefused);
            if (rollbacksRefused > 1)
                QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral(
                                                       "に書き込めません: not authorized$")));
            QTest::ignoreMessage(
                QtWarningMsg,
                "The library connection stayed inside a failed transaction; reopening it.");
        }
        if (bulk) {
            ADO_Connector::BulkWrite group(*db_);
            QVERIFY(db_->adoSetData(Write::AddSetList, {QStringLiteral("Lost 1")}));
            QVERIFY(db_->adoSetData(Write::AddSetList, {QStringLiteral("Lost 2")}));
            QVERIFY(!group.commit());
        } else {
            QVERIFY(!db_->adoSetData(Write::AddSetList, {QStringLiteral("Lost")}));
        }
        if (healed)
            faultydisk::failWrites(0);
        const bool later = db_->adoSetData(Write::AddSetList, {QStringLiteral("Later")});
        faultydisk::failWrites(0);
        QCOMPARE(later, healed);
        QCOMPARE(setListsInFile(),
                 healed ? QStringList({QStringLiteral("ALL"), QStringLiteral("Later")})
                        : QStringList({QStringLiteral("ALL")}));
        QVERIFY(db_->adoSetData(Write::AddSetList, {QStringLiteral("Last")}));
        QCOMPARE(setListsInFile(),
                 healed ? QStringList({QStringLiteral("ALL"), QStringLiteral("Later"),
                                       QStringLiteral("Last")})
                        : QStringList({QStringLiteral("ALL"), QStringLiteral("Last")}));
    }

    // A worker's bulk write keeps the connection to itself: a write from
    // this thread meanwhile neither joins it nor is undone with it; it fails
    // without a box, says it was busy, and succeeds once the worker is done.
    // Reads meanwhile go on.
    void writeFromTheWindowWaitsForAWorkersBulkWrite() {
        QSemaphore opened, finish;
        bool committed = false;
        std::unique_ptr<QThread> worker(QThread::create([&] {
            ADO_Connector::BulkWrite bulk(*db_);
            db_->adoSetData(Write::AddSong, {QStringLiteral("/w.mp3"), QStringLiteral("w")});
            opened.release();
            finish.acquire();
            committed = bulk.commit();
        }));
        worker->start();
        opened.acquire();
        QVERIFY(!db_->adoSetData(Write::AddSong, {QStringLiteral("/u.mp3"), QStringLiteral("u")}));
        QVERIFY(db_->wasBusy());
        // A read sees what is committed, not the worker's rows; a read
        // ahead too, through the same read-only connection.
        QCOMPARE(column(16, QStringLiteral("ファイルパス")), QStringList());
        int rows = 0;
        QVERIFY(db_->adoGetEachRowAhead(Read::StoredQuery, QStringLiteral("Q_SetList_ALL"),
                                        [&](const Recordset&) { ++rows; }));
        QCOMPARE(rows, 0);
        finish.release();
        QVERIFY(worker->wait(10000));
        QVERIFY(committed);
        QVERIFY(db_->adoSetData(Write::AddSong, {QStringLiteral("/u.mp3"), QStringLiteral("u")}));
        QVERIFY(!db_->wasBusy());
        QCOMPARE(column(16, QStringLiteral("ファイルパス")),
                 QStringList({QStringLiteral("/w.mp3"), QStringLiteral("/u.mp3")}));
        QVERIFY(boxes_->boxes().isEmpty());
    }

    void readNestedInARowWalkLeavesTheWalkWhole() {
        for (int i = 1; i <= 4; ++i)
            QVERIFY(db_->adoSetData(Write::AddSong, {QStringLiteral("/m/%1.mp3").arg(i),
                                                     QStringLiteral("s%1").arg(i)}));
        for (const char* row : {"A|1|1", "A|2|2", "A|3|3", "B|4|1", "B|2|2"})
            QVERIFY(db_->adoSetData(Write::AddAlbumSong, QString::fromUtf8(row).split(u'|')));

        QStringList pairs;
        QVERIFY(
            db_->adoGetEachRow(Read::AlbumSongs, QStringLiteral("B"), [&](const Recordset& row) {
                const QString first = row.text(QStringLiteral("ID"));
                if (pairs.size() > 6)
                    return; // a walk that starts over would never end
                QVERIFY(db_->adoGetEachRow(Read::AlbumSongs, QStringLiteral("A"),
                                           [&](const Recordset& next) {
                                               pairs << first + next.text(QStringLiteral("ID"));
                                           }));
            }));
        QCOMPARE(pairs,
                 QStringList({QStringLiteral("41"), QStringLiteral("42"), QStringLiteral("43"),
                              QStringLiteral("21"), QStringLiteral("22"), QStringLiteral("23")}));
        QVERIFY(boxes_->boxes().isEmpty());
    }

    // A read ahead hands every row over once, in the query's order, however
    // the rows fall into the blocks read on the worker (1024 rows each,
    // three of them going round): none, one, a block, a block and a row,
    // and more blocks than go round.
    void readAheadHandsEveryRowInOrder_data() {
        QTest::addColumn<int>("songs");
        QTest::newRow("none") << 0;
        QTest::newRow("one") << 1;
        QTest::newRow("a block") << 1024;
        QTest::newRow("a block and a row") << 1025;
        QTest::newRow("five blocks") << 4097;
    }
    void readAheadHandsEveryRowInOrder() {
        QFETCH(int, songs);
        {
            ADO_Connector::BulkWrite bulk(*db_);
            for (int i = 1; i <= songs; ++i)
                QVERIFY(db_->adoSetData(Write::AddSong, {QStringLiteral("/m/%1.mp3").arg(i),
                                                         QStringLiteral("s%1").arg(i)}));
            QVERIFY(bulk.commit());
        }
        int rows = 0;
        int outOfOrder = 0;
        QVERIFY(db_->adoGetEachRowAhead(
            Read::StoredQuery, QStringLiteral("Q_SetList_ALL"), [&](const Recordset& row) {
                ++rows;
                if (row.text(QStringLiteral("ID")) != QString::number(rows) ||
                    row.text(QStringLiteral("タイトル")) != QStringLiteral("s%1").arg(rows) ||
                    row.text(QStringLiteral("ジャンル1")) != QStringLiteral("指定無し"))
                    ++outOfOrder;
            }));
        QCOMPARE(rows, songs);
        QCOMPARE(outOfOrder, 0);
        QVERIFY(boxes_->boxes().isEmpty());

        // A query that does not exist fails with the connector's box.
        rows = 0;
        QVERIFY(!db_->adoGetEachRowAhead(Read::StoredQuery, QStringLiteral("Q_SetList_gone"),
                                         [&](const Recordset&) { ++rows; }));
        QCOMPARE(rows, 0);
        QCOMPARE(boxes_->boxes().size(), 1);
    }

    // One row of a stored query at an offset, in the query's own order,
    // and its row count; the name is quoted, never run as SQL.
    void countsAndReadsOneRowOfAStoredQuery() {
        for (const char* t : {"a", "b", "c"})
            QVERIFY(db_->adoSetData(
                Write::AddSong,
                {QStringLiteral("/%1.mp3").arg(QString::fromUtf8(t)), QString::fromUtf8(t)}));
        const QString byTitle = QStringLiteral("Q_SetList_逆\"順");
        QVERIFY(db_->adoxCreateQuery(
            QStringLiteral("SELECT * FROM Q_SetList_ALL ORDER BY タイトル DESC"), byTitle));
        QCOMPARE(db_->adoQueryRowCount(QStringLiteral("Q_SetList_ALL")), 3);
        QCOMPARE(db_->adoQueryRowCount(byTitle), 3);

        const auto idAt = [&](const QString& name, int offset) {
            Recordset rs;
            if (!db_->adoGetQueryRow(name, offset, rs))
                return QStringLiteral("<failed>");
            if (rs.RecordCount() != (rs.Eof() ? 0 : 1))
                return QStringLiteral("<%1 rows>").arg(rs.RecordCount());
            return rs.Eof() ? QStringLiteral("<none>")
                            : rs.text(QStringLiteral("ID")) + QStringLiteral(" ") +
                                  rs.text(QStringLiteral("タイトル"));
        };
        QCOMPARE(
            QStringList(
                {idAt(QStringLiteral("Q_SetList_ALL"), 0), idAt(QStringLiteral("Q_SetList_ALL"), 2),
                 idAt(QStringLiteral("Q_SetList_ALL"), 3), idAt(byTitle, 0), idAt(byTitle, 2)}),
            QStringList({QStringLiteral("1 a"), QStringLiteral("3 c"), QStringLiteral("<none>"),
                         QStringLiteral("3 c"), QStringLiteral("1 a")}));
        QVERIFY(boxes_->boxes().isEmpty());

        // A query that does not exist fails with the connector's box.
        QCOMPARE(db_->adoQueryRowCount(QStringLiteral("Q_SetList_gone")), -1);
        QCOMPARE(idAt(QStringLiteral("Q_SetList_ALL\" UNION SELECT 1"), 0),
                 QStringLiteral("<failed>"));
        QCOMPARE(boxes_->boxes().size(), 2);
    }
};

QTEST_GUILESS_MAIN(TestAdoConnector)
#include "tst_adoconnector.moc"
