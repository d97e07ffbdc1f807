// The application object: prepares what the rest of the program takes for granted, runs the
// main window until it closes, and hands the keyboard shortcuts to the main window whichever
// of the program's windows is in front.
#pragma once

#include "keyboard/KeyPresses.h"

#include <QObject>

#include <memory>
#include <string>

class CTonegroveDlg;
class CQtPrompter;
class IMediaCommands;

class CTonegroveApp : public QObject
{
    Q_OBJECT

  public:
    CTonegroveApp();
    ~CTonegroveApp() override;

    // Runs the whole life of the program; gives the process's exit code.
    int InitInstance(const std::string& strCommandLine);
    // The shortcut's command id, or 0 when the key is none of them.
    static int AcceleratorCommand(int nKey, Qt::KeyboardModifiers modifiers);

    CTonegroveDlg* MainWindow() const { return m_pMainWnd; }
    // Starts (or, with null, ends) delivering the shortcuts to a main window.
    void SetMainWindow(CTonegroveDlg* pMainWnd);

  protected:
    bool eventFilter(QObject* pWatched, QEvent* pEvent) override;

  private:
    CTonegroveDlg* m_pMainWnd = nullptr;
    std::unique_ptr<CQtPrompter> m_pPrompter;
    // The media files of the playlist sound on the program's outputs, as its projects do.
    std::unique_ptr<IMediaCommands> m_pMediaCommands;
    // Which keys are down, seen across all the program's windows: a held key's repeats are no
    // commands.
    CKeyPresses m_keyPresses;
};
