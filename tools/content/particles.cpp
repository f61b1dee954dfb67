// Particle sprites (Particles.tga with Particles.uv) and the ".prt" effect descriptions.
#include "content.h"
#include "paint.h"

#include <cmath>
#include <sstream>

namespace content {

namespace {

// Sprite cells of the 256 × 256 sheet, 32 × 32 each, in reading order.
enum Sprite { Glow, Spark, Bubble, Smoke, Coin, Flame, Ring, Dot, Star, Shard, Swirl, Drop, SpriteCount };

void draw_sprite(cairo_t* cr, int kind, double cx, double cy) {
    switch (kind) {
    case Glow:
        radial_glow(cr, cx, cy, 15.5, 0xFFFFFF, 1.0);
        break;
    case Spark:
        radial_glow(cr, cx, cy, 9, 0xFFFFFF, 1.0);
        for (int i = 0; i < 4; ++i) {
            const double a = i * M_PI / 2;
            cairo_move_to(cr, cx + std::cos(a) * 15, cy + std::sin(a) * 15);
            cairo_line_to(cr, cx + std::cos(a + 0.5) * 2.5, cy + std::sin(a + 0.5) * 2.5);
            cairo_line_to(cr, cx + std::cos(a - 0.5) * 2.5, cy + std::sin(a - 0.5) * 2.5);
            cairo_close_path(cr);
        }
        set_rgb(cr, 0xFFFFFF, 0.9);
        cairo_fill(cr);
        break;
    case Bubble: {
        cairo_arc(cr, cx, cy, 13, 0, 2 * M_PI);
        cairo_pattern_t* g = cairo_pattern_create_radial(cx, cy, 6, cx, cy, 13.5);
        cairo_pattern_add_color_stop_rgba(g, 0, 1, 1, 1, 0.05);
        cairo_pattern_add_color_stop_rgba(g, 0.8, 1, 1, 1, 0.25);
        cairo_pattern_add_color_stop_rgba(g, 1, 1, 1, 1, 0.9);
        cairo_set_source(cr, g);
        cairo_fill(cr);
        cairo_pattern_destroy(g);
        cairo_arc(cr, cx - 4.5, cy - 4.5, 3.2, 0, 2 * M_PI);
        set_rgb(cr, 0xFFFFFF, 0.95);
        cairo_fill(cr);
        break;
    }
    case Smoke: {
        Rng rng(5);
        for (int i = 0; i < 7; ++i)
            radial_glow(cr, cx + rng.range(-6, 6), cy + rng.range(-6, 6), rng.range(7, 11), 0xFFFFFF, 0.35);
        break;
    }
    case Coin: {
        cairo_arc(cr, cx, cy, 12, 0, 2 * M_PI);
        cairo_pattern_t* g = cairo_pattern_create_radial(cx - 4, cy - 4, 1, cx, cy, 12);
        cairo_pattern_add_color_stop_rgb(g, 0, 1, 0.98, 0.8);
        cairo_pattern_add_color_stop_rgb(g, 0.7, 0.93, 0.72, 0.25);
        cairo_pattern_add_color_stop_rgb(g, 1, 0.55, 0.35, 0.08);
        cairo_set_source(cr, g);
        cairo_fill(cr);
        cairo_pattern_destroy(g);
        cairo_arc(cr, cx, cy, 8, 0, 2 * M_PI);
        set_rgb(cr, pal::GoldDark, 0.6);
        cairo_set_line_width(cr, 1.2);
        cairo_stroke(cr);
        break;
    }
    case Flame: {
        cairo_move_to(cr, cx, cy - 15);
        cairo_curve_to(cr, cx + 10, cy - 4, cx + 11, cy + 8, cx, cy + 14);
        cairo_curve_to(cr, cx - 11, cy + 8, cx - 10, cy - 4, cx, cy - 15);
        cairo_pattern_t* g = cairo_pattern_create_radial(cx, cy + 5, 1, cx, cy + 2, 15);
        cairo_pattern_add_color_stop_rgba(g, 0, 1, 1, 1, 1);
        cairo_pattern_add_color_stop_rgba(g, 0.5, 1, 1, 1, 0.6);
        cairo_pattern_add_color_stop_rgba(g, 1, 1, 1, 1, 0);
        cairo_set_source(cr, g);
        cairo_fill(cr);
        cairo_pattern_destroy(g);
        break;
    }
    case Ring:
        cairo_arc(cr, cx, cy, 12, 0, 2 * M_PI);
        set_rgb(cr, 0xFFFFFF, 0.9);
        cairo_set_line_width(cr, 3);
        cairo_stroke(cr);
        break;
    case Dot:
        radial_glow(cr, cx, cy, 6, 0xFFFFFF, 1.0);
        break;
    case Star:
        for (int i = 0; i < 10; ++i) {
            const double a = i * M_PI / 5 - M_PI / 2, r = i % 2 ? 5.5 : 14;
            if (i == 0)
                cairo_move_to(cr, cx + std::cos(a) * r, cy + std::sin(a) * r);
            else
                cairo_line_to(cr, cx + std::cos(a) * r, cy + std::sin(a) * r);
        }
        cairo_close_path(cr);
        set_rgb(cr, 0xFFFFFF, 1.0);
        cairo_fill(cr);
        radial_glow(cr, cx, cy, 15, 0xFFFFFF, 0.5);
        break;
    case Shard:
        cairo_move_to(cr, cx - 10, cy + 9);
        cairo_line_to(cr, cx + 2, cy - 12);
        cairo_line_to(cr, cx + 11, cy + 6);
        cairo_close_path(cr);
        set_rgb(cr, 0xFFFFFF, 0.95);
        cairo_fill(cr);
        break;
    case Swirl:
        cairo_set_line_width(cr, 2.2);
        for (double t = 0; t < 4 * M_PI; t += 0.2) {
            const double r = 1 + t * 1.05;
            cairo_line_to(cr, cx + std::cos(t) * r, cy + std::sin(t) * r);
        }
        set_rgb(cr, 0xFFFFFF, 0.9);
        cairo_stroke(cr);
        break;
    case Drop:
        cairo_move_to(cr, cx, cy - 13);
        cairo_curve_to(cr, cx + 4, cy - 4, cx + 9, cy + 2, cx + 9, cy + 6);
        cairo_arc(cr, cx, cy + 6, 9, 0, M_PI);
        cairo_curve_to(cr, cx - 9, cy + 2, cx - 4, cy - 4, cx, cy - 13);
        set_rgb(cr, 0xFFFFFF, 0.85);
        cairo_fill(cr);
        break;
    }
}

struct Effect {
    const char* name;
    int queue, blend, uv, count, life;
    double bornRadius, speed, perStep;
    double windS, windA, gravS, gravA;
    const char* colors;
    double size0, size1;
    double spin0, spin1;                     // axis rotation, off when both 0
    double orbit0, orbit1, radius0, radius1; // circling, off when radii 0
};

// Speeds are world units per frame (the screen is 2 units tall), sizes multiply 32 pixels.
const std::vector<Effect>& effects() {
    // clang-format off
    static const std::vector<Effect> list = {
        {"@LitExpl", 3, 1, Spark, 24, 28, 0.02, 0.004, 0, 0, 0, 0.0004, -1.5708, "FFFFF0C0 FFFFC060 C0FF8020 00FF4000", 0.6, 0.2, 0, 6, 0, 0, 0, 0},
        {"@LitExpl2", 3, 1, Star, 36, 40, 0.03, 0.010, 0, 0, 0, 0.0003, -1.5708, "FFFFFFFF FFFFE080 A0FFB040 00FF8000", 0.7, 0.15, 0, 5, 0, 0, 0, 0},
        {"@Fire", 0, 1, Flame, 160, 30, 0.01, 0.0015, 5, 0, 0, 0.0002, 1.5708, "FFFFF0A0 E0FFB040 80E05010 00802000", 0.8, 0.2, 0, 0, 0, 0, 0, 0},
        {"@Fire2", 0, 1, Flame, 160, 30, 0.01, 0.0015, 5, 0, 0, 0.0002, 1.5708, "FFE0FFFF C080D0FF 604080FF 00204080", 0.8, 0.2, 0, 0, 0, 0, 0, 0},
        {"@Fire3", 0, 1, Flame, 230, 36, 0.012, 0.002, 6, 0, 0, 0.0002, 1.5708, "FFFFD0D0 E0FF4040 80A01010 00400000", 0.9, 0.2, 0, 0, 0, 0, 0, 0},
        {"@Fire4", 0, 1, Star, 170, 32, 0.01, 0.0015, 5, 0, 0, 0.0001, 1.5708, "FFFFFFFF E0A0FFF0 8040C0FF 002060FF", 0.6, 0.1, 0, 4, 0, 0, 0, 0},
        {"@Bubbles1", 1, 0, Bubble, 60, 200, 0.03, 0.0004, 0.25, 0.004, 1.5708, 0, 0, "00FFFFFF C0E0FFFF A0E0FFFF 00FFFFFF", 0.25, 0.55, 0, 0, 0, 0, 0, 0},
        {"@Bubbles2", 1, 0, Bubble, 30, 260, 0.04, 0.0003, 0.1, 0.0032, 1.5708, 0, 0, "00FFFFFF B0E0FFFF 90E0FFFF 00FFFFFF", 0.45, 0.8, 0, 0, 0, 0, 0, 0},
        {"@Bubbles3", 1, 0, Bubble, 50, 220, 0.02, 0.0004, 0.2, 0.0036, 1.5708, 0, 0, "00FFFFFF C0E8FFFF A0E8FFFF 00FFFFFF", 0.2, 0.5, 0, 0, 0, 0, 0, 0},
        {"@Bubbles5", 0, 0, Bubble, 48, 70, 0.015, 0.0015, 0.6, 0.004, 1.5708, 0, 0, "C0FFFFFF A0E0FFFF 60E0FFFF 00FFFFFF", 0.25, 0.35, 0, 0, 0, 0, 0, 0},
        {"@Expl_Paint", 3, 1, Swirl, 40, 45, 0.04, 0.006, 0, 0, 0, 0, 0, "FFFFFFFF FFFF80FF C080FFFF 0040C0FF", 0.6, 0.2, 0, 6, 0, 0, 0, 0},
        {"@Expl_Sap", 3, 0, Drop, 30, 45, 0.04, 0.008, 0, 0, 0, 0.0005, -1.5708, "FFC0FF60 E080E030 A040A010 00206000", 0.5, 0.3, 0, 0, 0, 0, 0, 0},
        {"@MoneyExpl", 3, 0, Coin, 30, 60, 0.02, 0.012, 0, 0, 0, 0.0006, -1.5708, "FFFFFFFF FFFFFFFF FFFFFFFF 00FFFFFF", 0.55, 0.45, 0, 8, 0, 0, 0, 0},
        {"@TimeOff", 3, 1, Dot, 60, 50, 0.05, 0.01, 0, 0, 0, 0, 0, "FFFFFFFF E0C0F0FF 8080C0FF 004080FF", 0.5, 0.1, 0, 0, 0, 0, 0, 0},
        {"@ArtMagic", 0, 1, Star, 400, 90, 0.05, 0.001, 4, 0, 0, 0, 0, "00FFFFFF FFFFE8A0 C0FFC040 00FF8000", 0.5, 0.1, 0, 6, 0, 3, 0.04, 0.25},
        {"@LittleExplosion_In", 3, 1, Glow, 20, 26, 0.02, 0.006, 0, 0, 0, 0, 0, "FFFFFFFF C0E0F8FF 6080C0FF 002060C0", 0.6, 0.1, 0, 0, 0, 0, 0, 0},
        {"@LittleExplosion_Yellow", 3, 1, Shard, 18, 32, 0.03, 0.009, 0, 0, 0, 0.0004, -1.5708, "FFFFFFA0 F0FFE040 A0E0A000 00804000", 0.45, 0.2, 0, 7, 0, 0, 0, 0},
        {"@LittleExplosion_Green", 3, 1, Shard, 18, 32, 0.03, 0.009, 0, 0, 0, 0.0004, -1.5708, "FFC0FFA0 F040E040 A020A020 00006000", 0.45, 0.2, 0, 7, 0, 0, 0, 0},
        {"@LittleExplosion_Red", 3, 1, Shard, 18, 32, 0.03, 0.009, 0, 0, 0, 0.0004, -1.5708, "FFFFC0A0 F0FF4040 A0C01010 00600000", 0.45, 0.2, 0, 7, 0, 0, 0, 0},
        {"@LittleExplosion_White", 3, 1, Shard, 18, 32, 0.03, 0.009, 0, 0, 0, 0.0004, -1.5708, "FFFFFFFF F0F0F0FF A0C0D0E0 00808090", 0.45, 0.2, 0, 7, 0, 0, 0, 0},
        {"@LittleExplosion_Purple", 3, 1, Shard, 18, 32, 0.03, 0.009, 0, 0, 0, 0.0004, -1.5708, "FFF0C0FF F0C040F0 A0802090 00400060", 0.45, 0.2, 0, 7, 0, 0, 0, 0},
        {"@LittleExplosion_Blue", 3, 1, Shard, 18, 32, 0.03, 0.009, 0, 0, 0, 0.0004, -1.5708, "FFC0E0FF F04080FF A01040C0 00002080", 0.45, 0.2, 0, 7, 0, 0, 0, 0},
        {"@LittleExplosion_Brown", 3, 0, Shard, 18, 32, 0.03, 0.009, 0, 0, 0, 0.0004, -1.5708, "FFE0B080 F0A06030 C0703810 00402008", 0.45, 0.2, 0, 7, 0, 0, 0, 0},
        {"@LittleExplosion_Turq", 3, 1, Shard, 18, 32, 0.03, 0.009, 0, 0, 0, 0.0004, -1.5708, "FFC0FFFF F040F0E0 A010A0A0 00006060", 0.45, 0.2, 0, 7, 0, 0, 0, 0},
        {"@LittleExplosion_Black", 3, 0, Smoke, 18, 36, 0.03, 0.007, 0, 0, 0, 0.0002, 1.5708, "E0303040 C0202030 80101020 00000000", 0.5, 0.7, 0, 3, 0, 0, 0, 0},
    };
    // clang-format on
    return list;
}

std::string prt_text(const Effect& e) {
    std::ostringstream s;
    s << "; " << e.name << " particle effect\n";
    s << "Queue " << e.queue << "\nBlend " << e.blend << "\nUVIndex " << e.uv << "\nCount " << e.count
      << "\n";
    s << "LifeTime " << e.life << "\nBornRadius " << e.bornRadius << "\nStartSpeed " << e.speed << "\n";
    s << "PartsPerStep " << e.perStep << "\nWind " << e.windS << ' ' << e.windA << "\nGrav " << e.gravS << ' '
      << e.gravA << "\n";
    s << "Colors " << e.colors << "\nSize " << e.size0 << ' ' << e.size1 << " 0\n";
    const bool spin = e.spin0 != 0 || e.spin1 != 0;
    s << "EnableAxisRotate " << (spin ? "true" : "false") << "\nAxisRotate " << e.spin0 << ' ' << e.spin1
      << " 0\n";
    const bool orbit = e.radius0 != 0 || e.radius1 != 0;
    s << "EnableCenterRotate " << (orbit ? "true" : "false") << "\nCenterRotate " << e.orbit0 << ' '
      << e.orbit1 << " 0 " << e.radius0 << ' ' << e.radius1 << "\n";
    return s.str();
}

} // namespace

void write_particles(const Context& ctx) {
    Canvas c(256, 256);
    std::ostringstream uv;
    uv << "; particle sprite cells: x1 y1 x2 y2 in the 256 x 256 sheet\n";
    for (int i = 0; i < SpriteCount; ++i) {
        const int x = (i % 8) * 32, y = (i / 8) * 32;
        cairo_save(c.cr());
        cairo_rectangle(c.cr(), x, y, 32, 32);
        cairo_clip(c.cr());
        draw_sprite(c.cr(), i, x + 16, y + 16);
        cairo_restore(c.cr());
        uv << x << ' ' << y << ' ' << x + 32 << ' ' << y + 32 << "\n";
    }
    write_tga(ctx.textures("Particles.tga"), c.image());
    write_file(ctx.textures("Particles.uv"), uv.str());
    for (const Effect& e : effects())
        write_file(ctx.out / "Particles" / (std::string(e.name) + ".prt"), prt_text(e));
}

} // namespace content
