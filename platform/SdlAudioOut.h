// The audio stream on SDL2: the default sound device with a small buffer, or, where no sound
// device can be opened, SDL's silent "dummy" driver so that everything still runs.
#pragma once

#include "platform/AudioOut.h"

#include <cstdint>
#include <mutex>
#include <vector>

class CSdlAudioOut : public IAudioOut
{
  public:
    CSdlAudioOut();
    ~CSdlAudioOut() override;
    CSdlAudioOut(const CSdlAudioOut&) = delete;
    CSdlAudioOut& operator=(const CSdlAudioOut&) = delete;

    bool AddSource(IAudioSource* pSource) override;
    void RemoveSource(IAudioSource* pSource) override;

  private:
    bool Open();
    static void Callback(void* pUser, uint8_t* pStream, int nBytes);

    std::mutex m_openMutex; // players open their outputs on their own threads
    uint32_t m_nDevice = 0;  // SDL's device id; 0 when nothing could be opened
    bool m_bTried = false;
    std::mutex m_mutex; // the source list, shared with the stream's thread
    std::vector<IAudioSource*> m_arrSources;
};

// The process's one stream, opened on first use and closed when its last user lets it go.
std::shared_ptr<IAudioOut> SharedSdlAudioOut();
