#include "cli/DevicesCommand.h"

#include "sound/MidiDevices.h"

#include <cstdio>

int RunDevices(const FMidiOutFactory& fMidiOut)
{
    std::unique_ptr<IMidiOut> pMidiOut = fMidiOut();
    FillMidiDevices(*pMidiOut);
    for (const std::string& strName : g_arrMidiDevices)
        std::printf("%s\n", strName.c_str());
    std::fflush(stdout);
    return 0;
}
