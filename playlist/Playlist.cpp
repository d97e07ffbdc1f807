#include "playlist/Playlist.h"

#include "app/FileHelpers.h"
#include "app/TextHelpers.h"
#include "project/ProjectFormat.h"
#include "sound/MidiFile.h"

#include <algorithm>
#include <cctype>
#include <cstring>

std::optional<ERowKind> KindOfPath(const std::string& strPath)
{
    std::optional<std::string> ext = ExtensionOf(strPath);
    if (!ext)
        return std::nullopt;
    if (IsMidiFileExtension(*ext))
        return ERowKind::Midi;
    std::string str = *ext;
    std::transform(str.begin(), str.end(), str.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (str == "tgp")
        return ERowKind::Project;
    if (str == "wav")
        return ERowKind::Wave;
    return std::nullopt;
}

std::optional<ERowKind> KindOfFile(const std::string& strPath)
{
    if (std::optional<ERowKind> oKind = KindOfPath(strPath))
        return oKind;
    const std::vector<uint8_t> start = ReadFileStart(strPath, kHeaderNameSize);
    if (start.size() == kHeaderNameSize && std::memcmp(start.data(), kHeaderName, kHeaderNameSize) == 0)
        return ERowKind::Project;
    return std::nullopt;
}

int CPlaylist::Find(const std::string& strPath) const
{
    for (int i = 0; i < Count(); ++i)
    {
        if (Row(i).strPath == strPath)
            return i;
    }
    return -1;
}

int CPlaylist::Add(SPlaylistRow row)
{
    row.arrUndo.clear();
    row.arrRedo.clear();
    row.nVersion = m_nNextVersion++;
    row.nSavedVersion = row.bModified ? -1 : static_cast<int64_t>(row.nVersion);
    m_arrRows.push_back(std::move(row));
    return Count() - 1;
}

void CPlaylist::Remove(int nRow)
{
    if (!Has(nRow))
        return;
    m_arrRows.erase(m_arrRows.begin() + nRow);
    auto Follow = [nRow](int& n)
    {
        if (n == nRow)
            n = -1;
        else if (n > nRow)
            --n;
    };
    Follow(m_nCurrent);
    Follow(m_nSelected);
}

void CPlaylist::SetData(int nRow, std::vector<uint8_t> data)
{
    SPlaylistRow& row = At(nRow);
    row.arrUndo.push_back({std::move(row.data), row.nVersion});
    row.arrRedo.clear();
    row.data = std::move(data);
    row.nVersion = m_nNextVersion++;
    row.bModified = true;
}

namespace
{
// Moves the row's bytes onto one history list and takes the last of the other.
bool Step(SPlaylistRow& row, std::vector<SPlaylistRow::SVersion>& from,
          std::vector<SPlaylistRow::SVersion>& to)
{
    if (from.empty())
        return false;
    to.push_back({std::move(row.data), row.nVersion});
    row.data = std::move(from.back().data);
    row.nVersion = from.back().nVersion;
    from.pop_back();
    row.bModified = static_cast<int64_t>(row.nVersion) != row.nSavedVersion;
    return true;
}
} // namespace

bool CPlaylist::Undo(int nRow)
{
    if (!Has(nRow))
        return false;
    SPlaylistRow& row = At(nRow);
    return Step(row, row.arrUndo, row.arrRedo);
}

bool CPlaylist::Redo(int nRow)
{
    if (!Has(nRow))
        return false;
    SPlaylistRow& row = At(nRow);
    return Step(row, row.arrRedo, row.arrUndo);
}

void CPlaylist::SetSaved(int nRow, const std::string& strPath)
{
    SPlaylistRow& row = At(nRow);
    row.strPath = strPath;
    row.bModified = false;
    row.nSavedVersion = static_cast<int64_t>(row.nVersion);
}

void CPlaylist::SetLength(int nRow, float fLength)
{
    At(nRow).fLength = fLength;
}

void CPlaylist::SetModified(int nRow, bool bModified)
{
    SPlaylistRow& row = At(nRow);
    row.bModified = bModified;
    row.nSavedVersion = bModified ? -1 : static_cast<int64_t>(row.nVersion);
}
