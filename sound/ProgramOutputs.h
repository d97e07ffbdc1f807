// What the whole program plays through: one set of MIDI outputs, so that the playlist's player
// and the live window sound on one built-in synthesizer, and one clock to keep time with.
#pragma once

#include "platform/Clock.h"
#include "platform/MidiOut.h"

// The program's own outputs (made on first use) unless others are installed.
IMidiOut& ProgramMidiOut();
IClock& ProgramClock();
// Tests install their doubles here; null puts the program's own back. The caller keeps
// ownership and keeps them alive while installed.
void SetProgramOutputs(IMidiOut* pMidiOut, IClock* pClock);
