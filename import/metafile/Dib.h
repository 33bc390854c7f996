// Device-independent bitmaps from metafile records, checked and then decoded by Qt's BMP reader.
#pragma once

#include "Limits.h"

#include <QByteArrayView>
#include <QImage>

namespace morvane::metafile {

// Decodes a DIB given as its BITMAPINFO (header and colour table) and its pixel bits. Returns a
// null image for bitmaps it cannot or will not decode (palette-index colours, bad headers);
// throws LimitExceeded through the budget when the bitmap is too large. With premultipliedAlpha, a
// 32-bit uncompressed bitmap keeps its fourth byte as premultiplied alpha (as AlphaBlend uses it).
QImage decodeDib(QByteArrayView info, QByteArrayView bits, Budget &budget,
                 bool premultipliedAlpha = false);

// Same, for a packed DIB (header, colour table and bits back to back), as WMF records carry them.
QImage decodePackedDib(QByteArrayView packed, Budget &budget);

} // namespace morvane::metafile
