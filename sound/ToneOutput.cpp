#include "sound/ToneOutput.h"

#include <algorithm>

namespace
{
// The stream may ask for more than a pass at once (an offline render does); the cursor must
// never come round to where it was within one refill, or that refill would render nothing.
constexpr uint32_t kMaxPiece = kToneBufferBytes / 4;
} // namespace

CToneOutput::CToneOutput() : m_osc(nullptr)
{
    m_arrBuffer.fill(kToneSilence);
    m_osc.m_pSamples = m_arrBuffer.data();
}

CToneOutput::~CToneOutput()
{
    if (m_pStream)
        m_pStream->RemoveSource(this);
}

bool CToneOutput::Attach(const FAudioOutFactory& fAudioOut)
{
    if (m_pStream)
        return true;
    std::shared_ptr<IAudioOut> pStream = fAudioOut ? fAudioOut() : nullptr;
    if (!pStream || !pStream->AddSource(this))
        return false;
    m_pStream = std::move(pStream);
    return true;
}

void CToneOutput::Sound(const SOscSettings& settings, std::vector<double> ratios)
{
    std::lock_guard lock(m_mutex);
    m_osc.SetSettings(settings);
    m_arrRatios = std::move(ratios);
    Stop();
    m_eState = EState::Looping;
}

void CToneOutput::Silence()
{
    std::lock_guard lock(m_mutex);
    Stop();
    m_osc.m_nSampleCount = m_osc.m_nSampleBase = 0;
}

void CToneOutput::Hold()
{
    std::lock_guard lock(m_mutex);
    Stop();
}

void CToneOutput::Stop()
{
    // What is left of a pass being played out is the old tone: the next one renders from here.
    if (m_eState == EState::PlayOut)
        m_osc.m_dwLastCursor = m_osc.m_nFrom = m_dwPlayCursor;
    m_eState = EState::Stopped;
}

void CToneOutput::Resume()
{
    std::lock_guard lock(m_mutex);
    if (m_eState == EState::Stopped)
        m_eState = EState::Looping;
}

void CToneOutput::PlayOut()
{
    std::lock_guard lock(m_mutex);
    if (m_eState != EState::Looping)
        return;
    m_eState = EState::PlayOut;
    m_nPlayOutLeft = kToneBufferBytes;
}

bool CToneOutput::Playing() const
{
    std::lock_guard lock(m_mutex);
    return m_eState != EState::Stopped;
}

void CToneOutput::Mix(float* pStereo, int nFrames)
{
    std::lock_guard lock(m_mutex);
    uint32_t nLeft = static_cast<uint32_t>(std::max(nFrames, 0));
    while (nLeft > 0 && m_eState != EState::Stopped)
    {
        uint32_t nPiece = std::min(nLeft, kMaxPiece);
        if (m_eState == EState::Looping)
            m_osc.Refill((m_dwPlayCursor + nPiece) % kToneBufferBytes, m_arrRatios);
        else
            nPiece = std::min(nPiece, m_nPlayOutLeft);
        Take(pStereo, nPiece);
        pStereo += 2 * nPiece;
        nLeft -= nPiece;
        if (m_eState == EState::PlayOut && (m_nPlayOutLeft -= nPiece) == 0)
        {
            // Played out: the next tone starts from silence, at phase 0, where the cursor stands.
            Stop();
            m_arrBuffer.fill(kToneSilence);
            m_osc.m_nSampleCount = m_osc.m_nSampleBase = 0;
        }
    }
}

void CToneOutput::Take(float* pStereo, uint32_t nSamples)
{
    for (uint32_t i = 0; i < nSamples; ++i)
    {
        // 8-bit samples become stream values that a 16-bit file holds as (x - 128) x 256.
        const float f = (static_cast<float>(m_arrBuffer[m_dwPlayCursor]) - 128.0f) / 128.0f;
        pStereo[2 * i] += f;
        pStereo[2 * i + 1] += f;
        m_dwPlayCursor = (m_dwPlayCursor + 1) % kToneBufferBytes;
    }
}

uint32_t CToneOutput::PlayCursor() const
{
    std::lock_guard lock(m_mutex);
    return m_dwPlayCursor;
}

std::array<uint8_t, kToneBufferBytes> CToneOutput::Samples() const
{
    std::lock_guard lock(m_mutex);
    return m_arrBuffer;
}
