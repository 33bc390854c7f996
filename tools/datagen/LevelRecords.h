// Writes the level table: 18 fixed 34-byte text records per level, one per line.
#pragma once

#include "LevelDeal.h"
#include "PlaceLinks.h"

#include <string>
#include <vector>

namespace datagen {

// One record: top, right, bottom, left (4 characters each), start content (2), flip axis (1),
// mirrored digit (1), top/right/bottom/left links (3 each), then CR LF. Numbers right-aligned.
std::string levelRecord(const LinkedTile &tile, const TileDeal &deal);

// All 126 records of levels 1..7, in level order and place order within a level.
std::string levelTableText();

} // namespace datagen
