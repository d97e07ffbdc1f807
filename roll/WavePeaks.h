// The waveform of a WAV row: the lowest and highest sample of every block of frames, at a few
// block sizes, read once off the window thread and kept for the panel to draw a peak per pixel
// at any zoom.
#pragma once

#include "platform/WavReader.h"
#include "roll/RollJob.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
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

// Reads a file's peaks on a thread of its own; its result is null when the file cannot be read
// as a WAV file or holds no frames.
std::unique_ptr<CRollJob<SWavePeaks>> StartWavePeakJob(FWavOpener fOpen, std::string strPath);

// Reads the peaks of every frame the reader gives, from its start (the job does this on its
// thread; tests call it directly). pPercent, when given, follows the frames read.
SWavePeaks ComputeWavePeaks(IWavReader& reader, const std::atomic<bool>& bStop, std::atomic<int>* pPercent);
