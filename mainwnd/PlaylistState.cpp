#include "mainwnd/PlaylistState.h"

std::vector<std::string> g_arrPaths;
std::atomic<int32_t> g_nCurrentItem{0};
std::optional<std::string> g_pszOpenPath;
std::optional<std::string> g_pszLastOpenFolder;
bool g_bOpenedOnce = false;

void ResetPlaylistState()
{
    g_arrPaths.clear();
    g_nCurrentItem = 0;
    g_pszOpenPath.reset();
    g_pszLastOpenFolder.reset();
    g_bOpenedOnce = false;
}
