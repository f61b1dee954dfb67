// Pictures for the tests through the game's own TGA reader and writer (top row first). Kept in a
// file of their own: the image header and the input header each name a TPixelRect.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace velmora::testing {

struct TTestImage {
    int Width = 0, Height = 0;
    std::vector<uint32_t> Pixels; // 0xAARRGGBB
    uint32_t At(int x, int y) const { return Pixels[static_cast<size_t>(y) * Width + x]; }
};

bool SaveTestImage(const std::string& file, int width, int height, uint32_t (*pixel)(int x, int y));
bool LoadTestImage(const std::string& file, TTestImage& image);

} // namespace velmora::testing
