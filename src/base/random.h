#pragma once

#include <QRandomGenerator>

// The random source of song selection: seeded from the clock at start-up,
// and by tests for a known sequence.
QRandomGenerator& songRandom();
void seedSongRandom(quint32 seed);
