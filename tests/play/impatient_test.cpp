// A level played the way an impatient player plays it: clicks through the intro and the drop-in,
// a pause, a restart from the menu, leaving in the middle of things and coming back. What the
// player sees and what the record keeps must be what a patient player gets.
#include <memory>

#include "app/screenshot.h"
#include "board/flies.h"
#include "engine/group.h"
#include "platform/files.h"
#include "play/interactive.h"
#include "play_fixture.h"
#include "render/tex.h"
#include "render/texlabels.h"
#include "ui/w_menugame.h"

namespace velmora::playtest {
namespace {

class ImpatientTest : public PlayTest {
  protected:
    // Every board slice is drawn whole (a slice at opacity 0 is not drawn at all).
    void ExpectSlicesDrawn(const char* when) {
        ASSERT_NE(ArtMaster, nullptr);
        for (int32_t x = 1; x <= Net->Info.Width; ++x)
            for (int32_t y = 1; y <= Net->Info.Height; ++y) {
                const TCell& c = Net->Cells.At(x, y);
                if (c.Kind != ckSlice) continue;
                TSlice* s = ArtMaster->Slice(c.Value);
                ASSERT_NE(s, nullptr);
                EXPECT_FLOAT_EQ(s->Alpha, 1) << when << ": slice " << c.Value << " at " << x << "," << y;
            }
    }
    int32_t BlinksOnBoard() const {
        int32_t n = 0;
        for (TBasic* c = Net->First; c; c = c->Next)
            n += dynamic_cast<TBlinkChip*>(c) && !c->Dead ? 1 : 0;
        return n;
    }
    void Reopen() {
        delete Window;
        Window = nullptr;
        Open();
    }
    void HoverSlot(int32_t slot) {
        MouseObj.X = BonusPanel->Slots[slot].X + 20;
        MouseObj.Y = BonusPanel->Slots[slot].Y + 20;
        MouseObj.MoveFrame = FrameCount + 1;
    }
};

TEST_F(ImpatientTest, SlicesStayDrawnAfterAClickThroughTheIntroOrTheDropIn) {
    Open();
    Frame(mePressed); // at once, in the intro
    ASSERT_LT(RunTo(gsPlaying, 10), 10);
    Frames(30);
    ExpectSlicesDrawn("intro skipped");

    delete Window; // the level is kept in progress; start it afresh to see the drop-in again
    Window = nullptr;
    Rec().LevelInProgress = 0;
    Open();
    ASSERT_LT(RunTo(gsGetReady, 400), 400);
    Frames(10); // the third column's slice still waits for its turn to drop
    Frame(mePressed);
    ASSERT_LT(RunTo(gsPlaying, 10), 10);
    Frames(30);
    ExpectSlicesDrawn("drop-in skipped");
}

TEST_F(ImpatientTest, EveryContentDropsInAlsoBelowAWallOrAHole) {
    // Column 1: a wall in row 2; column 4: a hole in row 3; the slice under the wall.
    WriteFile("Levels/Greece/02.map", "Time 100\nColorCount 5\nColors 1 2 3 4 5\nField 5x5\n"
                                      "c000c000c000c000c000\n"
                                      "w000c000c000c000c000\n"
                                      "a001c000c000-000c000\n"
                                      "c000c000c000c000c000\n"
                                      "c000c000c000c000c000\n");
    Open();
    for (int32_t x = 1; x <= 5; ++x) {
        int32_t contents = 0;
        for (int32_t y = 1; y <= 5; ++y) {
            const uint8_t k = Net->Cells.At(x, y).Kind;
            contents += (k == ckChip || k == ckSlice || k == ckBonus) ? 1 : 0;
        }
        for (int32_t y = 1; y <= 5; ++y) {
            const uint8_t k = Net->Cells.At(x, y).Kind;
            auto* drop = dynamic_cast<TStartChip*>(Net->FlyAt(x, y));
            if (k != ckChip && k != ckSlice && k != ckBonus) {
                EXPECT_EQ(drop, nullptr) << "walls and holes stay put: " << x << "," << y;
                continue;
            }
            ASSERT_NE(drop, nullptr) << "content at " << x << "," << y << " is drawn in place at once";
            EXPECT_FLOAT_EQ(drop->FromY, Net->CellCentre(x, y - contents).Y)
                << "every content of the column falls as many rows as it holds: " << x << "," << y;
        }
    }
}

TEST_F(ImpatientTest, ABonusStillFlyingWhenTheLevelIsWonIsStoredOnce) {
    Rec().BonusCount[1] = 0;
    TW_Game& g = Open();
    StartPlaying();
    Net->Add(new TFallenVisBonus(1, 2, ckBonus, 5));
    Frames(20);
    ASSERT_EQ(BonusPanel->Count(2), 0) << "still flying";
    g.LevelWon();
    EXPECT_EQ(Rec().BonusCount[1], 1) << "the save books the flying bonus";
    Frames(200); // it lands during the outcome
    EXPECT_EQ(Rec().BonusCount[1], 1);
    EXPECT_EQ(BonusPanel->Count(2), 1);
    EXPECT_EQ(BonusPanel->Slots[2].CountLabel->Text, "*1");
}

TEST_F(ImpatientTest, TheTimeBarIsDrawnFromItsOwnLengthOfPictureWhileItFillsAndDrains) {
    TTexArr store(0);
    TTexRec& bar = store.Recs[77];
    bar.Width = 200;
    bar.Height = 32;
    bar.TexWidth = 256;
    bar.TexHeight = 32;
    TW_Game& g = Open();
    // The bar shows the right-hand BarLength pixels of its picture, whatever its length.
    auto expectMatchingPicture = [&](const char* when) {
        TVertexDiffuseTex* q = Timer->Bar->Quad();
        const float shown = (q[1].U - q[0].U) * 256;
        EXPECT_NEAR(shown, static_cast<float>(Timer->BarLength), 0.01f) << when;
        EXPECT_NEAR(q[1].U * 256, 200, 0.01f) << when;
    };
    ASSERT_LT(RunTo(gsGetReady, 400), 400);
    Frames(40);
    ASSERT_GT(Timer->BarLength, 0) << "the bar fills during get ready";
    ASSERT_LT(Timer->BarLength, 200);
    expectMatchingPicture("filling");
    ASSERT_LT(RunTo(gsPlaying, 400), 400);
    Frame(mePressed); // the clock starts
    Timer->Elapsed = 50 * 60;
    Timer->TimeLeft = Timer->TimeShown = 50 * 60;
    Frame();
    expectMatchingPicture("playing");
    g.LevelWon();
    ASSERT_LT(RunTo(gsTimeBonus, 200), 200);
    Frames(20);
    ASSERT_GT(Timer->BarLength, 0);
    ASSERT_LT(Timer->BarLength, 100) << "the bar drains during the time bonus";
    expectMatchingPicture("draining");
}

TEST_F(ImpatientTest, AHelpBubbleGoesWhenARestartFromTheMenuFollowsAPause) {
    Rec().HelpShown[htTwoHor] = 0;
    TW_Game& g = Open();
    StartPlaying();
    for (int i = 0; i < 200 && !HelpBubble; ++i)
        Frame();
    ASSERT_NE(HelpBubble, nullptr) << "the first move is explained";
    g.Pause();
    ASSERT_NE(GameMenu, nullptr);
    GameMenu->AnswerRestart();
    ASSERT_EQ(g.State, gsOutcome);
    Frames(20);
    EXPECT_EQ(HelpBubble, nullptr) << "the bubble stays over the outcome";
    EXPECT_EQ(Help, nullptr);
}

TEST_F(ImpatientTest, SapPreviewsStillRunAfterTheLevelWasLeftInTheMiddleOfOne) {
    Rec().BonusCount[1] = 1; // a sap, and the slice at the top has a chip under it
    TW_Game& g = Open();
    StartPlaying();
    HoverSlot(2);
    Frames(3);
    ASSERT_GT(BlinksOnBoard(), 0) << "hovering the sap previews its cells";
    g.Pause(); // mid-preview, then Save & Exit
    g.SaveAndExit();
    Reopen();
    ASSERT_EQ(Window->State, gsResume);
    ASSERT_LT(RunTo(gsPlaying, 10), 10);
    HoverSlot(2);
    Frames(3);
    EXPECT_GT(BlinksOnBoard(), 0) << "the preview stopped for good";
    EXPECT_EQ(PreviewBlinking, BlinksOnBoard());
}

TEST_F(ImpatientTest, AfterAnEarlyClickOverTheFadeInTheLevelCanStillBeWon) {
    TPixelImage image;
    image.Width = 80;
    image.Height = 60;
    image.Pixels.assign(80 * 60, 0xFF336699u);
    const auto bytes = EncodeTga32(image);
    std::filesystem::create_directories(Dir + "/Textures");
    ASSERT_TRUE(WriteWholeFile(ScreenCaptureFile(), bytes.data(), bytes.size()));
    TW_Game& g = Open();
    ASSERT_TRUE(g.TransitionRunning()) << "the level fades in from the screen before";
    Frame(mePressed);
    ASSERT_LT(RunTo(gsPlaying, 10), 10);
    Frames(60); // the fade has run out
    EXPECT_FALSE(g.TransitionRunning());
    EXPECT_EQ(g.Passage, nullptr);
    ArtMaster->SlicesLeft = 0; // as when the last slice has landed
    Frame();
    EXPECT_EQ(g.Result, grWon);
    EXPECT_EQ(g.State, gsOutcome);
}

} // namespace
} // namespace velmora::playtest
