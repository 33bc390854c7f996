// Every animation of the game, counted once: its steps, what each step redraws, and how long
// it lasts on a clock the test drives, where every step is one frame of 1/60 s whatever its
// painting costs, and painting slower than a frame shows every step and waits for none.
#include "../support/GameFixture.h"

#include "game/FramePacer.h"

#include <QTest>

using namespace morvane;
using namespace morvane::test;
using namespace std::chrono;
using namespace std::chrono_literals;

namespace {

// A game on a level, its counts cleared once it is dealt.
struct Fixture : GameFixture {
    explicit Fixture(int level = 1) : GameFixture(level) { window.resetCounts(); }
    // Every tile home and nothing mirrored, so that the next completion check finishes.
    void putEveryTileHome()
    {
        for (int j = 1; j <= 18; ++j) {
            game.LevelTable(game.CurrentLevel, j).Content = uint8_t(j);
            window.piece(j).setFlipHorizontal(false);
            window.piece(j).setFlipVertical(false);
        }
    }
    // The time from the animation's start to the end of its last step, checking on the way
    // that every step ended exactly on its frame.
    nanoseconds pacedDuration() const
    {
        const std::vector<nanoseconds> &ends = window.pauseEnds;
        if (ends.empty())
            return 0ns;
        const nanoseconds start = ends.front() - frames(1);
        for (size_t k = 0; k < ends.size(); ++k)
            if (ends[k] != start + frames(static_cast<long long>(k) + 1))
                return -1ns; // off its deadline
        return ends.back() - start;
    }
};

} // namespace

class PacingTest : public QObject {
    Q_OBJECT

private slots:
    void everyAnimation_data()
    {
        QTest::addColumn<QString>("animation");
        QTest::addColumn<int>("level");
        QTest::addColumn<int>("paintMs");       // what a window redraw costs on the clock
        QTest::addColumn<int>("steps");         // waited for the end of their frame
        QTest::addColumn<int>("windowRedraws"); // the whole window painted at once
        QTest::addColumn<int>("pieceRedraws");  // a piece painted on its own
        QTest::addColumn<int>("frames");        // from the start to the last step's end
        QTest::addColumn<int>("lateSteps");
        // A deal lays the board out and shows it once, then its pieces enter one at a time.
        QTest::newRow("level-1 deal, all at once") << "deal" << 1 << 3 << 0 << 1 << 0 << 0 << 0;
        QTest::newRow("level-6 deal, all at once") << "deal" << 6 << 3 << 0 << 1 << 0 << 0 << 0;
        QTest::newRow("own picture deal, all at once")
            << "own deal" << 0 << 3 << 0 << 1 << 0 << 0 << 0;
        // Growing in 9 steps, each piece redrawing only itself, and once more at full size.
        QTest::newRow("level-2 deal, grow in width, 2.7 s")
            << "deal" << 2 << 3 << 18 * 9 << 1 << 18 * 10 << 162 << 0;
        QTest::newRow("level-3 deal, grow in height, 2.7 s")
            << "deal" << 3 << 3 << 18 * 9 << 1 << 18 * 10 << 162 << 0;
        QTest::newRow("level-4 deal, grow in width, 2.7 s")
            << "deal" << 4 << 3 << 18 * 9 << 1 << 18 * 10 << 162 << 0;
        // Dropping in 12 steps and sliding in 10, each piece shown once at full size and the
        // window redrawn at every step and once more on the place.
        QTest::newRow("level-5 deal, drop from the top, 3.6 s")
            << "deal" << 5 << 3 << 18 * 12 << 1 + 18 * 13 << 18 << 216 << 0;
        QTest::newRow("level-7 deal, slide in, 3 s")
            << "deal" << 7 << 3 << 18 * 10 << 1 + 18 * 11 << 18 << 180 << 0;
        QTest::newRow("level-1 slide, 0.25 s") << "swap" << 1 << 3 << 15 << 15 << 0 << 15 << 0;
        QTest::newRow("level-2 shrink and grow, 0.23 s")
            << "swap" << 2 << 3 << 14 << 14 << 0 << 14 << 0;
        QTest::newRow("level-4 shrink and grow, 0.23 s")
            << "swap" << 4 << 3 << 14 << 14 << 0 << 14 << 0;
        // Levels 1 and 2 animate the turn though they mirror nothing.
        QTest::newRow("level-2 turn, 0.47 s") << "turn" << 2 << 3 << 28 << 28 << 0 << 28 << 0;
        QTest::newRow("level-3 turn, 0.47 s") << "turn" << 3 << 3 << 28 << 28 << 0 << 28 << 0;
        // Each step as long as its painting: all 28 pictures shown, none waited for.
        QTest::newRow("level-3 turn painted slower than a frame")
            << "turn" << 3 << 25 << 0 << 28 << 0 << 0 << 28;
        // The banner frames are drawn into the finished picture: one step each, at x 1, 5,
        // .. 253, or at y 338.3 (450 / 1.33), 330.3, .. 10.3.
        QTest::newRow("level-1 sliding banner, 1.07 s")
            << "finish" << 1 << 3 << 64 << 0 << 0 << 64 << 0;
        QTest::newRow("level-2 sliding banner, 1.07 s")
            << "finish" << 2 << 3 << 64 << 0 << 0 << 64 << 0;
        QTest::newRow("level-3 rising banner, 0.7 s")
            << "finish" << 3 << 3 << 42 << 0 << 0 << 42 << 0;
        QTest::newRow("level-4 rising banner, 0.7 s")
            << "finish" << 4 << 3 << 42 << 0 << 0 << 42 << 0;
        QTest::newRow("level-5 finished, no banner") << "finish" << 5 << 3 << 0 << 0 << 0 << 0 << 0;
    }
    void everyAnimation()
    {
        QFETCH(QString, animation);
        QFETCH(int, level);
        QFETCH(int, paintMs);
        QFETCH(int, steps);
        QFETCH(int, windowRedraws);
        QFETCH(int, pieceRedraws);
        QFETCH(int, frames);
        QFETCH(int, lateSteps);
        Fixture f(animation == QLatin1String("deal") ? 1 : level);
        if (animation == QLatin1String("finish"))
            f.putEveryTileHome();
        if (animation == QLatin1String("own deal")) {
            f.window.formChoice = f.data.file(QStringLiteral("Level6.res"));
            f.window.openCommand().run();
            QCOMPARE(f.game.CurrentLevel, 0);
        }
        // Painting takes time on this clock too, and it is part of each step, not added.
        f.window.redrawCost = milliseconds(paintMs);
        f.window.resetCounts();
        const int piecesBefore = f.window.pieceRedraws();
        const long long lateBefore = f.game.frames().lateSteps();
        if (animation == QLatin1String("deal")) {
            f.game.LevelCommand(level);
        } else if (animation == QLatin1String("own deal")) {
            f.game.DealLevel();
        } else if (animation == QLatin1String("swap")) {
            f.game.Click(2); // selects
            f.game.Click(3); // swaps
        } else if (animation == QLatin1String("turn")) {
            f.game.RightClick(5);
        } else {
            f.game.CheckCompletion();
            QVERIFY(f.game.PuzzleSolved);
        }
        QCOMPARE(f.window.pauses, steps);
        QCOMPARE(f.window.windowRedraws, windowRedraws);
        QCOMPARE(f.window.pieceRedraws() - piecesBefore, pieceRedraws);
        QCOMPARE(f.pacedDuration(), morvane::test::frames(frames));
        QCOMPARE(f.game.frames().lateSteps() - lateBefore, lateSteps);
    }
};

QTEST_MAIN(PacingTest)
#include "tst_pacing.moc"
