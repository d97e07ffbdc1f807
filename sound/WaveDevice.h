// The waveaudio device: a WAV file (RIFF, WAVE_FORMAT_EXTENSIBLE, RF64 or Wave64) read through
// the outputs' WAV reader and mixed into the one audio stream at its rate (44100 Hz stereo), converted on the
// way. The file is streamed from disk: a reader thread keeps a ring of about a second and a half
// filled ahead of the play position, so a file of any size costs the same little memory, and no
// command waits for more than one block to be read. Its position is counted from the frames the
// stream has actually taken, so it is exact to the sample.
#pragma once

#include "sound/MediaDevice.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class CWaveDevice : public IMediaDevice, public IAudioSource
{
  public:
    // nError: 0, or the MCI code why strPath is no WAV file we can play. Reads only the header.
    static std::unique_ptr<CWaveDevice> Open(const std::string& strPath,
                                             std::shared_ptr<CMediaOutputs> pOutputs, int& nError);
    ~CWaveDevice() override;

    uint32_t LengthMs() const override { return m_nLengthMs; }
    int Play() override;
    int Pause() override;
    int Stop() override;
    int Seek(double fMs) override;
    uint32_t PositionMs() override;
    EMediaMode Mode() override;

    // The stream's thread: adds the next nFrames frames while playing. Frames the reader has not
    // brought in yet are not played (nor counted) in this call: the position waits for them.
    void Mix(float* pStereo, int nFrames) override;

  private:
    CWaveDevice(std::string strPath, std::shared_ptr<CMediaOutputs> pOutputs, uint32_t nRate,
                uint64_t nFrames, uint32_t nLengthMs);
    // Opens the file for streaming the first time it plays; the playlist opens files only to
    // measure them and never pays for this. Gives 0 or an MCI code.
    int StartReading();
    // Reads one block into the ring after what it holds; false when there is nothing to read
    // (the ring is full or holds the rest of the file). Takes m_fileMutex, and m_mutex only to
    // look and to copy.
    bool ReadBlock();
    void ReaderThread();
    // Source frames played: from where the current stretch began and the stream frames since.
    uint64_t PlayedFramesLocked() const;
    // Forgets the ring's frames before nFrame, or all of them when nFrame lies outside it.
    void MoveRingLocked(uint64_t nFrame);

    const std::string m_strPath;
    const std::shared_ptr<CMediaOutputs> m_pOutputs;
    const uint32_t m_nRate;   // the file's frames a second
    const uint64_t m_nFrames; // the file's frames, as its header says
    const uint32_t m_nLengthMs;
    const uint64_t m_nRingFrames; // the ring's capacity in frames

    std::shared_ptr<IAudioOut> m_pAudioOut; // held from the first Play, so the stream stays
    bool m_bAdded = false;

    std::mutex m_fileMutex; // the open file and its read position; held while reading a block
    std::unique_ptr<IWavReader> m_pReader;
    int m_nChannels = 0;
    uint64_t m_nFilePos = 0; // the frame the next read gives

    mutable std::mutex m_mutex;     // shared with the stream's and the reader's threads; held briefly
    std::condition_variable m_wake; // the reader waits on it for room in the ring or for the end
    EMediaMode m_eMode = EMediaMode::Stopped;
    uint64_t m_nBase = 0;         // source frame where the current stretch of playing began
    uint64_t m_nMixed = 0;        // stream frames mixed since then
    std::vector<float> m_arrRing; // stereo frames; frame f sits at slot f % m_nRingFrames
    uint64_t m_nRingFirst = 0;    // the first frame the ring holds
    uint64_t m_nRingCount = 0;    // how many frames from there it holds
    uint64_t m_nGeneration = 0;   // changes whenever the ring is emptied, so a read in flight is dropped
    uint64_t m_nDataEnd;          // where the samples end: the header's frames, or less for a cut file
    bool m_bQuit = false;
    std::thread m_reader;
};
