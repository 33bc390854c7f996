// Trees, windows, columns, arches and roofs drawn with QPainter.
#include "Features.h"

#include "SeededRandom.h"

#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>

#include <cmath>

namespace datagen {

void drawLeafyTree(QPainter &p, double x, double baseY, double size, const QColor &leaf,
                   uint32_t seed)
{
    SeededRandom random(seed);
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(70, 50, 35));
    p.drawRect(QRectF(x - size * 0.06, baseY - size * 0.5, size * 0.12, size * 0.5));
    const int lumps = 14;
    for (int i = 0; i < lumps; ++i) {
        const double a = random.uniform(0, 6.2832);
        const double r = random.uniform(0, size * 0.32);
        const double cx = x + std::cos(a) * r;
        const double cy = baseY - size * 0.78 + std::sin(a) * r * 0.8;
        const double rad = size * random.uniform(0.16, 0.26);
        QRadialGradient g(cx - rad * 0.4, cy - rad * 0.4, rad * 1.4);
        g.setColorAt(0, leaf.lighter(150));
        g.setColorAt(0.6, leaf);
        g.setColorAt(1, leaf.darker(190));
        p.setBrush(g);
        p.drawEllipse(QPointF(cx, cy), rad, rad * 0.9);
    }
    p.restore();
}

void drawCypress(QPainter &p, double x, double baseY, double height, const QColor &leaf)
{
    const double w = height * 0.16;
    QPainterPath path;
    path.moveTo(x, baseY - height);
    path.cubicTo(x + w * 0.9, baseY - height * 0.7, x + w * 0.7, baseY - height * 0.15, x, baseY);
    path.cubicTo(x - w * 0.7, baseY - height * 0.15, x - w * 0.9, baseY - height * 0.7, x,
                 baseY - height);
    QLinearGradient g(x - w * 0.6, 0, x + w * 0.6, 0);
    g.setColorAt(0, leaf.lighter(140));
    g.setColorAt(1, leaf.darker(200));
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawPath(path);
    p.restore();
}

void drawPine(QPainter &p, double x, double baseY, double height, const QColor &needles)
{
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(60, 40, 30));
    p.drawRect(QRectF(x - height * 0.03, baseY - height * 0.15, height * 0.06, height * 0.15));
    const int tiers = 5;
    for (int i = 0; i < tiers; ++i) {
        const double t = double(i) / tiers;
        const double bottom = baseY - height * (0.1 + 0.8 * t);
        const double half = height * 0.28 * (1.0 - t * 0.75);
        QPolygonF tier;
        tier << QPointF(x - half, bottom) << QPointF(x, bottom - height * 0.32)
             << QPointF(x + half, bottom);
        QLinearGradient g(x - half, 0, x + half, 0);
        g.setColorAt(0, needles.lighter(130));
        g.setColorAt(1, needles.darker(170));
        p.setBrush(g);
        p.drawPolygon(tier);
    }
    p.restore();
}

void drawWindowGrid(QPainter &p, const QRectF &area, int columns, int rows, const QColor &frame,
                    const QColor &glass, const QColor &light, double lit, uint32_t seed)
{
    SeededRandom random(seed);
    const double cw = area.width() / columns;
    const double rh = area.height() / rows;
    p.save();
    p.setPen(Qt::NoPen);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c) {
            const QRectF cell(area.left() + c * cw + cw * 0.18, area.top() + r * rh + rh * 0.15,
                              cw * 0.64, rh * 0.7);
            p.setBrush(frame);
            p.drawRect(cell.adjusted(-1, -1, 1, 1));
            const QColor pane = random.chance(lit) ? light : glass;
            QLinearGradient g(cell.topLeft(), cell.bottomRight());
            g.setColorAt(0, pane.lighter(125));
            g.setColorAt(1, pane.darker(115));
            p.setBrush(g);
            p.drawRect(cell);
            if (cell.width() > 5 && cell.height() > 7) {
                p.setBrush(frame);
                p.drawRect(QRectF(cell.center().x() - 0.5, cell.top(), 1, cell.height()));
                p.drawRect(QRectF(cell.left(), cell.center().y() - 0.5, cell.width(), 1));
            }
        }
    p.restore();
}

void drawColumn(QPainter &p, const QRectF &shaft, const QColor &stone)
{
    p.save();
    p.setPen(Qt::NoPen);
    QLinearGradient g(shaft.left(), 0, shaft.right(), 0);
    g.setColorAt(0, stone.darker(115));
    g.setColorAt(0.35, stone.lighter(115));
    g.setColorAt(1, stone.darker(165));
    p.setBrush(g);
    p.drawRect(shaft);
    p.setBrush(stone.darker(125));
    p.drawRect(QRectF(shaft.left() - 2, shaft.bottom() - 3, shaft.width() + 4, 3));
    p.setBrush(stone.lighter(105));
    p.drawRect(QRectF(shaft.left() - 3, shaft.top(), shaft.width() + 6, 3));
    p.restore();
}

void drawArchOpening(QPainter &p, double left, double top, double width, double bottom,
                     const QColor &inside)
{
    QPainterPath path;
    const double r = width / 2;
    path.moveTo(left, bottom);
    path.lineTo(left, top + r);
    path.arcTo(QRectF(left, top, width, width), 180, -180);
    path.lineTo(left + width, bottom);
    path.closeSubpath();
    QLinearGradient g(0, top, 0, bottom);
    g.setColorAt(0, inside.darker(160));
    g.setColorAt(1, inside);
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawPath(path);
    p.restore();
}

void drawTiledRoof(QPainter &p, const QPolygonF &outline, const QColor &tile, double rowHeight)
{
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(tile);
    p.drawPolygon(outline);
    QPainterPath clip;
    clip.addPolygon(outline);
    p.setClipPath(clip);
    const QRectF box = outline.boundingRect();
    p.setPen(QPen(tile.darker(150), 1.0));
    for (double y = box.top() + rowHeight; y < box.bottom(); y += rowHeight)
        p.drawLine(QPointF(box.left(), y), QPointF(box.right(), y));
    p.setPen(QPen(tile.darker(125), 1.0));
    int row = 0;
    for (double y = box.top(); y < box.bottom(); y += rowHeight, ++row)
        for (double x = box.left() + (row % 2) * 3.0; x < box.right(); x += 6.0)
            p.drawLine(QPointF(x, y), QPointF(x, y + rowHeight));
    p.restore();
}

} // namespace datagen
