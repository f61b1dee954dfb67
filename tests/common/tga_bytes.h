// Picture files written by tests: an uncompressed TGA as the game stores textures.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace velmora::testing {

// Rows bottom-up as in the file; pixels (0xAARRGGBB) are given top row first. An empty pixel list
// gives a black picture.
inline std::vector<uint8_t> TgaBytes(int w, int h, const std::vector<uint32_t>& topFirst, int bits = 32) {
    std::vector<uint8_t> b(18, 0);
    b[2] = 2;
    b[12] = static_cast<uint8_t>(w);
    b[13] = static_cast<uint8_t>(w >> 8);
    b[14] = static_cast<uint8_t>(h);
    b[15] = static_cast<uint8_t>(h >> 8);
    b[16] = static_cast<uint8_t>(bits);
    for (int r = h - 1; r >= 0; --r)
        for (int c = 0; c < w; ++c) {
            const uint32_t p = topFirst.empty() ? 0 : topFirst[static_cast<size_t>(r) * w + c];
            for (int k = 0; k < bits / 8; ++k)
                b.push_back(static_cast<uint8_t>(p >> (8 * k)));
        }
    return b;
}

} // namespace velmora::testing
