#pragma once

// The player state of the process: 0 stopped, 1 paused, 2 playing.
extern int gPlayState;

inline constexpr int kStopped = 0;
inline constexpr int kPaused = 1;
inline constexpr int kPlaying = 2;
