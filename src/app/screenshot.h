// Pictures of the back buffer: the screen capture before a window switch and the test hook's
// screenshots. Pixels are 0xAARRGGBB, rows top to bottom.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace velmora {

struct TPixelImage {
    int32_t Width = 0, Height = 0;
    std::vector<uint32_t> Pixels;
};

bool ReadBackBuffer(TPixelImage& out); // from Device; false (logged) when it cannot be read
std::vector<uint8_t> EncodeTga32(const TPixelImage& image); // uncompressed, top-left origin
std::vector<uint8_t> EncodePng(const TPixelImage& image);   // RGBA, stored deflate blocks
// Writes the back buffer to a file: PNG when the name ends in ".png", else TGA.
bool SaveScreenshot(const std::string& gamePath);

} // namespace velmora
