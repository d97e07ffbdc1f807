// A synthesizer that sounds nothing: for a system without FluidSynth or a SoundFont, where the
// built-in device still opens and plays silence.
#pragma once

#include "platform/Synthesizer.h"

class CNullSynthesizer : public ISynthesizer
{
  public:
    void ShortMsg(uint32_t) override {}
    void Render(float* pStereo, int nFrames) override;
    int ActiveVoices() override { return 0; }
};
