// Hidden pieces on the hardest levels: a fading plain colour until the count runs out, and
// on level 7 a chain of further hides chosen at random.
#include "Game.h"

#include "Random.h"
#include "components/CheckedMath.h"
#include "components/PictureBox.h"
#include "components/PictureClip.h"
#include "components/PieceImage.h"

namespace morvane {

namespace {
constexpr int32_t HiddenColour = 0xC0C0C0;
constexpr int32_t TickHideCount = 18;
} // namespace

void Game::hidePiece(PieceImage &piece, int32_t count)
{
    piece.setPicture(m_parts.preview->Picture()); // the preview never has a picture: empty
    piece.setHideCount(count);
    piece.setHideColor(HiddenColour);
}

void Game::HiderTimerTick()
{
    // Level 7 lowers the red byte of the colour, the other levels the blue byte.
    const int32_t step = CurrentLevel == 7 ? 8 : 0x80000;
    for (LoopCounter = 1; LoopCounter <= 18; ++LoopCounter) {
        const int j = int(LoopCounter);
        PieceImage &piece = ZAD(j);
        if (piece.HideCount() == 0)
            continue;
        piece.setHideCount(sub32(piece.HideCount(), 1));
        piece.setHideColor(sub32(piece.HideColor(), step));
        if (piece.HideCount() != 0)
            continue;
        // The place shows whatever tile it holds now, which may have changed meanwhile.
        SelectTile(LevelTable(CurrentLevel, j).Content);
        piece.setPicture(m_parts.clipper->Clip());
        if (CurrentLevel == 7) {
            const int k = int(m_parts.random->next() * 18.0f + 1.0f);
            if (k < j - 2 || k > j + 2)
                hidePiece(ZAD(k), TickHideCount);
        }
    }
}

} // namespace morvane
