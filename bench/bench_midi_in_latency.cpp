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

#include "bench/OnsetProbe.h"
#include "bench/QtBenchMain.h"
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

using namespace bench;

namespace
{
constexpr int kNotes = 200;

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
        CPlaysDlg dlg({}, settings, services, KeyPictureFolder(services.dataFolder));
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
            probe.Reset();
            Clock::time_point tArrival;
            // The input's own thread, while the window thread sits in its event loop.
            std::thread sender(
                [&]
                {
                    std::this_thread::sleep_for(tWait);
                    // Armed only now: nothing the stream mixed before the message can count.
                    probe.Arm();
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
            arrOutputMs.push_back(Ms(FirstSampleSounds(onset) - tArrival));
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
    return RunQtBenchmarks(argc, argv);
}
