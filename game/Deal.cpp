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

namespace {

// How the pieces of a level enter after the deal. Each style says how a piece waits, hidden,
// while the deal lays the board out, and how it then comes onto its place, one frame a step.
struct EntryStyle {
    int level;
    bool lastPieceFirst; // piece 18 enters first, piece 1 last
    void (*prepare)(PieceImage &piece, int index, const Host &host);
    void (*enter)(PieceImage &piece, const PieceRecord &place, Host &host, FramePacer &frames);
};

// One edge or extent of a piece, read and set in the board's units.
struct Side {
    float (BoardControl::*get)() const;
    void (BoardControl::*set)(double);
};
constexpr Side LeftEdge{&BoardControl::Left, &BoardControl::setLeft};
constexpr Side TopEdge{&BoardControl::Top, &BoardControl::setTop};
constexpr Side WidthExtent{&BoardControl::Width, &BoardControl::setWidth};
constexpr Side HeightExtent{&BoardControl::Height, &BoardControl::setHeight};

// Steps an edge or extent of a shown piece to `target` in equal steps, one frame each;
// `show` paints every step and the end.
template <typename Show>
void stepSideTo(PieceImage &piece, Side side, int16_t target, int steps, FramePacer &frames,
                Show show)
{
    const double step = double(target - (piece.*side.get)()) / steps;
    for (int i = 0; i < steps; ++i) {
        (piece.*side.set)((piece.*side.get)() + step);
        show();
        frames.endStep();
    }
    (piece.*side.set)(target);
    show();
}

// Shows a piece at its full extent, then slides one of its edges onto its place, the whole
// window redrawn at every step.
void slideOntoPlace(PieceImage &piece, Side extent, int16_t full, Side edge, int16_t target,
                    int steps, Host &host, FramePacer &frames)
{
    piece.setVisible(true);
    (piece.*extent.set)(full);
    piece.Redraw();
    stepSideTo(piece, edge, target, steps, frames, [&host] { host.redrawWindow(); });
}

// Shows a piece with no extent on its place, then grows it, redrawing only the piece.
void growOnPlace(PieceImage &piece, Side extent, int16_t full, FramePacer &frames)
{
    piece.setVisible(true);
    stepSideTo(piece, extent, full, 9, frames, [&piece] { piece.Redraw(); });
}

// Odd pieces wait at the left edge, even ones at the window's right edge, with no width.
void waitAtTheSides(PieceImage &piece, int index, const Host &host)
{
    piece.setWidth(0);
    piece.setLeft(index % 2 == 1 ? 0.0 : double(host.outerWidthTwips()) / TwipsPerPixel);
    piece.setVisible(false);
}

// At full width, the piece slides from its edge onto its place in ten steps.
void slideInFromTheSide(PieceImage &piece, const PieceRecord &place, Host &host, FramePacer &frames)
{
    slideOntoPlace(piece, WidthExtent, place.PlaceWidth, LeftEdge, place.PlaceLeft, 10, host,
                   frames);
}

// The piece waits at the top edge, with no height.
void waitAtTheTop(PieceImage &piece, int, const Host &)
{
    piece.setHeight(0);
    piece.setTop(0);
    piece.setVisible(false);
}

// At full height, the piece drops from the top edge onto its place in twelve steps.
void dropFromTheTop(PieceImage &piece, const PieceRecord &place, Host &host, FramePacer &frames)
{
    slideOntoPlace(piece, HeightExtent, place.PlaceHeight, TopEdge, place.PlaceTop, 12, host,
                   frames);
}

// The piece waits on its place with no width, then grows from its left edge in nine steps,
// redrawing only itself.
void waitWithNoWidth(PieceImage &piece, int, const Host &)
{
    piece.setWidth(0);
    piece.setVisible(false);
}
void growInWidth(PieceImage &piece, const PieceRecord &place, Host &, FramePacer &frames)
{
    growOnPlace(piece, WidthExtent, place.PlaceWidth, frames);
}

// The piece waits on its place with no height, then grows from its top edge in nine steps,
// redrawing only itself.
void waitWithNoHeight(PieceImage &piece, int, const Host &)
{
    piece.setHeight(0);
    piece.setVisible(false);
}
void growInHeight(PieceImage &piece, const PieceRecord &place, Host &, FramePacer &frames)
{
    growOnPlace(piece, HeightExtent, place.PlaceHeight, frames);
}

// Levels 1 and 6, and an own picture, have no entry: their pieces are dealt in place.
constexpr EntryStyle EntryStyles[] = {
    {7, true,  waitAtTheSides,   slideInFromTheSide},
    {5, true,  waitAtTheTop,     dropFromTheTop    },
    {4, false, waitWithNoWidth,  growInWidth       },
    {3, false, waitWithNoHeight, growInHeight      },
    {2, false, waitWithNoWidth,  growInWidth       },
};

const EntryStyle *entryStyleOf(int level)
{
    for (const EntryStyle &style : EntryStyles)
        if (style.level == level)
            return &style;
    return nullptr;
}

} // namespace

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
    const EntryStyle *entry = entryStyleOf(L);
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

        if (entry)
            entry->prepare(piece, j, *m_parts.host);
    }
    redrawWindow();
    dealEntryAnimation(L);
}

void Game::dealEntryAnimation(int L)
{
    const EntryStyle *entry = entryStyleOf(L);
    if (!entry)
        return;
    startAnimation();
    for (LoopCounter = 1; LoopCounter <= 18; ++LoopCounter) {
        const int k = entry->lastPieceFirst ? 19 - int(LoopCounter) : int(LoopCounter);
        entry->enter(ZAD(k), LevelTable(L, k), *m_parts.host, m_frames);
    }
}

} // namespace morvane
