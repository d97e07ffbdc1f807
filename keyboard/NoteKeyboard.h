// The musical keyboard behind the live play window: key-down and key-up to notes on the MIDI
// output or, in DirectX mode, to voices of the oscillator; what a MIDI keyboard plays, on the
// same output; the records of what was played, the control keys and the status texts. No
// window: lighting keys and closing the window go through the host.
#pragma once

#include "keyboard/EventTimes.h"
#include "platform/Clock.h"
#include "platform/MidiOut.h"
#include "sound/Oscillator.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

class CSettings;
class CToneOutput;

// What the keyboard asks of the window it sits in.
class INoteKeyboardHost
{
  public:
    virtual ~INoteKeyboardHost() = default;
    // Shows the key's on or off picture.
    virtual void LightKey(int nSlot, bool bOn) = 0;
    // A status text changed; the window shows the new one.
    virtual void StatusChanged() = 0;
    // Enter: accept and close. Esc: abandon and close. Both may come more than once.
    virtual void Accept() = 0;
    virtual void Abandon() = 0;
};

class CNoteKeyboard
{
  public:
    // nRecordVersion: the version (0 or 1) of the project the recording continues, so that
    // the records match its header; any other value records nothing. The recording's time
    // starts now. settings: MusicType is read there, and Home and End switch it in memory
    // only.
    CNoteKeyboard(IMidiOutHandle& midiOut, IClock& clock, INoteKeyboardHost& host, CSettings& settings,
                  int nRecordVersion);

    // One key message. nDik is the key's DirectInput code (0 for none); nStampMs the time the
    // platform stamped on the event, when it does. A held key's repeated key-downs sound no
    // further note; the control keys act on each.
    void OnKeyDown(int nVk, int nDik = 0, std::optional<uint64_t> nStampMs = {});
    void OnKeyUp(int nVk, int nDik = 0, std::optional<uint64_t> nStampMs = {});

    // The window's way in. A stamped key-up is held back until the next key event or
    // ResolveHeldKeyUp(): a system that repeats a held key as a key-up and a key-down with one
    // time stamp (X without detectable auto-repeat) would otherwise end and restart the note at
    // every repeat. Such a pair, or a pair the platform itself marks as a repeat (bRepeat), is
    // dropped; a held key-up that is resolved takes the time it arrived with.
    void OnKeyEvent(bool bDown, int nVk, int nDik, std::optional<uint64_t> nStampMs, bool bRepeat);
    bool HoldsKeyUp() const { return m_heldUp.has_value(); }
    void ResolveHeldKeyUp();

    // Note index 0 to 47 of a key, -1 for none; a control key does its work here and gives -1.
    int KeyToNote(int nVk);
    static int NumPadKeyToNumber(int nVk);
    // Index 0 to 47 or -1 (nothing happens).
    void NoteOn(int nIndex);
    void NoteOff(int nIndex);
    // Number 1 to 9 or -1 (nothing happens); MIDI mode only.
    void NumPadNoteOn(int nNumber);
    void NumPadNoteOff(int nNumber);
    // Every note still sounding is switched off (and recorded), every lit key unlit, the key
    // state cleared and the oscillator's voices with it: for a window that closes or loses the
    // keyboard.
    void ReleaseAll();

    // One channel voice message from the MIDI input, which arrived at tArrival on the
    // keyboard's clock. It sounds at once on m_nChannel (a note off on the channel its note
    // began on) and is recorded at its arrival: in version 0.1 as received, the channel
    // replaced; in version 0.0 notes only, as base 0 and key = the note number, anything else
    // not at all, which the input's status text says once. A note that falls on the pictured
    // keys lights its key. Whatever the mode, the input plays on the MIDI output. A note off of
    // a note the input did not begin here is dropped: the take stays balanced.
    void MidiInMessage(uint32_t dwMessage, std::chrono::nanoseconds tArrival);
    // The input has closed (unplugged, or the window closes): every note it holds is switched
    // off and a sustain pedal it holds down released, sent and recorded now.
    void ReleaseMidiIn();
    // The input's status text (empty: none); the window shows it beside the others.
    void SetMidiInText(std::string strText);
    const std::string& MidiInText() const { return m_strMidiIn; }

    // The oscillator of DirectX mode (null: none). From now on, at every key event, it sounds
    // one voice per oscillator key held (OscillatorKeys()) while MusicType is 1, and is silenced
    // in any other mode. The caller keeps it alive until it sets another or null.
    void SetToneOutput(CToneOutput* pTone);

    // The three status texts as they stand now.
    void FillStatusTexts();
    const std::string& MidiChannelText() const { return m_strMidiChannel; }
    const std::string& DxChannelText() const { return m_strDxChannel; }
    const std::string& MusicTypeText() const { return m_strMusicType; }

    // The records played since the keyboard was made, without header. In a version 0.1 take,
    // DirectX mode adds a tone record per stretch of time its recorded voices stayed the same
    // (Left Shift is no voice of a record), after a settings record; a stretch still sounding
    // is written once it ends (ReleaseAll ends it).
    const std::vector<uint8_t>& Recording() const;
    int RecordVersion() const { return m_nRecordVersion; }
    // The keys down now, one byte per DirectInput key code (0x80 down), filled from the key
    // events; the oscillator of the live window reads it.
    const std::array<uint8_t, 256>& KeyState() const { return m_arrKeyState; }

    int m_nChannel = 0;
    int m_nDxChannel = 0;
    int m_nBaseNote = 35;
    int m_nVelocity = 127;
    uint32_t m_dwLastMessage = 0;
    bool m_bKeyHeld = false;

  private:
    struct SKeyUp
    {
        int nVk;
        int nDik;
        SEventTime time;
    };
    // A note message sent, or the oscillator's recorded voices changing (bTone), kept until the
    // records are written.
    struct SPlayed
    {
        bool bOn;
        int nKey; // note index or pad number
        int nChannel;
        int nBaseNote;
        int nVelocity;
        uint32_t dwMessage;
        SEventTime time;
        bool bTone = false;
        VoiceMask voices{}; // from this time on; none: silence
        SOscSettings osc{};
    };

    void KeyDown(int nVk, int nDik, const SEventTime& time);
    void KeyUp(int nVk, int nDik, const SEventTime& time);
    // Sends a note message and notes it for the recording; nKey is the note index or pad number.
    void Play(bool bOn, int nKey, int nChannel);
    void SetMidiChannel(int nChannel);
    void SetDxChannel(int nChannel);
    void SetMusicType(int nType);
    void Light(int nSlot, bool bOn, bool& bLit);
    // Sends a message of the MIDI input and notes it for the recording.
    void PlayMidiIn(uint32_t dwMessage, bool bOn, int nNote, int nChannel, const SEventTime& time,
                    bool bRecorded);
    // The note's key picture shows whether a key or the MIDI input holds it.
    void LightMidiNote(int nNote);
    // The voices of the keys down now, to the oscillator and, when they changed, the recording.
    void UpdateOscillator(const SEventTime& time);

    IMidiOutHandle& m_midiOut;
    INoteKeyboardHost& m_host;
    CSettings& m_settings;
    std::array<uint8_t, 256> m_arrKeyState{};
    CEventTimes m_times;
    int m_nRecordVersion;
    std::optional<SEventTime> m_eventTime; // the time of the key message being handled
    std::optional<SKeyUp> m_heldUp;
    std::array<int, 48> m_arrSounding{};    // per note index: the channel of its note on, or -1
    std::array<int, 10> m_arrPadSounding{}; // per pad number 1 to 9, likewise
    std::array<bool, 48> m_arrLit{};
    std::array<bool, 48> m_arrKeyLit{}; // a computer key holds the note index
    // Notes the MIDI input holds, by its own channel and note: the output channels of their
    // note ons, earliest first.
    std::map<std::pair<int, int>, std::vector<int>> m_midiInNotes;
    std::array<int, 128> m_arrMidiInHeld{};    // per note number: how many of them sound
    std::array<bool, 16> m_arrMidiInSustain{}; // per output channel: the input's pedal is down
    bool m_bMidiInUnrecordedTold = false;
    std::string m_strMidiIn;
    std::array<bool, 10> m_arrPadLit{};
    std::string m_strMidiChannel;
    std::string m_strDxChannel;
    std::string m_strMusicType;
    std::vector<SPlayed> m_arrPlayed;
    CToneOutput* m_pTone = nullptr;
    VoiceRatioTable m_arrRatios;
    bool m_bToneSounding = false; // Sound() given, not silenced since
    std::vector<double> m_arrToneRatios;
    SOscSettings m_toneSettings;
    VoiceMask m_recordedVoices{}; // the voices of the last tone entry
    SOscSettings m_recordedOsc;
    // Written from m_arrPlayed when asked for: a delay is known for good only once the take
    // has tied the stamps' clock to ours as closely as it can.
    mutable std::vector<uint8_t> m_arrRecord;
};
