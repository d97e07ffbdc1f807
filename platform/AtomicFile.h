// Whole-file writes that never leave a half-written file behind: the bytes go to a temporary
// file beside the target, which is then renamed over it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

// Gives 0, or the errno of the step that failed (the old file is then left as it was).
// A symbolic link is followed: its final target is what gets replaced, the link stays.
// The temporary file has a short name of its own (see below) whatever the target's length,
// and temporary files that an earlier writer left in the same folder are removed first.
int WriteFileAtomically(const std::string& strPath, std::span<const uint8_t> bytes);

// Creates a folder and its parents (mode 0755 before umask). Gives 0 or an errno.
int MakeFolders(const std::string& strFolder);

// The path a write to strPath really replaces: symbolic links followed to the end, relative
// ones taken from the folder of the link. A path that is no link is given back unchanged.
// Gives 0, or ELOOP for a chain that does not end, or the errno of a link that cannot be read.
int ResolveLinks(const std::string& strPath, std::string& strTarget);

// Temporary files of ours are named ".tg-save-<pid>-XXXXXX": the writer's process id tells
// whether the writer is still there. One is stale when that process is gone, or when it has
// not been written for kStaleTempSeconds (a process id taken over by another program).
inline constexpr const char* kTempPrefix = ".tg-save-";
inline constexpr int kStaleTempSeconds = 600;
// True for a name of exactly that pattern.
bool IsOurTempName(const std::string& strName);
// Removes the stale temporary files of ours in the folder; never any other file.
// Gives how many were removed.
int RemoveStaleTemps(const std::string& strFolder);
