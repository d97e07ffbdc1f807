#include "cli/RenderCommand.h"

#include "app/Settings.h"
#include "cli/CliFiles.h"
#include "platform/Console.h"
#include "platform/TerminationSignals.h"
#include "platform/fluidsynth/FluidSynth.h"
#include "platform/sndfile/WavFileWriter.h"
#include "project/ProjectPlayer.h"
#include "sound/MidiFile.h"
#include "sound/ProjectRender.h"
#include "sound/SoundFontChoice.h"

#include <algorithm>
#include <cstdio>
#include <string>

namespace
{
// Projects at least this long show a progress bar on a terminal.
constexpr int32_t kLongProjectMs = 10000;

void DrawBar(int64_t nDoneMs, int64_t nTotalMs)
{
    constexpr int kWidth = 40;
    const int64_t nPercent = nTotalMs > 0 ? std::min<int64_t>(100, nDoneMs * 100 / nTotalMs) : 100;
    char bar[kWidth + 1];
    for (int i = 0; i < kWidth; ++i)
        bar[i] = i < nPercent * kWidth / 100 ? '#' : '.';
    bar[kWidth] = '\0';
    std::fprintf(stderr, "\r[%s] %3lld%%", bar, static_cast<long long>(nPercent));
    std::fflush(stderr);
}
} // namespace

int RunRender(const std::string& strPath, const std::string& strOut, const std::string& strSoundFont,
              const CSettings& settings, IPrompter& prompter)
{
    // Ctrl+C or SIGTERM stops the render where it is, and the file is finished as far as it got;
    // one that comes while the SoundFont loads stops it before the first frame.
    CTerminationSignals signals;
    const ECliFileKind eKind = CliFileKind(strPath);
    if (eKind == ECliFileKind::Wav)
    {
        std::fprintf(stderr, "%s: a WAV file is sound already; render takes projects and MID files\n",
                     strPath.c_str());
        return 1;
    }
    std::vector<uint8_t> bytes;
    if (!ReadForCli(strPath, bytes))
        return 1;
    int64_t nTotal = 0;
    SMidiFile midiFile;
    if (eKind == ECliFileKind::Midi)
    {
        std::string strError;
        if (!ReadMidiFile(bytes, midiFile, strError))
        {
            std::fprintf(stderr, "%s: %s\n", strPath.c_str(), strError.c_str());
            return 2;
        }
        nTotal = midiFile.nLengthMs;
    }
    else
    {
        CProjectPlayer project(prompter);
        project.SetData(bytes);
        if (!project.ComputeTotal())
            return 2;
        nTotal = project.m_nTotal;
    }
    if (nTotal > kMaxRenderMs)
    {
        std::fprintf(stderr, "%s: too long for a WAV file\n", strPath.c_str());
        return 1;
    }

    // A SoundFont named on the command line is the one wanted, or none; the built-in
    // synthesizer's own choice falls back to the system's General MIDI SoundFont, as it does live.
    std::unique_ptr<CFluidSynth> pSynth;
    if (!strSoundFont.empty())
    {
        pSynth = CFluidSynth::Create(strSoundFont, kSynthRate);
        if (!pSynth)
        {
            std::fprintf(stderr, "%s: cannot be loaded as a SoundFont\n", strSoundFont.c_str());
            return 1;
        }
    }
    else
    {
        pSynth = CreateSynthWithFallback(ChooseSoundFont(settings), kSystemSoundFont,
                                         [](const std::string& strText)
                                         { std::fprintf(stderr, "Tonegrove: %s\n", strText.c_str()); });
        if (!pSynth)
            return 1;
    }
    std::string strError;
    std::unique_ptr<CWavFileWriter> pWriter = CWavFileWriter::Create(strOut, kSynthRate, strError);
    if (!pWriter)
    {
        std::fprintf(stderr, "%s: %s\n", strOut.c_str(), strError.c_str());
        return 1;
    }

    const bool bBar = nTotal >= kLongProjectMs && IsTerminal(stderr);
    std::function<void(int64_t)> fProgress;
    if (bBar)
        fProgress = [nTotal](int64_t nDoneMs) { DrawBar(nDoneMs, nTotal); };
    const std::function<bool()> fCancel = [&signals] { return signals.Seen() != 0; };
    const SRenderResult result =
        eKind == ECliFileKind::Midi
            ? RenderMidiFile(midiFile, *pSynth, *pWriter, kSynthRate, fProgress, kMaxRenderMs, fCancel)
            : RenderProject(prompter, bytes, *pSynth, *pWriter, kSynthRate, fProgress, kMaxRenderMs, fCancel,
                            OscSettingsOf(settings));
    if (bBar)
    {
        if (!result.bCancelled)
            DrawBar(nTotal, nTotal);
        std::fprintf(stderr, "\n");
    }
    if (result.bCancelled)
    {
        const bool bClosed = pWriter->Close();
        std::fprintf(
            stderr, "%s: stopped; %s\n", strOut.c_str(),
            bClosed ? ("it holds the first " + std::to_string(result.nFrames / kSynthRate) + " s").c_str()
                    : "it could not be finished and is damaged");
        return CTerminationSignals::ExitCode(signals.Seen());
    }
    if (result.bTooLong)
    {
        std::fprintf(stderr, "%s: too long for a WAV file; it holds the first six hours\n", strPath.c_str());
        pWriter->Close();
        return 1;
    }
    if (!pWriter->Close() || result.bWriteFailed)
    {
        std::fprintf(stderr, "%s: the file could not be written whole\n", strOut.c_str());
        return 1;
    }
    std::printf("%s: %lld frames at %d Hz\n", strOut.c_str(), static_cast<long long>(result.nFrames),
                kSynthRate);
    std::fflush(stdout);
    return result.eEnd == EPlayEnd::Damaged || result.eEnd == EPlayEnd::Refused ? 2 : 0;
}
