#include "sound/ProgramOutputs.h"

#include "platform/RealBackends.h"
#include "platform/std/SteadyClock.h"
#include "sound/MciInterpreter.h"
#include "sound/RealMediaBackends.h"
#include "sound/SoundFontChoice.h"

#include <atomic>
#include <memory>
#include <mutex>

namespace
{
std::atomic<IMidiOut*> g_pInstalledMidiOut{nullptr};
std::atomic<IClock*> g_pInstalledClock{nullptr};
} // namespace

IMidiOut& ProgramMidiOut()
{
    if (IMidiOut* p = g_pInstalledMidiOut)
        return *p;
    // Made once and kept to the end of the process: player threads may still hold handles
    // on it while the windows close.
    static std::unique_ptr<IMidiOut> s_pOwn = MakeSystemMidiOut(ChooseSoundFont);
    return *s_pOwn;
}

IClock& ProgramClock()
{
    if (IClock* p = g_pInstalledClock)
        return *p;
    static CSteadyClock s_clock;
    return s_clock;
}

void SetProgramOutputs(IMidiOut* pMidiOut, IClock* pClock)
{
    g_pInstalledMidiOut = pMidiOut;
    g_pInstalledClock = pClock;
}

std::unique_ptr<IMediaCommands> MakeProgramMediaCommands()
{
    SMediaBackends backends = RealMediaBackends();
    // Not owned: the program's outputs outlive every player.
    backends.fMidiOut = [] { return std::shared_ptr<IMidiOut>(&ProgramMidiOut(), [](IMidiOut*) {}); };
    return std::make_unique<CMciInterpreter>(std::move(backends));
}
