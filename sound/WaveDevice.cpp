#include "sound/WaveDevice.h"

#include "platform/MciErrors.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace
{
// The positions are worked out as frames * 44100 in 64 bits; 2^40 frames (eight months at
// 48 kHz) keeps that far from overflowing, and no real file comes near it.
constexpr uint64_t kMaxFrames = uint64_t(1) << 40;
// Frames read from disk at a time, and how many Play makes sure of before the stream starts.
constexpr uint64_t kBlockFrames = 8192;
constexpr uint64_t kPrefillFrames = 16384;
// The ring holds a second and a half, within these bounds whatever rate a header claims, and
// never more than the file itself.
constexpr uint64_t kMinRingFrames = 65536;
constexpr uint64_t kMaxRingFrames = uint64_t(1) << 20;

uint64_t RingFrames(uint32_t nRate, uint64_t nFrames)
{
    const uint64_t nWanted = std::clamp<uint64_t>(uint64_t(nRate) * 3 / 2, kMinRingFrames, kMaxRingFrames);
    return std::min(nWanted, nFrames + 2); // two at least: a frame and the next one to blend with
}

uint32_t FramesToMs(uint64_t nFrames, uint32_t nRate)
{
    const uint64_t nMs = nFrames / nRate * 1000 + nFrames % nRate * 1000 / nRate;
    return uint32_t(std::min<uint64_t>(nMs, std::numeric_limits<uint32_t>::max()));
}
} // namespace

std::unique_ptr<CWaveDevice> CWaveDevice::Open(const std::string& strPath,
                                               std::shared_ptr<CMediaOutputs> pOutputs, int& nError)
{
    // Only the header is read here; the file is opened again to stream it when it first plays.
    const std::unique_ptr<IWavReader> pReader = pOutputs->OpenWav(strPath);
    if (!pReader || pReader->Frames() > kMaxFrames)
    {
        nError = MciError::kInvalidFile;
        return nullptr;
    }
    nError = MciError::kNone;
    const uint32_t nRate = pReader->Rate();
    const uint64_t nFrames = pReader->Frames();
    return std::unique_ptr<CWaveDevice>(
        new CWaveDevice(strPath, std::move(pOutputs), nRate, nFrames, FramesToMs(nFrames, nRate)));
}

CWaveDevice::CWaveDevice(std::string strPath, std::shared_ptr<CMediaOutputs> pOutputs, uint32_t nRate,
                         uint64_t nFrames, uint32_t nLengthMs)
    : m_strPath(std::move(strPath)), m_pOutputs(std::move(pOutputs)), m_nRate(nRate), m_nFrames(nFrames),
      m_nLengthMs(nLengthMs), m_nRingFrames(RingFrames(nRate, nFrames)), m_nDataEnd(nFrames)
{
}

CWaveDevice::~CWaveDevice()
{
    // Once RemoveSource returns the stream no longer touches us.
    if (m_bAdded)
        m_pAudioOut->RemoveSource(this);
    {
        std::lock_guard lock(m_mutex);
        m_bQuit = true;
    }
    m_wake.notify_all();
    if (m_reader.joinable())
        m_reader.join();
}

int CWaveDevice::StartReading()
{
    if (m_pReader)
        return MciError::kNone;
    std::unique_ptr<IWavReader> pReader = m_pOutputs->OpenWav(m_strPath);
    // The file may have changed since it was opened; play only what it held then.
    if (!pReader || pReader->Rate() != m_nRate)
        return MciError::kFileRead;
    {
        std::lock_guard fileLock(m_fileMutex);
        m_nChannels = pReader->Channels();
        m_pReader = std::move(pReader);
        m_nFilePos = 0;
    }
    {
        std::lock_guard lock(m_mutex);
        m_arrRing.assign(size_t(m_nRingFrames) * 2, 0.0f);
        MoveRingLocked(PlayedFramesLocked());
    }
    m_reader = std::thread(&CWaveDevice::ReaderThread, this);
    return MciError::kNone;
}

bool CWaveDevice::ReadBlock()
{
    std::lock_guard fileLock(m_fileMutex);
    uint64_t nFrom = 0, nWant = 0, nGeneration = 0;
    {
        std::lock_guard lock(m_mutex);
        nFrom = m_nRingFirst + m_nRingCount;
        if (nFrom >= m_nDataEnd || m_nRingCount >= m_nRingFrames)
            return false;
        nWant = std::min({kBlockFrames, m_nRingFrames - m_nRingCount, m_nDataEnd - nFrom});
        nGeneration = m_nGeneration;
    }
    // Read without m_mutex: the stream and the commands go on meanwhile.
    std::vector<float> arrRead(size_t(nWant) * size_t(m_nChannels));
    uint64_t nGot = 0;
    if (m_nFilePos == nFrom || m_pReader->Seek(nFrom))
        nGot = m_pReader->Read(arrRead.data(), nWant);
    m_nFilePos = nGot > 0 ? nFrom + nGot : std::numeric_limits<uint64_t>::max();

    std::lock_guard lock(m_mutex);
    if (nGeneration != m_nGeneration)
        return true; // a seek emptied the ring meanwhile: these frames are no longer wanted
    const size_t nChannels = size_t(m_nChannels);
    for (uint64_t i = 0; i < nGot; ++i)
    {
        const float* pFrame = arrRead.data() + size_t(i) * nChannels;
        float* pSlot = m_arrRing.data() + size_t((nFrom + uint64_t(i)) % m_nRingFrames) * 2;
        // Mono goes to both sides; of more than two channels the front pair is kept.
        pSlot[0] = pFrame[0];
        pSlot[1] = nChannels > 1 ? pFrame[1] : pFrame[0];
    }
    m_nRingCount += nGot;
    // A file cut short plays what it has and then silence (see Mix), as long as its header said.
    if (nGot < nWant)
        m_nDataEnd = nFrom + nGot;
    return true;
}

void CWaveDevice::ReaderThread()
{
    for (;;)
    {
        {
            std::unique_lock lock(m_mutex);
            m_wake.wait(lock,
                        [this] {
                            return m_bQuit ||
                                   (m_nRingCount < m_nRingFrames && m_nRingFirst + m_nRingCount < m_nDataEnd);
                        });
            if (m_bQuit)
                return;
        }
        ReadBlock();
    }
}

void CWaveDevice::MoveRingLocked(uint64_t nFrame)
{
    if (nFrame >= m_nRingFirst && nFrame <= m_nRingFirst + m_nRingCount)
    {
        m_nRingCount -= nFrame - m_nRingFirst;
        m_nRingFirst = nFrame;
    }
    else
    {
        m_nRingFirst = nFrame;
        m_nRingCount = 0;
        ++m_nGeneration;
    }
    m_wake.notify_all();
}

int CWaveDevice::Play()
{
    if (const int nError = StartReading())
        return nError;
    // One block or two from disk, so that the stream starts with sound rather than a gap.
    for (;;)
    {
        {
            std::lock_guard lock(m_mutex);
            const uint64_t nAt = PlayedFramesLocked();
            MoveRingLocked(nAt);
            if (m_nRingCount >= std::min(kPrefillFrames, m_nDataEnd - std::min(nAt, m_nDataEnd)))
                break;
        }
        if (!ReadBlock())
            break;
    }
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
    MoveRingLocked(m_nBase);
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
    const uint64_t nRingEnd = m_nRingFirst + m_nRingCount;
    // A frame is at hand when the ring holds it or when it lies past the end of the samples.
    auto Sample = [&](uint64_t nFrame, int c, bool& bHere)
    {
        if (nFrame >= m_nDataEnd)
            return 0.0f;
        if (nFrame < m_nRingFirst || nFrame >= nRingEnd)
        {
            bHere = false;
            return 0.0f;
        }
        return m_arrRing[size_t(nFrame % m_nRingFrames) * 2 + size_t(c)];
    };
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
        float arrOut[2];
        bool bHere = true;
        for (int c = 0; c < 2; ++c)
        {
            const float fA = Sample(nFrame, c, bHere);
            const float fB = Sample(nNext, c, bHere);
            arrOut[c] = fA + (fB - fA) * fFrac;
        }
        if (!bHere)
            break; // the reader is behind (a slow disk): wait for it rather than skip ahead
        pStereo[i * 2] += arrOut[0];
        pStereo[i * 2 + 1] += arrOut[1];
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
    // What lies behind the position is done with: room for the reader.
    MoveRingLocked(PlayedFramesLocked());
}
