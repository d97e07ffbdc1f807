// The MIDI outputs of the program with its window: the same as the command-line program's, but a
// SoundFont the built-in synthesizer cannot load is said to the user in a message box.
#pragma once

#include "platform/AudioOut.h"
#include "platform/MidiOut.h"
#include "platform/Synthesizer.h"

#include <memory>
#include <string>

class CSettings;
class IPrompter;

// The message's text: which SoundFont could not be loaded, why, and what plays instead.
std::string SoundFontFallbackText(const SSoundFontFallback& fallback);

// The system's outputs, the SoundFont chosen as the settings and the environment say. A SoundFont
// that cannot be loaded is told through prompter, once for each choice, without waiting for the
// user: the synthesizer is made on whichever thread first opens it, with the outputs locked.
// settings: where the SoundFont is chosen; it and prompter must outlive the outputs.
// fAudioOut: the program's one audio stream.
std::unique_ptr<IMidiOut> MakeWindowMidiOut(IPrompter& prompter, const CSettings& settings,
                                            FAudioOutFactory fAudioOut);
