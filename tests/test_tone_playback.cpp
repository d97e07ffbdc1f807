// Tone and settings records played on the player thread: the voices and settings each tone
// sounds with, silence between tones and while paused, a stop that plays out one pass, and the
// oscillator's buffer as the stream takes it.
#include "tests/PlaybackFixture.h"
#include "tests/ProjectFixtures.h"
#include "tests/ToneFixtures.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace
{
const VoiceRatioTable kRatios = ComputeVoiceRatios(ComputeSemitones());
constexpr uint32_t kOn60 = 0x7F3C90;
const std::string kDamagedPlayback =
    "Ошибка воспроизведения!|TGP - файл поврежден, и поэтому его воспроизведение невозможно!";

SOscSettings Sin(float fVolume, float fFrequency = 440)
{
    return {fFrequency, fVolume, 1, 0, 0};
}

void AppendSettings(std::vector<uint8_t>& project, int32_t nFrequency, int32_t nVolume, int32_t nSynth,
                    int32_t nOscMode)
{
    AppendSettingsRecord(project, nFrequency, nVolume, 1000, nSynth, nOscMode);
}

bool AllAre(const std::vector<int>& samples, std::initializer_list<int> values)
{
    return std::all_of(samples.begin(), samples.end(),
                       [&](int n) { return std::find(values.begin(), values.end(), n) != values.end(); });
}

CToneOutput* ToneOf(CPlayRun& run)
{
    return run.m_player.m_pTone.get();
}
} // namespace

// Tones before any settings record take the settings the playing started with; a settings record
// governs the tones after it; the next playing starts from the current settings again. Between a
// tone and the next event the oscillator is silent, not a loop of its last pass.
TEST(TonePlayback, EachToneSoundsWithTheSettingsInForce)
{
    auto project = MakeHeader(1);
    AppendTone(project, {11}, 200);
    AppendSettings(project, 220, 1, 1, 1); // "B", "Square"
    AppendTone(project, {24}, 300);
    AppendEventRecord(project, 100, kOn60);
    CPlayRun run(project);

    for (int nPlaying = 0; nPlaying < 2; ++nPlaying)
    {
        SCOPED_TRACE(nPlaying);
        const SOscSettings current = Sin(0.5f, nPlaying == 0 ? 440.0f : 330.0f);
        ASSERT_TRUE(run.Start(0, current));
        ASSERT_TRUE(run.RunTo(run.m_clock.NowMs()));
        ASSERT_NE(nullptr, ToneOf(run));
        EXPECT_EQ(1u, run.m_stream.Sources()) << "one buffer, made at the first tone";
        EXPECT_EQ(ToneSamples(current, kRatios[11], 441), run.m_stream.Take(441));

        const int64_t nStart = run.m_clock.NowMs();
        ASSERT_TRUE(run.RunTo(nStart + 250));
        const std::vector<int> square = run.m_stream.Take(2000);
        EXPECT_TRUE(AllAre(square, {0, 255})) << "the settings record's wave and volume";
        EXPECT_GT(std::count(square.begin(), square.end(), 0), 200);

        ASSERT_TRUE(run.RunTo(nStart + 550));
        EXPECT_FALSE(ToneOf(run)->Playing());
        EXPECT_TRUE(AllAre(run.m_stream.Take(5000), {128})) << "silence until the note on";
        ASSERT_TRUE(run.RunTo(nStart + 600));
        EXPECT_TRUE(run.Ended());
        const TTimeline timeline = run.Timeline();
        EXPECT_NE(timeline.end(), std::find(timeline.begin(), timeline.end(),
                                            std::pair<int64_t, uint32_t>{nStart + 600, kOn60}));
    }
    EXPECT_EQ(1u, run.m_stream.Sources()) << "the buffer lives as long as the project object";
}

// A paused tone is silent and the tone goes on, with its phase, for the rest of its duration.
TEST(TonePlayback, PauseSilencesAToneThatThenGoesOn)
{
    auto project = MakeHeader(1);
    AppendTone(project, {7}, 1000);
    CPlayRun run(project);
    const SOscSettings settings = Sin(0.4f);
    ASSERT_TRUE(run.Start(0, settings));
    ASSERT_TRUE(run.RunTo(100));
    const std::vector<int> before = run.m_stream.Take(1000);
    run.m_player.m_bPause = true;
    ASSERT_TRUE(run.RunTo(150));
    EXPECT_TRUE(AllAre(run.m_stream.Take(3000), {128}));
    ASSERT_TRUE(run.RunTo(400));
    run.m_player.m_bPause = false;
    ASSERT_TRUE(run.RunTo(401));
    std::vector<int> played = before;
    const std::vector<int> after = run.m_stream.Take(1000);
    played.insert(played.end(), after.begin(), after.end());
    EXPECT_EQ(ToneSamples(settings, kRatios[7], 2000), played) << "no sample lost or repeated";

    // The pause is seen at the next wait step after 100 ms, and held until 400.
    ASSERT_TRUE(run.RunTo(1280));
    EXPECT_TRUE(ToneOf(run)->Playing());
    ASSERT_TRUE(run.RunTo(1300));
    EXPECT_TRUE(run.Ended());
    EXPECT_FALSE(ToneOf(run)->Playing()) << "the project's end leaves no tone sounding";
}

// Stop lets the buffer play what it holds once more, one pass of 4096 samples, then it is silent.
TEST(TonePlayback, StopPlaysOutOnePassThenFallsSilent)
{
    auto project = MakeHeader(1);
    AppendTone(project, {0, 4, 7}, 60000);
    CPlayRun run(project);
    ASSERT_TRUE(run.Start(0, Sin(0.3f)));
    ASSERT_TRUE(run.RunTo(100));
    run.m_stream.Take(5000);
    run.m_pThread->Stop();
    ASSERT_TRUE(run.Settle());
    ASSERT_TRUE(run.Ended());
    const std::vector<int> pass = run.m_stream.Take(static_cast<int>(kToneBufferBytes));
    EXPECT_FALSE(AllAre(pass, {128})) << "the last pass plays out";
    EXPECT_FALSE(ToneOf(run)->Playing());
    EXPECT_TRUE(AllAre(run.m_stream.Take(10000), {128}));
}

// A tone record without its marker ends playback with the damaged-file message; nothing sounds on.
TEST(TonePlayback, DamagedToneRecordTellsAndLeavesSilence)
{
    auto project = MakeHeader(1);
    AppendTone(project, {11}, 100);
    auto damaged = project;
    AppendTone(damaged, {11}, 100);
    damaged[damaged.size() - 3] = 'x'; // the '@' after the mask
    CPlayRun run(damaged);
    ASSERT_TRUE(run.Start(0, Sin(1)));
    ASSERT_TRUE(run.RunTo(50));
    EXPECT_TRUE(ToneOf(run)->Playing());
    ASSERT_TRUE(run.RunTo(100));
    ASSERT_TRUE(run.Ended());
    EXPECT_EQ(std::vector<std::string>{kDamagedPlayback}, run.m_prompter.Lines());
    EXPECT_EQ(EPlayEnd::Damaged, run.m_pThread->LastEnd());
    EXPECT_FALSE(ToneOf(run)->Playing());
}

// The buffer as the stream takes it: both channels, the cursor moving with what was taken and
// wrapping at the block's end, nothing taken while it is silent.
TEST(ToneOutput, TheStreamTakesTheBufferAsItsCursorMoves)
{
    CToneOutput out;
    std::vector<float> stereo(2 * 5000, 0.0f);
    out.Mix(stereo.data(), 5000);
    EXPECT_TRUE(std::all_of(stereo.begin(), stereo.end(), [](float f) { return f == 0; }));
    EXPECT_EQ(0u, out.PlayCursor()) << "a silent buffer does not play";

    out.Sound(Sin(0.5f), {kRatios[11]});
    out.Mix(stereo.data(), 5000);
    EXPECT_EQ(5000u - kToneBufferBytes, out.PlayCursor());
    const auto samples = out.Samples();
    for (size_t i = 0; i < 5000; ++i)
        ASSERT_EQ(stereo[2 * i], stereo[2 * i + 1]) << i;
    // The last 4096 samples taken are the buffer, from the cursor round to it again.
    for (size_t i = 5000 - kToneBufferBytes; i < 5000; ++i)
        ASSERT_EQ((samples[i % kToneBufferBytes] - 128) / 128.0f, stereo[2 * i]) << i;
}
