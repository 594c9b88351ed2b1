#pragma once

#include <QString>
#include <QStringList>

// The database layout: tables, fixed rows and stored queries of a new
// database file, and the action queries run by name.
namespace schema {

// Stamped into PRAGMA user_version; raise it with a migration step.
inline constexpr int kVersion = 1;

// The statements that create a complete new database, in order.
QStringList creationStatements();

// Tables a usable database must have.
QStringList requiredTables();

// The SQL of a stored action query, or the empty text when `name` is none.
QString actionQuery(const QString& name);

// The song columns every set-list query returns (a SELECT list), and the
// songs joined to their lookup tables (what follows FROM); a set-list query
// is the two plus its own WHERE.
QString songColumns();
QString songSource();

// The stored query of a set list: "Q_SetList_" + its name.
QString setListQuery(const QString& setListName);

} // namespace schema
