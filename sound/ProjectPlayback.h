// One playing of a project through a MIDI output: the player thread's routine and its parts.
// Every record is waited for against one schedule (start + delays so far + time spent paused),
// so a recording plays back with the timing it was played with, pauses included.
#pragma once

#include "platform/AudioOut.h"
#include "platform/Clock.h"
#include "platform/MidiOut.h"
#include "platform/SoundingNotes.h"
#include "project/ProjectFormat.h"
#include "project/ProjectPlayer.h"
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
    // switched on is switched off, the device is closed and m_bPause, m_bStop and, last,
    // m_bPlaying are cleared. project is the thread's own copy.
    EPlayEnd PlayThread(std::span<const uint8_t> project, int nDevice);
    // The device could not be opened: the playing ran its course without sound.
    bool DeviceFailed() const { return m_bDeviceFailed; }

  private:
    EPlayEnd PlayNotes(std::span<const uint8_t> stream);  // version 0.0
    EPlayEnd PlayEvents(std::span<const uint8_t> stream); // version 0.1
    // Waits one record's delay: the schedule moves on by nMs and the wait ends when the
    // clock reaches it. False when a stop ended it.
    bool WaitDelay(int32_t nMs);
    // Waits until the schedule's nUntil ms; bMovePosition keeps m_fPosition following the time
    // played, from where the wait began.
    bool WaitUntil(int64_t nUntil, bool bMovePosition);
    // Holds while m_bPause is set; the time held moves the rest of the schedule on. False when
    // a stop ended it.
    bool HoldWhilePaused();
    EPlayEnd Damage(const SWalkResult& result);
    // A tone record: its voices sound, with the settings in force, for its duration.
    bool PlayTone(const SRecord& record);
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
    SToneSetup m_tones;
    SOscSettings m_oscSettings; // the current settings, then those of the last settings record
    VoiceRatioTable m_voiceRatios;
    bool m_bToneOn = false; // a tone's voices sound (or are held by a pause)
};
