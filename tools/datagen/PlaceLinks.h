// Numbers the tiles of a level and joins their edges with links, so that the board's rescaling
// (own rounding per place, then links applied in place order) leaves no gap and no overlap.
#pragma once

#include "TileLayouts.h"

#include <vector>

namespace datagen {

// One tile with its number's links. Link values: for the top/left edge, n > 0 means "starts where
// place n ends", n < 0 "starts where place -n starts"; for the right/bottom edge, n > 0 means
// "ends where place n starts", n < 0 "ends where place -n ends"; 0 keeps the place's own rounding.
struct LinkedTile {
    TileRect rect;
    int topLink = 0;
    int rightLink = 0;
    int bottomLink = 0;
    int leftLink = 0;
};

// Orders the tiles (the index in the result + 1 is the tile's number) and computes their links.
// Links only ever name lower-numbered places, whose values are final when they are read.
std::vector<LinkedTile> numberAndLink(const std::vector<TileRect> &tiles);

} // namespace datagen
