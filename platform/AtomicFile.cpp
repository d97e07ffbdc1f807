#include "platform/AtomicFile.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

int WriteFileAtomically(const std::string& strPath, std::span<const uint8_t> bytes)
{
    std::string strTemp = strPath + ".XXXXXX";
    int fd = mkstemp(strTemp.data());
    if (fd < 0)
        return errno;

    // mkstemp creates the file 0600; a saved file gets the usual mode, or the old file's mode.
    mode_t mode;
    struct stat st;
    if (stat(strPath.c_str(), &st) == 0)
        mode = st.st_mode & 07777;
    else
    {
        mode_t mask = umask(0);
        umask(mask);
        mode = 0666 & ~mask;
    }

    int nError = 0;
    if (fchmod(fd, mode) != 0)
        nError = errno;
    size_t nDone = 0;
    while (nError == 0 && nDone < bytes.size())
    {
        ssize_t n = write(fd, bytes.data() + nDone, bytes.size() - nDone);
        if (n < 0)
        {
            if (errno == EINTR)
                continue;
            nError = errno;
        }
        else
            nDone += static_cast<size_t>(n);
    }
    if (nError == 0 && fsync(fd) != 0)
        nError = errno;
    if (close(fd) != 0 && nError == 0)
        nError = errno;
    if (nError == 0 && rename(strTemp.c_str(), strPath.c_str()) != 0)
        nError = errno;
    if (nError != 0)
        unlink(strTemp.c_str());
    return nError;
}

int MakeFolders(const std::string& strFolder)
{
    if (strFolder.empty())
        return 0;
    struct stat st;
    if (stat(strFolder.c_str(), &st) == 0)
        return S_ISDIR(st.st_mode) ? 0 : ENOTDIR;
    size_t nSlash = strFolder.find_last_of('/');
    if (nSlash != std::string::npos && nSlash > 0)
    {
        if (int n = MakeFolders(strFolder.substr(0, nSlash)))
            return n;
    }
    if (mkdir(strFolder.c_str(), 0755) != 0 && errno != EEXIST)
        return errno;
    return 0;
}
