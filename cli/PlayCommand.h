// tonegrove-cli play: plays a project or a MID file in real time on a MIDI output, or a WAV file
// on the audio stream, showing position and length; Ctrl+C stops it with every note switched off.
#pragma once

#include "platform/AudioOut.h"
#include "platform/Clock.h"
#include "platform/MidiOut.h"

#include <optional>

class CSettings;
class IPrompter;
#include <string>

// nDevice: as the setting DeviceIndex counts (-1 "MIDI Mapper", 0 the built-in synthesizer);
// without it the user's setting decides. Exit code: 0 played, 1 bad arguments or file, or the
// MIDI output could not be opened (the project ran its course without sound), 2 the project is
// damaged or from a future version, 130 stopped by Ctrl+C, 143 by SIGTERM. A WAV or MID file
// that cannot be opened or played gives 1 after the media player's error.
// settings: the user's DeviceIndex, loaded when the command starts; prompter: what cannot be
// played.
int RunPlay(const std::string& strPath, std::optional<int> nDevice, CSettings& settings, IPrompter& prompter,
            const FMidiOutFactory& fMidiOut, const FClockFactory& fClock, const FAudioOutFactory& fAudioOut);
