// The bytes of a project file: the 27-byte header, counted numbers, the record builders and the
// one record walker that every reader of a project uses.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

inline constexpr size_t kHeaderSize = 27;
inline constexpr size_t kHeaderNameSize = 23;
inline constexpr const char* kHeaderName = "Tonegrove File Projects";

// Record type bytes and markers.
inline constexpr uint8_t kNoteOn = '$';
inline constexpr uint8_t kNoteOff = '!';
inline constexpr uint8_t kSettings = '#';
inline constexpr uint8_t kTone = '*';
inline constexpr uint8_t kNoteMarker = 'M';
inline constexpr uint8_t kEventMarker = 'T';
inline constexpr uint8_t kToneMarker = '@';

// "Tonegrove File Projects 0.0" (version 0) or "... 0.1" (version 1): a new, empty project.
std::vector<uint8_t> MakeHeader(int nVersion);

enum class EHeader
{
    Ok,
    Damaged,       // too short, or the first 23 bytes are not the program's name
    FutureVersion, // any version text but "0.0" and "0.1"
};
// Checks the header; on Ok nVersion is 0 or 1. Byte 23 (the space) is not looked at.
EHeader CheckProjectHeader(std::span<const uint8_t> project, int& nVersion);

// Counted numbers: a length byte L, then L bytes big-endian. Values of 0 or less take one zero
// byte; positive values take the fewest bytes that hold them.
int EncodeNumber(int32_t nValue, uint8_t bytes[4]);
void AppendNumber(std::vector<uint8_t>& out, int32_t nValue);
// L data bytes big-endian into 32 bits; 5 to 8 bytes give their low four, more than 8 give 0.
int32_t DecodeNumber(const uint8_t* pBytes, int nLength);

// Builders of whole records, appended to a project's bytes.
void AppendNoteOnRecord(std::vector<uint8_t>& out, int32_t nDelay, uint8_t nBase, uint8_t nKey,
                        uint8_t nVelocity, uint8_t nChannel);
void AppendNoteOffRecord(std::vector<uint8_t>& out, int32_t nDelay, uint8_t nBase, uint8_t nKey,
                         uint8_t nChannel);
void AppendEventRecord(std::vector<uint8_t>& out, int32_t nDelay, uint32_t dwMessage,
                       uint8_t nType = kNoteOn);
void AppendSettingsRecord(std::vector<uint8_t>& out, int32_t nFrequency, int32_t nVolume, int32_t nResonance,
                          int32_t nSynthIndex, int32_t nOscillatorType);
void AppendToneRecord(std::vector<uint8_t>& out, const uint8_t mask[6], int32_t nDuration);

enum class ERecordKind
{
    NoteOn,   // version 0.0 '$'
    NoteOff,  // version 0.0 '!'
    Other,    // version 0.0, any other type byte: a type and a delay only
    Event,    // version 0.1 '$' or '!': a MIDI short message
    Settings, // version 0.1 '#'
    Tone,     // version 0.1 '*'
};

struct SRecord
{
    ERecordKind eKind = ERecordKind::Other;
    uint8_t nType = 0;
    size_t nOffset = 0; // in the stream (the bytes after the header)
    size_t nSize = 0;
    int32_t nDelay = 0;       // NoteOn, NoteOff, Other, Event; never negative (see ReadRecord)
    uint8_t nBase = 0;        // NoteOn, NoteOff
    uint8_t nKey = 0;         // NoteOn, NoteOff
    uint8_t nVelocity = 0;    // NoteOn
    uint8_t nChannel = 0;     // NoteOn, NoteOff
    uint32_t dwMessage = 0;   // Event
    int32_t settings[5] = {}; // Settings: frequency, volume, resonance x1000, synthesizer, oscillator
    uint8_t mask[6] = {};     // Tone
    int32_t nDuration = 0;    // Tone
};

enum class EWalkEnd
{
    End,         // the stream's end was reached after a whole record
    UnknownType, // version 0.1: a type byte the format does not know; the walk stops there
    Damaged,     // a marker is missing, or a record or counted number runs past the end
    Stopped,     // the visitor asked to stop
};

struct SWalkResult
{
    EWalkEnd eEnd = EWalkEnd::End;
    size_t nOffset = 0;         // where the walk stopped
    size_t nRecords = 0;        // whole records visited
    bool bDamagedDelay = false; // Damaged: the damaged record's delay could still be read
    int32_t nDamagedDelay = 0;
};

enum class ERead
{
    Record,
    UnknownType,
    Damaged,
};
// Reads the record at nPos. On Damaged, record.nDelay holds the delay when bDelayRead is set.
// Delays and durations whose counted number decodes as negative are read as 0.
ERead ReadRecord(int nVersion, std::span<const uint8_t> stream, size_t nPos, SRecord& record,
                 bool& bDelayRead);

// Walks the stream from its start; visit(const SRecord&) gives false to stop.
template <class FVisit> SWalkResult WalkRecords(int nVersion, std::span<const uint8_t> stream, FVisit&& visit)
{
    SWalkResult result;
    SRecord record;
    while (result.nOffset < stream.size())
    {
        bool bDelayRead = false;
        ERead eRead = ReadRecord(nVersion, stream, result.nOffset, record, bDelayRead);
        if (eRead == ERead::UnknownType)
        {
            result.eEnd = EWalkEnd::UnknownType;
            return result;
        }
        if (eRead == ERead::Damaged)
        {
            result.eEnd = EWalkEnd::Damaged;
            result.bDamagedDelay = bDelayRead;
            result.nDamagedDelay = bDelayRead ? record.nDelay : 0;
            return result;
        }
        ++result.nRecords;
        if (!visit(record))
        {
            result.eEnd = EWalkEnd::Stopped;
            return result;
        }
        result.nOffset += record.nSize;
    }
    return result;
}
