// Conversions between what the libraries report and the positions of the brightness and volume
// sliders. A value no library should report (a level above 7, a scalar that is NaN, infinite or
// outside 0..1) converts to nothing: it is no reading, and the slider stays where it is.
#pragma once

#include <optional>

#include "ClosedLibraries.h"

// The brightness slider's position is the level itself.
constexpr std::optional<int> BrightnessLevelToPosition(unsigned int level) noexcept
{
    if (level > closed_libraries::kMaxBrightnessLevel)
        return std::nullopt;
    return static_cast<int>(level);
}

// The volume scalar (0.0 to 1.0) times 100, in double precision, to the nearest position (halves
// upward): so every position written comes back unchanged, and a keyboard step holds in both
// directions. Positions 0 and 100 are fine: the trackbar shows them at its ends.
constexpr std::optional<int> VolumeScalarToPosition(float scalar) noexcept
{
    if (!(scalar >= 0.0f && scalar <= 1.0f))
        return std::nullopt;
    return static_cast<int>(static_cast<double>(scalar) * 100.0 + 0.5);
}

// The position times the float nearest 0.01, rounded once to single precision.
constexpr float VolumePositionToScalar(int position) noexcept { return static_cast<float>(position) * 0.01f; }
