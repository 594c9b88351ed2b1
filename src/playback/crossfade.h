#pragma once

#include "songlist/displaysettings.h"

// The overlap of one song's end with the next song's start: the next song
// starts `seconds()` before the playing one ends, at most half of either
// song, and the two fade linearly in amplitude over the overlap. 0 seconds
// is no overlap: each song plays to its end before the next is opened.
//
// It also keeps the fade under way: begun at the handover (the end of the
// outgoing song as far as counting and commands go), timed from the
// incoming song's start, and ended by its own end or by any command.
class Crossfade {
public:
    static constexpr int kMaxSeconds = displaysettings::kMaxCrossfade;

    // The setting, clamped to 0 to kMaxSeconds.
    void setSeconds(int seconds);
    int seconds() const { return seconds_; }

    // Seconds into a song of `length` at which the next one takes over;
    // negative (never) when off or the length is unknown (0).
    double handoverAt(double length) const;
    // Whether a song of `length` at `position` seconds is due to hand over.
    bool due(double position, double length) const;
    // Seconds both songs sound: the setting, at most half of either song
    // (of the first alone when the second's length is unknown, 0).
    double overlap(double first, double second) const;

    // Amplitudes of the outgoing and the incoming song `elapsed` seconds
    // into a fade of `overlap` seconds: linear, 1 to 0 and 0 to 1.
    struct Gains {
        double out;
        double in;
        bool operator==(const Gains&) const = default;
    };
    static Gains gains(double elapsed, double overlap);
    // A volume in hundredths of a decibel with its amplitude scaled by
    // `gain` (0 to 1); silence (-10000) stays the floor.
    static int faded(int hundredthsOfDb, double gain);

    // The fade under way, if any.
    enum class Phase {
        None,    // one song plays alone
        Handing, // the outgoing song plays on while the incoming one opens
        Fading,  // both play; the clock runs from the incoming song's start
    };
    Phase phase() const { return phase_; }
    bool active() const { return phase_ != Phase::None; }
    // The handover: the outgoing song of `outgoing` seconds plays on.
    void handOver(double outgoing);
    // The incoming song of `incoming` seconds started; the overlap they
    // share from now.
    double started(double incoming);
    double currentOverlap() const { return overlap_; }
    // The gains at `elapsed` seconds since started(); full outgoing and
    // silent incoming while handing.
    Gains at(double elapsed) const;
    // Whether the fade has run its course at `elapsed`.
    bool done(double elapsed) const { return phase_ == Phase::Fading && elapsed >= overlap_; }
    // Ends the fade: its end, a command or the outgoing song's own end.
    // The outgoing song is silenced, the incoming one is at full level.
    void end();

private:
    int seconds_ = 0;
    Phase phase_ = Phase::None;
    double outgoing_ = 0;
    double overlap_ = 0;
};
