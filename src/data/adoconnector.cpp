#include "data/adoconnector.h"

#include "base/messagepresenter.h"
#include "base/programfolders.h"
#include "data/libraryfile.h"
#include "data/requests.h"
#include "data/rowblocks.h"
#include "data/schema.h"
#include "data/sqlite.h"
#include "data/sqlquote.h"

#include <QCoreApplication>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QThread>

#include <cmath>
#include <functional>
#include <limits>
#include <thread>

ADO_Connector* gConnector = nullptr;

namespace {

const QString kConnectTitle = QStringLiteral("DB_Error");
const QString kRequestTitle = QStringLiteral("DBError");
const QString kNotConnected = QStringLiteral("The database is not open.");
const QString kBulkLost =
    QStringLiteral("An earlier write of this group failed and undid the whole group.");

thread_local bool tBusy = false; // this thread's last call found the connection held

// Appends the statement's current row to `rs`.
void appendRow(sqlite::Statement& query, Recordset& rs) {
    const int columns = rs.fieldCount();
    for (int c = 0; c < columns; ++c) {
        const sqlite::Statement::Field field = query.field(c);
        switch (field.type) {
        case sqlite::Statement::Type::Null:
            rs.appendNull();
            break;
        case sqlite::Statement::Type::Integer:
            rs.appendInteger(field.integer);
            break;
        case sqlite::Statement::Type::Real:
            rs.appendReal(field.real);
            break;
        case sqlite::Statement::Type::Text:
            rs.appendText(field.utf8, field.size);
            break;
        }
    }
}

// Steps every row into `rs`, or, with `eachRow`, one row at a time.
sqlite::Statement::Step stepHere(sqlite::Statement& query, Recordset& rs,
                                 const ADO_Connector::EachRow& eachRow) {
    sqlite::Statement::Step step;
    while ((step = query.step()) == sqlite::Statement::Step::Row) {
        appendRow(query, rs);
        if (eachRow) {
            rs.finishRows();
            eachRow(rs);
            rs.clearRows();
        }
    }
    return step;
}

// Steps the rows on a worker thread, in blocks of the columns of `rs`,
// while `eachRow` runs here on each of them as its block arrives. The
// statement's connection is the worker's until it ends: this thread
// holds the connection meanwhile and only hands rows to `eachRow`.
sqlite::Statement::Step stepAhead(sqlite::Statement& query, const Recordset& rs,
                                  const ADO_Connector::EachRow& eachRow) {
    RowBlocks blocks(rs);
    sqlite::Statement::Step step = sqlite::Statement::Step::Done;
    std::thread reader([&] {
        while (Recordset* block = blocks.empty()) {
            for (int n = 0; n < RowBlocks::kRowsPerBlock; ++n) {
                if ((step = query.step()) != sqlite::Statement::Step::Row)
                    break;
                appendRow(query, *block);
            }
            block->finishRows();
            blocks.fill(block);
            if (step != sqlite::Statement::Step::Row)
                break;
        }
        blocks.finish();
    });
    // The worker is stopped and waited for however this ends.
    const auto join = qScopeGuard([&] {
        blocks.stop();
        reader.join();
    });
    while (Recordset* block = blocks.next()) {
        for (; !block->Eof(); block->MoveNext())
            eachRow(*block);
        blocks.recycle(block);
    }
    return step;
}

bool onUserInterfaceThread() {
    const QCoreApplication* app = QCoreApplication::instance();
    return app && QThread::currentThread() == app->thread();
}

// A numeric parameter as the engine would read it; nothing when the text
// is not a decimal number, so it never lands as text in a number column.
std::optional<QVariant> number(const QString& text) {
    const QString t = text.trimmed();
    bool ok = false;
    const qlonglong i = t.toLongLong(&ok);
    if (ok)
        return QVariant(i);
    const double d = t.toDouble(&ok);
    if (ok && qIsFinite(d))
        return QVariant(d);
    return std::nullopt;
}

// A Long Integer column holds whole numbers within 32 bits; a fraction
// would be stored as one and a larger value read back wrapped, so either
// fails like text that is not a number.
std::optional<QVariant> longInteger(const QString& text) {
    const std::optional<QVariant> value = number(text);
    if (!value)
        return std::nullopt;
    const double d = value->toDouble();
    if (d != std::floor(d) || d < std::numeric_limits<qint32>::min() ||
        d > std::numeric_limits<qint32>::max())
        return std::nullopt;
    return QVariant(qlonglong(d));
}

std::optional<QVariant> flag(const QString& text) {
    const QString t = text.trimmed();
    if (t.compare(u"Yes", Qt::CaseInsensitive) == 0 || t.compare(u"True", Qt::CaseInsensitive) == 0)
        return QVariant(true);
    if (t.compare(u"No", Qt::CaseInsensitive) == 0 || t.compare(u"False", Qt::CaseInsensitive) == 0)
        return QVariant(false);
    return std::nullopt;
}

// The parameters of one statement as values to bind, or the reason why not.
bool bindValues(const requests::Statement& st, const QStringList& params, QList<QVariant>& out,
                QString& error) {
    for (const requests::Value& v : st.values) {
        if (v.param >= params.size()) {
            error = QStringLiteral("Parameter %1 is missing.").arg(v.param);
            return false;
        }
        const QString& text = params[v.param];
        std::optional<QVariant> value;
        switch (v.kind) {
        case requests::ValueKind::Text:
            value = QVariant(text);
            break;
        case requests::ValueKind::Number:
            value = number(text);
            break;
        case requests::ValueKind::Long:
            value = longInteger(text);
            break;
        case requests::ValueKind::Flag:
            value = flag(text);
            break;
        }
        if (!value) {
            error =
                QStringLiteral("Data type mismatch: \"%1\" is not a valid value for parameter %2.")
                    .arg(text)
                    .arg(v.param);
            return false;
        }
        out << *value;
    }
    return true;
}

// The SQL text of a statement; values stay out of it except a view name,
// which is quoted as an identifier.
QString sqlText(const requests::Statement& st, const QStringList& params) {
    switch (st.form) {
    case requests::Form::Action:
        return schema::actionQuery(st.sql);
    case requests::Form::ViewName:
        return st.sql.arg(sql::quoteName(params.value(0)));
    case requests::Form::CallerSql:
        return params.value(0);
    case requests::Form::Sql:
        break;
    }
    return st.sql;
}

} // namespace

class ADO_Connector::Hold {
public:
    explicit Hold(ADO_Connector& connector, int waitMs = kBusyWaitMs)
        : connector_(connector), held_(connector.acquire(waitMs)) {
        if (held_)
            connector_.reopenIfLost();
    }
    ~Hold() {
        if (held_)
            connector_.lock_.unlock();
    }
    Hold(const Hold&) = delete;
    Hold& operator=(const Hold&) = delete;
    explicit operator bool() const { return held_; }

private:
    ADO_Connector& connector_;
    bool held_;
};

bool ADO_Connector::acquire(int waitMs) {
    tBusy = false;
    if (!onUserInterfaceThread()) {
        lock_.lock();
        return true;
    }
    tBusy = !lock_.tryLock(waitMs);
    return !tBusy;
}

bool ADO_Connector::wasBusy() const {
    return tBusy;
}

ADO_Connector::ADO_Connector(const QString& path)
    : path_(path.isEmpty() ? defaultPath() : path), db_(std::make_unique<sqlite::Database>()),
      statements_(std::make_unique<sqlite::StatementCache>(*db_)) {
    adoConnect();
}

ADO_Connector::~ADO_Connector() {
    adoDisconnect();
}

bool ADO_Connector::isConnected() const {
    return db_->isOpen();
}

QString ADO_Connector::defaultPath() {
    // An installed program never keeps its library beside the executable,
    // even when it may write there (run as root).
    const programfolders::Folders folders = programfolders::current();
    return libraryfile::choosePath(
        folders.installed ? QString() : QCoreApplication::applicationDirPath(),
        QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
}

bool ADO_Connector::adoConnect() {
    QString error;
    if (libraryfile::open(*db_, path_, error))
        return true;
    msgbox::show(error, 0, kConnectTitle);
    return false;
}

bool ADO_Connector::adoDisconnect() {
    if (!db_->isOpen())
        return false;
    statements_->clear();
    reader_.reset();
    db_->close();
    return true;
}

sqlite::Database* ADO_Connector::reader() {
    if (!onUserInterfaceThread() || !db_->isOpen())
        return nullptr;
    if (!reader_) {
        reader_ = std::make_unique<sqlite::Database>();
        QString error;
        if (!reader_->open(path_, false, error, true)) {
            reader_.reset();
            return nullptr;
        }
    }
    return reader_.get();
}

void ADO_Connector::leaveTransaction() {
    if (!db_->isOpen() || !db_->inTransaction())
        return;
    qWarning("The library connection stayed inside a failed transaction; reopening it.");
    statements_->clear();
    db_->close();
    reopen_ = true;
    reopenIfLost();
}

void ADO_Connector::reopenIfLost() {
    if (!reopen_ || db_->isOpen())
        return;
    QString error;
    reopen_ = !libraryfile::open(*db_, path_, error);
    if (reopen_)
        qWarning("%s", qUtf8Printable(error));
}

bool ADO_Connector::fail(const QString& error) {
    msgbox::show(error, 0, kRequestTitle);
    return false;
}

bool ADO_Connector::adoGetData(int kind, Recordset& rs, const QString& param) {
    const requests::Statement* source = requests::read(kind);
    return !source || read(*source, {param}, rs, nullptr);
}

bool ADO_Connector::adoGetEachRow(int kind, const QString& param,
                                  const std::function<void(const Recordset& row)>& eachRow) {
    const requests::Statement* source = requests::read(kind);
    Recordset rs;
    return !source || read(*source, {param}, rs, eachRow);
}

bool ADO_Connector::adoGetEachRowAhead(int kind, const QString& param, const EachRow& eachRow) {
    const requests::Statement* source = requests::read(kind);
    Recordset rs;
    return !source || read(*source, {param}, rs, eachRow, Rows::Ahead);
}

bool ADO_Connector::adoGetColumn(int kind, const QString& column, QStringList& values,
                                 const QString& param) {
    values.clear();
    Recordset rs;
    if (!adoGetData(kind, rs, param))
        return false;
    for (; !rs.Eof(); rs.MoveNext())
        values << rs.text(column);
    return true;
}

int ADO_Connector::adoQueryRowCount(const QString& name) {
    // Stepping through the rows is about twice as fast as COUNT(*): a
    // query with ORDER BY ("ALL") is counted as a subquery that builds
    // every column of every row.
    const requests::Statement rows{
        requests::Form::Sql, QStringLiteral("SELECT 1 FROM ") + sql::quoteName(name), {}};
    Recordset rs;
    int count = 0;
    return read(rows, {}, rs, [&](const Recordset&) { ++count; }) ? count : -1;
}

bool ADO_Connector::adoGetQueryRow(const QString& name, int offset, Recordset& rs) {
    const requests::Statement row{requests::Form::Sql,
                                  QStringLiteral("SELECT * FROM ") + sql::quoteName(name) +
                                      QStringLiteral(" LIMIT 1 OFFSET ?"),
                                  {{0, requests::ValueKind::Number}}};
    return read(row, {QString::number(offset)}, rs, nullptr);
}

bool ADO_Connector::read(const requests::Statement& source, const QStringList& params,
                         Recordset& rs, const EachRow& eachRow, Rows rows) {
    rs.close();
    // While long work holds the connection, the window reads what is
    // committed through a read-only connection of its own, at once.
    const Hold hold(*this, 0);
    sqlite::Database* other = hold ? nullptr : reader();
    if (!hold && !other)
        return false;
    if (!db_->isOpen())
        return fail(kNotConnected);

    QString error;
    std::unique_ptr<sqlite::Statement> owned;
    sqlite::Statement* statement = prepare(source, params, owned, error, other);
    if (!statement)
        return fail(error);
    sqlite::Statement& query = *statement;

    const int columns = query.columnCount();
    QStringList names;
    QList<bool> yesNo;
    for (int c = 0; c < columns; ++c) {
        names << query.columnName(c);
        yesNo << (query.columnDeclType(c).compare(u"BOOLEAN", Qt::CaseInsensitive) == 0);
    }
    rs.reset(names, yesNo);
    const sqlite::Statement::Step step =
        rows == Rows::Ahead ? stepAhead(query, rs, eachRow) : stepHere(query, rs, eachRow);
    if (step == sqlite::Statement::Step::Error) {
        error = query.error();
        query.reset();
        rs.close();
        return fail(error);
    }
    query.reset();
    rs.finishRows();
    return true;
}

bool ADO_Connector::adoSetData(int kind, const QStringList& params) {
    const QList<requests::Statement>* statements = requests::write(kind);
    if (!statements)
        return true;
    const Hold hold(*this);
    if (!hold)
        return false;
    if (!db_->isOpen())
        return fail(kNotConnected);
    // Shown when it happened; outside the bulk write's transaction this
    // write would be committed on its own.
    if (bulkLost_)
        return false;

    QString error;
    {
        sqlite::Transaction transaction(*db_);
        bool ok = transaction.isActive();
        if (!ok)
            error = db_->lastError();
        for (qsizetype i = 0; ok && i < statements->size(); ++i)
            ok = run(statements->at(i), params, error);
        if (ok && transaction.commit(error))
            return true;
    }
    if (bulkWrites_ > 0 && !db_->inTransaction())
        bulkLost_ = true;
    if (bulkWrites_ == 0)
        leaveTransaction();
    // The box comes after the rollback, so nothing stays half-written
    // while it waits for the user.
    return fail(error);
}

sqlite::Statement* ADO_Connector::prepare(const requests::Statement& st, const QStringList& params,
                                          std::unique_ptr<sqlite::Statement>& owned, QString& error,
                                          sqlite::Database* other) {
    QList<QVariant> values;
    if (!bindValues(st, params, values, error))
        return nullptr;
    sqlite::Statement* statement;
    if (st.form == requests::Form::Sql && !other) {
        statement = &statements_->get(st.sql);
    } else {
        owned = std::make_unique<sqlite::Statement>(other ? *other : *db_, sqlText(st, params));
        statement = owned.get();
    }
    if (!statement->isValid()) {
        error = statement->error();
        return nullptr;
    }
    // A request runs one statement; text after it is refused, not run unseen.
    if (statement->hasTrailingText()) {
        error = QStringLiteral("Only one statement may be run at a time.");
        return nullptr;
    }
    if (st.form == requests::Form::Sql) {
        for (int i = 0; i < values.size(); ++i)
            statement->bind(i + 1, values[i]);
    }
    return statement;
}

bool ADO_Connector::run(const requests::Statement& st, const QStringList& params, QString& error) {
    std::unique_ptr<sqlite::Statement> owned;
    sqlite::Statement* statement = prepare(st, params, owned, error);
    if (!statement)
        return false;
    sqlite::Statement::Step step;
    while ((step = statement->step()) == sqlite::Statement::Step::Row) {
    }
    const bool ok = step != sqlite::Statement::Step::Error;
    if (!ok)
        error = statement->error();
    statement->reset();
    return ok;
}

bool ADO_Connector::adoxCreateQuery(const QString& sql, const QString& name, QString* error) {
    QString reason;
    const Hold hold(*this);
    if (!hold) {
        reason = QStringLiteral("ライブラリは別の処理に使われています。");
    } else if (!db_->isOpen()) {
        reason = kNotConnected;
    } else if (bulkLost_) {
        reason = kBulkLost;
    } else {
        sqlite::Statement statement(*db_, QStringLiteral("CREATE VIEW ") + sql::quoteName(name) +
                                              QStringLiteral(" AS ") + sql);
        if (!statement.isValid())
            reason = statement.error();
        else if (statement.hasTrailingText())
            reason = QStringLiteral("Only one statement may be run at a time.");
        else if (statement.step() == sqlite::Statement::Step::Error)
            reason = statement.error();
    }
    if (error)
        *error = reason;
    return reason.isEmpty();
}

bool ADO_Connector::queryExists(const QString& name) {
    const Hold hold(*this);
    if (!hold || !db_->isOpen())
        return false;
    sqlite::Statement& query = statements_->get(
        QStringLiteral("SELECT 1 FROM sqlite_master WHERE type = 'view' AND name = ?"));
    query.bind(1, name);
    const bool found = query.step() == sqlite::Statement::Step::Row;
    query.reset();
    return found;
}

ADO_Connector::BulkWrite::BulkWrite(ADO_Connector& connector)
    : connector_(connector), held_(connector.acquire(kBusyWaitMs)) {
    if (!held_)
        return;
    connector_.reopenIfLost();
    ++connector_.bulkWrites_;
    if (!connector_.db_->isOpen() || connector_.bulkLost_)
        return;
    transaction_ = std::make_unique<sqlite::Transaction>(*connector_.db_);
    if (!transaction_->isActive()) {
        connector_.bulkLost_ = true;
        msgbox::show(connector_.db_->lastError(), 0, kRequestTitle);
    }
}

ADO_Connector::BulkWrite::~BulkWrite() {
    if (!held_)
        return;
    transaction_.reset();
    if (--connector_.bulkWrites_ == 0) {
        connector_.bulkLost_ = false;
        connector_.leaveTransaction();
    }
    connector_.lock_.unlock();
}

bool ADO_Connector::BulkWrite::commit() {
    // The failure that undid the group has been shown already.
    if (!held_ || connector_.bulkLost_)
        return false;
    QString error;
    if (!transaction_ || !transaction_->commit(error)) {
        if (!error.isEmpty())
            msgbox::show(error, 0, kRequestTitle);
        return false;
    }
    return true;
}
