// The built-in synthesizer: FluidSynth with a General MIDI SoundFont, no driver of its own (it
// is rendered into our audio stream or into a file) and no console output.
#pragma once

#include "platform/Synthesizer.h"

#include <functional>
#include <memory>
#include <string>

struct _fluid_hashtable_t;
struct _fluid_synth_t;

inline constexpr int kSynthRate = 44100;
// The synthesizer's output level: a single piano note at velocity 127 peaks near -10 dBFS with
// the General MIDI SoundFont, as loud as ordinary sound files play. FluidSynth's own default
// (0.2) leaves it some 17 dB quieter than everything else.
inline constexpr double kSynthGain = 1.5;
// At that level a loud chord of many voices adds up past full scale; a limiter holds the output
// below this peak instead of letting it clip.
inline constexpr float kSynthCeiling = 0.891f; // -1 dBFS

class CFluidSynth : public ISynthesizer
{
  public:
    // Null when FluidSynth cannot start or the SoundFont cannot be loaded; pstrWhy, when given,
    // then says why.
    static std::unique_ptr<CFluidSynth> Create(const std::string& strSoundFont, int nRate = kSynthRate,
                                               std::string* pstrWhy = nullptr);
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
    int m_nRate = kSynthRate;
    float m_fLimiterGain = 1.0f; // the limiter's gain now: 1 until a peak pulls it down
};

// Why strPath cannot be a SoundFont ("no such file", "a folder", "not a SoundFont"); empty when
// it looks like one.
std::string SoundFontProblem(const std::string& strPath);

// The built-in synthesizer with the SoundFont strChosen or, when that one cannot be loaded, with
// strFallback; pFallback, when given, is then filled in (and left alone when strChosen loads).
// Null only when neither loads.
std::unique_ptr<CFluidSynth> LoadSynthWithFallback(const std::string& strChosen,
                                                   const std::string& strFallback,
                                                   SSoundFontFallback* pFallback, int nRate = kSynthRate);

// The built-in synthesizer with the SoundFont strChosen or, when that one cannot be loaded, with
// strFallback (the system's General MIDI SoundFont); fTell then hears which font could not be
// loaded and why, and what plays instead. Null, after fTell, only when neither loads.
std::unique_ptr<CFluidSynth> CreateSynthWithFallback(const std::string& strChosen,
                                                     const std::string& strFallback,
                                                     const std::function<void(const std::string&)>& fTell,
                                                     int nRate = kSynthRate);
