// The built-in synthesizer: FluidSynth with a General MIDI SoundFont, no driver of its own (it
// is rendered into our audio stream or into a file) and no console output.
#pragma once

#include "platform/Synthesizer.h"

#include <memory>
#include <string>

struct _fluid_hashtable_t;
struct _fluid_synth_t;

inline constexpr const char* kSystemSoundFont = "/usr/share/sounds/sf2/TimGM6mb.sf2";
inline constexpr int kSynthRate = 44100;

class CFluidSynth : public ISynthesizer
{
  public:
    // Null when FluidSynth cannot start or the SoundFont cannot be loaded.
    static std::unique_ptr<CFluidSynth> Create(const std::string& strSoundFont, int nRate = kSynthRate);
    ~CFluidSynth() override;
    CFluidSynth(const CFluidSynth&) = delete;
    CFluidSynth& operator=(const CFluidSynth&) = delete;

    void ShortMsg(uint32_t dwMessage) override;
    void Render(float* pStereo, int nFrames) override;
    int ActiveVoices() override;
    bool LoadSoundFont(const std::string& strPath) override;

  private:
    CFluidSynth() = default;
    _fluid_hashtable_t* m_pSettings = nullptr;
    _fluid_synth_t* m_pSynth = nullptr;
    int m_nSoundFont = -1; // FluidSynth's id of the SoundFont loaded
};
