// The oscillator's cost: one audio buffer (128 frames) at a time rendered and taken as the stream
// takes it, with 1, 8 or 47 voices sounding (47: every key of the live oscillator held, Left Shift
// included), for both formulas. core_pct is the share of one core that keeping up with 44100 Hz
// takes; the chord runs on from one iteration to the next, so the phases grow as in a long tone.
#include "sound/ToneOutput.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <vector>

namespace
{
constexpr int kBufferFrames = 128;

void BM_OscillatorVoices(benchmark::State& state)
{
    const int nVoices = static_cast<int>(state.range(0));
    const VoiceRatioTable table = ComputeVoiceRatios(ComputeSemitones());
    std::vector<double> ratios{1.0};
    for (int k = 0; static_cast<int>(ratios.size()) < nVoices; ++k)
        ratios.push_back(table[static_cast<size_t>(k % kVoiceCount)]);
    ratios.resize(static_cast<size_t>(nVoices));

    CToneOutput out;
    SOscSettings settings;
    settings.nSynthMode = static_cast<int32_t>(state.range(1));
    out.Sound(settings, ratios);
    std::vector<float> stereo(2 * kBufferFrames);
    int64_t nFrames = 0;
    const auto tStart = std::chrono::steady_clock::now();
    for (auto _ : state)
    {
        out.Mix(stereo.data(), kBufferFrames);
        benchmark::DoNotOptimize(stereo.data());
        nFrames += kBufferFrames;
    }
    const double dSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - tStart).count();
    const double dAudio = static_cast<double>(nFrames) / kToneRate;
    state.counters["core_pct"] = 100.0 * dSeconds / dAudio;
    state.counters["core_pct_per_voice"] = 100.0 * dSeconds / dAudio / nVoices;
    state.SetLabel(settings.nSynthMode == 0 ? "formula A" : "formula B");
}
} // namespace

BENCHMARK(BM_OscillatorVoices)->ArgsProduct({{1, 8, 47}, {0, 1}})->MinTime(2.0);

BENCHMARK_MAIN();
