#include "base/random.h"

namespace {
QRandomGenerator generator;
} // namespace

QRandomGenerator& songRandom() {
    return generator;
}

void seedSongRandom(quint32 seed) {
    generator.seed(seed);
}
