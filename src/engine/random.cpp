#include "engine/random.h"

namespace velmora {

namespace {

// xorshift128+: small, fast and identical on every platform (std:: distributions are not).
struct TRandomState {
    uint64_t S0 = 0, S1 = 0;
    uint32_t Seed = 0;
};

TRandomState State;

uint64_t SplitMix(uint64_t& x) {
    uint64_t z = (x += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

struct TSeedAtStart {
    TSeedAtStart() { RandomSeed(20261206u); }
} SeedAtStart;

} // namespace

void RandomSeed(uint32_t seed) {
    uint64_t x = seed;
    State.S0 = SplitMix(x);
    State.S1 = SplitMix(x);
    if (State.S0 == 0 && State.S1 == 0) State.S1 = 1;
    State.Seed = seed;
}

uint32_t RandomSeedValue() {
    return State.Seed;
}

uint32_t RandomBits() {
    uint64_t s1 = State.S0;
    const uint64_t s0 = State.S1;
    State.S0 = s0;
    s1 ^= s1 << 23;
    State.S1 = s1 ^ s0 ^ (s1 >> 17) ^ (s0 >> 26);
    return static_cast<uint32_t>((State.S1 + s0) >> 32);
}

float Random() {
    // 24 bits fill a float's mantissa exactly, so the result never rounds up to 1.0.
    return static_cast<float>(RandomBits() >> 8) * (1.0f / 16777216.0f);
}

int32_t RandomInt(int32_t n) {
    if (n <= 0) return 0;
    return static_cast<int32_t>((static_cast<uint64_t>(RandomBits()) * static_cast<uint64_t>(n)) >> 32);
}

} // namespace velmora
