// Smooth 2-D value noise and its fractal sum: the grain behind clouds, rock, grass and water.
#pragma once

#include <cstdint>

namespace datagen {

// Noise in [0, 1] that varies smoothly over one unit; `seed` picks an independent field.
double valueNoise(double x, double y, uint32_t seed);

// Sum of `octaves` noise layers, each twice as fine and half as strong; result in [0, 1].
double fractalNoise(double x, double y, uint32_t seed, int octaves);

// Hash of three integers to [0, 1): a fixed random value per lattice point.
double latticeValue(int32_t x, int32_t y, uint32_t seed);

} // namespace datagen
