// Conversions between what the libraries report and the positions of the brightness and volume
// sliders. Positions outside a slider's range are fine here: the trackbar shows them at its ends.
#pragma once

#include <bit>

// The brightness slider's position is the level itself. A level that does not fit an int (the
// library promises 0 to 7) reads as the negative number of the same 32 bits, shown at level 0.
constexpr int BrightnessLevelToPosition(unsigned int level) noexcept { return std::bit_cast<int>(level); }

// The volume scalar (0.0 to 1.0) times 100, in double precision and truncated toward zero, never
// rounded: so most positions written come back one lower (29 is written as the float nearest 0.29,
// which reads back as 28). NaN, infinities and values beyond 0..1 are clamped first, since
// converting them to an int is undefined; NaN counts as silence.
constexpr int VolumeScalarToPosition(float scalar) noexcept
{
    if (!(scalar >= 0.0f))
        return 0;
    if (scalar > 1.0f)
        return 100;
    return static_cast<int>(static_cast<double>(scalar) * 100.0);
}

// The position times the float nearest 0.01, rounded once to single precision.
constexpr float VolumePositionToScalar(int position) noexcept { return static_cast<float>(position) * 0.01f; }
