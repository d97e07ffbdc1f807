#include "playlist/ClipEditor.h"

#include "playlist/Transport.h"
#include "project/ProjectFormat.h"

#include <algorithm>
#include <cmath>

namespace
{
constexpr const char* kSelected = TG_TR_NOOP("Tonegrove", "Выделено: ");
constexpr const char* kOf = TG_TR_NOOP("Tonegrove", " из ");
constexpr const char* kNothingSelected = TG_TR_NOOP("Tonegrove", "ничего");
constexpr const char* kSelectionStart = TG_TR_NOOP("Tonegrove", "Начало выделения: ");
constexpr const char* kDash = "–";

// Records of the project without a word about damage: those before it count.
int QuietCount(std::span<const uint8_t> project)
{
    int nVersion = 0;
    if (CheckProjectHeader(project, nVersion) != EHeader::Ok)
        return 0;
    const SWalkResult result =
        WalkRecords(nVersion, project.subspan(kHeaderSize), [](const SRecord&) { return true; });
    return static_cast<int>(result.nRecords);
}
} // namespace

int RecordAtTime(std::span<const uint8_t> project, int64_t nMs)
{
    int nVersion = 0;
    if (CheckProjectHeader(project, nVersion) != EHeader::Ok)
        return 0;
    int64_t nTime = 0;
    int nReached = 0;
    WalkRecords(nVersion, project.subspan(kHeaderSize),
                [&](const SRecord& record)
                {
                    // A tone starts when what came before it has finished; every other record
                    // sounds after its delay.
                    if (record.eKind != ERecordKind::Tone)
                        nTime += record.nDelay;
                    if (nTime > nMs && nReached > 0)
                        return false;
                    ++nReached;
                    if (record.eKind == ERecordKind::Tone)
                        nTime += record.nDuration;
                    return true;
                });
    return nReached;
}

CClipEditor::CClipEditor(CPlaylist& playlist, const CTransport& transport, IPrompter& prompter)
    : m_playlist(playlist), m_transport(transport), m_prompter(prompter), m_player(prompter),
      m_pClip(std::make_unique<CProjectPlayer>(prompter))
{
}

int CClipEditor::SelectedProject() const
{
    const int nRow = m_playlist.Selected();
    return m_playlist.IsProject(nRow) ? nRow : -1;
}

bool CClipEditor::Mark(float fBarTimeMs)
{
    const int nRow = SelectedProject();
    int nRecord = 1;
    if (nRow >= 0)
    {
        const CProjectPlayer& playing = m_transport.Player();
        if (m_transport.IsItemPlaying() && m_playlist.Current() == nRow && playing.m_bPlaying)
        {
            // The player counts a record when it starts waiting for it: the one before has
            // sounded, and that is what the user heard when marking.
            nRecord = std::max(1, playing.m_nRecordCount.load() - 1);
        }
        else
        {
            const double fMs = std::isfinite(fBarTimeMs) ? std::max(0.0f, fBarTimeMs) : 0.0;
            nRecord = std::max(1, RecordAtTime(m_playlist.Row(nRow).data, static_cast<int64_t>(fMs)));
        }
    }
    if (m_nSelState == 0)
    {
        m_fSelStart = static_cast<float>(nRecord);
        m_nSelState = 1;
    }
    else
    {
        m_fSelEnd = static_cast<float>(nRecord);
        m_nSelState = 0;
    }
    return m_nSelState == 1;
}

void CClipEditor::SelectAll()
{
    m_fSelStart = 1;
    m_fSelEnd = 0;
    const int nRow = SelectedProject();
    if (nRow < 0)
        return;
    m_player.SetData(m_playlist.Row(nRow).data);
    m_fSelEnd = static_cast<float>(m_player.CountRecords());
}

void CClipEditor::SetSelection(float fStart, float fEnd)
{
    m_fSelStart = fStart;
    m_fSelEnd = fEnd;
    m_nSelState = 0;
}

bool CClipEditor::Prepare(int nRow)
{
    if (nRow < 0)
        return false;
    m_player.SetData(m_playlist.Row(nRow).data);
    m_player.m_fMarkStart = m_fSelStart;
    m_player.m_fMarkEnd = m_fSelEnd;
    return true;
}

bool CClipEditor::Store(int nRow, std::optional<std::vector<uint8_t>> result)
{
    // The edit object points into the row's bytes, which the new ones replace.
    m_player.SetData({});
    if (!result || *result == m_playlist.Row(nRow).data)
        return false;
    m_playlist.SetData(nRow, std::move(*result));
    return true;
}

bool CClipEditor::Copy()
{
    const int nRow = SelectedProject();
    if (!Prepare(nRow))
        return false;
    std::unique_ptr<CProjectPlayer> pClip = m_player.Copy();
    m_pClip = pClip ? std::move(pClip) : std::make_unique<CProjectPlayer>(m_prompter);
    m_player.SetData({});
    return false;
}

bool CClipEditor::Cut()
{
    // Without a clip (an empty selection, or a damaged project that the copy has already told
    // about) there is nothing to take out.
    Copy();
    return m_pClip->HasClip() && Delete();
}

bool CClipEditor::Paste()
{
    const int nRow = SelectedProject();
    if (!Prepare(nRow))
        return false;
    return Store(nRow, m_player.Paste(m_pClip.get(), WholeMark(m_fSelStart)));
}

bool CClipEditor::Delete()
{
    const int nRow = SelectedProject();
    if (!Prepare(nRow))
        return false;
    return Store(nRow, m_player.Delete());
}

bool CClipEditor::RemoveGaps()
{
    const int nRow = SelectedProject();
    if (!Prepare(nRow))
        return false;
    return Store(nRow, m_player.RemoveGaps());
}

bool CClipEditor::Undo()
{
    return m_playlist.Undo(SelectedProject());
}

bool CClipEditor::Redo()
{
    return m_playlist.Redo(SelectedProject());
}

bool CClipEditor::CanUndo() const
{
    return m_playlist.CanUndo(SelectedProject());
}

bool CClipEditor::CanRedo() const
{
    return m_playlist.CanRedo(SelectedProject());
}

TextPieces CClipEditor::StatusPieces() const
{
    const int nRow = SelectedProject();
    if (nRow < 0)
        return {};
    const int nCount = QuietCount(m_playlist.Row(nRow).data);
    const STextPiece of{kOf};
    const STextPiece count = Value(std::to_string(nCount));
    if (m_nSelState == 1)
        return {{kSelectionStart}, Value(std::to_string(std::max(1, WholeMark(m_fSelStart)))), of, count};
    const int nStart = std::max(1, WholeMark(m_fSelStart));
    const int nEnd = std::min(nCount, WholeMark(m_fSelEnd));
    if (nEnd < 1 || nEnd < nStart)
        return {{kSelected}, {kNothingSelected}, of, count};
    return {{kSelected}, Value(std::to_string(nStart) + kDash + std::to_string(nEnd)), of, count};
}
