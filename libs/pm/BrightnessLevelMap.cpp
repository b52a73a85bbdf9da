// Level-to-percent mapping for displays with any number of supported brightness values.
#include "BrightnessLevelMap.h"

#include "ClosedLibraries.h"

#include <algorithm>
#include <cstdlib>

namespace tabvisor::brightness {
namespace {

constexpr unsigned int kTopLevel = closed_libraries::kMaxBrightnessLevel;

// Rounds numerator / denominator to the nearest integer, halves upward; both non-negative.
unsigned int RoundedRatio(unsigned int numerator, unsigned int denominator)
{
    return (2 * numerator + denominator) / (2 * denominator);
}

size_t NearestPosition(const std::vector<uint8_t>& supported, uint8_t percent)
{
    size_t best = 0;
    for (size_t i = 1; i < supported.size(); ++i) {
        if (std::abs(supported[i] - percent) < std::abs(supported[best] - percent)) best = i;
    }
    return best;
}

} // namespace

std::vector<uint8_t> NormaliseSupportedValues(std::vector<uint8_t> values)
{
    std::sort(values.begin(), values.end());
    values.erase(std::unique(values.begin(), values.end()), values.end());
    return values;
}

uint8_t PercentForLevel(const std::vector<uint8_t>& supported, unsigned int level)
{
    level = std::min(level, kTopLevel);
    if (supported.empty()) return static_cast<uint8_t>(RoundedRatio(level * 100, kTopLevel));
    const auto last = static_cast<unsigned int>(supported.size() - 1);
    return supported[RoundedRatio(level * last, kTopLevel)];
}

unsigned int LevelForPercent(const std::vector<uint8_t>& supported, uint8_t percent)
{
    if (supported.empty()) return RoundedRatio(std::min<unsigned int>(percent, 100) * kTopLevel, 100);
    if (supported.size() == 1) return kTopLevel;
    const auto last = static_cast<unsigned int>(supported.size() - 1);
    return RoundedRatio(static_cast<unsigned int>(NearestPosition(supported, percent)) * kTopLevel, last);
}

void LevelReadBack::Applied(unsigned int level, uint8_t percent)
{
    m_applied.store(kRemembered | (std::min(level, kTopLevel) << 8) | percent);
}

unsigned int LevelReadBack::LevelFor(const std::vector<uint8_t>& supported, uint8_t percent)
{
    uint32_t applied = m_applied.load();
    if ((applied & kRemembered) != 0) {
        if ((applied & 0xFF) == percent) return (applied >> 8) & 0xFF;
        // Only this value is forgotten: one applied meanwhile stays.
        m_applied.compare_exchange_strong(applied, 0);
    }
    return LevelForPercent(supported, percent);
}

} // namespace tabvisor::brightness
