// The clock of a test's host: it moves only when the game sleeps or the test moves it, so that
// pauses return at once; every pause is counted and its end recorded.
#pragma once

#include <algorithm>
#include <chrono>
#include <functional>
#include <vector>

namespace morvane::test {

struct TestClock {
    std::chrono::nanoseconds now{std::chrono::hours(1)};
    int pauses = 0;
    // The clock at the end of every pause, in order.
    std::vector<std::chrono::nanoseconds> pauseEnds;
    // Called at every pause, to look at an animation while it runs.
    std::function<void()> onPause;

    // The game sleeps until `deadline`: the clock jumps there, unless it is already later.
    void sleepTill(std::chrono::nanoseconds deadline)
    {
        ++pauses;
        now = std::max(now, deadline);
        pauseEnds.push_back(now);
        if (onPause)
            onPause();
    }
    void resetPauses()
    {
        pauses = 0;
        pauseEnds.clear();
    }
};

} // namespace morvane::test
