#include "options/OptionsValues.h"

#include "app/TextHelpers.h"

#include <cmath>

namespace
{
// Keeps a double inside the integers before it is converted: beyond them the conversion is
// undefined, and a settings file may hold anything.
double IntoIntRange(double d)
{
    if (std::isnan(d))
        return 0;
    return std::fmin(std::fmax(d, static_cast<double>(INT32_MIN)), static_cast<double>(INT32_MAX));
}
} // namespace

int32_t TruncatedPosition(double dValue)
{
    return static_cast<int32_t>(std::trunc(IntoIntRange(dValue)));
}

int32_t SynthToPosition(double dSynth)
{
    return static_cast<int32_t>(std::round(IntoIntRange(dSynth * 1000.0)));
}

double PositionToSynth(int32_t nPosition)
{
    return nPosition / 1000.0;
}

std::string SynthPositionText(int32_t nPosition)
{
    return FloatToText(PositionToSynth(nPosition));
}

int32_t SynthTextToPosition(const std::string& strText)
{
    return SynthToPosition(TextToFloat(strText));
}

int NearestItem(int32_t nChoice, int nCount)
{
    if (nCount <= 0)
        return -1;
    return nChoice < 0 ? 0 : nChoice >= nCount ? nCount - 1 : nChoice;
}

int DeviceItem(int32_t nDeviceIndex, int nCount)
{
    if (nCount <= 0)
        return -1;
    const int64_t nItem = static_cast<int64_t>(nDeviceIndex) + 1;
    return nItem >= 0 && nItem < nCount ? static_cast<int>(nItem) : 0;
}
