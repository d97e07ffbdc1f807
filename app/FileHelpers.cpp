#include "app/FileHelpers.h"

#include "app/Messages.h"
#include "platform/AtomicFile.h"
#include "platform/RegistryStore.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
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

bool FileExists(const std::string& strPath) { return access(strPath.c_str(), F_OK) == 0; }

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

std::vector<uint8_t> ReadWholeFile(const std::string& strPath, SReadStatus& status)
{
    std::vector<uint8_t> bytes;
    status = {};
    auto fail = [&](EReadFailure e, int nError)
    {
        status.eFailure = e;
        status.nError = nError;
        bytes.clear();
        return bytes;
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
    // The size is a hint only: a file that grows or shrinks meanwhile is read as it is now.
    bytes.resize(static_cast<size_t>(st.st_size > 0 ? st.st_size : 0));
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
            return fail(EReadFailure::CannotRead, nError);
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

bool WriteWholeFile(const std::string& strPath, std::span<const uint8_t> bytes, int* pnError)
{
    int nError = WriteFileAtomically(strPath, bytes);
    if (pnError)
        *pnError = nError;
    return nError == 0;
}
