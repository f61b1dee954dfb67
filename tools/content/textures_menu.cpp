// Pictures of the menus and windows: buttons, panels, controls, the underwater menu scene with its
// fish and sand light, campaign maps and borders, the logo, the resource creator and help pictures.
#include "artefacts.h"
#include "content.h"
#include "fonts.h"
#include "paint.h"

#include <algorithm>
#include <cmath>
#include <sstream>

namespace content {

namespace {

constexpr double kTau = 2 * M_PI;

} // namespace

// Opaque pictures ship as JPEG (and a greyscale "_Alpha" JPEG when they have transparency); the
// resource creator turns them into TGA textures at the first run.
std::vector<std::string>& jpeg_list() {
    static std::vector<std::string> list;
    return list;
}

void ship_jpeg(const Context& ctx, const std::string& rel, const Image& img, bool alpha) {
    // a texture made from an older JPEG at a previous run would hide the new picture
    std::error_code ec;
    std::filesystem::remove(ctx.textures(rel), ec);
    std::filesystem::remove(ctx.textures(rel.substr(0, rel.size() - 4) + "_Alpha.tga"), ec);
    const std::string base = rel.substr(0, rel.size() - 4);
    write_jpeg(ctx.textures(base + ".jpg"), img);
    if (alpha) write_alpha_jpeg(ctx.textures(base + "_Alpha.jpg"), img);
    std::string win = base + ".jpg";
    for (char& ch : win)
        if (ch == '/') ch = '\\';
    jpeg_list().push_back(win);
}

namespace {

// Menu buttons: four frames stacked (normal, active, pressed, disabled), 256 × 64 each.
void write_button(const Context& ctx, const std::string& name, int icon) {
    Canvas c(256, 256);
    cairo_t* cr = c.cr();
    const uint32_t tops[4] = {0x2A6AA8, 0x3A90D0, 0x0E3458, 0x4A5058},
                   bottoms[4] = {0x0A2048, 0x14507E, 0x06182C, 0x24282C};
    for (int s = 0; s < 4; ++s) {
        const double y = s * 64;
        rounded_rect(cr, 6, y + 8, 244, 50, 24);
        set_rgb(cr, 0x000000, 0.35);
        cairo_fill(cr);
        rounded_rect(cr, 4, y + 5, 246, 50, 24);
        vertical_gradient(cr, y + 5, y + 55, tops[s], bottoms[s]);
        cairo_fill(cr);
        if (s == 1) radial_glow(cr, 128, y + 30, 110, 0x9FE8FF, 0.25);
        draw_gold_frame(c, 4, y + 5 + (s == 2 ? 1 : 0), 246, 50, 4, 24);
        // icon medallion at the left end
        if (icon > 0) {
            cairo_arc(cr, 30, y + 30, 17, 0, kTau);
            vertical_gradient(cr, y + 13, y + 47, pal::GoldLight, pal::GoldDark);
            cairo_fill(cr);
            cairo_arc(cr, 30, y + 30, 13, 0, kTau);
            vertical_gradient(cr, y + 17, y + 43, 0x1A4C80, 0x081A34);
            cairo_fill(cr);
            cairo_save(cr);
            cairo_translate(cr, 30, y + 30);
            set_rgb(cr, s == 3 ? 0x9098A0 : pal::GoldLight);
            cairo_set_line_width(cr, 2);
            switch (icon) {
            case 1: // trident
                cairo_move_to(cr, 0, 9);
                cairo_line_to(cr, 0, -8);
                cairo_move_to(cr, -6, -8);
                cairo_curve_to(cr, -6, -1, 6, -1, 6, -8);
                break;
            case 2: // gear
                cairo_arc(cr, 0, 0, 5, 0, kTau);
                for (int i = 0; i < 8; ++i) {
                    cairo_move_to(cr, std::cos(kTau * i / 8) * 6, std::sin(kTau * i / 8) * 6);
                    cairo_line_to(cr, std::cos(kTau * i / 8) * 9, std::sin(kTau * i / 8) * 9);
                }
                break;
            case 3: // laurel
                cairo_arc(cr, 0, 0, 7, 0.6, M_PI - 0.6);
                cairo_move_to(cr, -7, -2);
                cairo_line_to(cr, -3, 0);
                cairo_move_to(cr, 7, -2);
                cairo_line_to(cr, 3, 0);
                break;
            case 4: // scroll
                cairo_rectangle(cr, -6, -7, 12, 14);
                cairo_move_to(cr, -3, -3);
                cairo_line_to(cr, 3, -3);
                cairo_move_to(cr, -3, 1);
                cairo_line_to(cr, 3, 1);
                break;
            default: // door with arrow
                cairo_rectangle(cr, -6, -8, 9, 16);
                cairo_move_to(cr, 0, 0);
                cairo_line_to(cr, 9, 0);
                cairo_move_to(cr, 6, -3);
                cairo_line_to(cr, 9, 0);
                cairo_line_to(cr, 6, 3);
            }
            cairo_stroke(cr);
            cairo_restore(cr);
        }
    }
    write_tga(ctx.textures(name), c.image());
}

void write_panel(const Context& ctx, const std::string& name, int w, int h, bool opaque) {
    Canvas c(w, h);
    if (opaque) {
        draw_sea(c, uint64_t(w * 7 + h), 0.9, true);
        draw_panel(c, 10, 10, w - 20, h - 20, 22);
    } else {
        draw_panel(c, 0, 0, w, h, std::min(w, h) / 12.0);
    }
    Image img = c.image();
    add_grain(img, 2, uint64_t(w + h));
    if (opaque) {
        ship_jpeg(ctx, name, img, false);
    } else {
        write_tga(ctx.textures(name), img);
    }
}

void write_controls(const Context& ctx) {
    {
        Canvas c(24, 32); // track bar knob
        rounded_rect(c.cr(), 3, 2, 18, 28, 8);
        vertical_gradient(c.cr(), 2, 30, pal::GoldLight, pal::GoldDark);
        cairo_fill_preserve(c.cr());
        set_rgb(c.cr(), 0x2A1604);
        cairo_set_line_width(c.cr(), 1.5);
        cairo_stroke(c.cr());
        write_tga(ctx.textures("Options_MusicMark.tga"), c.image());
    }
    {
        Canvas c(256, 24); // track
        rounded_rect(c.cr(), 2, 6, 252, 12, 6);
        vertical_gradient(c.cr(), 6, 18, 0x02060E, 0x16385C);
        cairo_fill(c.cr());
        draw_gold_frame(c, 1, 5, 254, 14, 2, 7);
        write_tga(ctx.textures("Options_MusicTrack.tga"), c.image());
    }
    {
        Canvas c(32, 32); // check mark
        cairo_t* cr = c.cr();
        cairo_move_to(cr, 5, 17);
        cairo_line_to(cr, 13, 26);
        cairo_line_to(cr, 28, 5);
        set_rgb(cr, 0x2A1604);
        cairo_set_line_width(cr, 7);
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
        cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
        cairo_stroke_preserve(cr);
        set_rgb(cr, pal::GoldLight);
        cairo_set_line_width(cr, 4);
        cairo_stroke(cr);
        write_tga(ctx.textures("Options_Mark.tga"), c.image());
    }
    {
        Canvas c(4, 24); // text caret
        cairo_rectangle(c.cr(), 0, 0, 4, 24);
        vertical_gradient(c.cr(), 0, 24, 0xFFFFFF, pal::Aqua);
        cairo_fill(c.cr());
        write_tga(ctx.textures("YourName_Cursor.tga"), c.image());
    }
    {
        Canvas c(232, 26); // selected row of the player list
        rounded_rect(c.cr(), 1, 1, 230, 24, 10);
        vertical_gradient(c.cr(), 0, 26, 0x5AC8E0, 0x14507E, 0.55);
        cairo_fill_preserve(c.cr());
        set_rgb(c.cr(), pal::GoldLight, 0.9);
        cairo_set_line_width(c.cr(), 1.5);
        cairo_stroke(c.cr());
        write_tga(ctx.textures("Player_Marker.tga"), c.image());
    }
    const uint32_t markColours[3] = {0x40C060, 0xFFD040, 0x8090A0};
    const char* markNames[3] = {"Map_Mark_Done.tga", "Map_Mark_Current.tga", "Map_Mark_Virgin.tga"};
    for (int k = 0; k < 3; ++k) {
        Canvas c(32, 32);
        cairo_t* cr = c.cr();
        if (k == 1) radial_glow(cr, 16, 16, 16, 0xFFF0A0, 0.9);
        cairo_arc(cr, 16, 16, 9, 0, kTau);
        vertical_gradient(cr, 7, 25, mix(markColours[k], 0xFFFFFF, 0.5), mix(markColours[k], 0x000000, 0.4));
        cairo_fill_preserve(cr);
        set_rgb(cr, 0x1A1208);
        cairo_set_line_width(cr, 2);
        cairo_stroke(cr);
        if (k == 0) {
            cairo_move_to(cr, 11, 16);
            cairo_line_to(cr, 15, 20);
            cairo_line_to(cr, 21, 11);
            set_rgb(cr, 0xFFFFFF);
            cairo_stroke(cr);
        }
        write_tga(ctx.textures(markNames[k]), c.image());
    }
}

// Scroll bar atlas: up arrow, down arrow and thumb, each normal / hover / pressed.
void write_artefact_controls(const Context& ctx) {
    Canvas c(128, 128);
    cairo_t* cr = c.cr();
    std::ostringstream d;
    d << "; scroll bar of the artefacts window: pieces 1-3 up arrow, 4-6 down arrow, 7-9 thumb\n[Head]\n128 "
         "128\n[Body]\n";
    const uint32_t fills[3] = {0x1A4C80, 0x3A90D0, 0x0A2040};
    for (int part = 0; part < 3; ++part)
        for (int s = 0; s < 3; ++s) {
            const double x = s * 32, y = part * 32;
            rounded_rect(cr, x + 2, y + 2, 28, 28, 8);
            vertical_gradient(cr, y, y + 32, mix(fills[s], 0xFFFFFF, 0.2), fills[s]);
            cairo_fill(cr);
            draw_gold_frame(c, x + 1, y + 1, 30, 30, 2.5, 8);
            set_rgb(cr, pal::GoldLight);
            if (part < 2) {
                const double dir = part == 0 ? -1 : 1;
                cairo_move_to(cr, x + 9, y + 16 - dir * 5);
                cairo_line_to(cr, x + 23, y + 16 - dir * 5);
                cairo_line_to(cr, x + 16, y + 16 + dir * 6);
                cairo_close_path(cr);
                cairo_fill(cr);
            } else {
                for (int k = 0; k < 3; ++k)
                    cairo_rectangle(cr, x + 9, y + 11 + k * 4, 14, 2);
                cairo_fill(cr);
            }
            // screen place: right edge of the window, track from y 110 to 490
            const int sx = 752, sy = part == 0 ? 110 : part == 1 ? 458 : 270;
            d << int(x) << ' ' << int(y) << " 32 32 " << sx << ' ' << sy << "\n";
        }
    write_tga(ctx.textures("Artefacts_Controls.tga"), c.image());
    write_file(ctx.textures("Artefacts_Controls.dscr"), d.str());
}

// ------------------------------------------------------------------------------------------
// Menu background

Image fish_frame(int kind, double phase) {
    Canvas c(64, 32);
    cairo_t* cr = c.cr();
    const uint32_t bodies[6] = {0xF0A030, 0x60C0F0, 0xE8E0C8, 0xF06080, 0xA0E070, 0xC090F0};
    const double len[6] = {40, 44, 50, 36, 46, 42};
    const double l = len[kind], h = kind == 2 ? 10 : kind == 3 ? 16 : 13;
    const double cx = 34, cy = 16, tail = std::sin(phase) * 5;
    cairo_move_to(cr, cx + l / 2, cy);
    cairo_curve_to(cr, cx + l / 4, cy - h, cx - l / 4, cy - h, cx - l / 2 + 6, cy + tail * 0.2);
    cairo_line_to(cr, cx - l / 2 - 6, cy - 8 + tail);
    cairo_line_to(cr, cx - l / 2 - 4, cy + tail * 0.5);
    cairo_line_to(cr, cx - l / 2 - 6, cy + 8 + tail);
    cairo_line_to(cr, cx - l / 2 + 6, cy + tail * 0.2);
    cairo_curve_to(cr, cx - l / 4, cy + h, cx + l / 4, cy + h, cx + l / 2, cy);
    cairo_close_path(cr);
    vertical_gradient(cr, cy - h, cy + h, mix(bodies[kind], 0xFFFFFF, 0.4),
                      mix(bodies[kind], 0x000000, 0.45));
    cairo_fill_preserve(cr);
    set_rgb(cr, 0x000000, 0.4);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    if (kind % 2 == 0) {
        for (int k = 0; k < 2; ++k) {
            cairo_move_to(cr, cx - 2 + k * 9, cy - h * 0.7);
            cairo_line_to(cr, cx - 4 + k * 9, cy + h * 0.7);
        }
        set_rgb(cr, 0x000000, 0.35);
        cairo_set_line_width(cr, 2.5);
        cairo_stroke(cr);
    }
    cairo_arc(cr, cx + l / 2 - 7, cy - 2, 2.2, 0, kTau);
    set_rgb(cr, 0x000000);
    cairo_fill(cr);
    return c.image();
}

void write_fishes(const Context& ctx) {
    for (int sheet = 0; sheet < 3; ++sheet) {
        Image img(256, 256);
        for (int i = 0; i < 32; ++i) {
            const int kind = sheet * 2 + i / 16;
            const Image f = fish_frame(kind, (i % 16) * kTau / 16);
            const int x0 = (i / 8) * 64, y0 = (i % 8) * 32;
            for (int y = 0; y < 32; ++y)
                for (int x = 0; x < 64; ++x)
                    img.at(x0 + x, y0 + y) = f.at(x, y);
        }
        write_tga(ctx.textures("MenuBack/Fishes" + std::to_string(sheet + 1) + ".tga"), img);
    }
}

void write_sand_light(const Context& ctx) {
    Image sheet(256, 256);
    for (int f = 0; f < 16; ++f) {
        Canvas c(64, 64);
        draw_caustics(c.cr(), 0, 0, 64, 64, f * 0.4, 0.8, 900);
        Image img = c.image();
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 64; ++x) {
                const double edge = std::clamp(1.0 - std::hypot(x - 31.5, y - 31.5) / 32.0, 0.0, 1.0);
                uint32_t p = img.at(x, y);
                p = (uint32_t(std::lround((p >> 24) * edge)) << 24) | (p & 0xFFFFFF);
                sheet.at((f % 4) * 64 + x, (f / 4) * 64 + y) = p;
            }
    }
    write_tga(ctx.textures("MenuBack/SandLight.tga"), sheet);
}

// The lion's plinth: a moulded cap, a carved meander band and a body sinking into a sand drift,
// so that the part below the menu panel reads as masonry rather than a grey box.
void draw_plinth(cairo_t* cr) {
    cairo_rectangle(cr, 16, 198, 188, 62);
    vertical_gradient(cr, 198, 260, 0x8A8474, 0x34302A);
    cairo_fill(cr);
    cairo_rectangle(cr, 6, 186, 208, 13);
    vertical_gradient(cr, 186, 199, 0xC4BCA8, 0x6E685A);
    cairo_fill(cr);
    cairo_rectangle(cr, 6, 198, 208, 2);
    set_rgb(cr, 0x26221C, 0.7);
    cairo_fill(cr);
    draw_meander(cr, 22, 206, 176, 14, pal::GoldDark, 0.75);
    for (double x : {60.0, 118.0, 171.0}) { // joints between the blocks
        cairo_move_to(cr, x, 224);
        cairo_line_to(cr, x + 1, 260);
        set_rgb(cr, 0x1E1A16, 0.55);
        cairo_set_line_width(cr, 1.5);
        cairo_stroke(cr);
    }
    cairo_move_to(cr, -4, 260);
    cairo_curve_to(cr, 40, 236, 80, 246, 110, 244);
    cairo_curve_to(cr, 150, 242, 186, 232, 224, 252);
    cairo_line_to(cr, 224, 260);
    cairo_close_path(cr);
    vertical_gradient(cr, 234, 260, pal::Sand, pal::SandDark);
    cairo_fill(cr);
}

void write_menu_back(const Context& ctx) {
    Canvas c(800, 600);
    cairo_t* cr = c.cr();
    draw_sea(c, 77, 0.8, true);
    for (int i = 0; i < 5; ++i)
        draw_column(cr, 40 + i * 60, 520 - (i % 2) * 10, 26, 180 + (i * 37) % 90, 0x5A7088, 0.45, i % 2);
    for (int i = 0; i < 4; ++i)
        draw_column(cr, 560 + i * 55, 510, 24, 120 + (i * 53) % 100, 0x5A7088, 0.45, i % 2 == 0);
    for (int i = 0; i < 14; ++i)
        draw_seaweed(cr, 20 + i * 58, 600, 60 + (i * 29) % 70, (i % 3 - 1) * 10, 0x1E6A40, 0.8);
    Image img = c.image();
    add_grain(img, 3, 78);
    ship_jpeg(ctx, "MenuBack/Back.tga", img, false);

    Canvas wheel(200, 200);
    cr = wheel.cr();
    for (int i = 0; i < 8; ++i) {
        const double a = kTau * i / 8;
        cairo_move_to(cr, 100 + std::cos(a) * 20, 100 + std::sin(a) * 20);
        cairo_line_to(cr, 100 + std::cos(a) * 96, 100 + std::sin(a) * 96);
    }
    set_rgb(cr, 0x6A4420);
    cairo_set_line_width(cr, 9);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_stroke(cr);
    cairo_arc(cr, 100, 100, 70, 0, kTau);
    set_rgb(cr, 0x4A2E14);
    cairo_set_line_width(cr, 14);
    cairo_stroke(cr);
    cairo_arc(cr, 100, 100, 22, 0, kTau);
    vertical_gradient(cr, 78, 122, pal::GoldLight, pal::GoldDark);
    cairo_fill(cr);
    Image wimg = wheel.image();
    scale_alpha(wimg, 0.6); // far behind the welcome label: it must not fight the text
    write_tga(ctx.textures("MenuBack/Wheel.tga"), wimg);

    Canvas tiger(220, 260); // the stone lion of the harbour on its plinth, half sunk in the sand
    cr = tiger.cr();
    cairo_save(cr);
    cairo_translate(cr, -157, -4);
    cairo_scale(cr, 1.7, 1.7);
    draw_seated_lion(cr, 0xC8C0B0, 0x4A463E);
    cairo_restore(cr);
    draw_plinth(cr);
    for (int i = 0; i < 6; ++i) {
        draw_seaweed(cr, 18 + i * 36, 260, 30 + (i * 17) % 40, (i % 3 - 1) * 6, 0x1E6A40, 0.85);
    }
    Image timg = tiger.image();
    add_grain(timg, 8, 79);
    write_tga(ctx.textures("MenuBack/Tiger.tga"), timg);
    write_fishes(ctx);
    write_sand_light(ctx);
}

// ------------------------------------------------------------------------------------------
// Logo, resource creator

Image title_text(const std::string& text, int px) {
    return render_text(text, {"DejaVuSerif-Bold.ttf", px, pal::GoldLight, 0xC07A14, 0x2A1604, 3, 4, 0.7});
}

void write_logo(const Context& ctx) {
    Canvas c(800, 600);
    cairo_t* cr = c.cr();
    draw_sea(c, 90, 0.85, true);
    radial_glow(cr, 400, 250, 260, 0xFFE8A0, 0.35);
    for (int i = 0; i < 24; ++i) {
        const double a = kTau * i / 24;
        cairo_move_to(cr, 400 + std::cos(a) * 90, 250 + std::sin(a) * 90);
        cairo_line_to(cr, 400 + std::cos(a + 0.06) * 170, 250 + std::sin(a + 0.06) * 170);
        cairo_line_to(cr, 400 + std::cos(a + 0.12) * 90, 250 + std::sin(a + 0.12) * 90);
    }
    set_rgb(cr, pal::Gold, 0.5);
    cairo_fill(cr);
    cairo_arc(cr, 400, 250, 88, 0, kTau);
    vertical_gradient(cr, 162, 338, pal::GoldLight, pal::GoldDark);
    cairo_fill(cr);
    const Image t = title_text("VELMORA", 72);
    c.place(t, 400 - t.width / 2.0, 380);
    const Image s = render_text("the drowned sun",
                                {"DejaVuSerif-Italic.ttf", 24, 0xE6FAFF, 0x8ED8E8, 0x06203A, 1, 2, 0.6});
    c.place(s, 400 - s.width / 2.0, 470);
    Image img = c.image();
    add_grain(img, 2, 91);
    ship_jpeg(ctx, "Logo/Logo.tga", img, false);

    Canvas g(256, 256);
    radial_glow(g.cr(), 128, 128, 90, 0xFFFFFF, 0.9);
    for (int i = 0; i < 4; ++i) {
        const double a = kTau * i / 8;
        cairo_move_to(g.cr(), 128 - std::cos(a) * 127, 128 - std::sin(a) * 127);
        cairo_line_to(g.cr(), 128 + std::cos(a) * 127, 128 + std::sin(a) * 127);
    }
    set_rgb(g.cr(), 0xFFFFFF, 0.55);
    cairo_set_line_width(g.cr(), 3);
    cairo_stroke(g.cr());
    write_tga(ctx.textures("Logo/Blick.tga"), g.image());
}

// The two small emblems that slide up in the menu's lower corners.
void write_menu_logos(const Context& ctx) {
    for (int k = 1; k <= 2; ++k) {
        Canvas c(128, 128);
        cairo_t* cr = c.cr();
        cairo_arc(cr, 64, 58, 50, 0, kTau);
        vertical_gradient(cr, 8, 108, 0x1A4C80, 0x06162C, 0.9);
        cairo_fill(cr);
        cairo_arc(cr, 64, 58, 50, 0, kTau);
        set_rgb(cr, pal::Gold);
        cairo_set_line_width(cr, 4);
        cairo_stroke(cr);
        if (k == 1) {
            for (int i = 0; i < 12; ++i) {
                const double a = kTau * i / 12;
                cairo_move_to(cr, 64 + std::cos(a) * 18, 58 + std::sin(a) * 18);
                cairo_line_to(cr, 64 + std::cos(a) * 38, 58 + std::sin(a) * 38);
            }
            set_rgb(cr, pal::GoldLight, 0.8);
            cairo_set_line_width(cr, 3);
            cairo_stroke(cr);
            cairo_arc(cr, 64, 58, 16, 0, kTau);
            vertical_gradient(cr, 42, 74, pal::GoldLight, pal::GoldDark);
            cairo_fill(cr);
        } else {
            cairo_move_to(cr, 64, 96);
            cairo_line_to(cr, 64, 22);
            cairo_move_to(cr, 44, 30);
            cairo_curve_to(cr, 44, 56, 84, 56, 84, 30);
            set_rgb(cr, pal::GoldLight);
            cairo_set_line_width(cr, 5);
            cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
            cairo_stroke(cr);
        }
        const Image t = render_text(
            "VELMORA", {"DejaVuSerif-Bold.ttf", 15, pal::GoldLight, 0xC07A14, 0x2A1604, 1, 1, 0.6});
        c.place(t, 64 - t.width / 2.0, 108);
        write_tga(ctx.textures("MenuBack/Logo" + std::to_string(k) + ".tga"), c.image());
    }
}

void write_res_creator(const Context& ctx) {
    Canvas c(800, 600);
    draw_sea(c, 95, 0.82, true);
    const Image t = title_text("VELMORA", 56);
    c.place(t, 400 - t.width / 2.0, 200);
    rounded_rect(c.cr(), 186, 516, 432, 30, 12);
    set_rgb(c.cr(), 0x02060E, 0.85);
    cairo_fill(c.cr());
    draw_gold_frame(c, 184, 514, 436, 34, 3, 13);
    write_jpeg(ctx.textures("ResCreator/Background.jpg"), c.image());
    Canvas bar(416, 14);
    rounded_rect(bar.cr(), 0, 0, 416, 14, 7);
    vertical_gradient(bar.cr(), 0, 14, 0xC8FFF8, 0x1890B0);
    cairo_fill(bar.cr());
    write_tga(ctx.textures("ResCreator/Back0.tga"), bar.image());
}

// ------------------------------------------------------------------------------------------
// Campaign maps: parchment sea chart with coasts, the road between the towns and a compass.

// Land is where a smooth field of random hills and the towns' own hills rises above sea level,
// so every town stands on land (in Velmora: on the drowned city's terraces).
std::vector<float> land_field(const Country& country, int number) {
    struct Hill {
        double x, y, r, h;
    };
    std::vector<Hill> hills;
    Rng rng(uint64_t(number) * 101);
    for (int i = 0; i < 9; ++i)
        hills.push_back({rng.range(0, kMapW), rng.range(0, kMapH), rng.range(60, 170), rng.range(0.5, 1.0)});
    for (const Town& t : country.towns)
        hills.push_back({double(t.x), double(t.y), rng.range(45, 70), 1.0});
    std::vector<float> f(size_t(kMapW * kMapH));
    for (int y = 0; y < kMapH; ++y)
        for (int x = 0; x < kMapW; ++x) {
            double v = 0.06 * std::sin(x * 0.05 + number) * std::cos(y * 0.043);
            for (const Hill& h : hills) {
                const double d2 = ((x - h.x) * (x - h.x) + (y - h.y) * (y - h.y)) / (h.r * h.r);
                if (d2 < 4) v += h.h * std::exp(-d2 * 1.6);
            }
            f[size_t(y) * kMapW + x] = float(v);
        }
    return f;
}

Image map_picture(const Country& country, int number) {
    const bool underwater = number >= 7;
    const std::vector<float> field = land_field(country, number);
    Image base(kMapW, kMapH);
    Rng grain(uint64_t(number) * 5);
    for (int y = 0; y < kMapH; ++y)
        for (int x = 0; x < kMapW; ++x) {
            const double v = field[size_t(y) * kMapW + x];
            const uint32_t sea = underwater ? mix(0x7AB8C8, 0x2A6A8A, y / double(kMapH))
                                            : mix(0xB8D4D0, 0x8AB4B8, y / double(kMapH));
            uint32_t rgb;
            if (v < 0.40)
                rgb = mix(sea, mix(sea, 0x4A7A90, 0.5),
                          std::clamp((0.40 - v) * 2, 0.0, 1.0)); // deeper away from shore
            else if (v < 0.44)
                rgb = underwater ? 0xB8E0E0 : 0xF0E2B8; // beach
            else
                rgb = underwater ? mix(0x8ABCC0, 0x5A9098, std::min(1.0, (v - 0.44) * 1.5))
                                 : mix(0xE2CC96, 0xB89A60, std::min(1.0, (v - 0.44) * 1.5));
            base.at(x, y) = 0xFF000000u | rgb;
        }
    add_grain(base, 5, uint64_t(number) * 7);
    Canvas c(kMapW, kMapH);
    cairo_t* cr = c.cr();
    rounded_rect(cr, 2, 2, kMapW - 4, kMapH - 4, 16);
    cairo_clip(cr);
    c.place(base, 0, 0);
    // coastline: a dark line where the field crosses sea level
    for (int y = 1; y < kMapH; ++y)
        for (int x = 1; x < kMapW; ++x) {
            const bool a = field[size_t(y) * kMapW + x] >= 0.40f,
                       l = field[size_t(y) * kMapW + x - 1] >= 0.40f,
                       u = field[size_t(y - 1) * kMapW + x] >= 0.40f;
            if (a != l || a != u) {
                cairo_rectangle(cr, x - 0.5, y - 0.5, 1.6, 1.6);
            }
        }
    set_rgb(cr, underwater ? 0x1A4A5A : 0x6A4A28, 0.8);
    cairo_fill(cr);
    Rng rng(uint64_t(number) * 103);
    // waves in the sea, hills or ruins on land
    for (int i = 0; i < 90; ++i) {
        const double x = rng.range(20, kMapW - 40), y = rng.range(20, kMapH - 20);
        const double v = field[size_t(y) * kMapW + size_t(x)];
        if (v < 0.34) {
            cairo_move_to(cr, x, y);
            cairo_curve_to(cr, x + 5, y - 4, x + 10, y + 4, x + 15, y);
            set_rgb(cr, 0x2A5A7A, 0.45);
            cairo_set_line_width(cr, 1.2);
            cairo_stroke(cr);
        } else if (v > 0.6) {
            if (underwater) {
                cairo_rectangle(cr, x, y, 8, 5);
                set_rgb(cr, 0x2A5A6A, 0.5);
                cairo_fill(cr);
            } else {
                cairo_move_to(cr, x, y + 5);
                cairo_line_to(cr, x + 6, y - 3);
                cairo_line_to(cr, x + 12, y + 5);
                set_rgb(cr, 0x7A5A30, 0.55);
                cairo_set_line_width(cr, 1.3);
                cairo_stroke(cr);
            }
        }
    }
    // the road between the towns
    const double dash[2] = {6, 5};
    cairo_set_dash(cr, dash, 2, 0);
    for (size_t i = 0; i < country.towns.size(); ++i) {
        const double x = country.towns[i].x, y = country.towns[i].y;
        if (i == 0)
            cairo_move_to(cr, x, y);
        else
            cairo_line_to(cr, x, y);
    }
    set_rgb(cr, 0x7A2A10, 0.75);
    cairo_set_line_width(cr, 2.5);
    cairo_stroke(cr);
    cairo_set_dash(cr, nullptr, 0, 0);
    for (const Town& t : country.towns) {
        cairo_arc(cr, t.x, t.y, 5, 0, kTau);
        set_rgb(cr, 0x4A2A10, 0.8);
        cairo_fill(cr);
    }
    // compass rose
    const double cx = kMapW - 70, cy = kMapH - 70;
    for (int i = 0; i < 8; ++i) {
        const double a = kTau * i / 8, r = i % 2 ? 22 : 40;
        cairo_move_to(cr, cx, cy);
        cairo_line_to(cr, cx + std::cos(a - 0.2) * r * 0.3, cy + std::sin(a - 0.2) * r * 0.3);
        cairo_line_to(cr, cx + std::cos(a) * r, cy + std::sin(a) * r);
        cairo_close_path(cr);
    }
    set_rgb(cr, 0x6A3A14, 0.8);
    cairo_fill(cr);
    rounded_rect(cr, 2, 2, kMapW - 4, kMapH - 4, 16);
    set_rgb(cr, 0x6A4A28);
    cairo_set_line_width(cr, 3);
    cairo_stroke(cr);
    Image img = c.image();
    add_grain(img, 6, uint64_t(number) * 7);
    return img;
}

void write_maps(const Context& ctx, const Campaign& campaign) {
    for (size_t i = 0; i < campaign.countries.size(); ++i)
        ship_jpeg(ctx, "Maps/" + campaign.countries[i].folder + ".tga",
                  map_picture(campaign.countries[i], int(i) + 1), true);
    // The map picture lies 9 px right of and 10 px below the inner corner of the borders (its towns sit
    // under their marks), so the top bar reaches 10 px lower and the left bar 9 px further in than
    // the window's border size: they cover that strip instead of leaving it black. The top bar's
    // meander runs low, clear of the country's name and the artefact's title in its middle.
    constexpr int kMapShiftX = 9, kMapShiftY = 10;
    auto bar = [&](const std::string& name, int w, int h, double bandY, double bandH) {
        Canvas c(w, h);
        cairo_rectangle(c.cr(), 0, 0, w, h);
        vertical_gradient(c.cr(), 0, h, 0x163E66, 0x06162C);
        cairo_fill(c.cr());
        draw_meander(c.cr(), 20, bandY, w - 40, bandH, pal::Gold, 0.5);
        draw_gold_frame(c, 0, 0, w, h, 3, 2);
        write_tga(ctx.textures(name), c.image());
    };
    // Side bars start below the top bar's lower edge (transparent there) and run on under the bottom bar.
    auto side = [&](const std::string& name, int w, int h) {
        Canvas c(w, h);
        cairo_rectangle(c.cr(), 0, kMapShiftY, w, h - kMapShiftY);
        vertical_gradient(c.cr(), kMapShiftY, h, 0x0E2C4C, 0x06162C);
        cairo_fill(c.cr());
        draw_gold_frame(c, 0, kMapShiftY - 2, w, h + 4, 3, 2);
        write_tga(ctx.textures(name), c.image());
    };
    bar("Map_BorderUp.tga", 800, 69 + kMapShiftY, 69 + kMapShiftY - 18, 10);
    bar("Map_BorderDown.tga", 800, 69, 69 / 2.0 - 8, 16);
    side("Map_BorderLeft.tga", 13 + kMapShiftX, 462);
    side("Map_BorderRight.tga", 13, 462);
}

// A sunken landmark of each country, faint behind the board.
void draw_country_motif(cairo_t* cr, int country) {
    cairo_save(cr);
    set_rgb(cr, 0xC8D8E0, 0.16);
    switch (country) {
    case 1: // temple front with its pediment
        cairo_move_to(cr, 110, 300);
        cairo_line_to(cr, 253, 230);
        cairo_line_to(cr, 396, 300);
        cairo_close_path(cr);
        cairo_fill(cr);
        for (int k = 0; k < 6; ++k) {
            draw_column(cr, 124 + k * 48, 540, 22, 236, 0xC8D8E0, 0.16, k == 4);
        }
        break;
    case 2: // ziggurat
        for (int k = 0; k < 5; ++k) {
            cairo_rectangle(cr, 90 + k * 34, 520 - (k + 1) * 56, 326 - k * 68, 56);
        }
        cairo_fill(cr);
        break;
    case 5: // aqueduct arches
        cairo_rectangle(cr, 20, 300, 466, 24);
        cairo_fill(cr);
        for (int k = 0; k < 5; ++k) {
            const double x = 30 + k * 94;
            cairo_move_to(cr, x, 540);
            cairo_line_to(cr, x, 324);
            cairo_line_to(cr, x + 90, 324);
            cairo_line_to(cr, x + 90, 540);
            cairo_line_to(cr, x + 72, 540);
            cairo_line_to(cr, x + 72, 400);
            cairo_arc_negative(cr, x + 45, 400, 27, 0, M_PI);
            cairo_line_to(cr, x + 18, 540);
            cairo_close_path(cr);
            cairo_fill(cr);
        }
        break;
    case 6: // a wrecked galley and its anchor
        cairo_move_to(cr, 60, 470);
        cairo_curve_to(cr, 160, 540, 340, 540, 440, 450);
        cairo_line_to(cr, 420, 500);
        cairo_curve_to(cr, 330, 560, 170, 560, 80, 510);
        cairo_close_path(cr);
        cairo_fill(cr);
        cairo_move_to(cr, 250, 480);
        cairo_line_to(cr, 270, 330);
        cairo_set_line_width(cr, 8);
        cairo_stroke(cr);
        cairo_arc(cr, 380, 420, 30, 0.2, M_PI - 0.2);
        cairo_move_to(cr, 380, 380);
        cairo_line_to(cr, 380, 450);
        cairo_stroke(cr);
        break;
    default:
        break;
    }
    cairo_restore(cr);
}

// Board backgrounds, one per country, each with its own ruins and tint.
void write_country_pictures(const Context& ctx, const Campaign& campaign) {
    const uint32_t tints[8] = {0x3A78A8, 0x8A6A3A, 0xA88A48, 0xB89A58,
                               0x8A4A3A, 0x6A4A8A, 0x1A6A7A, 0x2A4A8A};
    for (size_t i = 0; i < campaign.countries.size(); ++i) {
        Canvas c(506, 600);
        cairo_t* cr = c.cr();
        draw_sea(c, 200 + i, 0.86, true);
        cairo_rectangle(cr, 0, 0, 506, 600);
        set_rgb(cr, tints[i], 0.18);
        cairo_fill(cr);
        Rng rng(300 + i);
        for (int k = 0; k < 6; ++k)
            draw_column(cr, rng.range(10, 480), 560, rng.range(16, 30), rng.range(80, 260), 0x6A8090, 0.3,
                        rng.uniform() < 0.5);
        draw_country_motif(cr, int(i) + 1);
        if (i == 2 || i == 3) { // pyramids on the horizon
            for (int k = 0; k < 3; ++k) {
                const double x = 80 + k * 150, h = 120 + k * 20;
                cairo_move_to(cr, x - h, 530);
                cairo_line_to(cr, x, 530 - h);
                cairo_line_to(cr, x + h, 530);
                cairo_close_path(cr);
                set_rgb(cr, 0xC8A868, 0.22);
                cairo_fill(cr);
            }
        }
        if (i >= 6) { // domes of the drowned city
            for (int k = 0; k < 4; ++k) {
                cairo_arc(cr, 60 + k * 130, 530, 50 + (k % 2) * 20, M_PI, 0);
                set_rgb(cr, 0x8AC8D8, 0.2);
                cairo_fill(cr);
            }
        }
        for (int k = 0; k < 8; ++k)
            draw_seaweed(cr, rng.range(0, 506), 600, rng.range(50, 120), rng.range(-12, 12), 0x1E6A40, 0.7);
        draw_game_console(c, 294); // the picture lies at screen x 294
        Image img = c.image();
        add_grain(img, 3, 400 + i);
        ship_jpeg(ctx, "Countries/" + campaign.countries[i].folder + ".tga", img, false);
    }
}

void write_artefact_window(const Context& ctx) {
    Canvas back(800, 600);
    draw_sea(back, 500, 0.9, true);
    radial_glow(back.cr(), 400, 300, 300, 0xFFE8A0, 0.12);
    Image img = back.image();
    ship_jpeg(ctx, "Artefacts_TempBack.tga", img, false);
    auto frame = [&](const std::string& name, int w, int h) {
        Canvas c(w, h);
        cairo_rectangle(c.cr(), 0, 0, w, h);
        vertical_gradient(c.cr(), 0, h, 0x163E66, 0x06162C, 0.95);
        cairo_fill(c.cr());
        if (w > h) draw_meander(c.cr(), 16, h / 2.0 - 8, w - 32, 16, pal::Gold, 0.5);
        draw_gold_frame(c, 0, 0, w, h, 3, 4);
        write_tga(ctx.textures(name), c.image());
    };
    frame("Artefacts_Up.tga", 800, 70);
    frame("Artefacts_Down.tga", 800, 80);
    frame("Artefacts_Left.tga", 30, 450);
    frame("Artefacts_Right.tga", 30, 450);
    frame("Artefacts_Right2.tga", 64, 450);
}

void write_help_window_pictures(const Context& ctx) {
    // the assembled vase and one of its slices, the bonus row and the frame
    Image vase = artefact_picture(1);
    Canvas v(128, 128);
    v.place(vase, 0, 0, 0.5, 0.5);
    write_tga(ctx.textures("Help/Vase.tga"), v.image());
    Canvas s(48, 48);
    s.place(crop(vase, 96, 110, 64, 64), 0, 0, 0.75, 0.75);
    write_tga(ctx.textures("Help/Slice.tga"), s.image());
    Canvas b(256, 64);
    for (int code = 1; code <= 4; ++code)
        b.place(bonus_picture(code), (code - 1) * 64 + 2, 2, 1.5, 1.5);
    write_tga(ctx.textures("Help/Bonuses.tga"), b.image());
    Canvas r(256, 64);
    cairo_rectangle(r.cr(), 0, 0, 256, 64);
    vertical_gradient(r.cr(), 0, 64, 0x163E66, 0x06162C);
    cairo_fill(r.cr());
    draw_meander(r.cr(), 8, 24, 240, 16, pal::Gold, 0.7);
    draw_gold_frame(r, 0, 0, 256, 64, 3, 4);
    write_tga(ctx.textures("Help/Rect2.tga"), r.image());
}

} // namespace

void write_menu_textures(const Context& ctx, const Campaign& campaign) {
    write_button(ctx, "MainMenu_ButtonBig.tga", 0);
    write_button(ctx, "MainMenu_ButtonStart.tga", 1);
    write_button(ctx, "MainMenu_ButtonOptions.tga", 2);
    write_button(ctx, "MainMenu_ButtonHiScores.tga", 3);
    write_button(ctx, "MainMenu_ButtonAbout.tga", 4);
    write_button(ctx, "MainMenu_ButtonExit.tga", 5);
    write_panel(ctx, "MainMenu_Panel.tga", 320, 400, false);
    write_panel(ctx, "GameMenu_Panel.tga", 320, 360, false);
    write_panel(ctx, "Options_Panel.tga", 480, 460, false);
    write_panel(ctx, "Player_Panel.tga", 400, 360, false);
    write_panel(ctx, "YourName_Panel.tga", 400, 220, false);
    write_panel(ctx, "StdDialog_Panel.tga", 440, 220, false);
    write_panel(ctx, "Help_Panel.tga", 800, 600, true);
    write_panel(ctx, "HiScores_Panel.tga", 800, 600, true);
    write_panel(ctx, "Stats/Panel.tga", 520, 420, false);
    write_controls(ctx);
    write_artefact_controls(ctx);
    write_menu_back(ctx);
    write_menu_logos(ctx);
    write_logo(ctx);
    write_res_creator(ctx);
    write_maps(ctx, campaign);
    write_country_pictures(ctx, campaign);
    write_artefact_window(ctx);
    write_help_window_pictures(ctx);
}

void write_jpeg_list(const Context& ctx) {
    std::ostringstream list;
    list << "; pictures shipped as JPEG: kind and file (relative to Textures); the TGA is made at the first "
            "run\n";
    for (const std::string& name : jpeg_list())
        list << "jpg " << name << "\n";
    write_file(ctx.textures("tga2jpgANDmask.txt"), list.str());
    jpeg_list().clear();
}

} // namespace content
