// An audio stream without a sound device: a thread of its own pulls the mix, one buffer at a
// time, at the stream's true rate by the clock. Media positions and players that count frames
// then keep real time where there is no sound card (SDL's dummy driver is no clock: it waits
// whole milliseconds per buffer and runs about 1.37 times too fast at 128 frames).
#pragma once

#include "platform/Clock.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <thread>
#include <vector>

class CClockPacedStream
{
  public:
    // fMix writes nFrames interleaved stereo frames (overwriting them); it is called on the
    // stream's thread from the constructor on, buffer k once the clock has reached
    // k x nBufferFrames / nRate seconds after the start.
    using FMix = std::function<void(float* pStereo, int nFrames)>;
    CClockPacedStream(IClock& clock, FMix fMix, int nRate, int nBufferFrames);
    // Stops the thread and joins it: fMix is no longer called once this returns.
    ~CClockPacedStream();
    CClockPacedStream(const CClockPacedStream&) = delete;
    CClockPacedStream& operator=(const CClockPacedStream&) = delete;

    // Frames pulled so far.
    int64_t Frames() const { return m_nFrames; }

  private:
    void Run();

    IClock& m_clock;
    FMix m_fMix;
    int m_nRate;
    int m_nBufferFrames;
    std::vector<float> m_arrBuffer;
    std::atomic<int64_t> m_nFrames{0};
    std::atomic<bool> m_bCut{false};
    std::thread m_thread;
};
