// Pictures of the history window: its background and frame, the small two-panel pictures (sun,
// lion, horse, the artefacts and the country maps) and the three large scenes.
#include "artefacts.h"
#include "content.h"
#include "fonts.h"
#include "paint.h"

#include <cmath>

namespace content {

namespace {

constexpr double kTau = 2 * M_PI;
constexpr int kSmallW = 288, kSmallH = 192;

void sun(cairo_t* cr, double cx, double cy, double r, double alpha) {
    radial_glow(cr, cx, cy, r * 2.6, 0xFFE8A0, 0.5 * alpha);
    for (int i = 0; i < 16; ++i) {
        const double a = kTau * i / 16;
        cairo_move_to(cr, cx + std::cos(a - 0.08) * r, cy + std::sin(a - 0.08) * r);
        cairo_line_to(cr, cx + std::cos(a) * r * 1.6, cy + std::sin(a) * r * 1.6);
        cairo_line_to(cr, cx + std::cos(a + 0.08) * r, cy + std::sin(a + 0.08) * r);
    }
    set_rgb(cr, pal::Gold, alpha);
    cairo_fill(cr);
    cairo_arc(cr, cx, cy, r, 0, kTau);
    vertical_gradient(cr, cy - r, cy + r, pal::GoldLight, 0xD08A1C, alpha);
    cairo_fill(cr);
}

// White island city with terraces under a golden sky.
void island_city(cairo_t* cr, double w, double h, double scale) {
    const double base = h * 0.72;
    cairo_move_to(cr, w * 0.1, base);
    cairo_curve_to(cr, w * 0.25, base - 60 * scale, w * 0.75, base - 60 * scale, w * 0.9, base);
    cairo_close_path(cr);
    set_rgb(cr, 0x8A7A5A);
    cairo_fill(cr);
    for (int t = 0; t < 4; ++t) {
        const double tw = w * (0.5 - t * 0.1), ty = base - (20 + t * 22) * scale;
        cairo_rectangle(cr, w / 2 - tw / 2, ty, tw, 22 * scale);
        vertical_gradient(cr, ty, ty + 22 * scale, 0xFFFFFF, 0xC8C0B0);
        cairo_fill(cr);
        for (double x = w / 2 - tw / 2 + 6; x < w / 2 + tw / 2 - 4; x += 10 * scale) {
            cairo_rectangle(cr, x, ty + 5 * scale, 3 * scale, 14 * scale);
            set_rgb(cr, 0x8A8478, 0.6);
            cairo_fill(cr);
        }
    }
    // the sun disc of Velmora on its pillar above the temple
    const double top = base - 108 * scale;
    cairo_rectangle(cr, w / 2 - 3 * scale, top + 4 * scale, 6 * scale, 20 * scale);
    set_rgb(cr, 0xE8E0D0);
    cairo_fill(cr);
    sun(cr, w / 2, top - 10 * scale, 14 * scale, 1.0);
    // lighthouse of Oris on the right headland, cypresses on the slopes
    const double lx = w * 0.8, lh = 70 * scale;
    cairo_move_to(cr, lx - 7 * scale, base - 14 * scale);
    cairo_line_to(cr, lx - 4 * scale, base - 14 * scale - lh);
    cairo_line_to(cr, lx + 4 * scale, base - 14 * scale - lh);
    cairo_line_to(cr, lx + 7 * scale, base - 14 * scale);
    cairo_close_path(cr);
    vertical_gradient(cr, base - lh, base, 0xFFFFFF, 0xB8B0A0);
    cairo_fill(cr);
    radial_glow(cr, lx, base - 18 * scale - lh, 14 * scale, 0xFFF4C0, 0.9);
    for (int i = 0; i < 6; ++i) {
        const double tx = w * (0.16 + 0.05 * i + (i > 2 ? 0.42 : 0)), ty = base - (8 + (i % 3) * 6) * scale;
        cairo_save(cr);
        cairo_translate(cr, tx, ty);
        cairo_scale(cr, 3 * scale, 11 * scale);
        cairo_arc(cr, 0, -1, 1, 0, kTau);
        cairo_restore(cr);
        set_rgb(cr, 0x2A4A2A, 0.9);
        cairo_fill(cr);
    }
}

void ship(cairo_t* cr, double x, double y, double s) {
    cairo_move_to(cr, x - 24 * s, y);
    cairo_line_to(cr, x + 24 * s, y);
    cairo_line_to(cr, x + 16 * s, y + 8 * s);
    cairo_line_to(cr, x - 18 * s, y + 8 * s);
    cairo_close_path(cr);
    set_rgb(cr, 0x4A2A14);
    cairo_fill(cr);
    cairo_move_to(cr, x, y);
    cairo_line_to(cr, x, y - 34 * s);
    set_rgb(cr, 0x3A2010);
    cairo_set_line_width(cr, 1.5 * s);
    cairo_stroke(cr);
    cairo_move_to(cr, x - 14 * s, y - 30 * s);
    cairo_curve_to(cr, x - 4 * s, y - 24 * s, x + 4 * s, y - 24 * s, x + 14 * s, y - 30 * s);
    cairo_line_to(cr, x + 14 * s, y - 6 * s);
    cairo_curve_to(cr, x + 4 * s, y - 2 * s, x - 4 * s, y - 2 * s, x - 14 * s, y - 6 * s);
    cairo_close_path(cr);
    vertical_gradient(cr, y - 30 * s, y, 0xF8F0E0, 0xD8C8A8);
    cairo_fill(cr);
}

void sea_surface(cairo_t* cr, double w, double y, double h) {
    cairo_rectangle(cr, 0, y, w, h - y);
    vertical_gradient(cr, y, h, 0x2A7AA8, 0x0A2A4A);
    cairo_fill(cr);
    for (int i = 0; i < 12; ++i) {
        const double yy = y + 6 + i * (h - y) / 12;
        cairo_move_to(cr, 0, yy);
        for (double x = 0; x <= w; x += 6)
            cairo_line_to(cr, x, yy + std::sin(x * 0.08 + i) * 2);
        set_rgb(cr, 0xFFFFFF, 0.12);
        cairo_set_line_width(cr, 1.2);
        cairo_stroke(cr);
    }
}

void sky(cairo_t* cr, double w, double h, uint32_t top, uint32_t bottom) {
    cairo_rectangle(cr, 0, 0, w, h);
    vertical_gradient(cr, 0, h, top, bottom);
    cairo_fill(cr);
}

Image small_sun() {
    Canvas c(kSmallW, kSmallH);
    sky(c.cr(), kSmallW, kSmallH, 0xF8C868, 0xE88848);
    sea_surface(c.cr(), kSmallW, 140, kSmallH);
    island_city(c.cr(), kSmallW, kSmallH, 0.9);
    return c.image();
}

Image small_lion() {
    Canvas c(kSmallW, kSmallH);
    cairo_t* cr = c.cr();
    sky(cr, kSmallW, kSmallH, 0x8AC8E8, 0xF0D8A0);
    sea_surface(cr, kSmallW, 130, kSmallH);
    // bronze lion seated on a pedestal at the harbour mouth, facing the sea
    cairo_rectangle(cr, 100, 120, 100, 40);
    vertical_gradient(cr, 120, 160, 0xE8E0D0, 0x9A9080);
    cairo_fill(cr);
    cairo_rectangle(cr, 94, 114, 112, 8);
    set_rgb(cr, 0xF4EEE0);
    cairo_fill(cr);
    draw_seated_lion(cr, 0xF0B868, 0x6A3A10);
    for (int i = 0; i < 3; ++i) {
        cairo_move_to(cr, 20 + i * 30, 140);
        cairo_line_to(cr, 30 + i * 30, 110);
        cairo_line_to(cr, 40 + i * 30, 140);
        set_rgb(cr, 0xFFFFFF, 0.85);
        cairo_fill(cr);
    }
    return c.image();
}

Image small_horse() {
    Canvas c(kSmallW, kSmallH);
    cairo_t* cr = c.cr();
    // a study desk by lamplight
    cairo_rectangle(cr, 0, 0, kSmallW, kSmallH);
    vertical_gradient(cr, 0, kSmallH, 0x3A2414, 0x1A0E06);
    cairo_fill(cr);
    radial_glow(cr, 200, 40, 160, 0xFFD080, 0.4);
    cairo_rectangle(cr, 0, 140, kSmallW, 52);
    vertical_gradient(cr, 140, kSmallH, 0x6A4020, 0x3A2010);
    cairo_fill(cr);
    cairo_rectangle(cr, 30, 130, 90, 16);
    set_rgb(cr, pal::Parchment);
    cairo_fill(cr);
    // bronze horse
    cairo_move_to(cr, 150, 140);
    cairo_line_to(cr, 156, 100);
    cairo_curve_to(cr, 160, 80, 200, 80, 214, 90);
    cairo_line_to(cr, 232, 60);
    cairo_line_to(cr, 246, 70);
    cairo_line_to(cr, 230, 100);
    cairo_line_to(cr, 226, 140);
    cairo_line_to(cr, 218, 140);
    cairo_line_to(cr, 214, 110);
    cairo_line_to(cr, 170, 110);
    cairo_line_to(cr, 160, 140);
    cairo_close_path(cr);
    vertical_gradient(cr, 60, 140, 0xE8A860, 0x5A2A0A);
    cairo_fill(cr);
    for (double t = 0; t < 2.5 * M_PI; t += 0.7) {
        cairo_arc(cr, 190 + std::cos(t) * t * 2, 98 + std::sin(t) * t * 1.5, 1.2, 0, kTau);
        set_rgb(cr, 0xFFF0C0);
        cairo_fill(cr);
    }
    return c.image();
}

Image framed_artefact(int country) {
    Canvas c(kSmallW, kSmallH);
    cairo_t* cr = c.cr();
    cairo_rectangle(cr, 0, 0, kSmallW, kSmallH);
    vertical_gradient(cr, 0, kSmallH, 0x163E66, 0x050F22);
    cairo_fill(cr);
    radial_glow(cr, kSmallW / 2.0, kSmallH / 2.0, 120, 0x6FD3E0, 0.3);
    c.place(artefact_picture(country), kSmallW / 2.0 - 90, 6, 180 / 256.0, 180 / 256.0);
    return c.image();
}

Image small_map(const Country& country, int number) {
    Canvas c(kSmallW, kSmallH);
    cairo_t* cr = c.cr();
    rounded_rect(cr, 0, 0, kSmallW, kSmallH, 8);
    vertical_gradient(cr, 0, kSmallH, 0xF4E6C0, 0xD0B47E);
    cairo_fill(cr);
    const double sx = double(kSmallW) / kMapW, sy = double(kSmallH) / kMapH;
    Rng rng(uint64_t(number) * 101);
    for (int i = 0; i < 5; ++i) {
        cairo_arc(cr, rng.range(0, kSmallW), rng.range(0, kSmallH), rng.range(25, 55), 0, kTau);
        set_rgb(cr, number >= 7 ? 0x5A9AB0 : 0xC8A868, 0.45);
        cairo_fill(cr);
    }
    for (size_t i = 0; i < country.towns.size(); ++i) {
        const double x = country.towns[i].x * sx, y = country.towns[i].y * sy;
        if (i == 0)
            cairo_move_to(cr, x, y);
        else
            cairo_line_to(cr, x, y);
    }
    set_rgb(cr, 0x7A2A10, 0.8);
    cairo_set_line_width(cr, 1.8);
    cairo_stroke(cr);
    for (const Town& t : country.towns) {
        cairo_arc(cr, t.x * sx, t.y * sy, 3, 0, kTau);
        set_rgb(cr, 0x4A2A10);
        cairo_fill(cr);
    }
    return c.image();
}

Image large_sun() {
    Canvas c(800, 600);
    cairo_t* cr = c.cr();
    sky(cr, 800, 600, 0xF0B860, 0xD86030);
    sea_surface(cr, 800, 430, 600);
    island_city(cr, 800, 600, 2.2);
    // the sun disc's light on the water
    Rng rng(806);
    for (int i = 0; i < 60; ++i) {
        const double y = rng.range(436, 600), half = (y - 420) * 0.35 * rng.uniform();
        cairo_move_to(cr, 400 - half, y);
        cairo_line_to(cr, 400 + half, y);
        set_rgb(cr, 0xFFE8A0, 0.35);
        cairo_set_line_width(cr, 1.5);
        cairo_stroke(cr);
    }
    ship(cr, 140, 470, 1.6);
    ship(cr, 660, 500, 1.2);
    ship(cr, 560, 448, 0.7);
    Image img = c.image();
    add_grain(img, 3, 801);
    return img;
}

Image large_tsunami() {
    Canvas c(800, 600);
    cairo_t* cr = c.cr();
    sky(cr, 800, 600, 0x141824, 0x4A4858);
    radial_glow(cr, 620, 300, 200, 0xFFB070, 0.25);
    sea_surface(cr, 800, 470, 600);
    cairo_save(cr);
    cairo_translate(cr, 220, 20);
    island_city(cr, 800, 600, 1.3);
    cairo_restore(cr);
    // the wave rises from the left and curls over towards the city
    cairo_move_to(cr, 0, 600);
    cairo_line_to(cr, 0, 330);
    cairo_curve_to(cr, 120, 250, 300, 230, 400, 280);
    cairo_curve_to(cr, 450, 305, 440, 350, 400, 345);
    cairo_curve_to(cr, 430, 400, 520, 470, 640, 520);
    cairo_line_to(cr, 800, 560);
    cairo_line_to(cr, 800, 600);
    cairo_close_path(cr);
    cairo_pattern_t* g = cairo_pattern_create_linear(0, 240, 0, 600);
    cairo_pattern_add_color_stop_rgb(g, 0, 0.30, 0.62, 0.72);
    cairo_pattern_add_color_stop_rgb(g, 0.4, 0.10, 0.34, 0.50);
    cairo_pattern_add_color_stop_rgb(g, 1, 0.02, 0.10, 0.20);
    cairo_set_source(cr, g);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
    // streaks inside the wave
    for (int i = 0; i < 9; ++i) {
        cairo_move_to(cr, 0, 360 + i * 26);
        cairo_curve_to(cr, 150, 300 + i * 24, 300, 300 + i * 26, 420 + i * 10, 360 + i * 20);
        set_rgb(cr, 0xCFF4FF, 0.10);
        cairo_set_line_width(cr, 3);
        cairo_stroke(cr);
    }
    // foam along the crest
    Rng rng(802);
    for (int i = 0; i < 260; ++i) {
        const double t = rng.uniform();
        const double x = 60 + t * 380,
                     y = 300 - std::sin(t * M_PI * 0.95) * 55 + (t > 0.85 ? (t - 0.85) * 300 : 0);
        cairo_arc(cr, x + rng.range(-10, 10), y + rng.range(-8, 10), rng.range(1.5, 6), 0, kTau);
        set_rgb(cr, 0xFFFFFF, rng.range(0.4, 0.9));
        cairo_fill(cr);
    }
    Image img = c.image();
    add_grain(img, 4, 803);
    return img;
}

Image large_underwater() {
    Canvas c(800, 600);
    cairo_t* cr = c.cr();
    draw_sea(c, 804, 0.82, true);
    for (int i = 0; i < 7; ++i)
        draw_column(cr, 60 + i * 105, 520, 34, 140 + (i * 47) % 120, 0xC8D8E0, 0.5, i % 3 == 1);
    for (int k = 0; k < 3; ++k) {
        cairo_arc(cr, 200 + k * 200, 500, 70, M_PI, 0);
        set_rgb(cr, 0xB8E0E8, 0.3);
        cairo_fill(cr);
    }
    radial_glow(cr, 400, 420, 150, 0xFFE8A0, 0.45);
    Image img = c.image();
    add_grain(img, 3, 805);
    return img;
}

} // namespace

void write_story_pictures(const Context& ctx, const Campaign& campaign) {
    const auto dir = ctx.textures("History");
    {
        Canvas c(800, 600);
        draw_sea(c, 700, 0.9, true);
        cairo_rectangle(c.cr(), 0, 0, 800, 600);
        set_rgb(c.cr(), 0x000000, 0.25);
        cairo_fill(c.cr());
        draw_gold_frame(c, 6, 6, 788, 588, 6, 18);
        ship_jpeg(ctx, "History/Back.tga", c.image(), false);
    }
    {
        Canvas c(kSmallW + 8, kSmallH + 6);
        cairo_t* cr = c.cr();
        cairo_rectangle(cr, 0, 0, kSmallW + 8, kSmallH + 6);
        cairo_rectangle(cr, 4, 2, kSmallW, kSmallH);
        cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
        vertical_gradient(cr, 0, kSmallH + 6, pal::GoldLight, pal::GoldDark);
        cairo_fill(cr);
        write_tga(dir / "Border.tga", c.image());
    }
    write_tga(dir / "Small_Sun.tga", small_sun());
    write_tga(dir / "Small_Lion.tga", small_lion());
    write_tga(dir / "Small_Horse.tga", small_horse());
    for (size_t i = 0; i < campaign.countries.size(); ++i) {
        const Country& c = campaign.countries[i];
        write_tga(dir / ("Map_" + c.folder + ".tga"), small_map(c, int(i) + 1));
        if (i + 1 < campaign.countries.size())
            write_tga(dir / ("Art_" + c.folder + ".tga"), framed_artefact(int(i) + 1));
    }
    ship_jpeg(ctx, "History/Large_Sun.tga", large_sun(), false);
    ship_jpeg(ctx, "History/Large_Tsunami.tga", large_tsunami(), false);
    ship_jpeg(ctx, "History/Large_Underwater.tga", large_underwater(), false);
}

} // namespace content
