// Playing a level: selection, swaps with their animations, turns, the completion check and the
// finished picture, on the game's parts and a recording host; the level menu, a missing level
// picture and the window's size in the real main window.
#include "../support/BoardPictures.h"
#include "../support/GameFixture.h"
#include "../support/LevelFileRecords.h"

#include "components/BoardArea.h"
#include "game/KeyboardCursor.h"
#include "components/PictureBox.h"
#include "components/PictureClip.h"
#include "components/RuntimeError.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QWindow>
#include <QCursor>
#include <QTest>

using namespace morvane;
using namespace morvane::test;

namespace {

// The level table as the game ships it, read apart from the game's own reader.
LevelFileRecords shippedTable() { return LevelFileRecords(QStringLiteral(MORVANE_BIN_DIR)); }

// The level table cut short right after the record of the tile that `level` deals on `place`:
// a deal of that level reaches that place and stops at the first place whose tile is cut off.
SpoilData tableCutAfterTheTileOf(int level, int place)
{
    const int tile = shippedTable()(level, place).dealt;
    const qint64 records = (level - 1) * 18 + tile;
    return [records](const DataFolder &data) {
        QVERIFY(data.keepFirstBytes(QStringLiteral("Levels.res"), records * LevelRecordSize));
    };
}

// Spoils the data as a test row names it.
SpoilData spoiled(const QString &how)
{
    if (how == QLatin1String("no level-1 picture"))
        return [](const DataFolder &data) { QVERIFY(data.remove(QStringLiteral("Level1.res"))); };
    if (how == QLatin1String("no level table"))
        return [](const DataFolder &data) { QVERIFY(data.remove(QStringLiteral("Levels.res"))); };
    if (how == QLatin1String("table cut in level 1"))
        return tableCutAfterTheTileOf(1, 1);
    if (how == QLatin1String("table cut in level 6"))
        return tableCutAfterTheTileOf(6, 1);
    return {};
}

// Light red text in the top-left corner, where the finished picture's words are printed.
int wordsPixels(const QImage &shown)
{
    int light = 0;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 250; ++x) {
            const QColor c(shown.pixel(x, y));
            light += c.red() > 0xF0 && c.green() > 0x70 && c.green() < 0x90 && c.blue() > 0x70
                     && c.blue() < 0x90;
        }
    return light;
}

// Makes the `failing`th pause of the next animation raise an error, as a step that fails would.
void failAtPause(TestClock &clock, int failing)
{
    clock.resetPauses();
    clock.onPause = [&clock, failing] {
        if (failing > 0 && clock.pauses == failing) {
            clock.onPause = nullptr;
            raiseError(ErrorNumber::InvalidPropertyValue, "a step of the move fails");
        }
    };
}

} // namespace

class PlayTest : public QObject {
    Q_OBJECT

private slots:
    void selectAndCancel()
    {
        RecordedFixture f(4);
        PieceImage &piece = f.rig.piece(5);
        const std::vector<uint8_t> before = [&] {
            std::vector<uint8_t> c;
            for (int j = 1; j <= 18; ++j)
                c.push_back(f.content(j));
            return c;
        }();
        f.game.Click(5);
        QCOMPARE(f.game.SelectedPiece, 5);
        QCOMPARE(piece.BorderColor(), int32_t(0x00FF00));
        QCOMPARE(piece.BorderStyle(), 2);
        QCOMPARE(f.game.BorderPhase, int16_t(-30));
        QVERIFY(f.rig.timBorder().isActive());
        f.host.resetCounts();
        f.game.Click(5);
        QCOMPARE(f.game.SelectedPiece, 0);
        QCOMPARE(piece.BorderStyle(), 1);
        QCOMPARE(piece.BorderColor(), int32_t(0xFF0000));
        QVERIFY(!f.rig.timBorder().isActive());
        QCOMPARE(f.host.pauses, 0); // no swap
        for (int j = 1; j <= 18; ++j)
            QCOMPARE(f.content(j), before[size_t(j - 1)]);
    }

    void swapExchangesTilesFlipsAndContents_data()
    {
        QTest::addColumn<int>("level");
        for (int level : {1, 3, 5, 7})
            QTest::newRow(qPrintable(QStringLiteral("level %1").arg(level))) << level;
    }
    void swapExchangesTilesFlipsAndContents()
    {
        QFETCH(int, level);
        RecordedFixture f(level);
        // Pick a mirrored place where there is one, so the flips are seen to travel.
        int s = 1;
        for (int j = 1; j <= 18; ++j)
            if (f.mirrored(j))
                s = j;
        const int t = s == 9 ? 10 : 9;
        PieceImage &pieceS = f.rig.piece(s);
        PieceImage &pieceT = f.rig.piece(t);
        const uint8_t contentS = f.content(s), contentT = f.content(t);
        const bool flipS[2] = {pieceS.FlipHorizontal(), pieceS.FlipVertical()};
        const bool flipT[2] = {pieceT.FlipHorizontal(), pieceT.FlipVertical()};
        const QImage pictureS = pieceS.Picture(), pictureT = pieceT.Picture();
        const QRect homeS = pieceS.geometry(), homeT = pieceT.geometry();

        f.swap(s, t);
        QCOMPARE(f.game.SelectedPiece, 0);
        QCOMPARE(f.game.TargetPiece, 0);
        QCOMPARE(f.content(s), contentT);
        QCOMPARE(f.content(t), contentS);
        QCOMPARE(pieceS.FlipHorizontal(), flipT[0]);
        QCOMPARE(pieceS.FlipVertical(), flipT[1]);
        QCOMPARE(pieceT.FlipHorizontal(), flipS[0]);
        QCOMPARE(pieceT.FlipVertical(), flipS[1]);
        QCOMPARE(pieceS.Picture(), pictureT);
        if (level >= 6) {
            // The second piece hides its new tile for a while.
            QVERIFY(pieceT.Picture().isNull());
            QCOMPARE(pieceT.HideCount(), 16);
            QCOMPARE(pieceT.HideColor(), int32_t(0xC0C0C0));
        } else {
            QCOMPARE(pieceT.Picture(), pictureS);
            QCOMPARE(pieceT.HideCount(), 0);
        }
        // Both pieces end on their own places (the shrink-and-grow returns to where it began).
        QCOMPARE(pieceS.geometry(), homeS);
        QCOMPARE(pieceT.geometry(), homeT);
        QCOMPARE(pieceS.BorderWidth(), 0);

        // The same swap again brings everything back.
        f.swap(s, t);
        QCOMPARE(f.content(s), contentS);
        QCOMPARE(f.content(t), contentT);
        QCOMPARE(pieceS.FlipHorizontal(), flipS[0]);
        QCOMPARE(pieceS.FlipVertical(), flipS[1]);
        QCOMPARE(pieceT.FlipHorizontal(), flipT[0]);
        QCOMPARE(pieceT.FlipVertical(), flipT[1]);
    }

    void swapAnimations()
    {
        // Level 1 slides the two pieces towards each other's place, a fifteenth of the way a
        // step in position and size, crossing above all others.
        RecordedFixture f(1);
        const QRectF homeA = f.rig.piece(2).pixelGeometry();
        const QRectF homeB = f.rig.piece(17).pixelGeometry();
        const auto along = [](const QRectF &from, const QRectF &to, double share) {
            return QRectF(from.left() + (to.left() - from.left()) * share,
                          from.top() + (to.top() - from.top()) * share,
                          from.width() + (to.width() - from.width()) * share,
                          from.height() + (to.height() - from.height()) * share);
        };
        const auto near = [](const QRectF &a, const QRectF &b) {
            return qAbs(a.left() - b.left()) < 0.01 && qAbs(a.top() - b.top()) < 0.01
                   && qAbs(a.width() - b.width()) < 0.01 && qAbs(a.height() - b.height()) < 0.01;
        };
        QVERIFY(homeA.left() != homeB.left() && homeA.top() != homeB.top());
        bool onTheWay = true;
        f.host.onPause = [&] {
            const double share = f.host.pauses / 15.0;
            onTheWay &= near(f.rig.piece(2).pixelGeometry(), along(homeA, homeB, share))
                        && near(f.rig.piece(17).pixelGeometry(), along(homeB, homeA, share));
        };
        f.swap(2, 17);
        QVERIFY(onTheWay);
        QCOMPARE(f.rig.piece(2).pixelGeometry(), homeA);
        QCOMPARE(f.rig.piece(17).pixelGeometry(), homeB);
        const QObjectList stack = f.rig.board().children();
        const auto at = [&](QObject *o) { return stack.indexOf(o); };
        QVERIFY(at(&f.rig.piece(17)) > at(&f.rig.piece(2)));
        for (int j = 1; j <= 18; ++j)
            if (j != 2 && j != 17)
                QVERIFY(at(&f.rig.piece(2)) > at(&f.rig.piece(j)));

        // Other levels shrink both pieces about their centres, by seven eighths, and grow
        // them again.
        f.game.LevelCommand(2);
        for (const int j : {4, 11}) {
            const QRectF home = f.rig.piece(j).pixelGeometry();
            QRectF smallest = home;
            f.host.onPause = [&] {
                const QRectF now = f.rig.piece(j).pixelGeometry();
                if (now.width() < smallest.width())
                    smallest = now;
            };
            f.swap(4, 11);
            const QString where = QString::number(j);
            QVERIFY2(near(smallest, QRectF(QPointF(), home.size() / 8)
                                        .translated(home.center()
                                                    - QPointF(home.width(), home.height()) / 16)),
                     qPrintable(where));
            QVERIFY2(near(f.rig.piece(j).pixelGeometry(), home), qPrintable(where));
        }
    }

    // A swap that an error ends: the level-1 slide onto places the deal never reached (the level
    // picture is missing, or the level table stops after the first tile), or a step of the
    // animation that fails. The error goes on to the window; the selection is let go as after a
    // finished swap, and the board is as before the move, or as after it once the contents have
    // changed places.
    void aFailedSwapLetsTheSelectionGo_data()
    {
        QTest::addColumn<QString>("data");
        QTest::addColumn<int>("level");
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("second");
        QTest::addColumn<int>("failingPause"); // 0: no step of the animation fails
        QTest::addColumn<bool>("exchanged");
        QTest::newRow("slide between placeholders")
            << "no level-1 picture" << 1 << 2 << 9 << 0 << false;
        QTest::newRow("slide from a dealt place to a placeholder")
            << "table cut in level 1" << 1 << 1 << 15 << 0 << false;
        QTest::newRow("slide fails halfway") << "" << 1 << 3 << 12 << 8 << false;
        QTest::newRow("shrinking fails") << "" << 3 << 4 << 11 << 4 << false;
        QTest::newRow("growing fails after the exchange") << "" << 3 << 4 << 11 << 10 << true;
    }
    void aFailedSwapLetsTheSelectionGo()
    {
        QFETCH(QString, data);
        QFETCH(int, level);
        QFETCH(int, first);
        QFETCH(int, second);
        QFETCH(int, failingPause);
        QFETCH(bool, exchanged);
        GameFixture f(level, spoiled(data));
        PieceImage &a = f.piece(first);
        PieceImage &b = f.piece(second);
        const QRectF homeA = a.pixelGeometry(), homeB = b.pixelGeometry();
        const QImage pictureA = a.Picture(), pictureB = b.Picture();
        const uint8_t contentA = f.content(first), contentB = f.content(second);

        f.game.PieceMouseMove(first); // the mouse glows on the piece it then clicks
        f.game.Click(first);
        failAtPause(f.window, failingPause);
        QVERIFY_THROWS_EXCEPTION(RuntimeError, f.game.Click(second));
        f.window.onPause = nullptr;

        QCOMPARE(f.game.SelectedPiece, 0);
        QCOMPARE(f.game.TargetPiece, 0);
        QVERIFY(!f.window.timBorder().isActive());
        QCOMPARE(a.BorderWidth(), 0);
        QCOMPARE(a.BorderStyle(), 1);
        QCOMPARE(a.BorderColor(), int32_t(0xFF0000));
        // Both pieces back on the places they stood on, at full size.
        QCOMPARE(a.pixelGeometry(), homeA);
        QCOMPARE(b.pixelGeometry(), homeB);
        // Each place shows the tile its content names: both changed, or neither.
        QCOMPARE(f.content(first), exchanged ? contentB : contentA);
        QCOMPARE(f.content(second), exchanged ? contentA : contentB);
        QCOMPARE(a.Picture(), exchanged ? pictureB : pictureA);
        if (!exchanged)
            QCOMPARE(b.Picture(), pictureB);

        // The next click selects its piece, with the mark a selection has.
        f.game.Click(second);
        QCOMPARE(f.game.SelectedPiece, second);
        QCOMPARE(b.BorderColor(), int32_t(0x00FF00));
        QVERIFY(f.window.timBorder().isActive());
    }

    void turning()
    {
        // Levels 1 and 2 animate the turn but mirror nothing; the check still runs.
        RecordedFixture f(2);
        PieceImage &piece = f.rig.piece(6);
        const QRect home = piece.geometry();
        f.game.RightClick(6);
        QVERIFY(!f.mirrored(6));
        QCOMPARE(piece.geometry(), home);

        // From level 3 on the turn toggles the mirror of the tile's own axis, twice back; the
        // piece narrows to a fifteenth across that axis and stays centred on its place.
        f.game.LevelCommand(3);
        const LevelFileRecords file(f.data.path());
        for (int j = 1; j <= 18; ++j) {
            const bool aboutUpright = file(3, f.content(j)).axis == 'H';
            PieceImage &p = f.rig.piece(j);
            const bool h = p.FlipHorizontal(), v = p.FlipVertical();
            const QRectF full = p.pixelGeometry();
            QRectF thinnest = full;
            bool centred = true;
            f.host.onPause = [&] {
                const QRectF now = p.pixelGeometry();
                if (now.width() * now.height() < thinnest.width() * thinnest.height())
                    thinnest = now;
                // Sizes are held in single precision: centred to a thousandth of a pixel.
                centred &= qAbs(now.center().x() - full.center().x()) < 1e-3
                           && qAbs(now.center().y() - full.center().y()) < 1e-3;
            };
            f.game.RightClick(j);
            f.host.onPause = nullptr;
            QVERIFY2(centred, qPrintable(QString::number(j)));
            QCOMPARE(p.FlipHorizontal(), aboutUpright ? !h : h);
            QCOMPARE(p.FlipVertical(), aboutUpright ? v : !v);
            if (aboutUpright)
                QVERIFY(qAbs(thinnest.width() - full.width() / 15) < 0.01);
            else
                QVERIFY(qAbs(thinnest.height() - full.height() / 15) < 0.01);
            f.game.RightClick(j);
            QCOMPARE(p.FlipHorizontal(), h);
            QCOMPARE(p.FlipVertical(), v);
        }
    }

    // A turn that an error ends part-way leaves its piece on its place at full size, and the
    // piece turns as ever afterwards.
    void aFailedTurnPutsItsPieceBack_data()
    {
        QTest::addColumn<int>("failingPause");
        QTest::newRow("narrowing") << 5;
        QTest::newRow("widening") << 20;
    }
    void aFailedTurnPutsItsPieceBack()
    {
        QFETCH(int, failingPause);
        RecordedFixture f(3);
        PieceImage &piece = f.rig.piece(6);
        const QRectF home = piece.pixelGeometry();
        failAtPause(f.host, failingPause);
        QVERIFY_THROWS_EXCEPTION(RuntimeError, f.game.RightClick(6));
        f.host.onPause = nullptr;
        QCOMPARE(piece.pixelGeometry(), home);
        const bool h = piece.FlipHorizontal(), v = piece.FlipVertical();
        f.game.RightClick(6);
        QVERIFY(piece.FlipHorizontal() != h || piece.FlipVertical() != v);
        QCOMPARE(piece.pixelGeometry(), home);
    }

    void theAxisFollowsTheTile()
    {
        RecordedFixture f(5);
        int h = 0, v = 0; // two places whose tiles turn about different lines
        for (int j = 1; j <= 18; ++j) {
            const char axis = f.game.LevelTable(5, f.content(j)).FlipAxis;
            (axis == 'H' ? h : v) = j;
        }
        QVERIFY(h && v);
        f.swap(h, v);
        const bool wasH = f.rig.piece(h).FlipHorizontal();
        const bool wasV = f.rig.piece(h).FlipVertical();
        f.game.RightClick(h); // place h now shows a tile that turns top to bottom
        QCOMPARE(f.rig.piece(h).FlipHorizontal(), wasH);
        QCOMPARE(f.rig.piece(h).FlipVertical(), !wasV);
    }

    // Every tile home, and the last mirrored piece mirrored left to right or top to bottom: the
    // picture is not finished until that piece is turned back too.
    void notCompleteWhileOnePieceIsMirrored_data()
    {
        QTest::addColumn<bool>("lastLeftToRight");
        QTest::newRow("left to right") << true;
        QTest::newRow("top to bottom") << false;
    }
    void notCompleteWhileOnePieceIsMirrored()
    {
        QFETCH(bool, lastLeftToRight);
        RecordedFixture f(5);
        f.placeEveryTile();
        QVERIFY(!f.game.PuzzleSolved);
        int last = 0;
        for (int j = 1; j <= 18; ++j)
            if (lastLeftToRight ? f.piece(j).FlipHorizontal() : f.piece(j).FlipVertical())
                last = j;
        QVERIFY(last);
        for (int j = 1; j <= 18; ++j)
            if (f.mirrored(j) && j != last)
                f.game.RightClick(j);
        QVERIFY(!f.game.PuzzleSolved);
        f.game.RightClick(last);
        QVERIFY(f.game.PuzzleSolved);
    }

    // The finished picture of every level, read back from the preview: the level picture, with
    // the banner's last frame where its animation ends it and, on level 1 only, the words.
    void everyLevelPlaysToTheFinishedPicture_data()
    {
        QTest::addColumn<int>("level");
        QTest::addColumn<QRect>("banner"); // where the banner stays, stretched; none: empty
        QTest::addColumn<bool>("words");
        // The sliding banner ends upright at x 257, 153 x 45 (257 - 104, 257 - 212) from y 100.
        const QRect slid(257, 100, 153, 45);
        // The rising banner ends at y 2.35 (338.35 less 42 steps of 8), 151.6 x 43.4, from x
        // 256.7 (half the picture's width, less 43, less an eighth of y).
        const QRect risen(257, 3, 151, 43);
        QTest::newRow("level 1, sliding banner and words") << 1 << slid << true;
        QTest::newRow("level 2, sliding banner") << 2 << slid << false;
        QTest::newRow("level 3, rising banner") << 3 << risen << false;
        QTest::newRow("level 4, rising banner") << 4 << risen << false;
        QTest::newRow("level 5, the plain picture") << 5 << QRect() << false;
        QTest::newRow("level 6, the plain picture") << 6 << QRect() << false;
        QTest::newRow("level 7, the plain picture") << 7 << QRect() << false;
    }
    void everyLevelPlaysToTheFinishedPicture()
    {
        QFETCH(int, level);
        QFETCH(QRect, banner);
        QFETCH(bool, words);
        RecordedFixture f(level);
        f.solve();
        QVERIFY(f.game.PuzzleSolved);
        for (int j = 1; j <= 18; ++j) {
            QVERIFY(!f.rig.piece(j).isVisible());
            QVERIFY(!f.rig.piece(j).Visible());
        }
        // The preview lies over the board, 20 units in, showing the whole picture.
        PictureBox &preview = f.rig.preview();
        QCOMPARE(preview.geometry(), QRect(20, 20, 600, 450));
        const QObjectList stack = f.rig.board().children();
        QCOMPARE(stack.indexOf(&preview), stack.size() - 1);
        const QImage picture = levelPicture(f.data.path(), level);
        const QImage shown = preview.image().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(shown.size(), picture.size());

        // The banner's golden letters, drawn inverted over the picture, stay where it ended.
        int golden = 0;
        for (int y = banner.top(); y <= banner.bottom(); ++y)
            for (int x = banner.left(); x <= banner.right(); ++x) {
                const QRgb xored = shown.pixel(x, y) ^ picture.pixel(x, y);
                golden += qRed(xored) > 100 && qGreen(xored) > 60 && qBlue(xored) < 60;
            }
        QVERIFY2(banner.isEmpty() || golden > 150, qPrintable(QString::number(golden)));
        // The words are printed at the top-left in light red.
        QCOMPARE(wordsPixels(shown) > 40, words);
        // Everywhere else the finished picture is the level picture.
        const QRect wordsArea = words ? QRect(0, 0, 300, 30) : QRect();
        int changed = 0;
        for (int y = 0; y < 450; ++y)
            for (int x = 0; x < 600; ++x)
                changed += !banner.adjusted(-1, -1, 1, 1).contains(x, y)
                           && !wordsArea.contains(x, y) && shown.pixel(x, y) != picture.pixel(x, y);
        QCOMPARE(changed, 0);

        // A turn is refused now, and clicking the picture repaints it clean.
        f.host.resetCounts();
        f.game.RightClick(1);
        QCOMPARE(f.host.pauses, 0);
        f.game.PreviewClick();
        QCOMPARE(preview.image().convertToFormat(QImage::Format_RGB32), picture);
    }

    // The banners frame by frame, read back from the finished picture at every step: each frame
    // erased before the next is drawn, so that what differs from the level picture is one
    // banner, never wider or higher than the largest frame.
    void theBannersPlayFrameByFrame_data()
    {
        QTest::addColumn<int>("level");
        QTest::addColumn<QSize>("largest");
        // Sliding: |x - 104| x |x - 212| for x from 1 to 253, at most 149 wide (x 253) and 211
        // high (x 1); rising: 151 + y / 4 x 43 + y / 6 for y from 338.3 down.
        QTest::newRow("level 2, sliding to the right, mirrored") << 2 << QSize(149, 211);
        QTest::newRow("level 3, rising") << 3 << QSize(236, 100);
    }
    void theBannersPlayFrameByFrame()
    {
        QFETCH(int, level);
        QFETCH(QSize, largest);
        RecordedFixture f(level);
        const QImage picture = levelPicture(f.data.path(), level);
        std::vector<QRect> boxes;
        int mirroredVotes = 0, uprightVotes = 0;
        f.host.onPause = [&] {
            if (!f.game.PuzzleSolved)
                return;
            const QImage shown = f.rig.preview().image().convertToFormat(QImage::Format_RGB32);
            QRect box;
            for (int y = 0; y < shown.height(); y += 2)
                for (int x = 0; x < shown.width(); x += 2)
                    if (shown.pixel(x, y) != picture.pixel(x, y))
                        box |= QRect(x, y, 1, 1);
            boxes.push_back(box);
            if (level != 2 || f.game.LoopCounter != 53)
                return;
            // Drawn 51 x 159 with negative sizes from (53, 100): it covers x 2..52 and
            // y -59..99, turned about both axes.
            const QImage banner = f.rig.banner().Picture().convertToFormat(QImage::Format_RGB32);
            const QImage turned = mirroredImage(banner, true, true).scaled(51, 159);
            const QImage upright = banner.scaled(51, 159);
            for (int y = 0; y < 100; ++y)
                for (int x = 2; x < 53; ++x) {
                    const bool changed = shown.pixel(x, y) != picture.pixel(x, y);
                    const bool inTurned = (turned.pixel(x - 2, y + 59) & 0xFFFFFF) != 0;
                    const bool inUpright = (upright.pixel(x - 2, y + 59) & 0xFFFFFF) != 0;
                    mirroredVotes += changed == inTurned;
                    uprightVotes += changed == inUpright;
                }
        };
        f.solve();
        QVERIFY(f.game.PuzzleSolved);
        std::erase_if(boxes, [](const QRect &b) { return b.isEmpty(); });
        QVERIFY(boxes.size() >= 20);
        for (const QRect &box : boxes)
            QVERIFY2(box.width() <= largest.width() + 2 && box.height() <= largest.height() + 2,
                     qPrintable(QStringLiteral("%1 x %2").arg(box.width()).arg(box.height())));
        if (level == 2) {
            // It slides to the right, and is mirrored on the way.
            for (size_t i = 1; i < boxes.size(); ++i)
                QVERIFY(boxes[i].right() >= boxes[i - 1].right());
            QVERIFY(boxes.back().right() > boxes.front().right() + 150);
            QVERIFY2(mirroredVotes > uprightVotes + 200,
                     qPrintable(QStringLiteral("%1 %2").arg(mirroredVotes).arg(uprightVotes)));
        } else {
            // It rises, narrowing towards the middle: its left edge moves right by an eighth of
            // the height it rises, from about 215 to 257.
            for (size_t i = 1; i < boxes.size(); ++i)
                QVERIFY(boxes[i].top() <= boxes[i - 1].top());
            QVERIFY(boxes.back().top() < boxes.front().top() - 150);
            QVERIFY2(
                boxes.back().left() > boxes.front().left() + 30,
                qPrintable(
                    QStringLiteral("%1 %2").arg(boxes.front().left()).arg(boxes.back().left())));
        }
    }

    // How fast the rising banner grows, frame by frame, on the levels that show it. For a 450
    // high picture its frames stand at y = 450 / 1.33 = 338.35 and 8 less each frame down to
    // 10.35 (42 frames), each 151 + y / 4 wide, 43 + y / 6 high and 257 - y / 8 from the left
    // (257: half the 600 wide picture, less 43). The first is 214.7, 338.35, 235.6 x 99.4, the
    // last 255.7, 10.35, 153.6 x 44.7.
    void theRisingBannerGrowsFrameByFrame_data()
    {
        QTest::addColumn<int>("level");
        QTest::newRow("level 3") << 3;
        QTest::newRow("level 4") << 4;
    }
    void theRisingBannerGrowsFrameByFrame()
    {
        QFETCH(int, level);
        RecordedFixture f(level);
        // A banner white all over: each frame, drawn inverted, changes exactly its rectangle.
        QImage white(147, 39, QImage::Format_RGB32);
        white.fill(Qt::white);
        f.rig.banner().setPicture(white);
        const QImage picture = levelPicture(f.data.path(), level);
        std::vector<QRect> frames;
        f.host.onPause = [&] {
            if (!f.game.PuzzleSolved)
                return;
            const QImage shown = f.rig.preview().image().convertToFormat(QImage::Format_RGB32);
            QRect box;
            for (int y = 0; y < shown.height(); ++y)
                for (int x = 0; x < shown.width(); ++x)
                    if (shown.pixel(x, y) != picture.pixel(x, y))
                        box |= QRect(x, y, 1, 1);
            frames.push_back(box);
        };
        f.solve();
        QVERIFY(f.game.PuzzleSolved);
        QCOMPARE(int(frames.size()), 42);
        const QRectF first(214.7, 338.35, 235.6, 99.4), last(255.7, 10.35, 153.6, 44.7);
        for (int n = 0; n < 42; ++n) {
            const double y = 338.35 - 8 * n;
            const QRectF rule = n == 0    ? first
                                : n == 41 ? last
                                          : QRectF(257 - y / 8, y, 151 + y / 4, 43 + y / 6);
            const QRect seen = frames[size_t(n)];
            const bool near = qAbs(seen.left() - rule.left()) <= 1
                              && qAbs(seen.top() - rule.top()) <= 1
                              && qAbs(seen.width() - rule.width()) <= 1
                              && qAbs(seen.height() - rule.height()) <= 1;
            QVERIFY2(near, qPrintable(QStringLiteral("frame %1: %2, %3, %4 x %5")
                                          .arg(n)
                                          .arg(seen.left())
                                          .arg(seen.top())
                                          .arg(seen.width())
                                          .arg(seen.height())));
        }
    }

    void levelMenu()
    {
        GameFixture f(1);
        f.game.Click(7);
        f.game.LevelCommand(6);
        QCOMPARE(f.window.windowTitle(), QStringLiteral("Morvane - Level 6"));
        QCOMPARE(f.game.SelectedPiece, 0);
        QVERIFY(!f.window.timBorder().isActive());
        QCOMPARE(f.window.piece(7).BorderStyle(), 1);
        QCOMPARE(f.window.piece(7).BorderColor(), int32_t(0xFF0000));
        for (int n = 1; n <= 7; ++n)
            QCOMPARE(f.window.levelAction(n)->isChecked(), n == 6);
        QCOMPARE(f.window.board().scaleMode(), BoardArea::ScaleMode::Pixels);

        // The menu item itself: its mark does not toggle by itself.
        f.window.levelAction(2)->trigger();
        QCOMPARE(f.game.CurrentLevel, 2);
        for (int n = 1; n <= 7; ++n)
            QCOMPARE(f.window.levelAction(n)->isChecked(), n == 2);
        QCOMPARE(f.window.windowTitle(), QStringLiteral("Morvane - Level 2"));
    }

    void missingLevelPictureChangesNothing()
    {
        GameFixture f(1);
        f.game.Click(5); // a selection, which stays
        QVERIFY(f.data.remove("Level4.res"));
        const QImage picture = f.window.clipper().Picture();
        f.window.levelAction(4)->trigger();
        QCOMPARE(f.window.messages,
                 QStringList{QStringLiteral("What happened to file?|           Error Loading File "
                                            "Level4.res             ")});
        QCOMPARE(f.game.CurrentLevel, 1);
        QCOMPARE(f.game.LoopCounter, 1.0); // the message box's OK
        QCOMPARE(f.window.windowTitle(), QStringLiteral("Morvane - Level 1"));
        for (int n = 1; n <= 7; ++n)
            QCOMPARE(f.window.levelAction(n)->isChecked(), n == 1);
        QCOMPARE(f.window.clipper().Picture(), picture);
        QCOMPARE(f.game.SelectedPiece, 5);
        f.game.Click(9); // and the board plays on
        QCOMPARE(f.game.SelectedPiece, 0);
    }

    // A level whose rows the level table lacks, chosen from the menu: its deal stops at once or
    // part-way, and the board is not laid out from the rows that are missing. The pieces the
    // deal reached stand on their places; the others stay as they were, at any window size.
    void aLevelMissingFromTheTableKeepsTheBoard_data()
    {
        QTest::addColumn<QString>("data");
        QTest::addColumn<int>("level");
        QTest::addColumn<int>("reached"); // places the deal reaches, in place order
        const LevelFileRecords shipped = shippedTable();
        // Cut after the tile of place 1 at level 6: the deal goes on while the tiles are there.
        int reached = 0;
        while (reached < 18 && shipped(6, reached + 1).dealt <= shipped(6, 1).dealt)
            ++reached;
        QVERIFY(reached >= 1 && reached < 18);
        QTest::newRow("no level table") << "no level table" << 4 << 0;
        QTest::newRow("table cut in level 1") << "table cut in level 1" << 3 << 0;
        QTest::newRow("table cut in level 6") << "table cut in level 6" << 6 << reached;
    }
    void aLevelMissingFromTheTableKeepsTheBoard()
    {
        QFETCH(QString, data);
        QFETCH(int, level);
        QFETCH(int, reached);
        GameFixture f(1, spoiled(data));
        std::array<QRectF, 18> before;
        for (int j = 1; j <= 18; ++j)
            before[size_t(j - 1)] = f.piece(j).pixelGeometry();
        const LevelFileRecords shipped = shippedTable();

        f.window.levelAction(level)->trigger();
        QCOMPARE(f.game.CurrentLevel, level);
        QVERIFY(f.window.messages.isEmpty());
        for (const QSize size : {QSize(), QSize(900, 700)}) {
            if (size.isValid()) {
                f.window.resize(size);
                QCoreApplication::processEvents();
            }
            for (int j = 1; j <= 18; ++j) {
                // The 640 x 490 board of a 600 x 450 level picture counts in pixels.
                const QRectF expected = j <= reached
                                            ? QRectF(shipped(level, j).tile.translated(20, 20))
                                            : before[size_t(j - 1)];
                QVERIFY2(f.piece(j).pixelGeometry() == expected, qPrintable(QString::number(j)));
            }
        }
    }

    void aDealAfterTheFinishedPictureStartsAfresh()
    {
        GameFixture f(3);
        f.solve();
        QVERIFY(f.game.PuzzleSolved);
        f.game.LevelCommand(3);
        QVERIFY(!f.game.PuzzleSolved);
        QCOMPARE(f.window.preview().size(), QSize(0, 0));
        for (int j = 1; j <= 18; ++j)
            QVERIFY(f.window.piece(j).isVisible());
        const bool h = f.piece(2).FlipHorizontal(), v = f.piece(2).FlipVertical();
        f.game.RightClick(2); // turning works again
        QVERIFY(f.piece(2).FlipHorizontal() != h || f.piece(2).FlipVertical() != v);
    }

    // --- Keyboard play ----------------------------------------------------------------------

    void theArrowsGoToThePlaceBeside_data()
    {
        QTest::addColumn<int>("from");
        QTest::addColumn<ArrowKey>("arrow");
        QTest::addColumn<int>("to");
        // A board of hand-made places, left..right x top..bottom:
        //   1: 0..100 x 0..100      2: 100..300 x 0..100
        //   3: 0..150 x 100..200    4: 150..200 x 100..200    5: 200..300 x 100..200
        //   6: 0..300 x 200..260    7: 300..400 x 260..300 (touches 6 at a corner only)
        //   8: 300..350 x 300..340  9: 350..400 x 300..340
        QTest::newRow("along a row") << 1 << ArrowKey::Right << 2;
        QTest::newRow("back along it") << 2 << ArrowKey::Left << 1;
        QTest::newRow("down, sharing most of the side") << 2 << ArrowKey::Down << 5;
        QTest::newRow("down from a narrow place") << 1 << ArrowKey::Down << 3;
        QTest::newRow("up, the one above the side") << 4 << ArrowKey::Up << 2;
        QTest::newRow("the nearest, not a farther one") << 3 << ArrowKey::Right << 4;
        QTest::newRow("the nearest row before one sharing more") << 6 << ArrowKey::Up << 3;
        QTest::newRow("equally near and shared: the lower number") << 7 << ArrowKey::Down << 8;
        QTest::newRow("a corner is not a side") << 6 << ArrowKey::Right << 0;
        QTest::newRow("the right edge") << 5 << ArrowKey::Right << 0;
        QTest::newRow("the top edge") << 2 << ArrowKey::Up << 0;
        QTest::newRow("the left edge") << 3 << ArrowKey::Left << 0;
    }
    void theArrowsGoToThePlaceBeside()
    {
        QFETCH(int, from);
        QFETCH(ArrowKey, arrow);
        QFETCH(int, to);
        LevelTable table;
        const int places[9][4] = {
            {0,   100, 0,   100},
            {100, 300, 0,   100},
            {0,   150, 100, 200},
            {150, 200, 100, 200},
            {200, 300, 100, 200},
            {0,   300, 200, 260},
            {300, 400, 260, 300},
            {300, 350, 300, 340},
            {350, 400, 300, 340}
        };
        for (int j = 1; j <= 9; ++j) {
            const auto [left, right, top, bottom] = places[j - 1];
            PieceRecord &place = table(1, j);
            place.PlaceLeft = int16_t(left);
            place.PlaceTop = int16_t(top);
            place.PlaceWidth = int16_t(right - left);
            place.PlaceHeight = int16_t(bottom - top);
        }
        // Places 10 to 18 have no size: they are beside nothing.
        QCOMPARE(placeBeside(table, 1, from, arrow), to);
    }

    void theKeyboardCursorIsTheHover()
    {
        RecordedFixture f(1);
        Game &game = f.game;
        auto glows = [&](int j) {
            return f.piece(j).BorderColor() == 0xFFFF00 && f.piece(j).BorderWidth() == 5;
        };
        // With nothing hovered, the first arrow hovers the piece under the mouse, or place 1.
        game.KeyboardArrow(ArrowKey::Left, 7);
        QCOMPARE(game.HoverPiece, 7);
        QVERIFY(glows(7));
        game.BackgroundMouseMove();
        game.KeyboardArrow(ArrowKey::Left, 0);
        QCOMPARE(game.HoverPiece, 1);
        QVERIFY(glows(1));
        // An arrow moves it to a place lying on that side and sharing that side.
        const PieceRecord &one = game.LevelTable(1, 1);
        game.KeyboardArrow(ArrowKey::Up, 0);
        const int above = game.HoverPiece;
        const PieceRecord &up = game.LevelTable(1, above);
        QVERIFY(above != 1);
        QCOMPARE(up.PlaceTop + up.PlaceHeight, one.PlaceTop);
        QVERIFY(up.PlaceLeft < one.PlaceLeft + one.PlaceWidth
                && one.PlaceLeft < up.PlaceLeft + up.PlaceWidth);
        QVERIFY(glows(above));
        // The piece left behind fades as one the mouse left; the hovered one keeps its glow.
        f.ticks(&Game::MoveTimerTick, 5);
        QCOMPARE(f.piece(1).BorderWidth(), 0);
        QCOMPARE(f.piece(1).BorderColor(), 0xFF0000);
        QVERIFY(glows(above));
        // Moving the mouse takes the hover back.
        game.PieceMouseMove(9);
        QCOMPARE(game.HoverPiece, 9);
    }

    void keysActAsClicks()
    {
        RecordedFixture f(3);
        Game &game = f.game;
        // Space or Enter selects the hovered piece; on another piece it swaps the two.
        game.PieceMouseMove(4);
        game.KeyboardClick();
        QCOMPARE(game.SelectedPiece, 4);
        const uint8_t four = f.content(4), eleven = f.content(11);
        game.PieceMouseMove(11);
        game.KeyboardClick();
        QCOMPARE(game.SelectedPiece, 0);
        QCOMPARE(f.content(4), eleven);
        QCOMPARE(f.content(11), four);
        // On the selected piece it lets go, as Escape does; Escape with nothing selected waits
        // for nothing.
        game.KeyboardClick();
        QCOMPARE(game.SelectedPiece, 11);
        game.KeyboardClick();
        QCOMPARE(game.SelectedPiece, 0);
        game.KeyboardClick();
        game.KeyboardLetGo();
        QCOMPARE(game.SelectedPiece, 0);
        QCOMPARE(f.piece(11).BorderStyle(), 1);
        QVERIFY(!f.rig.timBorder().isActive());
        f.host.resetCounts();
        game.KeyboardLetGo();
        QCOMPARE(f.host.pauses, 0);
        // The right click's keys turn the hovered piece.
        const bool h = f.piece(11).FlipHorizontal(), v = f.piece(11).FlipVertical();
        game.KeyboardRightClick();
        QVERIFY(f.piece(11).FlipHorizontal() != h || f.piece(11).FlipVertical() != v);
    }

    // The first and the last piece answer the keys as any other: the first arrow takes the
    // piece under the mouse, the click keys select it, Escape lets it go and the right click's
    // keys turn it.
    void keysReachBothEndsOfTheBoard_data()
    {
        QTest::addColumn<int>("piece");
        QTest::newRow("piece 1") << 1;
        QTest::newRow("piece 18") << 18;
    }
    void keysReachBothEndsOfTheBoard()
    {
        QFETCH(int, piece);
        RecordedFixture f(3);
        Game &game = f.game;
        game.KeyboardArrow(ArrowKey::Left, piece);
        QCOMPARE(game.HoverPiece, piece);
        game.KeyboardClick();
        QCOMPARE(game.SelectedPiece, piece);
        QCOMPARE(f.piece(piece).BorderStyle(), 2);
        game.KeyboardLetGo();
        QCOMPARE(game.SelectedPiece, 0);
        QCOMPARE(f.piece(piece).BorderStyle(), 1);
        const bool h = f.piece(piece).FlipHorizontal(), v = f.piece(piece).FlipVertical();
        game.KeyboardRightClick();
        QVERIFY(f.piece(piece).FlipHorizontal() != h || f.piece(piece).FlipVertical() != v);
    }

    void noKeyReachesTheFinishedPicture()
    {
        RecordedFixture f(5);
        f.solve();
        Game &game = f.game;
        game.PieceMouseMove(3);
        const int32_t frame = f.piece(3).BorderColor();
        f.host.resetCounts();
        game.KeyboardArrow(ArrowKey::Right, 0);
        game.KeyboardClick();
        game.KeyboardRightClick();
        game.KeyboardLetGo();
        QCOMPARE(game.HoverPiece, 3);
        QCOMPARE(game.SelectedPiece, 0);
        QCOMPARE(f.host.pauses, 0);
        QCOMPARE(f.piece(3).BorderColor(), frame);
        QVERIFY(game.PuzzleSolved);
    }

    void theWindowTakesThePlayKeys_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
        QTest::addColumn<QString>("play");
        const Qt::KeyboardModifiers none = Qt::NoModifier, shift = Qt::ShiftModifier;
        QTest::newRow("Left") << int(Qt::Key_Left) << none << "hover";
        QTest::newRow("Right") << int(Qt::Key_Right) << none << "hover";
        QTest::newRow("Up") << int(Qt::Key_Up) << none << "hover";
        QTest::newRow("Down") << int(Qt::Key_Down) << none << "hover";
        QTest::newRow("keypad Down")
            << int(Qt::Key_Down) << Qt::KeyboardModifiers(Qt::KeypadModifier) << "hover";
        QTest::newRow("Space") << int(Qt::Key_Space) << none << "click";
        QTest::newRow("Return") << int(Qt::Key_Return) << none << "click";
        QTest::newRow("keypad Enter")
            << int(Qt::Key_Enter) << Qt::KeyboardModifiers(Qt::KeypadModifier) << "click";
        QTest::newRow("Shift+Space") << int(Qt::Key_Space) << shift << "turn";
        QTest::newRow("Shift+F10") << int(Qt::Key_F10) << shift << "turn";
        QTest::newRow("Menu") << int(Qt::Key_Menu) << none << "turn";
        QTest::newRow("Escape") << int(Qt::Key_Escape) << none << "let go";
        QTest::newRow("Ctrl+Space")
            << int(Qt::Key_Space) << Qt::KeyboardModifiers(Qt::ControlModifier) << "";
        QTest::newRow("Alt+Down") << int(Qt::Key_Down) << Qt::KeyboardModifiers(Qt::AltModifier)
                                  << "";
        QTest::newRow("F10") << int(Qt::Key_F10) << none << "";
        QTest::newRow("a letter") << int(Qt::Key_A) << none << "";
    }
    void theWindowTakesThePlayKeys()
    {
        QFETCH(int, key);
        QFETCH(Qt::KeyboardModifiers, modifiers);
        QFETCH(QString, play);
        GameFixture f(3);
        Game &game = f.game;
        QCursor::setPos(f.window.mapToGlobal(QPoint(-50, -50))); // the mouse off the board
        game.Click(9);
        game.PieceMouseMove(6);
        if (play == QLatin1String("hover"))
            game.BackgroundMouseMove();
        const uint8_t six = f.content(6), nine = f.content(9);
        const bool h = f.piece(6).FlipHorizontal(), v = f.piece(6).FlipVertical();
        f.window.resetCounts();
        QTest::keyClick(&f.window, Qt::Key(key), modifiers);
        QCOMPARE(game.HoverPiece, play == QLatin1String("hover") ? 1 : 6);
        QCOMPARE(game.SelectedPiece, play == QLatin1String("click")    ? 0
                                     : play == QLatin1String("let go") ? 0
                                                                       : 9);
        // A click swaps the hovered piece with the selected one; a turn turns the hovered one.
        const bool swapped = play == QLatin1String("click");
        QCOMPARE(f.content(6), swapped ? nine : six);
        QCOMPARE(f.content(9), swapped ? six : nine);
        QCOMPARE(f.piece(6).FlipHorizontal() != h || f.piece(6).FlipVertical() != v,
                 play == QLatin1String("turn"));
        // Nothing else animates.
        QCOMPARE(f.window.pauses > 0, swapped || play == QLatin1String("turn"));
    }

    // Done with a menu, the player's keys play the board again: Escape is enough, and so is the
    // mouse on the board. The keys go in as the window system hands them on, to whichever
    // widget has the keyboard.
    void keysPlayTheBoardAfterAMenu_data()
    {
        QTest::addColumn<QString>("opened"); // "click": File clicked; "keys": Alt+L
        QTest::addColumn<QString>("then");   // what the player does once the menu is closed
        QTest::addColumn<bool>("escape");    // whether Escape closes the menu
        QTest::newRow("File clicked, Escape") << "click"
                                              << "" << true;
        QTest::newRow("File clicked, Escape, the board clicked") << "click"
                                                                 << "click" << true;
        QTest::newRow("File clicked, Escape, the mouse over the board") << "click"
                                                                        << "move" << true;
        QTest::newRow("Alt+L, Escape") << "keys"
                                       << "" << true;
        QTest::newRow("Alt tapped, the board clicked") << "alt"
                                                       << "click" << false;
        QTest::newRow("Alt tapped, the mouse over the board") << "alt"
                                                              << "move" << false;
    }
    void keysPlayTheBoardAfterAMenu()
    {
        QFETCH(QString, opened);
        QFETCH(QString, then);
        QFETCH(bool, escape);
        GameFixture f(1);
        QVERIFY(QTest::qWaitForWindowActive(&f.window));
        QCursor::setPos(f.window.mapToGlobal(QPoint(-50, -50))); // the mouse off the board
        QWindow *window = f.window.windowHandle();
        QMenuBar *bar = f.window.menuBar();
        if (opened == QLatin1String("click"))
            QTest::mouseClick(bar, Qt::LeftButton, {},
                              bar->actionGeometry(bar->actions().first()).center());
        else if (opened == QLatin1String("keys"))
            QTest::keyClick(window, Qt::Key_L, Qt::AltModifier);
        else
            QTest::keyClick(window, Qt::Key_Alt);
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        QCOMPARE(menu != nullptr, escape);
        if (menu)
            QTest::keyClick(menu, Qt::Key_Escape);
        QVERIFY(!QApplication::activePopupWidget());
        const QPoint background(4, 4);
        if (then == QLatin1String("click"))
            QTest::mouseClick(&f.window.board(), Qt::LeftButton, {}, background);
        else if (then == QLatin1String("move"))
            QTest::mouseMove(&f.window.board(), background);
        QCOMPARE(f.game.HoverPiece, 0);
        QTest::keyClick(window, Qt::Key_Right);
        QCOMPARE(f.game.HoverPiece, 1);
        QTest::keyClick(window, Qt::Key_Space);
        QCOMPARE(f.game.SelectedPiece, 1);
        // The menus still open from the keyboard afterwards.
        // The offscreen platform leaves a closed popup the active window, where a desktop gives
        // the activation back to the main window.
        f.window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&f.window));
        QTest::keyClick(window, Qt::Key_H, Qt::AltModifier);
        menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        QVERIFY(menu);
        QCOMPARE(menu->actions().first(), f.window.aboutAction());
        menu->hide();
    }

    void aSizeGivenBetweenFramesWaitsForTheAnimation()
    {
        // Where the window system needs painting between frames, an event that comes then (a
        // new size from the window manager) starts its handler only once the deal has ended:
        // inside it, the layout would cut the deal's loop short.
        GameFixture f(1);
        f.window.betweenFrames().setNeeded(true);
        const int menu = f.window.height() - f.window.board().height();
        f.window.resetCounts();
        // The window manager's size comes while the fifth piece slides in.
        f.window.onPause = [&] {
            if (f.window.pauses == 45)
                QMetaObject::invokeMethod(
                    &f.window, [&] { f.window.resize(900, menu + 600); }, Qt::QueuedConnection);
        };
        f.window.levelAction(7)->trigger();
        QCOMPARE(f.window.pauses, 180); // every piece entered
        QCOMPARE(f.window.board().size(), QSize(900, 600));
        QRect united;
        for (int j = 1; j <= 18; ++j)
            united |= f.window.piece(j).geometry();
        QVERIFY(qAbs(united.left() - 900 * 20 / 640) <= 1);
        QVERIFY(qAbs(united.bottom() + 1 - 600 * 470 / 490) <= 1);
    }

    void movesSnapToPlacesInAnyWindowSize()
    {
        GameFixture f(1);
        f.window.setOuterWidthTwips(15 * 900 + 120);
        f.window.setOuterHeightTwips(15 * 500 + 690);
        f.game.LevelCommand(1);
        // After the deal the places are in pixels of this board, and the board is filled.
        QCOMPARE(f.window.board().size(), QSize(900, 500));
        QRect united;
        for (int j = 1; j <= 18; ++j)
            united |= f.window.piece(j).geometry();
        QVERIFY(qAbs(united.left() - 900 * 20 / 640) <= 1);
        QVERIFY(qAbs(united.right() + 1 - 900 * 620 / 640) <= 1);
        const QRect before = f.window.piece(3).geometry();
        f.swap(3, 12);
        QCOMPARE(f.window.piece(3).geometry(), before);
    }
};

QTEST_MAIN(PlayTest)
#include "tst_play.moc"
