// Per-pixel painting of skies, water and grain, and ridge outlines for hills and mountains.
#include "Painting.h"

#include "Noise.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace datagen {
namespace {

double clamp01(double v) { return std::clamp(v, 0.0, 1.0); }

int channel(double v) { return int(std::clamp(v, 0.0, 255.0) + 0.5); }

double smoothStep(double edge0, double edge1, double x)
{
    const double t = clamp01((x - edge0) / (edge1 - edge0));
    return t * t * (3.0 - 2.0 * t);
}

} // namespace

QColor mixColour(const QColor &a, const QColor &b, double t)
{
    t = clamp01(t);
    return QColor(channel(a.red() + (b.red() - a.red()) * t),
                  channel(a.green() + (b.green() - a.green()) * t),
                  channel(a.blue() + (b.blue() - a.blue()) * t));
}

QImage newCanvas()
{
    QImage image(600, 450, QImage::Format_RGB32);
    image.fill(Qt::black);
    return image;
}

double luminance(QRgb p) { return 0.299 * qRed(p) + 0.587 * qGreen(p) + 0.114 * qBlue(p); }

void paintSky(QImage &image, int horizonY, const SkyLook &look)
{
    for (int y = 0; y < horizonY && y < image.height(); ++y) {
        auto *row = reinterpret_cast<QRgb *>(image.scanLine(y));
        const double h = double(y) / std::max(1, horizonY);
        const QColor base = mixColour(look.zenith, look.horizon, std::pow(h, 0.8));
        // Clouds flatten and thin towards the horizon, as they recede.
        const double yStretch = 1.0 + 2.0 * h;
        for (int x = 0; x < image.width(); ++x) {
            const double nx = x / (look.scale * look.stretch);
            const double ny = y * yStretch / look.scale;
            const double n = fractalNoise(nx, ny, look.seed, 6);
            const double density = smoothStep(1.0 - look.cover - 0.05, 1.0 - look.cover + 0.22, n);
            // Light from above: the cloud is brighter where the noise grows upwards.
            const double above = fractalNoise(nx, ny - 6.0 / look.scale, look.seed, 6);
            const double lit = clamp01(0.55 + (n - above) * 9.0);
            const QColor cloud = mixColour(look.cloudShade, look.cloudLight, lit);
            const QColor c = mixColour(base, cloud, density * (0.9 - 0.3 * h));
            // Faint high haze everywhere, so no stretch of sky is ever one flat colour.
            const double haze = (fractalNoise(x / 40.0, y / 14.0, look.seed + 77u, 4) - 0.5) * 56.0;
            row[x] = qRgb(channel(c.red() + haze), channel(c.green() + haze),
                          channel(c.blue() + haze * 0.6));
        }
    }
}

void paintGlow(QImage &image, double cx, double cy, double radius, const QColor &colour,
               double strength)
{
    for (int y = 0; y < image.height(); ++y) {
        auto *row = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const double d = std::hypot(x - cx, y - cy) / radius;
            if (d > 4.0)
                continue;
            const double w = strength * (d < 0.25 ? 1.0 : std::exp(-(d - 0.25) * 1.6));
            const QRgb p = row[x];
            row[x] = qRgb(channel(qRed(p) + (colour.red() - qRed(p)) * w),
                          channel(qGreen(p) + (colour.green() - qGreen(p)) * w),
                          channel(qBlue(p) + (colour.blue() - qBlue(p)) * w));
        }
    }
}

void paintReflection(QImage &image, int waterTop, int waterBottom, const WaterLook &look)
{
    const QImage above = image.copy();
    for (int y = waterTop; y < waterBottom && y < image.height(); ++y) {
        auto *row = reinterpret_cast<QRgb *>(image.scanLine(y));
        const double depth = double(y - waterTop);     // distance from the shore line
        const double perspective = 1.0 + depth / 40.0; // ripples grow towards the viewer
        for (int x = 0; x < image.width(); ++x) {
            const double wave = fractalNoise(x / (28.0 * perspective),
                                             depth / (look.waveLength * perspective), look.seed, 4)
                                - 0.5;
            const int sx =
                std::clamp(int(x + wave * look.waveShift * perspective), 0, image.width() - 1);
            const int sy =
                std::clamp(int(waterTop - 1 - depth + wave * 3.0 * perspective), 0, waterTop - 1);
            const QRgb m = above.pixel(sx, sy);
            const double clarity = look.clarity * std::exp(-depth / 260.0);
            // Wave crests catch the sky's light, troughs show the water's own colour.
            const double crest = std::clamp(wave * 2.2, -0.5, 0.5);
            const double r = qRed(m) * clarity + look.tint.red() * (1 - clarity);
            const double g = qGreen(m) * clarity + look.tint.green() * (1 - clarity);
            const double b = qBlue(m) * clarity + look.tint.blue() * (1 - clarity);
            const double lift = 1.0 + crest * 0.35;
            row[x] = qRgb(channel(r * lift), channel(g * lift), channel(b * lift));
        }
    }
}

void addGrain(QImage &image, const QPainterPath &region, double amount, double scale, uint32_t seed,
              double stretchX)
{
    QImage mask(image.size(), QImage::Format_Grayscale8);
    mask.fill(0);
    {
        QPainter p(&mask);
        p.setRenderHint(QPainter::Antialiasing);
        p.fillPath(region, QColor(255, 255, 255));
    }
    const QRectF bounds = region.boundingRect().adjusted(-1, -1, 1, 1);
    const int y0 = std::max(0, int(bounds.top()));
    const int y1 = std::min(image.height(), int(bounds.bottom()) + 1);
    const int x0 = std::max(0, int(bounds.left()));
    const int x1 = std::min(image.width(), int(bounds.right()) + 1);
    for (int y = y0; y < y1; ++y) {
        auto *row = reinterpret_cast<QRgb *>(image.scanLine(y));
        const uchar *m = mask.constScanLine(y);
        for (int x = x0; x < x1; ++x) {
            if (!m[x])
                continue;
            const double n = fractalNoise(x / (scale * stretchX), y / scale, seed, 5) - 0.5;
            const double d = n * 2.0 * amount * (m[x] / 255.0);
            const QRgb p = row[x];
            row[x] = qRgb(channel(qRed(p) + d), channel(qGreen(p) + d), channel(qBlue(p) + d));
        }
    }
}

std::vector<double> ridge(int width, double base, double amplitude, double featureWidth,
                          uint32_t seed, int octaves)
{
    std::vector<double> line(size_t(width) + 1);
    for (int x = 0; x <= width; ++x) {
        const double n = fractalNoise(x / featureWidth, 0.5, seed, octaves);
        line[size_t(x)] = base - (n - 0.5) * 2.0 * amplitude;
    }
    return line;
}

QPainterPath areaBelow(const std::vector<double> &line, double bottom)
{
    QPainterPath path;
    path.moveTo(0, bottom);
    for (size_t x = 0; x < line.size(); ++x)
        path.lineTo(double(x), line[x]);
    path.lineTo(double(line.size() - 1), bottom);
    path.closeSubpath();
    return path;
}

} // namespace datagen
