#pragma once

// A disk that fails on demand: an SQLite file layer installed as the
// default in front of the real one, passing everything through until
// failWrites() is given an error code. From then on every write and sync of
// every file (database, journal, WAL) fails with that code, as a full or
// failing disk would, until failWrites(0). Install once per test program;
// it stays installed for its life.
namespace faultydisk {

void install();
// An SQLite result code such as SQLITE_FULL or SQLITE_IOERR_WRITE; 0 heals.
void failWrites(int code);
// The next `count` ROLLBACKs that end a transaction, on any connection, are
// refused before they run (as statements the engine could not prepare),
// which leaves each connection inside its transaction.
void refuseRollbacks(int count);

} // namespace faultydisk
