// The pacing of animation steps, on a clock the test drives: every step ends on a frame
// deadline counted from the animation's start, painting is part of a step, and a late step is
// never made up.
#include "../support/TestClock.h"

#include "game/FramePacer.h"

#include <QTest>

#include <vector>

using namespace morvane;
using namespace morvane::test;
using namespace std::chrono;
using namespace std::chrono_literals;

namespace {

// The test's clock driving a pacer: it moves only when the pacer sleeps or the "painting" of a
// step takes time.
struct PacedClock : TestClock {
    std::vector<nanoseconds> stepEnds;
    FramePacer pacer{[this] { return now; }, [this](nanoseconds deadline) { sleepTill(deadline); }};
    PacedClock() { now = 7s + 123ns; } // any origin will do
    // One step whose painting takes `paint`.
    void step(nanoseconds paint)
    {
        now += paint;
        pacer.endStep();
        stepEnds.push_back(now);
    }
};

} // namespace

class FramePacerTest : public QObject {
    Q_OBJECT

private slots:
    void aFifteenStepSlideEndsOnItsDeadlines()
    {
        PacedClock clock;
        const nanoseconds start = clock.now;
        clock.pacer.startAnimation();
        // Painting takes a different time in every step, always within the frame.
        for (int k = 1; k <= 15; ++k)
            clock.step(microseconds(300 * k));
        for (int k = 1; k <= 15; ++k)
            QCOMPARE(clock.stepEnds[size_t(k - 1)].count(), (start + frames(k)).count());
        // A quarter of a second in all, whatever the painting cost: it was part of each step.
        QCOMPARE(clock.now - start, nanoseconds(250ms));
        QCOMPARE(clock.pauses, 15);
        QCOMPARE(clock.pacer.steps(), 15);
        QCOMPARE(clock.pacer.lateSteps(), 0);
    }

    void deadlinesDoNotDriftOverALongAnimation()
    {
        // 180 steps (the level-7 deal) end exactly three seconds after the start: the deadlines
        // are counted from the start, not step by step from a rounded frame.
        PacedClock clock;
        const nanoseconds start = clock.now;
        clock.pacer.startAnimation();
        for (int k = 1; k <= 180; ++k)
            clock.step(1ms);
        QCOMPARE(clock.now - start, nanoseconds(3s));
    }

    void aStepThatOverrunsEndsWithoutWaitingAndIsNotMadeUp()
    {
        PacedClock clock;
        const nanoseconds start = clock.now;
        clock.pacer.startAnimation();
        for (int k = 1; k <= 4; ++k)
            clock.step(2ms);
        // The fifth step takes 40 ms to paint: it ends when painted, with no sleep at all.
        const int sleepsBefore = clock.pauses;
        clock.step(40ms);
        const nanoseconds lateEnd = start + frames(4) + 40ms;
        QCOMPARE(clock.stepEnds[4].count(), lateEnd.count());
        QCOMPARE(clock.pauses, sleepsBefore);
        QCOMPARE(clock.pacer.lateSteps(), 1);

        // No catching up: each later step still lasts a whole frame, counted from the late
        // step's end; none is skipped or shortened.
        for (int k = 6; k <= 15; ++k)
            clock.step(2ms);
        for (int k = 6; k <= 15; ++k)
            QCOMPARE(clock.stepEnds[size_t(k - 1)].count(), (lateEnd + frames(k - 5)).count());
        QCOMPARE(clock.pacer.steps(), 15);
        QCOMPARE(clock.pacer.lateSteps(), 1);
        QVERIFY(clock.now - start > nanoseconds(250ms));
    }

    void aSleepThatWakesLateCountsAsLate()
    {
        // The thread wakes 5 ms after its deadline, as on a busy machine: the next step still
        // gets a whole frame from there.
        PacedClock clock;
        const nanoseconds start = clock.now;
        clock.pacer.startAnimation();
        clock.wakeLateBy = 5ms;
        clock.step(1ms);
        QCOMPARE(clock.pacer.lateSteps(), 1);
        QCOMPARE(clock.now.count(), (start + frames(1) + 5ms).count());
        clock.wakeLateBy = 0ns;
        clock.step(1ms);
        QCOMPARE(clock.now.count(), (start + frames(1) + 5ms + frames(1)).count());

        // Woken a fraction of a millisecond late, the usual case, the steps keep their grid.
        PacedClock usual;
        const nanoseconds origin = usual.now;
        usual.pacer.startAnimation();
        usual.wakeLateBy = 200us;
        for (int k = 1; k <= 10; ++k)
            usual.step(1ms);
        for (int k = 1; k <= 10; ++k)
            QCOMPARE(usual.stepEnds[size_t(k - 1)].count(), (origin + frames(k) + 200us).count());
        QCOMPARE(usual.pacer.lateSteps(), 0);
    }

    void everyAnimationCountsFromItsOwnStart()
    {
        PacedClock clock;
        clock.pacer.startAnimation();
        for (int k = 1; k <= 3; ++k)
            clock.step(0ns);
        // A while later a new animation starts: its first step lasts a whole frame again,
        // however long ago the last deadline was.
        clock.now += 2s;
        const nanoseconds start = clock.now;
        clock.pacer.startAnimation();
        clock.step(3ms);
        QCOMPARE(clock.now.count(), (start + frames(1)).count());
        QCOMPARE(clock.pacer.lateSteps(), 0);
    }
};

QTEST_GUILESS_MAIN(FramePacerTest)
#include "tst_frame_pacer.moc"
