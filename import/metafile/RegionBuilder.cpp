// The union of many rectangles as one QRegion, made by a sweep from top to bottom.
#include "RegionBuilder.h"

#include <QRect>

#include <algorithm>
#include <utility>

namespace morvane::metafile {

namespace {

// Far past any image we draw on, and small enough that QRect's arithmetic cannot overflow.
constexpr qint64 coordinateBound = qint64(1) << 28;

using Span = std::pair<qint64, qint64>; // left, right (excluded)

} // namespace

QRegion regionFromRects(std::vector<Edges> rects, Budget &budget)
{
    std::vector<Edges> kept;
    kept.reserve(rects.size());
    std::vector<qint64> ys;
    ys.reserve(rects.size() * 2);
    for (Edges e : rects) {
        budget.step();
        e.left = std::clamp(e.left, -coordinateBound, coordinateBound);
        e.right = std::clamp(e.right, -coordinateBound, coordinateBound);
        e.top = std::clamp(e.top, -coordinateBound, coordinateBound);
        e.bottom = std::clamp(e.bottom, -coordinateBound, coordinateBound);
        if (e.right <= e.left || e.bottom <= e.top)
            continue;
        kept.push_back(e);
        ys.push_back(e.top);
        ys.push_back(e.bottom);
    }
    if (kept.empty())
        return {};
    std::sort(ys.begin(), ys.end());
    ys.erase(std::unique(ys.begin(), ys.end()), ys.end());
    std::sort(kept.begin(), kept.end(),
              [](const Edges &a, const Edges &b) { return a.top < b.top; });

    // QRegion's own layout: bands from top to bottom, in each band disjoint spans from left to
    // right that do not touch, and no two touching bands with the same spans.
    std::vector<QRect> out;
    std::vector<Edges> active; // the rectangles crossing the current band, sorted by left edge
    std::vector<Span> spans, previous;
    size_t next = 0;
    size_t previousStart = 0;
    qint64 previousBottom = 0;
    for (size_t i = 0; i + 1 < ys.size(); ++i) {
        const qint64 top = ys[i], bottom = ys[i + 1];
        std::erase_if(active, [top](const Edges &e) { return e.bottom <= top; });
        for (; next < kept.size() && kept[next].top <= top; ++next) {
            budget.step();
            const auto at =
                std::lower_bound(active.begin(), active.end(), kept[next].left,
                                 [](const Edges &e, qint64 left) { return e.left < left; });
            active.insert(at, kept[next]);
        }
        spans.clear();
        for (const Edges &e : active) {
            budget.step();
            if (!spans.empty() && e.left <= spans.back().second)
                spans.back().second = std::max(spans.back().second, e.right);
            else
                spans.emplace_back(e.left, e.right);
        }
        if (spans.empty()) {
            previous.clear();
            continue;
        }
        if (spans == previous && previousBottom == top) {
            for (size_t k = previousStart; k < out.size(); ++k)
                out[k].setBottom(int(bottom - 1));
        } else {
            budget.regionRects(qint64(out.size() + spans.size()));
            previousStart = out.size();
            for (const Span &s : spans)
                out.emplace_back(QPoint(int(s.first), int(top)),
                                 QPoint(int(s.second - 1), int(bottom - 1)));
            previous.swap(spans);
        }
        previousBottom = bottom;
    }
    QRegion region;
    region.setRects(out.data(), int(out.size()));
    return region;
}

} // namespace morvane::metafile
