#include "cli/RenderCommand.h"

#include "cli/CliFiles.h"
#include "platform/Console.h"
#include "platform/FluidSynth.h"
#include "platform/WavFileWriter.h"
#include "project/ProjectPlayer.h"
#include "sound/ProjectRender.h"
#include "sound/SoundFontChoice.h"

#include <algorithm>
#include <cstdio>

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

int RunRender(const std::string& strPath, const std::string& strOut, const std::string& strSoundFont)
{
    std::vector<uint8_t> bytes;
    if (!ReadForCli(strPath, bytes))
        return 1;
    CProjectPlayer project;
    project.SetData(bytes);
    if (!project.ComputeTotal())
        return 2;
    if (project.m_nTotal > kMaxRenderMs)
    {
        std::fprintf(stderr, "%s: too long for a WAV file\n", strPath.c_str());
        return 1;
    }

    const std::string strFont = strSoundFont.empty() ? ChooseSoundFont() : strSoundFont;
    std::unique_ptr<CFluidSynth> pSynth = CFluidSynth::Create(strFont, kSynthRate);
    if (!pSynth)
    {
        std::fprintf(stderr, "%s: cannot be loaded as a SoundFont\n", strFont.c_str());
        return 1;
    }
    std::string strError;
    std::unique_ptr<CWavFileWriter> pWriter = CWavFileWriter::Create(strOut, kSynthRate, strError);
    if (!pWriter)
    {
        std::fprintf(stderr, "%s: %s\n", strOut.c_str(), strError.c_str());
        return 1;
    }

    const bool bBar = project.m_nTotal >= kLongProjectMs && IsTerminal(stderr);
    const int64_t nTotal = project.m_nTotal;
    std::function<void(int64_t)> fProgress;
    if (bBar)
        fProgress = [nTotal](int64_t nDoneMs) { DrawBar(nDoneMs, nTotal); };
    const SRenderResult result = RenderProject(bytes, *pSynth, *pWriter, kSynthRate, fProgress);
    if (bBar)
    {
        DrawBar(nTotal, nTotal);
        std::fprintf(stderr, "\n");
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
    std::printf("%s: %lld frames at %d Hz\n", strOut.c_str(), static_cast<long long>(result.nFrames), kSynthRate);
    std::fflush(stdout);
    return result.eEnd == EPlayEnd::Damaged || result.eEnd == EPlayEnd::Refused ? 2 : 0;
}
