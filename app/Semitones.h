// The semitone ratio table, which the oscillator's voice tables are built on: entry k is
// 2^(k/12) for k = 1..11. Entry 0 is unused; the octaves use the factors 2 and 0.5.
#pragma once

#include <array>

using SemitoneTable = std::array<double, 12>;

SemitoneTable ComputeSemitones();
