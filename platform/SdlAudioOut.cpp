#include "platform/SdlAudioOut.h"

#include "platform/AlsaQuiet.h"

#include <SDL.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <string>

namespace
{
// 128 frames at 44100 Hz, 2.9 ms: a key reaches the speakers within 10 ms even when it just
// misses a buffer (one buffer waited, one queued, the attack of the sound).
constexpr int kBufferFrames = 128;

// SDL keeps an error text per thread that called it; for threads it did not make itself it
// never frees it. Our players call it from their own threads, so each call lets go of it.
void ForgetThreadState() { SDL_TLSCleanup(); }

// SDL's start and end are process-wide: a stream closing on one thread must not end SDL under
// one that another thread is opening.
std::mutex g_sdlMutex;

bool OpenDevice(SDL_AudioDeviceID& nDevice, void* pUser, void (*fCallback)(void*, Uint8*, int))
{
    // SDL would take over SIGINT and SIGTERM: the program and its command line handle their own.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
        return false;
    SDL_AudioSpec want{};
    want.freq = kMixRate;
    want.format = AUDIO_F32SYS;
    want.channels = 2;
    want.samples = kBufferFrames;
    want.callback = fCallback;
    want.userdata = pUser;
    SDL_AudioSpec have{};
    // No changes allowed: SDL converts to whatever the device takes.
    nDevice = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (nDevice == 0)
    {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    return true;
}
} // namespace

CSdlAudioOut::CSdlAudioOut() { QuietAlsa(); }

CSdlAudioOut::~CSdlAudioOut()
{
    std::lock_guard sdlLock(g_sdlMutex);
    if (m_nDevice != 0)
    {
        SDL_CloseAudioDevice(m_nDevice);
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
    // Audio is all we use SDL for: with the stream gone, SDL lets go of what it keeps besides
    // (hints, driver lists). A later stream starts it afresh.
    if (m_bTried)
        SDL_Quit();
    ForgetThreadState();
}

bool CSdlAudioOut::Open()
{
    std::lock_guard sdlLock(g_sdlMutex);
    m_bTried = true;
    struct SForget
    {
        ~SForget() { ForgetThreadState(); }
    } forget;
    SDL_AudioDeviceID nDevice = 0;
    if (OpenDevice(nDevice, this, Callback))
    {
        m_nDevice = nDevice;
        return true;
    }
    // SDL does not fall back by itself: where there is no sound card the silent driver keeps
    // the clocks of the stream running, and the user is told once.
    const std::string strReason = SDL_GetError();
    // Set over the environment: SDL_AUDIODRIVER naming a driver that failed must not win.
    SDL_SetHintWithPriority(SDL_HINT_AUDIODRIVER, "dummy", SDL_HINT_OVERRIDE);
    if (!OpenDevice(nDevice, this, Callback))
        return false;
    m_nDevice = nDevice;
    static std::atomic<bool> s_bSaid{false};
    if (!s_bSaid.exchange(true))
    {
        std::fprintf(stderr, "Tonegrove: no sound device can be opened (%s); playing without sound\n",
                     strReason.empty() ? "unknown reason" : strReason.c_str());
        std::fflush(stderr);
    }
    return true;
}

bool CSdlAudioOut::AddSource(IAudioSource* pSource)
{
    if (!pSource)
        return false;
    {
        std::lock_guard openLock(m_openMutex);
        if (!m_bTried && Open())
            SDL_PauseAudioDevice(m_nDevice, 0);
        if (m_nDevice == 0)
            return false;
    }
    std::lock_guard lock(m_mutex);
    if (std::find(m_arrSources.begin(), m_arrSources.end(), pSource) == m_arrSources.end())
        m_arrSources.push_back(pSource);
    return true;
}

void CSdlAudioOut::RemoveSource(IAudioSource* pSource)
{
    // The callback mixes with the lock held, so once we hold it the source is out of use.
    std::lock_guard lock(m_mutex);
    std::erase(m_arrSources, pSource);
}

void CSdlAudioOut::Callback(void* pUser, uint8_t* pStream, int nBytes)
{
    auto* pThis = static_cast<CSdlAudioOut*>(pUser);
    std::memset(pStream, 0, static_cast<size_t>(nBytes));
    const int nFrames = nBytes / static_cast<int>(2 * sizeof(float));
    float* pStereo = reinterpret_cast<float*>(pStream);
    std::lock_guard lock(pThis->m_mutex);
    for (IAudioSource* pSource : pThis->m_arrSources)
        pSource->Mix(pStereo, nFrames);
}

std::shared_ptr<IAudioOut> SharedSdlAudioOut()
{
    static std::mutex s_mutex;
    static std::weak_ptr<IAudioOut> s_pOut;
    std::lock_guard lock(s_mutex);
    std::shared_ptr<IAudioOut> p = s_pOut.lock();
    if (!p)
    {
        p = std::make_shared<CSdlAudioOut>();
        s_pOut = p;
    }
    return p;
}
