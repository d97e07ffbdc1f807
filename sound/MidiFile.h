// Standard MIDI File reader: turns a .mid file into time-stamped short messages,
// used for the playlist length and by the MIDI sequencer for playback and seek.
#pragma once

#include <atomic>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// 16 bytes: a file of tens of megabytes holds millions of these.
struct SMidiEvent
{
    uint64_t nTimeUs;   // exact time, rounded down to the microsecond
    uint32_t dwMessage; // status in bits 0-7, data1 in 8-15, data2 in 16-23 (midiOutShortMsg layout)
    uint16_t nTrack;    // index of the track chunk the event came from, 0-based

    uint32_t TimeMs() const { return uint32_t(nTimeUs / 1000); } // rounded down
};

struct STempoChange
{
    uint64_t nTick;         // absolute tick from which this tempo holds
    uint32_t nUsPerQuarter; // value of the FF 51 event (500000 before any tempo event)
    uint64_t nTimeUs;       // time at nTick, rounded down
    uint32_t nTimeFrac;     // what that rounding dropped, in 1/division of a microsecond,
                            // carried so that many tempo changes never add up rounding errors
};

struct SMidiFile
{
    int nFormat = 0;
    int nTracks = 0;                // track chunks actually read (never more than the header announces)
    int nDivision = 0;              // raw 16-bit header word: ticks per quarter, or SMPTE when bit 15 is set
    std::vector<SMidiEvent> events; // channel messages of all tracks, by time, then track order
    uint64_t nLengthUs = 0;         // latest end of track over all tracks
    uint32_t nLengthMs = 0;
    std::vector<STempoChange> tempoMap; // starts at tick 0; empty with SMPTE division
};

// No file plays longer than this; one whose times say otherwise is damaged (a delta of 2^28
// ticks at the slowest tempo and one tick a quarter would last 140 years).
inline constexpr uint64_t kMaxMidiLengthUs = uint64_t(24) * 3600 * 1000000;

// Standard MIDI files come as .mid and .midi, karaoke files (MIDI with lyrics) as .kar: true
// for those extensions (without the full stop, in any letter case).
bool IsMidiFileExtension(std::string_view strExtension);

// Parses a whole file held in memory, in time and memory linear in its size. On failure `out`
// is left empty and strError holds a short English reason ("not a MIDI file", "damaged
// track", ...).
bool ReadMidiFile(std::span<const uint8_t> bytes, SMidiFile& out, std::string& strError);
bool ReadMidiFile(const std::string& path, SMidiFile& out, std::string& strError);
// The same, giving up (false, strError "stopped") soon after bStop becomes true: between pieces
// of the file's bytes and every few tens of thousands of events, so that a large file's read
// can be cut short.
bool ReadMidiFile(std::span<const uint8_t> bytes, SMidiFile& out, std::string& strError,
                  const std::atomic<bool>& bStop);
bool ReadMidiFile(const std::string& path, SMidiFile& out, std::string& strError,
                  const std::atomic<bool>& bStop);

// The same checks and the same length, tempo map and track count, in one pass that keeps no
// events: what measuring a playlist row needs. `out.events` stays empty.
bool ReadMidiFileHeaderAndLength(std::span<const uint8_t> bytes, SMidiFile& out, std::string& strError);
bool ReadMidiFileHeaderAndLength(const std::string& path, SMidiFile& out, std::string& strError);

// Time of an absolute tick in microseconds (rounded down), for the given raw division
// and tempo map; the sequencer uses it to seek to a tick position.
uint64_t MidiTicksToUs(uint64_t nTick, int nDivision, std::span<const STempoChange> tempoMap);

inline uint64_t MidiTicksToUs(uint64_t nTick, const SMidiFile& file)
{
    return MidiTicksToUs(nTick, file.nDivision, file.tempoMap);
}
