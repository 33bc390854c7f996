// Level 1: a Palladian villa on its podium, a temple front of six columns, arcaded wings, tall
// trees behind and a striped lawn with a gravel path in front.
#include "Features.h"
#include "Painting.h"
#include "Scenes.h"
#include "SeededRandom.h"

#include <QLinearGradient>
#include <QPainter>

#include <cmath>

namespace datagen {
namespace {

const QColor Plaster(236, 224, 196);
const QColor Stone(222, 214, 198);
const QColor RoofTile(172, 82, 52);

void paintLawn(QImage &image)
{
    QPainter p(&image);
    // Mowing stripes that fan out from the villa towards the viewer.
    for (int i = -12; i <= 12; ++i) {
        QPolygonF band;
        const double x0 = 300 + i * 30.0, x1 = 300 + (i + 1) * 30.0;
        band << QPointF(x0, 286) << QPointF(x1, 286) << QPointF(300 + (x1 - 300) * 7.0, 450)
             << QPointF(300 + (x0 - 300) * 7.0, 450);
        p.setPen(Qt::NoPen);
        p.setBrush(i % 2 ? QColor(92, 150, 58) : QColor(70, 128, 44));
        p.drawPolygon(band);
    }
    QLinearGradient haze(0, 286, 0, 450);
    haze.setColorAt(0, QColor(190, 210, 170, 90));
    haze.setColorAt(1, QColor(0, 40, 0, 40));
    p.fillRect(QRectF(0, 286, 600, 164), haze);
    // The gravel path from the stairs, widening towards the viewer.
    QPolygonF path;
    path << QPointF(272, 300) << QPointF(328, 300) << QPointF(400, 450) << QPointF(200, 450);
    QLinearGradient gravel(0, 300, 0, 450);
    gravel.setColorAt(0, QColor(214, 200, 170));
    gravel.setColorAt(1, QColor(186, 168, 134));
    p.setBrush(gravel);
    p.drawPolygon(path);
    // Clipped box hedges and flower beds along the path.
    SeededRandom random(11);
    for (int side : {-1, 1}) {
        for (int k = 0; k < 4; ++k) {
            const double t = k / 3.0;
            const double y = 318 + t * t * 100;
            const double x = 300 + side * (58 + t * 120);
            const double s = 9 + t * 22;
            QRadialGradient g(x - s * 0.3, y - s * 0.5, s * 1.3);
            g.setColorAt(0, QColor(70, 140, 60));
            g.setColorAt(1, QColor(24, 66, 26));
            p.setBrush(g);
            p.drawEllipse(QPointF(x, y), s, s * 0.75);
            for (int f = 0; f < 10 + k * 6; ++f) {
                p.setBrush(random.chance(0.5) ? QColor(214, 60, 70) : QColor(245, 210, 80));
                const double fx = x + side * random.uniform(s, s * 3.2);
                const double fy = y + random.uniform(-s * 0.4, s * 0.6);
                p.drawEllipse(QPointF(fx, fy), 1.2 + t * 1.6, 1.2 + t * 1.6);
            }
        }
    }
    p.end();
    QPainterPath lawn;
    lawn.addRect(0, 286, 600, 164);
    addGrain(image, lawn, 22, 3.0, 101, 0.5);
}

void paintWing(QPainter &p, double from, double to, bool left)
{
    // A long low arcade that recedes in a curve: arches shrink towards the outer end.
    const int arches = 7;
    const double baseY = 286;
    for (int i = 0; i < arches; ++i) {
        const double t0 = double(i) / arches, t1 = double(i + 1) / arches;
        const double shrink0 = left ? 0.7 + 0.3 * t0 : 1.0 - 0.3 * t0;
        const double shrink1 = left ? 0.7 + 0.3 * t1 : 1.0 - 0.3 * t1;
        const double x0 = from + (to - from) * t0, x1 = from + (to - from) * t1;
        const double h0 = 62 * shrink0, h1 = 62 * shrink1;
        QPolygonF bay;
        bay << QPointF(x0, baseY - h0) << QPointF(x1, baseY - h1) << QPointF(x1, baseY)
            << QPointF(x0, baseY);
        p.setPen(Qt::NoPen);
        p.setBrush(Plaster.darker(104 + i % 2 * 3));
        p.drawPolygon(bay);
        const double w = (x1 - x0) * 0.62;
        const double h = std::min(h0, h1);
        drawArchOpening(p, (x0 + x1) / 2 - w / 2, baseY - h * 0.78, w, baseY, QColor(96, 82, 66));
        QPolygonF roof;
        roof << QPointF(x0, baseY - h0) << QPointF(x1, baseY - h1)
             << QPointF(x1, baseY - h1 - 14 * shrink1) << QPointF(x0, baseY - h0 - 14 * shrink0);
        drawTiledRoof(p, roof, RoofTile.lighter(100 + i * 3), 3.5);
    }
}

void paintVilla(QPainter &p)
{
    p.setRenderHint(QPainter::Antialiasing);
    paintWing(p, 18, 196, true);
    paintWing(p, 404, 582, false);
    // End pavilions of the wings.
    for (double x : {6.0, 562.0}) {
        p.setPen(Qt::NoPen);
        p.setBrush(Plaster.darker(110));
        p.drawRect(QRectF(x, 214, 34, 72));
        drawWindowGrid(p, QRectF(x + 4, 226, 26, 44), 1, 2, Plaster.darker(130), QColor(70, 80, 90),
                       QColor(90, 110, 120), 0.3, uint32_t(x) + 3);
        QPolygonF cap;
        cap << QPointF(x - 4, 214) << QPointF(x + 17, 196) << QPointF(x + 38, 214);
        drawTiledRoof(p, cap, RoofTile, 3.5);
    }
    // Podium and the wide stair.
    QLinearGradient podium(0, 256, 0, 300);
    podium.setColorAt(0, Stone);
    podium.setColorAt(1, Stone.darker(125));
    p.setBrush(podium);
    p.drawRect(QRectF(192, 258, 216, 42));
    for (int s = 0; s < 9; ++s) {
        const double y = 262 + s * 4.2;
        const double half = 58 + s * 1.6;
        p.setBrush(s % 2 ? Stone.lighter(108) : Stone.darker(112));
        p.drawRect(QRectF(300 - half, y, half * 2, 4.2));
    }
    // Main block with its hipped roof.
    QLinearGradient wall(205, 0, 395, 0);
    wall.setColorAt(0, Plaster.darker(108));
    wall.setColorAt(1, Plaster.lighter(104));
    p.setBrush(wall);
    p.drawRect(QRectF(205, 132, 190, 128));
    QPolygonF roof;
    roof << QPointF(198, 134) << QPointF(232, 104) << QPointF(368, 104) << QPointF(402, 134);
    drawTiledRoof(p, roof, RoofTile, 4.0);
    for (double cx : {236.0, 364.0}) { // chimneys
        p.setBrush(Plaster.darker(120));
        p.drawRect(QRectF(cx - 5, 92, 10, 16));
    }
    for (double x : {210.0, 368.0}) {
        drawWindowGrid(p, QRectF(x, 150, 22, 96), 1, 2, Plaster.darker(135), QColor(60, 70, 80),
                       QColor(95, 120, 130), 0.25, uint32_t(x));
    }
    // The loggia behind the columns, the columns, the entablature and the pediment.
    QLinearGradient loggia(0, 190, 0, 262);
    loggia.setColorAt(0, QColor(92, 82, 70));
    loggia.setColorAt(1, QColor(150, 134, 112));
    p.setBrush(loggia);
    p.drawRect(QRectF(238, 190, 124, 70));
    p.setBrush(QColor(60, 46, 38));
    p.drawRect(QRectF(288, 214, 24, 46)); // door
    drawWindowGrid(p, QRectF(246, 208, 36, 40), 1, 1, Plaster.darker(140), QColor(50, 56, 62),
                   QColor(80, 90, 96), 0.0, 5);
    drawWindowGrid(p, QRectF(318, 208, 36, 40), 1, 1, Plaster.darker(140), QColor(50, 56, 62),
                   QColor(80, 90, 96), 0.0, 6);
    for (int c = 0; c < 6; ++c)
        drawColumn(p, QRectF(236 + c * 23.6, 192, 11, 68), Stone);
    p.setBrush(Stone.lighter(104));
    p.drawRect(QRectF(230, 180, 140, 12));
    p.setBrush(Stone.darker(118));
    p.drawRect(QRectF(230, 189, 140, 3));
    QPolygonF pediment;
    pediment << QPointF(226, 181) << QPointF(300, 148) << QPointF(374, 181);
    p.setBrush(Stone);
    p.drawPolygon(pediment);
    QPolygonF tympanum;
    tympanum << QPointF(238, 178) << QPointF(300, 154) << QPointF(362, 178);
    p.setBrush(Stone.darker(112));
    p.drawPolygon(tympanum);
    p.setBrush(QColor(120, 110, 96));
    p.drawEllipse(QPointF(300, 169), 7, 5);  // the round window in the gable
    for (double x : {226.0, 300.0, 374.0}) { // statues on the gable
        const double y = x == 300.0 ? 148 : 181;
        p.setBrush(Stone.lighter(110));
        p.drawRect(QRectF(x - 3, y - 16, 6, 16));
        p.drawEllipse(QPointF(x, y - 19), 3, 3);
    }
}

} // namespace

QImage paintBadoer()
{
    QImage image = newCanvas();
    paintSky(image, 300,
             {QColor(58, 110, 190), QColor(190, 212, 232), QColor(255, 252, 244),
              QColor(150, 160, 182), 0.6, 90.0, 2.4, 1});
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        // A distant band of woodland along the horizon, then tall poplars and round trees.
        SeededRandom random(7);
        for (int i = 0; i < 46; ++i)
            drawLeafyTree(p, i * 13.5 + random.uniform(-4, 4), 290, random.uniform(48, 90),
                          QColor(62, 96, 50).darker(100 + random.between(0, 30)),
                          uint32_t(100 + i));
        for (double x : {120.0, 150.0, 450.0, 480.0, 540.0, 70.0})
            drawCypress(p, x, 286, random.uniform(120, 170), QColor(40, 70, 38));
        paintVilla(p);
    }
    QPainterPath walls;
    walls.addRect(0, 90, 600, 196);
    addGrain(image, walls, 10, 2.0, 55);
    paintLawn(image);
    return image;
}

} // namespace datagen
