// One playing of a project through a MIDI output: the player thread's routine and its parts.
// Every record is waited for against one schedule (start + delays so far + time spent paused),
// so a recording plays back with the timing it was played with, pauses included. A seek
// (m_nSeekMs) walks the records again without waiting up to its time and sets the schedule there.
#pragma once

#include "platform/AudioOut.h"
#include "platform/Clock.h"
#include "platform/MidiOut.h"
#include "platform/SoundingNotes.h"
#include "project/ProjectFormat.h"
#include "project/ProjectPlayer.h"
#include "sound/ChannelState.h"
#include "sound/Oscillator.h"

#include <chrono>
#include <cstdint>
#include <span>

// How a playing ended.
enum class EPlayEnd
{
    Refused,     // wrong header or future version: nothing played, m_bPlaying never set
    Finished,    // the last record was played
    Stopped,     // m_bStop was seen
    Damaged,     // a record without its marker or cut short; its message was shown
    UnknownType, // version 0.1: a type byte we do not know ended playback without a message
};

// Stop and Pause are looked at, and m_fPosition moved, at least this often while waiting.
inline constexpr std::chrono::milliseconds kWaitStep{10};
// How often a paused player looks whether it may go on.
inline constexpr std::chrono::milliseconds kPausePoll{1};
// The silence after the last note of a version 0.0 project, for its release to ring out.
inline constexpr int32_t kNotesTailMs = 700;

// What the tones of a version 0.1 project sound through: the stream their buffer joins (none:
// a tone is its length of silence) and the settings the tones before any settings record take.
struct SToneSetup
{
    FAudioOutFactory fAudioOut;
    SOscSettings settings;
};

class CProjectPlayback
{
  public:
    // bRingOut: at the end of the project its notes are left as they are, for a caller that
    // releases them, lets them ring out and silences the output itself (the render). A stop, a
    // damaged record or a refused project silence the output at once all the same.
    CProjectPlayback(CProjectPlayer& player, IMidiOut& midiOut, IClock& clock, bool bRingOut = false,
                     SToneSetup tones = {});

    // The thread's routine: opens device nDevice (its failure is told and the project plays
    // without sound), checks the project, sets m_bPlaying and plays. At its end every note it
    // switched on is switched off, the device is closed, a seek not yet taken is dropped and
    // m_bPause, m_bStop and, last, m_bPlaying are cleared. project is the thread's own copy.
    EPlayEnd PlayThread(std::span<const uint8_t> project, int nDevice);
    // The device could not be opened: the playing ran its course without sound.
    bool DeviceFailed() const { return m_bDeviceFailed; }

  private:
    // How a wait ended.
    enum class EWait
    {
        Done,    // its time has come
        Stopped, // m_bStop
        Sought,  // a seek was taken (m_nSeekTo)
    };
    // Both versions: walks the stream and plays each record; a seek starts the walk again.
    EPlayEnd PlayStream(int nVersion, std::span<const uint8_t> stream);
    // What follows the walk's end (the stream's end, an unknown type, a damaged record): Done
    // when the playing ends there, or the stop or seek that cut it short.
    EWait PlayEnd(int nVersion, const SWalkResult& result);
    EWait PlayRecord(const SRecord& record);
    // While seeking: whether the record is the first to be played at or after the target (a
    // tone: one whose span holds the target); one that is not is passed over by SkipRecord,
    // which waits for nothing and sends nothing but keeps what it sets.
    bool Reached(const SRecord& record) const;
    void SkipRecord(const SRecord& record);
    // The seek arrives at nTargetMs: everything that sounds is silenced, the channels are set as
    // the records passed left them, and the schedule goes on from nTargetMs now.
    void Arrive(int64_t nTargetMs);
    bool Seeking() const { return m_nSeekTo >= 0; }
    // Waits one record's delay: the schedule moves on by nMs and the wait ends when the
    // clock reaches it.
    EWait WaitDelay(int32_t nMs);
    // Waits until the schedule's nUntil ms; bMovePosition keeps m_fPosition following the time
    // played, from where the wait began. Stop and a seek end it at its next step.
    EWait WaitUntil(int64_t nUntil, bool bMovePosition);
    // Holds while m_bPause is set and neither a stop nor a seek is asked; the time held moves
    // the rest of the schedule on.
    void HoldWhilePaused();
    EWait Damage(bool bDelayRead, int32_t nDelay);
    // A tone record: its voices sound, with the settings in force, for its duration (from the
    // target on, when a seek arrived inside it).
    EWait PlayTone(const SRecord& record);
    void EndTone();
    void Send(uint32_t dwMessage);
    void Release();
    void Silence();

    CProjectPlayer& m_player;
    IMidiOut& m_midiOut;
    IClock& m_clock;
    bool m_bRingOut;
    bool m_bDeviceFailed = false;
    CSoundingNotes m_notes;
    std::chrono::nanoseconds m_tStart{0};
    std::chrono::nanoseconds m_tPaused{0};
    int64_t m_nScheduled = 0; // ms: the delays waited so far
    int64_t m_nSeekTo = -1;   // ms: the target of the seek being walked to, -1 for none
    CChannelState m_channels; // as the records walked so far left them, while seeking
    SToneSetup m_tones;
    SOscSettings m_oscSettings; // the current settings, then those of the last settings record
    VoiceRatioTable m_voiceRatios;
    bool m_bToneOn = false; // a tone's voices sound (or are held by a pause)
};
