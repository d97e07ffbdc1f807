// The media player: opens WAV, MID and AVI files under the aliases mus0, mus1, ... and plays
// them on its own thread, all through the media-command layer. The playlist measures its media
// rows with Open, GetLength and Close; the transport plays them with Play, Pause, Stop, Seek.
#pragma once

#include "platform/Clock.h"
#include "platform/MediaCommands.h"
#include "platform/Prompter.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <thread>

class CMciPlayer
{
  public:
    // commands: the layer to talk to. prompter: where the device's errors are said, from the
    // player thread too. pClock paces the player thread's polling; null means the steady
    // clock. None is owned; all must outlive the player.
    CMciPlayer(IMediaCommands& commands, IPrompter& prompter, IClock* pClock = nullptr);
    // Shutdown(): closing the program ends the player thread and silences the file.
    ~CMciPlayer();
    CMciPlayer(const CMciPlayer&) = delete;
    CMciPlayer& operator=(const CMciPlayer&) = delete;

    // Opens the file under alias musN, its device type chosen by the extension (wav, mid, avi).
    // After the first Open every Open closes musN first, opened or not. A failure is shown in
    // the open error box (without owner) and otherwise ignored, as the callers expect.
    void Open(const std::string& strPath, int32_t nAlias);
    void Close(int32_t nAlias);
    void Pause(int32_t nAlias);
    // When no player thread runs: starts one that plays strPath under alias nAlias (it keeps
    // its own copies of both). When one runs: clears m_bPause, and the thread resumes the
    // device from where it was paused. A thread that is on its way out (m_bPlaying already
    // cleared by Stop) is waited for, a second at most and not while a worker's message box
    // waits for the user, so that the new file does start.
    void Play(int32_t nAlias, const std::string& strPath);
    // Sends the stop command, then clears m_bPlaying: the player thread ends within one poll.
    void Stop(int32_t nAlias);
    // Sends the time format command and the seek command; fMs is written exactly (1500, 0.5).
    // The device stops at the target; when the player thread plays that alias it goes on
    // playing from there (or, paused, resumes from there).
    void Seek(int32_t nAlias, float fMs);
    // Length and position in milliseconds; 0 when the device cannot tell.
    float GetLength(int32_t nAlias);
    float GetPosition(int32_t nAlias);
    // The device's mode word as the layer gives it ("playing", "paused", "stopped"...).
    std::string GetMode(int32_t nAlias);

    // A player thread has been started and has not yet ended.
    bool ThreadRunning() const { return m_bThreadRunning; }
    // Ends the player thread (clears m_bPlaying and wakes it), waits for it; the thread closes
    // its alias, which silences the file. No message is shown from then on.
    void Shutdown();

    // Set while a player thread works on a file; the window and Stop clear it to end it.
    std::atomic<bool> m_bPlaying{false};
    // Pause request: the window sets it to pause and clears it to resume.
    std::atomic<bool> m_bPause{false};
    // The alias of the file the player thread plays.
    std::atomic<int32_t> m_nAlias{0};
    // Last polled position and the length of the file being played, ms; written by the thread.
    std::atomic<float> m_fPosition{0};
    std::atomic<float> m_fLength{0};
    // Set by the first Open, never cleared. Atomic: the playlist and the player thread both
    // call Open.
    std::atomic<bool> m_bOpened{false};

  private:
    int Send(const std::string& strCommand, std::string& strReply) const;
    // Sends the time format command and then the status query for the item; gives its reply.
    std::string Query(int32_t nAlias, const char* pszItem) const;
    // Open, giving the open command's result code.
    int OpenFile(const std::string& strPath, int32_t nAlias);
    void ShowError(const char* pszText, const char* pszCaption, int nCode);
    // The player thread's routine, on its own copies of the path and the alias.
    void PlayThread(std::string strPath, int32_t nAlias);
    // Sleeps one polling step; Shutdown cuts it short.
    void SleepStep();

    IMediaCommands& m_commands;
    IPrompter& m_prompter;
    std::unique_ptr<IClock> m_pOwnClock;
    IClock* m_pClock;
    std::thread m_thread;
    std::atomic<bool> m_bThreadRunning{false};
    // A seek reached the alias the thread plays: the "stopped" it leaves is not the file's end.
    std::atomic<bool> m_bSought{false};
    std::atomic<bool> m_bCut{false};          // wakes the thread's sleeps at Shutdown
    std::atomic<bool> m_bShuttingDown{false}; // no more message boxes
};
