#include "mainwnd/PlaylistState.h"

#include "app/TextHelpers.h"
#include "sound/MidiFile.h"

#include <algorithm>
#include <cctype>

std::vector<std::string> g_arrPaths;
std::atomic<int32_t> g_nCurrentItem{0};
std::optional<std::string> g_pszLastOpenFolder;

void ResetPlaylistState()
{
    g_arrPaths.clear();
    g_nCurrentItem = 0;
    g_pszLastOpenFolder.reset();
}

std::string TypeOfPath(const std::string& strPath)
{
    std::optional<std::string> ext = ExtensionOf(strPath);
    if (!ext)
        return {};
    if (IsMidiFileExtension(*ext))
        return "MID";
    std::string str = *ext;
    std::transform(str.begin(), str.end(), str.begin(), [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return str;
}
