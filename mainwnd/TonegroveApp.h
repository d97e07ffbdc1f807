// The application object: prepares what the rest of the program takes for granted, runs the
// main window until it closes, and hands the keyboard shortcuts to the main window whichever
// of the program's windows is in front.
#pragma once

#include "app/Language.h"
#include "keyboard/KeyPresses.h"

#include <QObject>

#include <memory>
#include <string>
#include <vector>

class CTonegroveDlg;
class CQtPrompter;
class CSettings;
class IRegistryStore;
class QTranslator;
class CProgramOutputs;

class CTonegroveApp : public QObject
{
    Q_OBJECT

  public:
    // eLanguage: the language of the program's texts, which Qt's own texts follow.
    explicit CTonegroveApp(ELanguage eLanguage = ELanguage::Russian);
    ~CTonegroveApp() override;

    // Runs the whole life of the program; gives the process's exit code. arrPaths: the files
    // named on the command line, one row each.
    int InitInstance(const std::vector<std::string>& arrPaths);
    // The command line's arguments as paths of their own, made absolute so that opening the
    // same file later finds its row.
    static std::vector<std::string> PathsFromArguments(int argc, const char* const* argv);
    // Where new projects go and the first file dialogs start: "Tonegrove" in the user's music
    // folder (the program's own folder is not writable once installed).
    static std::string UserProjectFolder();
    // Qt's own texts (file dialogs, their questions and buttons) in Russian; false when Qt's
    // translations are not installed.
    bool InstallQtTranslations();
    // The shortcut's command id, or 0 when the key is none of them.
    static int AcceleratorCommand(int nKey, Qt::KeyboardModifiers modifiers);

    CTonegroveDlg* MainWindow() const { return m_pMainWnd; }
    // Starts (or, with null, ends) delivering the shortcuts to a main window.
    void SetMainWindow(CTonegroveDlg* pMainWnd);

  protected:
    bool eventFilter(QObject* pWatched, QEvent* pEvent) override;

  private:
    ELanguage m_eLanguage;
    CTonegroveDlg* m_pMainWnd = nullptr;
    // The settings and services the window is handed, made in InitInstance and ended in the
    // reverse order, each after everything that uses it.
    std::unique_ptr<CQtPrompter> m_pPrompter;
    std::unique_ptr<IRegistryStore> m_pRegistry;
    std::unique_ptr<CSettings> m_pSettings;
    // What the window's players, its media files and the live window sound on. The MIDI outputs
    // tell the user through m_pPrompter of a SoundFont that cannot be loaded and read the
    // SoundFont's setting, so they go before both; the players' threads may still hold handles on
    // them while the windows close.
    std::unique_ptr<CProgramOutputs> m_pOutputs;
    std::unique_ptr<QTranslator> m_pQtTranslator;
    // Which keys are down, seen across all the program's windows: a held key's repeats are no
    // commands.
    CKeyPresses m_keyPresses;
};
