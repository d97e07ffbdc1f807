// The audio stream where there is no sound device: the sources are mixed at the stream's true
// rate by the clock and the sound goes nowhere, so media positions and players that count
// frames keep real time.
#pragma once

#include "platform/AudioOut.h"
#include "platform/Clock.h"
#include "platform/ClockPacedStream.h"

#include <memory>
#include <mutex>
#include <vector>

class CNullAudioOut : public IAudioOut
{
  public:
    // pClock paces the stream; its thread starts with the first source.
    explicit CNullAudioOut(std::shared_ptr<IClock> pClock);
    ~CNullAudioOut() override;
    CNullAudioOut(const CNullAudioOut&) = delete;
    CNullAudioOut& operator=(const CNullAudioOut&) = delete;

    bool AddSource(IAudioSource* pSource) override;
    void RemoveSource(IAudioSource* pSource) override;

  private:
    void MixAll(float* pStereo, int nFrames);

    std::shared_ptr<IClock> m_pClock;
    std::mutex m_mutex; // the source list, shared with the stream's thread
    std::vector<IAudioSource*> m_arrSources;
    std::mutex m_startMutex; // sources are added from several threads
    std::unique_ptr<CClockPacedStream> m_pStream;
};
