#include "mainwnd/TonegroveApp.h"

#include "app/FileHelpers.h"
#include "app/Settings.h"
#include "mainwnd/CommandIds.h"
#include "mainwnd/QtPrompter.h"
#include "mainwnd/TonegroveDlg.h"
#include "mainwnd/WindowMidiOut.h"
#include "platform/TerminationSignals.h"
#include "platform/xdg/FileRegistryStore.h"
#include "sound/ProgramOutputs.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <QTextEdit>
#include <QTranslator>

namespace
{
struct SAccelerator
{
    int nKey;
    bool bCtrl;
    int nCommand;
};

const SAccelerator kAccelerators[] = {
    {Qt::Key_N, true, Cmd::New},        {Qt::Key_O, true, Cmd::Open},
    {Qt::Key_S, true, Cmd::Save},       {Qt::Key_T, true, Cmd::Settings},
    {Qt::Key_X, true, Cmd::Cut},        {Qt::Key_C, true, Cmd::Copy},
    {Qt::Key_V, true, Cmd::Paste},      {Qt::Key_Delete, false, Cmd::Delete},
    {Qt::Key_P, true, Cmd::RemoveGaps}, {Qt::Key_F2, false, Cmd::SelectionMark},
    {Qt::Key_A, true, Cmd::SelectAll},  {Qt::Key_F3, false, Cmd::Play},
    {Qt::Key_F4, false, Cmd::Playback}, {Qt::Key_F5, false, Cmd::Stop},
    {Qt::Key_F6, false, Cmd::Pause},    {Qt::Key_F1, false, Cmd::Help},
    {Qt::Key_Z, true, Cmd::TbUndo},     {Qt::Key_Y, true, Cmd::TbRedo},
    {Qt::Key_Pause, false, Cmd::Panic},
};

// Keys that belong to a text field when it has the focus (editing there must not cut records).
bool IsEditingKey(const QKeyEvent* pKey)
{
    if (pKey->key() == Qt::Key_Delete)
        return true;
    if (!(pKey->modifiers() & Qt::ControlModifier))
        return false;
    switch (pKey->key())
    {
    case Qt::Key_X:
    case Qt::Key_C:
    case Qt::Key_V:
    case Qt::Key_A:
    case Qt::Key_Z:
    case Qt::Key_Y:
        return true;
    default:
        return false;
    }
}

bool IsClosingKey(int nKey)
{
    return nKey == Qt::Key_Return || nKey == Qt::Key_Enter || nKey == Qt::Key_Escape;
}

// The physical key where the platform names it, else the key it gives.
uint32_t KeyId(const QKeyEvent* pKey)
{
    return pKey->nativeScanCode() != 0 ? pKey->nativeScanCode()
                                       : 0x80000000u | static_cast<uint32_t>(pKey->key());
}

bool IsTextField(QWidget* p)
{
    return qobject_cast<QLineEdit*>(p) || qobject_cast<QAbstractSpinBox*>(p) || qobject_cast<QTextEdit*>(p);
}
} // namespace

CTonegroveApp::CTonegroveApp(ELanguage eLanguage) : m_eLanguage(eLanguage) {}

CTonegroveApp::~CTonegroveApp()
{
    if (qApp)
        qApp->removeEventFilter(this);
    if (m_pQtTranslator && qApp)
        QCoreApplication::removeTranslator(m_pQtTranslator.get());
}

int CTonegroveApp::AcceleratorCommand(int nKey, Qt::KeyboardModifiers modifiers)
{
    const bool bCtrl = modifiers & Qt::ControlModifier;
    if (modifiers & (Qt::AltModifier | Qt::ShiftModifier | Qt::MetaModifier))
        return 0;
    for (const SAccelerator& a : kAccelerators)
    {
        if (a.nKey == nKey && a.bCtrl == bCtrl)
            return a.nCommand;
    }
    return 0;
}

bool CTonegroveApp::eventFilter(QObject* pWatched, QEvent* pEvent)
{
    if (!m_pMainWnd)
        return QObject::eventFilter(pWatched, pEvent);
    switch (pEvent->type())
    {
    case QEvent::ApplicationStateChange:
        // Keys released while another program has the keyboard never reach us.
        if (QGuiApplication::applicationState() != Qt::ApplicationActive)
            m_keyPresses.Clear();
        return false;
    case QEvent::KeyRelease:
    {
        auto* pKey = static_cast<QKeyEvent*>(pEvent);
        m_keyPresses.Release(KeyId(pKey), pKey->timestamp());
        return false;
    }
    case QEvent::KeyPress:
        break;
    default:
        return false;
    }
    auto* pKey = static_cast<QKeyEvent*>(pEvent);
    const bool bRepeat = m_keyPresses.Press(KeyId(pKey), pKey->timestamp(), pKey->isAutoRepeat());
    // Enter and Esc close the window they are typed into, the main window included, and
    // answer its questions: a key still held from the window that closed (the live window,
    // where Enter keeps the take) goes on repeating into the next one and must not end the
    // program.
    if (bRepeat && IsClosingKey(pKey->key()))
        return true;
    const int nCommand = AcceleratorCommand(pKey->key(), pKey->modifiers());
    if (nCommand == 0)
        return false;
    QWidget* pFocus = QApplication::focusWidget();
    if (IsEditingKey(pKey) && IsTextField(pFocus))
        return false;
    // A window that plays the keyboard itself (the live play window) keeps the keys it uses.
    // The modal window in front is the one typed into, also where no window manager has made
    // it the active window.
    QWidget* pActive =
        QApplication::activeModalWidget() ? QApplication::activeModalWidget() : QApplication::activeWindow();
    // A question or a file dialog in front takes its keys: a command run under it would act on
    // what the question is about (an edit under the question of an edit, a save under the
    // question whether to save).
    if (qobject_cast<QMessageBox*>(pActive) || qobject_cast<QFileDialog*>(pActive))
        return false;
    if (pActive && pActive != m_pMainWnd && pActive->property("tgOwnsKeys").toBool() &&
        pActive->property("tgKeepsCommand").toList().contains(nCommand))
        return false;
    // Only the first press of a held key is a command.
    if (bRepeat)
        return true;
    m_pMainWnd->OnCommand(nCommand);
    return true;
}

std::vector<std::string> CTonegroveApp::PathsFromArguments(int argc, const char* const* argv)
{
    std::vector<std::string> arrPaths;
    for (int i = 1; i < argc; ++i)
    {
        const std::string strArgument = argv[i];
        if (strArgument.empty())
            continue;
        arrPaths.push_back(AbsolutePath(strArgument));
    }
    return arrPaths;
}

std::string CTonegroveApp::UserProjectFolder()
{
    QString strMusic = QStandardPaths::writableLocation(QStandardPaths::MusicLocation);
    if (strMusic.isEmpty())
        strMusic = QDir::homePath();
    return (strMusic + "/Tonegrove").toStdString();
}

bool CTonegroveApp::InstallQtTranslations()
{
    if (m_pQtTranslator)
        return true;
    auto pTranslator = std::make_unique<QTranslator>();
    if (!pTranslator->load(QLocale(QLocale::Russian, QLocale::Russia), "qtbase", "_",
                           QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return false;
    QCoreApplication::installTranslator(pTranslator.get());
    m_pQtTranslator = std::move(pTranslator);
    return true;
}

int CTonegroveApp::InitInstance(const std::vector<std::string>& arrPaths)
{
    // Qt's texts are English already.
    if (m_eLanguage == ELanguage::Russian)
        InstallQtTranslations();
    m_pPrompter = std::make_unique<CQtPrompter>();
    m_pRegistry = std::make_unique<CFileRegistryStore>(CFileRegistryStore::DefaultUserFolder(),
                                                       CFileRegistryStore::DefaultMachineFolder());
    m_pSettings = std::make_unique<CSettings>(*m_pRegistry, *m_pPrompter);
    m_pOutputs = std::make_unique<CProgramOutputs>(
        [this](FAudioOutFactory fAudioOut)
        { return MakeWindowMidiOut(*m_pPrompter, *m_pSettings, fAudioOut); });
    const SServices services = m_pOutputs->Services(*m_pPrompter, *m_pRegistry);

    // SIGINT and SIGTERM end the program as a close request of the window thread, not at once:
    // the outputs are silenced and unsaved projects are kept.
    CTerminationSignals termination;
    CTonegroveDlg dlg(*m_pSettings, services, arrPaths, UserProjectFolder());
    std::unique_ptr<QSocketNotifier> pSignalWatch;
    if (termination.Descriptor() >= 0)
    {
        pSignalWatch = std::make_unique<QSocketNotifier>(termination.Descriptor(), QSocketNotifier::Read);
        QObject::connect(pSignalWatch.get(), &QSocketNotifier::activated, &dlg,
                         [&termination, &dlg]
                         {
                             if (termination.Take() != 0)
                                 dlg.OnTerminationRequest();
                         });
    }
    SetMainWindow(&dlg);
    m_pPrompter->SetOwner(&dlg);
    dlg.exec();
    pSignalWatch.reset();
    SetMainWindow(nullptr);
    m_pPrompter->SetOwner(nullptr);
    return 0;
}

void CTonegroveApp::SetMainWindow(CTonegroveDlg* pMainWnd)
{
    if (pMainWnd && !m_pMainWnd)
        qApp->installEventFilter(this);
    else if (!pMainWnd && m_pMainWnd)
        qApp->removeEventFilter(this);
    m_pMainWnd = pMainWnd;
}
