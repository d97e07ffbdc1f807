// The piano-roll panel under the playlist: what the selected row holds, read again when the row
// or its bytes change; its mouse selection is the clip editor's, a click seeks what plays and
// places the point Paste goes after, and a take shows while it is being recorded.
#include "mainwnd/TonegroveDlg.h"

#include "lang/Translate.h"
#include "mainwnd/MainTexts.h"
#include "platform/Files.h"
#include "project/ProjectFormat.h"
#include "roll/PianoRollView.h"
#include "roll/RollTexts.h"

#include <QTimer>

namespace
{
// How often a file being read for the panel is looked at.
constexpr int kRollPollMs = 50;
// Files whose drawing is kept after their row is left: a playlist of songs switched back and
// forth is read once.
constexpr size_t kRollCacheSize = 16;

SFileIdentity IdentityOf(const std::string& strPath)
{
    SFileFacts facts;
    if (LookAtPath(strPath, facts) != 0)
        return {};
    return facts.identity;
}
} // namespace

void CTonegroveDlg::CreateRoll()
{
    m_pRoll = new CPianoRollView(this);
    m_pRoll->SetPositionSource([this] { return RollPlayMs(); });
    connect(m_pRoll, &CPianoRollView::SelectionChosen, this,
            [this](int nFirst, int nLast) { OnRollSelection(nFirst, nLast); });
    connect(m_pRoll, &CPianoRollView::PositionChosen, this, [this](qint64 nMs) { OnRollPosition(nMs); });
    m_pRollPoll = new QTimer(this);
    connect(m_pRollPoll, &QTimer::timeout, this, [this] { PollRollJob(); });
}

double CTonegroveDlg::RollPlayMs() const
{
    if (m_oTakeEndMs)
        return static_cast<double>(*m_oTakeEndMs);
    if (m_playlist.Current() != m_rollShown.nRow)
        return m_pRoll->PlayMs();
    if (m_playlist.IsProject(m_rollShown.nRow))
        return m_pTransport->Player().m_fPosition;
    return m_pTransport->Media().m_fPosition;
}

void CTonegroveDlg::UpdateRoll()
{
    if (!m_pRoll)
        return;
    const int nRow = SelectedRow();
    SRollShown shown;
    if (m_playlist.Has(nRow))
    {
        const SPlaylistRow& row = m_playlist.Row(nRow);
        shown = {nRow, row.strPath, row.nVersion, row.eKind};
    }
    if (!(shown == m_rollShown))
    {
        // The same row with new bytes (an edit, a take) keeps its zoom and scroll.
        const bool bSameRow = shown.nRow == m_rollShown.nRow && shown.strPath == m_rollShown.strPath;
        m_rollShown = shown;
        m_pMidiJob.reset();
        m_pPeakJob.reset();
        m_pRollPoll->stop();
        m_pRollList.reset();
        if (shown.nRow < 0)
            m_pRoll->ShowNothing();
        else if (shown.eKind == ERowKind::Project)
        {
            m_pRollList = std::make_shared<const SNoteList>(BuildProjectNoteList(m_playlist.Row(nRow).data));
            m_pRoll->ShowNotes(m_pRollList, bSameRow);
        }
        else
            StartRollJob();
    }
    UpdateRollPlaying();
    UpdateRollSelection();
}

void CTonegroveDlg::StartRollJob()
{
    const std::string& strPath = m_rollShown.strPath;
    const SFileIdentity identity = IdentityOf(strPath);
    if (auto it = m_rollCache.find(strPath); it != m_rollCache.end() && it->second.identity == identity)
    {
        it->second.nUsed = ++m_nRollUses;
        ShowRollResult(it->second);
        return;
    }
    if (m_rollShown.eKind == ERowKind::Wave)
        m_pPeakJob = StartWavePeakJob(m_services.openWav, strPath);
    else
        m_pMidiJob = StartMidiNotesJob(strPath);
    m_pRoll->ShowProgress(Tr(Txt::kRollReading).arg(0));
    m_pRollPoll->start(kRollPollMs);
}

void CTonegroveDlg::PollRollJob()
{
    const bool bDone = m_pPeakJob ? m_pPeakJob->Done() : m_pMidiJob && m_pMidiJob->Done();
    if (!bDone)
    {
        const int nPercent = m_pPeakJob ? m_pPeakJob->Percent() : 0;
        m_pRoll->ShowProgress(Tr(Txt::kRollReading).arg(nPercent));
        return;
    }
    m_pRollPoll->stop();
    SRollCached cached;
    cached.identity = IdentityOf(m_rollShown.strPath);
    if (m_pPeakJob)
        cached.pPeaks = m_pPeakJob->Result();
    else
        cached.pNotes = m_pMidiJob->Result();
    m_pPeakJob.reset();
    m_pMidiJob.reset();
    // A file that could not be read is not kept: it may be whole the next time it is chosen.
    if (cached.pPeaks || cached.pNotes)
    {
        if (m_rollCache.size() >= kRollCacheSize)
        {
            auto itOldest = m_rollCache.begin();
            for (auto it = m_rollCache.begin(); it != m_rollCache.end(); ++it)
                if (it->second.nUsed < itOldest->second.nUsed)
                    itOldest = it;
            m_rollCache.erase(itOldest);
        }
        cached.nUsed = ++m_nRollUses;
        m_rollCache[m_rollShown.strPath] = cached;
    }
    ShowRollResult(cached);
}

void CTonegroveDlg::ShowRollResult(const SRollCached& cached)
{
    if (cached.pPeaks)
        m_pRoll->ShowWave(cached.pPeaks);
    else if (cached.pNotes)
    {
        m_pRollList = cached.pNotes;
        m_pRoll->ShowNotes(cached.pNotes);
    }
    else
        m_pRoll->ShowProgress(Tr(Txt::kRollUnreadable));
    UpdateRollPlaying();
}

void CTonegroveDlg::UpdateRollPlaying()
{
    if (!m_pRoll || m_oTakeEndMs)
        return;
    const bool bPlaying = m_pTransport->IsItemPlaying() && !m_pTransport->IsPaused() &&
                          m_playlist.Current() >= 0 && m_playlist.Current() == m_rollShown.nRow;
    if (bPlaying != m_pRoll->IsPlaying())
        m_pRoll->SetPlaying(bPlaying);
}

void CTonegroveDlg::UpdateRollSelection()
{
    if (!m_pRoll || !m_playlist.IsProject(m_rollShown.nRow))
        return;
    const int nStart = WholeMark(m_pEditor->SelStart());
    const int nEnd = WholeMark(m_pEditor->SelEnd());
    if (m_pEditor->MarkingEnd() || nStart < 1 || nEnd < nStart)
        m_pRoll->SetSelection(0, 0);
    else
        m_pRoll->SetSelection(nStart, nEnd);
}

void CTonegroveDlg::OnRollSelection(int nFirst, int nLast)
{
    if (!m_playlist.IsProject(m_rollShown.nRow) || m_bEditing)
        return;
    // The same selection F2 and Select all make: Copy, Cut, Delete and Paste act on it.
    m_pEditor->SetSelection(static_cast<float>(nFirst), static_cast<float>(nLast));
    UpdateEditState();
}

void CTonegroveDlg::OnRollPosition(qint64 nMs)
{
    // The row that plays, or is paused, goes there.
    if (m_playlist.Current() == m_rollShown.nRow && m_rollShown.nRow >= 0)
        m_pTransport->SeekTime(nMs);
    if (!m_pRollList || !m_playlist.IsProject(m_rollShown.nRow) || m_bEditing)
        return;
    // A click leaves no records selected and places the point Paste goes after: the last record
    // before the time clicked.
    m_pEditor->SetSelection(static_cast<float>(RecordBeforeTime(*m_pRollList, nMs)), 0.0f);
    UpdateEditState();
}

void CTonegroveDlg::ShowTake(const CNoteListBuilder& start, std::span<const uint8_t> take)
{
    CNoteListBuilder builder = start;
    builder.AddStream(take);
    auto pList = std::make_shared<const SNoteList>(builder.List());
    // The line stands at the take's end, and the view follows it there.
    const bool bFirst = !m_oTakeEndMs;
    m_oTakeEndMs = builder.TimeMs();
    m_pRoll->ShowNotes(pList, true);
    if (bFirst)
        m_pRoll->SetPlaying(true);
}

void CTonegroveDlg::EndTake()
{
    if (!m_oTakeEndMs)
        return;
    m_oTakeEndMs.reset();
    m_pRoll->SetPlaying(false);
    // The row's own drawing comes back (its bytes, with the take when it was kept), in the
    // view the take left.
    m_rollShown.nVersion = ~uint64_t{0};
    UpdateRoll();
}
