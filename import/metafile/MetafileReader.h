// Windows metafiles (WMF, placeable WMF) and enhanced metafiles (EMF) rendered to an image.
#pragma once

#include "Limits.h"

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

namespace morvane::metafile {

enum class Kind { None, PlaceableWmf, Wmf, Emf };

// Recognises a metafile by content only, from its first bytes (44 are enough for every kind).
Kind detect(const QByteArray &head);

struct RenderResult {
    QImage image;    // null on failure; RGB32 on a white background otherwise
    QString error;   // why rendering failed; empty when image is not null
    QString warning; // set when the image is only part of the picture (a damaged file)
};

// Renders the metafile at its natural size, scaled down (keeping proportions) so that neither side
// exceeds maxSize when maxSize is valid. Never throws; bounded in time and memory by the
// allowance (the game's own limits unless a test asks for smaller ones).
RenderResult render(const QByteArray &data, QSize maxSize = QSize(),
                    const Allowance &allowance = {});

// The picture's natural size in pixels at 96 dpi, or an invalid size when data is no metafile.
QSize naturalSize(const QByteArray &data);

} // namespace morvane::metafile
