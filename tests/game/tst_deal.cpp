// Dealing: every level's dealt board, and the steps and order of its entry animation. The game
// runs over its real components and a recording host, without the main window.
#include "../support/RecordingHost.h"

#include "components/PictureClip.h"

#include <QTest>

using namespace morvane;
using namespace morvane::test;

namespace {

QImage tilePicture(const QImage &picture, const PieceRecord &tile)
{
    return picture.copy(tile.SrcLeft, tile.SrcTop, tile.SrcWidth, tile.SrcHeight);
}

} // namespace

class DealTest : public QObject {
    Q_OBJECT

private slots:
    void everyLevelIsDealtAsItsTableSays()
    {
        DataFolder data;
        RecordedGame rig(data.path());
        rig.start();
        Game &game = rig.game();
        for (int level = 1; level <= 7; ++level) {
            game.LevelCommand(level);
            QCOMPARE(game.CurrentLevel, level);
            const QImage &picture = rig.clipper().Picture();
            for (int j = 1; j <= 18; ++j) {
                const PieceRecord &place = game.LevelTable(level, j);
                PieceImage &piece = rig.piece(j);
                QCOMPARE(place.Content, place.StartContent);
                // On its place: at 640 x 490 the tile moved by the 20-pixel margin.
                QCOMPARE(piece.geometry(), QRect(place.SrcLeft + 20, place.SrcTop + 20,
                                                 place.SrcWidth, place.SrcHeight));
                QVERIFY(piece.isVisible());
                const PieceRecord &tile = game.LevelTable(level, place.Content);
                QCOMPARE(piece.Picture(), tilePicture(picture, tile));
                // The mirror comes from the record of the tile shown, on that tile's axis.
                if (tile.FlipAxis == 'H') {
                    QCOMPARE(piece.FlipHorizontal(), tile.Flipped != 0);
                    QVERIFY(!piece.FlipVertical());
                } else {
                    QCOMPARE(piece.FlipVertical(), tile.Flipped != 0);
                    QVERIFY(!piece.FlipHorizontal());
                }
            }
        }
    }

    void dealingTheSameLevelTwiceGivesTheSameBoard()
    {
        DataFolder data;
        RecordedGame rig(data.path());
        rig.start();
        Game &game = rig.game();
        game.LevelCommand(4);
        std::vector<std::tuple<QRect, QImage, bool, bool>> first;
        for (int j = 1; j <= 18; ++j)
            first.emplace_back(rig.piece(j).geometry(), rig.piece(j).Picture(),
                               rig.piece(j).FlipHorizontal(), rig.piece(j).FlipVertical());
        game.Click(1);
        game.Click(2); // some progress, lost on a new deal
        game.LevelCommand(4);
        for (int j = 1; j <= 18; ++j) {
            PieceImage &piece = rig.piece(j);
            QCOMPARE(piece.geometry(), std::get<0>(first[size_t(j - 1)]));
            QCOMPARE(piece.Picture(), std::get<1>(first[size_t(j - 1)]));
            QCOMPARE(piece.FlipHorizontal(), std::get<2>(first[size_t(j - 1)]));
            QCOMPARE(piece.FlipVertical(), std::get<3>(first[size_t(j - 1)]));
            QCOMPARE(game.LevelTable(4, j).Content, game.LevelTable(4, j).StartContent);
        }
    }

    void animationStepCounts_data()
    {
        QTest::addColumn<int>("level");
        QTest::addColumn<int>("pauses");
        QTest::addColumn<int>("windowRedraws");
        QTest::addColumn<int>("pieceRedraws");
        // Each animation step redraws and then waits for the end of its frame; every piece also
        // ends with one exact placement and its redraw.
        QTest::newRow("level 1: all at once") << 1 << 0 << 1 << 0;
        QTest::newRow("level 2: grow in width") << 2 << 162 << 1 << 18 * 10;
        QTest::newRow("level 3: grow in height") << 3 << 162 << 1 << 18 * 10;
        QTest::newRow("level 4: grow in width") << 4 << 162 << 1 << 18 * 10;
        QTest::newRow("level 5: drop from the top") << 5 << 216 << 1 + 18 * 13 << 18;
        QTest::newRow("level 6: all at once") << 6 << 0 << 1 << 0;
        QTest::newRow("level 7: slide in") << 7 << 180 << 1 + 18 * 11 << 18;
    }
    void animationStepCounts()
    {
        QFETCH(int, level);
        QFETCH(int, pauses);
        QFETCH(int, windowRedraws);
        QFETCH(int, pieceRedraws);
        DataFolder data;
        RecordedGame rig(data.path());
        rig.start();
        rig.host.resetCounts();
        const int redrawsBefore = rig.pieceRedraws();
        rig.game().LevelCommand(level);
        QCOMPARE(rig.host.pauses, pauses);
        QCOMPARE(rig.host.windowRedraws, windowRedraws);
        QCOMPARE(rig.pieceRedraws() - redrawsBefore, pieceRedraws);
    }

    void entryOrderAndDirection_data()
    {
        QTest::addColumn<int>("level");
        QTest::newRow("slide") << 7;
        QTest::newRow("drop") << 5;
        QTest::newRow("grow in height") << 3;
        QTest::newRow("grow in width") << 2;
    }
    void entryOrderAndDirection()
    {
        QFETCH(int, level);
        DataFolder data;
        RecordedGame rig(data.path());
        rig.start();
        Game &game = rig.game();
        // At each pause, note which pieces are shown and where the moving one stands.
        std::vector<int> order;
        bool directionRight = true;
        // One piece enters at a time: those shown are the ones whose entry has begun.
        bool oneAtATime = true;
        rig.host.onPause = [&] {
            int shown = 0;
            for (int j = 1; j <= 18; ++j)
                shown += rig.piece(j).isVisible();
            // The newest piece is the one that is not yet on its place.
            for (int j = 1; j <= 18; ++j) {
                PieceImage &piece = rig.piece(j);
                const PieceRecord &place = game.LevelTable(level, j);
                const QRectF px = piece.pixelGeometry();
                const QRectF home(place.SrcLeft + 20, place.SrcTop + 20, place.SrcWidth,
                                  place.SrcHeight);
                const auto near = [](double a, double b) { return qAbs(a - b) < 0.01; };
                if (!piece.isVisible()
                    || (near(px.left(), home.left()) && near(px.top(), home.top())
                        && near(px.width(), home.width()) && near(px.height(), home.height())))
                    continue;
                if (order.empty() || order.back() != j)
                    order.push_back(j);
                switch (level) {
                case 7: // odd pieces come from the left, even ones from the right
                    directionRight &=
                        (j % 2 == 1) ? px.left() < home.left() : px.left() > home.left();
                    directionRight &= near(px.top(), home.top()) && near(px.width(), home.width());
                    break;
                case 5: // from above, at full size
                    directionRight &= px.top() < home.top() && near(px.height(), home.height());
                    break;
                case 3: // growing downwards from the top edge
                    directionRight &= near(px.top(), home.top()) && px.height() < home.height();
                    break;
                default: // growing rightwards from the left edge
                    directionRight &= near(px.left(), home.left()) && px.width() < home.width();
                }
            }
            oneAtATime &= shown == int(order.size());
        };
        game.LevelCommand(level);
        std::vector<int> expected;
        for (int j = 1; j <= 18; ++j)
            expected.push_back(level >= 5 ? 19 - j : j);
        QCOMPARE(order, expected);
        QVERIFY(directionRight);
        QVERIFY(oneAtATime);
    }

    void ownPictureDealKeepsItsShuffleAndAppearsAtOnce()
    {
        DataFolder data;
        RecordedGame rig(data.path());
        rig.start();
        Game &game = rig.game();
        rig.host.formChoice = data.file("Level6.res");
        rig.openCommand().run();
        QCOMPARE(game.CurrentLevel, 0);
        std::vector<uint8_t> shuffled;
        for (int j = 1; j <= 18; ++j)
            shuffled.push_back(game.LevelTable(0, j).Content);
        rig.host.resetCounts();
        game.DealLevel();
        QCOMPARE(rig.host.pauses, 0);
        QCOMPARE(rig.host.windowRedraws, 1);
        for (int j = 1; j <= 18; ++j)
            QCOMPARE(game.LevelTable(0, j).Content, shuffled[size_t(j - 1)]);
    }
};

QTEST_MAIN(DealTest)
#include "tst_deal.moc"
