// File helpers: the program's folder, existence and size of files, and whole-file reads and
// writes. Paths are the system's own bytes (UTF-8 here).
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

// The folder of the running program, without a separator at its end.
std::string ModuleFolder();
bool FileExists(const std::string& strPath);
// Size in bytes, or -1 when the file's status cannot be read.
int64_t FileSize(const std::string& strPath);
// The whole file; empty when it does not exist, cannot be read or is empty.
std::vector<uint8_t> ReadWholeFile(const std::string& strPath);
// Writes the bytes to a temporary file beside the target and renames it over the target, so a
// save that fails leaves the old file whole. On failure pnError receives the errno.
bool WriteWholeFile(const std::string& strPath, std::span<const uint8_t> bytes, int* pnError = nullptr);
