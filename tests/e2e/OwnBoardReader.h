// Reading a board of the player's own picture back from the screen: which built-in layout cut
// it, and which tile, mirrored or not, each place shows, found by comparing small copies of the
// places with those of the picture's tiles.
#pragma once

#include "../support/BoardPictures.h"

#include "game/LevelTable.h"

#include <QImage>
#include <QRect>

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
        : m_table(table), m_picture(picture.convertToFormat(QImage::Format_RGB32)), m_area(area)
    {
    }

    // Place `place` of a board cut like level `templateLevel`, on the screen.
    QRect placeOnScreen(int templateLevel, int place) const
    {
        const QRect r = tileRect(templateLevel, place);
        const double sx = double(m_area.width()) / (m_picture.width() + 40);
        const double sy = double(m_area.height()) / (m_picture.height() + 40);
        return QRect(m_area.left() + int((r.left() + 20) * sx),
                     m_area.top() + int((r.top() + 20) * sy), int(r.width() * sx),
                     int(r.height() * sy));
    }

    // The layout and tiles the screen shows, where one layout explains every place.
    OwnBoard read(const QImage &screen) const
    {
        for (int level = 1; level <= 7; ++level) {
            OwnBoard board = readAs(screen, level);
            if (board.templateLevel)
                return board;
        }
        return {};
    }

    OwnBoard readAs(const QImage &screen, int level) const
    {
        OwnBoard board;
        std::array<bool, 19> taken{};
        for (int place = 1; place <= 18; ++place) {
            const QRect onScreen = placeOnScreen(level, place);
            const QImage shown = thumbnail(screen.copy(inner(onScreen)));
            double best = std::numeric_limits<double>::max();
            for (int tile = 1; tile <= 18; ++tile) {
                // The tile as the piece shows it: stretched to the place, perhaps mirrored.
                const QImage stretched =
                    m_picture.copy(tileRect(level, tile))
                        .scaled(onScreen.size(), Qt::IgnoreAspectRatio, Qt::FastTransformation);
                for (int m = 0; m < 3; ++m) {
                    const QImage expected =
                        thumbnail(mirroredImage(stretched, m == 1, m == 2)
                                      .copy(inner(QRect(QPoint(), onScreen.size()))));
                    const double d = difference(shown, expected);
                    if (d < best) {
                        best = d;
                        board.tile[size_t(place)] = tile;
                        board.mirrored[size_t(place)] = m != 0;
                    }
                }
            }
            if (best > 12 || taken[size_t(board.tile[size_t(place)])])
                return {};
            taken[size_t(board.tile[size_t(place)])] = true;
        }
        board.templateLevel = level;
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
    QRect tileRect(int level, int tile) const
    {
        // Level 0's rows, as the game scales its template to the picture.
        const PieceRecord &r = m_table(level, tile);
        const double xs = double(m_picture.width()) / 600, ys = double(m_picture.height()) / 450;
        return QRect(int(xs * r.SrcLeft), int(ys * r.SrcTop), int(xs * r.SrcWidth),
                     int(ys * r.SrcHeight));
    }
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

    const LevelTable &m_table;
    QImage m_picture;
    QRect m_area;
};

} // namespace morvane::test
