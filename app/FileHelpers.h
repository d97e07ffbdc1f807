// File helpers: the program's folder, existence and size of files, and whole-file reads and
// writes. Paths are the system's own bytes (UTF-8 here).
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

// The folder of the running program, without a separator at its end.
std::string ModuleFolder();

// Where an installed program keeps the files it reads and never writes (the help pages, the key
// pictures, the demo project), relative to the folder of the program: <prefix>/bin/tonegrove
// reads <prefix>/share/tonegrove.
inline constexpr const char* kInstalledDataFolder = "../share/tonegrove";
// The data folder for a program in strProgramFolder: the installed one when it is a folder,
// otherwise the program's own folder (a build folder keeps them beside the program).
std::string DataFolderFor(const std::string& strProgramFolder);
// The data folder of the running program.
std::string DataFolder();
// Whether a folder stands at that name, links followed.
bool IsFolder(const std::string& strPath);
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

// Whether the file could be read whole now, without reading it: the same looks and the same
// open as ReadWholeFile, so both give the same reason. For files too large to read just to ask.
bool CanReadFile(const std::string& strPath, SReadStatus& status);

// The whole file; empty when it does not exist, cannot be read, is not a regular file or is
// empty. Only regular files are opened: a named pipe would block the reader for good.
std::vector<uint8_t> ReadWholeFile(const std::string& strPath);
// The same, saying in status why nothing could be read.
std::vector<uint8_t> ReadWholeFile(const std::string& strPath, SReadStatus& status);
// Up to the first nBytes of a regular file (fewer when it is shorter); empty when it cannot be
// read. Only regular files are opened, as for ReadWholeFile.
std::vector<uint8_t> ReadFileStart(const std::string& strPath, size_t nBytes);
// Anything at that name, a dangling link included: a new file must not take its name.
bool PathTaken(const std::string& strPath);
// The names in a folder that are not folders themselves (links to folders included), in the
// system's order; empty when the folder cannot be read.
std::vector<std::string> FilesInFolder(const std::string& strFolder);
// The working folder, or "." when it cannot be found out.
std::string CurrentFolder();
// The path made absolute against the working folder, "." and ".." resolved by name only
// (links are not followed); the path as it is when the working folder is unknown.
std::string AbsolutePath(const std::string& strPath);
// Removes the file; false when it could not (already gone included).
bool RemoveFile(const std::string& strPath);

// Writes the bytes to a temporary file beside the target and renames it over the target, so a
// save that fails leaves the old file whole. On failure pnError receives the errno.
bool WriteWholeFile(const std::string& strPath, std::span<const uint8_t> bytes, int* pnError = nullptr);
