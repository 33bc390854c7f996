// What a player sees of the real game's board on a screen, shared by the end-to-end tests on X11
// and on Wayland: a tile shown whichever way it is turned, the finished picture, and the board
// filling its window.
#pragma once

#include "tests/support/BoardPictures.h"

#include <QColor>
#include <QImage>
#include <QRect>
#include <QString>

namespace morvane::test {

// The place shows tile `tile`, upright or mirrored either way: all a player can tell of a deal
// without knowing which tiles it turns.
inline bool showsSomehow(const BoardPictures &board, const QImage &screen, int level, int place,
                         int tile)
{
    return board.shows(screen, level, place, tile) || board.shows(screen, level, place, tile, true)
           || board.shows(screen, level, place, tile, false, true);
}

// The level's whole 600 x 450 picture on the board at `origin`, read away from where the
// banners end: its lower 250 rows.
inline bool showsTheFinishedPicture(const QImage &screen, QPoint origin, const QImage &picture)
{
    const QPoint at = origin + QPoint(20, 20 + 200);
    return difference(screen.copy(QRect(at, QSize(600, 250))), picture.copy(0, 200, 600, 250)) < 3;
}

// The board at `area` on the screen fills it: for a picture of `units` (its size with its
// margins, 640 x 490 for a level), the picture area spans 20 units in from every edge, the
// pieces' blue frames stand on those edges and background lies beyond them. Returns what is
// wrong, or nothing.
inline QString boardFillsItsArea(const QImage &screen, const QRect &area, QSize units = {640, 490})
{
    const int width = area.width(), height = area.height();
    auto blue = [&](int px, int py) {
        const QColor c(screen.pixel(area.topLeft() + QPoint(px, py)));
        return c.blue() > 200 && c.red() < 60 && c.green() < 60;
    };
    auto blueNear = [&](int px, int py, bool vertical) {
        for (int d = -1; d <= 1; ++d)
            if (vertical ? blue(px + d, py) : blue(px, py + d))
                return true;
        return false;
    };
    const int unitsW = units.width(), unitsH = units.height();
    const int left = width * 20 / unitsW, right = width * (unitsW - 20) / unitsW - 1;
    const int top = height * 20 / unitsH, bottom = height * (unitsH - 20) / unitsH - 1;
    for (const int py : {top + 30, height / 2, bottom - 30}) {
        if (!blueNear(left, py, true) || !blueNear(right, py, true))
            return QStringLiteral("no frame at the picture's left or right edge, y %1").arg(py);
        if (blue(left - 8, py) || blue(right + 8, py))
            return QStringLiteral("a frame outside the picture area, y %1").arg(py);
    }
    // Away from the middle, where a piece under the pointer would glow.
    for (const int px : {left + 30, width * 3 / 4, right - 30})
        if (!blueNear(px, top, false) || !blueNear(px, bottom, false))
            return QStringLiteral("no frame at the picture's top or bottom edge, x %1").arg(px);
    return QString();
}

} // namespace morvane::test
