#include "sound/MidiDevices.h"

std::vector<std::string> g_arrMidiDevices;

void FillMidiDevices(IMidiOut& midiOut)
{
    g_arrMidiDevices.clear();
    g_arrMidiDevices.push_back(kMidiMapperName);
    const int nCount = midiOut.DeviceCount();
    for (int nDevice = 0; nDevice < nCount; ++nDevice)
        g_arrMidiDevices.push_back(midiOut.DeviceName(nDevice));
}
