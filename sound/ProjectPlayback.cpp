#include "sound/ProjectPlayback.h"

#include "app/Messages.h"
#include "platform/Prompter.h"
#include "sound/ToneOutput.h"

#include <algorithm>
#include <vector>

using std::chrono::nanoseconds;

namespace
{
constexpr std::chrono::milliseconds kExactLead{3};

double ToMs(nanoseconds t)
{
    return std::chrono::duration<double, std::milli>(t).count();
}
nanoseconds FromMs(int64_t nMs)
{
    return std::chrono::milliseconds(nMs);
}
} // namespace

CProjectPlayback::CProjectPlayback(CProjectPlayer& player, IMidiOut& midiOut, IClock& clock, bool bRingOut,
                                   SToneSetup tones)
    : m_player(player), m_midiOut(midiOut), m_clock(clock), m_bRingOut(bRingOut), m_tones(std::move(tones)),
      m_oscSettings(m_tones.settings), m_voiceRatios(ComputeVoiceRatios(ComputeSemitones()))
{
}

EPlayEnd CProjectPlayback::PlayThread(std::span<const uint8_t> project, int nDevice)
{
    m_player.m_hMidiOut.reset();
    m_player.m_hMidiOut = m_midiOut.Open(nDevice);
    m_bDeviceFailed = !m_player.m_hMidiOut;
    if (m_bDeviceFailed)
        ShowMessage(m_player.Messages(), Msg::kMidiOpenFailed, Msg::kMidiErrorCaption, EIcon::Warning);

    EPlayEnd eEnd = EPlayEnd::Refused;
    int nVersion = 0;
    std::vector<uint8_t> stream;
    if (m_player.CheckProject(project, nVersion, &stream))
    {
        m_player.m_nRecordCount = 0;
        m_notes.Clear();
        m_nScheduled = 0;
        m_nSeekTo = -1;
        m_tPaused = nanoseconds(0);
        m_tStart = m_clock.Now();
        m_player.m_bPlaying = true;
        eEnd = PlayStream(nVersion, stream);
    }

    // A stopped tone plays out the pass its buffer holds; any other end leaves it silent.
    if (m_bToneOn && eEnd == EPlayEnd::Stopped)
        m_player.m_pTone->PlayOut();
    else
        EndTone();
    m_bToneOn = false;

    // Whatever ended the playing, nothing it switched on keeps sounding.
    // (A caller that rings the notes out releases and silences them itself.)
    if (!m_bRingOut || !(eEnd == EPlayEnd::Finished || eEnd == EPlayEnd::UnknownType))
        Silence();
    m_player.m_hMidiOut.reset();
    m_player.m_nMidiResult = 0;
    // A pause or a seek left set would hold or move the next playing before its first note.
    m_player.m_bPause = false;
    m_player.m_nSeekMs = -1;
    m_player.m_bStop = false;
    m_player.m_bPlaying = false;
    return eEnd;
}

EPlayEnd CProjectPlayback::PlayStream(int nVersion, std::span<const uint8_t> stream)
{
    if (nVersion != 0)
        m_player.m_fPosition = 0;
    for (;;)
    {
        EWait eWait = EWait::Done;
        const SWalkResult result = WalkRecords(nVersion, stream,
                                               [&](const SRecord& record)
                                               {
                                                   ++m_player.m_nRecordCount;
                                                   if (Seeking())
                                                   {
                                                       if (!Reached(record))
                                                       {
                                                           SkipRecord(record);
                                                           return true;
                                                       }
                                                       Arrive(m_nSeekTo);
                                                   }
                                                   eWait = PlayRecord(record);
                                                   return eWait == EWait::Done;
                                               });
        // The walk came to the stream's end, an unknown type or a damaged record.
        if (eWait == EWait::Done)
            eWait = PlayEnd(nVersion, result);
        if (eWait == EWait::Done)
        {
            switch (result.eEnd)
            {
            case EWalkEnd::UnknownType:
                return EPlayEnd::UnknownType;
            case EWalkEnd::Damaged:
                return EPlayEnd::Damaged;
            default:
                return EPlayEnd::Finished;
            }
        }
        if (eWait == EWait::Stopped)
            return EPlayEnd::Stopped;
        // A seek, forward or back: the walk starts again from the first record, so that what
        // the records before the target set is known, whatever was played before.
        m_player.m_nRecordCount = 0;
        m_nScheduled = 0;
        m_channels.Clear();
        m_oscSettings = m_tones.settings;
    }
}

CProjectPlayback::EWait CProjectPlayback::PlayEnd(int nVersion, const SWalkResult& result)
{
    if (result.eEnd == EWalkEnd::UnknownType)
    {
        // A seek at or past it arrives there, and the playing ends as it always does.
        if (Seeking())
            Arrive(std::min(m_nSeekTo, m_nScheduled));
        EndTone();
        return EWait::Done;
    }
    if (result.eEnd == EWalkEnd::Damaged)
    {
        // The damaged record's delay, when it could be read, is waited as the record's own.
        const int32_t nDelay = result.bDamagedDelay ? std::max<int32_t>(result.nDamagedDelay, 0) : 0;
        if (Seeking())
            Arrive(std::min(m_nSeekTo, m_nScheduled + nDelay));
        EndTone();
        return Damage(result.bDamagedDelay, nDelay);
    }
    // A seek at or past the end arrives at the end, and the playing ends as it always does.
    if (Seeking())
        Arrive(std::min(m_nSeekTo, m_nScheduled));
    if (nVersion != 0)
    {
        EndTone();
        return EWait::Done;
    }
    // Notes the project left open are closed before the closing silence, so that it holds their
    // release and not the notes themselves.
    Release();
    const EWait eWait = WaitUntil(m_nScheduled + kNotesTailMs, false);
    if (eWait == EWait::Done)
        m_player.m_fPosition = 0;
    return eWait;
}

CProjectPlayback::EWait CProjectPlayback::PlayRecord(const SRecord& record)
{
    EWait eWait = EWait::Done;
    switch (record.eKind)
    {
    case ERecordKind::NoteOn:
    case ERecordKind::NoteOff:
    case ERecordKind::Other:
    {
        eWait = WaitDelay(record.nDelay);
        if (eWait != EWait::Done)
            return eWait;
        // The note bytes are taken as signed, as the recorder wrote them; out-of-range ones
        // make messages that the outputs drop.
        const int32_t nBase = static_cast<int8_t>(record.nBase);
        const int32_t nKey = static_cast<int8_t>(record.nKey);
        const int32_t nChannel = static_cast<int8_t>(record.nChannel);
        if (record.eKind == ERecordKind::NoteOn)
        {
            m_player.m_nBase = nBase;
            m_player.m_nChannel = nChannel;
            m_player.m_nVelocity = static_cast<int8_t>(record.nVelocity);
            m_player.m_dwMessage =
                static_cast<uint32_t>(0x90 + nChannel + (nBase + nKey) * 256 + m_player.m_nVelocity * 65536);
            Send(m_player.m_dwMessage);
        }
        else if (record.eKind == ERecordKind::NoteOff)
        {
            m_player.m_nBase = nBase;
            m_player.m_nChannel = nChannel;
            m_player.m_dwMessage = static_cast<uint32_t>(0x80 + nChannel + (nBase + nKey) * 256);
            Send(m_player.m_dwMessage);
        }
        // Any other version 0.0 type byte is only a delay: waited, nothing sent.
        return EWait::Done;
    }
    case ERecordKind::Event:
        // The tone before ends where this delay begins.
        EndTone();
        eWait = WaitDelay(record.nDelay);
        if (eWait != EWait::Done)
            return eWait;
        m_player.m_dwMessage = record.dwMessage;
        Send(m_player.m_dwMessage);
        return EWait::Done;
    case ERecordKind::Tone:
        return PlayTone(record);
    case ERecordKind::Settings:
        // Takes no time; the tones after it sound so.
        m_oscSettings = OscSettingsFromRecord(record.settings);
        return EWait::Done;
    }
    return EWait::Done;
}

bool CProjectPlayback::Reached(const SRecord& record) const
{
    switch (record.eKind)
    {
    case ERecordKind::Tone:
        // A tone starts where the record before it ended.
        return m_nScheduled >= m_nSeekTo || m_nScheduled + std::max<int32_t>(record.nDuration, 0) > m_nSeekTo;
    case ERecordKind::Settings:
        return m_nScheduled >= m_nSeekTo;
    default:
        return m_nScheduled + std::max<int32_t>(record.nDelay, 0) >= m_nSeekTo;
    }
}

void CProjectPlayback::SkipRecord(const SRecord& record)
{
    switch (record.eKind)
    {
    case ERecordKind::Tone:
        m_nScheduled += std::max<int32_t>(record.nDuration, 0);
        break;
    case ERecordKind::Settings:
        m_oscSettings = OscSettingsFromRecord(record.settings);
        break;
    case ERecordKind::Event:
        m_nScheduled += std::max<int32_t>(record.nDelay, 0);
        m_channels.Follow(record.dwMessage);
        break;
    default:
        m_nScheduled += std::max<int32_t>(record.nDelay, 0);
        break;
    }
}

void CProjectPlayback::Arrive(int64_t nTargetMs)
{
    m_nSeekTo = -1;
    EndTone();
    // Nothing played before the seek sounds on; then the channels are as the music before the
    // target left them, so that its first note sounds with its program and controllers.
    Silence();
    for (uint32_t dwMessage : m_channels.Messages())
        Send(dwMessage);
    // The schedule's nTargetMs is now: the position reads it at once, and the delays after it
    // keep their timing.
    m_tStart = m_clock.Now() - FromMs(nTargetMs);
    m_tPaused = nanoseconds(0);
    m_player.m_fPosition = static_cast<float>(nTargetMs);
}

CProjectPlayback::EWait CProjectPlayback::PlayTone(const SRecord& record)
{
    // A tone reached while paused (a seek made then) waits for the pause's end before it sounds.
    if (m_player.m_bPause)
    {
        const EWait eWait = WaitUntil(m_nScheduled, false);
        if (eWait != EWait::Done)
            return eWait;
    }
    if (!m_player.m_pTone)
    {
        auto pTone = std::make_shared<CToneOutput>();
        // Without a stream the tone is its length of silence, and what follows keeps its time.
        if (pTone->Attach(m_tones.fAudioOut))
            m_player.m_pTone = std::move(pTone);
    }
    if (m_player.m_pTone)
    {
        m_player.m_pTone->Sound(m_oscSettings, MaskRatios(DecodeVoices(record.mask), m_voiceRatios));
        m_bToneOn = true;
    }
    return WaitDelay(record.nDuration);
}

void CProjectPlayback::EndTone()
{
    if (m_bToneOn)
        m_player.m_pTone->Silence();
    m_bToneOn = false;
}

CProjectPlayback::EWait CProjectPlayback::Damage(bool bDelayRead, int32_t nDelay)
{
    if (bDelayRead)
    {
        const EWait eWait = WaitDelay(nDelay);
        if (eWait != EWait::Done)
            return eWait;
    }
    // Silence first: the message may stay on the screen for a long time.
    Silence();
    ShowMessage(m_player.Messages(), Msg::kDamagedPlayback, Msg::kPlaybackErrorCaption, EIcon::Warning);
    return EWait::Done;
}

CProjectPlayback::EWait CProjectPlayback::WaitDelay(int32_t nMs)
{
    // A delay with its top bit set decodes as negative; it cannot move the schedule back.
    m_nScheduled += std::max<int32_t>(nMs, 0);
    return WaitUntil(m_nScheduled, true);
}

CProjectPlayback::EWait CProjectPlayback::WaitUntil(int64_t nUntil, bool bMovePosition)
{
    const double fFrom = m_player.m_fPosition;
    for (;;)
    {
        if (m_player.m_bStop)
            return EWait::Stopped;
        const int64_t nSeek = m_player.m_nSeekMs.exchange(-1);
        if (nSeek >= 0)
        {
            m_nSeekTo = nSeek;
            return EWait::Sought;
        }
        const nanoseconds tNow = m_clock.Now();
        if (bMovePosition)
        {
            // The time played, within this wait: a pause shows where it really held.
            const double fPlayed = ToMs(tNow - m_tStart - m_tPaused);
            m_player.m_fPosition =
                static_cast<float>(std::min(std::max(fPlayed, fFrom), static_cast<double>(nUntil)));
        }
        if (m_player.m_bPause)
        {
            HoldWhilePaused();
            continue;
        }
        const nanoseconds tDue = m_tStart + m_tPaused + FromMs(nUntil);
        if (tNow >= tDue)
            break;
        // Only the last step, the one a message waits for, needs to end on time; it takes over
        // a little early, so that a step that wakes late cannot make the message late.
        if (tDue - tNow <= nanoseconds(kWaitStep) + kExactLead)
            m_clock.SleepUntilExactly(tDue, &m_player.m_bStop);
        else
            m_clock.SleepUntil(tNow + nanoseconds(kWaitStep), &m_player.m_bStop);
    }
    if (bMovePosition)
        m_player.m_fPosition = static_cast<float>(nUntil);
    return EWait::Done;
}

void CProjectPlayback::HoldWhilePaused()
{
    // A paused tone is silent, and goes on where it was held.
    if (m_bToneOn)
        m_player.m_pTone->Hold();
    const nanoseconds tFrom = m_clock.Now();
    while (m_player.m_bPause && !m_player.m_bStop && m_player.m_nSeekMs < 0)
        m_clock.SleepUntil(m_clock.Now() + nanoseconds(kPausePoll), &m_player.m_bStop);
    m_tPaused += m_clock.Now() - tFrom;
    // A seek made while paused stays paused; the tone it leaves is silenced by the seek.
    if (m_bToneOn && !m_player.m_bStop && !m_player.m_bPause)
        m_player.m_pTone->Resume();
}

void CProjectPlayback::Send(uint32_t dwMessage)
{
    if (!m_player.m_hMidiOut)
        return; // the device could not be opened: the project plays its course without sound
    m_player.m_hMidiOut->ShortMsg(dwMessage);
    m_notes.Follow(dwMessage);
}

void CProjectPlayback::Release()
{
    // Sent as the project's own messages, so that what they end is no longer followed.
    for (uint32_t dwMessage : m_notes.ReleaseMessages())
        Send(dwMessage);
}

void CProjectPlayback::Silence()
{
    if (m_player.m_hMidiOut)
        SilenceOutput(*m_player.m_hMidiOut, m_notes);
    m_notes.Clear();
}
