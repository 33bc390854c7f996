// The game's icon: four puzzle tiles of a little landscape, one lifted out and turned, on a
// dark frame. Drawn as vectors at any size; the 32-pixel icon is reduced to 16 colours.
#include "Artwork.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace datagen {
namespace {

// The sixteen colours of the small icon.
const QRgb Palette[16] = {
    qRgb(0, 0, 0),       qRgb(40, 44, 60),    qRgb(236, 236, 240), qRgb(70, 120, 200),
    qRgb(140, 190, 240), qRgb(40, 120, 50),   qRgb(100, 180, 70),  qRgb(250, 210, 60),
    qRgb(200, 80, 40),   qRgb(120, 80, 50),   qRgb(180, 150, 110), qRgb(30, 200, 60),
    qRgb(110, 110, 120), qRgb(255, 255, 255), qRgb(60, 80, 40),    qRgb(170, 40, 40),
};

// One quarter of the picture: sky, sun, hill; `turned` mirrors it like a dealt tile.
void drawQuarter(QPainter &p, const QRectF &cell, int quarter, bool turned)
{
    p.save();
    p.translate(cell.topLeft());
    if (turned) {
        p.translate(cell.width(), 0);
        p.scale(-1, 1);
    }
    const double w = cell.width(), h = cell.height();
    const double ox = (quarter % 2) * w, oy = (quarter / 2) * h; // offset in the whole scene
    p.setClipRect(QRectF(0, 0, w, h));
    p.translate(-ox, -oy);
    QLinearGradient sky(0, 0, 0, 2 * h);
    sky.setColorAt(0, QColor(Palette[3]));
    sky.setColorAt(1, QColor(Palette[4]));
    p.fillRect(QRectF(0, 0, 2 * w, 2 * h), sky);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(Palette[7]));
    p.drawEllipse(QPointF(1.45 * w, 0.55 * h), 0.32 * w, 0.32 * w);
    QPainterPath hill;
    hill.moveTo(0, 1.3 * h);
    hill.cubicTo(0.6 * w, 0.7 * h, 1.1 * w, 1.1 * h, 2 * w, 1.0 * h);
    hill.lineTo(2 * w, 2 * h);
    hill.lineTo(0, 2 * h);
    p.setBrush(QColor(Palette[6]));
    p.drawPath(hill);
    p.setBrush(QColor(Palette[8]));
    p.drawRect(QRectF(0.45 * w, 1.15 * h, 0.35 * w, 0.3 * h)); // a little house
    QPolygonF roof;
    roof << QPointF(0.4 * w, 1.17 * h) << QPointF(0.625 * w, 0.95 * h)
         << QPointF(0.85 * w, 1.17 * h);
    p.setBrush(QColor(Palette[15]));
    p.drawPolygon(roof);
    p.restore();
}

QRgb nearestPaletteColour(QRgb c)
{
    int best = 0;
    long bestDistance = -1;
    for (int i = 0; i < 16; ++i) {
        const long dr = qRed(c) - qRed(Palette[i]), dg = qGreen(c) - qGreen(Palette[i]),
                   db = qBlue(c) - qBlue(Palette[i]);
        const long d = dr * dr * 3 + dg * dg * 4 + db * db * 2;
        if (bestDistance < 0 || d < bestDistance) {
            bestDistance = d;
            best = i;
        }
    }
    return Palette[best];
}

} // namespace

QImage paintIcon(int size)
{
    QImage icon(size, size, QImage::Format_ARGB32);
    icon.fill(Qt::transparent);
    QPainter p(&icon);
    p.setRenderHint(QPainter::Antialiasing, size > 32);
    const double s = size;
    const double frame = std::max(1.0, s / 16);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(Palette[1]));
    p.drawRoundedRect(QRectF(0, 0, s, s), s / 8, s / 8);
    const double inner = s - 2 * frame;
    const double cell = inner / 2;
    for (int q = 0; q < 4; ++q) {
        const QRectF r(frame + (q % 2) * cell, frame + (q / 2) * cell, cell, cell);
        if (q == 1)
            continue; // the lifted tile is drawn last
        drawQuarter(p, r.adjusted(0.5, 0.5, -0.5, -0.5), q, false);
    }
    // The lifted, mirrored tile, a little out of place with a white edge and a shadow.
    const QRectF lifted(frame + cell - s / 16, frame - s / 32, cell, cell);
    p.setBrush(QColor(0, 0, 0, 140));
    p.drawRect(lifted.translated(s / 32, s / 32));
    p.setBrush(QColor(Palette[13]));
    p.drawRect(lifted.adjusted(-s / 32, -s / 32, s / 32, s / 32));
    drawQuarter(p, lifted, 1, true);
    p.end();
    return icon;
}

QImage sixteenColourIcon()
{
    const QImage drawn = paintIcon(32);
    QImage icon(32, 32, QImage::Format_Indexed8);
    QList<QRgb> table;
    for (QRgb c : Palette)
        table << qRgba(qRed(c), qGreen(c), qBlue(c), 255);
    table << qRgba(0, 0, 0, 0); // the see-through corners
    icon.setColorTable(table);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            const QRgb c = drawn.pixel(x, y);
            if (qAlpha(c) < 128) {
                icon.setPixel(x, y, 16);
                continue;
            }
            const QRgb n = nearestPaletteColour(c);
            for (int i = 0; i < 16; ++i)
                if (Palette[i] == n)
                    icon.setPixel(x, y, uint(i));
        }
    return icon;
}

} // namespace datagen
