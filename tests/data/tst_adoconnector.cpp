#include "data/adoconnector.h"
#include "scriptedpresenter.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestAdoConnector : public QObject {
    Q_OBJECT

    QString dbPath() const { return dir_->path() + "/DataBase/MelodaraPlayer.db"; }

    QStringList column(ADO_Connector& db, int kind, const QString& name,
                       const QString& param = QString()) {
        Recordset rs;
        if (!db.adoGetData(kind, rs, param))
            return {"<failed>"};
        QStringList out;
        for (; !rs.Eof(); rs.MoveNext())
            out << rs.text(name);
        return out;
    }

private slots:
    void init() { dir_ = std::make_unique<QTemporaryDir>(); }
    void cleanup() { dir_.reset(); }

    void freshDatabaseListsNewSongInAll() {
        ScriptedPresenter boxes;
        ADO_Connector db(dbPath());
        QVERIFY(db.isConnected());
        QVERIFY(QFile::exists(dbPath()));
        QVERIFY(db.adoSetData(31, {"/music/a.mp3", "a"}));
        Recordset rs;
        QVERIFY(db.adoGetData(3, rs, "Q_SetList_ALL"));
        QCOMPARE(rs.RecordCount(), 1);
        QCOMPARE(rs.text("ファイルパス"), QStringLiteral("/music/a.mp3"));
        QCOMPARE(rs.text("ジャンル1"), QStringLiteral("指定無し"));
        QCOMPARE(rs.text("アーティスト名"), QStringLiteral("指定無し"));
        QCOMPARE(rs.text("ブレークアウト"), QStringLiteral("False"));
        QCOMPARE(rs.Field("Id"), rs.Field("ID"));
        QCOMPARE(column(db, 2, "選択"), QStringList({"True"}));
        QVERIFY(boxes.boxes().isEmpty());
    }

    void quotedAndJapaneseTextIsStoredAsTyped() {
        ScriptedPresenter boxes;
        ADO_Connector db(dbPath());
        const QString title = QString::fromUtf16(u"彼女の\"歌\" it's; DROP TABLE TM_曲情報");
        QVERIFY(db.adoSetData(31, {"/x/" + title + ".mp3", title}));
        QCOMPARE(column(db, 10, "タイトル", "1"), QStringList({title}));
    }

    void nonNumericValueFailsWithBox() {
        ScriptedPresenter boxes;
        ADO_Connector db(dbPath());
        QVERIFY(!db.adoSetData(29, {"wide", QString::fromUtf16(u"曲名")}));
        QCOMPARE(boxes.boxes().size(), 1);
        QCOMPARE(boxes.boxes().front().title, QStringLiteral("DBError"));
        QCOMPARE(column(db, 10, "ID", "1 or 1=1"), QStringList({"<failed>"}));
    }

    void failingKindLeavesNothingHalfDone() {
        ScriptedPresenter boxes;
        ADO_Connector db(dbPath());
        QVERIFY(db.adoSetData(31, {"/a.mp3", "a"}));
        QVERIFY(db.adoSetData(22, {"Best", "1", "1"}));
        // A non-numeric ID fails before either delete runs.
        QVERIFY(!db.adoSetData(54, {"x"}));
        QCOMPARE(column(db, 11, "アルバム名"), QStringList({"Best"}));
        QVERIFY(db.adoSetData(54, {"1"}));
        QCOMPARE(column(db, 11, "アルバム名"), QStringList());
    }

    void brokenFileShowsConnectBoxThenRequestBoxes() {
        QDir().mkpath(dir_->path() + "/DataBase");
        QFile f(dbPath());
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(4096, 'x'));
        f.close();
        ScriptedPresenter boxes;
        ADO_Connector db(dbPath());
        QCOMPARE(boxes.boxes().size(), 1);
        QCOMPARE(boxes.boxes().front().title, QStringLiteral("DB_Error"));
        Recordset rs;
        QVERIFY(!db.adoGetData(1, rs, {}));
        QVERIFY(!db.adoSetData(31, {"/a.mp3", "a"}));
        QCOMPARE(boxes.boxes().size(), 3);
        QCOMPARE(boxes.boxes().back().title, QStringLiteral("DBError"));
        QVERIFY(db.adoGetData(21, rs, {}));
    }

    void failedWriteInsideBulkWriteUndoesOnlyItself() {
        ScriptedPresenter boxes;
        ADO_Connector db(dbPath());
        {
            ADO_Connector::BulkWrite bulk(db);
            QVERIFY(db.adoSetData(45, {"Fav"}));
            QVERIFY(!db.adoSetData(45, {"fav"})); // names ignore case
            QVERIFY(db.adoSetData(45, {"Live"}));
            QVERIFY(bulk.commit());
        }
        QCOMPARE(boxes.boxes().size(), 1);
        QCOMPARE(column(db, 2, "セットリスト名"), QStringList({"ALL", "Fav", "Live"}));
        {
            ADO_Connector::BulkWrite bulk(db);
            QVERIFY(db.adoSetData(45, {"Dropped"}));
        }
        QCOMPARE(column(db, 2, "セットリスト名"), QStringList({"ALL", "Fav", "Live"}));
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
            << 70 << "disk is full";
        // A limit below the file's size is raised to it: no page may be added.
        QTest::addRow("file reaches its size limit")
            << "PRAGMA max_page_count = 1" << 0 << "database or disk is full";
    }
    void bulkWriteUndoneByTheEngineCommitsNothing() {
        QFETCH(QString, limit);
        QFETCH(int, failsAt);
        QFETCH(QString, reason);
        ScriptedPresenter boxes;
        ADO_Connector db(dbPath());
        QVERIFY(db.adoSetData(46, {limit}));
        QList<bool> written;
        {
            ADO_Connector::BulkWrite bulk(db);
            for (int i = 1; i <= 3000; ++i) {
                written << db.adoSetData(31, {QString("/music/some artist/song %1.mp3").arg(i),
                                              QString("song %1").arg(i)});
            }
            QVERIFY(!db.adoxCreateQuery("SELECT 1 AS ID", "Q_SetList_late"));
            QVERIFY(!bulk.commit());
        }
        const qsizetype firstFailure = written.indexOf(false);
        if (failsAt > 0)
            QCOMPARE(firstFailure, failsAt - 1);
        else
            QVERIFY(firstFailure > 0);
        QCOMPARE(written.lastIndexOf(true), firstFailure - 1);
        QCOMPARE(boxes.boxes().size(), 1);
        QCOMPARE(boxes.boxes().front().title, QStringLiteral("DBError"));
        QCOMPARE(boxes.boxes().front().text, reason);
        QCOMPARE(column(db, 16, "ID"), QStringList());
        QVERIFY(!db.queryExists("Q_SetList_late"));

        // Once the guard is gone, writes stand on their own again.
        QVERIFY(db.adoSetData(46, {"DROP TRIGGER IF EXISTS full"}));
        QVERIFY(db.adoSetData(31, {"/music/after.mp3", "after"}));
        QCOMPARE(column(db, 16, "ファイルパス"), QStringList({"/music/after.mp3"}));
        QCOMPARE(boxes.boxes().size(), 1);
    }

    void readNestedInARowWalkLeavesTheWalkWhole() {
        ScriptedPresenter boxes;
        ADO_Connector db(dbPath());
        for (int i = 1; i <= 4; ++i)
            QVERIFY(db.adoSetData(31, {QString("/m/%1.mp3").arg(i), QString("s%1").arg(i)}));
        for (const QStringList& row :
             {QStringList{"A", "1", "1"}, QStringList{"A", "2", "2"}, QStringList{"A", "3", "3"},
              QStringList{"B", "4", "1"}, QStringList{"B", "2", "2"}})
            QVERIFY(db.adoSetData(22, row));

        QStringList outer, inner;
        QVERIFY(db.adoGetEachRow(12, "A", [&](const Recordset& row) {
            outer << row.text("ID");
            if (outer.size() > 3)
                return; // a walk that starts over would never end
            Recordset rs;
            QVERIFY(db.adoGetData(12, rs, "B"));
            for (; !rs.Eof(); rs.MoveNext())
                inner << rs.text("ID");
        }));
        QCOMPARE(outer, QStringList({"1", "2", "3"}));
        QCOMPARE(inner, QStringList({"4", "2", "4", "2", "4", "2"}));

        QStringList pairs;
        QVERIFY(db.adoGetEachRow(12, "B", [&](const Recordset& row) {
            const QString first = row.text("ID");
            QVERIFY(db.adoGetEachRow(
                12, "A", [&](const Recordset& next) { pairs << first + next.text("ID"); }));
        }));
        QCOMPARE(pairs, QStringList({"41", "42", "43", "21", "22", "23"}));
        QVERIFY(boxes.boxes().isEmpty());
    }

    // One row of a stored query at an offset, in the query's own order,
    // and its row count; the name is quoted, never run as SQL.
    void countsAndReadsOneRowOfAStoredQuery() {
        ScriptedPresenter boxes;
        ADO_Connector db(dbPath());
        for (const char* t : {"a", "b", "c"})
            QVERIFY(db.adoSetData(31, {QString("/%1.mp3").arg(t), t}));
        const QString byTitle = QString::fromUtf16(u"Q_SetList_逆\"順");
        QVERIFY(db.adoxCreateQuery("SELECT * FROM Q_SetList_ALL ORDER BY タイトル DESC", byTitle));
        QVERIFY(db.adoxCreateQuery("SELECT * FROM Q_SetList_ALL WHERE ID > 3", "Q_SetList_none"));
        QCOMPARE(db.adoQueryRowCount("Q_SetList_ALL"), 3);
        QCOMPARE(db.adoQueryRowCount(byTitle), 3);
        QCOMPARE(db.adoQueryRowCount("Q_SetList_none"), 0);

        const auto idAt = [&](const QString& name, int offset) {
            Recordset rs;
            if (!db.adoGetQueryRow(name, offset, rs))
                return QString("<failed>");
            if (rs.RecordCount() != (rs.Eof() ? 0 : 1))
                return QString("<%1 rows>").arg(rs.RecordCount());
            return rs.Eof() ? QString("<none>") : rs.text("ID") + " " + rs.text("タイトル");
        };
        QCOMPARE(idAt("Q_SetList_ALL", 0), QStringLiteral("1 a"));
        QCOMPARE(idAt("Q_SetList_ALL", 2), QStringLiteral("3 c"));
        QCOMPARE(idAt("Q_SetList_ALL", 3), QStringLiteral("<none>"));
        QCOMPARE(idAt(byTitle, 0), QStringLiteral("3 c"));
        QCOMPARE(idAt(byTitle, 2), QStringLiteral("1 a"));
        QCOMPARE(idAt("Q_SetList_none", 0), QStringLiteral("<none>"));
        QVERIFY(boxes.boxes().isEmpty());

        // A query that does not exist fails with the connector's box.
        QCOMPARE(db.adoQueryRowCount("Q_SetList_gone"), -1);
        QCOMPARE(idAt("Q_SetList_ALL\" UNION SELECT 1", 0), QStringLiteral("<failed>"));
        QCOMPARE(boxes.boxes().size(), 2);
        QCOMPARE(boxes.boxes().back().title, QStringLiteral("DBError"));
    }

private:
    std::unique_ptr<QTemporaryDir> dir_;
};

QTEST_GUILESS_MAIN(TestAdoConnector)
#include "tst_adoconnector.moc"
