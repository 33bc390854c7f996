// Level 6: a city skyline with a slender tower and its round top, the snowy Rockies behind, a
// river with the city mirrored in it and a park bank in front.
#include "Features.h"
#include "Painting.h"
#include "Scenes.h"
#include "SeededRandom.h"
#include "Terrain.h"

#include <QPainter>

namespace datagen {
namespace {

constexpr int RiverTop = 318;

void paintTowers(QPainter &p)
{
    SeededRandom random(66);
    const QColor glass[] = {QColor(70, 110, 150), QColor(60, 70, 84), QColor(150, 160, 170),
                            QColor(100, 130, 110), QColor(170, 140, 110)};
    for (int layer = 0; layer < 2; ++layer)
        for (int i = 0; i < 17; ++i) {
            const double w = random.uniform(22, 46);
            const double x = 60 + i * 30 + random.uniform(-10, 10) + layer * 12;
            const double top = layer == 0 ? random.uniform(110, 200) : random.uniform(170, 260);
            const QColor wall = glass[random.between(0, 4)].lighter(layer == 0 ? 90 : 110);
            p.setPen(Qt::NoPen);
            QLinearGradient g(x, 0, x + w, 0);
            g.setColorAt(0, wall.lighter(120));
            g.setColorAt(1, wall.darker(130));
            p.setBrush(g);
            p.drawRect(QRectF(x, top, w, RiverTop - top));
            if (random.chance(0.3)) { // a stepped crown
                p.drawRect(QRectF(x + w * 0.2, top - 12, w * 0.6, 12));
            }
            drawWindowGrid(p, QRectF(x + 2, top + 3, w - 4, RiverTop - top - 6), int(w / 6),
                           int((RiverTop - top) / 6), wall.darker(115), wall.darker(160),
                           QColor(240, 220, 160), 0.15, uint32_t(500 + layer * 50 + i));
        }
}

void paintTallTower(QPainter &p, double x)
{
    const QColor concrete(214, 208, 196);
    QLinearGradient g(x - 10, 0, x + 10, 0);
    g.setColorAt(0, concrete.lighter(110));
    g.setColorAt(1, concrete.darker(140));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    QPolygonF shaft;
    shaft << QPointF(x - 5, 84) << QPointF(x + 5, 84) << QPointF(x + 11, RiverTop)
          << QPointF(x - 11, RiverTop);
    p.drawPolygon(shaft);
    p.setBrush(QColor(120, 116, 110));
    for (double y = 100; y < RiverTop; y += 24)
        p.drawRect(QRectF(x - 1, y, 2, 12)); // lift shaft windows
    // The round top: observation deck, windows, restaurant and the red crown.
    p.setBrush(QColor(90, 90, 96));
    p.drawEllipse(QRectF(x - 24, 62, 48, 26));
    p.setBrush(QColor(60, 80, 110));
    p.drawRect(QRectF(x - 24, 68, 48, 10));
    p.setBrush(QColor(250, 220, 150));
    for (int i = 0; i < 8; ++i)
        p.drawRect(QRectF(x - 22 + i * 5.8, 70, 3, 6));
    p.setBrush(QColor(196, 40, 40));
    p.drawEllipse(QRectF(x - 18, 54, 36, 12));
    p.setBrush(QColor(200, 200, 200));
    p.drawRect(QRectF(x - 1.5, 26, 3, 30)); // mast
}

} // namespace

QImage paintCalgary()
{
    QImage image = newCanvas();
    paintSky(image, RiverTop,
             {QColor(36, 90, 170), QColor(210, 220, 236), QColor(255, 255, 255),
              QColor(150, 160, 180), 0.58, 75.0, 3.0, 6});
    paintMountains(image, ridge(600, 170, 70, 70, 61, 6), RiverTop,
                   {QColor(170, 176, 196), QColor(86, 96, 126), QColor(255, 255, 255),
                    QColor(180, 196, 224), 60, 0.3, QColor(200, 214, 236), 62});
    paintMountains(image, ridge(600, 250, 24, 120, 63, 4), RiverTop,
                   {QColor(150, 150, 110), QColor(80, 90, 70), QColor(220, 220, 200),
                    QColor(160, 160, 150), 0, 0.15, QColor(200, 214, 236), 64});
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        paintTowers(p);
        paintTallTower(p, 236);
        SeededRandom random(9);
        for (int i = 0; i < 40; ++i) // trees along the far bank
            drawLeafyTree(p, random.uniform(0, 600), RiverTop + 2, random.uniform(16, 28),
                          QColor(60, 110, 50), uint32_t(700 + i));
    }
    paintReflection(image, RiverTop, 450, {QColor(50, 90, 100), 0.6, 4.0, 5.0, 16});
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        QPainterPath bank;
        bank.moveTo(0, 392);
        bank.cubicTo(200, 380, 400, 404, 600, 386);
        bank.lineTo(600, 450);
        bank.lineTo(0, 450);
        QLinearGradient grass(0, 380, 0, 450);
        grass.setColorAt(0, QColor(120, 160, 70));
        grass.setColorAt(1, QColor(70, 120, 44));
        p.fillPath(bank, grass);
        QPainterPath trail; // a footpath along the bank
        trail.moveTo(0, 418);
        trail.cubicTo(200, 404, 420, 430, 600, 410);
        p.strokePath(trail, QPen(QColor(200, 180, 150), 7));
        SeededRandom random(10);
        for (int i = 0; i < 7; ++i)
            drawLeafyTree(p, 30 + i * 90 + random.uniform(-20, 20), 450, random.uniform(70, 100),
                          QColor(70, 120, 46), uint32_t(800 + i));
        p.end();
        addGrain(image, bank, 20, 2.5, 65, 0.6);
    }
    return image;
}

} // namespace datagen
