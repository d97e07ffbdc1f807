#include "keyboard/EventTimes.h"

#include <algorithm>
#include <chrono>

namespace
{
// A stamp that claims to lie this far after the time its span's tie gives it did not come from
// a busy window but from a stamp clock that jumped.
constexpr int64_t kStampLeapMs = 10000;
} // namespace

CEventTimes::CEventTimes(IClock& clock) : m_clock(clock)
{
    m_nReadyMs = NowMs();
}

int64_t CEventTimes::NowMs()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(m_clock.Now()).count();
}

SEventTime CEventTimes::Capture(std::optional<uint64_t> nStampMs)
{
    SEventTime time;
    time.nHandledMs = NowMs();
    time.nStampMs = nStampMs;
    if (!nStampMs)
    {
        time.nSpan = m_arrTies.size();
        return time;
    }
    const int64_t nLag = time.nHandledMs - static_cast<int64_t>(*nStampMs);
    const bool bNewSpan =
        m_arrTies.empty() || *nStampMs < *m_nLastStamp || nLag < m_arrTies.back() - kStampLeapMs;
    if (bNewSpan)
        m_arrTies.push_back(nLag);
    else
        m_arrTies.back() = std::min(m_arrTies.back(), nLag);
    m_nLastStamp = nStampMs;
    time.nSpan = m_arrTies.size() - 1;
    return time;
}

int64_t CEventTimes::TimeOf(const SEventTime& time) const
{
    if (!time.nStampMs || time.nSpan >= m_arrTies.size())
        return time.nHandledMs;
    return static_cast<int64_t>(*time.nStampMs) + m_arrTies[time.nSpan];
}
