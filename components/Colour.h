// Colours as the game stores them: 32-bit values laid out 0x00BBGGRR.
#pragma once

#include <QColor>
#include <cstdint>

namespace morvane {

inline QColor colourFromBgr(int32_t value)
{
    const auto v = uint32_t(value);
    return QColor(int(v & 0xFF), int((v >> 8) & 0xFF), int((v >> 16) & 0xFF));
}

inline constexpr int32_t bgr(int red, int green, int blue)
{
    return int32_t(uint32_t(red) | (uint32_t(green) << 8) | (uint32_t(blue) << 16));
}

} // namespace morvane
