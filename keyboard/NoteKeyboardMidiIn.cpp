// What the MIDI input plays through the musical keyboard: its messages on the live window's
// channel, into the take and onto the key pictures.
#include "keyboard/KeyMap.h"
#include "keyboard/KeyboardTexts.h"
#include "keyboard/NoteKeyboard.h"

namespace
{
constexpr uint32_t kNoteOff = 0x80, kNoteOn = 0x90, kController = 0xB0;
constexpr uint32_t kSustain = 64;

uint32_t WithChannel(uint32_t dwMessage, int nChannel)
{
    return (dwMessage & ~0x0Fu) | static_cast<uint32_t>(nChannel & 0x0F);
}
} // namespace

void CNoteKeyboard::MidiInMessage(uint32_t dwMessage, std::chrono::nanoseconds tArrival)
{
    const uint32_t dwStatus = dwMessage & 0xFF;
    // Only channel voice messages have a channel to replace; the input passes nothing else.
    if (dwStatus < 0x80 || dwStatus >= 0xF0)
        return;
    const uint32_t dwKind = dwStatus & 0xF0;
    const int nInChannel = static_cast<int>(dwStatus & 0x0F);
    const int nNote = static_cast<int>((dwMessage >> 8) & 0x7F);
    const int nValue = static_cast<int>((dwMessage >> 16) & 0x7F);
    SEventTime time;
    time.nHandledMs = std::chrono::duration_cast<std::chrono::milliseconds>(tArrival).count();

    const bool bOn = dwKind == kNoteOn && nValue > 0;
    const bool bOff = dwKind == kNoteOff || (dwKind == kNoteOn && nValue == 0);
    if (bOn)
    {
        m_midiInNotes[{nInChannel, nNote}].push_back(m_nChannel);
        ++m_arrMidiInHeld[static_cast<size_t>(nNote)];
        PlayMidiIn(WithChannel(dwMessage, m_nChannel), true, nNote, m_nChannel, time, true);
        LightMidiNote(nNote);
        return;
    }
    if (bOff)
    {
        // The earliest of its note ons ends, on the channel it began on, whatever the channel
        // is now.
        auto it = m_midiInNotes.find({nInChannel, nNote});
        if (it == m_midiInNotes.end())
            return;
        const int nChannel = it->second.front();
        it->second.erase(it->second.begin());
        if (it->second.empty())
            m_midiInNotes.erase(it);
        --m_arrMidiInHeld[static_cast<size_t>(nNote)];
        PlayMidiIn(WithChannel(dwMessage, nChannel), false, nNote, nChannel, time, true);
        LightMidiNote(nNote);
        return;
    }
    if (dwKind == kController && static_cast<uint32_t>(nNote) == kSustain)
        m_arrMidiInSustain[static_cast<size_t>(m_nChannel)] = nValue >= 64;
    // Controllers, pitch bend, pressure, programs: sounded, and recorded where the version has
    // a record for them.
    const bool bRecorded = m_nRecordVersion != 0;
    if (!bRecorded && !m_bMidiInUnrecordedTold)
    {
        m_bMidiInUnrecordedTold = true;
        SetMidiInText(Txt::kMidiInNotesOnly);
    }
    PlayMidiIn(WithChannel(dwMessage, m_nChannel), false, nNote, m_nChannel, time, bRecorded);
}

void CNoteKeyboard::ReleaseMidiIn()
{
    const SEventTime time = m_times.Capture(std::nullopt);
    const auto notes = m_midiInNotes;
    m_midiInNotes.clear();
    for (const auto& [key, arrChannels] : notes)
    {
        const int nNote = key.second;
        for (int nChannel : arrChannels)
        {
            --m_arrMidiInHeld[static_cast<size_t>(nNote)];
            const uint32_t dwOff =
                (kNoteOff + static_cast<uint32_t>(nChannel)) | (static_cast<uint32_t>(nNote) << 8);
            PlayMidiIn(dwOff, false, nNote, nChannel, time, true);
        }
        LightMidiNote(nNote);
    }
    // A held pedal would keep the released notes sounding.
    for (int nChannel = 0; nChannel < 16; ++nChannel)
    {
        if (!m_arrMidiInSustain[static_cast<size_t>(nChannel)])
            continue;
        m_arrMidiInSustain[static_cast<size_t>(nChannel)] = false;
        const uint32_t dwPedalUp = (kController + static_cast<uint32_t>(nChannel)) | (kSustain << 8);
        PlayMidiIn(dwPedalUp, false, 0, nChannel, time, m_nRecordVersion != 0);
    }
}

void CNoteKeyboard::PlayMidiIn(uint32_t dwMessage, bool bOn, int nNote, int nChannel, const SEventTime& time,
                               bool bRecorded)
{
    m_dwLastMessage = dwMessage;
    m_midiOut.ShortMsg(dwMessage);
    if (!bRecorded)
        return;
    // Base 0 and the note number as the key: in version 0.0 base + key is the note played.
    const int nVelocity = static_cast<int>((dwMessage >> 16) & 0x7F);
    m_arrPlayed.push_back({bOn, nNote, nChannel, 0, nVelocity, dwMessage, time});
}

void CNoteKeyboard::LightMidiNote(int nNote)
{
    const int nIndex = nNote - m_nBaseNote;
    if (nIndex < 0 || nIndex >= kNoteKeys)
        return;
    const size_t i = static_cast<size_t>(nIndex);
    const bool bHeld =
        m_arrKeyLit[i] || (nNote >= 0 && nNote < 128 && m_arrMidiInHeld[static_cast<size_t>(nNote)] > 0);
    Light(NoteKeySlot(nIndex), bHeld, m_arrLit[i]);
}

void CNoteKeyboard::SetMidiInText(std::string strText)
{
    m_strMidiIn = std::move(strText);
    m_host.StatusChanged();
}
