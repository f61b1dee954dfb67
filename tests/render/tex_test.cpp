#include <cmath>
#include <cstring>

#include "app/screenshot.h"
#include "render_fixture.h"

namespace velmora::testing {
namespace {

class TextureStore : public TRenderATest {
  protected:
    void SetUp() override {
        TRenderATest::SetUp();
        Store = new TTexArr(0);
    }
    void TearDown() override {
        delete Store;
        TRenderATest::TearDown();
    }
    TTexArr* Store = nullptr;
};

TEST_F(TextureStore, TextureSizesArePowersOfTwoAndSquareWhenDemanded) {
    WriteFile("Textures/Pic.tga", TgaBytes(100, 60, Pattern(100, 60)));
    ASSERT_TRUE(Store->CreateTex(20, "\\Textures\\Pic.tga"));
    const TTexRec& r = Store->Recs[20];
    EXPECT_EQ(r.Width, 100);
    EXPECT_EQ(r.Height, 60);
    EXPECT_EQ(r.TexWidth, 128);
    EXPECT_EQ(r.TexHeight, 64);
    EXPECT_EQ(r.Name, "pic.tga");
    ASSERT_NE(r.Texture, nullptr);
    const auto created = Rec->CallsNamed("CreateTexture").back().Args;
    EXPECT_EQ(created[0], 128);
    EXPECT_EQ(created[1], 64);
    EXPECT_EQ(created[2], 0); // full mip chain
    EXPECT_EQ(created[4], D3DFMT_A8R8G8B8);
    EXPECT_EQ(created[5], D3DPOOL_MANAGED);

    SquareTexturesOnly = true;
    ASSERT_TRUE(Store->CreateTex(20, "\\Textures\\Pic.tga"));
    EXPECT_EQ(Store->Recs[20].TexWidth, 128);
    EXPECT_EQ(Store->Recs[20].TexHeight, 128);
    EXPECT_EQ(Rec->LiveTextures(), 1); // the old texture of the record was released

    SquareTexturesOnly = false;
    WriteFile("Textures/Dot.tga", TgaBytes(1, 1, {0xFF123456u}));
    ASSERT_TRUE(Store->CreateTex(21, "\\Textures\\Dot.tga"));
    EXPECT_EQ(Store->Recs[21].TexWidth, 1);
    EXPECT_EQ(Store->Recs[21].TexHeight, 1);
}

TEST_F(TextureStore, ThirtyTwoBitPixelsReachTheTextureUnchanged) {
    DitherAmplitude = 8; // ignored on a 32-bit texture
    const std::vector<uint32_t> pixels = Pattern(5, 3);
    WriteFile("Textures/P.tga", TgaBytes(5, 3, pixels));
    ASSERT_TRUE(Store->CreateTex(5, "\\Textures\\P.tga"));
    int pitch = 0;
    const std::vector<uint8_t> got = TextureBytes(Store->Recs[5].Texture, 5 * 4, 3, pitch);
    ASSERT_EQ(got.size(), pixels.size() * 4);
    EXPECT_EQ(std::memcmp(got.data(), pixels.data(), got.size()), 0); // top row first
}

// The screen capture is written top row first and says so in its header; the passage effect showed
// it upside down while the loader took every file for bottom-up.
TEST_F(TextureStore, ATopRowFirstPictureLikeTheScreenCaptureLoadsTheRightWayUp) {
    TPixelImage capture;
    capture.Width = 5;
    capture.Height = 3;
    capture.Pixels = Pattern(5, 3);
    WriteFile("Textures/Capture.tga", EncodeTga32(capture));
    ASSERT_TRUE(Store->CreateTex(6, "\\Textures\\Capture.tga"));
    int pitch = 0;
    const std::vector<uint8_t> got = TextureBytes(Store->Recs[6].Texture, 5 * 4, 3, pitch);
    ASSERT_EQ(got.size(), capture.Pixels.size() * 4);
    EXPECT_EQ(std::memcmp(got.data(), capture.Pixels.data(), got.size()), 0);
}

TEST_F(TextureStore, SixteenBitFormatsPackTheChannels) {
    const std::vector<uint32_t> px = {0x80F8FC08u, 0x00FFFFFFu, 0xFF000000u};
    std::vector<uint16_t> out;
    ASSERT_TRUE(ReFormat32BitImage(px, D3DFMT_R5G6B5, out));
    EXPECT_EQ(out[0], (0x1F << 11) | (0x3F << 5) | 0x01);
    ASSERT_TRUE(ReFormat32BitImage(px, D3DFMT_A1R5G5B5, out));
    EXPECT_EQ(out[0], 0x8000 | (0x1F << 10) | (0x1F << 5) | 0x01);
    EXPECT_EQ(out[1], 0x7FFF);
    ASSERT_TRUE(ReFormat32BitImage(px, D3DFMT_A4R4G4B4, out));
    EXPECT_EQ(out[0], 0x8FF0);
    EXPECT_EQ(out[2], 0xF000);
    EXPECT_FALSE(ReFormat32BitImage(px, D3DFMT_DXT1, out));
    EXPECT_TRUE(Logged("ReFormat32BitImage: unknown format.  Format=DXT1"));

    // Through the loader: the texture holds two bytes per pixel.
    TextureFormat = D3DFMT_R5G6B5;
    WriteFile("Textures/S.tga", TgaBytes(2, 1, {0xFFFFFFFFu, 0xFF000000u}));
    ASSERT_TRUE(Store->CreateTex(6, "\\Textures\\S.tga"));
    int pitch = 0;
    const std::vector<uint8_t> got = TextureBytes(Store->Recs[6].Texture, 4, 1, pitch);
    EXPECT_EQ(got, (std::vector<uint8_t>{0xFF, 0xFF, 0, 0}));
}

TEST_F(TextureStore, DitherStaysWithinItsAmplitudeAndKeepsAlpha) {
    std::vector<uint32_t> px(2000, 0x7F808080u);
    px[0] = 0x11000000u;
    px[1] = 0x22FFFFFFu;
    DitherPixels(px, 8, 99);
    int lo = 255, hi = 0;
    for (size_t i = 2; i < px.size(); ++i) {
        ASSERT_EQ(px[i] >> 24, 0x7Fu);
        for (int s = 0; s <= 16; s += 8) {
            const int c = (px[i] >> s) & 0xFF;
            lo = std::min(lo, c), hi = std::max(hi, c);
        }
    }
    EXPECT_EQ(lo, 0x80 - 8);
    EXPECT_EQ(hi, 0x80 + 7);
    EXPECT_EQ(px[0] >> 24, 0x11u); // clamped at 0, alpha untouched
    EXPECT_EQ(px[1] >> 24, 0x22u);
    std::vector<uint32_t> same(10, 0xFF808080u);
    DitherPixels(same, 0, 1);
    EXPECT_EQ(same, std::vector<uint32_t>(10, 0xFF808080u));
}

TEST_F(TextureStore, WrongExtensionKeepsTheNameAndLoadsNothing) {
    WriteFile("Textures/Pic.png", TgaBytes(2, 2, Pattern(2, 2)));
    EXPECT_FALSE(Store->CreateTex(7, "\\Textures\\Pic.PNG"));
    EXPECT_EQ(Store->Recs[7].Name, "pic.png");
    EXPECT_EQ(Store->Recs[7].Texture, nullptr);
    EXPECT_TRUE(Logged("TTexArr.CreateTex: Invalid file extension \"\\textures\\pic.png\""));
    EXPECT_THROW(Store->Rec(2048), std::out_of_range);
}

TEST_F(TextureStore, UvFilesSkipCommentsAndRespectTheTableSize) {
    WriteText("t.uv", "0 0 32 32\n\n   \n; a comment\n// another\n32 0 64 32\r\n256 128 0 64\n");
    TUVRect rects[2];
    int32_t count = -1;
    ASSERT_TRUE(Store->LoadUVFromFile(PathOf("t.uv"), rects, 2, count));
    EXPECT_EQ(count, 2);
    EXPECT_FLOAT_EQ(rects[0].Right, 0.125f);
    EXPECT_FLOAT_EQ(rects[1].Left, 0.125f);
    EXPECT_FLOAT_EQ(rects[1].Right, 0.25f);
    EXPECT_TRUE(Logged("TTexArr.LoadUVFromFile: Too many rectangles"));

    int32_t kept = 17;
    EXPECT_FALSE(Store->LoadUVFromFile(PathOf("missing.uv"), rects, 2, kept));
    EXPECT_EQ(kept, 17);
    EXPECT_TRUE(Logged("TTexArr.LoadUVFromFile: File not exists \"" + PathOf("missing.uv") + "\""));
}

TEST_F(TextureStore, GridTablesAddressTheirCells) {
    FillGridUV(ChipsUV, 36, 6, 40, 40, 256, 256);
    EXPECT_FLOAT_EQ(ChipsUV[7].Left, 40.0f / 256);
    EXPECT_FLOAT_EQ(ChipsUV[7].Top, 40.0f / 256);
    EXPECT_FLOAT_EQ(ChipsUV[35].Right, 240.0f / 256);
    FillFishesUV(FishesUV1);
    EXPECT_FLOAT_EQ(FishesUV1[9].Left, 64.0f / 256); // column-major: entry 9 is column 1, row 1
    EXPECT_FLOAT_EQ(FishesUV1[9].Top, 32.0f / 256);
}

TEST_F(TextureStore, SceneSetsLoadTheirTexturesAndTables) {
    WriteFile("Textures/ResCreator/Back0.tga", TgaBytes(4, 4, Pattern(4, 4)));
    Store->TexSet = 3;
    Store->RestoreDeviceObjects();
    EXPECT_NE(Store->Recs[tiResCreatorBack].Texture, nullptr);

    WriteText("Textures/Particles.uv", "0 0 32 32\n32 0 64 32\n");
    WriteFile("Textures/Particles.tga", TgaBytes(2, 2, Pattern(2, 2)));
    Store->InvalidateDeviceObjects();
    EXPECT_EQ(Rec->LiveTextures(), 0);
    Store->TexSet = 1;
    Store->RestoreDeviceObjects();
    EXPECT_EQ(Store->Recs[tiResCreatorBack].Texture, nullptr); // records of other sets are cleared
    EXPECT_NE(Store->Recs[tiParticles].Texture, nullptr);
    EXPECT_EQ(ParticlesUVCount, 2);
    EXPECT_FLOAT_EQ(IHelpUV[9].Top, 44.0f / 128);
    EXPECT_FLOAT_EQ(IHelpUV[9].Bottom, 66.0f / 128);
    EXPECT_FLOAT_EQ(LabelPanelUV[2].Bottom, 72.0f / 128);
    EXPECT_FLOAT_EQ(CursorsUV[3].Left, 0.5f);
    EXPECT_FLOAT_EQ(GlaresUV2[8].Left, GlaresUV[8].Left);
    EXPECT_TRUE(Logged("Chips.tga")); // missing files of the set are reported, the rest goes on
}

} // namespace
} // namespace velmora::testing
