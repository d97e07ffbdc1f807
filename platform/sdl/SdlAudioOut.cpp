#include "platform/sdl/SdlAudioOut.h"

#include "platform/ThreadPriority.h"
#include "platform/alsa/AlsaQuiet.h"
#include "platform/std/SteadyClock.h"

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
void ForgetThreadState()
{
    SDL_TLSCleanup();
}

// SDL's start and end are process-wide: a stream closing on one thread must not end SDL under
// one that another thread is opening.
std::mutex g_sdlMutex;

// SDL's drivers that play nothing: they wait whole milliseconds per buffer instead of following
// a sample clock, so a stream on them runs fast. Where one of them is all there is, we pace the
// stream ourselves.
bool IsSilentDriver(const char* pDriver)
{
    const std::string strDriver = pDriver ? pDriver : "";
    return strDriver == "dummy" || strDriver == "disk";
}

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
    if (nDevice != 0 && IsSilentDriver(SDL_GetCurrentAudioDriver()))
    {
        SDL_CloseAudioDevice(nDevice);
        nDevice = 0;
        SDL_SetError("SDL_AUDIODRIVER names a driver without sound");
    }
    if (nDevice == 0)
    {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    return true;
}
} // namespace

CSdlAudioOut::CSdlAudioOut(std::unique_ptr<IClock> pClock, std::atomic<bool>* pToldSilent)
    : m_pClock(std::move(pClock)), m_pToldSilent(pToldSilent)
{
    QuietAlsa();
}

CSdlAudioOut::~CSdlAudioOut()
{
    m_pPaced.reset();
    std::lock_guard sdlLock(g_sdlMutex);
    if (m_nDevice != 0)
    {
        SDL_CloseAudioDevice(m_nDevice);
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
    // Audio is all we use SDL for: with the stream gone, SDL lets go of what it keeps besides
    // (hints, driver lists). A later stream starts it afresh.
    if (m_bSdlStarted)
        SDL_Quit();
    ForgetThreadState();
}

bool CSdlAudioOut::Open()
{
    m_bTried = true;
    std::string strReason;
    bool bAsked = false; // the environment asked for no sound: nothing to tell
    {
        std::lock_guard sdlLock(g_sdlMutex);
        struct SForget
        {
            ~SForget() { ForgetThreadState(); }
        } forget;
        const char* pAsked = SDL_getenv("SDL_AUDIODRIVER");
        bAsked = pAsked && IsSilentDriver(pAsked);
        if (!bAsked)
        {
            m_bSdlStarted = true;
            SDL_AudioDeviceID nDevice = 0;
            if (OpenDevice(nDevice, this, Callback))
            {
                m_nDevice = nDevice;
                SDL_PauseAudioDevice(m_nDevice, 0);
                return true;
            }
            strReason = SDL_GetError();
        }
    }
    // SDL does not fall back by itself, and its silent drivers keep no time: where there is no
    // sound card, our own thread pulls the mix at the true rate, and the user is told once.
    if (!m_pClock)
        return false;
    m_pPaced = std::make_unique<CClockPacedStream>(
        *m_pClock, [this](float* pStereo, int nFrames) { MixAll(pStereo, nFrames); }, kMixRate,
        kBufferFrames);
    if (!bAsked && !(m_pToldSilent && m_pToldSilent->exchange(true)))
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
        if (!m_bTried)
            Open();
        if (m_nDevice == 0 && !m_pPaced)
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
    // SDL's device thread is its own; it is ours to raise once, on its first buffer.
    if (!pThis->m_bRaised.exchange(true))
        RequestRealtimePriority(kAudioPriority);
    pThis->MixAll(reinterpret_cast<float*>(pStream), nBytes / static_cast<int>(2 * sizeof(float)));
}

void CSdlAudioOut::MixAll(float* pStereo, int nFrames)
{
    std::fill(pStereo, pStereo + 2 * nFrames, 0.0f);
    std::lock_guard lock(m_mutex);
    for (IAudioSource* pSource : m_arrSources)
        pSource->Mix(pStereo, nFrames);
}

std::shared_ptr<IAudioOut> CSharedSdlAudioOut::Get()
{
    std::lock_guard lock(m_mutex);
    std::shared_ptr<IAudioOut> p = m_pOut.lock();
    if (!p)
    {
        p = std::make_shared<CSdlAudioOut>(MakeSteadyClock(), &m_bToldSilent);
        m_pOut = p;
    }
    return p;
}
