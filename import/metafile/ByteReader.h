// Little-endian reads from a byte range, every one bounds-checked (a short read throws Malformed).
#pragma once

#include "Limits.h"

#include <QByteArray>
#include <QByteArrayView>

#include <cstdint>
#include <cstring>

namespace morvane::metafile {

class ByteReader {
public:
    ByteReader() = default;
    ByteReader(const char *data, qsizetype size) : m_data(data), m_size(size < 0 ? 0 : size) {}
    explicit ByteReader(QByteArrayView bytes) : ByteReader(bytes.data(), bytes.size()) {}

    qsizetype size() const { return m_size; }
    qsizetype pos() const { return m_pos; }
    qsizetype remaining() const { return m_size - m_pos; }
    bool atEnd() const { return m_pos >= m_size; }
    const char *data() const { return m_data; }

    void seek(qsizetype pos)
    {
        if (pos < 0 || pos > m_size)
            throw Malformed("seek past the end of a record");
        m_pos = pos;
    }
    void skip(qsizetype count) { seek(checkedEnd(count)); }

    uint8_t u8() { return uint8_t(*take(1)); }
    uint16_t u16()
    {
        const auto *p = reinterpret_cast<const unsigned char *>(take(2));
        return uint16_t(p[0] | (p[1] << 8));
    }
    int16_t i16() { return int16_t(u16()); }
    uint32_t u32()
    {
        const auto *p = reinterpret_cast<const unsigned char *>(take(4));
        return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16)
               | (uint32_t(p[3]) << 24);
    }
    int32_t i32() { return int32_t(u32()); }
    float f32()
    {
        const uint32_t bits = u32();
        float value;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }

    // The next count bytes, consumed.
    QByteArrayView bytes(qsizetype count) { return QByteArrayView(take(count), count); }

    // A reader over [offset, offset + length) of this range, independent of the position.
    ByteReader sub(qint64 offset, qint64 length) const
    {
        if (offset < 0 || length < 0 || offset > m_size || length > m_size - offset)
            throw Malformed("a field points outside its record");
        return ByteReader(m_data + offset, qsizetype(length));
    }
    // Whether count more bytes can be read.
    bool has(qint64 count) const { return count >= 0 && count <= remaining(); }

private:
    qsizetype checkedEnd(qsizetype count) const
    {
        if (count < 0 || count > remaining())
            throw Malformed("a record is shorter than its fields");
        return m_pos + count;
    }
    const char *take(qsizetype count)
    {
        const qsizetype end = checkedEnd(count);
        const char *p = m_data + m_pos;
        m_pos = end;
        return p;
    }

    const char *m_data = nullptr;
    qsizetype m_size = 0;
    qsizetype m_pos = 0;
};

} // namespace morvane::metafile
