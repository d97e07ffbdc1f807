// The Edit menu's work on the playlist: the selection marks, the clipboard, the edits of the
// selected project row and their undo and redo. Qt-free; the main window shows what it holds.
#pragma once

#include "platform/Translatable.h"
#include "playlist/Playlist.h"
#include "project/ProjectPlayer.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string>

class CTransport;
class IPrompter;

// The number of the record a project has reached at nMs from its start: the last record whose
// time has come (a tone's time is its start), at least 1; 0 for a project without records.
int RecordAtTime(std::span<const uint8_t> project, int64_t nMs);

class CClipEditor
{
  public:
    // The marks, the mark state and the clip live as long as the editor; they are record
    // numbers, valid for whichever project row the next command works on.
    CClipEditor(CPlaylist& playlist, const CTransport& transport, IPrompter& prompter);

    // Selection mark: the record the selected project has reached becomes the selection's start
    // and, at the next mark, its end. Playing (or paused) it is the last record the player has
    // sent; otherwise the record at fBarTimeMs, the position bar's time. Gives true when the
    // next mark sets the end.
    bool Mark(float fBarTimeMs);
    bool MarkingEnd() const { return m_nSelState == 1; }
    // Every record of the selected project; a damaged one says so, and the selection ends at 0.
    void SelectAll();
    void SetSelection(float fStart, float fEnd);
    float SelStart() const { return m_fSelStart; }
    float SelEnd() const { return m_fSelEnd; }

    // The edits of the selected project row. Each gives true when the row's bytes changed (the
    // caller measures it again); a failure has been told and leaves the row as it was.
    bool Copy(); // never changes the row; a failed copy empties the clipboard
    bool Cut();  // a copy, and when it gave a clip, the delete of the same records
    bool Paste();
    bool Delete();
    bool RemoveGaps();
    bool Undo();
    bool Redo();
    bool CanUndo() const;
    bool CanRedo() const;

    const CProjectPlayer& Clip() const { return *m_pClip; }
    // What the status line shows: the selection in the selected project's records
    // ("Выделено: 3–7 из 20"), or nothing when no project row is selected.
    std::string StatusText() const { return JoinPieces(StatusPieces()); }
    // The same in pieces, for the window to show in its language.
    TextPieces StatusPieces() const;

  private:
    int SelectedProject() const; // the selected row when it is a project, else -1
    // Points the edit object at the row's bytes with the marks; false without a project row.
    bool Prepare(int nRow);
    bool Store(int nRow, std::optional<std::vector<uint8_t>> result);

    CPlaylist& m_playlist;
    const CTransport& m_transport;
    IPrompter& m_prompter;
    CProjectPlayer m_player;                 // the object the edits run on
    std::unique_ptr<CProjectPlayer> m_pClip; // never null: an empty clip is an empty object
    float m_fSelStart = 0;
    float m_fSelEnd = 0;
    int32_t m_nSelState = 0; // 0: the next mark sets the start; 1: the end
};
