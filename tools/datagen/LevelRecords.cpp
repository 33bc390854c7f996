// Formats the level records from each level's numbered tiles and its deal.
#include "LevelRecords.h"

#include <cstdio>
#include <stdexcept>

namespace datagen {

std::string levelRecord(const LinkedTile &tile, const TileDeal &deal)
{
    char line[64];
    const int written = std::snprintf(
        line, sizeof line, "%4d%4d%4d%4d%2d%c%c%3d%3d%3d%3d\r\n", tile.rect.top, tile.rect.right,
        tile.rect.bottom, tile.rect.left, deal.startContent, deal.flipAxis,
        deal.flipped ? '1' : '0', tile.topLink, tile.rightLink, tile.bottomLink, tile.leftLink);
    if (written != 34)
        throw std::logic_error("a level record must be 34 bytes");
    return line;
}

std::string levelTableText()
{
    std::string text;
    for (int level = 1; level <= LevelCount; ++level) {
        const std::vector<LinkedTile> tiles = numberAndLink(levelTiles(level));
        const std::vector<TileDeal> deal = levelDeal(level);
        for (int place = 0; place < TilesPerLevel; ++place)
            text += levelRecord(tiles[size_t(place)], deal[size_t(place)]);
    }
    return text;
}

} // namespace datagen
