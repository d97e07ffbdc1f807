// The numbers of the Options pages: the trackbar positions of the oscillator settings, the text
// of the resonance edit, and the item a stored list choice selects.
#pragma once

#include <cstdint>
#include <string>

// A setting as a trackbar position, its fraction dropped. A value no position can hold (not a
// number, beyond the integers) becomes 0 or the nearest integer; the trackbar clamps the rest.
int32_t TruncatedPosition(double dValue);

// Resonance (Synth) is shown in thousandths. The position is the nearest thousandth, not the
// fraction-dropped product: Synth is kept in single precision, so 0.7 is held as 0.69999998
// and a dropped fraction would lower the setting by a thousandth at every OK; for the same
// reason the edit's "1.001" (1000.9999... thousandths) would pull the thumb back from 1001.
int32_t SynthToPosition(double dSynth);
double PositionToSynth(int32_t nPosition);
// The edit's text for a position: the quotient as the program's number text ("1.5", "2").
std::string SynthPositionText(int32_t nPosition);
// The position for the edit's text; text that is not a number reads as 0.
int32_t SynthTextToPosition(const std::string& strText);

// The item a stored choice selects in a list of nCount items: the choice itself when the list
// has it, else the nearest item, so that OK stores a choice the players understand. -1 when
// the list is empty.
int NearestItem(int32_t nChoice, int nCount);
// The item of the device list for DeviceIndex: DeviceIndex + 1 when the device is listed, else
// item 0, "MIDI Mapper", which always reaches a device. -1 when the list is empty.
int DeviceItem(int32_t nDeviceIndex, int nCount);
