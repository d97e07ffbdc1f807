// The transport: Playback, Pause, Stop, a double click, the position bar and the 100 ms timer
// that follows the playing row and moves on through the list.
#include "mainwnd/TonegroveDlg.h"

#include "app/Settings.h"
#include "app/TextHelpers.h"
#include "mainwnd/CommandIds.h"
#include "mainwnd/MainTexts.h"
#include "mainwnd/PlaylistState.h"
#include "sound/MciPlayer.h"
#include "sound/PlayerThread.h"

#include <QAction>
#include <QCoreApplication>
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
constexpr std::chrono::milliseconds kPrePause{200};
// How long Playback lets a media thread that was told to end take to end.
constexpr std::chrono::seconds kMediaEndWait{2};

bool IsMediaType(const std::string& strType) { return strType == "WAV" || strType == "MID"; }

// Waits on the window thread for fDone, with the event loop running: a player may be showing
// its message through this thread, and the window must go on painting. The user's input waits.
template <class F> bool WaitProcessing(F fDone, std::chrono::milliseconds nMax)
{
    const auto tEnd = std::chrono::steady_clock::now() + nMax;
    while (!fDone())
    {
        if (std::chrono::steady_clock::now() >= tEnd)
            return false;
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 5);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}
} // namespace

bool CTonegroveDlg::IsTimerRunning() const { return m_pTimer && m_pTimer->isActive(); }

void CTonegroveDlg::OnPlayback()
{
    setFocus();
    if (QAction* pMark = MenuAction(Cmd::SelectionMark))
    {
        const QString strText = pMark->text();
        const qsizetype nTab = strText.indexOf('\t');
        pMark->setText(QString::fromUtf8(Txt::kMark) + (nTab >= 0 ? strText.mid(nTab) : QString()));
    }
    m_bPauseToggle = false;

    const int nRow = SelectedRow();
    g_nCurrentItem = nRow;
    if (nRow >= 0)
        MarkRow(nRow);
    const std::string strType = nRow >= 0 ? TypeOfPath(RowText(nRow, 0)) : std::string();
    if (strType == "TGP")
        PlayProjectRow(nRow);
    else if (IsMediaType(strType))
        PlayMediaRow(nRow);
    m_bItemPlaying = true;
    m_pSlider->setValue(0);
}

void CTonegroveDlg::PlayProjectRow(int nRow)
{
    m_pPlayer->SetData(m_arrData[static_cast<size_t>(nRow)]);
    m_pPlayer->ComputeTotal();
    // A paused project resumes; any other row is played from its start, also while the thread
    // still plays the row played before (it is stopped first).
    if (m_pPlayer->m_bPlaying && m_pPlayerThread->Running() && m_nPlayerRow == nRow)
        m_pPlayer->m_bPause = false;
    else
    {
        if (m_pPlayerThread->Running())
            m_pPlayerThread->Stop();
        WaitProcessing([this] { return !m_pPlayerThread->Running(); }, std::chrono::seconds(2));
        m_pPlayerThread->Start(DeviceIndex);
        m_nPlayerRow = nRow;
    }
    m_pPlayer->m_fPosition = 0;
    m_pSlider->setValue(0);
    EnableTool(Cmd::TbPlayback, false);
    EnableTool(Cmd::TbPause, true);
    EnableTool(Cmd::TbStop, true);
    // The timer must not see the project as finished before its thread has begun; a thread
    // that gives up on a damaged project settles the wait too.
    WaitProcessing([this] { return m_pPlayerThread->Settled(); }, std::chrono::hours(24));
    m_pTimer->start(kTimerPeriodMs);
}

void CTonegroveDlg::PlayMediaRow(int nRow)
{
    EnableTool(Cmd::TbPlayback, false);
    EnableTool(Cmd::TbPause, true);
    EnableTool(Cmd::TbStop, true);
    if (m_pMedia->m_bPlaying)
        m_pMedia->Stop(g_nCurrentItem);
    if (PrePause)
        std::this_thread::sleep_for(kPrePause);
    // The thread told to end notices within its poll; the new row then gets a thread of its
    // own instead of resuming the old one.
    WaitProcessing([this] { return !m_pMedia->ThreadRunning(); }, kMediaEndWait);
    const std::string strPath = nRow < static_cast<int>(g_arrPaths.size()) ? g_arrPaths[static_cast<size_t>(nRow)]
                                                                          : RowText(nRow, 0);
    m_pMedia->Play(g_nCurrentItem, strPath);
    m_bItemPlaying = true;
    m_pTimer->start(kTimerPeriodMs);
}

void CTonegroveDlg::OnPause()
{
    setFocus();
    m_bPauseToggle = !m_bPauseToggle;
    const int nRow = SelectedRow();
    if (IsProjectRow(nRow))
        m_pPlayer->m_bPause = !m_pPlayer->m_bPause;
    else if (m_bPauseToggle)
        m_pMedia->m_bPause = true;
    else
    {
        const int nCurrent = g_nCurrentItem;
        if (nCurrent >= 0 && nCurrent < static_cast<int>(g_arrPaths.size()))
            m_pMedia->Play(nCurrent, g_arrPaths[static_cast<size_t>(nCurrent)]);
    }
    EnableTool(Cmd::TbPlayback, true);
    EnableTool(Cmd::TbPause, false);
    EnableTool(Cmd::TbStop, true);
}

void CTonegroveDlg::OnStop()
{
    const int nRow = SelectedRow();
    if (!IsProjectRow(nRow))
    {
        m_pMedia->m_bPlaying = false;
        m_pMedia->Seek(g_nCurrentItem, 0);
        m_pTimer->stop();
    }
    else
    {
        // The thread wakes from its wait at once and switches off every note it switched on.
        m_pPlayerThread->Stop();
        m_pPlayer->m_fPosition = 0;
    }
    m_bItemPlaying = false;
    EnableTool(Cmd::TbPlayback, true);
    EnableTool(Cmd::TbPause, false);
    EnableTool(Cmd::TbStop, false);
}

void CTonegroveDlg::DoubleClickRow(int nRow)
{
    if (RowCount() == 0)
        return;
    if (nRow >= 0 && nRow < RowCount())
        m_wndList->setCurrentCell(nRow, 0);
    m_pMedia->Stop(g_nCurrentItem);
    OnPlayback();
}

void CTonegroveDlg::OnThumbPositionChanging(int nScreenX)
{
    m_bPauseToggle = true;
    const int nLeft = m_pSlider->mapToGlobal(QPoint(0, 0)).x();
    const int nWidth = m_pSlider->width();
    if (nWidth <= 0)
        return;
    const int nOffset = nScreenX - nLeft - 15;
    const int nPosition = std::clamp(m_pSlider->maximum() * nOffset / nWidth, 0, m_pSlider->maximum());
    m_pSlider->setSliderPosition(nPosition);

    const int nRow = SelectedRow();
    if (nRow < 0 || TypeOfPath(RowText(nRow, 0)) == "TGP")
        return; // a project is not sought
    const int nCurrent = g_nCurrentItem;
    m_pTimer->stop();
    const float fLength = m_pMedia->GetLength(nCurrent);
    // Past either end of the bar is its end: MCI refuses a target outside the file.
    const float fTarget = std::clamp(fLength * static_cast<float>(nOffset) / static_cast<float>(nWidth), 0.0f,
                                     std::max(fLength, 0.0f));
    m_pMedia->Seek(nCurrent, fTarget);
    m_pTimer->start(kTimerPeriodMs);
    m_bPauseToggle = false;
    if (nCurrent >= 0 && nCurrent < static_cast<int>(g_arrPaths.size()))
        m_pMedia->Play(nCurrent, g_arrPaths[static_cast<size_t>(nCurrent)]);
}

void CTonegroveDlg::OnTimer()
{
    const int nCurrent = g_nCurrentItem;
    if (nCurrent < 0 || nCurrent >= RowCount())
        return;
    const std::string strText = RowText(nCurrent, 0);
    if (strText.empty())
        return;
    const std::string strType = TypeOfPath(strText);

    if (m_bItemPlaying)
    {
        if (strType == "TGP")
        {
            const float fPosition = m_pPlayer->m_fPosition;
            m_pTimeText->setText(QString::fromStdString(FormatTime(fPosition)));
            const int32_t nTotal = m_pPlayer->m_nTotal;
            m_pSlider->setValue(nTotal > 0 ? static_cast<int>(fPosition * 100.0f / static_cast<float>(nTotal)) : 0);
            m_bItemPlaying = m_pPlayer->m_bPlaying;
        }
        else if (IsMediaType(strType))
        {
            const float fPosition = m_pMedia->m_fPosition;
            const float fLength = m_pMedia->m_fLength;
            m_pTimeText->setText(QString::fromStdString(FormatTime(fPosition)));
            m_pSlider->setValue(fLength > 0 ? static_cast<int>(fPosition / fLength * 100.0f) : 0);
            m_bItemPlaying = m_pMedia->m_bPlaying;
        }
    }

    if (!AllPlay)
        return;
    if (!m_bItemPlaying)
    {
        const int nSelected = SelectedRow();
        const int nRows = RowCount();
        if (nSelected < nRows - 1)
        {
            m_wndList->setCurrentCell(nSelected + 1, 0);
            m_wndList->scrollToItem(m_wndList->item(nSelected + 1, 0));
            g_nCurrentItem = g_nCurrentItem + 1;
            if (g_nCurrentItem < nRows)
            {
                m_pTimer->stop();
                OnPlayback();
                m_bItemPlaying = true;
            }
        }
        else if (PlayNoEnd)
        {
            // Nothing starts at this tick; the next one moves on to row 1.
            MarkRow(0);
            g_nCurrentItem = 0;
        }
        else
        {
            m_pTimer->stop();
            EnableTool(Cmd::TbPlayback, true);
            EnableTool(Cmd::TbPause, false);
            EnableTool(Cmd::TbStop, false);
        }
    }
    else if (IsMediaType(strType) && m_pMedia->GetMode(nCurrent) == "stopped")
        m_bItemPlaying = false;
}

void CTonegroveDlg::StopPlayers()
{
    if (m_pTimer)
        m_pTimer->stop();
    if (m_pPlayerThread)
    {
        m_pPlayerThread->Stop();
        // A message the player shows is answered on this thread: keep it running meanwhile.
        WaitProcessing([this] { return !m_pPlayerThread->Running(); }, std::chrono::hours(24));
        m_pPlayerThread->Join();
    }
    if (m_pMedia)
        m_pMedia->Shutdown();
}
