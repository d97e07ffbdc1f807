#include "keyboard/PlaysDlg.h"

#include "app/Messages.h"
#include "app/Settings.h"
#include "keyboard/KeyLayout.h"
#include "keyboard/KeyboardTexts.h"
#include "keyboard/LiveMidiIn.h"
#include "keyboard/NoteKeyboardWnd.h"
#include "lang/Translate.h"
#include "mainwnd/CommandIds.h"
#include "platform/KeyRepeat.h"
#include "project/ProjectFormat.h"
#include "sound/ToneOutput.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QTimer>
#include <QVariantList>

namespace
{
// The keyboard control's place in the window; the status lines sit just below it.
const QRect kKeyboardRect(0, 0, 1200, 300);
const QPoint kStatusAt[3] = {{30, 300}, {30, 320}, {30, 340}};
// The MIDI input's line, to the right of the first.
const QPoint kMidiInStatusAt(330, 300);

// Under X, a held key is best repeated as presses alone: a release that X sends before each
// repeat can be told from a real one only by its time stamp, and only once the press has come.
void UseDetectableKeyRepeatOnX()
{
#if QT_CONFIG(xcb)
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return;
    if (auto* pX11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>())
        UseDetectableKeyRepeat(pX11->display());
#endif
}
} // namespace

SPlayResult RunPlaysDialog(QWidget* pParent, std::vector<uint8_t> startProject, CSettings& settings,
                           const SServices& services, FTakeChanged fTakeChanged)
{
    // The program's one set of outputs: the live window and the playlist share the synthesizer.
    CPlaysDlg dlg(std::move(startProject), settings, services, KeyPictureFolder(services.dataFolder),
                  pParent);
    if (!dlg.OnInitDialog())
        return {};
    dlg.SetTakeListener(std::move(fTakeChanged));
    dlg.exec();
    return dlg.Result();
}

CPlaysDlg::CPlaysDlg(std::vector<uint8_t> startProject, CSettings& settings, const SServices& services,
                     std::string strPictureFolder, QWidget* pParent)
    : QDialog(pParent), m_arrStart(std::move(startProject)), m_settings(settings), m_services(services),
      m_strPictureFolder(std::move(strPictureFolder))
{
    setWindowTitle(Tr(Txt::kPlaysCaption));
    // A new project starts from the bare header of the chosen version; the records always
    // follow the version of the header they are joined to.
    if (m_arrStart.empty() && (m_settings.ProjectType == 0 || m_settings.ProjectType == 1))
        m_arrStart = MakeHeader(m_settings.ProjectType);
    int nVersion = -1;
    if (CheckProjectHeader(m_arrStart, nVersion) == EHeader::Ok)
        m_nRecordVersion = nVersion;
    else if (!m_arrStart.empty() && (m_settings.ProjectType == 0 || m_settings.ProjectType == 1))
        m_nRecordVersion = m_settings.ProjectType; // a header we cannot read: the records still need one

    // The keys the keyboard plays belong to this window while it is open, Ctrl with a note
    // letter and Delete included, and F3 does not open a second one; F1, F2 and the transport
    // keys still reach the main window.
    setProperty("tgOwnsKeys", true);
    setProperty("tgKeepsCommand",
                QVariantList{Cmd::New, Cmd::Open, Cmd::Save, Cmd::Settings, Cmd::Cut, Cmd::Copy, Cmd::Paste,
                             Cmd::Delete, Cmd::RemoveGaps, Cmd::SelectAll, Cmd::Play});
}

CPlaysDlg::~CPlaysDlg()
{
    // A window destroyed without being closed still ends the notes it holds. The keyboard
    // sends through the output: it goes first, and the output's closing then silences
    // whatever it still knows of.
    if (m_pKeyboard && !m_bClosed)
    {
        m_pKeyboard->StopKeys();
        m_pKeyboard->Keys().ReleaseAll();
    }
    // The input ends its notes while the keyboard and the output are still there.
    m_pMidiIn.reset();
    EndTone();
    delete m_pKeyboard;
    m_pKeyboard = nullptr;
    m_pMidiOut.reset();
}

bool CPlaysDlg::OnInitDialog()
{
    m_pMidiOut = m_services.midiOut.Open(m_settings.DeviceIndex);
    if (!m_pMidiOut)
    {
        // Nothing to play on: the window closes as abandoned instead of staying without keys.
        m_services.prompter.Ask(
            {Msg::kMidiOpenFailed, Txt::kPlaysErrorCaption, EIcon::Error, EButtons::Ok, true});
        m_bClosed = true;
        return false;
    }
    UseDetectableKeyRepeatOnX();
    m_pKeyboard =
        new CNoteKeyboardWnd(this, *m_pMidiOut, m_services.clock, *this, m_settings, m_nRecordVersion);
    // DirectX mode's oscillator joins the program's stream now, so that the first key sounds
    // at once; without a stream the mode stays silent, as it does without a sound card.
    m_pTone = std::make_unique<CToneOutput>();
    if (m_pTone->Attach(m_services.audioOut))
        m_pKeyboard->Keys().SetToneOutput(m_pTone.get());
    else
        m_pTone.reset();
    m_pKeyboard->setGeometry(kKeyboardRect);
    m_pKeyboard->BuildLayout(m_settings.ExtView, m_strPictureFolder);
    setFocusProxy(m_pKeyboard);
    m_pKeyboard->setFocus();
    FitToKeyboard();
    m_pMidiIn = std::make_unique<CLiveMidiIn>(m_services.midiIn, m_settings.MidiInName, m_services.clock,
                                              m_pKeyboard->Keys(), [this] { TellTakeSoon(); });
    return true;
}

QSize CPlaysDlg::OuterSize() const
{
    return m_pKeyboard ? QSize(m_pKeyboard->m_nWidth + 50, m_pKeyboard->m_nHeight + 100) : QSize();
}

void CPlaysDlg::FitToKeyboard()
{
    const QSize frame = frameGeometry().size() - geometry().size();
    setFixedSize(OuterSize() - frame);
}

std::vector<std::string> CPlaysDlg::StatusLines() const
{
    if (!m_pKeyboard)
        return {};
    CNoteKeyboard& keys = m_pKeyboard->Keys();
    // The keyboard's lines are our text followed by a value; shown in the program's language.
    return {TrLead(Txt::kMidiChannel, keys.MidiChannelText()).toStdString(),
            TrLead(Txt::kDxChannel, keys.DxChannelText()).toStdString(),
            TrLead(Txt::kMusicType, keys.MusicTypeText()).toStdString()};
}

std::string CPlaysDlg::MidiInStatus() const
{
    const std::string strLine = m_pKeyboard ? m_pKeyboard->Keys().MidiInText() : std::string();
    // The line is one of our texts, or one of them followed by the input's name.
    if (strLine.empty() || strLine == Txt::kMidiInNotesOnly)
        return TrStd(strLine);
    for (const char* pszLead : {Txt::kMidiInMissing, Txt::kMidiInGone, Txt::kMidiInOpen})
        if (strLine.starts_with(pszLead))
            return TrLead(pszLead, strLine).toStdString();
    return strLine;
}

void CPlaysDlg::EndTone()
{
    if (m_pKeyboard)
        m_pKeyboard->Keys().SetToneOutput(nullptr);
    m_pTone.reset();
}

void CPlaysDlg::LightKey(int nSlot, bool bOn)
{
    m_pKeyboard->Light(nSlot, bOn);
    // A key went down or up: the take may have grown.
    TellTakeSoon();
}

void CPlaysDlg::TellTakeSoon()
{
    if (m_fTakeChanged && !m_bTakePending)
    {
        m_bTakePending = true;
        QTimer::singleShot(0, this,
                           [this]
                           {
                               m_bTakePending = false;
                               TellTake();
                           });
    }
}

void CPlaysDlg::StatusChanged()
{
    update();
}

void CPlaysDlg::Accept()
{
    done(QDialog::Accepted);
}

void CPlaysDlg::Abandon()
{
    done(QDialog::Rejected);
}

void CPlaysDlg::done(int nResult)
{
    // Enter comes as a key-down and a key-up, and the close box may follow: one closing, one
    // project handed back.
    if (m_bClosed)
        return;
    m_bClosed = true;
    if (m_pKeyboard)
    {
        m_pKeyboard->StopKeys();
        m_pKeyboard->Keys().ReleaseAll();
    }
    // The input's notes end too, in the take that is handed back.
    if (m_pMidiIn)
        m_pMidiIn->Close();
    // Nothing sounds on once the window is gone, whatever mode it was in.
    EndTone();
    m_result.bAccepted = nResult == QDialog::Accepted;
    if (m_result.bAccepted && m_pKeyboard)
    {
        const std::vector<uint8_t>& arrRecord = m_pKeyboard->Keys().Recording();
        m_result.project = m_arrStart;
        m_result.project.insert(m_result.project.end(), arrRecord.begin(), arrRecord.end());
        m_result.bRecorded = !arrRecord.empty();
    }
    QDialog::done(nResult);
}

void CPlaysDlg::showEvent(QShowEvent* pEvent)
{
    QDialog::showEvent(pEvent);
    if (m_bShown || !m_pKeyboard)
        return;
    m_bShown = true;
    FitToKeyboard();
    m_pKeyboard->Keys().FillStatusTexts();
    update();
}

void CPlaysDlg::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const std::vector<std::string> arrLines = StatusLines();
    for (size_t i = 0; i < arrLines.size() && i < std::size(kStatusAt); ++i)
        painter.drawText(QRect(kStatusAt[i], QSize(width(), 20)), Qt::AlignLeft | Qt::AlignTop,
                         QString::fromStdString(arrLines[i]));
    painter.drawText(QRect(kMidiInStatusAt, QSize(width(), 20)), Qt::AlignLeft | Qt::AlignTop,
                     QString::fromStdString(MidiInStatus()));
}

void CPlaysDlg::keyPressEvent(QKeyEvent* pEvent)
{
    // Keys that reach the window itself are the keyboard's too: Enter and Esc close the window
    // through the keyboard, never through the dialog's own handling of them.
    if (!m_pKeyboard || !m_pKeyboard->HandleKey(pEvent))
        QDialog::keyPressEvent(pEvent);
}

void CPlaysDlg::keyReleaseEvent(QKeyEvent* pEvent)
{
    if (!m_pKeyboard || !m_pKeyboard->HandleKey(pEvent))
        QDialog::keyReleaseEvent(pEvent);
}

void CPlaysDlg::TellTake()
{
    // Not once the window has closed: its result holds the take, and the caller takes it there.
    if (!m_fTakeChanged || !m_pKeyboard || m_bClosed)
        return;
    const std::vector<uint8_t>& take = m_pKeyboard->Keys().Recording();
    if (take.size() == m_nTakeTold)
        return;
    m_nTakeTold = take.size();
    m_fTakeChanged(take);
}

void CPlaysDlg::changeEvent(QEvent* pEvent)
{
    // Another window took the keyboard: the keys held now are released where we cannot see it.
    if (pEvent->type() == QEvent::ActivationChange && !isActiveWindow() && m_pKeyboard)
        m_pKeyboard->Keys().ReleaseAll();
    QDialog::changeEvent(pEvent);
}
