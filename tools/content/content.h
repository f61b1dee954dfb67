// The tool's parts and what they share: where to write, in which language, and the campaign.
#pragma once

#include "files.h"
#include "image.h"

#include <array>
#include <filesystem>
#include <string>
#include <vector>

namespace content {

enum class Lang { Eng, Rus, Ger };

constexpr Lang kLanguages[] = {Lang::Eng, Lang::Rus, Lang::Ger};

inline CodePage codepage_of(Lang lang) {
    return lang == Lang::Rus ? CodePage::Cp1251 : CodePage::Cp1252;
}
inline std::string code_of(Lang lang) {
    return lang == Lang::Rus ? "Rus" : lang == Lang::Ger ? "Ger" : "Eng";
}
inline size_t index_of(Lang lang) {
    return lang == Lang::Eng ? 0 : lang == Lang::Rus ? 1 : 2;
}

// The folder holds every language: the shared folders are English (code page 1252) and
// "Lang/<code>" holds what another language needs instead (fonts of its code page, town names).
// `lang` is only the default written into "Texts/Language.txt".
struct Context {
    std::filesystem::path out;
    Lang lang = Lang::Eng;

    std::string code() const { return code_of(lang); }
    std::filesystem::path textures(const std::string& rel) const { return out / "Textures" / rel; }
    std::filesystem::path lang_dir(Lang l) const { return out / "Lang" / code_of(l); }
};

// The language choice of the options window shows each name in its own language with one font.
struct LanguageName {
    Lang lang;
    const char* utf8;
};
constexpr LanguageName kLanguageNames[] = {
    {Lang::Eng, "English"}, {Lang::Rus, "Русский"}, {Lang::Ger, "Deutsch"}};

struct Town {
    int x = 0, y = 0;
    std::array<std::string, 3> name; // UTF-8: English, Russian, German
};

struct Country {
    std::string folder;                           // one word, also the art and map file names
    std::vector<Town> towns;                      // one per level
    int sliceCount = 0;                           // slices of the artefact
    std::vector<std::pair<int, int>> levelSlices; // first and last slice number held by each level
};

struct Campaign {
    std::vector<Country> countries;
    int levelCount() const;
};

// Map pictures are this size; town coordinates are relative to their top-left corner.
constexpr int kMapW = 774;
constexpr int kMapH = 462;

Campaign plan_campaign();
void write_campaign(const Context& ctx, const Campaign& campaign);
void write_texts(const Context& ctx, const Campaign& campaign);
void write_fonts(const Context& ctx);
void write_game_textures(const Context& ctx);
void write_menu_textures(const Context& ctx, const Campaign& campaign);
void write_story_pictures(const Context& ctx, const Campaign& campaign);
void write_artefacts(const Context& ctx, const Campaign& campaign);
void write_particles(const Context& ctx);
void write_sounds(const Context& ctx);

// Writes a picture as JPEG (with a greyscale "_Alpha" JPEG when `alpha`) and lists it for the
// resource creator; write_jpeg_list writes the list once every picture is made.
void ship_jpeg(const Context& ctx, const std::string& rel, const Image& img, bool alpha);
void write_jpeg_list(const Context& ctx);

// The launcher icon as `name`.png in every hicolor size (16 to 512) and `name`.svg, under
// `folder`/hicolor/<size>/apps.
void write_icons(const std::filesystem::path& folder, const std::string& name);

} // namespace content
