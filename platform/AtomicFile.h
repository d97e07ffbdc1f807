// Whole-file writes that never leave a half-written file behind: the bytes go to a temporary
// file beside the target, which is then renamed over it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

// Gives 0, or the errno of the step that failed (the old file is then left as it was).
int WriteFileAtomically(const std::string& strPath, std::span<const uint8_t> bytes);

// Creates a folder and its parents (mode 0755 before umask). Gives 0 or an errno.
int MakeFolders(const std::string& strFolder);
