// Delivering the window system's painting between two frames of an animation.
#include "BetweenFrames.h"

#include <QCoreApplication>

#include <utility>

namespace morvane {

void BetweenFrames::deliverPainting()
{
    if (!m_needed || m_delivering)
        return;
    m_delivering = true;
    // Clicks, keys and the window's close box stay queued for after the animation; the game's
    // timers do not tick.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents
                                    | QEventLoop::X11ExcludeTimers);
    m_delivering = false;
}

void BetweenFrames::hold(const char *name, std::function<void()> handler)
{
    m_held.push_back({name, std::move(handler)});
}

std::deque<BetweenFrames::Held> BetweenFrames::takeHeld() { return std::exchange(m_held, {}); }

} // namespace morvane
