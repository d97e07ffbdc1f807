// The hand-over of MIDI input messages from the input's own thread to the window thread: each
// message with the time it arrived, in order, under a lock.
#pragma once

#include <chrono>
#include <cstdint>
#include <mutex>
#include <vector>

struct SMidiInEvent
{
    uint32_t dwMessage = 0;
    std::chrono::nanoseconds tArrival{0};
};

class CMidiInQueue
{
  public:
    // True when the queue was empty: the reader has to be woken, once for all that follow
    // until it takes them.
    bool Push(const SMidiInEvent& event)
    {
        std::lock_guard lock(m_mutex);
        m_arrEvents.push_back(event);
        return m_arrEvents.size() == 1;
    }
    std::vector<SMidiInEvent> TakeAll()
    {
        std::lock_guard lock(m_mutex);
        std::vector<SMidiInEvent> arrEvents;
        arrEvents.swap(m_arrEvents);
        return arrEvents;
    }

  private:
    std::mutex m_mutex;
    std::vector<SMidiInEvent> m_arrEvents;
};
