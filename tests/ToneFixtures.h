// What the oscillator tests share: a writer that keeps a render's frames, and one voice as a
// fresh oscillator sounds it from its first sample.
#pragma once

#include "platform/AudioFileWriter.h"
#include "project/ProjectFormat.h"
#include "sound/ToneOutput.h"

#include <initializer_list>
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

// A tone record of these voices of the table for nMs, appended to project.
inline void AppendTone(std::vector<uint8_t>& project, std::initializer_list<int> voices, int32_t nMs)
{
    VoiceMask on{};
    for (int k : voices)
        on[static_cast<size_t>(k)] = true;
    uint8_t mask[kMaskBytes];
    EncodeVoices(on, mask);
    AppendToneRecord(project, mask, nMs);
}
