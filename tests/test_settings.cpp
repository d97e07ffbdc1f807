#include "app/FileHelpers.h"
#include "app/Settings.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>

namespace
{
const std::string kKey = "Software\\Tonegrove";
const char* const kNames[] = {"Frequency", "Volume",   "Synth",     "DeviceIndex", "SynthMode", "OscilatorMode",
                              "ProjectType", "AllPlay", "PrePause", "PlayNoEnd",   "BaseNote",  "MusicType"};

class SettingsTest : public ::testing::Test
{
  protected:
    void SetUp() override { ResetSettingsToDefaults(); }
    void TearDown() override { ResetSettingsToDefaults(); }

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
};

TEST_F(SettingsTest, FirstRunWithEmptyRegistryWritesTheDefaults)
{
    LoadSettingsAtStartup();
    std::map<std::string, std::string> expected;
    for (const char* pName : kNames)
        expected[pName] = "0";
    expected["ProjectType"] = "1";
    EXPECT_EQ(expected, UserValues());
    EXPECT_EQ(ModuleFolder(), reg.Store().Read(ERoot::CurrentUser, kKey, "")->strData);
    EXPECT_FALSE(reg.Store().Read(ERoot::CurrentUser, kKey, "ExtView"));
    EXPECT_FALSE(ExtView);
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

    LoadSettingsAtStartup();
    EXPECT_FLOAT_EQ(0.3f, Frequency);
    EXPECT_EQ(-1, DeviceIndex);
    EXPECT_TRUE(AllPlay);
    EXPECT_EQ(1, SynthMode) << "an expandable text counts";
    EXPECT_FALSE(PlayNoEnd) << "a value that is not text is missing";

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
    ResetSettingsToDefaults();
    LoadSettingsAtStartup();
    EXPECT_EQ(48, BaseNote);
}

TEST_F(SettingsTest, RemovingTheDefaultValueImportsAgain)
{
    LoadSettingsAtStartup();
    Put(ERoot::CurrentUser, "BaseNote", "12");
    Put(ERoot::LocalMachine, "BaseNote", "60");
    ASSERT_EQ(0, reg.Store().Remove(ERoot::CurrentUser, kKey, ""));
    LoadSettingsAtStartup();
    EXPECT_EQ(60, BaseNote);
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
        {"Yes", false, true}, {"No", true, false}, {nullptr, true, false},
        {"yes", false, false}, {"yes", true, true}, {"Yes ", true, true},
    };
    for (const SCase& c : cases)
    {
        if (c.pStored)
            Put(ERoot::CurrentUser, "ExtView", c.pStored);
        else
            reg.Store().Remove(ERoot::CurrentUser, kKey, "ExtView");
        ExtView = c.bBefore;
        LoadExtView();
        EXPECT_EQ(c.bAfter, ExtView) << (c.pStored ? c.pStored : "(none)") << " from " << c.bBefore;
    }
}

TEST_F(SettingsTest, LoadKeepsWhatIsMissingAndSaveWritesBack)
{
    Put(ERoot::CurrentUser, "", "/opt");
    Put(ERoot::CurrentUser, "Synth", "2.5");
    Put(ERoot::CurrentUser, "ProjectType", "0");
    BaseNote = 7;
    LoadSettingsAtStartup();
    EXPECT_FLOAT_EQ(2.5f, Synth);
    EXPECT_EQ(0, ProjectType);
    EXPECT_EQ(7, BaseNote) << "a missing value leaves its variable";
    Frequency = 440;
    Volume = 0.005f;
    SaveSettings();
    auto values = UserValues();
    EXPECT_EQ("440", values["Frequency"]);
    EXPECT_EQ("2.5", values["Synth"]);
    EXPECT_EQ("7", values["BaseNote"]);
    EXPECT_EQ("4.999999888241291046142578125e-003", values["Volume"]);
}

TEST_F(SettingsTest, AFailedWriteShowsTheSystemTextForEveryValue)
{
    // The user's folder is a plain file, so nothing can be created under it.
    WriteText(reg.Folder().File("user"), "");
    SaveSettings();
    auto messages = prompter.Messages();
    ASSERT_EQ(12u, messages.size());
    for (const SMessage& m : messages)
    {
        EXPECT_EQ("Register error", m.strCaption);
        EXPECT_EQ(std::strerror(ENOTDIR), m.strText);
        EXPECT_EQ(EIcon::Error, m.eIcon);
        EXPECT_FALSE(m.bOwned);
    }
}
} // namespace
