#pragma once

#include <QString>
#include <QVariant>

#include <memory>
#include <unordered_map>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

// Thin RAII layer over the SQLite C API, used only by the connector.
namespace sqlite {

// One open database file. Errors are reported as the engine's message.
class Database {
public:
    Database() = default;
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    // Opens `path`; with `create` a missing file is created; `readOnly`
    // opens it for reading only.
    bool open(const QString& path, bool create, QString& error, bool readOnly = false);
    void close();
    bool isOpen() const { return db_ != nullptr; }
    sqlite3* handle() const { return db_; }

    // Runs statements without results (schema, pragmas).
    bool exec(const QString& sql, QString& error);
    QString lastError() const;

    // False once the engine has ended the transaction of its own accord
    // (a full disk, a trigger's ROLLBACK) or when none was begun.
    bool inTransaction() const;
    // The engine opened the file for reading only (it may not be written).
    bool isReadOnly() const;

private:
    sqlite3* db_ = nullptr;
};

// One prepared statement. Values are always bound, never spliced.
class Statement {
public:
    Statement(const Database& db, const QString& sql);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    bool isValid() const { return stmt_ != nullptr; }
    // True when text followed the first statement (more than one statement).
    bool hasTrailingText() const { return trailing_; }
    const QString& error() const { return error_; }

    // Binds 1-based parameter `index`: null, integer, real, bool or text.
    // A null QString binds as empty text, so text columns never get Null.
    void bind(int index, const QVariant& value);

    enum class Step { Row, Done, Error };
    Step step();
    // Makes the statement ready to run again, with no values bound.
    void reset();
    // Stepped but not yet run to its end or reset: a row walk is using it.
    bool isBusy() const;

    int columnCount() const;
    QString columnName(int column) const;
    QString columnDeclType(int column) const;
    QVariant value(int column) const;
    // The column of the current row without building a QVariant; text is
    // valid until the next step.
    enum class Type { Null, Integer, Real, Text };
    struct Field {
        Type type = Type::Null;
        qint64 integer = 0;
        double real = 0;
        const char* utf8 = nullptr; // blobs read as their bytes
        int size = 0;               // of utf8, in bytes
    };
    Field field(int column) const;

private:
    sqlite3* db_;
    sqlite3_stmt* stmt_ = nullptr;
    bool trailing_ = false;
    QString error_;
};

// Prepared statements kept by their SQL text, so a statement run many
// times (a bulk import) is compiled once.
class StatementCache {
public:
    explicit StatementCache(const Database& db) : db_(db) {}
    // The statement for `sql`, reset and unbound; compiled on first use.
    // A statement still walking its rows is never handed out again: a read
    // nested in that walk gets a copy of its own. Invalid statements are
    // returned but not kept.
    Statement& get(const QString& sql);
    void clear() { statements_.clear(); }

private:
    const Database& db_;
    // Nearly always one statement per text; more only while reads nest.
    std::unordered_map<QString, std::vector<std::unique_ptr<Statement>>> statements_;
    std::unique_ptr<Statement> invalid_;
};

// Groups writes so they apply together or not at all. Savepoints nest, so
// a bulk write can hold many requests that each use their own guard. The
// outermost guard ends the engine's transaction: when its commit fails it
// rolls the whole transaction back, so a failed commit never leaves later
// writes inside a transaction that is never written. Callers check
// Database::inTransaction() afterwards all the same: a connection the
// engine would not let go of must be reopened.
class Transaction {
public:
    explicit Transaction(Database& db);
    ~Transaction(); // rolls back unless committed
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    bool isActive() const { return active_; }
    bool commit(QString& error);
    void rollback();

private:
    Database& db_;
    QString name_;
    bool outermost_;
    bool active_ = false;
};

} // namespace sqlite
