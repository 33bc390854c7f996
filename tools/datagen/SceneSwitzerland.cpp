// Level 2: snowy peaks over a lake, a wooded lower range, a village with a church on the shore
// and a meadow with pines in front.
#include "Features.h"
#include "Painting.h"
#include "Scenes.h"
#include "SeededRandom.h"
#include "Terrain.h"

#include <QPainter>

namespace datagen {
namespace {

void paintChalet(QPainter &p, double x, double baseY, double w, SeededRandom &random)
{
    const double h = w * random.uniform(0.55, 0.75);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(236, 230, 218));
    p.drawRect(QRectF(x, baseY - h * 0.45, w, h * 0.45)); // plastered ground floor
    p.setBrush(QColor(128, 74, 40).darker(100 + random.between(0, 40)));
    p.drawRect(QRectF(x, baseY - h, w, h * 0.55)); // timber upper floor
    drawWindowGrid(p, QRectF(x + 2, baseY - h * 0.95, w - 4, h * 0.9), int(w / 9) + 1, 2,
                   QColor(250, 246, 236), QColor(60, 70, 90), QColor(230, 200, 120), 0.2,
                   uint32_t(x * 13));
    QPolygonF roof;
    roof << QPointF(x - w * 0.12, baseY - h) << QPointF(x + w / 2, baseY - h - w * 0.32)
         << QPointF(x + w * 1.12, baseY - h);
    p.setBrush(QColor(90, 60, 50));
    p.drawPolygon(roof);
    p.setBrush(QColor(246, 248, 252)); // snow on the roof
    QPolygonF snow;
    snow << QPointF(x + w * 0.05, baseY - h - w * 0.08) << QPointF(x + w / 2, baseY - h - w * 0.3)
         << QPointF(x + w * 0.95, baseY - h - w * 0.08);
    p.drawPolygon(snow);
}

void paintChurch(QPainter &p, double x, double baseY)
{
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(240, 236, 226));
    p.drawRect(QRectF(x, baseY - 34, 46, 34));
    p.drawRect(QRectF(x + 46, baseY - 70, 16, 70)); // tower
    QPolygonF nave;
    nave << QPointF(x - 3, baseY - 34) << QPointF(x + 23, baseY - 52)
         << QPointF(x + 49, baseY - 34);
    p.setBrush(QColor(70, 60, 58));
    p.drawPolygon(nave);
    QPolygonF spire;
    spire << QPointF(x + 44, baseY - 70) << QPointF(x + 54, baseY - 108)
          << QPointF(x + 64, baseY - 70);
    p.setBrush(QColor(40, 90, 70));
    p.drawPolygon(spire);
    p.setBrush(QColor(40, 40, 50));
    p.drawEllipse(QPointF(x + 54, baseY - 60), 4, 4); // clock
    p.setBrush(QColor(230, 200, 80));
    p.drawEllipse(QPointF(x + 54, baseY - 60), 2.2, 2.2);
    for (int i = 0; i < 3; ++i)
        drawArchOpening(p, x + 6 + i * 13, baseY - 28, 7, baseY - 12, QColor(60, 70, 100));
}

} // namespace

QImage paintSwitzerland()
{
    QImage image = newCanvas();
    paintSky(image, 300,
             {QColor(40, 96, 186), QColor(186, 214, 240), QColor(255, 255, 255),
              QColor(160, 172, 196), 0.58, 70.0, 2.4, 2});
    const QColor air(176, 200, 228);
    paintMountains(image, ridge(600, 150, 105, 150, 21, 6), 300,
                   {QColor(134, 120, 112), QColor(52, 50, 62), QColor(255, 255, 255),
                    QColor(160, 180, 212), 58, 0.18, air, 3});
    paintMountains(image, ridge(600, 236, 30, 90, 23, 5), 300,
                   {QColor(70, 112, 70), QColor(26, 52, 36), QColor(230, 236, 240),
                    QColor(150, 170, 180), 6, 0.12, air, 4});
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        SeededRandom random(5);
        for (int i = 0; i < 70; ++i) // forest on the lower slopes
            drawPine(p, random.uniform(0, 600), random.uniform(262, 296), random.uniform(16, 30),
                     QColor(30, 70, 42));
    }
    paintReflection(image, 298, 450, {QColor(40, 90, 110), 0.7, 5.0, 6.0, 9});
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        // The near shore: meadow rising to the viewer.
        QPainterPath meadow;
        meadow.moveTo(0, 352);
        meadow.cubicTo(150, 338, 330, 348, 600, 330);
        meadow.lineTo(600, 450);
        meadow.lineTo(0, 450);
        QLinearGradient green(0, 330, 0, 450);
        green.setColorAt(0, QColor(120, 170, 70));
        green.setColorAt(1, QColor(60, 120, 40));
        p.fillPath(meadow, green);
        SeededRandom random(8);
        for (int i = 0; i < 11; ++i)
            paintChalet(p, 150 + i * 36 + random.uniform(-6, 6),
                        352 + random.uniform(-14, 8) - i * 1.5, random.uniform(22, 32), random);
        paintChurch(p, 80, 356);
        for (int i = 0; i < 9; ++i)
            drawPine(p, 20 + i * 68 + random.uniform(-10, 10), 440 + random.uniform(-15, 10),
                     random.uniform(60, 110), QColor(26, 74, 40));
        for (int i = 0; i < 260; ++i) { // wild flowers
            const double y = random.uniform(372, 450);
            p.setPen(Qt::NoPen);
            p.setBrush(random.chance(0.5)
                           ? QColor(250, 250, 240)
                           : (random.chance(0.5) ? QColor(240, 200, 40) : QColor(200, 80, 160)));
            const double r = 0.8 + (y - 372) / 40.0;
            p.drawEllipse(QPointF(random.uniform(0, 600), y), r, r);
        }
        p.end();
        addGrain(image, meadow, 18, 2.5, 31, 0.6);
    }
    return image;
}

} // namespace datagen
