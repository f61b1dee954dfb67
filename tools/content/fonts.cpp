// The 18 ".itf" fonts: glyphs of each code page rendered with FreeType from the DejaVu
// faces, coloured (gradient fill, outline, shadow) and packed into a TGA atlas per font.
#include "fonts.h"

#include "content.h"
#include "paint.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <stdexcept>

namespace content {

std::string font_folder() {
    return "/usr/share/fonts/truetype/dejavu/";
}

namespace {

class FreeType {
  public:
    FreeType() {
        if (FT_Init_FreeType(&lib_)) throw std::runtime_error("FreeType did not start");
    }
    ~FreeType() {
        for (auto& [name, face] : faces_)
            FT_Done_Face(face);
        FT_Done_FreeType(lib_);
    }
    FT_Face face(const std::string& file, int px) {
        auto it = faces_.find(file);
        if (it == faces_.end()) {
            FT_Face f = nullptr;
            const std::string path = font_folder() + file;
            if (FT_New_Face(lib_, path.c_str(), 0, &f))
                throw std::runtime_error("cannot open font " + path + " (package fonts-dejavu-core)");
            it = faces_.emplace(file, f).first;
        }
        FT_Set_Pixel_Sizes(it->second, 0, FT_UInt(px));
        return it->second;
    }

  private:
    FT_Library lib_ = nullptr;
    std::map<std::string, FT_Face> faces_;
};

FreeType& freetype() {
    static FreeType ft;
    return ft;
}

struct Metrics {
    int ascender, descender, lineHeight, pad;
};

Metrics metrics(FT_Face face, const TextStyle& st) {
    Metrics m{};
    m.ascender = int(face->size->metrics.ascender >> 6);
    m.descender = int(-(face->size->metrics.descender >> 6));
    m.pad = st.outlineWidth;
    m.lineHeight = m.ascender + m.descender + 2 * m.pad + st.shadow;
    return m;
}

// Coverage (0..1) of one glyph in a cell of the line's height; returns the advance.
struct Coverage {
    int w = 0, h = 0;
    std::vector<float> v;
    float at(int x, int y) const { return (x < 0 || y < 0 || x >= w || y >= h) ? 0.f : v[size_t(y) * w + x]; }
};

Coverage dilate(const Coverage& c, int r) {
    if (r <= 0) return c;
    Coverage out = c;
    for (int y = 0; y < c.h; ++y)
        for (int x = 0; x < c.w; ++x) {
            float best = 0;
            for (int dy = -r; dy <= r; ++dy)
                for (int dx = -r; dx <= r; ++dx) {
                    const float d = std::sqrt(float(dx * dx + dy * dy));
                    if (d > r + 0.5f) continue;
                    const float weight = std::clamp(r + 0.5f - d, 0.f, 1.f);
                    best = std::max(best, c.at(x + dx, y + dy) * weight);
                }
            out.v[size_t(y) * c.w + x] = best;
        }
    return out;
}

double ch(uint32_t rgb, int s) {
    return ((rgb >> s) & 255) / 255.0;
}

// Straight-alpha "over" of a coloured layer onto the picture.
void layer_over(Image& img, const Coverage& cov, int dx, int dy, double alpha, uint32_t top, uint32_t bottom,
                int lineHeight) {
    for (int y = 0; y < img.height; ++y)
        for (int x = 0; x < img.width; ++x) {
            const double a = cov.at(x - dx, y - dy) * alpha;
            if (a <= 0) continue;
            const uint32_t rgb = mix(top, bottom, lineHeight > 1 ? double(y) / (lineHeight - 1) : 0);
            const uint32_t d = img.at(x, y);
            const double da = (d >> 24) / 255.0;
            const double oa = a + da * (1 - a);
            uint32_t out = uint32_t(std::lround(oa * 255)) << 24;
            for (int s = 0; s <= 16; s += 8) {
                const double c = (ch(rgb, s) * a + ch(d, s) * da * (1 - a)) / oa;
                out |= uint32_t(std::lround(c * 255)) << s;
            }
            img.at(x, y) = out;
        }
}

} // namespace

namespace {

struct Glyph {
    Image img; // cell, line height tall
    int advance = 0;
};

Glyph render_glyph(FT_Face face, char32_t code, const TextStyle& st, const Metrics& m) {
    Glyph g;
    FT_Load_Char(face, code, FT_LOAD_RENDER);
    const FT_GlyphSlot slot = face->glyph;
    const int left = slot->bitmap_left;
    const int bw = int(slot->bitmap.width), bh = int(slot->bitmap.rows);
    const int adv = int((slot->advance.x + 32) >> 6);
    const int shiftX = std::max(0, -left);
    const int inkRight = std::max(adv, left + shiftX + bw);
    Coverage cov;
    cov.w = inkRight + 2 * m.pad + st.shadow;
    cov.h = m.lineHeight;
    cov.v.assign(size_t(cov.w * cov.h), 0.f);
    for (int y = 0; y < bh; ++y)
        for (int x = 0; x < bw; ++x) {
            const int cx = m.pad + left + shiftX + x, cy = m.pad + m.ascender - slot->bitmap_top + y;
            if (cx < 0 || cy < 0 || cx >= cov.w || cy >= cov.h) continue;
            cov.v[size_t(cy) * cov.w + cx] = slot->bitmap.buffer[y * slot->bitmap.pitch + x] / 255.f;
        }
    g.img = Image(cov.w, cov.h);
    const Coverage outer = dilate(cov, st.outlineWidth);
    if (st.shadow > 0) layer_over(g.img, outer, st.shadow, st.shadow, st.shadowAlpha, 0, 0, cov.h);
    if (st.outlineWidth > 0) layer_over(g.img, outer, 0, 0, 1.0, st.outline, st.outline, cov.h);
    layer_over(g.img, cov, 0, 0, 1.0, st.top, st.bottom, cov.h);
    // One outline's width of room per letter: the neighbours' outlines may touch, their fills never do,
    // and the text keeps the face's own rhythm instead of looking letter-spaced.
    g.advance = adv + m.pad;
    return g;
}

struct FontRecipe {
    const char* name;
    TextStyle style;
};

const std::vector<FontRecipe>& font_recipes() {
    static const std::vector<FontRecipe> recipes = {
        {"WhiteCourier11", {"DejaVuSansMono.ttf", 11, 0xFFFFFF, 0xE0ECF0, 0, 0, 1, 0.7}},
        {"BlackCourier11", {"DejaVuSansMono.ttf", 11, 0x101418, 0x202830, 0, 0, 0, 0}},
        {"MenuTitle", {"DejaVuSerif-Bold.ttf", 28, pal::GoldLight, 0xD08A1C, 0x2A1604, 2, 2, 0.6}},
        {"MenuStdButtons", {"DejaVuSans-Bold.ttf", 16, 0xF2E8CC, 0xC8B088, 0x1A1408, 1, 1, 0.5}},
        {"MenuStdActButtons", {"DejaVuSans-Bold.ttf", 16, 0xFFFFF0, 0xFFD25A, 0x3A2006, 1, 1, 0.5}},
        {"MenuBigButtons", {"DejaVuSerif-Bold.ttf", 22, 0xF2E8CC, 0xC8B088, 0x1A1408, 2, 1, 0.5}},
        {"MenuBigActButtons", {"DejaVuSerif-Bold.ttf", 22, 0xFFFFF0, 0xFFD25A, 0x3A2006, 2, 1, 0.5}},
        {"PlayerFont_Yellow", {"DejaVuSans-Bold.ttf", 15, 0xFFF2A0, 0xF0B030, 0x2A1A04, 1, 1, 0.5}},
        {"PlayerFont_Gray", {"DejaVuSans-Bold.ttf", 15, 0xC8D0D8, 0x8C98A4, 0x10161C, 1, 1, 0.5}},
        {"GameScore", {"DejaVuSans-Bold.ttf", 22, 0xFFF6C8, 0xE8A830, 0x2A1604, 2, 1, 0.6}},
        {"GameScore_Small", {"DejaVuSans-Bold.ttf", 15, 0xFFF6C8, 0xE8A830, 0x2A1604, 1, 1, 0.6}},
        {"Welcome", {"DejaVuSerif-Italic.ttf", 18, 0xE6FAFF, 0x8ED8E8, 0x06203A, 1, 1, 0.6}},
        {"PlayerFont2", {"DejaVuSerif-Bold.ttf", 20, 0xFFF8E0, 0xF0C050, 0x2A1604, 2, 1, 0.6}},
        {"History", {"DejaVuSerif.ttf", 15, 0xFBF3DC, 0xE8D8B0, 0x0A1222, 1, 1, 0.5}},
        {"History2", {"DejaVuSerif-Bold.ttf", 20, pal::GoldLight, 0xD89A2C, 0x2A1604, 2, 1, 0.6}},
        {"GameFont", {"DejaVuSans-Bold.ttf", 14, 0xFFFFFF, 0xD8E8F0, 0x081830, 1, 1, 0.5}},
        {"InteractiveHelp", {"DejaVuSans.ttf", 14, 0x1A1A30, 0x2A2440, 0, 0, 0, 0}},
        {"Arts", {"DejaVuSerif.ttf", 15, 0xF4E8C8, 0xD8C498, 0x140C04, 1, 1, 0.5}},
    };
    return recipes;
}

// Every printable byte of the code page that the face can draw.
std::vector<unsigned char> charset(FT_Face face, CodePage cp) {
    std::vector<unsigned char> out;
    for (int b = 0x20; b <= 0xFF; ++b) {
        if (b == 0x7F || b == 0xA0 || b == 0xAD) continue;
        const char32_t c = codepage_char(static_cast<unsigned char>(b), cp);
        if (c == 0 || (b >= 0x80 && c < 0xA0)) continue;
        if (b != 0x20 && FT_Get_Char_Index(face, c) == 0) continue;
        out.push_back(static_cast<unsigned char>(b));
    }
    return out;
}

int next_pow2(int v) {
    int p = 1;
    while (p < v)
        p *= 2;
    return p;
}

struct Placed {
    int x, y, w, h, shift;
};

void put_i32(std::string& s, size_t at, int32_t v) {
    for (int i = 0; i < 4; ++i)
        s[at + size_t(i)] = char((uint32_t(v) >> (8 * i)) & 255);
}

// Writes "<folder>/<name>.itf" and its atlas: the given bytes of the code page, in that order.
void write_font(const std::filesystem::path& folder, const std::string& name, const TextStyle& style,
                CodePage cp, const std::vector<unsigned char>& chars) {
    FT_Face face = freetype().face(style.face, style.px);
    const Metrics m = metrics(face, style);
    std::vector<Image> cells;
    std::vector<int> shifts;
    for (unsigned char b : chars) {
        Glyph g = render_glyph(face, codepage_char(b, cp), style, m);
        // trim empty rows; the shift keeps the glyph's place in the line
        int top = g.img.height, bottom = -1;
        for (int y = 0; y < g.img.height; ++y)
            for (int x = 0; x < g.img.width; ++x)
                if (g.img.at(x, y) >> 24) {
                    top = std::min(top, y);
                    bottom = std::max(bottom, y);
                }
        if (bottom < 0) {
            top = 0;
            bottom = 0;
        }
        Image cell = crop(g.img, 0, top, g.advance, bottom - top + 1);
        cells.push_back(cell);
        shifts.push_back(top);
    }
    // shelf packing in file order, one pixel apart
    int atlasW = 256;
    long area = 0;
    for (const Image& c : cells)
        area += long(c.width + 1) * (c.height + 1);
    if (area > 256L * 256 * 3 / 4) atlasW = 512;
    std::vector<Placed> placed;
    int x = 1, y = 1, rowH = 0;
    for (size_t i = 0; i < cells.size(); ++i) {
        if (x + cells[i].width + 1 > atlasW) {
            x = 1;
            y += rowH + 1;
            rowH = 0;
        }
        placed.push_back({x, y, cells[i].width, cells[i].height, shifts[i]});
        x += cells[i].width + 1;
        rowH = std::max(rowH, cells[i].height);
    }
    const int atlasH = next_pow2(y + rowH + 1);
    Image atlas(atlasW, atlasH);
    for (size_t i = 0; i < cells.size(); ++i)
        for (int yy = 0; yy < cells[i].height; ++yy)
            for (int xx = 0; xx < cells[i].width; ++xx)
                atlas.at(placed[i].x + xx, placed[i].y + yy) = cells[i].at(xx, yy);

    std::string itf(272 + 24 * chars.size(), '\0');
    itf[0] = char(chars.size());
    for (size_t i = 0; i < chars.size(); ++i)
        itf[1 + i] = char(chars[i]);
    put_i32(itf, 256, m.lineHeight);
    for (size_t i = 0; i < chars.size(); ++i) {
        const size_t at = 272 + 24 * i;
        put_i32(itf, at, placed[i].x);
        put_i32(itf, at + 4, placed[i].y);
        put_i32(itf, at + 8, placed[i].w);
        put_i32(itf, at + 12, placed[i].h);
        put_i32(itf, at + 16, placed[i].shift);
        put_i32(itf, at + 20, 0);
    }
    write_file(folder / (name + ".itf"), itf);
    write_tga(folder / (name + ".tga"), atlas);
}

void write_font(const std::filesystem::path& folder, const FontRecipe& recipe, CodePage cp) {
    FT_Face face = freetype().face(recipe.style.face, recipe.style.px);
    write_font(folder, recipe.name, recipe.style, cp, charset(face, cp));
}

// The options window writes each language's name in its own letters, whatever the language of the
// run: one small Windows-1251 font (Latin and Cyrillic) holds just the letters of the three names.
void write_language_names_font(const Context& ctx) {
    std::vector<unsigned char> chars = {' '};
    for (const LanguageName& n : kLanguageNames)
        for (char c : to_codepage(n.utf8, CodePage::Cp1251))
            if (std::find(chars.begin(), chars.end(), static_cast<unsigned char>(c)) == chars.end())
                chars.push_back(static_cast<unsigned char>(c));
    const auto& recipes = font_recipes();
    const auto own = std::find_if(recipes.begin(), recipes.end(), [](const FontRecipe& r) {
        return std::string(r.name) == "MenuStdButtons";
    });
    const TextStyle& style = own->style; // the check boxes' own captions
    write_font(ctx.out / "Fonts", "LanguageNames", style, CodePage::Cp1251, chars);
}

char32_t next_utf8(const std::string& s, size_t& i) {
    const auto c = static_cast<unsigned char>(s[i++]);
    if (c < 0x80) return c;
    const int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : 1;
    char32_t v = c & (0x3F >> extra);
    for (int k = 0; k < extra && i < s.size(); ++k)
        v = (v << 6) | (static_cast<unsigned char>(s[i++]) & 0x3F);
    return v;
}

} // namespace

Image render_text(const std::string& utf8, const TextStyle& style) {
    FT_Face face = freetype().face(style.face, style.px);
    const Metrics m = metrics(face, style);
    std::vector<Glyph> glyphs;
    int width = 0;
    for (size_t i = 0; i < utf8.size();) {
        glyphs.push_back(render_glyph(face, next_utf8(utf8, i), style, m));
        width += glyphs.back().advance - 2 * m.pad;
    }
    Image out(width + 2 * m.pad + style.shadow + 2, m.lineHeight);
    int x = 0;
    for (const Glyph& g : glyphs) {
        for (int yy = 0; yy < g.img.height; ++yy)
            for (int xx = 0; xx < g.img.width; ++xx) {
                const uint32_t s = g.img.at(xx, yy);
                if (!(s >> 24) || x + xx >= out.width) continue;
                uint32_t& d = out.at(x + xx, yy);
                if ((s >> 24) >= (d >> 24)) d = s; // glyph cells overlap only in their margins
            }
        x += g.advance - 2 * m.pad;
    }
    return out;
}

void write_fonts(const Context& ctx) {
    // The shared fonts carry Windows-1252 (English, German); a language of another code page has
    // its own set in its folder, read before the shared one.
    for (const FontRecipe& recipe : font_recipes()) {
        write_font(ctx.out / "Fonts", recipe, CodePage::Cp1252);
        for (Lang lang : kLanguages)
            if (codepage_of(lang) != CodePage::Cp1252)
                write_font(ctx.lang_dir(lang) / "Fonts", recipe, codepage_of(lang));
    }
    write_language_names_font(ctx);
}

} // namespace content
