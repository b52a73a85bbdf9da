// Maps the program's eight brightness levels onto the brightness values (percent) a display
// supports, and a display's current value back onto a level.
#pragma once
#include <atomic>
#include <cstdint>
#include <vector>

namespace tabvisor::brightness {

// Keeps each supported value once, in ascending order. Empty means "any percentage".
std::vector<uint8_t> NormaliseSupportedValues(std::vector<uint8_t> values);

// Level 0 is the dimmest supported value and 7 the brightest, the levels between spread evenly
// over the supported values' positions (not their percentages, which are often uneven).
// `supported` must be normalised; levels above 7 count as 7.
uint8_t PercentForLevel(const std::vector<uint8_t>& supported, unsigned int level);

// The level whose value lies nearest: `percent` need not be a supported value.
unsigned int LevelForPercent(const std::vector<uint8_t>& supported, uint8_t percent);

// With fewer supported values than levels, neighbouring levels share a value, and the nearest
// level to that value may be the neighbour: a level just set would read back as another. This
// remembers the level applied last and its value, so that it reads back as itself for as long as
// the display keeps that value. Safe to use from several threads.
class LevelReadBack {
public:
    // `level` is being applied as `percent`.
    void Applied(unsigned int level, uint8_t percent);
    // The level to show for the display's value `percent`: the level applied last while the
    // display shows the value it was applied as, else the nearest level (and the level applied
    // last is forgotten: the value was changed elsewhere).
    unsigned int LevelFor(const std::vector<uint8_t>& supported, uint8_t percent);

private:
    static constexpr uint32_t kRemembered = 0x10000;
    std::atomic<uint32_t> m_applied{0};  // kRemembered | level << 8 | percent, or 0
};

} // namespace tabvisor::brightness
