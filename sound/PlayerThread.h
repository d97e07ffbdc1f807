// The player thread of one project object, owned so that the window can start, stop and join
// it: it is never left joinable, and its start never leaves the window waiting on a thread
// that has already given up.
#pragma once

#include "platform/Clock.h"
#include "platform/MidiOut.h"
#include "project/ProjectPlayer.h"
#include "sound/ProjectPlayback.h"

#include <atomic>
#include <chrono>
#include <thread>

class CPlayerThread
{
  public:
    // bRealtime: the thread asks the system for real-time scheduling, and goes on at normal
    // priority where it is not granted.
    // fToneOut: the stream a version 0.1 project's tones sound in (none: they are silent).
    CPlayerThread(CProjectPlayer& player, IMidiOut& midiOut, IClock& clock, bool bRealtime = true,
                  FAudioOutFactory fToneOut = {});
    // Stops and joins: closing the program silences and ends the player.
    ~CPlayerThread();
    CPlayerThread(const CPlayerThread&) = delete;
    CPlayerThread& operator=(const CPlayerThread&) = delete;

    // Starts playing a copy of the bytes the player points at, on device nDevice, with m_bStop
    // and m_bPause cleared. A thread that has ended is joined first; one that is ending after
    // Stop() is given up to a second to end. False when a thread still plays (the window then
    // resumes it by clearing m_bPause instead) or will not end.
    // osc: the settings that the project's tones take until a settings record of its own.
    bool Start(int nDevice, const SOscSettings& osc = {});
    // Asks the thread to end and wakes it from its wait; it silences its notes and ends at
    // once. Does not wait.
    void Stop();
    // Waits for the thread to end. The thread may be showing a message through the Prompter:
    // call this where that message can still be answered (not from inside a window thread that
    // the Prompter needs), or after Settled() and without a damaged project.
    void Join();

    // A thread was started and has not yet ended.
    bool Running() const { return m_bRunning; }
    // The start has settled: the player plays (m_bPlaying) or its thread has ended without
    // playing (a damaged or future project). Playback waits for this, never for m_bPlaying
    // alone.
    bool Settled() const { return m_player.m_bPlaying || !m_bRunning; }
    // Waits at most nMax for Settled(), and gives it.
    bool WaitSettled(std::chrono::milliseconds nMax) const;
    // How the last playing that has ended ended.
    EPlayEnd LastEnd() const { return m_eLastEnd; }
    // The last playing that has ended could not open its device and played without sound.
    bool LastDeviceFailed() const { return m_bLastDeviceFailed; }

  private:
    CProjectPlayer& m_player;
    IMidiOut& m_midiOut;
    IClock& m_clock;
    bool m_bRealtime;
    FAudioOutFactory m_fToneOut;
    std::thread m_thread;
    std::atomic<bool> m_bRunning{false};
    std::atomic<bool> m_bStopAsked{false}; // outlives the thread's own clearing of m_bStop
    std::atomic<EPlayEnd> m_eLastEnd{EPlayEnd::Finished};
    std::atomic<bool> m_bLastDeviceFailed{false};
};
