// Scaling one level's places to the board area and joining them along their links.
#include "BoardLayout.h"

#include "LevelTable.h"
#include "components/CheckedMath.h"

namespace morvane {

void layoutPlaces(LevelTable &table, int row, long long innerWidth, long long innerHeight,
                  int imageWidth, int imageHeight, const PlaceDone &placeDone)
{
    const int16_t scaleWidth = add16(imageWidth, 40);
    const int16_t scaleHeight = add16(imageHeight, 40);
    const double W = double(innerWidth);
    const double H = double(innerHeight);
    for (int j = 1; j <= 18; ++j) {
        PieceRecord &p = table(row, j);
        p.PlaceHeight = toInt16(double(mul32(p.SrcHeight, innerHeight)) / scaleHeight);
        p.PlaceWidth = toInt16(double(mul32(p.SrcWidth, innerWidth)) / scaleWidth);
        p.PlaceLeft = toInt16(W / scaleWidth * add16(p.SrcLeft, 20));
        p.PlaceTop = toInt16(H / scaleHeight * add16(p.SrcTop, 20));

        if (const int n = p.TopLink; n > 0)
            p.PlaceTop = add16(table(row, n).PlaceTop, table(row, n).PlaceHeight);
        else if (n < 0)
            p.PlaceTop = table(row, -n).PlaceTop;

        if (const int n = p.LeftLink; n > 0)
            p.PlaceLeft = add16(table(row, n).PlaceLeft, table(row, n).PlaceWidth);
        else if (n < 0)
            p.PlaceLeft = table(row, -n).PlaceLeft;

        if (const int n = p.RightLink; n > 0)
            p.PlaceWidth = sub16(table(row, n).PlaceLeft, p.PlaceLeft);
        else if (n < 0)
            p.PlaceWidth =
                sub16(add16(table(row, -n).PlaceLeft, table(row, -n).PlaceWidth), p.PlaceLeft);

        if (const int n = p.BottomLink; n > 0)
            p.PlaceHeight = sub16(table(row, n).PlaceTop, p.PlaceTop);
        else if (n < 0)
            p.PlaceHeight =
                sub16(add16(table(row, -n).PlaceTop, table(row, -n).PlaceHeight), p.PlaceTop);

        if (placeDone)
            placeDone(j, p);
    }
}

bool rowHasEveryTile(const LevelTable &table, int row)
{
    for (int j = LevelTable::FirstPlace; j <= LevelTable::LastPlace; ++j) {
        const PieceRecord &tile = table(row, j);
        if (tile.SrcWidth <= 0 || tile.SrcHeight <= 0)
            return false;
    }
    return true;
}

} // namespace morvane
