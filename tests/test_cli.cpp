// tonegrove-cli, run as a user runs it: its output, messages and exit codes.
#include "tests/CliRun.h"
#include "tests/ProjectFixtures.h"
#include "tests/TestSupport.h"

#include "app/FileHelpers.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sys/stat.h>
#include <sys/wait.h>

namespace
{
TEST(CliInfo, PrintsVersionRecordsAndDuration)
{
    CTempFolder folder;
    WriteWholeFile(folder.File("a.tgp"), OneNoteProject(0));
    WriteWholeFile(folder.File("b c.tgp"), OneNoteProject(1));
    SRun run = RunCli("info " + folder.File("a.tgp") + " '" + folder.File("b c.tgp") + "'");
    EXPECT_EQ(0, run.nExit) << run.strErr;
    EXPECT_EQ("file: " + folder.File("a.tgp") + "\nversion: 0.0\nrecords: 2\nduration_ms: 600\n" +
                  "file: " + folder.File("b c.tgp") + "\nversion: 0.1\nrecords: 2\nduration_ms: 600\n",
              run.strOut);
    EXPECT_EQ("", run.strErr);
}

TEST(CliInfo, DamagedMissingAndFutureFilesGiveTheirExitCodes)
{
    CTempFolder folder;
    auto damaged = DamagedOneNoteProject(0);
    auto future = FutureVersionProject(1);
    WriteWholeFile(folder.File("damaged.tgp"), damaged);
    WriteWholeFile(folder.File("future.tgp"), future);
    WriteWholeFile(folder.File("empty.tgp"), {});

    const std::tuple<std::string, int, std::string> cases[] = {
        {"damaged.tgp", 2, "Ошибка: TGP - файл поврежден, и поэтому проверка его длины невозможна!\n"},
        {"empty.tgp", 2,
         "Tonegrove: Ошибка: TGP - файл поврежден, и поэтому проверка его длины невозможна!\n"},
        {"future.tgp", 2,
         "Ошибка!: Этот файл возможно создан в будущих версиях Tonegrove, и поэтому не может быть "
         "воспроизведен!\n"},
        {"missing.tgp", 1, folder.File("missing.tgp") + ": No such file or directory\n"},
    };
    for (const auto& [strName, nExit, strErr] : cases)
    {
        SRun run = RunCli("info " + folder.File(strName));
        EXPECT_EQ(nExit, run.nExit) << strName;
        EXPECT_EQ(strErr, run.strErr) << strName;
        EXPECT_EQ("", run.strOut) << strName;
    }

    // Every file is looked at; the worst result decides the exit code.
    SRun run = RunCli("info " + folder.File("missing.tgp") + " " + folder.File("damaged.tgp"));
    EXPECT_EQ(2, run.nExit);
    EXPECT_NE(0, RunCli("info").nExit) << "no file is a usage error";
}

// A named pipe or a folder is not a project: each command says so and ends with the error exit
// rather than reading nothing as an empty project (or waiting on the pipe for a writer).
TEST(CliFiles, WhatIsNotARegularFileIsRefusedWithItsReason)
{
    CTempFolder folder;
    const std::string strFifo = folder.File("pipe.tgp");
    ASSERT_EQ(0, mkfifo(strFifo.c_str(), 0600)); // made, never opened here
    const std::string strFolder = folder.File("folder.tgp");
    ASSERT_EQ(0, mkdir(strFolder.c_str(), 0700));
    for (const std::string& strPath : {strFifo, strFolder})
        for (const std::string strCommand : {"info ", "play ", "render "})
        {
            SCOPED_TRACE(strCommand + strPath);
            const std::string strOut = strCommand == "render " ? " -o " + folder.File("out.wav") : "";
            const SRun run = RunCli(strCommand + strPath + strOut);
            EXPECT_EQ(1, run.nExit);
            EXPECT_EQ(strPath + ": " + SReadStatus{EReadFailure::NotRegularFile}.Reason() + "\n", run.strErr);
            EXPECT_EQ("", run.strOut);
        }
}
} // namespace
