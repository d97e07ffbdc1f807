#include "platform/ClockPacedStream.h"

#include "platform/ThreadPriority.h"

using std::chrono::nanoseconds;

namespace
{
// A machine that held the thread back longer than this (a suspend, a debugger) does not get the
// time back as a burst of buffers: the stream goes on from now, as a sound card would.
constexpr nanoseconds kMaxBacklog = std::chrono::milliseconds(200);
} // namespace

CClockPacedStream::CClockPacedStream(IClock& clock, FMix fMix, int nRate, int nBufferFrames)
    : m_clock(clock), m_fMix(std::move(fMix)), m_nRate(nRate), m_nBufferFrames(nBufferFrames),
      m_arrBuffer(static_cast<size_t>(2 * nBufferFrames))
{
    m_thread = std::thread(&CClockPacedStream::Run, this);
}

CClockPacedStream::~CClockPacedStream()
{
    m_bCut = true;
    m_clock.Interrupt();
    m_thread.join();
}

void CClockPacedStream::Run()
{
    // A sound card's thread runs before ordinary ones where the system lets it; so does ours.
    RequestRealtimePriority(kAudioPriority);
    nanoseconds tStart = m_clock.Now();
    int64_t nBuffers = 0; // pulled since tStart
    while (!m_bCut)
    {
        // Each buffer's time from the start, not from the last one: no rounding adds up.
        const int64_t nFrame = nBuffers * m_nBufferFrames;
        const nanoseconds tDue =
            tStart + nanoseconds(nFrame / m_nRate * 1000000000 + nFrame % m_nRate * 1000000000 / m_nRate);
        if (m_clock.Now() < tDue)
            m_clock.SleepUntil(tDue, &m_bCut);
        if (m_bCut)
            break;
        if (m_clock.Now() - tDue > kMaxBacklog)
        {
            tStart = m_clock.Now();
            nBuffers = 0;
        }
        m_fMix(m_arrBuffer.data(), m_nBufferFrames);
        m_nFrames += m_nBufferFrames;
        ++nBuffers;
    }
}
