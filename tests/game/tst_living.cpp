// A living board: the hover glow and its fade, the selection pulse, hidden pieces, and the
// board following the window's size.
#include "../support/GameFixture.h"

#include "components/BoardArea.h"
#include "components/PictureBox.h"
#include "components/PictureClip.h"
#include "game/BoardLayout.h"

#include <QAction>
#include <QCursor>
#include <QSignalSpy>
#include <QTest>

#include <chrono>
#include <thread>

using namespace morvane;
using namespace morvane::test;

class LivingTest : public QObject {
    Q_OBJECT

private slots:
    void hoverLightsAndFadesInFiveTicks()
    {
        GameFixture f;
        f.game.PieceMouseMove(3);
        QCOMPARE(f.game.HoverPiece, uint8_t(3));
        QCOMPARE(f.piece(3).BorderColor(), int32_t(0xFFFF00));
        QCOMPARE(f.piece(3).BorderWidth(), 5);
        f.ticks(&Game::MoveTimerTick, 3);
        QCOMPARE(f.piece(3).BorderWidth(), 5); // the hovered piece keeps its glow

        // Straight onto piece 4: it lights at once, piece 3 fades over five ticks.
        f.game.PieceMouseMove(4);
        QCOMPARE(f.piece(4).BorderWidth(), 5);
        const int32_t expected[] = {0xFFCC00, 0xFF9900, 0xFF6600, 0xFF3300, 0xFF0000};
        for (int tick = 0; tick < 5; ++tick) {
            f.game.MoveTimerTick();
            QCOMPARE(f.piece(3).BorderWidth(), 4 - tick);
            QCOMPARE(f.piece(3).BorderColor(), expected[tick]);
        }
        f.game.MoveTimerTick();
        QCOMPARE(f.piece(3).BorderColor(), int32_t(0xFF0000)); // width 0: left alone
        QCOMPARE(f.piece(4).BorderWidth(), 5);
        QCOMPARE(f.game.LoopCounter, 19.0);

        // Onto the background: nothing is hovered and piece 4 fades too.
        f.game.BackgroundMouseMove();
        f.ticks(&Game::MoveTimerTick, 5);
        QCOMPARE(f.piece(4).BorderWidth(), 0);
        QCOMPARE(f.piece(4).BorderColor(), int32_t(0xFF0000));
    }

    void fadeTimerSleepsWhenNothingIsLeftToFade()
    {
        GameFixture f;
        f.window.timMove().stop();
        emit f.piece(3).MouseMove(3); // the mouse lights piece 3, which keeps its glow
        QTest::mouseMove(&f.window.board(), QPoint(3, 3)); // onto the background: it fades
        QCOMPARE(f.game.HoverPiece, uint8_t(0));
        QVERIFY(f.window.timMove().isActive());
        QTRY_VERIFY_WITH_TIMEOUT(!f.window.timMove().isActive(), 5000);
        QCOMPARE(f.piece(3).BorderWidth(), 0);
        QCOMPARE(f.piece(3).BorderColor(), int32_t(0xFF0000));
        // A selected piece keeps its glow without the timer; letting it go wakes the fade.
        emit f.piece(5).MouseMove(5);
        emit f.piece(5).Click(5);
        QTest::mouseMove(&f.window.board(), QPoint(4, 4));
        QTRY_VERIFY_WITH_TIMEOUT(!f.window.timMove().isActive(), 5000);
        QCOMPARE(f.piece(5).BorderWidth(), 5);
        emit f.piece(5).Click(5);
        QVERIFY(f.window.timMove().isActive());
        QTRY_COMPARE_WITH_TIMEOUT(f.piece(5).BorderWidth(), 0, 5000);
    }

    void aGlowLetGoByALevelChoiceOrOpenFades_data()
    {
        QTest::addColumn<bool>("open");
        QTest::addColumn<bool>("resting");
        QTest::newRow("Levels > Level 3") << false << false;
        QTest::newRow("File > Open") << true << false;
        QTest::newRow("Levels > Level 3, the mouse resting") << false << true;
        QTest::newRow("File > Open, the mouse resting") << true << true;
    }
    void aGlowLetGoByALevelChoiceOrOpenFades()
    {
        QFETCH(bool, open);
        QFETCH(bool, resting);
        GameFixture f;
        // Hovered, then clicked: the selected piece keeps its glow; the mouse goes on to the
        // background, and with no glow left to fade the fade timer sleeps.
        emit f.piece(5).MouseMove(5);
        emit f.piece(5).Click(5);
        if (resting) {
            // The mouse stays where it clicked, and the new deal puts another piece there.
            QCursor::setPos(f.piece(5).mapToGlobal(f.piece(5).rect().center()));
        } else {
            f.window.board().onBackgroundMouseMove();
            QCOMPARE(f.game.HoverPiece, uint8_t(0));
        }
        QCOMPARE(f.piece(5).BorderWidth(), 5);
        QVERIFY(!f.window.timMove().isActive());

        // The new deal lets the piece go: its glow is now left to fade, and fades without
        // waiting for the mouse.
        if (open) {
            f.window.formChoice = f.data.file("Level6.res");
            f.window.openAction()->trigger();
            QCOMPARE(f.game.CurrentLevel, 0);
        } else {
            f.window.levelAction(3)->trigger();
            QCOMPARE(f.game.CurrentLevel, 3);
        }
        QCOMPARE(f.game.SelectedPiece, 0);
        if (resting) {
            QVERIFY(!f.piece(5).geometry().contains(
                f.piece(5).parentWidget()->mapFromGlobal(QCursor::pos())));
            QCOMPARE(f.game.HoverPiece, uint8_t(0));
        }
        QVERIFY(f.window.timMove().isActive());
        QTRY_COMPARE_WITH_TIMEOUT(f.piece(5).BorderWidth(), 0, 5000);
        QCOMPARE(f.piece(5).BorderColor(), int32_t(0xFF0000 - 5 * 0x3300));
        QTRY_VERIFY_WITH_TIMEOUT(!f.window.timMove().isActive(), 5000);
    }

    void thePulseTakesOneStepPerTickOnceAFrame()
    {
        GameFixture f;
        QSignalSpy ticks(&f.window.timBorder(), &QTimer::timeout);
        emit f.piece(8).Click(8);
        QVERIFY(f.window.timBorder().isActive());
        QTRY_VERIFY_WITH_TIMEOUT(ticks.count() >= 12, 5000);
        QCOMPARE(f.piece(8).BorderColor(), int32_t(0x00FF00 - 30 * ticks.count()));

        // Held up by an animation, the pulse stands still, and afterwards takes one step, not
        // the many it missed.
        const int before = int(ticks.count());
        const int32_t colour = f.piece(8).BorderColor();
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        QCoreApplication::processEvents();
        QVERIFY(ticks.count() - before <= 1);
        QCOMPARE(f.piece(8).BorderColor(), int32_t(colour - 30 * (ticks.count() - before)));

        // Letting the piece go stops it.
        emit f.piece(8).Click(8);
        QVERIFY(!f.window.timBorder().isActive());
    }

    void deselectedPieceFadesByBorrowingFromBlue()
    {
        GameFixture f;
        f.game.PieceMouseMove(6);
        f.game.Click(6); // selected while it glows: the pulse owns its frame now
        f.game.PieceMouseMove(6);
        QCOMPARE(f.piece(6).BorderColor(), int32_t(0x00FF00));
        f.ticks(&Game::MoveTimerTick, 3);
        QCOMPARE(f.piece(6).BorderWidth(), 5); // skipped while selected
        f.game.Click(6);
        QCOMPARE(f.piece(6).BorderColor(), int32_t(0xFF0000));
        f.game.BackgroundMouseMove();
        f.game.MoveTimerTick();
        QCOMPARE(f.piece(6).BorderColor(), int32_t(0xFF0000 - 0x3300)); // 0xFECD00
        f.ticks(&Game::MoveTimerTick, 4);
        QCOMPARE(f.piece(6).BorderColor(), int32_t(0xFF0000 - 5 * 0x3300));
        QCOMPARE(f.piece(6).BorderWidth(), 0);
    }

    // The selected piece's frame, from green, after so many ticks of the pulse: 30 down a tick
    // (0x00FF00 is 65280) until it falls below 255, then 50 up a tick. The frame shows the value
    // as blue, green and red bytes, from the low byte up: red first.
    void thePulseStepsAndTurns_data()
    {
        QTest::addColumn<int>("ticks");
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("phase");
        QTest::addColumn<QColor>("shown");
        QTest::newRow("one tick") << 1 << 0x00FEE2 << -30 << QColor(0xE2, 0xFE, 0x00);
        QTest::newRow("two ticks") << 2 << 0x00FEC4 << -30 << QColor(0xC4, 0xFE, 0x00);
        QTest::newRow("nine ticks") << 9 << 0x00FDF2 << -30 << QColor(0xF2, 0xFD, 0x00);
        // 65280 - 2167 x 30 = 270 is not below 255 yet; one more tick gives 240, and it turns.
        QTest::newRow("last step down") << 2167 << 0x00010E << -30 << QColor(0x0E, 0x01, 0x00);
        QTest::newRow("turns up below 255") << 2168 << 0x0000F0 << 50 << QColor(0xF0, 0x00, 0x00);
        QTest::newRow("first step up") << 2169 << 0x000122 << 50 << QColor(0x22, 0x01, 0x00);
        // 240 + 3832 x 50 = 191840: far from the top, where it would turn down again.
        QTest::newRow("climbing") << 6000 << 0x02ED60 << 50 << QColor(0x60, 0xED, 0x02);
    }
    void thePulseStepsAndTurns()
    {
        QFETCH(int, ticks);
        QFETCH(int, value);
        QFETCH(int, phase);
        QFETCH(QColor, shown);
        GameFixture f;
        PieceImage &piece = f.piece(8);
        f.game.Click(8);
        f.ticks(&Game::BorderTimerTick, ticks);
        QCOMPARE(piece.BorderColor(), int32_t(value));
        QCOMPARE(int(f.game.BorderPhase), phase);
        QCOMPARE(piece.grab().toImage().pixelColor(0, 0), shown);
        // Hovering the selected piece changes nothing of its frame.
        f.game.PieceMouseMove(8);
        QCOMPARE(piece.BorderColor(), int32_t(value));
        QCOMPARE(f.game.HoverPiece, uint8_t(8));
        // Let go and selected again, it starts afresh from green, going down.
        f.game.Click(8);
        f.game.Click(8);
        f.game.BorderTimerTick();
        QCOMPARE(piece.BorderColor(), int32_t(0x00FEE2));
    }

    // The pulse turns only once its value has passed an end: below 255, or above 0xFFFF00.
    void thePulseTurnsOnlyPastItsEnds_data()
    {
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("phase");
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("turnedPhase");
        QTest::newRow("down onto 255: goes on down") << 285 << -30 << 255 << -30;
        QTest::newRow("down onto 254: turns up") << 284 << -30 << 254 << 50;
        QTest::newRow("up onto the top: goes on up") << 0xFFFF00 - 50 << 50 << 0xFFFF00 << 50;
        QTest::newRow("up past the top: turns down") << 0xFFFF00 - 20 << 50 << 0xFFFF00 + 30 << -50;
    }
    void thePulseTurnsOnlyPastItsEnds()
    {
        QFETCH(int, from);
        QFETCH(int, phase);
        QFETCH(int, value);
        QFETCH(int, turnedPhase);
        GameFixture f;
        f.game.Click(2);
        f.piece(2).setBorderColor(from);
        f.game.BorderPhase = int16_t(phase);
        f.game.BorderTimerTick();
        QCOMPARE(f.piece(2).BorderColor(), int32_t(value));
        QCOMPARE(int(f.game.BorderPhase), turnedPhase);
    }

    void hiderColoursAndRestoreAtLevelSix()
    {
        GameFixture f(6);
        f.game.Click(2);
        f.game.Click(9);
        PieceImage &hidden = f.piece(9);
        QVERIFY(hidden.Picture().isNull());
        QCOMPARE(hidden.HideCount(), 16);
        // Meanwhile the place's content changes: the restore shows the new content.
        f.game.Click(4);
        f.game.Click(9); // hidden again, for 16 ticks from now
        const uint8_t nowShown = f.game.LevelTable(6, 9).Content;
        for (int tick = 1; tick <= 15; ++tick)
            f.game.HiderTimerTick();
        QVERIFY(hidden.Picture().isNull());
        QCOMPARE(hidden.HideColor(), int32_t(0xC0C0C0 - 15 * 0x80000));
        f.game.HiderTimerTick();
        QCOMPARE(hidden.HideCount(), 0);
        QCOMPARE(hidden.HideColor(), int32_t(0x40C0C0));
        const PieceRecord &tile = f.game.LevelTable(6, nowShown);
        QCOMPARE(hidden.Picture(), f.window.clipper().Picture().copy(
                                       tile.SrcLeft, tile.SrcTop, tile.SrcWidth, tile.SrcHeight));
        for (int j = 1; j <= 18; ++j)
            QVERIFY(!f.piece(j).Picture().isNull());
        QCOMPARE(f.game.LoopCounter, 19.0);
    }

    void levelSevenChainsFurtherHides()
    {
        GameFixture f(7);
        f.game.Click(1);
        f.game.Click(3); // piece 3 hidden for 16 ticks
        f.ticks(&Game::HiderTimerTick, 15);
        QCOMPARE(f.piece(3).HideColor(), int32_t(0xC0C0C0 - 15 * 8));
        // k = 5 lies within two places of 3: the chain ends.
        f.random.script = {4.0f / 18.0f + 0.01f};
        f.game.HiderTimerTick();
        QCOMPARE(f.piece(3).HideColor(), int32_t(0xC0C040));
        for (int j = 1; j <= 18; ++j)
            QCOMPARE(f.piece(j).HideCount(), 0);

        // k = 12 lies further away: piece 12 hides for 18 ticks and, lying after place 3, is
        // counted down once more within the same tick.
        f.game.Click(2);
        f.game.Click(3);
        f.ticks(&Game::HiderTimerTick, 15);
        f.random.script = {11.0f / 18.0f + 0.01f};
        f.game.HiderTimerTick();
        QCOMPARE(f.piece(12).HideCount(), 17);
        QCOMPARE(f.piece(12).HideColor(), int32_t(0xC0C0C0 - 8));
        QVERIFY(f.piece(12).Picture().isNull());
        // A piece before the restoring place is first counted down in the next tick.
        f.ticks(&Game::HiderTimerTick, 16);
        f.random.script = {0.0f}; // k = 1, from place 12: hidden, counted from the next tick
        f.game.HiderTimerTick();
        QCOMPARE(f.piece(12).HideCount(), 0);
        QCOMPARE(f.piece(12).HideColor(), int32_t(0xC0C030));
        QCOMPARE(f.piece(1).HideCount(), 18);
        QCOMPARE(f.piece(1).HideColor(), int32_t(0xC0C0C0));
    }

    // On level 7 a piece restored draws another at random: one within two places of it is left
    // alone, one farther away hidden for 18 ticks. Both edges of that band, on both sides of
    // place 9.
    void levelSevenHidesOnlyBeyondTwoPlaces_data()
    {
        QTest::addColumn<int>("drawn");
        QTest::addColumn<bool>("hidden");
        QTest::newRow("three before: hidden") << 6 << true;
        QTest::newRow("two before: left alone") << 7 << false;
        QTest::newRow("itself: left alone") << 9 << false;
        QTest::newRow("two after: left alone") << 11 << false;
        QTest::newRow("three after: hidden") << 12 << true;
    }
    void levelSevenHidesOnlyBeyondTwoPlaces()
    {
        QFETCH(int, drawn);
        QFETCH(bool, hidden);
        GameFixture f(7);
        f.swap(1, 9); // piece 9 hidden for 16 ticks
        QCOMPARE(f.piece(9).HideCount(), 16);
        f.ticks(&Game::HiderTimerTick, 15);
        f.random.script = {float(drawn - 1) / 18.0f + 0.01f};
        f.game.HiderTimerTick();
        QVERIFY(f.random.script.empty());
        QCOMPARE(f.piece(9).HideCount(), 0);
        QVERIFY(!f.piece(9).Picture().isNull());
        // Hidden after the restoring place, it is counted down once more in the same tick.
        QCOMPARE(f.piece(drawn).HideCount(), hidden ? (drawn > 9 ? 17 : 18) : 0);
        QCOMPARE(f.piece(drawn).Picture().isNull(), hidden);
        for (int j = 1; j <= 18; ++j)
            if (j != drawn)
                QCOMPARE(f.piece(j).HideCount(), 0);
    }

    void layoutFollowsTheWindow()
    {
        GameFixture f(2);
        // Twice as wide: lefts and widths double, tops and heights stay.
        f.window.setOuterWidthTwips(15 * 1280 + 120);
        QCOMPARE(f.window.board().size(), QSize(1280, 490));
        for (int j = 1; j <= 18; ++j) {
            const PieceRecord &p = f.game.LevelTable(2, j);
            QCOMPARE(int(p.PlaceLeft), 2 * (p.SrcLeft + 20));
            QCOMPARE(int(p.PlaceWidth), 2 * p.SrcWidth);
            QCOMPARE(int(p.PlaceTop), p.SrcTop + 20);
            QCOMPARE(f.piece(j).geometry(),
                     QRect(p.PlaceLeft, p.PlaceTop, p.PlaceWidth, p.PlaceHeight));
        }
        // 1.5 times as wide: places that share an edge meet exactly, whatever the rounding.
        f.window.setOuterWidthTwips(15 * 960 + 120);
        QImage cover(960, 490, QImage::Format_Grayscale8);
        cover.fill(0);
        for (int j = 1; j <= 18; ++j) {
            const QRect r = f.piece(j).geometry();
            for (int y = r.top(); y <= r.bottom(); ++y)
                for (int x = r.left(); x <= r.right(); ++x)
                    cover.scanLine(y)[x] += 1;
        }
        QRect united;
        for (int j = 1; j <= 18; ++j)
            united |= f.piece(j).geometry();
        for (int y = united.top(); y <= united.bottom(); ++y)
            for (int x = united.left(); x <= united.right(); ++x)
                QCOMPARE(int(cover.scanLine(y)[x]), 1);
    }

    void tinyBoardsLayOutEveryPiece()
    {
        // On a board a few pixels across, a link can leave a place less than nothing wide; the
        // piece then shows nothing and the layout still reaches every piece.
        for (int level : {3, 5, 6}) {
            GameFixture f(level);
            for (const QSize board : {QSize(4, 1600), QSize(2, 300), QSize(900, 3), QSize(1, 1)}) {
                f.window.setOuterWidthTwips(120 + board.width() * 15);
                f.window.setOuterHeightTwips(690 + board.height() * 15);
                f.game.Resize(board.width(), board.height());
                QCOMPARE(f.game.LoopCounter, 19.0);
                for (int j = 1; j <= 18; ++j) {
                    const QRectF px = f.piece(j).pixelGeometry();
                    QVERIFY(px.left() >= -1 && px.right() <= board.width() + 1);
                    QVERIFY(px.top() >= -1 && px.bottom() <= board.height() + 1);
                }
                f.game.Click(1);
                f.game.Click(2); // and moves still work
                QCOMPARE(f.game.SelectedPiece, 0);
            }
        }
    }

    void minimisedWindowIsLeftAlone()
    {
        GameFixture f(3);
        const QRect before = f.piece(5).geometry();
        f.window.showMinimized();
        QVERIFY(f.window.isMinimised());
        f.game.Resize(1200, 900);
        QCOMPARE(f.piece(5).geometry(), before);
        f.window.showNormal();
        QVERIFY(!f.window.isMinimised());
        f.game.Resize(1200, 900);
        QVERIFY(f.piece(5).geometry() != before);
    }

    void resizeAfterCompletionLaysOutTheCleanPicture()
    {
        GameFixture f(1);
        f.solve();
        QVERIFY(f.game.PuzzleSolved);
        f.window.setOuterWidthTwips(15 * 800 + 120);
        f.window.setOuterHeightTwips(15 * 700 + 690);
        PictureBox &preview = f.window.preview();
        // 20 units of 640 horizontally and of 490 vertically keep their proportions.
        QCOMPARE(preview.geometry(), QRect(25, 29, 750, 642)); // edges at 28.6 and 671.4
        QImage expected =
            f.window.clipper().Picture().scaled(preview.ScaleWidth(), preview.ScaleHeight(),
                                                Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        int differing = 0;
        for (int y = 0; y < 642; y += 3)
            for (int x = 0; x < 750; x += 3) {
                const QColor a(preview.image().pixel(x, y)), b(expected.pixel(x, y));
                differing += qAbs(a.red() - b.red()) + qAbs(a.green() - b.green()) > 60;
            }
        QVERIFY2(differing < 50, "no banner and no text after the relayout");
        for (int j = 1; j <= 18; ++j)
            QVERIFY(!f.piece(j).isVisible());
    }
};

QTEST_MAIN(LivingTest)
#include "tst_living.moc"
