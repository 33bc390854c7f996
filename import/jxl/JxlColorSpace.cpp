// The colour space of pixels decoded by libjxl, as Qt describes it.
#include "JxlColorSpace.h"

#include <QList>
#include <QPointF>
#include <QtGlobal>

#include <cmath>

namespace morvane::jxl {

namespace {

bool isPlainSrgb(const JxlColorEncoding &encoded)
{
    // Grey with the sRGB curve on D65 is plain sRGB once its value is copied to R, G and B.
    const bool colours =
        encoded.color_space == JXL_COLOR_SPACE_GRAY
        || (encoded.color_space == JXL_COLOR_SPACE_RGB && encoded.primaries == JXL_PRIMARIES_SRGB);
    return colours && encoded.white_point == JXL_WHITE_POINT_D65
           && encoded.transfer_function == JXL_TRANSFER_FUNCTION_SRGB;
}

bool whitePointOf(const JxlColorEncoding &encoded, QPointF *white)
{
    switch (encoded.white_point) {
    case JXL_WHITE_POINT_D65: *white = {0.3127, 0.3290}; return true;
    case JXL_WHITE_POINT_E: *white = {1.0 / 3, 1.0 / 3}; return true;
    case JXL_WHITE_POINT_DCI: *white = {0.314, 0.351}; return true;
    case JXL_WHITE_POINT_CUSTOM:
        *white = {encoded.white_point_xy[0], encoded.white_point_xy[1]};
        return true;
    }
    return false;
}

bool primariesOf(const JxlColorEncoding &encoded, QPointF *red, QPointF *green, QPointF *blue)
{
    // Grey carries no primaries: any will do, since equal channels land on the white point.
    const auto primaries =
        encoded.color_space == JXL_COLOR_SPACE_GRAY ? JXL_PRIMARIES_SRGB : encoded.primaries;
    switch (primaries) {
    case JXL_PRIMARIES_SRGB:
        *red = {0.64, 0.33};
        *green = {0.30, 0.60};
        *blue = {0.15, 0.06};
        return true;
    case JXL_PRIMARIES_2100:
        *red = {0.708, 0.292};
        *green = {0.170, 0.797};
        *blue = {0.131, 0.046};
        return true;
    case JXL_PRIMARIES_P3:
        *red = {0.680, 0.320};
        *green = {0.265, 0.690};
        *blue = {0.150, 0.060};
        return true;
    case JXL_PRIMARIES_CUSTOM:
        *red = {encoded.primaries_red_xy[0], encoded.primaries_red_xy[1]};
        *green = {encoded.primaries_green_xy[0], encoded.primaries_green_xy[1]};
        *blue = {encoded.primaries_blue_xy[0], encoded.primaries_blue_xy[1]};
        return true;
    }
    return false;
}

// BT.709's camera curve, undone: the one curve libjxl names that Qt has no name for.
QList<uint16_t> bt709Table()
{
    constexpr int entries = 1024;
    QList<uint16_t> table(entries);
    for (int i = 0; i < entries; ++i) {
        const double v = double(i) / (entries - 1);
        const double linear = v < 0.081 ? v / 4.5 : std::pow((v + 0.099) / 1.099, 1 / 0.45);
        table[i] = uint16_t(std::lround(linear * 65535));
    }
    return table;
}

} // namespace

QColorSpace colorSpaceFromEncoding(const JxlColorEncoding &encoded)
{
    if (encoded.color_space != JXL_COLOR_SPACE_RGB && encoded.color_space != JXL_COLOR_SPACE_GRAY)
        return {};
    if (isPlainSrgb(encoded))
        return {};
    QPointF white, red, green, blue;
    if (!whitePointOf(encoded, &white) || !primariesOf(encoded, &red, &green, &blue))
        return {};
    using Transfer = QColorSpace::TransferFunction;
    switch (encoded.transfer_function) {
    case JXL_TRANSFER_FUNCTION_SRGB: return QColorSpace(white, red, green, blue, Transfer::SRgb);
    case JXL_TRANSFER_FUNCTION_LINEAR:
        return QColorSpace(white, red, green, blue, Transfer::Linear);
    case JXL_TRANSFER_FUNCTION_DCI:
        return QColorSpace(white, red, green, blue, Transfer::Gamma, 2.6f);
    case JXL_TRANSFER_FUNCTION_GAMMA:
        // libjxl gives the encoding exponent (0.4545 for a 2.2 display gamma).
        if (!(encoded.gamma > 0 && encoded.gamma <= 1))
            return {};
        return QColorSpace(white, red, green, blue, Transfer::Gamma, float(1 / encoded.gamma));
    case JXL_TRANSFER_FUNCTION_709: return QColorSpace(white, red, green, blue, bt709Table());
    default:
        // PQ and HLG are HDR curves with no meaning for an 8-bit picture on an sRGB board.
        return {};
    }
}

QColorSpace colorSpaceOf(const QByteArray &iccProfile, const JxlColorEncoding *encoded)
{
    if (encoded && isPlainSrgb(*encoded))
        return {};
    if (!iccProfile.isEmpty()) {
        const QColorSpace fromIcc = QColorSpace::fromIccProfile(iccProfile);
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
        // Newer Qt reads grey profiles too; our pixels are RGB, so only an RGB space fits them.
        const bool fits = fromIcc.isValid() && fromIcc.colorModel() == QColorSpace::ColorModel::Rgb;
#else
        const bool fits = fromIcc.isValid();
#endif
        if (fits)
            return fromIcc == QColorSpace(QColorSpace::SRgb) ? QColorSpace() : fromIcc;
    }
    return encoded ? colorSpaceFromEncoding(*encoded) : QColorSpace();
}

} // namespace morvane::jxl
