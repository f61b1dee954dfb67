// The board drawn on the real OpenGL device (under the virtual display): backing tiles around an
// irregular outline, chips, a chained chip, a bonus and a wall; pixel probes find each chip's colour
// at its cell centre, and a scripted swap shows both chips midway at half of the swap.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "../common/gl_screen.h"
#include "app/device.h"
#include "app/gamedat.h"
#include "app/log.h"
#include "app/options.h"
#include "board/collaborators.h"
#include "board/countries.h"
#include "board/flies.h"
#include "board/gamevis.h"
#include "board/net.h"
#include "engine/random.h"
#include "render/blocks.h"
#include "render/tex.h"
#include "render/tga.h"

namespace velmora {
namespace {

// Chip colours of the test sheet, by colour number.
constexpr uint32_t cChipRgb[7] = {0, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00, 0xFF00FF, 0x00FFFF};
constexpr uint32_t cBonusRgb = 0xFF8000, cChainRgb = 0x909090;
constexpr uint32_t cBoardRgb = 0x000060, cBlankRgb = 0x606000, cEdgeRgb = 0x303030;

class BoardGlDrawing : public ::testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/velmora_boardgl_XXXXXX";
        Dir = mkdtemp(pattern);
        InitDataPaths(Dir);
        SetLogFile(Dir + "/Error.log");
        InitScreenGeometryFor(800, 600);
        RandomSeed(99);
        Delta = 1;
        TextureFormat = D3DFMT_A8R8G8B8;
        SquareTexturesOnly = false;
        DitherAmplitude = 0;
        Countries = TCountryTable{};
        GameDat = TGameDat{};
        CurrentPlayerRec() = TPlayerRec{};
        CurrentPlayerRec().Level = 1;
        Write("Levels/Countries.txt", "CountryCount 1\nCountryNames Greece\nLevelCount 1\n");
        Write("Levels/Greece/01.map", "Time 120\nColorCount 5\nColors 1 2 3 4 5\nField 5x4\n"
                                      "c000c000c000c000c000\nc000c000c000c000c000\n"
                                      "c000c000c000c000c000\nc000c000c000c000c000\n");
        ReadCountries();

        const std::string missing = Screen.Open("board test");
        if (!missing.empty()) GTEST_SKIP() << missing;
        Store = Screen.Store;
        MakeSheets();
    }
    void TearDown() override {
        Board.reset();
        Back.reset();
        Screen.Close();
        SetLogFile("Error.log");
        std::filesystem::remove_all(Dir);
    }

    void Write(const std::string& rel, const std::string& text) {
        std::filesystem::create_directories(std::filesystem::path(Dir + "/" + rel).parent_path());
        std::ofstream(Dir + "/" + rel, std::ios::binary) << text;
    }
    // A 256 x 256 sheet of 40 x 40 cells, six to a row; paint(cell, x, y) gives each pixel.
    template <class F> void Sheet(int32_t id, const std::string& name, F paint) {
        TTgaImage im;
        ASSERT_TRUE(NewTgaImage(im, 256, 256));
        for (int y = 0; y < 240; ++y)
            for (int x = 0; x < 240; ++x)
                im.At(x, y) = paint(y / 40 * 6 + x / 40, x % 40, y % 40);
        ASSERT_TRUE(SaveTgaImage(Dir + "/Textures/" + name, im, 1));
        ASSERT_TRUE(Store->CreateTex(id, "\\Textures\\" + name));
    }
    void MakeSheets() {
        std::filesystem::create_directories(Dir + "/Textures");
        Sheet(tiChips, "Chips.tga",
              [](int cell, int, int) { return cell < 6 ? 0xFF000000u | cChipRgb[cell + 1] : 0u; });
        Sheet(tiBonuses, "Bonuses.tga", [](int cell, int x, int y) {
            if (cell == 24 || cell == 25) // chains: a border with a clear middle
                return (x < 4 || y < 4 || x >= 36 || y >= 36) ? 0xFF000000u | cChainRgb : 0u;
            return 0xFF000000u | cBonusRgb;
        });
        Sheet(tiFields, "Fields.tga", [](int cell, int, int) {
            return 0xFF000000u | (cell == 17 ? cBoardRgb : cell == 18 ? cBlankRgb : cEdgeRgb);
        });
        FillGridUV(ChipsUV, 36, 6, 40, 40, 256, 256);
        FillGridUV(BonusesUV, 36, 6, 40, 40, 256, 256);
        FillGridUV(FieldsUV, 36, 6, 40, 40, 256, 256);
    }

    // Tokens by row: a colour digit ("2X" with two chains), "b" a bonus, "w" a wall, "-" a hole.
    TNet& Lay(const std::vector<std::string>& rows) {
        Board = std::make_unique<TNet>(Info);
        Back = std::make_unique<TChipBack>();
        TNet& n = *Board;
        n.StartLevel();
        n.StopAnimations();
        for (size_t y = 0; y < rows.size(); ++y) {
            std::istringstream in(rows[y]);
            std::string t;
            for (int32_t x = 1; in >> t; ++x) {
                TCell& c = n.Cells.At(x, static_cast<int32_t>(y) + 1);
                c = TCell{};
                if (t == "-") {
                    c.Kind = ckNone;
                } else if (t == "w") {
                    c.Kind = ckBlank;
                } else if (t == "b") {
                    c.Kind = ckBonus;
                    c.Value = 3;
                } else {
                    c.Kind = ckChip;
                    c.Value = t[0] - '0';
                    c.Lock = t.size() > 1 ? 2 : 0;
                }
            }
        }
        n.SetAState(asIdle);
        n.UpdateCellVisuals();
        Back->Build();
        return n;
    }

    TTgaImage Shoot() { return Screen.Shoot({Back.get(), VisNet}, Dir + "/shot.tga"); }
    static uint32_t Rgb(const TTgaImage& im, int x, int y) { return testing::TGlScreen::Rgb(im, x, y); }
    // Pixel (dx, dy) of cell (x, y).
    uint32_t At(const TTgaImage& im, int32_t x, int32_t y, int dx = 20, int dy = 20) const {
        const TPixelPoint p = VisNet->Pixel(x, y);
        return Rgb(im, p.X + dx, p.Y + dy);
    }

    std::string Dir;
    TLevelInfo Info;
    std::unique_ptr<TNet> Board;
    std::unique_ptr<TChipBack> Back;
    testing::TGlScreen Screen;
    TTexArr* Store = nullptr;
};

const std::vector<std::string> cRows = {"1 2 1 1 -", "2X 3 w 5 1", "3 b 4 1 2", "- 4 5 2 3"};

TEST_F(BoardGlDrawing, ChipsChainsBonusWallAndOutlineAppearOnTheirCells) {
    TNet& n = Lay(cRows);
    const TTgaImage shot = Shoot();
    ASSERT_EQ(shot.Width(), 800);
    for (int32_t y = 1; y <= 4; ++y)
        for (int32_t x = 1; x <= 5; ++x) {
            const TCell& c = n.Cells.At(x, y);
            if (c.Kind != ckChip) continue;
            EXPECT_EQ(At(shot, x, y), cChipRgb[c.Value]) << "chip at " << x << "," << y;
        }
    EXPECT_EQ(At(shot, 1, 2, 2, 20), cChainRgb) << "the chain's border lies over the chained chip";
    EXPECT_EQ(At(shot, 2, 1, 2, 20), cChipRgb[2]) << "an unchained chip has no border";
    EXPECT_EQ(At(shot, 2, 3), cBonusRgb);
    EXPECT_EQ(At(shot, 3, 2), cBlankRgb) << "the wall shows its backing";
    EXPECT_EQ(At(shot, 1, 4), cEdgeRgb) << "the hole in the corner gets a frame tile";
    EXPECT_EQ(At(shot, 6, 2), cEdgeRgb) << "the frame right of the board";
    EXPECT_EQ(At(shot, 1, 0), cEdgeRgb) << "the frame above the board";
    EXPECT_EQ(At(shot, 7, 2), 0x000000u) << "nothing beyond the frame";
    EXPECT_EQ(Rgb(shot, 5, 5), 0x000000u);

    // Faded out backing: translucent tiles over the black screen.
    Back->SetColor(0x00FFFFFFu);
    const TTgaImage faded = Shoot();
    EXPECT_EQ(At(faded, 3, 2), 0x000000u);
    EXPECT_EQ(At(faded, 1, 1), cChipRgb[1]) << "chips are not faded with the backing";
}

TEST_F(BoardGlDrawing, ScriptedSwapShowsBothChipsMidway) {
    TNet& n = Lay(cRows);
    n.Select(1, 1);
    n.MakeMove(2, 1);
    ASSERT_EQ(n.AState, asSwap);
    n.AStateTime = 0.5f;
    n.FlyAt(1, 1)->Step();
    n.FlyAt(2, 1)->Step();
    n.UpdateCellVisuals();
    const TTgaImage shot = Shoot();
    const uint32_t mid = At(shot, 1, 1, 40, 20);
    EXPECT_TRUE(mid == cChipRgb[1] || mid == cChipRgb[2]) << std::hex << mid;
    EXPECT_EQ(At(shot, 1, 1, 30, 20), mid) << "both chips cover the middle of the pair";
    EXPECT_EQ(At(shot, 1, 1, 50, 20), mid);
    EXPECT_EQ(At(shot, 1, 1, 8, 20), cBoardRgb) << "the cells themselves are bare";
    EXPECT_EQ(At(shot, 2, 1, 32, 20), cBoardRgb);
    EXPECT_EQ(At(shot, 3, 1), cChipRgb[1]) << "other chips stay";
}

} // namespace
} // namespace velmora
