// Pixel helpers shared by the metafile tests: colour tests and counts over image regions.
#pragma once

#include <QColor>
#include <QImage>
#include <QRect>

namespace metafiletest {

inline bool near(QRgb pixel, QColor expected, int tolerance = 40)
{
    return std::abs(qRed(pixel) - expected.red()) <= tolerance
           && std::abs(qGreen(pixel) - expected.green()) <= tolerance
           && std::abs(qBlue(pixel) - expected.blue()) <= tolerance;
}

inline bool isWhite(QRgb pixel) { return near(pixel, Qt::white, 8); }

// Pixels in rect (clipped to the image) that are not white.
inline int inkIn(const QImage &image, QRect rect)
{
    rect &= image.rect();
    int count = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x)
            count += !isWhite(image.pixel(x, y));
    return count;
}

inline int inkOutside(const QImage &image, QRect rect)
{
    return inkIn(image, image.rect()) - inkIn(image, rect);
}

// Pixels in rect close to a colour.
inline int colourIn(const QImage &image, QRect rect, QColor colour, int tolerance = 40)
{
    rect &= image.rect();
    int count = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x)
            count += near(image.pixel(x, y), colour, tolerance);
    return count;
}

} // namespace metafiletest
