// Result codes of our media-command interpreter and their texts. The numbers are MCI's own,
// so that a code means here what it means to anyone who knows MCI.
#pragma once

#include <string>

namespace MciError
{
inline constexpr int kNone = 0;
inline constexpr int kUnrecognizedKeyword = 259;
inline constexpr int kUnrecognizedCommand = 261;
inline constexpr int kUnknownDevice = 263;    // no device is open under that name
inline constexpr int kMissingCommand = 267;   // the command text holds nothing
inline constexpr int kMissingArgument = 269;  // a keyword without the word it needs
inline constexpr int kBadInteger = 270;       // a number in the command is not one
inline constexpr int kMissingParameter = 273; // the command lacks a part it needs
inline constexpr int kFileNotFound = 275;
inline constexpr int kOutOfRange = 282;         // a position outside the file
inline constexpr int kDeviceTypeRequired = 287; // open without "type"
inline constexpr int kDuplicateAlias = 289;
inline constexpr int kBadTimeFormat = 293;
inline constexpr int kNoClosingQuote = 294;
inline constexpr int kInvalidFile = 296;           // not a file this device can play
inline constexpr int kDeviceNotInstalled = 306;    // a device type we do not have
inline constexpr int kWaveOutputsUnsuitable = 326; // no sound output could be started
inline constexpr int kSeqNoMidiPresent = 343;      // no MIDI output could be opened
inline constexpr int kFileRead = 348;
} // namespace MciError

// The text for a code, empty for an unknown one (as mciGetErrorString leaves its buffer).
std::string MciErrorText(int nCode);
