#include "platform/AtomicFile.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
std::string FolderOfPath(const std::string& strPath)
{
    size_t nSlash = strPath.find_last_of('/');
    if (nSlash == std::string::npos)
        return ".";
    return nSlash == 0 ? "/" : strPath.substr(0, nSlash);
}

bool IsTempChar(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

// The writer's process id from one of our names; 0 when the name is not ours.
long TempWriter(const std::string& strName)
{
    const size_t nPrefix = std::strlen(kTempPrefix);
    if (strName.compare(0, nPrefix, kTempPrefix) != 0)
        return 0;
    size_t i = nPrefix;
    long nPid = 0;
    while (i < strName.size() && strName[i] >= '0' && strName[i] <= '9' && i - nPrefix < 10)
        nPid = nPid * 10 + (strName[i++] - '0');
    if (i == nPrefix || nPid <= 0 || i >= strName.size() || strName[i] != '-')
        return 0;
    ++i;
    if (strName.size() - i != 6)
        return 0;
    for (; i < strName.size(); ++i)
    {
        if (!IsTempChar(strName[i]))
            return 0;
    }
    return nPid;
}

bool WriterIsGone(long nPid)
{
    if (nPid == static_cast<long>(getpid()))
        return false;
    return kill(static_cast<pid_t>(nPid), 0) != 0 && errno == ESRCH;
}
} // namespace

bool IsOurTempName(const std::string& strName)
{
    return TempWriter(strName) != 0;
}

int RemoveStaleTemps(const std::string& strFolder)
{
    DIR* pDir = opendir(strFolder.c_str());
    if (!pDir)
        return 0;
    int nRemoved = 0;
    const time_t tNow = time(nullptr);
    while (dirent* pEntry = readdir(pDir))
    {
        const std::string strName = pEntry->d_name;
        const long nPid = TempWriter(strName);
        if (nPid == 0)
            continue;
        const std::string strPath = strFolder + "/" + strName;
        struct stat st;
        // Only plain files: a link or a folder of that name is not a file we wrote.
        if (lstat(strPath.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
            continue;
        const bool bOld = tNow - st.st_mtime >= kStaleTempSeconds;
        if ((bOld || WriterIsGone(nPid)) && unlink(strPath.c_str()) == 0)
            ++nRemoved;
    }
    closedir(pDir);
    return nRemoved;
}

int ResolveLinks(const std::string& strPath, std::string& strTarget)
{
    strTarget = strPath;
    // As many links as the system itself follows before it gives up with ELOOP.
    for (int nHops = 0; nHops < 40; ++nHops)
    {
        struct stat st;
        if (lstat(strTarget.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
            return 0; // a missing file is created where the chain ends
        std::string strLink(static_cast<size_t>(st.st_size > 0 ? st.st_size : 255) + 1, '\0');
        ssize_t n;
        for (;;)
        {
            n = readlink(strTarget.c_str(), strLink.data(), strLink.size());
            if (n < 0)
                return errno;
            if (static_cast<size_t>(n) < strLink.size())
                break;
            strLink.resize(strLink.size() * 2); // the link changed meanwhile; read it again
        }
        strLink.resize(static_cast<size_t>(n));
        if (strLink.empty())
            return ENOENT;
        strTarget = strLink.front() == '/' ? strLink : FolderOfPath(strTarget) + "/" + strLink;
    }
    return ELOOP;
}

int WriteFileAtomically(const std::string& strPathGiven, std::span<const uint8_t> bytes)
{
    // Renaming over a symbolic link would put a file in the link's place and leave the file it
    // points to as it was; the file the user means is the link's target.
    std::string strPath;
    if (int n = ResolveLinks(strPathGiven, strPath))
        return n;
    const std::string strFolder = FolderOfPath(strPath);
    // Files that a killed save left behind would pile up beside the user's files.
    RemoveStaleTemps(strFolder);

    // A short name of our own, not the target's name plus a suffix: a target name near the
    // system's limit of 255 bytes would make that one too long.
    std::string strTemp = strFolder + "/" + kTempPrefix + std::to_string(getpid()) + "-XXXXXX";
    int fd = mkostemp(strTemp.data(), O_CLOEXEC);
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
    else if (int fdFolder = open(strFolder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); fdFolder >= 0)
    {
        // The rename itself lives in the folder: without this a power cut may still undo it.
        fsync(fdFolder);
        close(fdFolder);
    }
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
