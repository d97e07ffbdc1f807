// The real backends of this system put together as the programs play through them: the MIDI
// outputs with FluidSynth as the built-in synthesizer on the SDL2 stream and RtMidi's ports.
#pragma once

#include "platform/AudioOut.h"
#include "platform/MidiOut.h"
#include "platform/fluidsynth/FluidSynth.h"

#include <functional>
#include <memory>
#include <string>

// The real outputs: FluidSynth with the SoundFont fSoundFont names when device 0 opens (the
// system's General MIDI SoundFont when that one cannot be loaded), playing into the stream
// fAudioOut gives (the program's one stream: CSharedSdlAudioOut), RtMidi's ALSA ports. fTell
// hears of a SoundFont that could not be loaded, once for each choice that fails, on the thread
// that opens device 0 and while the outputs are locked: it must not wait for anything. By
// default it writes to standard error.
std::unique_ptr<IMidiOut> MakeSystemMidiOut(FAudioOutFactory fAudioOut,
                                            std::function<std::string()> fSoundFont,
                                            FSoundFontTell fTell = {});
