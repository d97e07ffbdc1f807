#include "platform/null/NullAudioOut.h"

#include <algorithm>

namespace
{
// 512 frames, 11.6 ms: nobody listens, so only the timing of positions matters.
constexpr int kBufferFrames = 512;
} // namespace

CNullAudioOut::CNullAudioOut(std::shared_ptr<IClock> pClock) : m_pClock(std::move(pClock)) {}

CNullAudioOut::~CNullAudioOut()
{
    // The stream's thread mixes our sources: it ends before they go.
    m_pStream.reset();
}

bool CNullAudioOut::AddSource(IAudioSource* pSource)
{
    {
        std::lock_guard lock(m_mutex);
        m_arrSources.push_back(pSource);
    }
    std::lock_guard startLock(m_startMutex);
    if (!m_pStream)
        m_pStream = std::make_unique<CClockPacedStream>(
            *m_pClock, [this](float* pStereo, int nFrames) { MixAll(pStereo, nFrames); }, kMixRate,
            kBufferFrames);
    return true;
}

void CNullAudioOut::RemoveSource(IAudioSource* pSource)
{
    // Mixing holds the lock, so once we hold it the source is out of use.
    std::lock_guard lock(m_mutex);
    std::erase(m_arrSources, pSource);
}

void CNullAudioOut::MixAll(float* pStereo, int nFrames)
{
    std::fill(pStereo, pStereo + 2 * nFrames, 0.0f);
    std::lock_guard lock(m_mutex);
    for (IAudioSource* pSource : m_arrSources)
        pSource->Mix(pStereo, nFrames);
}
