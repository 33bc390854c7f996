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
    if (!pending() || m_since.elapsed() > StaleWithinMs)
        m_before = before;
    m_after = after;
    m_since.start();
}

bool OwnSizeKeeper::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_window && event->type() == QEvent::Resize && pending()) {
        const QSize now = static_cast<QResizeEvent *>(event)->size();
        if (m_since.elapsed() > StaleWithinMs) {
            m_after = QSize();
        } else if (now == m_before && m_before != m_after
                   && !(m_window->windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen))) {
            // Once only: should the compositor insist (a tiled window), its size stands.
            const QSize wanted = m_after;
            m_after = QSize();
            QMetaObject::invokeMethod(
                m_window, [window = m_window, wanted] { window->resize(wanted); }, Qt::QueuedConnection);
        } else if (now != m_after) {
            m_after = QSize(); // someone chose another size: the user, or the compositor's layout
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace morvane
