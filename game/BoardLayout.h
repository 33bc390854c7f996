// Scaling one level's places to a board area of a given size, joined along their links.
#pragma once

#include <functional>

namespace morvane {

class LevelTable;
struct PieceRecord;

using PlaceDone = std::function<void(int place, const PieceRecord &record)>;

// Rewrites the four place fields of every place of `row` for a board area of
// innerWidth x innerHeight pixels that shows a picture of imageWidth x imageHeight pixels with a
// margin of 20 picture pixels on every side. Places are taken in number order; each place's own
// scaled values are followed by its links, in the order top, left, right, bottom. A link to a
// higher-numbered place reads the values that place still holds from before. `placeDone` (if
// set) is called as soon as a place is final. Overflow and out-of-range links raise a
// RuntimeError.
void layoutPlaces(LevelTable &table, int row, long long innerWidth, long long innerHeight,
                  int imageWidth, int imageHeight, const PlaceDone &placeDone = {});

// Whether every place of `row` has a tile of some size to lay out. A missing or short level file
// leaves the records it never reached at zero, and a layout from them shrinks every piece to
// nothing.
bool rowHasEveryTile(const LevelTable &table, int row);

} // namespace morvane
