#include "tests/ManualClock.h"

using std::chrono::nanoseconds;

namespace
{
constexpr std::chrono::seconds kHangAfter{5};
}

nanoseconds CManualClock::Now()
{
    std::lock_guard lock(m_mutex);
    return m_tNow;
}

int64_t CManualClock::NowMs()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(Now()).count();
}

bool CManualClock::Leaving(const SSleeper& sleeper) const
{
    return m_tNow >= sleeper.tWake ||
           (sleeper.pbCut && sleeper.pbCut->load() && m_nInterrupts > sleeper.nInterrupts);
}

void CManualClock::SleepUntil(nanoseconds tWake, const std::atomic<bool>* pbCut)
{
    std::unique_lock lock(m_mutex);
    if (m_tNow >= tWake || (pbCut && pbCut->load()))
        return;
    auto it = m_arrSleepers.insert(m_arrSleepers.end(), SSleeper{tWake, pbCut, m_nInterrupts});
    m_cvChanged.notify_all();
    m_cvWake.wait(lock, [&] { return Leaving(*it); });
    m_arrSleepers.erase(it);
    m_cvChanged.notify_all();
}

void CManualClock::Interrupt()
{
    std::lock_guard lock(m_mutex);
    ++m_nInterrupts;
    m_cvWake.notify_all();
}

bool CManualClock::AdvanceTo(int64_t nMs, const std::function<bool()>& fDone)
{
    const nanoseconds tUntil = std::chrono::milliseconds(nMs);
    std::unique_lock lock(m_mutex);
    for (;;)
    {
        // Settled: nobody is on its way out of a sleep, and somebody sleeps or the code under
        // test has finished. fDone changes without telling us, so we look often.
        auto Settled = [&]
        {
            for (const SSleeper& sleeper : m_arrSleepers)
                if (Leaving(sleeper))
                    return false;
            return !m_arrSleepers.empty() || fDone();
        };
        const auto tGiveUp = std::chrono::steady_clock::now() + kHangAfter;
        while (!Settled())
        {
            if (std::chrono::steady_clock::now() > tGiveUp)
                return false;
            m_cvChanged.wait_for(lock, std::chrono::milliseconds(1));
        }
        nanoseconds tNext = tUntil + nanoseconds(1);
        for (const SSleeper& sleeper : m_arrSleepers)
            tNext = std::min(tNext, sleeper.tWake);
        if (tNext > tUntil)
        {
            m_tNow = std::max(m_tNow, tUntil);
            return true;
        }
        m_tNow = tNext;
        m_cvWake.notify_all();
    }
}
