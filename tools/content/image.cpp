#include "image.h"

#include "files.h"

#include <cstdio>
#include <jpeglib.h>
#include <stdexcept>

namespace content {

Canvas::Canvas(int w, int h)
    : width_(w), height_(h), surface_(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h)),
      cr_(cairo_create(surface_)) {}

Canvas::~Canvas() {
    cairo_destroy(cr_);
    cairo_surface_destroy(surface_);
}

// cairo keeps premultiplied alpha; textures want it straight.
Image Canvas::image() const {
    cairo_surface_flush(surface_);
    Image img(width_, height_);
    const unsigned char* data = cairo_image_surface_get_data(surface_);
    const int stride = cairo_image_surface_get_stride(surface_);
    for (int y = 0; y < height_; ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(data + size_t(y) * stride);
        for (int x = 0; x < width_; ++x) {
            const uint32_t p = row[x];
            const uint32_t a = p >> 24;
            if (a == 0) {
                img.at(x, y) = 0;
                continue;
            }
            auto un = [a](uint32_t c) { return std::min<uint32_t>(255, (c * 255 + a / 2) / a); };
            img.at(x, y) = (a << 24) | (un((p >> 16) & 255) << 16) | (un((p >> 8) & 255) << 8) | un(p & 255);
        }
    }
    return img;
}

cairo_surface_t* make_surface(const Image& img) {
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, img.width, img.height);
    cairo_surface_flush(s);
    unsigned char* data = cairo_image_surface_get_data(s);
    const int stride = cairo_image_surface_get_stride(s);
    for (int y = 0; y < img.height; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(data + size_t(y) * stride);
        for (int x = 0; x < img.width; ++x) {
            const uint32_t p = img.at(x, y);
            const uint32_t a = p >> 24;
            auto pre = [a](uint32_t c) { return (c * a + 127) / 255; };
            row[x] = (a << 24) | (pre((p >> 16) & 255) << 16) | (pre((p >> 8) & 255) << 8) | pre(p & 255);
        }
    }
    cairo_surface_mark_dirty(s);
    return s;
}

void Canvas::place(const Image& img, double x, double y, double sx, double sy, double alpha) {
    cairo_surface_t* s = make_surface(img);
    cairo_save(cr_);
    cairo_translate(cr_, x, y);
    cairo_scale(cr_, sx, sy);
    cairo_set_source_surface(cr_, s, 0, 0);
    cairo_paint_with_alpha(cr_, alpha);
    cairo_restore(cr_);
    cairo_surface_destroy(s);
}

Image crop(const Image& img, int x0, int y0, int w, int h) {
    Image out(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int sx = x0 + x, sy = y0 + y;
            if (sx >= 0 && sy >= 0 && sx < img.width && sy < img.height) out.at(x, y) = img.at(sx, sy);
        }
    return out;
}

Image flip_horizontal(const Image& img) {
    Image out(img.width, img.height);
    for (int y = 0; y < img.height; ++y)
        for (int x = 0; x < img.width; ++x)
            out.at(x, y) = img.at(img.width - 1 - x, y);
    return out;
}

static void put16(std::string& s, int v) {
    s.push_back(char(v & 255));
    s.push_back(char((v >> 8) & 255));
}

static void put32(std::string& s, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        s.push_back(char((v >> (8 * i)) & 255));
}

// Uncompressed 32-bit true colour, no id field, rows bottom-up, TGA 2.0 footer.
void write_tga(const std::filesystem::path& path, const Image& img) {
    if (img.width <= 0 || img.height <= 0 || img.width > 65535 || img.height > 65535)
        throw std::runtime_error("bad picture size for " + path.string());
    std::string s;
    s.reserve(18 + img.pixels.size() * 4 + 26);
    s.push_back(0); // id length
    s.push_back(0); // no colour map
    s.push_back(2); // uncompressed true colour
    s.append(5, '\0');
    put16(s, 0);
    put16(s, 0);
    put16(s, img.width);
    put16(s, img.height);
    s.push_back(32);
    s.push_back(8); // eight alpha bits, origin bottom-left
    for (int y = img.height - 1; y >= 0; --y)
        for (int x = 0; x < img.width; ++x)
            put32(s, img.at(x, y));
    s.append(8, '\0');
    s += "TRUEVISION-XFILE.";
    s.push_back(0);
    write_file(path, s);
}

namespace {

struct JpegTarget {
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr err{};
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
};

void encode_jpeg(const std::filesystem::path& path, int w, int h, int components,
                 const std::vector<unsigned char>& rows) {
    JpegTarget t;
    t.cinfo.err = jpeg_std_error(&t.err);
    jpeg_create_compress(&t.cinfo);
    jpeg_mem_dest(&t.cinfo, &t.buffer, &t.size);
    t.cinfo.image_width = JDIMENSION(w);
    t.cinfo.image_height = JDIMENSION(h);
    t.cinfo.input_components = components;
    t.cinfo.in_color_space = components == 3 ? JCS_RGB : JCS_GRAYSCALE;
    jpeg_set_defaults(&t.cinfo);
    jpeg_set_quality(&t.cinfo, 92, TRUE);
    jpeg_start_compress(&t.cinfo, TRUE);
    while (t.cinfo.next_scanline < t.cinfo.image_height) {
        JSAMPROW row =
            const_cast<unsigned char*>(rows.data() + size_t(t.cinfo.next_scanline) * w * components);
        jpeg_write_scanlines(&t.cinfo, &row, 1);
    }
    jpeg_finish_compress(&t.cinfo);
    write_file(path, std::string(reinterpret_cast<const char*>(t.buffer), t.size));
    jpeg_destroy_compress(&t.cinfo);
    free(t.buffer);
}

} // namespace

void write_jpeg(const std::filesystem::path& path, const Image& img) {
    std::vector<unsigned char> rows;
    rows.reserve(img.pixels.size() * 3);
    for (uint32_t p : img.pixels) {
        rows.push_back((p >> 16) & 255);
        rows.push_back((p >> 8) & 255);
        rows.push_back(p & 255);
    }
    encode_jpeg(path, img.width, img.height, 3, rows);
}

void write_alpha_jpeg(const std::filesystem::path& path, const Image& img) {
    std::vector<unsigned char> rows;
    rows.reserve(img.pixels.size());
    for (uint32_t p : img.pixels)
        rows.push_back(p >> 24);
    encode_jpeg(path, img.width, img.height, 1, rows);
}

// One-image .cur: directory, entry with the hot spot, then a 32-bit DIB (colour rows and the
// AND mask, both bottom-up; the DIB height counts both).
void write_cursor(const std::filesystem::path& path, const Image& img, int hotX, int hotY) {
    const int w = img.width, h = img.height;
    const int maskStride = ((w + 31) / 32) * 4;
    const uint32_t dibSize = 40 + uint32_t(w * h * 4) + uint32_t(maskStride * h);
    std::string s;
    put16(s, 0);
    put16(s, 2);
    put16(s, 1);
    s.push_back(char(w == 256 ? 0 : w));
    s.push_back(char(h == 256 ? 0 : h));
    s.push_back(0);
    s.push_back(0);
    put16(s, hotX);
    put16(s, hotY);
    put32(s, dibSize);
    put32(s, 22);
    put32(s, 40);
    put32(s, uint32_t(w));
    put32(s, uint32_t(h * 2));
    put16(s, 1);
    put16(s, 32);
    put32(s, 0);
    put32(s, uint32_t(w * h * 4 + maskStride * h));
    put32(s, 0);
    put32(s, 0);
    put32(s, 0);
    put32(s, 0);
    for (int y = h - 1; y >= 0; --y)
        for (int x = 0; x < w; ++x)
            put32(s, img.at(x, y));
    for (int y = h - 1; y >= 0; --y) {
        std::string row(size_t(maskStride), '\0');
        for (int x = 0; x < w; ++x)
            if ((img.at(x, y) >> 24) < 128) row[size_t(x / 8)] = char(row[size_t(x / 8)] | (0x80 >> (x % 8)));
        s += row;
    }
    write_file(path, s);
}

} // namespace content
