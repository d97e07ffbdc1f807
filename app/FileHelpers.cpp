#include "app/FileHelpers.h"

#include "app/Messages.h"
#include "platform/AtomicFile.h"
#include "platform/Files.h"
#include "platform/RegistryStore.h"

#include <filesystem>

std::string ModuleFolder()
{
    const std::string strPath = ExecutablePath();
    if (strPath.empty())
        return ".";
    size_t nSlash = strPath.find_last_of('/');
    if (nSlash == std::string::npos)
        return ".";
    return nSlash == 0 ? "/" : strPath.substr(0, nSlash);
}

std::string DataFolderFor(const std::string& strProgramFolder)
{
    // "/usr/bin" gives "/usr/share/tonegrove"; ".." is taken by name, since the program's folder
    // comes with its links followed already.
    const std::string strInstalled =
        (std::filesystem::path(strProgramFolder) / kInstalledDataFolder).lexically_normal().string();
    return IsFolder(strInstalled) ? strInstalled : strProgramFolder;
}

std::string DataFolder()
{
    return DataFolderFor(ModuleFolder());
}

bool IsFolder(const std::string& strPath)
{
    SFileFacts facts;
    return LookAtPath(strPath, facts) == 0 && facts.eKind == EFileKind::Folder;
}

bool FileExists(const std::string& strPath)
{
    return PathExists(strPath);
}

int64_t FileSize(const std::string& strPath)
{
    SFileFacts facts;
    if (LookAtPath(strPath, facts) != 0)
        return -1;
    return facts.nSize;
}

std::string SReadStatus::Reason() const
{
    switch (eFailure)
    {
    case EReadFailure::None:
        return {};
    case EReadFailure::NotRegularFile:
        return Msg::kNotRegularFile;
    default:
        return SystemErrorText(nError);
    }
}

std::vector<uint8_t> ReadWholeFile(const std::string& strPath)
{
    SReadStatus status;
    return ReadWholeFile(strPath, status);
}

namespace
{
// Opens a regular file for reading, or says in status why not.
std::unique_ptr<CReadOnlyFile> OpenRegularFile(const std::string& strPath, SReadStatus& status)
{
    status = {};
    int nError = 0;
    std::unique_ptr<CReadOnlyFile> pFile = CReadOnlyFile::Open(strPath, nError);
    if (!pFile)
    {
        status.eFailure = nError == kNotRegularFile ? EReadFailure::NotRegularFile : EReadFailure::CannotRead;
        status.nError = nError == kNotRegularFile ? 0 : nError;
    }
    return pFile;
}
} // namespace

std::vector<uint8_t> ReadFileStart(const std::string& strPath, size_t nBytes)
{
    SReadStatus status;
    const std::unique_ptr<CReadOnlyFile> pFile = OpenRegularFile(strPath, status);
    if (!pFile)
        return {};
    std::vector<uint8_t> bytes(nBytes);
    size_t nRead = 0;
    while (nRead < nBytes)
    {
        int nError = 0;
        const int64_t n = pFile->Read(bytes.data() + nRead, nBytes - nRead, nError);
        if (n < 0)
            return {};
        if (n == 0)
            break;
        nRead += static_cast<size_t>(n);
    }
    bytes.resize(nRead);
    return bytes;
}

bool CanReadFile(const std::string& strPath, SReadStatus& status)
{
    return OpenRegularFile(strPath, status) != nullptr;
}

std::vector<uint8_t> ReadWholeFile(const std::string& strPath, SReadStatus& status)
{
    std::vector<uint8_t> bytes;
    const std::unique_ptr<CReadOnlyFile> pFile = OpenRegularFile(strPath, status);
    if (!pFile)
        return bytes;
    // The size is a hint only: a file that grows or shrinks meanwhile is read as it is now.
    const int64_t nSize = pFile->Facts().nSize;
    bytes.resize(static_cast<size_t>(nSize > 0 ? nSize : 0));
    size_t nRead = 0;
    uint8_t more[4096];
    for (;;)
    {
        const bool bInto = nRead < bytes.size();
        int nError = 0;
        const int64_t n = bInto ? pFile->Read(bytes.data() + nRead, bytes.size() - nRead, nError)
                                : pFile->Read(more, sizeof more, nError);
        if (n < 0)
        {
            status.eFailure = EReadFailure::CannotRead;
            status.nError = nError;
            bytes.clear();
            return bytes;
        }
        if (n == 0)
            break;
        if (!bInto)
            bytes.insert(bytes.end(), more, more + n);
        nRead += static_cast<size_t>(n);
    }
    bytes.resize(nRead);
    return bytes;
}

bool PathTaken(const std::string& strPath)
{
    return NameTaken(strPath);
}

std::vector<std::string> FilesInFolder(const std::string& strFolder)
{
    std::vector<std::string> arrNames;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(strFolder, ec), end; !ec && it != end; it.increment(ec))
    {
        std::error_code ecType;
        if (!it->is_directory(ecType))
            arrNames.push_back(it->path().filename().string());
    }
    return arrNames;
}

std::string CurrentFolder()
{
    std::error_code ec;
    std::string strFolder = std::filesystem::current_path(ec).string();
    return ec || strFolder.empty() ? "." : strFolder;
}

std::string AbsolutePath(const std::string& strPath)
{
    std::error_code ec;
    std::filesystem::path path = std::filesystem::absolute(strPath, ec);
    return ec ? strPath : path.lexically_normal().string();
}

bool RemoveFile(const std::string& strPath)
{
    std::error_code ec;
    return std::filesystem::remove(strPath, ec);
}

bool WriteWholeFile(const std::string& strPath, std::span<const uint8_t> bytes, int* pnError)
{
    int nError = WriteFileAtomically(strPath, bytes);
    if (pnError)
        *pnError = nError;
    return nError == 0;
}
