// Small helpers shared by the benchmarks: a monotonic clock, the process's CPU time and peak
// memory, medians, and the one-line result format that run.sh reads.
#pragma once

#include <QCoreApplication>
#include <QFile>
#include <QString>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

#include <time.h>

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

// CPU time used by this process so far (all threads, user and system), in milliseconds.
inline double processCpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1000.0 + double(t.tv_nsec) / 1e6;
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

// The process's peak resident memory so far, in MiB.
inline double peakMiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024;
    return 0;
}

} // namespace morvane::bench
