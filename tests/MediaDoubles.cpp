#include "tests/MediaDoubles.h"

#include <algorithm>
#include <thread>

bool CFakeAudioOut::AddSource(IAudioSource* pSource)
{
    std::lock_guard lock(m_mutex);
    if (m_bFailAdd)
        return false;
    m_arrSources.push_back(pSource);
    return true;
}

void CFakeAudioOut::RemoveSource(IAudioSource* pSource)
{
    std::lock_guard lock(m_mutex);
    std::erase(m_arrSources, pSource);
}

std::vector<float> CFakeAudioOut::Mix(int nFrames)
{
    std::vector<float> arrStereo(size_t(nFrames) * 2, 0.0f);
    std::lock_guard lock(m_mutex);
    for (IAudioSource* pSource : m_arrSources)
        pSource->Mix(arrStereo.data(), nFrames);
    return arrStereo;
}

int CFakeAudioOut::Sources() const
{
    std::lock_guard lock(m_mutex);
    return int(m_arrSources.size());
}

bool WaitFor(const std::function<bool()>& fHolds, std::chrono::milliseconds nMax)
{
    const auto tGiveUp = std::chrono::steady_clock::now() + nMax;
    while (!fHolds())
    {
        if (std::chrono::steady_clock::now() > tGiveUp)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}
