// Builds small WMF and EMF files byte by byte, for tests whose rendering is checked pixel by pixel.
#pragma once

#include <QByteArray>
#include <QRect>
#include <QSize>
#include <QString>

#include <cstdint>
#include <cstring>
#include <algorithm>
#include <initializer_list>
#include <optional>
#include <vector>

namespace metafiletest {

inline void put16(QByteArray &b, int v)
{
    b.append(char(v & 0xFF));
    b.append(char((v >> 8) & 0xFF));
}
inline void put32(QByteArray &b, int64_t v)
{
    for (int i = 0; i < 4; ++i)
        b.append(char((uint64_t(v) >> (8 * i)) & 0xFF));
}
inline void putFloat(QByteArray &b, float v)
{
    uint32_t bits;
    std::memcpy(&bits, &v, 4);
    put32(b, bits);
}
inline uint32_t rgb(int r, int g, int b)
{
    return uint32_t(r) | (uint32_t(g) << 8) | (uint32_t(b) << 16);
}

// A 24-bit bottom-up DIB (BITMAPINFOHEADER followed by the bits) from rows given top to bottom,
// each pixel as 0xRRGGBB.
inline QByteArray dib24(const std::vector<std::vector<uint32_t>> &rowsTopDown)
{
    const int height = int(rowsTopDown.size());
    const int width = int(rowsTopDown.front().size());
    QByteArray b;
    put32(b, 40);
    put32(b, width);
    put32(b, height);
    put16(b, 1);
    put16(b, 24);
    put32(b, 0);
    put32(b, 0);
    put32(b, 2835);
    put32(b, 2835);
    put32(b, 0);
    put32(b, 0);
    for (int y = height - 1; y >= 0; --y) {
        int rowBytes = 0;
        for (uint32_t px : rowsTopDown[size_t(y)]) {
            b.append(char(px & 0xFF));
            b.append(char((px >> 8) & 0xFF));
            b.append(char((px >> 16) & 0xFF));
            rowBytes += 3;
        }
        while (rowBytes % 4) {
            b.append('\0');
            ++rowBytes;
        }
    }
    return b;
}

// WMF records: parameters are 16-bit words in file order.
class WmfBuilder {
public:
    void record(uint16_t function, std::initializer_list<int> words)
    {
        QByteArray params;
        for (int w : words)
            put16(params, w);
        raw(function, params);
    }
    void raw(uint16_t function, QByteArray params)
    {
        if (params.size() % 2)
            params.append('\0');
        const int words = 3 + int(params.size() / 2);
        put32(m_body, words);
        put16(m_body, function);
        m_body.append(params);
        m_maxRecord = std::max(m_maxRecord, words);
    }
    void createPen(int style, int width, uint32_t color)
    {
        QByteArray p;
        put16(p, style);
        put16(p, width);
        put16(p, 0);
        put32(p, color);
        raw(0x02FA, p);
    }
    void createBrush(int style, uint32_t color, int hatch = 0)
    {
        QByteArray p;
        put16(p, style);
        put32(p, color);
        put16(p, hatch);
        raw(0x02FC, p);
    }
    void createFont(int height, const QByteArray &face)
    {
        QByteArray p;
        put16(p, height);
        put16(p, 0);
        put16(p, 0);
        put16(p, 0);
        put16(p, 700);
        p.append(QByteArray(8, '\0'));
        p.append(face);
        p.append('\0');
        raw(0x02FB, p);
    }
    // With a bounding box the file gets a placeable header; otherwise a standard one.
    QByteArray build(std::optional<QRect> box = std::nullopt, int unitsPerInch = 96,
                     int objects = 16) const
    {
        QByteArray out;
        if (box) {
            put32(out, 0x9AC6CDD7);
            put16(out, 0);
            put16(out, box->left());
            put16(out, box->top());
            put16(out, box->right() + 1);
            put16(out, box->bottom() + 1);
            put16(out, unitsPerInch);
            put32(out, 0);
            put16(out, 0); // checksum, not checked by readers
        }
        QByteArray body = m_body;
        put32(body, 3); // EOF record
        put16(body, 0);
        put16(out, 1);
        put16(out, 9);
        put16(out, 0x0300);
        put32(out, 9 + body.size() / 2);
        put16(out, objects);
        put32(out, m_maxRecord);
        put16(out, 0);
        out.append(body);
        return out;
    }

private:
    QByteArray m_body;
    int m_maxRecord = 3;
};

// EMF records: parameters are 32-bit values in file order unless appended raw.
class EmfBuilder {
public:
    void record(uint32_t type, std::initializer_list<int64_t> values)
    {
        QByteArray params;
        for (int64_t v : values)
            put32(params, v);
        raw(type, params);
    }
    void raw(uint32_t type, QByteArray params)
    {
        while (params.size() % 4)
            params.append('\0');
        put32(m_body, type);
        put32(m_body, 8 + params.size());
        m_body.append(params);
        ++m_records;
    }
    // A record with a size field that does not match its contents, for damage tests.
    void rawSized(uint32_t type, uint32_t size, const QByteArray &params)
    {
        put32(m_body, type);
        put32(m_body, size);
        m_body.append(params);
        ++m_records;
    }
    void font(uint32_t index, int height, const QString &face, int width = 0)
    {
        QByteArray p;
        put32(p, index);
        put32(p, height);
        put32(p, width);
        put32(p, 0);
        put32(p, 0);
        put32(p, 400);
        p.append(QByteArray(8, '\0'));
        for (int i = 0; i < 32; ++i)
            put16(p, i < face.size() ? face[i].unicode() : 0);
        raw(82, p);
    }
    void textW(int x, int y, const QString &text)
    {
        QByteArray p;
        put32(p, 0);
        put32(p, 0);
        put32(p, 0);
        put32(p, 0); // bounds
        put32(p, 1); // graphics mode
        putFloat(p, 1);
        putFloat(p, 1); // scales
        put32(p, x);
        put32(p, y); // reference
        put32(p, text.size());
        const int offString = 8 + 28 + 40;
        put32(p, offString);
        put32(p, 0); // options
        put32(p, 0);
        put32(p, 0);
        put32(p, -1);
        put32(p, -1); // rectangle
        put32(p, 0);  // no dx
        for (QChar c : text)
            put16(p, c.unicode());
        raw(84, p);
    }
    // A picture of frame (in 0.01 mm) on a 96 dpi reference device.
    QByteArray build(QRect frame = QRect(QPoint(0, 0), QPoint(5080, 5080)), int handles = 8) const
    {
        QByteArray body = m_body;
        put32(body, 14); // EOF
        put32(body, 20);
        put32(body, 0);
        put32(body, 0);
        put32(body, 20);
        QByteArray out;
        put32(out, 1);
        put32(out, 88);
        put32(out, 0);
        put32(out, 0);
        put32(out, frame.right() * 96 / 2540);
        put32(out, frame.bottom() * 96 / 2540);
        put32(out, frame.left());
        put32(out, frame.top());
        put32(out, frame.right());
        put32(out, frame.bottom());
        put32(out, 0x464D4520);
        put32(out, 0x10000);
        put32(out, 88 + body.size());
        put32(out, m_records + 2);
        put16(out, handles);
        put16(out, 0);
        put32(out, 0);
        put32(out, 0);
        put32(out, 0);
        put32(out, 960);
        put32(out, 960); // reference device: 960 px over 254 mm, 96 dpi
        put32(out, 254);
        put32(out, 254);
        out.append(body);
        return out;
    }

private:
    QByteArray m_body;
    int m_records = 0;
};

} // namespace metafiletest
