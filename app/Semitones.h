// The semitone ratio table: g_dSemitone[k] = 2^(k/12) for k = 1..11, which the oscillator's
// voice tables are built on. Index 0 is unused, the octaves use the factors 2 and 0.5.
#pragma once

extern double g_dSemitone[12];

void ComputeSemitones();
