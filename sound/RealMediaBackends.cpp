#include "sound/RealMediaBackends.h"

#include "platform/RealBackends.h"
#include "platform/Synthesizer.h"
#include "platform/sdl/SdlAudioOut.h"
#include "platform/sndfile/SndfileWavReader.h"
#include "platform/std/SteadyClock.h"

SMediaBackends RealMediaBackends(std::function<std::string()> fSoundFont)
{
    if (!fSoundFont)
        fSoundFont = [] { return std::string(kSystemSoundFont); };
    SMediaBackends backends;
    backends.fAudioOut = SharedSdlAudioOut;
    backends.fMidiOut = [fSoundFont] { return std::shared_ptr<IMidiOut>(MakeSystemMidiOut(fSoundFont)); };
    backends.fClock = [] { return std::shared_ptr<IClock>(MakeSteadyClock()); };
    backends.fOpenWav = OpenSndfileWav;
    return backends;
}
