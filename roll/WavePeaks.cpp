#include "roll/WavePeaks.h"

#include <algorithm>
#include <cmath>

namespace
{
int16_t ToSample(float fValue)
{
    if (!(fValue == fValue)) // NaN: a damaged file draws nothing there
        return 0;
    return static_cast<int16_t>(std::lround(std::clamp(fValue, -1.0f, 32767.0f / 32768.0f) * 32768.0f));
}

SPeak Merge(SPeak a, SPeak b)
{
    return {std::min(a.nMin, b.nMin), std::max(a.nMax, b.nMax)};
}

uint64_t BlockFrames(size_t nLevel)
{
    uint64_t nFrames = SWavePeaks::kBaseBlock;
    for (size_t i = 0; i < nLevel; ++i)
        nFrames *= SWavePeaks::kLevelStep;
    return nFrames;
}
} // namespace

SPeak PeakOf(const SWavePeaks& peaks, uint64_t nFromFrame, uint64_t nToFrame)
{
    if (peaks.levels.empty() || nFromFrame >= peaks.nFrames)
        return {};
    nToFrame = std::clamp(nToFrame, nFromFrame + 1, peaks.nFrames);
    const uint64_t nSpan = nToFrame - nFromFrame;
    size_t nLevel = 0;
    while (nLevel + 1 < peaks.levels.size() && BlockFrames(nLevel + 1) <= nSpan)
        ++nLevel;
    const std::vector<SPeak>& level = peaks.levels[nLevel];
    const uint64_t nBlock = BlockFrames(nLevel);
    const size_t nFirst = static_cast<size_t>(nFromFrame / nBlock);
    const size_t nEnd = std::min(level.size(), static_cast<size_t>((nToFrame + nBlock - 1) / nBlock));
    if (nFirst >= nEnd)
        return {};
    SPeak peak = level[nFirst];
    for (size_t i = nFirst + 1; i < nEnd; ++i)
        peak = Merge(peak, level[i]);
    return peak;
}

SWavePeaks ComputeWavePeaks(IWavReader& reader, const std::atomic<bool>& bStop, std::atomic<int>* pPercent)
{
    SWavePeaks peaks;
    peaks.nRate = reader.Rate();
    const int nChannels = std::max(1, reader.Channels());
    const uint64_t nClaimed = reader.Frames();
    constexpr uint64_t kChunk = SWavePeaks::kBaseBlock * 1024;
    std::vector<float> samples(kChunk * static_cast<size_t>(nChannels));
    std::vector<SPeak> base;
    // The block being filled; it may span chunks when a read gives an odd number of frames.
    SPeak current{32767, -32768};
    uint64_t nInBlock = 0;
    if (!reader.Seek(0))
        return peaks;
    while (!bStop)
    {
        const uint64_t nRead = reader.Read(samples.data(), kChunk);
        if (nRead == 0)
            break;
        const float* p = samples.data();
        for (uint64_t nFrame = 0; nFrame < nRead; ++nFrame)
        {
            for (int c = 0; c < nChannels; ++c, ++p)
            {
                const int16_t nSample = ToSample(*p);
                current.nMin = std::min(current.nMin, nSample);
                current.nMax = std::max(current.nMax, nSample);
            }
            if (++nInBlock == SWavePeaks::kBaseBlock)
            {
                base.push_back(current);
                current = {32767, -32768};
                nInBlock = 0;
            }
        }
        peaks.nFrames += nRead;
        if (pPercent && nClaimed > 0)
            *pPercent = static_cast<int>(std::min<uint64_t>(100, peaks.nFrames * 100 / nClaimed));
    }
    if (nInBlock > 0)
        base.push_back(current);
    if (base.empty())
        return peaks;
    peaks.levels.push_back(std::move(base));
    // Coarser levels until one peak holds the whole file.
    while (peaks.levels.back().size() > 1)
    {
        const std::vector<SPeak>& finer = peaks.levels.back();
        std::vector<SPeak> coarser;
        coarser.reserve(finer.size() / SWavePeaks::kLevelStep + 1);
        for (size_t i = 0; i < finer.size(); i += SWavePeaks::kLevelStep)
        {
            SPeak peak = finer[i];
            for (size_t j = i + 1; j < std::min(finer.size(), i + SWavePeaks::kLevelStep); ++j)
                peak = Merge(peak, finer[j]);
            coarser.push_back(peak);
        }
        peaks.levels.push_back(std::move(coarser));
    }
    if (pPercent)
        *pPercent = 100;
    return peaks;
}

std::unique_ptr<CRollJob<SWavePeaks>> StartWavePeakJob(FWavOpener fOpen, std::string strPath)
{
    return std::make_unique<CRollJob<SWavePeaks>>(
        [fOpen = std::move(fOpen), strPath = std::move(strPath)](
            const std::atomic<bool>& bStop, std::atomic<int>& nPercent) -> std::shared_ptr<const SWavePeaks>
        {
            std::unique_ptr<IWavReader> pReader = fOpen ? fOpen(strPath) : nullptr;
            if (!pReader)
                return nullptr;
            SWavePeaks peaks = ComputeWavePeaks(*pReader, bStop, &nPercent);
            if (peaks.levels.empty())
                return nullptr;
            return std::make_shared<const SWavePeaks>(std::move(peaks));
        });
}
