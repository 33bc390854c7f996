// The colour space a HEIF or AVIF picture declares, as Qt describes it.
#pragma once

#include <QColorSpace>

#include <cstdint>

struct heif_image_handle;

namespace morvane::heif {

// The ICC profile when the file has one Qt understands, else the nclx colour description;
// an invalid QColorSpace when the picture is plain sRGB or says nothing.
QColorSpace colorSpaceOf(const heif_image_handle *handle);

// An nclx description (ITU-T H.273 code points and the chromaticities libheif derived from
// them) as a QColorSpace; invalid for plain sRGB and for what Qt cannot express.
struct Nclx {
    std::uint16_t primaries = 2; // 2: unspecified
    std::uint16_t transfer = 2;
    float redX = 0, redY = 0, greenX = 0, greenY = 0, blueX = 0, blueY = 0, whiteX = 0, whiteY = 0;
};
QColorSpace colorSpaceFromNclx(const Nclx &nclx);

} // namespace morvane::heif
