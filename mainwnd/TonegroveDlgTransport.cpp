// The transport: Playback, Pause, Stop, a double click, the position bar and the 100 ms timer
// that follows the playing row and moves on through the list.
//
// One item sounds at a time: starting a row stops whatever else plays, and Pause, Stop and the
// bar act on the item that plays, not on the row that happens to be selected. The window thread
// never waits for a player that may be waiting for the user: a worker's message box holds its
// thread, so every wait here is short, bounded, and ends as soon as a worker asks.
#include "mainwnd/TonegroveDlg.h"

#include "app/Settings.h"
#include "app/TextHelpers.h"
#include "mainwnd/CommandIds.h"
#include "mainwnd/MainTexts.h"
#include "mainwnd/PlaylistState.h"
#include "platform/Prompter.h"
#include "sound/MciPlayer.h"
#include "sound/PlayerThread.h"

#include <QAction>
#include <QLabel>
#include <QSlider>
#include <QTableWidget>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <thread>

namespace
{
constexpr int kTimerPeriodMs = 100;
constexpr int kDeferPollMs = 20;
constexpr std::chrono::milliseconds kPrePause{200};
// How long a start lets the thread of the row played before take to end: a stopped player
// ends within a poll, so this only runs out when something holds it; the start then waits
// for the timer instead of the window.
constexpr std::chrono::milliseconds kEndWait{300};
// How long Playback lets a project thread take to begin, so that the timer's first tick finds
// it playing; the timer takes a thread that has not yet begun for playing anyway.
constexpr std::chrono::milliseconds kBeginWait{500};

bool IsTransportCommand(int nId)
{
    switch (nId)
    {
    case Cmd::Playback:
    case Cmd::TbPlayback:
    case Cmd::Pause:
    case Cmd::TbPause:
    case Cmd::Stop:
    case Cmd::TbStop:
        return true;
    default:
        return false;
    }
}

// Waits on the window thread, without its event loop, for fDone; gives up after nMax or as soon
// as a worker asks the user something, since that worker then waits for the answer.
template <class F> bool WaitBriefly(const IPrompter& prompter, F fDone, std::chrono::milliseconds nMax)
{
    const auto tEnd = std::chrono::steady_clock::now() + nMax;
    while (!fDone())
    {
        if (std::chrono::steady_clock::now() >= tEnd || prompter.IsWorkerAsking())
            return fDone();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

// Keeps a flag set for the length of a scope.
class CFlagScope
{
  public:
    explicit CFlagScope(bool& bFlag) : m_bFlag(bFlag) { m_bFlag = true; }
    ~CFlagScope() { m_bFlag = false; }

  private:
    bool& m_bFlag;
};
} // namespace

bool CTonegroveDlg::IsTimerRunning() const
{
    return m_pTimer && m_pTimer->isActive();
}

bool CTonegroveDlg::OnCommand(int nId)
{
    if (m_prompter.IsWorkerAsking() || (m_bInTransport && IsTransportCommand(nId)))
        return DeferCommand(nId);
    return RunCommand(nId);
}

bool CTonegroveDlg::DeferCommand(int nId)
{
    // A player waits for the user's answer: starting or stopping anything now would have the
    // window wait for that player, or pile commands on top of the box. Transport keys are
    // kept (the last one wins) and run once the box is answered; the rest are dropped.
    if (IsTransportCommand(nId))
    {
        m_nDeferredCommand = nId;
        if (m_pDeferTimer && !m_pDeferTimer->isActive())
            m_pDeferTimer->start(kDeferPollMs);
    }
    return true;
}

void CTonegroveDlg::RunDeferredCommand()
{
    if (m_nDeferredCommand == 0)
    {
        m_pDeferTimer->stop();
        return;
    }
    if (m_prompter.IsWorkerAsking() || m_bInTransport)
        return; // the poll comes back
    m_pDeferTimer->stop();
    const int nId = std::exchange(m_nDeferredCommand, 0);
    RunCommand(nId);
}

CTonegroveDlg::EKind CTonegroveDlg::KindOfRow(int nRow) const
{
    if (nRow < 0 || nRow >= RowCount())
        return EKind::None;
    const std::string strType = TypeOfPath(RowText(nRow, 0));
    if (strType == "TGP")
        return EKind::Project;
    if (strType == "WAV" || strType == "MID")
        return EKind::Media;
    return EKind::None;
}

bool CTonegroveDlg::PlayerFree(EKind eKind) const
{
    return eKind == EKind::Project ? !m_pPlayerThread->Running() : !m_pMedia->ThreadRunning();
}

bool CTonegroveDlg::CurrentSounds() const
{
    if (!m_bItemPlaying || m_nPendingRow >= 0)
        return false;
    if (m_eKind == EKind::Project)
        return m_pPlayerThread->Running();
    if (m_eKind == EKind::Media)
        return m_pMedia->ThreadRunning() && m_pMedia->m_bPlaying;
    return false;
}

SButtons CTonegroveDlg::ComputeTransportButtons() const
{
    const int nSelected = SelectedRow();
    const bool bPlayable = KindOfRow(nSelected) != EKind::None;
    const bool bSounding = m_bItemPlaying;
    const bool bPaused = m_bPauseToggle;
    SButtons buttons;
    buttons.bPlay = IsToolEnabled(Cmd::TbPlay);
    // Playback starts the selected row, or resumes it when it is the paused one; only the row
    // that already plays has nothing to gain from it.
    buttons.bPlayback = bPlayable && !(bSounding && !bPaused && nSelected == g_nCurrentItem);
    buttons.bPause = bSounding && !bPaused && m_nPendingRow < 0;
    buttons.bStop = bSounding;
    return buttons;
}

void CTonegroveDlg::UpdateTransportButtons()
{
    const SButtons buttons = ComputeTransportButtons();
    EnableTool(Cmd::TbPlayback, buttons.bPlayback);
    EnableTool(Cmd::TbPause, buttons.bPause);
    EnableTool(Cmd::TbStop, buttons.bStop);
}

void CTonegroveDlg::StopSounding()
{
    m_pTimer->stop();
    m_nPendingRow = -1;
    if (m_pPlayerThread->Running())
    {
        // The thread wakes from its wait at once and switches off every note it switched on.
        m_pPlayerThread->Stop();
        // The oscillator's buffer of a version 0.1 project is the thread's own and goes quiet
        // with it.
    }
    m_pPlayer->m_fPosition = 0;
    if (m_pMedia->ThreadRunning())
    {
        // Told to end first, back at the start next, and only then woken: the thread closes the
        // file after the seek, not before it.
        const int32_t nAlias = m_pMedia->m_nAlias;
        m_pMedia->m_bPlaying = false;
        m_pMedia->Seek(nAlias, 0);
        m_pMedia->Stop(nAlias);
    }
    m_bItemPlaying = false;
    m_bPauseToggle = false;
}

void CTonegroveDlg::OnPlayback()
{
    CFlagScope inTransport(m_bInTransport);
    setFocus();
    if (QAction* pMark = MenuAction(Cmd::SelectionMark))
    {
        const QString strText = pMark->text();
        const qsizetype nTab = strText.indexOf('\t');
        pMark->setText(QString::fromUtf8(Txt::kMark) + (nTab >= 0 ? strText.mid(nTab) : QString()));
    }

    const int nRow = SelectedRow();
    if (nRow < 0)
    {
        UpdateTransportButtons();
        return;
    }
    MarkRow(nRow);
    const EKind eKind = KindOfRow(nRow);
    if (nRow == g_nCurrentItem && eKind == m_eKind && CurrentSounds())
    {
        // The row that plays plays on; paused, it goes on from where it was.
        if (m_bPauseToggle)
        {
            if (eKind == EKind::Project)
                m_pPlayer->m_bPause = false;
            else
                m_pMedia->m_bPause = false;
        }
        m_bPauseToggle = false;
        UpdateTransportButtons();
        return;
    }

    StopSounding();
    g_nCurrentItem = nRow;
    m_eKind = eKind;
    m_pSlider->setValue(0);
    if (eKind != EKind::None)
    {
        m_bItemPlaying = true;
        StartRow(nRow);
        m_pTimer->start(kTimerPeriodMs);
    }
    UpdateTransportButtons();
}

void CTonegroveDlg::StartRow(int nRow)
{
    if (!PlayerFree(m_eKind))
        WaitBriefly(
            m_prompter, [this] { return PlayerFree(m_eKind); }, kEndWait);
    if (!PlayerFree(m_eKind))
    {
        // The thread of the row before is held (by its message box, say): the timer starts
        // this row once it has gone.
        m_nPendingRow = nRow;
        return;
    }
    StartNow(nRow);
}

void CTonegroveDlg::StartNow(int nRow)
{
    m_nPendingRow = -1;
    if (m_eKind == EKind::Project)
    {
        m_pPlayer->SetData(m_arrData[static_cast<size_t>(nRow)]);
        m_pPlayer->ComputeTotal();
        m_pPlayerThread->Start(m_settings.DeviceIndex);
        m_pPlayer->m_fPosition = 0;
        // The first tick should find the project playing; a thread that tells the user about
        // its device or its project is not waited for (the timer takes it for playing).
        m_bProjectBegan = false;
        WaitBriefly(
            m_prompter, [this] { return m_pPlayerThread->Settled(); }, kBeginWait);
        m_bProjectBegan = m_pPlayer->m_bPlaying;
    }
    else if (m_eKind == EKind::Media)
    {
        if (m_settings.PrePause)
            std::this_thread::sleep_for(kPrePause);
        const std::string strPath = nRow < static_cast<int>(g_arrPaths.size())
                                        ? g_arrPaths[static_cast<size_t>(nRow)]
                                        : RowText(nRow, 0);
        m_pMedia->Play(nRow, strPath);
    }
}

void CTonegroveDlg::OnPause()
{
    CFlagScope inTransport(m_bInTransport);
    setFocus();
    if (!m_bItemPlaying || m_nPendingRow >= 0)
        return; // nothing sounds that could be held
    m_bPauseToggle = !m_bPauseToggle;
    // The item that plays is held, whatever row is selected: a media command never reaches a
    // project row, nor a project's flag a media file.
    if (m_eKind == EKind::Project)
        m_pPlayer->m_bPause = m_bPauseToggle;
    else if (m_eKind == EKind::Media)
        m_pMedia->m_bPause = m_bPauseToggle;
    UpdateTransportButtons();
}

void CTonegroveDlg::OnStop()
{
    CFlagScope inTransport(m_bInTransport);
    // Whatever sounds stops, whichever row is selected, and the list stops with it.
    StopSounding();
    UpdateTransportButtons();
}

void CTonegroveDlg::DoubleClickRow(int nRow)
{
    if (RowCount() == 0 || nRow < 0 || nRow >= RowCount())
        return;
    if (m_bInTransport || m_prompter.IsWorkerAsking())
        return;
    m_wndList->setCurrentCell(nRow, 0);
    OnPlayback();
}

void CTonegroveDlg::OnThumbPositionChanging(int nScreenX)
{
    // A click: 15 pixels in from the bar's left edge is its start.
    const int nLeft = m_pSlider->mapToGlobal(QPoint(0, 0)).x();
    const int nWidth = m_pSlider->width();
    if (nWidth <= 0)
        return;
    const int nPosition =
        std::clamp(m_pSlider->maximum() * (nScreenX - nLeft - 15) / nWidth, 0, m_pSlider->maximum());
    m_pSlider->setSliderPosition(nPosition);
    OnBarMoved(nPosition);
}

void CTonegroveDlg::OnBarMoved(int nValue)
{
    if (m_bInTransport || m_prompter.IsWorkerAsking())
        return;
    CFlagScope inTransport(m_bInTransport);
    // Only a media file that plays (or is paused) is sought; for anything else the bar alone
    // moves, and the next tick puts it back.
    if (m_eKind != EKind::Media || !CurrentSounds())
        return;
    const int32_t nAlias = m_pMedia->m_nAlias;
    m_pTimer->stop();
    const float fLength = m_pMedia->GetLength(nAlias);
    const int nMax = std::max(1, m_pSlider->maximum());
    const float fTarget =
        std::clamp(fLength * static_cast<float>(std::clamp(nValue, 0, nMax)) / static_cast<float>(nMax), 0.0f,
                   std::max(fLength, 0.0f));
    m_pMedia->Seek(nAlias, fTarget);
    m_pTimer->start(kTimerPeriodMs);
    // A paused file goes on from the new place.
    m_bPauseToggle = false;
    m_pMedia->m_bPause = false;
    UpdateTransportButtons();
}

void CTonegroveDlg::OnTimer()
{
    // The list waits while a player's message waits for the user; a tick that comes while a
    // transport command is still under way has nothing to add.
    if (m_bInTransport || m_prompter.IsWorkerAsking())
        return;
    if (m_nDeferredCommand != 0)
    {
        RunDeferredCommand();
        return;
    }
    if (!IsTimerRunning())
        return; // a tick already on its way when the list was stopped
    CFlagScope inTransport(m_bInTransport);
    if (m_nPendingRow >= 0)
    {
        if (!PlayerFree(m_eKind))
            return;
        StartNow(m_nPendingRow);
    }

    const int nCurrent = g_nCurrentItem;
    if (nCurrent >= 0 && nCurrent < RowCount() && m_bItemPlaying)
    {
        if (m_eKind == EKind::Project)
        {
            const float fPosition = m_pPlayer->m_fPosition;
            m_pTimeText->setText(QString::fromStdString(FormatTime(fPosition)));
            const int32_t nTotal = m_pPlayer->m_nTotal;
            m_pSlider->setValue(nTotal > 0 ? static_cast<int>(fPosition * 100.0f / static_cast<float>(nTotal))
                                           : 0);
            // A thread that has not yet begun (it may be telling the user about its device)
            // counts as playing; one that has begun plays while its playing flag is set.
            const bool bPlaying = m_pPlayer->m_bPlaying;
            m_bProjectBegan = m_bProjectBegan || bPlaying;
            m_bItemPlaying = bPlaying || (!m_bProjectBegan && m_pPlayerThread->Running());
        }
        else if (m_eKind == EKind::Media)
        {
            const float fPosition = m_pMedia->m_fPosition;
            const float fLength = m_pMedia->m_fLength;
            m_pTimeText->setText(QString::fromStdString(FormatTime(fPosition)));
            m_pSlider->setValue(fLength > 0 ? static_cast<int>(fPosition / fLength * 100.0f) : 0);
            m_bItemPlaying = m_pMedia->m_bPlaying;
        }
        if (!m_bItemPlaying)
            m_bPauseToggle = false;
    }

    if (m_settings.AllPlay && !m_bItemPlaying)
    {
        const int nSelected = SelectedRow();
        const int nRows = RowCount();
        int nNext = -1;
        if (nSelected < nRows - 1)
            nNext = nSelected + 1;
        else if (m_settings.PlayNoEnd && nRows > 0)
            nNext = 0; // the next pass begins with the first row
        if (nNext >= 0)
        {
            m_wndList->setCurrentCell(nNext, 0);
            m_wndList->scrollToItem(m_wndList->item(nNext, 0));
            m_bInTransport = false;
            OnPlayback();
            return;
        }
        m_pTimer->stop();
    }
    UpdateTransportButtons();
}

void CTonegroveDlg::StopPlayers()
{
    // The program ends: a worker's message on screen is closed and no other is shown, so that
    // every player can come to its end and be joined.
    m_prompter.EndWorkerMessages(true);
    if (m_pTimer)
        m_pTimer->stop();
    if (m_pDeferTimer)
        m_pDeferTimer->stop();
    m_nDeferredCommand = 0;
    m_nPendingRow = -1;
    if (m_pPlayerThread)
    {
        m_pPlayerThread->Stop();
        m_pPlayerThread->Join();
    }
    if (m_pMedia)
        m_pMedia->Shutdown();
    m_bItemPlaying = false;
    m_prompter.EndWorkerMessages(false);
}
