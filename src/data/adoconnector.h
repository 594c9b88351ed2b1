#pragma once

#include "data/recordset.h"
#include "data/requests.h"

#include <QRecursiveMutex>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

namespace requests {
struct Statement;
} // namespace requests
namespace sqlite {
class Database;
class Statement;
class StatementCache;
class Transaction;
} // namespace sqlite

// The one connection to the library database. Reads and writes are
// numbered requests; nothing else in the program touches the database.
class ADO_Connector {
public:
    // Opens `path`, or the default database file when it is empty; a
    // missing file is created with its tables, fixed rows and queries.
    explicit ADO_Connector(const QString& path = QString());
    ~ADO_Connector();
    ADO_Connector(const ADO_Connector&) = delete;
    ADO_Connector& operator=(const ADO_Connector&) = delete;

    // Opens the rows of read `kind` (1 to 20) into `rs`. Any other kind
    // opens nothing and succeeds. A failure shows "DBError", leaves `rs`
    // closed and returns false.
    bool adoGetData(int kind, Recordset& rs, const QString& param = QString());

    // Read `kind` one row at a time, for lists too large to copy twice:
    // `eachRow` sees a recordset holding only the current row, valid
    // during the call. Failures are reported as by adoGetData.
    using EachRow = std::function<void(const Recordset& row)>;
    bool adoGetEachRow(int kind, const QString& param, const EachRow& eachRow);
    // The same for the longest reads (a whole song list): the rows are
    // read on a worker thread, a block ahead, while `eachRow` handles the
    // ones read before, so the two overlap. `eachRow` must not use the
    // connector, whose connection the worker has meanwhile.
    bool adoGetEachRowAhead(int kind, const QString& param, const EachRow& eachRow);

    // Column `column` of every row of read `kind`, as text, into `values`
    // (emptied first). Failures are reported as by adoGetData.
    bool adoGetColumn(int kind, const QString& column, QStringList& values,
                      const QString& param = QString());

    // The number of rows of the stored query `name`, or -1 when it cannot
    // be read (shown as "DBError").
    int adoQueryRowCount(const QString& name);
    // Opens the row at `offset` (0 is the first) of the stored query `name`
    // into `rs`, in the order a full read gives: one row, or none past the
    // end. Failures are reported as by adoGetData. Reads one row of a large
    // query without reading the rows before it into memory.
    bool adoGetQueryRow(const QString& name, int offset, Recordset& rs);

    // Runs the statements of write `kind` (21 to 56) with `params`, all or
    // nothing. An unused kind touches nothing and succeeds. A failure shows
    // "DBError" and returns false.
    bool adoSetData(int kind, const QStringList& params);

    // Stores the SELECT `sql` as the query `name`. Shows no box: false,
    // with the engine's reason in `error` when given, if it cannot.
    bool adoxCreateQuery(const QString& sql, const QString& name, QString* error = nullptr);
    // Whether a stored query of this name exists.
    bool queryExists(const QString& name);

    // Long work may use the connector from a worker thread. One thread at
    // a time holds the connection: each call holds it to its end, and a
    // BulkWrite from construction to destruction, so no other thread's
    // write can join, break or be undone with its transaction. A worker
    // waits for its turn; the user-interface thread waits at most
    // kBusyWaitMs, then a write fails without a box and wasBusy() is true
    // on that thread until its next call (a play count, say, is written
    // again at the next tick instead), while a read goes on through a
    // read-only connection that sees what is committed.
    static constexpr int kBusyWaitMs = 200;
    bool wasBusy() const;

    bool isConnected() const;
    const QString& path() const { return path_; }

    // Runs many writes as one transaction: they are kept when commit() is
    // called and dropped when the guard ends without it. A write that fails
    // inside still undoes only itself, unless the engine ended the whole
    // transaction with it (a full disk, a trigger's ROLLBACK): then every
    // later write while the guard lives fails without a box, and commit()
    // fails, so nothing is ever committed piecemeal. The guard holds the
    // connection for its thread (see wasBusy): create and end it on the
    // same thread; on the user-interface thread, when long work holds the
    // connection, commit() fails without a box.
    class BulkWrite {
    public:
        explicit BulkWrite(ADO_Connector& connector);
        ~BulkWrite();
        BulkWrite(const BulkWrite&) = delete;
        BulkWrite& operator=(const BulkWrite&) = delete;
        bool commit();

    private:
        ADO_Connector& connector_;
        bool held_;
        std::unique_ptr<sqlite::Transaction> transaction_;
    };

    // The database file used when no path is given: DataBase/MelodaraPlayer.db
    // below the program's folder, or below the per-user data folder when a
    // library is there or none exists yet and the program's folder cannot
    // be written. An existing library is never passed over for a new one.
    // An installed program uses the per-user data folder alone.
    static QString defaultPath();

private:
    class Hold;
    // Takes the connection for this thread, the user-interface thread
    // waiting at most `waitMs`; false when busy (see wasBusy).
    bool acquire(int waitMs);
    bool adoConnect();
    bool adoDisconnect();
    // Reads every row into `rs`, or hands each to `eachRow` as it is read:
    // here, or stepped on a worker (Ahead).
    enum class Rows { Here, Ahead };
    bool read(const requests::Statement& source, const QStringList& params, Recordset& rs,
              const EachRow& eachRow, Rows rows = Rows::Here);
    // The statement of `st` with its values bound, or null and `error`.
    // Fixed SQL comes from the cache; other text is compiled into `owned`.
    // `other`, when given, is the connection to compile on instead.
    sqlite::Statement* prepare(const requests::Statement& st, const QStringList& params,
                               std::unique_ptr<sqlite::Statement>& owned, QString& error,
                               sqlite::Database* other = nullptr);
    // The user-interface thread's read-only connection, for reads while
    // long work holds the main one; null on other threads.
    sqlite::Database* reader();
    bool run(const requests::Statement& st, const QStringList& params, QString& error);
    bool fail(const QString& error);
    // After the outermost write has ended: a connection the engine left
    // inside a transaction is closed and opened again, so no later write
    // can report success without reaching the file.
    void leaveTransaction();
    // A connection closed that way which could not be opened again (the
    // disk still failing) is tried again as each later call begins; until
    // it opens, calls fail as unconnected.
    void reopenIfLost();

    QString path_;
    QRecursiveMutex lock_; // the thread using db_
    std::unique_ptr<sqlite::Database> db_;
    std::unique_ptr<sqlite::StatementCache> statements_;
    std::unique_ptr<sqlite::Database> reader_;
    int bulkWrites_ = 0;    // BulkWrite guards alive
    bool bulkLost_ = false; // the engine ended their transaction
    bool reopen_ = false;   // closed by leaveTransaction, not yet open again
};

// The connector of the running program; set at start-up, cleared on exit.
extern ADO_Connector* gConnector;
