// The campaign the content tool writes: countries, towns and level boards that can be played
// through, with every slice of every artefact on some level of its country.
#include "content_support.h"

#include "app/language.h"
#include "app/options.h"
#include "board/countries.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>

using namespace content_test;

namespace {

struct Level {
    int time = 0, width = 0, height = 0;
    std::vector<int> colours;
    std::vector<std::string> rows;
    char kind(int x, int y) const { return rows[size_t(y)][size_t(4 * x)]; }
    int value(int x, int y) const { return std::atoi(rows[size_t(y)].substr(size_t(4 * x + 1), 3).c_str()); }
    bool exists(int x, int y) const {
        if (x < 0 || y < 0 || x >= width || y >= height) return false;
        const char k = kind(x, y);
        return k == 'c' || k == 'C' || k == ' ' || k == 'x' || k == 'X' || k == 'w' || k == 'W' || k == 'a' ||
               k == 'A' || k == 'b' || k == 'B';
    }
};

Level read_level(const fs::path& p) {
    Level l;
    const auto lines = read_lines(p);
    for (size_t i = 0; i < lines.size(); ++i) {
        if (skipped(lines[i])) continue;
        const auto w = words(lines[i]);
        if (w[0] == "Time") l.time = std::stoi(w[1]);
        if (w[0] == "Colors")
            for (size_t k = 1; k < w.size(); ++k)
                l.colours.push_back(std::stoi(w[k]));
        if (w[0] == "Field") {
            const auto x = w[1].find_first_of("xX");
            l.width = std::stoi(w[1].substr(0, x));
            l.height = std::stoi(w[1].substr(x + 1));
            for (int r = 0; r < l.height && i + 1 + size_t(r) < lines.size(); ++r)
                l.rows.push_back(lines[i + 1 + size_t(r)]);
            break;
        }
    }
    return l;
}

// "01.map" ... : the file of a country's i-th level.
std::string level_file_name(int i) {
    char name[16];
    std::snprintf(name, sizeof name, "%02d.map", i);
    return name;
}

struct CountryRow {
    std::string folder;
    int levels = 0;
    std::vector<std::pair<int, int>> towns;
};

std::vector<CountryRow> read_countries() {
    std::vector<CountryRow> out;
    const auto lines = read_lines(data_dir() / "Levels" / "Countries.txt");
    for (size_t i = 0; i < lines.size(); ++i) {
        if (skipped(lines[i])) continue;
        const auto w = words(lines[i]);
        if (w[0] == "CountryNames")
            for (size_t k = 1; k < w.size(); ++k)
                out.push_back({w[k], 0, {}});
        if (w[0] == "LevelCount")
            for (size_t k = 1; k < w.size() && k <= out.size(); ++k)
                out[k - 1].levels = std::stoi(w[k]);
        if (w[0] == "TownCoords")
            for (auto& c : out)
                if (c.folder == w[1])
                    for (int t = 0; t < c.levels; ++t) {
                        const auto tw = words(lines[i + 1 + size_t(t)]);
                        c.towns.emplace_back(std::stoi(tw[1]), std::stoi(tw[2]));
                    }
    }
    return out;
}

} // namespace

TEST(ContentCampaign, EightCountriesOfSeventySixLevelsWithLevel23EndingEgypt) {
    const auto countries = read_countries();
    ASSERT_EQ(countries.size(), 8u);
    int total = 0;
    for (const auto& c : countries) {
        EXPECT_GE(c.levels, 1);
        EXPECT_LE(c.levels, 32);
        ASSERT_EQ(c.towns.size(), size_t(c.levels)) << c.folder;
        total += c.levels;
    }
    EXPECT_EQ(total, 76);
    EXPECT_EQ(countries[0].levels + countries[1].levels + countries[2].levels, 23);
    EXPECT_EQ(countries[2].folder, "Egypt1");
}

TEST(ContentCampaign, EveryLevelIsAPlayableBoard) {
    std::set<int> bonusCodes;
    int global = 0;
    for (const auto& c : read_countries()) {
        for (int i = 1; i <= c.levels; ++i) {
            ++global;
            const std::string name = level_file_name(i);
            const Level l = read_level(data_dir() / "Levels" / c.folder / name);
            SCOPED_TRACE(c.folder + "/" + name);
            ASSERT_GE(l.width, 3);
            ASSERT_LE(l.width, 32);
            ASSERT_EQ(l.rows.size(), size_t(l.height));
            EXPECT_GT(l.time, 30);
            EXPECT_GE(l.colours.size(), 4u);
            for (int col : l.colours) {
                EXPECT_GE(col, 1);
                EXPECT_LE(col, 10);
            }
            for (const auto& row : l.rows) {
                EXPECT_GE(row.size(), size_t(4 * l.width));
            }
            int chips = 0;
            for (int y = 0; y < l.height; ++y)
                for (int x = 0; x < l.width; ++x) {
                    const char k = l.kind(x, y);
                    chips += k == 'c';
                    if (k == 'b') bonusCodes.insert(l.value(x, y));
                    if (k == 'b' && l.value(x, y) == 8) {
                        EXPECT_EQ(global, 23) << "the angry chip belongs to level 23 only";
                    }
                    // a wall at the foot of a column would hold everything above it for ever
                    if (k == 'w') {
                        EXPECT_TRUE(y + 1 < l.height && l.exists(x, y + 1))
                            << "wall at a column foot " << x << ',' << y;
                    }
                    // a slice must have somewhere to fall
                    if (k == 'a') {
                        EXPECT_TRUE(y + 1 < l.height && l.exists(x, y + 1));
                    }
                }
            EXPECT_GE(chips, l.width * l.height / 2);
        }
    }
    for (int code = 1; code <= 8; ++code) {
        EXPECT_TRUE(bonusCodes.count(code)) << "bonus code " << code;
    }
}

TEST(ContentCampaign, EachCountrysLevelsBringDownEverySliceOfItsArtefact) {
    for (const auto& c : read_countries()) {
        SCOPED_TRACE(c.folder);
        int colourLines = 0;
        std::set<std::string> colours;
        for (const std::string& line :
             read_lines(data_dir() / "Textures" / "Arts" / c.folder / "!Colors.txt")) {
            if (skipped(line)) continue;
            ++colourLines;
            colours.insert(words(line).at(1));
        }
        EXPECT_EQ(colours.size(), size_t(colourLines)) << "slice colours must differ";
        std::set<int> covered;
        int previousMax = 0;
        for (int i = 1; i <= c.levels; ++i) {
            const std::string name = level_file_name(i);
            const Level l = read_level(data_dir() / "Levels" / c.folder / name);
            int lo = 1 << 30, hi = 0;
            for (int y = 0; y < l.height; ++y)
                for (int x = 0; x < l.width; ++x)
                    if (l.kind(x, y) == 'a') {
                        covered.insert(l.value(x, y));
                        lo = std::min(lo, l.value(x, y));
                        hi = std::max(hi, l.value(x, y));
                    }
            ASSERT_GT(hi, 0) << name << " holds no slice";
            EXPECT_EQ(lo, previousMax + 1) << name << " must continue where the previous level stopped";
            EXPECT_EQ(int(covered.size()), hi) << name << " must hold every slice of its range";
            previousMax = hi;
        }
        EXPECT_EQ(previousMax, colourLines);
    }
}

TEST(ContentCampaign, GameReadersLoadTheCountriesAndEveryLevel) {
    velmora::TCountryTable table;
    ASSERT_TRUE(velmora::ReadCountriesFrom((data_dir() / "Levels" / "Countries.txt").string(), table));
    ASSERT_EQ(table.CountryCount, 8);
    int levels = 0;
    for (int c = 1; c <= table.CountryCount; ++c) {
        for (int i = 1; i <= table.LevelCount[c]; ++i) {
            ++levels;
            const std::string name = level_file_name(i);
            velmora::TLevelInfo info;
            auto cells = std::make_unique<velmora::TCellGrid>();
            ASSERT_TRUE(velmora::ReadLevelFileFrom(
                (data_dir() / "Levels" / table.CountryNames[c] / name).string(), c, info, *cells, false))
                << table.CountryNames[c] << '/' << name;
            EXPECT_GE(info.Width, 3);
            EXPECT_GE(info.ColorCount, 4);
            int slices = 0;
            for (int x = 1; x <= info.Width; ++x)
                for (int y = 1; y <= info.Height; ++y)
                    slices += cells->At(x, y).Kind == velmora::ckSlice;
            EXPECT_GE(slices, 1);
        }
    }
    EXPECT_EQ(levels, 76);
}

TEST(ContentCampaign, GameTextResourcesFindEveryKeyInEnglish) {
    velmora::InitDataPaths(data_dir().string());
    auto lang = std::make_unique<velmora::TLang>();
    EXPECT_EQ(lang->LangCode, "Eng");
    for (const char* key : {"TEXT_Nobody", "TEXT_MAP_ArtText_08", "TEXT_IntHelp_VisBonus4",
                            "Text_IntHelp_Bonus8", "TEXT_History_scPostHistory4", "text_ok"}) {
        std::string text = "unchanged";
        EXPECT_TRUE(lang->GetText(key, text)) << key;
        EXPECT_NE(text, "unchanged") << key;
    }
}

TEST(ContentCampaign, EverySliceColourCutsANonEmptyPieceThatFitsItsGlow) {
    for (const auto& c : read_countries()) {
        SCOPED_TRACE(c.folder);
        const fs::path art = data_dir() / "Textures" / "Arts" / c.folder;
        const TgaInfo info = read_tga_header(art / "Mask.tga");
        ASSERT_TRUE(info.valid);
        const std::string bytes = read_bytes(art / "Mask.tga");
        struct Box {
            int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;
        };
        std::map<uint32_t, Box> boxes;
        for (int row = 0; row < info.height; ++row)
            for (int x = 0; x < info.width; ++x) {
                const size_t at = 18 + (size_t(row) * info.width + x) * 4;
                const auto b = static_cast<unsigned char>(bytes[at]),
                           g = static_cast<unsigned char>(bytes[at + 1]),
                           r = static_cast<unsigned char>(bytes[at + 2]),
                           a = static_cast<unsigned char>(bytes[at + 3]);
                if (a == 0) {
                    continue;
                }
                const int y = info.height - 1 - row; // rows are stored bottom-up
                Box& box = boxes[(uint32_t(r) << 16) | (uint32_t(g) << 8) | b];
                box.left = std::min(box.left, x);
                box.right = std::max(box.right, x);
                box.top = std::min(box.top, y);
                box.bottom = std::max(box.bottom, y);
            }
        for (const std::string& line : read_lines(art / "!Colors.txt")) {
            if (skipped(line)) {
                continue;
            }
            const uint32_t colour = uint32_t(std::stoul(words(line).at(1), nullptr, 16));
            ASSERT_TRUE(boxes.count(colour)) << "slice " << words(line)[0] << " has no pixels";
            const Box& box = boxes[colour];
            // the glow pads the slice by the brush radius on each side within 256 x 256
            EXPECT_LE(box.right - box.left + 1 + 12, 256);
            EXPECT_LE(box.bottom - box.top + 1 + 12, 256);
        }
        const auto colourLines = read_lines(art / "!Colors.txt");
        EXPECT_EQ(boxes.size(), size_t(std::count_if(colourLines.begin(), colourLines.end(),
                                                     [](const std::string& l) { return !skipped(l); })))
            << "the mask holds only the listed colours";
    }
}

namespace {

// Possible moves without items: two neighbouring free chips whose exchange completes a line.
int count_moves(velmora::TCellGrid& g, int w, int h) {
    auto movable = [&](int x, int y) {
        return velmora::GridCellExists(g, w, h, x, y) && g.At(x, y).Kind == velmora::ckChip &&
               g.At(x, y).Lock == 0;
    };
    int moves = 0;
    for (int x = 1; x <= w; ++x) {
        for (int y = 1; y <= h; ++y) {
            for (auto [dx, dy] : {std::pair{1, 0}, std::pair{0, 1}}) {
                const int nx = x + dx, ny = y + dy;
                if (nx > w || ny > h || !movable(x, y) || !movable(nx, ny)) {
                    continue;
                }
                std::swap(g.At(x, y), g.At(nx, ny));
                int count = 0;
                const bool line = velmora::GridCheckLine(g, w, h, x, y, count) ||
                                  velmora::GridCheckLine(g, w, h, nx, ny, count);
                std::swap(g.At(x, y), g.At(nx, ny));
                moves += line;
            }
        }
    }
    return moves;
}

} // namespace

TEST(ContentCampaign, EveryLevelDealsABoardWithAtLeastTwoMoves) {
    velmora::TCountryTable table;
    ASSERT_TRUE(velmora::ReadCountriesFrom((data_dir() / "Levels" / "Countries.txt").string(), table));
    for (int c = 1; c <= table.CountryCount; ++c) {
        for (int i = 1; i <= table.LevelCount[c]; ++i) {
            const std::string name = level_file_name(i);
            const std::string path = (data_dir() / "Levels" / table.CountryNames[c] / name).string();
            // the board deals twice over the same cells and retries until two moves exist; a fair
            // level succeeds within a few deals
            bool dealt = false;
            for (int attempt = 0; attempt < 10 && !dealt; ++attempt) {
                velmora::TLevelInfo info;
                auto cells = std::make_unique<velmora::TCellGrid>();
                ASSERT_TRUE(velmora::ReadLevelFileFrom(path, c, info, *cells, true));
                ASSERT_TRUE(velmora::ReadLevelFileFrom(path, c, info, *cells, true));
                dealt = count_moves(*cells, info.Width, info.Height) >= 2;
            }
            EXPECT_TRUE(dealt) << path;
        }
    }
}

// Walls and chains never stand in a slice's column, nor on the two bottom rows within two columns
// of it: there only rows of three can clear the cells under a slice (a level with such a wall was
// lost by the player bot more often than won). From level 17 on, apart from the angry chip's
// level, a hammer or a sap lies on the board for a slice that gets stuck.
TEST(ContentCampaign, ObstaclesKeepClearOfTheSlicesWays) {
    int global = 0;
    for (const auto& c : read_countries()) {
        for (int i = 1; i <= c.levels; ++i) {
            ++global;
            const std::string name = level_file_name(i);
            const Level l = read_level(data_dir() / "Levels" / c.folder / name);
            SCOPED_TRACE(c.folder + "/" + name);
            std::set<int> sliceColumns;
            bool freeing = false;
            for (int y = 0; y < l.height; ++y)
                for (int x = 0; x < l.width; ++x) {
                    if (l.kind(x, y) == 'a') sliceColumns.insert(x);
                    freeing = freeing || (l.kind(x, y) == 'b' && (l.value(x, y) == 1 || l.value(x, y) == 2));
                }
            for (int y = 0; y < l.height; ++y)
                for (int x = 0; x < l.width; ++x) {
                    const char k = l.kind(x, y);
                    if (k != 'w' && k != 'x' && k != 'X') continue;
                    const int reach = y >= l.height - 2 ? 2 : 0;
                    for (int s : sliceColumns)
                        EXPECT_GT(std::abs(s - x), reach)
                            << k << " at " << x << ',' << y << ", slice column " << s;
                }
            if (global >= 17 && global != 23) {
                EXPECT_TRUE(freeing) << "no hammer or sap";
            }
        }
    }
}
