#include "engine/random.h"

namespace velmora {

namespace {

// xorshift32: small, fast and never stuck as long as the state is non-zero.
uint32_t RandomState = 0x9E3779B9u;

uint32_t NextRandom() {
    uint32_t s = RandomState;
    s ^= s << 13;
    s ^= s >> 17;
    s ^= s << 5;
    RandomState = s;
    return s;
}

} // namespace

void RandomSeed(uint32_t seed) {
    RandomState = seed != 0 ? seed : 0x9E3779B9u;
}

float Random() {
    // 24 bits fit a float exactly, so the result never rounds up to 1.
    return static_cast<float>(NextRandom() >> 8) * (1.0f / 16777216.0f);
}

int32_t RandomInt(int32_t n) {
    if (n <= 0) return 0;
    return static_cast<int32_t>(static_cast<uint64_t>(NextRandom()) * static_cast<uint64_t>(n) >> 32);
}

} // namespace velmora
