#pragma once

#include <QRandomGenerator>
#include <QString>

// The process-wide start and end: the connector and the random source.

// Creates gConnector on `databasePath` (the default file when empty) and
// seeds the song random source from the clock. Returns true.
bool mdlMain_Init(const QString& databasePath = QString());
// Releases gConnector, closing the database. Returns true.
bool mdlMain_Term();

// The random source of song selection; seeded by mdlMain_Init, and by
// tests for a known sequence.
QRandomGenerator& songRandom();
void seedSongRandom(quint32 seed);
