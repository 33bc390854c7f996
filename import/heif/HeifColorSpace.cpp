// The colour space a HEIF or AVIF picture declares, as Qt describes it.
#include "HeifColorSpace.h"

#include <QByteArray>
#include <QPointF>

#include "Libheif.h"

namespace morvane::heif {

namespace {

// H.273 colour primaries and transfer characteristics.
enum Primaries : std::uint16_t { Bt709 = 1, Unspecified = 2, DisplayP3 = 12 };
enum Transfer : std::uint16_t { Gamma22 = 4, Gamma28 = 5, Linear = 8 };

struct Curve {
    QColorSpace::TransferFunction function;
    float gamma;
};

// Video transfer curves (BT.709, BT.601, BT.2020) are shown as sRGB is, as displays and
// browsers do; PQ and HLG have no curve in Qt and the 8-bit pixels libheif gives for them are
// shown as sRGB too, better than not at all.
Curve curveOf(std::uint16_t transfer)
{
    switch (transfer) {
    case Gamma22: return {QColorSpace::TransferFunction::Gamma, 2.2f};
    case Gamma28: return {QColorSpace::TransferFunction::Gamma, 2.8f};
    case Linear: return {QColorSpace::TransferFunction::Linear, 0.0f};
    default: return {QColorSpace::TransferFunction::SRgb, 0.0f};
    }
}

QColorSpace fromIcc(const heif_image_handle *handle)
{
    const size_t size = heif_image_handle_get_raw_color_profile_size(handle);
    if (size == 0)
        return {};
    QByteArray icc(static_cast<qsizetype>(size), Qt::Uninitialized);
    if (heif_image_handle_get_raw_color_profile(handle, icc.data()).code != heif_error_Ok)
        return {};
    return QColorSpace::fromIccProfile(icc);
}

QColorSpace fromNclx(const heif_image_handle *handle)
{
    heif_color_profile_nclx *profile = nullptr;
    if (heif_image_handle_get_nclx_color_profile(handle, &profile).code != heif_error_Ok
        || !profile)
        return {};
    Nclx nclx;
    nclx.primaries = static_cast<std::uint16_t>(profile->color_primaries);
    nclx.transfer = static_cast<std::uint16_t>(profile->transfer_characteristics);
    nclx.redX = profile->color_primary_red_x;
    nclx.redY = profile->color_primary_red_y;
    nclx.greenX = profile->color_primary_green_x;
    nclx.greenY = profile->color_primary_green_y;
    nclx.blueX = profile->color_primary_blue_x;
    nclx.blueY = profile->color_primary_blue_y;
    nclx.whiteX = profile->color_primary_white_x;
    nclx.whiteY = profile->color_primary_white_y;
    heif_nclx_color_profile_free(profile);
    return colorSpaceFromNclx(nclx);
}

} // namespace

QColorSpace colorSpaceFromNclx(const Nclx &nclx)
{
    const Curve curve = curveOf(nclx.transfer);
    const bool srgbCurve = curve.function == QColorSpace::TransferFunction::SRgb;
    if (nclx.primaries == Bt709 || nclx.primaries == Unspecified) {
        if (srgbCurve)
            return {}; // plain sRGB, or nothing said beyond the curve
        return QColorSpace(QColorSpace::Primaries::SRgb, curve.function, curve.gamma);
    }
    if (nclx.primaries == DisplayP3) {
        if (srgbCurve)
            return QColorSpace(QColorSpace::DisplayP3);
        return QColorSpace(QColorSpace::Primaries::DciP3D65, curve.function, curve.gamma);
    }
    // Every other set of primaries (BT.2020, DCI-P3 with its own white, BT.601, ...) as libheif
    // derived its chromaticities from the code point.
    const QPointF white(nclx.whiteX, nclx.whiteY);
    const QPointF red(nclx.redX, nclx.redY);
    const QPointF green(nclx.greenX, nclx.greenY);
    const QPointF blue(nclx.blueX, nclx.blueY);
    QColorSpace space(white, red, green, blue, curve.function, curve.gamma);
    return space.isValid() ? space : QColorSpace();
}

QColorSpace colorSpaceOf(const heif_image_handle *handle)
{
    QColorSpace space = fromIcc(handle);
    if (space.isValid())
        return space == QColorSpace(QColorSpace::SRgb) ? QColorSpace() : space;
    return fromNclx(handle);
}

} // namespace morvane::heif
