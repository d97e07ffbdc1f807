#include "platform/MediaDevice.h"

#include "platform/MciErrors.h"
#include "platform/MciTokens.h"
#include "platform/WavLength.h"
#include "sound/MidiFile.h"

#include <filesystem>
#include <fstream>

namespace
{

// A WAV file measured by libsndfile; playback through the audio mixer joins it later.
class CWaveDevice : public IMediaDevice
{
  public:
    explicit CWaveDevice(uint32_t nLengthMs) : m_nLengthMs(nLengthMs) {}
    uint32_t LengthMs() const override { return m_nLengthMs; }

  private:
    uint32_t m_nLengthMs;
};

// A Standard MIDI File read whole by our reader; the sequencer will play these very events.
class CSequencerDevice : public IMediaDevice
{
  public:
    explicit CSequencerDevice(SMidiFile file) : m_file(std::move(file)) {}
    uint32_t LengthMs() const override { return m_file.nLengthMs; }

  private:
    SMidiFile m_file;
};

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

std::unique_ptr<IMediaDevice> OpenMediaDevice(const std::string& strType, const std::string& strPath,
                                              int& nError)
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
    {
        const std::optional<uint32_t> nLengthMs = WavLengthMs(strPath);
        if (!nLengthMs)
        {
            nError = MciError::kInvalidFile;
            return nullptr;
        }
        return std::make_unique<CWaveDevice>(*nLengthMs);
    }

    SMidiFile file;
    std::string strReason;
    if (!ReadMidiFile(strPath, file, strReason))
    {
        nError = MciError::kInvalidFile;
        return nullptr;
    }
    return std::make_unique<CSequencerDevice>(std::move(file));
}
