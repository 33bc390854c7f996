// A game on a level, for the game tests: a private copy of the data files, a test window with
// scripted random numbers, started and dealt, with a few moves a player makes.
#pragma once

#include "BoardSolver.h"
#include "TestWindow.h"

namespace morvane::test {

// The board the window shows, moved with the game's own clicks and right clicks.
inline BoardMoves gameMoves(TestWindow &window)
{
    Game &game = window.game();
    return {
        [&game](int place) { return int(game.LevelTable(game.CurrentLevel, place).Content); },
        [&game](int place, int other) {
            game.Click(place);
            game.Click(other);
        },
        [&window](int place) {
            return window.piece(place).FlipHorizontal() || window.piece(place).FlipVertical();
        },
        [&game](int place) { game.RightClick(place); },
    };
}

// Solves the board the window shows.
inline void solveGame(TestWindow &window) { solveBoard(gameMoves(window)); }

// Swaps every tile onto its own place, and leaves the mirrored ones as they are.
inline void placeEveryTile(TestWindow &window)
{
    BoardMoves moves = gameMoves(window);
    moves.mirrored = [](int) { return false; };
    solveBoard(moves);
}

struct GameFixture {
    DataFolder data;
    ScriptedRandom random;
    TestWindow window{data.path(), &random};
    Game &game = window.game();

    explicit GameFixture(int level = 1)
    {
        window.start();
        if (level != 1)
            game.LevelCommand(level);
    }
    PieceImage &piece(int j) { return window.piece(j); }
    uint8_t content(int place) const { return game.LevelTable(game.CurrentLevel, place).Content; }
    bool mirrored(int place) { return piece(place).FlipHorizontal() || piece(place).FlipVertical(); }
    void swap(int a, int b)
    {
        game.Click(a);
        game.Click(b);
    }
    void ticks(void (Game::*tick)(), int count)
    {
        for (int i = 0; i < count; ++i)
            (game.*tick)();
    }
    void solve() { solveGame(window); }
    void placeEveryTile() { test::placeEveryTile(window); }
};

} // namespace morvane::test
