#include "cli/InfoCommand.h"

#include "app/FileHelpers.h"
#include "platform/RegistryStore.h"
#include "project/ProjectPlayer.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <sys/stat.h>

namespace
{
// Reads a file for the command line, with a clear message when it cannot.
bool ReadForCli(const std::string& strPath, std::vector<uint8_t>& bytes)
{
    struct stat st;
    if (stat(strPath.c_str(), &st) != 0)
    {
        std::fprintf(stderr, "%s: %s\n", strPath.c_str(), SystemErrorText(errno).c_str());
        return false;
    }
    if (S_ISDIR(st.st_mode))
    {
        std::fprintf(stderr, "%s: %s\n", strPath.c_str(), SystemErrorText(EISDIR).c_str());
        return false;
    }
    bytes = ReadWholeFile(strPath);
    if (bytes.empty() && st.st_size > 0)
    {
        std::fprintf(stderr, "%s: cannot be read\n", strPath.c_str());
        return false;
    }
    return true;
}
} // namespace

int RunInfo(const std::vector<std::string>& files)
{
    int nExit = 0;
    for (const std::string& strPath : files)
    {
        std::vector<uint8_t> bytes;
        if (!ReadForCli(strPath, bytes))
        {
            nExit = std::max(nExit, 1);
            continue;
        }
        CProjectPlayer project;
        project.SetData(bytes);
        if (!project.ComputeTotal())
        {
            nExit = 2;
            continue;
        }
        std::printf("file: %s\nversion: %s\nrecords: %lld\nduration_ms: %d\n", strPath.c_str(),
                    project.m_nVersion == 0 ? "0.0" : "0.1", static_cast<long long>(project.RecordsWalked()),
                    project.m_nTotal);
    }
    std::fflush(stdout);
    return nExit;
}
