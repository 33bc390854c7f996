// A timer for very short intervals that wakes only once a frame and then delivers one tick for
// every interval that has passed: the same ticks, without a thousand wake-ups a second.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

namespace morvane {

class BatchedTimer : public QObject {
    Q_OBJECT

public:
    explicit BatchedTimer(QObject *parent = nullptr);

    int interval() const { return m_interval; }
    void setInterval(int milliseconds);
    // How often the timer wakes to deliver the ticks due; a frame by default.
    void setWakeInterval(int milliseconds);
    bool isActive() const { return m_wake.isActive(); }
    void start();
    void stop();

signals:
    void timeout();

private:
    void wake();

    // At most this many ticks are caught up at one wake, after the event loop was held up.
    static constexpr int MaxTicksPerWake = 50;
    int m_interval = 1;
    int m_wakeInterval = 16;
    QTimer m_wake;
    QElapsedTimer m_clock;
    qint64 m_ticksDelivered = 0;
};

} // namespace morvane
