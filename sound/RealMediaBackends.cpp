#include "sound/RealMediaBackends.h"

#include "platform/RealBackends.h"
#include "platform/sdl/SdlAudioOut.h"
#include "platform/sndfile/SndfileWavReader.h"
#include "platform/std/SteadyClock.h"
#include "sound/SoundFontChoice.h"

SMediaBackends RealMediaBackends()
{
    SMediaBackends backends;
    backends.fAudioOut = SharedSdlAudioOut;
    backends.fMidiOut = [] { return std::shared_ptr<IMidiOut>(MakeSystemMidiOut(ChooseSoundFont)); };
    backends.fClock = [] { return std::shared_ptr<IClock>(MakeSteadyClock()); };
    backends.fOpenWav = OpenSndfileWav;
    return backends;
}
