#include "data/libraryfile.h"

#include "data/schema.h"
#include "data/sqlite.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace libraryfile {

namespace {

QString native(const QString& path) {
    return QDir::toNativeSeparators(path);
}

// Column 0 of every row of `sql`, as text.
bool column(const sqlite::Database& db, const QString& sql, QStringList& out, QString& error) {
    sqlite::Statement query(db, sql);
    if (!query.isValid()) {
        error = query.error();
        return false;
    }
    sqlite::Statement::Step step;
    while ((step = query.step()) == sqlite::Statement::Step::Row)
        out << query.value(0).toString();
    if (step == sqlite::Statement::Step::Error) {
        error = query.error();
        return false;
    }
    return true;
}

QString cannotWrite(const QString& path, const QString& reason) {
    return QStringLiteral("%1 に書き込めません: %2").arg(native(path), reason);
}

// The engine opens a file it may not write for reading without a word, and
// every write after that would fail on its own; the journal beside the
// file must be created for every write, so its folder must be writable too.
bool checkWritable(const sqlite::Database& db, const QString& path, QString& error) {
    if (db.isReadOnly()) {
        QFile file(path);
        const QString reason = file.open(QIODevice::ReadWrite)
                                   ? QStringLiteral("読み取り専用で開かれています")
                                   : file.errorString();
        error = cannotWrite(path, reason);
        return false;
    }
    const QString folder = QFileInfo(path).absolutePath();
    if (!QFileInfo(folder).isWritable()) {
        error = QStringLiteral("フォルダ %1 に書き込めないため、その中のライブラリには"
                               "変更を保存できません。")
                    .arg(native(folder));
        return false;
    }
    return true;
}

// Whether the file is a library this program can use, read without writing
// to it. `fresh` when it holds nothing at all: a new file, or one left empty
// by a crash while it was being created.
bool checkContents(const sqlite::Database& db, const QString& path, bool& fresh, QString& error) {
    QStringList objects, version;
    if (!column(db, QStringLiteral("SELECT count(*) FROM sqlite_master"), objects, error) ||
        !column(db, QStringLiteral("PRAGMA user_version"), version, error))
        return false;
    fresh = objects.value(0) == u"0" && version.value(0) == u"0";
    if (fresh)
        return true;
    // The tables first: another program's file is not ours, whatever
    // version it gives.
    QStringList tables;
    if (!column(db, QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table'"), tables,
                error))
        return false;
    for (const QString& table : schema::requiredTables()) {
        if (!tables.contains(table)) {
            error = QStringLiteral("データベースにテーブル %1 がありません。").arg(table);
            return false;
        }
    }
    const int format = version.value(0).toInt();
    if (format > schema::kVersion) {
        error = QStringLiteral("%1 はこのプログラムの新しい版で書かれています（形式 %2。"
                               "この版が読めるのは形式 %3 までです）。")
                    .arg(native(path))
                    .arg(format)
                    .arg(schema::kVersion);
        return false;
    }
    // Damage in the middle of the file shows nowhere else until a list or
    // a write reaches it, and writes would go on into the damaged file.
    QStringList problems;
    QString reason;
    if (!column(db, QStringLiteral("PRAGMA quick_check"), problems, reason))
        problems = QStringList{reason};
    if (problems != QStringList{QStringLiteral("ok")}) {
        error = QStringLiteral("%1 は壊れています: %2").arg(native(path), problems.value(0));
        return false;
    }
    return true;
}

// A file that passed the checks above may still be held for reading only:
// the -wal and -shm files a crashed run under another account left behind
// let this account read but never write. Taking the write lock shows it.
bool proveWritable(sqlite::Database& db, const QString& path, QString& error) {
    QString reason;
    if (db.exec(QStringLiteral("BEGIN IMMEDIATE"), reason) &&
        db.exec(QStringLiteral("ROLLBACK"), reason))
        return true;
    error = cannotWrite(path, reason);
    return false;
}

bool createSchema(sqlite::Database& db, QString& error) {
    sqlite::Transaction transaction(db);
    for (const QString& statement : schema::creationStatements()) {
        if (!db.exec(statement, error))
            return false;
    }
    return transaction.commit(error);
}

} // namespace

QString choosePath(const QString& programFolder, const QString& userFolder) {
    const QString name = QStringLiteral("/DataBase/MelodaraPlayer.db");
    const QString inProgram = programFolder + name;
    const QString inUser = userFolder + name;
    if (!programFolder.isEmpty() && QFileInfo::exists(inProgram))
        return inProgram;
    // A library made here once, when the program's folder could not be
    // written, stays the library after that folder becomes writable.
    if (QFileInfo::exists(inUser))
        return inUser;
    const QFileInfo folder(QFileInfo(inProgram).path());
    const bool creatable =
        folder.exists() ? folder.isWritable() : QFileInfo(programFolder).isWritable();
    return !programFolder.isEmpty() && creatable ? inProgram : inUser;
}

bool open(sqlite::Database& db, const QString& path, QString& error) {
    const bool exists = QFileInfo::exists(path);
    if (!exists && !QDir().mkpath(QFileInfo(path).absolutePath())) {
        error = QStringLiteral("%1 のフォルダを作成できません。").arg(native(path));
        return false;
    }
    // The busy timeout covers a second copy of the program (or a backup
    // tool) holding the file for a moment. A 100,000-song library is some
    // 20 MB: keep it in the page cache so a full list read or a bulk import
    // does not page through the file. Both concern this connection only,
    // but they read the file, so whether it can be written comes first.
    bool ok = db.open(path, !exists, error) && (!exists || checkWritable(db, path, error)) &&
              db.exec(QStringLiteral("PRAGMA busy_timeout = 5000"), error) &&
              db.exec(QStringLiteral("PRAGMA cache_size = -65536"), error);
    bool fresh = false;
    ok = ok && checkContents(db, path, fresh, error);
    // Only now is the file changed. WAL lets the list read while a write is
    // committed, and with synchronous=NORMAL a commit is one fsync-free
    // append that a power cut can lose but never corrupt.
    ok = ok && db.exec(QStringLiteral("PRAGMA journal_mode = WAL"), error) &&
         db.exec(QStringLiteral("PRAGMA synchronous = NORMAL"), error);
    ok = ok && (!exists || proveWritable(db, path, error));
    ok = ok && (!fresh || createSchema(db, error));
    if (ok)
        return true;
    db.close();
    // A new file that could not be made whole is not left behind.
    if (!exists) {
        for (const char* suffix : {"", "-wal", "-shm"})
            QFile::remove(path + QLatin1String(suffix));
    }
    return false;
}

} // namespace libraryfile
