// The Options dialog: three pages of settings, filled from the settings store when it opens and
// saved to it when the user presses OK. RunOptionsDialog is what the main window calls.
#pragma once

#include <QDialog>

#include <string>
#include <vector>

class CSettings;
class IPrompter;
class QPushButton;
class QTabWidget;
class COptionsGeneralPage;
class COptionsMidiPage;
class COptionsOscillatorPage;

class COptionsDlg : public QDialog
{
    Q_OBJECT

  public:
    // settings: what the pages show and OK saves. prompter: the SoundFont's file dialog and
    // its refusal. arrMidiDevices: the MIDI outputs as the main window listed them, "MIDI
    // Mapper" first. arrMidiInputs: the system's MIDI inputs now.
    COptionsDlg(CSettings& settings, IPrompter& prompter, std::vector<std::string> arrMidiDevices,
                std::vector<std::string> arrMidiInputs = {}, QWidget* pParent = nullptr);
    ~COptionsDlg() override;

    QTabWidget* Sheet() const { return m_pSheet; }

  public slots:
    // OK: the controls into the settings, ExtView written at once, then every setting saved.
    // Cancel and Esc close it through the base dialog: nothing is written.
    void accept() override;

  private:
    void OnInitDialog();

    CSettings& m_settings;
    IPrompter& m_prompter;
    std::vector<std::string> m_arrMidiDevices;
    std::vector<std::string> m_arrMidiInputs;
    QTabWidget* m_pSheet = nullptr;
    COptionsGeneralPage* m_pGeneralPage = nullptr;
    COptionsMidiPage* m_pMidiPage = nullptr;
    COptionsOscillatorPage* m_pOscillatorPage = nullptr;
    QPushButton* m_pOk = nullptr;
    QPushButton* m_pCancel = nullptr;
};

// Runs the Options dialog modally over pParent; the settings it saves are all its result.
void RunOptionsDialog(QWidget* pParent, CSettings& settings, IPrompter& prompter,
                      const std::vector<std::string>& arrMidiDevices,
                      const std::vector<std::string>& arrMidiInputs = {});
