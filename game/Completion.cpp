// The completion check after every move, and the finished picture with its banners.
#include "Game.h"

#include "components/BoardArea.h"
#include "components/CheckedMath.h"
#include "components/PictureBox.h"
#include "components/PictureClip.h"
#include "components/PieceImage.h"

namespace morvane {

void Game::CheckCompletion()
{
    // Every place is looked at; there is no early exit.
    float notDone = 0;
    for (LoopCounter = 1; LoopCounter <= 18; ++LoopCounter) {
        const int j = int(LoopCounter);
        const PieceImage &piece = ZAD(j);
        if (LevelTable(CurrentLevel, j).Content != j || piece.FlipHorizontal()
            || piece.FlipVertical())
            notDone = 1.0f;
    }
    if (notDone != 0)
        return;

    PuzzleSolved = true;
    scaleBoardToPicture();
    drawFinishedPicture();
    m_parts.preview->ZOrder(0);
    for (LoopCounter = 1; LoopCounter <= 18; ++LoopCounter) {
        PieceImage &piece = ZAD(int(LoopCounter));
        piece.setWidth(0);
        piece.setHeight(0);
        piece.setVisible(false);
    }
    if (CurrentLevel == 3 || CurrentLevel == 4)
        risingBanner();
    if (CurrentLevel == 1 || CurrentLevel == 2)
        slidingBanner();
    if (CurrentLevel == 1)
        m_parts.preview->Print(QStringLiteral("All right. Go to next level now"));
}

void Game::drawBanner(double left, double top, double width, double height)
{
    const QImage &banner = m_parts.banner->Picture();
    m_parts.preview->PaintPicture(banner, left, top, width, height, 0, 0, banner.width(),
                                  banner.height(), PictureBox::RasterOp::Invert);
}

// One frame: drawn, shown for a moment, and erased again by drawing it a second time.
void Game::bannerFrame(double left, double top, double width, double height)
{
    drawBanner(left, top, width, height);
    m_parts.preview->Refresh();
    pause();
    drawBanner(left, top, width, height);
}

void Game::risingBanner()
{
    const float e = float(m_parts.preview->Width() / 2.0 - 43);
    startAnimation();
    auto frameAt = [&](double j, auto draw) {
        (this->*draw)(double(float(e - j / 8)), double(float(j)), 151 + j / 4, 43 + j / 6);
    };
    for (LoopCounter = m_parts.preview->Height() / 1.33; LoopCounter >= 8; LoopCounter -= 8)
        frameAt(LoopCounter, &Game::bannerFrame);
    frameAt(LoopCounter, &Game::drawBanner);
}

void Game::slidingBanner()
{
    // Negative sizes mirror the banner: it starts upside down and back to front and comes
    // upright as it slides to the right.
    startAnimation();
    for (LoopCounter = 1; LoopCounter <= 255; LoopCounter += 4)
        bannerFrame(LoopCounter, 100, LoopCounter - 104, LoopCounter - 212);
    drawBanner(LoopCounter, 100, LoopCounter - 104, LoopCounter - 212);
}

} // namespace morvane
