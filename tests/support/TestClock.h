// The clock of a test's host: it moves only when the game sleeps or the test moves it, so that
// pauses return at once; every pause is counted and its end recorded.
#pragma once

#include <algorithm>
#include <chrono>
#include <functional>
#include <vector>

namespace morvane::test {

// k frames of a 60 Hz screen, to the nanosecond: 1/60 s is 16 666 666.6 ns, so the whole
// nanoseconds are counted from the animation's start rather than added up frame by frame.
inline std::chrono::nanoseconds frames(long long k)
{
    return std::chrono::nanoseconds(k * 1'000'000'000 / 60);
}

struct TestClock {
    std::chrono::nanoseconds now{std::chrono::hours(1)};
    // How long after its deadline a pause returns, as on a busy machine.
    std::chrono::nanoseconds wakeLateBy{0};
    int pauses = 0;
    // The clock at the end of every pause, in order.
    std::vector<std::chrono::nanoseconds> pauseEnds;
    // Called at every pause, to look at an animation while it runs.
    std::function<void()> onPause;

    // The game sleeps until `deadline`: the clock jumps there, unless it is already later.
    void sleepTill(std::chrono::nanoseconds deadline)
    {
        ++pauses;
        now = std::max(now, deadline) + wakeLateBy;
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
