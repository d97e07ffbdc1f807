// The time a key event happened, in the clock the recording counts in. Where the platform
// stamps its key events, the stamp says when the key moved, so a window thread that was busy
// for a moment does not shift the recorded delays; the stamps' own clock is tied to ours by the
// smallest lag seen between a stamp and its handling.
#pragma once

#include "platform/Clock.h"

#include <cstdint>
#include <optional>

class CEventTimes
{
  public:
    explicit CEventTimes(IClock& clock) : m_clock(clock) {}

    int64_t NowMs();
    // The event's time in the clock's milliseconds: now when it has no stamp, else the stamp
    // moved into our clock; never later than now.
    int64_t EventMs(std::optional<uint64_t> nStampMs);

  private:
    IClock& m_clock;
    std::optional<int64_t> m_nOffset; // our ms minus the stamp's ms
    uint64_t m_nLastStamp = 0;
};
