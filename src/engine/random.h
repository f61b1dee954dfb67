// The game's one random source. Every random decision goes through it, so that a run started
// with a fixed seed ("--seed N") repeats frame for frame.
#pragma once

#include <cstdint>

namespace velmora {

void RandomSeed(uint32_t seed); // restart the sequence
uint32_t RandomSeedValue();     // the seed last given (or the start-up default)
float Random();                 // uniform in [0, 1)
int32_t RandomInt(int32_t n);   // uniform in [0, n); 0 when n <= 0
uint32_t RandomBits();          // 32 raw bits

} // namespace velmora
