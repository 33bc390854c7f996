// A game on a level, for the game tests: a private copy of the data files and scripted random
// numbers, the game started and dealt, with a few moves a player makes. The game runs in the
// real main window (GameFixture), or on its parts and a recording host (RecordedFixture) where
// the rules need no window.
#pragma once

#include "BoardSolver.h"
#include "RecordingHost.h"
#include "TestWindow.h"

#include <functional>

namespace morvane::test {

// Removes or cuts data files before a game starts.
using SpoilData = std::function<void(const DataFolder &)>;

// The board a game shows, moved with the game's own clicks and right clicks; `rig` is the test
// window or a recorded game.
template <typename Rig>
BoardMoves gameMoves(Rig &rig)
{
    Game &game = rig.game();
    return {
        [&game](int place) { return int(game.LevelTable(game.CurrentLevel, place).Content); },
        [&game](int place, int other) {
            game.Click(place);
            game.Click(other);
        },
        [&rig](int place) {
            return rig.piece(place).FlipHorizontal() || rig.piece(place).FlipVertical();
        },
        [&game](int place) { game.RightClick(place); },
    };
}

// Solves the board a game shows.
template <typename Rig>
void solveGame(Rig &rig)
{
    solveBoard(gameMoves(rig));
}

// Swaps every tile onto its own place, and leaves the mirrored ones as they are.
template <typename Rig>
void placeEveryTile(Rig &rig)
{
    BoardMoves moves = gameMoves(rig);
    moves.mirrored = [](int) { return false; };
    solveBoard(moves);
}

template <typename Rig>
struct BasicGameFixture {
    DataFolder data;
    ScriptedRandom random;
    Rig rig{data.path(), &random};
    Game &game = rig.game();

    explicit BasicGameFixture(int level, const SpoilData &spoil = {})
    {
        if (spoil)
            spoil(data);
        rig.start();
        if (level != 1)
            game.LevelCommand(level);
    }
    PieceImage &piece(int j) { return rig.piece(j); }
    uint8_t content(int place) const { return game.LevelTable(game.CurrentLevel, place).Content; }
    bool mirrored(int place)
    {
        return piece(place).FlipHorizontal() || piece(place).FlipVertical();
    }
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
    void solve() { solveGame(rig); }
    void placeEveryTile() { test::placeEveryTile(rig); }
};

// The game in the real main window.
struct GameFixture : BasicGameFixture<TestWindow> {
    TestWindow &window = rig;
    explicit GameFixture(int level = 1, const SpoilData &spoil = {})
        : BasicGameFixture(level, spoil)
    {
    }
};

// The game on its parts and a recording host, without the main window.
struct RecordedFixture : BasicGameFixture<RecordedGame> {
    RecordingHost &host = rig.host;
    explicit RecordedFixture(int level = 1, const SpoilData &spoil = {})
        : BasicGameFixture(level, spoil)
    {
    }
};

} // namespace morvane::test
