// Undoing a compositor's stale size after the game sized its own window.
#include "OwnSizeKeeper.h"

#include <QEvent>
#include <QMetaObject>
#include <QResizeEvent>
#include <QWidget>
#include <QWindow>

namespace morvane {

OwnSizeKeeper::OwnSizeKeeper(QWidget *window) : QObject(window), m_window(window)
{
    // The window system's sizes reach the window's QWindow first; it exists once shown.
    window->installEventFilter(this);
    if (QWindow *handle = window->windowHandle())
        handle->installEventFilter(this);
}

void OwnSizeKeeper::ownResize(QSize before, QSize after)
{
    // Width and height are set one after the other: the old size is the one before the first.
    if (!pending() || !withinStaleWindow()) {
        m_before = before;
        m_beforeWasGames = before == m_gameSize;
        m_own.clear();
    }
    m_gameSize = after;
    if (!m_window->isVisible()) {
        // A hidden window gets no answer; its size is the game's all the same.
        m_after = QSize();
        return;
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
            if (pending() && now != m_after
                && ((now == m_before && m_beforeWasGames) || m_own.contains(now))
                && !maximisedOrFullScreen())
                restoreOwnSize();
        },
        Qt::QueuedConnection);
}

bool OwnSizeKeeper::restoreOwnSize()
{
    if (++m_restores > MaxRestores) {
        m_after = QSize(); // the compositor insists: its size stands
        return false;
    }
    m_since.start();
    if (m_window->size() != m_after) {
        m_window->resize(m_after);
    } else if (QWindow *handle = m_window->windowHandle()) {
        // Only the window system has the stale size; the widgets never saw it.
        handle->resize(m_after);
    }
    return true;
}

bool OwnSizeKeeper::withinStaleWindow() const
{
    return m_clockWaitsForEvents || m_since.elapsed() <= StaleWithinMs;
}

bool OwnSizeKeeper::maximisedOrFullScreen() const
{
    return m_window->windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen);
}

bool OwnSizeKeeper::sizeFromWindowSystem(QSize now)
{
    if (pending() && !withinStaleWindow())
        m_after = QSize();
    if (pending()) {
        if (m_own.contains(now)) {
            // The game's own sizes, the steps on the way included: Qt on Wayland reports each
            // of them again once the compositor has them.
            return false;
        }
        if (now == m_before && m_beforeWasGames && !maximisedOrFullScreen() && restoreOwnSize())
            return true;
        m_after = QSize(); // someone chose another size: the user, or the compositor's layout
    }
    if (now != m_gameSize)
        m_gameSize = QSize(); // the window has a size the game did not give it
    return false;
}

bool OwnSizeKeeper::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_window && event->type() == QEvent::Show) {
        if (QWindow *handle = m_window->windowHandle())
            handle->installEventFilter(this); // Qt keeps one entry per filter and object
    } else if (event->type() == QEvent::Resize && watched == m_window->windowHandle()) {
        if (sizeFromWindowSystem(static_cast<QResizeEvent *>(event)->size()))
            return true; // undone: the window's widgets never see the stale size
    }
    return QObject::eventFilter(watched, event);
}

} // namespace morvane
