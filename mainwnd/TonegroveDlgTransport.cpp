// The window's side of the transport: the timer that ticks it, the list, bar and label that show
// it, and the buttons its state switches. What plays, and when, is the transport's.
#include "mainwnd/TonegroveDlg.h"

#include "lang/Translate.h"
#include "mainwnd/CommandIds.h"
#include "mainwnd/MainTexts.h"
#include "platform/Prompter.h"

#include <QAction>
#include <QLabel>
#include <QSlider>
#include <QTableWidget>
#include <QTimer>

#include <algorithm>
#include <chrono>

namespace
{
constexpr int kDeferPollMs = 20;
} // namespace

bool CTonegroveDlg::IsTimerRunning() const
{
    return m_pTimer && m_pTimer->isActive();
}

void CTonegroveDlg::FollowSelection()
{
    m_playlist.Select(SelectedRow());
}

void CTonegroveDlg::UpdateTransportButtons()
{
    FollowSelection();
    StateChanged(m_pTransport->State());
}

void CTonegroveDlg::TellLostOutput()
{
    if (m_strLostOutput.empty() || m_prompter.IsWorkerAsking())
        return;
    const std::string strText =
        Tr(Txt::kOutputLost).arg(QString::fromStdString(m_strLostOutput)).toStdString();
    m_strLostOutput.clear();
    ShowMessage(m_prompter, strText, Txt::kOutputLostCaption, EIcon::Warning);
}

void CTonegroveDlg::OnTimer()
{
    FollowSelection();
    m_pTransport->Tick(m_services.clock.Now());
}

void CTonegroveDlg::DoubleClickRow(int nRow)
{
    FollowSelection();
    if (m_playlist.IsProject(nRow))
        TellLostOutput();
    m_pTransport->PlayRow(nRow);
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
    FollowSelection();
    m_pTransport->Seek(nValue, m_pSlider->maximum());
}

void CTonegroveDlg::StopPlayers()
{
    if (m_pTimer)
        m_pTimer->stop();
    if (m_pDeferTimer)
        m_pDeferTimer->stop();
    if (m_pTransport)
        m_pTransport->Shutdown();
}

void CTonegroveDlg::PlaybackStarting()
{
    setFocus();
    if (QAction* pMark = MenuAction(Cmd::SelectionMark))
    {
        const QString strText = pMark->text();
        const qsizetype nTab = strText.indexOf('\t');
        pMark->setText(Tr(Txt::kMark) + (nTab >= 0 ? strText.mid(nTab) : QString()));
    }
}

void CTonegroveDlg::SelectionMoved(int nRow)
{
    m_wndList->setCurrentCell(nRow, 0);
    m_wndList->scrollToItem(m_wndList->item(nRow, 0));
}

void CTonegroveDlg::CurrentChanged(int)
{
    // The list highlights the selected row, which Playback plays; the row that plays is not
    // marked apart from it.
}

void CTonegroveDlg::PositionChanged(int nPercent)
{
    m_pSlider->setValue(nPercent);
}

void CTonegroveDlg::TimeChanged(const std::string& strTime)
{
    m_pTimeText->setText(QString::fromStdString(strTime));
}

void CTonegroveDlg::StateChanged(const STransportState& state)
{
    EnableCommands({Cmd::Playback}, state.bPlayback);
    EnableCommands({Cmd::Pause}, state.bPause);
    EnableCommands({Cmd::Stop}, state.bStop);
    UpdateEditState();
}

void CTonegroveDlg::TickingChanged(bool bTicking)
{
    if (bTicking)
        m_pTimer->start(static_cast<int>(CTransport::kTickPeriod.count()));
    else
        m_pTimer->stop();
}

void CTonegroveDlg::CommandDeferred()
{
    if (!m_pDeferTimer->isActive())
        m_pDeferTimer->start(kDeferPollMs);
}
