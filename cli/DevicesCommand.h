// tonegrove-cli devices: the MIDI outputs, one name a line, exactly as the Options page lists
// them ("MIDI Mapper" first; the line number minus 2 is the value of the setting DeviceIndex).
#pragma once

#include "platform/MidiOut.h"

int RunDevices(const FMidiOutFactory& fMidiOut);
