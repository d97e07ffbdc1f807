// tonegrove-cli edit, run as a user runs it: the steps in order, the open-notes answer, and
// what is (not) written.
#include "tests/CliRun.h"
#include "tests/ProjectFixtures.h"
#include "tests/TestSupport.h"

#include "app/FileHelpers.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sys/wait.h>

namespace
{
std::vector<uint8_t> ReadBytes(const std::string& strPath)
{
    SReadStatus status;
    return ReadWholeFile(strPath, status);
}

const std::vector<uint8_t> kOn = Bytes({0x24, 0x01, 0x64, 0x4D, 0x30, 0x0C, 0x7F, 0x00});
const std::vector<uint8_t> kOff = Bytes({0x21, 0x02, 0x01, 0xF4, 0x4D, 0x30, 0x0C, 0x00});
const std::vector<uint8_t> kCloseIt = Bytes({0x21, 0x01, 0x00, 0x4D, 0x30, 0x0C, 0x00});
const std::string kQuestion =
    "В выделенном участке открытые и закрытые ноты не соответствуют друг другу. Убрать лишнее?";

TEST(CliEdit, AppliesTheStepsInTheOrderGiven)
{
    CTempFolder folder;
    const std::string strIn = folder.File("in.tgp");
    const std::string strOut = folder.File("out.tgp");
    WriteWholeFile(strIn, OneNoteProject(0));
    struct SCase
    {
        const char* pSteps;
        std::vector<uint8_t> expected;
    };
    const SCase cases[] = {
        // All cut leaves an empty stream, which takes the first paste whole; the second goes to the end.
        {"--select-all --cut --paste-after 1 --paste-after 9", OneNoteProject(0) + kOn + kOff},
        {"--select-all --copy --paste-after 1", MakeHeader(0) + kOn + kOn + kOff + kOff},
        // The same steps in another order: the paste before the copy has no clip yet.
        {"--paste-after 1 --select-all --copy", OneNoteProject(0)},
        {"--remove-gaps --select=1:2 --copy --paste-after=2",
         MakeHeader(0) + Bytes({0x24, 0x01, 0x00, 0x4D, 0x30, 0x0C, 0x7F, 0x00}) + kOff +
             Bytes({0x24, 0x01, 0x00, 0x4D, 0x30, 0x0C, 0x7F, 0x00}) + kOff},
        // Yes closes the note the first delete leaves open; that note off alone then asks nothing.
        {"--select 2:2 --delete --select 1:1 --delete --close-open-notes yes", MakeHeader(0) + kCloseIt},
        {"", OneNoteProject(0)},
    };
    for (const SCase& c : cases)
    {
        RemoveFile(strOut);
        SRun run = RunCli("edit " + strIn + " -o " + strOut + " " + c.pSteps);
        EXPECT_EQ(0, run.nExit) << c.pSteps << "\n" << run.strErr;
        EXPECT_EQ(c.expected, ReadBytes(strOut)) << c.pSteps;
        EXPECT_EQ(OneNoteProject(0), ReadBytes(strIn)) << "IN is only read";
    }
}

TEST(CliEdit, AnEditThatWouldAskIsRefusedWithoutAnAnswer)
{
    CTempFolder folder;
    const std::string strIn = folder.File("in.tgp");
    const std::string strOut = folder.File("out.tgp");
    WriteWholeFile(strIn, OneNoteProject(0));

    SRun run = RunCli("edit " + strIn + " -o " + strOut + " --select-all --copy --select 2:2 --cut");
    EXPECT_EQ(1, run.nExit);
    // Copying the lone note off asks nothing; deleting it leaves the note on open.
    EXPECT_NE(std::string::npos, run.strErr.find("Вопрос о редактировании: " + kQuestion)) << run.strErr;
    EXPECT_NE(std::string::npos, run.strErr.find("step 4 (--cut)")) << run.strErr;
    EXPECT_FALSE(PathTaken(strOut));

    // Yes closes the copied note in the clip, so the paste pairs up; No keeps the clip as it is,
    // and the paste asks again.
    const std::pair<const char*, std::vector<uint8_t>> answers[] = {
        {"yes", MakeHeader(0) + kOff + kOn + kCloseIt},
        {"no", MakeHeader(0) + kOff + kOn},
    };
    for (const auto& [pAnswer, expected] : answers)
    {
        run = RunCli("edit " + strIn + " -o " + strOut +
                     " --select 1:1 --cut --paste-after 1 --close-open-notes " + pAnswer);
        EXPECT_EQ(0, run.nExit) << pAnswer << "\n" << run.strErr;
        EXPECT_EQ(expected, ReadBytes(strOut)) << pAnswer;
    }
    EXPECT_NE(0, RunCli("edit " + strIn + " -o " + strOut + " --close-open-notes maybe").nExit);
}

TEST(CliEdit, DamagedOrMissingProjectWritesNothing)
{
    CTempFolder folder;
    auto damaged = DamagedOneNoteProject(0);
    auto future = FutureVersionProject(1);
    WriteWholeFile(folder.File("damaged.tgp"), damaged);
    WriteWholeFile(folder.File("future.tgp"), future);
    const std::pair<std::string, std::string> cases[] = {
        {"damaged.tgp",
         "Ошибка воспроизведения!: TGP - файл поврежден, и поэтому его редактирование невозможно!\n"},
        {"future.tgp",
         "Ошибка!: Этот файл возможно создан в будущих версиях Tonegrove, и поэтому не может быть "
         "воспроизведен!\n"},
        {"missing.tgp", folder.File("missing.tgp") + ": No such file or directory\n"},
    };
    for (const auto& [strName, strErr] : cases)
    {
        SRun run =
            RunCli("edit " + folder.File(strName) + " -o " + folder.File("out.tgp") + " --remove-gaps");
        EXPECT_EQ(2, run.nExit) << strName;
        EXPECT_EQ(strErr, run.strErr) << strName;
        EXPECT_FALSE(PathTaken(folder.File("out.tgp"))) << strName;
    }
    EXPECT_EQ(damaged, ReadBytes(folder.File("damaged.tgp")));
}

TEST(CliEdit, OutMayBeIn)
{
    CTempFolder folder;
    const std::string strPath = folder.File("song.tgp");
    WriteWholeFile(strPath, OneNoteProject(1));
    SRun run = RunCli("edit " + strPath + " -o " + strPath + " --remove-gaps --select 2:2 --delete");
    EXPECT_EQ(0, run.nExit) << run.strErr;
    std::vector<uint8_t> expected = MakeHeader(1);
    AppendEventRecord(expected, 0, 0x7F3C90);
    EXPECT_EQ(expected, ReadBytes(strPath));
    EXPECT_EQ(1u, FilesInFolder(folder.Path()).size()) << "no temporary file is left behind";
}
} // namespace
