// Timing of the project player in real time and speed of the offline render.
// BM_PlaybackTiming plays 1,000 events with delays of 0 to 120 ms through the recorder output on
// the steady clock, and reports each message's lateness against the schedule (start + delays):
// median, 99th percentile, maximum, and the drift at the end (the last message's lateness).
// BM_PlaybackTimingUnderLoad does the same while two busy threads of its own keep both cores of a
// small machine occupied, without (0) and with (1) the player's request for real-time scheduling.
// BM_ClockFloor measures the clock alone, to tell the machine's part from the player's.
// BM_Render renders the same project through FluidSynth and reports the multiple of real time.
#include "platform/ThreadPriority.h"
#include "platform/fluidsynth/FluidSynth.h"
#include "platform/sndfile/WavFileWriter.h"
#include "platform/std/SteadyClock.h"
#include "project/ProjectPlayer.h"
#include "sound/PlayerThread.h"
#include "sound/ProjectRender.h"
#include "tests/RecorderMidiOut.h"

#include "bench/TimingStats.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <filesystem>
#include <thread>
#include <vector>

using std::chrono::nanoseconds;

namespace
{
constexpr int kEvents = 1000;

// Notes on and off with delays of 0 to 120 ms, the same every run.
std::vector<uint8_t> MakeProject(std::vector<int64_t>& arrScheduleMs)
{
    std::vector<uint8_t> project = MakeHeader(1);
    uint32_t nSeed = 12345;
    int64_t nSum = 0;
    for (int i = 0; i < kEvents; ++i)
    {
        nSeed = nSeed * 1103515245u + 12345u;
        const int32_t nDelay = static_cast<int32_t>((nSeed >> 16) % 121);
        const uint32_t nNote = 48 + static_cast<uint32_t>(i / 2 % 24);
        AppendEventRecord(project, nDelay, i % 2 == 0 ? 0x640090u | nNote << 8 : 0x80u | nNote << 8);
        nSum += nDelay;
        arrScheduleMs.push_back(nSum);
    }
    return project;
}

// The steady clock, noting its first reading: the player takes its start time with it.
class CStartNotingClock : public CSteadyClock
{
  public:
    nanoseconds Now() override
    {
        const nanoseconds t = CSteadyClock::Now();
        if (m_tFirst.count() == 0)
            m_tFirst = t;
        return t;
    }
    nanoseconds m_tFirst{0};
};

// One playing of the project on the player thread; each message's lateness against its schedule.
bool PlayAndMeasure(const std::vector<uint8_t>& project, const std::vector<int64_t>& arrScheduleMs,
                    bool bRealtime, std::vector<double>& arrLateUs)
{
    CStartNotingClock clock;
    CRecorderMidiOut recorder(clock);
    CStderrPrompter prompter;
    CProjectPlayer player(prompter);
    player.SetData(project);
    {
        CPlayerThread thread(player, recorder, clock, bRealtime);
        thread.Start(0);
        thread.Join();
    }
    const std::vector<SSent> arrSent = recorder.Sent();
    // Every message of the project, then the silencing at its end.
    if (arrSent.size() < arrScheduleMs.size())
        return false;
    arrLateUs.clear();
    for (size_t i = 0; i < arrScheduleMs.size(); ++i)
    {
        const nanoseconds tDue = clock.m_tFirst + std::chrono::milliseconds(arrScheduleMs[i]);
        arrLateUs.push_back(std::chrono::duration<double, std::micro>(arrSent[i].tTime - tDue).count());
    }
    return true;
}

void BM_PlaybackTiming(benchmark::State& state)
{
    std::vector<int64_t> arrScheduleMs;
    const std::vector<uint8_t> project = MakeProject(arrScheduleMs);
    for (auto _ : state)
    {
        std::vector<double> arrLateUs;
        if (!PlayAndMeasure(project, arrScheduleMs, true, arrLateUs))
        {
            state.SkipWithError("the player did not send every message");
            return;
        }
        ReportLateness(state, arrLateUs, static_cast<double>(arrScheduleMs.back()) / 1000.0);
    }
}

// range(0): 1 when the player asks for real-time scheduling.
void BM_PlaybackTimingUnderLoad(benchmark::State& state)
{
    std::vector<int64_t> arrScheduleMs;
    const std::vector<uint8_t> project = MakeProject(arrScheduleMs);
    const bool bRealtime = state.range(0) == 1;
    bool bGranted = false;
    if (bRealtime)
        std::thread([&bGranted] { bGranted = RequestRealtimePriority(kPlayerPriority); }).join();
    for (auto _ : state)
    {
        // Two threads that never sleep: on a two-core machine the player competes for a core.
        std::atomic<bool> bStop{false};
        std::vector<std::thread> arrBusy;
        for (int i = 0; i < 2; ++i)
            arrBusy.emplace_back(
                [&bStop]
                {
                    volatile uint64_t nSpin = 0;
                    while (!bStop.load(std::memory_order_relaxed))
                        nSpin = nSpin + 1;
                });
        std::vector<double> arrLateUs;
        const bool bPlayed = PlayAndMeasure(project, arrScheduleMs, bRealtime, arrLateUs);
        bStop = true;
        for (std::thread& busy : arrBusy)
            busy.join();
        if (!bPlayed)
        {
            state.SkipWithError("the player did not send every message");
            return;
        }
        ReportLateness(state, arrLateUs, static_cast<double>(arrScheduleMs.back()) / 1000.0);
        state.counters["realtime_granted"] = bGranted ? 1 : 0;
    }
}

// The floor under those figures: the clock's own exact sleeps, 400 of 5 to 24 ms, with no
// player around them. Late wake-ups here are the machine's (a virtual machine's host taking
// the processor away), not the player's.
void BM_ClockFloor(benchmark::State& state)
{
    for (auto _ : state)
    {
        CSteadyClock clock;
        const std::atomic<bool> bNeverCut{false}; // as the player sleeps: a stop may cut it short
        std::vector<double> arrLateUs;
        for (int i = 0; i < 400; ++i)
        {
            const nanoseconds tWake = clock.Now() + std::chrono::milliseconds(5 + i % 20);
            clock.SleepUntilExactly(tWake, &bNeverCut);
            arrLateUs.push_back(std::chrono::duration<double, std::micro>(clock.Now() - tWake).count());
        }
        state.counters["median_us"] = Percentile(arrLateUs, 0.5);
        state.counters["p99_us"] = Percentile(arrLateUs, 0.99);
        state.counters["max_us"] = *std::max_element(arrLateUs.begin(), arrLateUs.end());
    }
}

class CNullWriter : public IAudioFileWriter
{
  public:
    bool Write(const float*, int) override { return true; }
    bool Close() override { return true; }
};

// range(0): 0 renders into nothing (the synthesizer alone), 1 into a WAV file.
void BM_Render(benchmark::State& state)
{
    CStderrPrompter prompter;
    std::vector<int64_t> arrScheduleMs;
    const std::vector<uint8_t> project = MakeProject(arrScheduleMs);
    std::unique_ptr<CFluidSynth> pSynth = CFluidSynth::Create(kSystemSoundFont);
    if (!pSynth)
    {
        state.SkipWithError("no SoundFont");
        return;
    }
    const std::string strWav =
        (std::filesystem::temp_directory_path() / "tonegrove-bench-render.wav").string();
    int64_t nFrames = 0;
    for (auto _ : state)
    {
        std::string strError;
        std::unique_ptr<IAudioFileWriter> pWriter;
        if (state.range(0) == 1)
            pWriter = CWavFileWriter::Create(strWav, kSynthRate, strError);
        else
            pWriter = std::make_unique<CNullWriter>();
        nFrames = RenderProject(prompter, project, *pSynth, *pWriter, kSynthRate, {}).nFrames;
        pWriter->Close();
    }
    std::filesystem::remove(strWav);
    const double fAudioSeconds = static_cast<double>(nFrames) / kSynthRate;
    // Seconds of sound per second of work: the multiple of real time.
    state.counters["x_realtime"] = benchmark::Counter(fAudioSeconds * static_cast<double>(state.iterations()),
                                                      benchmark::Counter::kIsRate);
    state.counters["audio_s"] = fAudioSeconds;
}
} // namespace

BENCHMARK(BM_PlaybackTiming)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();
BENCHMARK(BM_PlaybackTimingUnderLoad)->Arg(0)->Arg(1)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();
BENCHMARK(BM_ClockFloor)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();
BENCHMARK(BM_Render)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_MAIN();
