// The main window: menu, toolbar, playlist, position bar and time label, and the commands
// that fill and save the playlist.
#pragma once

#include "app/Services.h"
#include "mainwnd/RoutedPrompter.h"
#include "project/ProjectPlayer.h"

#include <QDialog>

#include <array>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

class QAction;
class QLabel;
class QMenu;
class QMenuBar;
class QSlider;
class QTableWidget;
class QTimer;
class QToolBar;
class CMciPlayer;
class CPlayerThread;
class CSettings;

// Which transport buttons a row enables while it is selected, in this order.
struct SButtons
{
    bool bPlay = false;
    bool bPlayback = false;
    bool bStop = false;
    bool bPause = false;
    bool operator==(const SButtons&) const = default;
};

class CTonegroveDlg : public QDialog
{
    Q_OBJECT

  public:
    // settings: loaded as the window sets itself up, read and written by its commands and the
    // windows it opens. services: what it plays on, keeps time with, stores in and asks
    // through. Both must outlive the window.
    // arrOpenPaths: the files named on the command line, each opened as a row as Open does.
    // strProjectFolder: where New names its projects and the first Open and Save dialogs
    // start (the user's music folder); made when first used. Empty: the working folder.
    CTonegroveDlg(CSettings& settings, const SServices& services, std::vector<std::string> arrOpenPaths = {},
                  std::string strProjectFolder = {}, QWidget* pParent = nullptr);
    ~CTonegroveDlg() override;

    // Runs the command of a menu item, toolbar button or shortcut; false for an unknown id.
    bool OnCommand(int nId);

    // What tests and the other windows look at.
    bool IsMenuEnabled(int nId) const;
    bool IsToolEnabled(int nId) const;
    QAction* MenuAction(int nId) const;
    QAction* ToolAction(int nId) const;
    int RowCount() const;
    std::string RowText(int nRow, int nColumn) const;
    int SelectedRow() const; // the selection mark, -1 for none
    void ClickRow(int nRow); // as a mouse click on the row does
    const std::vector<uint8_t>& RowData(int nRow) const { return m_arrData.at(nRow); }
    const std::string& RowType(int nRow) const { return m_arrType.at(nRow); }
    const SButtons& RowButtons(int nRow) const { return m_arrButtons.at(nRow); }
    QTableWidget* List() const { return m_wndList; }
    QSlider* PositionBar() const { return m_pSlider; }
    QLabel* TimeLabel() const { return m_pTimeText; }
    QWidget* Client() const { return m_pClient; }
    // True when some project row holds bytes that its file does not.
    bool HasUnsavedProjects() const;

    // The transport as the timer and the tests drive it.
    void OnTimer();                    // one tick of the 100 ms timer
    bool IsTimerRunning() const;
    bool IsItemPlaying() const { return m_bItemPlaying; }
    void DoubleClickRow(int nRow);     // as a double click on the row does
    void OnThumbPositionChanging(int nScreenX); // a click on the position bar at screen x
    // The bar has a new value (a key, a page step, the wheel, a drag or a click): the media
    // file that plays goes there.
    void OnBarMoved(int nValue);
    // Playback, Pause and Stop as the transport's state allows them now; Play untouched.
    SButtons ComputeTransportButtons() const;
    CProjectPlayer& Player() const { return *m_pPlayer; }
    CMciPlayer& Media() const { return *m_pMedia; }

    // Dialog units of the dialog font to pixels, as the window system converts them.
    QRect DialogUnitsToPixels(const QRect& rect) const;

    // SIGINT or SIGTERM, on the window thread: every player stops and falls silent, the windows
    // in front are closed as Esc closes them, unsaved projects go to recovery copies beside
    // their files ("NAME.tgp~") and the window ends without asking.
    void OnTerminationRequest();

  public slots:
    void done(int nResult) override;

  protected:
    void resizeEvent(QResizeEvent* pEvent) override;
    void keyPressEvent(QKeyEvent* pEvent) override;
    void closeEvent(QCloseEvent* pEvent) override;

  private:
    void OnInitDialog();
    void CreateMenus();
    void CreateToolBar();
    void CreateControls();
    void LayOut();

    // Playlist and file commands
    void OnNew();
    void OnOpen();
    void OnOpenFolder();
    void OnSave();
    void OnSaveAs();
    void OnSaveAll();
    void OnClose();
    void OnHelp();
    // The transport
    void OnPlayback();
    void OnPause();
    void OnStop();
    enum class EKind
    {
        None,
        Project,
        Media,
    };
    EKind KindOfRow(int nRow) const;
    // Whatever plays, or is paused, or waits to start, stops, and the timer with it; nothing
    // waits for it to end.
    void StopSounding();
    // The player of the row's kind has no thread left from an earlier row.
    bool PlayerFree(EKind eKind) const;
    // Starts the row at once when its player is free, else when the timer finds it free.
    void StartRow(int nRow);
    void StartNow(int nRow);
    // The player of the current item still plays it (or holds it paused).
    bool CurrentSounds() const;
    void UpdateTransportButtons();
    // Commands that arrive while a worker's message waits for the user, or while a transport
    // command is still under way below them: the last transport command is kept for later.
    bool DeferCommand(int nId);
    void RunDeferredCommand();
    bool RunCommand(int nId);
    // Ends every player and silences the outputs; the window is closing.
    void StopPlayers();
    // Recovery copies: written when the program is ended from outside, offered at the next
    // start (one question), listed in the settings in between.
    void WriteRecoveryCopies();
    void OfferRecoveryCopies();
    // The live play window and the Options dialog.
    void OnLivePlay();
    void OnSettings();
    void OnItemChanged();
    void OnClick();
    void OpenPathInAdvance(const std::string& strPath);
    // Opens each path as a row; what could not be opened as it should is said in one message.
    void OpenPaths(const std::vector<std::string>& arrPaths);
    // Open's work once the path is known; a file that is not opened, or opened with a fault,
    // adds a line to strProblems.
    void AddPath(const std::string& strPath, std::string& strProblems);
    std::string ProjectFolder();
    std::string NewProjectName();
    std::string AskProjectSavePath(const std::string& strTitle);
    // True when the row may write over strPath: its own file, no file at all, or the user said so.
    bool MayWriteOver(const std::string& strPath);
    bool WriteItem(int nRow, const std::string& strPath);
    void AppendRow(const std::string& strPath);
    void MarkRow(int nRow);
    int FindRow(const std::string& strPath) const;
    bool IsProjectRow(int nRow) const;
    bool MayEnd();

    void EnableMenu(std::initializer_list<int> ids, bool bEnable);
    void EnableTool(int nId, bool bEnable);
    void SetTransportButtons(const SButtons& buttons);

    CSettings& m_settings;
    SServices m_services;
    // What the window and its players ask through: the services' prompter, or for a while the
    // collector of the messages of the files being added.
    CRoutedPrompter m_prompter;
    // The MIDI outputs as the window found them when it opened, "MIDI Mapper" first.
    std::vector<std::string> m_arrMidiDevices;
    std::vector<std::string> m_arrOpenPaths;
    std::string m_strProjectFolder;
    std::optional<std::string> m_strLastSaveFolder;
    // Files this window opened a project from or saved one to: only these are written over
    // without asking.
    std::set<std::string> m_ownFiles;
    QMenuBar* m_pMenuBar = nullptr;
    QWidget* m_pClient = nullptr;
    QToolBar* m_pToolBar = nullptr;
    QTableWidget* m_wndList = nullptr;
    QSlider* m_pSlider = nullptr;
    QLabel* m_pTimeText = nullptr;
    QMenu* m_pEditMenu = nullptr;
    std::map<int, QAction*> m_menuActions;
    std::map<int, QAction*> m_toolActions;

    std::unique_ptr<CProjectPlayer> m_pPlayer;
    std::unique_ptr<CProjectPlayer> m_pClip;
    std::unique_ptr<CMciPlayer> m_pMedia;

    // One element per row
    std::vector<std::vector<uint8_t>> m_arrData;
    std::vector<std::string> m_arrType;
    std::vector<SButtons> m_arrButtons;
    int32_t m_nAdded = 0;
    int16_t m_nNewCount = 0;

    // The transport
    bool m_bItemPlaying = false;
    bool m_bPauseToggle = false;
    const unsigned m_nTimerId = 0;
    QTimer* m_pTimer = nullptr;
    std::unique_ptr<CPlayerThread> m_pPlayerThread;
    EKind m_eKind = EKind::None; // of the current item, g_nCurrentItem
    int m_nPendingRow = -1;      // a row whose player still ends the row played before
    bool m_bProjectBegan = false; // the project thread has been seen playing
    bool m_bInTransport = false;
    int m_nDeferredCommand = 0;
    QTimer* m_pDeferTimer = nullptr;

    bool m_bReady = false;
    bool m_bEnding = false;
};
