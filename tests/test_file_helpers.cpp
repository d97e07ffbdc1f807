#include "app/FileHelpers.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <sys/resource.h>

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

TEST(FileHelpers, ModuleFolderHoldsTheRunningProgram)
{
    std::string strFolder = ModuleFolder();
    EXPECT_NE('/', strFolder.back());
    EXPECT_TRUE(FileExists(strFolder + "/engine_tests"));
}
} // namespace
