// The musical keyboard's logic with the recorder output and the manual clock: notes, records,
// control keys, status texts, held notes and the times of recorded events.
#include "app/Settings.h"
#include "keyboard/KeyMap.h"
#include "keyboard/NoteKeyboard.h"
#include "tests/ManualClock.h"
#include "tests/ProjectFixtures.h"
#include "tests/RecorderMidiOut.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

namespace
{
constexpr int kZ = 'Z', kQ = 'Q';
constexpr int kNumPad7 = 0x67;

class CHostDouble : public INoteKeyboardHost
{
  public:
    void LightKey(int nSlot, bool bOn) override
    {
        m_arrCalls.push_back((bOn ? "on " : "off ") + std::to_string(nSlot));
    }
    void StatusChanged() override { m_arrCalls.push_back("status"); }
    void Accept() override { m_arrCalls.push_back("accept"); }
    void Abandon() override { m_arrCalls.push_back("abandon"); }
    std::vector<std::string> m_arrCalls;
};

class NoteKeyboardTest : public ::testing::Test
{
  protected:
    // The keyboard is made when the live window opens: at 1000 ms on the test's clock.
    CNoteKeyboard& Open(int nRecordVersion)
    {
        m_clock.AdvanceTo(1000, [] { return true; });
        m_pHandle = m_out.Open(0);
        m_pKeyboard =
            std::make_unique<CNoteKeyboard>(*m_pHandle, m_clock, m_host, m_settings, nRecordVersion);
        return *m_pKeyboard;
    }
    void At(int64_t nMs)
    {
        m_clock.AdvanceTo(nMs, [] { return true; });
    }

    CManualClock m_clock;
    CRecorderMidiOut m_out{m_clock};
    std::unique_ptr<IMidiOutHandle> m_pHandle;
    CHostDouble m_host;
    CTempRegistry m_reg;
    CScriptedPrompter m_prompter;
    CSettings m_settings{m_reg.Store(), m_prompter};
    std::unique_ptr<CNoteKeyboard> m_pKeyboard;
};

TEST_F(NoteKeyboardTest, ZPressedAndReleasedSendsAndRecordsInTheProjectsVersion)
{
    // version, the two records: delays count from the opening, 250 ms, then 500 ms more.
    const std::pair<int, std::vector<uint8_t>> cases[] = {
        {0, Bytes({'$', 1, 250, 'M', 35, 23, 127, 0, '!', 2, 0x01, 0xF4, 'M', 35, 23, 0})},
        {1, Bytes({'$', 1, 250, 'T', 3, 0x7F, 0x3A, 0x90, '$', 2, 0x01, 0xF4, 'T', 2, 0x3A, 0x80})},
        {7, {}}, // no version: sounds, records nothing
    };
    for (const auto& [nVersion, records] : cases)
    {
        SCOPED_TRACE(nVersion);
        CManualClock clock;
        CRecorderMidiOut out(clock);
        clock.AdvanceTo(1000, [] { return true; });
        auto pHandle = out.Open(0);
        CHostDouble host;
        CNoteKeyboard keys(*pHandle, clock, host, m_settings, nVersion);
        clock.AdvanceTo(1250, [] { return true; });
        keys.OnKeyDown(kZ);
        clock.AdvanceTo(1750, [] { return true; });
        keys.OnKeyUp(kZ);
        EXPECT_EQ((std::vector<uint32_t>{0x7F3A90, 0x3A80}), out.Messages());
        EXPECT_EQ(records, keys.Recording());
        EXPECT_EQ((std::vector<std::string>{"on 60", "off 60"}), host.m_arrCalls);
    }
}

TEST_F(NoteKeyboardTest, AHeldKeySoundsOnceHoweverOftenItRepeats)
{
    CNoteKeyboard& keys = Open(1);
    for (int i = 0; i < 4; ++i)
        keys.OnKeyDown(kQ);
    keys.OnKeyUp(kQ);
    EXPECT_EQ((std::vector<uint32_t>{0x7F2390, 0x2380}), m_out.Messages());
    EXPECT_EQ(15u, keys.Recording().size()) << "one note on, one note off";
}

TEST_F(NoteKeyboardTest, KeysOutsideTheTablesDoNothing)
{
    CNoteKeyboard& keys = Open(0);
    for (int nVk : {0x70, 0x20, 0x09, 0x10, 0x11, 0x25, 0x26, 0x14, 0x60, 0x6B, 0x6F, 0})
    {
        keys.OnKeyDown(nVk);
        keys.OnKeyUp(nVk);
    }
    EXPECT_TRUE(m_out.Messages().empty());
    EXPECT_TRUE(keys.Recording().empty());
    EXPECT_TRUE(m_host.m_arrCalls.empty());
}

TEST_F(NoteKeyboardTest, ChannelKeysWrapAroundAndActOncePerPress)
{
    CNoteKeyboard& keys = Open(0);
    keys.FillStatusTexts();
    EXPECT_EQ("MIDI канал: 0", keys.MidiChannelText());
    EXPECT_EQ("DirectX канал: 0", keys.DxChannelText());
    EXPECT_EQ("Тип музыки: MIDI", keys.MusicTypeText());

    struct SCase
    {
        int nVk;
        int nChannel; // MIDI channel after the press
        int nDxChannel;
        const char* pszText;
    };
    const SCase cases[] = {
        {0x2D, 15, 0, "MIDI канал: 15"},                                      // Insert at 0
        {0x2E, 0, 0, "MIDI канал: 0"},                                        // Delete at 15
        {0x2E, 1, 0, "MIDI канал: 1"},    {0x21, 1, 15, "DirectX канал: 15"}, // Page Up at 0
        {0x22, 1, 0, "DirectX канал: 0"},                                     // Page Down at 15
        {0x22, 1, 1, "DirectX канал: 1"},
    };
    for (const SCase& c : cases)
    {
        keys.OnKeyDown(c.nVk);
        keys.OnKeyUp(c.nVk); // the key-up changes nothing
        EXPECT_EQ(c.nChannel, keys.m_nChannel) << c.pszText;
        EXPECT_EQ(c.nDxChannel, keys.m_nDxChannel) << c.pszText;
        EXPECT_TRUE(keys.MidiChannelText() == c.pszText || keys.DxChannelText() == c.pszText) << c.pszText;
    }
    EXPECT_EQ(std::vector<std::string>(6, "status"), m_host.m_arrCalls);
    keys.m_nDxChannel = 40;
    keys.OnKeyDown(0x22);
    EXPECT_EQ(0, keys.m_nDxChannel) << "out of range goes back to 0";

    keys.OnKeyDown(kZ);
    EXPECT_EQ(0x7F3A91u, m_out.Messages().back()) << "notes play on the channel chosen";
    EXPECT_TRUE(m_out.Messages().size() == 1u) << "control keys send nothing";
}

TEST_F(NoteKeyboardTest, ANoteEndsOnTheChannelItStartedOn)
{
    CNoteKeyboard& keys = Open(0);
    keys.OnKeyDown(kZ);
    keys.OnKeyDown(0x2E); // Delete while Z is held
    keys.OnKeyUp(0x2E);
    keys.OnKeyUp(kZ);
    EXPECT_EQ((std::vector<uint32_t>{0x7F3A90, 0x3A80}), m_out.Messages());
    EXPECT_EQ(Bytes({'$', 1, 0, 'M', 35, 23, 127, 0, '!', 1, 0, 'M', 35, 23, 0}), keys.Recording());
    EXPECT_EQ(1, keys.m_nChannel);
}

TEST_F(NoteKeyboardTest, DirectXModeLightsKeysOnlyAndHomeAndEndSwitch)
{
    CNoteKeyboard& keys = Open(1);
    keys.OnKeyDown(kQ);   // in MIDI mode
    keys.OnKeyDown(0x23); // End
    EXPECT_EQ(1, m_settings.MusicType);
    EXPECT_EQ("Тип музыки: DirectX", keys.MusicTypeText());
    keys.OnKeyUp(0x23);
    keys.OnKeyDown(kZ);
    keys.OnKeyUp(kZ);
    keys.OnKeyDown(kNumPad7);
    keys.OnKeyUp(kNumPad7);
    keys.OnKeyUp(kQ); // released in DirectX mode: its note still ends
    EXPECT_EQ((std::vector<uint32_t>{0x7F2390, 0x2380}), m_out.Messages());
    EXPECT_EQ((std::vector<std::string>{"on 33", "status", "on 60", "off 60", "off 33"}), m_host.m_arrCalls);

    keys.OnKeyDown(0x24); // Home
    EXPECT_EQ(0, m_settings.MusicType);
    EXPECT_EQ("Тип музыки: MIDI", keys.MusicTypeText());
    m_settings.MusicType = 5;
    keys.FillStatusTexts();
    EXPECT_EQ("Тип музыки: ", keys.MusicTypeText());
}

TEST_F(NoteKeyboardTest, NumericPadDigitsPlayTheBaseNotePlusTheirNumber)
{
    CNoteKeyboard& keys = Open(0);
    At(1100);
    keys.OnKeyDown(kNumPad7); // number 1
    At(1300);
    keys.OnKeyUp(kNumPad7);
    keys.OnKeyDown(0x63); // 3: number 9
    keys.OnKeyUp(0x63);
    EXPECT_EQ((std::vector<uint32_t>{0x7F2490, 0x2480, 0x7F2C90, 0x2C80}), m_out.Messages());
    EXPECT_EQ(Bytes({'$', 1, 100, 'M', 35, 1, 127, 0, '!', 1, 200, 'M', 35, 1, 0}) +
                  Bytes({'$', 1, 0, 'M', 35, 9, 127, 0, '!', 1, 0, 'M', 35, 9, 0}),
              keys.Recording());
    EXPECT_EQ((std::vector<std::string>{"on 93", "off 93", "on 101", "off 101"}), m_host.m_arrCalls);
}

TEST_F(NoteKeyboardTest, EnterAcceptsAndEscAbandonsWithoutANote)
{
    CNoteKeyboard& keys = Open(1);
    keys.OnKeyDown(0x0D);
    keys.OnKeyUp(0x0D);
    keys.OnKeyDown(0x1B);
    keys.OnKeyDown(0x03);
    EXPECT_EQ((std::vector<std::string>{"accept", "accept", "abandon", "abandon"}), m_host.m_arrCalls);
    EXPECT_TRUE(m_out.Messages().empty());
    EXPECT_TRUE(keys.Recording().empty());
}

TEST_F(NoteKeyboardTest, ReleaseAllEndsEveryHeldNoteAndClearsTheKeyState)
{
    CNoteKeyboard& keys = Open(0);
    keys.OnKeyDown(kQ, 0x10);
    keys.OnKeyDown(kNumPad7, 0x47);
    EXPECT_EQ(0x80, keys.KeyState()[0x10]);
    EXPECT_EQ(0x80, keys.KeyState()[0x47]);
    At(1400);
    keys.ReleaseAll();
    EXPECT_EQ((std::vector<uint32_t>{0x7F2390, 0x7F2490, 0x2380, 0x2480}), m_out.Messages());
    EXPECT_EQ(Bytes({'!', 2, 0x01, 0x90, 'M', 35, 0, 0, '!', 1, 0, 'M', 35, 1, 0}),
              std::vector<uint8_t>(keys.Recording().begin() + 16, keys.Recording().end()));
    EXPECT_EQ(0, keys.KeyState()[0x10]);
    EXPECT_EQ(0, keys.KeyState()[0x47]);
    EXPECT_EQ("off 93", m_host.m_arrCalls.back());

    keys.ReleaseAll();
    keys.OnKeyUp(kQ, 0x10); // the real key-up arriving later
    EXPECT_EQ(4u, m_out.Messages().size()) << "nothing is switched off twice";
}

TEST_F(NoteKeyboardTest, StampedEventsKeepTheirTimesWhenHandledLate)
{
    // The window thread was busy: both events are handled at 1900 ms, but they were stamped
    // 200 ms apart. The first handled event ties the stamps to the clock.
    CNoteKeyboard& keys = Open(1);
    At(1300);
    keys.OnKeyDown(kZ, 0, 50000); // handled at once: 300 ms after the opening
    At(1900);
    keys.OnKeyUp(kZ, 0, 50200);
    keys.OnKeyDown(kQ, 0, 50250);
    keys.OnKeyUp(kQ); // no stamp: now
    // Delays: 300, 200, 50, then 1900 - 1550 = 350.
    EXPECT_EQ(Bytes({'$', 2, 0x01, 0x2C, 'T', 3, 0x7F, 0x3A, 0x90, '$', 1, 200, 'T', 2, 0x3A, 0x80}) +
                  Bytes({'$', 1, 50, 'T', 3, 0x7F, 0x23, 0x90, '$', 2, 0x01, 0x5E, 'T', 2, 0x23, 0x80}),
              keys.Recording());

    // A stamp from the future or from a clock that went back never puts an event after now or
    // before the last one.
    At(2000);
    keys.OnKeyDown(kZ, 0, 10); // the stamps' clock started again
    keys.OnKeyUp(kZ, 0, 1000000);
    const std::vector<uint8_t>& rec = keys.Recording();
    const std::vector<uint8_t> tail =
        Bytes({'$', 1, 100, 'T', 3, 0x7F, 0x3A, 0x90, '$', 1, 0, 'T', 2, 0x3A, 0x80});
    ASSERT_EQ(32u + tail.size(), rec.size()) << "the four records before, then these two";
    EXPECT_EQ(tail, std::vector<uint8_t>(rec.end() - static_cast<std::ptrdiff_t>(tail.size()), rec.end()));
}
// One key event as the live window hands it over, at a time on the test's clock.
struct SKeyEvent
{
    char cWhat; // 'd' key-down, 'u' key-up, 'r' the held key-up's wait is over, 'a' release all
    int64_t nAt;
    std::optional<uint64_t> nStamp = {};
    bool bRepeat = false; // marked as a repeat by the platform
    int nVk = kZ;
};

// Settings of their own, over a store in a temporary folder.
struct SOwnSettings
{
    CTempRegistry reg;
    CScriptedPrompter prompter;
    CSettings settings{reg.Store(), prompter};
};

// A live keyboard recording version 0.1 on its own clock, opened at 1000 ms.
struct SKeyboardRun
{
    CManualClock clock;
    CRecorderMidiOut out{clock};
    std::unique_ptr<IMidiOutHandle> pHandle = OpenAt1000(clock, out);
    CHostDouble host;
    SOwnSettings own;
    CNoteKeyboard keys{*pHandle, clock, host, own.settings, 1};

    static std::unique_ptr<IMidiOutHandle> OpenAt1000(CManualClock& clock, CRecorderMidiOut& out)
    {
        clock.AdvanceTo(1000, [] { return true; });
        return out.Open(0);
    }
};

// The delays of a version 0.1 recording, record by record.
std::vector<int> Delays(const std::vector<uint8_t>& record)
{
    std::vector<int> arrDelays;
    size_t i = 0;
    while (i < record.size())
    {
        // '$', the counted delay, 'T', the counted message.
        const size_t nDelayBytes = record[i + 1];
        int nDelay = 0;
        for (size_t k = 0; k < nDelayBytes; ++k)
            nDelay = nDelay * 256 + record[i + 2 + k];
        arrDelays.push_back(nDelay);
        i += 2 + nDelayBytes + 1;
        i += 1 + record[i];
    }
    return arrDelays;
}

TEST_F(NoteKeyboardTest, AHeldKeyRepeatingAsReleaseAndPressPairsIsOneNoteEndingAtItsRealRelease)
{
    constexpr uint32_t kZOn = 0x7F3A90, kZOff = 0x3A80, kQOn = 0x7F2390, kQOff = 0x2380;
    struct SCase
    {
        const char* pszName;
        std::vector<SKeyEvent> events;
        std::vector<uint32_t> sent;
        std::vector<int> delays;
    };
    const SCase cases[] = {
        {"X without detectable repeat: each pair has one stamp",
         {{'d', 1100, 5100},
          {'u', 1600, 5600},
          {'d', 1600, 5600},
          {'u', 1633, 5633},
          {'d', 1634, 5633},
          {'u', 2100, 6100},
          {'r', 2125}},
         {kZOn, kZOff},
         {100, 1000}},
        {"a quick second press has a stamp of its own",
         {{'d', 1100, 5100}, {'u', 1300, 5300}, {'d', 1301, 5301}, {'u', 1500, 5500}, {'r', 1520}},
         {kZOn, kZOff, kZOn, kZOff},
         {100, 200, 1, 199}},
        {"the toolkit marked the pair",
         {{'d', 1100}, {'u', 1600, {}, true}, {'d', 1600, {}, true}, {'u', 2100}},
         {kZOn, kZOff},
         {100, 1000}},
        {"detectable repeat: presses alone",
         {{'d', 1100, 5100}, {'d', 1600, 5600}, {'d', 1633, 5633}, {'u', 2100, 6100}, {'r', 2125}},
         {kZOn, kZOff},
         {100, 1000}},
        {"the next key resolves a held release at its own time",
         {{'d', 1100, 5100},
          {'u', 1300, 5300},
          {'d', 1700, 5700, false, kQ},
          {'u', 1800, 5800, false, kQ},
          {'a', 1900}},
         {kZOn, kZOff, kQOn, kQOff},
         {100, 200, 400, 100}},
        {"closing or losing the keyboard ends a held release at its time, the rest now",
         {{'d', 1100, 5100}, {'d', 1200, 5200, false, kQ}, {'u', 1300, 5300}, {'a', 1800}},
         {kZOn, kQOn, kZOff, kQOff},
         {100, 100, 100, 500}},
    };
    for (const SCase& c : cases)
    {
        SCOPED_TRACE(c.pszName);
        SKeyboardRun run;
        auto& [clock, out, pHandle, host, own, keys] = run;
        for (const SKeyEvent& e : c.events)
        {
            clock.AdvanceTo(e.nAt, [] { return true; });
            if (e.cWhat == 'r')
                keys.ResolveHeldKeyUp();
            else if (e.cWhat == 'a')
                keys.ReleaseAll();
            else
                keys.OnKeyEvent(e.cWhat == 'd', e.nVk, 0, e.nStamp, e.bRepeat);
        }
        EXPECT_FALSE(keys.HoldsKeyUp());
        EXPECT_EQ(c.sent, out.Messages());
        EXPECT_EQ(c.delays, Delays(keys.Recording()));
        const size_t nLit =
            static_cast<size_t>(std::count(host.m_arrCalls.begin(), host.m_arrCalls.end(), "on 60"));
        EXPECT_EQ(std::count(c.sent.begin(), c.sent.end(), kZOn), static_cast<std::ptrdiff_t>(nLit))
            << "Z lights once per note";
    }
}

TEST_F(NoteKeyboardTest, AReleaseHeldBackUntilItsWaitIsOverStillLetsGoOfTheKey)
{
    CNoteKeyboard& keys = Open(1);
    keys.OnKeyEvent(true, kZ, 0x2C, 5100, false);
    keys.OnKeyEvent(false, kZ, 0x2C, 5200, false);
    EXPECT_TRUE(keys.HoldsKeyUp());
    EXPECT_EQ(1u, m_out.Messages().size()) << "not yet: a press with the same stamp may follow";
    EXPECT_EQ(0x80, keys.KeyState()[0x2C]);
    keys.ResolveHeldKeyUp();
    EXPECT_EQ(0, keys.KeyState()[0x2C]);
    EXPECT_EQ("off 60", m_host.m_arrCalls.back());
    keys.ResolveHeldKeyUp();
    EXPECT_EQ((std::vector<uint32_t>{0x7F3A90, 0x3A80}), m_out.Messages());
}

TEST_F(NoteKeyboardTest, DelaysAreTheDifferencesOfTheStampsAlsoAfterABusyStart)
{
    // Z went down 200 ms after the window opened, but the window was busy and handled it only
    // at 1700 ms; its release, 530 ms later, and Q's press were handled at once.
    struct SCase
    {
        const char* pszName;
        std::vector<SKeyEvent> events;
        std::vector<int> delays;
    };
    const SCase cases[] = {
        {"busy at the first event",
         {{'d', 1700, 50200}, {'u', 1730, 50730}, {'d', 1800, 50800, false, kQ}},
         {200, 530, 70}},
        {"busy in the middle",
         {{'d', 1200, 50200},
          {'u', 1900, 50730},
          {'d', 1900, 50800, false, kQ},
          {'u', 1950, 50850, false, kQ}},
         {200, 530, 70, 50}},
        {"a stamp clock that starts again",
         {{'d', 1200, 50200}, {'u', 1400, 50400}, {'d', 1500, 100}, {'u', 1600, 200}},
         {200, 200, 100, 100}},
    };
    for (const SCase& c : cases)
    {
        SCOPED_TRACE(c.pszName);
        SKeyboardRun run;
        auto& [clock, out, pHandle, host, own, keys] = run;
        for (const SKeyEvent& e : c.events)
        {
            clock.AdvanceTo(e.nAt, [] { return true; });
            if (e.cWhat == 'd')
                keys.OnKeyDown(e.nVk, 0, e.nStamp);
            else
                keys.OnKeyUp(e.nVk, 0, e.nStamp);
        }
        EXPECT_EQ(c.delays, Delays(keys.Recording()));
    }
}
} // namespace
