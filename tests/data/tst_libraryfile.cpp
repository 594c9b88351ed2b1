// Which library file is opened, and that no file is replaced, changed
// before it is known to be a library, or used when it cannot be written or
// is damaged. Real files throughout; where permissions matter the code runs
// as an unprivileged user.

#include "data/adoconnector.h"
#include "data/libraryfile.h"
#include "data/schema.h"
#include "data/sqlite.h"
#include "scriptedpresenter.h"
#include "unprivileged.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/stat.h>
#include <sys/wait.h>

class TestLibraryFile : public QObject {
    Q_OBJECT

    QString folder() const { return dir_->path() + QStringLiteral("/DataBase"); }
    QString dbPath() const { return folder() + QStringLiteral("/MelodaraPlayer.db"); }

    static QByteArray bytes(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
    }

    static void setMode(const QString& path, int mode) {
        QVERIFY2(chmod(QFile::encodeName(path).constData(), mode_t(mode)) == 0, qPrintable(path));
    }

    // A library of `songs` songs, closed again.
    void makeLibrary(const QString& path, int songs) {
        ScriptedPresenter boxes;
        ADO_Connector db(path);
        ADO_Connector::BulkWrite bulk(db);
        for (int i = 0; i < songs; ++i) {
            const QString title = QStringLiteral("Song %1").arg(i, 5, 10, QLatin1Char('0'));
            QVERIFY(db.adoSetData(
                Write::AddSong,
                {QStringLiteral("/music/some artist/") + title + QStringLiteral(".mp3"), title}));
        }
        QVERIFY(bulk.commit());
        QVERIFY(boxes.boxes().isEmpty());
    }

    // Column 0 of the first row of `sql`, read through a connection of the
    // test's own, after running `statements`.
    static QString value(const QString& path, const QString& sql,
                         const QStringList& statements = {}) {
        sqlite::Database db;
        QString error;
        if (!db.open(path, true, error))
            return error;
        for (const QString& statement : statements) {
            if (!db.exec(statement, error))
                return error;
        }
        sqlite::Statement query(db, sql);
        return query.step() == sqlite::Statement::Step::Row ? query.value(0).toString()
                                                            : query.error();
    }

    // The library is refused with one "DB_Error" box saying `reason` (a
    // reason ending in ": " is followed by the engine's words), a write
    // after it fails too, and the file is left byte for byte as it was.
    void openRefused(const QString& reason) {
        const QByteArray before = bytes(dbPath());
        ScriptedPresenter boxes;
        {
            ADO_Connector db(dbPath());
            QVERIFY(!db.isConnected());
            QVERIFY(!db.adoSetData(Write::AddSong,
                                   {QStringLiteral("/music/a.mp3"), QStringLiteral("a")}));
        }
        QCOMPARE(boxes.boxes().size(), 2);
        QCOMPARE(boxes.boxes()[0].title + QStringLiteral(",") + boxes.boxes()[1].title,
                 QStringLiteral("DB_Error,DBError"));
        const QString text = boxes.boxes()[0].text;
        QVERIFY2(reason.endsWith(QStringLiteral(": ")) ? text.startsWith(reason) : text == reason,
                 qPrintable(text));
        QCOMPARE(bytes(dbPath()), before);
        QVERIFY(!QFile::exists(dbPath() + QStringLiteral("-wal")));
    }

private slots:
    void init() {
        dir_ = std::make_unique<QTemporaryDir>();
        // An unprivileged user must be able to reach what is inside.
        setMode(dir_->path(), 0755);
    }
    void cleanup() {
        // Folders made read-only by a test must be emptied when it ends.
        QDirIterator it(dir_->path(), QDir::Dirs | QDir::NoDotAndDotDot,
                        QDirIterator::Subdirectories);
        while (it.hasNext())
            setMode(it.next(), 0700);
        dir_.reset();
    }

    void existingLibraryIsNeverPassedOver_data() {
        // What there is: the program's DataBase folder, a library in it, one in the user's.
        QTest::addColumn<QString>("present");
        QTest::addColumn<int>("programMode");
        QTest::addColumn<QString>("chosen");
        QTest::addRow("read-only program folder") << "folder,program" << 0555 << "program";
        QTest::addRow("both libraries") << "folder,program,user" << 0555 << "program";
        QTest::addRow("user's, program's writable now") << "user" << 0777 << "user";
        QTest::addRow("none, writable program folder") << "" << 0777 << "program";
        QTest::addRow("none, read-only program folder") << "" << 0555 << "user";
        QTest::addRow("none, read-only DataBase folder") << "folder" << 0555 << "user";
        QTest::addRow("none, empty writable DataBase") << "folder" << 0777 << "program";
    }
    void existingLibraryIsNeverPassedOver() {
        QFETCH(QString, present);
        QFETCH(int, programMode);
        QFETCH(QString, chosen);
        const QString program = dir_->path() + QStringLiteral("/program"),
                      name = QStringLiteral("/DataBase/MelodaraPlayer.db");
        QVERIFY(QDir().mkpath(present.contains(QStringLiteral("folder"))
                                  ? program + QStringLiteral("/DataBase")
                                  : program));
        for (const char* library : {"program", "user"}) {
            if (present.contains(QString::fromUtf8(library)))
                makeLibrary(dir_->path() + QStringLiteral("/") + QString::fromUtf8(library) + name,
                            1);
        }
        for (const QString& path :
             {program + name, program + QStringLiteral("/DataBase"), program}) {
            if (QFile::exists(path))
                setMode(path, path == program + name ? programMode & 0444 : programMode);
        }
        Unprivileged nobody;
        if (!nobody.isActive())
            QSKIP("the tests may not act as an unprivileged user here");
        QCOMPARE(libraryfile::choosePath(program, dir_->path() + QStringLiteral("/user")),
                 dir_->path() + QStringLiteral("/") + chosen + name);
    }

    // Nothing but a library this program can write is used; anything else
    // is refused as it stands.
    void fileOtherThanAWritableLibraryIsRefusedUnchanged_data() {
        QTest::addColumn<QByteArray>("junk"); // the file's bytes, else a library
        QTest::addColumn<QStringList>("change");
        QTest::addColumn<int>("fileMode");
        QTest::addColumn<int>("folderMode");
        QTest::addColumn<QString>("reason");
        QTest::addRow("write-protected file") << QByteArray() << QStringList() << 0444 << 0777
                                              << "<file> に書き込めません: Permission denied";
        QTest::addRow("read-only folder")
            << QByteArray() << QStringList() << 0666 << 0555
            << "フォルダ <folder> に書き込めないため、その中のライブラリには変更を保存できません。";
        QTest::addRow("another program's database")
            << QByteArray("")
            << QStringList{QStringLiteral("CREATE TABLE notes(text)"),
                           QStringLiteral("INSERT INTO notes VALUES ('keep me')")}
            << 0666 << 0777 << "データベースにテーブル TM_曲情報 がありません。";
        // Another program's file is not ours, whatever version it gives.
        QTest::addRow("another program's database with a high version")
            << QByteArray("")
            << QStringList{QStringLiteral("CREATE TABLE notes(text)"),
                           QStringLiteral("PRAGMA user_version = 7")}
            << 0666 << 0777 << "データベースにテーブル TM_曲情報 がありません。";
        QTest::addRow("library of a newer version")
            << QByteArray()
            << QStringList{QStringLiteral("PRAGMA journal_mode = DELETE"),
                           QStringLiteral("PRAGMA user_version = 2")}
            << 0666 << 0777
            << "<file> はこのプログラムの新しい版で書かれています（形式 2。この版が読めるのは"
               "形式 1 までです）。";
        QTest::addRow("not a database")
            << QByteArray(4096, 'x') << QStringList() << 0666 << 0777 << "file is not a database";
    }
    void fileOtherThanAWritableLibraryIsRefusedUnchanged() {
        QFETCH(QByteArray, junk);
        QFETCH(QStringList, change);
        QFETCH(int, fileMode);
        QFETCH(int, folderMode);
        QFETCH(QString, reason);
        QVERIFY(QDir().mkpath(folder()));
        if (junk.isNull()) {
            makeLibrary(dbPath(), 3);
        } else {
            QFile file(dbPath());
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(junk) == junk.size());
        }
        if (!change.isEmpty())
            QCOMPARE(value(dbPath(), QStringLiteral("SELECT 1"), change), QStringLiteral("1"));
        setMode(dbPath(), fileMode);
        setMode(folder(), folderMode);
        Unprivileged nobody;
        if (!nobody.isActive())
            QSKIP("the tests may not act as an unprivileged user here");
        openRefused(reason.replace(QStringLiteral("<file>"), dbPath())
                        .replace(QStringLiteral("<folder>"), folder()));
    }

    void libraryDamagedInTheMiddleIsRefusedUnchanged() {
        makeLibrary(dbPath(), 2000);
        const int pageSize = value(dbPath(), QStringLiteral("PRAGMA page_size")).toInt();
        const int pages = value(dbPath(), QStringLiteral("PRAGMA page_count")).toInt();
        QVERIFY(pages > 20);
        {
            // Page 1 holds the schema and settings, which still read well.
            QFile file(dbPath());
            QVERIFY(file.open(QIODevice::ReadWrite));
            QVERIFY(file.seek(qint64(pageSize) * (pages / 2)));
            QCOMPARE(file.write(QByteArray(pageSize, '\0')), qint64(pageSize));
        }
        QCOMPARE(value(dbPath(), QStringLiteral("SELECT count(*) FROM TM_初期設定")),
                 QStringLiteral("12"));
        openRefused(dbPath() + QStringLiteral(" は壊れています: "));
    }

    // A crash of a run under another account leaves its -wal and -shm
    // files, which this account may read but not write: the library opens
    // for reading only, so it is refused as a file that cannot be written.
    void libraryWhoseJournalBelongsToAnotherAccountIsRefused() {
        makeLibrary(dbPath(), 3);
        const pid_t child = fork();
        QVERIFY(child >= 0);
        if (child == 0) {
            sqlite::Database db;
            QString error;
            db.open(dbPath(), false, error);
            for (const char* step : {"PRAGMA journal_mode = WAL", "BEGIN",
                                     "UPDATE TM_曲情報 SET カウント = 5", "COMMIT"})
                db.exec(QString::fromUtf8(step), error);
            raise(SIGKILL);
        }
        int status = 0;
        QCOMPARE(waitpid(child, &status, 0), child);
        QVERIFY(QFile::exists(dbPath() + QStringLiteral("-wal")) &&
                QFile::exists(dbPath() + QStringLiteral("-shm")));
        for (const char* suffix : {"-wal", "-shm"})
            setMode(dbPath() + QString::fromUtf8(suffix), 0644);
        setMode(dbPath(), 0666);
        setMode(folder(), 0777);
        Unprivileged nobody;
        if (geteuid() != 0 && QFileInfo(dbPath() + QStringLiteral("-wal")).ownerId() == geteuid())
            QSKIP("the tests may not act as another user here");
        ScriptedPresenter boxes;
        {
            ADO_Connector db(dbPath());
            QVERIFY(!db.isConnected());
            QVERIFY(!db.adoSetData(Write::AddSong,
                                   {QStringLiteral("/music/a.mp3"), QStringLiteral("a")}));
        }
        QCOMPARE(boxes.boxes().size(), 2);
        QVERIFY2(boxes.boxes()[0].text.startsWith(dbPath() + QStringLiteral(" に書き込めません: ")),
                 qPrintable(boxes.boxes()[0].text));
    }

    void fileLeftByCrashedCreationBecomesLibrary_data() {
        QTest::addColumn<int>("statements");
        const int all = int(schema::creationStatements().size());
        QTest::addRow("empty file") << -1;
        QTest::addRow("killed before the first table") << 0;
        QTest::addRow("killed half-way") << all / 2;
        QTest::addRow("killed before the commit") << all;
    }
    void fileLeftByCrashedCreationBecomesLibrary() {
        QFETCH(int, statements);
        QVERIFY(QDir().mkpath(folder()));
        if (statements < 0) {
            QFile empty(dbPath());
            QVERIFY(empty.open(QIODevice::WriteOnly));
        } else {
            // A process that dies in the middle of making the library, as
            // the creation does it: WAL first, then one transaction.
            const pid_t child = fork();
            QVERIFY(child >= 0);
            if (child == 0) {
                sqlite::Database db;
                QString error;
                db.open(dbPath(), true, error);
                for (const QString& step : QStringList{QStringLiteral("PRAGMA journal_mode = WAL"),
                                                       QStringLiteral("BEGIN")} +
                                               schema::creationStatements().mid(0, statements))
                    db.exec(step, error);
                raise(SIGKILL);
            }
            int status = 0;
            QCOMPARE(waitpid(child, &status, 0), child);
            QVERIFY(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
        }

        // A whole new library: set list "ALL" alone, listing a new song.
        ScriptedPresenter boxes;
        ADO_Connector db(dbPath());
        Recordset lists, songs;
        QVERIFY(
            db.adoSetData(Write::AddSong, {QStringLiteral("/music/a.mp3"), QStringLiteral("a")}) &&
            db.adoGetData(Read::SetLists, lists) &&
            db.adoGetData(Read::StoredQuery, songs, QStringLiteral("Q_SetList_ALL")));
        QCOMPARE(lists.text(QStringLiteral("セットリスト名")) +
                     QStringLiteral(" %1 %2").arg(lists.RecordCount()).arg(songs.RecordCount()),
                 QStringLiteral("ALL 1 1"));
        QVERIFY(boxes.boxes().isEmpty());
    }

private:
    std::unique_ptr<QTemporaryDir> dir_;
};

QTEST_GUILESS_MAIN(TestLibraryFile)
#include "tst_libraryfile.moc"
