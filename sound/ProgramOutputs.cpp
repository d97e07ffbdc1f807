#include "sound/ProgramOutputs.h"

#include "platform/MciInterpreter.h"
#include "platform/MediaDevice.h"

#include <memory>

std::unique_ptr<IMediaCommands> MakeProgramMediaCommands(IMidiOut& midiOut)
{
    SMediaBackends backends = RealMediaBackends();
    // Not owned: main() keeps the program's MIDI output until every player has ended.
    backends.fMidiOut = [&midiOut] { return std::shared_ptr<IMidiOut>(&midiOut, [](IMidiOut*) {}); };
    return std::make_unique<CMciInterpreter>(std::move(backends));
}
