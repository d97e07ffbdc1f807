// The user's settings: one process-wide variable per stored value, named after it, and the
// routines that move them between the registry store and memory.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/RegistryStore.h"

// The user's settings in memory, one member per stored value, named as the value is stored.
// main() makes the one object and hands it to whoever reads or writes a setting.
class CSettings
{
  public:
    float Frequency = 0;       // oscillator base frequency, Hz
    float Volume = 0;          // oscillator volume
    float Synth = 0;           // oscillator resonance factor
    int32_t DeviceIndex = 0;   // MIDI output: -1 the mapper, 0..n-1 the devices
    int32_t SynthMode = 0;     // oscillator formula: 0 "A", 1 "B"
    int32_t OscilatorMode = 0; // oscillator wave: 0 "Sin", 1 "Square"
    int32_t ProjectType = 1;   // version of new projects: 0 "0.0", 1 "0.1"
    bool AllPlay = false;      // play the whole playlist
    bool PrePause = false;     // wait 200 ms before a media file starts
    bool PlayNoEnd = false;    // start the playlist again after its last row
    int32_t BaseNote = 0;      // note number of the Options MIDI page
    int32_t MusicType = 0;     // live keyboard: 0 MIDI, 1 the oscillator
    bool ExtView = false;      // extended keyboard picture
};

extern float Frequency;       // oscillator base frequency, Hz
extern float Volume;          // oscillator volume
extern float Synth;           // oscillator resonance factor
extern int32_t DeviceIndex;   // MIDI output: -1 the mapper, 0..n-1 the devices
extern int32_t SynthMode;     // oscillator formula: 0 "A", 1 "B"
extern int32_t OscilatorMode; // oscillator wave: 0 "Sin", 1 "Square"
extern int32_t ProjectType;   // version of new projects: 0 "0.0", 1 "0.1"
extern bool AllPlay;          // play the whole playlist
extern bool PrePause;         // wait 200 ms before a media file starts
extern bool PlayNoEnd;        // start the playlist again after its last row
extern int32_t BaseNote;      // note number of the Options MIDI page
extern int32_t MusicType;     // live keyboard: 0 MIDI, 1 the oscillator
extern bool ExtView;          // extended keyboard picture

// The key every value lives under, in both roots.
inline constexpr const char* kSettingsKey = "Software\\Tonegrove";

// A settings folder that could not be written or a settings file that could not be read:
// said once, with the folder and the system's reason, however many values it concerned.
struct SSettingsProblem
{
    bool bWriting = true;
    std::string strFolder;
    int nError = 0;
    // The whole text of the message.
    std::string Text() const;
};
// Shows the problem as the settings store's one message box (no owner window).
void ShowSettingsProblem(const SSettingsProblem& problem);

// The value's text when it exists and is a text value (an expandable one is not expanded).
std::optional<std::string> ReadSettingText(ERoot eRoot, const std::string& strName);
// Stores a text value for the current user; a failure shows the settings problem message and
// gives false.
bool WriteSettingText(const std::string& strName, const std::string& strText);

void LoadSettings();
// Stores the twelve values in one write; a failure shows one message, not one per value.
void SaveSettings();
// The twelve values as SaveSettings stores them, name and text, in their order.
std::vector<std::pair<std::string, std::string>> SettingTexts();
// Stores these text values in one write, for one message however many of them fail: the
// Options dialog saves ExtView and the SoundFont with the twelve. False after the message.
bool SaveSettingTexts(const std::vector<std::pair<std::string, std::string>>& arrTexts);
// First run: the machine's values, then everything saved with the program's folder as the
// key's default value, which marks the first run as done. Shows nothing; gives the failure.
std::optional<SSettingsProblem> ImportSettings();
void LoadExtView();
// What the main window runs while it sets itself up: the import on the first run, ExtView,
// then the settings. A settings file that cannot be read or a folder that cannot be written is
// shown once, in one message, and the program goes on with the values in memory; the problem
// is also given back.
std::optional<SSettingsProblem> LoadSettingsAtStartup();
// Puts every variable back to its default (for tests and a fresh start).
void ResetSettingsToDefaults();
