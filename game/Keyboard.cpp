// Playing from the keyboard: the keyboard cursor is the hover, and keys stand for the clicks.
#include "Game.h"

namespace morvane {

namespace {
bool isPiece(int index) { return index >= 1 && index <= 18; }
} // namespace

void Game::KeyboardArrow(ArrowKey arrow, int pieceUnderMouse)
{
    // The finished picture covers the board: keys, like clicks, reach no piece then.
    if (PuzzleSolved)
        return;
    int next = 0;
    if (!isPiece(HoverPiece))
        next = isPiece(pieceUnderMouse) ? pieceUnderMouse : 1;
    else
        next = placeBeside(LevelTable, CurrentLevel, HoverPiece, arrow);
    // The piece glows as under the mouse; the one left behind is no longer hovered and fades.
    if (next != 0)
        PieceMouseMove(next);
}

void Game::KeyboardClick()
{
    if (!PuzzleSolved && isPiece(HoverPiece))
        Click(HoverPiece);
}

void Game::KeyboardRightClick()
{
    if (!PuzzleSolved && isPiece(HoverPiece))
        RightClick(HoverPiece);
}

void Game::KeyboardLetGo()
{
    // As a click on the selected piece: its mark and pulse end, nothing is swapped.
    if (!PuzzleSolved && isPiece(SelectedPiece))
        Click(SelectedPiece);
}

} // namespace morvane
