// Timing of the media devices in real time.
// BM_WavPosition plays a WAV whose samples count their own frame through the real audio stream
// (where there is no sound card, our own stream paced by the steady clock) and polls "status position" as the
// player thread does, every 10 ms. Each poll is compared with the sample clock, the last frame the stream
// actually took (read from the mixed samples by a tap behind the file), and with the wall clock since the
// play command: median, 99th percentile and maximum of |error|, and the drift at the end. BM_SequencerTiming
// plays a MIDI file of 1,000 messages with gaps of 0 to 120 ms and a tempo change halfway through the
// recorder output on the steady clock, and reports each message's lateness against the file's schedule (start
// + the message's time from the tempo map), as bench_playback does for projects.
#include "platform/sdl/SdlAudioOut.h"
#include "platform/sndfile/SndfileWavReader.h"
#include "platform/std/SteadyClock.h"
#include "sound/MciInterpreter.h"
#include "sound/MidiFile.h"
#include "tests/MediaFixtures.h"
#include "tests/RecorderMidiOut.h"

#include "bench/TimingStats.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <filesystem>
#include <thread>
#include <vector>

using std::chrono::nanoseconds;

namespace
{

std::string TempPath(const char* pszName)
{
    return (std::filesystem::temp_directory_path() / pszName).string();
}

// 16-bit stereo at 44100 Hz whose frame k holds k: the left sample the low 15 bits, the right
// one the rest, so that what reaches the stream tells which frame it is.
void WriteCountingWav(const std::string& strPath, uint32_t nFrames)
{
    TBytes out = MakeWav({44100, 2, 16, nFrames});
    const size_t nData = out.size() - size_t(nFrames) * 4;
    for (uint32_t k = 0; k < nFrames; ++k)
    {
        const uint16_t nLow = uint16_t(k & 0x7FFF);
        const uint16_t nHigh = uint16_t(k >> 15);
        uint8_t* p = out.data() + nData + size_t(k) * 4;
        p[0] = uint8_t(nLow), p[1] = uint8_t(nLow >> 8), p[2] = uint8_t(nHigh), p[3] = uint8_t(nHigh >> 8);
    }
    WriteBytes(strPath, out);
}

// Mixed in after the file: reads back the frame number of the last frame of each buffer.
class CFrameTap : public IAudioSource
{
  public:
    void Mix(float* pStereo, int nFrames) override
    {
        const float* pLast = pStereo + (nFrames - 1) * 2;
        const int64_t nLow = std::lround(pLast[0] * 32768.0f);
        const int64_t nHigh = std::lround(pLast[1] * 32768.0f);
        if (nLow != 0 || nHigh != 0)
            m_nLastFrame = nHigh << 15 | nLow;
        ++m_nBuffers;
    }
    std::atomic<int64_t> m_nLastFrame{-1};
    std::atomic<int64_t> m_nBuffers{0};
};

// The stream with the tap always mixed last.
class CTappedOut : public IAudioOut
{
  public:
    explicit CTappedOut(std::shared_ptr<IAudioOut> pOut) : m_pOut(std::move(pOut)) {}
    bool AddSource(IAudioSource* pSource) override
    {
        m_pOut->RemoveSource(&m_tap);
        return m_pOut->AddSource(pSource) && m_pOut->AddSource(&m_tap);
    }
    void RemoveSource(IAudioSource* pSource) override
    {
        m_pOut->RemoveSource(pSource);
        m_pOut->RemoveSource(&m_tap);
    }
    std::shared_ptr<IAudioOut> m_pOut;
    CFrameTap m_tap;
};

void BM_WavPosition(benchmark::State& state)
{
    const uint32_t kFrames = 44100 * 20;
    const std::string strPath = TempPath("tonegrove-bench-position.wav");
    WriteCountingWav(strPath, kFrames);
    CSharedSdlAudioOut audioOut;
    for (auto _ : state)
    {
        auto pTapped = std::make_shared<CTappedOut>(audioOut.Get());
        SMediaBackends backends;
        backends.fAudioOut = [pTapped] { return pTapped; };
        backends.fOpenWav = OpenSndfileWav;
        CMciInterpreter layer(std::move(backends));
        std::string strReply;
        layer.Send("open " + strPath + " type waveaudio alias mus0", strReply);
        const auto tPlay = std::chrono::steady_clock::now();
        if (layer.Send("play mus0", strReply) != 0)
        {
            state.SkipWithError("no audio stream");
            return;
        }
        std::vector<double> arrSampleMs, arrWallMs;
        for (;;)
        {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            // A buffer mixed between the two readings would mix two clocks up: read again.
            int64_t nFrame = 0;
            double fPosition = 0;
            bool bSteady = false;
            for (int nTry = 0; nTry < 5 && !bSteady; ++nTry)
            {
                const int64_t nBuffers = pTapped->m_tap.m_nBuffers;
                nFrame = pTapped->m_tap.m_nLastFrame;
                layer.Send("status mus0 position", strReply);
                fPosition = std::stod(strReply);
                bSteady = nBuffers == pTapped->m_tap.m_nBuffers;
            }
            layer.Send("status mus0 mode", strReply);
            if (strReply != "playing")
                break;
            if (!bSteady || nFrame < 0)
                continue;
            const double fWall =
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - tPlay).count();
            arrSampleMs.push_back(fPosition - double(nFrame + 1) * 1000.0 / 44100.0);
            arrWallMs.push_back(fPosition - fWall);
        }
        layer.Send("close mus0", strReply);
        if (arrSampleMs.empty())
        {
            state.SkipWithError("no poll saw the stream playing");
            return;
        }
        auto Abs = [](std::vector<double> arr)
        {
            for (double& f : arr)
                f = std::fabs(f);
            return arr;
        };
        const std::vector<double> arrSampleAbs = Abs(arrSampleMs);
        const std::vector<double> arrWallAbs = Abs(arrWallMs);
        state.counters["polls"] = double(arrSampleMs.size());
        state.counters["sample_median_ms"] = Percentile(arrSampleAbs, 0.5);
        state.counters["sample_p99_ms"] = Percentile(arrSampleAbs, 0.99);
        state.counters["sample_max_ms"] = *std::max_element(arrSampleAbs.begin(), arrSampleAbs.end());
        state.counters["wall_median_ms"] = Percentile(arrWallAbs, 0.5);
        state.counters["wall_p99_ms"] = Percentile(arrWallAbs, 0.99);
        state.counters["wall_max_ms"] = *std::max_element(arrWallAbs.begin(), arrWallAbs.end());
        state.counters["wall_drift_end_ms"] = arrWallMs.back();
    }
    std::filesystem::remove(strPath);
}

// The steady clock, noting its first reading: the sequencer takes its start time with it.
class CStartNotingClock : public CSteadyClock
{
  public:
    nanoseconds Now() override
    {
        const nanoseconds t = CSteadyClock::Now();
        nanoseconds tZero{0};
        m_tFirst.compare_exchange_strong(tZero, t);
        return t;
    }
    std::atomic<nanoseconds> m_tFirst{nanoseconds(0)};
};

// 1,000 notes on and off, gaps of 0 to 120 ticks; 480 ticks a quarter at 480,000 us (a tick is a
// millisecond), then from the 500th message on at 240,000 us (half a millisecond).
TBytes MakeSchedule()
{
    CMidiTrack track;
    track.Tempo(0, 480000);
    uint32_t nSeed = 12345;
    for (int i = 0; i < 1000; ++i)
    {
        nSeed = nSeed * 1103515245u + 12345u;
        const uint32_t nGap = (nSeed >> 16) % 121;
        const uint8_t nNote = uint8_t(48 + i / 2 % 24);
        if (i == 500)
            track.Tempo(nGap, 240000), track.Event(0, {0x90, nNote, 100});
        else if (i % 2 == 0)
            track.Event(nGap, {0x90, nNote, 100});
        else
            track.Event(nGap, {0x80, nNote, 0});
    }
    track.End(0);
    return MakeMidi(0, 480, {track});
}

void BM_SequencerTiming(benchmark::State& state)
{
    const std::string strPath = TempPath("tonegrove-bench-sequencer.mid");
    const TBytes bytes = MakeSchedule();
    WriteBytes(strPath, bytes);
    SMidiFile file;
    std::string strError;
    if (!ReadMidiFile(bytes, file, strError))
    {
        state.SkipWithError(strError.c_str());
        return;
    }
    for (auto _ : state)
    {
        auto pClock = std::make_shared<CStartNotingClock>();
        auto pRecorder = std::make_shared<CRecorderMidiOut>(*pClock);
        SMediaBackends backends;
        backends.fMidiOut = [pRecorder] { return pRecorder; };
        backends.fClock = [pClock] { return pClock; };
        CMciInterpreter layer(std::move(backends));
        std::string strReply;
        layer.Send("open " + strPath + " type sequencer alias mus0", strReply);
        layer.Send("play mus0", strReply);
        do
        {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            layer.Send("status mus0 mode", strReply);
        } while (strReply == "playing");
        layer.Send("close mus0", strReply);

        const std::vector<SSent> arrSent = pRecorder->Sent();
        if (arrSent.size() < file.events.size())
        {
            state.SkipWithError("the sequencer did not send every message");
            return;
        }
        std::vector<double> arrLateUs;
        for (size_t i = 0; i < file.events.size(); ++i)
        {
            const nanoseconds tDue =
                pClock->m_tFirst.load() + std::chrono::microseconds(file.events[i].nTimeUs);
            arrLateUs.push_back(std::chrono::duration<double, std::micro>(arrSent[i].tTime - tDue).count());
        }
        ReportLateness(state, arrLateUs, static_cast<double>(file.nLengthUs) / 1e6);
    }
    std::filesystem::remove(strPath);
}
} // namespace

BENCHMARK(BM_WavPosition)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();
BENCHMARK(BM_SequencerTiming)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();
BENCHMARK_MAIN();
