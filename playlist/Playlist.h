// The playlist: its rows (projects held in memory, WAV and MID files played in place), the
// selected row and the row being played. The window shows these rows; it keeps none of its own.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

enum class ERowKind
{
    Project, // a .tgp file, its bytes held in the row
    Wave,    // a .wav file, played in place
    Midi,    // a MIDI file (.mid, .midi, .kar), played in place
};

// The kind a file becomes as a row, from its extension (compared without regard to case);
// nothing for a file the playlist does not take.
std::optional<ERowKind> KindOfPath(const std::string& strPath);
// The kind of a file to open: by its name, and a file whose name gives none is a project when it
// starts with the project header, since the desktop knows a project by it, whatever its name.
// Only regular files are looked into.
std::optional<ERowKind> KindOfFile(const std::string& strPath);

struct SPlaylistRow
{
    std::string strPath; // system bytes, as the file was added or last saved
    ERowKind eKind = ERowKind::Project;
    std::vector<uint8_t> data; // the project's bytes; empty for a media row
    float fLength = 0;         // playing time, ms
    bool bModified = false;    // the bytes were changed here and not yet written

    // The row's edit history, kept from the moment it was opened: the bytes before each edit
    // (undo) and after each undone one (redo), each with the number of its version, so that a
    // save in between is remembered as one version and undoing past it marks the row modified.
    struct SVersion
    {
        std::vector<uint8_t> data;
        uint64_t nVersion = 0;
    };
    std::vector<SVersion> arrUndo{};
    std::vector<SVersion> arrRedo{};
    uint64_t nVersion = 0;      // of data
    int64_t nSavedVersion = -1; // the version its file holds; -1 for none (Add sets it)

    bool IsProject() const { return eKind == ERowKind::Project; }
    bool IsMedia() const { return eKind != ERowKind::Project; }
};

class CPlaylist
{
  public:
    int Count() const { return static_cast<int>(m_arrRows.size()); }
    bool Has(int nRow) const { return nRow >= 0 && nRow < Count(); }
    // The row; nRow must be one of the list's.
    const SPlaylistRow& Row(int nRow) const { return m_arrRows.at(static_cast<size_t>(nRow)); }
    // The row whose path is strPath exactly, -1 for none.
    int Find(const std::string& strPath) const;
    bool IsProject(int nRow) const { return Has(nRow) && Row(nRow).IsProject(); }

    // Appends the row; gives its number.
    int Add(SPlaylistRow row);
    // Removes the row: the rows after it move up, and so do the selection and the playing row
    // with them; the playing row itself, removed, leaves no row playing. The selection of a
    // removed row is left to the caller (-1 until then).
    void Remove(int nRow);

    // Edits of a row: new bytes (the row is then modified, and the edit can be undone), a new
    // path after a save (the row is then as its file holds it), a measured length.
    void SetData(int nRow, std::vector<uint8_t> data);
    // Steps back or forward through the row's history; false when there is nothing to step to.
    // The row is modified unless the bytes it gets are the ones its file holds.
    bool Undo(int nRow);
    bool Redo(int nRow);
    bool CanUndo(int nRow) const { return Has(nRow) && !Row(nRow).arrUndo.empty(); }
    bool CanRedo(int nRow) const { return Has(nRow) && !Row(nRow).arrRedo.empty(); }
    void SetSaved(int nRow, const std::string& strPath);
    void SetLength(int nRow, float fLength);
    void SetModified(int nRow, bool bModified);

    // The selection mark: the row Playback plays and the commands act on; -1 for none.
    int Selected() const { return m_nSelected; }
    void Select(int nRow) { m_nSelected = Has(nRow) ? nRow : -1; }
    // The row being played (or paused, or about to start); -1 for none.
    int Current() const { return m_nCurrent; }
    void SetCurrent(int nRow) { m_nCurrent = Has(nRow) ? nRow : -1; }

  private:
    SPlaylistRow& At(int nRow) { return m_arrRows.at(static_cast<size_t>(nRow)); }

    std::vector<SPlaylistRow> m_arrRows;
    uint64_t m_nNextVersion = 1;
    int m_nSelected = -1;
    int m_nCurrent = -1;
};
