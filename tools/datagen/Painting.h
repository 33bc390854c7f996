// Shared painting helpers for the level scenes: skies, water reflections, grain and ridges.
#pragma once

#include <QColor>
#include <QImage>
#include <QPainterPath>

#include <cstdint>
#include <vector>

namespace datagen {

// A colour between `a` (t = 0) and `b` (t = 1).
QColor mixColour(const QColor &a, const QColor &b, double t);

// A fresh 600 x 450 opaque canvas.
QImage newCanvas();

struct SkyLook {
    QColor zenith;        // colour at the top of the picture
    QColor horizon;       // colour at the horizon line
    QColor cloudLight;    // sunlit cloud tops
    QColor cloudShade;    // cloud undersides
    double cover = 0.5;   // 0 clear .. 1 overcast
    double scale = 120.0; // size of a cloud in pixels
    double stretch = 2.5; // how much wider than tall the clouds are
    uint32_t seed = 1;
};

// Paints rows 0..horizonY-1: a gradient with layered, shaded clouds.
void paintSky(QImage &image, int horizonY, const SkyLook &look);

// A soft glow of light (sun or moon) centred at (x, y).
void paintGlow(QImage &image, double x, double y, double radius, const QColor &colour,
               double strength);

struct WaterLook {
    QColor tint;             // colour of the water itself
    double clarity = 0.6;    // how much of the mirrored scene shows near the shore
    double waveLength = 6.0; // vertical spacing of the ripples near the shore, pixels
    double waveShift = 5.0;  // sideways wobble of the reflection, pixels
    uint32_t seed = 1;
};

// Fills rows waterTop..waterBottom-1 with the scene above waterTop mirrored in rippled water.
void paintReflection(QImage &image, int waterTop, int waterBottom, const WaterLook &look);

// Darkens and lightens the pixels inside `region` with fractal noise: `amount` is the strength
// in 0..255 luminance, `scale` the size of the grain in pixels, `stretchX` its elongation.
void addGrain(QImage &image, const QPainterPath &region, double amount, double scale, uint32_t seed,
              double stretchX = 1.0);

// A mountain or hill outline: one height (y) per column x = 0..width, fractal around `base`.
std::vector<double> ridge(int width, double base, double amplitude, double featureWidth,
                          uint32_t seed, int octaves = 5);

// The area below a ridge line down to `bottom`.
QPainterPath areaBelow(const std::vector<double> &line, double bottom);

// Colour of a pixel as 0..255 luminance.
double luminance(QRgb pixel);

} // namespace datagen
