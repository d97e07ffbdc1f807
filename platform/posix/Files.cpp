#include "platform/Files.h"

#include <cerrno>
#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
SFileFacts FactsOf(const struct stat& st)
{
    SFileFacts facts;
    facts.eKind = S_ISREG(st.st_mode)   ? EFileKind::Regular
                  : S_ISDIR(st.st_mode) ? EFileKind::Folder
                                        : EFileKind::Other;
    facts.nSize = static_cast<int64_t>(st.st_size);
    facts.identity.nDevice = static_cast<uint64_t>(st.st_dev);
    facts.identity.nInode = static_cast<uint64_t>(st.st_ino);
    facts.identity.nSize = facts.nSize;
    facts.identity.nModifiedSeconds = st.st_mtim.tv_sec;
    facts.identity.nModifiedNanoseconds = st.st_mtim.tv_nsec;
    facts.identity.nChangedSeconds = st.st_ctim.tv_sec;
    facts.identity.nChangedNanoseconds = st.st_ctim.tv_nsec;
    return facts;
}
} // namespace

std::string ExecutablePath()
{
    char buf[PATH_MAX + 1] = {};
    ssize_t n = readlink("/proc/self/exe", buf, PATH_MAX);
    return n <= 0 ? std::string() : std::string(buf, static_cast<size_t>(n));
}

bool PathExists(const std::string& strPath)
{
    return access(strPath.c_str(), F_OK) == 0;
}

bool NameTaken(const std::string& strPath)
{
    struct stat st;
    return lstat(strPath.c_str(), &st) == 0;
}

int LookAtPath(const std::string& strPath, SFileFacts& facts)
{
    struct stat st;
    if (stat(strPath.c_str(), &st) != 0)
        return errno;
    facts = FactsOf(st);
    return 0;
}

std::unique_ptr<CReadOnlyFile> CReadOnlyFile::Open(const std::string& strPath, int& nError)
{
    nError = 0;
    struct stat st;
    if (stat(strPath.c_str(), &st) != 0)
    {
        nError = errno;
        return nullptr;
    }
    if (!S_ISREG(st.st_mode))
    {
        nError = kNotRegularFile;
        return nullptr;
    }
    int fd = open(strPath.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
    {
        nError = errno;
        return nullptr;
    }
    if (fstat(fd, &st) != 0)
    {
        nError = errno;
        close(fd);
        return nullptr;
    }
    if (!S_ISREG(st.st_mode))
    {
        nError = kNotRegularFile;
        close(fd);
        return nullptr;
    }
    return std::unique_ptr<CReadOnlyFile>(new CReadOnlyFile(fd, FactsOf(st)));
}

CReadOnlyFile::~CReadOnlyFile()
{
    close(m_fd);
}

int64_t CReadOnlyFile::Read(void* pInto, size_t nBytes, int& nError)
{
    for (;;)
    {
        const ssize_t n = read(m_fd, pInto, nBytes);
        if (n >= 0)
            return n;
        if (errno != EINTR)
        {
            nError = errno;
            return -1;
        }
    }
}
