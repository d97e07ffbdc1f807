// A clock for tests: time stands still until the test moves it, and it moves only from one
// sleeper's wake-up to the next, each sleeper running until it sleeps again, so that what the
// code under test does at a given time is settled before the test looks.
#pragma once

#include "platform/Clock.h"

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <list>
#include <mutex>

class CManualClock : public IClock
{
  public:
    std::chrono::nanoseconds Now() override;
    void SleepUntil(std::chrono::nanoseconds tWake, const std::atomic<bool>* pbCut) override;
    void Interrupt() override;

    int64_t NowMs();
    // Moves time to nMs, waking each sleeper in turn at its own time and waiting until it
    // sleeps again or fDone() holds. False (and time left where it got to) when the code under
    // test neither slept again nor finished within a few seconds of real time: a hang.
    bool AdvanceTo(int64_t nMs, const std::function<bool()>& fDone);

  private:
    std::mutex m_mutex;
    std::condition_variable m_cvWake;    // sleepers wait on it
    std::condition_variable m_cvChanged; // the test waits on it
    struct SSleeper
    {
        std::chrono::nanoseconds tWake;
        const std::atomic<bool>* pbCut;
        uint64_t nInterrupts; // Interrupt() calls before it fell asleep
    };
    // Whether the sleeper is leaving: its time has come, or its flag is set and Interrupt()
    // was called since it fell asleep (a flag alone wakes nobody, as with the real clock).
    bool Leaving(const SSleeper& sleeper) const;

    std::chrono::nanoseconds m_tNow{0};
    uint64_t m_nInterrupts = 0;
    std::list<SSleeper> m_arrSleepers;
};
