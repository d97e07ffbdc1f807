#include "mainwnd/TonegroveDlg.h"

#include "lang/Translate.h"
#include "mainwnd/CommandIds.h"
#include "mainwnd/DialogUnits.h"
#include "mainwnd/MainTexts.h"
#include "mainwnd/Pictures.h"
#include "platform/Prompter.h"
#include "roll/PianoRollView.h"
#include "sound/MciPlayer.h"
#include "sound/MidiDevices.h"

#include <QAction>
#include <QCloseEvent>
#include <QFontDatabase>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QProxyStyle>
#include <QScreen>
#include <QSlider>
#include <QSplitter>
#include <QTableWidget>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

namespace
{
// Controls in dialog units: list, position bar, time label; the client area is 385 x 202.
const QRect kListRect(7, 19, 367, 133);
const QRect kSliderRect(7, 168, 318, 27);
const QRect kTimeRect(327, 169, 50, 22);
const QRect kEditStatusRect(7, 153, 367, 12);
const QSize kClientSize(385, 202);

class CClickJumpsStyle : public QProxyStyle
{
  public:
    int styleHint(StyleHint eHint, const QStyleOption* pOption, const QWidget* pWidget,
                  QStyleHintReturn* pReturn) const override
    {
        if (eHint == QStyle::SH_Slider_AbsoluteSetButtons)
            return Qt::LeftButton;
        return QProxyStyle::styleHint(eHint, pOption, pWidget, pReturn);
    }
};
} // namespace

CTonegroveDlg::CTonegroveDlg(CSettings& settings, const SServices& services,
                             std::vector<std::string> arrOpenPaths, std::string strProjectFolder,
                             QWidget* pParent)
    : QDialog(pParent), m_settings(settings), m_services(services), m_prompter(services.prompter),
      m_arrOpenPaths(std::move(arrOpenPaths)), m_strProjectFolder(std::move(strProjectFolder))
{
    setWindowTitle(Tr(Txt::kCaption));
    setWindowIcon(ProgramIcon());
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                   Qt::WindowCloseButtonHint);
    setSizeGripEnabled(false);
    setFont(DialogFont());
    OnInitDialog();
}

CTonegroveDlg::~CTonegroveDlg()
{
    // Ended without done() (a test, or the application object going away): the players still
    // stop and the notes still end.
    StopPlayers();
}

QRect CTonegroveDlg::DialogUnitsToPixels(const QRect& rect) const
{
    return ::DialogUnitsToPixels(font(), rect);
}

void CTonegroveDlg::OnInitDialog()
{
    auto* pLayout = new QVBoxLayout(this);
    pLayout->setContentsMargins(0, 0, 0, 0);
    pLayout->setSpacing(0);
    m_pMenuBar = new QMenuBar(this);
    pLayout->setMenuBar(m_pMenuBar);
    // The client area: everything below the menu bar; the controls sit in it at fixed places
    // and follow the window's size by the rules of LayOut().
    m_pClient = new QWidget(this);
    // Below it the piano-roll panel; the handle between them gives the panel more or less room,
    // and a change of the window's size goes to the client area.
    m_pSplitter = new QSplitter(Qt::Vertical, this);
    m_pSplitter->setChildrenCollapsible(false);
    m_pSplitter->addWidget(m_pClient);
    pLayout->addWidget(m_pSplitter);

    // The players ask through the window's routed prompter, so that what they say while files
    // are added is collected with the rest.
    const SServices playerServices{m_prompter,        m_services.registry,      m_services.midiOut,
                                   m_services.clock,  m_services.mediaCommands, m_services.audioOut,
                                   m_services.update, m_services.openWav,       m_services.midiIn};
    m_pTransport = std::make_unique<CTransport>(m_playlist, m_settings, playerServices,
                                                static_cast<ITransportListener&>(*this));
    m_pEditor = std::make_unique<CClipEditor>(m_playlist, *m_pTransport, m_prompter);
    m_pTimer = new QTimer(this);
    connect(m_pTimer, &QTimer::timeout, this, [this] { OnTimer(); });
    m_pDeferTimer = new QTimer(this);
    connect(m_pDeferTimer, &QTimer::timeout, this,
            [this]
            {
                m_pTransport->RunDeferred();
                if (!m_pTransport->HasDeferred())
                    m_pDeferTimer->stop();
            });

    CreateMenus();
    CreateToolBar();
    CreateControls();
    CreateRoll();
    m_pSplitter->addWidget(m_pRoll);
    m_pSplitter->setStretchFactor(0, 1);
    m_pSplitter->setStretchFactor(1, 0);

    // Playback, Pause, Stop and Play wait for a row.
    EnableCommands({Cmd::Play}, false);
    UpdateTransportButtons();
    m_wndList->setEnabled(false);

    m_settings.LoadAtStartup();
    m_arrMidiDevices = MidiDeviceNames(m_services.midiOut);
    // Ports plugged in another order: the output chosen is taken by its name. One that has gone
    // is said when something first plays, not over a window that has not shown yet.
    m_strLostOutput = FollowDeviceName(m_settings, m_arrMidiDevices);

    // Size and centre: the client area of 385 x 202 dialog units, the menu bar above it.
    // The panel below it takes two thirds of the client area's height again.
    QRect client = DialogUnitsToPixels(QRect(QPoint(0, 0), kClientSize));
    const int nRoll = client.height() * 2 / 3;
    resize(client.width(),
           client.height() + m_pSplitter->handleWidth() + nRoll + m_pMenuBar->sizeHint().height());
    m_pSplitter->setSizes({client.height(), nRoll});
    // A hidden splitter places its widgets only once shown; the client area's controls follow
    // its size from now on, so it is given its place at once, where the splitter will put it.
    m_pClient->setGeometry(0, 0, client.width(), client.height());
    m_pRoll->setGeometry(0, client.height() + m_pSplitter->handleWidth(), client.width(), nRoll);
    layout()->activate();
    if (QScreen* pScreen = screen())
    {
        QRect screenRect = pScreen->geometry();
        QRect frame = frameGeometry();
        move(screenRect.x() + (screenRect.width() - frame.width()) / 2,
             screenRect.y() + (screenRect.height() - frame.height()) / 2);
    }

    if (!m_arrOpenPaths.empty())
        OpenPaths(m_arrOpenPaths);
    OfferRecoveryCopies();
    m_bReady = true;
}

void CTonegroveDlg::CreateMenus()
{
    struct SItem
    {
        int nId;
        const char* pText;
        const char* pShortcut;
    };
    auto addMenu = [&](const char* pTitle, std::initializer_list<SItem> items)
    {
        QMenu* pMenu = m_pMenuBar->addMenu(Tr(pTitle));
        for (const SItem& item : items)
        {
            if (item.nId == 0)
            {
                pMenu->addSeparator();
                continue;
            }
            // The shortcut is shown in the menu only: the application's key filter delivers
            // the keys to this window whichever of the program's windows is in front.
            QString strText = Tr(item.pText);
            if (item.pShortcut)
                strText += "\t" + QString::fromUtf8(item.pShortcut);
            QAction* pAction = pMenu->addAction(strText);
            pAction->setData(item.nId);
            pAction->setIcon(MenuIcon(item.nId));
            pAction->setToolTip(Tr(item.pText));
            const int nId = item.nId;
            connect(pAction, &QAction::triggered, this, [this, nId] { OnCommand(nId); });
            m_actions[item.nId] = pAction;
        }
        return pMenu;
    };
    addMenu(Txt::kMenuFile, {{Cmd::New, Txt::kNew, "Ctrl+N"},
                             {Cmd::Open, Txt::kOpen, "Ctrl+O"},
                             {Cmd::OpenFolder, Txt::kOpenFolder, nullptr},
                             {Cmd::Save, Txt::kSave, "Ctrl+S"},
                             {Cmd::SaveAs, Txt::kSaveAs, nullptr},
                             {Cmd::SaveAll, Txt::kSaveAll, nullptr},
                             {Cmd::ExportMidi, Txt::kExportMidi, nullptr},
                             {Cmd::Close, Txt::kClose, nullptr},
                             {0, nullptr, nullptr},
                             {Cmd::Settings, Txt::kSettings, "Ctrl+T"},
                             {0, nullptr, nullptr},
                             {Cmd::Exit, Txt::kExit, nullptr}});
    addMenu(Txt::kMenuEdit, {{Cmd::TbUndo, Txt::kUndoTip, "Ctrl+Z"},
                             {Cmd::TbRedo, Txt::kRedoTip, "Ctrl+Y"},
                             {0, nullptr, nullptr},
                             {Cmd::Cut, Txt::kCut, "Ctrl+X"},
                             {Cmd::Copy, Txt::kCopy, "Ctrl+C"},
                             {Cmd::Paste, Txt::kPaste, "Ctrl+V"},
                             {Cmd::Delete, Txt::kDelete, "Del"},
                             {Cmd::RemoveGaps, Txt::kRemoveGaps, "Ctrl+P"},
                             {0, nullptr, nullptr},
                             {Cmd::SelectionMark, Txt::kSelectionMark, "F2"},
                             {0, nullptr, nullptr},
                             {Cmd::SelectAll, Txt::kSelectAll, "Ctrl+A"}});
    addMenu(Txt::kMenuMusic, {{Cmd::Play, Txt::kPlay, "F3"},
                              {Cmd::Playback, Txt::kPlayback, "F4"},
                              {Cmd::Stop, Txt::kStop, "F5"},
                              {Cmd::Pause, Txt::kPause, "F6"},
                              {0, nullptr, nullptr},
                              {Cmd::Panic, Txt::kPanic, Txt::kPanicKey}});
    addMenu(Txt::kMenuHelp, {{Cmd::Help, Txt::kHelp, "F1"}, {Cmd::About, Txt::kAbout, nullptr}});
}

void CTonegroveDlg::CreateToolBar()
{
    m_pToolBar = new QToolBar(m_pClient);
    m_pToolBar->setIconSize(QSize(16, 16));
    m_pToolBar->setMovable(false);
    m_pToolBar->setFloatable(false);
    m_pToolBar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    struct SButton
    {
        int nId;      // 0: a separator
        int nPicture; // in the picture strip
        const char* pTip;
    };
    const SButton buttons[] = {
        {Cmd::TbNew, 0, Txt::kNew},
        {Cmd::TbOpen, 1, Txt::kOpen},
        {Cmd::TbSave, 2, Txt::kSave},
        {0, 0, nullptr},
        {Cmd::TbUndo, 3, Txt::kUndoTip},
        {Cmd::TbRedo, 4, Txt::kRedoTip},
        {0, 0, nullptr},
        {Cmd::TbCut, 5, Txt::kCut},
        {Cmd::TbCopy, 6, Txt::kCopy},
        {Cmd::TbPaste, 7, Txt::kPaste},
        {Cmd::TbDelete, 8, Txt::kDelete},
        {0, 0, nullptr},
        {Cmd::TbPlayback, 9, Txt::kPlayback},
        {Cmd::TbPause, 10, Txt::kPause},
        {Cmd::TbStop, 11, Txt::kStop},
        {Cmd::TbPlay, 12, Txt::kPlay},
        {0, 0, nullptr},
        {Cmd::TbSettings, 13, Txt::kSettings},
    };
    const std::vector<QIcon> icons = ToolbarIcons();
    for (const SButton& b : buttons)
    {
        if (b.nId == 0)
        {
            m_pToolBar->addSeparator();
            continue;
        }
        const QIcon icon =
            b.nPicture < static_cast<int>(icons.size()) ? icons[static_cast<size_t>(b.nPicture)] : QIcon();
        // A button with a menu item shows the item's action, with the toolbar's picture;
        // undo and redo have no item.
        QAction* pAction = Action(b.nId);
        if (pAction)
        {
            pAction->setIcon(icon);
            m_pToolBar->addAction(pAction);
            continue;
        }
        pAction = m_pToolBar->addAction(icon, Tr(b.pTip));
        pAction->setData(b.nId);
        const int nId = b.nId;
        connect(pAction, &QAction::triggered, this, [this, nId] { OnCommand(nId); });
        m_actions[b.nId] = pAction;
    }
    m_pToolBar->adjustSize();
}

void CTonegroveDlg::CreateControls()
{
    m_wndList = new QTableWidget(0, 2, m_pClient);
    m_wndList->setHorizontalHeaderLabels({Tr(Txt::kColumnName), Tr(Txt::kColumnTime)});
    m_wndList->verticalHeader()->hide();
    m_wndList->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_wndList->setColumnWidth(0, 350);
    m_wndList->setColumnWidth(1, 400);
    m_wndList->setSelectionMode(QAbstractItemView::SingleSelection);
    m_wndList->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_wndList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_wndList->setShowGrid(true);
    // Tab leaves the list for the next control (the position bar, the notes panel), as in a list
    // of the window system; the arrows move between the rows.
    m_wndList->setTabKeyNavigation(false);
    m_wndList->setWordWrap(false);
    m_wndList->verticalHeader()->setDefaultSectionSize(QFontMetrics(font()).height() + 4);
    m_wndList->setGeometry(DialogUnitsToPixels(kListRect));
    // A row's switches follow the selected row, whether the user or the program selected it.
    connect(m_wndList->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { OnItemChanged(); });
    // The highlighted row is the row that Playback plays, whoever made it the current one.
    connect(m_wndList->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current)
            {
                m_playlist.Select(current.isValid() ? current.row() : -1);
                QItemSelectionModel* pModel = m_wndList->selectionModel();
                if (current.isValid() && !pModel->isRowSelected(current.row(), QModelIndex()))
                    pModel->select(current, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
                UpdateTransportButtons();
            });
    connect(m_wndList, &QTableWidget::cellClicked, this, [this] { OnClick(); });
    connect(m_wndList, &QTableWidget::cellDoubleClicked, this,
            [this](int nRow, int) { DoubleClickRow(nRow); });

    m_pSlider = new QSlider(Qt::Horizontal, m_pClient);
    m_pSlider->setRange(0, 100);
    m_pSlider->setTickPosition(QSlider::NoTicks);
    m_pSlider->setGeometry(DialogUnitsToPixels(kSliderRect));
    // A click puts the handle where it was clicked instead of a page step towards it; keys, page
    // steps, the wheel and a drag move it as usual. Each seeks to the bar's new value, which is
    // already in sliderPosition() when the action is announced.
    auto* pStyle = new CClickJumpsStyle;
    pStyle->setParent(m_pSlider);
    m_pSlider->setStyle(pStyle);
    connect(m_pSlider, &QSlider::actionTriggered, this,
            [this](int) { OnBarMoved(m_pSlider->sliderPosition()); });

    m_pTimeText = new QLabel("0:00", m_pClient);
    QFont timeFont;
    timeFont.setFamilies({"Times New Roman", "Liberation Serif", "DejaVu Serif", "Serif"});
    timeFont.setStyleHint(QFont::Serif);
    timeFont.setPointSize(14);
    m_pTimeText->setFont(timeFont);
    m_pTimeText->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_pTimeText->setGeometry(DialogUnitsToPixels(kTimeRect));

    // The selection of the selected project, in the space between the list and the bar.
    m_pEditStatus = new QLabel(m_pClient);
    m_pEditStatus->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_pEditStatus->setGeometry(DialogUnitsToPixels(kEditStatusRect));
}

void CTonegroveDlg::resizeEvent(QResizeEvent* pEvent)
{
    QDialog::resizeEvent(pEvent);
    if (m_bReady && !isMinimized())
        LayOut();
}

void CTonegroveDlg::LayOut()
{
    // The client area's size W x H; the toolbar keeps the top, the rest follows these rules.
    const int W = m_pClient->width();
    const int H = m_pClient->height();
    m_pToolBar->setGeometry(0, 0, W, m_pToolBar->sizeHint().height());
    const int nBar = m_pSlider->height();
    m_wndList->setGeometry(0, 38, W - 40, H - 80 - nBar);
    const int nList = m_wndList->height();
    m_pSlider->setGeometry(0, nList + 70, W - m_pTimeText->width(), nBar);
    m_pTimeText->move(m_pSlider->width() + 20, nList + 70);
    m_pEditStatus->setGeometry(4, 38 + nList + 4, W - 44, std::max(0, 70 - 38 - 8));
}

void CTonegroveDlg::keyPressEvent(QKeyEvent* pEvent)
{
    // Enter ends the program as Esc does, the way a dialog without buttons ends.
    if (pEvent->key() == Qt::Key_Return || pEvent->key() == Qt::Key_Enter)
    {
        accept();
        return;
    }
    QDialog::keyPressEvent(pEvent);
}

void CTonegroveDlg::closeEvent(QCloseEvent* pEvent)
{
    if (m_bEnding || MayEnd())
        pEvent->accept();
    else
        pEvent->ignore();
}

void CTonegroveDlg::done(int nResult)
{
    // Exit, Enter, Esc and the close box all end here; unsaved projects are offered for saving.
    if (!m_bEnding && !MayEnd())
        return;
    m_bEnding = true;
    StopPlayers();
    QDialog::done(nResult);
}

bool CTonegroveDlg::OnCommand(int nId)
{
    const int nCommand = Cmd::CommandOfButton(nId);
    FollowSelection();
    // Also while a player's message waits: whatever hangs on, the outputs fall silent now.
    if (nCommand == Cmd::Panic)
    {
        m_pTransport->Panic();
        return true;
    }
    if ((nCommand == Cmd::Playback && m_playlist.IsProject(m_playlist.Selected())) || nCommand == Cmd::Play)
        TellLostOutput();
    std::optional<ETransportCommand> oTransport;
    if (nCommand == Cmd::Playback)
        oTransport = ETransportCommand::Playback;
    else if (nCommand == Cmd::Pause)
        oTransport = ETransportCommand::Pause;
    else if (nCommand == Cmd::Stop)
        oTransport = ETransportCommand::Stop;
    if (oTransport)
    {
        if (*oTransport == ETransportCommand::Pause && !m_pTransport->Busy())
            setFocus();
        m_pTransport->Command(*oTransport);
        return true;
    }
    // A player waits for the user's answer: other commands are dropped rather than piled on
    // top of the box.
    if (m_prompter.IsWorkerAsking())
        return true;
    return RunCommand(nCommand);
}

bool CTonegroveDlg::RunCommand(int nCommand)
{
    switch (nCommand)
    {
    case Cmd::New:
        OnNew();
        return true;
    case Cmd::Open:
        OnOpen();
        return true;
    case Cmd::OpenFolder:
        OnOpenFolder();
        return true;
    case Cmd::Save:
        OnSave();
        return true;
    case Cmd::SaveAs:
        OnSaveAs();
        return true;
    case Cmd::SaveAll:
        OnSaveAll();
        return true;
    case Cmd::Close:
        OnClose();
        return true;
    case Cmd::Help:
        OnHelp();
        return true;
    case Cmd::Exit:
        accept();
        return true;
    case Cmd::TbUndo:
    case Cmd::TbRedo:
    case Cmd::Cut:
    case Cmd::Copy:
    case Cmd::Paste:
    case Cmd::Delete:
    case Cmd::RemoveGaps:
    case Cmd::SelectionMark:
    case Cmd::SelectAll:
        OnEdit(nCommand);
        return true;
    case Cmd::ExportMidi:
        OnExportMidi();
        return true;
    case Cmd::Settings:
        OnSettings();
        return true;
    case Cmd::Play:
        OnLivePlay();
        return true;
    case Cmd::About:
        OnAbout();
        return true;
    default:
        return false;
    }
}

QAction* CTonegroveDlg::Action(int nId) const
{
    auto it = m_actions.find(Cmd::CommandOfButton(nId));
    return it == m_actions.end() ? nullptr : it->second;
}

QAction* CTonegroveDlg::MenuAction(int nId) const
{
    return Action(nId);
}

QAction* CTonegroveDlg::ToolAction(int nId) const
{
    return Action(nId);
}

bool CTonegroveDlg::IsMenuEnabled(int nId) const
{
    QAction* p = Action(nId);
    return p && p->isEnabled();
}

bool CTonegroveDlg::IsToolEnabled(int nId) const
{
    QAction* p = Action(nId);
    return p && p->isEnabled();
}

void CTonegroveDlg::EnableCommands(std::initializer_list<int> ids, bool bEnable)
{
    for (int nId : ids)
    {
        if (QAction* p = Action(nId))
            p->setEnabled(bEnable);
    }
}
