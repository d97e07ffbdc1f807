// A WAV file, 16-bit stereo, written through libsndfile: samples are rounded to the nearest of
// the 65536 steps (v x 32768) and clipped, never wrapped, never dithered, so the same render gives
// the same bytes, and a value that sits on a step (the oscillator's 8-bit samples) stays on it
// whatever far smaller noise the synthesizer adds.
#pragma once

#include "platform/AudioFileWriter.h"

#include <memory>
#include <string>
#include <vector>

struct sf_private_tag;

class CWavFileWriter : public IAudioFileWriter
{
  public:
    // Null when the file cannot be created; strError then holds the reason.
    static std::unique_ptr<CWavFileWriter> Create(const std::string& strPath, int nRate,
                                                  std::string& strError);
    ~CWavFileWriter() override;
    CWavFileWriter(const CWavFileWriter&) = delete;
    CWavFileWriter& operator=(const CWavFileWriter&) = delete;

    bool Write(const float* pStereo, int nFrames) override;
    bool Close() override;

  private:
    CWavFileWriter() = default;
    sf_private_tag* m_pFile = nullptr;
    std::vector<short> m_arrShorts;
};
