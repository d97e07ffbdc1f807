// Where offline renders go: a sound file of 32-bit float stereo frames as the synthesizer gives
// them, written in the file's own sample format.
#pragma once

#include <string>

class IAudioFileWriter
{
  public:
    virtual ~IAudioFileWriter() = default;
    // Appends interleaved stereo frames; false once the file cannot be written.
    virtual bool Write(const float* pStereo, int nFrames) = 0;
    // Finishes the file (its header counts every frame); false when that fails.
    virtual bool Close() = 0;
};
