#include "keyboard/NoteKeyboard.h"

#include "app/Settings.h"
#include "keyboard/KeyMap.h"
#include "keyboard/KeyboardTexts.h"
#include "keyboard/OscillatorKeys.h"
#include "project/ProjectFormat.h"
#include "sound/ToneOutput.h"

#include <algorithm>
#include <limits>
#include <optional>

namespace
{
constexpr uint8_t kKeyDown = 0x80;

bool IsNumPad(int nVk)
{
    return nVk >= Vk::NumPadFirst && nVk <= Vk::NumPadLast;
}

bool AnyVoice(const VoiceMask& voices)
{
    return std::find(voices.begin(), voices.end(), true) != voices.end();
}

int32_t Clamp32(int64_t n)
{
    return static_cast<int32_t>(std::clamp<int64_t>(n, 0, std::numeric_limits<int32_t>::max()));
}
} // namespace

CNoteKeyboard::CNoteKeyboard(IMidiOutHandle& midiOut, IClock& clock, INoteKeyboardHost& host,
                             CSettings& settings, int nRecordVersion)
    : m_midiOut(midiOut), m_host(host), m_settings(settings), m_times(clock),
      m_nRecordVersion(nRecordVersion), m_arrRatios(ComputeVoiceRatios(ComputeSemitones()))
{
    m_arrSounding.fill(-1);
    m_arrPadSounding.fill(-1);
}

void CNoteKeyboard::OnKeyDown(int nVk, int nDik, std::optional<uint64_t> nStampMs)
{
    ResolveHeldKeyUp();
    KeyDown(nVk, nDik, m_times.Capture(nStampMs));
}

void CNoteKeyboard::OnKeyUp(int nVk, int nDik, std::optional<uint64_t> nStampMs)
{
    ResolveHeldKeyUp();
    KeyUp(nVk, nDik, m_times.Capture(nStampMs));
}

void CNoteKeyboard::OnKeyEvent(bool bDown, int nVk, int nDik, std::optional<uint64_t> nStampMs, bool bRepeat)
{
    const SEventTime time = m_times.Capture(nStampMs);
    if (!bDown)
    {
        // The platform is sure a key-down of the same key follows at once.
        if (bRepeat)
            return;
        ResolveHeldKeyUp();
        // Without a stamp no key-down can be told to be its pair: a release it is.
        if (!nStampMs)
            KeyUp(nVk, nDik, time);
        else
            m_heldUp = SKeyUp{nVk, nDik, time};
        return;
    }
    if (m_heldUp && m_heldUp->nVk == nVk && m_heldUp->nDik == nDik &&
        (bRepeat || (nStampMs && m_heldUp->time.nStampMs == nStampMs)))
    {
        // Not a release: the key is still down and this key-down is one of its repeats.
        m_heldUp.reset();
    }
    ResolveHeldKeyUp();
    KeyDown(nVk, nDik, time);
}

void CNoteKeyboard::ResolveHeldKeyUp()
{
    if (!m_heldUp)
        return;
    const SKeyUp up = *m_heldUp;
    m_heldUp.reset();
    KeyUp(up.nVk, up.nDik, up.time);
}

void CNoteKeyboard::KeyDown(int nVk, int nDik, const SEventTime& time)
{
    m_eventTime = time;
    m_bKeyHeld = true;
    if (nDik > 0 && nDik < 256)
        m_arrKeyState[static_cast<size_t>(nDik)] = kKeyDown;
    UpdateOscillator(time);
    if (IsNumPad(nVk))
        NumPadNoteOn(NumPadKeyToNumber(nVk));
    else
        NoteOn(KeyToNote(nVk));
    m_eventTime.reset();
}

void CNoteKeyboard::KeyUp(int nVk, int nDik, const SEventTime& time)
{
    m_eventTime = time;
    m_bKeyHeld = false;
    if (nDik > 0 && nDik < 256)
        m_arrKeyState[static_cast<size_t>(nDik)] = 0;
    UpdateOscillator(time);
    if (IsNumPad(nVk))
        NumPadNoteOff(NumPadKeyToNumber(nVk));
    else
        NoteOff(KeyToNote(nVk));
    m_eventTime.reset();
}

int CNoteKeyboard::KeyToNote(int nVk)
{
    switch (nVk)
    {
    case Vk::Insert:
        if (m_bKeyHeld)
            SetMidiChannel(m_nChannel == 0 ? 15 : m_nChannel - 1);
        return -1;
    case Vk::Delete:
        if (m_bKeyHeld)
            SetMidiChannel(m_nChannel >= 15 ? 0 : m_nChannel + 1);
        return -1;
    case Vk::Prior:
        if (m_bKeyHeld)
            SetDxChannel(m_nDxChannel <= 0 ? 15 : m_nDxChannel - 1);
        return -1;
    case Vk::Next:
        if (m_bKeyHeld)
            SetDxChannel(m_nDxChannel + 1 > 15 || m_nDxChannel + 1 < 0 ? 0 : m_nDxChannel + 1);
        return -1;
    case Vk::Home:
        if (m_bKeyHeld)
            SetMusicType(0);
        return -1;
    case Vk::End:
        if (m_bKeyHeld)
            SetMusicType(1);
        return -1;
    case Vk::Return:
        m_host.Accept();
        return -1;
    case Vk::Escape:
    case Vk::Cancel:
        m_host.Abandon();
        return -1;
    default:
        return NoteIndexOfKey(nVk);
    }
}

int CNoteKeyboard::NumPadKeyToNumber(int nVk)
{
    return ::NumPadKeyToNumber(nVk);
}

void CNoteKeyboard::NoteOn(int nIndex)
{
    if (nIndex < 0 || nIndex >= kNoteKeys)
        return;
    const size_t i = static_cast<size_t>(nIndex);
    // A key already sounding is being held: its repeats are not new notes.
    if (m_settings.MusicType == 0 && m_arrSounding[i] < 0)
    {
        Play(true, nIndex, m_nChannel);
        m_arrSounding[i] = m_nChannel;
    }
    m_arrKeyLit[i] = true;
    // The sound goes first: drawing the key must never delay it.
    Light(NoteKeySlot(nIndex), true, m_arrLit[i]);
}

void CNoteKeyboard::NoteOff(int nIndex)
{
    if (nIndex < 0 || nIndex >= kNoteKeys)
        return;
    const size_t i = static_cast<size_t>(nIndex);
    // Only a note that was switched on is switched off, on the channel it sounds on, whatever
    // the mode and channel are now: nothing keeps sounding and no record is left unpaired.
    if (m_arrSounding[i] >= 0)
    {
        Play(false, nIndex, m_arrSounding[i]);
        m_arrSounding[i] = -1;
    }
    m_arrKeyLit[i] = false;
    // The MIDI keyboard may still hold the same note.
    LightMidiNote(m_nBaseNote + nIndex);
}

void CNoteKeyboard::NumPadNoteOn(int nNumber)
{
    if (nNumber < 1 || nNumber > 9 || m_settings.MusicType != 0)
        return;
    const size_t i = static_cast<size_t>(nNumber);
    if (m_arrPadSounding[i] < 0)
    {
        Play(true, nNumber, m_nChannel);
        m_arrPadSounding[i] = m_nChannel;
    }
    Light(NumPadSlot(nNumber), true, m_arrPadLit[i]);
}

void CNoteKeyboard::NumPadNoteOff(int nNumber)
{
    if (nNumber < 1 || nNumber > 9)
        return;
    const size_t i = static_cast<size_t>(nNumber);
    if (m_arrPadSounding[i] >= 0)
    {
        Play(false, nNumber, m_arrPadSounding[i]);
        m_arrPadSounding[i] = -1;
    }
    Light(NumPadSlot(nNumber), false, m_arrPadLit[i]);
}

void CNoteKeyboard::ReleaseAll()
{
    // A key-up held back ends its note at its own time, before the others end now.
    ResolveHeldKeyUp();
    for (int nIndex = 0; nIndex < kNoteKeys; ++nIndex)
        NoteOff(nIndex);
    for (int nNumber = 1; nNumber <= 9; ++nNumber)
        NumPadNoteOff(nNumber);
    m_bKeyHeld = false;
    m_arrKeyState.fill(0);
    UpdateOscillator(m_times.Capture(std::nullopt));
}

void CNoteKeyboard::SetToneOutput(CToneOutput* pTone)
{
    if (m_pTone && m_pTone != pTone && m_bToneSounding)
        m_pTone->Silence();
    m_pTone = pTone;
    m_bToneSounding = false;
    m_arrToneRatios.clear();
    if (m_pTone && m_settings.MusicType == 1)
    {
        m_toneSettings = OscSettingsOf(m_settings);
        m_arrToneRatios = HeldRatios(m_arrKeyState, m_arrRatios);
        m_bToneSounding = !m_arrToneRatios.empty();
        if (m_bToneSounding)
            m_pTone->Sound(m_toneSettings, m_arrToneRatios);
    }
}

void CNoteKeyboard::UpdateOscillator(const SEventTime& time)
{
    const bool bDirectX = m_settings.MusicType == 1;
    const SOscSettings osc = OscSettingsOf(m_settings);
    if (m_pTone && !bDirectX && m_bToneSounding)
    {
        m_pTone->Silence();
        m_bToneSounding = false;
    }
    else if (m_pTone && bDirectX)
    {
        // Only a change reaches the output: a held key's repeats leave the chord alone.
        std::vector<double> arrRatios = HeldRatios(m_arrKeyState, m_arrRatios);
        if (arrRatios.empty())
        {
            // No key held is silence, not the wave's constant level: no click at every chord's
            // end, and nothing else in the stream loses its headroom.
            if (m_bToneSounding)
                m_pTone->Silence();
            m_bToneSounding = false;
            m_arrToneRatios.clear();
        }
        else if (!m_bToneSounding || arrRatios != m_arrToneRatios || osc != m_toneSettings)
        {
            m_arrToneRatios = arrRatios;
            m_toneSettings = osc;
            m_pTone->Sound(osc, std::move(arrRatios));
            m_bToneSounding = true;
        }
    }

    // Only version 0.1 has records for the oscillator.
    if (m_nRecordVersion != 1)
        return;
    const VoiceMask voices = bDirectX ? HeldVoices(m_arrKeyState) : VoiceMask{};
    if (voices == m_recordedVoices && (!AnyVoice(voices) || osc == m_recordedOsc))
        return;
    m_recordedVoices = voices;
    m_recordedOsc = osc;
    SPlayed played{false, 0, 0, 0, 0, 0, time};
    played.bTone = true;
    played.voices = voices;
    played.osc = osc;
    m_arrPlayed.push_back(played);
}

void CNoteKeyboard::Play(bool bOn, int nKey, int nChannel)
{
    const uint32_t dwNote = static_cast<uint32_t>(m_nBaseNote + nKey) << 8;
    const uint32_t dwMessage =
        bOn ? (0x90u + static_cast<uint32_t>(nChannel)) + dwNote + (static_cast<uint32_t>(m_nVelocity) << 16)
            : (0x80u + static_cast<uint32_t>(nChannel)) + dwNote;
    m_dwLastMessage = dwMessage;
    m_midiOut.ShortMsg(dwMessage);
    const SEventTime time = m_eventTime ? *m_eventTime : m_times.Capture(std::nullopt);
    m_arrPlayed.push_back({bOn, nKey, nChannel, m_nBaseNote, m_nVelocity, dwMessage, time});
}

const std::vector<uint8_t>& CNoteKeyboard::Recording() const
{
    m_arrRecord.clear();
    // Delays count in whole milliseconds from the last event's own millisecond, so that they
    // add up to the time played without drifting; the first counts from the window's readiness.
    // Tone records carry no delay but a duration, and a tone starts where the record before it
    // ended: nReached is the time the records written so far take the player to, and a voiced
    // stretch is preceded by a tone without voices for the silence since then.
    const int64_t nReady = m_times.ReadyMs();
    int64_t nLast = nReady;
    int64_t nReached = nReady;
    struct SStretch
    {
        VoiceMask voices;
        SOscSettings osc;
        int64_t nStart;
    };
    std::optional<SStretch> stretch;
    std::optional<SOscSettings> written;
    const auto EndStretch = [&](int64_t nEnd)
    {
        if (!stretch)
            return;
        if (nEnd > stretch->nStart)
        {
            if (written != stretch->osc)
            {
                const std::array<int32_t, 5> values = OscSettingsRecordValues(stretch->osc);
                AppendSettingsRecord(m_arrRecord, values[0], values[1], values[2], values[3], values[4]);
                written = stretch->osc;
            }
            uint8_t mask[kMaskBytes];
            if (stretch->nStart > nReached)
            {
                EncodeVoices(VoiceMask{}, mask);
                AppendToneRecord(m_arrRecord, mask, Clamp32(stretch->nStart - nReached));
            }
            EncodeVoices(stretch->voices, mask);
            AppendToneRecord(m_arrRecord, mask, Clamp32(nEnd - stretch->nStart));
            nReached = nEnd;
        }
        stretch.reset();
    };
    const auto Byte = [](int n) { return static_cast<uint8_t>(n); };
    for (const SPlayed& played : m_arrPlayed)
    {
        const int64_t nAt = std::max(m_times.TimeOf(played.time), nLast);
        nLast = nAt;
        if (played.bTone)
        {
            EndStretch(nAt);
            if (AnyVoice(played.voices))
                stretch = SStretch{played.voices, played.osc, nAt};
            continue;
        }
        // A note message while the oscillator sounds (a note switched on before End and ended
        // after it) cuts the tone in two around it, so that each record starts when it should.
        std::optional<SStretch> going = stretch;
        EndStretch(nAt);
        if (going)
            stretch = SStretch{going->voices, going->osc, nAt};
        const int32_t nDelay = Clamp32(nAt - nReached);
        nReached = nAt;
        if (m_nRecordVersion == 0 && played.bOn)
            AppendNoteOnRecord(m_arrRecord, nDelay, Byte(played.nBaseNote), Byte(played.nKey),
                               Byte(played.nVelocity), Byte(played.nChannel));
        else if (m_nRecordVersion == 0)
            AppendNoteOffRecord(m_arrRecord, nDelay, Byte(played.nBaseNote), Byte(played.nKey),
                                Byte(played.nChannel));
        else if (m_nRecordVersion == 1)
            AppendEventRecord(m_arrRecord, nDelay, played.dwMessage);
    }
    return m_arrRecord;
}

void CNoteKeyboard::Light(int nSlot, bool bOn, bool& bLit)
{
    if (bLit == bOn)
        return;
    bLit = bOn;
    m_host.LightKey(nSlot, bOn);
}

void CNoteKeyboard::FillStatusTexts()
{
    m_strMidiChannel = Txt::kMidiChannel + std::to_string(m_nChannel);
    m_strDxChannel = Txt::kDxChannel + std::to_string(m_nDxChannel);
    m_strMusicType = std::string(Txt::kMusicType) + (m_settings.MusicType == 0   ? Txt::kMusicMidi
                                                     : m_settings.MusicType == 1 ? Txt::kMusicDirectX
                                                                                 : "");
}

void CNoteKeyboard::SetMidiChannel(int nChannel)
{
    m_nChannel = nChannel;
    FillStatusTexts();
    m_host.StatusChanged();
}

void CNoteKeyboard::SetDxChannel(int nChannel)
{
    m_nDxChannel = nChannel;
    FillStatusTexts();
    m_host.StatusChanged();
}

void CNoteKeyboard::SetMusicType(int nType)
{
    // In memory only: the setting keeps what the Options page saved.
    m_settings.MusicType = nType;
    // The oscillator starts or stops with the key that switched.
    UpdateOscillator(m_eventTime ? *m_eventTime : m_times.Capture(std::nullopt));
    FillStatusTexts();
    m_host.StatusChanged();
}
