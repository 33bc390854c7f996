// The game's animations with their real frame pacing, each as a ratio to its number of steps
// times one frame of 1/60 s: the level-7 deal, the level-5 drop, the level-3 growth, a level-1
// swap, a shrink-and-grow swap, a turn, and the sliding and rising banners. The level-7 deal
// also reports the CPU it uses. Argument: "start" (default) or "1920x1080".
#include "BenchWindow.h"
#include "Timing.h"
#include "WindowSizes.h"
#include "game/FramePacer.h"
#include "components/PieceImage.h"
#include "game/Game.h"

#include <QApplication>
#include <QDir>

#include <cstdio>
#include <functional>
#include <string>

using namespace morvane;
using namespace morvane::bench;

namespace {

constexpr double FrameMs = 1000.0 / 60;

// Runs `animation` `repeats` times after `prepare`; reports the median ratio of its time to its
// steps times a frame, the median time, the steps, the late steps of all runs, and the CPU the
// runs used as a share of their wall time.
void measure(BenchWindow &window, const std::string &name, int repeats,
             const std::function<void()> &prepare, const std::function<void()> &animation)
{
    std::vector<double> ratios, times;
    long long steps = 0, late = 0;
    double cpuMs = 0, wallMs = 0;
    for (int run = 0; run < repeats; ++run) {
        prepare();
        settle();
        const FramePacer &frames = window.game().frames();
        const long long stepsBefore = frames.steps(), lateBefore = frames.lateSteps();
        const double cpuBefore = processCpuMs();
        const double animationMs = timeMs(animation);
        cpuMs += processCpuMs() - cpuBefore;
        wallMs += animationMs;
        steps = frames.steps() - stepsBefore;
        late += frames.lateSteps() - lateBefore;
        ratios.push_back(animationMs / (double(steps) * FrameMs));
        times.push_back(animationMs);
    }
    report((name + ".ratio").c_str(), median(ratios), "x");
    report((name + ".ms").c_str(), median(times), "ms");
    report((name + ".steps").c_str(), double(steps), "steps");
    report((name + ".late").c_str(), double(late), "steps");
    report((name + ".cpu").c_str(), 100.0 * cpuMs / wallMs, "%");
}

// Puts every tile home on the current level, unmirrored, so that the next completion check
// finishes it.
void putEveryTileHome(BenchWindow &window)
{
    Game &game = window.game();
    for (int j = 1; j <= 18; ++j) {
        game.LevelTable(game.CurrentLevel, j).Content = uint8_t(j);
        window.piece(j).setFlipHorizontal(false);
        window.piece(j).setFlipVertical(false);
    }
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const WindowSize size =
        sizeFromArgument(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString());
    BenchWindow window(QStringLiteral(MORVANE_BIN_DIR));
    startAt(window, size);
    Game &game = window.game();
    const std::string at = std::string(".") + size.key;
    // The deals last seconds each: fewer runs of them keep the whole benchmark short.
    constexpr int DealRuns = 3, MoveRuns = 7;

    // Named: with two lambdas in a call, clang-format 14 and 19 lay the call out differently.
    const auto noSetUp = [] {};
    measure(window, "deal7" + at, DealRuns, noSetUp, [&] { game.LevelCommand(7); });
    measure(window, "deal5" + at, DealRuns, noSetUp, [&] { game.LevelCommand(5); });
    measure(window, "deal3" + at, DealRuns, noSetUp, [&] { game.LevelCommand(3); });
    // Pieces 1 and 2 swap back and forth; neither swap can finish a shuffled level.
    measure(
        window, "swap1" + at, MoveRuns,
        [&] {
            if (game.CurrentLevel != 1)
                game.LevelCommand(1);
        },
        [&] {
            game.Click(1);
            game.Click(2);
        });
    measure(
        window, "shrinkswap" + at, MoveRuns,
        [&] {
            if (game.CurrentLevel != 4)
                game.LevelCommand(4);
        },
        [&] {
            game.Click(1);
            game.Click(2);
        });
    measure(
        window, "turn" + at, MoveRuns,
        [&] {
            if (game.CurrentLevel != 3)
                game.LevelCommand(3);
        },
        [&] { game.RightClick(1); });
    measure(
        window, "banner" + at, MoveRuns,
        [&] {
            game.LevelCommand(2);
            putEveryTileHome(window);
        },
        [&] { game.CheckCompletion(); });
    if (!game.PuzzleSolved)
        std::fprintf(stderr, "bench_animations: the banner run did not finish the level\n");
    measure(
        window, "rising" + at, MoveRuns,
        [&] {
            game.LevelCommand(3);
            putEveryTileHome(window);
        },
        [&] { game.CheckCompletion(); });
    if (!game.PuzzleSolved)
        std::fprintf(stderr, "bench_animations: the rising banner run did not finish the level\n");
    return 0;
}
