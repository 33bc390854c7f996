// Value noise on an integer lattice with smoothstep interpolation, and its fractal sum.
#include "Noise.h"

#include <cmath>

namespace datagen {

double latticeValue(int32_t x, int32_t y, uint32_t seed)
{
    uint32_t h = uint32_t(x) * 0x8DA6B343u ^ uint32_t(y) * 0xD8163841u ^ seed * 0xCB1AB31Fu;
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    h ^= h >> 12;
    h *= 0x297A2D39u;
    h ^= h >> 15;
    return double(h) / 4294967296.0;
}

static double smooth(double t) { return t * t * (3.0 - 2.0 * t); }

double valueNoise(double x, double y, uint32_t seed)
{
    const double fx = std::floor(x);
    const double fy = std::floor(y);
    const int32_t ix = int32_t(fx);
    const int32_t iy = int32_t(fy);
    const double tx = smooth(x - fx);
    const double ty = smooth(y - fy);
    const double a = latticeValue(ix, iy, seed);
    const double b = latticeValue(ix + 1, iy, seed);
    const double c = latticeValue(ix, iy + 1, seed);
    const double d = latticeValue(ix + 1, iy + 1, seed);
    const double top = a + (b - a) * tx;
    const double bottom = c + (d - c) * tx;
    return top + (bottom - top) * ty;
}

double fractalNoise(double x, double y, uint32_t seed, int octaves)
{
    double sum = 0.0;
    double weight = 1.0;
    double total = 0.0;
    for (int i = 0; i < octaves; ++i) {
        sum += weight * valueNoise(x, y, seed + uint32_t(i) * 1013u);
        total += weight;
        weight *= 0.5;
        x *= 2.0;
        y *= 2.0;
    }
    return sum / total;
}

} // namespace datagen
