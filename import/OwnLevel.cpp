// Level 0 from a template level, and the window size for an own picture.
#include "OwnLevel.h"

#include "components/CheckedMath.h"
#include "game/LevelTable.h"
#include "game/Random.h"

#include <algorithm>
#include <utility>

namespace morvane {

void buildOwnLevel(LevelTable &table, int templateLevel, int imageWidth, int imageHeight,
                   Random &random)
{
    const double xScale = double(imageWidth) / TemplateWidth;
    const double yScale = double(imageHeight) / TemplateHeight;
    for (int j = 1; j <= 18; ++j) {
        const PieceRecord &S = table(templateLevel, j);
        PieceRecord &R = table(0, j);
        R.SrcHeight = toInt16(yScale * S.SrcHeight);
        R.SrcLeft = toInt16(xScale * S.SrcLeft);
        R.SrcTop = toInt16(yScale * S.SrcTop);
        R.SrcWidth = toInt16(xScale * S.SrcWidth);
        R.Content = S.StartContent;
        R.StartContent = S.StartContent;
        R.FlipAxis = S.FlipAxis;
        R.Flipped = S.Flipped;
        R.TopLink = S.TopLink;
        R.RightLink = S.RightLink;
        R.BottomLink = S.BottomLink;
        R.LeftLink = S.LeftLink;
        // A random number close enough to 1 rounds up to j + 1 in single precision; the tile
        // swapped with must be one of the first j.
        const int r = std::clamp(int(random.next() * float(j) + 1.0f), 1, j);
        std::swap(table(0, r).Content, table(0, j).Content);
    }
}

QSize ownPictureWindowTwips(int imageWidth, int imageHeight, int screenWidthTwips,
                            int screenHeightTwips)
{
    // The first step keeps to 16-bit arithmetic, as the window sizes always have.
    int32_t W = add16(mul16(add16(imageWidth, 40), 15), 120);
    int32_t H = add16(mul16(add16(imageHeight, 40), 15), 690);
    if (screenWidthTwips < W) {
        H = toInt32(double(screenWidthTwips) * H / W);
        W = screenWidthTwips;
    }
    if (screenHeightTwips - 400 < H) {
        W = toInt32(double(screenHeightTwips - 400) * W / H);
        H = screenHeightTwips - 400;
    }
    if (W < 3000) {
        H = toInt32(double(mul32(H, 3000)) / W - 800);
        W = 3000;
    }
    if (H < 3000) {
        W = toInt32(double(mul32(W, 3000)) / H);
        H = 3000;
    }
    return QSize(W, H);
}

} // namespace morvane
