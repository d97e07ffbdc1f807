// Page "MIDI" of the Options dialog: the MIDI output device, the base note, and the SoundFont
// of the built-in synthesizer.
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
    // arrMidiDevices: the list the device choice offers, "MIDI Mapper" first (not copied: the
    // dialog keeps it).
    COptionsMidiPage(CSettings& settings, IPrompter& prompter, const std::vector<std::string>& arrMidiDevices,
                     QWidget* pParent = nullptr);

    // Controls from the settings in memory and the device list of the main window; the
    // SoundFont field from its stored value.
    void Fill();
    // DeviceIndex, DeviceName and BaseNote from the controls.
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
    QComboBox* m_pDevice = nullptr;
    QLineEdit* m_pBaseNote = nullptr;
    QLineEdit* m_pSoundFont = nullptr;
    QPushButton* m_pBrowse = nullptr;
    std::string m_strStoredSoundFont;
    int m_nFilledDevice = -1; // the device item Fill() selected
};
