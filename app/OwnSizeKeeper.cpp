// Undoing a compositor's stale size after the game sized its own window.
#include "OwnSizeKeeper.h"

#include <QEvent>
#include <QMetaObject>
#include <QResizeEvent>
#include <QWidget>

namespace morvane {

OwnSizeKeeper::OwnSizeKeeper(QWidget *window) : QObject(window), m_window(window)
{
    window->installEventFilter(this);
}

void OwnSizeKeeper::ownResize(QSize before, QSize after)
{
    // Width and height are set one after the other: the old size is the one before the first.
    if (!pending() || !withinStaleWindow()) {
        m_before = before;
        m_own.clear();
    }
    m_after = after;
    m_own.append(after);
    m_restores = 0;
    m_since.start();
    startClockWhenEventsFlowAgain();
}

void OwnSizeKeeper::startClockWhenEventsFlowAgain()
{
    if (m_clockWaitsForEvents)
        return;
    m_clockWaitsForEvents = true;
    // Runs when the event loop next gets control, after whatever animation follows the resize.
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_clockWaitsForEvents = false;
            m_since.start();
            // Painting during that animation may have applied a size the compositor sent
            // for an earlier step, or its stale answer: the game's size again.
            const QSize now = m_window->size();
            if (pending() && now != m_after && (now == m_before || m_own.contains(now))
                && !(m_window->windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen)))
                restoreOwnSize();
        },
        Qt::QueuedConnection);
}

void OwnSizeKeeper::restoreOwnSize()
{
    if (++m_restores > MaxRestores) {
        m_after = QSize(); // the compositor insists (a tiled window): its size stands
        return;
    }
    m_since.start();
    QMetaObject::invokeMethod(
        m_window, [window = m_window, wanted = m_after] { window->resize(wanted); },
        Qt::QueuedConnection);
}

bool OwnSizeKeeper::withinStaleWindow() const
{
    return m_clockWaitsForEvents || m_since.elapsed() <= StaleWithinMs;
}

bool OwnSizeKeeper::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_window && event->type() == QEvent::Resize && pending()) {
        const QSize now = static_cast<QResizeEvent *>(event)->size();
        if (!withinStaleWindow()) {
            m_after = QSize();
        } else if (m_own.contains(now)) {
            // The game's own sizes, the steps on the way included: Qt on Wayland reports each
            // of them again once the compositor has them.
        } else if (now == m_before
                   && !(m_window->windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen))) {
            restoreOwnSize();
        } else if (now != m_after) {
            m_after = QSize(); // someone chose another size: the user, or the compositor's layout
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace morvane
