// Runs tonegrove-cli (the path in TG_CLI) or a shell script as a user runs it, and catches its
// output, its messages and its exit code.
#pragma once

#include "tests/TestSupport.h"

#include <cstdlib>
#include <string>
#include <sys/wait.h>

struct SRun
{
    int nExit;
    std::string strOut;
    std::string strErr;
};

inline SRun RunShell(const std::string& strScript)
{
    CTempFolder folder;
    const std::string strCommand = "(" + strScript + ") >" + folder.File("out") + " 2>" + folder.File("err");
    const int nStatus = std::system(strCommand.c_str());
    return {WIFEXITED(nStatus) ? WEXITSTATUS(nStatus) : -1, ReadText(folder.File("out")),
            ReadText(folder.File("err"))};
}

inline SRun RunCli(const std::string& strArgs)
{
    return RunShell(std::string(std::getenv("TG_CLI")) + " " + strArgs);
}
