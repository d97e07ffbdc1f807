// The transport: Playback, Pause, Stop, a seek in the item that plays, and the tick that
// follows the playing row every 100 ms and moves on through the list. It plays project rows on
// the project player's thread and media rows on the media player's, and tells its listener what
// a view of it shows.
//
// One item sounds at a time: starting a row stops whatever else plays, and Pause, Stop and the
// seek act on the item that plays, not on the row that happens to be selected. The caller's
// thread never waits for a player that may be waiting for the user: a worker's message box holds
// its thread, so every wait here is short, bounded, and ends as soon as a worker asks.
#pragma once

#include "app/Services.h"
#include "app/Settings.h"
#include "playlist/Playlist.h"
#include "project/ProjectPlayer.h"
#include "sound/MciPlayer.h"
#include "sound/PlayerThread.h"

#include <chrono>
#include <optional>
#include <string>

// Which transport commands would do something now.
struct STransportState
{
    bool bPlayback = false; // starts the selected row, or resumes it when it is the paused one
    bool bPause = false;    // holds what plays
    bool bStop = false;     // stops what plays, or is about to
    bool operator==(const STransportState&) const = default;
};

enum class ETransportCommand
{
    Playback,
    Pause,
    Stop,
};

// What a view of the transport shows, told as it changes. Called on the transport's thread.
class ITransportListener
{
  public:
    virtual ~ITransportListener() = default;
    // Playback is about to play the selected row: a command, a double click, or the list
    // moving on.
    virtual void PlaybackStarting() = 0;
    // The transport made nRow the selected row (the list moving on).
    virtual void SelectionMoved(int nRow) = 0;
    // The row being played, -1 for none.
    virtual void CurrentChanged(int nRow) = 0;
    // The part of the item played, 0 to 100.
    virtual void PositionChanged(int nPercent) = 0;
    // The played time as the time label shows it.
    virtual void TimeChanged(const std::string& strTime) = 0;
    virtual void StateChanged(const STransportState& state) = 0;
    // Tick() is wanted every 100 ms from now on (true), or no more (false).
    virtual void TickingChanged(bool bTicking) = 0;
    // A command is kept until RunDeferred() can run it; it wants to be polled until then.
    virtual void CommandDeferred() = 0;
};

class CTransport
{
  public:
    static constexpr std::chrono::milliseconds kTickPeriod{100};
    // A media file waits this long before it starts when the setting PrePause is on.
    static constexpr std::chrono::milliseconds kPrePause{200};

    // Reads the settings at every command and tick (they may change in between); the media
    // player paces itself by the steady clock, the project player by services.clock.
    CTransport(CPlaylist& playlist, const CSettings& settings, const SServices& services,
               ITransportListener& listener);
    // Ends the players as Shutdown() does, without a word to the listener.
    ~CTransport();
    CTransport(const CTransport&) = delete;
    CTransport& operator=(const CTransport&) = delete;

    // A command from a menu, a button or a key. While a worker's message waits for the user, or
    // while another transport command is still under way below this one, the command is kept
    // (the last one wins) and runs once RunDeferred() finds nothing holding it.
    void Command(ETransportCommand eCommand);
    bool HasDeferred() const { return m_oDeferred.has_value(); }
    void RunDeferred();

    void Playback();
    void Pause();
    void Stop();
    // "Switch off all notes": what plays stops as with Stop (kept, as Stop is, while a worker's
    // message waits), and every MIDI output is silenced at once, whatever plays or not: a stuck
    // note on an instrument, a player still ending, the live keyboard.
    void Panic();
    // A double click on nRow: it becomes the selected row and plays. Nothing happens while a
    // worker's message waits or a command is under way.
    void PlayRow(int nRow);
    // The position bar moved to nValue of nMax: the media file that plays (or is paused) goes
    // there and plays on; anything else is not sought.
    void Seek(int nValue, int nMax);
    // The item that plays (or is paused) goes to nMs of its time (below 0: its start): a
    // project through its player's seek, staying paused when paused; a media file as Seek takes
    // it, up to its length, and plays on. The time label and the bar follow at the next tick.
    // False, with nothing done, when nothing plays or while Busy().
    bool SeekTime(int64_t nMs);
    // What the 100 ms timer does: starts a row whose player has come free (or whose pre-pause
    // has passed), follows the position, and with the whole list moves on to the next row.
    // now is services.clock's time.
    void Tick(std::chrono::nanoseconds now);
    // Removes the row from the playlist; the row that plays stops with it.
    void RemoveRow(int nRow);
    // The selected row changed: the commands possible are told again.
    void SelectionChanged() { Notify(); }
    // Ends every player and waits for them; a worker's message on screen is closed and no other
    // is shown meanwhile. For the program's end.
    void Shutdown();

    STransportState State() const;
    bool IsTicking() const { return m_bTicking; }
    // The transport's view that the current item plays (or is paused, or about to start).
    bool IsItemPlaying() const { return m_bItemPlaying; }
    bool IsPaused() const { return m_bPauseToggle; }
    // A command is under way or a worker's message waits: double clicks and seeks are ignored.
    bool Busy() const;

    CProjectPlayer& Player() { return m_player; }
    const CProjectPlayer& Player() const { return m_player; }
    CMciPlayer& Media() { return m_media; }
    const CMciPlayer& Media() const { return m_media; }

  private:
    enum class EPlayer
    {
        None,
        Project,
        Media,
    };
    EPlayer PlayerOfRow(int nRow) const;
    bool IsWorkerAsking() const { return m_services.prompter.IsWorkerAsking(); }
    // The player has no thread left from an earlier row.
    bool PlayerFree(EPlayer ePlayer) const;
    // The player of the current item still plays it (or holds it paused).
    bool CurrentSounds() const;
    // Whatever plays, or is paused, or waits to start, stops, and the ticks with it; nothing
    // waits for it to end.
    void StopSounding();
    // The media file that plays goes to fMs (within fLength, its length) and plays on.
    void SeekMedia(float fMs, float fLength);
    // Starts the current row at once when its player is free, else when a tick finds it free.
    void StartCurrent();
    void StartNow();
    void RunCommand(ETransportCommand eCommand);
    void EndPlayers();
    void SetCurrent(int nRow);
    void SetTicking(bool bTicking);
    void Notify();

    CPlaylist& m_playlist;
    const CSettings& m_settings;
    SServices m_services;
    ITransportListener& m_listener;

    CProjectPlayer m_player;
    CPlayerThread m_playerThread;
    CMciPlayer m_media;

    bool m_bItemPlaying = false;
    bool m_bPauseToggle = false;
    bool m_bTicking = false;
    EPlayer m_ePlayer = EPlayer::None; // of the current item
    // The current item waits to start: its player still ends the row played before, or its
    // pre-pause has not yet passed (m_tStartAt).
    bool m_bPending = false;
    std::chrono::nanoseconds m_tStartAt{0};
    int32_t m_nTotal = 0;         // playing time of the project that plays, ms
    bool m_bProjectBegan = false; // the project thread has been seen playing
    bool m_bInTransport = false;
    std::optional<ETransportCommand> m_oDeferred;
};
