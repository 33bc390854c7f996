// Start-up: the state after a normal start, and a start with missing or broken data files.
#include "../support/LevelFileRecords.h"
#include "../support/TestWindow.h"

#include "components/BoardArea.h"
#include "components/PictureBox.h"
#include "components/PieceImage.h"

#include <QAction>
#include <QTest>

using namespace morvane;
using namespace morvane::test;

class StartupTest : public QObject {
    Q_OBJECT

private slots:
    void normalStart()
    {
        DataFolder data;
        TestWindow window(data.path());
        window.start();
        Game &game = window.game();
        QCOMPARE(game.CurrentLevel, 1);
        QCOMPARE(game.SelectedPiece, 0);
        QCOMPARE(game.HoverPiece, uint8_t(0));
        QVERIFY(!game.PuzzleSolved);
        QCOMPARE(game.LoopCounter, 19.0);
        QCOMPARE(window.windowTitle(), QStringLiteral("Morvane - Level 1"));
        QVERIFY(window.levelAction(1)->isChecked());
        for (int n = 2; n <= 7; ++n)
            QVERIFY(!window.levelAction(n)->isChecked());
        QVERIFY(window.messages.isEmpty());
        // Start-up size: a board of 640 x 490 pixels, a 600 x 450 picture with its margins.
        QCOMPARE(window.outerWidthTwips(), 9720);
        QCOMPARE(window.outerHeightTwips(), 8040);
        QCOMPARE(window.board().size(), QSize(640, 490));
        QCOMPARE(window.clipper().ImageWidth(), int16_t(600));
        QCOMPARE(window.clipper().ImageHeight(), int16_t(450));

        // Rows 1..7 come from the file, exactly as a fresh read gives them; row 0 stays empty.
        LevelTable fresh;
        QVERIFY(readLevelFile(data.file("Levels.res"), fresh));
        for (int level = 1; level <= 7; ++level)
            for (int place = 1; place <= 18; ++place) {
                PieceRecord expected = fresh(level, place);
                const PieceRecord &actual = game.LevelTable(level, place);
                expected.PlaceHeight = actual.PlaceHeight;
                expected.PlaceLeft = actual.PlaceLeft;
                expected.PlaceTop = actual.PlaceTop;
                expected.PlaceWidth = actual.PlaceWidth;
                expected.Content = actual.Content;
                QCOMPARE(actual, expected);
            }
        for (int place = 1; place <= 18; ++place)
            QCOMPARE(game.LevelTable(0, place), PieceRecord());

        // The preview box is out of sight during play; the banner box is its picture's size.
        QCOMPARE(window.preview().size(), QSize(0, 0));
        QCOMPARE(window.banner().size(), QSize(147, 39));
        // Nothing glows yet, so the fade timer sleeps; the pulse waits for a selection.
        QVERIFY(!window.timBorder().isActive());
        QVERIFY(!window.timMove().isActive());
        QVERIFY(window.timHider().isActive());
        QCOMPARE(window.timMove().interval(), 20);
        QCOMPARE(window.timHider().interval(), 200);
        // The pulse ticks once a frame of 1/60 s, on a precise timer.
        QVERIFY(qAbs(window.timBorder().interval() - 1000.0 / 60) < 1);
        QCOMPARE(window.timBorder().timerType(), Qt::PreciseTimer);
    }

    void missingLevelPictureStartsSilently()
    {
        DataFolder data;
        QVERIFY(data.remove("Level1.res"));
        TestWindow window(data.path());
        window.start();
        QVERIFY(window.isVisible());
        QVERIFY(window.messages.isEmpty());
        QCOMPARE(window.game().CurrentLevel, 1);
        // The deal stopped at its first tile: no piece got a picture.
        for (int i = 1; i <= 18; ++i)
            QVERIFY(window.piece(i).Picture().isNull());
        // No picture to lay out: every piece keeps its designed size, inside the board, also
        // after the window changes size.
        for (const QSize size : {QSize(), QSize(900, 700)}) {
            if (size.isValid())
                window.resize(size);
            QCoreApplication::processEvents();
            for (int i = 1; i <= 18; ++i) {
                const QRect place = window.piece(i).geometry();
                QCOMPARE(place.size(), i == 4 ? QSize(18, 18) : QSize(18, 13));
                QVERIFY2(window.board().rect().contains(place), qPrintable(QString::number(i)));
            }
        }
    }

    // Where the level table lacks level 1's rows, the game starts silently; the deal stops at
    // the first place it cannot fill and the board is not laid out from the missing rows: the
    // places the deal reached show their tiles, the other pieces keep the window's designed
    // placeholders, at any size.
    void aMissingOrShortLevelTableKeepsThePlaceholders_data()
    {
        QTest::addColumn<qint64>("keepBytes"); // -1: no file at all
        QTest::addColumn<int>("reached");      // places the deal reaches, in place order
        const LevelFileRecords shipped(QStringLiteral(MORVANE_BIN_DIR));
        // Cut after the record of the tile place 1 shows; the deal goes on while tiles are there.
        const int cut = shipped(1, 1).dealt;
        int reached = 0;
        while (reached < 18 && shipped(1, reached + 1).dealt <= cut)
            ++reached;
        QVERIFY(reached >= 1 && reached < 18);
        QTest::newRow("no file") << qint64(-1) << 0;
        QTest::newRow("empty file") << qint64(0) << 0;
        QTest::newRow("cut in level 1") << qint64(cut) * LevelRecordSize << reached;
    }
    void aMissingOrShortLevelTableKeepsThePlaceholders()
    {
        QFETCH(qint64, keepBytes);
        QFETCH(int, reached);
        DataFolder data;
        if (keepBytes < 0)
            QVERIFY(data.remove("Levels.res"));
        else
            QVERIFY(data.keepFirstBytes("Levels.res", keepBytes));
        const LevelFileRecords shipped(QStringLiteral(MORVANE_BIN_DIR));
        TestWindow designed(data.path()); // never started: the placeholders
        TestWindow window(data.path());
        window.start();
        QVERIFY(window.isVisible());
        QVERIFY(window.messages.isEmpty());
        QCOMPARE(window.game().CurrentLevel, 1);
        // Records the file does not reach stay empty.
        QCOMPARE(window.game().LevelTable(2, 1), PieceRecord());
        QCOMPARE(window.game().LevelTable(7, 18), PieceRecord());
        for (const QSize size : {QSize(), QSize(900, 700)}) {
            if (size.isValid()) {
                window.resize(size);
                QCoreApplication::processEvents();
            }
            for (int j = 1; j <= 18; ++j) {
                const PieceImage &piece = window.piece(j);
                // The start-up board is 640 x 490 pixels, the level picture with its margins.
                const QRectF expected = j <= reached ? QRectF(shipped(1, j).tile.translated(20, 20))
                                                     : designed.piece(j).pixelGeometry();
                QVERIFY2(piece.pixelGeometry() == expected, qPrintable(QString::number(j)));
                QCOMPARE(piece.Picture().isNull(), j > reached);
                QVERIFY(piece.isVisible());
            }
        }
    }

    void backgroundMouseMoveClearsHover()
    {
        DataFolder data;
        TestWindow window(data.path());
        window.start();
        window.game().PieceMouseMove(4);
        QCOMPARE(window.game().HoverPiece, uint8_t(4));
        QTest::mouseMove(&window.board(), QPoint(5, 5)); // the margin is background
        QCOMPARE(window.game().HoverPiece, uint8_t(0));
    }

    void exitWhileSelectedStopsEveryTimer()
    {
        // A window whose Exit does what the real one does: stop its timers, leave the loop.
        struct ExitingWindow : TestWindow {
            using TestWindow::TestWindow;
            void exitProgram() override
            {
                TestWindow::exitProgram();
                frmMain::exitProgram();
            }
        };
        DataFolder data;
        ExitingWindow window(data.path());
        window.start();
        window.game().Click(3);
        QVERIFY(window.timBorder().isActive()); // the selection pulses
        QVERIFY(window.timHider().isActive());
        window.resetCounts();
        window.exitAction()->trigger();
        QVERIFY(window.exited);
        // Nothing ticks after Exit, and Exit itself neither animates nor repaints.
        QVERIFY(!window.timBorder().isActive());
        QVERIFY(!window.timMove().isActive());
        QVERIFY(!window.timHider().isActive());
        QCOMPARE(window.pauses, 0);
        QCOMPARE(window.windowRedraws, 0);
    }
};

QTEST_MAIN(StartupTest)
#include "tst_startup.moc"
