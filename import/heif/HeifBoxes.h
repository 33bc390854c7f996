// The few ISO base media boxes read before libheif sees a file: its brands and its grids.
#pragma once

#include <QByteArray>

namespace morvane::heif {

// Bytes enough to see a file's brands (an ftyp box lists a handful of them).
constexpr int SniffBytes = 64;

// True when the file starts with an ftyp box naming a HEIF or AVIF brand, as its major brand
// or as a compatible one.
bool hasHeifBrand(const QByteArray &head);

// What the file's derived pictures (grids of tiles, overlays) declare before any is decoded:
// libheif 1.15 tells neither, and builds each canvas and decodes every tile it is given.
struct DerivedPictures {
    bool readable = false;             // false when the boxes on the way are broken
    long long references = 0;          // 'dimg' references of all items: tiles and layers
    long long largestCanvasPixels = 0; // the largest output a grid or an overlay declares
    // An item whose data has an extent of length 0 ("to the end of the file"): libheif 1.15
    // reads it as empty and hands the AV1 decoder nothing, which leaks in libdav1d.
    bool emptyExtent = false;
    bool primaryDerived = false; // the primary picture is itself a grid or an overlay
};
DerivedPictures derivedPictures(const QByteArray &file);

} // namespace morvane::heif
