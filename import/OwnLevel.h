// Building level 0 for a picture of the player's own, and the window size that fits it.
#pragma once

#include <QSize>

namespace morvane {

class LevelTable;
class Random;

// The reference size on which the built-in layouts are measured.
constexpr int TemplateWidth = 600;
constexpr int TemplateHeight = 450;

// Fills row 0 from template level `templateLevel`, scaled to a picture of imageWidth x
// imageHeight pixels, and shuffles its contents with `random` (a forward Fisher-Yates shuffle).
// Rows 1..7 are only read.
void buildOwnLevel(LevelTable &table, int templateLevel, int imageWidth, int imageHeight,
                   Random &random);

// The window's outer size in twips for a picture of imageWidth x imageHeight pixels on a
// screen of the given size in twips: the picture with its margins, scaled down to fit the
// screen, and never smaller than 3000 twips a side.
QSize ownPictureWindowTwips(int imageWidth, int imageHeight, int screenWidthTwips,
                            int screenHeightTwips);

} // namespace morvane
