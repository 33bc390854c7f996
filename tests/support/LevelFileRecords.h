// The level table as its file spells it, read apart from the game's own reader, so that the
// tests' expectations do not share a fault of the reader: 34-byte records, 18 to a level, of
// fixed-width fields (top, right, bottom and left edge of the tile, the tile dealt on the
// place, the mirror's axis and whether the tile starts mirrored).
#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QRect>

namespace morvane::test {

struct FileRecord {
    QRect tile;    // where the tile is cut from the level picture
    int dealt = 0; // the tile the deal puts on this place
    char axis = 0; // 'H': turned about an upright line (left to right), 'V': top to bottom
    bool mirrored = false;
};

class LevelFileRecords {
public:
    explicit LevelFileRecords(const QString &dataDir)
    {
        QFile file(QDir(dataDir).filePath(QStringLiteral("Levels.res")));
        if (file.open(QIODevice::ReadOnly))
            m_bytes = file.readAll();
    }
    // Level 1..7, place 1..18; a record the file does not reach is all zero.
    FileRecord operator()(int level, int place) const
    {
        const QByteArray r = m_bytes.mid(((level - 1) * 18 + place - 1) * 34, 34);
        if (r.size() < 34)
            return {};
        const auto number = [&r](int from, int width) {
            return r.mid(from, width).trimmed().toInt();
        };
        const int top = number(0, 4), right = number(4, 4), bottom = number(8, 4);
        const int left = number(12, 4);
        return {QRect(left, top, right - left, bottom - top), number(16, 2), r.at(18),
                r.at(19) == '1'};
    }

private:
    QByteArray m_bytes;
};

} // namespace morvane::test
