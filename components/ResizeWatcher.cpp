// Watching the board's size and the window's state.
#include "ResizeWatcher.h"

#include <QEvent>
#include <QWidget>
#include <QWindowStateChangeEvent>

namespace morvane {

ResizeWatcher::ResizeWatcher(QWidget *board, QWidget *window, Handler handler)
    : QObject(board), m_board(board), m_window(window), m_handler(std::move(handler))
{
    board->installEventFilter(this);
    window->installEventFilter(this);
}

bool ResizeWatcher::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_board && event->type() == QEvent::Resize) {
        m_handler(m_board->width(), m_board->height());
    } else if (watched == m_window && event->type() == QEvent::WindowStateChange) {
        // A window coming back from the minimised state is laid out afresh.
        const auto *change = static_cast<QWindowStateChangeEvent *>(event);
        if ((change->oldState() & Qt::WindowMinimized) && !m_window->isMinimized())
            m_handler(m_board->width(), m_board->height());
    }
    return QObject::eventFilter(watched, event);
}

} // namespace morvane
