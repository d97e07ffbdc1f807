// What the media devices of the programs play through.
#pragma once

#include "sound/MediaDevice.h"

#include <functional>
#include <string>

// The program's own: the stream fAudioOut gives (the program's one stream), the system's MIDI
// outputs with the built-in synthesizer, the steady clock, WAV files read with libsndfile.
// fSoundFont names the SoundFont the synthesizer loads (the user's choice); empty: the system's
// General MIDI SoundFont.
SMediaBackends RealMediaBackends(FAudioOutFactory fAudioOut, std::function<std::string()> fSoundFont = {});
