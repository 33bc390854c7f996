// The board's components: the clipper's cuts, the piece's read-back and visibility, the
// picture box's drawing, and the board's coordinate systems.
#include "components/BoardArea.h"
#include "components/MirroredImage.h"
#include "components/PictureBox.h"
#include "components/PictureClip.h"
#include "components/PieceImage.h"
#include "components/RuntimeError.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

using namespace morvane;

namespace {

// A picture whose every pixel tells its own coordinates.
QImage coordinatePicture(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb(x % 256, y % 256, (x / 256) * 16 + y / 256));
    return image;
}

} // namespace

class ComponentsTest : public QObject {
    Q_OBJECT

private slots:
    void clipperCutsIndependentTiles()
    {
        PictureClip clip;
        QVERIFY_THROWS_EXCEPTION(RuntimeError, clip.Clip()); // no picture yet
        QVERIFY_THROWS_EXCEPTION(RuntimeError, clip.setPicture(QImage()));
        clip.setPicture(coordinatePicture(600, 450));
        QCOMPARE(clip.ImageWidth(), int16_t(600));
        QCOMPARE(clip.ImageHeight(), int16_t(450));

        clip.setCutLeft(10);
        clip.setCutTop(20);
        clip.setCutHeight(80);
        clip.setCutWidth(100);
        clip.setOutputWidth(100);
        clip.setOutputHeight(80);
        const QImage first = clip.Clip();
        QCOMPARE(first.size(), QSize(100, 80));
        QCOMPARE(first.pixel(0, 0), qRgb(10, 20, 0));
        QCOMPARE(first.pixel(99, 79), qRgb(109, 99, 0));

        clip.setCutLeft(300);
        clip.setOutputWidth(50);
        const QImage second = clip.Clip();
        QCOMPARE(second.size(), QSize(50, 80));
        // The first cut is a picture of its own: later cuts and a new picture leave it alone.
        clip.setPicture(coordinatePicture(30, 30));
        QCOMPARE(first.pixel(0, 0), qRgb(10, 20, 0));
        QVERIFY(first.cacheKey() != second.cacheKey());

        clip.setCutWidth(0);
        QVERIFY_THROWS_EXCEPTION(RuntimeError, clip.Clip());
    }

    void clipperSizeOverflowsBeyondSixteenBits()
    {
        PictureClip clip;
        clip.setPicture(QImage(32768, 1, QImage::Format_RGB32));
        QVERIFY_THROWS_EXCEPTION(RuntimeError, clip.ImageWidth());
        QCOMPARE(clip.ImageHeight(), int16_t(1));
    }

    void pieceReadsBackExactly()
    {
        BoardArea board;
        board.resize(640, 490);
        PieceImage piece(&board, 3);
        QCOMPARE(piece.BorderStyle(), 1);
        QCOMPARE(piece.BorderColor(), int32_t(0xFF0000));
        piece.setBorderColor(0x12AB34);
        piece.setBorderStyle(2);
        piece.setBorderWidth(7);
        QCOMPARE(piece.BorderColor(), int32_t(0x12AB34));
        QCOMPARE(piece.BorderStyle(), 2);
        QCOMPARE(piece.BorderWidth(), 7);
        piece.setFlipHorizontal(true);
        piece.setFlipHorizontal(true);
        QVERIFY(piece.FlipHorizontal()); // set twice is still mirrored once
        piece.setHideCount(18);
        piece.setHideColor(0xC0C030);
        QCOMPARE(piece.HideCount(), 18);
        QCOMPARE(piece.HideColor(), int32_t(0xC0C030));
    }

    void pieceGeometryFollowsTheBoardsUnits()
    {
        BoardArea board;
        board.resize(640, 490);
        board.show();
        PieceImage piece(&board, 1);
        piece.Move(20, 30, 100, 80);
        QCOMPARE(piece.geometry(), QRect(20, 30, 100, 80));
        // A user scale of half the pixels: the piece stays, its units change.
        board.setScaleHeight(245);
        board.setScaleWidth(320);
        QCOMPARE(piece.geometry(), QRect(20, 30, 100, 80));
        QCOMPARE(piece.Left(), 10.0f);
        QCOMPARE(piece.Height(), 40.0f);
        piece.setWidth(25);
        QCOMPARE(piece.geometry().width(), 50);
        board.resetScale(); // the window's default: twips
        QCOMPARE(piece.Left(), 300.0f);
        board.setScaleModePixels();
        QCOMPARE(piece.Width(), 50.0f);
        piece.setWidth(-1); // nothing to show, but no error: the layout must go on
        QCOMPARE(piece.Width(), 0.0f);
        QVERIFY(!piece.isVisible());
        QVERIFY_THROWS_EXCEPTION(RuntimeError, piece.setLeft(qInf()));
    }

    void hiddenOrEmptyPieceShowsNothingAndTakesNoClicks()
    {
        BoardArea board;
        board.resize(200, 200);
        board.show();
        PieceImage piece(&board, 7);
        piece.Move(10, 10, 50, 40);
        QVERIFY(piece.isVisible());
        QSignalSpy clicks(&piece, &PieceImage::Click);
        QSignalSpy rightClicks(&piece, &PieceImage::RightClick);
        QTest::mouseClick(&piece, Qt::LeftButton, {}, QPoint(5, 5));
        QTest::mouseClick(&piece, Qt::RightButton, {}, QPoint(5, 5));
        QCOMPARE(clicks.count(), 1);
        QCOMPARE(clicks.first().first().toInt(), 7);
        QCOMPARE(rightClicks.count(), 1);

        piece.setWidth(0);
        QVERIFY(!piece.isVisible());
        QVERIFY(piece.Visible()); // the property stays; the piece only has no size
        piece.setWidth(50);
        QVERIFY(piece.isVisible());
        piece.setVisible(false);
        QVERIFY(!piece.isVisible());
        QVERIFY(!piece.Visible());
    }

    void pieceShowsItsPictureMirroredOrItsHideColour()
    {
        BoardArea board;
        board.resize(200, 200);
        board.show();
        PieceImage piece(&board, 1);
        piece.Move(0, 0, 40, 40);
        QImage picture(20, 20, QImage::Format_RGB32);
        picture.fill(Qt::black);
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 10; ++x)
                picture.setPixel(x, y, qRgb(255, 0, 0)); // red on the left half
        piece.setPicture(picture);
        QImage shot = piece.grab().toImage();
        QCOMPARE(QColor(shot.pixel(10, 20)), QColor(255, 0, 0));
        QCOMPARE(QColor(shot.pixel(30, 20)), QColor(0, 0, 0));
        piece.setFlipHorizontal(true);
        shot = piece.grab().toImage();
        QCOMPARE(QColor(shot.pixel(10, 20)), QColor(0, 0, 0));
        QCOMPARE(QColor(shot.pixel(30, 20)), QColor(255, 0, 0));

        piece.setPicture(QImage());
        piece.setHideColor(0x40C0C0); // 0x00BBGGRR
        shot = piece.grab().toImage();
        QCOMPARE(QColor(shot.pixel(20, 20)), QColor(0xC0, 0xC0, 0x40));
    }

    // A 2 x 2 picture of four colours, each corner where the turn should take it.
    void mirroredImageTurnsAboutTheNamedLines_data()
    {
        QTest::addColumn<bool>("horizontal");
        QTest::addColumn<bool>("vertical");
        QTest::addColumn<QPoint>("topLeftGoesTo");
        QTest::newRow("neither") << false << false << QPoint(0, 0);
        QTest::newRow("left to right") << true << false << QPoint(1, 0);
        QTest::newRow("top to bottom") << false << true << QPoint(0, 1);
        QTest::newRow("both") << true << true << QPoint(1, 1);
    }
    void mirroredImageTurnsAboutTheNamedLines()
    {
        QFETCH(bool, horizontal);
        QFETCH(bool, vertical);
        QFETCH(QPoint, topLeftGoesTo);
        QImage picture(2, 2, QImage::Format_RGB32);
        const QRgb colours[2][2] = {
            {qRgb(255, 0, 0),   qRgb(0,   255, 0)},
            {qRgb(0,   0, 255), qRgb(255, 255, 0)}
        };
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 2; ++x)
                picture.setPixel(x, y, colours[y][x]);
        const QImage turned = mirroredImage(picture, horizontal, vertical);
        QCOMPARE(turned.size(), picture.size());
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 2; ++x) {
                const int toX = topLeftGoesTo.x() ? 1 - x : x;
                const int toY = topLeftGoesTo.y() ? 1 - y : y;
                QCOMPARE(QColor(turned.pixel(toX, toY)), QColor(colours[y][x]));
            }
    }

    void frameAndGlowRunUnbrokenAlongEveryEdge()
    {
        BoardArea board;
        board.resize(400, 400);
        board.show();
        PieceImage piece(&board, 1);
        piece.Move(0, 0, 60, 300); // taller than the strips the frame is painted in
        QImage black(60, 300, QImage::Format_RGB32);
        black.fill(Qt::black);
        piece.setPicture(black);
        const int w = 60, h = 300;
        QImage shot = piece.grab().toImage();
        // The thin frame in blue on every edge pixel, the picture right inside it.
        for (int y = 0; y < h; ++y) {
            QCOMPARE(QColor(shot.pixel(0, y)), QColor(0, 0, 255));
            QCOMPARE(QColor(shot.pixel(w - 1, y)), QColor(0, 0, 255));
            QCOMPARE(QColor(shot.pixel(1, y)).rgb(),
                     y == 0 || y == h - 1 ? QColor(0, 0, 255).rgb() : qRgb(0, 0, 0));
        }
        for (int x = 0; x < w; ++x) {
            QCOMPARE(QColor(shot.pixel(x, 0)), QColor(0, 0, 255));
            QCOMPARE(QColor(shot.pixel(x, h - 1)), QColor(0, 0, 255));
        }

        // The hover glow: five rings inside the frame, fainter inwards, the same all along.
        piece.setBorderColor(0xFFFF00);
        piece.setBorderWidth(5);
        shot = piece.grab().toImage();
        for (int ring = 1; ring <= 5; ++ring) {
            const QRgb shade = shot.pixel(ring, h / 2);
            QVERIFY(qGreen(shade) > 0 && qRed(shade) == 0);
            if (ring > 1)
                QVERIFY(qGreen(shade) < qGreen(shot.pixel(ring - 1, h / 2)));
            for (int y = ring; y < h - ring; ++y) {
                QCOMPARE(shot.pixel(ring, y), shade);
                QCOMPARE(shot.pixel(w - 1 - ring, y), shade);
            }
            for (int x = ring; x < w - ring; ++x) {
                QCOMPARE(shot.pixel(x, ring), shade);
                QCOMPARE(shot.pixel(x, h - 1 - ring), shade);
            }
        }
        QCOMPARE(QColor(shot.pixel(6, h / 2)), QColor(0, 0, 0));

        // The selection frame adds dashes just inside the edge, on every side.
        piece.setBorderWidth(0);
        piece.setBorderColor(0x00FF00);
        piece.setBorderStyle(2);
        shot = piece.grab().toImage();
        int dashed = 0;
        for (int y = 0; y < h; ++y)
            dashed += QColor(shot.pixel(2, y)) == QColor(0, 255, 0);
        QVERIFY(dashed > h / 2 && dashed < h - 10);
        // Two pixels thick, no more: the second ring takes each dash of the first, and the
        // picture shows from the third ring in.
        for (int y = 1; y < h - 1; ++y) {
            QCOMPARE(shot.pixel(1, y), shot.pixel(2, y));
            QCOMPARE(shot.pixel(w - 2, y), shot.pixel(w - 3, y));
        }
        for (int x = 1; x < w - 1; ++x) {
            QCOMPARE(shot.pixel(x, 1), shot.pixel(x, 2));
            QCOMPARE(shot.pixel(x, h - 2), shot.pixel(x, h - 3));
        }
        for (int y = 3; y < h - 3; ++y) {
            QCOMPARE(QColor(shot.pixel(3, y)), QColor(0, 0, 0));
            QCOMPARE(QColor(shot.pixel(w - 4, y)), QColor(0, 0, 0));
        }
        for (int x = 3; x < w - 3; ++x) {
            QCOMPARE(QColor(shot.pixel(x, 3)), QColor(0, 0, 0));
            QCOMPARE(QColor(shot.pixel(x, h - 4)), QColor(0, 0, 0));
        }
    }

    void pictureBoxInvertDrawnTwiceLeavesNoTrace()
    {
        BoardArea board;
        board.resize(400, 300);
        PictureBox box(&board);
        box.setPixelGeometry(QRectF(0, 0, 300, 200));
        box.Cls();
        QCOMPARE(box.ScaleWidth(), 300);
        const QImage photo = coordinatePicture(300, 200);
        box.PaintPicture(photo, 0, 0, 300, 200, 0, 0, 300, 200, PictureBox::RasterOp::Copy);
        const QImage before = box.image();
        QImage banner(147, 39, QImage::Format_RGB32);
        banner.fill(Qt::black);
        for (int x = 20; x < 120; ++x)
            for (int y = 10; y < 30; ++y)
                banner.setPixel(x, y, qRgb(189, 132, 3));
        // Mirrored, stretched and off to the side: still restored exactly by a second draw.
        box.PaintPicture(banner, 53, 100, -51, -112, 0, 0, 147, 39, PictureBox::RasterOp::Invert);
        QVERIFY(box.image() != before);
        box.PaintPicture(banner, 53, 100, -51, -112, 0, 0, 147, 39, PictureBox::RasterOp::Invert);
        QCOMPARE(box.image(), before);
    }

    void negativeSizeMirrorsLeftOfAndAbove()
    {
        BoardArea board;
        board.resize(400, 300);
        PictureBox box(&board);
        box.setPixelGeometry(QRectF(0, 0, 200, 100));
        box.setBackColor(0);
        QImage arrow(20, 10, QImage::Format_RGB32);
        arrow.fill(Qt::black);
        arrow.setPixel(0, 0, qRgb(255, 255, 255)); // a marker in the top-left corner
        box.PaintPicture(arrow, 100, 50, -20, -10, 0, 0, 20, 10, PictureBox::RasterOp::Invert);
        // Mirrored on both axes, the marker lands just left of and above (100, 50).
        QCOMPARE(QColor(box.image().pixel(99, 49)), QColor(255, 255, 255));
        QCOMPARE(QColor(box.image().pixel(80, 40)), QColor(0, 0, 0));
        QCOMPARE(QColor(box.image().pixel(100, 50)), QColor(0, 0, 0));
    }

    void printWritesAtTheTextPositionAndMovesDown()
    {
        BoardArea board;
        board.resize(400, 300);
        PictureBox box(&board);
        box.setPixelGeometry(QRectF(0, 0, 300, 100));
        box.setBackColor(0xC0C0C0);
        box.setForeColor(0x8080FF);
        QFont font(QStringLiteral("Arial"));
        font.setPointSizeF(14.25);
        font.setBold(true);
        box.setFont(font);
        box.Print(QStringLiteral("All right"));
        QVERIFY(box.CurrentY() > 10);
        QCOMPARE(box.CurrentX(), 0.0);
        int textPixels = 0;
        for (int y = 0; y < int(box.CurrentY()); ++y)
            for (int x = 0; x < 150; ++x)
                textPixels += QColor(box.image().pixel(x, y)).red() > 0xF0;
        QVERIFY2(textPixels > 30, "the text is drawn in the light red fore colour");
        box.Cls();
        QCOMPARE(box.CurrentY(), 0.0);
    }
};

QTEST_MAIN(ComponentsTest)
#include "tst_components.moc"
