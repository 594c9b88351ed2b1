#include "playback/playstate.h"

int gPlayState = kStopped;
