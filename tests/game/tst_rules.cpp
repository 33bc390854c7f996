// Rules that only show through the real window: timers that reach the game, a restore from the
// minimised state, a real click on the finished picture, and an own picture that is not 4:3.
#include "../support/GameFixture.h"

#include "components/BoardArea.h"
#include "components/PictureBox.h"
#include "components/PictureClip.h"
#include "components/PieceImage.h"

#include <QImageWriter>
#include <QTest>

using namespace morvane;
using namespace morvane::test;

namespace {

// Share of sampled pixels where two pictures of one size differ clearly.
int differingSamples(const QImage &a, const QImage &b)
{
    int differing = 0;
    for (int y = 0; y < a.height(); y += 3)
        for (int x = 0; x < a.width(); x += 3) {
            const QColor p(a.pixel(x, y)), q(b.pixel(x, y));
            differing +=
                qAbs(p.red() - q.red()) + qAbs(p.green() - q.green()) + qAbs(p.blue() - q.blue())
                > 60;
        }
    return differing;
}

} // namespace

class RulesTest : public QObject {
    Q_OBJECT

private slots:
    void timersReachTheGame()
    {
        DataFolder data;
        TestWindow window(data.path());
        window.start();
        Game &game = window.game();
        game.LevelCommand(6);
        // The pulse: a selected piece's frame changes colour with the border timer alone.
        game.Click(2);
        QVERIFY(window.timBorder().isActive());
        const int32_t first = window.piece(2).BorderColor();
        QTRY_VERIFY_WITH_TIMEOUT(window.piece(2).BorderColor() != first, 5000);
        // The hider: a piece hidden by a move at level 6 comes back with the hider timer alone.
        game.Click(9);
        QVERIFY(window.piece(9).HideCount() > 0);
        QTRY_COMPARE_WITH_TIMEOUT(window.piece(9).HideCount(), 0, 15000);
        QVERIFY(!window.piece(9).Picture().isNull());
        // The fade: a piece the mouse leaves loses its glow with the move timer alone.
        emit window.piece(3).MouseMove(3);
        QCOMPARE(window.piece(3).BorderWidth(), 5);
        QTest::mouseMove(&window.board(), QPoint(2, 2));
        QTRY_COMPARE_WITH_TIMEOUT(window.piece(3).BorderWidth(), 0, 5000);
    }

    void levelEntryStartsWhereItShouldAtAnyWindowSize()
    {
        DataFolder data;
        TestWindow window(data.path());
        window.start();
        window.setOuterWidthTwips(15 * 1000 + 120);
        window.setOuterHeightTwips(15 * 700 + 690);
        QCOMPARE(window.board().size(), QSize(1000, 700));
        struct Frame {
            double scaleWidth, scaleHeight, left, top;
            QRectF pixels;
        };
        std::vector<Frame> frames;
        window.onPause = [&] {
            const PieceImage &piece = window.piece(18); // the first to enter at levels 7 and 5
            frames.push_back({window.board().scaleWidth(), window.board().scaleHeight(),
                              piece.Left(), piece.Top(), piece.pixelGeometry()});
        };

        // Piece 18 of levels 7 and 5 shows the picture's top-left tile: its place is at 20, 20
        // in the units of the picture and its margins, 640 x 490 across this 1000 x 700 board.
        QCOMPARE(
            QPoint(window.game().LevelTable(7, 18).SrcLeft, window.game().LevelTable(7, 18).SrcTop),
            QPoint(0, 0));
        QCOMPARE(
            QPoint(window.game().LevelTable(5, 18).SrcLeft, window.game().LevelTable(5, 18).SrcTop),
            QPoint(0, 0));

        // Level 7: piece 18, an even place, comes in from the window's right edge, 15120 twips
        // or 1008 units, a tenth of the way each step: 1008 - 988 / 10 = 909.2 units, 1420.6
        // pixels, at the height of its place, 20 units or 28.6 pixels.
        window.game().LevelCommand(7);
        QVERIFY(!frames.empty());
        const Frame first = frames.front();
        // The deal runs in the user scale: the picture and its margins, whatever the window.
        QCOMPARE(first.scaleWidth, 640.0);
        QCOMPARE(first.scaleHeight, 490.0);
        QVERIFY2(qAbs(first.left - 909.2) < 0.01, qPrintable(QString::number(first.left)));
        QVERIFY(qAbs(first.pixels.left() - 1420.6) < 1.5);
        QVERIFY(qAbs(first.pixels.top() - 28.6) < 1.5);

        // Level 5: piece 18 drops from the top edge, a twelfth of the way each step: 20 / 12
        // = 1.67 units or 2.4 pixels down, at the left of its place, 20 units.
        frames.clear();
        window.game().LevelCommand(5);
        QVERIFY(!frames.empty());
        QCOMPARE(frames.front().scaleHeight, 490.0);
        QVERIFY(qAbs(frames.front().top - 20.0 / 12) < 0.01);
        QVERIFY(qAbs(frames.front().pixels.top() - 2.4) < 1.5);
        QVERIFY(qAbs(frames.front().left - 20) < 0.01);
    }

    void restoreFromMinimisedLaysOutAgain()
    {
        DataFolder data;
        TestWindow window(data.path());
        window.start();
        window.game().LevelCommand(3);
        const QRect before = window.piece(5).geometry();
        window.showMinimized();
        QVERIFY(window.isMinimised());
        window.setOuterWidthTwips(15 * 1000 + 120); // the board grows while minimised
        QCOMPARE(window.piece(5).geometry(), before);
        window.showNormal();
        QTRY_VERIFY_WITH_TIMEOUT(!window.isMinimised(), 5000);
        const PieceRecord &p = window.game().LevelTable(3, 5);
        QTRY_COMPARE_WITH_TIMEOUT(window.piece(5).geometry(),
                                  QRect(p.PlaceLeft, p.PlaceTop, p.PlaceWidth, p.PlaceHeight),
                                  5000);
        QVERIFY(window.piece(5).geometry() != before);
        // Laid out for the board as it is now: the places reach across its new width.
        QRect united;
        for (int j = 1; j <= 18; ++j)
            united |= window.piece(j).geometry();
        QVERIFY(united.width() > window.board().width() * 0.9);
    }

    void realClickOnTheFinishedPictureRepaintsItClean()
    {
        DataFolder data;
        TestWindow window(data.path());
        window.start();
        solveGame(window);
        QVERIFY(window.game().PuzzleSolved);
        PictureBox &preview = window.preview();
        const QImage clean =
            window.clipper().Picture().scaled(preview.ScaleWidth(), preview.ScaleHeight(),
                                              Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        QVERIFY2(differingSamples(preview.image(), clean) > 50,
                 "the banner and words are drawn over it");
        QTest::mouseClick(&preview, Qt::LeftButton, {},
                          QPoint(preview.width() / 2, preview.height() / 2));
        QVERIFY(differingSamples(preview.image(), clean) < 50);
    }

    void ownPictureThatIsNotFourByThree()
    {
        DataFolder data;
        TestWindow window(data.path());
        window.start();
        // Wide and low: a mix-up of the axes would stretch the places the wrong way.
        QImage wide(800, 200, QImage::Format_RGB32);
        wide.fill(Qt::darkCyan);
        const QString path = data.file("wide.png");
        QVERIFY(QImageWriter(path).write(wide));
        window.formChoice = path;
        window.openCommand().run();
        QVERIFY(window.messages.isEmpty());
        QCOMPARE(window.game().CurrentLevel, 0);
        QCOMPARE(window.clipper().ImageWidth(), int16_t(800));
        QCOMPARE(window.clipper().ImageHeight(), int16_t(200));
        const QSize board = window.board().size();
        // The tiles fill the picture, so the places fill the board but its margins of 20 of
        // 840 units across and 20 of 240 units down.
        QRect united;
        for (int j = 1; j <= 18; ++j)
            united |= window.piece(j).geometry();
        const double left = board.width() * 20.0 / 840, top = board.height() * 20.0 / 240;
        QVERIFY2(qAbs(united.left() - left) <= 2, qPrintable(QString::number(united.left())));
        QVERIFY2(qAbs(united.top() - top) <= 2, qPrintable(QString::number(united.top())));
        QVERIFY(qAbs(united.right() + 1 - (board.width() - left)) <= 2);
        QVERIFY(qAbs(united.bottom() + 1 - (board.height() - top)) <= 2);
    }
};

QTEST_MAIN(RulesTest)
#include "tst_rules.moc"
