#include "images.h"

#include "render/tga.h"

namespace velmora::testing {

bool SaveTestImage(const std::string& file, int width, int height, uint32_t (*pixel)(int x, int y)) {
    TTgaImage img;
    if (!NewTgaImage(img, width, height)) return false;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            img.At(x, y) = pixel(x, y);
    return SaveTgaImage(file, img, 1);
}

bool LoadTestImage(const std::string& file, TTestImage& image) {
    TTgaImage img;
    if (!LoadTgaImage(file, img, 1)) return false;
    image.Width = img.Width();
    image.Height = img.Height();
    image.Pixels = img.Data;
    return true;
}

} // namespace velmora::testing
