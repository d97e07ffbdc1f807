#include "sound/MidiExport.h"

#include "app/Messages.h"
#include "platform/Prompter.h"
#include "platform/SoundingNotes.h"
#include "project/ProjectFormat.h"

#include <optional>

namespace
{
constexpr uint16_t kDivision = 500;        // ticks per quarter note
constexpr uint32_t kUsPerQuarter = 500000; // with kDivision: one tick is one millisecond
constexpr uint32_t kMaxDelta = 0x0FFFFFFF; // the most a four-byte delta time holds
constexpr uint8_t kMetaText = 0x01;
constexpr uint8_t kMetaEndOfTrack = 0x2F;
constexpr uint8_t kMetaTempo = 0x51;

// The bytes a channel message carries after its status: program change and channel pressure
// one, the others two. 0 for what has no place in a track (data bytes, system messages).
int DataBytes(uint8_t nStatus)
{
    if (nStatus < 0x80 || nStatus >= 0xF0)
        return 0;
    const uint8_t nKind = nStatus & 0xF0;
    return nKind == 0xC0 || nKind == 0xD0 ? 1 : 2;
}

// The message a version 0.0 record stands for, built from its bytes taken as signed, as the
// player builds it. Nothing for a record whose message would not be the note it means: a
// channel past 15 would turn the status into another kind of message, a note or velocity out
// of 0 to 127 would spill into the next byte.
std::optional<uint32_t> NoteMessage(const SRecord& record)
{
    const int32_t nChannel = static_cast<int8_t>(record.nChannel);
    const int32_t nNote = static_cast<int8_t>(record.nBase) + static_cast<int8_t>(record.nKey);
    const int32_t nVelocity = record.eKind == ERecordKind::NoteOn ? static_cast<int8_t>(record.nVelocity) : 0;
    if (nChannel < 0 || nChannel > 15 || nNote < 0 || nNote > 127 || nVelocity < 0 || nVelocity > 127)
        return std::nullopt;
    const uint32_t nStatus = record.eKind == ERecordKind::NoteOn ? 0x90 : 0x80;
    return (nStatus + nChannel) | (uint32_t(nNote) << 8) | (uint32_t(nVelocity) << 16);
}

// A version 0.1 event as a track can hold it: a channel message with every data byte it uses
// within 0 to 127. The byte past the message's own data is not looked at, as an output does not.
std::optional<uint32_t> EventMessage(uint32_t dwMessage)
{
    const uint8_t nStatus = dwMessage & 0xFF;
    const int nData = DataBytes(nStatus);
    if (nData == 0)
        return std::nullopt;
    const uint32_t nData1 = (dwMessage >> 8) & 0xFF;
    const uint32_t nData2 = nData == 2 ? (dwMessage >> 16) & 0xFF : 0;
    if (nData1 > 127 || nData2 > 127)
        return std::nullopt;
    return nStatus | (nData1 << 8) | (nData2 << 16);
}

class CTrackWriter
{
  public:
    // Moves the track's time to nTimeMs (never back) before the next event.
    void At(int64_t nTimeMs)
    {
        if (nTimeMs <= m_nNow)
            return;
        m_nPending += nTimeMs - m_nNow;
        m_nNow = nTimeMs;
    }

    void Message(uint32_t dwMessage)
    {
        const uint8_t nStatus = dwMessage & 0xFF;
        Delta();
        // Every status byte is written: a reader without running status reads it as well.
        m_bytes.push_back(nStatus);
        m_bytes.push_back(static_cast<uint8_t>(dwMessage >> 8));
        if (DataBytes(nStatus) == 2)
            m_bytes.push_back(static_cast<uint8_t>(dwMessage >> 16));
    }

    void Meta(uint8_t nType, std::initializer_list<uint8_t> data)
    {
        Delta();
        m_bytes.push_back(0xFF);
        m_bytes.push_back(nType);
        m_bytes.push_back(static_cast<uint8_t>(data.size()));
        m_bytes.insert(m_bytes.end(), data);
    }

    const std::vector<uint8_t>& Bytes() const { return m_bytes; }

  private:
    // The time since the last event, as delta times of at most four bytes: a longer silence is
    // bridged by empty text events, which every reader skips.
    void Delta()
    {
        while (m_nPending > kMaxDelta)
        {
            AppendVlq(kMaxDelta);
            m_bytes.insert(m_bytes.end(), {0xFF, kMetaText, 0x00});
            m_nPending -= kMaxDelta;
        }
        AppendVlq(static_cast<uint32_t>(m_nPending));
        m_nPending = 0;
    }

    void AppendVlq(uint32_t nValue)
    {
        uint8_t groups[4];
        int n = 0;
        do
        {
            groups[n++] = nValue & 0x7F;
            nValue >>= 7;
        } while (nValue != 0);
        while (n > 1)
            m_bytes.push_back(groups[--n] | 0x80);
        m_bytes.push_back(groups[0]);
    }

    std::vector<uint8_t> m_bytes;
    int64_t m_nNow = 0;
    int64_t m_nPending = 0;
};

void AppendBig(std::vector<uint8_t>& out, uint32_t nValue, int nBytes)
{
    for (int i = nBytes - 1; i >= 0; --i)
        out.push_back(static_cast<uint8_t>(nValue >> (8 * i)));
}
} // namespace

std::optional<std::vector<uint8_t>> ExportMidiFile(CProjectPlayer& project)
{
    if (!project.CheckHeader())
        return std::nullopt;

    CTrackWriter track;
    track.Meta(kMetaTempo,
               {uint8_t(kUsPerQuarter >> 16), uint8_t(kUsPerQuarter >> 8), uint8_t(kUsPerQuarter)});
    CSoundingNotes notes;
    int64_t nNow = 0;
    // The time of a record is the sum of the delays before it, its own included; a tone's
    // duration takes the place of a delay and moves what follows it, oscillator settings take
    // no time.
    auto fVisit = [&](const SRecord& record)
    {
        std::optional<uint32_t> dwMessage;
        switch (record.eKind)
        {
        case ERecordKind::NoteOn:
        case ERecordKind::NoteOff:
            nNow += record.nDelay;
            dwMessage = NoteMessage(record);
            break;
        case ERecordKind::Event:
            nNow += record.nDelay;
            dwMessage = EventMessage(record.dwMessage);
            break;
        case ERecordKind::Other:
            nNow += record.nDelay; // only a delay in version 0.0
            break;
        case ERecordKind::Tone:
            nNow += record.nDuration;
            break;
        case ERecordKind::Settings:
            break;
        }
        if (dwMessage)
        {
            track.At(nNow);
            track.Message(*dwMessage);
            notes.Follow(*dwMessage);
        }
        return true;
    };
    const SWalkResult result = WalkRecords(project.m_nVersion, project.Data().subspan(kHeaderSize), fVisit);
    if (result.eEnd == EWalkEnd::Damaged)
    {
        ShowMessage(project.Messages(), Msg::kDamagedLength, Msg::kDamagedRecordCaption, EIcon::Warning);
        return std::nullopt;
    }
    // A type byte version 0.1 does not know ends the project there, as it ends playing.

    // The player switches off at its end what the project left on; a file must do so itself, or
    // the notes hang in whatever plays it after.
    track.At(nNow);
    for (uint32_t dwMessage : notes.SilencingMessages())
        track.Message(dwMessage);
    track.Meta(kMetaEndOfTrack, {});

    std::vector<uint8_t> file = {'M', 'T', 'h', 'd'};
    AppendBig(file, 6, 4);
    AppendBig(file, 0, 2); // format 0
    AppendBig(file, 1, 2); // one track
    AppendBig(file, kDivision, 2);
    file.insert(file.end(), {'M', 'T', 'r', 'k'});
    AppendBig(file, static_cast<uint32_t>(track.Bytes().size()), 4);
    file.insert(file.end(), track.Bytes().begin(), track.Bytes().end());
    return file;
}
