#pragma once

#include <QString>

// The process-wide start and end: the connector, and the seed of the
// random source.

// Creates gConnector on `databasePath` (the default file when empty) and
// seeds the song random source from the clock. Returns true.
bool mdlMain_Init(const QString& databasePath = QString());
// Releases gConnector, closing the database. Returns true.
bool mdlMain_Term();
