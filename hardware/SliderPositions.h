// Conversions between what the libraries report and the positions of the brightness and volume
// sliders. Positions outside a slider's range are fine here: the trackbar shows them at its ends.
#pragma once

#include <bit>

// The brightness slider's position is the level itself. A level that does not fit an int (the
// library promises 0 to 7) reads as the negative number of the same 32 bits, shown at level 0.
constexpr int BrightnessLevelToPosition(unsigned int level) noexcept { return std::bit_cast<int>(level); }

// The volume scalar (0.0 to 1.0) times 100, in double precision, to the nearest position (halves
// upward): so every position written comes back unchanged, and a keyboard step holds in both
// directions. NaN, infinities and values beyond 0..1 are clamped first, since converting them to
// an int is undefined; NaN counts as silence.
constexpr int VolumeScalarToPosition(float scalar) noexcept
{
    if (!(scalar >= 0.0f))
        return 0;
    if (scalar > 1.0f)
        return 100;
    return static_cast<int>(static_cast<double>(scalar) * 100.0 + 0.5);
}

// The position times the float nearest 0.01, rounded once to single precision.
constexpr float VolumePositionToScalar(int position) noexcept { return static_cast<float>(position) * 0.01f; }
