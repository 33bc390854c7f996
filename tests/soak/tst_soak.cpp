// The soak test: a monkey plays the real game with hundreds of thousands of random events and
// the board is checked after every one; and the checks themselves are shown to catch faults.
#include "BoardInvariants.h"
#include "Monkey.h"
#include "SoakFiles.h"
#include "SoakWindow.h"

#include "components/BoardArea.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTest>

#include <deque>
#include <random>

using namespace morvane;
using namespace morvane::test;

namespace {

uint32_t soakSeed()
{
    bool ok = false;
    const uint32_t fromEnv = qEnvironmentVariable("MORVANE_SOAK_SEED").toUInt(&ok);
    return ok ? fromEnv : std::random_device{}();
}

long long soakEvents()
{
    bool ok = false;
    const long long fromEnv = qEnvironmentVariable("MORVANE_SOAK_EVENTS").toLongLong(&ok);
    return ok && fromEnv > 0 ? fromEnv : MORVANE_SOAK_EVENTS;
}

LevelTable levelFileTable(const DataFolder &data)
{
    LevelTable table;
    readLevelFile(data.file(QStringLiteral("Levels.res")), table);
    return table;
}

// Events are remembered this far back, to show what led to a broken board.
constexpr size_t HistoryLength = 12;
// Pending repaints and deferred work are let through this often, as an event loop would.
constexpr long long EventsPerLoopTurn = 64;
constexpr int ReportedViolations = 10;
constexpr long long EventsPerProgressLine = 100000;

} // namespace

class SoakTest : public QObject {
    Q_OBJECT

private slots:
    void checksCatchBrokenBoards()
    {
        DataFolder data;
        HandlerGuard guard;
        ScriptedRandom random;
        SoakWindow window(data.path(), &random, guard);
        window.start();
        Game &game = window.game();
        game.LevelCommand(4);
        BoardInvariants invariants(levelFileTable(data));
        invariants.noteDealt(1);
        invariants.noteDealt(4);
        QCOMPARE(invariants.check(window), QStringList());

        // Two places showing the same tile.
        PieceRecord &place = game.LevelTable(4, 2);
        const uint8_t content = place.Content;
        place.Content = game.LevelTable(4, 3).Content;
        QVERIFY(invariants.check(window).join(' ').contains("permutation"));
        place.Content = content;

        // A field read from the level file overwritten, on a level not in play.
        game.LevelTable(6, 9).RightLink += 1;
        QVERIFY(invariants.check(window).join(' ').contains("level file"));
        game.LevelTable(6, 9).RightLink -= 1;

        // A piece beyond the board's edge, and one inside the board but off its place.
        PieceImage &piece = window.piece(7);
        const QRectF home = piece.pixelGeometry();
        piece.setPixelGeometry(home.translated(window.board().width(), 0));
        QVERIFY(invariants.check(window).join(' ').contains("outside the board"));
        piece.setPixelGeometry(home.translated(-3, 0));
        const QStringList offPlace = invariants.check(window);
        QVERIFY(offPlace.join(' ').contains("not on its place"));
        QVERIFY(!offPlace.join(' ').contains("outside"));
        piece.setPixelGeometry(home);

        // A finished picture with a piece still showing.
        game.PuzzleSolved = true;
        QVERIFY(invariants.check(window).join(' ').contains("finished picture"));
        game.PuzzleSolved = false;
        QCOMPARE(invariants.check(window), QStringList());
    }

    void guardCountsWhatHandlersThrow()
    {
        DataFolder data;
        HandlerGuard guard;
        SoakWindow window(data.path(), nullptr, guard);
        window.start();
        // No piece is selected: the pulse has no piece to work on.
        guard.run("pulse", [&] { window.game().BorderTimerTick(); });
        QCOMPARE(guard.failures(), 1);
        QVERIFY(guard.first().first().startsWith("pulse: "));
    }

    void monkeyPlays()
    {
        const uint32_t seed = soakSeed();
        const long long events = soakEvents();
        qInfo("soak: %lld events, seed %u (MORVANE_SOAK_SEED=%u repeats this run)", events, seed,
              seed);

        const SoakFiles files;
        DataFolder data;
        HandlerGuard guard;
        ScriptedRandom random;
        SoakWindow window(data.path(), &random, guard);
        BoardInvariants invariants(levelFileTable(data));
        guard.run("start-up", [&] { window.start(); });
        invariants.noteDealt(window.game().CurrentLevel);
        Monkey monkey(window, data, files, guard, seed);

        std::deque<QString> history;
        QStringList violations;
        long long brokenEvents = 0;
        QElapsedTimer clock;
        clock.start();
        for (long long n = 1; n <= events; ++n) {
            Monkey::Event event = monkey.step();
            history.push_back(event.what);
            if (history.size() > HistoryLength)
                history.pop_front();
            invariants.noteDealt(window.game().CurrentLevel);
            const QStringList broken = event.broken + invariants.check(window);
            if (!broken.isEmpty()) {
                ++brokenEvents;
                if (violations.size() < ReportedViolations) {
                    QStringList lead(history.begin(), history.end());
                    violations << QStringLiteral("after event %1: %2\n    events before: %3")
                                      .arg(n)
                                      .arg(broken.join(QStringLiteral("; ")),
                                           lead.join(QStringLiteral(" | ")));
                }
            }
            if (n % EventsPerLoopTurn == 0)
                QCoreApplication::processEvents();
            if (n % EventsPerProgressLine == 0)
                qInfo("soak: %lld events, %.0f s", n, double(clock.elapsed()) / 1000.0);
        }

        qInfo("soak: %lld events in %.1f s, %d pictures finished, %lld events broke the board, "
              "%d handler failures",
              events, double(clock.elapsed()) / 1000.0, monkey.finishedPictures(), brokenEvents,
              guard.failures());
        qInfo("soak: %s", qPrintable(monkey.tally()));
        for (const QString &violation : violations)
            qWarning("soak: %s", qPrintable(violation));
        for (const QString &failure : guard.first())
            qWarning("soak: thrown out of a handler: %s", qPrintable(failure));
        // A handler that lets an error escape, or an event that leaves the board breaking its
        // rules, fails the soak: among others a board only a few pixels wide or high, where a
        // linked place once came out less than nothing wide and Resize stopped part-way.
        QVERIFY2(guard.failures() == 0, "a handler let an exception escape (seed above)");
        QVERIFY2(brokenEvents == 0, "the board broke its rules (seed above)");
    }
};

QTEST_MAIN(SoakTest)
#include "tst_soak.moc"
