// What a MIDI keyboard plays through the live keyboard, with the recorder output and the manual
// clock: the messages on the window's channel, the records of each version at the messages'
// arrival times, the key pictures, a note held on both keyboards, and an input that closes.
#include "app/Settings.h"
#include "keyboard/KeyMap.h"
#include "keyboard/KeyboardTexts.h"
#include "keyboard/NoteKeyboard.h"
#include "tests/ManualClock.h"
#include "tests/ProjectFixtures.h"
#include "tests/RecorderMidiOut.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace
{
constexpr int kZ = 'Z'; // note index 23: MIDI note 58 at the base note 35, slot 60

std::chrono::nanoseconds Ms(int64_t nMs)
{
    return std::chrono::milliseconds(nMs);
}

class CHost : public INoteKeyboardHost
{
  public:
    void LightKey(int nSlot, bool bOn) override
    {
        m_arrCalls.push_back((bOn ? "on " : "off ") + std::to_string(nSlot));
    }
    void StatusChanged() override { ++m_nStatus; }
    void Accept() override {}
    void Abandon() override {}
    std::vector<std::string> m_arrCalls;
    int m_nStatus = 0;
};

class MidiInKeysTest : public ::testing::Test
{
  protected:
    // The live window opens at 1000 ms.
    CNoteKeyboard& Open(int nRecordVersion)
    {
        m_clock.AdvanceTo(1000, [] { return true; });
        m_pHandle = m_out.Open(0);
        m_pKeys = std::make_unique<CNoteKeyboard>(*m_pHandle, m_clock, m_host, m_settings, nRecordVersion);
        return *m_pKeys;
    }

    CManualClock m_clock;
    CRecorderMidiOut m_out{m_clock};
    std::unique_ptr<IMidiOutHandle> m_pHandle;
    CHost m_host;
    CTempRegistry m_reg;
    CScriptedPrompter m_prompter;
    CSettings m_settings{m_reg.Store(), m_prompter};
    std::unique_ptr<CNoteKeyboard> m_pKeys;
};

TEST_F(MidiInKeysTest, MessagesSoundOnTheWindowsChannelAndAreRecordedAtTheirArrival)
{
    // On the input's channel 3, the window on channel 5; handled only at 2000 ms, long after
    // they arrived: note 60 on at 1100, the volume controller at 1150, a second one at 1200,
    // note 60 off (a note on of velocity 0) at 1300.
    struct SCase
    {
        int nVersion;
        std::vector<uint8_t> take;
        bool bToldNotesOnly;
    };
    const SCase cases[] = {
        {1,
         Bytes({'$', 1, 100, 'T', 3, 0x64, 0x3C, 0x95, '$', 1, 50, 'T', 3, 0x5A, 0x07, 0xB5}) +
             Bytes({'$', 1, 50, 'T', 3, 0x50, 0x07, 0xB5, '$', 1, 100, 'T', 2, 0x3C, 0x95}),
         false},
        // Base 0 and the note as the key; the controllers have no record in this version.
        {0, Bytes({'$', 1, 100, 'M', 0, 60, 100, 5, '!', 1, 200, 'M', 0, 60, 5}), true},
    };
    for (const SCase& c : cases)
    {
        SCOPED_TRACE(c.nVersion);
        CManualClock clock;
        CRecorderMidiOut out(clock);
        clock.AdvanceTo(1000, [] { return true; });
        auto pHandle = out.Open(0);
        CHost host;
        CNoteKeyboard keys(*pHandle, clock, host, m_settings, c.nVersion);
        keys.m_nChannel = 5;
        clock.AdvanceTo(2000, [] { return true; });
        keys.MidiInMessage(0x643C93, Ms(1100));
        keys.MidiInMessage(0x5A07B3, Ms(1150));
        keys.MidiInMessage(0x5007B3, Ms(1200));
        keys.MidiInMessage(0x003C93, Ms(1300));
        EXPECT_EQ((std::vector<uint32_t>{0x643C95, 0x5A07B5, 0x5007B5, 0x003C95}), out.Messages());
        EXPECT_EQ(c.take, keys.Recording());
        EXPECT_EQ(c.bToldNotesOnly ? Txt::kMidiInNotesOnly : std::string(), keys.MidiInText());
        EXPECT_EQ(c.bToldNotesOnly ? 1 : 0, host.m_nStatus) << "said once, however many are dropped";
        const std::string strSlot = std::to_string(NoteKeySlot(60 - 35));
        EXPECT_EQ((std::vector<std::string>{"on " + strSlot, "off " + strSlot}), host.m_arrCalls);
    }
}

TEST_F(MidiInKeysTest, OnlyNotesOnThePicturedKeysLightThem)
{
    CNoteKeyboard& keys = Open(1);
    // note: lit slot (-1: none). The pictured keys are notes 35 to 82.
    const std::pair<int, int> cases[] = {
        {34, -1}, {35, NoteKeySlot(0)}, {82, NoteKeySlot(47)}, {83, -1}, {0, -1}, {127, -1}};
    for (const auto& [nNote, nSlot] : cases)
    {
        m_host.m_arrCalls.clear();
        keys.MidiInMessage(0x400090u | static_cast<uint32_t>(nNote) << 8, Ms(1000));
        keys.MidiInMessage(0x80u | static_cast<uint32_t>(nNote) << 8, Ms(1000));
        const std::vector<std::string> lit =
            nSlot < 0
                ? std::vector<std::string>{}
                : std::vector<std::string>{"on " + std::to_string(nSlot), "off " + std::to_string(nSlot)};
        EXPECT_EQ(lit, m_host.m_arrCalls) << nNote;
    }
    EXPECT_EQ(12u, m_out.Messages().size()) << "every note sounds, pictured or not";
}

TEST_F(MidiInKeysTest, ANoteHeldOnBothKeyboardsEndsOnceForEachAndStaysLitUntilBothLetGo)
{
    CNoteKeyboard& keys = Open(0);
    keys.OnKeyDown(kZ);
    keys.MidiInMessage(0x503A90, Ms(1000));
    keys.OnKeyUp(kZ);
    EXPECT_EQ((std::vector<std::string>{"on 60"}), m_host.m_arrCalls) << "the MIDI keyboard still holds it";
    keys.MidiInMessage(0x003A80, Ms(1000));
    EXPECT_EQ((std::vector<std::string>{"on 60", "off 60"}), m_host.m_arrCalls);
    EXPECT_EQ((std::vector<uint32_t>{0x7F3A90, 0x503A90, 0x3A80, 0x3A80}), m_out.Messages());
    EXPECT_EQ(Bytes({'$', 1, 0, 'M', 35, 23, 127, 0, '$', 1, 0, 'M', 0, 58, 0x50, 0}) +
                  Bytes({'!', 1, 0, 'M', 35, 23, 0, '!', 1, 0, 'M', 0, 58, 0}),
              keys.Recording());

    // Both held when the window closes: each source ends its own note.
    keys.OnKeyDown(kZ);
    keys.MidiInMessage(0x503A90, Ms(1000));
    keys.ReleaseAll();
    keys.ReleaseMidiIn();
    const std::vector<uint32_t> arrSent = m_out.Messages();
    EXPECT_EQ(4, std::count(arrSent.begin(), arrSent.end(), 0x3A80u));
    EXPECT_EQ("off 60", m_host.m_arrCalls.back());
}

TEST_F(MidiInKeysTest, AClosedInputEndsItsNotesAndPedalOnTheChannelsTheyBeganOn)
{
    CNoteKeyboard& keys = Open(1);
    keys.MidiInMessage(0x403090, Ms(1010)); // note 48 on channel 0
    keys.m_nChannel = 2;
    keys.MidiInMessage(0x7F40B0, Ms(1020)); // sustain down, now on channel 2
    keys.MidiInMessage(0x403490, Ms(1030)); // note 52 on channel 2
    keys.MidiInMessage(0x003580, Ms(1040)); // a note off of a note never begun here: dropped
    m_clock.AdvanceTo(1100, [] { return true; });
    keys.ReleaseMidiIn();
    EXPECT_EQ((std::vector<uint32_t>{0x403090, 0x7F40B2, 0x403492, 0x3080, 0x3482, 0x40B2}),
              m_out.Messages());
    EXPECT_EQ(Bytes({'$', 1, 10, 'T', 3, 0x40, 0x30, 0x90, '$', 1, 10, 'T', 3, 0x7F, 0x40, 0xB2}) +
                  Bytes({'$', 1, 10, 'T', 3, 0x40, 0x34, 0x92, '$', 1, 70, 'T', 2, 0x30, 0x80}) +
                  Bytes({'$', 1, 0, 'T', 2, 0x34, 0x82, '$', 1, 0, 'T', 2, 0x40, 0xB2}),
              keys.Recording());
    keys.ReleaseMidiIn();
    EXPECT_EQ(6u, m_out.Messages().size()) << "nothing is held any more";
}
} // namespace
