// Notices the first paint of a widget after start-up, then prints the wall-clock time and
// quits (or stays, for memory and CPU readings): the end mark of a start-up benchmark.
#pragma once

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QTimer>

#include <cstdio>
#include <ctime>

namespace morvane::bench {

class StartupProbe : public QObject {
public:
    StartupProbe(QObject *watched, bool stay) : m_stay(stay) { watched->installEventFilter(this); }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && !m_seen) {
            m_seen = true;
            watched->removeEventFilter(this);
            // Queued, so that the mark falls after this paint has reached the screen.
            QTimer::singleShot(0, [stay = m_stay] {
                timespec now{};
                clock_gettime(CLOCK_REALTIME, &now);
                std::printf("PAINTED %lld%09ld\n", static_cast<long long>(now.tv_sec), now.tv_nsec);
                std::fflush(stdout);
                if (!stay)
                    QCoreApplication::quit();
            });
        }
        return false;
    }

private:
    bool m_stay;
    bool m_seen = false;
};

} // namespace morvane::bench
