// Builds the level cuttings: hand-shaped rows for the first two levels, seeded nested cuts for
// the others, each checked against the rules a fair puzzle needs before it is accepted.
#include "TileLayouts.h"

#include "SeededRandom.h"

#include <algorithm>
#include <set>
#include <stdexcept>
#include <string>
#include <utility>

namespace datagen {
namespace {

constexpr int MaxTileWidth = PictureWidth / 2;
constexpr int MaxTileHeight = PictureHeight / 2;

// Every tile big enough to recognise, none bigger than a quarter of the picture, and no two of
// the same size (so the player can tell them apart by shape alone).
bool fairTiles(const std::vector<TileRect> &tiles)
{
    std::set<std::pair<int, int>> sizes;
    for (const TileRect &t : tiles) {
        if (t.width() < MinTileWidth || t.height() < MinTileHeight || t.width() > MaxTileWidth
            || t.height() > MaxTileHeight)
            return false;
        if (!sizes.insert({t.width(), t.height()}).second)
            return false;
    }
    return int(tiles.size()) == TilesPerLevel;
}

// Splits `total` into `count` distinct widths around total/count, each at least `minimum`.
std::vector<int> unevenShares(int total, int count, int jitter, int minimum, SeededRandom &random)
{
    for (;;) {
        std::vector<int> shares(count);
        int sum = 0;
        for (int i = 0; i < count - 1; ++i) {
            shares[i] = total / count + random.between(-jitter, jitter);
            sum += shares[i];
        }
        shares[count - 1] = total - sum;
        const std::set<int> distinct(shares.begin(), shares.end());
        const bool bigEnough =
            std::all_of(shares.begin(), shares.end(), [&](int s) { return s >= minimum; });
        if (bigEnough && int(distinct.size()) == count)
            return shares;
    }
}

std::vector<TileRect> rowsLayout(const std::vector<int> &rowHeights, const std::vector<int> &counts,
                                 int jitter, uint64_t seed)
{
    SeededRandom random(seed);
    for (;;) {
        std::vector<TileRect> tiles;
        int top = 0;
        for (size_t row = 0; row < rowHeights.size(); ++row) {
            const std::vector<int> widths =
                unevenShares(PictureWidth, counts[row], jitter, MinTileWidth, random);
            int left = 0;
            for (int w : widths) {
                tiles.push_back({left, top, left + w, top + rowHeights[row]});
                left += w;
            }
            top += rowHeights[row];
        }
        if (fairTiles(tiles))
            return tiles;
    }
}

// Cuts `area` into `count` tiles by a random tree of straight cuts. `bias` near 1 splits off
// one or two tiles at a time, which makes deep, nested cuttings.
void nestedCuts(const TileRect &area, int count, double bias, SeededRandom &random,
                std::vector<TileRect> &out)
{
    if (count == 1) {
        out.push_back(area);
        return;
    }
    const double aspect = double(area.width()) / (area.height() * 4.0 / 3.0);
    const bool cutAcross = random.unit() < aspect / (aspect + 1.0); // wide areas get vertical cuts
    int first = random.between(1, count - 1);
    if (random.chance(bias))
        first = random.chance(0.5) ? random.between(1, std::min(2, count - 1))
                                   : count - random.between(1, std::min(2, count - 1));
    const double share = double(first) / count * random.uniform(0.85, 1.15);
    if (cutAcross) {
        const int x = area.left + int(area.width() * share + 0.5);
        nestedCuts({area.left, area.top, x, area.bottom}, first, bias, random, out);
        nestedCuts({x, area.top, area.right, area.bottom}, count - first, bias, random, out);
    } else {
        const int y = area.top + int(area.height() * share + 0.5);
        nestedCuts({area.left, area.top, area.right, y}, first, bias, random, out);
        nestedCuts({area.left, y, area.right, area.bottom}, count - first, bias, random, out);
    }
}

std::vector<TileRect> nestedLayout(int depth, double bias, uint64_t seed)
{
    SeededRandom random(seed);
    for (int attempt = 0; attempt < 2000000; ++attempt) {
        std::vector<TileRect> tiles;
        nestedCuts({0, 0, PictureWidth, PictureHeight}, TilesPerLevel, bias, random, tiles);
        if (fairTiles(tiles) && cutDepth(tiles) == depth)
            return tiles;
    }
    throw std::runtime_error("no cutting of depth " + std::to_string(depth) + " found");
}

// Splits the tiles at every line that runs right through their bounding box in one direction.
std::vector<std::vector<TileRect>> slabs(const std::vector<TileRect> &tiles, bool vertical)
{
    std::vector<std::pair<int, int>> spans;
    for (const TileRect &t : tiles)
        spans.push_back(vertical ? std::pair{t.left, t.right} : std::pair{t.top, t.bottom});
    std::sort(spans.begin(), spans.end());
    std::vector<int> cuts;
    int reach = spans.front().second;
    for (const auto &[from, to] : spans) {
        if (from >= reach && (cuts.empty() || cuts.back() != from))
            cuts.push_back(from);
        reach = std::max(reach, to);
    }
    std::vector<std::vector<TileRect>> result(cuts.size() + 1);
    for (const TileRect &t : tiles) {
        const int start = vertical ? t.left : t.top;
        const size_t index = std::upper_bound(cuts.begin(), cuts.end(), start) - cuts.begin();
        result[index].push_back(t);
    }
    return result;
}

} // namespace

int cutDepth(const std::vector<TileRect> &tiles)
{
    if (tiles.size() <= 1)
        return 0;
    int best = 1000;
    for (bool vertical : {true, false}) {
        const auto parts = slabs(tiles, vertical);
        if (parts.size() < 2)
            continue;
        int deepest = 0;
        for (const auto &part : parts)
            deepest = std::max(deepest, cutDepth(part));
        best = std::min(best, 1 + deepest);
    }
    return best;
}

std::vector<TileRect> levelTiles(int level)
{
    switch (level) {
    case 1: return rowsLayout({140, 150, 160}, {6, 6, 6}, 18, 0x1001);
    case 2: return rowsLayout({104, 118, 112, 116}, {4, 5, 5, 4}, 34, 0x2002);
    case 3: return nestedLayout(3, 0.0, 0x3003);
    case 4: return nestedLayout(4, 0.2, 0x4004);
    case 5: return nestedLayout(5, 0.4, 0x5005);
    case 6: return nestedLayout(6, 0.6, 0x6006);
    case 7: return nestedLayout(7, 0.8, 0x7007);
    default: throw std::invalid_argument("no such level");
    }
}

} // namespace datagen
