// The clock the players keep time with: a time that only moves forward, and a sleep until a
// given time that a stop request can cut short.
#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>

class IClock
{
  public:
    virtual ~IClock() = default;
    // Time since an origin of the clock's own choosing; never goes back.
    virtual std::chrono::nanoseconds Now() = 0;
    // Returns when Now() has reached tWake, or earlier when pbCut (if given) is true or becomes
    // true and Interrupt() is called after it was set. Several threads may sleep at once.
    virtual void SleepUntil(std::chrono::nanoseconds tWake, const std::atomic<bool>* pbCut) = 0;
    // The same, for the wake-up a MIDI message waits for: it ends as close to tWake as the
    // system allows, at the cost of a little processor time just before it.
    virtual void SleepUntilExactly(std::chrono::nanoseconds tWake, const std::atomic<bool>* pbCut)
    {
        SleepUntil(tWake, pbCut);
    }
    // Wakes every sleeper so that it looks at its pbCut flag again; the others sleep on.
    virtual void Interrupt() = 0;
};

using FClockFactory = std::function<std::unique_ptr<IClock>()>;
