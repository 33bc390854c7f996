// Dealing: every level's dealt board, and the order and direction of its entry animation (its
// steps are counted with every other animation's in the pacing test). The game runs over its
// real components and a recording host, without the main window.
#include "../support/BoardPictures.h"
#include "../support/LevelFileRecords.h"
#include "../support/RecordingHost.h"

#include "components/PictureClip.h"

#include <QTest>

using namespace morvane;
using namespace morvane::test;

class DealTest : public QObject {
    Q_OBJECT

private slots:
    // Read back from what every piece shows: the tile the file deals on its place, cut from the
    // level picture and mirrored where the file marks that tile mirrored, about the tile's own
    // axis, on its place at 640 x 490: the tile moved by the 20-pixel margin.
    void everyLevelIsDealtAsItsFileSays_data()
    {
        QTest::addColumn<int>("level");
        for (int level = 1; level <= 7; ++level)
            QTest::newRow(qPrintable(QStringLiteral("level %1").arg(level))) << level;
    }
    void everyLevelIsDealtAsItsFileSays()
    {
        QFETCH(int, level);
        DataFolder data;
        const LevelFileRecords file(data.path());
        const QImage picture = levelPicture(data.path(), level);
        RecordedGame rig(data.path());
        rig.start();
        rig.game().LevelCommand(level);
        QCOMPARE(rig.game().CurrentLevel, level);
        int mirrored = 0;
        for (int j = 1; j <= 18; ++j) {
            const QString where = QStringLiteral("place %1").arg(j);
            PieceImage &piece = rig.piece(j);
            const FileRecord place = file(level, j);
            const FileRecord tile = file(level, place.dealt);
            QCOMPARE(int(rig.game().LevelTable(level, j).Content), place.dealt);
            QCOMPARE(piece.geometry(), place.tile.translated(20, 20));
            QVERIFY(piece.isVisible());
            // Inside the thin frame, the piece shows the tile stretched to its place (carefully,
            // once its size has held for a frame).
            const QRect inside = QRect(QPoint(), piece.size()).adjusted(3, 3, -3, -3);
            const auto shows = [&](bool h, bool v) {
                const QImage shown =
                    piece.grab().toImage().convertToFormat(QImage::Format_RGB32).copy(inside);
                return difference(shown, mirroredImage(picture.copy(tile.tile), h, v)
                                             .scaled(piece.size(), Qt::IgnoreAspectRatio,
                                                     Qt::SmoothTransformation)
                                             .copy(inside));
            };
            const bool h = tile.mirrored && tile.axis == 'H';
            const bool v = tile.mirrored && tile.axis == 'V';
            QTRY_VERIFY2_WITH_TIMEOUT(shows(h, v) < 1, qPrintable(where), 5000);
            // Not the tile turned the other way about its axis: the mirror shows.
            QVERIFY2(shows(h != (tile.axis == 'H'), v != (tile.axis == 'V')) > 5,
                     qPrintable(where));
            mirrored += tile.mirrored;
        }
        // Levels 1 and 2 deal nothing mirrored; from level 3 on some tiles start mirrored.
        QCOMPARE(mirrored > 0, level >= 3);
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

    // An own picture is dealt in its own shuffle of a template level's deal, and dealt again in
    // the same. With every random number 0 the template is level 1, and each tile in turn is
    // swapped onto place 1: the template's deal moves one place on, its last tile to place 1.
    void ownPictureDealKeepsItsShuffle()
    {
        DataFolder data;
        const LevelFileRecords file(data.path());
        ScriptedRandom random;
        RecordedGame rig(data.path(), &random);
        rig.start();
        Game &game = rig.game();
        rig.host.formChoice = data.file("Level6.res");
        random.script.assign(1 + 18, 0.0f);
        rig.openCommand().run();
        QCOMPARE(game.CurrentLevel, 0);
        for (const bool again : {false, true}) {
            if (again)
                game.DealLevel();
            for (int j = 1; j <= 18; ++j)
                QCOMPARE(int(game.LevelTable(0, j).Content), file(1, j == 1 ? 18 : j - 1).dealt);
        }
    }
};

QTEST_MAIN(DealTest)
#include "tst_deal.moc"
