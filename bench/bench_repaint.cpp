// Repaint costs at the start size and at 1920 x 1080: a full repaint of the window (every
// widget dirty), one animation frame as the game draws it (a piece moved by a pixel, then the
// window redrawn at once), the window system's painting delivered between two frames when
// nothing was uncovered, and one resize event (layout and repaint) to 1920 x 1080.
#include "BenchWindow.h"
#include "Timing.h"
#include "WindowSizes.h"
#include "components/PieceImage.h"

#include <QApplication>

#include <string>

using namespace morvane;
using namespace morvane::bench;

namespace {

constexpr int Repeats = 200;

void measureRepaints(BenchWindow &window, const char *sizeKey)
{
    const QList<QWidget *> widgets = window.findChildren<QWidget *>();
    std::vector<double> fullMs, frameMs, betweenMs;
    for (int i = 0; i < Repeats; ++i) {
        // A bare repaint() of an unchanged window paints little: Qt leaves covered, clean
        // widgets alone. Dirtying every widget first makes it a real full repaint.
        for (QWidget *widget : widgets)
            widget->update();
        fullMs.push_back(timeMs([&] { window.repaint(); }));

        PieceImage &piece = window.piece(5);
        piece.setLeft(piece.Left() + (i % 2 ? -1 : 1));
        frameMs.push_back(timeMs([&] { window.redrawWindow(); }));
        betweenMs.push_back(timeMs([&] { window.betweenFrames().deliverPainting(); }));
    }
    report((std::string("repaint.full.") + sizeKey).c_str(), median(fullMs), "ms");
    report((std::string("repaint.frame.") + sizeKey).c_str(), median(frameMs), "ms");
    report((std::string("repaint.between.") + sizeKey).c_str(), median(betweenMs), "ms");
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    BenchWindow window(QStringLiteral(MORVANE_BIN_DIR));
    startAt(window, StartSize);
    measureRepaints(window, StartSize.key);

    window.setOuterHeightTwips(FullHd.outerHeightPx * TwipsPerPixel);
    window.setOuterWidthTwips(FullHd.outerWidthPx * TwipsPerPixel);
    settle(200);
    measureRepaints(window, FullHd.key);

    // A drag of the window's edge: every event a new size, so every piece rescales its picture.
    const QSize big = window.size();
    const QSize smaller = big - QSize(16, 12);
    std::vector<double> resizeMs;
    for (int i = 0; i < 60; ++i) {
        window.resize(smaller);
        window.repaint();
        settle(5);
        resizeMs.push_back(timeMs([&] {
            window.resize(big);
            window.repaint();
        }));
        settle(5);
    }
    report("resize.1920x1080", median(resizeMs), "ms");
    return 0;
}
