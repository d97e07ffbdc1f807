#include "options/OptionsMidiPage.h"

#include "app/Settings.h"
#include "app/TextHelpers.h"
#include "mainwnd/DialogUnits.h"
#include "options/OptionsControls.h"
#include "options/OptionsIds.h"
#include "options/OptionsTexts.h"
#include "options/OptionsValues.h"
#include "options/SoundFontCheck.h"
#include "platform/Prompter.h"
#include "platform/Synthesizer.h"
#include "sound/SoundFontChoice.h"

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace
{
// Paths are the system's bytes; the field shows them as the system names them.
QString PathText(const std::string& strPath)
{
    return QFile::decodeName(QByteArray::fromStdString(strPath));
}
} // namespace

COptionsMidiPage::COptionsMidiPage(CSettings& settings, IPrompter& prompter,
                                   const std::vector<std::string>& arrMidiDevices,
                                   const std::vector<std::string>& arrMidiInputs, QWidget* pParent)
    : QWidget(pParent), m_settings(settings), m_prompter(prompter), m_arrMidiDevices(arrMidiDevices),
      m_arrMidiInputs(arrMidiInputs)
{
    setFont(DialogFont());
    MakeGroup(this, OptId::DeviceGroup, {9, 7, 224, 34}, OptTxt::kDeviceGroup);
    MakeGroup(this, OptId::OtherMidiGroup, {12, 47, 222, 36}, OptTxt::kOtherMidiGroup);
    MakeGroup(this, OptId::SynthGroup, {12, 89, 222, 46}, OptTxt::kSynthGroup);

    m_pDevice = new QComboBox(this);
    PlaceControl(m_pDevice, OptId::Device, {15, 19, 208, 13});
    auto* pBaseNoteLabel = new QLabel(OptText(OptTxt::kBaseNote), this);
    pBaseNoteLabel->setAlignment(Qt::AlignRight | Qt::AlignTop);
    PlaceControl(pBaseNoteLabel, OptId::BaseNoteLabel, {19, 60, 65, 11});
    m_pBaseNote = new QLineEdit(this);
    PlaceControl(m_pBaseNote, OptId::BaseNote, {89, 58, 73, 12});

    PlaceControl(new QLabel(OptText(OptTxt::kSoundFont), this), OptId::SoundFontLabel, {19, 101, 150, 8});
    m_pSoundFont = new QLineEdit(this);
    m_pSoundFont->setPlaceholderText(OptText(OptTxt::kSoundFontEmpty));
    PlaceControl(m_pSoundFont, OptId::SoundFont, {19, 113, 150, 12});
    m_pBrowse = new QPushButton(OptText(OptTxt::kBrowse), this);
    // Enter in a field of the page means OK, not another file dialog.
    m_pBrowse->setAutoDefault(false);
    PlaceControl(m_pBrowse, OptId::Browse, {174, 112, 50, 14});
    connect(m_pBrowse, &QPushButton::clicked, this, [this] { OnBrowse(); });

    MakeGroup(this, OptId::MidiInGroup, {240, 7, 95, 34}, OptTxt::kMidiInGroup);
    m_pMidiIn = new QComboBox(this);
    // Port names can be long: the list keeps its place and shows them when it opens.
    m_pMidiIn->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_pMidiIn->setMinimumContentsLength(4);
    PlaceControl(m_pMidiIn, OptId::MidiIn, {246, 19, 83, 13});
}

void COptionsMidiPage::ShowBadSoundFont(const std::string& strPath) const
{
    ShowMessage(m_prompter,
                TextPieces{{OptTxt::kSoundFontBad}, Value("\n" + strPath + "\n\n"), {OptTxt::kSoundFontKept}},
                OptTxt::kSoundFontCaption, EIcon::Error);
}

void COptionsMidiPage::Fill()
{
    m_pDevice->clear();
    for (const std::string& strName : m_arrMidiDevices)
        m_pDevice->addItem(QString::fromStdU16String(ToWide(strName, m_settings.CodePage())));
    m_pDevice->setCurrentIndex(DeviceItem(m_settings.DeviceIndex, m_pDevice->count()));
    m_nFilledDevice = m_pDevice->currentIndex();
    m_pBaseNote->setText(QString::fromStdU16String(IntToTextW(m_settings.BaseNote)));

    // Each item carries the port's name as the system gave it, which is what is stored.
    m_pMidiIn->clear();
    m_pMidiIn->addItem(OptText(OptTxt::kMidiInNone), QByteArray());
    for (const std::string& strName : m_arrMidiInputs)
        m_pMidiIn->addItem(QString::fromStdString(strName), QByteArray::fromStdString(strName));
    const QByteArray stored = QByteArray::fromStdString(m_settings.MidiInName);
    int nItem = m_pMidiIn->findData(stored);
    if (nItem < 0)
    {
        m_pMidiIn->addItem(QString::fromStdString(m_settings.MidiInName) + OptText(OptTxt::kMidiInAbsent),
                           stored);
        nItem = m_pMidiIn->count() - 1;
    }
    m_pMidiIn->setCurrentIndex(nItem);

    m_strStoredSoundFont = m_settings.ReadText(ERoot::CurrentUser, kSoundFontSetting).value_or("");
    m_pSoundFont->setText(PathText(m_strStoredSoundFont));
}

void COptionsMidiPage::Store()
{
    // Without any device listed there is nothing to choose: the setting stays as it was.
    if (m_pDevice->count() > 0)
        m_settings.DeviceIndex = m_pDevice->currentIndex() - 1;
    // An output that was lost keeps its name until another is chosen, to be found when it is back.
    const int nItem = m_pDevice->currentIndex();
    if ((nItem != m_nFilledDevice || m_settings.DeviceName.empty()) && nItem >= 0 &&
        nItem < static_cast<int>(m_arrMidiDevices.size()))
        m_settings.DeviceName = m_arrMidiDevices[static_cast<size_t>(nItem)];
    m_settings.BaseNote = TextToInt(ToAnsi(m_pBaseNote->text().toStdU16String(), m_settings.CodePage()));
    m_settings.MidiInName = m_pMidiIn->currentData().toByteArray().toStdString();
}

std::string COptionsMidiPage::SoundFontPath() const
{
    return QFile::encodeName(m_pSoundFont->text()).toStdString();
}

bool COptionsMidiPage::IsSoundFontAcceptable() const
{
    const std::string strPath = SoundFontPath();
    return strPath == m_strStoredSoundFont || strPath.empty() || IsSoundFontFile(strPath);
}

void COptionsMidiPage::ShowSoundFontRefused() const
{
    ShowBadSoundFont(SoundFontPath());
}

std::optional<std::string> COptionsMidiPage::SoundFontToStore() const
{
    std::string strPath = SoundFontPath();
    if (strPath == m_strStoredSoundFont)
        return std::nullopt;
    return strPath;
}

void COptionsMidiPage::OnBrowse()
{
    // The dialog opens where the current choice lies, or among the system's SoundFonts.
    std::string strStart = SoundFontPath();
    if (strStart.empty())
        strStart = FolderOf(kSystemSoundFont);
    const std::string strPath =
        m_prompter.AskOpenFilePath(OptTxt::kSoundFontTitle, OptTxt::kSoundFontFilter, strStart);
    if (strPath.empty())
        return;
    if (!IsSoundFontFile(strPath))
    {
        ShowBadSoundFont(strPath);
        return;
    }
    m_pSoundFont->setText(PathText(strPath));
}
