#pragma once

#include <QList>
#include <QString>

// The numbered requests of the connector as parameterised SQL. Callers'
// values are never written into the text; each is bound as the kind it is.
namespace requests {

enum class ValueKind {
    Text,   // bound as written
    Number, // must read as a decimal number (a single-precision column)
    Long,   // must read as a whole number within 32 bits (a Long Integer column)
    Flag,   // "Yes"/"No" (or "True"/"False"), bound as 1/0
};

struct Value {
    int param; // index into the caller's parameters
    ValueKind kind;
};

enum class Form {
    Sql,       // `sql` with ? placeholders for `values`
    Action,    // `sql` is the name of a stored action query
    ViewName,  // parameter 0 names a stored query, written quoted at %1
    CallerSql, // parameter 0 is a complete statement of the caller's
};

struct Statement {
    Form form;
    QString sql;
    QList<Value> values;
};

// Writes beyond the catalogue of 21 to 56, for songs registered or
// re-read with the names their files' tags give.
// p0 path, p1 title, p2-p4 genre IDs, p5 artist ID.
constexpr int kInsertTaggedSong = 57;
// p0 title, p1-p3 genre IDs, p4 artist ID, p5 song ID; an empty title or a
// 0 ID leaves that column as it is.
constexpr int kUpdateTaggedSong = 58;
// A setting the first library did not have: p0 its name, p1 its value,
// its row made when missing.
constexpr int kWriteSetting = 59;
// Read: the value of the setting named p0 (no row when it was never set).
constexpr int kReadSetting = 60;

// The source of read kind 1 to 20; null for any other kind.
const Statement* read(int kind);

// The statements of write kind 21 to 58, in order; null for an unused or
// out-of-range kind.
const QList<Statement>* write(int kind);

} // namespace requests
