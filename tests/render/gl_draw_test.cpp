// Drawing on the real OpenGL device (under the virtual display): a tiled picture and a textured
// quad go through the state blocks and the texture memory, and the screen capture shows them.
#include "../common/gl_screen.h"
#include "engine/group.h"
#include "render/multirect.h"
#include "render/visual.h"
#include "render_fixture.h"

namespace velmora::testing {
namespace {

class GlDrawing : public TRenderATest {
  protected:
    void SetUp() override {
        TRenderATest::SetUp();
        Device = nullptr; // the recording device of the fixture is not used here
        const std::string missing = Screen.Open("render test");
        if (!missing.empty()) GTEST_SKIP() << missing;
        Store = Screen.Store;
    }
    void TearDown() override {
        Screen.Close();
        TRenderATest::TearDown();
    }
    TTgaImage Shoot(std::initializer_list<TBasic*> objects) {
        return Screen.Shoot(objects, PathOf("shot.tga"));
    }
    static uint32_t Rgb(const TTgaImage& im, int x, int y) { return TGlScreen::Rgb(im, x, y); }

    TGlScreen Screen;
    TTexArr* Store = nullptr;
};

TEST_F(GlDrawing, TiledPictureAndQuadAppearOnTheirPixels) {
    // 300 x 200: red left of column 150, blue right of it; tiles of 128 give 3 x 2 tiles.
    std::vector<uint32_t> pixels(300 * 200);
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 300; ++x)
            pixels[y * 300 + x] = x < 150 ? 0xFFFF0000u : 0xFF0000FFu;
    WriteFile("Textures/Tiled.tga", TgaBytes(300, 200, pixels));
    TTexRect256 pic(100, 100, "\\Textures\\Tiled.tga", false, 128);
    pic.Block1 = sbTexture;

    WriteFile("Textures/Green.tga", TgaBytes(20, 10, std::vector<uint32_t>(200, 0xFF00FF00u)));
    ASSERT_TRUE(Store->CreateTex(60, "\\Textures\\Green.tga"));
    TTexRect quad;
    quad.TexId = 60;
    quad.Block1 = sbTexture;
    quad.PlaceTexture(600, 500, false);
    quad.RestoreDeviceObjects();

    const TTgaImage shot = Shoot({&pic, &quad});
    ASSERT_EQ(shot.Width(), 800);
    ASSERT_EQ(shot.Height(), 600);
    EXPECT_EQ(Rgb(shot, 50, 50), 0x000000u);
    EXPECT_EQ(Rgb(shot, 110, 110), 0xFF0000u);
    EXPECT_EQ(Rgb(shot, 240, 290), 0xFF0000u); // across the tile seam at 228 and the row seam at 228
    EXPECT_EQ(Rgb(shot, 260, 150), 0x0000FFu);
    EXPECT_EQ(Rgb(shot, 390, 290), 0x0000FFu); // the short last column
    EXPECT_EQ(Rgb(shot, 410, 150), 0x000000u);
    EXPECT_EQ(Rgb(shot, 610, 505), 0x00FF00u);
    EXPECT_EQ(Rgb(shot, 630, 505), 0x000000u);

    // After a reset the picture comes back from its file.
    pic.InvalidateDeviceObjects();
    pic.RestoreDeviceObjects();
    quad.SetColor(0xFF808080u);
    const TTgaImage again = Shoot({&pic});
    EXPECT_EQ(Rgb(again, 110, 110), 0xFF0000u);
    EXPECT_EQ(Rgb(again, 610, 505), 0x000000u);
}

TEST_F(GlDrawing, ScreenCaptureBeforeASwitchComesBackAsTheNextWindowsSnapshotTheRightWayUp) {
    // The screen being left: red over its top half, blue over its bottom half.
    std::vector<uint32_t> halves(800 * 600);
    for (int y = 0; y < 600; ++y)
        for (int x = 0; x < 800; ++x)
            halves[y * 800 + x] = y < 300 ? 0xFFFF0000u : 0xFF0000FFu;
    WriteFile("Textures/Halves.tga", TgaBytes(800, 600, halves));
    TTexRect256 leaving(0, 0, "\\Textures\\Halves.tga", false, 256);
    leaving.Block1 = sbTexture;
    const TTgaImage before = Shoot({&leaving});
    ASSERT_EQ(Rgb(before, 400, 100), 0xFF0000u);
    Paths.Textures = Paths.Base + "\\Textures";
    ASSERT_TRUE(CaptureScreen());

    // The entering window's passage shows the capture over the whole screen.
    TTexRect256 snapshot(0, 0, ScreenCaptureFile(), true, 256);
    snapshot.Block1 = sbTexture;
    const TTgaImage after = Shoot({&snapshot});
    EXPECT_EQ(Rgb(after, 400, 100), 0xFF0000u) << "the top of the screen left stays on top";
    EXPECT_EQ(Rgb(after, 400, 500), 0x0000FFu);
}

TEST_F(GlDrawing, BlendedQuadColourRectAndMultiRectUseTheirBlocks) {
    TColorRect back;
    back.SetRect(0, 0, 800, 600);
    back.SetColor(0xFF0000FFu);
    back.Block1 = sbDiffuse;
    back.RestoreDeviceObjects();

    WriteFile("Textures/Half.tga", TgaBytes(20, 20, std::vector<uint32_t>(400, 0x80FF0000u)));
    ASSERT_TRUE(Store->CreateTex(62, "\\Textures\\Half.tga"));
    TTexRect half;
    half.TexId = 62;
    half.Block1 = sbTexAlpha;
    half.PlaceTexture(100, 100, false);
    half.RestoreDeviceObjects();

    WriteFile("Textures/Atlas.tga", TgaBytes(16, 16, std::vector<uint32_t>(256, 0xFF00FF00u)));
    ASSERT_TRUE(Store->CreateTex(61, "\\Textures\\Atlas.tga"));
    TTexMultiRect multi(2, WriteText("a.dscr", "[Head]\n16 16\n[Body]\n0 0 8 8 300 300\n8 8 8 8 500 300\n"));
    multi.TexId = 61;
    multi.SetSlot(1, 1);
    multi.SetSlot(2, 2);
    multi.SlotVisible[1] = false;
    multi.RestoreDeviceObjects();
    multi.FillVertices();

    const TTgaImage shot = Shoot({&back, &half, &multi});
    EXPECT_EQ(Rgb(shot, 50, 50), 0x0000FFu);
    const uint32_t mixed = Rgb(shot, 110, 110);
    EXPECT_NEAR(int(mixed >> 16), 128, 3);
    EXPECT_NEAR(int(mixed & 0xFF), 127, 3);
    EXPECT_EQ(Rgb(shot, 304, 304), 0x0000FFu); // hidden slot
    EXPECT_EQ(Rgb(shot, 504, 304), 0x00FF00u);
}

// A slice on the board draws with the add block under the glow colour of its step: half grey at the
// glow's peak leaves the picture's own colours, less red and green darken it towards blue.
TEST_F(GlDrawing, SliceAddBlockShowsTrueColoursAtThePeakAndDarkensTowardsBlue) {
    const uint32_t terracotta = 0xFFA0502Cu;
    WriteFile("Textures/Slice.tga", TgaBytes(32, 32, std::vector<uint32_t>(32 * 32, terracotta)));
    TTexRect256 slice(200, 200, "\\Textures\\Slice.tga", false, 256);
    slice.Block1 = sbTexAddDiffuse;
    slice.SetColor(0xFF808080u); // a1 = 1, opacity 1
    const TTgaImage peak = Shoot({&slice});
    const uint32_t p = Rgb(peak, 216, 216);
    EXPECT_NEAR(int(p >> 16), 0xA0, 3);
    EXPECT_NEAR(int((p >> 8) & 0xFF), 0x50, 3);
    EXPECT_NEAR(int(p & 0xFF), 0x2C, 3);

    slice.SetColor(0xFF404080u); // a1 = 0.5: the trough of the pulse
    const TTgaImage trough = Shoot({&slice});
    const uint32_t t = Rgb(trough, 216, 216);
    EXPECT_NEAR(int(t >> 16), 0xA0 - 0x40, 3);
    EXPECT_NEAR(int((t >> 8) & 0xFF), 0x50 - 0x40, 3);
    EXPECT_NEAR(int(t & 0xFF), 0x2C, 3);
}

} // namespace
} // namespace velmora::testing
