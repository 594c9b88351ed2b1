#pragma once

// "testgate", an element for the player's sink descriptions in tests. It
// holds the first buffer it is given (the one its pipeline prerolls on)
// until that pipeline is shut down, as a stream whose start is lost: the
// first open through it stalls every time, and later pipelines pass.
// "holds=N" does so to the first N pipelines that reach it. It
// also tells when an end of stream has gone through it to the sink: the
// pipeline's end is then on the bus, already handed to the player.
namespace testgate {

// Makes the element known to GStreamer; once is enough.
void registerElement();

// How many ends of stream have gone through the gates so far.
int ends();
// Waits, without running any event loop, until ends() reaches `count`.
// False on time-out.
bool waitForEnds(int count, int timeoutMs);

} // namespace testgate
