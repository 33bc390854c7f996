// Mountains: each column is lit by the slope of the crest and of a noise relief beneath it, and
// snow lies down from the crest, thinning out in gullies and on steep faces.
#include "Terrain.h"

#include "Noise.h"
#include "Painting.h"

#include <algorithm>
#include <cmath>

namespace datagen {

void paintMountains(QImage &image, const std::vector<double> &crest, int bottom,
                    const MountainLook &look)
{
    const int width = image.width();
    for (int x = 0; x < width; ++x) {
        const double top = crest[size_t(x)];
        for (int y = std::max(0, int(std::ceil(top))); y < bottom && y < image.height(); ++y) {
            const double depth = y - top;
            // Relief: ridges and gullies running down the face.
            const double relief = fractalNoise(x / 18.0, y / 40.0, look.seed, 5);
            const double slope = fractalNoise((x + 1) / 18.0, y / 40.0, look.seed, 5) - relief;
            const double light = std::clamp(0.5 + slope * 14.0 + (relief - 0.5) * 0.8, 0.0, 1.0);
            QColor c = mixColour(look.rockShade, look.rockLight, light);
            const double snowLine = look.snowDepth * (0.5 + relief);
            if (depth < snowLine) {
                const double t = std::clamp((snowLine - depth) / 12.0, 0.0, 1.0);
                c = mixColour(c, mixColour(look.snowShade, look.snow, light), t);
            }
            c = mixColour(c, look.hazeColour, look.haze);
            auto *row = reinterpret_cast<QRgb *>(image.scanLine(y));
            // Soften the crest line by one pixel.
            const double cover = std::clamp(y + 1 - top, 0.0, 1.0);
            row[x] = qRgb(int(qRed(row[x]) + (c.red() - qRed(row[x])) * cover),
                          int(qGreen(row[x]) + (c.green() - qGreen(row[x])) * cover),
                          int(qBlue(row[x]) + (c.blue() - qBlue(row[x])) * cover));
        }
    }
}

} // namespace datagen
