#include "roll/RollScale.h"

#include <algorithm>

SPitchSpan PitchSpanOf(const SNoteList& list)
{
    SPitchSpan span;
    if (list.notes.empty())
        return span;
    int nLow = 127, nHigh = 0;
    for (const SRollNote& note : list.notes)
    {
        nLow = std::min<int>(nLow, note.nPitch);
        nHigh = std::max<int>(nHigh, note.nPitch);
    }
    // A little room above and below so that the highest and lowest notes do not touch the edges.
    nLow -= 2;
    nHigh += 2;
    constexpr int kMinCount = 24;
    if (nHigh - nLow + 1 < kMinCount)
    {
        int nMissing = kMinCount - (nHigh - nLow + 1);
        nLow -= nMissing / 2;
        nHigh += nMissing - nMissing / 2;
    }
    if (nLow < 0)
    {
        nHigh = std::min(127, nHigh - nLow);
        nLow = 0;
    }
    if (nHigh > 127)
    {
        nLow = std::max(0, nLow - (nHigh - 127));
        nHigh = 127;
    }
    span.nLow = nLow;
    span.nHigh = nHigh;
    return span;
}

int64_t RulerStepMs(double fMsPerPx, int nMinPx)
{
    const double fMinMs = std::max(fMsPerPx, 1e-9) * nMinPx;
    for (int64_t nPower = 1; nPower < INT64_MAX / 10; nPower *= 10)
        for (int64_t nMul : {1, 2, 5})
            if (static_cast<double>(nPower * nMul) >= fMinMs)
                return nPower * nMul;
    return INT64_MAX / 10;
}

std::optional<int64_t> NeighbourRecordTime(const SNoteList& list, int64_t nMs, int nDirection)
{
    const std::vector<int64_t>& times = list.recordTimes;
    if (nDirection > 0)
    {
        auto it = std::upper_bound(times.begin(), times.end(), nMs);
        if (it == times.end())
            return std::nullopt;
        return *it;
    }
    auto it = std::lower_bound(times.begin(), times.end(), nMs);
    if (it == times.begin())
        return std::nullopt;
    return *(it - 1);
}

int FirstRecordFrom(const SNoteList& list, int64_t nMs)
{
    const std::vector<int64_t>& times = list.recordTimes;
    if (times.empty())
        return 0;
    auto it = std::lower_bound(times.begin(), times.end(), nMs);
    if (it == times.end())
        return static_cast<int>(times.size());
    return static_cast<int>(it - times.begin()) + 1;
}
