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
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/wait.h>

class TestLibraryFile : public QObject {
    Q_OBJECT

    QString dbPath() const { return dir_->path() + "/DataBase/MelodaraPlayer.db"; }

    static QByteArray bytes(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
    }

    static void setMode(const QString& path, int octal) {
        QFile::Permissions p;
        const QFile::Permission bits[] = {QFile::ExeOther, QFile::WriteOther, QFile::ReadOther,
                                          QFile::ExeGroup, QFile::WriteGroup, QFile::ReadGroup,
                                          QFile::ExeOwner, QFile::WriteOwner, QFile::ReadOwner};
        for (int i = 0; i < 9; ++i) {
            if (octal & (1 << i))
                p |= bits[i];
        }
        QVERIFY(QFile::setPermissions(path, p));
    }

    // A library of `songs` songs, closed again.
    void makeLibrary(const QString& path, int songs) {
        ScriptedPresenter boxes;
        ADO_Connector db(path);
        ADO_Connector::BulkWrite bulk(db);
        for (int i = 0; i < songs; ++i) {
            const QString title = QString("Song %1").arg(i, 5, 10, QChar('0'));
            QVERIFY(db.adoSetData(31, {"/music/some artist/" + title + ".mp3", title}));
        }
        QVERIFY(bulk.commit());
        QVERIFY(boxes.boxes().isEmpty());
    }

    // Runs statements on the file through a connection of the test's own.
    static void exec(const QString& path, const QStringList& statements) {
        sqlite::Database db;
        QString error;
        QVERIFY2(db.open(path, true, error), qPrintable(error));
        for (const QString& statement : statements)
            QVERIFY2(db.exec(statement, error), qPrintable(error));
    }

    static QString number(const QString& path, const QString& sql) {
        sqlite::Database db;
        QString error;
        if (!db.open(path, false, error))
            return error;
        sqlite::Statement query(db, sql);
        return query.step() == sqlite::Statement::Step::Row ? query.value(0).toString()
                                                            : query.error();
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
        QTest::addColumn<int>("programMode");
        QTest::addColumn<bool>("dataBaseFolder");
        QTest::addColumn<bool>("programLibrary");
        QTest::addColumn<bool>("userLibrary");
        QTest::addColumn<QString>("chosen");
        QTest::addRow("library in a read-only program folder")
            << 0555 << true << true << false << "program";
        QTest::addRow("both libraries") << 0555 << true << true << true << "program";
        QTest::addRow("user library, program folder writable now")
            << 0777 << false << false << true << "user";
        QTest::addRow("none, writable program folder")
            << 0777 << false << false << false << "program";
        QTest::addRow("none, read-only program folder")
            << 0555 << false << false << false << "user";
        QTest::addRow("none, read-only DataBase folder")
            << 0555 << true << false << false << "user";
        QTest::addRow("none, empty writable DataBase folder")
            << 0777 << true << false << false << "program";
    }
    void existingLibraryIsNeverPassedOver() {
        QFETCH(int, programMode);
        QFETCH(bool, dataBaseFolder);
        QFETCH(bool, programLibrary);
        QFETCH(bool, userLibrary);
        QFETCH(QString, chosen);
        const QString program = dir_->path() + "/program";
        const QString user = dir_->path() + "/user";
        QVERIFY(QDir().mkpath(program));
        if (dataBaseFolder)
            QVERIFY(QDir().mkpath(program + "/DataBase"));
        if (programLibrary)
            makeLibrary(program + "/DataBase/MelodaraPlayer.db", 1);
        if (userLibrary)
            makeLibrary(user + "/DataBase/MelodaraPlayer.db", 1);
        if (programLibrary)
            setMode(program + "/DataBase/MelodaraPlayer.db", programMode & 0444);
        if (dataBaseFolder)
            setMode(program + "/DataBase", programMode);
        setMode(program, programMode);

        Unprivileged nobody;
        if (!nobody.isActive())
            QSKIP("the tests may not act as an unprivileged user here");
        const QString path = libraryfile::choosePath(program, user);
        QCOMPARE(path, dir_->path() + "/" + chosen + "/DataBase/MelodaraPlayer.db");
    }

    void unwritableLibraryIsRefusedOnce_data() {
        QTest::addColumn<int>("folderMode");
        QTest::addColumn<int>("fileMode");
        QTest::addColumn<QString>("reason");
        QTest::addRow("write-protected file")
            << 0777 << 0444 << "<file> cannot be written: Permission denied";
        QTest::addRow("read-only folder")
            << 0555 << 0666
            << "The folder <folder> cannot be written, so the library in it cannot keep any "
               "change.";
    }
    void unwritableLibraryIsRefusedOnce() {
        QFETCH(int, folderMode);
        QFETCH(int, fileMode);
        QFETCH(QString, reason);
        makeLibrary(dbPath(), 3);
        setMode(dbPath(), fileMode);
        setMode(dir_->path() + "/DataBase", folderMode);
        const QByteArray before = bytes(dbPath());

        Unprivileged nobody;
        if (!nobody.isActive())
            QSKIP("the tests may not act as an unprivileged user here");
        ScriptedPresenter boxes;
        {
            ADO_Connector db(dbPath());
            QVERIFY(!db.isConnected());
        }
        QCOMPARE(boxes.boxes().size(), 1);
        QCOMPARE(boxes.boxes().front().title, QStringLiteral("DB_Error"));
        QCOMPARE(
            boxes.boxes().front().text,
            reason.replace("<file>", dbPath()).replace("<folder>", dir_->path() + "/DataBase"));
        QCOMPARE(bytes(dbPath()), before);
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
        QVERIFY(QDir().mkpath(dir_->path() + "/DataBase"));
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
                db.exec("PRAGMA journal_mode = WAL", error);
                db.exec("BEGIN", error);
                const QStringList all = schema::creationStatements();
                for (int i = 0; i < statements; ++i)
                    db.exec(all[i], error);
                raise(SIGKILL);
            }
            int status = 0;
            QCOMPARE(waitpid(child, &status, 0), child);
            QVERIFY(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
        }

        ScriptedPresenter boxes;
        ADO_Connector db(dbPath());
        QVERIFY(db.isConnected());
        QVERIFY(boxes.boxes().isEmpty());
        Recordset rs;
        QVERIFY(db.adoGetData(2, rs));
        QCOMPARE(rs.RecordCount(), 1);
        QCOMPARE(rs.text("セットリスト名"), QStringLiteral("ALL"));
        QVERIFY(db.adoSetData(31, {"/music/a.mp3", "a"}));
        QVERIFY(db.adoGetData(3, rs, "Q_SetList_ALL"));
        QCOMPARE(rs.RecordCount(), 1);
    }

    void fileOtherThanALibraryIsRefusedUnchanged_data() {
        QTest::addColumn<bool>("library");
        QTest::addColumn<QStringList>("change");
        QTest::addColumn<QByteArray>("junk");
        QTest::addColumn<QString>("reason");
        QTest::addRow("another program's database")
            << false
            << QStringList{"CREATE TABLE notes(text)", "INSERT INTO notes VALUES ('keep me')"}
            << QByteArray() << "The database has no table TM_曲情報.";
        QTest::addRow("library of a newer version")
            << true << QStringList{"PRAGMA journal_mode = DELETE", "PRAGMA user_version = 2"}
            << QByteArray()
            << "<file> was written by a newer version of this program (format 2; this one "
               "reads up to format 1).";
        QTest::addRow("not a database")
            << false << QStringList() << QByteArray(4096, 'x') << "file is not a database";
    }
    void fileOtherThanALibraryIsRefusedUnchanged() {
        QFETCH(bool, library);
        QFETCH(QStringList, change);
        QFETCH(QByteArray, junk);
        QFETCH(QString, reason);
        QVERIFY(QDir().mkpath(dir_->path() + "/DataBase"));
        if (library)
            makeLibrary(dbPath(), 1);
        if (!junk.isEmpty()) {
            QFile file(dbPath());
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(junk);
        }
        exec(dbPath(), change);
        const QByteArray before = bytes(dbPath());

        ScriptedPresenter boxes;
        {
            ADO_Connector db(dbPath());
            QVERIFY(!db.isConnected());
        }
        QCOMPARE(boxes.boxes().size(), 1);
        QCOMPARE(boxes.boxes().front().title, QStringLiteral("DB_Error"));
        QCOMPARE(boxes.boxes().front().text, reason.replace("<file>", dbPath()));
        QCOMPARE(bytes(dbPath()), before);
        QVERIFY(!QFile::exists(dbPath() + "-wal"));
    }

    void libraryDamagedInTheMiddleIsRefusedUnchanged() {
        makeLibrary(dbPath(), 2000);
        const int pageSize = number(dbPath(), "PRAGMA page_size").toInt();
        const int pages = number(dbPath(), "PRAGMA page_count").toInt();
        QVERIFY(pages > 20);
        {
            // Page 1 holds the schema and settings, which still read well.
            QFile file(dbPath());
            QVERIFY(file.open(QIODevice::ReadWrite));
            QVERIFY(file.seek(qint64(pageSize) * (pages / 2)));
            QCOMPARE(file.write(QByteArray(pageSize, '\0')), qint64(pageSize));
        }
        QCOMPARE(number(dbPath(), "SELECT count(*) FROM TM_初期設定"), QStringLiteral("12"));
        const QByteArray before = bytes(dbPath());

        ScriptedPresenter boxes;
        {
            ADO_Connector db(dbPath());
            QVERIFY(!db.isConnected());
            QVERIFY(!db.adoSetData(31, {"/music/a.mp3", "a"}));
        }
        QCOMPARE(boxes.boxes().size(), 2);
        QCOMPARE(boxes.boxes().front().title, QStringLiteral("DB_Error"));
        QCOMPARE(boxes.boxes().back().title, QStringLiteral("DBError"));
        QVERIFY2(boxes.boxes().front().text.startsWith(dbPath() + " is damaged: "),
                 qPrintable(boxes.boxes().front().text));
        QCOMPARE(bytes(dbPath()), before);
    }

private:
    std::unique_ptr<QTemporaryDir> dir_;
};

QTEST_GUILESS_MAIN(TestLibraryFile)
#include "tst_libraryfile.moc"
