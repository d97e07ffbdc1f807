// tonegrove-cli render: a project into a WAV file (44100 Hz, 16-bit stereo) through the
// built-in synthesizer, offline and faster than real time; long projects show a progress bar.
#pragma once

#include <string>

// strSoundFont empty: the SoundFont the built-in synthesizer would load. Exit code: 0 written,
// 1 a file or the SoundFont could not be used, 2 the project is damaged or from a future version.
int RunRender(const std::string& strPath, const std::string& strOut, const std::string& strSoundFont);
