// Small timing helpers shared by the benchmarks: a monotonic clock, medians, the 1 ms pauses
// alone, and the one-line result format that run.sh reads.
#pragma once

#include <QCoreApplication>
#include <QString>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

namespace morvane::bench {

inline double nowMs()
{
    using namespace std::chrono;
    return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

// Times one call of `work` in milliseconds.
template <typename Work>
double timeMs(Work &&work)
{
    const double start = nowMs();
    work();
    return nowMs() - start;
}

inline double median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const size_t mid = values.size() / 2;
    return values.size() % 2 ? values[mid] : (values[mid - 1] + values[mid]) / 2;
}

// The floor of an animation: the same number of real 1 ms sleeps with nothing else to do,
// slept exactly as the game sleeps.
inline double pausesAloneMs(int count)
{
    return timeMs([count] {
        for (int i = 0; i < count; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    });
}

// Lets queued repaints and the pieces' frame timers run, so one measurement does not pay for
// the last one's leftovers.
inline void settle(int milliseconds = 60)
{
    const double until = nowMs() + milliseconds;
    while (nowMs() < until) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

// One result line: "RESULT <key> <value> <unit>", read by run.sh.
inline void report(const char *key, double value, const char *unit)
{
    std::printf("RESULT %s %.4f %s\n", key, value, unit);
    std::fflush(stdout);
}

} // namespace morvane::bench
