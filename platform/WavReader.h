// A WAV file opened to read its samples: the format its header gives, and float frames from
// any position, for the waveaudio device that streams it into the audio mix.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class IWavReader
{
  public:
    virtual ~IWavReader() = default;
    // From the header, as the file was when opened: frames a second (above 0), channels (1 or
    // more) and how many frames it claims to hold.
    virtual uint32_t Rate() const = 0;
    virtual int Channels() const = 0;
    virtual uint64_t Frames() const = 0;
    // The next Read starts at frame nFrame; false when the file refuses to go there.
    virtual bool Seek(uint64_t nFrame) = 0;
    // Reads up to nFrames interleaved frames of Channels() samples into pSamples; gives how many
    // came, fewer at the end of the data or on a read error.
    virtual uint64_t Read(float* pSamples, uint64_t nFrames) = 0;
};

// Opens strPath, a regular file, as a WAV file (RIFF, WAVE_FORMAT_EXTENSIBLE, RF64, Wave64);
// null when it is none that can be decoded.
using FWavOpener = std::function<std::unique_ptr<IWavReader>(const std::string& strPath)>;
