// Test helpers that read and patch the boxes of a real HEIF file in place.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#include <cstdint>

namespace heiftest {

inline QByteArray dataFile(const char *name)
{
    QFile file(QStringLiteral(MORVANE_TEST_DATA_DIR "/heif/") + QLatin1String(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Offset of the payload of the n-th box of type 'fourcc' (found by its type bytes preceded by
// a plausible size), or -1.
inline qsizetype boxPayload(const QByteArray &bytes, const char *fourcc, int n = 0)
{
    for (qsizetype at = bytes.indexOf(fourcc); at >= 4; at = bytes.indexOf(fourcc, at + 1)) {
        const auto size = (std::uint32_t(std::uint8_t(bytes[at - 4])) << 24)
                          | (std::uint32_t(std::uint8_t(bytes[at - 3])) << 16)
                          | (std::uint32_t(std::uint8_t(bytes[at - 2])) << 8)
                          | std::uint32_t(std::uint8_t(bytes[at - 1]));
        if (size >= 8 && at - 4 + qsizetype(size) <= bytes.size() && n-- == 0)
            return at + 4;
    }
    return -1;
}

inline void putBigEndian(QByteArray &bytes, qsizetype at, std::uint32_t value, int count)
{
    for (int i = count - 1; i >= 0; --i, value >>= 8)
        bytes[at + i] = char(value & 0xff);
}

} // namespace heiftest
