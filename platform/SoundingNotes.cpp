#include "platform/SoundingNotes.h"

namespace
{
constexpr uint32_t kNoteOffStatus = 0x80;
constexpr uint32_t kNoteOnStatus = 0x90;
constexpr uint32_t kControlStatus = 0xB0;
constexpr uint32_t kSustain = 64;
constexpr uint32_t kSostenuto = 66;
constexpr uint32_t kSoft = 67;
constexpr uint32_t kAllSoundOff = 120;
constexpr uint32_t kResetControllers = 121;
constexpr uint32_t kAllNotesOff = 123;
constexpr uint32_t kSystemReset = 0xFF;
} // namespace

void CSoundingNotes::Follow(uint32_t dwMessage)
{
    const uint32_t nStatus = dwMessage & 0xFF;
    const uint32_t nData1 = (dwMessage >> 8) & 0xFF;
    const uint32_t nData2 = (dwMessage >> 16) & 0xFF;
    if (nStatus == kSystemReset)
    {
        Clear();
        return;
    }
    const uint32_t nChannel = nStatus & 0x0F;
    // Data bytes of 128 and more make no valid message; the outputs drop those, so do we.
    if (nData1 > 127 || nData2 > 127 || nStatus < kNoteOffStatus || nStatus >= 0xF0)
        return;
    m_arrUsed[nChannel] = true;
    switch (nStatus & 0xF0)
    {
    case kNoteOnStatus:
        if (nData2 > 0)
        {
            uint32_t& nCount = m_arrCount[nChannel][nData1];
            if (nCount < UINT32_MAX)
                ++nCount;
            break;
        }
        [[fallthrough]]; // velocity 0 is a note off
    case kNoteOffStatus:
        if (m_arrCount[nChannel][nData1] > 0)
            --m_arrCount[nChannel][nData1];
        break;
    case kControlStatus:
        if (nData1 == kSustain)
            m_arrPedal[nChannel] = nData2 >= 64;
        else if (nData1 == kAllNotesOff || nData1 == kAllSoundOff)
            m_arrCount[nChannel].fill(0);
        break;
    default:
        break;
    }
}

std::vector<uint32_t> CSoundingNotes::NoteOffMessages() const
{
    std::vector<uint32_t> out;
    for (uint32_t nChannel = 0; nChannel < 16; ++nChannel)
        for (uint32_t nKey = 0; nKey < 128; ++nKey)
            if (m_arrCount[nChannel][nKey] > 0)
                out.push_back(kNoteOffStatus | nChannel | (nKey << 8));
    return out;
}

std::vector<uint32_t> CSoundingNotes::SilencingMessages() const
{
    std::vector<uint32_t> out = NoteOffMessages();
    for (uint32_t nChannel = 0; nChannel < 16; ++nChannel)
        if (m_arrPedal[nChannel])
            out.push_back(kControlStatus | nChannel | (kSustain << 8));
    return out;
}

std::vector<uint32_t> CSoundingNotes::ReleaseMessages() const
{
    std::vector<uint32_t> out = NoteOffMessages();
    // A note held by the sostenuto pedal has had its note off already; only the pedal going up
    // lets it end, and we cannot know which of them the stream's pedals still hold.
    for (uint32_t nChannel = 0; nChannel < 16; ++nChannel)
        if (m_arrUsed[nChannel])
            for (uint32_t nPedal : {kSustain, kSostenuto, kSoft})
                out.push_back(kControlStatus | nChannel | (nPedal << 8));
    return out;
}

std::vector<uint32_t> CSoundingNotes::CutMessages() const
{
    std::vector<uint32_t> out;
    for (uint32_t nChannel = 0; nChannel < 16; ++nChannel)
        if (m_arrUsed[nChannel])
            for (uint32_t nMode : {kAllNotesOff, kAllSoundOff})
                out.push_back(kControlStatus | nChannel | (nMode << 8));
    return out;
}

std::vector<uint32_t> PanicResetMessages()
{
    std::vector<uint32_t> out;
    for (uint32_t nChannel = 0; nChannel < 16; ++nChannel)
        // All sound off last: a synthesizer may cut its voices only once it renders again, and a
        // notes off or a controller reset after the cut then sends them into their release.
        for (uint32_t nController : {kAllNotesOff, kResetControllers, kAllSoundOff})
            out.push_back(kControlStatus | nChannel | (nController << 8));
    return out;
}

void SilenceOutput(IMidiOutHandle& handle, CSoundingNotes& notes)
{
    for (uint32_t dwMessage : notes.ReleaseMessages())
        handle.ShortMsg(dwMessage);
    for (uint32_t dwMessage : notes.CutMessages())
        handle.ShortMsg(dwMessage);
    notes.Clear();
}

void CSoundingNotes::Clear()
{
    for (auto& arrKeys : m_arrCount)
        arrKeys.fill(0);
    m_arrPedal.fill(false);
    m_arrUsed.fill(false);
}
