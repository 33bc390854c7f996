// The colour space of pixels decoded by libjxl, as Qt describes it.
#pragma once

#include <QByteArray>
#include <QColorSpace>

#include <jxl/color_encoding.h>

namespace morvane::jxl {

// The colour space of the decoded pixels from the ICC profile libjxl reports for them and, when
// there is one, their encoded colour description (nullptr when none). Plain sRGB, and what
// neither describes in a way Qt can take, give the default (invalid) colour space, which
// readers of the image treat as sRGB. Grey pixels are delivered as RGB, so a grey description
// becomes an RGB space whose equal channels fall on the grey's white point.
QColorSpace colorSpaceOf(const QByteArray &iccProfile, const JxlColorEncoding *encoded);

// The colour space an encoded description names, or the default one when Qt cannot express it.
QColorSpace colorSpaceFromEncoding(const JxlColorEncoding &encoded);

} // namespace morvane::jxl
