// The seven cuttings of the 600 x 450 level picture into 18 tiles.
#pragma once

#include <vector>

namespace datagen {

constexpr int PictureWidth = 600;
constexpr int PictureHeight = 450;
constexpr int TilesPerLevel = 18;
constexpr int LevelCount = 7;
constexpr int MinTileWidth = 48;
constexpr int MinTileHeight = 36;

struct TileRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
};

// The tiles of `level` (1..7), in no particular order: level 1 is rows of six, level 2 rows of
// four and five, levels 3 to 7 nested cuts that get one level deeper with every level.
std::vector<TileRect> levelTiles(int level);

// Depth of the cut tree: how many times slabs must be cut across until single tiles remain
// (2 for plain rows). A cutting that no straight cut divides counts as very deep.
int cutDepth(const std::vector<TileRect> &tiles);

} // namespace datagen
