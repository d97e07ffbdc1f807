// What the media devices of the programs play through.
#pragma once

#include "sound/MediaDevice.h"

// The program's own: the SDL2 stream, the system's MIDI outputs with the built-in synthesizer,
// the steady clock, WAV files read with libsndfile.
SMediaBackends RealMediaBackends();
