// Which SoundFont the built-in synthesizer loads: the file the environment value
// TONEGROVE_SOUNDFONT names, else the user's setting "SoundFont", else the system's General MIDI
// SoundFont.
#pragma once

#include <string>

class CSettings;

inline constexpr const char* kSoundFontEnv = "TONEGROVE_SOUNDFONT";
inline constexpr const char* kSoundFontSetting = "SoundFont";

// May be called from any thread: it only reads the store the settings live in.
std::string ChooseSoundFont(const CSettings& settings);
