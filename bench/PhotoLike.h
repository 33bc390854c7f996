// A photograph-like picture for the benchmarks that open photos: smooth gradients under many
// small shapes, so that a coded file has the detail (and the decoding cost) of a real photo
// rather than of a flat colour.
#pragma once

#include <QColor>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QRandomGenerator>

#include <algorithm>

namespace morvane::bench {

inline QImage photoLike(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient sky(0, 0, size.width(), size.height());
    sky.setColorAt(0, QColor(40, 90, 170));
    sky.setColorAt(1, QColor(230, 190, 120));
    painter.fillRect(image.rect(), sky);
    QRandomGenerator random(7);
    painter.setPen(Qt::NoPen);
    // The shapes grow with the picture, so that a larger photo is the same photo, finer.
    const int unit = std::max(1, size.width() / 1000);
    for (int i = 0; i < 20000; ++i) {
        painter.setBrush(
            QColor::fromRgb(random.bounded(256), random.bounded(256), random.bounded(256), 160));
        painter.drawEllipse(QPointF(random.bounded(size.width()), random.bounded(size.height())),
                            random.bounded(unit, 10 * unit), random.bounded(unit, 10 * unit));
    }
    return image;
}

} // namespace morvane::bench
