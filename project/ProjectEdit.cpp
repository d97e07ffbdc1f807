// The Edit menu's operations on a project: copy, paste, delete, remove gaps, count, and the
// question about notes left open. Each builds a new project and leaves the one it reads alone.
#include "app/Messages.h"
#include "platform/Prompter.h"
#include "project/ClipConvert.h"
#include "project/ProjectFormat.h"
#include "project/ProjectPlayer.h"

#include <algorithm>
#include <cmath>
#include <deque>
#include <limits>
#include <string>
#include <tuple>

int WholeMark(float fMark)
{
    // Values no int holds (or no number at all) are pinned to the nearest end rather than left
    // to undefined conversion.
    if (std::isnan(fMark))
        return 0;
    if (fMark >= 2147483520.0f) // the largest float below 2^31
        return std::numeric_limits<int>::max();
    if (fMark <= -2147483648.0f)
        return std::numeric_limits<int>::min();
    return static_cast<int>(fMark);
}

namespace
{
enum class EEdit
{
    Copy,
    Paste,
    Delete,
    RemoveGaps,
    Count,
};

// What a damaged record makes each operation say. The wording differs between the versions and
// the operations, as the user has always seen it.
SMessage DamagedMessage(EEdit eEdit, int nVersion)
{
    SMessage message;
    message.eIcon = EIcon::Warning;
    if (eEdit == EEdit::Count)
    {
        message.strText = Msg::kDamagedEditing;
        message.strCaption = Msg::kPlaybackErrorCaption;
        message.bOwned = true;
        return message;
    }
    if (nVersion == 0)
    {
        message.strText = Msg::kDamagedEditing;
        message.strCaption = eEdit == EEdit::Copy || eEdit == EEdit::Paste ? Msg::kPlaybackErrorCaption
                                                                           : Msg::kDamagedRecordCaption;
        return message;
    }
    message.strText = Msg::kDamagedLength;
    message.strCaption = eEdit == EEdit::Copy ? Msg::kCopyDamagedCaption : Msg::kDamagedRecordCaption;
    return message;
}

// The records of a stream, or false when it does not walk to its end as whole records. A
// version 0.1 type byte we do not know counts as damage here: its length is unknown, so no cut
// may be made after it.
bool ListRecords(int nVersion, std::span<const uint8_t> stream, std::vector<SRecord>& records)
{
    records.clear();
    const SWalkResult result = WalkRecords(nVersion, stream,
                                           [&](const SRecord& record)
                                           {
                                               records.push_back(record);
                                               return true;
                                           });
    return result.eEnd == EWalkEnd::End;
}

// The selection as indexes [first, last) into a list of nRecords records; false when the marks
// select nothing (end 0 or before the start, or a start past the last record).
bool SelectedRange(float fStart, float fEnd, size_t nRecords, size_t& nFirst, size_t& nLast)
{
    const int nStart = WholeMark(fStart);
    const int nEnd = WholeMark(fEnd);
    if (nEnd == 0 || nEnd < nStart)
        return false;
    const int64_t nFrom = std::max(nStart, 1);
    const int64_t nTo = std::min<int64_t>(nEnd, static_cast<int64_t>(nRecords));
    if (nFrom > nTo)
        return false;
    nFirst = static_cast<size_t>(nFrom - 1);
    nLast = static_cast<size_t>(nTo);
    return true;
}

size_t RecordEnd(const SRecord& record)
{
    return record.nOffset + record.nSize;
}

std::vector<uint8_t> WithHeader(std::span<const uint8_t> project, const std::vector<uint8_t>& stream)
{
    std::vector<uint8_t> out(kHeaderSize + stream.size());
    std::copy_n(project.begin(), kHeaderSize, out.begin());
    std::copy(stream.begin(), stream.end(), out.begin() + kHeaderSize);
    return out;
}
} // namespace

void CProjectPlayer::SetClip(std::vector<uint8_t> stream, int32_t nVersion)
{
    m_clip = std::move(stream);
    m_pData = m_clip.data();
    m_nLength = static_cast<int64_t>(m_clip.size());
    m_nVersion = nVersion;
}

std::vector<uint8_t> CProjectPlayer::CheckBalance(std::vector<uint8_t> stream,
                                                  const std::string& strCaption) const
{
    std::vector<SRecord> records;
    // Only whole notes can be paired; a stream that does not walk is nobody's to repair here.
    if (!ListRecords(0, stream, records))
        return stream;

    int nOn = 0;
    int nOff = 0;
    for (const SRecord& record : records)
    {
        if (record.eKind == ERecordKind::NoteOn)
            ++nOn;
        else if (record.eKind == ERecordKind::NoteOff && nOn > 0)
            ++nOff;
    }
    if (nOn == nOff)
        return stream;

    SMessage question{Msg::kBalanceQuestion, strCaption, EIcon::Warning, EButtons::YesNo, false};
    if (m_prompter.Ask(question) != EAnswer::Yes)
        return stream;

    // A note is its base, key and channel; a note off closes the earliest of its kind still open.
    using FNote = std::tuple<uint8_t, uint8_t, uint8_t>;
    std::deque<FNote> open;
    for (const SRecord& record : records)
    {
        const FNote note{record.nBase, record.nKey, record.nChannel};
        if (record.eKind == ERecordKind::NoteOn)
            open.push_back(note);
        else if (record.eKind == ERecordKind::NoteOff)
        {
            if (auto it = std::find(open.begin(), open.end(), note); it != open.end())
                open.erase(it);
        }
    }
    for (const auto& [nBase, nKey, nChannel] : open)
        AppendNoteOffRecord(stream, 0, nBase, nKey, nChannel);
    return stream;
}

std::unique_ptr<CProjectPlayer> CProjectPlayer::Copy()
{
    std::vector<uint8_t> stream;
    if (!CheckHeader(&stream))
        return nullptr;
    const int nEnd = WholeMark(m_fMarkEnd);
    if (nEnd == 0 || nEnd < WholeMark(m_fMarkStart))
        return nullptr;
    std::vector<SRecord> records;
    if (!ListRecords(m_nVersion, stream, records))
    {
        m_prompter.Ask(DamagedMessage(EEdit::Copy, m_nVersion));
        return nullptr;
    }
    size_t nFirst = 0, nLast = 0;
    if (!SelectedRange(m_fMarkStart, m_fMarkEnd, records.size(), nFirst, nLast))
        return nullptr;

    std::vector<uint8_t> clip(stream.begin() + static_cast<ptrdiff_t>(records[nFirst].nOffset),
                              stream.begin() + static_cast<ptrdiff_t>(RecordEnd(records[nLast - 1])));
    // Version 0.1 events are raw MIDI messages, not notes: there is nothing to pair.
    if (m_nVersion == 0)
        clip = CheckBalance(std::move(clip), Msg::kCopyQuestionCaption);
    auto pClip = std::make_unique<CProjectPlayer>(m_prompter);
    pClip->SetClip(std::move(clip), m_nVersion);
    return pClip;
}

std::optional<std::vector<uint8_t>> CProjectPlayer::Paste(const CProjectPlayer* pClip, int nAfter)
{
    std::vector<uint8_t> stream;
    if (!CheckHeader(&stream))
        return std::nullopt;
    const std::span<const uint8_t> project = Data();
    if (!pClip || !pClip->HasClip())
        return std::vector<uint8_t>(project.begin(), project.end());

    std::vector<SRecord> records;
    if (!ListRecords(m_nVersion, stream, records))
    {
        m_prompter.Ask(DamagedMessage(EEdit::Paste, m_nVersion));
        return std::nullopt;
    }
    const int nClipVersion = pClip->m_nVersion == 0 ? 0 : 1;
    std::optional<SConvertedClip> clip = ConvertClip(pClip->Data(), nClipVersion, m_nVersion);
    if (!clip)
    {
        // Our clips are made of whole records; one that is not would damage the project.
        m_prompter.Ask(DamagedMessage(EEdit::Paste, nClipVersion));
        return std::nullopt;
    }
    if (clip->nLeftOut > 0)
        ShowMessage(m_prompter, TextPieces{{Msg::kClipLeftOut}, Value(std::to_string(clip->nLeftOut))},
                    Msg::kClipLeftOutCaption, EIcon::Information);

    // After record nAfter; 1 or less after the first, at or past the last at the end.
    size_t nAt = 0;
    if (!records.empty())
    {
        const int64_t nRecord = std::clamp<int64_t>(nAfter, 1, static_cast<int64_t>(records.size()));
        nAt = RecordEnd(records[static_cast<size_t>(nRecord - 1)]);
    }
    stream.insert(stream.begin() + static_cast<ptrdiff_t>(nAt), clip->stream.begin(), clip->stream.end());
    if (m_nVersion == 0)
        stream = CheckBalance(std::move(stream), Msg::kEditQuestionCaption);
    return WithHeader(project, stream);
}

std::optional<std::vector<uint8_t>> CProjectPlayer::Delete()
{
    std::vector<uint8_t> stream;
    if (!CheckHeader(&stream))
        return std::nullopt;
    const std::span<const uint8_t> project = Data();
    const int nEnd = WholeMark(m_fMarkEnd);
    if (nEnd == 0 || nEnd < WholeMark(m_fMarkStart))
        return std::vector<uint8_t>(project.begin(), project.end());
    std::vector<SRecord> records;
    if (!ListRecords(m_nVersion, stream, records))
    {
        m_prompter.Ask(DamagedMessage(EEdit::Delete, m_nVersion));
        return std::nullopt;
    }
    size_t nFirst = 0, nLast = 0;
    // Marks past the last record remove nothing, and nothing removed needs no question.
    if (!SelectedRange(m_fMarkStart, m_fMarkEnd, records.size(), nFirst, nLast))
        return std::vector<uint8_t>(project.begin(), project.end());

    stream.erase(stream.begin() + static_cast<ptrdiff_t>(records[nFirst].nOffset),
                 stream.begin() + static_cast<ptrdiff_t>(RecordEnd(records[nLast - 1])));
    if (m_nVersion == 0)
        stream = CheckBalance(std::move(stream), Msg::kEditQuestionCaption);
    return WithHeader(project, stream);
}

std::optional<std::vector<uint8_t>> CProjectPlayer::RemoveGaps()
{
    std::vector<uint8_t> stream;
    if (!CheckHeader(&stream))
        return std::nullopt;
    const std::span<const uint8_t> project = Data();
    std::vector<SRecord> records;
    if (!ListRecords(m_nVersion, stream, records))
    {
        m_prompter.Ask(DamagedMessage(EEdit::RemoveGaps, m_nVersion));
        return std::nullopt;
    }
    // Version 0.0: the first record, whatever its type, starts with a delay. Version 0.1: tone
    // and settings records hold none, so the first event's delay is the silence to drop.
    auto first = m_nVersion == 0
                     ? records.begin()
                     : std::find_if(records.begin(), records.end(),
                                    [](const SRecord& r) { return r.eKind == ERecordKind::Event; });
    if (first != records.end() && first->nDelay > 0)
    {
        // The delay's counted number sits right after the type byte.
        const size_t nDelayAt = first->nOffset + 1;
        const size_t nDelaySize = 1 + stream[nDelayAt];
        const uint8_t zero[2] = {1, 0};
        stream.erase(stream.begin() + static_cast<ptrdiff_t>(nDelayAt),
                     stream.begin() + static_cast<ptrdiff_t>(nDelayAt + nDelaySize));
        stream.insert(stream.begin() + static_cast<ptrdiff_t>(nDelayAt), zero, zero + 2);
    }
    return WithHeader(project, stream);
}

int CProjectPlayer::CountRecords()
{
    std::vector<uint8_t> stream;
    if (!CheckHeader(&stream))
        return 0;
    std::vector<SRecord> records;
    if (!ListRecords(m_nVersion, stream, records))
    {
        m_prompter.Ask(DamagedMessage(EEdit::Count, m_nVersion));
        return 0;
    }
    return static_cast<int>(std::min<size_t>(records.size(), std::numeric_limits<int>::max()));
}
