// Playlist values the whole program shares: the rows' paths, the row being played, and the
// state of the Open command across a run.
#pragma once

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Path of every row as it was added (system bytes), parallel to the list's rows.
extern std::vector<std::string> g_arrPaths;
// The row being played; a value past the last row means no row.
extern std::atomic<int32_t> g_nCurrentItem;
// Folder of the last file chosen in the Open dialog, with its final separator.
extern std::optional<std::string> g_pszLastOpenFolder;

void ResetPlaylistState();

// A row's type from its text: the extension in capitals ("TGP", "WAV", "MID"; .midi and .kar
// are "MID" too), empty for none.
std::string TypeOfPath(const std::string& strPath);
