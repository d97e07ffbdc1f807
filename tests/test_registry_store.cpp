#include "tests/TestSupport.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <sys/stat.h>

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
        {EValueType::String, "Привет, мир"},              // UTF-8 bytes
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
                                   "\"Frequency\" = string \"440\n" // quote not closed
                                   "\"Volume\" = number \"3\"\n"    // unknown type
                                   "garbage without quotes\n"
                                   "\"Synth\" = string \"0.5\"\n"
                                   "\"Bad\" = string \"\\q\""; // unknown escape, no final newline
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
// A settings file saved by a Windows editor: CR LF endings, perhaps a byte order mark.
TEST(RegistryStore, ReadsAndKeepsTheLineEndingsOfTheFile)
{
    struct SCase
    {
        const char* pName;
        std::string strStart; // what the file begins with
        std::string strNewline;
    };
    const SCase cases[] = {
        {"LF", "", "\n"},
        {"CR LF", "", "\r\n"},
        {"CR LF with a byte order mark", "\xEF\xBB\xBF", "\r\n"},
    };
    for (const SCase& c : cases)
    {
        CTempRegistry reg;
        const std::string& nl = c.strNewline;
        const std::string strFile = c.strStart + "; by hand" + nl + "[Software\\Tonegrove]  " + nl +
                                    "\"\" = string \"/opt/tonegrove\"" + nl +
                                    "\"Frequency\" = string \"440\"" + nl + "\"Text\" = string \"a\\r\\nb\"" +
                                    nl;
        WriteText(reg.UserFile(), strFile);
        auto& store = reg.Store();
        ASSERT_TRUE(store.Read(ERoot::CurrentUser, kKey, "")) << c.pName;
        EXPECT_EQ("/opt/tonegrove", store.Read(ERoot::CurrentUser, kKey, "")->strData) << c.pName;
        EXPECT_EQ("440", store.Read(ERoot::CurrentUser, kKey, "Frequency")->strData) << c.pName;
        EXPECT_EQ("a\r\nb", store.Read(ERoot::CurrentUser, kKey, "Text")->strData) << c.pName;

        // One value changed, one added: into the section that is there, in the file's own endings.
        ASSERT_EQ(0, store.Write(ERoot::CurrentUser, kKey, "Frequency", {EValueType::String, "220"}))
            << c.pName;
        ASSERT_EQ(0, store.Write(ERoot::CurrentUser, kKey, "Volume", {EValueType::String, "5"})) << c.pName;
        std::string strExpected = strFile;
        strExpected.replace(strExpected.find("\"440\""), 5, "\"220\"");
        strExpected += "\"Volume\" = string \"5\"" + nl;
        EXPECT_EQ(strExpected, ReadText(reg.UserFile())) << c.pName;
    }
}

TEST(RegistryStore, AbsurdLinesAreDamagedAndKept)
{
    CTempRegistry reg;
    const std::string strLong(CFileRegistryStore::kMaxLineBytes + 1, 'x');
    const std::string strFile = "[Software\\Tonegrove]\n"
                                "\"Long\" = string \"" +
                                strLong +
                                "\"\n"
                                "\"Frequency\" = string \"440\"\n"
                                "[" +
                                strLong +
                                "]\n"
                                "\"Orphan\" = string \"1\"\n";
    WriteText(reg.UserFile(), strFile);
    auto& store = reg.Store();
    EXPECT_FALSE(store.Read(ERoot::CurrentUser, kKey, "Long"));
    EXPECT_EQ("440", store.Read(ERoot::CurrentUser, kKey, "Frequency")->strData);
    EXPECT_FALSE(store.Read(ERoot::CurrentUser, kKey, "Orphan")) << "its key heading is damaged";

    ASSERT_EQ(0, store.Write(ERoot::CurrentUser, kKey, "Frequency", {EValueType::String, "220"}));
    std::string strExpected = strFile;
    strExpected.replace(strExpected.find("\"440\""), 5, "\"220\"");
    EXPECT_EQ(strExpected, ReadText(reg.UserFile()));

    // What we could not read back is not written.
    EXPECT_EQ(EOVERFLOW, store.Write(ERoot::CurrentUser, kKey, "Big", {EValueType::String, strLong}));
    EXPECT_EQ(strExpected, ReadText(reg.UserFile()));
}

TEST(RegistryStore, ParsesTheFileOncePerChange)
{
    CTempRegistry reg;
    auto& store = reg.Store();
    ASSERT_EQ(0, store.WriteValues(ERoot::CurrentUser, kKey,
                                   {{"A", {EValueType::String, "1"}}, {"B", {EValueType::String, "2"}}}));
    const int64_t nLoads = store.Loads();
    for (int i = 0; i < 20; ++i)
        EXPECT_EQ("1", store.Read(ERoot::CurrentUser, kKey, "A")->strData);
    EXPECT_EQ(nLoads, store.Loads()) << "our own write leaves nothing to read again";

    // Another program replaces the file, or changes its length in place: read afresh.
    WriteText(reg.Folder().File("new.txt"), "[Software\\Tonegrove]\n\"A\" = string \"3\"\n");
    std::filesystem::rename(reg.Folder().File("new.txt"), reg.UserFile());
    EXPECT_EQ("3", store.Read(ERoot::CurrentUser, kKey, "A")->strData);
    EXPECT_FALSE(store.Read(ERoot::CurrentUser, kKey, "B"));
    WriteText(reg.UserFile(), "[Software\\Tonegrove]\n\"A\" = string \"four\"\n");
    EXPECT_EQ("four", store.Read(ERoot::CurrentUser, kKey, "A")->strData);
    EXPECT_EQ(nLoads + 2, store.Loads());

    // Removed by hand: nothing is read, and a write starts a new file.
    std::filesystem::remove(reg.UserFile());
    EXPECT_FALSE(store.Read(ERoot::CurrentUser, kKey, "A"));
    ASSERT_EQ(0, store.Write(ERoot::CurrentUser, kKey, "C", {EValueType::String, "5"}));
    EXPECT_FALSE(store.Read(ERoot::CurrentUser, kKey, "A"));
}

TEST(RegistryStore, ANamedPipeInPlaceOfTheFileIsRefusedWithoutWaiting)
{
    CTempRegistry reg;
    std::filesystem::create_directories(reg.Folder().File("user"));
    ASSERT_EQ(0, mkfifo(reg.UserFile().c_str(), 0600));
    auto& store = reg.Store();
    // Each of these would block for good if the pipe were opened for reading.
    EXPECT_FALSE(store.Read(ERoot::CurrentUser, kKey, "A"));
    EXPECT_EQ(kNotRegularFileError, store.CheckReadable(ERoot::CurrentUser));
    EXPECT_EQ(kNotRegularFileError, store.Write(ERoot::CurrentUser, kKey, "A", {EValueType::String, "1"}));
    EXPECT_TRUE(std::filesystem::is_fifo(reg.UserFile())) << "what the user put there stays";
    EXPECT_EQ(0, store.CheckReadable(ERoot::LocalMachine)) << "a file not there yet is no problem";
    EXPECT_EQ(reg.Folder().File("user"), store.Location(ERoot::CurrentUser));
}

TEST(RegistryStore, WritesSeveralValuesAllOrNone)
{
    CTempRegistry reg;
    auto& store = reg.Store();
    const std::vector<std::pair<std::string, SRegValue>> values = {{"A", {EValueType::String, "1"}},
                                                                   {"", {EValueType::String, "/opt"}},
                                                                   {"A", {EValueType::String, "2"}}};
    ASSERT_EQ(0, store.WriteValues(ERoot::CurrentUser, kKey, values));
    EXPECT_EQ("2", store.Read(ERoot::CurrentUser, kKey, "A")->strData) << "the last one of a name wins";
    EXPECT_EQ("/opt", store.Read(ERoot::CurrentUser, kKey, "")->strData);
    const std::string strBefore = ReadText(reg.UserFile());
    EXPECT_EQ(EOVERFLOW,
              store.WriteValues(
                  ERoot::CurrentUser, kKey,
                  {{"B", {EValueType::String, "3"}},
                   {"C", {EValueType::String, std::string(CFileRegistryStore::kMaxLineBytes, 'x')}}}));
    EXPECT_EQ(strBefore, ReadText(reg.UserFile()));
}
} // namespace
