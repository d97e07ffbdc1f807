#include "tests/TestSupport.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>

namespace
{
const std::string kKey = "Software\\Tonegrove";

TEST(RegistryStore, KeepsEveryTextAndTypeExactly)
{
    CTempRegistry reg;
    const std::vector<SRegValue> values = {
        {EValueType::String, "440"},
        {EValueType::String, ""},
        {EValueType::String, "say \"hi\"\\there\n\r\tend"},
        {EValueType::String, std::string("zero\0inside", 11)},
        {EValueType::String, "Привет, мир"},          // UTF-8 bytes
        {EValueType::String, "\xCF\xF0\xE8\xE2\xE5\xF2"}, // the same word in CP1251 bytes
        {EValueType::ExpandString, "%HOME%\\music"},
        {EValueType::Other, "\x01\x02\x7F\xFF"},
    };
    for (size_t i = 0; i < values.size(); ++i)
        ASSERT_EQ(0, reg.Store().Write(ERoot::CurrentUser, kKey, "v" + std::to_string(i), values[i]));

    // A fresh store object reads from the file only.
    CFileRegistryStore again(reg.Folder().File("user"), reg.Folder().File("machine"));
    for (size_t i = 0; i < values.size(); ++i)
    {
        auto value = again.Read(ERoot::CurrentUser, kKey, "v" + std::to_string(i));
        ASSERT_TRUE(value) << i;
        EXPECT_EQ(values[i].eType, value->eType) << i;
        EXPECT_EQ(values[i].strData, value->strData) << i;
    }
    EXPECT_FALSE(again.Read(ERoot::LocalMachine, kKey, "v0")) << "roots are separate";
    EXPECT_FALSE(again.Read(ERoot::CurrentUser, "Software\\Other", "v0")) << "keys are separate";

    // Human-readable, one value a line.
    std::string strFile = ReadText(reg.UserFile());
    EXPECT_NE(std::string::npos, strFile.find("[Software\\Tonegrove]\n\"v0\" = string \"440\"\n"));
    EXPECT_NE(std::string::npos, strFile.find("\"v2\" = string \"say \\\"hi\\\"\\\\there\\n\\r\\tend\"\n"));
}

TEST(RegistryStore, OverwritesAndRemovesOneValueOnly)
{
    CTempRegistry reg;
    auto& store = reg.Store();
    store.Write(ERoot::CurrentUser, kKey, "", {EValueType::String, "/opt/tonegrove"});
    store.Write(ERoot::CurrentUser, kKey, "A", {EValueType::String, "1"});
    store.Write(ERoot::CurrentUser, "Other", "A", {EValueType::String, "x"});
    store.Write(ERoot::CurrentUser, kKey, "A", {EValueType::String, "2"});
    EXPECT_EQ("2", store.Read(ERoot::CurrentUser, kKey, "A")->strData);
    EXPECT_EQ("x", store.Read(ERoot::CurrentUser, "Other", "A")->strData);

    EXPECT_EQ(0, store.Remove(ERoot::CurrentUser, kKey, ""));
    EXPECT_FALSE(store.Read(ERoot::CurrentUser, kKey, ""));
    EXPECT_EQ("2", store.Read(ERoot::CurrentUser, kKey, "A")->strData);
    EXPECT_EQ(0, store.Remove(ERoot::CurrentUser, kKey, "missing"));
}

TEST(RegistryStore, DamagedLinesReadAsMissingAndSurviveWrites)
{
    CTempRegistry reg;
    const std::string strDamaged = "; hand-written\n"
                                   "[Software\\Tonegrove]\n"
                                   "\"Frequency\" = string \"440\n"     // quote not closed
                                   "\"Volume\" = number \"3\"\n"        // unknown type
                                   "garbage without quotes\n"
                                   "\"Synth\" = string \"0.5\"\n"
                                   "\"Bad\" = string \"\\q\"";          // unknown escape, no final newline
    WriteText(reg.UserFile(), strDamaged);
    auto& store = reg.Store();
    EXPECT_FALSE(store.Read(ERoot::CurrentUser, kKey, "Frequency"));
    EXPECT_FALSE(store.Read(ERoot::CurrentUser, kKey, "Volume"));
    EXPECT_FALSE(store.Read(ERoot::CurrentUser, kKey, "Bad"));
    EXPECT_EQ("0.5", store.Read(ERoot::CurrentUser, kKey, "Synth")->strData);

    ASSERT_EQ(0, store.Write(ERoot::CurrentUser, kKey, "Synth", {EValueType::String, "0.25"}));
    ASSERT_EQ(0, store.Write(ERoot::CurrentUser, kKey, "New", {EValueType::String, "n"}));
    std::string strAfter = ReadText(reg.UserFile());
    // Every line that was there is still there, byte for byte, but the one value we rewrote.
    std::string strExpected = strDamaged;
    strExpected.replace(strExpected.find("\"0.5\""), 5, "\"0.25\"");
    strExpected.insert(strExpected.find("\"Bad\""), "\"New\" = string \"n\"\n");
    EXPECT_EQ(strExpected, strAfter);
}

TEST(RegistryStore, UnreadableFileIsMissingAndNeverReplaced)
{
    CTempRegistry reg;
    // A folder where the file should be: unreadable even for root.
    std::filesystem::create_directories(reg.UserFile());
    EXPECT_FALSE(reg.Store().Read(ERoot::CurrentUser, kKey, "A"));
    EXPECT_EQ(EISDIR, reg.Store().Write(ERoot::CurrentUser, kKey, "A", {EValueType::String, "1"}));
    EXPECT_TRUE(std::filesystem::is_directory(reg.UserFile()));

    // A plain file where the folder should be.
    WriteText(reg.Folder().File("machine"), "not a folder");
    EXPECT_EQ(ENOTDIR, reg.Store().Write(ERoot::LocalMachine, kKey, "A", {EValueType::String, "1"}));
    EXPECT_EQ("not a folder", ReadText(reg.Folder().File("machine")));
}

TEST(RegistryStore, WritesLeaveNoTemporaryFiles)
{
    CTempRegistry reg;
    for (int i = 0; i < 5; ++i)
        reg.Store().Write(ERoot::CurrentUser, kKey, "A" + std::to_string(i), {EValueType::String, "x"});
    size_t nFiles = 0;
    for ([[maybe_unused]] auto& entry : std::filesystem::directory_iterator(reg.Folder().File("user")))
        ++nFiles;
    EXPECT_EQ(1u, nFiles);
}
} // namespace
