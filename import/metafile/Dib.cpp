// Checks a DIB header against the data present, wraps it as a BMP file and lets Qt decode it.
#include "Dib.h"

#include "ByteReader.h"

#include <QBuffer>
#include <QImageReader>

#include <algorithm>
#include <cstdlib>

namespace morvane::metafile {

namespace {

enum Compression : uint32_t {
    BiRgb = 0,
    BiRle8 = 1,
    BiRle4 = 2,
    BiBitfields = 3,
    BiJpeg = 4,
    BiPng = 5,
    BiAlphaBitfields = 6,
};

struct DibHeader {
    uint32_t headerSize = 0;
    int64_t width = 0;
    int64_t height = 0; // negative for top-down bitmaps
    uint16_t bitCount = 0;
    uint32_t compression = BiRgb;
    uint32_t imageSize = 0;
    uint32_t colorsUsed = 0;
    qint64 colorTableBytes = 0; // colour table and bit masks following the header
};

// Reads and checks the header; throws Malformed when it is not a bitmap header we accept.
DibHeader readHeader(QByteArrayView info)
{
    ByteReader r(info);
    DibHeader h;
    h.headerSize = r.u32();
    if (h.headerSize == 12) { // BITMAPCOREHEADER
        h.width = r.u16();
        h.height = r.u16();
        if (r.u16() != 1)
            throw Malformed("bitmap with more than one plane");
        h.bitCount = r.u16();
        if (h.bitCount <= 8)
            h.colorTableBytes = 3LL << h.bitCount;
    } else if (h.headerSize >= 40 && h.headerSize <= 124) {
        h.width = r.i32();
        h.height = r.i32();
        if (r.u16() != 1)
            throw Malformed("bitmap with more than one plane");
        h.bitCount = r.u16();
        h.compression = r.u32();
        h.imageSize = r.u32();
        r.skip(8); // resolution
        h.colorsUsed = r.u32();
        if (h.bitCount <= 8) {
            const uint32_t full = 1u << h.bitCount;
            const uint32_t used = h.colorsUsed == 0 || h.colorsUsed > full ? full : h.colorsUsed;
            h.colorTableBytes = 4LL * used;
        } else if (h.colorsUsed <= 256) {
            h.colorTableBytes = 4LL * h.colorsUsed;
        } else {
            throw Malformed("bitmap colour table too large");
        }
        if (h.headerSize == 40 && h.compression == BiBitfields)
            h.colorTableBytes += 12;
        if (h.headerSize == 40 && h.compression == BiAlphaBitfields)
            h.colorTableBytes += 16;
    } else {
        throw Malformed("unknown bitmap header");
    }
    switch (h.bitCount) {
    case 1:
    case 4:
    case 8:
    case 16:
    case 24:
    case 32: break;
    case 0:
        if (h.compression == BiJpeg || h.compression == BiPng)
            break;
        [[fallthrough]];
    default: throw Malformed("unsupported bits per pixel");
    }
    if (h.width <= 0 || h.height == 0 || h.height == INT32_MIN)
        throw Malformed("empty bitmap");
    return h;
}

QImage readWithLimit(QByteArray bytes, const char *format, Budget &budget, bool charge)
{
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    if (charge) {
        // Compressed data: the size is only known from its own header, so ask before decoding.
        const QSize size = reader.size();
        if (!size.isValid() || size.isEmpty())
            return {};
        budget.bitmapPixels(qint64(size.width()) * size.height());
    }
    QImage image;
    if (!reader.read(&image))
        return {};
    return image;
}

} // namespace

QImage decodeDib(QByteArrayView info, QByteArrayView bits, Budget &budget, bool premultipliedAlpha)
{
    const DibHeader h = readHeader(info);
    const qint64 width = h.width;
    const qint64 height = std::llabs(h.height);
    if (width > 1'000'000 || height > 1'000'000)
        throw LimitExceeded("an embedded bitmap of " + std::to_string(width) + " x "
                            + std::to_string(height) + " pixels");

    if (h.compression == BiJpeg || h.compression == BiPng) {
        // The bits are a whole JPEG or PNG file.
        const qint64 length =
            h.imageSize && h.imageSize <= uint32_t(bits.size()) ? h.imageSize : bits.size();
        return readWithLimit(QByteArray(bits.data(), length),
                             h.compression == BiJpeg ? "jpeg" : "png", budget, true);
    }
    budget.bitmapPixels(width * height);

    const qint64 infoBytes = h.headerSize + h.colorTableBytes;
    if (infoBytes > info.size())
        throw Malformed("bitmap colour table cut short");
    qint64 bitsBytes = bits.size();
    if (h.compression == BiRgb || h.compression == BiBitfields
        || h.compression == BiAlphaBitfields) {
        const qint64 stride = ((width * h.bitCount + 31) / 32) * 4;
        const qint64 needed = stride * height;
        if (bitsBytes < needed)
            throw Malformed("bitmap bits cut short");
        bitsBytes = needed;
    } else if (h.compression == BiRle8 || h.compression == BiRle4) {
        if ((h.compression == BiRle8 && h.bitCount != 8)
            || (h.compression == BiRle4 && h.bitCount != 4))
            throw Malformed("run-length bitmap with the wrong depth");
    } else {
        throw Malformed("unknown bitmap compression");
    }

    if (premultipliedAlpha && h.bitCount == 32 && h.compression == BiRgb) {
        // Read directly: Qt's BMP reader would drop the alpha byte.
        QImage image(int(width), int(height), QImage::Format_ARGB32_Premultiplied);
        if (image.isNull())
            return image;
        const bool bottomUp = h.height > 0;
        // Some writers ask for source alpha and leave every alpha byte zero; such a bitmap is
        // meant to be opaque.
        bool anyAlpha = false;
        for (qint64 i = 3; i < width * height * 4 && !anyAlpha; i += 4)
            anyAlpha = bits[i] != 0;
        for (qint64 row = 0; row < height; ++row) {
            const char *src = bits.data() + row * width * 4;
            auto *dst =
                reinterpret_cast<QRgb *>(image.scanLine(int(bottomUp ? height - 1 - row : row)));
            for (qint64 x = 0; x < width; ++x) {
                const auto *px = reinterpret_cast<const unsigned char *>(src + x * 4);
                const unsigned alpha = anyAlpha ? px[3] : 255;
                // Clamp colour to alpha so that a bad bitmap cannot make invalid premultiplied
                // pixels.
                dst[x] = qRgba(std::min<unsigned>(px[2], alpha), std::min<unsigned>(px[1], alpha),
                               std::min<unsigned>(px[0], alpha), alpha);
            }
        }
        return image;
    }

    // Wrap as a BMP file: BITMAPFILEHEADER, then the info, then the bits.
    QByteArray file;
    const qint64 total = 14 + infoBytes + bitsBytes;
    file.reserve(qsizetype(total));
    auto put32 = [&file](uint32_t v) {
        for (int i = 0; i < 4; ++i)
            file.append(char((v >> (8 * i)) & 0xFF));
    };
    file.append("BM", 2);
    put32(uint32_t(total));
    put32(0);
    put32(uint32_t(14 + infoBytes));
    file.append(info.data(), qsizetype(infoBytes));
    file.append(bits.data(), qsizetype(bitsBytes));
    QImage image = readWithLimit(std::move(file), "bmp", budget, false);
    // 32-bit BI_RGB bitmaps may carry alpha in their fourth byte; Qt reads them opaque, which is
    // what GDI's blits do too.
    return image;
}

QImage decodePackedDib(QByteArrayView packed, Budget &budget)
{
    const DibHeader h = readHeader(packed);
    const qint64 infoBytes = h.headerSize + h.colorTableBytes;
    if (infoBytes > packed.size())
        throw Malformed("bitmap colour table cut short");
    return decodeDib(packed.first(qsizetype(infoBytes)), packed.sliced(qsizetype(infoBytes)),
                     budget);
}

} // namespace morvane::metafile
