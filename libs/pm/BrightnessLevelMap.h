// Maps the program's eight brightness levels onto the brightness values (percent) a display
// supports, and a display's current value back onto a level.
#pragma once
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

} // namespace tabvisor::brightness
