// The launcher icon: three gems of one colour lined up on the deep-blue, gold-rimmed tile the game's
// panels use, with a fourth gem of another colour falling in. Drawn in a 256-unit square, so the
// same strokes give every hicolor size and the scalable SVG.
#include "content.h"
#include "paint.h"

#include <cairo-svg.h>
#include <cairo.h>

#include <cmath>
#include <filesystem>
#include <stdexcept>

namespace content {

namespace {

constexpr double kUnits = 256;
constexpr int kSizes[] = {16, 22, 24, 32, 48, 64, 128, 256, 512};

struct GemLook {
    uint32_t light, body, dark;
};
constexpr GemLook kGold = {0xFFF3B0, 0xF0C020, 0x8A6000};
constexpr GemLook kRed = {0xFFB0A8, 0xD83A30, 0x701010};

// A cut gem: an octagon whose facets catch the light from the upper left.
void draw_gem(cairo_t* cr, double cx, double cy, double r, const GemLook& g) {
    cairo_new_path(cr);
    for (int i = 0; i < 8; ++i) {
        const double a = M_PI / 8 + i * M_PI / 4;
        cairo_line_to(cr, cx + r * std::cos(a), cy + r * std::sin(a));
    }
    cairo_close_path(cr);
    cairo_pattern_t* body =
        cairo_pattern_create_radial(cx - r * 0.35, cy - r * 0.35, r * 0.1, cx, cy, r * 1.1);
    cairo_pattern_add_color_stop_rgb(body, 0, ((g.light >> 16) & 255) / 255.0, ((g.light >> 8) & 255) / 255.0,
                                     (g.light & 255) / 255.0);
    cairo_pattern_add_color_stop_rgb(body, 0.55, ((g.body >> 16) & 255) / 255.0,
                                     ((g.body >> 8) & 255) / 255.0, (g.body & 255) / 255.0);
    cairo_pattern_add_color_stop_rgb(body, 1, ((g.dark >> 16) & 255) / 255.0, ((g.dark >> 8) & 255) / 255.0,
                                     (g.dark & 255) / 255.0);
    cairo_set_source(cr, body);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(body);
    set_rgb(cr, g.dark);
    cairo_set_line_width(cr, r * 0.12);
    cairo_stroke(cr);
    // The table facet and a glint.
    cairo_new_path(cr);
    for (int i = 0; i < 8; ++i) {
        const double a = M_PI / 8 + i * M_PI / 4;
        cairo_line_to(cr, cx + r * 0.5 * std::cos(a), cy + r * 0.5 * std::sin(a));
    }
    cairo_close_path(cr);
    set_rgb(cr, g.light, 0.45);
    cairo_fill(cr);
    cairo_arc(cr, cx - r * 0.3, cy - r * 0.32, r * 0.14, 0, 2 * M_PI);
    set_rgb(cr, 0xFFFFFF, 0.9);
    cairo_fill(cr);
}

void draw_icon(cairo_t* cr) {
    // The tile.
    rounded_rect(cr, 8, 8, kUnits - 16, kUnits - 16, 44);
    vertical_gradient(cr, 8, kUnits - 8, pal::Ocean, pal::Abyss);
    cairo_fill_preserve(cr);
    set_rgb(cr, pal::Gold);
    cairo_set_line_width(cr, 10);
    cairo_stroke(cr);
    radial_glow(cr, 128, 150, 110, pal::Teal, 0.55);
    // The line of three, on a band of light that says "match".
    rounded_rect(cr, 26, 124, 204, 56, 28);
    set_rgb(cr, pal::Aqua, 0.35);
    cairo_fill(cr);
    for (int i = 0; i < 3; ++i)
        draw_gem(cr, 60 + i * 68, 152, 30, kGold);
    // The gem that comes next, falling in above.
    draw_gem(cr, 128, 78, 30, kRed);
}

void check(cairo_status_t status, const std::filesystem::path& file) {
    if (status != CAIRO_STATUS_SUCCESS)
        throw std::runtime_error("cannot write " + file.string() + ": " + cairo_status_to_string(status));
}

void write_png_icon(const std::filesystem::path& file, int size) {
    std::filesystem::create_directories(file.parent_path());
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, size, size);
    cairo_t* cr = cairo_create(surface);
    cairo_scale(cr, size / kUnits, size / kUnits);
    draw_icon(cr);
    cairo_destroy(cr);
    const cairo_status_t status = cairo_surface_write_to_png(surface, file.string().c_str());
    cairo_surface_destroy(surface);
    check(status, file);
}

void write_svg_icon(const std::filesystem::path& file) {
    std::filesystem::create_directories(file.parent_path());
    cairo_surface_t* surface = cairo_svg_surface_create(file.string().c_str(), kUnits, kUnits);
    cairo_t* cr = cairo_create(surface);
    draw_icon(cr);
    cairo_destroy(cr);
    cairo_surface_finish(surface);
    const cairo_status_t status = cairo_surface_status(surface);
    cairo_surface_destroy(surface);
    check(status, file);
}

} // namespace

void write_icons(const std::filesystem::path& folder, const std::string& name) {
    for (int size : kSizes) {
        const std::string dir = std::to_string(size) + "x" + std::to_string(size);
        write_png_icon(folder / "hicolor" / dir / "apps" / (name + ".png"), size);
    }
    write_svg_icon(folder / "hicolor" / "scalable" / "apps" / (name + ".svg"));
}

} // namespace content
