#include "roll/NoteList.h"

#include "project/ClipConvert.h"
#include "project/ProjectFormat.h"
#include "sound/MidiFile.h"

#include <algorithm>
#include <bit>
#include <optional>

namespace
{
constexpr size_t kSlots = 16 * 128;

// A message's channel note on or off, as the synthesizer takes it: a note on of velocity 0 ends
// the note.
enum class ENoteMessage
{
    None,
    On,
    Off,
};
ENoteMessage NoteMessageKind(uint32_t dwMessage)
{
    const uint32_t nStatus = dwMessage & 0xF0;
    if (nStatus == 0x90)
        return ((dwMessage >> 16) & 0x7F) ? ENoteMessage::On : ENoteMessage::Off;
    if (nStatus == 0x80)
        return ENoteMessage::Off;
    return ENoteMessage::None;
}

void FinishList(SNoteList& list)
{
    for (SRollNote& note : list.notes)
        if (note.nEndMs < 0)
        {
            note.nEndMs = list.nLengthMs;
            note.bOpen = true;
        }
    // Note ons were taken in time order already; the sort only settles equal times by record.
    std::stable_sort(list.notes.begin(), list.notes.end(),
                     [](const SRollNote& a, const SRollNote& b) { return a.nStartMs < b.nStartMs; });
    list.reachEnd.resize(list.notes.size());
    int64_t nReach = 0;
    for (size_t i = 0; i < list.notes.size(); ++i)
    {
        nReach = std::max(nReach, list.notes[i].nEndMs);
        list.reachEnd[i] = nReach;
    }
}
} // namespace

CNoteListBuilder::CNoteListBuilder(int nVersion, int64_t nStartMs) : m_open(kSlots), m_nTime(nStartMs)
{
    m_list.nVersion = nVersion;
}

void CNoteListBuilder::NoteOn(int64_t nMs, int nChannel, int nPitch, int nVelocity, int32_t nRecord)
{
    if (nChannel < 0 || nChannel > 15 || nPitch < 0 || nPitch > 127)
        return;
    SRollNote note;
    note.nStartMs = nMs;
    note.nEndMs = -1;
    note.nPitch = static_cast<uint8_t>(nPitch);
    note.nVelocity = static_cast<uint8_t>(std::clamp(nVelocity, 0, 127));
    note.nChannel = static_cast<uint8_t>(nChannel);
    note.nRecord = nRecord;
    m_open[static_cast<size_t>(nChannel * 128 + nPitch)].items.push_back(m_list.notes.size());
    m_list.notes.push_back(note);
}

void CNoteListBuilder::NoteOff(int64_t nMs, int nChannel, int nPitch)
{
    if (nChannel < 0 || nChannel > 15 || nPitch < 0 || nPitch > 127)
        return;
    SOpenNotes& open = m_open[static_cast<size_t>(nChannel * 128 + nPitch)];
    if (open.nHead == open.items.size())
        return;
    m_list.notes[open.items[open.nHead++]].nEndMs = nMs;
    if (open.nHead == open.items.size())
    {
        open.items.clear();
        open.nHead = 0;
    }
}

void CNoteListBuilder::Add(const SRecord& record)
{
    const int32_t nRecord = ++m_nRecords;
    switch (record.eKind)
    {
    case ERecordKind::Tone:
    {
        m_list.recordTimes.push_back(m_nTime);
        SRollTone tone;
        tone.nStartMs = m_nTime;
        m_nTime += std::max<int32_t>(record.nDuration, 0);
        tone.nEndMs = m_nTime;
        for (uint8_t nByte : record.mask)
            tone.nVoices += std::popcount(nByte);
        // Bits 46 and 47 name no voice.
        tone.nVoices -= std::popcount(static_cast<uint8_t>(record.mask[5] & 0xC0));
        tone.nRecord = nRecord;
        m_list.tones.push_back(tone);
        break;
    }
    case ERecordKind::Settings:
        m_list.recordTimes.push_back(m_nTime);
        m_list.events.push_back({m_nTime, 0, nRecord, true});
        break;
    default:
    {
        m_nTime += std::max<int32_t>(record.nDelay, 0);
        m_list.recordTimes.push_back(m_nTime);
        if (record.eKind == ERecordKind::Event)
            AddMessage(record.dwMessage, nRecord, true);
        // A version 0.0 note as the player sends it; one an output would drop sounds nothing.
        else if (const std::optional<uint32_t> message = NoteRecordMessage(record))
            AddMessage(*message, nRecord, false);
        break;
    }
    }
}

void CNoteListBuilder::AddStream(std::span<const uint8_t> stream)
{
    const SWalkResult result = WalkRecords(m_list.nVersion, stream,
                                           [&](const SRecord& record)
                                           {
                                               Add(record);
                                               return true;
                                           });
    if (result.eEnd == EWalkEnd::Damaged || result.eEnd == EWalkEnd::UnknownType)
        m_list.bDamaged = true;
}

void CNoteListBuilder::AddMessage(uint32_t dwMessage, int32_t nRecord, bool bKeepEvents)
{
    const int nChannel = static_cast<int>(dwMessage & 0x0F);
    const int nPitch = static_cast<int>((dwMessage >> 8) & 0x7F);
    switch (NoteMessageKind(dwMessage))
    {
    case ENoteMessage::On:
        NoteOn(m_nTime, nChannel, nPitch, static_cast<int>((dwMessage >> 16) & 0x7F), nRecord);
        break;
    case ENoteMessage::Off:
        NoteOff(m_nTime, nChannel, nPitch);
        break;
    case ENoteMessage::None:
        if (bKeepEvents)
            m_list.events.push_back({m_nTime, dwMessage, nRecord, false});
        break;
    }
}

SNoteList CNoteListBuilder::List() const
{
    SNoteList list = m_list;
    list.nLengthMs = m_nTime;
    FinishList(list);
    return list;
}

SNoteList BuildProjectNoteList(std::span<const uint8_t> project)
{
    int nVersion = 0;
    if (CheckProjectHeader(project, nVersion) != EHeader::Ok)
    {
        SNoteList list;
        list.bDamaged = true;
        return list;
    }
    CNoteListBuilder builder(nVersion);
    builder.AddStream(project.subspan(kHeaderSize));
    return builder.List();
}

SNoteList BuildMidiNoteList(const SMidiFile& file)
{
    CNoteListBuilder builder(0);
    for (const SMidiEvent& event : file.events)
    {
        builder.AdvanceTo(static_cast<int64_t>(event.nTimeUs / 1000));
        // A file's controllers and programs are not drawn: a large file holds millions.
        builder.AddMessage(event.dwMessage, 0, false);
    }
    builder.AdvanceTo(static_cast<int64_t>(file.nLengthUs / 1000));
    return builder.List();
}

std::unique_ptr<CRollJob<SNoteList>> StartMidiNotesJob(std::string strPath)
{
    return std::make_unique<CRollJob<SNoteList>>(
        [strPath = std::move(strPath)](const std::atomic<bool>& bStop,
                                       std::atomic<int>&) -> std::shared_ptr<const SNoteList>
        {
            SMidiFile file;
            std::string strError;
            if (!ReadMidiFile(strPath, file, strError, bStop))
                return nullptr;
            return std::make_shared<const SNoteList>(BuildMidiNoteList(file));
        });
}

SIndexRange VisibleNotes(const SNoteList& list, int64_t nFromMs, int64_t nToMs)
{
    // The first note that reaches nFromMs (reachEnd never decreases) ...
    const auto itFirst = std::lower_bound(list.reachEnd.begin(), list.reachEnd.end(), nFromMs);
    SIndexRange range;
    range.nFirst = static_cast<size_t>(itFirst - list.reachEnd.begin());
    // ... to the last that starts by nToMs.
    const auto itLast =
        std::upper_bound(list.notes.begin(), list.notes.end(), nToMs,
                         [](int64_t nMs, const SRollNote& note) { return nMs < note.nStartMs; });
    range.nLast = std::max(range.nFirst, static_cast<size_t>(itLast - list.notes.begin()));
    return range;
}

SRecordRange RecordsInTime(const SNoteList& list, int64_t nFromMs, int64_t nToMs)
{
    if (nFromMs > nToMs)
        std::swap(nFromMs, nToMs);
    const auto& times = list.recordTimes;
    const auto itFirst = std::lower_bound(times.begin(), times.end(), nFromMs);
    const auto itEnd = std::upper_bound(times.begin(), times.end(), nToMs);
    if (itFirst >= itEnd)
        return {};
    return {static_cast<int>(itFirst - times.begin()) + 1, static_cast<int>(itEnd - times.begin())};
}

int RecordBeforeTime(const SNoteList& list, int64_t nMs)
{
    const auto& times = list.recordTimes;
    return static_cast<int>(std::lower_bound(times.begin(), times.end(), nMs) - times.begin());
}

int64_t RecordTime(const SNoteList& list, int nRecord)
{
    if (list.recordTimes.empty())
        return 0;
    const size_t nIndex = static_cast<size_t>(std::clamp<int64_t>(nRecord, 1, list.recordTimes.size())) - 1;
    return list.recordTimes[nIndex];
}
