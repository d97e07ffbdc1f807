// The keys that sound the live window's oscillator: by DirectInput key code, Left Shift for the
// base frequency itself and one key per voice of the voice table, in the order they are added.
#pragma once

#include "sound/Oscillator.h"

#include <array>
#include <cstdint>
#include <vector>

inline constexpr int kBaseFrequencyVoice = -1;

struct SOscillatorKey
{
    uint8_t nDik; // DirectInput key code
    int nVoice;   // voice 0 to 45, or kBaseFrequencyVoice
};

inline constexpr int kOscillatorKeys = kVoiceCount + 1;
// Left Shift first, then voices 0 to 45. Voice 44 answers to the colon key code (0x92), which
// the main key block's full stop does not give.
const std::array<SOscillatorKey, kOscillatorKeys>& OscillatorKeys();

// The voices of the table whose keys are down (nonzero bytes of keyState); Left Shift is none.
VoiceMask HeldVoices(const std::array<uint8_t, 256>& keyState);
// What sounds for these keys: one ratio of the base frequency per key down, in the order of the
// keys, 1 for Left Shift.
std::vector<double> HeldRatios(const std::array<uint8_t, 256>& keyState, const VoiceRatioTable& ratios);
