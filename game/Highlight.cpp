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

// The fade takes down the glow of every piece that has one, except the piece under the mouse,
// which keeps its glow, and the selected piece, whose frame belongs to the pulse.
bool Game::glowFades(int j) const
{
    return j != HoverPiece && j != SelectedPiece && ZAD(j).BorderWidth() != 0;
}

bool Game::glowLeftToFade() const
{
    for (int j = 1; j <= 18; ++j)
        if (glowFades(j))
            return true;
    return false;
}

void Game::MoveTimerTick()
{
    for (LoopCounter = 1; LoopCounter <= 18; ++LoopCounter) {
        const int j = int(LoopCounter);
        if (!glowFades(j))
            continue;
        PieceImage &piece = ZAD(j);
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
