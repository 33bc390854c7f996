// The picture file patterns that both file choosers offer.
#pragma once

#include <QString>
#include <QStringList>

namespace morvane {

// The formats the picture loader reads: JPEG, Windows bitmap and DIB, GIF and the two
// metafiles, then the pictures of today: PNG screenshots, WebP downloads, TIFF scans, and the
// phones' and the web's photos: HEIF/HEIC, AVIF and JPEG XL.
inline QStringList picturePatterns()
{
    return {QStringLiteral("*.jpg"),  QStringLiteral("*.jpeg"), QStringLiteral("*.bmp"),
            QStringLiteral("*.gif"),  QStringLiteral("*.wmf"),  QStringLiteral("*.emf"),
            QStringLiteral("*.dib"),  QStringLiteral("*.png"),  QStringLiteral("*.webp"),
            QStringLiteral("*.tif"),  QStringLiteral("*.tiff"), QStringLiteral("*.heic"),
            QStringLiteral("*.heif"), QStringLiteral("*.avif"), QStringLiteral("*.jxl")};
}

} // namespace morvane
