#include "app/Semitones.h"

#include <cmath>

double g_dSemitone[12] = {};

void ComputeSemitones()
{
    for (int k = 1; k <= 11; ++k)
        g_dSemitone[k] = std::pow(2.0, k / 12.0);
}
