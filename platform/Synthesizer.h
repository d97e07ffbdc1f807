// A software synthesizer that takes MIDI short messages and renders 32-bit float stereo at the
// rate it was made for: the built-in device plays it live, the render command offline.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

// The system's General MIDI SoundFont: what the built-in synthesizer loads when no other is
// chosen, or when the one chosen cannot be loaded.
inline constexpr const char* kSystemSoundFont = "/usr/share/sounds/sf2/TimGM6mb.sf2";

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
    // Plays from now on with the SoundFont strPath; false, and the one it had kept, when the
    // file cannot be loaded (or the synthesizer takes no SoundFonts).
    virtual bool LoadSoundFont(const std::string& strPath) { return false; }
};

// A SoundFont chosen for the built-in synthesizer that could not be loaded, and what plays instead.
struct SSoundFontFallback
{
    std::string strChosen;
    std::string strWhy; // in the words SoundFontProblem() uses
    std::string strFallback;
    bool bFallbackLoaded = false; // false: the built-in synthesizer cannot play at all
    std::string strFallbackWhy;   // when the fallback could not be loaded either
    // One line in English, for standard error.
    std::string Text() const;
};
using FSoundFontTell = std::function<void(const SSoundFontFallback&)>;
