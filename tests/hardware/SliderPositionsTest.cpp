// The conversions between library values and slider positions, including the positions the
// volume's truncation brings back one lower and the values no library should report.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <set>

#include "SliderPositions.h"

namespace {

TEST(VolumePositions, EveryPositionComesBackUnchangedOrOneLowerExactlyAsTheListSays)
{
    const std::set<int> unchanged = {7, 14, 17, 25, 28, 31, 34, 37, 50, 55, 56, 61, 62, 68, 74, 75, 81, 87, 93};
    for (int position = 1; position <= 99; ++position) {
        const int back = VolumeScalarToPosition(VolumePositionToScalar(position));
        EXPECT_EQ(back, unchanged.count(position) != 0 ? position : position - 1) << "position " << position;
    }
}

TEST(VolumePositions, AScalarIsTruncatedNeverRounded)
{
    EXPECT_EQ(VolumeScalarToPosition(0.5f), 50);
    EXPECT_EQ(VolumeScalarToPosition(1.0f), 100);
    EXPECT_EQ(VolumeScalarToPosition(0.0f), 0);
    EXPECT_EQ(VolumeScalarToPosition(0.015f), 1);
    EXPECT_EQ(VolumeScalarToPosition(0.2999f), 29);
    EXPECT_EQ(VolumeScalarToPosition(0.99999f), 99);
    EXPECT_EQ(VolumeScalarToPosition(std::nextafter(0.01f, 0.0f)), 0);
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
