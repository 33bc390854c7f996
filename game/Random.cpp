// A small fast generator (splitmix64) for shuffles and the hider's draws.
#include "Random.h"

#include <chrono>

namespace morvane {

namespace {
constexpr uint64_t FixedSeed = 0x6D6F7276616E65ULL;
}

Random::Random() : m_state(FixedSeed) {}

float Random::next()
{
    uint64_t z = (m_state += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    z ^= z >> 31;
    // 24 random bits give every float in [0, 1) on a 2^-24 grid, never 1.
    return float(z >> 40) / float(1 << 24);
}

void Random::reseedFromClock()
{
    m_state = uint64_t(std::chrono::steady_clock::now().time_since_epoch().count())
              ^ uint64_t(std::chrono::system_clock::now().time_since_epoch().count());
}

} // namespace morvane
