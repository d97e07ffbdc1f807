// Doubles for the media devices: an audio stream whose mixing the test drives frame by frame,
// and a bounded wait for what another thread hands over.
#pragma once

#include "platform/AudioOut.h"

#include <chrono>
#include <functional>
#include <mutex>
#include <vector>

class CFakeAudioOut : public IAudioOut
{
  public:
    bool AddSource(IAudioSource* pSource) override;
    void RemoveSource(IAudioSource* pSource) override;
    // One buffer of the stream: nFrames stereo frames, every source mixed in.
    std::vector<float> Mix(int nFrames);
    int Sources() const;
    void FailAdd(bool bFail) { m_bFailAdd = bFail; }

  private:
    mutable std::mutex m_mutex;
    std::vector<IAudioSource*> m_arrSources;
    bool m_bFailAdd = false;
};

// Polls fHolds until it holds or nMax has passed (a hang, not a measure); gives fHolds().
bool WaitFor(const std::function<bool()>& fHolds, std::chrono::milliseconds nMax = std::chrono::seconds(10));
