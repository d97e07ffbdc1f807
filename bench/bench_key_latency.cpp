// From a key event reaching the live play window to the note's first sample in the built-in
// synthesizer's output, with the default settings: the live window on the program's own outputs
// (FluidSynth with the system SoundFont, the one SDL2 stream), Z pressed 40 times with the
// stream at a different point of its buffer each time. BM_KeyToFirstOscillatorSample does the
// same in DirectX mode, where Z sounds a voice of the window's oscillator in the same stream
// (440 Hz, volume 1, formula "A", "Sin", set in memory only).
//
// Two sources around the synthesizer in the stream tell when each buffer's render starts and
// ends and whether the note is in it. The figures per press:
//   output_ms: key event to the note's first sample leaving for the device. The stream asks
//              for a buffer while the one before it plays, so a buffer begins to sound one
//              buffer after its render started: wait for the render + buffer + the sample's
//              place in its buffer.
//   stream_ms: key event to the end of the render that holds the note (the sample exists).
//   render_us: the synthesizer's render of one buffer.
// Without a sound card (or with SDL_AUDIODRIVER=dummy) the stream is our own, paced by the steady
// clock at the true rate: SDL's dummy driver would run its callbacks about 1.37 times too fast
// and make these figures look better than any sound card could.
#include "app/Settings.h"
#include "keyboard/KeyLayout.h"
#include "keyboard/NoteKeyboardWnd.h"
#include "keyboard/PlaysDlg.h"
#include "platform/AudioOut.h"
#include "platform/sdl/SdlAudioOut.h"
#include "platform/std/SteadyClock.h"
#include "platform/xdg/FileRegistryStore.h"
#include "sound/ProgramOutputs.h"

#include "bench/OnsetProbe.h"
#include "bench/QtBenchMain.h"
#include "bench/TimingStats.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QKeyEvent>

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
constexpr int kPresses = 40;
constexpr quint32 kScanZ = 52; // X11 key code of Z

// Waits, keeping the window's events going, until fDone holds; false after nMs.
template <typename F> bool WaitFor(F fDone, int nMs)
{
    const Clock::time_point tGiveUp = Clock::now() + std::chrono::milliseconds(nMs);
    while (!fDone())
    {
        if (Clock::now() > tGiveUp)
            return false;
        QCoreApplication::processEvents();
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    return true;
}

void SendZ(QWidget* pTo, QEvent::Type eType)
{
    QKeyEvent event(eType, Qt::Key_Z, Qt::NoModifier, kScanZ, 0, 0, QStringLiteral("z"));
    QApplication::sendEvent(pTo, &event);
}

void MeasureKeyToFirstSample(benchmark::State& state, bool bDirectX)
{
    // The program's own services, as main() makes them; the settings as a first start has them
    // (device 0, the built-in synthesizer), the SoundFont as the user chose it.
    CStderrPrompter prompter;
    CFileRegistryStore registry(CFileRegistryStore::DefaultUserFolder(),
                                CFileRegistryStore::DefaultMachineFolder());
    CSettings settings(registry, prompter);
    if (bDirectX)
    {
        // In memory only: the user's settings file is not written.
        settings.MusicType = 1;
        settings.Frequency = 440;
        settings.Volume = 1;
        settings.SynthMode = 0;
        settings.OscilatorMode = 0; // no key: the level of silence
    }
    CProgramOutputs outputs([&settings](FAudioOutFactory fAudioOut)
                            { return MakeSettingsMidiOut(std::move(fAudioOut), settings); });
    const SServices services = outputs.Services(prompter, registry);
    // The stream opens with the first source; the synthesizer joins it when the window opens
    // device 0, and the probe after it.
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
        if (!dlg.OnInitDialog())
        {
            state.SkipWithError("the built-in synthesizer did not open");
            break;
        }
        if (bDirectX && !dlg.ToneOutput())
        {
            state.SkipWithError("the oscillator did not join the stream");
            break;
        }
        pStream->AddSource(&probe);
        dlg.show();
        QWidget* pKeys = dlg.Keyboard();

        std::vector<double> arrOutputMs, arrStreamMs;
        int nFrames = 0;
        uint32_t nSeed = 7;
        for (int i = 0; i < kPresses; ++i)
        {
            if (!WaitFor([&] { return probe.m_nQuiet >= kQuietBuffers; }, 10000))
            {
                state.SkipWithError("the stream never fell silent");
                break;
            }
            // A different point of the stream's buffer each time.
            nSeed = nSeed * 1103515245u + 12345u;
            std::this_thread::sleep_for(std::chrono::microseconds((nSeed >> 16) % 6000));
            probe.Arm();
            const Clock::time_point tKey = Clock::now();
            SendZ(pKeys, QEvent::KeyPress);
            SOnset onset;
            if (!WaitFor([&] { return probe.Found(onset); }, 2000))
            {
                state.SkipWithError("the note never sounded");
                break;
            }
            SendZ(pKeys, QEvent::KeyRelease);
            nFrames = onset.nFrames;
            arrOutputMs.push_back(Ms(FirstSampleSounds(onset) - tKey));
            arrStreamMs.push_back(Ms(onset.tRenderEnd - tKey));
        }
        dlg.reject();
        pStream->RemoveSource(&probe);
        if (arrOutputMs.size() != static_cast<size_t>(kPresses))
            break;

        std::vector<double> arrRenderUs;
        for (int64_t n : probe.RenderNs())
            arrRenderUs.push_back(static_cast<double>(n) / 1000.0);
        state.counters["output_mean_ms"] = Mean(arrOutputMs);
        state.counters["output_p50_ms"] = Percentile(arrOutputMs, 0.5);
        state.counters["output_p95_ms"] = Percentile(arrOutputMs, 0.95);
        state.counters["output_max_ms"] = *std::max_element(arrOutputMs.begin(), arrOutputMs.end());
        state.counters["output_min_ms"] = *std::min_element(arrOutputMs.begin(), arrOutputMs.end());
        state.counters["stream_mean_ms"] = Mean(arrStreamMs);
        state.counters["stream_max_ms"] = *std::max_element(arrStreamMs.begin(), arrStreamMs.end());
        state.counters["render_mean_us"] = Mean(arrRenderUs);
        state.counters["render_p99_us"] = Percentile(arrRenderUs, 0.99);
        state.counters["buffer_frames"] = nFrames;
        state.counters["buffer_ms"] = 1000.0 * nFrames / kMixRate;
    }
    pStream->RemoveSource(&start);
}
void BM_KeyToFirstSample(benchmark::State& state)
{
    MeasureKeyToFirstSample(state, false);
}

void BM_KeyToFirstOscillatorSample(benchmark::State& state)
{
    MeasureKeyToFirstSample(state, true);
}
} // namespace

BENCHMARK(BM_KeyToFirstSample)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();
BENCHMARK(BM_KeyToFirstOscillatorSample)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

int main(int argc, char** argv)
{
    return RunQtBenchmarks(argc, argv);
}
