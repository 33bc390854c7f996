// Level 4: a harbour at sunset: the city's towers behind, the steel arch bridge on the left, the
// hall with its white sail roofs on its point on the right, ferries on the water.
#include "Features.h"
#include "Painting.h"
#include "Scenes.h"
#include "SeededRandom.h"

#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace datagen {
namespace {

constexpr int WaterLine = 276;

void paintSkyline(QPainter &p)
{
    SeededRandom random(44);
    for (int i = 0; i < 24; ++i) {
        const double w = random.uniform(18, 34);
        const double x = 160 + i * 17.0 + random.uniform(-6, 6);
        const double top = random.uniform(120, 220);
        const QColor wall = QColor(70, 78, 100).lighter(90 + random.between(0, 40));
        p.setPen(Qt::NoPen);
        p.setBrush(wall);
        p.drawRect(QRectF(x, top, w, WaterLine - top));
        drawWindowGrid(p, QRectF(x + 2, top + 4, w - 4, WaterLine - top - 8), int(w / 5),
                       int((WaterLine - top) / 7), wall.darker(120), QColor(50, 60, 84),
                       QColor(255, 214, 130), 0.45, uint32_t(100 + i));
    }
}

void paintBridge(QPainter &p)
{
    const QColor steel(58, 62, 70);
    const double left = -20, right = 330, deck = 236, crown = 120;
    auto archY = [&](double x, double rise) {
        const double t = (x - left) / (right - left) * 2 - 1;
        return deck - rise * (1 - t * t);
    };
    QPainterPath outer, inner;
    for (double x = left; x <= right; x += 2) {
        const double yo = archY(x, deck - crown), yi = archY(x, deck - crown - 22);
        if (x == left) {
            outer.moveTo(x, yo);
            inner.moveTo(x, yi);
        } else {
            outer.lineTo(x, yo);
            inner.lineTo(x, yi);
        }
    }
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(steel, 4));
    p.drawPath(outer);
    p.setPen(QPen(steel, 3));
    p.drawPath(inner);
    // Truss between the two chords, and hangers down to the deck.
    p.setPen(QPen(steel, 1.3));
    for (double x = left; x <= right; x += 11) {
        p.drawLine(QPointF(x, archY(x, deck - crown)),
                   QPointF(x + 11, archY(x + 11, deck - crown - 22)));
        p.drawLine(QPointF(x, archY(x, deck - crown - 22)), QPointF(x, archY(x, deck - crown)));
        if (archY(x, deck - crown - 22) < deck)
            p.drawLine(QPointF(x, archY(x, deck - crown - 22)), QPointF(x, deck));
    }
    p.setPen(Qt::NoPen);
    p.setBrush(steel.darker(120));
    p.drawRect(QRectF(-10, deck, 400, 7)); // deck
    p.setBrush(QColor(170, 150, 120));
    for (double x : {300.0, 340.0}) { // granite pylons
        p.drawRect(QRectF(x, 170, 26, WaterLine - 170));
        p.setBrush(QColor(140, 122, 98));
        p.drawRect(QRectF(x + 4, 180, 7, 40));
        p.setBrush(QColor(170, 150, 120));
    }
    SeededRandom random(3);
    for (double x = 0; x < 380; x += 7) { // traffic lights on the deck
        p.setBrush(random.chance(0.5) ? QColor(255, 230, 160) : QColor(230, 70, 60));
        p.drawEllipse(QPointF(x + random.uniform(0, 5), deck + 3), 1.2, 1.2);
    }
}

// One sail-roof shell: a curved blade leaning to one side, striped by its tiles.
void paintShell(QPainter &p, double baseLeft, double baseRight, double apexX, double apexY,
                double baseY, bool faceLit)
{
    QPainterPath shell;
    shell.moveTo(baseLeft, baseY);
    shell.quadTo(baseLeft + (apexX - baseLeft) * 0.2, apexY + (baseY - apexY) * 0.2, apexX, apexY);
    shell.quadTo(baseRight - (baseRight - apexX) * 0.1, apexY + (baseY - apexY) * 0.5, baseRight,
                 baseY);
    shell.closeSubpath();
    QLinearGradient g(baseLeft, apexY, baseRight, baseY);
    g.setColorAt(0, faceLit ? QColor(255, 246, 232) : QColor(214, 206, 196));
    g.setColorAt(1, faceLit ? QColor(226, 210, 190) : QColor(170, 164, 160));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawPath(shell);
    p.save();
    p.setClipPath(shell);
    p.setPen(QPen(QColor(160, 150, 140, 110), 0.8));
    for (int i = 1; i < 8; ++i) {
        const double t = i / 8.0;
        p.drawLine(QPointF(apexX, apexY), QPointF(baseLeft + (baseRight - baseLeft) * t, baseY));
    }
    p.restore();
}

void paintHall(QPainter &p)
{
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(186, 140, 110));
    p.drawRect(QRectF(392, 258, 208, 22)); // the podium on the point
    p.setBrush(QColor(150, 110, 86));
    for (int s = 0; s < 5; ++s)
        p.drawRect(QRectF(392, 262 + s * 3.6, 208, 1));
    p.setBrush(QColor(40, 30, 30));
    p.drawRect(QRectF(410, 240, 180, 18)); // glass walls under the shells
    paintShell(p, 560, 600, 590, 150, 258, false);
    paintShell(p, 520, 586, 548, 160, 258, true);
    paintShell(p, 470, 540, 512, 178, 258, true);
    paintShell(p, 430, 480, 468, 184, 258, false);
    paintShell(p, 400, 446, 424, 204, 258, true);
}

void paintFerry(QPainter &p, double x, double y, double s)
{
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(30, 90, 60));
    QPolygonF hull;
    hull << QPointF(x, y) << QPointF(x + 50 * s, y) << QPointF(x + 45 * s, y + 8 * s)
         << QPointF(x + 5 * s, y + 8 * s);
    p.drawPolygon(hull);
    p.setBrush(QColor(240, 220, 150));
    p.drawRect(QRectF(x + 8 * s, y - 9 * s, 34 * s, 9 * s));
    p.setBrush(QColor(60, 70, 90));
    for (int i = 0; i < 6; ++i)
        p.drawRect(QRectF(x + (10 + i * 5.4) * s, y - 7 * s, 3 * s, 4 * s));
}

} // namespace

QImage paintSydney()
{
    QImage image = newCanvas();
    paintSky(image, WaterLine,
             {QColor(60, 70, 140), QColor(250, 170, 110), QColor(255, 220, 180),
              QColor(170, 110, 120), 0.6, 85.0, 2.8, 4});
    paintGlow(image, 120, 230, 50, QColor(255, 210, 140), 0.5);
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        QPainterPath shore; // the far north shore with its trees
        shore.moveTo(0, 250);
        shore.cubicTo(100, 236, 200, 246, 300, 240);
        shore.lineTo(300, WaterLine);
        shore.lineTo(0, WaterLine);
        p.fillPath(shore, QColor(50, 66, 56));
        SeededRandom random(21);
        for (int i = 0; i < 40; ++i) // gum trees and houses along the shore
            drawLeafyTree(p, random.uniform(0, 300), random.uniform(252, 276),
                          random.uniform(12, 22), QColor(60, 84, 60), uint32_t(900 + i));
        for (int i = 0; i < 14; ++i) {
            p.setBrush(QColor(230, 210, 170).darker(100 + random.between(0, 60)));
            p.drawRect(QRectF(random.uniform(0, 290), random.uniform(256, 270), 6, 4));
        }
        paintSkyline(p);
        paintBridge(p);
        paintHall(p);
    }
    paintReflection(image, WaterLine, 450, {QColor(30, 50, 90), 0.65, 4.0, 7.0, 12});
    QPainterPath quay; // the quay in the foreground
    quay.moveTo(380, 450);
    quay.lineTo(600, 400);
    quay.lineTo(600, 450);
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        paintFerry(p, 220, 330, 1.2);
        paintFerry(p, 60, 390, 1.8);
        paintFerry(p, 420, 300, 0.8);
        p.fillPath(quay, QColor(150, 130, 110));
        p.setPen(QPen(QColor(100, 84, 70), 1));
        for (double x = 400; x < 600; x += 14) // joints between the quay's stones
            p.drawLine(QPointF(x, 450), QPointF(x + 8, 450 - (x - 380) * 50 / 220));
        p.setPen(QPen(QColor(200, 184, 160), 2));
        p.drawLine(QPointF(380, 450), QPointF(600, 400)); // the lit edge
    }
    addGrain(image, quay, 20, 2.0, 45);
    return image;
}

} // namespace datagen
