// tonegrove-cli render: a project or a MID file into a WAV file (44100 Hz, 16-bit stereo) through
// the built-in synthesizer, offline and faster than real time; long ones show a progress bar.
#pragma once

#include <string>

class CSettings;
class IPrompter;

// strSoundFont empty: the SoundFont the built-in synthesizer would load (the system's General MIDI
// SoundFont when that cannot be loaded, and it says so). Exit code: 0 written, 1 a file or the
// SoundFont could not be used, 2 the project or MID file is damaged or from a future version,
// 130 or 143 stopped by Ctrl+C or SIGTERM (the file is finished with what was rendered).
// settings: the user's SoundFont when strSoundFont is empty; prompter: a damaged project.
int RunRender(const std::string& strPath, const std::string& strOut, const std::string& strSoundFont,
              const CSettings& settings, IPrompter& prompter);
