#include "sound/MidiDevices.h"

std::vector<std::string> MidiDeviceNames(IMidiOut& midiOut)
{
    std::vector<std::string> arrNames{kMidiMapperName};
    const int nCount = midiOut.DeviceCount();
    for (int nDevice = 0; nDevice < nCount; ++nDevice)
        arrNames.push_back(midiOut.DeviceName(nDevice));
    return arrNames;
}
