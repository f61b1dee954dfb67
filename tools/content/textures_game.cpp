// Pictures of the game scene: chips, glare mask, backing tiles, bonus sheet, icons, the time bar,
// help bubble, cursors and the two panels around the board.
#include "content.h"
#include "paint.h"

#include <algorithm>
#include <cmath>

namespace content {

namespace {

constexpr double kTau = 2 * M_PI;

struct ChipLook {
    uint32_t light, base, dark;
};

// Colour codes 1..10: yellow, green, red, white, orange, purple, blue, brown, turquoise, black.
const ChipLook kChips[10] = {{0xFFF6A0, 0xF2C81E, 0x8A6400}, {0xA8F0A0, 0x2FA83A, 0x0E4A14},
                             {0xFFA8A0, 0xD8242A, 0x5E0A0C}, {0xFFFFFF, 0xD8DEE6, 0x707C8C},
                             {0xFFD0A0, 0xF07A18, 0x7A3000}, {0xE8B8FF, 0x9238C8, 0x3E0E5E},
                             {0xA8D0FF, 0x2062D8, 0x0A2260}, {0xE0C09A, 0x8C5A2E, 0x3C2210},
                             {0xA8FFF4, 0x18B8B0, 0x05504C}, {0x8890A8, 0x2A2E3C, 0x06070C}};

// The outline of each colour's gem: shape differs as well as hue.
void chip_path(cairo_t* cr, int colour, double cx, double cy, double r) {
    switch (colour) {
    case 1:
        cairo_arc(cr, cx, cy, r, 0, kTau);
        break; // sun coin
    case 2:    // emerald octagon
        for (int i = 0; i < 8; ++i) {
            const double a = kTau * (i + 0.5) / 8;
            cairo_line_to(cr, cx + std::cos(a) * r, cy + std::sin(a) * r);
        }
        cairo_close_path(cr);
        break;
    case 3:
        rounded_rect(cr, cx - r * 0.9, cy - r * 0.9, r * 1.8, r * 1.8, r * 0.35);
        break; // ruby block
    case 4:
        cairo_arc(cr, cx, cy, r * 0.92, 0, kTau);
        break; // pearl
    case 5:    // amber triangle
        cairo_move_to(cr, cx, cy - r * 1.02);
        cairo_line_to(cr, cx + r * 1.02, cy + r * 0.82);
        cairo_line_to(cr, cx - r * 1.02, cy + r * 0.82);
        cairo_close_path(cr);
        break;
    case 6: // amethyst hexagon
        for (int i = 0; i < 6; ++i)
            cairo_line_to(cr, cx + std::cos(kTau * i / 6) * r, cy + std::sin(kTau * i / 6) * r);
        cairo_close_path(cr);
        break;
    case 7: // sapphire drop
        cairo_move_to(cr, cx, cy - r * 1.05);
        cairo_curve_to(cr, cx + r * 0.5, cy - r * 0.4, cx + r, cy, cx + r * 0.9, cy + r * 0.35);
        cairo_arc(cr, cx, cy + r * 0.3, r * 0.9, 0.05, M_PI - 0.05);
        cairo_curve_to(cr, cx - r, cy, cx - r * 0.5, cy - r * 0.4, cx, cy - r * 1.05);
        break;
    case 8: // clay tablet
        rounded_rect(cr, cx - r * 0.72, cy - r, r * 1.44, r * 2, r * 0.2);
        break;
    case 9: // turquoise rhombus
        cairo_move_to(cr, cx, cy - r * 1.05);
        cairo_line_to(cr, cx + r * 0.95, cy);
        cairo_line_to(cr, cx, cy + r * 1.05);
        cairo_line_to(cr, cx - r * 0.95, cy);
        cairo_close_path(cr);
        break;
    default: // obsidian shield
        cairo_move_to(cr, cx - r * 0.9, cy - r * 0.85);
        cairo_line_to(cr, cx + r * 0.9, cy - r * 0.85);
        cairo_curve_to(cr, cx + r * 0.9, cy + r * 0.2, cx + r * 0.4, cy + r * 0.8, cx, cy + r * 1.02);
        cairo_curve_to(cr, cx - r * 0.4, cy + r * 0.8, cx - r * 0.9, cy + r * 0.2, cx - r * 0.9,
                       cy - r * 0.85);
        cairo_close_path(cr);
    }
}

// The engraved symbol of each colour.
void chip_symbol(cairo_t* cr, int colour, double cx, double cy, double r) {
    cairo_save(cr);
    cairo_set_line_width(cr, 2.2);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    switch (colour) {
    case 1:
        cairo_arc(cr, cx, cy, r * 0.32, 0, kTau);
        for (int i = 0; i < 8; ++i) {
            const double a = kTau * i / 8;
            cairo_move_to(cr, cx + std::cos(a) * r * 0.45, cy + std::sin(a) * r * 0.45);
            cairo_line_to(cr, cx + std::cos(a) * r * 0.68, cy + std::sin(a) * r * 0.68);
        }
        break;
    case 2:
        cairo_move_to(cr, cx - r * 0.45, cy + r * 0.45);
        cairo_curve_to(cr, cx - r * 0.5, cy - r * 0.3, cx + r * 0.2, cy - r * 0.6, cx + r * 0.5,
                       cy - r * 0.5);
        cairo_curve_to(cr, cx + r * 0.5, cy + r * 0.1, cx, cy + r * 0.5, cx - r * 0.45, cy + r * 0.45);
        cairo_move_to(cr, cx - r * 0.45, cy + r * 0.45);
        cairo_line_to(cr, cx + r * 0.2, cy - r * 0.2);
        break;
    case 3:
        cairo_move_to(cr, cx, cy + r * 0.5);
        cairo_curve_to(cr, cx - r * 0.5, cy + r * 0.1, cx - r * 0.3, cy - r * 0.3, cx, cy - r * 0.55);
        cairo_curve_to(cr, cx + r * 0.05, cy - r * 0.2, cx + r * 0.5, cy - r * 0.1, cx, cy + r * 0.5);
        break;
    case 4:
        for (double t = 0; t < 3 * M_PI; t += 0.15) {
            const double rr = r * 0.08 + t * r * 0.06;
            cairo_line_to(cr, cx + std::cos(t) * rr, cy + std::sin(t) * rr);
        }
        break;
    case 5:
        cairo_arc(cr, cx, cy + r * 0.2, r * 0.22, 0, kTau);
        break;
    case 6:
        for (int i = 0; i < 10; ++i) {
            const double a = kTau * i / 10 - M_PI / 2, rr = i % 2 ? r * 0.22 : r * 0.55;
            cairo_line_to(cr, cx + std::cos(a) * rr, cy + std::sin(a) * rr);
        }
        cairo_close_path(cr);
        break;
    case 7:
        for (int k = 0; k < 2; ++k) {
            const double yy = cy + r * (0.05 + 0.3 * k);
            cairo_move_to(cr, cx - r * 0.45, yy);
            cairo_curve_to(cr, cx - r * 0.2, yy - r * 0.25, cx, yy + r * 0.25, cx + r * 0.45, yy);
        }
        break;
    case 8:
        for (int k = 0; k < 3; ++k) {
            const double yy = cy - r * 0.45 + k * r * 0.42;
            for (int j = 0; j < 3; ++j) {
                const double xx = cx - r * 0.36 + j * r * 0.34;
                cairo_move_to(cr, xx, yy);
                cairo_line_to(cr, xx + r * 0.18, yy + r * 0.1);
                cairo_line_to(cr, xx, yy + r * 0.2);
            }
        }
        break;
    case 9:
        cairo_move_to(cr, cx - r * 0.55, cy);
        cairo_curve_to(cr, cx - r * 0.2, cy - r * 0.35, cx + r * 0.2, cy - r * 0.35, cx + r * 0.55, cy);
        cairo_curve_to(cr, cx + r * 0.2, cy + r * 0.35, cx - r * 0.2, cy + r * 0.35, cx - r * 0.55, cy);
        cairo_new_sub_path(cr);
        cairo_arc(cr, cx, cy, r * 0.14, 0, kTau);
        break;
    default:
        cairo_arc(cr, cx, cy, r * 0.42, M_PI * 0.35, M_PI * 1.65);
        cairo_arc_negative(cr, cx + r * 0.2, cy, r * 0.32, M_PI * 1.45, M_PI * 0.55);
        cairo_close_path(cr);
    }
    cairo_restore(cr);
}

Image draw_chip(int colour) {
    Canvas c(40, 40);
    cairo_t* cr = c.cr();
    const ChipLook& k = kChips[colour - 1];
    const double cx = 20, cy = 20, r = 16.5;
    // soft shadow
    cairo_save(cr);
    cairo_translate(cr, 1.2, 1.8);
    chip_path(cr, colour, cx, cy, r);
    set_rgb(cr, 0x000000, 0.45);
    cairo_fill(cr);
    cairo_restore(cr);
    chip_path(cr, colour, cx, cy, r);
    cairo_pattern_t* g = cairo_pattern_create_radial(cx - 5, cy - 6, 1, cx, cy, r * 1.25);
    auto stop = [&](double at, uint32_t rgb) {
        cairo_pattern_add_color_stop_rgb(g, at, ((rgb >> 16) & 255) / 255.0, ((rgb >> 8) & 255) / 255.0,
                                         (rgb & 255) / 255.0);
    };
    stop(0, k.light);
    stop(0.45, k.base);
    stop(1, k.dark);
    cairo_set_source(cr, g);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(g);
    set_rgb(cr, k.dark);
    cairo_set_line_width(cr, 1.6);
    cairo_stroke(cr);
    // engraved symbol: dark groove with a light lip
    cairo_save(cr);
    cairo_translate(cr, 0.8, 0.8);
    chip_symbol(cr, colour, cx, cy, r);
    set_rgb(cr, 0xFFFFFF, 0.55);
    cairo_set_line_width(cr, 2.2);
    if (colour == 5 || colour == 6 || colour == 10)
        cairo_fill(cr);
    else
        cairo_stroke(cr);
    cairo_restore(cr);
    chip_symbol(cr, colour, cx, cy, r);
    set_rgb(cr, k.dark, 0.85);
    cairo_set_line_width(cr, 2.0);
    if (colour == 5 || colour == 6 || colour == 10)
        cairo_fill(cr);
    else
        cairo_stroke(cr);
    // glossy highlight
    cairo_save(cr);
    chip_path(cr, colour, cx, cy, r);
    cairo_clip(cr);
    cairo_arc(cr, cx - 4, cy - 9, r * 0.75, 0, kTau);
    cairo_pattern_t* h = cairo_pattern_create_linear(0, cy - r, 0, cy);
    cairo_pattern_add_color_stop_rgba(h, 0, 1, 1, 1, 0.55);
    cairo_pattern_add_color_stop_rgba(h, 1, 1, 1, 1, 0);
    cairo_set_source(cr, h);
    cairo_fill(cr);
    cairo_pattern_destroy(h);
    cairo_restore(cr);
    return c.image();
}

// Sap eats the chip away: holes grow from a fixed noise field, the rest turns sickly green.
Image dissolve(const Image& chip, int step, uint64_t seed) {
    Image out = chip;
    Rng rng(seed);
    std::vector<double> field(size_t(10 * 10));
    for (double& v : field)
        v = rng.uniform();
    auto noise = [&](double x, double y) {
        const double fx = x / 40 * 9, fy = y / 40 * 9;
        const int ix = int(fx), iy = int(fy);
        const double tx = fx - ix, ty = fy - iy;
        auto f = [&](int a, int b) { return field[size_t(std::min(b, 9) * 10 + std::min(a, 9))]; };
        return (f(ix, iy) * (1 - tx) + f(ix + 1, iy) * tx) * (1 - ty) +
               (f(ix, iy + 1) * (1 - tx) + f(ix + 1, iy + 1) * tx) * ty;
    };
    const double threshold = step == 1 ? 0.33 : 0.62;
    for (int y = 0; y < out.height; ++y)
        for (int x = 0; x < out.width; ++x) {
            const uint32_t p = out.at(x, y);
            const double n = noise(x, y);
            const double keep = std::clamp((n - threshold) * 8, 0.0, 1.0);
            const uint32_t rgb = mix(p & 0xFFFFFF, 0x9CE05A, step == 1 ? 0.3 : 0.55);
            const uint32_t a = uint32_t(std::lround((p >> 24) * keep * (step == 1 ? 0.9 : 0.7)));
            out.at(x, y) = (a << 24) | rgb;
        }
    return out;
}

void blit(Image& dst, const Image& src, int x0, int y0) {
    for (int y = 0; y < src.height; ++y)
        for (int x = 0; x < src.width; ++x)
            if (x0 + x >= 0 && y0 + y >= 0 && x0 + x < dst.width && y0 + y < dst.height)
                dst.at(x0 + x, y0 + y) = src.at(x, y);
}

void write_chips(const Context& ctx) {
    Image sheet(256, 256);
    for (int c = 1; c <= 10; ++c) {
        const Image chip = draw_chip(c);
        for (int v = 0; v < 3; ++v) {
            const int entry = c - 1 + 12 * v;
            const Image img = v == 0 ? chip : dissolve(chip, v, uint64_t(c * 3 + v));
            blit(sheet, img, (entry % 6) * 40, (entry / 6) * 40);
        }
    }
    write_tga(ctx.textures("Chips.tga"), sheet);
}

// Six frames of a light band sweeping diagonally over a chip.
void write_glare_mask(const Context& ctx) {
    Image mask(40, 240);
    for (int f = 0; f < 6; ++f) {
        const double centre = -20 + f * 20.0;
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 40; ++x) {
                const double d = std::abs((x + y) * 0.7071 - 28 - centre * 0.7071 * 1.4);
                const double a = std::clamp(1.0 - d / 7.0, 0.0, 1.0);
                mask.at(x, f * 40 + y) = (uint32_t(std::lround(a * a * 230)) << 24) | 0xFFFFFF;
            }
    }
    write_tga(ctx.textures("GlaresMask.tga"), mask);
}

// Board backing: 17 frame tiles that draw the gold rim on the sides facing the board,
// the sunken cell (18) and the stone wall block (19).
void write_fields(const Context& ctx) {
    Image sheet(256, 256);
    enum Side { Up = 1, Right = 2, Down = 4, Left = 8 };
    const int sides[18] = {0,
                           Up | Right | Down | Left,
                           Up | Right | Down,
                           Up | Right | Left,
                           Up | Down | Left,
                           Right | Down | Left,
                           Up | Right,
                           Up | Left,
                           Right | Down,
                           Down | Left,
                           Up,
                           Right,
                           Down,
                           Left,
                           0,
                           0,
                           0,
                           0};
    for (int tile = 1; tile <= 19; ++tile) {
        Canvas c(40, 40);
        cairo_t* cr = c.cr();
        if (tile <= 17) {
            const int s = sides[tile];
            auto rim = [&](double x, double y, double w, double h, bool vertical) {
                cairo_rectangle(cr, x, y, w, h);
                cairo_pattern_t* g = vertical ? cairo_pattern_create_linear(x, 0, x + w, 0)
                                              : cairo_pattern_create_linear(0, y, 0, y + h);
                cairo_pattern_add_color_stop_rgb(g, 0, 0.48, 0.31, 0.07);
                cairo_pattern_add_color_stop_rgb(g, 0.5, 1.0, 0.9, 0.6);
                cairo_pattern_add_color_stop_rgb(g, 1, 0.48, 0.31, 0.07);
                cairo_set_source(cr, g);
                cairo_fill(cr);
                cairo_pattern_destroy(g);
            };
            if (s & Up) rim(0, 0, 40, 7, false);
            if (s & Down) rim(0, 33, 40, 7, false);
            if (s & Left) rim(0, 0, 7, 40, true);
            if (s & Right) rim(33, 0, 7, 40, true);
            const double corners[4][2] = {{40, 0}, {40, 40}, {0, 40}, {0, 0}};
            if (tile >= 14) {
                const auto& p = corners[tile - 14];
                cairo_arc(cr, p[0], p[1], 7, 0, kTau);
                cairo_pattern_t* g = cairo_pattern_create_radial(p[0], p[1], 0, p[0], p[1], 7);
                cairo_pattern_add_color_stop_rgb(g, 0, 1.0, 0.9, 0.6);
                cairo_pattern_add_color_stop_rgb(g, 1, 0.48, 0.31, 0.07);
                cairo_set_source(cr, g);
                cairo_fill(cr);
                cairo_pattern_destroy(g);
            }
        } else if (tile == 18) {
            cairo_rectangle(cr, 0, 0, 40, 40);
            vertical_gradient(cr, 0, 40, 0x0E2C50, 0x06162C, 0.62);
            cairo_fill(cr);
            cairo_rectangle(cr, 0.5, 0.5, 39, 39);
            set_rgb(cr, pal::Aqua, 0.16);
            cairo_set_line_width(cr, 1);
            cairo_stroke(cr);
        } else {
            rounded_rect(cr, 1, 1, 38, 38, 4);
            vertical_gradient(cr, 0, 40, 0xA8A090, 0x5C564A);
            cairo_fill(cr);
            cairo_move_to(cr, 1, 20);
            cairo_line_to(cr, 39, 20);
            cairo_move_to(cr, 20, 1);
            cairo_line_to(cr, 20, 20);
            cairo_move_to(cr, 10, 20);
            cairo_line_to(cr, 10, 39);
            cairo_move_to(cr, 30, 20);
            cairo_line_to(cr, 30, 39);
            set_rgb(cr, 0x2A261E, 0.7);
            cairo_set_line_width(cr, 1.5);
            cairo_stroke(cr);
            rounded_rect(cr, 1.5, 1.5, 37, 37, 4);
            set_rgb(cr, 0xE8E0CC, 0.35);
            cairo_stroke(cr);
        }
        Image img = c.image();
        add_grain(img, tile == 19 ? 10 : 3, uint64_t(tile));
        blit(sheet, img, ((tile - 1) % 6) * 40, ((tile - 1) / 6) * 40);
    }
    write_tga(ctx.textures("Fields.tga"), sheet);
}

// Bonus items: hammer, sap, hourglass, magic lamp, coin bag, x2, x3, the cursed scarab.
void draw_bonus(cairo_t* cr, int code, double cx, double cy) {
    cairo_save(cr);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    auto gold = [&](double y0, double y1) { vertical_gradient(cr, y0, y1, pal::GoldLight, pal::GoldDark); };
    switch (code) {
    case 1: // hammer
        cairo_save(cr);
        cairo_translate(cr, cx, cy);
        cairo_rotate(cr, -0.6);
        rounded_rect(cr, -2.5, -4, 5, 20, 2);
        vertical_gradient(cr, -4, 16, 0xB07A40, 0x5A3A18);
        cairo_fill(cr);
        rounded_rect(cr, -11, -13, 22, 10, 2);
        vertical_gradient(cr, -13, -3, 0xE8ECF0, 0x687078);
        cairo_fill_preserve(cr);
        set_rgb(cr, 0x303438);
        cairo_set_line_width(cr, 1);
        cairo_stroke(cr);
        cairo_restore(cr);
        break;
    case 2: // sap flask
        cairo_move_to(cr, cx - 3, cy - 15);
        cairo_line_to(cr, cx + 3, cy - 15);
        cairo_line_to(cr, cx + 3, cy - 6);
        cairo_arc(cr, cx, cy + 4, 11, -1.2, M_PI + 1.2);
        cairo_line_to(cr, cx - 3, cy - 6);
        cairo_close_path(cr);
        vertical_gradient(cr, cy - 15, cy + 15, 0xD8FFB0, 0x3C9A1C);
        cairo_fill_preserve(cr);
        set_rgb(cr, 0x1C4A0C);
        cairo_set_line_width(cr, 1.3);
        cairo_stroke(cr);
        cairo_arc(cr, cx - 4, cy + 2, 2.5, 0, kTau);
        set_rgb(cr, 0xFFFFFF, 0.7);
        cairo_fill(cr);
        break;
    case 3: // hourglass
        cairo_move_to(cr, cx - 10, cy - 15);
        cairo_line_to(cr, cx + 10, cy - 15);
        cairo_line_to(cr, cx + 2, cy);
        cairo_line_to(cr, cx + 10, cy + 15);
        cairo_line_to(cr, cx - 10, cy + 15);
        cairo_line_to(cr, cx - 2, cy);
        cairo_close_path(cr);
        set_rgb(cr, 0xDFF4FF, 0.75);
        cairo_fill_preserve(cr);
        set_rgb(cr, pal::GoldDark);
        cairo_set_line_width(cr, 1.5);
        cairo_stroke(cr);
        cairo_move_to(cr, cx - 6, cy + 14);
        cairo_line_to(cr, cx, cy + 6);
        cairo_line_to(cr, cx + 6, cy + 14);
        cairo_close_path(cr);
        set_rgb(cr, pal::Sand);
        cairo_fill(cr);
        cairo_rectangle(cr, cx - 12, cy - 17, 24, 3);
        cairo_rectangle(cr, cx - 12, cy + 14, 24, 3);
        gold(cy - 17, cy + 17);
        cairo_fill(cr);
        break;
    case 4: // magic lamp
        cairo_move_to(cr, cx - 14, cy + 2);
        cairo_curve_to(cr, cx - 10, cy + 10, cx + 8, cy + 10, cx + 10, cy + 2);
        cairo_line_to(cr, cx + 16, cy - 4);
        cairo_line_to(cr, cx + 12, cy + 4);
        cairo_curve_to(cr, cx + 10, cy + 14, cx - 10, cy + 14, cx - 14, cy + 2);
        cairo_close_path(cr);
        gold(cy - 4, cy + 14);
        cairo_fill(cr);
        cairo_arc(cr, cx - 2, cy + 1, 6, M_PI, 0);
        gold(cy - 6, cy + 2);
        cairo_fill(cr);
        radial_glow(cr, cx + 15, cy - 8, 7, 0xFFE0FF, 0.9);
        break;
    case 5: // coin bag
        cairo_move_to(cr, cx - 5, cy - 10);
        cairo_curve_to(cr, cx - 16, cy, cx - 16, cy + 15, cx, cy + 15);
        cairo_curve_to(cr, cx + 16, cy + 15, cx + 16, cy, cx + 5, cy - 10);
        cairo_close_path(cr);
        vertical_gradient(cr, cy - 10, cy + 15, 0xC89A60, 0x6A4420);
        cairo_fill(cr);
        cairo_move_to(cr, cx - 7, cy - 15);
        cairo_line_to(cr, cx + 7, cy - 15);
        cairo_line_to(cr, cx + 4, cy - 9);
        cairo_line_to(cr, cx - 4, cy - 9);
        cairo_close_path(cr);
        set_rgb(cr, 0x8A6030);
        cairo_fill(cr);
        cairo_arc(cr, cx, cy + 4, 5.5, 0, kTau);
        gold(cy - 2, cy + 10);
        cairo_fill(cr);
        break;
    case 6:
    case 7: { // multiplier tablets
        rounded_rect(cr, cx - 14, cy - 14, 28, 28, 6);
        vertical_gradient(cr, cy - 14, cy + 14, code == 6 ? 0x7FD8FF : 0xFF9AE0,
                          code == 6 ? 0x1A4C9A : 0x8A1A6A);
        cairo_fill_preserve(cr);
        set_rgb(cr, pal::GoldLight);
        cairo_set_line_width(cr, 2);
        cairo_stroke(cr);
        // "x" and the digit drawn as strokes
        cairo_set_line_width(cr, 3);
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
        cairo_move_to(cr, cx - 10, cy - 3);
        cairo_line_to(cr, cx - 3, cy + 6);
        cairo_move_to(cr, cx - 3, cy - 3);
        cairo_line_to(cr, cx - 10, cy + 6);
        if (code == 6) {
            cairo_move_to(cr, cx + 1, cy - 5);
            cairo_curve_to(cr, cx + 3, cy - 11, cx + 12, cy - 9, cx + 9, cy - 2);
            cairo_line_to(cr, cx + 1, cy + 7);
            cairo_line_to(cr, cx + 11, cy + 7);
        } else {
            cairo_move_to(cr, cx + 1, cy - 8);
            cairo_line_to(cr, cx + 10, cy - 8);
            cairo_line_to(cr, cx + 5, cy - 1);
            cairo_curve_to(cr, cx + 13, cy - 1, cx + 12, cy + 9, cx + 1, cy + 6);
        }
        set_rgb(cr, 0xFFFFFF);
        cairo_stroke(cr);
        break;
    }
    default: { // cursed scarab stone with glowing red eyes
        cairo_arc(cr, cx, cy + 2, 14, 0, kTau);
        vertical_gradient(cr, cy - 12, cy + 16, 0x6A3A3A, 0x1A0C0C);
        cairo_fill(cr);
        cairo_move_to(cr, cx, cy - 10);
        cairo_line_to(cr, cx, cy + 14);
        set_rgb(cr, 0x000000, 0.6);
        cairo_set_line_width(cr, 1.5);
        cairo_stroke(cr);
        radial_glow(cr, cx - 5, cy - 6, 5, 0xFF3020, 1.0);
        radial_glow(cr, cx + 5, cy - 6, 5, 0xFF3020, 1.0);
        cairo_arc(cr, cx, cy + 2, 14, 0, kTau);
        set_rgb(cr, 0xFF4020, 0.6);
        cairo_set_line_width(cr, 1.5);
        cairo_stroke(cr);
    }
    }
    cairo_restore(cr);
}

void draw_chain(cairo_t* cr, double x0, double y0, double x1, double y1) {
    const int links = 6;
    for (int i = 0; i < links; ++i) {
        const double t = (i + 0.5) / links;
        const double x = x0 + (x1 - x0) * t, y = y0 + (y1 - y0) * t;
        cairo_save(cr);
        cairo_translate(cr, x, y);
        cairo_rotate(cr, std::atan2(y1 - y0, x1 - x0) + (i % 2 ? M_PI / 2 * 0.0 : 0));
        cairo_scale(cr, 1.0, i % 2 ? 0.45 : 1.0);
        cairo_scale(cr, 1.0, 0.7);
        cairo_arc(cr, 0, 0, 5.5, 0, kTau);
        cairo_restore(cr);
        cairo_set_line_width(cr, 4.6);
        set_rgb(cr, 0x1A1C20);
        cairo_stroke_preserve(cr);
        cairo_set_line_width(cr, 2.6);
        set_rgb(cr, 0xC8D0D8);
        cairo_stroke(cr);
    }
}

void write_bonuses(const Context& ctx) {
    Canvas c(256, 256);
    cairo_t* cr = c.cr();
    for (int code = 1; code <= 8; ++code) {
        for (int lit = 0; lit < 2; ++lit) {
            const int entry = code - 1 + 12 * lit;
            const double cx = (entry % 6) * 40 + 20, cy = (entry / 6) * 40 + 20;
            cairo_save(cr);
            cairo_rectangle(cr, cx - 20, cy - 20, 40, 40);
            cairo_clip(cr);
            if (lit) radial_glow(cr, cx, cy, 20, 0xFFF0A0, 0.9);
            draw_bonus(cr, code, cx, cy);
            cairo_restore(cr);
        }
    }
    for (int locks = 1; locks <= 2; ++locks) {
        const int entry = 23 + locks;
        const double x = (entry % 6) * 40, y = (entry / 6) * 40;
        cairo_save(cr);
        cairo_rectangle(cr, x, y, 40, 40);
        cairo_clip(cr);
        draw_chain(cr, x + 2, y + 6, x + 38, y + 34);
        if (locks == 2) draw_chain(cr, x + 38, y + 6, x + 2, y + 34);
        cairo_arc(cr, x + 20, y + 20, 4.5, 0, kTau);
        set_rgb(cr, 0x8A9098);
        cairo_fill(cr);
        cairo_restore(cr);
    }
    write_tga(ctx.textures("Bonuses.tga"), c.image());
}

void write_hearts(const Context& ctx) {
    Canvas c(64, 64);
    cairo_t* cr = c.cr();
    // heart in (0, 0, 18, 16)
    cairo_move_to(cr, 9, 15);
    cairo_curve_to(cr, -2, 7, 2, -1, 9, 4);
    cairo_curve_to(cr, 16, -1, 20, 7, 9, 15);
    vertical_gradient(cr, 0, 16, 0xFF8080, 0xB01020);
    cairo_fill_preserve(cr);
    set_rgb(cr, 0x500008);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    cairo_arc(cr, 5.5, 5, 1.8, 0, kTau);
    set_rgb(cr, 0xFFFFFF, 0.8);
    cairo_fill(cr);
    // multiplier icons in (1, 21, 16, 36) and (18, 21, 33, 36)
    for (int k = 0; k < 2; ++k) {
        const double x = k ? 18 : 1, y = 21;
        rounded_rect(cr, x + 0.5, y + 0.5, 14, 14, 3);
        vertical_gradient(cr, y, y + 15, k ? 0xFF9AE0 : 0x7FD8FF, k ? 0x8A1A6A : 0x1A4C9A);
        cairo_fill_preserve(cr);
        set_rgb(cr, pal::GoldLight);
        cairo_set_line_width(cr, 1);
        cairo_stroke(cr);
        cairo_arc(cr, x + 7.5, y + 7.5, 3, 0, kTau);
        set_rgb(cr, 0xFFFFFF, 0.9);
        cairo_fill(cr);
    }
    // coin in (28, 0, 48, 20)
    cairo_arc(cr, 38, 10, 9.2, 0, kTau);
    cairo_pattern_t* g = cairo_pattern_create_radial(35, 7, 1, 38, 10, 9.5);
    cairo_pattern_add_color_stop_rgb(g, 0, 1, 0.98, 0.8);
    cairo_pattern_add_color_stop_rgb(g, 0.7, 0.93, 0.72, 0.25);
    cairo_pattern_add_color_stop_rgb(g, 1, 0.5, 0.32, 0.06);
    cairo_set_source(cr, g);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
    write_tga(ctx.textures("Hearts.tga"), c.image());
}

void write_time_bar(const Context& ctx) {
    Canvas c(420, 24);
    cairo_t* cr = c.cr();
    for (int row = 0; row < 2; ++row) {
        rounded_rect(cr, 0, row * 12 + 1, 420, 10, 5);
        if (row == 0)
            vertical_gradient(cr, 1, 11, 0xB8FFF8, 0x1890B0);
        else
            vertical_gradient(cr, 13, 23, 0xFFD0A0, 0xD02010);
        cairo_fill(cr);
        rounded_rect(cr, 3, row * 12 + 2.5, 414, 3, 1.5);
        set_rgb(cr, 0xFFFFFF, 0.5);
        cairo_fill(cr);
    }
    write_tga(ctx.textures("Game_Timer.tga"), c.image());
}

void write_label_panel(const Context& ctx) {
    Canvas c(128, 128);
    cairo_t* cr = c.cr();
    const uint32_t tops[3] = {0x2A6AA8, 0xC04020, 0xE8B040}, bottoms[3] = {0x0A2048, 0x5A1008, 0x7A4E12};
    for (int s = 0; s < 3; ++s) {
        rounded_rect(cr, 1, s * 24 + 1, 125, 22, 8);
        vertical_gradient(cr, s * 24, s * 24 + 24, tops[s], bottoms[s], 0.9);
        cairo_fill_preserve(cr);
        set_rgb(cr, pal::GoldLight, 0.9);
        cairo_set_line_width(cr, 1.5);
        cairo_stroke(cr);
    }
    write_tga(ctx.textures("Game_LabelPanel.tga"), c.image());
}

void write_selection(const Context& ctx) {
    Canvas c(64, 128);
    cairo_t* cr = c.cr();
    rounded_rect(cr, 2, 2, 36, 36, 7);
    set_rgb(cr, pal::Aqua, 0.9);
    cairo_set_line_width(cr, 2.5);
    cairo_stroke(cr);
    rounded_rect(cr, 1.5, 41.5, 37, 37, 7);
    set_rgb(cr, pal::GoldLight, 1.0);
    cairo_set_line_width(cr, 3.5);
    cairo_stroke(cr);
    rounded_rect(cr, 4, 44, 32, 32, 5);
    set_rgb(cr, 0xFFFFFF, 0.18);
    cairo_fill(cr);
    write_tga(ctx.textures("ActSel.tga"), c.image());
}

void arrow(cairo_t* cr, double x0, double y0, double w, double h, int pointing) {
    // pointing: 0 right, 1 up, 2 left, 3 down
    cairo_save(cr);
    cairo_translate(cr, x0 + w / 2, y0 + h / 2);
    cairo_rotate(cr, -pointing * M_PI / 2);
    const double L = (pointing % 2 ? h : w) / 2 - 1, T = (pointing % 2 ? w : h) / 2 - 1;
    cairo_move_to(cr, L, 0);
    cairo_line_to(cr, 0, -T);
    cairo_line_to(cr, 0, -T * 0.4);
    cairo_line_to(cr, -L, -T * 0.4);
    cairo_line_to(cr, -L, T * 0.4);
    cairo_line_to(cr, 0, T * 0.4);
    cairo_line_to(cr, 0, T);
    cairo_close_path(cr);
    set_rgb(cr, pal::Parchment);
    cairo_fill_preserve(cr);
    set_rgb(cr, pal::GoldDark);
    cairo_set_line_width(cr, 2);
    cairo_stroke(cr);
    cairo_restore(cr);
}

void write_help_pictures(const Context& ctx) {
    {
        Canvas c(128, 128);
        arrow(c.cr(), 34, 36, 33, 28, 0);
        arrow(c.cr(), 37, 0, 28, 33, 1);
        arrow(c.cr(), 0, 2, 33, 28, 2);
        arrow(c.cr(), 3, 34, 28, 33, 3);
        write_tga(ctx.textures("InteractiveHelp/Arrows.tga"), c.image());
    }
    {
        Canvas c(128, 128);
        cairo_t* cr = c.cr();
        rounded_rect(cr, 6, 8, 118, 118, 26);
        set_rgb(cr, 0x000000, 0.3);
        cairo_fill(cr);
        rounded_rect(cr, 4, 4, 120, 120, 26);
        set_rgb(cr, pal::Parchment, 0.97);
        cairo_fill_preserve(cr);
        set_rgb(cr, pal::Gold);
        cairo_set_line_width(cr, 4);
        cairo_stroke(cr);
        rounded_rect(cr, 9, 9, 110, 110, 22);
        set_rgb(cr, pal::GoldDark, 0.5);
        cairo_set_line_width(cr, 1);
        cairo_stroke(cr);
        write_tga(ctx.textures("InteractiveHelp/IHelp.tga"), c.image());
    }
}

Image cursor_picture(int kind) {
    Canvas c(32, 32);
    cairo_t* cr = c.cr();
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    if (kind == 0) { // trident-tipped arrow
        cairo_move_to(cr, 1, 1);
        cairo_line_to(cr, 1, 22);
        cairo_line_to(cr, 6.5, 17);
        cairo_line_to(cr, 11, 26);
        cairo_line_to(cr, 15, 24);
        cairo_line_to(cr, 10.5, 15.5);
        cairo_line_to(cr, 17.5, 15.5);
        cairo_close_path(cr);
        vertical_gradient(cr, 0, 26, pal::GoldLight, pal::Gold);
    } else { // pointing hand, darker when pressed
        cairo_move_to(cr, 9, 2);
        cairo_curve_to(cr, 12, 1, 13, 3, 13, 5);
        cairo_line_to(cr, 13, 12);
        cairo_line_to(cr, 22, 13);
        cairo_curve_to(cr, 26, 14, 26, 18, 25, 22);
        cairo_line_to(cr, 23, 29);
        cairo_line_to(cr, 11, 29);
        cairo_line_to(cr, 5, 19);
        cairo_curve_to(cr, 4, 16, 7, 15, 9, 17);
        cairo_close_path(cr);
        vertical_gradient(cr, 0, 30, kind == 1 ? 0xFFF4D8 : 0xE0C890, kind == 1 ? 0xE8C890 : 0xA88848);
    }
    cairo_fill_preserve(cr);
    set_rgb(cr, 0x1A1208);
    cairo_set_line_width(cr, 1.4);
    cairo_stroke(cr);
    return c.image();
}

Image hammer_picture(bool active) {
    Canvas c(64, 64);
    cairo_t* cr = c.cr();
    if (active) radial_glow(cr, 24, 22, 26, 0xFFE080, 0.8);
    cairo_save(cr);
    cairo_translate(cr, 30, 30);
    cairo_scale(cr, 1.9, 1.9);
    cairo_translate(cr, -20, -20);
    draw_bonus(cr, 1, 20, 20);
    cairo_restore(cr);
    return c.image();
}

void write_cursors(const Context& ctx) {
    Image sheet(64, 64);
    for (int k = 0; k < 3; ++k) {
        const Image img = cursor_picture(k);
        blit(sheet, img, (k % 2) * 32, (k / 2) * 32);
        write_cursor(ctx.textures("Cursor_" + std::to_string(k + 1) + ".xcr"), img, k == 0 ? 1 : 9,
                     k == 0 ? 1 : 2);
    }
    Image small(32, 32);
    const Image h = hammer_picture(false);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            small.at(x, y) = h.at(x * 2, y * 2);
    blit(sheet, small, 32, 32);
    write_tga(ctx.textures("Cursors.tga"), sheet);
    write_tga(ctx.textures("Cursor_Hammer_Passive.tga"), hammer_picture(false));
    write_tga(ctx.textures("Cursor_Hammer_Active.tga"), hammer_picture(true));
}

void write_blur_pen(const Context& ctx) {
    Image pen(12, 12);
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 12; ++x) {
            const double d = std::hypot(x - 5.5, y - 5.5) / 6.0;
            const double a = std::clamp(1 - d, 0.0, 1.0);
            pen.at(x, y) = (uint32_t(std::lround(a * a * 60)) << 24) | 0xFFFFFF;
        }
    write_tga(ctx.textures("BlurPen.tga"), pen);
}

// Left panel: country plate, art frame (artefact at 20, 52, 256 × 256), town plate, score and lives.
void write_left_panel(const Context& ctx) {
    Canvas c(298, 600);
    cairo_t* cr = c.cr();
    cairo_rectangle(cr, 0, 0, 298, 600);
    vertical_gradient(cr, 0, 600, 0x123A62, 0x050F22);
    cairo_fill(cr);
    draw_caustics(cr, 0, 0, 298, 600, 0.3, 0.05, 41);
    draw_panel(c, 6, 4, 286, 592, 16);
    // artefact niche
    rounded_rect(cr, 14, 46, 268, 268, 12);
    vertical_gradient(cr, 46, 314, 0x040C1C, 0x0C2440, 0.95);
    cairo_fill(cr);
    radial_glow(cr, 148, 180, 130, 0x3FA8C8, 0.25);
    draw_gold_frame(c, 12, 44, 272, 272, 5, 12);
    auto plate = [&](double cy, double w) {
        rounded_rect(cr, 149 - w / 2, cy - 13, w, 26, 10);
        vertical_gradient(cr, cy - 13, cy + 13, 0x24588A, 0x0A2448, 0.95);
        cairo_fill(cr);
        draw_gold_frame(c, 149 - w / 2, cy - 13, w, 26, 3, 10);
    };
    plate(18, 230);
    plate(347, 230);
    plate(394, 170);
    // lives and multipliers row
    rounded_rect(cr, 50, 414, 198, 36, 12);
    vertical_gradient(cr, 414, 450, 0x0A2448, 0x051428, 0.9);
    cairo_fill(cr);
    draw_gold_frame(c, 50, 414, 198, 36, 2.5, 12);
    // lower ornament: a sun disc in the gap between the lives row and the menu button (536)
    constexpr double sunY = 493;
    cairo_arc(cr, 149, sunY, 38, 0, kTau);
    vertical_gradient(cr, sunY - 38, sunY + 38, 0x3A5A78, 0x0E223A, 0.8);
    cairo_fill(cr);
    for (int i = 0; i < 16; ++i) {
        const double a = kTau * i / 16;
        cairo_move_to(cr, 149 + std::cos(a) * 16, sunY + std::sin(a) * 16);
        cairo_line_to(cr, 149 + std::cos(a) * 34, sunY + std::sin(a) * 34);
    }
    set_rgb(cr, pal::Gold, 0.45);
    cairo_set_line_width(cr, 2);
    cairo_stroke(cr);
    cairo_arc(cr, 149, sunY, 13, 0, kTau);
    vertical_gradient(cr, sunY - 13, sunY + 13, pal::GoldLight, pal::GoldDark, 0.8);
    cairo_fill(cr);
    Image img = c.image();
    add_grain(img, 3, 42);
    write_tga(ctx.textures("Game_PanelLeft.tga"), img);
}

// Right panel: a frame around the board area with the time bar trough and four bonus wells.
void write_right_panel(const Context& ctx) {
    // The window cuts this picture into 32-pixel tiles and takes at most 256 of them: 502 x 512 is
    // the most it can show. The console below (time bar trough, bonus wells) lives in the country
    // pictures behind the board instead; here only the rims and the console's gold edge.
    Canvas c(502, 512);
    cairo_t* cr = c.cr();
    cairo_rectangle(cr, 0, 494, 502, 6);
    vertical_gradient(cr, 494, 500, pal::GoldLight, pal::GoldDark);
    cairo_fill(cr);
    cairo_rectangle(cr, 0, 0, 6, 494);
    cairo_rectangle(cr, 496, 0, 6, 494);
    cairo_rectangle(cr, 0, 0, 502, 6);
    set_rgb(cr, pal::Gold);
    cairo_fill(cr);
    Image img = c.image();
    write_tga(ctx.textures("Game_PanelRight.tga"), img);
}

void write_game_menu_button(const Context& ctx) {
    Canvas c(128, 128);
    cairo_t* cr = c.cr();
    const uint32_t tops[4] = {0x2A6AA8, 0x4A9AD8, 0x0E3458, 0x4A5058},
                   bottoms[4] = {0x0A2048, 0x16487A, 0x06182C, 0x24282C};
    for (int s = 0; s < 4; ++s) {
        rounded_rect(cr, 3, s * 32 + 3, 122, 26, 11);
        vertical_gradient(cr, s * 32, s * 32 + 32, tops[s], bottoms[s]);
        cairo_fill(cr);
        draw_gold_frame(c, 2, s * 32 + 2, 124, 28, 3, 12);
    }
    write_tga(ctx.textures("Game_MenuButton.tga"), c.image());
}

} // namespace

void write_game_textures(const Context& ctx) {
    write_chips(ctx);
    write_glare_mask(ctx);
    write_fields(ctx);
    write_bonuses(ctx);
    write_hearts(ctx);
    write_time_bar(ctx);
    write_label_panel(ctx);
    write_selection(ctx);
    write_help_pictures(ctx);
    write_cursors(ctx);
    write_blur_pen(ctx);
    write_left_panel(ctx);
    write_right_panel(ctx);
    write_game_menu_button(ctx);
}

// Shared with the help window: one bonus picture and one chip.
Image bonus_picture(int code) {
    Canvas c(40, 40);
    draw_bonus(c.cr(), code, 20, 20);
    return c.image();
}

Image chip_picture(int colour) {
    return draw_chip(colour);
}

} // namespace content
