// A software synthesizer that takes MIDI short messages and renders 32-bit float stereo at the
// rate it was made for: the built-in device plays it live, the render command offline.
#pragma once

#include <cstdint>

class ISynthesizer
{
  public:
    virtual ~ISynthesizer() = default;
    // Takes effect from the next frame rendered; malformed messages are dropped.
    virtual void ShortMsg(uint32_t dwMessage) = 0;
    // Writes nFrames interleaved left/right frames into pStereo (overwriting it).
    virtual void Render(float* pStereo, int nFrames) = 0;
    // Voices still sounding, releases included; 0 once everything has died away.
    virtual int ActiveVoices() = 0;
};
