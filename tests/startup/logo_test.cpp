#include <gtest/gtest.h>

#include "app/options.h"
#include "startup/w_logo.h"
#include "startup_fixture.h"

namespace velmora::testing {
namespace {

class LogoTest : public TStartupTest {
  protected:
    TW_Logo* Open() {
        auto* w = new TW_Logo();
        Group->AddWindow(w);
        return w;
    }
    static int FadeAlpha(TW_Logo* w) { return w->FadeRect->VerticesAs<TVertexDiffuse>()[0].Color >> 24; }
    static int GlintAlpha(TW_Logo* w) { return w->Glint->Quad()[0].Color >> 24; }
};

TEST_F(LogoTest, AppearsGlintsAndFadesOverExactly345Units) {
    Options.CONST_AngleCoeff = 2;
    TW_Logo* w = Open();
    EXPECT_EQ(w->State, 1);
    EXPECT_EQ(FadeAlpha(w), 255); // starts in white
    EXPECT_FALSE(w->Glint->Visible);
    Frame(60);
    EXPECT_EQ(FadeAlpha(w), 128);
    Frame(60);
    EXPECT_EQ(w->State, 2);
    EXPECT_FALSE(w->FadeRect->Visible);
    EXPECT_TRUE(w->Glint->Visible);
    Frame(45);
    EXPECT_EQ(GlintAlpha(w), 128); // brightening
    EXPECT_NEAR(w->Glint->Angle, 1.5f, 1e-4);
    Frame(45);
    EXPECT_EQ(GlintAlpha(w), 255); // full at the middle
    EXPECT_NEAR(w->Glint->Angle, 1.0f, 1e-4);
    Frame(89);
    EXPECT_LE(GlintAlpha(w), 3);
    Frame(1);
    EXPECT_EQ(w->State, 3);
    EXPECT_FALSE(w->Glint->Visible);
    EXPECT_TRUE(w->FadeRect->Visible);
    Frame(44);
    EXPECT_EQ(FadeAlpha(w), 249); // 44 of 45 units back to white
    EXPECT_TRUE(StartupOpened.empty());
    EXPECT_FALSE(w->Dead);
    Frame(1); // unit 345: the window ends and asks for the main menu
    Frame(1);
    EXPECT_EQ(StartupOpened, std::vector<int>{11});
}

TEST_F(LogoTest, KeysAndClicksDoNotShortenTheSequence) {
    Open();
    int frames = 0;
    while (StartupOpened.empty() && frames < 1000) {
        Key(VK_ESCAPE);
        Key(VK_RETURN);
        Key(VK_SPACE);
        Press(400, 300);
        Frame();
        Release(400, 300);
        ++frames;
    }
    EXPECT_EQ(frames, 346); // 345 units, then the group opens the menu
}

TEST_F(LogoTest, GlintTurnsAboutTheConfiguredPixel) {
    Options.CONST_BlickX = 0;
    Options.CONST_BlickY = 0;
    Options.CONST_AngleCoeff = 0;
    TW_Logo* w = Open();
    EXPECT_FLOAT_EQ(w->Glint->X, PixelX[0]); // top-left screen pixel
    EXPECT_FLOAT_EQ(w->Glint->Y, PixelY[0]);
    EXPECT_TRUE(w->Glint->Rotated);
    Frame(200);
    EXPECT_EQ(w->State, 2);
    EXPECT_FLOAT_EQ(w->Glint->Angle, 0); // no turn with a zero coefficient
}

TEST_F(LogoTest, GlintPixelOffTheScreenIsReportedAndKeptOnIt) {
    EXPECT_EQ(GlintPixelX(123), 123);
    EXPECT_EQ(GlintPixelY(599), 599);
    EXPECT_FALSE(LogHas("CONST_Blick"));
    EXPECT_EQ(GlintPixelX(-40), 0);
    EXPECT_EQ(GlintPixelX(800), 799);
    EXPECT_EQ(GlintPixelY(100000), 599);
    EXPECT_EQ(GlintPixelY(-2147483647 - 1), 0);
    EXPECT_TRUE(LogHas("TW_Logo.Create: CONST_BlickX=-40 lies off the screen; 0 is used"));
    EXPECT_TRUE(LogHas("TW_Logo.Create: CONST_BlickY=100000 lies off the screen; 599 is used"));

    Options.CONST_BlickX = 5000;
    Options.CONST_BlickY = -7;
    TW_Logo* w = Open();
    EXPECT_FLOAT_EQ(w->Glint->X, PixelX[799]);
    EXPECT_FLOAT_EQ(w->Glint->Y, PixelY[0]);
}

TEST_F(LogoTest, WhiteCarriesTheRoundedOpacity) {
    EXPECT_EQ(WhiteWithAlpha(0), 0x00FFFFFFu);
    EXPECT_EQ(WhiteWithAlpha(1), 0xFFFFFFFFu);
    EXPECT_EQ(WhiteWithAlpha(0.5f), 0x80FFFFFFu);
    EXPECT_EQ(WhiteWithAlpha(1.5f), 0xFFFFFFFFu);
    EXPECT_EQ(WhiteWithAlpha(-1), 0x00FFFFFFu);
}

} // namespace
} // namespace velmora::testing
