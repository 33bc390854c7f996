// Turning a piece over about the centre line of the tile it shows.
#include "Game.h"

#include "PutBack.h"
#include "components/PieceImage.h"

#include <array>

namespace morvane {

void Game::RightClick(int index)
{
    if (PuzzleSolved)
        return;
    const uint8_t tile = LevelTable(CurrentLevel, index).Content;
    // The axis belongs to the tile, so a place may turn about another line after a swap.
    const bool aboutVerticalLine = LevelTable(CurrentLevel, tile).FlipAxis == 'H';
    PieceImage &piece = ZAD(index);
    putBackOnError(std::array{&piece}, [&] { turnPiece(piece, aboutVerticalLine, CurrentLevel); });
    CheckCompletion();
}

void Game::turnPiece(PieceImage &piece, bool aboutVerticalLine, int level)
{
    // The piece narrows in 14 steps of a fifteenth, so it never quite vanishes, shows its
    // other side at its thinnest, and widens again; it stays centred throughout.
    const double step = (aboutVerticalLine ? piece.Width() : piece.Height()) / 15.0;
    auto move = [&](double sign) {
        for (int i = 0; i < 14; ++i) {
            if (aboutVerticalLine) {
                piece.setWidth(piece.Width() + sign * step);
                piece.setLeft(piece.Left() - sign * step / 2);
            } else {
                piece.setHeight(piece.Height() + sign * step);
                piece.setTop(piece.Top() - sign * step / 2);
            }
            redrawWindow();
            pause();
        }
    };
    startAnimation();
    move(-1);
    // The first two levels animate the turn but never mirror anything.
    if (level != 1 && level != 2) {
        if (aboutVerticalLine)
            piece.setFlipHorizontal(!piece.FlipHorizontal());
        else
            piece.setFlipVertical(!piece.FlipVertical());
    }
    move(+1);
}

} // namespace morvane
