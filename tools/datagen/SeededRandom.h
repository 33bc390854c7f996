// A small seeded pseudo-random generator (SplitMix64) whose output is the same on every compiler
// and standard library, so the generated data files never change unless the code does.
#pragma once

#include <cstdint>

namespace datagen {

class SeededRandom {
public:
    explicit SeededRandom(uint64_t seed) : m_state(seed) {}

    uint64_t nextBits()
    {
        uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }

    // A number in [0, 1) with 53 random bits.
    double unit() { return double(nextBits() >> 11) * (1.0 / 9007199254740992.0); }

    // A number in [low, high).
    double uniform(double low, double high) { return low + (high - low) * unit(); }

    // A whole number in [low, high], both ends included.
    int between(int low, int high)
    {
        const uint64_t span = uint64_t(int64_t(high) - low + 1);
        return low + int(nextBits() % span);
    }

    bool chance(double probability) { return unit() < probability; }

private:
    uint64_t m_state;
};

} // namespace datagen
