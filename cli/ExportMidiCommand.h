// tonegrove-cli export-midi: a project into a Standard MIDI File, every event at the time the
// player sends it, for any other program that plays or edits MIDI.
#pragma once

#include <string>

class IPrompter;

// Writes strOut whole or not at all (a temporary file renamed over it). Exit code: 0 written,
// 1 the project could not be read or the file not written (or it would have replaced the
// project itself), 2 the project is damaged or from a future version (said through prompter;
// nothing is written).
int RunExportMidi(const std::string& strPath, const std::string& strOut, IPrompter& prompter);
