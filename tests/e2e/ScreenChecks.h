// What a player sees of the real game's board on a screen, shared by the end-to-end tests on X11
// and on Wayland: a tile shown whichever way it is turned, the finished picture, the board
// filling its window, a menu or dialog that is drawn, the selection's mark, a deal seen to its
// end, and a level solved from the keyboard alone.
#pragma once

#include "tests/support/BoardPictures.h"
#include "tests/support/BoardSolver.h"
#include "tests/support/KeyboardPlayer.h"

#include "game/LevelTable.h"

#include <QColor>
#include <QImage>
#include <QRect>
#include <QString>

#include <functional>
#include <map>

namespace morvane::test {

// The place shows tile `tile`, upright or mirrored either way: all a player can tell of a deal
// without knowing which tiles it turns.
inline bool showsSomehow(const BoardPictures &board, const QImage &screen, int level, int place,
                         int tile)
{
    return board.shows(screen, level, place, tile) || board.shows(screen, level, place, tile, true)
           || board.shows(screen, level, place, tile, false, true);
}

// Every place shows the tile `tileAt` names for it, whichever way it is turned.
inline bool showsEveryTileSomehow(const BoardPictures &board, const QImage &screen, int level,
                                  const std::function<int(int place)> &tileAt)
{
    for (int j = 1; j <= 18; ++j)
        if (!showsSomehow(board, screen, level, j, tileAt(j)))
            return false;
    return true;
}

// The deal of `level` is over: every place shows the tile the level deals it, one way or another.
inline bool showsItsDealtTiles(const BoardPictures &board, const QImage &screen,
                               const LevelTable &table, int level)
{
    return showsEveryTileSomehow(board, screen, level,
                                 [&](int j) { return table(level, j).StartContent; });
}

// The first place of the dealt level that does not show its tile upright (it stands mirrored),
// or 0 when all do.
inline int firstMirrored(const BoardPictures &board, const QImage &screen, const LevelTable &table,
                         int level)
{
    for (int j = 1; j <= 18; ++j)
        if (!board.shows(screen, level, j, table(level, j).StartContent))
            return j;
    return 0;
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

// A menu or a dialog as its own window draws it: mostly a light background, with the dark
// pixels of text in at least `lines` separate rows of text. A window that failed to draw (black,
// or whatever lay beneath it) is not, however much it differs from the board.
inline bool drawnWithText(const QImage &window, int lines)
{
    constexpr int Frame = 3; // the window's frame is no text
    if (window.width() <= 2 * Frame || window.height() <= 2 * Frame)
        return false;
    int light = 0, all = 0, rowsOfText = 0;
    bool inText = false;
    for (int y = Frame; y < window.height() - Frame; ++y) {
        bool dark = false;
        for (int x = Frame; x < window.width() - Frame; ++x, ++all) {
            const int grey = qGray(window.pixel(x, y));
            light += grey > 180;
            dark |= grey < 100;
        }
        rowsOfText += dark && !inText;
        inText = dark;
    }
    return light * 2 > all && rowsOfText >= lines;
}

// The place's frame shows the selection: the green of its pulse, neither the blue frame nor the
// cyan glow of the keyboard cursor.
inline bool marksTheSelection(const QImage &shot, const QRect &place)
{
    int green = 0, all = 0;
    for (int x = place.left() + 8; x < place.right() - 8; x += 2, ++all) {
        const QRgb p = shot.pixel(x, place.top());
        green += qGreen(p) > 150 && qBlue(p) < 80;
    }
    return all > 0 && green * 5 >= all * 4;
}

// The screen as soon as a check holds for it, or the last one looked at.
using ScreenWhen = std::function<QImage(const std::function<bool(const QImage &)> &ready)>;

// Solves the level dealt on the board from the keyboard alone, as a new player would: every
// tile swapped home, then every piece the screen shows mirrored turned. `content` is what each
// place shows as dealt. Returns how many pieces were turned, or -1 when the player got lost.
inline int solveFromTheKeyboard(KeyboardPlayer &player, const BoardPictures &board, int level,
                                std::map<int, int> content, const ScreenWhen &screenWhen)
{
    bool lost = false;
    QImage settled;
    int turned = 0;
    solveBoard({[&](int place) { return content[place]; },
                [&](int place, int other) {
                    lost |= !player.click(place) || !player.click(other);
                    std::swap(content[place], content[other]);
                },
                [&](int place) {
                    // Every tile home: the screen shows which of them stand mirrored.
                    if (settled.isNull())
                        settled = screenWhen([&](const QImage &shot) {
                            return showsEveryTileSomehow(board, shot, level,
                                                         [](int j) { return j; });
                        });
                    return !board.shows(settled, level, place, place);
                },
                [&](int place) {
                    lost |= !player.turn(place);
                    ++turned;
                }});
    return lost ? -1 : turned;
}

} // namespace morvane::test
