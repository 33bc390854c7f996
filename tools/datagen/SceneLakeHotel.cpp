// Level 5: a grand hotel with towers on a lake shore among trees and wooded hills, the whole
// scene mirrored in the calm water.
#include "Features.h"
#include "Painting.h"
#include "Scenes.h"
#include "SeededRandom.h"
#include "Terrain.h"

#include <QPainter>

namespace datagen {
namespace {

constexpr int Shore = 262;

const QColor Facade(238, 226, 200);
const QColor Trim(196, 120, 90);

void paintTower(QPainter &p, double x, double w, double top)
{
    p.setPen(Qt::NoPen);
    p.setBrush(Facade.darker(106));
    p.drawRect(QRectF(x, top, w, Shore - 8 - top));
    drawWindowGrid(p, QRectF(x + 3, top + 10, w - 6, Shore - 20 - top), 2, 7, Trim,
                   QColor(70, 90, 110), QColor(250, 210, 130), 0.25, uint32_t(x));
    QPolygonF spire;
    spire << QPointF(x - 4, top) << QPointF(x + w / 2, top - w * 1.3) << QPointF(x + w + 4, top);
    p.setBrush(QColor(60, 90, 100));
    p.drawPolygon(spire);
    p.setPen(QPen(QColor(60, 50, 40), 1.2));
    p.drawLine(QPointF(x + w / 2, top - w * 1.3), QPointF(x + w / 2, top - w * 1.3 - 14));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(200, 40, 40));
    p.drawRect(QRectF(x + w / 2, top - w * 1.3 - 14, 10, 6)); // flag
}

void paintHotel(QPainter &p)
{
    // Main block: five floors with balconies and a mansard roof with dormers.
    p.setPen(Qt::NoPen);
    p.setBrush(Facade);
    p.drawRect(QRectF(150, 150, 300, Shore - 158));
    drawWindowGrid(p, QRectF(156, 160, 288, 88), 18, 5, Trim, QColor(64, 84, 104),
                   QColor(250, 212, 140), 0.3, 51);
    p.setBrush(Trim.darker(110));
    for (int f = 0; f < 5; ++f)
        p.drawRect(QRectF(150, 176 + f * 17.6, 300, 2));
    QPolygonF mansard;
    mansard << QPointF(144, 152) << QPointF(160, 122) << QPointF(440, 122) << QPointF(456, 152);
    p.setBrush(QColor(70, 96, 110));
    p.drawPolygon(mansard);
    for (int d = 0; d < 11; ++d) {
        const double x = 170 + d * 25;
        p.setBrush(Facade);
        p.drawRect(QRectF(x, 130, 10, 14));
        p.setBrush(QColor(60, 70, 84));
        p.drawRect(QRectF(x + 2, 133, 6, 9));
    }
    // Entrance canopy and the name band.
    p.setBrush(QColor(150, 40, 40));
    p.drawRect(QRectF(270, 236, 60, 8));
    p.setBrush(QColor(120, 90, 40));
    p.drawRect(QRectF(240, 152, 120, 6));
    paintTower(p, 118, 36, 120);
    paintTower(p, 446, 36, 110);
    paintTower(p, 284, 32, 92);
    // Terrace along the water.
    p.setBrush(QColor(180, 170, 150));
    p.drawRect(QRectF(90, Shore - 8, 420, 8));
    p.setBrush(QColor(130, 120, 104));
    for (double x = 92; x < 510; x += 8)
        p.drawRect(QRectF(x, Shore - 14, 2, 6));
}

} // namespace

QImage paintLakeHotel()
{
    QImage image = newCanvas();
    paintSky(image, Shore,
             {QColor(50, 100, 176), QColor(230, 214, 196), QColor(255, 250, 240),
              QColor(170, 160, 170), 0.5, 95.0, 2.8, 5});
    paintMountains(image, ridge(600, 150, 40, 140, 51, 5), Shore,
                   {QColor(110, 140, 110), QColor(40, 70, 60), QColor(240, 240, 240),
                    QColor(180, 190, 200), 4, 0.3, QColor(170, 190, 210), 52});
    paintMountains(image, ridge(600, 200, 30, 70, 53, 5), Shore,
                   {QColor(80, 130, 60), QColor(30, 60, 36), QColor(200, 210, 200),
                    QColor(150, 160, 150), 0, 0.05, QColor(170, 190, 210), 54});
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        SeededRandom random(15);
        for (int i = 0; i < 40; ++i)
            drawLeafyTree(p, random.uniform(0, 600), Shore - random.uniform(0, 14),
                          random.uniform(30, 60), QColor(60, 110, 50), uint32_t(200 + i));
        paintHotel(p);
        for (int i = 0; i < 6; ++i) {
            const double x = i < 3 ? 10 + i * 34 : 480 + (i - 3) * 42;
            drawLeafyTree(p, x, Shore, random.uniform(80, 110), QColor(50, 100, 46),
                          uint32_t(300 + i));
        }
        drawCypress(p, 520, Shore, 120, QColor(36, 70, 40));
        drawCypress(p, 96, Shore, 100, QColor(36, 70, 40));
    }
    paintReflection(image, Shore, 450, {QColor(40, 80, 100), 0.82, 7.0, 4.0, 14});
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        // A jetty with a rowing boat.
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(110, 80, 56));
        QPolygonF jetty;
        jetty << QPointF(280, Shore) << QPointF(320, Shore) << QPointF(340, 330)
              << QPointF(270, 330);
        p.drawPolygon(jetty);
        p.setBrush(QColor(80, 56, 40));
        for (double y = Shore + 6; y < 330; y += 6)
            p.drawRect(QRectF(270, y, 72, 1));
        QPainterPath boat;
        boat.moveTo(360, 360);
        boat.quadTo(400, 380, 450, 360);
        boat.lineTo(440, 352);
        boat.lineTo(368, 352);
        boat.closeSubpath();
        p.fillPath(boat, QColor(170, 60, 40));
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(QColor(250, 250, 250, 120), 1));
        for (int i = 0; i < 4; ++i)
            p.drawEllipse(QPointF(405, 368), 60 + i * 16, 6 + i * 2);
    }
    return image;
}

} // namespace datagen
