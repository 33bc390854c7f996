// A picture turned over about its vertical and/or horizontal centre line, on every Qt 6.
#pragma once

#include <QImage>
#include <QtGlobal>

namespace morvane {

// `horizontal` swaps left and right, `vertical` top and bottom. Qt 6.9 renamed
// QImage::mirrored(bool, bool) to flipped(Qt::Orientations) and deprecated the old name.
inline QImage mirroredImage(const QImage &image, bool horizontal, bool vertical)
{
#if QT_VERSION >= QT_VERSION_CHECK(6, 9, 0)
    Qt::Orientations orientations;
    orientations.setFlag(Qt::Horizontal, horizontal);
    orientations.setFlag(Qt::Vertical, vertical);
    return orientations ? image.flipped(orientations) : image;
#else
    return image.mirrored(horizontal, vertical);
#endif
}

} // namespace morvane
