// Checked 16- and 32-bit integer arithmetic and half-to-even rounding, raising Overflow
// instead of wrapping, so that every table field keeps the range it was designed for.
#pragma once

#include "RuntimeError.h"

#include <cmath>
#include <cstdint>
#include <limits>

namespace morvane {

// Rounds to the nearest integer, halves to even (2.5 -> 2, 3.5 -> 4).
inline double roundHalfEven(double value)
{
    const double lower = std::floor(value);
    const double diff = value - lower;
    if (diff < 0.5)
        return lower;
    if (diff > 0.5)
        return lower + 1.0;
    return std::fmod(lower, 2.0) == 0.0 ? lower : lower + 1.0;
}

template <typename Int>
Int roundInto(double value)
{
    if (!std::isfinite(value))
        raiseError(ErrorNumber::Overflow, "overflow");
    const double rounded = roundHalfEven(value);
    if (rounded < double(std::numeric_limits<Int>::min())
        || rounded > double(std::numeric_limits<Int>::max()))
        raiseError(ErrorNumber::Overflow, "overflow");
    return Int(rounded);
}

// A value rounded into a signed 16-bit integer.
inline int16_t toInt16(double value) { return roundInto<int16_t>(value); }
// A value rounded into an unsigned byte.
inline uint8_t toByte(double value) { return roundInto<uint8_t>(value); }
// A value rounded into a signed 32-bit integer.
inline int32_t toInt32(double value) { return roundInto<int32_t>(value); }

inline int16_t checkedInt16(long long value)
{
    if (value < std::numeric_limits<int16_t>::min() || value > std::numeric_limits<int16_t>::max())
        raiseError(ErrorNumber::Overflow, "overflow");
    return int16_t(value);
}

inline int32_t checkedInt32(long long value)
{
    if (value < std::numeric_limits<int32_t>::min() || value > std::numeric_limits<int32_t>::max())
        raiseError(ErrorNumber::Overflow, "overflow");
    return int32_t(value);
}

inline int16_t add16(long long a, long long b) { return checkedInt16(a + b); }
inline int16_t sub16(long long a, long long b) { return checkedInt16(a - b); }
inline int16_t mul16(long long a, long long b) { return checkedInt16(a * b); }
inline int32_t add32(long long a, long long b) { return checkedInt32(a + b); }
inline int32_t sub32(long long a, long long b) { return checkedInt32(a - b); }
inline int32_t mul32(long long a, long long b) { return checkedInt32(a * b); }

} // namespace morvane
