#include "sound/MediaDevice.h"

#include "platform/MciErrors.h"
#include "sound/MciTokens.h"
#include "sound/MidiFile.h"
#include "sound/SequencerDevice.h"
#include "sound/WaveDevice.h"

#include <filesystem>
#include <fstream>

namespace
{

// What both device types need before they look inside: a regular file we may read. A FIFO or a
// device node named song.wav would block or never end, so only regular files go further.
int CheckReadable(const std::string& strPath)
{
    std::error_code ec;
    if (strPath.empty() || !std::filesystem::is_regular_file(strPath, ec))
        return MciError::kFileNotFound;
    std::ifstream probe(strPath, std::ios::binary);
    return probe ? MciError::kNone : MciError::kFileRead;
}

} // namespace

const char* MediaModeWord(EMediaMode eMode)
{
    switch (eMode)
    {
    case EMediaMode::Playing:
        return "playing";
    case EMediaMode::Paused:
        return "paused";
    case EMediaMode::Stopped:
        break;
    }
    return "stopped";
}

std::shared_ptr<IAudioOut> CMediaOutputs::AudioOut()
{
    std::lock_guard lock(m_mutex);
    if (!m_pAudioOut && m_backends.fAudioOut)
        m_pAudioOut = m_backends.fAudioOut();
    return m_pAudioOut;
}

std::shared_ptr<IMidiOut> CMediaOutputs::MidiOut()
{
    std::lock_guard lock(m_mutex);
    if (!m_pMidiOut && m_backends.fMidiOut)
        m_pMidiOut = m_backends.fMidiOut();
    return m_pMidiOut;
}

std::shared_ptr<IClock> CMediaOutputs::Clock()
{
    std::lock_guard lock(m_mutex);
    if (!m_pClock && m_backends.fClock)
        m_pClock = m_backends.fClock();
    return m_pClock;
}

std::unique_ptr<IWavReader> CMediaOutputs::OpenWav(const std::string& strPath) const
{
    // Set once at construction and never changed, so it needs no lock.
    return m_backends.fOpenWav ? m_backends.fOpenWav(strPath) : nullptr;
}

bool CMediaOutputs::ReadMidiFile(const std::string& strPath, SMidiFile& out, std::string& strError,
                                 const std::atomic<bool>& bStop) const
{
    // Set once at construction and never changed, so it needs no lock.
    if (m_backends.fReadMidiFile)
        return m_backends.fReadMidiFile(strPath, out, strError, bStop);
    return ::ReadMidiFile(strPath, out, strError, bStop);
}

std::unique_ptr<IMediaDevice> OpenMediaDevice(const std::string& strType, const std::string& strPath,
                                              const std::shared_ptr<CMediaOutputs>& pOutputs, int& nError)
{
    const std::string strKind = MciLower(strType);
    const bool bWave = strKind == "waveaudio";
    if (!bWave && strKind != "sequencer")
    {
        // avivideo and every other type: we have no such driver.
        nError = MciError::kDeviceNotInstalled;
        return nullptr;
    }
    nError = CheckReadable(strPath);
    if (nError != MciError::kNone)
        return nullptr;

    if (bWave)
        return CWaveDevice::Open(strPath, pOutputs, nError);

    SMidiFile file;
    std::string strReason;
    if (!ReadMidiFileHeaderAndLength(strPath, file, strReason))
    {
        nError = MciError::kInvalidFile;
        return nullptr;
    }
    return std::make_unique<CSequencerDevice>(strPath, std::move(file), pOutputs);
}
