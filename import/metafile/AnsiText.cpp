// Windows-1252 decoding for the 8-bit text records.
#include "AnsiText.h"

namespace morvane::metafile {

namespace {

// Windows-1252 code points for bytes 0x80-0x9F (undefined bytes map to themselves).
constexpr char16_t cp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

} // namespace

QString decodeAnsi(QByteArrayView bytes, uint8_t charset)
{
    Q_UNUSED(charset); // other code pages fall back to Windows-1252, so the text stays visible
    QString text;
    text.reserve(bytes.size());
    for (char c : bytes) {
        const auto b = uint8_t(c);
        if (b >= 0x80 && b < 0xA0)
            text.append(QChar(cp1252High[b - 0x80]));
        else
            text.append(QChar(char16_t(b)));
    }
    return text;
}

} // namespace morvane::metafile
