// The waveaudio device: a WAV file decoded with libsndfile and mixed into the one audio stream
// at its rate (44100 Hz stereo), converted on the way. Its position is counted from the frames
// the stream has actually taken, so it is exact to the sample.
#pragma once

#include "platform/MediaDevice.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class CWaveDevice : public IMediaDevice, public IAudioSource
{
  public:
    // nError: 0, or the MCI code why strPath is no WAV file we can play.
    static std::unique_ptr<CWaveDevice> Open(const std::string& strPath, std::shared_ptr<CMediaOutputs> pOutputs,
                                             int& nError);
    ~CWaveDevice() override;

    uint32_t LengthMs() const override { return m_nLengthMs; }
    int Play() override;
    int Pause() override;
    int Stop() override;
    int Seek(double fMs) override;
    uint32_t PositionMs() override;
    EMediaMode Mode() override;

    // The stream's thread: adds the next nFrames frames while playing.
    void Mix(float* pStereo, int nFrames) override;

  private:
    CWaveDevice(std::string strPath, std::shared_ptr<CMediaOutputs> pOutputs, uint32_t nRate, uint64_t nFrames,
                uint32_t nLengthMs);
    // Reads the samples the first time the file plays; the playlist opens files only to
    // measure them and never pays for this. Gives 0 or an MCI code.
    int Decode();
    // Source frames played: from where the current stretch began and the stream frames since.
    uint64_t PlayedFramesLocked() const;

    const std::string m_strPath;
    const std::shared_ptr<CMediaOutputs> m_pOutputs;
    const uint32_t m_nRate;    // the file's frames a second
    const uint64_t m_nFrames;  // the file's frames
    const uint32_t m_nLengthMs;

    std::shared_ptr<IAudioOut> m_pAudioOut; // held from the first Play, so the stream stays
    bool m_bAdded = false;
    bool m_bDecoded = false;
    std::vector<float> m_arrStereo; // the file as stereo frames at its own rate, as far as it goes

    mutable std::mutex m_mutex; // shared with the stream's thread; held only briefly
    EMediaMode m_eMode = EMediaMode::Stopped;
    uint64_t m_nBase = 0;  // source frame where the current stretch of playing began
    uint64_t m_nMixed = 0; // stream frames mixed since then
};
