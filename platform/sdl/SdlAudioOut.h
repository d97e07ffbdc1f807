// The audio stream on SDL2: the default sound device with a small buffer, or, where no sound
// device can be opened (or SDL_AUDIODRIVER names one of SDL's silent drivers), a silent stream
// paced by the clock at the true rate, so that everything still runs and keeps time.
#pragma once

#include "platform/AudioOut.h"
#include "platform/ClockPacedStream.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

class CSdlAudioOut : public IAudioOut
{
  public:
    // pClock paces the stream where no sound device plays it. pToldSilent (may be null) is set
    // once the user has been told that no sound device plays; while it is set nothing is said.
    explicit CSdlAudioOut(std::unique_ptr<IClock> pClock, std::atomic<bool>* pToldSilent = nullptr);
    ~CSdlAudioOut() override;
    CSdlAudioOut(const CSdlAudioOut&) = delete;
    CSdlAudioOut& operator=(const CSdlAudioOut&) = delete;

    bool AddSource(IAudioSource* pSource) override;
    void RemoveSource(IAudioSource* pSource) override;

  private:
    bool Open();
    static void Callback(void* pUser, uint8_t* pStream, int nBytes);
    void MixAll(float* pStereo, int nFrames);

    std::unique_ptr<IClock> m_pClock;
    std::atomic<bool>* m_pToldSilent;
    std::mutex m_openMutex;                      // players open their outputs on their own threads
    uint32_t m_nDevice = 0;                      // SDL's device id; 0 when no sound device plays
    std::unique_ptr<CClockPacedStream> m_pPaced; // the stream where no sound device plays
    bool m_bTried = false;
    bool m_bSdlStarted = false;
    std::atomic<bool> m_bRaised{false}; // the device's thread has asked for real-time priority
    std::mutex m_mutex;                 // the source list, shared with the stream's thread
    std::vector<IAudioSource*> m_arrSources;
};

// The program's one stream, which every source mixes into (the synthesizer, the media files):
// opened when first asked for and closed when its last user lets it go. main() keeps one, made
// before and ended after every output that asks it for the stream.
class CSharedSdlAudioOut
{
  public:
    std::shared_ptr<IAudioOut> Get();
    // Get, as the outputs ask for their stream.
    FAudioOutFactory Factory()
    {
        return [this] { return Get(); };
    }

  private:
    std::mutex m_mutex;
    std::weak_ptr<IAudioOut> m_pOut;
    // The user hears once in the program's life that there is no sound device, however often
    // the stream opens again.
    std::atomic<bool> m_bToldSilent{false};
};
