#include "sound/MidiDevices.h"

#include "app/Settings.h"
#include "platform/SystemMidiOut.h"

#include <algorithm>

std::vector<std::string> MidiDeviceNames(IMidiOut& midiOut)
{
    std::vector<std::string> arrNames{kMidiMapperName};
    const int nCount = midiOut.DeviceCount();
    for (int nDevice = 0; nDevice < nCount; ++nDevice)
        arrNames.push_back(midiOut.DeviceName(nDevice));
    return arrNames;
}

SOutputByName FindOutputByName(const std::vector<std::string>& arrNames, int32_t nDeviceIndex,
                               const std::string& strName)
{
    // No list at all (the outputs could not be asked): nothing can be said to be lost.
    if (strName.empty() || arrNames.empty())
        return {nDeviceIndex, {}};
    const int64_t nItem = int64_t(nDeviceIndex) + 1;
    if (nItem >= 0 && nItem < int64_t(arrNames.size()) && arrNames[size_t(nItem)] == strName)
        return {nDeviceIndex, {}};
    auto it = std::find(arrNames.begin(), arrNames.end(), strName);
    if (it != arrNames.end())
        return {int32_t(it - arrNames.begin()) - 1, {}};
    it = std::find(arrNames.begin(), arrNames.end(), kBuiltInSynthName);
    return {it != arrNames.end() ? int32_t(it - arrNames.begin()) - 1 : kMidiMapper, strName};
}

std::string FollowDeviceName(CSettings& settings, const std::vector<std::string>& arrNames)
{
    const SOutputByName found = FindOutputByName(arrNames, settings.DeviceIndex, settings.DeviceName);
    settings.DeviceIndex = found.nDeviceIndex;
    return found.strLost;
}
