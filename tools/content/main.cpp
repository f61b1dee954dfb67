// velmora_content: writes the game's whole data folder.
//   velmora_content [--lang Eng|Rus|Ger] [--out FOLDER]   (defaults: Eng, ./data)
//   velmora_content --icons FOLDER NAME                   the launcher icon, hicolor sizes and SVG
// The folder holds all three languages; --lang only picks the default in "Texts/Language.txt".
#include "content.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <exception>
#include <string>

namespace {

void usage() {
    std::fprintf(stderr,
                 "usage: velmora_content [--lang Eng|Rus|Ger] [--out FOLDER] | --icons FOLDER NAME\n");
}

bool parse_lang(const std::string& s, content::Lang& lang) {
    if (s == "Eng")
        lang = content::Lang::Eng;
    else if (s == "Rus")
        lang = content::Lang::Rus;
    else if (s == "Ger")
        lang = content::Lang::Ger;
    else
        return false;
    return true;
}

// Files the game derives at its first run; they are removed so that a rebuilt pack is derived again.
void remove_derived(const content::Context& ctx, const content::Campaign& campaign) {
    std::error_code ec;
    std::filesystem::remove(ctx.textures("Glares1.tga"), ec);
    std::filesystem::remove(ctx.textures("Glares2.tga"), ec);
    for (const auto& c : campaign.countries) {
        const auto art = ctx.textures("Arts") / c.folder;
        std::filesystem::remove(art / "Body.tga", ec);
        for (int i = 1; i <= 128; ++i) {
            char num[8];
            std::snprintf(num, sizeof num, "%03d", i);
            std::filesystem::remove_all(art / num, ec);
        }
    }
}

int write_icons_or_say_why(const std::string& folder, const std::string& name) {
    try {
        content::write_icons(folder, name);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "velmora_content: %s\n", e.what());
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    content::Context ctx;
    ctx.out = "data";
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--lang" && i + 1 < argc) {
            if (!parse_lang(argv[++i], ctx.lang)) {
                usage();
                return 2;
            }
        } else if (a == "--out" && i + 1 < argc) {
            ctx.out = argv[++i];
        } else if (a == "--icons" && i + 2 < argc) {
            return write_icons_or_say_why(argv[i + 1], argv[i + 2]);
        } else {
            usage();
            return 2;
        }
    }
    const auto start = std::chrono::steady_clock::now();
    try {
        const content::Campaign campaign = content::plan_campaign();
        remove_derived(ctx, campaign);
        content::write_campaign(ctx, campaign);
        content::write_texts(ctx, campaign);
        content::write_fonts(ctx);
        content::write_particles(ctx);
        content::write_game_textures(ctx);
        content::write_menu_textures(ctx, campaign);
        content::write_story_pictures(ctx, campaign);
        content::write_artefacts(ctx, campaign);
        content::write_sounds(ctx);
        content::write_jpeg_list(ctx);
        std::filesystem::create_directories(ctx.out / "PlayerData"); // the game keeps Game.dat here
    } catch (const std::exception& e) {
        std::fprintf(stderr, "velmora_content: %s\n", e.what());
        return 1;
    }
    const double secs = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("velmora_content: wrote %s (default language %s) in %.1f s\n", ctx.out.string().c_str(),
                ctx.code().c_str(), secs);
    return 0;
}
