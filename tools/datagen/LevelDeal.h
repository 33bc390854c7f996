// How each level is dealt: which tile every place shows at first, and which tiles start mirrored.
#pragma once

#include <vector>

namespace datagen {

struct TileDeal {
    int startContent = 0; // tile shown by this place when dealt, 1..18
    char flipAxis = 'H';  // 'H' mirrors left-right, 'V' top-bottom
    bool flipped = false; // this tile starts mirrored
};

// The deal of `level` (1..7) for places 1..18 (index 0..17). No tile starts on its own place,
// the swaps needed to restore the picture grow with the level, and levels 3 to 7 start with
// 2 to 6 mirrored tiles on both axes.
std::vector<TileDeal> levelDeal(int level);

// Swaps the player needs at least: 18 minus the number of cycles of the deal.
int swapsNeeded(const std::vector<TileDeal> &deal);

} // namespace datagen
