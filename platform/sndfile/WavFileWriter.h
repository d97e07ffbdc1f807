// A WAV file, 16-bit stereo, written through libsndfile: samples are clipped, never wrapped,
// and never dithered, so the same render gives the same bytes.
#pragma once

#include "platform/AudioFileWriter.h"

#include <memory>
#include <string>

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
};
