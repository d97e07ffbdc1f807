#include "cli/DevicesCommand.h"

#include "sound/MidiDevices.h"

#include <cstdio>

int RunDevices(const FMidiOutFactory& fMidiOut)
{
    std::unique_ptr<IMidiOut> pMidiOut = fMidiOut();
    // Numbered as the setting DeviceIndex and "play --device" count them: the list starts at
    // "MIDI Mapper", -1.
    int nDevice = kMidiMapper;
    for (const std::string& strName : MidiDeviceNames(*pMidiOut))
        std::printf("%d %s\n", nDevice++, strName.c_str());
    std::fflush(stdout);
    return 0;
}
