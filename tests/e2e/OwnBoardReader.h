// Reading a board of the player's own picture back from the screen: which built-in layout cut
// it, and which tile, mirrored or not, each place shows, found by comparing small copies of the
// places with those of the picture's tiles. Where the tiles and places are is worked out with
// the game's own rules for level 0 and its layout (a pixel off is much on a photo's detail);
// what the screen shows in them is the test's own reading.
#pragma once

#include "../support/BoardPictures.h"

#include "game/BoardLayout.h"
#include "game/LevelTable.h"
#include "game/Random.h"
#include "import/OwnLevel.h"

#include <QImage>
#include <QRect>
#include <QString>

#include <array>
#include <limits>

namespace morvane::test {

struct OwnBoard {
    int templateLevel = 0; // 0: no layout explains the screen
    std::array<int, 19> tile{};
    std::array<bool, 19> mirrored{};
};

class OwnBoardReader {
public:
    // `picture` is the own picture as the game cut it (upright, shrunk to the board's limits);
    // `area` where its board, picture and margins, stands on the screen.
    OwnBoardReader(const LevelTable &table, const QImage &picture, QRect area)
        : m_picture(picture.convertToFormat(QImage::Format_RGB32)), m_area(area)
    {
        for (int level = 1; level <= 7; ++level) {
            // Level 0 as the game makes it from this layout, and its places on this board.
            LevelTable own = table;
            Random shuffle;
            buildOwnLevel(own, level, m_picture.width(), m_picture.height(), shuffle);
            layoutPlaces(own, 0, area.width(), area.height(), m_picture.width(),
                         m_picture.height());
            for (int j = 1; j <= 18; ++j) {
                const PieceRecord &r = own(0, j);
                m_tiles[size_t(level)][size_t(j)] =
                    QRect(r.SrcLeft, r.SrcTop, r.SrcWidth, r.SrcHeight);
                m_places[size_t(level)][size_t(j)] =
                    QRect(r.PlaceLeft, r.PlaceTop, r.PlaceWidth, r.PlaceHeight);
            }
        }
    }

    // Place `place` of a board cut like level `templateLevel`, on the screen.
    QRect placeOnScreen(int templateLevel, int place) const
    {
        return m_places[size_t(templateLevel)][size_t(place)].translated(m_area.topLeft());
    }

    // The layout and tiles the screen shows: of the layouts that explain every place, the one
    // that explains it closest. `why`, when given, says what kept each layout out.
    OwnBoard read(const QImage &screen, QString *why = nullptr) const
    {
        OwnBoard best;
        double bestTotal = std::numeric_limits<double>::max();
        for (int level = 1; level <= 7; ++level) {
            double total = 0;
            const OwnBoard board = readAs(screen, level, why, &total);
            if (board.templateLevel && total < bestTotal) {
                best = board;
                bestTotal = total;
            }
        }
        return best;
    }

    OwnBoard readAs(const QImage &screen, int level, QString *why = nullptr,
                    double *total = nullptr) const
    {
        OwnBoard board;
        std::array<bool, 19> taken{};
        double sum = 0;
        for (int place = 1; place <= 18; ++place) {
            const QRect onScreen = placeOnScreen(level, place);
            const QRect innerPart = inner(QRect(QPoint(), onScreen.size()));
            const QImage shown = thumbnail(screen.copy(inner(onScreen)));
            double best = std::numeric_limits<double>::max();
            for (int tile = 1; tile <= 18; ++tile) {
                // The tile as the piece shows it: stretched smoothly to the place, perhaps
                // mirrored, as the game draws it.
                const QImage stretched =
                    m_picture.copy(tileRect(level, tile))
                        .scaled(onScreen.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
                for (int m = 0; m < 3; ++m) {
                    const QImage expected =
                        thumbnail(mirroredImage(stretched, m == 1, m == 2).copy(innerPart));
                    const double d = difference(shown, expected);
                    if (d < best) {
                        best = d;
                        board.tile[size_t(place)] = tile;
                        board.mirrored[size_t(place)] = m != 0;
                    }
                }
            }
            const int tile = board.tile[size_t(place)];
            if (best > 12 || taken[size_t(tile)]) {
                if (why)
                    *why += QStringLiteral("layout %1: place %2 is %3 from its closest tile %4%5; ")
                                .arg(level)
                                .arg(place)
                                .arg(best, 0, 'f', 1)
                                .arg(tile)
                                .arg(taken[size_t(tile)] ? QStringLiteral(", shown elsewhere")
                                                         : QString());
                return {};
            }
            taken[size_t(tile)] = true;
            sum += best;
        }
        board.templateLevel = level;
        if (total)
            *total = sum;
        return board;
    }

    // The finished picture: the whole picture where the board stood, looked at away from the
    // banner and the words that come with it (the lower third).
    bool showsTheWholePicture(const QImage &screen) const
    {
        const QRect picture = placeOnScreenOfPicture();
        const QRect lower(picture.left(), picture.top() + picture.height() * 2 / 3, picture.width(),
                          picture.height() / 3);
        const QRect ofPicture(0, m_picture.height() * 2 / 3, m_picture.width(),
                              m_picture.height() / 3);
        // Compared small: the game and this test scale the picture each in its own way.
        auto small = [](const QImage &image) {
            return image.convertToFormat(QImage::Format_RGB32)
                .scaled(48, 16, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        };
        return difference(small(screen.copy(lower)), small(m_picture.copy(ofPicture))) < 6;
    }

private:
    QRect tileRect(int level, int tile) const { return m_tiles[size_t(level)][size_t(tile)]; }
    QRect placeOnScreenOfPicture() const
    {
        const double sx = double(m_area.width()) / (m_picture.width() + 40);
        const double sy = double(m_area.height()) / (m_picture.height() + 40);
        return QRect(m_area.left() + int(20 * sx), m_area.top() + int(20 * sy),
                     int(m_picture.width() * sx), int(m_picture.height() * sy));
    }
    // Away from a piece's frame and glow.
    static QRect inner(QRect r) { return r.adjusted(8, 8, -8, -8); }
    static QImage thumbnail(const QImage &image)
    {
        return image.convertToFormat(QImage::Format_RGB32)
            .scaled(20, 20, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }

    QImage m_picture;
    QRect m_area;
    // Of each layout [1..7], where each tile is cut from the picture and where each place
    // stands on the board [1..18].
    std::array<std::array<QRect, 19>, 8> m_tiles{}, m_places{};
};

} // namespace morvane::test
