#include "app/FileHelpers.h"

#include "app/Messages.h"
#include "platform/AtomicFile.h"
#include "platform/RegistryStore.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

std::string ModuleFolder()
{
    char buf[PATH_MAX + 1] = {};
    ssize_t n = readlink("/proc/self/exe", buf, PATH_MAX);
    if (n <= 0)
        return ".";
    std::string strPath(buf, static_cast<size_t>(n));
    size_t nSlash = strPath.find_last_of('/');
    if (nSlash == std::string::npos)
        return ".";
    return nSlash == 0 ? "/" : strPath.substr(0, nSlash);
}

bool FileExists(const std::string& strPath)
{
    return access(strPath.c_str(), F_OK) == 0;
}

int64_t FileSize(const std::string& strPath)
{
    struct stat st;
    if (stat(strPath.c_str(), &st) != 0)
        return -1;
    return static_cast<int64_t>(st.st_size);
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
// Opens a regular file for reading, or says in status why not; -1 then. On success *pSize holds
// the size the file had when opened.
int OpenRegularFile(const std::string& strPath, SReadStatus& status, int64_t* pSize)
{
    status = {};
    auto fail = [&](EReadFailure e, int nError)
    {
        status.eFailure = e;
        status.nError = nError;
        return -1;
    };
    // Looked at before it is opened: opening a named pipe waits for a writer, and opening a
    // device may do something to it.
    struct stat st;
    if (stat(strPath.c_str(), &st) != 0)
        return fail(EReadFailure::CannotRead, errno);
    if (!S_ISREG(st.st_mode))
        return fail(EReadFailure::NotRegularFile, 0);
    // Non-blocking, so that a pipe put in the file's place since the look cannot hold us either.
    int fd = open(strPath.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return fail(EReadFailure::CannotRead, errno);
    if (fstat(fd, &st) != 0)
    {
        const int nError = errno;
        close(fd);
        return fail(EReadFailure::CannotRead, nError);
    }
    if (!S_ISREG(st.st_mode))
    {
        close(fd);
        return fail(EReadFailure::NotRegularFile, 0);
    }
    *pSize = static_cast<int64_t>(st.st_size);
    return fd;
}
} // namespace

bool CanReadFile(const std::string& strPath, SReadStatus& status)
{
    int64_t nSize = 0;
    const int fd = OpenRegularFile(strPath, status, &nSize);
    if (fd < 0)
        return false;
    close(fd);
    return true;
}

std::vector<uint8_t> ReadWholeFile(const std::string& strPath, SReadStatus& status)
{
    std::vector<uint8_t> bytes;
    int64_t nSize = 0;
    const int fd = OpenRegularFile(strPath, status, &nSize);
    if (fd < 0)
        return bytes;
    auto fail = [&](int nError)
    {
        status.eFailure = EReadFailure::CannotRead;
        status.nError = nError;
        bytes.clear();
        return bytes;
    };
    // The size is a hint only: a file that grows or shrinks meanwhile is read as it is now.
    bytes.resize(static_cast<size_t>(nSize > 0 ? nSize : 0));
    size_t nRead = 0;
    uint8_t more[4096];
    for (;;)
    {
        const bool bInto = nRead < bytes.size();
        ssize_t n =
            bInto ? read(fd, bytes.data() + nRead, bytes.size() - nRead) : read(fd, more, sizeof more);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
        {
            const int nError = errno;
            close(fd);
            return fail(nError);
        }
        if (n == 0)
            break;
        if (!bInto)
            bytes.insert(bytes.end(), more, more + n);
        nRead += static_cast<size_t>(n);
    }
    close(fd);
    bytes.resize(nRead);
    return bytes;
}

bool PathTaken(const std::string& strPath)
{
    struct stat st;
    return lstat(strPath.c_str(), &st) == 0;
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
