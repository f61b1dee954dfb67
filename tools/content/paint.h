// Shared drawing vocabulary: the palette and the shapes every picture is built from.
#pragma once

#include "files.h"
#include "image.h"

#include <cstdint>
#include <string>

namespace content {

// The look of the game: deep water, sand, weathered stone and gold.
namespace pal {
constexpr uint32_t Abyss = 0x06122A;
constexpr uint32_t Navy = 0x0B2348;
constexpr uint32_t Ocean = 0x134A78;
constexpr uint32_t Teal = 0x1F7A8C;
constexpr uint32_t Aqua = 0x6FD3E0;
constexpr uint32_t Foam = 0xD8F4F6;
constexpr uint32_t Sand = 0xDCC79B;
constexpr uint32_t SandDark = 0x9C7E4E;
constexpr uint32_t Gold = 0xE7B64A;
constexpr uint32_t GoldLight = 0xFFEBA8;
constexpr uint32_t GoldDark = 0x7A4E12;
constexpr uint32_t Stone = 0x8E8A80;
constexpr uint32_t Parchment = 0xF1E6C8;
constexpr uint32_t Ink = 0x1C1A2A;
} // namespace pal

void set_rgb(cairo_t* cr, uint32_t rgb, double alpha = 1.0);
uint32_t mix(uint32_t a, uint32_t b, double t);
void rounded_rect(cairo_t* cr, double x, double y, double w, double h, double r);
// Source pattern: vertical gradient between two colours over [y0, y1].
void vertical_gradient(cairo_t* cr, double y0, double y1, uint32_t top, uint32_t bottom, double alpha = 1.0);
void radial_glow(cairo_t* cr, double cx, double cy, double r, uint32_t rgb, double alpha);

// Gold-rimmed deep-blue panel with bevel and corner ornaments, the frame of every window.
void draw_panel(Canvas& c, double x, double y, double w, double h, double radius = 18);
// Gold bevelled frame only (no body), line width in pixels.
void draw_gold_frame(Canvas& c, double x, double y, double w, double h, double width, double radius);
// A greek-key (meander) band along a horizontal strip.
void draw_meander(cairo_t* cr, double x, double y, double w, double h, uint32_t rgb, double alpha);
// Underwater scene: gradient water, light shafts, sand floor and drifting motes.
void draw_sea(Canvas& c, uint64_t seed, double sandLine = 0.78, bool shafts = true);
// Sandy floor with ripples from height y down.
void draw_sand_floor(Canvas& c, double y, uint64_t seed);
// Soft caustic light net, additive-looking white lines.
void draw_caustics(cairo_t* cr, double x, double y, double w, double h, double phase, double alpha,
                   uint64_t seed);
// Ruined column, arch and the like for backgrounds.
void draw_column(cairo_t* cr, double x, double base, double w, double h, uint32_t rgb, double alpha,
                 bool broken);
// The harbour lion of Velmora, seated, facing left, in a 288 x 192 frame (paws on y 114).
void draw_seated_lion(cairo_t* cr, uint32_t light, uint32_t dark);
void draw_seaweed(cairo_t* cr, double x, double base, double h, double sway, uint32_t rgb, double alpha);

// The game screen's bottom console right of the left panel (screen y 494..600): the time bar trough
// at (338, 504) and the four bonus wells. `screenX` is the screen x of the canvas's left edge.
void draw_game_console(Canvas& c, double screenX);

// Adds fine film-grain noise (same bytes every run).
void add_grain(Image& img, double amount, uint64_t seed);
// Multiplies the alpha of every pixel.
void scale_alpha(Image& img, double factor);

} // namespace content
