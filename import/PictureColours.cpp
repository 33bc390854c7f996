// Converting a picture to sRGB and laying its transparency over white.
#include "PictureColours.h"

#include <QColorSpace>
#include <QPainter>

namespace morvane {

namespace {

void convertToSrgb(QImage &image)
{
    const QColorSpace space = image.colorSpace();
    if (!space.isValid() || space == QColorSpace(QColorSpace::SRgb))
        return;
    // Deep pictures keep their depth through the conversion, so that a 16-bit photo loses no
    // precision before it is brought down to the board's 8 bits.
    image.convertToColorSpace(QColorSpace::SRgb);
}

QImage overWhite(const QImage &image)
{
    QImage paper(image.size(), QImage::Format_RGB32);
    paper.fill(Qt::white);
    paper.setDotsPerMeterX(image.dotsPerMeterX());
    paper.setDotsPerMeterY(image.dotsPerMeterY());
    paper.setColorSpace(image.colorSpace());
    QPainter painter(&paper);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter.drawImage(0, 0, image);
    return paper;
}

} // namespace

QImage shownColours(QImage image)
{
    if (image.isNull())
        return image;
    convertToSrgb(image);
    if (image.hasAlphaChannel())
        image = overWhite(image);
    return image;
}

} // namespace morvane
