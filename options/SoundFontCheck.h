// Whether a file may become the built-in synthesizer's SoundFont. The synthesizer reads its
// SoundFont only when it starts and offers no way to try one beforehand, so the Options page
// checks the file itself before it stores the choice.
#pragma once

#include <string>

// True for a regular, readable file that begins as every SoundFont 2 file does: a RIFF form of
// type "sfbk".
bool IsSoundFontFile(const std::string& strPath);
