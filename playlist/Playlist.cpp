#include "playlist/Playlist.h"

#include "app/TextHelpers.h"
#include "sound/MidiFile.h"

#include <algorithm>
#include <cctype>

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
    row.data = std::move(data);
    row.bModified = true;
}

void CPlaylist::SetSaved(int nRow, const std::string& strPath)
{
    SPlaylistRow& row = At(nRow);
    row.strPath = strPath;
    row.bModified = false;
}

void CPlaylist::SetLength(int nRow, float fLength)
{
    At(nRow).fLength = fLength;
}

void CPlaylist::SetModified(int nRow, bool bModified)
{
    At(nRow).bModified = bModified;
}
