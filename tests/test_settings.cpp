#include "app/FileHelpers.h"
#include "app/Settings.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <map>
#include <sys/stat.h>

namespace
{
const std::string kKey = "Software\\Tonegrove";
const char* const kNames[] = {"Frequency", "Volume",        "Synth",       "DeviceIndex",
                              "SynthMode", "OscilatorMode", "ProjectType", "AllPlay",
                              "PrePause",  "PlayNoEnd",     "BaseNote",    "MusicType"};

class SettingsTest : public ::testing::Test
{
  protected:
    std::map<std::string, std::string> UserValues()
    {
        std::map<std::string, std::string> values;
        for (const char* pName : kNames)
        {
            if (auto v = reg.Store().Read(ERoot::CurrentUser, kKey, pName))
                values[pName] = v->strData;
        }
        return values;
    }
    void Put(ERoot eRoot, const std::string& strName, const std::string& strText)
    {
        ASSERT_EQ(0, reg.Store().Write(eRoot, kKey, strName, {EValueType::String, strText}));
    }

    CTempRegistry reg;
    CScriptedPrompter prompter;
    CSettings settings{reg.Store(), prompter};
};

TEST_F(SettingsTest, FirstRunWithEmptyRegistryWritesTheDefaults)
{
    settings.LoadAtStartup();
    std::map<std::string, std::string> expected;
    for (const char* pName : kNames)
        expected[pName] = "0";
    expected["ProjectType"] = "1";
    EXPECT_EQ(expected, UserValues());
    EXPECT_EQ(ModuleFolder(), reg.Store().Read(ERoot::CurrentUser, kKey, "")->strData);
    EXPECT_FALSE(reg.Store().Read(ERoot::CurrentUser, kKey, "ExtView"));
    EXPECT_FALSE(settings.ExtView);
    EXPECT_TRUE(prompter.Messages().empty());
}

TEST_F(SettingsTest, FirstRunCopiesTheMachineValuesInTheirTextForms)
{
    Put(ERoot::LocalMachine, "Frequency", "0.3");
    Put(ERoot::LocalMachine, "Volume", "  250.5xyz");
    Put(ERoot::LocalMachine, "DeviceIndex", "-1");
    Put(ERoot::LocalMachine, "AllPlay", "2");
    Put(ERoot::LocalMachine, "BaseNote", "48 notes");
    Put(ERoot::LocalMachine, "MusicType", "DirectX"); // not a number: reads as 0
    ASSERT_EQ(0, reg.Store().Write(ERoot::LocalMachine, kKey, "SynthMode", {EValueType::ExpandString, "1"}));
    ASSERT_EQ(0, reg.Store().Write(ERoot::LocalMachine, kKey, "PlayNoEnd", {EValueType::Other, "1"}));

    settings.LoadAtStartup();
    EXPECT_FLOAT_EQ(0.3f, settings.Frequency);
    EXPECT_EQ(-1, settings.DeviceIndex);
    EXPECT_TRUE(settings.AllPlay);
    EXPECT_EQ(1, settings.SynthMode) << "an expandable text counts";
    EXPECT_FALSE(settings.PlayNoEnd) << "a value that is not text is missing";

    auto values = UserValues();
    EXPECT_EQ("0.300000011920928955078125", values["Frequency"]);
    EXPECT_EQ("250.5", values["Volume"]);
    EXPECT_EQ("-1", values["DeviceIndex"]);
    EXPECT_EQ("1", values["AllPlay"]);
    EXPECT_EQ("48", values["BaseNote"]);
    EXPECT_EQ("0", values["MusicType"]);
    EXPECT_EQ("1", values["SynthMode"]);

    // From now on the machine's key is not read again.
    Put(ERoot::LocalMachine, "BaseNote", "60");
    CSettings next(reg.Store(), prompter);
    next.LoadAtStartup();
    EXPECT_EQ(48, next.BaseNote);
}

TEST_F(SettingsTest, RemovingTheDefaultValueImportsAgain)
{
    settings.LoadAtStartup();
    Put(ERoot::CurrentUser, "BaseNote", "12");
    Put(ERoot::LocalMachine, "BaseNote", "60");
    ASSERT_EQ(0, reg.Store().Remove(ERoot::CurrentUser, kKey, ""));
    settings.LoadAtStartup();
    EXPECT_EQ(60, settings.BaseNote);
    EXPECT_EQ("60", UserValues()["BaseNote"]);
}

TEST_F(SettingsTest, ExtViewNeedsTheExactWord)
{
    struct SCase
    {
        const char* pStored; // null: no value
        bool bBefore;
        bool bAfter;
    };
    const SCase cases[] = {
        {"Yes", false, true},  {"No", true, false}, {nullptr, true, false},
        {"yes", false, false}, {"yes", true, true}, {"Yes ", true, true},
    };
    for (const SCase& c : cases)
    {
        if (c.pStored)
            Put(ERoot::CurrentUser, "ExtView", c.pStored);
        else
            reg.Store().Remove(ERoot::CurrentUser, kKey, "ExtView");
        settings.ExtView = c.bBefore;
        settings.LoadExtView();
        EXPECT_EQ(c.bAfter, settings.ExtView) << (c.pStored ? c.pStored : "(none)") << " from " << c.bBefore;
    }
}

TEST_F(SettingsTest, LoadKeepsWhatIsMissingAndSaveWritesBack)
{
    Put(ERoot::CurrentUser, "", "/opt");
    Put(ERoot::CurrentUser, "Synth", "2.5");
    Put(ERoot::CurrentUser, "ProjectType", "0");
    settings.BaseNote = 7;
    settings.LoadAtStartup();
    EXPECT_FLOAT_EQ(2.5f, settings.Synth);
    EXPECT_EQ(0, settings.ProjectType);
    EXPECT_EQ(7, settings.BaseNote) << "a missing value leaves its variable";
    settings.Frequency = 440;
    settings.Volume = 0.005f;
    settings.Save();
    auto values = UserValues();
    EXPECT_EQ("440", values["Frequency"]);
    EXPECT_EQ("2.5", values["Synth"]);
    EXPECT_EQ("7", values["BaseNote"]);
    EXPECT_EQ("4.999999888241291046142578125e-003", values["Volume"]);
}

// An unwritable settings folder used to give one box per value at every start.
TEST_F(SettingsTest, AFailedSaveIsSaidOnceWithTheFolderAndTheReason)
{
    // The user's folder is a plain file, so nothing can be created under it.
    WriteText(reg.Folder().File("user"), "");
    const std::string strExpected = "Не удалось сохранить настройки в папке " + reg.Folder().File("user") +
                                    "\n" + std::strerror(ENOTDIR) +
                                    "\nПрограмма продолжит работу с настройками в памяти.";
    settings.Save();
    auto messages = prompter.Messages();
    ASSERT_EQ(1u, messages.size());
    EXPECT_EQ("Register error", messages[0].strCaption);
    EXPECT_EQ(strExpected, messages[0].strText);
    EXPECT_EQ(EIcon::Error, messages[0].eIcon);
    EXPECT_FALSE(messages[0].bOwned);

    // At start: the import writes thirteen values and fails once; the machine's values stay in memory.
    Put(ERoot::LocalMachine, "BaseNote", "60");
    auto problem = settings.LoadAtStartup();
    ASSERT_TRUE(problem);
    EXPECT_EQ(ENOTDIR, problem->nError);
    EXPECT_EQ(2u, prompter.Messages().size());
    EXPECT_EQ(strExpected, prompter.Messages().back().strText);
    EXPECT_EQ(60, settings.BaseNote);

    EXPECT_FALSE(settings.WriteText("ExtView", "Yes"));
    EXPECT_EQ(strExpected, prompter.Messages().back().strText);
}

// Written by a Windows editor: every value is the user's, and no second section of defaults.
TEST_F(SettingsTest, ACrLfSettingsFileKeepsEveryValue)
{
    const std::string strFile = "[Software\\Tonegrove]\r\n"
                                "\"\" = string \"/opt/tonegrove\"\r\n"
                                "\"Frequency\" = string \"440\"\r\n"
                                "\"ProjectType\" = string \"0\"\r\n"
                                "\"BaseNote\" = string \"48\"\r\n"
                                "\"ExtView\" = string \"Yes\"\r\n";
    WriteText(reg.UserFile(), strFile);
    EXPECT_FALSE(settings.LoadAtStartup());
    EXPECT_FLOAT_EQ(440.0f, settings.Frequency);
    EXPECT_EQ(0, settings.ProjectType);
    EXPECT_EQ(48, settings.BaseNote);
    EXPECT_TRUE(settings.ExtView);
    EXPECT_EQ(strFile, ReadText(reg.UserFile())) << "nothing to import, nothing written";

    settings.BaseNote = 50;
    settings.Save();
    const std::string strAfter = ReadText(reg.UserFile());
    size_t nSections = 0;
    for (size_t pos = 0; (pos = strAfter.find("[Software\\Tonegrove]", pos)) != std::string::npos; ++pos)
        ++nSections;
    EXPECT_EQ(1u, nSections);
    EXPECT_NE(std::string::npos, strAfter.find("\"BaseNote\" = string \"50\"\r\n"));
    EXPECT_NE(std::string::npos, strAfter.find("\"MusicType\" = string \"0\"\r\n"));
    for (size_t pos = 0; (pos = strAfter.find('\n', pos)) != std::string::npos; ++pos)
        EXPECT_EQ('\r', strAfter[pos - 1]) << "a bare LF at " << pos;
    EXPECT_TRUE(prompter.Messages().empty());
}

TEST_F(SettingsTest, AStartReadsTheFileOnceAndASaveWritesItOnce)
{
    settings.LoadAtStartup(); // the first run: the import writes the file
    // A line of absurd length among the values: damaged, but the rest is not slowed or lost.
    std::string strText = ReadText(reg.UserFile());
    strText.insert(strText.find("\"Frequency\""),
                   "\"Junk\" = string \"" + std::string(1 << 20, 'x') + "\"\n");
    WriteText(reg.UserFile(), strText);
    Put(ERoot::CurrentUser, "BaseNote", "12");

    CFileRegistryStore fresh(reg.Folder().File("user"), reg.Folder().File("machine"));
    CSettings started(fresh, prompter);
    EXPECT_FALSE(started.LoadAtStartup());
    EXPECT_EQ(12, started.BaseNote);
    EXPECT_EQ(1, fresh.Loads()) << "one read for the fourteen values of a start";
    const std::string strBefore = ReadText(reg.UserFile());
    started.BaseNote = 13;
    started.Save();
    EXPECT_EQ(1, fresh.Loads());
    EXPECT_EQ(strBefore.size(), ReadText(reg.UserFile()).size()) << "the long line is kept";
    EXPECT_EQ("13", reg.Store().Read(ERoot::CurrentUser, kKey, "BaseNote")->strData);
    EXPECT_TRUE(prompter.Messages().empty());
}

// A named pipe in place of the settings file used to hold the program at start for good.
TEST_F(SettingsTest, ASettingsFileThatIsNoFileIsSaidOnceAndLeftAlone)
{
    std::filesystem::create_directories(reg.Folder().File("user"));
    ASSERT_EQ(0, mkfifo(reg.UserFile().c_str(), 0600));
    Put(ERoot::LocalMachine, "BaseNote", "60");
    settings.BaseNote = 7;
    auto problem = settings.LoadAtStartup();
    ASSERT_TRUE(problem);
    EXPECT_FALSE(problem->bWriting);
    EXPECT_EQ(7, settings.BaseNote) << "the values in memory stay";
    EXPECT_EQ((std::vector<std::string>{"Register error|Не удалось прочитать настройки из папки " +
                                        reg.Folder().File("user") +
                                        "\nЭто не обычный файл (папка, именованный канал или устройство)"
                                        "\nПрограмма продолжит работу с настройками в памяти."}),
              prompter.Lines());
    EXPECT_TRUE(std::filesystem::is_fifo(reg.UserFile()));
}
// Our own value beside the twelve: saved as the Options dialog saves it, loaded when stored.
TEST_F(SettingsTest, TheMidiInputsNameGoesRoundTrip)
{
    const std::string strName = "Keystation 49:Keystation 49 MIDI 1 24:0";
    settings.LoadAtStartup();
    EXPECT_EQ("", settings.MidiInName) << "none until one is chosen";
    settings.MidiInName = strName;
    settings.SaveTexts(settings.OwnTexts());
    EXPECT_EQ(strName, reg.Store().Read(ERoot::CurrentUser, kKey, "MidiInName")->strData);
    CSettings other(reg.Store(), prompter);
    other.MidiInName = "kept";
    other.Load();
    EXPECT_EQ(strName, other.MidiInName);
    Put(ERoot::CurrentUser, "MidiInName", "");
    other.Load();
    EXPECT_EQ("", other.MidiInName) << "a stored empty name is no input";
}
} // namespace
