// The resize watcher (ZADResize1): reports every change of the board area's size, and the
// window's return from the minimised state, with the board's inner size in pixels.
#pragma once

#include <QObject>

#include <functional>

class QWidget;

namespace morvane {

class ResizeWatcher : public QObject {
    Q_OBJECT

public:
    using Handler = std::function<void(int width, int height)>;

    ResizeWatcher(QWidget *board, QWidget *window, Handler handler);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *m_board;
    QWidget *m_window;
    Handler m_handler;
};

} // namespace morvane
