// Seeded deals: a shuffle cut into cycles of at least two tiles, then the mirrored tiles.
#include "LevelDeal.h"

#include "SeededRandom.h"
#include "TileLayouts.h"

#include <stdexcept>

namespace datagen {
namespace {

// Swaps needed per level: one more than the level before (two at the end), starting at 10.
constexpr int SwapsPerLevel[LevelCount] = {10, 11, 12, 13, 14, 16, 17};
constexpr int MirroredPerLevel[LevelCount] = {0, 0, 2, 3, 4, 5, 6};

// Cycle lengths, each at least 2, that add up to 18.
std::vector<int> cycleLengths(int cycles, SeededRandom &random)
{
    std::vector<int> lengths(size_t(cycles), 2);
    for (int spare = TilesPerLevel - 2 * cycles; spare > 0; --spare)
        ++lengths[size_t(random.between(0, cycles - 1))];
    return lengths;
}

} // namespace

std::vector<TileDeal> levelDeal(int level)
{
    if (level < 1 || level > LevelCount)
        throw std::invalid_argument("no such level");
    SeededRandom random(0xDEA1u + uint64_t(level) * 7919u);

    std::vector<int> order(TilesPerLevel);
    for (int i = 0; i < TilesPerLevel; ++i)
        order[size_t(i)] = i + 1;
    for (int i = TilesPerLevel - 1; i > 0; --i)
        std::swap(order[size_t(i)], order[size_t(random.between(0, i))]);

    // Each run of `order` becomes one cycle: every place shows the tile of the next place in it.
    std::vector<TileDeal> deal(TilesPerLevel);
    int start = 0;
    for (int length : cycleLengths(TilesPerLevel - SwapsPerLevel[level - 1], random)) {
        for (int i = 0; i < length; ++i) {
            const int place = order[size_t(start + i)];
            deal[size_t(place - 1)].startContent = order[size_t(start + (i + 1) % length)];
        }
        start += length;
    }

    for (TileDeal &d : deal)
        d.flipAxis = random.chance(0.5) ? 'H' : 'V';

    // Mirror distinct tiles; the first two take one axis each so both axes appear.
    const int mirrored = MirroredPerLevel[level - 1];
    for (int m = 0; m < mirrored;) {
        TileDeal &d = deal[size_t(random.between(0, TilesPerLevel - 1))];
        if (d.flipped)
            continue;
        d.flipped = true;
        if (m < 2)
            d.flipAxis = m == 0 ? 'H' : 'V';
        ++m;
    }
    return deal;
}

int swapsNeeded(const std::vector<TileDeal> &deal)
{
    std::vector<bool> seen(deal.size(), false);
    int cycles = 0;
    for (size_t i = 0; i < deal.size(); ++i) {
        if (seen[i])
            continue;
        ++cycles;
        for (size_t j = i; !seen[j]; j = size_t(deal[j].startContent - 1))
            seen[j] = true;
    }
    return int(deal.size()) - cycles;
}

} // namespace datagen
