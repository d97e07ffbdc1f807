// From a message's arrival at the live window's MIDI input to the note's first sample in the
// built-in synthesizer's output: the live window on the program's own outputs (FluidSynth with
// the system SoundFont, the one SDL2 stream), its input a double that delivers each message on a
// thread of its own, as RtMidi's input thread does, while the window thread waits in its event
// loop; 200 notes, each at a different point of the stream's buffer.
//
// The figures per note, as in bench_key_latency:
//   output_ms: arrival to the note's first sample leaving for the device (the render's start +
//              one buffer + the sample's place in its buffer).
//   stream_ms: arrival to the end of the render that holds the note.
// Without a sound card the stream is our own, paced by the steady clock at the true rate.
// Where the system has an ALSA sequencer a virtual port could feed the real input instead; the
// hand-over from the input's thread on is the same code either way.
#include "app/Settings.h"
#include "keyboard/KeyLayout.h"
#include "keyboard/PlaysDlg.h"
#include "platform/AudioOut.h"
#include "platform/sdl/SdlAudioOut.h"
#include "platform/std/SteadyClock.h"
#include "platform/xdg/FileRegistryStore.h"
#include "sound/ProgramOutputs.h"
#include "tests/MidiInDouble.h"

#include "bench/TimingStats.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <mutex>
#include <thread>
#include <vector>

using Clock = std::chrono::steady_clock;

namespace
{
constexpr int kNotes = 200;
// Below -80 dBFS counts as silence: the reverb's tail of the note before decays under it.
constexpr float kQuiet = 1e-4f;
// Buffers in a row below kQuiet before the next press.
constexpr int kQuietBuffers = 20;

// First in the stream: notes when a buffer's render begins.
class CRenderStart : public IAudioSource
{
  public:
    void Mix(float*, int) override { m_tStart.store(Clock::now()); }
    std::atomic<Clock::time_point> m_tStart{};
};

struct SOnset
{
    Clock::time_point tRenderStart;
    Clock::time_point tRenderEnd;
    int nFrame = 0;  // the first sample of the note inside its buffer
    int nFrames = 0; // the buffer's length
};

// Last in the stream: sees what the synthesizer has just mixed in.
class COnsetProbe : public IAudioSource
{
  public:
    explicit COnsetProbe(const CRenderStart& start) : m_start(start) {}

    void Mix(float* pStereo, int nFrames) override
    {
        const Clock::time_point tEnd = Clock::now();
        int nFirst = -1;
        for (int i = 0; i < nFrames && nFirst < 0; ++i)
            if (std::fabs(pStereo[2 * i]) > kQuiet || std::fabs(pStereo[2 * i + 1]) > kQuiet)
                nFirst = i;
        m_nQuiet = nFirst < 0 ? m_nQuiet + 1 : 0;
        const int64_t nRenderNs =
            std::chrono::duration_cast<std::chrono::nanoseconds>(tEnd - m_start.m_tStart.load()).count();
        std::lock_guard lock(m_mutex);
        m_arrRenderNs.push_back(nRenderNs);
        if (m_bArmed && nFirst >= 0)
        {
            m_onset = {m_start.m_tStart.load(), tEnd, nFirst, nFrames};
            m_bArmed = false;
            m_bFound = true;
        }
    }

    void Arm()
    {
        std::lock_guard lock(m_mutex);
        m_bArmed = true;
        m_bFound = false;
    }
    bool Found(SOnset& onset)
    {
        std::lock_guard lock(m_mutex);
        onset = m_onset;
        return m_bFound;
    }
    std::vector<int64_t> RenderNs()
    {
        std::lock_guard lock(m_mutex);
        return m_arrRenderNs;
    }
    std::atomic<int> m_nQuiet{0};

  private:
    const CRenderStart& m_start;
    std::mutex m_mutex;
    bool m_bArmed = false;
    bool m_bFound = false;
    SOnset m_onset;
    std::vector<int64_t> m_arrRenderNs;
};

double Ms(Clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

double Mean(const std::vector<double>& arr)
{
    double f = 0;
    for (double x : arr)
        f += x;
    return f / static_cast<double>(arr.size());
}

constexpr const char* kInput = "Bench Keyboard";
// Note 58 at velocity 127, the note Z plays in bench_key_latency: the figures compare. Other
// notes and softer velocities of the system SoundFont start below the probe's threshold for a
// few milliseconds, which would be counted as latency.
constexpr uint32_t kNote = 0x7F3A90;

// Runs the window thread's event loop, as it runs while the live window is open, until fDone
// holds (looked at every millisecond); false after nMs.
template <typename F> bool LoopUntil(F fDone, int nMs)
{
    QEventLoop loop;
    QTimer poll;
    bool bDone = false;
    QObject::connect(&poll, &QTimer::timeout,
                     [&]
                     {
                         if (fDone())
                         {
                             bDone = true;
                             loop.quit();
                         }
                     });
    QTimer::singleShot(nMs, &loop, &QEventLoop::quit);
    poll.start(1);
    loop.exec();
    return bDone || fDone();
}

void BM_MidiInToFirstSample(benchmark::State& state)
{
    CStderrPrompter prompter;
    CFileRegistryStore registry(CFileRegistryStore::DefaultUserFolder(),
                                CFileRegistryStore::DefaultMachineFolder());
    CSettings settings(registry, prompter);
    settings.MusicType = 0; // in memory only: the user's settings file is not written
    settings.DeviceIndex = 0;
    settings.MidiInName = kInput;
    CProgramOutputs outputs([&settings](FAudioOutFactory fAudioOut)
                            { return MakeSettingsMidiOut(std::move(fAudioOut), settings); });
    SServices services = outputs.Services(prompter, registry);
    CMidiInDouble input({kInput});
    services.midiIn = input.Factory();
    std::shared_ptr<IAudioOut> pStream = outputs.AudioOut().Get();
    CRenderStart start;
    COnsetProbe probe(start);
    if (!pStream->AddSource(&start))
    {
        state.SkipWithError("no audio stream");
        return;
    }
    for (auto _ : state)
    {
        CPlaysDlg dlg({}, settings, services, KeyPictureFolder());
        if (!dlg.OnInitDialog() || !input.IsOpen())
        {
            state.SkipWithError("the built-in synthesizer or the input did not open");
            break;
        }
        pStream->AddSource(&probe);
        dlg.show();
        // No reverb or chorus: the next note starts from silence sooner.
        input.Send(0x005BB0);
        input.Send(0x005DB0);

        std::vector<double> arrOutputMs, arrStreamMs;
        int nFrames = 0;
        uint32_t nSeed = 11;
        for (int i = 0; i < kNotes; ++i)
        {
            if (!LoopUntil([&] { return probe.m_nQuiet >= kQuietBuffers; }, 10000))
            {
                state.SkipWithError("the stream never fell silent");
                break;
            }
            nSeed = nSeed * 1103515245u + 12345u;
            const auto tWait = std::chrono::microseconds((nSeed >> 16) % 6000);
            const uint32_t dwNote = kNote;
            probe.Arm();
            Clock::time_point tArrival;
            // The input's own thread, while the window thread sits in its event loop.
            std::thread sender(
                [&]
                {
                    std::this_thread::sleep_for(tWait);
                    tArrival = Clock::now();
                    input.Send(dwNote);
                });
            SOnset onset;
            const bool bFound = LoopUntil([&] { return probe.Found(onset); }, 2000);
            sender.join();
            input.Send((dwNote & 0xFF00u) | 0x80u);
            input.Send(0x0078B0); // all sound off: nothing rings into the next note
            if (!bFound)
            {
                state.SkipWithError("the note never sounded");
                break;
            }
            nFrames = onset.nFrames;
            const auto tSounds = onset.tRenderStart +
                                 std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(
                                     static_cast<double>(onset.nFrames + onset.nFrame) / kMixRate));
            arrOutputMs.push_back(Ms(tSounds - tArrival));
            arrStreamMs.push_back(Ms(onset.tRenderEnd - tArrival));
        }
        dlg.reject();
        pStream->RemoveSource(&probe);
        if (arrOutputMs.size() != static_cast<size_t>(kNotes))
            break;
        state.counters["notes"] = static_cast<double>(arrOutputMs.size());
        state.counters["output_mean_ms"] = Mean(arrOutputMs);
        state.counters["output_p95_ms"] = Percentile(arrOutputMs, 0.95);
        state.counters["output_max_ms"] = *std::max_element(arrOutputMs.begin(), arrOutputMs.end());
        state.counters["stream_mean_ms"] = Mean(arrStreamMs);
        state.counters["stream_p95_ms"] = Percentile(arrStreamMs, 0.95);
        state.counters["stream_max_ms"] = *std::max_element(arrStreamMs.begin(), arrStreamMs.end());
        state.counters["buffer_frames"] = nFrames;
        state.counters["buffer_ms"] = 1000.0 * nFrames / kMixRate;
    }
    pStream->RemoveSource(&start);
}
} // namespace

BENCHMARK(BM_MidiInToFirstSample)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
