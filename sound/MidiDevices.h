// The list of MIDI outputs as the Options page shows it and the setting DeviceIndex counts it:
// "MIDI Mapper" (index -1 of the setting) first, then every device in device order.
#pragma once

#include "platform/MidiOut.h"

#include <cstdint>

#include <string>
#include <vector>

inline constexpr const char* kMidiMapperName = "MIDI Mapper";

class CSettings;

// The list as the system offers the outputs now.
std::vector<std::string> MidiDeviceNames(IMidiOut& midiOut);

// The output chosen by name, found in arrNames (as MidiDeviceNames lists them).
struct SOutputByName
{
    int32_t nDeviceIndex = 0; // as the setting DeviceIndex counts
    std::string strLost;      // the name when no output has it any more; empty otherwise
};
// nDeviceIndex when the output there is named strName, else the first output so named; none:
// the built-in synthesizer (or "MIDI Mapper", which reaches it, where it is not listed) and
// strLost. No name (older settings): nDeviceIndex, whatever it is.
SOutputByName FindOutputByName(const std::vector<std::string>& arrNames, int32_t nDeviceIndex,
                               const std::string& strName);
// The settings' DeviceIndex moved to where their DeviceName is now listed (in memory only: it
// is stored with the next save). DeviceName stays, so that a lost output is found again once it
// is back; gives the name of a lost output, or an empty text.
std::string FollowDeviceName(CSettings& settings, const std::vector<std::string>& arrNames);
