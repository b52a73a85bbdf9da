// Mapping the eight brightness levels onto whatever values a display supports, and back; with
// fewer values than levels, a level just set reads back as itself.
#include "BrightnessLevelMap.h"

#include <gtest/gtest.h>

#include <numeric>

using namespace tabvisor::brightness;

namespace {

std::vector<uint8_t> EveryPercent()
{
    std::vector<uint8_t> values(101);
    std::iota(values.begin(), values.end(), 0);
    return values;
}

TEST(BrightnessLevelMap, EightUnevenValuesMapOneToOne)
{
    const std::vector<uint8_t> supported{5, 10, 15, 24, 40, 60, 80, 100};
    for (unsigned int level = 0; level <= 7; ++level) {
        EXPECT_EQ(PercentForLevel(supported, level), supported[level]);
        EXPECT_EQ(LevelForPercent(supported, supported[level]), level);
    }
}

TEST(BrightnessLevelMap, ManyValuesRoundTripEveryLevelAndReachBothEnds)
{
    for (const auto& supported : {EveryPercent(), std::vector<uint8_t>{0, 10, 20, 30, 40, 50, 60, 70, 80, 90, 100}}) {
        EXPECT_EQ(PercentForLevel(supported, 0), 0);
        EXPECT_EQ(PercentForLevel(supported, 7), 100);
        for (unsigned int level = 0; level <= 7; ++level)
            EXPECT_EQ(LevelForPercent(supported, PercentForLevel(supported, level)), level);
    }
}

TEST(BrightnessLevelMap, FewValuesShareLevelsButStayInRangeAndOrder)
{
    const std::vector<uint8_t> supported{30, 70, 100};
    uint8_t previous = 0;
    for (unsigned int level = 0; level <= 7; ++level) {
        const uint8_t percent = PercentForLevel(supported, level);
        EXPECT_GE(percent, previous);
        previous = percent;
        EXPECT_LE(LevelForPercent(supported, percent), 7u);
    }
    EXPECT_EQ(LevelForPercent(supported, 30), 0u);
    EXPECT_EQ(LevelForPercent(supported, 100), 7u);
}

TEST(BrightnessLevelMap, ValuesBetweenSupportedOnesGoToTheNearest)
{
    const std::vector<uint8_t> supported{0, 14, 28, 43, 57, 71, 86, 100};
    EXPECT_EQ(LevelForPercent(supported, 20), 1u);
    EXPECT_EQ(LevelForPercent(supported, 22), 2u);
    EXPECT_EQ(LevelForPercent(supported, 255), 7u);
}

TEST(BrightnessLevelMap, WithoutAListAnyPercentageCounts)
{
    const std::vector<uint8_t> none;
    EXPECT_EQ(PercentForLevel(none, 0), 0);
    EXPECT_EQ(PercentForLevel(none, 7), 100);
    EXPECT_EQ(PercentForLevel(none, 3), 43);
    EXPECT_EQ(LevelForPercent(none, 43), 3u);
    EXPECT_EQ(LevelForPercent(none, 200), 7u);
}

TEST(BrightnessLevelMap, OneValueIsFullBrightnessAndLevelsAboveSevenCountAsSeven)
{
    EXPECT_EQ(LevelForPercent({60}, 60), 7u);
    EXPECT_EQ(PercentForLevel({60}, 0), 60);
    EXPECT_EQ(PercentForLevel({10, 90}, 1000), 90);
}

TEST(BrightnessLevelReadBack, WithFewValuesALevelSetReadsBackAsItselfWhileTheDisplayKeepsItsValue)
{
    const std::vector<uint8_t> five{20, 40, 60, 80, 100};
    // Shared values make neighbours: read by value alone, 1 shows as 2, 3 as 4, 6 as 5.
    EXPECT_EQ(LevelForPercent(five, PercentForLevel(five, 1)), 2u);
    EXPECT_EQ(LevelForPercent(five, PercentForLevel(five, 3)), 4u);
    EXPECT_EQ(LevelForPercent(five, PercentForLevel(five, 6)), 5u);

    LevelReadBack readBack;
    for (unsigned int level = 0; level <= 7; ++level) {
        const uint8_t percent = PercentForLevel(five, level);
        readBack.Applied(level, percent);
        EXPECT_EQ(readBack.LevelFor(five, percent), level);
        EXPECT_EQ(readBack.LevelFor(five, percent), level) << "asked again";
    }

    // Changed elsewhere to another value: the nearest level, and the level set is forgotten, so
    // coming back to its value shows the nearest level too.
    readBack.Applied(1, PercentForLevel(five, 1));
    EXPECT_EQ(readBack.LevelFor(five, 80), 5u);
    EXPECT_EQ(readBack.LevelFor(five, PercentForLevel(five, 1)), 2u);
    // Nothing applied yet: the nearest level.
    EXPECT_EQ(LevelReadBack().LevelFor(five, 60), 4u);
    // With a value per level nothing changes.
    const std::vector<uint8_t> eight{5, 10, 15, 24, 40, 60, 80, 100};
    for (unsigned int level = 0; level <= 7; ++level) {
        readBack.Applied(level, PercentForLevel(eight, level));
        EXPECT_EQ(readBack.LevelFor(eight, PercentForLevel(eight, level)), level);
    }
}

TEST(BrightnessLevelMap, ReportedValuesAreSortedAndDeduplicated)
{
    EXPECT_EQ(NormaliseSupportedValues({100, 0, 50, 50, 25}), (std::vector<uint8_t>{0, 25, 50, 100}));
}

} // namespace
