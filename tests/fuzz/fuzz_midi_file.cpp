// Fuzz target for the MIDI file reader: any byte string must parse or fail cleanly,
// and a parsed file must be something the sequencer can play without checks of its own.
#include "roll/NoteList.h"
#include "sound/MidiFile.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace
{

// Names the broken invariant's line, so a crash report says what went wrong.
// std::source_location is not usable with clang 14 on libstdc++ 12, hence the macro.
void CheckAt(bool bOk, const char* pszWhat, int nLine)
{
    if (bOk)
        return;
    std::fprintf(stderr, "invariant failed (line %d): %s\n", nLine, pszWhat);
    std::abort();
}

#define CHECK(cond) CheckAt((cond), #cond, __LINE__)

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    SMidiFile file;
    std::string strError;
    const bool bRead = ReadMidiFile(std::span<const uint8_t>(pData, nSize), file, strError);
    // Measuring a row must agree with reading it whole.
    SMidiFile measured;
    std::string strMeasureError;
    const bool bMeasured =
        ReadMidiFileHeaderAndLength(std::span<const uint8_t>(pData, nSize), measured, strMeasureError);
    CHECK(bRead == bMeasured && strError == strMeasureError && measured.events.empty());
    CHECK(measured.nLengthUs == file.nLengthUs && measured.nTracks == file.nTracks &&
          measured.tempoMap.size() == file.tempoMap.size());
    if (!bRead)
    {
        CHECK(!strError.empty() && file.events.empty() && file.nTracks == 0);
        return 0;
    }
    CHECK(file.nLengthUs <= kMaxMidiLengthUs); // the sequencer schedules in nanoseconds

    CHECK(file.nTracks >= 1 && file.nTracks <= 0xFFFF);
    CHECK(file.nDivision > 0 && file.nDivision <= 0xFFFF);
    CHECK(file.nLengthMs == std::min<uint64_t>(file.nLengthUs / 1000, std::numeric_limits<uint32_t>::max()));

    uint64_t nPrevUs = 0;
    for (const SMidiEvent& ev : file.events)
    {
        CHECK(ev.nTimeUs >= nPrevUs);
        CHECK(ev.nTimeUs <= file.nLengthUs);
        CHECK(ev.TimeMs() <= file.nLengthMs);
        CHECK(ev.nTrack < file.nTracks);
        const uint32_t nStatus = ev.dwMessage & 0xFF;
        CHECK(nStatus >= 0x80 && nStatus < 0xF0);
        CHECK((ev.dwMessage & 0xFF808000u) == 0); // data bytes below 0x80, nothing above data2
        nPrevUs = ev.nTimeUs;
    }

    // Each tempo segment starts where the previous one ends, per the conversion seek uses.
    for (size_t i = 1; i < file.tempoMap.size(); ++i)
    {
        const STempoChange& prev = file.tempoMap[i - 1];
        const STempoChange& cur = file.tempoMap[i];
        CHECK(cur.nTick > prev.nTick && cur.nTimeUs >= prev.nTimeUs);
        CHECK(MidiTicksToUs(cur.nTick, file) == cur.nTimeUs);
        CHECK(MidiTicksToUs(cur.nTick - 1, file) <= cur.nTimeUs);
    }

    // The piano roll's notes: one per note on, each within the file's length, in time order.
    const SNoteList list = BuildMidiNoteList(file);
    size_t nOns = 0;
    for (const SMidiEvent& ev : file.events)
        nOns += (ev.dwMessage & 0xF0) == 0x90 && (ev.dwMessage >> 16) != 0;
    CHECK(list.notes.size() == nOns && list.nLengthMs == static_cast<int64_t>(file.nLengthUs / 1000));
    for (size_t i = 0; i < list.notes.size(); ++i)
        CHECK(list.notes[i].nStartMs <= list.notes[i].nEndMs && list.notes[i].nEndMs <= list.nLengthMs &&
              (i == 0 || list.notes[i - 1].nStartMs <= list.notes[i].nStartMs));
    return 0;
}
