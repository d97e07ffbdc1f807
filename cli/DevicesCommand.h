// tonegrove-cli devices: the MIDI outputs as the Options page lists them, one a line, each after
// its number as the setting DeviceIndex and "play --device" count it ("-1 MIDI Mapper" first).
#pragma once

#include "platform/MidiOut.h"

int RunDevices(const FMidiOutFactory& fMidiOut);
