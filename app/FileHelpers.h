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

// Why a whole-file read gave nothing.
enum class EReadFailure
{
    None,           // read whole (it may be empty)
    CannotRead,     // the system refused: nError holds its errno (missing, no access, I/O error)
    NotRegularFile, // a folder, a named pipe, a device or a socket: never opened, never waited on
};
struct SReadStatus
{
    EReadFailure eFailure = EReadFailure::None;
    int nError = 0; // CannotRead: the errno
    bool Ok() const { return eFailure == EReadFailure::None; }
    // The reason to show the user: the system's text for CannotRead, the program's own for the rest.
    std::string Reason() const;
};

// The whole file; empty when it does not exist, cannot be read, is not a regular file or is
// empty. Only regular files are opened: a named pipe would block the reader for good.
std::vector<uint8_t> ReadWholeFile(const std::string& strPath);
// The same, saying in status why nothing could be read.
std::vector<uint8_t> ReadWholeFile(const std::string& strPath, SReadStatus& status);
// Writes the bytes to a temporary file beside the target and renames it over the target, so a
// save that fails leaves the old file whole. On failure pnError receives the errno.
bool WriteWholeFile(const std::string& strPath, std::span<const uint8_t> bytes, int* pnError = nullptr);
