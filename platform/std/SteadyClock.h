// The real clock: std::chrono::steady_clock, and sleeps that a stop request wakes at once.
#pragma once

#include "platform/Clock.h"

#include <condition_variable>
#include <mutex>

class CSteadyClock : public IClock
{
  public:
    std::chrono::nanoseconds Now() override;
    void SleepUntil(std::chrono::nanoseconds tWake, const std::atomic<bool>* pbCut) override;
    // Sleeps until shortly before tWake and yields the processor in a loop for the rest: the
    // system's sleeps wake a tenth of a millisecond late and more when the machine is busy. A
    // thread scheduled in real time sleeps the whole way: it is woken on time.
    void SleepUntilExactly(std::chrono::nanoseconds tWake, const std::atomic<bool>* pbCut) override;
    void Interrupt() override;

  private:
    std::mutex m_mutex;
    std::condition_variable m_cvWake;
};

std::unique_ptr<IClock> MakeSteadyClock();
