#include "sound/PlayerThread.h"

#include "platform/ThreadPriority.h"

#include <vector>

namespace
{
// Waits, in real time and bounded, for a flag another thread clears.
bool WaitCleared(const std::atomic<bool>& bFlag, std::chrono::milliseconds nMax)
{
    const auto tEnd = std::chrono::steady_clock::now() + nMax;
    while (bFlag && std::chrono::steady_clock::now() < tEnd)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return !bFlag;
}
} // namespace

CPlayerThread::CPlayerThread(CProjectPlayer& player, IMidiOut& midiOut, IClock& clock, bool bRealtime,
                             FAudioOutFactory fToneOut)
    : m_player(player), m_midiOut(midiOut), m_clock(clock), m_bRealtime(bRealtime),
      m_fToneOut(std::move(fToneOut))
{
}

CPlayerThread::~CPlayerThread()
{
    Stop();
    Join();
}

bool CPlayerThread::Start(int nDevice, const SOscSettings& osc)
{
    if (m_bRunning)
    {
        // A Playback right after Stop: the old thread is on its way out, let it go first.
        if (!(m_bStopAsked || m_player.m_bStop) || !WaitCleared(m_bRunning, std::chrono::seconds(1)))
            return false;
    }
    Join();
    const std::span<const uint8_t> data = m_player.Data();
    std::vector<uint8_t> project(data.begin(), data.end());
    m_player.m_bStop = false;
    m_player.m_bPause = false;
    m_bStopAsked = false;
    m_bRunning = true;
    m_thread = std::thread(
        [this, project = std::move(project), nDevice, osc]
        {
            // A busy machine would otherwise run its ordinary threads first and the notes come late.
            if (m_bRealtime)
                RequestRealtimePriority(kPlayerPriority);
            CProjectPlayback playback(m_player, m_midiOut, m_clock, false, {m_fToneOut, osc});
            m_eLastEnd = playback.PlayThread(project, nDevice);
            m_bLastDeviceFailed = playback.DeviceFailed();
            m_bRunning = false;
        });
    return true;
}

void CPlayerThread::Stop()
{
    if (!m_bRunning)
        return;
    m_bStopAsked = true;
    m_player.m_bStop = true;
    m_clock.Interrupt();
}

void CPlayerThread::Join()
{
    if (m_thread.joinable())
        m_thread.join();
}

bool CPlayerThread::WaitSettled(std::chrono::milliseconds nMax) const
{
    const auto tEnd = std::chrono::steady_clock::now() + nMax;
    while (!Settled() && std::chrono::steady_clock::now() < tEnd)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return Settled();
}
