// The art master: slices of the level from its file, slice folders cut from the artefact pictures,
// placed and board slices, resumed levels, faulty colours, the glow pulse, hiding, moving the
// artefact, and the shake and burst of the angry chip.
#include <cmath>

#include "../common/tga_bytes.h"
#include "vis_fixture.h"

namespace velmora::boardtest {
namespace {

class ArtTest : public VisTest {
  protected:
    void SetUp() override {
        VisTest::SetUp();
        TextureFormat = D3DFMT_A8R8G8B8;
        // Slices 1..8: 16 x 16 blocks, four to a row; slice 9: a strip too wide for its glow.
        const int w = 64 + 254, h = 32;
        std::vector<uint32_t> mask(static_cast<size_t>(w) * h, 0), body(mask.size(), 0xFF808080u);
        for (int k = 1; k <= 8; ++k)
            for (int y = 0; y < 16; ++y)
                for (int x = 0; x < 16; ++x)
                    mask[static_cast<size_t>((k - 1) / 4 * 16 + y) * w + (k - 1) % 4 * 16 + x] =
                        0xFF000000u | Colour(k);
        for (int y = 16; y < 32; ++y)
            for (int x = 64; x < w; ++x)
                mask[static_cast<size_t>(y) * w + x] = 0xFF000000u | Colour(9);
        WriteBytes("Textures/Arts/Greece/Mask.tga", Tga(w, h, mask));
        WriteBytes("Textures/Arts/Greece/Body.tga", Tga(w, h, body));
        WriteBytes("Textures/Arts/Greece/Shad.tga", Tga(8, 8, std::vector<uint32_t>(64, 0x80000000u)));
        std::vector<uint32_t> pen(25, 0);
        pen[12] = 0xFFFFFFFFu;
        WriteBytes("Textures/BlurPen.tga", Tga(5, 5, pen));
        std::string colours = "; slice and colour\n";
        for (int k = 1; k <= 10; ++k) {
            char line[32];
            std::snprintf(line, sizeof line, "%d %06x\n", k, Colour(k));
            colours += line;
        }
        WriteFile("Textures/Arts/Greece/!Colors.txt", colours);
    }
    void TearDown() override {
        Art.reset();
        VisTest::TearDown();
    }

    static uint32_t Colour(int k) { return static_cast<uint32_t>(k * 0x141000 + 0x40); }

    static std::vector<uint8_t> Tga(int w, int h, const std::vector<uint32_t>& topFirst) {
        return testing::TgaBytes(w, h, topFirst);
    }
    void WriteBytes(const std::string& rel, const std::vector<uint8_t>& bytes) {
        WriteFile(rel, std::string(bytes.begin(), bytes.end()));
    }
    // A level of chips with the given slice numbers along its top row.
    void SliceLevel(const std::vector<int>& slices) {
        std::ostringstream s;
        s << "Time 120\nColorCount 5\nColors 1 2 3 4 5\nField 8x3\n";
        for (int y = 0; y < 3; ++y) {
            for (int x = 0; x < 8; ++x) {
                char token[8];
                if (y == 0 && x < static_cast<int>(slices.size()))
                    std::snprintf(token, sizeof token, "a%03d", slices[static_cast<size_t>(x)]);
                else
                    std::snprintf(token, sizeof token, "c000");
                s << token;
            }
            s << "\n";
        }
        WriteFile("Levels/Greece/01.map", s.str());
    }
    std::string SliceDir(int k) const {
        char name[64];
        std::snprintf(name, sizeof name, "/Textures/Arts/Greece/%03d", k);
        return Dir + name;
    }
    static std::string ReadText(const std::string& path) {
        std::ifstream in(path);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }

    std::unique_ptr<TArtMaster> Art;
};

TEST_F(ArtTest, LevelWithSlicesFiveToEightPlacesOneToFour) {
    SliceLevel({5, 6, 7, 8});
    Art = std::make_unique<TArtMaster>();
    EXPECT_EQ(ArtMaster, Art.get());
    EXPECT_EQ(Art->Country, 1);
    EXPECT_EQ(Art->SliceCount, 8);
    EXPECT_EQ(Art->SlicesLeft, 4);
    for (int k = 1; k <= 8; ++k) {
        TSlice* s = Art->Slice(k);
        ASSERT_NE(s, nullptr);
        EXPECT_EQ(s->Placed, k <= 4) << "slice " << k;
        EXPECT_EQ(s->Glow1 != nullptr, k > 4) << "board slices glow";
        ASSERT_NE(s->Picture, nullptr);
        EXPECT_EQ(s->Picture->ImageWidth, 16);
        EXPECT_EQ(s->Picture->Block1, k <= 4 ? sbTexAlpha : sbTexAddDiffuse);
        EXPECT_TRUE(std::filesystem::exists(SliceDir(k) + "/Slice.tga"));
        EXPECT_TRUE(std::filesystem::exists(SliceDir(k) + "/Glow.tga"));
    }
    EXPECT_EQ(Art->Slice(9), nullptr) << "slices beyond the level's highest do not exist";
    EXPECT_EQ(ReadText(SliceDir(1) + "/Coords.txt"), "0 0 15 15\r\n");
    EXPECT_EQ(ReadText(SliceDir(6) + "/Coords.txt"), "16 16 31 31\r\n");

    // Slice 1 sits with its centre at the artefact's pixel (20 + 8, 52 + 8).
    EXPECT_EQ(Art->Slice(1)->ArtX, 8);
    EXPECT_FLOAT_EQ(Art->Slice(1)->X, TableX(28));
    EXPECT_FLOAT_EQ(Art->Slice(1)->Picture->Y, TableY(60));
    EXPECT_EQ(Art->Slice(6)->ArtY, 24);

    // The cut slice holds the body's pixels where the mask has the slice's colour.
    std::vector<uint32_t> cut;
    int32_t w = 0, h = 0;
    ASSERT_TRUE(LoadTgaPixels(SliceDir(2) + "/Slice.tga", cut, w, h));
    EXPECT_EQ(w, 16);
    EXPECT_EQ(h, 16);
    EXPECT_EQ(cut[3 * 16 + 3], 0xFF808080u);
}

TEST_F(ArtTest, FaultySlicesAreReportedSkippedAndStillExist) {
    SliceLevel({9, 10});
    Art = std::make_unique<TArtMaster>();
    EXPECT_EQ(Art->SliceCount, 10);
    EXPECT_EQ(Art->SlicesLeft, 2);
    const std::string log = ReadLog();
    EXPECT_NE(log.find("slice 10"), std::string::npos);
    EXPECT_NE(log.find("no mask pixel has the colour"), std::string::npos);
    EXPECT_NE(log.find("slice 9"), std::string::npos);
    EXPECT_NE(log.find("Shape too large for a glow"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(SliceDir(9))) << "never cut from an empty or oversized box";
    EXPECT_FALSE(std::filesystem::exists(SliceDir(10)));
    ASSERT_NE(Art->Slice(10), nullptr) << "the board still has the slice";
    EXPECT_EQ(Art->Slice(10)->Picture, nullptr);
    EXPECT_TRUE(std::filesystem::exists(SliceDir(8))) << "earlier slices are made";
}

TEST_F(ArtTest, ResumedLevelKeepsCollectedSlicesHome) {
    SliceLevel({5, 6, 7, 8});
    CurrentPlayerRec().LevelInProgress = 1;
    CurrentPlayerRec().SliceDone[6 - 1] = 1;
    Art = std::make_unique<TArtMaster>();
    EXPECT_TRUE(Art->Slice(6)->Placed);
    EXPECT_FALSE(Art->Slice(7)->Placed);
    EXPECT_EQ(Art->SlicesLeft, 3);

    CurrentPlayerRec().LevelInProgress = 0;
    Art = std::make_unique<TArtMaster>();
    EXPECT_FALSE(Art->Slice(6)->Placed) << "a fresh start ignores old flags";
}

TEST_F(ArtTest, MissingColoursFileIsReportedAndTheBoardKeepsItsSlices) {
    std::filesystem::remove(Dir + "/Textures/Arts/Greece/!Colors.txt");
    SliceLevel({1, 2});
    Art = std::make_unique<TArtMaster>();
    EXPECT_NE(ReadLog().find("TArtMaster.ReadMaskColors: file '"), std::string::npos);
    EXPECT_NE(ReadLog().find("!Colors.txt' doesn't exists"), std::string::npos);
    EXPECT_EQ(Art->SlicesLeft, 2);
    EXPECT_FALSE(std::filesystem::exists(SliceDir(1)));
}

TEST_F(ArtTest, BoardSliceGlowPulsesAndHidesWithThePause) {
    SliceLevel({1});
    Art = std::make_unique<TArtMaster>();
    TSlice* s = Art->Slice(1);
    GameTime = 0; // g = 0: a1 = 0.75, a2 = 0.45
    s->StepMe();
    EXPECT_EQ(s->Glow1->Color, 0xBF0080FFu);
    EXPECT_EQ(s->Glow2->Color, 0x73FF90FFu);
    EXPECT_EQ(s->Picture->Color, 0xFF606080u) << "dark and bluish";
    s->SetAlpha(0.5f);
    s->StepMe();
    EXPECT_EQ(s->Glow1->Color >> 24, 0x60u);

    s->MoveTo(0.1f, 0.2f);
    EXPECT_FLOAT_EQ(s->Glow2->X, 0.1f);
    Art->HideBoardSlices();
    EXPECT_FALSE(s->Visible);
    Art->ShowBoardSlices();
    EXPECT_TRUE(s->Visible);

    s->Place();
    EXPECT_EQ(s->Glow1, nullptr) << "the glows end";
    EXPECT_EQ(Art->SlicesLeft, 0);
    s->Place();
    EXPECT_EQ(Art->SlicesLeft, 0) << "placing twice counts once";
}

TEST_F(ArtTest, SetPositionMovesTheArtefact) {
    SliceLevel({3});
    Art = std::make_unique<TArtMaster>();
    Art->SetPosition(500.25f * PixelSize - ViewRight,
                     ViewTop - 300.25f * PixelSize); // inside pixel (500, 300)
    EXPECT_EQ(Art->ArtLeft, 500 - 371);
    EXPECT_EQ(Art->ArtTop, 300 - 141);
    EXPECT_FLOAT_EQ(Art->Slice(1)->X, TableX(Art->ArtLeft + 8));
    EXPECT_FALSE(Art->Slice(3)->Placed);
    // The silhouette stays under the slices, one pixel right of and above the artefact's corner.
    ASSERT_NE(Art->Shadow, nullptr);
    EXPECT_FLOAT_EQ(Art->Shadow->GetLeft(), TableX(Art->ArtLeft + 1));
    EXPECT_FLOAT_EQ(Art->Shadow->GetTop(), TableY(Art->ArtTop - 1));
}

TEST_F(ArtTest, ArtefactOfAWonLevelHasItsSlicesInPlaceAndNoneOnTheBoard) {
    SliceLevel({5, 6, 7, 8});
    Art = std::make_unique<TArtMaster>(1, 1);
    EXPECT_EQ(Art->SliceCount, 8);
    EXPECT_EQ(Art->SlicesLeft, 0);
    Art->SetPosition(0, 0);
    for (int k = 1; k <= 8; ++k) {
        TSlice* s = Art->Slice(k);
        ASSERT_NE(s, nullptr);
        EXPECT_TRUE(s->Placed) << "slice " << k;
        EXPECT_EQ(s->Glow1, nullptr) << "slice " << k;
    }
    // Slice 6 is the second block of the second row: its centre 24 pixels right of and below the corner.
    EXPECT_FLOAT_EQ(Art->Slice(6)->X, TableX(Art->ArtLeft + 24));
    EXPECT_FLOAT_EQ(Art->Slice(6)->Y, TableY(Art->ArtTop + 24));
}

struct TGameLinkProbe : TBoardGameLink {
    bool LevelComplete() const override { return false; }
    void LevelWon() override { ++Won; }
    bool HasFocusNow() const override { return true; }
    bool Paused() const override { return false; }
    bool TransitionRunning() const override { return false; }
    int Won = 0;
};

TEST_F(ArtTest, ShakeThenBurstThenTheLevelIsWon) {
    SliceLevel({3});
    Art = std::make_unique<TArtMaster>();
    TGameLinkProbe link;
    BoardGame = &link;
    const float x0 = Art->Slice(1)->X;
    Art->StartShake();
    for (int i = 0; i < 179; ++i)
        Art->Step();
    EXPECT_EQ(Art->State, 2);
    EXPECT_NE(Art->Slice(1)->X, x0) << "placed slices tremble";
    Art->Step();
    EXPECT_EQ(Art->State, 3);
    const float y1 = Art->Slice(1)->Y;
    Art->Step();
    EXPECT_NE(Art->Slice(1)->Y, y1);
    for (int i = 0; i < 340 && link.Won == 0; ++i)
        Art->Step();
    EXPECT_EQ(link.Won, 1);
    EXPECT_EQ(Art->State, 1);
    BoardGame = nullptr;
}

} // namespace
} // namespace velmora::boardtest
