// Painting between the frames of an animation, while input, timers and handlers wait.
//
// An animation holds the event loop for its whole length. On an X server without a compositor,
// whatever another window uncovers meanwhile (the menu that was just closed, a dialog, a window
// dragged across the game) stays on the screen as it was until the animation ends, since
// nothing repaints it. Between two frames the window system's painting is delivered; input and
// timers are not, so they are handled after the animation, in order, as ever. A handler that
// an event starts meanwhile (a new size from the window manager, a dropped file) is held, and
// runs once the handler that runs the animation has ended.
#pragma once

#include <deque>
#include <functional>

namespace morvane {

class BetweenFrames {
public:
    struct Held {
        const char *name;
        std::function<void()> handler;
    };

    // Only a window system that leaves uncovered parts to the program needs it.
    explicit BetweenFrames(bool needed) : m_needed(needed) {}
    void setNeeded(bool needed) { m_needed = needed; }

    // Delivers what the window system asks to be painted, and the other window events it
    // queued, holding back input and timers.
    void deliverPainting();
    // True while painting is delivered: a handler started now must wait.
    bool delivering() const { return m_delivering; }
    void hold(const char *name, std::function<void()> handler);
    // The handlers held, in the order they came; none are left.
    std::deque<Held> takeHeld();

private:
    bool m_needed;
    bool m_delivering = false;
    std::deque<Held> m_held;
};

} // namespace morvane
