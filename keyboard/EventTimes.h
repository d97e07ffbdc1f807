// The times of the key events a take is recorded from. Where the platform stamps its key events,
// the stamps say when the keys moved: the delays between stamped events are the differences of
// their stamps, so a window thread that was busy for a moment shifts nothing. The stamps' clock
// is tied to ours (for the first record, which counts from the moment the window was ready, and
// for events without a stamp) by the smallest lag between a stamp and its handling over the
// whole take: no event is handled before it happened, so that is the closest tie there is.
#pragma once

#include "platform/Clock.h"

#include <cstdint>
#include <optional>
#include <vector>

// One event's time as it was taken when the event arrived.
struct SEventTime
{
    int64_t nHandledMs = 0;           // our clock when the event arrived
    std::optional<uint64_t> nStampMs; // the platform's stamp, when it gave one
    size_t nSpan = 0;                 // the stretch of one unbroken stamp clock it belongs to
};

class CEventTimes
{
  public:
    // The recording's time starts now: the window is ready.
    explicit CEventTimes(IClock& clock);

    int64_t NowMs();
    int64_t ReadyMs() const { return m_nReadyMs; }
    // Takes an event's time on its arrival; its stamp improves the tie of every event of its span.
    SEventTime Capture(std::optional<uint64_t> nStampMs);
    // The event's time in the clock's milliseconds.
    int64_t TimeOf(const SEventTime& time) const;

  private:
    IClock& m_clock;
    int64_t m_nReadyMs = 0;
    // Per span: our ms minus the stamp's ms, the smallest seen. A new span starts where the
    // stamps go back or leap ahead of our clock by far more than any busy window explains.
    std::vector<int64_t> m_arrTies;
    std::optional<uint64_t> m_nLastStamp;
};
