// The game's start-up, its small handlers, and the board layout that follows the window.
#include "Game.h"

#include "BoardLayout.h"
#include "Host.h"
#include "components/BoardArea.h"
#include "components/CheckedMath.h"
#include "components/ErrorGuard.h"
#include "components/PictureBox.h"
#include "components/PictureClip.h"
#include "components/PieceImage.h"
#include "components/RuntimeError.h"
#include "components/Twips.h"

#include <QDir>
#include <QImage>

namespace morvane {

Game::Game(const GameParts &parts)
    : m_parts(parts),
      m_frames([this] { return m_parts.host->clockNow(); },
               [this](std::chrono::nanoseconds deadline) { m_parts.host->sleepUntil(deadline); })
{
}

PieceImage &Game::ZAD(long long index) const
{
    if (index < 1 || index > 18)
        raiseError(ErrorNumber::SubscriptOutOfRange, "no piece " + std::to_string(index));
    return *m_parts.pieces[size_t(index - 1)];
}

void Game::redrawWindow() { m_parts.host->redrawWindow(); }

void Game::startAnimation() { m_frames.startAnimation(); }

// The step lasts until its frame is over, however long painting it took.
void Game::pause() { m_frames.endStep(); }

QString Game::levelFileName(int n) { return QStringLiteral("Level%1.res").arg(n); }

void Game::Startup()
{
    Host &host = *m_parts.host;
    // Every step stands alone: a step that fails is skipped and start-up goes on silently.
    useStartupSize();
    skipStepOnError([&] { host.attachResizeWatcher(); });
    const QDir folder(m_parts.dataFolder);
    skipStepOnError([&] {
        m_parts.clipper->setPicture(m_parts.loadLevelPicture(folder.filePath(levelFileName(1))));
    });
    skipStepOnError(
        [&] { readLevelFile(folder.filePath(QStringLiteral("Levels.res")), LevelTable); });
    CurrentLevel = 1;
    skipStepOnError([&] { host.showWindow(); });
    skipStepOnError([&] { DealLevel(); });
    skipStepOnError([&] { layoutBoardForWindow(); });
}

void Game::useStartupSize()
{
    Host &host = *m_parts.host;
    skipStepOnError([&] { host.setOuterHeightTwips(StartupOuterHeightTwips); });
    skipStepOnError([&] { host.setOuterWidthTwips(StartupOuterWidthTwips); });
}

void Game::scaleBoardToPicture()
{
    BoardArea &board = *m_parts.board;
    const PictureClip &clipper = *m_parts.clipper;
    board.setScaleHeight(add16(clipper.ImageHeight(), 40));
    board.setScaleWidth(add16(clipper.ImageWidth(), 40));
}

void Game::ExitCommand() { m_parts.host->exitProgram(); }

void Game::BackgroundMouseMove() { HoverPiece = 0; }

void Game::layoutBoardForWindow()
{
    BoardArea &board = *m_parts.board;
    Resize(board.width(), board.height());
}

void Game::Resize(int innerWidth, int innerHeight)
{
    if (m_parts.host->isMinimised())
        return;
    BoardArea &board = *m_parts.board;
    PictureClip &clipper = *m_parts.clipper;
    if (PuzzleSolved) {
        scaleBoardToPicture();
        drawFinishedPicture();
        return;
    }
    board.resetScale();
    board.setScaleModePixels();
    // Without a picture there is nothing to cut: the pieces keep their designed places rather
    // than a layout for a picture of no size. Nor without the level's rows: where the level file
    // is missing or cut short, the deal stopped at the first place it could not fill, and the
    // pieces keep what it left them (the places it reached, the placeholders beyond) rather
    // than a layout that shrinks them to nothing.
    if (clipper.Picture().isNull() || !rowHasEveryTile(LevelTable, CurrentLevel))
        return;
    layoutPlaces(LevelTable, CurrentLevel, innerWidth, innerHeight, clipper.ImageWidth(),
                 clipper.ImageHeight(), [&](int j, const PieceRecord &place) {
                     LoopCounter = j;
                     PieceImage &piece = ZAD(j);
                     piece.setHeight(place.PlaceHeight);
                     piece.setWidth(place.PlaceWidth);
                     piece.setLeft(place.PlaceLeft);
                     piece.setTop(place.PlaceTop);
                 });
    LoopCounter = 19;
}

// Lays the preview over the board, 20 units in from every side, and draws the whole picture
// into it.
void Game::drawFinishedPicture()
{
    PictureBox &preview = *m_parts.preview;
    const PictureClip &clipper = *m_parts.clipper;
    preview.setTop(20);
    preview.setLeft(20);
    preview.setWidth(clipper.ImageWidth());
    preview.setHeight(clipper.ImageHeight());
    PreviewClick();
}

void Game::PreviewClick()
{
    PictureBox &preview = *m_parts.preview;
    const QImage &picture = m_parts.clipper->Picture();
    preview.PaintPicture(picture, 0, 0, preview.ScaleWidth(), preview.ScaleHeight(), 0, 0,
                         picture.width(), picture.height(), PictureBox::RasterOp::Copy);
}

void Game::AboutCommand() { m_parts.host->showAbout(); }

} // namespace morvane
