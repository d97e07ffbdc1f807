#include "options/OptionsDlg.h"

#include "app/Settings.h"
#include "mainwnd/DialogUnits.h"
#include "options/OptionsControls.h"
#include "options/OptionsGeneralPage.h"
#include "options/OptionsIds.h"
#include "options/OptionsMidiPage.h"
#include "options/OptionsOscillatorPage.h"
#include "options/OptionsTexts.h"
#include "sound/MidiDevices.h"
#include "sound/SoundFontChoice.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>

namespace
{
const QSize kDialogSize(349, 209);
// The page area of a property sheet is inset from the dialog's corner; Qt's tab widget has no
// margin of its own, so the sheet is placed 4 units in, and ends above the buttons.
const QRect kSheetRect(4, 4, 341, 180);
const QRect kOkRect(237, 188, 50, 14);
const QRect kCancelRect(292, 188, 50, 14);

enum EPage
{
    General,
    Midi,
    Oscillator,
};
} // namespace

COptionsDlg::COptionsDlg(CSettings& settings, IPrompter& prompter, std::vector<std::string> arrMidiDevices,
                         std::vector<std::string> arrMidiInputs, QWidget* pParent)
    : QDialog(pParent), m_settings(settings), m_prompter(prompter),
      m_arrMidiDevices(std::move(arrMidiDevices)), m_arrMidiInputs(std::move(arrMidiInputs))
{
    setWindowTitle(OptText(OptTxt::kCaption));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setFont(DialogFont());
    setFixedSize(DialogUnitsToPixels(DialogFont(), QRect(QPoint(0, 0), kDialogSize)).size());

    m_pSheet = new QTabWidget(this);
    m_pSheet->setGeometry(DialogUnitsToPixels(DialogFont(), kSheetRect));
    m_pOk = new QPushButton(OptText(OptTxt::kOk), this);
    m_pOk->setDefault(true);
    PlaceControl(m_pOk, OptId::Ok, kOkRect);
    m_pCancel = new QPushButton(OptText(OptTxt::kCancel), this);
    PlaceControl(m_pCancel, OptId::Cancel, kCancelRect);
    connect(m_pOk, &QPushButton::clicked, this, &COptionsDlg::accept);
    connect(m_pCancel, &QPushButton::clicked, this, &COptionsDlg::reject);

    OnInitDialog();
}

COptionsDlg::~COptionsDlg() = default;

void COptionsDlg::OnInitDialog()
{
    m_pGeneralPage = new COptionsGeneralPage(m_settings);
    m_pMidiPage = new COptionsMidiPage(m_settings, m_prompter, m_arrMidiDevices, m_arrMidiInputs);
    m_pOscillatorPage = new COptionsOscillatorPage(m_settings);
    m_pSheet->addTab(m_pGeneralPage, OptText(OptTxt::kGeneralPage));
    m_pSheet->addTab(m_pMidiPage, OptText(OptTxt::kMidiPage));
    m_pSheet->addTab(m_pOscillatorPage, OptText(OptTxt::kOscillatorPage));

    // What is stored wins over what was changed in memory and never saved (the live play
    // window switches MusicType without saving it). ExtView is not part of this load.
    m_settings.Load();
    // The stored index may point at another output than the one chosen by name, as at start.
    FollowDeviceName(m_settings, m_arrMidiDevices);
    m_pGeneralPage->Fill();
    m_pSheet->setCurrentIndex(Midi);
    m_pMidiPage->Fill();
    m_pSheet->setCurrentIndex(Oscillator);
    m_pOscillatorPage->Fill();
    m_pSheet->setCurrentIndex(General);
}

void COptionsDlg::accept()
{
    // A SoundFont that cannot be loaded is refused before anything is written, and the user
    // stays in the dialog to choose another or clear the field.
    if (!m_pMidiPage->IsSoundFontAcceptable())
    {
        m_pSheet->setCurrentIndex(Midi);
        m_pMidiPage->SoundFontEdit()->setFocus();
        m_pMidiPage->ShowSoundFontRefused();
        return;
    }
    m_settings.ExtView = m_pGeneralPage->IsExtViewChecked();
    m_pGeneralPage->Store();
    m_pMidiPage->Store();
    m_pOscillatorPage->Store();
    // ExtView first, then the twelve and our own, then a changed SoundFont: one write, so that
    // a settings folder that cannot be written is said once, not once per value.
    std::vector<std::pair<std::string, std::string>> arrTexts = {
        {"ExtView", m_settings.ExtView ? "Yes" : "No"}};
    for (auto& text : m_settings.Texts())
        arrTexts.push_back(std::move(text));
    for (auto& text : m_settings.OwnTexts())
        arrTexts.push_back(std::move(text));
    const std::optional<std::string> strSoundFont = m_pMidiPage->SoundFontToStore();
    if (strSoundFont)
        arrTexts.emplace_back(kSoundFontSetting, *strSoundFont);
    if (m_settings.SaveTexts(arrTexts) && strSoundFont)
        m_pMidiPage->SoundFontStored(*strSoundFont);
    QDialog::accept();
}

void RunOptionsDialog(QWidget* pParent, CSettings& settings, IPrompter& prompter,
                      const std::vector<std::string>& arrMidiDevices,
                      const std::vector<std::string>& arrMidiInputs)
{
    COptionsDlg dlg(settings, prompter, arrMidiDevices, arrMidiInputs, pParent);
    dlg.exec();
}
