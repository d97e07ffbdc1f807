// The sequencer device: a Standard MIDI File played by a thread of its own to the output that
// "MIDI Mapper" reaches. Each message waits for its own deadline on one schedule (the start of
// the stretch plus the message's time in the file, from the tempo map), so waiting never adds up.
#pragma once

#include "platform/SoundingNotes.h"
#include "sound/MediaDevice.h"
#include "sound/MidiFile.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class CSequencerDevice : public IMediaDevice
{
  public:
    // measured: the file at strPath as ReadMidiFileHeaderAndLength gave it. Its messages are read
    // at the first Play, so that opening a file only to measure it stays cheap, and they are read
    // by the playing thread before its first message: a large file takes a second or two, and
    // the commands (a stop, the window's status queries) must not wait for that.
    CSequencerDevice(std::string strPath, SMidiFile measured, std::shared_ptr<CMediaOutputs> pOutputs);
    // Ends the thread and silences what it left sounding.
    ~CSequencerDevice() override;

    uint32_t LengthMs() const override;
    int Play() override;
    int Pause() override;
    int Stop() override;
    // Also switches off what sounds and sends the controllers and programs in force at the
    // target, so that playing on from there sounds as it would have there.
    int Seek(double fMs) override;
    uint32_t PositionMs() override;
    EMediaMode Mode() override;

    // The messages that set up each channel as it stands just before nAtUs: a reset of all
    // controllers on every channel the file uses, then the last value of every controller,
    // program, channel pressure and pitch bend, in the order the file sent them.
    std::vector<uint32_t> StateAt(uint64_t nAtUs) const;

  private:
    // The thread's routine: plays the file from m_nFromUs, started at tStart; with bRead it
    // first reads the file's messages (a stop cuts the read short) and starts when they are in.
    void Run(std::chrono::nanoseconds tStart, bool bRead);
    // Reads the file's messages on the thread and hands them over; false when stopped or failed.
    bool ReadOnThread();
    // Ends the thread (if any) and takes its position; the handle is then ours again.
    void EndThreadLocked();
    // The played position, the end of the file once the thread has played it.
    uint64_t PositionUsLocked();
    void SendLocked(uint32_t dwMessage);
    void SilenceLocked();

    const std::string m_strPath;
    // While a thread reads the file, the commands see m_file, m_nFromUs and m_tStart only under
    // m_readMutex, which the thread takes to hand the file over; at any other time only the
    // commands (under m_mutex) or only a playing thread touch them.
    mutable std::mutex m_readMutex;
    SMidiFile m_file;        // as measured, until the read at the first Play replaces it
    bool m_bLoaded = false;  // the messages are in m_file
    bool m_bReading = false; // under m_readMutex: the thread is reading them; nothing plays yet
    std::atomic<bool> m_bReadFailed{false}; // the thread's read failed: the device stops
    const std::shared_ptr<CMediaOutputs> m_pOutputs;
    std::shared_ptr<IMidiOut> m_pMidiOut;
    std::shared_ptr<IClock> m_pClock;
    std::unique_ptr<IMidiOutHandle> m_pHandle; // opened at the first Play or Seek

    std::mutex m_mutex; // the commands; the thread takes none of it
    EMediaMode m_eMode = EMediaMode::Stopped;
    uint64_t m_nFromUs = 0;               // where the current stretch began, or where it stands
    bool m_bStateDue = false;             // a seek's state is still to be sent before playing
    std::chrono::nanoseconds m_tStart{0}; // when the current stretch began
    std::thread m_thread;
    std::atomic<bool> m_bCut{false};      // tells the thread to end
    std::atomic<bool> m_bFinished{false}; // the thread has played to the end of the file
    CSoundingNotes m_notes;               // used by the thread while it runs, else by us
};
