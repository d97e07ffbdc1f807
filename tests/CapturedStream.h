// An audio stream for tests: it keeps the sources that join it, and the test takes their
// samples as a sound device would, moving their play cursors as it goes.
#pragma once

#include "platform/AudioOut.h"

#include <algorithm>
#include <memory>
#include <mutex>
#include <vector>

class CCapturedStream : public IAudioOut
{
  public:
    bool AddSource(IAudioSource* pSource) override
    {
        std::lock_guard lock(m_mutex);
        m_arrSources.push_back(pSource);
        return true;
    }
    void RemoveSource(IAudioSource* pSource) override
    {
        std::lock_guard lock(m_mutex);
        std::erase(m_arrSources, pSource);
    }
    size_t Sources() const
    {
        std::lock_guard lock(m_mutex);
        return m_arrSources.size();
    }
    // The next nFrames of the mix, left channel, as 8-bit oscillator samples (0 is 128).
    std::vector<int> Take(int nFrames)
    {
        std::vector<float> stereo(2 * static_cast<size_t>(nFrames), 0.0f);
        {
            std::lock_guard lock(m_mutex);
            for (IAudioSource* pSource : m_arrSources)
                pSource->Mix(stereo.data(), nFrames);
        }
        std::vector<int> out;
        for (int i = 0; i < nFrames; ++i)
            out.push_back(static_cast<int>(stereo[2 * static_cast<size_t>(i)] * 128.0f + 128.0f));
        return out;
    }
    // The stream as the players ask for it; the test owns it.
    FAudioOutFactory Factory()
    {
        return [this] { return std::shared_ptr<IAudioOut>(std::shared_ptr<void>(), this); };
    }

  private:
    mutable std::mutex m_mutex;
    std::vector<IAudioSource*> m_arrSources;
};
