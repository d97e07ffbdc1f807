// The main window: menu, toolbar, the playlist's rows, position bar and time label, and the
// commands that fill and save the playlist. It shows the playlist and the transport; the rows
// and what plays live in them.
#pragma once

#include "app/Services.h"
#include "app/Settings.h"
#include "mainwnd/RoutedPrompter.h"
#include "platform/Files.h"
#include "playlist/ClipEditor.h"
#include "playlist/Playlist.h"
#include "playlist/Transport.h"
#include "roll/NoteList.h"
#include "roll/WavePeaks.h"

#include <QDialog>

#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

class CPianoRollView;
class QAction;
class QLabel;
class QMenuBar;
class QSlider;
class QSplitter;
class QTableWidget;
class QTimer;
class QToolBar;

class CTonegroveDlg : public QDialog, private ITransportListener
{
    Q_OBJECT

  public:
    // arrOpenPaths: the files named on the command line, each opened as a row as Open does.
    // strProjectFolder: where New names its projects and the first Open and Save dialogs
    // start (the user's music folder); made when first used. Empty: the working folder.
    CTonegroveDlg(CSettings& settings, const SServices& services, std::vector<std::string> arrOpenPaths = {},
                  std::string strProjectFolder = {}, QWidget* pParent = nullptr);
    ~CTonegroveDlg() override;

    // Runs the command of a menu item, toolbar button or shortcut (a toolbar button's id or
    // its command's); false for an unknown id.
    bool OnCommand(int nId);

    // What tests and the other windows look at. A menu item and its toolbar button are one
    // action: MenuAction and ToolAction give the same one for both ids.
    bool IsMenuEnabled(int nId) const;
    bool IsToolEnabled(int nId) const;
    QAction* MenuAction(int nId) const;
    QAction* ToolAction(int nId) const;
    int RowCount() const;
    std::string RowText(int nRow, int nColumn) const;
    int SelectedRow() const; // the selection mark, -1 for none
    void ClickRow(int nRow); // as a mouse click on the row does
    const std::vector<uint8_t>& RowData(int nRow) const { return m_playlist.Row(nRow).data; }
    const CPlaylist& Playlist() const { return m_playlist; }
    QTableWidget* List() const { return m_wndList; }
    QSlider* PositionBar() const { return m_pSlider; }
    QLabel* TimeLabel() const { return m_pTimeText; }
    // The line under the list that shows the selection of the selected project.
    QLabel* EditStatus() const { return m_pEditStatus; }
    const CClipEditor& Editor() const { return *m_pEditor; }
    QWidget* Client() const { return m_pClient; }
    // The piano-roll panel below the playlist.
    CPianoRollView* Roll() const { return m_pRoll; }
    // The note list the panel draws for a project or MID row; null otherwise.
    const SNoteList* RollList() const { return m_pRollList.get(); }
    // True when some project row holds bytes that its file does not.
    bool HasUnsavedProjects() const;

    // The transport as the timer and the tests drive it.
    void OnTimer(); // one tick of the 100 ms timer
    bool IsTimerRunning() const;
    bool IsItemPlaying() const { return m_pTransport->IsItemPlaying(); }
    void DoubleClickRow(int nRow);              // as a double click on the row does
    void OnThumbPositionChanging(int nScreenX); // a click on the position bar at screen x
    // The bar has a new value (a key, a page step, the wheel, a drag or a click): the media
    // file that plays goes there.
    void OnBarMoved(int nValue);
    CProjectPlayer& Player() const { return m_pTransport->Player(); }
    CMciPlayer& Media() const { return m_pTransport->Media(); }

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
    // The Edit menu, undo and redo (TonegroveDlgEdit.cpp).
    void OnEdit(int nCommand);
    void OnExportMidi();
    // The selection line, the selection mark's text and what undo and redo can do.
    void UpdateEditState();
    bool RunCommand(int nCommand);
    // The piano-roll panel (TonegroveDlgRoll.cpp).
    void CreateRoll();
    // Reads the selected row for the panel when the row or its bytes changed; a media file is
    // read on a thread (or found among the files read before) while the panel says so.
    void UpdateRoll();
    void StartRollJob();
    void PollRollJob();
    struct SRollCached
    {
        SFileIdentity identity; // of the file read: a file changed since is read again
        std::shared_ptr<const SNoteList> pNotes;
        std::shared_ptr<const SWavePeaks> pPeaks;
        uint64_t nUsed = 0;
    };
    void ShowRollResult(const SRollCached& cached);
    // The play line moves while the row shown is the one that plays.
    void UpdateRollPlaying();
    double RollPlayMs() const;
    void UpdateRollSelection();
    void OnRollSelection(int nFirst, int nLast);
    void OnRollPosition(qint64 nMs);
    // A take being recorded in the live window: start is the list of the project it continues.
    void ShowTake(const CNoteListBuilder& start, std::span<const uint8_t> take);
    void EndTake();
    // Recovery copies: written when the program is ended from outside, offered at the next
    // start (one question), listed in the settings in between.
    void WriteRecoveryCopies();
    void OfferRecoveryCopies();
    // The live play window, the Options dialog and the About box.
    void OnLivePlay();
    void OnSettings();
    void OnAbout();
    void OnItemChanged();
    void OnClick();
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
    // Writes the row's project to strPath, which becomes the row's path.
    bool WriteItem(int nRow, const std::string& strPath);
    void AppendRow(const std::string& strPath);
    void MarkRow(int nRow);
    // The project's playing time as its row shows it; its messages reach the user as the
    // program's other checks do.
    void MeasureProject(int nRow);
    bool MayEnd();
    // Ends every player and silences the outputs; the window is closing.
    void StopPlayers();
    // The output chosen by name that has gone is said once, as something first plays on it.
    void TellLostOutput();
    // The playlist's selection is the list's highlighted row.
    void FollowSelection();
    void UpdateTransportButtons();

    // What the transport tells its view.
    void PlaybackStarting() override;
    void SelectionMoved(int nRow) override;
    void CurrentChanged(int nRow) override;
    void PositionChanged(int nPercent) override;
    void TimeChanged(const std::string& strTime) override;
    void StateChanged(const STransportState& state) override;
    void TickingChanged(bool bTicking) override;
    void CommandDeferred() override;

    QAction* Action(int nId) const;
    void EnableCommands(std::initializer_list<int> ids, bool bEnable);

    CSettings& m_settings;
    SServices m_services;
    // What the window and its players ask through: the services' prompter, or for a while the
    // collector of the messages of the files being added.
    CRoutedPrompter m_prompter;
    // The MIDI outputs as the window found them when it opened, "MIDI Mapper" first.
    std::vector<std::string> m_arrMidiDevices;
    // The name of the output chosen that was not found at start, until it is said.
    std::string m_strLostOutput;
    std::vector<std::string> m_arrOpenPaths;
    std::string m_strProjectFolder;
    std::optional<std::string> m_strLastSaveFolder;
    // Folder of the last file chosen in the Open dialog, with its final separator.
    std::optional<std::string> m_strLastOpenFolder;
    // Files this window opened a project from or saved one to: only these are written over
    // without asking.
    std::set<std::string> m_ownFiles;
    QMenuBar* m_pMenuBar = nullptr;
    QWidget* m_pClient = nullptr;
    QToolBar* m_pToolBar = nullptr;
    QTableWidget* m_wndList = nullptr;
    QSlider* m_pSlider = nullptr;
    QLabel* m_pTimeText = nullptr;
    QLabel* m_pEditStatus = nullptr;
    QSplitter* m_pSplitter = nullptr;
    CPianoRollView* m_pRoll = nullptr;
    struct SRollShown
    {
        int nRow = -1;
        std::string strPath;
        uint64_t nVersion = 0;
        ERowKind eKind = ERowKind::Project;
        bool operator==(const SRollShown&) const = default;
    };
    SRollShown m_rollShown;
    std::shared_ptr<const SNoteList> m_pRollList;
    std::unique_ptr<CRollJob<SNoteList>> m_pMidiJob;
    std::unique_ptr<CRollJob<SWavePeaks>> m_pPeakJob;
    std::map<std::string, SRollCached> m_rollCache; // by path
    uint64_t m_nRollUses = 0;
    QTimer* m_pRollPoll = nullptr;
    std::optional<int64_t> m_oTakeEndMs; // a take is being recorded: the time it has reached
    // One action per command, shared by its menu item and its toolbar button.
    std::map<int, QAction*> m_actions;

    CPlaylist m_playlist;
    std::unique_ptr<CTransport> m_pTransport;
    std::unique_ptr<CClipEditor> m_pEditor; // the marks, the clipboard and the edits
    int32_t m_nAdded = 0;
    int16_t m_nNewCount = 0;

    QTimer* m_pTimer = nullptr;
    QTimer* m_pDeferTimer = nullptr;

    bool m_bReady = false;
    bool m_bEditing = false; // an edit runs (and may be asking its question)
    bool m_bEnding = false;
};
