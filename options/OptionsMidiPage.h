// Page "MIDI" of the Options dialog: the MIDI output device, the base note, the SoundFont of the
// built-in synthesizer, and the MIDI input the live window plays from.
#pragma once

#include <QWidget>

#include <optional>
#include <string>
#include <vector>

class CSettings;
class IPrompter;
class QComboBox;
class QLineEdit;
class QPushButton;

class COptionsMidiPage : public QWidget
{
  public:
    // arrMidiDevices: the list the device choice offers, "MIDI Mapper" first; arrMidiInputs:
    // the system's MIDI inputs (neither copied: the dialog keeps them).
    COptionsMidiPage(CSettings& settings, IPrompter& prompter, const std::vector<std::string>& arrMidiDevices,
                     const std::vector<std::string>& arrMidiInputs, QWidget* pParent = nullptr);

    // Controls from the settings in memory and the device list of the main window; the
    // SoundFont field from its stored value. The input list offers "Нет" and the inputs; a
    // chosen input that is not plugged in now is listed too, so that OK keeps it.
    void Fill();
    // DeviceIndex, DeviceName, BaseNote and MidiInName from the controls.
    void Store();

    // The SoundFont field may be stored: unchanged, empty, or a SoundFont file.
    bool IsSoundFontAcceptable() const;
    // Tells the user why the field's file is refused.
    void ShowSoundFontRefused() const;
    // The SoundFont value to write when the field differs from what is stored.
    std::optional<std::string> SoundFontToStore() const;
    // What SoundFontToStore() gave has been written.
    void SoundFontStored(const std::string& strPath) { m_strStoredSoundFont = strPath; }
    QLineEdit* SoundFontEdit() const { return m_pSoundFont; }

  private:
    void OnBrowse();
    std::string SoundFontPath() const;
    void ShowBadSoundFont(const std::string& strPath) const;

    CSettings& m_settings;
    IPrompter& m_prompter;
    const std::vector<std::string>& m_arrMidiDevices;
    const std::vector<std::string>& m_arrMidiInputs;
    QComboBox* m_pDevice = nullptr;
    QComboBox* m_pMidiIn = nullptr;
    QLineEdit* m_pBaseNote = nullptr;
    QLineEdit* m_pSoundFont = nullptr;
    QPushButton* m_pBrowse = nullptr;
    std::string m_strStoredSoundFont;
    int m_nFilledDevice = -1; // the device item Fill() selected
};
