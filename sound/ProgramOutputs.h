// What the whole program plays its media files through: the media-command interpreter over the
// program's one MIDI output, so that the playlist's MID files, its projects and the live window
// sound on one built-in synthesizer.
#pragma once

#include "platform/AudioOut.h"
#include "platform/MediaCommands.h"
#include "platform/MidiOut.h"

#include <memory>

// A media-command interpreter whose MIDI files play on midiOut and whose WAV files go into the
// stream fAudioOut gives (the program's one stream). midiOut is not owned and must outlive the
// interpreter and every player that uses it.
std::unique_ptr<IMediaCommands> MakeProgramMediaCommands(IMidiOut& midiOut, FAudioOutFactory fAudioOut);
