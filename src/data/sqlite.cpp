#include "data/sqlite.h"

#include <sqlite3.h>

#include <QAtomicInt>
#include <QFile>

namespace sqlite {

Database::~Database() {
    close();
}

bool Database::open(const QString& path, bool create, QString& error, bool readOnly) {
    close();
    // Each connection is used by one thread at a time: no per-call locking.
    const int flags = (readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE) |
                      SQLITE_OPEN_NOMUTEX | (create && !readOnly ? SQLITE_OPEN_CREATE : 0);
    const QByteArray name = QFile::encodeName(path);
    const int rc = sqlite3_open_v2(name.constData(), &db_, flags, nullptr);
    if (rc != SQLITE_OK) {
        error =
            db_ ? QString::fromUtf8(sqlite3_errmsg(db_)) : QString::fromUtf8(sqlite3_errstr(rc));
        close();
        return false;
    }
    sqlite3_extended_result_codes(db_, 1);
    return true;
}

void Database::close() {
    if (db_) {
        sqlite3_close_v2(db_);
        db_ = nullptr;
    }
}

bool Database::exec(const QString& sql, QString& error) {
    if (!db_) {
        error = QStringLiteral("The database is not open.");
        return false;
    }
    char* message = nullptr;
    if (sqlite3_exec(db_, sql.toUtf8().constData(), nullptr, nullptr, &message) != SQLITE_OK) {
        error = QString::fromUtf8(message ? message : sqlite3_errmsg(db_));
        sqlite3_free(message);
        return false;
    }
    return true;
}

QString Database::lastError() const {
    return db_ ? QString::fromUtf8(sqlite3_errmsg(db_)) : QString();
}

bool Database::inTransaction() const {
    return db_ && !sqlite3_get_autocommit(db_);
}

bool Database::isReadOnly() const {
    return db_ && sqlite3_db_readonly(db_, "main") == 1;
}

Statement::Statement(const Database& db, const QString& sql) : db_(db.handle()) {
    if (!db_) {
        error_ = QStringLiteral("The database is not open.");
        return;
    }
    const QByteArray utf8 = sql.toUtf8();
    const char* tail = nullptr;
    if (sqlite3_prepare_v2(db_, utf8.constData(), int(utf8.size()), &stmt_, &tail) != SQLITE_OK) {
        error_ = QString::fromUtf8(sqlite3_errmsg(db_));
        sqlite3_finalize(stmt_);
        stmt_ = nullptr;
        return;
    }
    if (!stmt_) {
        error_ = QStringLiteral("The statement is empty.");
        return;
    }
    for (; tail && *tail; ++tail) {
        const char c = *tail;
        if (c != ' ' && c != '\t' && c != '\r' && c != '\n' && c != ';') {
            trailing_ = true;
            break;
        }
    }
}

Statement::~Statement() {
    sqlite3_finalize(stmt_);
}

void Statement::bind(int index, const QVariant& value) {
    if (!stmt_)
        return;
    switch (value.typeId()) {
    case QMetaType::UnknownType:
    case QMetaType::Nullptr:
        sqlite3_bind_null(stmt_, index);
        break;
    case QMetaType::Bool:
        sqlite3_bind_int(stmt_, index, value.toBool() ? 1 : 0);
        break;
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
        sqlite3_bind_int64(stmt_, index, value.toLongLong());
        break;
    case QMetaType::Double:
    case QMetaType::Float:
        sqlite3_bind_double(stmt_, index, value.toDouble());
        break;
    default: {
        const QString s = value.toString();
        static const char16_t kEmpty[] = u"";
        const void* chars = s.isNull() ? static_cast<const void*>(kEmpty) : s.utf16();
        sqlite3_bind_text16(stmt_, index, chars, int(s.size() * sizeof(char16_t)),
                            SQLITE_TRANSIENT);
        break;
    }
    }
}

Statement::Step Statement::step() {
    if (!stmt_)
        return Step::Error;
    switch (sqlite3_step(stmt_)) {
    case SQLITE_ROW:
        return Step::Row;
    case SQLITE_DONE:
        return Step::Done;
    default:
        error_ = QString::fromUtf8(sqlite3_errmsg(db_));
        return Step::Error;
    }
}

void Statement::reset() {
    if (!stmt_)
        return;
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
}

bool Statement::isBusy() const {
    return stmt_ && sqlite3_stmt_busy(stmt_);
}

Statement& StatementCache::get(const QString& sql) {
    const auto found = statements_.find(sql);
    if (found != statements_.end()) {
        for (const std::unique_ptr<Statement>& statement : found->second) {
            if (!statement->isBusy()) {
                statement->reset();
                return *statement;
            }
        }
    }
    auto statement = std::make_unique<Statement>(db_, sql);
    if (!statement->isValid() || statement->hasTrailingText()) {
        invalid_ = std::move(statement);
        return *invalid_;
    }
    return *statements_[sql].emplace_back(std::move(statement));
}

int Statement::columnCount() const {
    return stmt_ ? sqlite3_column_count(stmt_) : 0;
}

QString Statement::columnName(int column) const {
    return QString::fromUtf8(sqlite3_column_name(stmt_, column));
}

QString Statement::columnDeclType(int column) const {
    const char* type = sqlite3_column_decltype(stmt_, column);
    return type ? QString::fromUtf8(type) : QString();
}

QVariant Statement::value(int column) const {
    switch (sqlite3_column_type(stmt_, column)) {
    case SQLITE_INTEGER:
        return QVariant(qlonglong(sqlite3_column_int64(stmt_, column)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(stmt_, column));
    case SQLITE_NULL:
        return QVariant();
    case SQLITE_BLOB:
        return QVariant(QByteArray(static_cast<const char*>(sqlite3_column_blob(stmt_, column)),
                                   sqlite3_column_bytes(stmt_, column)));
    default:
        // The file stores UTF-8: one conversion here instead of the
        // engine's own to UTF-16 and a copy.
        return QVariant(
            QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column)),
                              sqlite3_column_bytes(stmt_, column)));
    }
}

Statement::Field Statement::field(int column) const {
    // The value is found once and its parts read from it: each column call
    // would find it again, a fifth of the time a large list takes to read.
    // The connection is used by one thread at a time and has no mutex, so
    // reading the column's own value is as safe as the column calls.
    sqlite3_value* value = sqlite3_column_value(stmt_, column);
    Field f;
    switch (sqlite3_value_type(value)) {
    case SQLITE_INTEGER:
        f.type = Type::Integer;
        f.integer = sqlite3_value_int64(value);
        break;
    case SQLITE_FLOAT:
        f.type = Type::Real;
        f.real = sqlite3_value_double(value);
        break;
    case SQLITE_NULL:
        break;
    default:
        f.type = Type::Text;
        f.utf8 = reinterpret_cast<const char*>(sqlite3_value_text(value));
        f.size = sqlite3_value_bytes(value);
        break;
    }
    return f;
}

Transaction::Transaction(Database& db) : db_(db), outermost_(!db.inTransaction()) {
    static QAtomicInt counter;
    name_ = QStringLiteral("sp%1").arg(counter.fetchAndAddRelaxed(1));
    QString ignored;
    active_ = db_.exec(QStringLiteral("SAVEPOINT ") + name_, ignored);
}

Transaction::~Transaction() {
    rollback();
}

bool Transaction::commit(QString& error) {
    if (!active_) {
        error = QStringLiteral("No transaction is active.");
        return false;
    }
    if (!db_.exec(QStringLiteral("RELEASE ") + name_, error)) {
        rollback();
        return false;
    }
    active_ = false;
    return true;
}

void Transaction::rollback() {
    if (!active_)
        return;
    active_ = false;
    QString ignored;
    // ROLLBACK ends the engine's transaction even where RELEASE would fail
    // again (the commit that failed); it fails only when the engine has
    // ended the transaction already.
    if (outermost_)
        db_.exec(QStringLiteral("ROLLBACK"), ignored);
    else
        db_.exec(QStringLiteral("ROLLBACK TO ") + name_ + QStringLiteral("; RELEASE ") + name_,
                 ignored);
}

} // namespace sqlite
