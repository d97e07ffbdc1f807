// The list of MIDI outputs as the Options page shows it and the setting DeviceIndex counts it:
// "MIDI Mapper" (index -1 of the setting) first, then every device in device order.
#pragma once

#include "platform/MidiOut.h"

#include <string>
#include <vector>

inline constexpr const char* kMidiMapperName = "MIDI Mapper";

// The list as the system offers the outputs now.
std::vector<std::string> MidiDeviceNames(IMidiOut& midiOut);
