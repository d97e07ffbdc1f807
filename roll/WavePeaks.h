// The waveform of a WAV row: the lowest and highest sample of every block of frames, at a few
// block sizes, read once off the window thread and kept for the panel to draw a peak per pixel
// at any zoom.
#pragma once

#include "platform/WavReader.h"

#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

struct SPeak
{
    int16_t nMin = 0; // the lowest and highest sample of every channel, -32768 to 32767
    int16_t nMax = 0;
};

struct SWavePeaks
{
    static constexpr uint64_t kBaseBlock = 64; // frames per peak of the first level
    static constexpr uint64_t kLevelStep = 8;  // each level's blocks hold this many of the last's
    uint32_t nRate = 0;
    uint64_t nFrames = 0; // frames actually read
    // levels[0]: one peak per kBaseBlock frames; levels[i]: per kBaseBlock * kLevelStep^i.
    std::vector<std::vector<SPeak>> levels;

    int64_t LengthMs() const { return nRate ? static_cast<int64_t>(nFrames * 1000 / nRate) : 0; }
};

// The peak of frames [nFromFrame, nToFrame), from the coarsest level whose blocks still fit the
// span; an empty span takes the block that holds nFromFrame. {0, 0} past the end.
SPeak PeakOf(const SWavePeaks& peaks, uint64_t nFromFrame, uint64_t nToFrame);

// Reads a file's peaks on a thread of its own. Progress and the result are polled (the panel
// looks at every frame it draws); the destructor stops and joins the thread.
class CWavePeakJob
{
  public:
    CWavePeakJob(const FWavOpener& fOpen, std::string strPath);
    ~CWavePeakJob();
    CWavePeakJob(const CWavePeakJob&) = delete;
    CWavePeakJob& operator=(const CWavePeakJob&) = delete;

    bool Done() const { return m_bDone; }
    // 0 to 100 while reading.
    int Percent() const { return m_nPercent; }
    // Once done: the peaks, or null when the file could not be read as a WAV file.
    std::shared_ptr<const SWavePeaks> Result() const;

  private:
    void Run(FWavOpener fOpen);

    std::string m_strPath;
    std::atomic<bool> m_bStop{false};
    std::atomic<bool> m_bDone{false};
    std::atomic<int> m_nPercent{0};
    std::shared_ptr<const SWavePeaks> m_pResult; // written before m_bDone is set
    std::thread m_thread;
};

// Reads the peaks of every frame the reader gives, from its start (the job does this on its
// thread; tests call it directly). pPercent, when given, follows the frames read.
SWavePeaks ComputeWavePeaks(IWavReader& reader, const std::atomic<bool>& bStop, std::atomic<int>* pPercent);
