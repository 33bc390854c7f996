// How long the game's animations last, on a clock the test drives: every step one frame of
// 1/60 s whatever its painting costs, and a step that overruns its frame is not made up.
#include "../support/GameFixture.h"

#include "components/PictureBox.h"
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
    void everyStepLastsOneFrame_data()
    {
        QTest::addColumn<QString>("animation");
        QTest::addColumn<int>("level");
        QTest::addColumn<int>("steps");
        QTest::newRow("level-7 deal, 3 s") << "deal" << 7 << 180;
        QTest::newRow("level-5 deal, 3.6 s") << "deal" << 5 << 216;
        QTest::newRow("level-4 deal, 2.7 s") << "deal" << 4 << 162;
        QTest::newRow("level-3 deal, 2.7 s") << "deal" << 3 << 162;
        QTest::newRow("level-2 deal, 2.7 s") << "deal" << 2 << 162;
        QTest::newRow("level-1 slide, 0.25 s") << "swap" << 1 << 15;
        QTest::newRow("shrink and grow, 0.23 s") << "swap" << 4 << 14;
        QTest::newRow("turn, 0.47 s") << "turn" << 3 << 28;
        QTest::newRow("sliding banner, 1.07 s") << "finish" << 2 << 64;
        QTest::newRow("rising banner, 0.7 s") << "finish" << 3 << 42;
    }
    void everyStepLastsOneFrame()
    {
        QFETCH(QString, animation);
        QFETCH(int, level);
        QFETCH(int, steps);
        Fixture f(1);
        if (animation != QLatin1String("deal"))
            f.game.LevelCommand(level);
        if (animation == QLatin1String("finish"))
            f.putEveryTileHome();
        // Painting takes time on this clock too, and it is part of each step, not added.
        f.window.redrawCost = 3ms;
        f.window.resetCounts();
        if (animation == QLatin1String("deal")) {
            f.game.LevelCommand(level);
        } else if (animation == QLatin1String("swap")) {
            f.game.Click(2); // selects
            f.game.Click(3); // swaps
        } else if (animation == QLatin1String("turn")) {
            f.game.RightClick(5);
        } else {
            f.game.CheckCompletion();
        }
        QCOMPARE(f.window.pauses, steps);
        QCOMPARE(f.pacedDuration(), frames(steps));
        QCOMPARE(f.game.frames().lateSteps(), 0);
        if (animation == QLatin1String("finish"))
            QVERIFY(f.game.PuzzleSolved);
    }

    void aLevelOneSlideEndsItsStepsOnTheirDeadlines()
    {
        Fixture f(1);
        const QRectF homeA = f.window.piece(4).pixelGeometry();
        f.window.redrawCost = 2ms;
        const nanoseconds start = f.window.now;
        f.game.Click(4);
        f.game.Click(12);
        QCOMPARE(f.window.pauseEnds.size(), size_t(15));
        for (long long k = 1; k <= 15; ++k)
            QCOMPARE(f.window.pauseEnds[size_t(k - 1)].count(), (start + frames(k)).count());
        QCOMPARE(f.window.now - start, nanoseconds(250ms));
        QCOMPARE(f.window.piece(4).pixelGeometry(), homeA);
    }

    void aSlowStepIsLateAndTheRestAreNotShortened()
    {
        Fixture f(1);
        const QRectF homeA = f.window.piece(4).pixelGeometry();
        const QRectF homeB = f.window.piece(12).pixelGeometry();
        // The eighth picture of the slide takes 40 ms to paint, the others 2 ms.
        f.window.onRedraw = [&] { f.window.redrawCost = f.window.windowRedraws == 8 ? 40ms : 2ms; };
        const nanoseconds start = f.window.now;
        f.game.Click(4);
        f.game.Click(12);
        // Every step is shown: fifteen pictures, fourteen of them waited for their deadline.
        QCOMPARE(f.window.windowRedraws, 15);
        QCOMPARE(f.window.pauses, 14);
        QCOMPARE(f.game.frames().lateSteps(), 1);
        for (long long k = 1; k <= 7; ++k)
            QCOMPARE(f.window.pauseEnds[size_t(k - 1)].count(), (start + frames(k)).count());
        // The late step ends when painted; each step after it gets a whole frame from there.
        const nanoseconds lateEnd = start + frames(7) + 40ms;
        for (long long k = 9; k <= 15; ++k)
            QCOMPARE(f.window.pauseEnds[size_t(k - 2)].count(), (lateEnd + frames(k - 8)).count());
        QCOMPARE((f.window.now - start).count(), (frames(7) + 40ms + frames(7)).count());
        QCOMPARE(f.window.piece(4).pixelGeometry(), homeA);
        QCOMPARE(f.window.piece(12).pixelGeometry(), homeB);
    }

    void paintingSlowerThanAFrameShowsEveryStepAndWaitsForNone()
    {
        Fixture f(3);
        f.window.redrawCost = 25ms;
        const nanoseconds start = f.window.now;
        f.game.RightClick(7);
        // All 28 pictures of the turn, each as long as its painting; no step skipped.
        QCOMPARE(f.window.windowRedraws, 28);
        QCOMPARE(f.window.pauses, 0);
        QCOMPARE(f.game.frames().lateSteps(), 28);
        QCOMPARE(f.window.now - start, nanoseconds(28 * 25ms));
    }
};

QTEST_MAIN(PacingTest)
#include "tst_pacing.moc"
