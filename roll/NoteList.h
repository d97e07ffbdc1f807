// What the piano-roll panel draws, read once per change of the row it shows: the notes with their
// times, the other events, the oscillator's tones and the time of every record. Qt-free; the
// panel only draws what is visible of it, and maps between its times and the records for the
// mouse selection.
#pragma once

#include "roll/RollJob.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

struct SMidiFile;
struct SRecord;

struct SRollNote
{
    int64_t nStartMs = 0;
    int64_t nEndMs = 0; // an open note runs to the list's length
    uint8_t nPitch = 0; // 0-127
    uint8_t nVelocity = 0;
    uint8_t nChannel = 0; // 0-15
    bool bOpen = false;   // no note off ended it
    int32_t nRecord = 0;  // the project record of its note on, from 1; 0 in a MID file
};

// A version 0.1 record that is no note: a MIDI message other than a note on or off, or an
// oscillator settings record (bSettings, dwMessage 0).
struct SRollEvent
{
    int64_t nMs = 0;
    uint32_t dwMessage = 0;
    int32_t nRecord = 0;
    bool bSettings = false;
};

// A version 0.1 tone record: its voices sound from its start for its duration.
struct SRollTone
{
    int64_t nStartMs = 0;
    int64_t nEndMs = 0;
    int nVoices = 0; // how many voices its mask sounds (0: a rest)
    int32_t nRecord = 0;
};

struct SNoteList
{
    std::vector<SRollNote> notes; // by start time, then record order
    std::vector<SRollEvent> events;
    std::vector<SRollTone> tones;
    // For each note, the latest end of it and every note before it: the notes that reach into a
    // time are found by one binary search (see VisibleNotes).
    std::vector<int64_t> reachEnd;
    // recordTimes[k] is the time of record k + 1 in ms: when it is sent (after its delay), or a
    // tone's start. Empty for a MID file. Never decreasing.
    std::vector<int64_t> recordTimes;
    int64_t nLengthMs = 0; // the time after the last record (a tone's end included)
    bool bDamaged = false; // the records stopped at a damaged record or an unknown type
    int nVersion = 0;      // of the project; 0 for a MID file
};

// Builds a note list from records fed one at a time, so that a take being recorded can be added
// to the list of the project it continues without reading that project again.
//
// Note ons and offs pair up per channel and pitch, the earliest open note first; a note on with
// velocity 0 is a note off. Notes whose pitch or channel is outside MIDI's range are not shown
// (the outputs drop them too). In version 0.0 the pitch is base + key, each taken as signed.
class CNoteListBuilder
{
  public:
    explicit CNoteListBuilder(int nVersion, int64_t nStartMs = 0);
    // One record of a project stream; records are numbered from 1 in the order fed.
    void Add(const SRecord& record);
    // Every whole record of a stream (no header); a damaged record or an unknown type ends the
    // feeding and marks the list damaged.
    void AddStream(std::span<const uint8_t> stream);
    // A MIDI short message at the time reached; bKeepEvents: one that is no note goes to events.
    void AddMessage(uint32_t dwMessage, int32_t nRecord, bool bKeepEvents);
    // Moves the time reached on (never back), for messages that carry their own times.
    void AdvanceTo(int64_t nMs) { m_nTime = std::max(m_nTime, nMs); }
    // The list so far: notes still open run to the time reached. The builder can go on.
    SNoteList List() const;
    int64_t TimeMs() const { return m_nTime; }
    int32_t Records() const { return m_nRecords; }

  private:
    void NoteOn(int64_t nMs, int nChannel, int nPitch, int nVelocity, int32_t nRecord);
    void NoteOff(int64_t nMs, int nChannel, int nPitch);

    // The notes a channel's pitch has open, oldest first from nHead: a file that opens one pitch
    // many times before closing it costs no more than any other.
    struct SOpenNotes
    {
        std::vector<size_t> items;
        size_t nHead = 0;
    };
    SNoteList m_list;               // notes in order of their note ons; open ones have nEndMs -1
    std::vector<SOpenNotes> m_open; // per channel * 128 + pitch
    int64_t m_nTime = 0;
    int32_t m_nRecords = 0;
};

// A whole project file (header included). A file with a wrong header gives an empty list marked
// damaged.
SNoteList BuildProjectNoteList(std::span<const uint8_t> project);
// The notes of a MID file read by the program's MIDI reader.
SNoteList BuildMidiNoteList(const SMidiFile& file);
// Reads a MID file and its notes on a thread of its own; null when the reader refuses the file.
std::unique_ptr<CRollJob<SNoteList>> StartMidiNotesJob(std::string strPath);

// The notes that sound at some time in [nFromMs, nToMs]: indices [first, last) of list.notes
// (some in that range may end before nFromMs; none outside it reaches into the range).
struct SIndexRange
{
    size_t nFirst = 0;
    size_t nLast = 0;
};
SIndexRange VisibleNotes(const SNoteList& list, int64_t nFromMs, int64_t nToMs);

// The records whose times lie in [nFromMs, nToMs] (either order): first and last record numbers
// from 1, or {0, 0} when none does.
struct SRecordRange
{
    int nFirst = 0;
    int nLast = 0;
};
SRecordRange RecordsInTime(const SNoteList& list, int64_t nFromMs, int64_t nToMs);
// The last record whose time is before nMs (0 when none is): what Paste goes after when the
// user clicked at nMs.
int RecordBeforeTime(const SNoteList& list, int64_t nMs);
// The time of record nRecord (from 1), clamped to the records there are; 0 without records.
int64_t RecordTime(const SNoteList& list, int nRecord);
