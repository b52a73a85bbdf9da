// The conversions between library values and slider positions: every volume position written
// comes back unchanged, scalars go to the nearest position, and values no library should report
// are no position at all.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "SliderPositions.h"

namespace {

constexpr int kNone = -1000;

int Position(float scalar) { return VolumeScalarToPosition(scalar).value_or(kNone); }
int Position(unsigned int level) { return BrightnessLevelToPosition(level).value_or(kNone); }

TEST(VolumePositions, EveryPositionWrittenComesBackUnchanged)
{
    for (int position = 1; position <= 99; ++position)
        EXPECT_EQ(Position(VolumePositionToScalar(position)), position) << "position " << position;
}

TEST(VolumePositions, AScalarGoesToTheNearestPositionHalvesUpward)
{
    EXPECT_EQ(Position(0.5f), 50);
    EXPECT_EQ(Position(1.0f), 100);
    EXPECT_EQ(Position(0.0f), 0);
    EXPECT_EQ(Position(0.015f), 1);  // the float lies just below 0.015
    EXPECT_EQ(Position(0.0150001f), 2);
    EXPECT_EQ(Position(0.2999f), 30);
    EXPECT_EQ(Position(0.294f), 29);
    EXPECT_EQ(Position(0.125f), 13);
    EXPECT_EQ(Position(0.99999f), 100);
    EXPECT_EQ(Position(0.004f), 0);
    EXPECT_EQ(Position(-0.0f), 0);
}

TEST(VolumePositions, APositionIsWrittenAsItsExactProductWithTheFloatHundredthRoundedOnce)
{
    EXPECT_EQ(VolumePositionToScalar(29), 0.29f);
    EXPECT_EQ(VolumePositionToScalar(50), 0.5f);
    EXPECT_EQ(VolumePositionToScalar(1), 0.01f);
    // Not always the float nearest the hundredth: 99 lands one step below 0.99f.
    EXPECT_EQ(VolumePositionToScalar(99), std::nextafter(0.99f, 0.0f));
}

TEST(VolumePositions, ValuesNoLibraryShouldReportAreNoPosition)
{
    constexpr float inf = std::numeric_limits<float>::infinity();
    for (const float absurd : {std::numeric_limits<float>::quiet_NaN(), -std::numeric_limits<float>::quiet_NaN(), inf,
                               -inf, 1e30f, -1e30f, std::nextafter(1.0f, 2.0f), -0.5f, -1.0f, 2.0f,
                               -std::numeric_limits<float>::denorm_min()})
        EXPECT_EQ(Position(absurd), kNone) << absurd;
}

TEST(BrightnessPositions, ALevelIsThePositionAndNothingAboveSeven)
{
    for (unsigned int level = 0; level <= 7; ++level)
        EXPECT_EQ(Position(level), static_cast<int>(level));
    for (const unsigned int absurd : {8u, 12u, 0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFFu})
        EXPECT_EQ(Position(absurd), kNone) << absurd;
}

} // namespace
