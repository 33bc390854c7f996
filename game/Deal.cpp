// Dealing a level: every piece on its place with its starting tile and mirror, then the
// level's entry animation.
#include "Game.h"

#include "Host.h"
#include "components/CheckedMath.h"
#include "components/PictureBox.h"
#include "components/PictureClip.h"
#include "components/PieceImage.h"
#include "components/Twips.h"

#include <QTimer>

namespace morvane {

void Game::SelectTile(uint8_t tile)
{
    const PieceRecord &record = LevelTable(CurrentLevel, tile);
    PictureClip &clipper = *m_parts.clipper;
    clipper.setCutLeft(record.SrcLeft);
    clipper.setCutTop(record.SrcTop);
    clipper.setCutHeight(record.SrcHeight);
    clipper.setCutWidth(record.SrcWidth);
    clipper.setOutputWidth(record.SrcWidth);
    clipper.setOutputHeight(record.SrcHeight);
}

void Game::putOnPlace(PieceImage &piece, const PieceRecord &place)
{
    piece.setHeight(place.PlaceHeight);
    piece.setLeft(place.PlaceLeft);
    piece.setTop(place.PlaceTop);
    piece.setWidth(place.PlaceWidth);
}

void Game::DealLevel()
{
    const int L = CurrentLevel;
    PuzzleSolved = false;
    PictureBox &preview = *m_parts.preview;
    preview.Cls();
    preview.Move(0, 0, 0, 0);
    if (SelectedPiece != 0) {
        unmarkSelectedPiece();
        SelectedPiece = 0;
    }

    for (LoopCounter = 1; LoopCounter <= 18; ++LoopCounter) {
        const int j = int(LoopCounter);
        PieceRecord &P = LevelTable(L, j);
        P.PlaceHeight = P.SrcHeight;
        P.PlaceWidth = P.SrcWidth;
        P.PlaceLeft = add16(P.SrcLeft, 20);
        P.PlaceTop = add16(P.SrcTop, 20);
        if (L != 0)
            P.Content = P.StartContent;

        const uint8_t c = P.Content;
        PieceImage &piece = ZAD(j);
        SelectTile(c);
        piece.setPicture(m_parts.clipper->Clip());

        // The mirror belongs to the tile shown, so it is read from that tile's own record.
        const PieceRecord &tile = LevelTable(L, c);
        if (tile.FlipAxis == 'H') {
            piece.setFlipHorizontal(tile.Flipped != 0);
            piece.setFlipVertical(false);
        } else {
            piece.setFlipVertical(tile.Flipped != 0);
            piece.setFlipHorizontal(false);
        }

        putOnPlace(piece, P);
        piece.setVisible(true);

        switch (L) {
        case 7:
            piece.setWidth(0);
            piece.setLeft(j % 2 == 1 ? 0.0
                                     : double(m_parts.host->outerWidthTwips()) / TwipsPerPixel);
            piece.setVisible(false);
            break;
        case 5:
            piece.setHeight(0);
            piece.setTop(0);
            piece.setVisible(false);
            break;
        case 4:
        case 2:
            piece.setWidth(0);
            piece.setVisible(false);
            break;
        case 3:
            piece.setHeight(0);
            piece.setVisible(false);
            break;
        default:
            break;
        }
    }
    redrawWindow();
    dealEntryAnimation(L);
}

void Game::dealEntryAnimation(int L)
{
    if (L != 7 && L != 5 && L != 4 && L != 3 && L != 2)
        return;
    startAnimation();
    for (LoopCounter = 1; LoopCounter <= 18; ++LoopCounter) {
        const int j = int(LoopCounter);
        if (L == 7) {
            // Odd pieces slide in from the left edge, even ones from the right; 18 first.
            const int k = 19 - j;
            const PieceRecord &P = LevelTable(L, k);
            PieceImage &piece = ZAD(k);
            piece.setVisible(true);
            piece.setWidth(P.PlaceWidth);
            piece.Redraw();
            if (k % 2 == 1) {
                const double step = P.PlaceLeft / 10.0;
                for (int i = 0; i < 10; ++i) {
                    piece.setLeft(piece.Left() + step);
                    redrawWindow();
                    pause();
                }
            } else {
                const double step = (piece.Left() - P.PlaceLeft) / 10.0;
                for (int i = 0; i < 10; ++i) {
                    piece.setLeft(piece.Left() - step);
                    redrawWindow();
                    pause();
                }
            }
            piece.setLeft(P.PlaceLeft);
            redrawWindow();
        } else if (L == 5) {
            // Pieces drop in from the top edge, 18 first.
            const int k = 19 - j;
            const PieceRecord &P = LevelTable(L, k);
            PieceImage &piece = ZAD(k);
            piece.setVisible(true);
            piece.setHeight(P.PlaceHeight);
            piece.Redraw();
            const double step = P.PlaceTop / 12.0;
            for (int i = 0; i < 12; ++i) {
                piece.setTop(piece.Top() + step);
                redrawWindow();
                pause();
            }
            piece.setTop(P.PlaceTop);
            redrawWindow();
        } else {
            // Levels 2 and 4 grow each piece in width from its left edge, level 3 in height
            // from its top edge; 1 first.
            const PieceRecord &P = LevelTable(L, j);
            PieceImage &piece = ZAD(j);
            const bool inHeight = L == 3;
            piece.setVisible(true);
            for (int i = 0; i < 9; ++i) {
                if (inHeight)
                    piece.setHeight(piece.Height() + P.PlaceHeight / 9.0);
                else
                    piece.setWidth(piece.Width() + P.PlaceWidth / 9.0);
                piece.Redraw();
                pause();
            }
            if (inHeight)
                piece.setHeight(P.PlaceHeight);
            else
                piece.setWidth(P.PlaceWidth);
            piece.Redraw();
        }
    }
}

} // namespace morvane
