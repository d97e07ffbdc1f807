// What the latency benches put in the program's audio stream around the synthesizer: a source
// before it that notes when each buffer's render begins, and one after it that finds the first
// sample of a note in what was just mixed.
#pragma once

#include "platform/AudioOut.h"

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <mutex>
#include <vector>

namespace bench
{
using Clock = std::chrono::steady_clock;

// Below -80 dBFS counts as silence: the reverb's tail of the note before decays under it.
constexpr float kQuiet = 1e-4f;
// Buffers in a row below kQuiet before the next press.
constexpr int kQuietBuffers = 20;

// First in the stream: notes when a buffer's render begins.
class CRenderStart : public IAudioSource
{
  public:
    void Mix(float*, int) override { m_tStart.store(Clock::now()); }
    std::atomic<Clock::time_point> m_tStart{};
};

struct SOnset
{
    Clock::time_point tRenderStart;
    Clock::time_point tRenderEnd;
    int nFrame = 0;  // the first sample of the note inside its buffer
    int nFrames = 0; // the buffer's length
};

// Last in the stream: sees what the synthesizer has just mixed in.
class COnsetProbe : public IAudioSource
{
  public:
    explicit COnsetProbe(const CRenderStart& start) : m_start(start) {}

    void Mix(float* pStereo, int nFrames) override
    {
        const Clock::time_point tEnd = Clock::now();
        int nFirst = -1;
        for (int i = 0; i < nFrames && nFirst < 0; ++i)
            if (std::fabs(pStereo[2 * i]) > kQuiet || std::fabs(pStereo[2 * i + 1]) > kQuiet)
                nFirst = i;
        m_nQuiet = nFirst < 0 ? m_nQuiet + 1 : 0;
        const int64_t nRenderNs =
            std::chrono::duration_cast<std::chrono::nanoseconds>(tEnd - m_start.m_tStart.load()).count();
        std::lock_guard lock(m_mutex);
        m_arrRenderNs.push_back(nRenderNs);
        if (m_bArmed && nFirst >= 0)
        {
            m_onset = {m_start.m_tStart.load(), tEnd, nFirst, nFrames};
            m_bArmed = false;
            m_bFound = true;
        }
    }

    void Arm()
    {
        std::lock_guard lock(m_mutex);
        m_bArmed = true;
        m_bFound = false;
    }
    // Forgets an onset found before, and finds none until armed.
    void Reset()
    {
        std::lock_guard lock(m_mutex);
        m_bArmed = false;
        m_bFound = false;
    }
    bool Found(SOnset& onset)
    {
        std::lock_guard lock(m_mutex);
        onset = m_onset;
        return m_bFound;
    }
    std::vector<int64_t> RenderNs()
    {
        std::lock_guard lock(m_mutex);
        return m_arrRenderNs;
    }
    std::atomic<int> m_nQuiet{0};

  private:
    const CRenderStart& m_start;
    std::mutex m_mutex;
    bool m_bArmed = false;
    bool m_bFound = false;
    SOnset m_onset;
    std::vector<int64_t> m_arrRenderNs;
};

// When the onset's first sample leaves for the device: the stream asks for a buffer while the
// one before it plays, so a buffer begins to sound one buffer after its render started, and the
// sample its place later.
inline Clock::time_point FirstSampleSounds(const SOnset& onset)
{
    const std::chrono::duration<double> tLater(static_cast<double>(onset.nFrames + onset.nFrame) / kMixRate);
    return onset.tRenderStart + std::chrono::duration_cast<Clock::duration>(tLater);
}

inline double Ms(Clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

} // namespace bench
