// Keeps the size the game gives its own window against a stale answer from the compositor.
//
// On Wayland the window system sends its sizes as configure events, and Qt obeys each one. When
// File > Open closes its form and at once sizes the main window to the picture, the compositor
// has already answered the form's closing (the main window is active again) with a configure
// that carries the window's old size; Qt applies it after the game's own size, and a floating
// window snaps back to where it was. This filter sees that answer: a resize back to the old size
// shortly after the game's own resize is undone once, by setting the game's size again.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QSize>

class QWidget;

namespace morvane {

class OwnSizeKeeper : public QObject {
    Q_OBJECT
public:
    // How long after the game's own resize a return to the old size counts as stale.
    static constexpr int StaleWithinMs = 1500;

    explicit OwnSizeKeeper(QWidget *window);

    // Call around the game's own resize of the window: `before` is the size it had.
    void ownResize(QSize before, QSize after);
    bool pending() const { return m_after.isValid(); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *m_window;
    QSize m_before; // the size before the game's first resize in a row
    QSize m_after;  // the size the game asked for last; invalid when nothing is pending
    QElapsedTimer m_since;
};

} // namespace morvane
