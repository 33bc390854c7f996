// Colour references and 8-bit text as metafile records store them.
#pragma once

#include <QByteArrayView>
#include <QColor>
#include <QString>

#include <cstdint>

namespace morvane::metafile {

// A COLORREF (red, green, blue, reserved byte) as a colour.
inline QColor colorFromRef(uint32_t ref)
{
    return QColor(int(ref & 0xFF), int((ref >> 8) & 0xFF), int((ref >> 16) & 0xFF));
}

// 8-bit text in the Windows ANSI code page (Latin-1 with the 0x80-0x9F punctuation block). Symbol
// and far-east character sets are read the same way: the glyphs may differ, but text still shows.
QString decodeAnsi(QByteArrayView bytes, uint8_t charset);

} // namespace morvane::metafile
