// Access to the generated data files for the level data tests.
#pragma once

#include "game/LevelTable.h"

#include <QByteArray>
#include <QRect>
#include <QString>

#include <vector>

namespace leveldata {

constexpr int Levels = 7;
constexpr int Places = 18;

// A file in the folder next to the game binary.
QString binFile(const QString &name);

// The raw bytes of Levels.res (empty if it cannot be read).
QByteArray levelFileBytes();

// Rows 1..7 read from Levels.res by the game's own reader.
morvane::LevelTable loadLevelTable();

// Tile k (index k - 1) of `level` as a rectangle of the level picture.
std::vector<QRect> tileRects(const morvane::LevelTable &table, int level);

} // namespace leveldata
