// The completion banner: "All Right" in golden-brown on pure black. It is drawn over the finished
// picture with exclusive-or, so the ground must be exactly black (it leaves the picture as it
// was) and the lettering a single colour (two identical draws cancel out).
#include "Artwork.h"

#include <QFont>
#include <QPainter>

namespace datagen {

QImage paintBanner()
{
    const QRgb gold = qRgb(189, 132, 3);
    QImage mask(147, 39, QImage::Format_RGB32);
    mask.fill(Qt::black);
    {
        QPainter p(&mask);
        QFont font("Liberation Serif");
        font.setPixelSize(31);
        font.setBold(true);
        font.setItalic(true);
        font.setStyleStrategy(QFont::NoAntialias); // letters of one colour only
        p.setFont(font);
        p.setPen(Qt::white);
        p.drawText(QRect(0, 0, 147, 39), Qt::AlignCenter, "All Right");
    }
    QImage banner(147, 39, QImage::Format_RGB888);
    for (int y = 0; y < 39; ++y)
        for (int x = 0; x < 147; ++x)
            banner.setPixel(x, y, qGray(mask.pixel(x, y)) > 127 ? gold : qRgb(0, 0, 0));
    return banner;
}

} // namespace datagen
