// The monkey: one random event at a time on a real game window, as a player, the window
// manager and the timers would cause them, with the game's handlers called as the window calls
// them. Now and then it plays a helpful move, so that pictures also get finished.
#pragma once

#include "SoakFiles.h"
#include "SoakWindow.h"

#include <QStringList>

#include <array>
#include <deque>
#include <functional>
#include <random>

namespace morvane::test {

class Monkey {
public:
    Monkey(SoakWindow &window, DataFolder &data, const SoakFiles &files, HandlerGuard &guard,
           uint32_t seed);

    struct Event {
        QString what;
        // Broken expectations about the event's own outcome (a good file must open, ...).
        QStringList broken;
    };
    Event step();

    // How often each kind of event has happened, for the report.
    QString tally() const;
    int finishedPictures() const { return m_finished; }

private:
    enum Kind {
        LeftClick,
        RightClick,
        PieceMove,
        BackgroundMove,
        MoveTick,
        BorderTick,
        HiderTick,
        LevelChoice,
        LevelFileToggle,
        WindowSize,
        Minimise,
        Open,
        About,
        PreviewClick,
        HelpfulSwap,
        HelpfulTurn,
        KindCount
    };

    Event next();
    Event plannedClick();
    Event perform(Kind kind);
    Event performTimed(Kind kind);
    int visiblePiece();
    int outerTwips(bool across);
    void planHelpfulSwap();
    Event chooseLevel();
    Event openPicture();

    SoakWindow &m_window;
    Game &m_game;
    DataFolder &m_data;
    const SoakFiles &m_files;
    HandlerGuard &m_guard;
    std::mt19937 m_rng;
    std::discrete_distribution<int> m_kinds;
    // Clicks of a helpful move still to come, one per step.
    std::deque<int> m_plannedClicks;
    std::array<long long, KindCount> m_counts{};
    std::array<double, KindCount> m_seconds{};
    int m_finished = 0;
};

} // namespace morvane::test
