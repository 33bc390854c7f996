// Frame deadlines for the animations' steps.
#include "FramePacer.h"

#include <utility>

namespace morvane {

using std::chrono::duration_cast;
using std::chrono::nanoseconds;

FramePacer::FramePacer(Clock now, SleepUntil sleepUntil)
    : m_now(std::move(now)), m_sleepUntil(std::move(sleepUntil))
{
}

void FramePacer::startAnimation()
{
    m_origin = m_now();
    m_framesSinceOrigin = 0;
}

nanoseconds FramePacer::nextDeadline() const
{
    // Counted from the origin every time, so that no rounding adds up over a long animation.
    return m_origin + duration_cast<nanoseconds>(Frames(m_framesSinceOrigin + 1));
}

void FramePacer::endStep()
{
    ++m_steps;
    const nanoseconds deadline = nextDeadline();
    if (m_now() < deadline)
        m_sleepUntil(deadline);
    const nanoseconds end = m_now();
    if (end <= deadline + LateTolerance) {
        ++m_framesSinceOrigin;
        return;
    }
    // Late, from painting or from a sleep that woke late: this step ends now, and the next one
    // gets a whole frame from here. Nothing is skipped or shortened to catch up.
    ++m_lateSteps;
    m_origin = end;
    m_framesSinceOrigin = 0;
}

} // namespace morvane
