// The game's own seeded random numbers: one generator, so that a seeded run repeats exactly.
#pragma once

#include <cstdint>

namespace velmora {

void RandomSeed(uint32_t seed);
float Random();           // uniform in [0, 1)
int32_t RandomInt(int32_t n); // uniform in [0, n); 0 when n <= 0

} // namespace velmora
