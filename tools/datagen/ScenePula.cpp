// Level 7: a Roman amphitheatre by the sea: two storeys of arches and a top storey of square
// openings around an ellipse, four stair towers, pines, a paved square and the bay behind.
#include "Features.h"
#include "Painting.h"
#include "Scenes.h"
#include "SeededRandom.h"

#include <QPainter>

#include <cmath>

namespace datagen {
namespace {

constexpr double Centre = 290;
constexpr double Radius = 250; // half the width of the wall as seen
constexpr int Ground = 300;

const QColor Limestone(222, 204, 172);

// Bays of the curved wall: equal angles around the ellipse look narrower towards its ends.
double bayX(double angle) { return Centre + Radius * std::sin(angle); }

void paintSea(QImage &image)
{
    paintReflection(image, 212, 300, {QColor(40, 110, 150), 0.35, 3.0, 5.0, 71});
}

void paintArena(QPainter &p)
{
    const int bays = 26;
    const double span = 1.45;                       // radians each side of the centre
    const double tiers[4] = {Ground, 214, 136, 96}; // storey boundaries, ground up
    // The solid wall behind the openings, shaded towards its curving ends.
    for (int i = 0; i < bays; ++i) {
        const double a0 = -span + 2 * span * i / bays, a1 = -span + 2 * span * (i + 1) / bays;
        const double x0 = bayX(a0), x1 = bayX(a1);
        const double shade = 0.75 + 0.25 * std::cos((a0 + a1) / 2) + 0.08 * std::sin(a0 * 3);
        const QColor stone = Limestone.darker(int(100 / shade));
        p.setPen(Qt::NoPen);
        p.setBrush(stone);
        p.drawRect(QRectF(x0, tiers[3], x1 - x0 + 0.6, Ground - tiers[3]));
        const double w = x1 - x0;
        // Lower storeys: arches with the far side of the arena and the sky showing through.
        for (int t = 0; t < 2; ++t) {
            const double bottom = tiers[t] - (t == 0 ? 0 : 6), top = tiers[t + 1] + 8;
            const QColor inside = t == 0 ? QColor(90, 74, 60) : QColor(150, 180, 210);
            drawArchOpening(p, x0 + w * 0.18, top, w * 0.64, bottom, inside);
            if (t == 1) { // the far wall seen through the upper arches
                p.setBrush(Limestone.darker(135));
                p.drawRect(QRectF(x0 + w * 0.18, top + w * 0.5, w * 0.64, bottom - top - w * 0.5));
            }
            p.setBrush(stone.lighter(108)); // pilaster
            p.drawRect(QRectF(x0 - w * 0.05, top - 4, w * 0.1, bottom - top + 4));
        }
        // Top storey: square windows.
        p.setBrush(QColor(120, 150, 190));
        p.drawRect(QRectF(x0 + w * 0.3, tiers[3] + 12, w * 0.4, 18));
        p.setBrush(stone.darker(115)); // cornices between storeys
        for (int t = 1; t < 4; ++t)
            p.drawRect(QRectF(x0, tiers[t] - 3, w + 0.6, 4));
    }
    // Two of the four stair towers stand out of the wall.
    for (double angle : {-1.05, 0.62}) {
        const double x = bayX(angle);
        p.setBrush(Limestone.darker(108));
        p.drawRect(QRectF(x - 14, 86, 28, Ground - 86));
        p.setBrush(Limestone.darker(150));
        p.drawRect(QRectF(x + 8, 86, 6, Ground - 86));
        p.setBrush(QColor(70, 60, 52));
        for (int k = 0; k < 4; ++k)
            p.drawRect(QRectF(x - 5, 110 + k * 46, 8, 16));
    }
}

void paintSquare(QImage &image)
{
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, Ground, 0, 450);
    g.setColorAt(0, QColor(196, 180, 150));
    g.setColorAt(1, QColor(160, 140, 112));
    p.fillRect(QRectF(0, Ground, 600, 150), g);
    // Paving joints in perspective.
    p.setPen(QPen(QColor(120, 104, 84, 140), 1));
    for (double y = Ground, step = 4; y < 450; y += step, step *= 1.22)
        p.drawLine(QPointF(0, y), QPointF(600, y));
    for (int i = -30; i <= 30; ++i)
        p.drawLine(QPointF(Centre + i * 20, Ground), QPointF(Centre + i * 110, 450));
    SeededRandom random(17);
    for (double x : {24.0, 540.0, 580.0}) // umbrella pines
        drawLeafyTree(p, x, 440, random.uniform(150, 190), QColor(46, 80, 40), uint32_t(x));
    drawCypress(p, 470, 330, 110, QColor(36, 64, 34));
    drawCypress(p, 90, 326, 90, QColor(36, 64, 34));
    for (int i = 0; i < 12; ++i) { // visitors on the square
        const double x = random.uniform(120, 460), y = random.uniform(320, 420);
        const double s = (y - 280) / 60;
        p.setPen(Qt::NoPen);
        p.setBrush(QColor::fromHsv(random.between(0, 359), 150, 190));
        p.drawRect(QRectF(x, y - 14 * s, 5 * s, 10 * s));
        p.setBrush(QColor(60, 50, 44));
        p.drawRect(QRectF(x + 0.5 * s, y - 4 * s, 4 * s, 4 * s));
        p.setBrush(QColor(230, 190, 160));
        p.drawEllipse(QPointF(x + 2.5 * s, y - 16 * s), 2.2 * s, 2.2 * s);
    }
}

} // namespace

QImage paintPula()
{
    QImage image = newCanvas();
    paintSky(image, 212,
             {QColor(40, 110, 200), QColor(200, 222, 238), QColor(255, 255, 252),
              QColor(160, 170, 196), 0.46, 75.0, 2.4, 7});
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        QPainterPath hills; // the far shore of the bay
        hills.moveTo(0, 212);
        hills.cubicTo(150, 190, 300, 206, 600, 196);
        hills.lineTo(600, 212);
        p.fillPath(hills, QColor(110, 130, 140));
    }
    paintSea(image);
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        paintArena(p);
    }
    QPainterPath wall;
    wall.addRect(Centre - Radius, 86, 2 * Radius, Ground - 86);
    addGrain(image, wall, 18, 2.0, 72);
    paintSquare(image);
    QPainterPath square;
    square.addRect(0, Ground, 600, 150);
    addGrain(image, square, 14, 2.0, 73);
    return image;
}

} // namespace datagen
