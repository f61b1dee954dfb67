// One data folder, three languages: the game is started once in each (from the folder's default,
// from the desktop's locale, from the saved choice) and the titles of the main menu and the help
// window must show, glyph by glyph, the words of that language drawn with its own font.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "e2e_support.h"
#include "render/itf.h"

namespace fs = std::filesystem;
using namespace velmora::e2e;

namespace {

struct TPicture {
    int W = 0, H = 0;
    std::vector<uint32_t> Px; // 0xAARRGGBB, top row first
    uint32_t At(int x, int y) const { return Px[static_cast<size_t>(y) * W + x]; }
};

// An uncompressed 32-bit TGA (screenshots and font atlases), either row order.
TPicture ReadTga(const fs::path& file) {
    const std::string b = ReadBytes(file);
    TPicture p;
    if (b.size() < 18 || b[2] != 2 || static_cast<uint8_t>(b[16]) != 32) return p;
    const auto u8 = [&b](size_t i) { return static_cast<uint8_t>(b[i]); };
    const int w = u8(12) | u8(13) << 8, h = u8(14) | u8(15) << 8;
    const bool topFirst = (u8(17) & 0x20) != 0;
    const size_t start = 18 + u8(0);
    if (b.size() < start + static_cast<size_t>(w) * h * 4) return p;
    p.W = w;
    p.H = h;
    p.Px.resize(static_cast<size_t>(w) * h);
    for (int row = 0; row < h; ++row)
        for (int x = 0; x < w; ++x) {
            const size_t at = start + (static_cast<size_t>(row) * w + x) * 4;
            const int y = topFirst ? row : h - 1 - row;
            p.Px[static_cast<size_t>(y) * w + x] =
                u8(at) | u8(at + 1) << 8 | u8(at + 2) << 16 | uint32_t(u8(at + 3)) << 24;
        }
    return p;
}

// A glyph as the screen shows it where the atlas is opaque: those pixels are the atlas's own
// colour whatever lies behind the title.
struct TGlyphInk {
    int W = 0, Shift = 0;
    std::vector<int> X, Y;
    std::vector<uint32_t> Rgb;
};

struct TFontOnDisk {
    velmora::TItfData Data;
    TPicture Atlas;
};

TFontOnDisk ReadFont(const fs::path& itf) {
    TFontOnDisk f;
    velmora::ReadItfFile(itf.string(), f.Data);
    f.Atlas = ReadTga(fs::path(itf).replace_extension(".tga"));
    return f;
}

TGlyphInk InkOf(const TFontOnDisk& font, char c) {
    TGlyphInk ink;
    const size_t k = font.Data.Chars.find(c);
    if (k == std::string::npos || k >= font.Data.Glyphs.size() || font.Atlas.W == 0) return ink;
    const velmora::TItfGlyph& g = font.Data.Glyphs[k];
    ink.W = g.W;
    ink.Shift = g.Shift;
    for (int y = 0; y < g.H; ++y)
        for (int x = 0; x < g.W; ++x) {
            const uint32_t p = font.Atlas.At(g.X + x, g.Y + y);
            if ((p >> 24) < 250) continue;
            ink.X.push_back(x);
            ink.Y.push_back(y);
            ink.Rgb.push_back(p & 0xFFFFFF);
        }
    return ink;
}

bool SameColour(uint32_t a, uint32_t b) {
    for (int s = 0; s <= 16; s += 8) {
        const int d = static_cast<int>((a >> s) & 255) - static_cast<int>((b >> s) & 255);
        if (d > 24 || d < -24) return false;
    }
    return true;
}

// Share of the glyph's opaque pixels that the screen shows at (left, top).
double InkMatch(const TPicture& shot, const TGlyphInk& ink, int left, int top) {
    if (ink.X.empty()) return 0;
    int hits = 0;
    for (size_t i = 0; i < ink.X.size(); ++i) {
        const int x = left + ink.X[i], y = top + ink.Y[i];
        if (x < 0 || y < 0 || x >= shot.W || y >= shot.H) return 0;
        hits += SameColour(shot.At(x, y) & 0xFFFFFF, ink.Rgb[i]) ? 1 : 0;
    }
    return static_cast<double>(hits) / static_cast<double>(ink.X.size());
}

constexpr double cGlyphShown = 0.9;

// How many characters of `text` the screen shows in a row, each glyph where the label lays it
// after the one before (glyph widths side by side): the first searched in the top `band` rows.
int GlyphsShownInARow(const TPicture& shot, const TFontOnDisk& font, const std::string& text, int band) {
    std::vector<TGlyphInk> inks;
    for (char c : text)
        inks.push_back(InkOf(font, c));
    if (inks.empty() || inks[0].X.size() < 12) return 0;
    int best = 0;
    for (int lineTop = 0; lineTop < band; ++lineTop)
        for (int left = 0; left + inks[0].W <= shot.W; ++left) {
            const TGlyphInk& first = inks[0];
            if (!SameColour(
                    shot.At(left + first.X[0], std::min(shot.H - 1, lineTop + first.Shift + first.Y[0])) &
                        0xFFFFFF,
                    first.Rgb[0]) ||
                InkMatch(shot, first, left, lineTop + first.Shift) < cGlyphShown)
                continue;
            int shown = 1, x = left + first.W;
            for (size_t k = 1; k < inks.size(); ++k, ++shown) {
                if (inks[k].X.size() < 12) { // a space or a dot: too little ink to tell
                    x += inks[k].W;
                    continue;
                }
                double match = 0;
                int at = x;
                for (int dx = -1; dx <= 1; ++dx) {
                    const double m = InkMatch(shot, inks[k], x + dx, lineTop + inks[k].Shift);
                    if (m > match) {
                        match = m;
                        at = x + dx;
                    }
                }
                if (match < cGlyphShown) break;
                x = at + inks[k].W;
            }
            best = std::max(best, shown);
            if (best == static_cast<int>(text.size())) return best;
        }
    return best;
}

// The text of a key in one language, as the text resources hold it (one line).
std::string TextOf(const fs::path& resources, const std::string& key, const std::string& code) {
    const std::vector<std::string> lines = ReadLines(resources);
    for (size_t i = 0; i < lines.size(); ++i) {
        if (lines[i] != "$$>" + key) continue;
        for (size_t j = i + 1; j < lines.size() && lines[j] != "$$<"; ++j) {
            if (lines[j].rfind(code + ":", 0) != 0) continue;
            const size_t a = lines[j].find('"'), b = lines[j].rfind('"');
            return a != std::string::npos && b > a ? lines[j].substr(a + 1, b - a - 1) : std::string();
        }
    }
    return {};
}

// The main menu at frame 90, then "How to play" is clicked and the help window shown at 200.
struct TRun {
    TPicture Menu, Help;
    std::vector<std::string> Log;
};

TRun RunToTheHelpWindow(const fs::path& dir, const std::string& env, const std::string& tag) {
    std::ofstream(dir / "help.txt") << "100 move 400 389\n102 down left 400 389\n104 up left 400 389\n";
    for (const char* f : {"menu.tga", "help.tga", "Error.log"})
        fs::remove(dir / f);
    TRun run;
    const int code =
        RunGame(dir,
                "--windowed --fixed-step --seed 1 --draw-shots-only --start-window 11 --script help.txt "
                "--screenshot 90:menu.tga --screenshot 200:help.tga --frames 201",
                120, env);
    EXPECT_EQ(code, 0) << ReadBytes(dir / "run.out");
    if (code != 0) return run;
    run.Menu = ReadTga(dir / "menu.tga");
    run.Help = ReadTga(dir / "help.tga");
    run.Log = ReadLines(dir / "Error.log");
    for (const char* shot : {"menu", "help"})
        fs::copy_file(dir / (std::string(shot) + ".tga"),
                      ArtefactDir() / ("language_" + tag + "_" + shot + ".tga"),
                      fs::copy_options::overwrite_existing);
    return run;
}

void WriteOptions(const fs::path& dir, const std::string& language) {
    std::ofstream out(dir / "Options.txt");
    out << "Windowed 1\nWidth 800\nHeight 600\nSoundEnabled 0\n";
    if (!language.empty()) out << "Language " << language << "\n";
}

// The title font a language loads: its own folder's, else the shared one.
TFontOnDisk TitleFontOf(const fs::path& dir, const std::string& code) {
    const fs::path own = dir / "Lang" / code / "Fonts" / "MenuTitle.itf";
    return ReadFont(fs::exists(own) ? own : dir / "Fonts" / "MenuTitle.itf");
}

// Both titles in the language `code`, every glyph that of the font the language loads, and no
// character the font lacks.
void ExpectTitlesIn(const fs::path& dir, const TRun& run, const std::string& code) {
    const TFontOnDisk font = TitleFontOf(dir, code);
    ASSERT_FALSE(font.Data.Chars.empty());
    ASSERT_EQ(run.Menu.W, 800) << code;
    ASSERT_EQ(run.Help.W, 800) << code;
    const fs::path texts = dir / "Texts" / "TextResourses.txt";
    const std::string menu = TextOf(texts, "TEXT_Title_MENU", code);
    const std::string help = TextOf(texts, "TEXT_Title_Instructions", code);
    ASSERT_FALSE(menu.empty());
    ASSERT_FALSE(help.empty());
    EXPECT_EQ(GlyphsShownInARow(run.Menu, font, menu, 250), static_cast<int>(menu.size()))
        << code << " " << menu;
    EXPECT_EQ(GlyphsShownInARow(run.Help, font, help, 120), static_cast<int>(help.size()))
        << code << " " << help;
    for (const std::string& line : run.Log)
        EXPECT_EQ(line.find("Invalid char"), std::string::npos) << code << ": " << line;
}

// One folder for the three runs: English from the folder's default, Russian from the desktop's
// locale (its Windows-1251 fonts from its own folder), German from the saved choice, which beats a
// Russian desktop. A title drawn in another language's font or words is told apart.
TEST(Languages, OneFolderShowsEachLanguagesTitlesInItsOwnGlyphs) {
    if (!DataFolderBuilt())
        GTEST_SKIP() << "no data folder at " << VELMORA_DATA_DIR << " (build content_data)";
    const fs::path dir = fs::temp_directory_path() / ("velmora_languages_" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::copy(VELMORA_DATA_DIR, dir, fs::copy_options::recursive);
    for (const char* f : {"Error.log", "Options.txt", "PlayerData/Game.dat"})
        fs::remove(dir / f);
    // The resource creator makes its pictures once; the runs then start on the main menu.
    WriteOptions(dir, "");
    ASSERT_EQ(RunGame(dir, "--windowed --fixed-step --seed 1 --draw-shots-only --screens screens "
                           "--frames 3000 --quit-after-screens 3"),
              0)
        << ReadBytes(dir / "run.out");
    const fs::path texts = dir / "Texts" / "TextResourses.txt";

    const TRun english = RunToTheHelpWindow(dir, "", "eng");
    ExpectTitlesIn(dir, english, "Eng");

    const TRun russian = RunToTheHelpWindow(dir, "LANG=ru_RU.UTF-8", "rus");
    ExpectTitlesIn(dir, russian, "Rus");
    // The same bytes in the shared Windows-1252 font would be accented Latin letters.
    const std::string menuRus = TextOf(texts, "TEXT_Title_MENU", "Rus");
    EXPECT_LT(GlyphsShownInARow(russian.Menu, TitleFontOf(dir, "Eng"), menuRus, 250),
              static_cast<int>(menuRus.size()));

    WriteOptions(dir, "Ger");
    const TRun german = RunToTheHelpWindow(dir, "LANG=ru_RU.UTF-8 LANGUAGE=ru", "ger");
    ExpectTitlesIn(dir, german, "Ger");
    const std::string helpEng = TextOf(texts, "TEXT_Title_Instructions", "Eng");
    EXPECT_LT(GlyphsShownInARow(german.Help, TitleFontOf(dir, "Ger"), helpEng, 120),
              static_cast<int>(helpEng.size()));
    const std::string helpGer = TextOf(texts, "TEXT_Title_Instructions", "Ger");
    EXPECT_LT(GlyphsShownInARow(english.Help, TitleFontOf(dir, "Eng"), helpGer, 120),
              static_cast<int>(helpGer.size()));
    fs::remove_all(dir);
}

} // namespace
