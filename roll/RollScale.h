// The arithmetic of the piano-roll panel that needs no window: the pitches it shows, the steps of
// its time ruler, and the record a keyboard move goes to.
#pragma once

#include "roll/NoteList.h"

#include <cstdint>
#include <optional>

// The pitches shown, both inclusive: those the notes use, padded, at least two octaves, within
// MIDI's range.
struct SPitchSpan
{
    int nLow = 48;
    int nHigh = 72;
    int Count() const { return nHigh - nLow + 1; }
};
SPitchSpan PitchSpanOf(const SNoteList& list);

// The step between labelled ticks of the time ruler: the smallest of 1, 2, 5 times a power of ten
// milliseconds that leaves at least nMinPx pixels between labels.
int64_t RulerStepMs(double fMsPerPx, int nMinPx);

// The time of the nearest record after nMs (nDirection > 0) or before it (nDirection < 0);
// nothing when there is none that way.
std::optional<int64_t> NeighbourRecordTime(const SNoteList& list, int64_t nMs, int nDirection);

// The first record at or after nMs, the last record when none is, 0 without records: the record
// "at" a cursor that stands on a time.
int FirstRecordFrom(const SNoteList& list, int64_t nMs);
