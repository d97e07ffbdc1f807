#include "keyboard/EventTimes.h"

#include <algorithm>
#include <chrono>

int64_t CEventTimes::NowMs()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(m_clock.Now()).count();
}

int64_t CEventTimes::EventMs(std::optional<uint64_t> nStampMs)
{
    const int64_t nNow = NowMs();
    if (!nStampMs)
        return nNow;
    // A stamp that goes back means its clock wrapped or changed: measure the tie afresh.
    if (*nStampMs < m_nLastStamp)
        m_nOffset.reset();
    m_nLastStamp = *nStampMs;
    const int64_t nLag = nNow - static_cast<int64_t>(*nStampMs);
    // No event is handled before it happened, so the smallest lag is the closest tie.
    m_nOffset = std::min(m_nOffset.value_or(nLag), nLag);
    return static_cast<int64_t>(*nStampMs) + *m_nOffset;
}
