// Builds a region in one go from a list of rectangles that may overlap, within a budget.
#pragma once

#include "Limits.h"

#include <QRegion>

#include <vector>

namespace morvane::metafile {

// A rectangle by its edges; the right and bottom edges lie outside it.
struct Edges {
    qint64 left = 0;
    qint64 top = 0;
    qint64 right = 0;
    qint64 bottom = 0;
};

// The union of the rectangles, built band by band from their edges: the cost follows the
// rectangles and the region they make, never a chain of unions. Throws LimitExceeded when the
// region would hold more rectangles than the budget allows or the time runs out.
QRegion regionFromRects(std::vector<Edges> rects, Budget &budget);

} // namespace morvane::metafile
