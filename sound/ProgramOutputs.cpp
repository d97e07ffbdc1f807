#include "sound/ProgramOutputs.h"

#include "sound/MciInterpreter.h"
#include "sound/RealMediaBackends.h"

#include <memory>

std::unique_ptr<IMediaCommands> MakeProgramMediaCommands(IMidiOut& midiOut, FAudioOutFactory fAudioOut)
{
    SMediaBackends backends = RealMediaBackends(std::move(fAudioOut));
    // Not owned: main() keeps the program's MIDI output until every player has ended.
    backends.fMidiOut = [&midiOut] { return std::shared_ptr<IMidiOut>(&midiOut, [](IMidiOut*) {}); };
    return std::make_unique<CMciInterpreter>(std::move(backends));
}
