// Reads the generated level files for the tests.
#include "LevelFiles.h"

#include <QDir>
#include <QFile>

namespace leveldata {

QString binFile(const QString &name) { return QDir(MORVANE_BIN_DIR).filePath(name); }

QByteArray levelFileBytes()
{
    QFile file(binFile("Levels.res"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

morvane::LevelTable loadLevelTable()
{
    morvane::LevelTable table;
    morvane::readLevelFile(binFile("Levels.res"), table);
    return table;
}

std::vector<QRect> tileRects(const morvane::LevelTable &table, int level)
{
    std::vector<QRect> rects;
    for (int k = 1; k <= Places; ++k) {
        const morvane::PieceRecord &r = table(level, k);
        rects.emplace_back(r.SrcLeft, r.SrcTop, r.SrcWidth, r.SrcHeight);
    }
    return rects;
}

} // namespace leveldata
