// DirectX mode of the live keyboard: the oscillator keys, the voices they sound through a tone
// output the test mixes by hand, the mode keys, and the tone records of a version 0.1 take with
// their durations from the manual clock, rendered back.
#include "app/Settings.h"
#include "keyboard/NoteKeyboard.h"
#include "keyboard/OscillatorKeys.h"
#include "platform/AudioFileWriter.h"
#include "platform/null/NullSynthesizer.h"
#include "sound/ProjectRender.h"
#include "sound/ToneOutput.h"
#include "tests/ManualClock.h"
#include "tests/ProjectFixtures.h"
#include "tests/RecorderMidiOut.h"
#include "tests/TestSupport.h"
#include "tests/ToneFixtures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <string>
#include <vector>

namespace
{
// Virtual key and DirectInput code of the keys the tests press.
struct SKey
{
    int nVk;
    int nDik;
};
constexpr SKey kQ{'Q', 0x10}, kW{'W', 0x11}, kZ{'Z', 0x2C}, kX{'X', 0x2D}, kShift{0x10, 0x2A},
    kSlash{0xBF, 0x35}, kOne{'1', 0x02}, kPeriod{0xBE, 0x34}, kColon{0, 0x92}, kEnd{0x23, 0xCF},
    kHome{0x24, 0xC7}, kPad7{0x67, 0x47};
constexpr int kBase = kBaseFrequencyVoice;

class CHostDouble : public INoteKeyboardHost
{
  public:
    void LightKey(int, bool) override {}
    void StatusChanged() override {}
    void Accept() override {}
    void Abandon() override {}
};

const VoiceRatioTable& Ratios()
{
    static const VoiceRatioTable ratios = ComputeVoiceRatios(ComputeSemitones());
    return ratios;
}

// Ratios of voices, kBase standing for the base frequency.
std::vector<double> RatiosOf(std::initializer_list<int> voices)
{
    std::vector<double> arr;
    for (int nVoice : voices)
        arr.push_back(nVoice == kBase ? 1.0 : Ratios()[static_cast<size_t>(nVoice)]);
    return arr;
}

// A tone output of our own sounding these chords one after another, for so many samples each:
// what the keyboard's should hold after the same mixing.
std::array<uint8_t, kToneBufferBytes> Reference(const SOscSettings& osc,
                                                const std::vector<std::pair<std::vector<double>, int>>& steps)
{
    CToneOutput ref;
    for (const auto& [ratios, nFrames] : steps)
    {
        ref.Sound(osc, ratios);
        std::vector<float> arr(2 * static_cast<size_t>(nFrames));
        ref.Mix(arr.data(), nFrames);
    }
    return ref.Samples();
}

void MixFrames(CToneOutput& tone, int nFrames)
{
    std::vector<float> arr(2 * static_cast<size_t>(nFrames));
    tone.Mix(arr.data(), nFrames);
}

bool AllOf(const std::array<uint8_t, kToneBufferBytes>& samples, size_t nFrom, size_t nTo, uint8_t nValue)
{
    return std::all_of(samples.begin() + static_cast<std::ptrdiff_t>(nFrom),
                       samples.begin() + static_cast<std::ptrdiff_t>(nTo),
                       [&](uint8_t n) { return n == nValue; });
}

// The time a version 0.1 stream takes: every delay and every tone's duration.
int64_t StreamTime(const std::vector<uint8_t>& rec)
{
    int64_t nTotal = 0;
    const SWalkResult result =
        WalkRecords(1, rec,
                    [&](const SRecord& record)
                    {
                        nTotal += record.eKind == ERecordKind::Tone ? record.nDuration : record.nDelay;
                        return true;
                    });
    EXPECT_EQ(EWalkEnd::End, result.eEnd) << "the take is whole records";
    return nTotal;
}

// A settings record: 440 Hz, volume 1, resonance 2.5, formula "A", "Sin".
const std::vector<uint8_t> kSettings = Bytes({'#', 2, 0x01, 0xB8, 1, 1, 2, 0x09, 0xC4, 1, 0, 1, 0});

// A tone record of these voices (of the table) for nMs.
std::vector<uint8_t> Tone(std::initializer_list<int> voices, int nMs)
{
    std::vector<uint8_t> out;
    AppendTone(out, voices, nMs);
    return out;
}

class LiveOscillatorTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        m_settings.Frequency = 440;
        m_settings.Volume = 1;
        m_settings.Synth = 2.5f;
        m_settings.SynthMode = 0;
        m_settings.OscilatorMode = 0;
        m_settings.MusicType = 1;
    }
    // The window opens with its tone output; the test's times count as if it opened at 1000 ms.
    CNoteKeyboard& Open(int nRecordVersion)
    {
        if (m_clock.NowMs() < 1000)
            m_clock.AdvanceTo(1000, [] { return true; });
        m_nShift = m_clock.NowMs() - 1000;
        m_pHandle = m_out.Open(0);
        m_pKeys = std::make_unique<CNoteKeyboard>(*m_pHandle, m_clock, m_host, m_settings, nRecordVersion);
        m_pKeys->SetToneOutput(&m_tone);
        return *m_pKeys;
    }
    void At(int64_t nMs)
    {
        m_clock.AdvanceTo(nMs + m_nShift, [] { return true; });
    }
    void Down(SKey key) { m_pKeys->OnKeyDown(key.nVk, key.nDik); }
    void Up(SKey key) { m_pKeys->OnKeyUp(key.nVk, key.nDik); }
    SOscSettings Osc() const { return OscSettingsOf(m_settings); }

    CManualClock m_clock;
    CRecorderMidiOut m_out{m_clock};
    std::unique_ptr<IMidiOutHandle> m_pHandle;
    CHostDouble m_host;
    CTempRegistry m_reg;
    CScriptedPrompter m_prompter;
    CSettings m_settings{m_reg.Store(), m_prompter};
    CToneOutput m_tone;
    std::unique_ptr<CNoteKeyboard> m_pKeys;
    int64_t m_nShift = 0;
};

TEST(OscillatorKeys, EveryVoiceHasOneKeyAndLeftShiftTheBaseFrequency)
{
    std::set<int> voices;
    std::set<int> diks;
    for (const SOscillatorKey& key : OscillatorKeys())
    {
        voices.insert(key.nVoice);
        diks.insert(key.nDik);
    }
    EXPECT_EQ(size_t(kOscillatorKeys), voices.size());
    EXPECT_EQ(size_t(kOscillatorKeys), diks.size());
    EXPECT_EQ(kBase, *voices.begin());
    EXPECT_EQ(kVoiceCount - 1, *voices.rbegin());

    // DirectInput code, voice: the ends of every run of the table.
    const std::pair<int, int> cases[] = {
        {0x2A, kBase}, {0x02, 0},  {0x0B, 9},  {0x0C, 10}, {0x0D, 11}, {0x2B, 12}, {0x10, 13},
        {0x19, 22},    {0x1A, 23}, {0x1B, 24}, {0x1E, 25}, {0x26, 33}, {0x27, 34}, {0x28, 35},
        {0x2C, 36},    {0x32, 42}, {0x33, 43}, {0x92, 44}, {0x35, 45},
    };
    for (const auto& [nDik, nVoice] : cases)
    {
        std::array<uint8_t, 256> state{};
        state[static_cast<size_t>(nDik)] = 0x80;
        EXPECT_EQ(RatiosOf({nVoice}), HeldRatios(state, Ratios())) << std::hex << nDik;
        const VoiceMask held = HeldVoices(state);
        EXPECT_EQ(nVoice == kBase ? 0 : 1, std::count(held.begin(), held.end(), true)) << std::hex << nDik;
        if (nVoice != kBase)
        {
            EXPECT_TRUE(held[static_cast<size_t>(nVoice)]);
        }
    }
    // The full stop (DIK_PERIOD), Right Shift, Space: no voice.
    for (int nDik : {0x34, 0x36, 0x39, 0x00})
    {
        std::array<uint8_t, 256> state{};
        state[static_cast<size_t>(nDik)] = 0x80;
        EXPECT_TRUE(HeldRatios(state, Ratios()).empty()) << std::hex << nDik;
    }
}

TEST_F(LiveOscillatorTest, TheKeysHeldSoundTheirVoicesInTheOrderOfTheTable)
{
    struct SCase
    {
        const char* pszName;
        std::vector<std::pair<char, SKey>> events; // 'd' down, 'u' up
        std::vector<double> ratios;
    };
    const SCase cases[] = {
        {"Left Shift: the base frequency", {{'d', kShift}}, RatiosOf({kBase})},
        {"table order, not the order pressed",
         {{'d', kSlash}, {'d', kQ}, {'d', kShift}, {'d', kOne}},
         RatiosOf({kBase, 0, 13, 45})},
        {"a key let go stops its voice", {{'d', kQ}, {'d', kW}, {'u', kQ}}, RatiosOf({14})},
        {"a held key's repeats", {{'d', kZ}, {'d', kZ}, {'d', kZ}}, RatiosOf({36})},
        {"the colon key code", {{'d', kColon}}, RatiosOf({44})},
        {"the full stop is no oscillator key", {{'d', kPeriod}}, {}},
        {"every key let go", {{'d', kQ}, {'d', kShift}, {'u', kShift}, {'u', kQ}}, {}},
    };
    for (const SCase& c : cases)
    {
        SCOPED_TRACE(c.pszName);
        CNoteKeyboard& keys = Open(1);
        CToneOutput tone;
        keys.SetToneOutput(&tone);
        for (const auto& [cWhat, key] : c.events)
            cWhat == 'd' ? Down(key) : Up(key);
        EXPECT_EQ(!c.ratios.empty(), tone.Playing()) << "no key held is silence, not a constant level";
        MixFrames(tone, 600);
        const std::array<uint8_t, kToneBufferBytes> actual = tone.Samples();
        EXPECT_EQ(Reference(Osc(), {{c.ratios, 600}}), actual) << "the voices handed over";
        EXPECT_EQ(c.ratios.empty(), AllOf(actual, 0, 600, kToneSilence))
            << "a key sounds; no key is the level of silence in \"Sin\"";
    }
}

TEST_F(LiveOscillatorTest, EachKeyEventChangesTheChordFromTheNextSamplesOn)
{
    Open(1);
    Down(kQ);
    MixFrames(m_tone, 300);
    Down(kW);
    MixFrames(m_tone, 300);
    Up(kQ);
    MixFrames(m_tone, 300);
    Up(kW);
    MixFrames(m_tone, 300);
    const std::array<uint8_t, kToneBufferBytes> expected = Reference(
        Osc(), {{RatiosOf({13}), 300}, {RatiosOf({13, 14}), 300}, {RatiosOf({14}), 300}, {{}, 300}});
    EXPECT_EQ(expected, m_tone.Samples());
    EXPECT_FALSE(AllOf(expected, 0, 900, kToneSilence));
    EXPECT_TRUE(AllOf(expected, 900, 1200, kToneSilence));
}

TEST_F(LiveOscillatorTest, MidiModeIsSilentAndHomeAndEndSwitchTheOscillator)
{
    m_settings.MusicType = 0;
    Open(1);
    Down(kQ); // a MIDI note in MIDI mode; its key is held on into DirectX mode
    EXPECT_FALSE(m_tone.Playing());
    MixFrames(m_tone, 300);
    EXPECT_EQ(0u, m_tone.PlayCursor()) << "nothing is taken from a silenced output";
    EXPECT_TRUE(AllOf(m_tone.Samples(), 0, kToneBufferBytes, kToneSilence));

    Down(kEnd);
    Up(kEnd);
    EXPECT_TRUE(m_tone.Playing());
    MixFrames(m_tone, 300);
    EXPECT_EQ(Reference(Osc(), {{RatiosOf({13}), 300}}), m_tone.Samples()) << "Q was held: it sounds at End";

    Down(kHome);
    EXPECT_FALSE(m_tone.Playing());
    MixFrames(m_tone, 300);
    EXPECT_EQ(300u, m_tone.PlayCursor());
    Up(kHome);
    Down(kW); // MIDI mode again: a note, no voice
    EXPECT_FALSE(m_tone.Playing());
    EXPECT_EQ((std::vector<uint32_t>{0x7F2390, 0x7F2490}), m_out.Messages()) << "DirectX mode sent nothing";

    // No key held is silence in either wave shape: "Square" would otherwise hold the top level.
    m_settings.OscilatorMode = 1;
    Up(kQ);
    Up(kW);
    Down(kEnd);
    EXPECT_FALSE(m_tone.Playing());
    MixFrames(m_tone, 300);
    EXPECT_EQ(300u, m_tone.PlayCursor());
    Down(kQ);
    MixFrames(m_tone, 300);
    const std::array<uint8_t, kToneBufferBytes> square = m_tone.Samples();
    EXPECT_TRUE(
        std::all_of(square.begin() + 300, square.begin() + 600, [](uint8_t b) { return b == 0 || b == 255; }))
        << "a key in \"Square\" swings fully";
    EXPECT_FALSE(AllOf(square, 300, 600, 255));
}

TEST_F(LiveOscillatorTest, ReleasingEveryKeyOrLettingGoOfTheOutputStopsTheVoices)
{
    Open(1);
    Down(kQ);
    Down(kShift);
    MixFrames(m_tone, 300);
    m_pKeys->ReleaseAll();
    MixFrames(m_tone, 300);
    EXPECT_TRUE(AllOf(m_tone.Samples(), 300, 600, kToneSilence));
    Down(kQ);
    EXPECT_TRUE(m_tone.Playing());
    m_pKeys->SetToneOutput(nullptr);
    EXPECT_FALSE(m_tone.Playing()) << "the output given up is left silent";
    Down(kW);
    EXPECT_FALSE(m_tone.Playing());
}

TEST_F(LiveOscillatorTest, ATakeRecordsASettingsRecordAndOneToneRecordPerStretch)
{
    CNoteKeyboard& keys = Open(1);
    At(1100);
    Down(kQ);
    Down(kW); // the same millisecond: one chord
    At(1400);
    Up(kQ);
    Up(kW);
    At(1600);
    Down(kZ);
    At(1650);
    Down(kShift); // sounds, but no voice of a record: the stretch goes on
    At(1700);
    Down(kZ); // a repeat
    At(1900);
    Up(kZ);
    At(2000);
    Up(kShift);
    At(2200);
    keys.ReleaseAll(); // the window closes; the silence at the end is not recorded
    const std::vector<uint8_t> expected =
        kSettings + Tone({}, 100) + Tone({13, 14}, 300) + Tone({}, 200) + Tone({36}, 300);
    EXPECT_EQ(expected, keys.Recording());
    EXPECT_TRUE(m_out.Messages().empty());
}

TEST_F(LiveOscillatorTest, AStretchStillSoundingEndsWhenEveryKeyIsReleased)
{
    CNoteKeyboard& keys = Open(1);
    At(1000);
    Down(kX);
    At(1250);
    EXPECT_TRUE(keys.Recording().empty()) << "how long it lasts is not known yet";
    keys.ReleaseAll(); // what accepting the window does first
    EXPECT_EQ(kSettings + Tone({37}, 250), keys.Recording()) << "no silence before a tone at the start";
}

TEST_F(LiveOscillatorTest, XRepeatsOfAHeldKeyDoNotSplitTheStretch)
{
    CNoteKeyboard& keys = Open(1);
    At(1100);
    keys.OnKeyEvent(true, kQ.nVk, kQ.nDik, 5100, false);
    for (int64_t nAt = 1300; nAt < 1600; nAt += 33)
    {
        At(nAt);
        const uint64_t nStamp = static_cast<uint64_t>(nAt + 4000);
        keys.OnKeyEvent(false, kQ.nVk, kQ.nDik, nStamp, false);
        keys.OnKeyEvent(true, kQ.nVk, kQ.nDik, nStamp, false);
    }
    At(1600);
    keys.OnKeyEvent(false, kQ.nVk, kQ.nDik, 5600, false);
    At(1620);
    keys.ResolveHeldKeyUp();
    EXPECT_EQ(kSettings + Tone({}, 100) + Tone({13}, 500), keys.Recording());
}

TEST_F(LiveOscillatorTest, NoteRecordsAndTonesAddUpToTheTimePlayed)
{
    struct SCase
    {
        const char* pszName;
        std::vector<std::tuple<int64_t, char, SKey>> events; // at, 'd' or 'u', key
        std::vector<uint8_t> expected;
        int64_t nEnd; // the last record ends here
    };
    const SCase cases[] = {
        {"a note held into DirectX mode sounds its voice there, and ends with it",
         {{1100, 'd', kZ},
          {1200, 'd', kEnd},
          {1500, 'u', kZ},
          {1600, 'd', kHome},
          {1700, 'd', kQ},
          {1800, 'u', kQ}},
         Bytes({'$', 1, 100, 'T', 3, 0x7F, 0x3A, 0x90}) + kSettings + Tone({}, 100) + Tone({36}, 300) +
             Bytes({'$', 1, 0, 'T', 2, 0x3A, 0x80}) + Bytes({'$', 1, 200, 'T', 3, 0x7F, 0x23, 0x90}) +
             Bytes({'$', 1, 100, 'T', 2, 0x23, 0x80}),
         1800},
        {"a note ending while a tone sounds cuts the tone around it",
         {{1100, 'd', kPad7}, {1200, 'd', kEnd}, {1300, 'd', kQ}, {1500, 'u', kPad7}, {1700, 'u', kQ}},
         Bytes({'$', 1, 100, 'T', 3, 0x7F, 0x24, 0x90}) + kSettings + Tone({}, 200) + Tone({13}, 200) +
             Bytes({'$', 1, 0, 'T', 2, 0x24, 0x80}) + Tone({13}, 200),
         1700},
        {"Home ends the stretch; a note follows at its delay from there",
         {{1300, 'd', kEnd}, {1400, 'd', kQ}, {1700, 'd', kHome}, {1750, 'd', kW}, {1900, 'u', kW}},
         kSettings + Tone({}, 400) + Tone({13}, 300) + Bytes({'$', 1, 50, 'T', 3, 0x7F, 0x24, 0x90}) +
             Bytes({'$', 1, 150, 'T', 2, 0x24, 0x80}),
         1900},
    };
    for (const SCase& c : cases)
    {
        SCOPED_TRACE(c.pszName);
        m_settings.MusicType = 0;
        CNoteKeyboard& keys = Open(1);
        for (const auto& [nAt, cWhat, key] : c.events)
        {
            At(nAt);
            cWhat == 'd' ? Down(key) : Up(key);
        }
        At(c.nEnd + 500);
        keys.ReleaseAll();
        const std::vector<uint8_t>& rec = keys.Recording();
        EXPECT_EQ(c.expected, rec);
        EXPECT_EQ(c.nEnd - 1000, StreamTime(rec));
    }
}

TEST_F(LiveOscillatorTest, AVersion00TakeRecordsNothingInDirectXMode)
{
    CNoteKeyboard& keys = Open(0);
    At(1100);
    Down(kQ);
    EXPECT_TRUE(m_tone.Playing()) << "it sounds all the same";
    At(1400);
    Up(kQ);
    keys.ReleaseAll();
    EXPECT_TRUE(keys.Recording().empty());
    EXPECT_TRUE(m_out.Messages().empty());
}

TEST_F(LiveOscillatorTest, ATakeRenderedBackSoundsTheTonesForExactlyTheirStretches)
{
    // A whole resonance: the settings record keeps only the whole part of resonance x 1000 / 1000.
    m_settings.Synth = 2;
    CNoteKeyboard& keys = Open(1);
    At(1100);
    Down(kQ);
    Down(kW);
    At(1400);
    Up(kQ);
    Up(kW);
    At(1600);
    Down(kZ);
    At(1900);
    Up(kZ);
    keys.ReleaseAll();
    const std::vector<uint8_t> project = MakeHeader(1) + keys.Recording();

    CNullSynthesizer synth;
    CFrameWriter writer;
    CScriptedPrompter prompter;
    // Other settings for the tones before any settings record: the take's own must govern.
    const SRenderResult result = RenderProject(prompter, project, synth, writer, kToneRate, {}, kMaxRenderMs,
                                               {}, SOscSettings{220, 3, 1, 1, 1});
    ASSERT_EQ(EPlayEnd::Finished, result.eEnd);

    // The same stretches on a tone output of our own: silence, chord, silence, tone.
    const std::vector<std::pair<std::vector<double>, int>> steps = {
        {{}, 4410}, {RatiosOf({13, 14}), 13230}, {{}, 8820}, {RatiosOf({36}), 13230}};
    CToneOutput ref;
    std::vector<float> expected;
    for (const auto& [ratios, nFrames] : steps)
    {
        ref.Sound(Osc(), ratios);
        std::vector<float> arr(2 * static_cast<size_t>(nFrames));
        for (int nDone = 0; nDone < nFrames; nDone += 1000)
            ref.Mix(arr.data() + 2 * nDone, std::min(1000, nFrames - nDone));
        expected.insert(expected.end(), arr.begin(), arr.end());
    }
    const std::vector<float>& actual = writer.m_arrStereo;
    ASSERT_GE(actual.size(), expected.size());
    size_t nOff = 0;
    for (size_t i = 0; i < expected.size(); ++i)
        if (std::fabs(actual[i] - expected[i]) > 1.5f / 128)
            ++nOff;
    EXPECT_EQ(0u, nOff) << "the rendered take differs from its stretches";
    const auto Silent = [&](size_t nFrom, size_t nTo)
    {
        return std::all_of(actual.begin() + 2 * nFrom, actual.begin() + 2 * nTo,
                           [](float f) { return f == 0.0f; });
    };
    EXPECT_TRUE(Silent(0, 4410));
    EXPECT_NE(0.0f, actual[2 * 4410]) << "the chord starts on the frame of its millisecond";
    EXPECT_TRUE(Silent(17640, 17640 + 8820));
    EXPECT_NE(0.0f, actual[2 * 26460]);
    EXPECT_TRUE(Silent(39690, actual.size() / 2)) << "nothing after the last tone";
}
} // namespace
