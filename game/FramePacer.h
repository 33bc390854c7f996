// Paces the steps of an animation to the screen's frame: every step ends on its own deadline.
#pragma once

#include <chrono>
#include <functional>

namespace morvane {

// One picture of a 60 Hz screen: 1/60 s. Every animation step lasts one frame, so each step of
// the game's animations is a picture of its own.
using Frames = std::chrono::duration<long long, std::ratio<1, 60>>;
// The interval of a timer that ticks once a frame: the nearest whole millisecond.
inline constexpr int FrameTimerMilliseconds = 17;

// The steps of an animation end on deadlines counted from the animation's start: step k ends
// k frames after it. The wait is for the deadline, so painting a step is part of the step and
// not added to it. A step that overruns its deadline ends as soon as it is painted and is not
// made up: the next deadline is counted from the late step's end.
class FramePacer {
public:
    // A step that ends later than this after its deadline counts as late. Below it, the usual
    // lateness of a sleeping thread's wake-up, the steps keep to their deadlines.
    static constexpr std::chrono::nanoseconds LateTolerance = std::chrono::milliseconds(1);

    // A monotonic clock, and a sleep that returns once the clock reads the given time without
    // handling events. Both come from the window; tests hand in their own.
    using Clock = std::function<std::chrono::nanoseconds()>;
    using SleepUntil = std::function<void(std::chrono::nanoseconds)>;

    FramePacer(Clock now, SleepUntil sleepUntil);

    // An animation starts now: its first step ends one frame from now.
    void startAnimation();
    // Ends the current step: waits for its deadline, or ends at once when the step is late.
    void endStep();

    // The deadline the current step ends on.
    std::chrono::nanoseconds nextDeadline() const;
    // Steps ended so far, and how many of them were late.
    long long steps() const { return m_steps; }
    long long lateSteps() const { return m_lateSteps; }

private:
    Clock m_now;
    SleepUntil m_sleepUntil;
    std::chrono::nanoseconds m_origin{0}; // where the counting of frames starts
    long long m_framesSinceOrigin = 0;    // steps ended since m_origin
    long long m_steps = 0;
    long long m_lateSteps = 0;
};

} // namespace morvane
