#include "cli/InfoCommand.h"

#include "cli/CliFiles.h"
#include "project/ProjectPlayer.h"

#include <algorithm>
#include <cstdio>

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
