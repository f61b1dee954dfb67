#include <gtest/gtest.h>

#include <vector>

#include "engine/random.h"

using namespace velmora;

namespace {

TEST(RandomSource, SameSeedRepeatsTheSequence) {
    RandomSeed(1234);
    std::vector<uint32_t> first;
    for (int i = 0; i < 50; ++i)
        first.push_back(RandomBits());
    RandomSeed(1234);
    for (int i = 0; i < 50; ++i)
        EXPECT_EQ(RandomBits(), first[i]);
    RandomSeed(1235);
    EXPECT_NE(RandomBits(), first[0]);
    EXPECT_EQ(RandomSeedValue(), 1235u);
}

TEST(RandomSource, ValuesStayInTheirRangesAndCoverThem) {
    RandomSeed(7);
    int seen[6] = {};
    for (int i = 0; i < 6000; ++i) {
        const float r = Random();
        ASSERT_GE(r, 0.0f);
        ASSERT_LT(r, 1.0f);
        const int32_t n = RandomInt(6);
        ASSERT_GE(n, 0);
        ASSERT_LT(n, 6);
        ++seen[n];
    }
    for (int count : seen)
        EXPECT_GT(count, 800);
    EXPECT_EQ(RandomInt(0), 0);
    EXPECT_EQ(RandomInt(-3), 0);
}

} // namespace
