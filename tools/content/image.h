// Pictures in memory, the cairo canvas that draws them and the file formats the game reads.
#pragma once

#include <cairo.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace content {

// Straight (not premultiplied) 0xAARRGGBB pixels, top row first.
struct Image {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;

    Image() = default;
    Image(int w, int h, uint32_t fill = 0) : width(w), height(h), pixels(size_t(w) * h, fill) {}
    uint32_t& at(int x, int y) { return pixels[size_t(y) * width + x]; }
    uint32_t at(int x, int y) const { return pixels[size_t(y) * width + x]; }
};

// A cairo image surface with its context; everything the tool paints goes through one.
class Canvas {
  public:
    Canvas(int w, int h);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    cairo_t* cr() const { return cr_; }
    int width() const { return width_; }
    int height() const { return height_; }
    Image image() const;
    // Paints a picture at (x, y) scaled by (sx, sy).
    void place(const Image& img, double x, double y, double sx = 1.0, double sy = 1.0, double alpha = 1.0);

  private:
    int width_;
    int height_;
    cairo_surface_t* surface_;
    cairo_t* cr_;
};

// cairo surface built from an Image (premultiplied copy); the caller destroys it.
cairo_surface_t* make_surface(const Image& img);

Image crop(const Image& img, int x, int y, int w, int h);
Image flip_horizontal(const Image& img);

void write_tga(const std::filesystem::path& path, const Image& img);
// Opaque colour as baseline JPEG (quality 92); the alpha byte is ignored.
void write_jpeg(const std::filesystem::path& path, const Image& img);
// Greyscale JPEG whose brightness is the picture's alpha: the "_Alpha" companion.
void write_alpha_jpeg(const std::filesystem::path& path, const Image& img);
// Windows cursor file (.cur) of a 32 × 32 picture with its hot spot.
void write_cursor(const std::filesystem::path& path, const Image& img, int hotX, int hotY);

} // namespace content
