#include "platform/std/SteadyClock.h"

#include "platform/ThreadPriority.h"

#include <thread>

std::chrono::nanoseconds CSteadyClock::Now()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
        std::chrono::steady_clock::now().time_since_epoch());
}

void CSteadyClock::SleepUntil(std::chrono::nanoseconds tWake, const std::atomic<bool>* pbCut)
{
    const std::chrono::steady_clock::time_point tpWake(
        std::chrono::duration_cast<std::chrono::steady_clock::duration>(tWake));
    if (!pbCut)
    {
        std::this_thread::sleep_until(tpWake);
        return;
    }
    // The flag is looked at under the lock that Interrupt() takes, so a stop set just before
    // the wait began is never missed.
    std::unique_lock lock(m_mutex);
    m_cvWake.wait_until(lock, tpWake, [&] { return pbCut->load(); });
}

void CSteadyClock::SleepUntilExactly(std::chrono::nanoseconds tWake, const std::atomic<bool>* pbCut)
{
    // A real-time thread wakes on time from a plain sleep; spinning would only keep ordinary
    // threads off its processor.
    if (ThisThreadIsRealtime())
    {
        SleepUntil(tWake, pbCut);
        return;
    }
    constexpr std::chrono::microseconds kSpin{1000};
    if (tWake - Now() > kSpin)
        SleepUntil(tWake - kSpin, pbCut);
    while (Now() < tWake && !(pbCut && pbCut->load()))
        std::this_thread::yield();
}

void CSteadyClock::Interrupt()
{
    std::lock_guard lock(m_mutex);
    m_cvWake.notify_all();
}

std::unique_ptr<IClock> MakeSteadyClock()
{
    return std::make_unique<CSteadyClock>();
}
