// Window units: twips, pixels, and the frame allowance between a window's outer size and its board.
#pragma once

#include <QRect>
#include <QRectF>

namespace morvane {

constexpr int TwipsPerPixel = 15;

// The outer size of the main window, in twips, is the board area plus this allowance:
// 8 px across for the side frames and 46 px down for the title and menu bars.
constexpr int FrameAllowanceWidthTwips = 120;
constexpr int FrameAllowanceHeightTwips = 690;

constexpr int boardWidthForOuterTwips(int outerWidthTwips)
{
    return (outerWidthTwips - FrameAllowanceWidthTwips) / TwipsPerPixel;
}
constexpr int boardHeightForOuterTwips(int outerHeightTwips)
{
    return (outerHeightTwips - FrameAllowanceHeightTwips) / TwipsPerPixel;
}
constexpr int outerWidthTwipsForBoard(int boardWidthPx)
{
    return boardWidthPx * TwipsPerPixel + FrameAllowanceWidthTwips;
}
constexpr int outerHeightTwipsForBoard(int boardHeightPx)
{
    return boardHeightPx * TwipsPerPixel + FrameAllowanceHeightTwips;
}

// A rectangle laid out in twips, in pixels.
inline QRectF twipsRectF(int left, int top, int width, int height)
{
    return QRectF(double(left) / TwipsPerPixel, double(top) / TwipsPerPixel,
                  double(width) / TwipsPerPixel, double(height) / TwipsPerPixel);
}
// The same on whole pixels, for a dialog's controls (whose twips are all multiples of 15).
inline QRect twipsRect(int left, int top, int width, int height)
{
    return twipsRectF(left, top, width, height).toRect();
}

// The main window's outer size at start-up, and whenever a built-in level follows an own picture.
constexpr int StartupOuterWidthTwips = 9720;
constexpr int StartupOuterHeightTwips = 8040;

static_assert(boardWidthForOuterTwips(StartupOuterWidthTwips) == 640
                  && boardHeightForOuterTwips(StartupOuterHeightTwips) == 490,
              "the start-up window holds a 600 x 450 picture with its 20 px margins");

} // namespace morvane
