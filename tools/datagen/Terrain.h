// Per-pixel colouring of mountains and open ground: rock lit by its slope, snow on the heights.
#pragma once

#include <QColor>
#include <QImage>

#include <cstdint>
#include <vector>

namespace datagen {

struct MountainLook {
    QColor rockLight;
    QColor rockShade;
    QColor snow;
    QColor snowShade;
    double snowDepth = 60.0; // how far below the crest snow reaches, pixels
    double haze = 0.0;       // 0 clear .. 1 lost in the sky colour
    QColor hazeColour;
    uint32_t seed = 1;
};

// Fills everything below `crest` down to `bottom` as a mountain range.
void paintMountains(QImage &image, const std::vector<double> &crest, int bottom,
                    const MountainLook &look);

} // namespace datagen
