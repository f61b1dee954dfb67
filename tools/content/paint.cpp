#include "paint.h"

#include <algorithm>
#include <cmath>

namespace content {

namespace {
double ch(uint32_t rgb, int shift) {
    return ((rgb >> shift) & 255) / 255.0;
}
} // namespace

void set_rgb(cairo_t* cr, uint32_t rgb, double alpha) {
    cairo_set_source_rgba(cr, ch(rgb, 16), ch(rgb, 8), ch(rgb, 0), alpha);
}

uint32_t mix(uint32_t a, uint32_t b, double t) {
    t = std::clamp(t, 0.0, 1.0);
    uint32_t out = 0;
    for (int s = 0; s <= 16; s += 8) {
        const double v = ((a >> s) & 255) * (1 - t) + ((b >> s) & 255) * t;
        out |= uint32_t(std::lround(v)) << s;
    }
    return out;
}

void rounded_rect(cairo_t* cr, double x, double y, double w, double h, double r) {
    r = std::min({r, w / 2, h / 2});
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - r, y + r, r, -M_PI / 2, 0);
    cairo_arc(cr, x + w - r, y + h - r, r, 0, M_PI / 2);
    cairo_arc(cr, x + r, y + h - r, r, M_PI / 2, M_PI);
    cairo_arc(cr, x + r, y + r, r, M_PI, 1.5 * M_PI);
    cairo_close_path(cr);
}

void vertical_gradient(cairo_t* cr, double y0, double y1, uint32_t top, uint32_t bottom, double alpha) {
    cairo_pattern_t* p = cairo_pattern_create_linear(0, y0, 0, y1);
    cairo_pattern_add_color_stop_rgba(p, 0, ch(top, 16), ch(top, 8), ch(top, 0), alpha);
    cairo_pattern_add_color_stop_rgba(p, 1, ch(bottom, 16), ch(bottom, 8), ch(bottom, 0), alpha);
    cairo_set_source(cr, p);
    cairo_pattern_destroy(p);
}

void radial_glow(cairo_t* cr, double cx, double cy, double r, uint32_t rgb, double alpha) {
    cairo_pattern_t* p = cairo_pattern_create_radial(cx, cy, 0, cx, cy, r);
    cairo_pattern_add_color_stop_rgba(p, 0, ch(rgb, 16), ch(rgb, 8), ch(rgb, 0), alpha);
    cairo_pattern_add_color_stop_rgba(p, 0.45, ch(rgb, 16), ch(rgb, 8), ch(rgb, 0), alpha * 0.35);
    cairo_pattern_add_color_stop_rgba(p, 1, ch(rgb, 16), ch(rgb, 8), ch(rgb, 0), 0);
    cairo_set_source(cr, p);
    cairo_arc(cr, cx, cy, r, 0, 2 * M_PI);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
}

void draw_gold_frame(Canvas& c, double x, double y, double w, double h, double width, double radius) {
    cairo_t* cr = c.cr();
    cairo_save(cr);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    // dark outer edge, gold body, bright inner highlight: reads as a raised metal rim
    rounded_rect(cr, x + width / 2, y + width / 2, w - width, h - width, radius);
    set_rgb(cr, pal::GoldDark);
    cairo_set_line_width(cr, width);
    cairo_stroke_preserve(cr);
    vertical_gradient(cr, y, y + h, pal::GoldLight, pal::Gold);
    cairo_set_line_width(cr, width * 0.6);
    cairo_stroke(cr);
    rounded_rect(cr, x + width * 0.35, y + width * 0.35, w - width * 0.7, h - width * 0.7, radius);
    set_rgb(cr, 0xFFF6D8, 0.55);
    cairo_set_line_width(cr, std::max(1.0, width * 0.12));
    cairo_stroke(cr);
    cairo_restore(cr);
}

void draw_meander(cairo_t* cr, double x, double y, double w, double h, uint32_t rgb, double alpha) {
    cairo_save(cr);
    cairo_rectangle(cr, x, y, w, h);
    cairo_clip(cr);
    set_rgb(cr, rgb, alpha);
    cairo_set_line_width(cr, std::max(1.0, h / 8));
    const double u = h / 4;
    for (double px = x; px < x + w; px += 4 * u) {
        cairo_move_to(cr, px, y + 3.5 * u);
        cairo_line_to(cr, px, y + 0.5 * u);
        cairo_line_to(cr, px + 3 * u, y + 0.5 * u);
        cairo_line_to(cr, px + 3 * u, y + 2.5 * u);
        cairo_line_to(cr, px + 1 * u, y + 2.5 * u);
        cairo_line_to(cr, px + 1 * u, y + 1.5 * u);
        cairo_line_to(cr, px + 2 * u, y + 1.5 * u);
        cairo_move_to(cr, px, y + 3.5 * u);
        cairo_line_to(cr, px + 4 * u, y + 3.5 * u);
    }
    cairo_stroke(cr);
    cairo_restore(cr);
}

void draw_panel(Canvas& c, double x, double y, double w, double h, double radius) {
    cairo_t* cr = c.cr();
    cairo_save(cr);
    // drop shadow
    rounded_rect(cr, x + 4, y + 6, w - 4, h - 4, radius);
    set_rgb(cr, 0x000000, 0.35);
    cairo_fill(cr);
    // body: deep water fading to night blue, with a soft light from the top
    rounded_rect(cr, x + 3, y + 3, w - 6, h - 6, radius);
    vertical_gradient(cr, y, y + h, 0x1A4D7E, 0x081A36, 0.96);
    cairo_fill_preserve(cr);
    cairo_clip(cr);
    radial_glow(cr, x + w / 2, y, w * 0.7, 0x7FD8E6, 0.22);
    for (int i = 0; i < 6; ++i) {
        const double yy = y + h * (0.15 + 0.14 * i);
        cairo_move_to(cr, x, yy);
        for (double xx = x; xx <= x + w; xx += 8)
            cairo_line_to(cr, xx, yy + std::sin((xx - x) * 0.035 + i) * 3);
        set_rgb(cr, pal::Aqua, 0.035);
        cairo_set_line_width(cr, 2);
        cairo_stroke(cr);
    }
    cairo_reset_clip(cr);
    // inner meander bands under the top and above the bottom rim
    if (w > 120 && h > 90) {
        draw_meander(cr, x + 22, y + 12, w - 44, 9, pal::Gold, 0.35);
        draw_meander(cr, x + 22, y + h - 21, w - 44, 9, pal::Gold, 0.35);
    }
    cairo_restore(cr);
    draw_gold_frame(c, x, y, w, h, std::clamp(std::min(w, h) / 22, 4.0, 9.0), radius);
    // corner rosettes
    const double rr = std::clamp(std::min(w, h) / 16, 4.0, 9.0);
    const double pts[4][2] = {{x + rr + 2, y + rr + 2},
                              {x + w - rr - 2, y + rr + 2},
                              {x + rr + 2, y + h - rr - 2},
                              {x + w - rr - 2, y + h - rr - 2}};
    for (auto& p : pts) {
        cairo_arc(cr, p[0], p[1], rr, 0, 2 * M_PI);
        cairo_pattern_t* g = cairo_pattern_create_radial(p[0] - rr / 3, p[1] - rr / 3, 0, p[0], p[1], rr);
        cairo_pattern_add_color_stop_rgb(g, 0, 1, 0.97, 0.8);
        cairo_pattern_add_color_stop_rgb(g, 0.6, ch(pal::Gold, 16), ch(pal::Gold, 8), ch(pal::Gold, 0));
        cairo_pattern_add_color_stop_rgb(g, 1, ch(pal::GoldDark, 16), ch(pal::GoldDark, 8),
                                         ch(pal::GoldDark, 0));
        cairo_set_source(cr, g);
        cairo_fill(cr);
        cairo_pattern_destroy(g);
    }
}

void draw_caustics(cairo_t* cr, double x, double y, double w, double h, double phase, double alpha,
                   uint64_t seed) {
    Rng rng(seed);
    cairo_save(cr);
    cairo_rectangle(cr, x, y, w, h);
    cairo_clip(cr);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    const int cells = std::max(3, int(w / 22));
    for (int i = 0; i < cells * cells / 2; ++i) {
        const double cx = x + rng.uniform() * w, cy = y + rng.uniform() * h;
        const double r = 6 + rng.uniform() * 12;
        const double a0 = rng.uniform() * 2 * M_PI + phase;
        cairo_arc(cr, cx, cy, r, a0, a0 + 1.2 + rng.uniform() * 1.5);
        set_rgb(cr, 0xE8FFFF, alpha * (0.4 + 0.6 * rng.uniform()));
        cairo_set_line_width(cr, 1.2 + rng.uniform() * 1.8);
        cairo_stroke(cr);
    }
    cairo_restore(cr);
}

void draw_sand_floor(Canvas& c, double y, uint64_t seed) {
    cairo_t* cr = c.cr();
    const double w = c.width(), h = c.height();
    Rng rng(seed);
    cairo_move_to(cr, 0, y);
    for (double x = 0; x <= w; x += 10)
        cairo_line_to(cr, x, y + std::sin(x * 0.012 + seed) * 10 + std::sin(x * 0.05) * 3);
    cairo_line_to(cr, w, h);
    cairo_line_to(cr, 0, h);
    cairo_close_path(cr);
    vertical_gradient(cr, y - 10, h, 0x8C7A56, 0x4A3C28);
    cairo_fill(cr);
    for (int i = 0; i < 40; ++i) {
        const double yy = y + 8 + rng.uniform() * (h - y);
        const double xx = rng.uniform() * w;
        cairo_move_to(cr, xx - 30, yy);
        cairo_curve_to(cr, xx - 10, yy - 4, xx + 10, yy - 4, xx + 30, yy);
        set_rgb(cr, 0xE6D2A0, 0.18);
        cairo_set_line_width(cr, 1.5);
        cairo_stroke(cr);
    }
    for (int i = 0; i < 60; ++i) {
        cairo_arc(cr, rng.uniform() * w, y + 10 + rng.uniform() * (h - y), 1 + rng.uniform() * 2.5, 0,
                  2 * M_PI);
        set_rgb(cr, rng.uniform() < 0.5 ? 0x3A2E1E : 0xF0E0B0, 0.35);
        cairo_fill(cr);
    }
}

void draw_sea(Canvas& c, uint64_t seed, double sandLine, bool shafts) {
    cairo_t* cr = c.cr();
    const double w = c.width(), h = c.height();
    cairo_pattern_t* p = cairo_pattern_create_linear(0, 0, 0, h);
    cairo_pattern_add_color_stop_rgb(p, 0, 0.16, 0.50, 0.66);
    cairo_pattern_add_color_stop_rgb(p, 0.35, 0.07, 0.30, 0.50);
    cairo_pattern_add_color_stop_rgb(p, 1, 0.02, 0.08, 0.20);
    cairo_set_source(cr, p);
    cairo_paint(cr);
    cairo_pattern_destroy(p);
    Rng rng(seed);
    if (shafts) {
        for (int i = 0; i < 7; ++i) {
            const double x0 = w * (0.05 + 0.15 * i + 0.05 * rng.uniform());
            const double spread = 30 + 50 * rng.uniform();
            cairo_move_to(cr, x0 - spread * 0.3, 0);
            cairo_line_to(cr, x0 + spread * 0.3, 0);
            cairo_line_to(cr, x0 + spread + h * 0.25, h * sandLine);
            cairo_line_to(cr, x0 - spread + h * 0.25, h * sandLine);
            cairo_close_path(cr);
            cairo_pattern_t* g = cairo_pattern_create_linear(0, 0, 0, h * sandLine);
            cairo_pattern_add_color_stop_rgba(g, 0, 0.85, 1, 1, 0.16);
            cairo_pattern_add_color_stop_rgba(g, 1, 0.85, 1, 1, 0);
            cairo_set_source(cr, g);
            cairo_fill(cr);
            cairo_pattern_destroy(g);
        }
    }
    draw_caustics(cr, 0, 0, w, h * 0.2, 0, 0.04, seed + 7);
    if (sandLine < 1) draw_sand_floor(c, h * sandLine, seed + 3);
    for (int i = 0; i < 90; ++i) {
        cairo_arc(cr, rng.uniform() * w, rng.uniform() * h * sandLine, 0.6 + rng.uniform() * 1.4, 0,
                  2 * M_PI);
        set_rgb(cr, pal::Foam, 0.10 + 0.2 * rng.uniform());
        cairo_fill(cr);
    }
}

void draw_column(cairo_t* cr, double x, double base, double w, double h, uint32_t rgb, double alpha,
                 bool broken) {
    cairo_save(cr);
    const double top = base - h;
    cairo_pattern_t* g = cairo_pattern_create_linear(x, 0, x + w, 0);
    cairo_pattern_add_color_stop_rgba(g, 0, ch(rgb, 16) * 0.55, ch(rgb, 8) * 0.55, ch(rgb, 0) * 0.55, alpha);
    cairo_pattern_add_color_stop_rgba(g, 0.4, ch(rgb, 16), ch(rgb, 8), ch(rgb, 0), alpha);
    cairo_pattern_add_color_stop_rgba(g, 1, ch(rgb, 16) * 0.45, ch(rgb, 8) * 0.45, ch(rgb, 0) * 0.45, alpha);
    cairo_set_source(cr, g);
    cairo_rectangle(cr, x - w * 0.15, base - w * 0.25, w * 1.3, w * 0.25);
    cairo_fill(cr);
    cairo_set_source(cr, g);
    cairo_move_to(cr, x, base - w * 0.25);
    if (broken) {
        cairo_line_to(cr, x, top + w * 0.4);
        cairo_line_to(cr, x + w * 0.3, top);
        cairo_line_to(cr, x + w * 0.55, top + w * 0.35);
        cairo_line_to(cr, x + w * 0.8, top + w * 0.1);
        cairo_line_to(cr, x + w, top + w * 0.5);
    } else {
        cairo_line_to(cr, x, top + w * 0.3);
        cairo_line_to(cr, x + w, top + w * 0.3);
    }
    cairo_line_to(cr, x + w, base - w * 0.25);
    cairo_close_path(cr);
    cairo_fill(cr);
    if (!broken) {
        cairo_set_source(cr, g);
        cairo_rectangle(cr, x - w * 0.2, top, w * 1.4, w * 0.3);
        cairo_fill(cr);
    }
    // flutes
    for (int i = 1; i < 4; ++i) {
        cairo_move_to(cr, x + w * i / 4.0, base - w * 0.3);
        cairo_line_to(cr, x + w * i / 4.0, top + w * (broken ? 0.6 : 0.35));
    }
    set_rgb(cr, 0x000000, alpha * 0.25);
    cairo_set_line_width(cr, std::max(1.0, w / 14));
    cairo_stroke(cr);
    cairo_pattern_destroy(g);
    cairo_restore(cr);
}

void draw_seaweed(cairo_t* cr, double x, double base, double h, double sway, uint32_t rgb, double alpha) {
    cairo_save(cr);
    cairo_move_to(cr, x - 4, base);
    cairo_curve_to(cr, x - 10 + sway, base - h * 0.35, x + 10 - sway, base - h * 0.7, x + sway, base - h);
    cairo_curve_to(cr, x + 12 - sway, base - h * 0.7, x + 2 + sway, base - h * 0.35, x + 5, base);
    cairo_close_path(cr);
    set_rgb(cr, rgb, alpha);
    cairo_fill(cr);
    cairo_restore(cr);
}

void add_grain(Image& img, double amount, uint64_t seed) {
    Rng rng(seed);
    for (uint32_t& p : img.pixels) {
        const int d = int(std::lround((rng.uniform() - 0.5) * 2 * amount));
        uint32_t out = p & 0xFF000000u;
        for (int s = 0; s <= 16; s += 8)
            out |= uint32_t(std::clamp(int((p >> s) & 255) + d, 0, 255)) << s;
        p = out;
    }
}

void scale_alpha(Image& img, double factor) {
    for (uint32_t& p : img.pixels) {
        const uint32_t a = uint32_t(std::clamp(std::lround((p >> 24) * factor), 0l, 255l));
        p = (p & 0xFFFFFFu) | (a << 24);
    }
}

void draw_seated_lion(cairo_t* cr, uint32_t light, uint32_t dark) {
    cairo_save(cr);
    cairo_new_path(cr);
    cairo_move_to(cr, 186, 114);
    cairo_curve_to(cr, 200, 100, 196, 76, 176, 72); // haunch
    cairo_curve_to(cr, 160, 66, 146, 64, 136, 58);  // back
    cairo_line_to(cr, 140, 114);                    // chest down to the front paws
    cairo_close_path(cr);
    cairo_new_sub_path(cr);
    cairo_rectangle(cr, 120, 70, 11, 44); // front legs
    cairo_rectangle(cr, 133, 72, 10, 42);
    cairo_new_sub_path(cr);
    for (int i = 0; i < 18; ++i) { // mane
        const double a = 2 * M_PI * i / 18, r = i % 2 ? 20 : 25;
        cairo_line_to(cr, 128 + std::cos(a) * r, 50 + std::sin(a) * r);
    }
    cairo_close_path(cr);
    vertical_gradient(cr, 24, 114, light, dark);
    cairo_fill(cr);
    cairo_arc(cr, 120, 52, 12, 0, 2 * M_PI); // face
    vertical_gradient(cr, 40, 64, mix(light, 0xFFFFFF, 0.3), mix(dark, light, 0.4));
    cairo_fill(cr);
    cairo_arc(cr, 115, 49, 2, 0, 2 * M_PI);
    set_rgb(cr, 0x2A1404);
    cairo_fill(cr);
    cairo_move_to(cr, 192, 108); // tail
    cairo_curve_to(cr, 214, 100, 206, 80, 216, 70);
    set_rgb(cr, mix(dark, light, 0.2));
    cairo_set_line_width(cr, 3);
    cairo_stroke(cr);
    cairo_arc(cr, 216, 69, 4, 0, 2 * M_PI);
    cairo_fill(cr);
    cairo_restore(cr);
}

void draw_game_console(Canvas& c, double screenX) {
    cairo_t* cr = c.cr();
    cairo_save(cr);
    cairo_translate(cr, -screenX, 0);
    cairo_rectangle(cr, screenX, 494, 800 - screenX, 106);
    vertical_gradient(cr, 494, 600, 0x163E66, 0x050F22);
    cairo_fill(cr);
    cairo_rectangle(cr, screenX, 494, 800 - screenX, 6);
    vertical_gradient(cr, 494, 500, pal::GoldLight, pal::GoldDark);
    cairo_fill(cr);
    rounded_rect(cr, 338 - 3, 504 - 3, 426, 18, 8);
    set_rgb(cr, 0x02060E, 0.9);
    cairo_fill(cr);
    cairo_restore(cr);
    draw_gold_frame(c, 338 - screenX - 4, 504 - 4, 428, 20, 2, 9);
    for (int x : {380, 486, 593, 684}) {
        const double lx = x - screenX;
        rounded_rect(cr, lx - 2, 534, 45, 45, 10);
        vertical_gradient(cr, 534, 579, 0x02060E, 0x0C2440, 0.95);
        cairo_fill(cr);
        draw_gold_frame(c, lx - 3, 533, 47, 47, 3, 10);
    }
}

} // namespace content
