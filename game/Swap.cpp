// Selecting a piece and swapping two: the level-1 slide or the shrink-and-grow, then the
// exchange of what the two places show.
#include "Game.h"

#include "Host.h"
#include "PutBack.h"
#include "components/CheckedMath.h"
#include "components/PictureBox.h"
#include "components/PictureClip.h"
#include "components/PieceImage.h"

#include <QImage>
#include <QTimer>

#include <array>
#include <utility>

namespace morvane {

namespace {
constexpr int32_t NormalFrame = 0xFF0000;
constexpr int32_t SelectedFrame = 0x00FF00;

// The two places of a swap, the selected one S and the target T, and the pieces on them.
struct SwapPlaces {
    PieceRecord &recS;
    PieceRecord &recT;
    PieceImage &pieceS;
    PieceImage &pieceT;
};

SwapPlaces swapPlaces(Game &game, int S, int T)
{
    return {game.LevelTable(game.CurrentLevel, S), game.LevelTable(game.CurrentLevel, T),
            game.ZAD(S), game.ZAD(T)};
}
} // namespace

void Game::Click(int index)
{
    m_parts.host->clearWindowDrawing();
    if (SelectedPiece == 0) {
        PieceImage &piece = ZAD(index);
        SelectedPiece = index;
        piece.setBorderColor(SelectedFrame);
        piece.setBorderStyle(2);
        BorderPhase = -30;
        m_parts.borderTimer->start();
        return;
    }
    unmarkSelectedPiece();
    if (index == SelectedPiece) {
        SelectedPiece = 0;
        return;
    }
    TargetPiece = index;
    auto letSelectionGo = [this] {
        ZAD(SelectedPiece).setBorderWidth(0);
        SelectedPiece = 0;
        TargetPiece = 0;
    };
    try {
        SwapPieces();
    } catch (...) {
        // The pulse has stopped and the frame is blue again: a selection kept now would be one
        // the player cannot see, and the next click would swap with it. The error goes on.
        letSelectionGo();
        throw;
    }
    letSelectionGo();
    CheckCompletion();
}

void Game::unmarkSelectedPiece()
{
    m_parts.borderTimer->stop();
    ZAD(SelectedPiece).setBorderStyle(1);
    ZAD(SelectedPiece).setBorderColor(NormalFrame);
}

void Game::SwapPieces()
{
    const int S = SelectedPiece;
    const int T = TargetPiece;
    putBackOnError(std::array{&ZAD(S), &ZAD(T)}, [&] {
        if (CurrentLevel == 1) {
            slidePieces(S, T);
            exchangeContents(S, T);
        } else {
            shrinkAndGrowPieces(S, T);
        }
    });
}

void Game::slidePieces(int S, int T)
{
    const auto [recS, recT, pieceS, pieceT] = swapPlaces(*this, S, T);
    pieceS.ZOrder(0);
    pieceT.ZOrder(0);
    startAnimation();

    const double dLeft = sub16(recT.PlaceLeft, recS.PlaceLeft) / 15.0;
    const double dTop = sub16(recT.PlaceTop, recS.PlaceTop) / 15.0;
    const double dWidth = sub16(recT.PlaceWidth, recS.PlaceWidth) / 15.0;
    const double dHeight = sub16(recT.PlaceHeight, recS.PlaceHeight) / 15.0;
    for (LoopCounter = 1; LoopCounter <= 15; ++LoopCounter) {
        redrawWindow();
        pieceS.Move(pieceS.Left() + dLeft, pieceS.Top() + dTop, pieceS.Width() + dWidth,
                    pieceS.Height() + dHeight);
        pieceT.Move(pieceT.Left() - dLeft, pieceT.Top() - dTop, pieceT.Width() - dWidth,
                    pieceT.Height() - dHeight);
        pause();
    }

    // Both controls go back to their own places; the exchange then changes what they show.
    putOnPlace(pieceS, recS);
    putOnPlace(pieceT, recT);
}

void Game::shrinkAndGrowPieces(int S, int T)
{
    // Named references, not a structured binding: the step below captures them, which clang 14
    // does not allow for bindings.
    const SwapPlaces places = swapPlaces(*this, S, T);
    PieceRecord &recS = places.recS;
    PieceRecord &recT = places.recT;
    PieceImage &pieceS = places.pieceS;
    PieceImage &pieceT = places.pieceT;

    // sign -1 shrinks each piece about its centre, +1 grows it back.
    auto step = [&](double sign) {
        pause();
        pieceS.setHeight(pieceS.Height() + sign * recS.PlaceHeight / 8.0);
        pieceT.setHeight(pieceT.Height() + sign * recT.PlaceHeight / 8.0);
        pieceS.setTop(pieceS.Top() - sign * recS.PlaceHeight / 16.0);
        pieceT.setTop(pieceT.Top() - sign * recT.PlaceHeight / 16.0);
        pieceS.setWidth(pieceS.Width() + sign * recS.PlaceWidth / 8.0);
        pieceT.setWidth(pieceT.Width() + sign * recT.PlaceWidth / 8.0);
        pieceS.setLeft(pieceS.Left() - sign * recS.PlaceWidth / 16.0);
        pieceT.setLeft(pieceT.Left() - sign * recT.PlaceWidth / 16.0);
        redrawWindow();
    };
    // Seven steps of an eighth, not eight, so that a piece never vanishes. Shrinking and
    // growing are one animation of fourteen steps; the exchange falls within one of them.
    startAnimation();
    for (LoopCounter = 1; LoopCounter <= 7; ++LoopCounter)
        step(-1);
    exchangeContents(S, T);
    for (LoopCounter = 1; LoopCounter <= 7; ++LoopCounter)
        step(+1);
}

void Game::exchangeContents(int S, int T)
{
    const auto [recS, recT, pieceS, pieceT] = swapPlaces(*this, S, T);

    // Both tiles are cut before either piece changes: a tile that cannot be cut (a place the
    // deal never reached has none) leaves both places as they were, and never one place showing
    // a tile its content does not name. The clipper ends on the same tile either way.
    QImage tileForT;
    if (CurrentLevel < 6) {
        SelectTile(recS.Content);
        tileForT = m_parts.clipper->Clip();
    }
    SelectTile(recT.Content);
    const QImage tileForS = m_parts.clipper->Clip();

    const bool keptFlipH = pieceT.FlipHorizontal();
    const bool keptFlipV = pieceT.FlipVertical();
    if (CurrentLevel < 6) {
        pieceT.setPicture(tileForT);
    } else {
        // On the hardest levels the second piece hides its new tile for a while.
        hidePiece(pieceT, 16);
    }
    pieceT.setFlipHorizontal(pieceS.FlipHorizontal());
    pieceT.setFlipVertical(pieceS.FlipVertical());
    pieceS.setPicture(tileForS);
    pieceS.setFlipHorizontal(keptFlipH);
    pieceS.setFlipVertical(keptFlipV);
    std::swap(recS.Content, recT.Content);
}

} // namespace morvane
