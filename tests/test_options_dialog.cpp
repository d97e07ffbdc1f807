// The Options dialog under the offscreen platform: its pages filled from the settings file, the
// controls driven as the user drives them, and the settings file read back from disk.
#include "app/Settings.h"
#include "app/TextHelpers.h"
#include "mainwnd/DialogUnits.h"
#include "options/OptionsControls.h"
#include "options/OptionsDlg.h"
#include "options/OptionsIds.h"
#include "options/OptionsValues.h"
#include "options/SoundFontCheck.h"
#include "platform/fluidsynth/FluidSynth.h"
#include "sound/MidiDevices.h"
#include "sound/SoundFontChoice.h"
#include "tests/TestSupport.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>

namespace
{
const char* const kTwelve[] = {"Frequency", "Volume",        "Synth",       "DeviceIndex",
                               "SynthMode", "OscilatorMode", "ProjectType", "AllPlay",
                               "PrePause",  "PlayNoEnd",     "BaseNote",    "MusicType"};

// The store the test's settings live in: it passes everything on to another store, which a
// test may swap for a while.
class CSwitchableStore : public IRegistryStore
{
  public:
    explicit CSwitchableStore(IRegistryStore& target) : m_pTarget(&target) {}
    IRegistryStore& Target() const { return *m_pTarget; }
    void SetTarget(IRegistryStore& target) { m_pTarget = &target; }

    std::optional<SRegValue> Read(ERoot eRoot, const std::string& strKey, const std::string& strName) override
    {
        return m_pTarget->Read(eRoot, strKey, strName);
    }
    int Write(ERoot eRoot, const std::string& strKey, const std::string& strName,
              const SRegValue& value) override
    {
        return m_pTarget->Write(eRoot, strKey, strName, value);
    }
    int Remove(ERoot eRoot, const std::string& strKey, const std::string& strName) override
    {
        return m_pTarget->Remove(eRoot, strKey, strName);
    }
    int WriteValues(ERoot eRoot, const std::string& strKey,
                    const std::vector<std::pair<std::string, SRegValue>>& values) override
    {
        return m_pTarget->WriteValues(eRoot, strKey, values);
    }
    int CheckReadable(ERoot eRoot) override { return m_pTarget->CheckReadable(eRoot); }
    std::string Location(ERoot eRoot) const override { return m_pTarget->Location(eRoot); }

  private:
    IRegistryStore* m_pTarget;
};

// Passes everything on to the test's store and notes each write as "name=text"; while it
// lives, the settings are stored through it.
class CWriteLog : public IRegistryStore
{
  public:
    explicit CWriteLog(CSwitchableStore& store) : m_switch(store), m_store(store.Target())
    {
        m_switch.SetTarget(*this);
    }
    ~CWriteLog() override { m_switch.SetTarget(m_store); }
    std::optional<SRegValue> Read(ERoot eRoot, const std::string& strKey, const std::string& strName) override
    {
        return m_store.Read(eRoot, strKey, strName);
    }
    int Write(ERoot eRoot, const std::string& strKey, const std::string& strName,
              const SRegValue& value) override
    {
        m_arrWrites.push_back(strName + "=" + value.strData);
        return m_store.Write(eRoot, strKey, strName, value);
    }
    int Remove(ERoot eRoot, const std::string& strKey, const std::string& strName) override
    {
        return m_store.Remove(eRoot, strKey, strName);
    }
    std::vector<std::string> m_arrWrites;

  private:
    CSwitchableStore& m_switch;
    IRegistryStore& m_store;
};

// The first bytes of a SoundFont 2 file: enough for the check, not a whole bank.
const std::string kSoundFontHead = std::string("RIFF\x04\x00\x00\x00sfbk", 12) + "LIST";

class OptionsDialogTest : public ::testing::Test
{
  protected:
    // Settings as a fresh start has them in memory, before anything is loaded.
    void FreshSettings() { pSettings = std::make_unique<CSettings>(store, prompter); }
    // "caption|text" of the messages after the first nSeen.
    std::vector<std::string> LinesSince(size_t nSeen) const
    {
        const std::vector<std::string> lines = prompter.Lines();
        return std::vector<std::string>(lines.begin() + static_cast<std::ptrdiff_t>(nSeen), lines.end());
    }

    void Put(const std::string& strName, const std::string& strText, ERoot eRoot = ERoot::CurrentUser)
    {
        ASSERT_EQ(0, reg.Store().Write(eRoot, kSettingsKey, strName, {EValueType::String, strText}));
    }
    // A value as the settings file on disk holds it, read by a store of its own.
    std::optional<std::string> OnDisk(const std::string& strName)
    {
        CFileRegistryStore disk(reg.Folder().File("user"), reg.Folder().File("machine"));
        auto value = disk.Read(ERoot::CurrentUser, kSettingsKey, strName);
        return value ? std::optional(value->strData) : std::nullopt;
    }
    std::map<std::string, std::string> TwelveOnDisk()
    {
        std::map<std::string, std::string> values;
        for (const char* pName : kTwelve)
            values[pName] = OnDisk(pName).value_or("(none)");
        return values;
    }

    std::unique_ptr<COptionsDlg> Open()
    {
        auto pDlg = std::make_unique<COptionsDlg>(*pSettings, prompter, m_arrDevices, m_arrInputs);
        pDlg->show();
        QCoreApplication::processEvents();
        return pDlg;
    }
    template <class T> T* Control(COptionsDlg& dlg, int nId)
    {
        T* p = FindControl<T>(&dlg, nId);
        EXPECT_NE(nullptr, p) << "control " << nId;
        return p;
    }
    // The control's state as one number: a trackbar's position, a list's item, a check mark.
    int State(COptionsDlg& dlg, int nId)
    {
        QWidget* p = Control<QWidget>(dlg, nId);
        if (auto* pBar = qobject_cast<QSlider*>(p))
            return pBar->value();
        if (auto* pList = qobject_cast<QComboBox*>(p))
            return pList->currentIndex();
        if (auto* pCheck = qobject_cast<QCheckBox*>(p))
            return pCheck->isChecked();
        ADD_FAILURE() << "no state for control " << nId;
        return -999;
    }
    std::string Text(COptionsDlg& dlg, int nId) { return Control<QLineEdit>(dlg, nId)->text().toStdString(); }
    void Type(COptionsDlg& dlg, int nId, const char* pText)
    {
        QLineEdit* pEdit = Control<QLineEdit>(dlg, nId);
        pEdit->setFocus();
        pEdit->selectAll();
        QTest::keyClicks(pEdit, pText);
    }
    void PressOk(COptionsDlg& dlg) { Control<QPushButton>(dlg, OptId::Ok)->click(); }
    std::string WriteFile(const std::string& strName, const std::string& strBytes)
    {
        const std::string strPath = reg.Folder().File(strName);
        WriteText(strPath, strBytes);
        return strPath;
    }

    CTempRegistry reg;
    CScriptedPrompter prompter;
    CSwitchableStore store{reg.Store()};
    std::unique_ptr<CSettings> pSettings = std::make_unique<CSettings>(store, prompter);
    // The main window's list of MIDI outputs.
    std::vector<std::string> m_arrDevices = {kMidiMapperName, "Tonegrove Synth"};
    std::vector<std::string> m_arrInputs;
};

TEST_F(OptionsDialogTest, OpeningReloadsTheStoredSettingsIntoEveryPage)
{
    const std::map<std::string, std::string> stored = {
        {"Frequency", "440.75"}, {"Volume", "250"},      {"Synth", "1.5"},     {"DeviceIndex", "0"},
        {"SynthMode", "1"},      {"OscilatorMode", "1"}, {"ProjectType", "0"}, {"AllPlay", "2"},
        {"PrePause", "1"},       {"PlayNoEnd", "1"},     {"BaseNote", "-12"},  {"MusicType", "1"}};
    for (const auto& [strName, strText] : stored)
        Put(strName, strText);
    // Changed in memory and never saved, as the live play window does: the stored values win,
    // except ExtView, which is not reloaded.
    pSettings->MusicType = 0;
    pSettings->Frequency = 10;
    pSettings->ExtView = true;

    auto pDlg = Open();
    COptionsDlg& dlg = *pDlg;
    EXPECT_EQ(0, dlg.Sheet()->currentIndex());
    const std::vector<std::pair<int, int>> states = {
        {OptId::ExtView, 1},        {OptId::MusicType, 1},    {OptId::ProjectType, 0},
        {OptId::AllPlay, 1},        {OptId::PlayNoEnd, 1},    {OptId::Device, 1},
        {OptId::FrequencyBar, 440}, {OptId::VolumeBar, 250},  {OptId::ResonanceBar, 1500},
        {OptId::SynthMode, 1},      {OptId::OscilatorMode, 1}};
    for (auto [nId, nState] : states)
        EXPECT_EQ(nState, State(dlg, nId)) << "control " << nId;
    EXPECT_EQ("-12", Text(dlg, OptId::BaseNote));
    EXPECT_EQ("440", Text(dlg, OptId::FrequencyEdit));
    EXPECT_EQ("250", Text(dlg, OptId::VolumeEdit));
    EXPECT_EQ("1.5", Text(dlg, OptId::ResonanceEdit));
    EXPECT_TRUE(pSettings->ExtView);

    // OK without a change: the fraction the trackbar could not show is gone, AllPlay is written
    // in its own form, PrePause (no page shows it) keeps its value; the rest reads as stored.
    PressOk(dlg);
    EXPECT_EQ(QDialog::Accepted, dlg.result());
    std::map<std::string, std::string> expected = stored;
    expected["Frequency"] = "440";
    expected["AllPlay"] = "1";
    EXPECT_EQ(expected, TwelveOnDisk());
    EXPECT_EQ("Yes", OnDisk("ExtView"));
    EXPECT_FALSE(OnDisk(kSoundFontSetting)) << "an untouched SoundFont field writes nothing";
    EXPECT_TRUE(prompter.Messages().empty());
}

// Whatever a settings file holds, each control opens inside its range and OK stores a value that
// opens the same way again.
TEST_F(OptionsDialogTest, StoredValuesOpenInsideTheControlsAndOkStoresValidOnes)
{
    struct SCase
    {
        const char* pName;
        const char* pStored; // null: nothing stored, the default in memory
        int nId;
        int nState;
        const char* pSaved;
    };
    const SCase cases[] = {
        {"Frequency", nullptr, OptId::FrequencyBar, 1, "1"},
        {"Volume", "0", OptId::VolumeBar, 1, "1"},
        {"Frequency", "99999", OptId::FrequencyBar, 3447, "3447"},
        {"Frequency", "nan", OptId::FrequencyBar, 1, "1"},
        {"Volume", "-inf", OptId::VolumeBar, 1, "1"},
        {"Volume", "1e300", OptId::VolumeBar, 1000, "1000"},
        {"Synth", "0.7", OptId::ResonanceBar, 700, "0.699999988079071044921875"},
        {"Synth", "0.699999988079071044921875", OptId::ResonanceBar, 700, "0.699999988079071044921875"},
        {"Synth", "1e300", OptId::ResonanceBar, 3000, "3"},
        {"Synth", "-2", OptId::ResonanceBar, 1, "1.000000047497451305389404296875e-003"},
        {"MusicType", "5", OptId::MusicType, 1, "1"},
        {"ProjectType", "-3", OptId::ProjectType, 0, "0"},
        {"SynthMode", "9", OptId::SynthMode, 1, "1"},
        {"OscilatorMode", "-1", OptId::OscilatorMode, 0, "0"},
        {"DeviceIndex", "0", OptId::Device, 1, "0"},
        {"DeviceIndex", "-1", OptId::Device, 0, "-1"},
        {"DeviceIndex", "7", OptId::Device, 0, "-1"},
        {"DeviceIndex", "-5", OptId::Device, 0, "-1"},
        {"DeviceIndex", "2147483647", OptId::Device, 0, "-1"},
    };
    for (const SCase& c : cases)
    {
        SCOPED_TRACE(std::string(c.pName) + " stored as " + (c.pStored ? c.pStored : "(nothing)"));
        FreshSettings();
        std::filesystem::remove(reg.UserFile());
        if (c.pStored)
            Put(c.pName, c.pStored);
        {
            auto pDlg = Open();
            EXPECT_EQ(c.nState, State(*pDlg, c.nId));
            PressOk(*pDlg);
        }
        EXPECT_EQ(c.pSaved, OnDisk(c.pName));
        auto pAgain = Open();
        EXPECT_EQ(c.nState, State(*pAgain, c.nId)) << "reopened after OK";
    }
    EXPECT_TRUE(prompter.Messages().empty());
}

// What the user types: the trackbar takes the number within its range, the edit keeps the text,
// OK stores the trackbar's position.
TEST_F(OptionsDialogTest, TypedTextIsReadAsANumberAndClampedByTheTrackbar)
{
    struct SCase
    {
        int nEdit;
        const char* pTyped;
        int nBar; // 0: an edit without a trackbar
        int nPosition;
        const char* pName;
        const char* pSaved;
    };
    const SCase cases[] = {
        {OptId::FrequencyEdit, "5000", OptId::FrequencyBar, 3447, "Frequency", "3447"},
        {OptId::FrequencyEdit, "12x", OptId::FrequencyBar, 12, "Frequency", "12"},
        {OptId::VolumeEdit, "abc", OptId::VolumeBar, 1, "Volume", "1"},
        {OptId::VolumeEdit, "-40", OptId::VolumeBar, 1, "Volume", "1"},
        {OptId::ResonanceEdit, "2.5", OptId::ResonanceBar, 2500, "Synth", "2.5"},
        {OptId::ResonanceEdit, "0.25", OptId::ResonanceBar, 250, "Synth", "0.25"},
        {OptId::ResonanceEdit, "9", OptId::ResonanceBar, 3000, "Synth", "3"},
        {OptId::ResonanceEdit, "x", OptId::ResonanceBar, 1, "Synth", "1.000000047497451305389404296875e-003"},
        {OptId::BaseNote, " -12abc", 0, 0, "BaseNote", "-12"},
        {OptId::BaseNote, "abc", 0, 0, "BaseNote", "0"},
        {OptId::BaseNote, "99999999999", 0, 0, "BaseNote", "2147483647"},
    };
    for (const SCase& c : cases)
    {
        SCOPED_TRACE(std::string("typed \"") + c.pTyped + "\" into " + std::to_string(c.nEdit));
        auto pDlg = Open();
        Type(*pDlg, c.nEdit, c.pTyped);
        EXPECT_EQ(c.pTyped, Text(*pDlg, c.nEdit));
        if (c.nBar)
        {
            EXPECT_EQ(c.nPosition, State(*pDlg, c.nBar));
        }
        PressOk(*pDlg);
        EXPECT_EQ(c.pSaved, OnDisk(c.pName));
    }
}

// Moving a thumb as the user does writes its edit, and the text written does not pull the thumb
// anywhere else, now or after OK and another opening.
TEST_F(OptionsDialogTest, MovingAThumbWritesItsEditAndThePositionSticks)
{
    struct SCase
    {
        int nBar;
        int nEdit;
        const char* pName;
        const char* pStored;
        Qt::Key key;
        int nPosition;
        const char* pText;
    };
    const SCase cases[] = {
        {OptId::FrequencyBar, OptId::FrequencyEdit, "Frequency", "440", Qt::Key_Right, 441, "441"},
        {OptId::VolumeBar, OptId::VolumeEdit, "Volume", "1000", Qt::Key_Left, 999, "999"},
        {OptId::ResonanceBar, OptId::ResonanceEdit, "Synth", "1.5", Qt::Key_Right, 1501, "1.501"},
        {OptId::ResonanceBar, OptId::ResonanceEdit, "Synth", "1", Qt::Key_Right, 1001, "1.001"},
        {OptId::ResonanceBar, OptId::ResonanceEdit, "Synth", "0.699", Qt::Key_Right, 700, "0.7"},
        {OptId::ResonanceBar, OptId::ResonanceEdit, "Synth", "0.006", Qt::Key_Left, 5, "5.e-003"},
        {OptId::ResonanceBar, OptId::ResonanceEdit, "Synth", "0.002", Qt::Key_Home, 1, "1.e-003"},
    };
    for (const SCase& c : cases)
    {
        SCOPED_TRACE(std::string(c.pName) + " from " + c.pStored + " to " + std::to_string(c.nPosition));
        Put(c.pName, c.pStored);
        {
            auto pDlg = Open();
            QTest::keyClick(Control<QSlider>(*pDlg, c.nBar), c.key);
            EXPECT_EQ(c.pText, Text(*pDlg, c.nEdit));
            EXPECT_EQ(c.nPosition, State(*pDlg, c.nBar));
            PressOk(*pDlg);
        }
        auto pAgain = Open();
        EXPECT_EQ(c.nPosition, State(*pAgain, c.nBar));
        EXPECT_EQ(c.pText, Text(*pAgain, c.nEdit));
    }
}

// Every resonance position, through its edit text and through the settings file, comes back as
// itself.
TEST(OptionsValues, EveryResonancePositionSurvivesItsTextAndTheSavedSetting)
{
    int nLost = 0;
    for (int32_t n = 1; n <= 3000; ++n)
    {
        const bool bText = SynthTextToPosition(SynthPositionText(n)) == n;
        const float fSynth = static_cast<float>(PositionToSynth(n)); // as OK keeps it
        const float fLoaded =
            static_cast<float>(TextToFloat(FloatToText(fSynth))); // as the next start reads it
        const bool bSaved = SynthToPosition(fLoaded) == n;
        if (!bText || !bSaved)
        {
            ADD_FAILURE() << "position " << n << (bText ? "" : " lost through its text")
                          << (bSaved ? "" : " lost through the saved setting");
            if (++nLost == 5)
                break;
        }
    }
}

TEST_F(OptionsDialogTest, DeviceListShowsTheMainWindowsListAndMidiMapperStoresMinusOne)
{
    // A device name in the machine's ANSI code page is shown in its letters.
    ASSERT_EQ(0, reg.Store().Write(ERoot::LocalMachine, "SYSTEM\\CurrentControlSet\\Control\\Nls\\CodePage",
                                   "ACP", {EValueType::String, "1251"}));
    m_arrDevices = {kMidiMapperName, "\xCF\xEE\xF0\xF2 1"}; // "Порт 1" in CP1251
    Put("DeviceIndex", "0");
    {
        auto pDlg = Open();
        auto* pList = Control<QComboBox>(*pDlg, OptId::Device);
        ASSERT_EQ(2, pList->count());
        EXPECT_EQ("MIDI Mapper", pList->itemText(0).toStdString());
        EXPECT_EQ("Порт 1", pList->itemText(1).toStdString());
        EXPECT_EQ(1, pList->currentIndex());
        pList->setCurrentIndex(0);
        PressOk(*pDlg);
    }
    EXPECT_EQ("-1", OnDisk("DeviceIndex"));
    EXPECT_EQ(-1, pSettings->DeviceIndex);

    // No list at all (the main window found nothing): nothing to choose, the setting stays.
    m_arrDevices.clear();
    Put("DeviceIndex", "3");
    auto pDlg = Open();
    EXPECT_EQ(0, Control<QComboBox>(*pDlg, OptId::Device)->count());
    PressOk(*pDlg);
    EXPECT_EQ("3", OnDisk("DeviceIndex"));
}

// OK stores the chosen output's name beside its index; the stored index is followed to where
// that name is listed now, and a lost output keeps its name until another one is chosen.
TEST_F(OptionsDialogTest, TheOutputIsStoredByNameAndALostOneKeepsItsNameUntilAnotherIsChosen)
{
    m_arrDevices = {kMidiMapperName, "Tonegrove Synth", "Port A", "Port B"};
    struct SCase
    {
        const char* pIndex;
        const char* pName; // nullptr: none stored
        int nShown;
        int nChoose; // -1: left as shown
        const char* pStoredIndex;
        const char* pStoredName;
    };
    const SCase cases[] = {
        {"1", nullptr, 2, -1, "1", "Port A"},  // older settings: the index, and now its name
        {"1", "Port B", 3, -1, "2", "Port B"}, // the order changed
        {"2", "Port C", 1, -1, "0", "Port C"}, // lost: the synthesizer, the name kept
        {"2", "Port C", 1, 2, "1", "Port A"},  // another chosen
        {"0", "MIDI Mapper", 0, -1, "-1", "MIDI Mapper"},
    };
    for (const SCase& c : cases)
    {
        SCOPED_TRACE(std::string(c.pIndex) + " " + (c.pName ? c.pName : "(none)"));
        FreshSettings();
        Put("DeviceIndex", c.pIndex);
        if (c.pName)
            Put("DeviceName", c.pName);
        else
            reg.Store().Remove(ERoot::CurrentUser, kSettingsKey, "DeviceName");
        auto pDlg = Open();
        auto* pList = Control<QComboBox>(*pDlg, OptId::Device);
        EXPECT_EQ(c.nShown, pList->currentIndex());
        if (c.nChoose >= 0)
            pList->setCurrentIndex(c.nChoose);
        PressOk(*pDlg);
        EXPECT_EQ(c.pStoredIndex, OnDisk("DeviceIndex").value_or("(none)"));
        EXPECT_EQ(c.pStoredName, OnDisk("DeviceName").value_or("(none)"));
    }
}

TEST_F(OptionsDialogTest, CancelAndEscWriteNothingAndReopeningShowsTheStoredValues)
{
    Put("Frequency", "300");
    Put("MusicType", "0");
    Put("ExtView", "No");
    const std::string strBefore = ReadText(reg.UserFile());
    for (bool bEsc : {false, true})
    {
        SCOPED_TRACE(bEsc ? "Esc" : "Cancel");
        pSettings->MusicType = 1; // switched in memory only
        CWriteLog log(store);
        {
            auto pDlg = Open();
            Control<QCheckBox>(*pDlg, OptId::ExtView)->click();
            Type(*pDlg, OptId::FrequencyEdit, "2000");
            Control<QComboBox>(*pDlg, OptId::MusicType)->setCurrentIndex(1);
            Control<QLineEdit>(*pDlg, OptId::SoundFont)->setText("/nowhere/bank.sf2");
            if (bEsc)
                QTest::keyClick(pDlg.get(), Qt::Key_Escape);
            else
                Control<QPushButton>(*pDlg, OptId::Cancel)->click();
            EXPECT_EQ(QDialog::Rejected, pDlg->result());
            EXPECT_FALSE(pDlg->isVisible());
        }
        EXPECT_TRUE(log.m_arrWrites.empty());
        EXPECT_EQ(strBefore, ReadText(reg.UserFile()));
        EXPECT_EQ(0, pSettings->MusicType) << "the reload at opening stays in memory";
        auto pAgain = Open();
        EXPECT_EQ(300, State(*pAgain, OptId::FrequencyBar));
        EXPECT_EQ("300", Text(*pAgain, OptId::FrequencyEdit));
        EXPECT_EQ(0, State(*pAgain, OptId::ExtView));
        EXPECT_EQ("", Text(*pAgain, OptId::SoundFont));
    }
    EXPECT_TRUE(prompter.Messages().empty());
}

TEST_F(OptionsDialogTest, OkWritesExtViewOnceAsTextThenTheTwelveSettings)
{
    pSettings->LoadAtStartup(); // the first run writes the twelve defaults
    // Values the trackbars can show as they are, so that OK has nothing to correct.
    Put("Frequency", "440");
    Put("Volume", "100");
    Put("Synth", "1");
    Put("BaseNote", "7");
    const auto before = TwelveOnDisk();
    for (const char* pExpected : {"Yes", "No"})
    {
        SCOPED_TRACE(pExpected);
        CWriteLog log(store);
        auto pDlg = Open();
        Control<QCheckBox>(*pDlg, OptId::ExtView)->click();
        PressOk(*pDlg);

        std::vector<std::string> expected = {std::string("ExtView=") + pExpected};
        for (const char* pName : kTwelve)
            expected.push_back(pName + ("=" + before.at(pName)));
        expected.push_back("DeviceName=Tonegrove Synth"); // the output's name beside its index
        expected.push_back("MidiInName=");
        EXPECT_EQ(expected, log.m_arrWrites);
        EXPECT_EQ(pExpected, OnDisk("ExtView"));
        EXPECT_EQ(before, TwelveOnDisk());
        EXPECT_EQ(std::string(pExpected) == "Yes", pSettings->ExtView);
    }
    EXPECT_NE(std::string::npos, ReadText(reg.UserFile()).find("\"ExtView\" = string \"No\"\n"));
}

// A settings folder that cannot be made (its parent is a regular file, which even root cannot
// write into): OK says so once, whatever it had to write, and closes with the values in memory.
TEST_F(OptionsDialogTest, OkWithASettingsFolderThatCannotBeWrittenSaysSoOnce)
{
    const std::string strBank = WriteFile("bank.sf2", kSoundFontHead);
    const std::string strBlocker = WriteFile("not-a-folder", "x");
    CFileRegistryStore unwritable(strBlocker + "/Tonegrove", reg.Folder().File("machine"));
    store.SetTarget(unwritable);
    for (bool bNewSoundFont : {false, true})
    {
        SCOPED_TRACE(bNewSoundFont);
        const size_t nSeen = prompter.Messages().size();
        auto pDlg = Open();
        Control<QCheckBox>(*pDlg, OptId::ExtView)->click();
        if (bNewSoundFont)
            Control<QLineEdit>(*pDlg, OptId::SoundFont)->setText(QString::fromStdString(strBank));
        PressOk(*pDlg);
        EXPECT_FALSE(pDlg->isVisible());
        ASSERT_EQ(nSeen + 1, prompter.Messages().size());
        EXPECT_EQ("Register error", prompter.Messages().back().strCaption);
        EXPECT_NE(std::string::npos, prompter.Messages().back().strText.find(strBlocker + "/Tonegrove"));
        EXPECT_TRUE(pSettings->ExtView) << "the choice holds in memory";
        pSettings->ExtView = false;
    }
    store.SetTarget(reg.Store());
    EXPECT_EQ(std::nullopt, OnDisk(kSoundFontSetting));
}

TEST_F(OptionsDialogTest, BrowseChoosesASoundFontAndOkStoresIt)
{
    const std::string strBank = WriteFile("Банк звуков.sf2", kSoundFontHead);
    auto pDlg = Open();
    prompter.AnswerPath(strBank);
    Control<QPushButton>(*pDlg, OptId::Browse)->click();
    EXPECT_EQ((std::vector<std::string>{"file:Выбор файла SoundFont|/usr/share/sounds/sf2/"}),
              prompter.m_dialogs);
    EXPECT_EQ(strBank, Text(*pDlg, OptId::SoundFont));

    // Cancelled the second time: the choice stays; the dialog starts at the current choice.
    Control<QPushButton>(*pDlg, OptId::Browse)->click();
    EXPECT_EQ("file:Выбор файла SoundFont|" + strBank, prompter.m_dialogs.back());
    EXPECT_EQ(strBank, Text(*pDlg, OptId::SoundFont));

    CWriteLog log(store);
    PressOk(*pDlg);
    EXPECT_EQ("SoundFont=" + strBank, log.m_arrWrites.back());
    EXPECT_EQ(strBank, OnDisk(kSoundFontSetting));
    if (!std::getenv(kSoundFontEnv))
    {
        EXPECT_EQ(strBank, ChooseSoundFont(*pSettings))
            << "what the built-in synthesizer loads when it starts";
    }
    EXPECT_TRUE(prompter.Messages().empty());
}

// A file that is no SoundFont is refused with our message, whether browsed to or typed; a typed
// one keeps the dialog open and nothing is written.
TEST_F(OptionsDialogTest, AFileThatIsNoSoundFontIsRefusedAndTheStoredOneStays)
{
    const std::string strGood = WriteFile("good.sf2", kSoundFontHead);
    Put(kSoundFontSetting, strGood);
    std::filesystem::create_directory(reg.Folder().File("folder.sf2"));
    const std::vector<std::string> bad = {
        WriteFile("wave.sf2", std::string("RIFF\x24\x00\x00\x00WAVEfmt ", 16)),
        WriteFile("short.sf2", "RIFF\x04"),
        WriteFile("empty.sf2", ""),
        WriteFile("text.sf2", "sfbk sfbk sfbk sfbk"),
        reg.Folder().File("missing.sf2"),
        reg.Folder().File("folder.sf2"),
    };
    const std::string kCaption = "Tonegrove: Ошибка SoundFont";
    for (const std::string& strBad : bad)
    {
        SCOPED_TRACE(strBad);
        const std::string kLine = kCaption + "|Этот файл не может быть загружен как SoundFont:\n" + strBad +
                                  "\n\nВстроенный синтезатор оставит прежний SoundFont.";
        EXPECT_FALSE(IsSoundFontFile(strBad));
        const size_t nSeen = prompter.Messages().size();
        CWriteLog log(store);
        auto pDlg = Open();
        EXPECT_EQ(strGood, Text(*pDlg, OptId::SoundFont));

        prompter.AnswerPath(strBad);
        Control<QPushButton>(*pDlg, OptId::Browse)->click();
        EXPECT_EQ(std::vector<std::string>{kLine}, LinesSince(nSeen));
        EXPECT_EQ(strGood, Text(*pDlg, OptId::SoundFont));

        pDlg->Sheet()->setCurrentIndex(0);
        Control<QLineEdit>(*pDlg, OptId::SoundFont)->setText(QString::fromStdString(strBad));
        PressOk(*pDlg);
        EXPECT_EQ((std::vector<std::string>{kLine, kLine}), LinesSince(nSeen));
        EXPECT_TRUE(pDlg->isVisible()) << "the user may choose again";
        EXPECT_EQ(1, pDlg->Sheet()->currentIndex()) << "the page with the field is shown";
        EXPECT_TRUE(log.m_arrWrites.empty());
        pDlg->reject();
    }
    EXPECT_EQ(strGood, OnDisk(kSoundFontSetting));
}

TEST_F(OptionsDialogTest, AnEmptySoundFontFieldMeansTheSystemsSoundFont)
{
    // A stored file that has since gone away is no reason to refuse OK while the user keeps it.
    Put(kSoundFontSetting, reg.Folder().File("gone.sf2"));
    {
        CWriteLog log(store);
        auto pDlg = Open();
        PressOk(*pDlg);
        EXPECT_FALSE(pDlg->isVisible());
        EXPECT_EQ(15u, log.m_arrWrites.size())
            << "ExtView, the twelve, DeviceName and the MIDI input, not the SoundFont";
    }
    auto pDlg = Open();
    Control<QLineEdit>(*pDlg, OptId::SoundFont)->clear();
    PressOk(*pDlg);
    EXPECT_EQ("", OnDisk(kSoundFontSetting));
    if (!std::getenv(kSoundFontEnv))
    {
        EXPECT_EQ(kSystemSoundFont, ChooseSoundFont(*pSettings));
    }
    EXPECT_TRUE(prompter.Messages().empty());
}

// The check and the synthesizer agree on the system's own General MIDI SoundFont.
TEST(SoundFontCheck, TheSystemsSoundFontPassesAndLoads)
{
    if (!std::filesystem::exists(kSystemSoundFont))
        GTEST_SKIP() << kSystemSoundFont << " is not installed";
    EXPECT_TRUE(IsSoundFontFile(kSystemSoundFont));
    EXPECT_NE(nullptr, CFluidSynth::Create(kSystemSoundFont));
}

// The texts of every page as the user reads them, and nothing cut off: every control lies on its
// page and every text fits its control.
TEST_F(OptionsDialogTest, PagesShowTheirTextsAndNothingIsClipped)
{
    auto pDlg = Open();
    COptionsDlg& dlg = *pDlg;
    EXPECT_EQ("Настройки", dlg.windowTitle().toStdString());
    EXPECT_EQ(DialogUnitsToPixels(DialogFont(), QRect(0, 0, 349, 209)).size(), dlg.size());
    QTabWidget* pSheet = dlg.Sheet();
    ASSERT_EQ(3, pSheet->count());

    std::vector<std::string> pages;
    for (int nPage = 0; nPage < pSheet->count(); ++nPage)
    {
        pSheet->setCurrentIndex(nPage);
        QCoreApplication::processEvents();
        QWidget* pPage = pSheet->widget(nPage);
        std::string strPage = pSheet->tabText(nPage).toStdString() + ":";
        for (QWidget* p : pPage->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        {
            const int nId = p->property(kIdProperty).toInt();
            QString strText;
            if (auto* pBox = qobject_cast<QGroupBox*>(p))
                strText = pBox->title();
            else if (auto* pLabel = qobject_cast<QLabel*>(p))
                strText = pLabel->text();
            else if (auto* pButton = qobject_cast<QAbstractButton*>(p))
                strText = pButton->text();
            else if (auto* pList = qobject_cast<QComboBox*>(p))
                for (int i = 0; i < pList->count(); ++i)
                    strText += (i ? "/" : "") + pList->itemText(i);
            if (!strText.isEmpty())
                strPage += " " + std::to_string(nId) + "=" + strText.toStdString();

            EXPECT_TRUE(pPage->rect().contains(p->geometry())) << nId << " lies outside its page";
            if (qobject_cast<QComboBox*>(p) || qobject_cast<QAbstractButton*>(p) || qobject_cast<QLabel*>(p))
            {
                EXPECT_GE(p->width(), p->sizeHint().width()) << nId << " " << strText.toStdString();
            }
            if (qobject_cast<QComboBox*>(p) || qobject_cast<QLineEdit*>(p) ||
                qobject_cast<QAbstractButton*>(p))
            {
                EXPECT_GE(p->height(), p->minimumSizeHint().height()) << nId;
            }
            if (auto* pBox = qobject_cast<QGroupBox*>(p))
            {
                EXPECT_GE(pBox->width(), pBox->fontMetrics().horizontalAdvance(pBox->title()) + 16) << nId;
            }
        }
        pages.push_back(strPage);
    }
    EXPECT_EQ(
        (std::vector<std::string>{
            "Общие: 1065=Настройки клавиатуры 1067=Тип создаваемого проекта 1069=Настройки воспроизведения "
            "1066=Вид расширенной клавиатуры 1101=Режим клавиатуры MIDI/Режим клавиатуры DirectX "
            "1068=Tonegrove Project 0.0/Tonegrove Project 0.1 1070=Воспроизводить весь список "
            "1071=Воспроизводить список воспроизведения много раз",
            "MIDI: 1072=MIDI устройство 1074=Другие настройки MIDI 1110=Встроенный синтезатор "
            "1073=MIDI Mapper/Tonegrove Synth 1075=Базовая нота: 1111=Файл SoundFont: 1113=Обзор... "
            "1114=Вход MIDI 1115=Нет",
            "DirectX Music (Осцилятор): 0=DirectX Music 1077=Частота 1080=Громкость 1083=Резонанс "
            "1086=Индекс синтезатора 1087=A/B 1088=Тип осцилятора 1089=Sin/Square",
        }),
        pages);

    auto* pOk = Control<QPushButton>(dlg, OptId::Ok);
    auto* pCancel = Control<QPushButton>(dlg, OptId::Cancel);
    EXPECT_EQ("ОК", pOk->text().toStdString());
    EXPECT_EQ("Отмена", pCancel->text().toStdString());
    EXPECT_TRUE(pOk->isDefault());
    EXPECT_LT(pSheet->geometry().bottom(), pOk->geometry().top());
    EXPECT_TRUE(dlg.rect().contains(pSheet->geometry()));
    EXPECT_TRUE(dlg.rect().contains(pCancel->geometry()));
}

TEST_F(OptionsDialogTest, RunOptionsDialogRunsModallyUntilOk)
{
    QWidget owner;
    bool bSeen = false;
    QTimer::singleShot(0,
                       [&]
                       {
                           auto* pDlg = qobject_cast<COptionsDlg*>(QApplication::activeModalWidget());
                           ASSERT_NE(nullptr, pDlg);
                           bSeen = pDlg->isModal() && pDlg->parentWidget() == &owner;
                           FindControl<QPushButton>(pDlg, OptId::Ok)->click();
                       });
    RunOptionsDialog(&owner, *pSettings, prompter, m_arrDevices);
    EXPECT_TRUE(bSeen);
    EXPECT_EQ("No", OnDisk("ExtView"));
    EXPECT_EQ("1", OnDisk("ProjectType"));
}
} // namespace

// The input list: "Нет" and the system's inputs; a chosen input that is not plugged in now is
// listed under its name and kept by OK, and another choice replaces it.
TEST_F(OptionsDialogTest, TheMidiInputListKeepsAChosenInputThatIsAbsentAndStoresTheChoice)
{
    m_arrInputs = {"Keystation 49:Keystation 49 MIDI 1 24:0", "Через MIDI 2"};
    struct SCase
    {
        const char* pszStored; // null: nothing stored
        std::vector<std::string> items;
        int nSelected;
        int nChoose; // the item chosen before OK; -1: left as it is
        std::string strAfter;
    };
    const std::string strNone = "Нет", strKey = m_arrInputs[0], strOther = m_arrInputs[1];
    const SCase cases[] = {
        {nullptr, {strNone, strKey, strOther}, 0, -1, ""},
        {"Через MIDI 2", {strNone, strKey, strOther}, 2, -1, strOther},
        {"Unplugged 20:0",
         {strNone, strKey, strOther, "Unplugged 20:0 (не подключён)"},
         3,
         -1,
         "Unplugged 20:0"},
        {"Unplugged 20:0", {strNone, strKey, strOther, "Unplugged 20:0 (не подключён)"}, 3, 1, strKey},
        {"Через MIDI 2", {strNone, strKey, strOther}, 2, 0, ""},
    };
    for (const SCase& c : cases)
    {
        SCOPED_TRACE(c.pszStored ? c.pszStored : "(none)");
        if (c.pszStored)
            Put(kMidiInSetting, c.pszStored);
        else
            reg.Store().Remove(ERoot::CurrentUser, kSettingsKey, kMidiInSetting);
        FreshSettings();
        auto pDlg = Open();
        auto* pList = Control<QComboBox>(*pDlg, OptId::MidiIn);
        std::vector<std::string> items;
        for (int i = 0; i < pList->count(); ++i)
            items.push_back(pList->itemText(i).toStdString());
        EXPECT_EQ(c.items, items);
        EXPECT_EQ(c.nSelected, pList->currentIndex());
        if (c.nChoose >= 0)
            pList->setCurrentIndex(c.nChoose);
        PressOk(*pDlg);
        EXPECT_EQ(c.strAfter, OnDisk(kMidiInSetting));
        EXPECT_EQ(c.strAfter, pSettings->MidiInName);
    }
}
