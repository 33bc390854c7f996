// Window units: twips, pixels, and the frame allowance between a window's outer size and its board.
#pragma once

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

static_assert(boardWidthForOuterTwips(9720) == 640 && boardHeightForOuterTwips(8040) == 490,
              "the start-up window holds a 600 x 450 picture with its 20 px margins");

} // namespace morvane
