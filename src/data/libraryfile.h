#pragma once

#include <QString>

namespace sqlite {
class Database;
} // namespace sqlite

// Finding and opening the library file so that it is never replaced by an
// empty one, never changed before it is known to be ours, and never used
// when it is damaged or cannot be written.
namespace libraryfile {

// DataBase/MelodaraPlayer.db below `programFolder`, or below `userFolder`.
// A library that exists is always the one used (the program's first); a new
// one goes below the program's folder when that can be written.
QString choosePath(const QString& programFolder, const QString& userFolder);

// Opens the library at `path` into `db`. A missing or empty file becomes a
// new library. Anything else is checked before it is touched: a file that
// cannot be written, is not a library, is of a newer format or is damaged
// is closed unchanged, with the reason in `error`.
bool open(sqlite::Database& db, const QString& path, QString& error);

} // namespace libraryfile
