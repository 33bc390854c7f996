// Checking the board: contents are permutations, the file's fields stay, pieces stand on
// their places inside the board.
#include "BoardInvariants.h"

#include "../support/TestWindow.h"

#include "components/BoardArea.h"
#include "components/PictureBox.h"

#include <cmath>

namespace morvane::test {

namespace {

// Piece edges are rounded to whole pixels and animations step in floating point.
constexpr double Slack = 1.0;

QString describe(const QRectF &r)
{
    return QStringLiteral("(%1, %2, %3 x %4)").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
}

bool near(const QRectF &a, const QRectF &b)
{
    return std::abs(a.left() - b.left()) <= Slack && std::abs(a.top() - b.top()) <= Slack
           && std::abs(a.right() - b.right()) <= Slack
           && std::abs(a.bottom() - b.bottom()) <= Slack;
}

} // namespace

QStringList BoardInvariants::check(TestWindow &window) const
{
    QStringList broken;
    const LevelTable &table = window.game().LevelTable;
    checkContents(table, broken);
    checkFileFields(table, broken);
    checkPieces(window, broken);
    return broken;
}

void BoardInvariants::checkContents(const LevelTable &table, QStringList &broken) const
{
    for (int row = 0; row <= 7; ++row) {
        if (!m_dealt.test(size_t(row)))
            continue;
        std::bitset<19> seen;
        for (int j = 1; j <= 18; ++j) {
            const int c = table(row, j).Content;
            if (c < 1 || c > 18 || seen.test(size_t(c)))
                broken << QStringLiteral("row %1: Content of place %2 is %3, not part of a "
                                         "permutation of 1..18")
                              .arg(row)
                              .arg(j)
                              .arg(c);
            else
                seen.set(size_t(c));
        }
    }
}

void BoardInvariants::checkFileFields(const LevelTable &table, QStringList &broken) const
{
    for (int row = 1; row <= 7; ++row) {
        for (int j = 1; j <= 18; ++j) {
            PieceRecord now = table(row, j);
            const PieceRecord &file = m_file(row, j);
            // Only the places (laid out for the window) and the contents may change.
            now.PlaceHeight = file.PlaceHeight;
            now.PlaceLeft = file.PlaceLeft;
            now.PlaceTop = file.PlaceTop;
            now.PlaceWidth = file.PlaceWidth;
            now.Content = file.Content;
            if (!(now == file))
                broken << QStringLiteral("row %1 place %2: a field read from the level file "
                                         "changed")
                              .arg(row)
                              .arg(j);
        }
    }
}

void BoardInvariants::checkPieces(TestWindow &window, QStringList &broken) const
{
    // A minimised window lays nothing out; it does so when it comes back.
    if (window.isMinimized())
        return;
    Game &game = window.game();
    BoardArea &board = window.board();
    if (game.PuzzleSolved) {
        // The whole picture lies over the board and no piece is left to click.
        for (int j = 1; j <= 18; ++j)
            if (window.piece(j).isVisibleTo(&board))
                broken << QStringLiteral("piece %1 is shown on a finished picture").arg(j);
        return;
    }
    if (board.scaleMode() != BoardArea::ScaleMode::Pixels)
        broken << QStringLiteral("the board is left in another scale than pixels");
    const QRectF area =
        QRectF(0, 0, board.width(), board.height()).adjusted(-Slack, -Slack, Slack, Slack);
    for (int j = 1; j <= 18; ++j) {
        const PieceImage &piece = window.piece(j);
        if (!piece.isVisibleTo(&board))
            continue;
        const QRectF at = piece.pixelGeometry();
        if (!area.contains(at))
            broken << QStringLiteral("piece %1 at %2 lies outside the board of %3 x %4")
                          .arg(j)
                          .arg(describe(at))
                          .arg(board.width())
                          .arg(board.height());
        const PieceRecord &place = game.LevelTable(game.CurrentLevel, j);
        const QRectF home(place.PlaceLeft, place.PlaceTop, place.PlaceWidth, place.PlaceHeight);
        if (!near(at, home))
            broken << QStringLiteral("piece %1 at %2 is not on its place %3 of level %4")
                          .arg(j)
                          .arg(describe(at), describe(home))
                          .arg(game.CurrentLevel);
    }
}

} // namespace morvane::test
