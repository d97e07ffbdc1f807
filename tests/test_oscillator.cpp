// The oscillator: its voice table, the tone record's mask, the two formulas and the quantizer,
// and the refill behind the play cursor.
#include "sound/Oscillator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace
{
const VoiceRatioTable kRatios = ComputeVoiceRatios(ComputeSemitones());

// A block with guard bytes around it: a render that strays past either end shows.
struct SGuardedBlock
{
    static constexpr size_t kGuard = 64;
    static constexpr uint8_t kCanary = 0x5A;
    std::vector<uint8_t> bytes = std::vector<uint8_t>(kToneBufferBytes + 2 * kGuard, kCanary);
    uint8_t* Block() { return bytes.data() + kGuard; }
    bool GuardsIntact() const
    {
        return std::all_of(bytes.begin(), bytes.begin() + kGuard, [](uint8_t b) { return b == kCanary; }) &&
               std::all_of(bytes.end() - kGuard, bytes.end(), [](uint8_t b) { return b == kCanary; });
    }
};

SOscSettings Settings(float fVolume, int nSynthMode, int nOscMode, float fFrequency = 440)
{
    SOscSettings s;
    s.fFrequency = fFrequency;
    s.fVolume = fVolume;
    s.fResonance = 1;
    s.nSynthMode = nSynthMode;
    s.nOscMode = nOscMode;
    return s;
}

// nSamples of one voice, rendered as the stream would take them, 128 at a time.
std::vector<uint8_t> RenderVoiceSamples(double dRatio, const SOscSettings& settings, size_t nSamples)
{
    std::vector<uint8_t> block(kToneBufferBytes, kToneSilence);
    COscillator osc(block.data());
    osc.SetSettings(settings);
    const std::vector<double> ratios{dRatio};
    std::vector<uint8_t> out;
    uint32_t nCursor = 0;
    while (out.size() < nSamples)
    {
        const uint32_t nNext = (nCursor + 128) % kToneBufferBytes;
        osc.Refill(nNext, ratios);
        for (uint32_t i = 0; i < 128; ++i)
            out.push_back(block[(nCursor + i) % kToneBufferBytes]);
        nCursor = nNext;
    }
    out.resize(nSamples);
    return out;
}

// Mean difference between the samples and themselves one period of fHz later (interpolated).
double PeriodMismatch(const std::vector<uint8_t>& samples, double fHz)
{
    const double dPeriod = kToneRate / fHz;
    double dSum = 0;
    int n = 0;
    for (size_t i = 0; i + static_cast<size_t>(dPeriod) + 2 < samples.size(); ++i)
    {
        const double dAt = static_cast<double>(i) + dPeriod;
        const size_t k = static_cast<size_t>(dAt);
        const double dFrac = dAt - static_cast<double>(k);
        const double dLater = samples[k] * (1 - dFrac) + samples[k + 1] * dFrac;
        dSum += std::abs(dLater - samples[i]);
        ++n;
    }
    return dSum / n;
}

// The highest of the octaves of 55 Hz whose period the samples repeat with: the pitch.
double MeasuredPitch(const std::vector<uint8_t>& samples)
{
    double dPitch = 0;
    for (double f = 55; f <= 7040; f *= 2)
        if (PeriodMismatch(samples, f) < 3)
            dPitch = f;
    return dPitch;
}
} // namespace

// Each voice's interval in semitones above (or below) the base, as the tone records were made
// with: the table repeats some intervals and swaps 17 and 18.
TEST(Oscillator, VoiceTableHoldsItsIntervalsInItsOrder)
{
    const int kSemitones[kVoiceCount] = {1,  2,  3,  4,  5,  6,  7,  8,  9,   10,  11,  12, 13, 14, 15, 16,
                                         17, 19, 18, 19, 20, 21, 22, 23, -12, -11, -10, -9, -8, -7, -6, -5,
                                         -4, -3, -2, -1, 12, 13, 14, 15, 16,  16,  16,  17, 18, 19};
    for (int k = 0; k < kVoiceCount; ++k)
        EXPECT_NEAR(std::pow(2.0, kSemitones[k] / 12.0), kRatios[static_cast<size_t>(k)], 1e-12)
            << "voice " << k;
}

// Voice k is bit k % 8 of byte k / 8, least significant bit first; bits 46 and 47 are no voice.
TEST(Oscillator, MaskBitsMapOntoVoicesLeastSignificantFirst)
{
    struct SCase
    {
        uint8_t mask[kMaskBytes];
        std::vector<int> voices;
    } cases[] = {
        {{0x01, 0, 0, 0, 0, 0}, {0}},  {{0x80, 0, 0, 0, 0, 0}, {7}},
        {{0, 0x01, 0, 0, 0, 0}, {8}},  {{0, 0x08, 0, 0, 0, 0}, {11}},
        {{0, 0, 0, 0x01, 0, 0}, {24}}, {{0, 0, 0, 0, 0, 0x20}, {45}},
        {{0, 0, 0, 0, 0, 0xC0}, {}},   {{0x05, 0, 0, 0, 0x10, 0x21}, {0, 2, 36, 40, 45}},
    };
    for (const SCase& c : cases)
    {
        const VoiceMask voices = DecodeVoices(c.mask);
        std::vector<int> on;
        for (int k = 0; k < kVoiceCount; ++k)
            if (voices[static_cast<size_t>(k)])
                on.push_back(k);
        EXPECT_EQ(c.voices, on) << int(c.mask[0]) << " " << int(c.mask[1]) << " " << int(c.mask[5]);

        uint8_t back[kMaskBytes];
        EncodeVoices(voices, back);
        for (int i = 0; i < kMaskBytes; ++i)
            EXPECT_EQ(c.mask[i] & (i == 5 ? 0x3F : 0xFF), back[i]) << "bits 46 and 47 are never written";
    }
    uint8_t all[kMaskBytes] = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    const VoiceMask every = DecodeVoices(all);
    EXPECT_EQ(46, std::count(every.begin(), every.end(), true));
}

// The sample a mix value becomes, by wave shape and volume; clipped to 0..255, fraction dropped.
TEST(Oscillator, QuantizeByWaveShapeAndVolume)
{
    struct SCase
    {
        int nOscMode;
        float fVolume;
        float fMix;
        uint8_t nSample;
    } cases[] = {
        {0, 1, 0.0f, 128}, {0, 1, 0.5f, 192},   {0, 1, -0.5f, 64},  {0, 1, 1.0f, 255}, // 256 clips
        {0, 1, -1.0f, 0},  {0, 3, 0.5f, 255},   {0, 3, -0.5f, 0},   {0, 1, 0.3f, 166}, // 166.4
        {1, 1, 0.0f, 255}, {1, 1, 0.001f, 255}, {1, 1, -0.001f, 0}, {1, 0.5f, -0.7f, 64},
        {2, 1, 0.7f, 128}, // no such wave: the samples stay silent
    };
    std::vector<uint8_t> block(kToneBufferBytes, 7);
    COscillator osc(block.data());
    for (const SCase& c : cases)
    {
        osc.m_nOscMode = c.nOscMode;
        osc.m_fVolume = c.fVolume;
        osc.m_nFrom = osc.m_nTo = 100;
        osc.m_pMix[100] = c.fMix;
        block[100] = kToneSilence;
        osc.QuantizeSamples();
        EXPECT_EQ(c.nSample, block[100]) << c.nOscMode << " " << c.fVolume << " " << c.fMix;
    }
}

TEST(Oscillator, ToneWithoutVoicesIsAConstantLevelAndRestartsThePhase)
{
    for (int nOscMode : {0, 1})
    {
        std::vector<uint8_t> block(kToneBufferBytes, 7);
        COscillator osc(block.data());
        osc.SetSettings(Settings(1, 0, nOscMode));
        osc.Refill(1000, std::vector<double>{kRatios[11]});
        EXPECT_EQ(1000, osc.m_nSampleBase);
        osc.Refill(2000, {});
        EXPECT_EQ(0, osc.m_nSampleBase);
        const uint8_t nLevel = nOscMode == 0 ? 128 : 255; // the sign of a zero mix counts as +1
        EXPECT_TRUE(
            std::all_of(block.begin() + 1000, block.begin() + 2000, [&](uint8_t b) { return b == nLevel; }));
        EXPECT_EQ(7, block[2000]) << "past the cursor nothing is written";
    }
}

TEST(Oscillator, SquareAtVolumeOneSwingsFully)
{
    const std::vector<uint8_t> samples = RenderVoiceSamples(kRatios[5], Settings(1, 0, 1), 8000);
    EXPECT_TRUE(std::all_of(samples.begin(), samples.end(), [](uint8_t b) { return b == 0 || b == 255; }));
    EXPECT_GT(std::count(samples.begin(), samples.end(), 0), 1000);
    EXPECT_GT(std::count(samples.begin(), samples.end(), 255), 1000);
}

// Pitches measured from the samples, for both formulas: voice 11 an octave above 440 Hz, voice 24
// an octave below; voices that share an interval give the very same samples.
TEST(Oscillator, VoicesSoundAtTheirPitches)
{
    for (int nSynthMode : {0, 1})
    {
        const SOscSettings settings = Settings(0.5f, nSynthMode, 0);
        auto Voice = [&](int k)
        { return RenderVoiceSamples(kRatios[static_cast<size_t>(k)], settings, 8192); };
        EXPECT_EQ(880, MeasuredPitch(Voice(11))) << nSynthMode;
        EXPECT_EQ(220, MeasuredPitch(Voice(24))) << nSynthMode;
        EXPECT_EQ(440, MeasuredPitch(RenderVoiceSamples(1.0, settings, 8192))) << "the base itself";
        EXPECT_EQ(Voice(11), Voice(36));
        EXPECT_EQ(Voice(40), Voice(41));
        EXPECT_EQ(Voice(40), Voice(42));
        EXPECT_NE(Voice(17), Voice(18));
        EXPECT_EQ(Voice(17), Voice(45));
    }
}

// A chord keeps its phase from one refill to the next: the regions the stream happens to take
// do not change a sample.
TEST(Oscillator, RefillsInAnyStepsGiveTheSameSamples)
{
    const std::vector<double> chord{kRatios[0], kRatios[4], kRatios[7], kRatios[24]};
    auto Render = [&](std::vector<uint32_t> steps, int nSynthMode)
    {
        std::vector<uint8_t> block(kToneBufferBytes, 0);
        COscillator osc(block.data());
        osc.SetSettings(Settings(0.3f, nSynthMode, 0));
        uint32_t nCursor = 0;
        for (uint32_t nStep : steps)
            osc.Refill(nCursor += nStep, chord);
        return block;
    };
    for (int nSynthMode : {0, 1})
    {
        const std::vector<uint8_t> whole = Render({4000}, nSynthMode);
        EXPECT_EQ(whole, Render({1, 127, 128, 1000, 2744}, nSynthMode));
        EXPECT_EQ(whole, Render({4000 - 512, 512}, nSynthMode));
    }
}

// A formula the settings do not know computes nothing, but its voices still count and the sample
// base still runs on.
TEST(Oscillator, UnknownFormulaCountsVoicesAndAdvancesTheBase)
{
    std::vector<uint8_t> block(kToneBufferBytes, 7);
    COscillator osc(block.data());
    osc.SetSettings(Settings(1, 2, 0));
    osc.Refill(300, std::vector<double>{kRatios[0], kRatios[1]});
    EXPECT_EQ(2, osc.m_nVoices);
    EXPECT_EQ(300, osc.m_nSampleBase);
    EXPECT_TRUE(std::all_of(block.begin(), block.begin() + 300, [](uint8_t b) { return b == 128; }));
}

// A cursor that wrapped renders to the block's last sample and on from its first, and nothing
// outside the block, whatever cursors come.
TEST(Oscillator, WrappedCursorStaysInsideTheBlock)
{
    SGuardedBlock guarded;
    std::fill(guarded.Block(), guarded.Block() + kToneBufferBytes, 7);
    COscillator osc(guarded.Block());
    osc.SetSettings(Settings(0.4f, 1, 0));
    const std::vector<double> chord{kRatios[3], kRatios[30]};
    osc.Refill(4000, chord);
    std::fill(guarded.Block(), guarded.Block() + kToneBufferBytes, 7);
    osc.Refill(100, chord);
    const uint8_t* p = guarded.Block();
    EXPECT_TRUE(std::none_of(p + 4000, p + 4096, [](uint8_t b) { return b == 7; })) << "to the end";
    EXPECT_TRUE(std::none_of(p, p + 100, [](uint8_t b) { return b == 7; })) << "and from the start";
    EXPECT_TRUE(std::all_of(p + 100, p + 4000, [](uint8_t b) { return b == 7; })) << "the rest untouched";
    for (uint32_t nCursor : {4095u, 0u, 4096u, 1u, 8191u, 4095u, 2048u, 2048u, 0u})
        osc.Refill(nCursor, chord);
    EXPECT_TRUE(guarded.GuardsIntact());
}

// A settings record's numbers: the resonance was stored times 1000 and comes back with its thousandths.
TEST(Oscillator, SettingsRecordValues)
{
    const int32_t values[5] = {440, 3, 2500, 1, 1};
    const SOscSettings s = OscSettingsFromRecord(values);
    EXPECT_EQ(440.0f, s.fFrequency);
    EXPECT_EQ(3.0f, s.fVolume);
    EXPECT_EQ(2.5f, s.fResonance) << "a take played at 2.5 plays back at 2.5";
    EXPECT_EQ(1, s.nSynthMode);
    EXPECT_EQ(1, s.nOscMode);
    const std::array<int32_t, 5> back = OscSettingsRecordValues(Settings(2, 1, 0, 261.6f));
    EXPECT_EQ((std::array<int32_t, 5>{262, 2, 1000, 1, 0}), back);
}
