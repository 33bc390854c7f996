// What a metafile's headers say about its picture, read alike from a WMF and an EMF.
#pragma once

#include "MetafileReader.h"

#include <QRectF>
#include <QSizeF>
#include <QtGlobal>

namespace morvane::metafile {

struct MetafileFrame {
    Kind kind = Kind::None;
    QRectF deviceRect;    // the picture area in device units (an EMF's reference-device pixels)
    QSizeF naturalPixels; // size at 96 dpi
    QSizeF unitsPerMm;    // device units per millimetre, for the metric mapping modes
    qsizetype firstRecord = 0;
    qint64 objectCount = 0;
};

} // namespace morvane::metafile
