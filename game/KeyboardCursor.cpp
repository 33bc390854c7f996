// The place beside another one, for the arrow keys.
#include "KeyboardCursor.h"

#include "LevelTable.h"

#include <algorithm>

namespace morvane {

namespace {

// A place's rectangle as edges, wide enough that no sum overflows.
struct Edges {
    long left, top, right, bottom;
};

Edges edgesOf(const PieceRecord &place)
{
    return {place.PlaceLeft, place.PlaceTop, long(place.PlaceLeft) + place.PlaceWidth,
            long(place.PlaceTop) + place.PlaceHeight};
}

// How far `to` lies on the arrow's side of `from` (the gap between the facing edges), or -1
// when it does not lie wholly on that side.
long gapOnSide(const Edges &from, const Edges &to, ArrowKey arrow)
{
    long gap = -1;
    switch (arrow) {
    case ArrowKey::Left: gap = from.left - to.right; break;
    case ArrowKey::Right: gap = to.left - from.right; break;
    case ArrowKey::Up: gap = from.top - to.bottom; break;
    case ArrowKey::Down: gap = to.top - from.bottom; break;
    }
    return gap;
}

// How much of `from`'s side facing the arrow `to` spans: the overlap along the other axis.
long sharedSide(const Edges &from, const Edges &to, ArrowKey arrow)
{
    const bool across = arrow == ArrowKey::Left || arrow == ArrowKey::Right;
    return across ? std::min(from.bottom, to.bottom) - std::max(from.top, to.top)
                  : std::min(from.right, to.right) - std::max(from.left, to.left);
}

} // namespace

int placeBeside(const LevelTable &table, int level, int from, ArrowKey arrow)
{
    const Edges start = edgesOf(table(level, from));
    int best = 0;
    long bestGap = 0, bestShared = 0;
    for (int j = LevelTable::FirstPlace; j <= LevelTable::LastPlace; ++j) {
        if (j == from)
            continue;
        const Edges there = edgesOf(table(level, j));
        const long gap = gapOnSide(start, there, arrow);
        const long shared = sharedSide(start, there, arrow);
        if (gap < 0 || shared <= 0)
            continue;
        if (best == 0 || gap < bestGap || (gap == bestGap && shared > bestShared)) {
            best = j;
            bestGap = gap;
            bestShared = shared;
        }
    }
    return best;
}

} // namespace morvane
