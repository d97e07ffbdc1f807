#include "app/Semitones.h"

#include <cmath>

SemitoneTable ComputeSemitones()
{
    SemitoneTable table{};
    for (int k = 1; k <= 11; ++k)
        table[static_cast<size_t>(k)] = std::pow(2.0, k / 12.0);
    return table;
}
