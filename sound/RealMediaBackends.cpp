#include "sound/RealMediaBackends.h"

#include "platform/RealBackends.h"
#include "platform/Synthesizer.h"
#include "platform/sndfile/SndfileWavReader.h"
#include "platform/std/SteadyClock.h"

SMediaBackends RealMediaBackends(FAudioOutFactory fAudioOut, std::function<std::string()> fSoundFont)
{
    if (!fSoundFont)
        fSoundFont = [] { return std::string(kSystemSoundFont); };
    SMediaBackends backends;
    backends.fAudioOut = fAudioOut;
    backends.fMidiOut = [fAudioOut, fSoundFont]
    { return std::shared_ptr<IMidiOut>(MakeSystemMidiOut(fAudioOut, fSoundFont)); };
    backends.fClock = [] { return std::shared_ptr<IClock>(MakeSteadyClock()); };
    backends.fOpenWav = OpenSndfileWav;
    return backends;
}
