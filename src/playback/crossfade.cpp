#include "playback/crossfade.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr int kSilent = -10000;
}

void Crossfade::setSeconds(int seconds) {
    seconds_ = std::clamp(seconds, 0, kMaxSeconds);
}

double Crossfade::handoverAt(double length) const {
    if (seconds_ == 0 || length <= 0)
        return -1;
    return length - std::min(double(seconds_), length / 2);
}

bool Crossfade::due(double position, double length) const {
    const double at = handoverAt(length);
    return at >= 0 && position >= at;
}

double Crossfade::overlap(double first, double second) const {
    if (first <= 0)
        return 0;
    // An incoming song of unknown length bounds nothing.
    const double shorter = second > 0 ? std::min(first, second) : first;
    return std::min(double(seconds_), shorter / 2);
}

Crossfade::Gains Crossfade::gains(double elapsed, double overlap) {
    if (overlap <= 0)
        return {0, 1};
    const double in = std::clamp(elapsed / overlap, 0.0, 1.0);
    return {1 - in, in};
}

int Crossfade::faded(int hundredthsOfDb, double gain) {
    if (gain >= 1)
        return hundredthsOfDb;
    if (gain <= 0 || hundredthsOfDb <= kSilent)
        return kSilent;
    // Amplitude is 10^(v / 2000): scaling it by g adds 2000 log10(g).
    return std::max(kSilent, int(std::lround(hundredthsOfDb + 2000 * std::log10(gain))));
}

void Crossfade::handOver(double outgoing) {
    phase_ = Phase::Handing;
    outgoing_ = outgoing;
    overlap_ = 0;
}

double Crossfade::started(double incoming) {
    phase_ = Phase::Fading;
    overlap_ = overlap(outgoing_, incoming);
    return overlap_;
}

Crossfade::Gains Crossfade::at(double elapsed) const {
    switch (phase_) {
    case Phase::Handing:
        return {1, 0};
    case Phase::Fading:
        return gains(elapsed, overlap_);
    case Phase::None:
        break;
    }
    return {0, 1};
}

void Crossfade::end() {
    phase_ = Phase::None;
    outgoing_ = 0;
    overlap_ = 0;
}
