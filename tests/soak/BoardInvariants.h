// What must hold of the board after every handler has returned, whatever came before.
#pragma once

#include "game/LevelTable.h"

#include <QStringList>

#include <bitset>

namespace morvane::test {

class TestWindow;

class BoardInvariants {
public:
    // `fileTable` is the level table as Levels.res gives it.
    explicit BoardInvariants(const LevelTable &fileTable) : m_file(fileTable) {}

    // Notes which rows have been dealt since the start; call after every event.
    void noteDealt(int level) { m_dealt.set(size_t(level)); }

    // Returns one line per broken rule; empty when the board is sound.
    QStringList check(TestWindow &window) const;

private:
    void checkContents(const LevelTable &table, QStringList &broken) const;
    void checkFileFields(const LevelTable &table, QStringList &broken) const;
    void checkPieces(TestWindow &window, QStringList &broken) const;

    LevelTable m_file;
    std::bitset<8> m_dealt;
};

} // namespace morvane::test
