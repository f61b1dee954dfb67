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

struct Context {
    std::filesystem::path out;
    Lang lang = Lang::Eng;

    CodePage codepage() const { return lang == Lang::Rus ? CodePage::Cp1251 : CodePage::Cp1252; }
    std::string code() const { return lang == Lang::Rus ? "Rus" : lang == Lang::Ger ? "Ger" : "Eng"; }
    std::filesystem::path textures(const std::string& rel) const { return out / "Textures" / rel; }
};

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
