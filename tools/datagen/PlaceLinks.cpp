// Tile numbering and link computation.
//
// A place's left and top edges are rounded from absolute positions, so they are off by at most
// half a pixel; a right or bottom edge made of its own left plus its own rounded width can be
// off by a whole pixel, and by more when that left edge was itself made that way. So every line
// inside the picture should first be set by a place whose left (or top) edge lies on it; every
// later place on that line links to a lower-numbered place already on it. Numbering from the
// bottom-right corner towards the top-left makes that possible: a place is numbered only once the
// lines under its right and bottom edges are set by places beyond them. The picture's outer right
// and bottom border are set by the first place that reaches them (its own left plus width) and
// every later place there links to it; the outer top and left border are the same rounding for
// every place and need no link.
#include "PlaceLinks.h"

#include <algorithm>
#include <map>
#include <stdexcept>

namespace datagen {
namespace {

// A maximal stretch of edges on one line: every place touching it must agree on its position.
struct Line {
    bool vertical = false;
    int position = 0;
    int from = 0;
    int to = 0;
};

class LineIndex {
public:
    explicit LineIndex(const std::vector<TileRect> &tiles)
    {
        for (const TileRect &t : tiles) {
            add(true, t.left, t.top, t.bottom);
            add(true, t.right, t.top, t.bottom);
            add(false, t.top, t.left, t.right);
            add(false, t.bottom, t.left, t.right);
        }
        // Merge overlapping or touching stretches on the same line until nothing changes.
        for (bool merged = true; merged;) {
            merged = false;
            for (size_t i = 0; i < m_lines.size() && !merged; ++i)
                for (size_t j = i + 1; j < m_lines.size() && !merged; ++j) {
                    Line &a = m_lines[i];
                    const Line &b = m_lines[j];
                    if (a.vertical == b.vertical && a.position == b.position && a.from <= b.to
                        && b.from <= a.to) {
                        a.from = std::min(a.from, b.from);
                        a.to = std::max(a.to, b.to);
                        m_lines.erase(m_lines.begin() + long(j));
                        merged = true;
                    }
                }
        }
    }

    int find(bool vertical, int position, int from, int to) const
    {
        for (size_t i = 0; i < m_lines.size(); ++i) {
            const Line &l = m_lines[i];
            if (l.vertical == vertical && l.position == position && l.from <= from && to <= l.to)
                return int(i);
        }
        throw std::logic_error("edge on no line");
    }

    const Line &line(int index) const { return m_lines[size_t(index)]; }
    int count() const { return int(m_lines.size()); }

private:
    void add(bool vertical, int position, int from, int to)
    {
        m_lines.push_back({vertical, position, from, to});
    }
    std::vector<Line> m_lines;
};

struct TileLines {
    int left, top, right, bottom;
};

bool outerStart(const Line &l) { return l.position == 0; }
bool outerEnd(const Line &l) { return l.position == (l.vertical ? PictureWidth : PictureHeight); }

// Which edges of which already numbered places lie on a line: positive entries are places whose
// start edge (left/top) is on it, negative ones places whose end edge (right/bottom) is on it.
using LineUsers = std::vector<std::vector<int>>;

// The link for an edge of `place` on `line`, choosing a lower-numbered place already there.
// `startEdge` tells whether the edge is the place's left/top edge.
int linkTo(const LineUsers &users, int line, bool startEdge, const TileRect &self,
           const std::vector<LinkedTile> &numbered, bool vertical)
{
    const std::vector<int> &onLine = users[size_t(line)];
    if (onLine.empty())
        return 0;
    // Prefer a neighbour across the edge, so the link reads as "directly right of / below".
    for (int entry : onLine) {
        const bool otherStarts = entry > 0;
        if (otherStarts == startEdge)
            continue;
        const TileRect &o = numbered[size_t(std::abs(entry) - 1)].rect;
        const bool touching = vertical
                                  ? std::min(o.bottom, self.bottom) > std::max(o.top, self.top)
                                  : std::min(o.right, self.right) > std::max(o.left, self.left);
        if (touching)
            return std::abs(entry);
    }
    // Otherwise the first place on the line: a start edge there gives "level with" (-n) for a
    // start edge and "ends where n starts" (+n) for an end edge, and the other way round.
    const int entry = onLine.front();
    const bool otherStarts = entry > 0;
    return otherStarts == startEdge ? -std::abs(entry) : std::abs(entry);
}

} // namespace

std::vector<LinkedTile> numberAndLink(const std::vector<TileRect> &tiles)
{
    const LineIndex lines(tiles);
    std::vector<TileLines> tileLines;
    for (const TileRect &t : tiles)
        tileLines.push_back({lines.find(true, t.left, t.top, t.bottom),
                             lines.find(false, t.top, t.left, t.right),
                             lines.find(true, t.right, t.top, t.bottom),
                             lines.find(false, t.bottom, t.left, t.right)});

    std::vector<bool> lineSet(size_t(lines.count()), false);
    std::vector<bool> taken(tiles.size(), false);
    LineUsers users(size_t(lines.count()));
    std::vector<LinkedTile> numbered;

    auto ready = [&](size_t i) {
        const Line &right = lines.line(tileLines[i].right);
        const Line &bottom = lines.line(tileLines[i].bottom);
        return (outerEnd(right) || lineSet[size_t(tileLines[i].right)])
               && (outerEnd(bottom) || lineSet[size_t(tileLines[i].bottom)]);
    };

    while (numbered.size() < tiles.size()) {
        // The lowest, then rightmost, ready tile comes next.
        long next = -1;
        for (size_t i = 0; i < tiles.size(); ++i) {
            if (taken[i] || !ready(i))
                continue;
            if (next < 0 || tiles[i].top > tiles[size_t(next)].top
                || (tiles[i].top == tiles[size_t(next)].top
                    && tiles[i].left > tiles[size_t(next)].left))
                next = long(i);
        }
        if (next < 0)
            throw std::logic_error("no tile can be numbered next");
        const size_t i = size_t(next);
        taken[i] = true;
        const TileRect &t = tiles[i];
        const TileLines &tl = tileLines[i];

        LinkedTile linked{t};
        linked.topLink =
            outerStart(lines.line(tl.top)) ? 0 : linkTo(users, tl.top, true, t, numbered, false);
        linked.leftLink =
            outerStart(lines.line(tl.left)) ? 0 : linkTo(users, tl.left, true, t, numbered, true);
        linked.rightLink = linkTo(users, tl.right, false, t, numbered, true);
        linked.bottomLink = linkTo(users, tl.bottom, false, t, numbered, false);
        numbered.push_back(linked);

        const int number = int(numbered.size());
        for (int line : {tl.left, tl.top})
            users[size_t(line)].push_back(number);
        for (int line : {tl.right, tl.bottom})
            users[size_t(line)].push_back(-number);
        for (int line : {tl.left, tl.top, tl.right, tl.bottom})
            lineSet[size_t(line)] = true;
    }
    return numbered;
}

} // namespace datagen
