// Pictures stored the way a camera stores them, lying as the sensor saw them, with an
// orientation tag that says how to turn them upright: written byte by byte, as JPEG with an EXIF
// block and as a bare TIFF, so that no library's own idea of the tag makes the test pictures.
#pragma once

#include <QBuffer>
#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QPainter>

namespace morvane::test {

// The picture as it is meant to be seen: a portrait, red in its top-left corner, blue in its
// top-right corner and grey elsewhere. No turn or mirror of it looks like it.
constexpr int UprightWidth = 300;
constexpr int UprightHeight = 400;
constexpr int MarkSide = 64;

inline QImage uprightPicture(int width = UprightWidth, int height = UprightHeight)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(QColor(128, 128, 128));
    QPainter painter(&image);
    painter.fillRect(0, 0, MarkSide, MarkSide, QColor(230, 20, 20));
    painter.fillRect(width - MarkSide, 0, MarkSide, MarkSide, QColor(20, 20, 230));
    return image;
}

// The picture a camera stores for `upright` when it writes orientation `tag` (1 to 8). The tag
// names where the stored picture's first row and first column are seen: 1 top and left, 2 top
// and right, 3 bottom and right, 4 bottom and left, 5 left and top, 6 right and top, 7 right
// and bottom, 8 left and bottom.
inline QImage storedPicture(const QImage &upright, int tag)
{
    const int w = upright.width(), h = upright.height();
    const bool sideways = tag >= 5;
    QImage stored(sideways ? h : w, sideways ? w : h, QImage::Format_RGB32);
    for (int y = 0; y < stored.height(); ++y) {
        for (int x = 0; x < stored.width(); ++x) {
            int u = x, v = y; // where stored pixel (x, y) is seen
            switch (tag) {
            case 2: u = w - 1 - x; break;
            case 3: u = w - 1 - x, v = h - 1 - y; break;
            case 4: v = h - 1 - y; break;
            case 5: u = y, v = x; break;
            case 6: u = w - 1 - y, v = x; break;
            case 7: u = w - 1 - y, v = h - 1 - x; break;
            case 8: u = y, v = h - 1 - x; break;
            default: break;
            }
            stored.setPixel(x, y, upright.pixel(u, v));
        }
    }
    return stored;
}

// A JPEG of `stored` with an EXIF block (big-endian) whose one entry is the orientation `tag`,
// right after the start-of-image marker as a camera writes it.
inline QByteArray jpegWithOrientation(const QImage &stored, int tag)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    stored.save(&buffer, "JPEG", 95);
    const QByteArray jpeg = buffer.data();
    const QByteArray exif =
        QByteArray("Exif\0\0MM\0\x2A\0\0\0\x08", 14) // header, first folder at 8
        + QByteArray("\0\x01", 2)                    // one entry:
        + QByteArray("\x01\x12\0\x03\0\0\0\x01", 8)  // orientation, 1 short
        + char(0) + char(tag) + QByteArray(2, '\0') + QByteArray(4, '\0');
    const int length = exif.size() + 2;
    const QByteArray segment =
        QByteArray("\xFF\xE1", 2) + char(length >> 8) + char(length & 0xFF) + exif;
    return jpeg.left(2) + segment + jpeg.mid(2);
}

// An uncompressed little-endian RGB TIFF of `stored` with orientation `tag`.
inline QByteArray tiffWithOrientation(const QImage &stored, int tag)
{
    const int w = stored.width(), h = stored.height();
    QByteArray out("II\x2A\0", 4);
    auto put16 = [&out](int v) {
        out += char(v & 0xFF);
        out += char((v >> 8) & 0xFF);
    };
    auto put32 = [&out](qint64 v) {
        for (int i = 0; i < 4; ++i)
            out += char((v >> (8 * i)) & 0xFF);
    };
    const int entries = 10;
    const int folder = 8, bitsAt = folder + 2 + entries * 12 + 4, pixelsAt = bitsAt + 6;
    put32(folder);
    put16(entries);
    auto entry = [&](int id, int type, int count, qint64 value) {
        put16(id);
        put16(type);
        put32(count);
        put32(value); // a short sits in the first two bytes, little-endian
    };
    entry(256, 3, 1, w);                 // width
    entry(257, 3, 1, h);                 // height
    entry(258, 3, 3, bitsAt);            // 8 bits a sample, three samples
    entry(259, 3, 1, 1);                 // no compression
    entry(262, 3, 1, 2);                 // RGB
    entry(273, 4, 1, pixelsAt);          // the one strip
    entry(274, 3, 1, tag);               // orientation
    entry(277, 3, 1, 3);                 // samples a pixel
    entry(278, 3, 1, h);                 // rows in the strip
    entry(279, 4, 1, qint64(w) * h * 3); // bytes in the strip
    put32(0);                            // no further folder
    put16(8), put16(8), put16(8);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const QRgb c = stored.pixel(x, y);
            out += char(qRed(c)), out += char(qGreen(c)), out += char(qBlue(c));
        }
    }
    return out;
}

// The colours seen at the picture's four corners, as "top-left top-right bottom-left
// bottom-right", each red, blue or grey: an upright picture reads "red blue grey grey".
inline QString cornerColours(const QImage &picture)
{
    const int inset = MarkSide / 4;
    auto name = [&picture](int x, int y) {
        const QColor c = picture.pixelColor(x, y);
        if (c.red() > 180 && c.blue() < 90)
            return QStringLiteral("red");
        if (c.blue() > 180 && c.red() < 90)
            return QStringLiteral("blue");
        if (qAbs(c.red() - 128) < 30 && qAbs(c.blue() - 128) < 30)
            return QStringLiteral("grey");
        return QStringLiteral("other");
    };
    const int right = picture.width() - 1 - inset, bottom = picture.height() - 1 - inset;
    return name(inset, inset) + QLatin1Char(' ') + name(right, inset) + QLatin1Char(' ')
           + name(inset, bottom) + QLatin1Char(' ') + name(right, bottom);
}

} // namespace morvane::test
