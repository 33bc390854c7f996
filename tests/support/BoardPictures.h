// What the board should show, from the level files: the level picture, a place's expected
// contents, and a measure of how far a screen grab is from it. Shared by the tests that read
// the real game's window back from a screen.
#pragma once

#include "components/MirroredImage.h"
#include "game/LevelTable.h"

#include <QDir>
#include <QImage>
#include <QImageReader>
#include <QPoint>
#include <QRect>

namespace morvane::test {

inline QImage levelPicture(const QString &dataDir, int level)
{
    QImageReader reader(QDir(dataDir).filePath(QStringLiteral("Level%1.res").arg(level)));
    reader.setDecideFormatFromContent(true);
    return reader.read().convertToFormat(QImage::Format_RGB32);
}

// Mean absolute difference of two pictures of the same size, over all channels.
inline double difference(const QImage &a, const QImage &b)
{
    if (a.size() != b.size() || a.isNull())
        return 255;
    double sum = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            sum +=
                qAbs(qRed(p) - qRed(q)) + qAbs(qGreen(p) - qGreen(q)) + qAbs(qBlue(p) - qBlue(q));
        }
    return sum / (3.0 * a.width() * a.height());
}

// The board of a 640 x 490 window at `origin` on the screen: where each place stands and
// whether it shows a given tile, away from its frame and glow.
class BoardPictures {
public:
    BoardPictures(const LevelTable &table, QString dataDir)
        : m_table(table), m_dataDir(std::move(dataDir))
    {
    }

    QPoint origin;

    QRect placeOnScreen(int level, int place) const
    {
        const PieceRecord &r = m_table(level, place);
        return QRect(origin + QPoint(r.SrcLeft + 20, r.SrcTop + 20),
                     QSize(r.SrcWidth, r.SrcHeight));
    }
    QImage shown(const QImage &screen, int level, int place) const
    {
        return screen.copy(placeOnScreen(level, place).adjusted(7, 7, -7, -7));
    }
    // What place `place` should show: tile `tile` stretched to the place, perhaps mirrored.
    QImage expected(int level, int place, int tile, bool mirrorH = false,
                    bool mirrorV = false) const
    {
        const PieceRecord &r = m_table(level, tile);
        const QSize size = placeOnScreen(level, place).size();
        return mirroredImage(levelPicture(m_dataDir, level)
                                 .copy(r.SrcLeft, r.SrcTop, r.SrcWidth, r.SrcHeight),
                             mirrorH, mirrorV)
            .scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
            .copy(QRect(QPoint(0, 0), size).adjusted(7, 7, -7, -7));
    }
    double distance(const QImage &screen, int level, int place, int tile, bool h = false,
                    bool v = false) const
    {
        return difference(shown(screen, level, place), expected(level, place, tile, h, v));
    }
    bool shows(const QImage &screen, int level, int place, int tile, bool h = false,
               bool v = false) const
    {
        return distance(screen, level, place, tile, h, v) < 6;
    }
    // Every place shows the tile the level deals there.
    bool showsTheDeal(const QImage &screen, int level) const
    {
        for (int j = 1; j <= 18; ++j)
            if (!shows(screen, level, j, m_table(level, j).StartContent))
                return false;
        return true;
    }

private:
    const LevelTable &m_table;
    QString m_dataDir;
};

} // namespace morvane::test
