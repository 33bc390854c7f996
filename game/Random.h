// The game's one pseudo-random generator: numbers in [0, 1), fixed seed at start, re-seeded
// from the clock where a fresh shuffle is wanted. Tests put a script of their own in its place.
#pragma once

#include <cstdint>
#include <functional>

namespace morvane {

class Random {
public:
    Random();
    virtual ~Random() = default;
    // The next number in [0, 1), single precision.
    virtual float next();
    virtual void reseedFromClock();

private:
    uint64_t m_state;
};

} // namespace morvane
