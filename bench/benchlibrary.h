#pragma once

#include <QElapsedTimer>

class ADO_Connector;

// What the benchmarks share: a large library and the way figures are shown.

// Adds `songs` songs with random titles, paths, genres, artists, flags,
// volumes and counts (40 genres, 2,000 artists), in one bulk write, and
// shows every column.
void buildLibrary(ADO_Connector& db, int songs);

double ms(const QElapsedTimer& timer);

// One figure beside its target.
void report(const char* what, double value, const char* unit, const char* target);
