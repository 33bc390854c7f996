// Solving a board as a player would: each tile in turn is swapped onto its own place, then
// every piece that shows its tile mirrored is turned back. Used by the game tests and the
// end-to-end test alike, each with its own way of reading the board and of moving.
#pragma once

#include <functional>

namespace morvane::test {

struct BoardMoves {
    std::function<int(int place)> tileAt;           // the tile a place shows now
    std::function<void(int place, int other)> swap; // select `place`, then click `other`
    std::function<bool(int place)> mirrored = [](int) { return false; };
    std::function<void(int place)> turn = [](int) {};
};

inline void solveBoard(const BoardMoves &board)
{
    for (int tile = 1; tile <= 18; ++tile) {
        if (board.tileAt(tile) == tile)
            continue;
        for (int place = 1; place <= 18; ++place) {
            if (board.tileAt(place) == tile) {
                board.swap(tile, place);
                break;
            }
        }
    }
    for (int place = 1; place <= 18; ++place)
        if (board.mirrored(place))
            board.turn(place);
}

} // namespace morvane::test
