#include "playlist/Transport.h"

#include "app/FlagScope.h"
#include "app/TextHelpers.h"

#include <algorithm>
#include <thread>

namespace
{
// How long a start lets the thread of the row played before take to end: a stopped player
// ends within a poll, so this only runs out when something holds it; the start then waits
// for a tick instead of the caller.
constexpr std::chrono::milliseconds kEndWait{300};
// How long Playback lets a project thread take to begin, so that the first tick finds it
// playing; the tick takes a thread that has not yet begun for playing anyway.
constexpr std::chrono::milliseconds kBeginWait{500};
} // namespace

CTransport::CTransport(CPlaylist& playlist, const CSettings& settings, const SServices& services,
                       ITransportListener& listener)
    : m_playlist(playlist), m_settings(settings), m_services(services), m_listener(listener),
      m_player(services.prompter),
      m_playerThread(m_player, services.midiOut, services.clock, true, services.audioOut),
      m_media(services.mediaCommands, services.prompter)
{
}

CTransport::~CTransport()
{
    // The listener may be going away too: it hears nothing more.
    m_bTicking = false;
    EndPlayers();
}

// Waits in real time, without the caller's event loop, for fDone; gives up after nMax or as
// soon as a worker asks the user something, since that worker then waits for the answer.
template <class F> static bool WaitBriefly(const IPrompter& prompter, F fDone, std::chrono::milliseconds nMax)
{
    const auto tEnd = std::chrono::steady_clock::now() + nMax;
    while (!fDone())
    {
        if (std::chrono::steady_clock::now() >= tEnd || prompter.IsWorkerAsking())
            return fDone();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

bool CTransport::Busy() const
{
    return m_bInTransport || IsWorkerAsking();
}

void CTransport::Command(ETransportCommand eCommand)
{
    if (!Busy())
    {
        RunCommand(eCommand);
        return;
    }
    // A player waits for the user's answer: starting or stopping anything now would have the
    // caller wait for that player, or pile commands on top of the box.
    m_oDeferred = eCommand;
    m_listener.CommandDeferred();
}

void CTransport::RunDeferred()
{
    if (!m_oDeferred || Busy())
        return; // the poll comes back
    const ETransportCommand eCommand = *m_oDeferred;
    m_oDeferred.reset();
    RunCommand(eCommand);
}

void CTransport::RunCommand(ETransportCommand eCommand)
{
    switch (eCommand)
    {
    case ETransportCommand::Playback:
        Playback();
        break;
    case ETransportCommand::Pause:
        Pause();
        break;
    case ETransportCommand::Stop:
        Stop();
        break;
    }
}

CTransport::EPlayer CTransport::PlayerOfRow(int nRow) const
{
    if (!m_playlist.Has(nRow))
        return EPlayer::None;
    return m_playlist.Row(nRow).IsProject() ? EPlayer::Project : EPlayer::Media;
}

bool CTransport::PlayerFree(EPlayer ePlayer) const
{
    return ePlayer == EPlayer::Project ? !m_playerThread.Running() : !m_media.ThreadRunning();
}

bool CTransport::CurrentSounds() const
{
    if (!m_bItemPlaying || m_bPending)
        return false;
    if (m_ePlayer == EPlayer::Project)
        return m_playerThread.Running();
    if (m_ePlayer == EPlayer::Media)
        return m_media.ThreadRunning() && m_media.m_bPlaying;
    return false;
}

STransportState CTransport::State() const
{
    const int nSelected = m_playlist.Selected();
    const bool bPlayable = PlayerOfRow(nSelected) != EPlayer::None;
    STransportState state;
    // Only the row that already plays has nothing to gain from Playback.
    state.bPlayback = bPlayable && !(m_bItemPlaying && !m_bPauseToggle && nSelected == m_playlist.Current());
    state.bPause = m_bItemPlaying && !m_bPauseToggle && !m_bPending;
    state.bStop = m_bItemPlaying;
    return state;
}

void CTransport::Notify()
{
    m_listener.StateChanged(State());
}

void CTransport::SetCurrent(int nRow)
{
    const int nBefore = m_playlist.Current();
    m_playlist.SetCurrent(nRow);
    if (m_playlist.Current() != nBefore)
        m_listener.CurrentChanged(m_playlist.Current());
}

void CTransport::SetTicking(bool bTicking)
{
    if (m_bTicking == bTicking)
        return;
    m_bTicking = bTicking;
    m_listener.TickingChanged(bTicking);
}

void CTransport::StopSounding()
{
    SetTicking(false);
    m_bPending = false;
    if (m_playerThread.Running())
    {
        // The thread wakes from its wait at once and switches off every note it switched on.
        // The oscillator's buffer of a version 0.1 project is the thread's own and goes quiet
        // with it.
        m_playerThread.Stop();
    }
    m_player.m_fPosition = 0;
    if (m_media.ThreadRunning())
    {
        // Told to end first, back at the start next, and only then woken: the thread closes the
        // file after the seek, not before it.
        const int32_t nAlias = m_media.m_nAlias;
        m_media.m_bPlaying = false;
        m_media.Seek(nAlias, 0);
        m_media.Stop(nAlias);
    }
    m_bItemPlaying = false;
    m_bPauseToggle = false;
}

void CTransport::Playback()
{
    CFlagScope inTransport(m_bInTransport);
    m_listener.PlaybackStarting();
    const int nRow = m_playlist.Selected();
    if (nRow < 0)
    {
        Notify();
        return;
    }
    const EPlayer ePlayer = PlayerOfRow(nRow);
    if (nRow == m_playlist.Current() && ePlayer == m_ePlayer && CurrentSounds())
    {
        // The row that plays plays on; paused, it goes on from where it was.
        if (m_bPauseToggle)
        {
            if (ePlayer == EPlayer::Project)
                m_player.m_bPause = false;
            else
                m_media.m_bPause = false;
        }
        m_bPauseToggle = false;
        Notify();
        return;
    }

    StopSounding();
    SetCurrent(nRow);
    m_ePlayer = ePlayer;
    m_listener.PositionChanged(0);
    if (ePlayer != EPlayer::None)
    {
        m_bItemPlaying = true;
        StartCurrent();
        SetTicking(true);
    }
    Notify();
}

void CTransport::StartCurrent()
{
    if (m_ePlayer == EPlayer::Media && m_settings.PrePause)
    {
        // Some devices need a moment after the file before; the wait is the ticks', not the
        // caller's.
        m_bPending = true;
        m_tStartAt = m_services.clock.Now() + kPrePause;
        return;
    }
    if (!PlayerFree(m_ePlayer))
        WaitBriefly(
            m_services.prompter, [this] { return PlayerFree(m_ePlayer); }, kEndWait);
    if (!PlayerFree(m_ePlayer))
    {
        // The thread of the row before is held (by its message box, say): a tick starts this
        // row once it has gone.
        m_bPending = true;
        m_tStartAt = std::chrono::nanoseconds::min();
        return;
    }
    StartNow();
}

void CTransport::StartNow()
{
    m_bPending = false;
    const int nRow = m_playlist.Current();
    if (!m_playlist.Has(nRow))
        return;
    const SPlaylistRow& row = m_playlist.Row(nRow);
    if (m_ePlayer == EPlayer::Project)
    {
        m_player.SetData(row.data);
        m_player.ComputeTotal();
        m_nTotal = m_player.m_nTotal;
        // A seek asked of the row played before is not this row's.
        m_player.m_nSeekMs = -1;
        m_playerThread.Start(m_settings.DeviceIndex, OscSettingsOf(m_settings));
        m_player.m_fPosition = 0;
        // The first tick should find the project playing; a thread that tells the user about
        // its device or its project is not waited for (the tick takes it for playing).
        m_bProjectBegan = false;
        WaitBriefly(
            m_services.prompter, [this] { return m_playerThread.Settled(); }, kBeginWait);
        m_bProjectBegan = m_player.m_bPlaying;
    }
    else if (m_ePlayer == EPlayer::Media)
        m_media.Play(nRow, row.strPath);
}

void CTransport::Pause()
{
    CFlagScope inTransport(m_bInTransport);
    if (!m_bItemPlaying || m_bPending)
        return; // nothing sounds that could be held
    m_bPauseToggle = !m_bPauseToggle;
    // The item that plays is held, whatever row is selected: a media command never reaches a
    // project row, nor a project's flag a media file.
    if (m_ePlayer == EPlayer::Project)
        m_player.m_bPause = m_bPauseToggle;
    else if (m_ePlayer == EPlayer::Media)
        m_media.m_bPause = m_bPauseToggle;
    Notify();
}

void CTransport::Stop()
{
    CFlagScope inTransport(m_bInTransport);
    // Whatever sounds stops, whichever row is selected, and the list stops with it.
    StopSounding();
    Notify();
}

void CTransport::Panic()
{
    Command(ETransportCommand::Stop);
    // The outputs silence their handles under the handles' own locks: nothing here waits for a
    // player, and a player that sends after this has its notes switched off when it ends.
    m_services.midiOut.Panic();
}

void CTransport::PlayRow(int nRow)
{
    if (!m_playlist.Has(nRow) || Busy())
        return;
    m_playlist.Select(nRow);
    m_listener.SelectionMoved(nRow);
    Playback();
}

void CTransport::Seek(int nValue, int nMax)
{
    if (Busy())
        return;
    CFlagScope inTransport(m_bInTransport);
    // Only a media file that plays (or is paused) is sought; for anything else the bar alone
    // moves, and the next tick puts it back.
    if (m_ePlayer != EPlayer::Media || !CurrentSounds())
        return;
    const float fLength = m_media.GetLength(m_media.m_nAlias);
    nMax = std::max(1, nMax);
    SeekMedia(fLength * static_cast<float>(std::clamp(nValue, 0, nMax)) / static_cast<float>(nMax), fLength);
}

bool CTransport::SeekTime(int64_t nMs)
{
    if (Busy())
        return false;
    CFlagScope inTransport(m_bInTransport);
    if (!CurrentSounds())
        return false;
    if (m_ePlayer == EPlayer::Project)
    {
        // The player takes it within a wait step, paused or not; a pause holds on.
        m_player.AskSeek(nMs);
        return true;
    }
    SeekMedia(static_cast<float>(nMs), m_media.GetLength(m_media.m_nAlias));
    return true;
}

void CTransport::SeekMedia(float fMs, float fLength)
{
    m_media.Seek(m_media.m_nAlias, std::clamp(fMs, 0.0f, std::max(fLength, 0.0f)));
    SetTicking(true);
    // A paused file goes on from the new place.
    m_bPauseToggle = false;
    m_media.m_bPause = false;
    Notify();
}

void CTransport::Tick(std::chrono::nanoseconds now)
{
    // The list waits while a player's message waits for the user; a tick that comes while a
    // transport command is still under way has nothing to add.
    if (Busy())
        return;
    if (m_oDeferred)
    {
        RunDeferred();
        return;
    }
    if (!m_bTicking)
        return; // a tick already on its way when the list was stopped
    CFlagScope inTransport(m_bInTransport);
    if (m_bPending)
    {
        if (!PlayerFree(m_ePlayer) || now < m_tStartAt)
            return;
        StartNow();
    }

    const int nCurrent = m_playlist.Current();
    if (m_playlist.Has(nCurrent) && m_bItemPlaying)
    {
        if (m_ePlayer == EPlayer::Project)
        {
            const float fPosition = m_player.m_fPosition;
            m_listener.TimeChanged(FormatTime(fPosition));
            m_listener.PositionChanged(
                m_nTotal > 0 ? static_cast<int>(fPosition * 100.0f / static_cast<float>(m_nTotal)) : 0);
            // A thread that has not yet begun (it may be telling the user about its device)
            // counts as playing; one that has begun plays while its playing flag is set.
            const bool bPlaying = m_player.m_bPlaying;
            m_bProjectBegan = m_bProjectBegan || bPlaying;
            m_bItemPlaying = bPlaying || (!m_bProjectBegan && m_playerThread.Running());
        }
        else if (m_ePlayer == EPlayer::Media)
        {
            const float fPosition = m_media.m_fPosition;
            const float fLength = m_media.m_fLength;
            m_listener.TimeChanged(FormatTime(fPosition));
            m_listener.PositionChanged(fLength > 0 ? static_cast<int>(fPosition / fLength * 100.0f) : 0);
            m_bItemPlaying = m_media.m_bPlaying;
        }
        if (!m_bItemPlaying)
            m_bPauseToggle = false;
    }

    if (m_settings.AllPlay && !m_bItemPlaying)
    {
        const int nSelected = m_playlist.Selected();
        const int nRows = m_playlist.Count();
        int nNext = -1;
        if (nSelected < nRows - 1)
            nNext = nSelected + 1;
        else if (m_settings.PlayNoEnd && nRows > 0)
            nNext = 0; // the next pass begins with the first row
        if (nNext >= 0)
        {
            m_playlist.Select(nNext);
            m_listener.SelectionMoved(nNext);
            m_bInTransport = false;
            Playback();
            return;
        }
        SetTicking(false);
    }
    Notify();
}

void CTransport::RemoveRow(int nRow)
{
    if (!m_playlist.Has(nRow))
        return;
    // The row that plays stops with it; the rows after it move up, and the row that plays
    // with them.
    if (nRow == m_playlist.Current())
    {
        StopSounding();
        SetCurrent(-1);
    }
    const int nCurrent = m_playlist.Current();
    m_playlist.Remove(nRow);
    if (m_playlist.Current() != nCurrent)
        m_listener.CurrentChanged(m_playlist.Current());
    Notify();
}

void CTransport::Shutdown()
{
    SetTicking(false);
    EndPlayers();
}

void CTransport::EndPlayers()
{
    // The program ends: a worker's message on screen is closed and no other is shown, so that
    // every player can come to its end and be joined.
    m_services.prompter.EndWorkerMessages(true);
    m_oDeferred.reset();
    m_bPending = false;
    m_playerThread.Stop();
    m_playerThread.Join();
    m_media.Shutdown();
    m_bItemPlaying = false;
    m_services.prompter.EndWorkerMessages(false);
}
