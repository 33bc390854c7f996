// Level 3: white chalk cliffs receding along the coast, green downs on top, a lighthouse on the
// edge, the sea breaking on the shingle below.
#include "Features.h"
#include "Noise.h"
#include "Painting.h"
#include "Scenes.h"
#include "SeededRandom.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace datagen {
namespace {

constexpr int Horizon = 196;

// The cliff top: a row of rounded chalk heads falling into dry valleys, lower with distance.
double cliffTop(double x)
{
    const double t = x / 470.0;
    return 92 + t * 96 - std::abs(std::sin(x / (38.0 + t * 14.0))) * (30 - t * 22);
}

double cliffFoot(double x) { return 372 - (x / 470.0) * 170; }

void paintSea(QImage &image)
{
    for (int y = Horizon; y < 450; ++y) {
        auto *row = reinterpret_cast<QRgb *>(image.scanLine(y));
        const double d = (y - Horizon) / double(450 - Horizon);
        const QColor base = mixColour(QColor(120, 158, 190), QColor(30, 96, 112), std::pow(d, 0.6));
        for (int x = 0; x < 600; ++x) {
            const double wave = fractalNoise(x / (30.0 + d * 90), y / (1.5 + d * 10), 77, 4);
            const double crest = std::pow(std::max(0.0, wave - 0.55) / 0.45, 2.0);
            QColor c = mixColour(base.lighter(112), base.darker(150),
                                 std::clamp(1.4 - wave * 2.4, 0.0, 1.0));
            c = mixColour(c, QColor(235, 245, 248), crest * 0.85);
            row[x] = qRgb(c.red(), c.green(), c.blue());
        }
    }
}

} // namespace

QImage paintSussex()
{
    QImage image = newCanvas();
    paintSky(image, Horizon,
             {QColor(70, 124, 196), QColor(214, 226, 236), QColor(255, 255, 255),
              QColor(150, 162, 184), 0.6, 70.0, 2.2, 3});
    paintGlow(image, 470, 50, 40, QColor(255, 250, 230), 0.45);
    paintSea(image);

    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    // The downs behind the cliff edge.
    QPainterPath downs;
    downs.moveTo(0, 40);
    downs.cubicTo(160, 20, 330, 110, 600, 180);
    downs.lineTo(600, 190);
    for (double x = 470; x >= 0; x -= 2)
        downs.lineTo(x, cliffTop(x) + 1);
    downs.closeSubpath();
    QLinearGradient grass(0, 20, 0, 190);
    grass.setColorAt(0, QColor(110, 160, 70));
    grass.setColorAt(1, QColor(150, 180, 90));
    p.fillPath(downs, grass);
    // The chalk face.
    QPainterPath face;
    face.moveTo(0, cliffTop(0));
    for (double x = 0; x <= 470; x += 2)
        face.lineTo(x, cliffTop(x));
    face.lineTo(470, cliffFoot(470));
    for (double x = 470; x >= 0; x -= 2)
        face.lineTo(x, cliffFoot(x) + 6 * std::sin(x / 13.0));
    face.closeSubpath();
    QLinearGradient chalk(0, 0, 470, 0);
    chalk.setColorAt(0, QColor(238, 236, 226));
    chalk.setColorAt(1, QColor(214, 218, 222));
    p.fillPath(face, chalk);
    // Each chalk head is lit on its sunny side, shaded in the valley between.
    for (double x = 0; x < 470; x += 1) {
        const double shade = std::cos(x / (38.0 + x / 470.0 * 14.0) * 2.0);
        p.setPen(QPen(shade > 0 ? QColor(255, 255, 250, int(shade * 50))
                                : QColor(120, 120, 130, int(-shade * 70)),
                      1));
        p.drawLine(QPointF(x, cliffTop(x) + 2), QPointF(x, cliffFoot(x)));
    }
    p.setPen(Qt::NoPen);
    // Sea spray and weed stain the lower face grey-green; the top stays bright.
    QLinearGradient stain(0, 90, 0, 372);
    stain.setColorAt(0, QColor(255, 250, 235, 0));
    stain.setColorAt(0.55, QColor(150, 150, 140, 50));
    stain.setColorAt(1, QColor(80, 96, 70, 170));
    p.fillPath(face, stain);
    // Falls of chalk and small caves along the foot.
    SeededRandom caves(23);
    for (int i = 0; i < 9; ++i) {
        const double x = 20 + i * 50 + caves.uniform(-10, 10);
        const double foot = cliffFoot(x);
        const double h = (foot - cliffTop(x)) * caves.uniform(0.08, 0.2);
        p.setBrush(QColor(70, 72, 66, 200));
        p.drawEllipse(QRectF(x, foot - h, h * 0.8, h * 1.2));
    }
    // Flint bands across the face.
    for (int band = 1; band < 9; ++band) {
        QPainterPath line;
        for (double x = 0; x <= 470; x += 4) {
            const double y = cliffTop(x) + (cliffFoot(x) - cliffTop(x)) * band / 9.0;
            if (x == 0)
                line.moveTo(x, y);
            else
                line.lineTo(x, y);
        }
        p.strokePath(line, QPen(QColor(120, 118, 110, 120), 1.2 - band * 0.08));
    }
    // The lighthouse on the first head.
    const double lx = 180, ly = cliffTop(180) - 2;
    p.setBrush(QColor(250, 250, 246));
    p.drawRect(QRectF(lx - 7, ly - 42, 14, 42));
    p.setBrush(QColor(40, 40, 44));
    p.drawRect(QRectF(lx - 9, ly - 48, 18, 6));
    p.setBrush(QColor(250, 230, 150));
    p.drawRect(QRectF(lx - 5, ly - 56, 10, 8));
    p.setBrush(QColor(180, 40, 36));
    p.drawEllipse(QRectF(lx - 6, ly - 62, 12, 10));
    p.setBrush(QColor(246, 244, 236));
    p.drawRect(QRectF(lx - 26, ly - 16, 19, 16)); // keeper's cottage
    // Shingle beach and foam along the foot.
    QPainterPath beach;
    beach.moveTo(0, cliffFoot(0) - 6);
    for (double x = 0; x <= 480; x += 4)
        beach.lineTo(x, cliffFoot(x) - 4 + 6 * std::sin(x / 13.0));
    beach.lineTo(480, cliffFoot(480) + 22);
    beach.cubicTo(300, 320, 120, 420, 0, 450);
    beach.closeSubpath();
    p.fillPath(beach, QColor(168, 150, 124));
    SeededRandom random(19);
    for (int i = 0; i < 60; ++i) {
        const double x = random.uniform(0, 470);
        const double y = cliffFoot(x) + random.uniform(4, 20) + (470 - x) / 8;
        p.setBrush(QColor(250, 252, 252, 200));
        p.drawEllipse(QPointF(x, y), random.uniform(6, 20), random.uniform(1, 3));
    }
    // Sailing boats, the nearest one large in the foreground.
    const double boats[4][3] = {
        {390, 232, 0.8},
        {455, 262, 1.0},
        {540, 300, 1.2},
        {400, 380, 2.6}
    };
    for (const auto &[bx, by, s] : boats) {
        p.setBrush(QColor(60, 40, 30));
        QPolygonF hull;
        hull << QPointF(bx, by) << QPointF(bx + 30 * s, by) << QPointF(bx + 26 * s, by + 6 * s)
             << QPointF(bx + 4 * s, by + 6 * s);
        p.drawPolygon(hull);
        p.setBrush(QColor(250, 250, 244));
        QPolygonF sail;
        sail << QPointF(bx + 12 * s, by - 34 * s) << QPointF(bx + 12 * s, by - 2 * s)
             << QPointF(bx + 28 * s, by - 2 * s);
        p.drawPolygon(sail);
        p.setBrush(QColor(200, 60, 50));
        QPolygonF jib;
        jib << QPointF(bx + 11 * s, by - 30 * s) << QPointF(bx + 11 * s, by - 2 * s)
            << QPointF(bx + 2 * s, by - 2 * s);
        p.drawPolygon(jib);
        p.setBrush(QColor(240, 250, 250, 160)); // wake
        p.drawEllipse(QPointF(bx - 8 * s, by + 6 * s), 14 * s, 1.5 * s);
    }
    p.end();
    addGrain(image, face, 30, 6.0, 41, 0.15);
    addGrain(image, downs, 18, 4.0, 42, 1.5);
    addGrain(image, beach, 26, 1.5, 43);
    return image;
}

} // namespace datagen
