#include "app/FileHelpers.h"

#include "platform/AtomicFile.h"

#include <cstdio>
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

std::vector<uint8_t> ReadWholeFile(const std::string& strPath)
{
    std::vector<uint8_t> bytes;
    struct stat st;
    if (stat(strPath.c_str(), &st) != 0 || S_ISDIR(st.st_mode))
        return bytes;
    FILE* f = std::fopen(strPath.c_str(), "rb");
    if (!f)
        return bytes;
    // The size is a hint only: a file that grows or shrinks meanwhile is read as it is now.
    bytes.resize(static_cast<size_t>(st.st_size > 0 ? st.st_size : 0));
    size_t nRead = bytes.empty() ? 0 : std::fread(bytes.data(), 1, bytes.size(), f);
    bytes.resize(nRead);
    std::fclose(f);
    return bytes;
}

bool WriteWholeFile(const std::string& strPath, std::span<const uint8_t> bytes, int* pnError)
{
    int nError = WriteFileAtomically(strPath, bytes);
    if (pnError)
        *pnError = nError;
    return nError == 0;
}
