// The user's settings: one object with a member per stored value, named after it, and the
// routines that move them between the registry store and memory.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/Prompter.h"
#include "platform/RegistryStore.h"

// The key every value lives under, in both roots.
inline constexpr const char* kSettingsKey = "Software\\Tonegrove";
// Our own value beside the twelve: the MIDI input the live window plays from, by port name.
inline constexpr const char* kMidiInSetting = "MidiInName";

// A settings folder that could not be written or a settings file that could not be read:
// said once, with the folder and the system's reason, however many values it concerned.
struct SSettingsProblem
{
    bool bWriting = true;
    std::string strFolder;
    int nError = 0;
    // The whole text of the message, and the same in pieces (see SMessage).
    std::string Text() const { return JoinPieces(Pieces()); }
    TextPieces Pieces() const;
};

// The user's settings in memory, one member per stored value, named as the value is stored,
// over the store they are kept in. main() makes the one object and hands it to whoever reads
// or writes a setting; a change that is not saved stays in this object only.
class CSettings
{
  public:
    // store: where the values are read and written. prompter: where a settings folder that
    // cannot be written or read is said. Both are the caller's and must outlive the object.
    CSettings(IRegistryStore& store, IPrompter& prompter) : m_store(store), m_prompter(prompter) {}
    CSettings(const CSettings&) = delete;
    CSettings& operator=(const CSettings&) = delete;

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
    // The name of the MIDI output DeviceIndex chose, so that it is found again when the system
    // numbers its outputs otherwise; empty when none was stored (older settings).
    std::string DeviceName;
    std::string MidiInName; // MIDI input of the live window, by port name; empty: none

    // The store the values live in, for values of the program that are no settings of the
    // user (the list of recovery copies).
    IRegistryStore& Store() const { return m_store; }

    // Shows the problem as the settings store's one message box (no owner window).
    void ShowProblem(const SSettingsProblem& problem) const;

    // The value's text when it exists and is a text value (an expandable one is not expanded).
    std::optional<std::string> ReadText(ERoot eRoot, const std::string& strName) const;
    // Stores a text value for the current user; a failure shows the settings problem message
    // and gives false.
    bool WriteText(const std::string& strName, const std::string& strText) const;

    // The twelve values, DeviceName and MidiInName, each only when it is stored.
    void Load();
    // Stores the twelve values (and DeviceName when known) in one write; a failure shows one
    // message, not one per value.
    void Save() const;
    // The twelve values as Save stores them, name and text, in their order; then DeviceName
    // when there is one.
    std::vector<std::pair<std::string, std::string>> Texts() const;
    // The values of our own beside the twelve, name and text, for SaveTexts (the Options
    // dialog, where they are chosen, saves them with the twelve).
    std::vector<std::pair<std::string, std::string>> OwnTexts() const;
    // Stores these text values in one write, for one message however many of them fail: the
    // Options dialog saves ExtView and the SoundFont with the twelve. False after the message.
    bool SaveTexts(const std::vector<std::pair<std::string, std::string>>& arrTexts) const;
    // First run: the machine's values, then everything saved with the program's folder as the
    // key's default value, which marks the first run as done. Shows nothing; gives the failure.
    std::optional<SSettingsProblem> Import();
    void LoadExtView();
    // What the main window runs while it sets itself up: the import on the first run, ExtView,
    // then the settings. A settings file that cannot be read or a folder that cannot be
    // written is shown once, in one message, and the program goes on with the values in
    // memory; the problem is also given back.
    std::optional<SSettingsProblem> LoadAtStartup();

    // The iconv name of the machine's ANSI code page (see CodePageName in TextHelpers.h), read
    // from the store the first time it is asked for and kept for the object's life.
    const std::string& CodePage() const;

  private:
    SSettingsProblem Failure(int nError) const;
    std::optional<SSettingsProblem>
    StoreValues(const std::vector<std::pair<std::string, SRegValue>>& values) const;
    void LoadFrom(ERoot eRoot);

    IRegistryStore& m_store;
    IPrompter& m_prompter;
    mutable std::optional<std::string> m_strCodePage;
};
