// What the whole program plays through: one set of MIDI outputs, so that the playlist's player
// and the live window sound on one built-in synthesizer, and one clock to keep time with.
#pragma once

#include "platform/Clock.h"
#include "platform/MediaCommands.h"
#include "platform/MidiOut.h"

#include <memory>

// The program's own outputs (made on first use) unless others are installed.
IMidiOut& ProgramMidiOut();
IClock& ProgramClock();
// Tests install their doubles here; null puts the program's own back. The caller keeps
// ownership and keeps them alive while installed.
void SetProgramOutputs(IMidiOut* pMidiOut, IClock* pClock);

// A media-command interpreter whose MIDI files play on ProgramMidiOut(), looked up when the
// first MIDI file plays, and whose WAV files go into the one audio stream.
std::unique_ptr<IMediaCommands> MakeProgramMediaCommands();
