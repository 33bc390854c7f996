// The game's animations with real 1 ms pauses, each as a ratio to its pauses slept alone in
// the same run: the level-7 deal, a level-1 swap, a shrink-and-grow swap, a turn and the
// sliding banner. Argument: "start" (default) or "1920x1080".
#include "BenchWindow.h"
#include "Timing.h"
#include "WindowSizes.h"
#include "game/Game.h"

#include <QApplication>
#include <QDir>

#include <cstdio>
#include <functional>
#include <string>

using namespace morvane;
using namespace morvane::bench;

namespace {

constexpr int Repeats = 7;

// Runs `animation` several times after `prepare`; reports the median ratio of its time to its
// own number of pauses slept alone, and the median time itself.
void measure(BenchWindow &window, const std::string &name, const std::function<void()> &prepare,
             const std::function<void()> &animation)
{
    std::vector<double> ratios, times;
    int pauses = 0;
    for (int run = 0; run < Repeats; ++run) {
        prepare();
        settle();
        window.pauses = 0;
        const double animationMs = timeMs(animation);
        pauses = window.pauses;
        const double floorMs = pausesAloneMs(pauses);
        ratios.push_back(animationMs / floorMs);
        times.push_back(animationMs);
    }
    report((name + ".ratio").c_str(), median(ratios), "x");
    report((name + ".ms").c_str(), median(times), "ms");
    report((name + ".pauses").c_str(), pauses, "pauses");
}

// Puts every tile home on the current level, so that the next completion check finishes it.
void putEveryTileHome(Game &game)
{
    for (int j = 1; j <= 18; ++j)
        game.LevelTable(game.CurrentLevel, j).Content = uint8_t(j);
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const WindowSize size = sizeFromArgument(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString());
    BenchWindow window(QStringLiteral(MORVANE_BIN_DIR));
    startAt(window, size);
    Game &game = window.game();
    const std::string at = std::string(".") + size.key;

    measure(window, "deal7" + at, [] {}, [&] { game.LevelCommand(7); });
    // Pieces 1 and 2 swap back and forth; neither swap can finish a shuffled level.
    measure(window, "swap1" + at, [&] { if (game.CurrentLevel != 1) game.LevelCommand(1); },
            [&] { game.Click(1); game.Click(2); });
    measure(window, "shrinkswap" + at, [&] { if (game.CurrentLevel != 4) game.LevelCommand(4); },
            [&] { game.Click(1); game.Click(2); });
    measure(window, "turn" + at, [&] { if (game.CurrentLevel != 3) game.LevelCommand(3); },
            [&] { game.RightClick(1); });
    measure(window, "banner" + at,
            [&] { game.LevelCommand(2); putEveryTileHome(game); },
            [&] { game.CheckCompletion(); });
    if (!game.PuzzleSolved)
        std::fprintf(stderr, "bench_animations: the banner run did not finish the level\n");
    return 0;
}
