// The window transition: each mode over the snapshot of the previous screen, its end, and the
// snapshot file removed with the effect.
#include <cmath>
#include <filesystem>

#include "app/d3dapp.h"
#include "app/screenshot.h"
#include "platform/files.h"
#include "render/visual.h"
#include "ui/passage.h"
#include "uiframe_fixture.h"

using namespace velmora;
using velmora::testing::TUiFrameTest;

namespace {

class Passage : public TUiFrameTest {
  protected:
    void SetUp() override {
        TUiFrameTest::SetUp();
        Paths.Textures = Dir.string(); // the capture goes to the scratch folder
        TPixelImage image;
        image.Width = 800;
        image.Height = 600;
        image.Pixels.assign(800 * 600, 0xFF336699u);
        const auto bytes = EncodeTga32(image);
        ASSERT_TRUE(WriteWholeFile(ScreenCaptureFile(), bytes.data(), bytes.size()));
        HistoryScene = 0;
    }
    void TearDown() override {
        QuitRequest = qrNone;
        Group->CameraFree = false;
        Group->CameraShake = false;
        TUiFrameTest::TearDown();
    }
    TPassageEffectWindow* Start(uint8_t mode) { return Group->Add(new TPassageEffectWindow(mode)); }
    int FramesUntilGone(TPassageEffectWindow* e) {
        int n = 0;
        while (Group->Contains(e) && n < 1000) {
            Frame();
            ++n;
        }
        return n;
    }
};

TEST_F(Passage, FadeRunsThirtyStepsThenRemovesItselfAndTheSnapshotFile) {
    TPassageEffectWindow* e = Start(pmFade);
    EXPECT_EQ(PassageEffect, e);
    ASSERT_NE(e->Snapshot, nullptr);
    EXPECT_EQ(e->Snapshot->ImageWidth, 800);
    Frame(15);
    EXPECT_NEAR(e->Progress, 0.5f, 1e-4f);
    EXPECT_NEAR((e->Snapshot->Color >> 24) / 255.0f, 0.5f, 0.01f);
    EXPECT_EQ(e->Snapshot->Color & 0x00FFFFFFu, 0x00FFFFFFu);
    EXPECT_NEAR(FramesUntilGone(e), 15, 1);
    EXPECT_EQ(PassageEffect, nullptr);
    EXPECT_FALSE(FileExists(ScreenCaptureFile()));
}

TEST_F(Passage, FadeAfterHistorySceneThirteenIsTenTimesSlower) {
    HistoryScene = 13;
    TPassageEffectWindow* e = Start(pmFade);
    EXPECT_EQ(HistoryScene, 0);
    EXPECT_FLOAT_EQ(e->Speed, 1.0f / 300.0f);
    EXPECT_NEAR(FramesUntilGone(e), 300, 1);
}

TEST_F(Passage, SlideMovesTheSnapshotOffInItsDirection) {
    for (uint8_t dir = 0; dir < 4; ++dir) {
        TPassageEffectWindow* e = Start(pmSlide);
        e->Direction = dir;
        const float x0 = e->Snapshot->X, y0 = e->Snapshot->Y;
        Frame(25); // Progress 0.5
        const float dx = e->Snapshot->X - x0, dy = e->Snapshot->Y - y0;
        const float wantX[4] = {1.335f, 0, -1.335f, 0}, wantY[4] = {0, 1.0f, 0, -1.0f};
        EXPECT_NEAR(dx, wantX[dir], 1e-3f) << int(dir);
        EXPECT_NEAR(dy, wantY[dir], 1e-3f) << int(dir);
        EXPECT_NEAR(FramesUntilGone(e), 25, 1);
        // The next effect needs its snapshot again.
        TPixelImage image{800, 600, std::vector<uint32_t>(800 * 600, 0xFF000000u)};
        const auto bytes = EncodeTga32(image);
        WriteWholeFile(ScreenCaptureFile(), bytes.data(), bytes.size());
    }
}

TEST_F(Passage, SwingTurnsTheCameraAndDropsTheSnapshotHalfWay) {
    TPassageEffectWindow* e = Start(pmSwing);
    Frame(15); // p = 0.75: a = 0.5
    EXPECT_TRUE(Group->CameraFree);
    EXPECT_NEAR(Group->CameraEye.X, -std::sqrt(0.75f), 1e-3f);
    EXPECT_NEAR(Group->CameraEye.Z, 1.25f, 1e-3f);
    EXPECT_NE(e->Snapshot, nullptr);
    Frame(30); // p = 0.25: a = -0.5, the snapshot is gone
    EXPECT_EQ(e->Snapshot, nullptr);
    EXPECT_NEAR(Group->CameraEye.Z, -1.25f, 1e-3f);
    EXPECT_NEAR(FramesUntilGone(e), 15, 1);
    EXPECT_FALSE(Group->CameraFree);
}

TEST_F(Passage, ClosingShakeGrowsThenAsksToQuit) {
    TPassageEffectWindow* e = Start(pmCloseShake);
    EXPECT_EQ(e->Snapshot, nullptr);
    Frame(30);
    EXPECT_TRUE(Group->CameraShake);
    EXPECT_NEAR(Group->ShakeAmplitude, 0.5f, 1e-3f);
    EXPECT_EQ(QuitRequest, qrNone);
    Frame(32);
    EXPECT_EQ(QuitRequest, qrQuit);
    EXPECT_FALSE(Group->CameraShake);
}

TEST_F(Passage, MissingSnapshotIsLoggedAndTheEffectStillEnds) {
    DeleteFile(ScreenCaptureFile());
    TPassageEffectWindow* e = Start(pmFade);
    EXPECT_NEAR(FramesUntilGone(e), 30, 1);
    EXPECT_TRUE(LogHas("TTexRect256.SetRectCount: QueryFileFormat failed"));
}

} // namespace
