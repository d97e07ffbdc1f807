#include "app/Semitones.h"

#include <gtest/gtest.h>

#include <cmath>

// The oscillator's voices are these ratios times the base frequency: a wrong entry is a wrong note.
TEST(Semitones, EachEntryIsTwoToTheKTwelfth)
{
    const SemitoneTable table = ComputeSemitones();
    struct SCase
    {
        int k;
        double dRatio;
    } cases[] = {{1, 1.0594631}, {6, 1.4142136}, {7, 1.4983071}, {11, 1.8877486}};
    for (const SCase& c : cases)
        EXPECT_NEAR(c.dRatio, table[static_cast<size_t>(c.k)], 5e-8) << c.k;
    for (int k = 1; k <= 11; ++k)
        EXPECT_DOUBLE_EQ(std::pow(2.0, k / 12.0), table[static_cast<size_t>(k)]) << k;
    // The octave is no entry: the oscillators multiply by 2 and 0.5 themselves.
    EXPECT_EQ(0.0, table[0]);
}
