#include "project/ClipConvert.h"

#include <algorithm>
#include <limits>

std::optional<uint32_t> NoteRecordMessage(const SRecord& record)
{
    if (record.eKind != ERecordKind::NoteOn && record.eKind != ERecordKind::NoteOff)
        return std::nullopt;
    const int32_t nNote = static_cast<int8_t>(record.nBase) + static_cast<int8_t>(record.nKey);
    const int32_t nChannel = static_cast<int8_t>(record.nChannel);
    if (nNote < 0 || nNote > 127 || nChannel < 0 || nChannel > 15)
        return std::nullopt;
    if (record.eKind == ERecordKind::NoteOff)
        return static_cast<uint32_t>(0x80 + nChannel + nNote * 256);
    const int32_t nVelocity = static_cast<int8_t>(record.nVelocity);
    if (nVelocity < 0)
        return std::nullopt;
    return static_cast<uint32_t>(0x90 + nChannel + nNote * 256 + nVelocity * 65536);
}

namespace
{
int32_t SaturatedDelay(int64_t nDelay)
{
    return static_cast<int32_t>(std::min<int64_t>(nDelay, std::numeric_limits<int32_t>::max()));
}

// A version 0.1 event as a version 0.0 note, or false when it is no note.
bool AppendAsNote(std::vector<uint8_t>& out, int32_t nDelay, uint32_t dwMessage)
{
    const uint8_t nStatus = static_cast<uint8_t>(dwMessage);
    const uint8_t nNote = static_cast<uint8_t>(dwMessage >> 8);
    const uint8_t nVelocity = static_cast<uint8_t>(dwMessage >> 16);
    const uint8_t nChannel = nStatus & 0x0F;
    if (nNote > 127)
        return false;
    switch (nStatus & 0xF0)
    {
    case 0x90:
        if (nVelocity > 127)
            return false;
        if (nVelocity > 0)
            AppendNoteOnRecord(out, nDelay, 0, nNote, nVelocity, nChannel);
        else // a note on at velocity 0 is how many devices send a note off
            AppendNoteOffRecord(out, nDelay, 0, nNote, nChannel);
        return true;
    case 0x80:
        AppendNoteOffRecord(out, nDelay, 0, nNote, nChannel);
        return true;
    default:
        return false;
    }
}
} // namespace

std::optional<SConvertedClip> ConvertClip(std::span<const uint8_t> clip, int nFrom, int nTo)
{
    SConvertedClip converted;
    // Time of the records left out since the last one kept, wide enough for any number of them.
    int64_t nCarried = 0;
    const SWalkResult result =
        WalkRecords(nFrom, clip,
                    [&](const SRecord& record)
                    {
                        if (nFrom == nTo)
                            return true;
                        const int64_t nOwnTime =
                            record.eKind == ERecordKind::Tone ? record.nDuration : record.nDelay;
                        const int32_t nDelay = SaturatedDelay(nCarried + record.nDelay);
                        bool bKept = false;
                        if (nTo == 1)
                        {
                            if (std::optional<uint32_t> dwMessage = NoteRecordMessage(record))
                            {
                                AppendEventRecord(converted.stream, nDelay, *dwMessage);
                                bKept = true;
                            }
                        }
                        else if (record.eKind == ERecordKind::Event)
                            bKept = AppendAsNote(converted.stream, nDelay, record.dwMessage);
                        if (bKept)
                            nCarried = 0;
                        else
                        {
                            nCarried += nOwnTime;
                            ++converted.nLeftOut;
                        }
                        return true;
                    });
    if (result.eEnd != EWalkEnd::End)
        return std::nullopt;
    if (nFrom == nTo)
        converted.stream.assign(clip.begin(), clip.end());
    return converted;
}
