// Keeps the size the game gives its own window against a stale answer from the compositor.
//
// On Wayland the window system sends its sizes as configure events, and Qt obeys each one. When
// File > Open closes its form and at once sizes the main window to the picture, the compositor
// has already answered the form's closing (the main window is active again) with a configure
// that carries the window's old size; Qt applies it after the game's own size, and a floating
// window snaps back to where it was. This filter sees that answer where the window system hands
// it to the window, before the window's widgets do: a return to the old size shortly after the
// game's own resize is undone there, so the board is never laid out for the stale size nor laid
// out again for the game's size it already has. A compositor may send more than one such answer
// (one per change of focus); one that insists wins after a few rounds.
//
// Only a size the game itself gave the window counts as stale. When the old size was the
// compositor's or the player's (a tiled window, an edge dragged before), the compositor cannot
// be told from one that insists on it, and its size stands: the game never undoes a size the
// player made. Nor does it undo any other size that comes in meanwhile.
//
// The game often goes on at once with an animation that holds its event loop for seconds (a
// level-7 deal lasts 3 s), and the answer waits in the queue until it ends: the time counts from
// the moment the game handles events again, not from the resize.
#pragma once

#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QSize>

class QWidget;

namespace morvane {

class OwnSizeKeeper : public QObject {
    Q_OBJECT
public:
    // How long after the game's own resize, once the game handles events again, a return to the
    // old size counts as stale.
    static constexpr int StaleWithinMs = 1500;
    // How many times the game's size is put back before the compositor's size stands.
    static constexpr int MaxRestores = 3;

    explicit OwnSizeKeeper(QWidget *window);

    // Call around every resize the game gives the window, shown or not: `before` is the size it
    // had. Only a shown window waits for a stale answer.
    void ownResize(QSize before, QSize after);
    bool pending() const { return m_after.isValid(); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // A size the window system gives the window; returns whether it is undone before the
    // window's widgets see it.
    bool sizeFromWindowSystem(QSize now);
    // True while the game has not yet handled events since its own resize, or the time since
    // then is within the stale window.
    bool withinStaleWindow() const;
    bool maximisedOrFullScreen() const;
    void startClockWhenEventsFlowAgain();
    // Sets the game's size again, unless the compositor has insisted often enough; returns
    // whether it did.
    bool restoreOwnSize();

    QWidget *m_window;
    QSize m_gameSize; // the size the game gave the window last, until someone else sizes it
    QSize m_before;   // the size before the game's first resize in a row
    bool m_beforeWasGames = false; // that size was the game's own, not the compositor's
    QSize m_after;      // the size the game asked for last; invalid when nothing is pending
    QList<QSize> m_own; // every size the game asked for in this row
    QElapsedTimer m_since;
    bool m_clockWaitsForEvents = false; // the game is still busy after its own resize
    int m_restores = 0;
};

} // namespace morvane
