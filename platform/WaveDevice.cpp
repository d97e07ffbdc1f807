#include "platform/WaveDevice.h"

#include "platform/MciErrors.h"

#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <limits>

namespace
{
// The longest file we decode into memory: six hours of stereo at 48 kHz is 8 GB of floats
// already; anything claiming more is damaged or not for us.
constexpr uint64_t kMaxFrames = uint64_t(6) * 3600 * 48000;

struct SSndFileCloser
{
    void operator()(SNDFILE* p) const { sf_close(p); }
};
using TSndFile = std::unique_ptr<SNDFILE, SSndFileCloser>;

uint32_t FramesToMs(uint64_t nFrames, uint32_t nRate)
{
    const uint64_t nMs = nFrames / nRate * 1000 + nFrames % nRate * 1000 / nRate;
    return uint32_t(std::min<uint64_t>(nMs, std::numeric_limits<uint32_t>::max()));
}
} // namespace

std::unique_ptr<CWaveDevice> CWaveDevice::Open(const std::string& strPath, std::shared_ptr<CMediaOutputs> pOutputs,
                                               int& nError)
{
    SF_INFO info{};
    TSndFile pFile(sf_open(strPath.c_str(), SFM_READ, &info));
    // libsndfile reads AIFF, FLAC, Ogg and more, but the waveaudio device plays WAV only,
    // whatever the file's name says.
    const int nContainer = info.format & SF_FORMAT_TYPEMASK;
    if (!pFile || (nContainer != SF_FORMAT_WAV && nContainer != SF_FORMAT_WAVEX) || info.samplerate <= 0 ||
        info.channels <= 0 || info.frames < 0 || uint64_t(info.frames) > kMaxFrames)
    {
        nError = MciError::kInvalidFile;
        return nullptr;
    }
    nError = MciError::kNone;
    const uint32_t nRate = uint32_t(info.samplerate);
    const uint64_t nFrames = uint64_t(info.frames);
    return std::unique_ptr<CWaveDevice>(
        new CWaveDevice(strPath, std::move(pOutputs), nRate, nFrames, FramesToMs(nFrames, nRate)));
}

CWaveDevice::CWaveDevice(std::string strPath, std::shared_ptr<CMediaOutputs> pOutputs, uint32_t nRate,
                         uint64_t nFrames, uint32_t nLengthMs)
    : m_strPath(std::move(strPath)), m_pOutputs(std::move(pOutputs)), m_nRate(nRate), m_nFrames(nFrames),
      m_nLengthMs(nLengthMs)
{
}

CWaveDevice::~CWaveDevice()
{
    // Once RemoveSource returns the stream no longer touches us.
    if (m_bAdded)
        m_pAudioOut->RemoveSource(this);
}

int CWaveDevice::Decode()
{
    if (m_bDecoded)
        return MciError::kNone;
    SF_INFO info{};
    TSndFile pFile(sf_open(m_strPath.c_str(), SFM_READ, &info));
    // The file may have changed since it was opened; play only what it held then.
    if (!pFile || info.channels <= 0 || uint32_t(info.samplerate) != m_nRate)
        return MciError::kFileRead;
    const size_t nChannels = size_t(info.channels);
    std::vector<float> arrRead(4096 * nChannels);
    std::vector<float> arrStereo;
    // Grown as the samples come: a damaged header may claim far more frames than the file has.
    while (arrStereo.size() < size_t(m_nFrames) * 2)
    {
        const sf_count_t nWant = std::min<sf_count_t>(4096, sf_count_t(m_nFrames - arrStereo.size() / 2));
        const sf_count_t nGot = sf_readf_float(pFile.get(), arrRead.data(), nWant);
        if (nGot <= 0)
            break;
        for (sf_count_t i = 0; i < nGot; ++i)
        {
            const float* pFrame = arrRead.data() + size_t(i) * nChannels;
            // Mono goes to both sides; of more than two channels the front pair is kept.
            arrStereo.push_back(pFrame[0]);
            arrStereo.push_back(nChannels > 1 ? pFrame[1] : pFrame[0]);
        }
    }
    // A file cut short plays what it has and then silence (see Mix), as long as its header said.
    std::lock_guard lock(m_mutex);
    m_arrStereo = std::move(arrStereo);
    m_bDecoded = true;
    return MciError::kNone;
}

int CWaveDevice::Play()
{
    if (const int nError = Decode())
        return nError;
    if (!m_bAdded)
    {
        m_pAudioOut = m_pOutputs->AudioOut();
        if (!m_pAudioOut || !m_pAudioOut->AddSource(this))
            return MciError::kWaveOutputsUnsuitable;
        m_bAdded = true;
    }
    std::lock_guard lock(m_mutex);
    // Played to the end, the file stays there: MCI plays from where the device stands.
    if (PlayedFramesLocked() < m_nFrames)
        m_eMode = EMediaMode::Playing;
    return MciError::kNone;
}

int CWaveDevice::Pause()
{
    std::lock_guard lock(m_mutex);
    if (m_eMode == EMediaMode::Playing)
        m_eMode = EMediaMode::Paused;
    return MciError::kNone;
}

int CWaveDevice::Stop()
{
    std::lock_guard lock(m_mutex);
    m_eMode = EMediaMode::Stopped;
    return MciError::kNone;
}

int CWaveDevice::Seek(double fMs)
{
    std::lock_guard lock(m_mutex);
    m_eMode = EMediaMode::Stopped;
    const double fFrame = std::floor(std::max(fMs, 0.0) * m_nRate / 1000.0);
    m_nBase = std::min<uint64_t>(uint64_t(fFrame), m_nFrames);
    m_nMixed = 0;
    return MciError::kNone;
}

uint64_t CWaveDevice::PlayedFramesLocked() const
{
    return std::min<uint64_t>(m_nBase + m_nMixed * m_nRate / kMixRate, m_nFrames);
}

uint32_t CWaveDevice::PositionMs()
{
    std::lock_guard lock(m_mutex);
    // Milliseconds of the source frames played, worked out from the stream frames without
    // rounding: base / rate + mixed / 44100, both in whole frames.
    const uint64_t nNum = m_nBase * kMixRate + m_nMixed * m_nRate;
    const uint64_t nDen = uint64_t(m_nRate) * kMixRate;
    const uint64_t nMs = nNum / nDen * 1000 + nNum % nDen * 1000 / nDen;
    return std::min<uint32_t>(uint32_t(std::min<uint64_t>(nMs, UINT32_MAX)), m_nLengthMs);
}

EMediaMode CWaveDevice::Mode()
{
    std::lock_guard lock(m_mutex);
    return m_eMode;
}

void CWaveDevice::Mix(float* pStereo, int nFrames)
{
    std::lock_guard lock(m_mutex);
    if (m_eMode != EMediaMode::Playing)
        return;
    const float* pSource = m_arrStereo.data();
    const uint64_t nDecoded = m_arrStereo.size() / 2;
    for (int i = 0; i < nFrames; ++i)
    {
        // Source position of this stream frame: whole frame and fraction, exactly.
        const uint64_t nStep = m_nMixed * m_nRate;
        const uint64_t nFrame = m_nBase + nStep / kMixRate;
        if (nFrame >= m_nFrames)
        {
            // The end: the position stays at the file's length.
            m_eMode = EMediaMode::Stopped;
            m_nBase = m_nFrames;
            m_nMixed = 0;
            return;
        }
        const float fFrac = float(nStep % kMixRate) / float(kMixRate);
        const uint64_t nNext = std::min(nFrame + 1, m_nFrames - 1);
        for (int c = 0; c < 2; ++c)
        {
            const float fA = nFrame < nDecoded ? pSource[nFrame * 2 + c] : 0.0f;
            const float fB = nNext < nDecoded ? pSource[nNext * 2 + c] : 0.0f;
            pStereo[i * 2 + c] += fA + (fB - fA) * fFrac;
        }
        ++m_nMixed;
    }
    // The last frame taken is the end, whether or not the stream asks for more.
    if (PlayedFramesLocked() >= m_nFrames)
    {
        m_eMode = EMediaMode::Stopped;
        m_nBase = m_nFrames;
        m_nMixed = 0;
        return;
    }
    // Keep the count small, so that hours of playing cannot overflow the products above.
    if (m_nMixed >= kMixRate)
    {
        const uint64_t nWhole = m_nMixed / kMixRate * kMixRate;
        m_nBase += nWhole / kMixRate * m_nRate;
        m_nMixed -= nWhole;
    }
}
