// The hover glow that follows the mouse and fades, and the selected piece's pulsing frame.
#include "Game.h"

#include "components/CheckedMath.h"
#include "components/PieceImage.h"

namespace morvane {

namespace {
constexpr int32_t HoverFrame = 0xFFFF00;
constexpr int32_t HoverGlow = 5;
constexpr int32_t FadeStep = 0x3300;
} // namespace

void Game::PieceMouseMove(int index)
{
    HoverPiece = toByte(index);
    // The selected piece's frame belongs to the pulse.
    if (index != SelectedPiece) {
        ZAD(index).setBorderColor(HoverFrame);
        ZAD(index).setBorderWidth(HoverGlow);
    }
}

void Game::MoveTimerTick()
{
    for (LoopCounter = 1; LoopCounter <= 18; ++LoopCounter) {
        const int j = int(LoopCounter);
        if (j == HoverPiece || j == SelectedPiece)
            continue;
        PieceImage &piece = ZAD(j);
        if (piece.BorderWidth() == 0)
            continue;
        // Plain arithmetic on the whole colour: five steps take cyan back to blue.
        piece.setBorderWidth(sub32(piece.BorderWidth(), 1));
        piece.setBorderColor(sub32(piece.BorderColor(), FadeStep));
    }
}

void Game::BorderTimerTick()
{
    PieceImage &piece = ZAD(SelectedPiece);
    piece.setBorderColor(add32(piece.BorderColor(), BorderPhase));
    if (piece.BorderColor() < 255)
        BorderPhase = 50;
    if (piece.BorderColor() > 0xFFFF00)
        BorderPhase = -50;
}

} // namespace morvane
