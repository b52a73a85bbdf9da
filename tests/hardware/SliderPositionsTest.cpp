// The conversions between library values and slider positions: every volume position written
// comes back unchanged, scalars go to the nearest position, and values no library should report.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "SliderPositions.h"

namespace {

TEST(VolumePositions, EveryPositionWrittenComesBackUnchanged)
{
    for (int position = 1; position <= 99; ++position)
        EXPECT_EQ(VolumeScalarToPosition(VolumePositionToScalar(position)), position) << "position " << position;
}

TEST(VolumePositions, AScalarGoesToTheNearestPositionHalvesUpward)
{
    EXPECT_EQ(VolumeScalarToPosition(0.5f), 50);
    EXPECT_EQ(VolumeScalarToPosition(1.0f), 100);
    EXPECT_EQ(VolumeScalarToPosition(0.0f), 0);
    EXPECT_EQ(VolumeScalarToPosition(0.015f), 1);  // the float lies just below 0.015
    EXPECT_EQ(VolumeScalarToPosition(0.0150001f), 2);
    EXPECT_EQ(VolumeScalarToPosition(0.2999f), 30);
    EXPECT_EQ(VolumeScalarToPosition(0.294f), 29);
    EXPECT_EQ(VolumeScalarToPosition(0.125f), 13);
    EXPECT_EQ(VolumeScalarToPosition(0.99999f), 100);
    EXPECT_EQ(VolumeScalarToPosition(0.004f), 0);
    EXPECT_EQ(VolumeScalarToPosition(-0.0f), 0);
}

TEST(VolumePositions, APositionIsWrittenAsItsExactProductWithTheFloatHundredthRoundedOnce)
{
    EXPECT_EQ(VolumePositionToScalar(29), 0.29f);
    EXPECT_EQ(VolumePositionToScalar(50), 0.5f);
    EXPECT_EQ(VolumePositionToScalar(1), 0.01f);
    // Not always the float nearest the hundredth: 99 lands one step below 0.99f.
    EXPECT_EQ(VolumePositionToScalar(99), std::nextafter(0.99f, 0.0f));
}

TEST(VolumePositions, ValuesNoLibraryShouldReportLandAtTheNearerEndNaNAtTheLow)
{
    constexpr float inf = std::numeric_limits<float>::infinity();
    EXPECT_EQ(VolumeScalarToPosition(std::numeric_limits<float>::quiet_NaN()), 0);
    EXPECT_EQ(VolumeScalarToPosition(-std::numeric_limits<float>::quiet_NaN()), 0);
    EXPECT_EQ(VolumeScalarToPosition(inf), 100);
    EXPECT_EQ(VolumeScalarToPosition(-inf), 0);
    EXPECT_EQ(VolumeScalarToPosition(1e30f), 100);
    EXPECT_EQ(VolumeScalarToPosition(-1e30f), 0);
    EXPECT_EQ(VolumeScalarToPosition(1.0000001f), 100);
    EXPECT_EQ(VolumeScalarToPosition(-0.5f), 0);
}

TEST(BrightnessPositions, ALevelIsThePositionAndOneBeyondIntMaxIsNegative)
{
    EXPECT_EQ(BrightnessLevelToPosition(7u), 7);
    EXPECT_EQ(BrightnessLevelToPosition(0x7FFFFFFFu), 0x7FFFFFFF);
    EXPECT_EQ(BrightnessLevelToPosition(0x80000000u), std::numeric_limits<int>::min());
    EXPECT_EQ(BrightnessLevelToPosition(0xFFFFFFFFu), -1);
}

} // namespace
