// The eight artefacts: the whole picture (Norm), its cracked form (Split), its shadow (Shad), the
// slice mask with one flat colour per slice and "!Colors.txt"; country 3 also gets "Broken".
#include "artefacts.h"

#include "content.h"
#include "paint.h"

#include <algorithm>
#include <cmath>
#include <sstream>

namespace content {

namespace {

constexpr double kTau = 2 * M_PI;

void metal(cairo_t* cr, double y0, double y1, uint32_t light, uint32_t dark) {
    vertical_gradient(cr, y0, y1, light, dark);
}

void engrave(cairo_t* cr, uint32_t rgb = 0x000000, double alpha = 0.35, double width = 2) {
    set_rgb(cr, rgb, alpha);
    cairo_set_line_width(cr, width);
    cairo_stroke(cr);
}

void draw_amphora(cairo_t* cr) {
    cairo_move_to(cr, 104, 30);
    cairo_line_to(cr, 152, 30);
    cairo_curve_to(cr, 150, 50, 146, 60, 150, 72);
    cairo_curve_to(cr, 212, 92, 214, 170, 170, 214);
    cairo_curve_to(cr, 158, 228, 146, 236, 140, 246);
    cairo_line_to(cr, 116, 246);
    cairo_curve_to(cr, 110, 236, 98, 228, 86, 214);
    cairo_curve_to(cr, 42, 170, 44, 92, 106, 72);
    cairo_curve_to(cr, 110, 60, 106, 50, 104, 30);
    cairo_close_path(cr);
    metal(cr, 30, 246, 0xE8885A, 0x6A2A14);
    cairo_fill_preserve(cr);
    engrave(cr, 0x2A0E04, 0.8, 2.5);
    // handles
    for (int s = -1; s <= 1; s += 2) {
        cairo_move_to(cr, 128 + s * 22, 52);
        cairo_curve_to(cr, 128 + s * 70, 40, 128 + s * 74, 90, 128 + s * 50, 100);
        set_rgb(cr, 0x7A3418);
        cairo_set_line_width(cr, 8);
        cairo_stroke(cr);
    }
    // black-figure band: two seas and islands
    cairo_rectangle(cr, 60, 120, 136, 50);
    set_rgb(cr, 0x1A0C06, 0.85);
    cairo_fill(cr);
    for (int k = 0; k < 2; ++k) {
        cairo_move_to(cr, 64, 135 + k * 20);
        for (double x = 64; x <= 192; x += 4)
            cairo_line_to(cr, x, 135 + k * 20 + std::sin(x * 0.15 + k) * 3);
        engrave(cr, 0xE8885A, 0.9, 2);
    }
    for (int i = 0; i < 5; ++i) {
        cairo_arc(cr, 78 + i * 25, 145, 4, 0, kTau);
        set_rgb(cr, 0xE8885A);
        cairo_fill(cr);
    }
    draw_meander(cr, 70, 186, 116, 12, 0x2A0E04, 0.8);
    draw_meander(cr, 80, 96, 96, 10, 0x2A0E04, 0.8);
}

void draw_tablet(cairo_t* cr) {
    rounded_rect(cr, 44, 24, 168, 212, 18);
    metal(cr, 24, 236, 0xC8A070, 0x6A4A28);
    cairo_fill_preserve(cr);
    engrave(cr, 0x2A1A08, 0.8, 3);
    Rng rng(7);
    for (int row = 0; row < 10; ++row) {
        const double y = 44 + row * 18;
        cairo_move_to(cr, 56, y + 12);
        cairo_line_to(cr, 200, y + 12);
        engrave(cr, 0x2A1A08, 0.3, 1);
        for (double x = 60; x < 196; x += 10 + rng.uniform() * 6) {
            cairo_move_to(cr, x, y);
            cairo_line_to(cr, x + 6, y + 4);
            cairo_line_to(cr, x, y + 8);
            cairo_close_path(cr);
            set_rgb(cr, 0x3A2410, 0.75);
            cairo_fill(cr);
        }
    }
    // star in the corner
    for (int i = 0; i < 8; ++i) {
        const double a = kTau * i / 8;
        cairo_move_to(cr, 190, 48);
        cairo_line_to(cr, 190 + std::cos(a) * 12, 48 + std::sin(a) * 12);
    }
    engrave(cr, 0xFFE0A0, 0.8, 2);
}

void draw_scarab(cairo_t* cr) {
    cairo_save(cr);
    cairo_translate(cr, 128, 136);
    // wings
    for (int s = -1; s <= 1; s += 2) {
        cairo_move_to(cr, 0, -20);
        cairo_curve_to(cr, s * 60, -70, s * 120, -40, s * 118, 10);
        cairo_curve_to(cr, s * 90, 0, s * 50, 20, 0, 10);
        cairo_close_path(cr);
        metal(cr, -70, 20, 0x9AD8E8, 0x1A5A78);
        cairo_fill_preserve(cr);
        engrave(cr, 0x06202A, 0.8, 2);
        for (int k = 1; k < 5; ++k) {
            cairo_move_to(cr, s * 10, -10);
            cairo_line_to(cr, s * (30 + k * 20), -50 + k * 10);
        }
        engrave(cr, 0x06202A, 0.4, 1.5);
    }
    // body
    cairo_save(cr);
    cairo_scale(cr, 1, 1.3);
    cairo_arc(cr, 0, 20, 44, 0, kTau);
    cairo_restore(cr);
    metal(cr, -40, 90, 0x7AE0A0, 0x0E5A30);
    cairo_fill_preserve(cr);
    engrave(cr, 0x022010, 0.9, 3);
    cairo_move_to(cr, 0, -10);
    cairo_line_to(cr, 0, 80);
    engrave(cr, 0x022010, 0.7, 2);
    cairo_arc(cr, 0, -40, 20, 0, kTau);
    metal(cr, -60, -20, 0x7AE0A0, 0x0E5A30);
    cairo_fill_preserve(cr);
    engrave(cr, 0x022010, 0.9, 2.5);
    cairo_arc(cr, 0, -72, 16, 0, kTau);
    metal(cr, -88, -56, 0xFFE890, 0xC07A10);
    cairo_fill(cr);
    cairo_restore(cr);
}

// The navigator's mask: a striped headdress of gold and lapis behind a golden face.
void draw_mask(cairo_t* cr) {
    // headdress with its two lappets
    cairo_move_to(cr, 128, 10);
    cairo_curve_to(cr, 190, 10, 214, 50, 216, 100);
    cairo_line_to(cr, 232, 236);
    cairo_line_to(cr, 178, 236);
    cairo_line_to(cr, 170, 150);
    cairo_line_to(cr, 86, 150);
    cairo_line_to(cr, 78, 236);
    cairo_line_to(cr, 24, 236);
    cairo_line_to(cr, 40, 100);
    cairo_curve_to(cr, 42, 50, 66, 10, 128, 10);
    cairo_close_path(cr);
    metal(cr, 10, 236, 0xFFE890, 0xB07818);
    cairo_fill_preserve(cr);
    cairo_save(cr);
    cairo_clip_preserve(cr);
    for (int k = 0; k < 16; ++k) {
        cairo_rectangle(cr, 0, 18 + k * 14, 256, 7);
    }
    set_rgb(cr, 0x1E3C8C, 0.9);
    cairo_fill(cr);
    cairo_restore(cr);
    engrave(cr, 0x3A2204, 0.9, 3);
    // face
    cairo_move_to(cr, 128, 46);
    cairo_curve_to(cr, 170, 46, 182, 80, 178, 118);
    cairo_curve_to(cr, 174, 160, 154, 190, 128, 194);
    cairo_curve_to(cr, 102, 190, 82, 160, 78, 118);
    cairo_curve_to(cr, 74, 80, 86, 46, 128, 46);
    cairo_pattern_t* g = cairo_pattern_create_radial(112, 90, 6, 128, 120, 90);
    cairo_pattern_add_color_stop_rgb(g, 0, 1, 0.96, 0.75);
    cairo_pattern_add_color_stop_rgb(g, 0.6, 0.93, 0.72, 0.25);
    cairo_pattern_add_color_stop_rgb(g, 1, 0.6, 0.38, 0.08);
    cairo_set_source(cr, g);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(g);
    engrave(cr, 0x4A2A04, 0.8, 2.5);
    // eyes of blue glass with kohl lines
    for (int side = -1; side <= 1; side += 2) {
        const double ex = 128 + side * 24;
        cairo_move_to(cr, ex - 14, 104);
        cairo_curve_to(cr, ex - 6, 96, ex + 6, 96, ex + 14, 104);
        cairo_curve_to(cr, ex + 6, 110, ex - 6, 110, ex - 14, 104);
        set_rgb(cr, 0xF8F4EC);
        cairo_fill_preserve(cr);
        engrave(cr, 0x101830, 1, 2.5);
        cairo_arc(cr, ex, 103.5, 4.5, 0, kTau);
        set_rgb(cr, 0x2A6AE0);
        cairo_fill(cr);
        cairo_move_to(cr, ex + side * 14, 104);
        cairo_line_to(cr, ex + side * 26, 100);
        cairo_move_to(cr, ex - 14, 90);
        cairo_curve_to(cr, ex - 4, 84, ex + 6, 84, ex + 15, 90);
        engrave(cr, 0x101830, 1, 3);
    }
    cairo_move_to(cr, 128, 110);
    cairo_line_to(cr, 121, 146);
    cairo_line_to(cr, 134, 146);
    engrave(cr, 0x4A2A04, 0.6, 2);
    cairo_move_to(cr, 110, 164);
    cairo_curve_to(cr, 122, 170, 134, 170, 146, 164);
    engrave(cr, 0x4A2A04, 0.8, 3);
    // beard of the navigator
    rounded_rect(cr, 118, 192, 20, 46, 6);
    metal(cr, 192, 238, 0x3A5CB0, 0x142A6A);
    cairo_fill_preserve(cr);
    engrave(cr, 0xE8C060, 0.8, 2);
}

void draw_medallion(cairo_t* cr) {
    cairo_arc(cr, 128, 128, 110, 0, kTau);
    metal(cr, 18, 238, 0xE8B880, 0x6A4018);
    cairo_fill_preserve(cr);
    engrave(cr, 0x2A1404, 0.9, 4);
    cairo_arc(cr, 128, 128, 92, 0, kTau);
    engrave(cr, 0x2A1404, 0.5, 2);
    for (int i = 0; i < 24; ++i) {
        const double a = kTau * i / 24;
        cairo_arc(cr, 128 + std::cos(a) * 101, 128 + std::sin(a) * 101, 3, 0, kTau);
        set_rgb(cr, 0xFFE0A0, 0.8);
        cairo_fill(cr);
    }
    // eagle
    cairo_move_to(cr, 128, 70);
    cairo_curve_to(cr, 140, 80, 140, 100, 132, 112);
    cairo_curve_to(cr, 170, 90, 196, 96, 204, 110);
    cairo_curve_to(cr, 180, 112, 160, 124, 140, 140);
    cairo_line_to(cr, 150, 186);
    cairo_line_to(cr, 128, 170);
    cairo_line_to(cr, 106, 186);
    cairo_line_to(cr, 116, 140);
    cairo_curve_to(cr, 96, 124, 76, 112, 52, 110);
    cairo_curve_to(cr, 60, 96, 86, 90, 124, 112);
    cairo_curve_to(cr, 116, 100, 116, 80, 128, 70);
    metal(cr, 70, 186, 0xFFF0C0, 0xA87030);
    cairo_fill_preserve(cr);
    engrave(cr, 0x2A1404, 0.8, 2);
}

void draw_prow(cairo_t* cr) {
    cairo_move_to(cr, 40, 230);
    cairo_curve_to(cr, 60, 160, 100, 100, 170, 60);
    cairo_curve_to(cr, 190, 40, 210, 30, 222, 40);
    cairo_curve_to(cr, 226, 60, 200, 70, 196, 90);
    cairo_curve_to(cr, 190, 130, 200, 190, 216, 230);
    cairo_close_path(cr);
    metal(cr, 30, 230, 0xC07A48, 0x4A2410);
    cairo_fill_preserve(cr);
    engrave(cr, 0x1A0A04, 0.9, 3);
    for (int k = 0; k < 5; ++k) {
        cairo_move_to(cr, 70 + k * 10, 220 - k * 28);
        cairo_curve_to(cr, 120, 200 - k * 28, 170, 200 - k * 24, 206, 214 - k * 26);
    }
    engrave(cr, 0x1A0A04, 0.4, 2);
    // eye of the ship
    cairo_arc(cr, 178, 96, 12, 0, kTau);
    set_rgb(cr, 0xF0F0F0);
    cairo_fill(cr);
    cairo_arc(cr, 180, 96, 6, 0, kTau);
    set_rgb(cr, 0x1A2A6A);
    cairo_fill(cr);
    // spiral of stars
    for (double t = 0; t < 3 * M_PI; t += 0.6) {
        cairo_arc(cr, 120 + std::cos(t) * t * 5, 170 + std::sin(t) * t * 5, 2.5, 0, kTau);
        set_rgb(cr, 0xFFE8A0);
        cairo_fill(cr);
    }
}

void draw_trident(cairo_t* cr) {
    // a scallop shell of mother-of-pearl behind the key
    cairo_move_to(cr, 128, 236);
    for (int i = 0; i <= 12; ++i) {
        const double a = M_PI + M_PI * i / 12.0;
        const double r = 104 + (i % 2 ? 8 : 0);
        cairo_line_to(cr, 128 + std::cos(a) * r, 150 + std::sin(a) * r * 1.02);
    }
    cairo_close_path(cr);
    metal(cr, 40, 236, 0xF4FFFC, 0x7AB8B0);
    cairo_fill_preserve(cr);
    engrave(cr, 0x1A4A44, 0.7, 2.5);
    for (int i = 1; i < 12; ++i) {
        const double a = M_PI + M_PI * i / 12.0;
        cairo_move_to(cr, 128, 232);
        cairo_line_to(cr, 128 + std::cos(a) * 100, 150 + std::sin(a) * 100);
    }
    engrave(cr, 0x1A4A44, 0.3, 2);
    cairo_save(cr);
    cairo_translate(cr, 128, 128);
    cairo_scale(cr, 1.3, 1.0);
    cairo_translate(cr, -128, -128);

    cairo_move_to(cr, 120, 90);
    cairo_line_to(cr, 136, 90);
    cairo_line_to(cr, 134, 244);
    cairo_line_to(cr, 122, 244);
    cairo_close_path(cr);
    metal(cr, 90, 244, 0xD8F0E8, 0x3A7A6A);
    cairo_fill(cr);
    cairo_move_to(cr, 56, 30);
    cairo_curve_to(cr, 56, 70, 70, 100, 128, 104);
    cairo_curve_to(cr, 186, 100, 200, 70, 200, 30);
    cairo_line_to(cr, 186, 40);
    cairo_curve_to(cr, 184, 70, 170, 84, 136, 86);
    cairo_line_to(cr, 136, 30);
    cairo_line_to(cr, 128, 14);
    cairo_line_to(cr, 120, 30);
    cairo_line_to(cr, 120, 86);
    cairo_curve_to(cr, 86, 84, 72, 70, 70, 40);
    cairo_close_path(cr);
    metal(cr, 14, 104, 0xE8FFF8, 0x2A8A78);
    cairo_fill_preserve(cr);
    engrave(cr, 0x0A2A24, 0.9, 2.5);
    for (int i = 0; i < 4; ++i) {
        cairo_arc(cr, 128, 120 + i * 30, 7, 0, kTau);
        cairo_pattern_t* g = cairo_pattern_create_radial(126, 118 + i * 30, 1, 128, 120 + i * 30, 7);
        cairo_pattern_add_color_stop_rgb(g, 0, 1, 1, 1);
        cairo_pattern_add_color_stop_rgb(g, 1, 0.75, 0.8, 0.9);
        cairo_set_source(cr, g);
        cairo_fill(cr);
        cairo_pattern_destroy(g);
    }
    cairo_restore(cr);
}

void draw_sun_disc(cairo_t* cr) {
    for (int i = 0; i < 24; ++i) {
        const double a = kTau * i / 24, b = a + kTau / 48;
        cairo_move_to(cr, 128 + std::cos(a - 0.1) * 90, 128 + std::sin(a - 0.1) * 90);
        cairo_line_to(cr, 128 + std::cos(b) * 122, 128 + std::sin(b) * 122);
        cairo_line_to(cr, 128 + std::cos(a + 0.35) * 90, 128 + std::sin(a + 0.35) * 90);
    }
    metal(cr, 6, 250, 0xFFE890, 0xB07010);
    cairo_fill(cr);
    cairo_arc(cr, 128, 128, 94, 0, kTau);
    cairo_pattern_t* g = cairo_pattern_create_radial(110, 100, 4, 128, 128, 94);
    cairo_pattern_add_color_stop_rgb(g, 0, 1, 0.98, 0.85);
    cairo_pattern_add_color_stop_rgb(g, 0.6, 0.95, 0.74, 0.25);
    cairo_pattern_add_color_stop_rgb(g, 1, 0.55, 0.32, 0.05);
    cairo_set_source(cr, g);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(g);
    engrave(cr, 0x4A2A04, 0.9, 3);
    for (int r = 30; r <= 80; r += 25) {
        cairo_arc(cr, 128, 128, r, 0, kTau);
        engrave(cr, 0x6A3A04, 0.45, 2);
    }
    for (int i = 0; i < 12; ++i) {
        const double a = kTau * i / 12;
        cairo_move_to(cr, 128 + std::cos(a) * 30, 128 + std::sin(a) * 30);
        cairo_line_to(cr, 128 + std::cos(a) * 80, 128 + std::sin(a) * 80);
    }
    engrave(cr, 0x6A3A04, 0.35, 1.5);
    cairo_arc(cr, 128, 128, 18, 0, kTau);
    set_rgb(cr, 0x3AB8E8);
    cairo_fill(cr);
}

} // namespace

Image artefact_picture(int country) {
    Canvas c(256, 256);
    cairo_t* cr = c.cr();
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    switch (country) {
    case 1:
        draw_amphora(cr);
        break;
    case 2:
        draw_tablet(cr);
        break;
    case 3:
        draw_scarab(cr);
        break;
    case 4:
        draw_mask(cr);
        break;
    case 5:
        draw_medallion(cr);
        break;
    case 6:
        draw_prow(cr);
        break;
    case 7:
        draw_trident(cr);
        break;
    default:
        draw_sun_disc(cr);
        break;
    }
    Image img = c.image();
    add_grain(img, 5, uint64_t(country) * 13);
    return img;
}

namespace {

// Slice owner of every opaque pixel: the nearest of N seeds spread over the artefact by
// farthest-point sampling; slice 1 is the lowest so the artefact builds up from its base.
std::vector<int> slice_owners(const Image& art, int count, std::vector<std::pair<double, double>>& seeds) {
    std::vector<std::pair<int, int>> inside;
    for (int y = 0; y < art.height; y += 2)
        for (int x = 0; x < art.width; x += 2)
            if ((art.at(x, y) >> 24) >= 128) inside.emplace_back(x, y);
    seeds.clear();
    if (inside.empty()) return {};
    double sy = 0;
    size_t first = 0;
    for (size_t i = 0; i < inside.size(); ++i)
        if (inside[i].second > sy) {
            sy = inside[i].second;
            first = i;
        }
    seeds.emplace_back(inside[first].first, inside[first].second);
    std::vector<double> dist(inside.size(), 1e18);
    while (int(seeds.size()) < count) {
        size_t best = 0;
        double bestD = -1;
        for (size_t i = 0; i < inside.size(); ++i) {
            const double dx = inside[i].first - seeds.back().first,
                         dy = inside[i].second - seeds.back().second;
            dist[i] = std::min(dist[i], dx * dx + dy * dy);
            if (dist[i] > bestD) {
                bestD = dist[i];
                best = i;
            }
        }
        seeds.emplace_back(inside[best].first, inside[best].second);
    }
    std::stable_sort(seeds.begin(), seeds.end(), [](auto& a, auto& b) { return a.second > b.second; });
    std::vector<int> owner(size_t(art.width * art.height), 0);
    for (int y = 0; y < art.height; ++y)
        for (int x = 0; x < art.width; ++x) {
            if ((art.at(x, y) >> 24) == 0) continue;
            int bestK = 0;
            double bestD = 1e18;
            for (size_t k = 0; k < seeds.size(); ++k) {
                // a little waviness makes the cracks look broken rather than cut
                const double wob = std::sin(x * 0.21 + k) * 4 + std::cos(y * 0.17 + 2 * k) * 4;
                const double d = std::hypot(x - seeds[k].first, y - seeds[k].second) + wob;
                if (d < bestD) {
                    bestD = d;
                    bestK = int(k) + 1;
                }
            }
            owner[size_t(y) * art.width + x] = bestK;
        }
    return owner;
}

uint32_t slice_colour(int k) {
    // distinct, fully saturated-ish colours that never repeat for up to 128 slices
    const uint32_t r = uint32_t((k * 97) % 256), g = uint32_t((k * 57 + 80) % 256),
                   b = uint32_t((k * 151 + 30) % 256);
    return (r << 16) | (g << 8) | b;
}

} // namespace

void write_artefacts(const Context& ctx, const Campaign& campaign) {
    for (size_t ci = 0; ci < campaign.countries.size(); ++ci) {
        const Country& country = campaign.countries[ci];
        const int number = int(ci) + 1;
        const auto folder = ctx.textures("Arts") / country.folder;
        const Image norm = artefact_picture(number);
        std::vector<std::pair<double, double>> seeds;
        const std::vector<int> owner = slice_owners(norm, country.sliceCount, seeds);
        Image mask(256, 256), split = norm, shad(256, 256);
        for (int y = 0; y < 256; ++y)
            for (int x = 0; x < 256; ++x) {
                const size_t i = size_t(y) * 256 + x;
                const uint32_t a = norm.at(x, y) >> 24;
                if (owner[i] > 0) mask.at(x, y) = (a << 24) | slice_colour(owner[i]);
                // cracks: darken pixels whose neighbour belongs to another slice
                bool edge = false;
                for (int d = 0; d < 4 && owner[i] > 0; ++d) {
                    const int nx = x + (d == 0) - (d == 1), ny = y + (d == 2) - (d == 3);
                    if (nx >= 0 && ny >= 0 && nx < 256 && ny < 256 && owner[size_t(ny) * 256 + nx] > 0 &&
                        owner[size_t(ny) * 256 + nx] != owner[i])
                        edge = true;
                }
                if (edge) split.at(x, y) = (a << 24) | mix(norm.at(x, y) & 0xFFFFFF, 0x140800, 0.75);
                // shadow: the silhouette, dark and translucent
                shad.at(x, y) = (uint32_t(std::lround(a * 0.55)) << 24) | 0x06101C;
            }
        write_tga(folder / "Norm.tga", norm);
        write_tga(folder / "Split.tga", split);
        write_tga(folder / "Shad.tga", shad);
        write_tga(folder / "Mask.tga", mask);
        std::ostringstream colors;
        colors << "; slice number and its colour in Mask.tga (RRGGBB)\n";
        for (int k = 1; k <= country.sliceCount; ++k) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "%06X", slice_colour(k));
            colors << k << ' ' << hex << "\n";
        }
        write_file(folder / "!Colors.txt", colors.str());
        if (number == 3) {
            // the shattered scarab: slices scattered and darkened, some lost
            Image broken(256, 256);
            Rng rng(333);
            std::vector<std::pair<int, int>> offset(size_t(country.sliceCount) + 1);
            std::vector<bool> lost(size_t(country.sliceCount) + 1);
            for (int k = 1; k <= country.sliceCount; ++k) {
                offset[size_t(k)] = {int(rng.range(-14, 14)), int(rng.range(4, 30))};
                lost[size_t(k)] = rng.uniform() < 0.25;
            }
            for (int y = 0; y < 256; ++y)
                for (int x = 0; x < 256; ++x) {
                    const int k = owner[size_t(y) * 256 + x];
                    if (k == 0 || lost[size_t(k)]) continue;
                    const int nx = x + offset[size_t(k)].first,
                              ny = std::min(255, y + offset[size_t(k)].second);
                    if (nx < 0 || nx > 255) continue;
                    const uint32_t p = split.at(x, y);
                    broken.at(nx, ny) = (p & 0xFF000000u) | mix(p & 0xFFFFFF, 0x202020, 0.45);
                }
            write_tga(folder / "Broken.tga", broken);
        }
    }
}

} // namespace content
