#include "app/FileHelpers.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>

#include "platform/AtomicFile.h"

#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <set>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace
{
TEST(FileHelpers, WholeFilesRoundTripWithZeroBytes)
{
    CTempFolder folder;
    const std::string strPath = folder.File("a.tgp");
    const std::vector<uint8_t> bytes = {0, 'T', 0, 0, 0xFF, 0};
    ASSERT_TRUE(WriteWholeFile(strPath, bytes));
    EXPECT_EQ(bytes, ReadWholeFile(strPath));
    EXPECT_EQ(6, FileSize(strPath));

    ASSERT_TRUE(WriteWholeFile(strPath, {}));
    EXPECT_TRUE(FileExists(strPath));
    EXPECT_EQ(0, FileSize(strPath));
    EXPECT_TRUE(ReadWholeFile(strPath).empty());

    EXPECT_FALSE(FileExists(folder.File("none")));
    EXPECT_EQ(-1, FileSize(folder.File("none")));
    EXPECT_TRUE(ReadWholeFile(folder.File("none")).empty());
    EXPECT_TRUE(ReadWholeFile(folder.Path()).empty()) << "a folder is not a file";
}

TEST(FileHelpers, AFailedSaveLeavesTheOldFileWhole)
{
    CTempFolder folder;
    const std::string strPath = folder.File("song.tgp");
    WriteText(strPath, "old contents");

    // A file size limit makes the write fail part-way, even for root.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit small = old;
    small.rlim_cur = 1000;
    setrlimit(RLIMIT_FSIZE, &small);
    int nError = 0;
    bool bSaved = WriteWholeFile(strPath, std::vector<uint8_t>(100000, 'x'), &nError);
    setrlimit(RLIMIT_FSIZE, &old);

    EXPECT_FALSE(bSaved);
    EXPECT_EQ(EFBIG, nError);
    EXPECT_EQ("old contents", ReadText(strPath));
    size_t nFiles = 0;
    for ([[maybe_unused]] auto& e : std::filesystem::directory_iterator(folder.Path()))
        ++nFiles;
    EXPECT_EQ(1u, nFiles) << "no temporary file is left behind";

    EXPECT_FALSE(WriteWholeFile(folder.File("no/such/folder/x.tgp"), std::vector<uint8_t>{1}));
}

// An installed program reads <prefix>/share/tonegrove; a program in a build folder reads its own
// folder; anything but a folder at the installed place does not count.
TEST(FileHelpers, DataFolderIsTheInstalledShareOrTheProgramsFolder)
{
    CTempFolder root;
    const std::string strRoot = root.Path();
    std::filesystem::create_directories(strRoot + "/usr/bin");
    std::filesystem::create_directories(strRoot + "/usr/share/tonegrove/Settings/Images");
    std::filesystem::create_directories(strRoot + "/build/bin");
    std::filesystem::create_directories(strRoot + "/odd/bin");
    std::filesystem::create_directories(strRoot + "/odd/share");
    WriteText(strRoot + "/odd/share/tonegrove", "not a folder");
    std::filesystem::create_directories(strRoot + "/linked/bin");
    std::filesystem::create_directory_symlink(strRoot + "/usr/share", strRoot + "/linked/share");

    const struct
    {
        std::string strProgramFolder;
        std::string strExpected;
    } cases[] = {
        {strRoot + "/usr/bin", strRoot + "/usr/share/tonegrove"},
        {strRoot + "/usr/bin/", strRoot + "/usr/share/tonegrove"},
        {strRoot + "/build/bin", strRoot + "/build/bin"},
        {strRoot + "/odd/bin", strRoot + "/odd/bin"},
        {strRoot + "/linked/bin", strRoot + "/linked/share/tonegrove"},
        {strRoot + "/nowhere/bin", strRoot + "/nowhere/bin"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.strExpected, DataFolderFor(c.strProgramFolder)) << c.strProgramFolder;

    // The tests run from the build folder, where nothing is installed.
    EXPECT_EQ(ModuleFolder(), DataFolder());
}

TEST(FileHelpers, ModuleFolderHoldsTheRunningProgram)
{
    std::string strFolder = ModuleFolder();
    EXPECT_NE('/', strFolder.back());
    EXPECT_TRUE(FileExists(strFolder + "/engine_tests"));
}
std::set<std::string> Names(const std::string& strFolder)
{
    std::set<std::string> names;
    for (auto& entry : std::filesystem::directory_iterator(strFolder))
        names.insert(entry.path().filename().string());
    return names;
}

// Opening a folder of projects must not hang on a named pipe called b.tgp, nor open a device.
TEST(FileHelpers, OnlyRegularFilesAreRead)
{
    CTempFolder folder;
    const std::string strPipe = folder.File("b.tgp");
    ASSERT_EQ(0, mkfifo(strPipe.c_str(), 0600));
    std::filesystem::create_symlink(strPipe, folder.File("link.tgp"));
    WriteText(folder.File("empty.tgp"), "");
    WriteText(folder.File("a.tgp"), "abc");

    struct SCase
    {
        std::string strPath;
        EReadFailure eFailure;
        int nError;
        std::string strBytes;
    };
    const SCase cases[] = {
        {strPipe, EReadFailure::NotRegularFile, 0, ""},
        {folder.File("link.tgp"), EReadFailure::NotRegularFile, 0, ""},
        {folder.Path(), EReadFailure::NotRegularFile, 0, ""},
        {"/dev/null", EReadFailure::NotRegularFile, 0, ""},
        {folder.File("none.tgp"), EReadFailure::CannotRead, ENOENT, ""},
        {folder.File("a.tgp/x"), EReadFailure::CannotRead, ENOTDIR, ""},
        {folder.File("empty.tgp"), EReadFailure::None, 0, ""},
        {folder.File("a.tgp"), EReadFailure::None, 0, "abc"},
    };
    for (const SCase& c : cases)
    {
        SReadStatus status;
        status.nError = 12345; // every read says afresh
        const std::vector<uint8_t> bytes = ReadWholeFile(c.strPath, status);
        EXPECT_EQ(c.eFailure, status.eFailure) << c.strPath;
        EXPECT_EQ(c.nError, status.nError) << c.strPath;
        EXPECT_EQ(c.strBytes, std::string(bytes.begin(), bytes.end())) << c.strPath;
        EXPECT_EQ(c.eFailure == EReadFailure::None, status.Ok()) << c.strPath;
        // Asking without reading gives the same answer.
        SReadStatus asked;
        asked.nError = 12345;
        EXPECT_EQ(c.eFailure == EReadFailure::None, CanReadFile(c.strPath, asked)) << c.strPath;
        EXPECT_EQ(c.eFailure, asked.eFailure) << c.strPath;
        EXPECT_EQ(c.nError, asked.nError) << c.strPath;
    }
    SReadStatus status;
    ReadWholeFile(folder.File("none.tgp"), status);
    EXPECT_EQ(std::strerror(ENOENT), status.Reason());
    ReadWholeFile(strPipe, status);
    EXPECT_EQ("Это не обычный файл (папка, именованный канал или устройство)", status.Reason());
    EXPECT_TRUE(ReadWholeFile(strPipe).empty()) << "the old form refuses it as well";
}

TEST(FileHelpers, NamesUpToTheSystemLimitCanBeSaved)
{
    CTempFolder folder;
    for (size_t nLength : {249u, 250u, 254u, 255u})
    {
        const std::string strPath = folder.File(std::string(nLength - 4, 'n') + ".tgp");
        int nError = -1;
        EXPECT_TRUE(WriteWholeFile(strPath, std::vector<uint8_t>{1, 2, 3}, &nError)) << nLength;
        EXPECT_EQ(0, nError) << nLength << ": " << std::strerror(nError);
        EXPECT_EQ(3, FileSize(strPath)) << nLength;
    }
}

TEST(FileHelpers, SavingThroughALinkReplacesItsTarget)
{
    CTempFolder folder;
    std::filesystem::create_directories(folder.File("real"));
    const std::string strTarget = folder.File("real/song.tgp");
    WriteText(strTarget, "old");
    chmod(strTarget.c_str(), 0640);
    std::filesystem::create_symlink("real/song.tgp", folder.File("relative.tgp")); // relative to its folder
    std::filesystem::create_symlink(folder.File("relative.tgp"), folder.File("chain.tgp"));
    std::filesystem::create_symlink("real/new.tgp", folder.File("dangling.tgp"));

    ASSERT_TRUE(WriteWholeFile(folder.File("chain.tgp"), std::vector<uint8_t>{'n', 'e', 'w'}));
    EXPECT_EQ("new", ReadText(strTarget));
    EXPECT_TRUE(std::filesystem::is_symlink(folder.File("chain.tgp")));
    EXPECT_TRUE(std::filesystem::is_symlink(folder.File("relative.tgp")));
    EXPECT_EQ(0640u, static_cast<unsigned>(std::filesystem::status(strTarget).permissions()));
    EXPECT_EQ((std::set<std::string>{"song.tgp"}), Names(folder.File("real"))) << "no temporary file left";

    // A link to a file not there yet makes the file where the link points.
    ASSERT_TRUE(WriteWholeFile(folder.File("dangling.tgp"), std::vector<uint8_t>{'x'}));
    EXPECT_TRUE(std::filesystem::is_symlink(folder.File("dangling.tgp")));
    EXPECT_EQ("x", ReadText(folder.File("real/new.tgp")));

    // A loop of links cannot be saved, and nothing is put in place of the links.
    std::filesystem::create_symlink(folder.File("loop2.tgp"), folder.File("loop1.tgp"));
    std::filesystem::create_symlink(folder.File("loop1.tgp"), folder.File("loop2.tgp"));
    int nError = 0;
    EXPECT_FALSE(WriteWholeFile(folder.File("loop1.tgp"), std::vector<uint8_t>{'x'}, &nError));
    EXPECT_EQ(ELOOP, nError);
    EXPECT_TRUE(std::filesystem::is_symlink(folder.File("loop1.tgp")));
}

TEST(FileHelpers, ASaveRemovesWhatKilledSavesLeftAndNothingElse)
{
    CTempFolder folder;
    // A writer killed in the middle of its save, as kill -9 does it: its temporary file stays.
    // The name is made before the fork: the child only makes system calls.
    char temp[256];
    const std::string strStart = folder.Path() + "/" + kTempPrefix;
    ASSERT_LT(strStart.size() + 20, sizeof temp);
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0)
    {
        char digits[16];
        int n = 0;
        for (long nPid = getpid(); nPid > 0; nPid /= 10)
            digits[n++] = static_cast<char>('0' + nPid % 10);
        size_t i = strStart.size();
        std::memcpy(temp, strStart.data(), i);
        while (n > 0)
            temp[i++] = digits[--n];
        std::memcpy(temp + i, "-XXXXXX", 8);
        int fd = mkstemp(temp);
        if (fd >= 0)
            (void)!write(fd, "half", 4);
        raise(SIGKILL);
        _exit(1);
    }
    int nStatus = 0;
    ASSERT_EQ(child, waitpid(child, &nStatus, 0));
    ASSERT_TRUE(WIFSIGNALED(nStatus));
    const std::set<std::string> killed = Names(folder.Path());
    ASSERT_EQ(1u, killed.size());
    EXPECT_TRUE(IsOurTempName(*killed.begin())) << *killed.begin();

    const std::string strLive = std::string(kTempPrefix) + std::to_string(getppid()) + "-a1B2c3";
    const std::string strOldLive = std::string(kTempPrefix) + std::to_string(getppid()) + "-Z9y8X7";
    const std::vector<std::string> keep = {
        strLive,                                      // its writer is still there and wrote just now
        "song.tgp.a1B2c3",                            // the old pattern: could be anybody's file
        "song.tgp.backup",                            //
        std::string(kTempPrefix) + "4194999-abcdefg", // one letter more than ours
        std::string(kTempPrefix) + "-abcdef",         // no writer
        std::string(kTempPrefix) + "x1-abcdef",       //
        "registry.txt",
    };
    for (const std::string& strName : keep)
        WriteText(folder.File(strName), "keep");
    WriteText(folder.File(strOldLive), "old");
    std::filesystem::last_write_time(folder.File(strOldLive),
                                     std::filesystem::file_time_type::clock::now() -
                                         std::chrono::seconds(kStaleTempSeconds + 60));
    // A process id above the system's largest one belongs to no writer.
    const std::string strGone = std::string(kTempPrefix) + "4194999-abcdef";
    WriteText(folder.File(strGone), "gone");
    const std::string strGoneFolder = std::string(kTempPrefix) + "4194999-folder";
    std::filesystem::create_directories(folder.File(strGoneFolder));
    const std::string strGoneLink = std::string(kTempPrefix) + "4194999-link00";
    std::filesystem::create_symlink(folder.File("registry.txt"), folder.File(strGoneLink));

    ASSERT_TRUE(WriteWholeFile(folder.File("song.tgp"), std::vector<uint8_t>{1}));
    std::set<std::string> expected(keep.begin(), keep.end());
    expected.insert({"song.tgp", strGoneFolder, strGoneLink});
    EXPECT_EQ(expected, Names(folder.Path()));
    EXPECT_EQ("keep", ReadText(folder.File("registry.txt")));
}
} // namespace
