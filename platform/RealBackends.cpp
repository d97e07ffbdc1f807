#include "platform/RealBackends.h"

#include "platform/SystemMidiOut.h"
#include "platform/rtmidi/RtMidiPorts.h"

#include <cstdio>
#include <mutex>

std::unique_ptr<IMidiOut> MakeSystemMidiOut(FAudioOutFactory fAudioOut,
                                            std::function<std::string()> fSoundFont, FSoundFontTell fTell)
{
    if (!fTell)
        fTell = [](const SSoundFontFallback& fallback)
        {
            std::fprintf(stderr, "Tonegrove: %s\n", fallback.Text().c_str());
            std::fflush(stderr);
        };
    // Each open of device 0 tries again until a synthesizer starts; the user hears of each
    // choice that fails once, not at every try.
    struct STold
    {
        std::mutex mutex;
        std::string strChoice;
        bool bAny = false;
    };
    auto pTold = std::make_shared<STold>();
    return std::make_unique<CSystemMidiOut>(
        [fSoundFont, fTell, pTold]() -> std::unique_ptr<ISynthesizer>
        {
            const std::string strChosen = fSoundFont ? fSoundFont() : std::string(kSystemSoundFont);
            SSoundFontFallback fallback;
            std::unique_ptr<CFluidSynth> pSynth =
                LoadSynthWithFallback(strChosen, kSystemSoundFont, &fallback);
            if (fallback.strWhy.empty())
                return pSynth;
            {
                std::lock_guard lock(pTold->mutex);
                if (pTold->bAny && pTold->strChoice == strChosen)
                    return pSynth;
                pTold->bAny = true;
                pTold->strChoice = strChosen;
            }
            fTell(fallback);
            return pSynth;
        },
        std::move(fAudioOut), MakeRtMidiPorts, fSoundFont);
}
