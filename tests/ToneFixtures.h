// What the oscillator tests share: a writer that keeps a render's frames, and one voice as a
// fresh oscillator sounds it from its first sample.
#pragma once

#include "platform/AudioFileWriter.h"
#include "sound/ToneOutput.h"

#include <vector>

// Takes what a render writes, interleaved left and right.
class CFrameWriter : public IAudioFileWriter
{
  public:
    bool Write(const float* pStereo, int nFrames) override
    {
        m_arrStereo.insert(m_arrStereo.end(), pStereo, pStereo + 2 * nFrames);
        return true;
    }
    bool Close() override { return true; }
    std::vector<float> m_arrStereo;
};

// nFrames of one voice as 8-bit samples, taken from a tone output as the stream takes them.
inline std::vector<int> ToneSamples(const SOscSettings& settings, double dRatio, int nFrames)
{
    CToneOutput out;
    out.Sound(settings, {dRatio});
    std::vector<float> stereo(2 * static_cast<size_t>(nFrames), 0.0f);
    out.Mix(stereo.data(), nFrames);
    std::vector<int> samples;
    for (int i = 0; i < nFrames; ++i)
        samples.push_back(static_cast<int>(stereo[2 * static_cast<size_t>(i)] * 128.0f + 128.0f));
    return samples;
}
