// Score keeper, timer, lives and message strip as the player sees them.
#include <algorithm>
#include <cmath>

#include "play_fixture.h"
#include "render/texlabels.h"

namespace velmora::playtest {

using PanelsTest = PlayTest;

TEST_F(PanelsTest, OneAdditionFrom9990To20010GivesTwoLivesAndOneExtraLifeSound) {
    Rec().Score = 9990;
    TScores scores;
    THeartMaster hearts;
    ASSERT_EQ(hearts.Lives, 3);
    scores.AddScore(20010 - 9990);
    EXPECT_EQ(scores.Score, 20010);
    EXPECT_EQ(hearts.Lives, 5);
    EXPECT_FLOAT_EQ(hearts.BlinkTime, 300) << "the newest heart blinks for 5 s";
    EXPECT_EQ(std::count(BoardSamplesPlayed.begin(), BoardSamplesPlayed.end(), "ExtraLife"), 1);
}

TEST_F(PanelsTest, NoExtraLivesWhenTheLifeStepIsZero) {
    Options.CONST_BonusLifeScore = 0;
    TScores scores;
    THeartMaster hearts;
    scores.AddScore(50000);
    EXPECT_EQ(hearts.Lives, 3);
    EXPECT_EQ(THeartMaster::ExtraLives(0, 1000000), 0);
}

TEST_F(PanelsTest, FiveLivesShowOneHeartAndStarFive) {
    Rec().Lives = 5;
    THeartMaster hearts;
    EXPECT_TRUE(hearts.HeartMany->Visible);
    EXPECT_TRUE(hearts.ManyLabel->Visible);
    EXPECT_EQ(hearts.ManyLabel->Text, "*5");
    for (TTexRect* h : hearts.Heart)
        EXPECT_FALSE(h->Visible);
    hearts.SetLives(2);
    EXPECT_FALSE(hearts.HeartMany->Visible);
    EXPECT_TRUE(hearts.Heart[0]->Visible);
    EXPECT_TRUE(hearts.Heart[1]->Visible);
    EXPECT_FALSE(hearts.Heart[2]->Visible);
}

TEST_F(PanelsTest, ChipScoresCarryTheMultiplierInTheirFlyingText) {
    TScores scores;
    TBonusXXMaster xx;
    xx.Activate(1, 6, 60);
    scores.AddChipScore(2, 3, 1, 4); // 5 x (1 + 4 - 2) = 15 points, times 2
    EXPECT_EQ(scores.Score, 30);
}

TEST_F(PanelsTest, ShownScoreChasesTheScoreWithoutPassingIt) {
    TScores scores;
    scores.AddScore(1000);
    int last = scores.Shown;
    for (int i = 0; i < 200; ++i) {
        scores.StepMe();
        EXPECT_GE(scores.Shown, last);
        EXPECT_LE(scores.Shown, 1000);
        last = scores.Shown;
    }
    EXPECT_EQ(scores.Shown, 1000);
    EXPECT_EQ(scores.ScoreLabel->Text, "1000");
}

TEST_F(PanelsTest, ClockWaitsForTheFirstClickAndStopsWhileHelpIsOpen) {
    TTimer timer(100);
    timer.Init();
    for (int i = 0; i < 30; ++i)
        timer.StepMe();
    EXPECT_FLOAT_EQ(timer.TimeLeft, 6000) << "no click yet";
    ++FrameCount;
    MouseObj.ButtonFrame = FrameCount; // a button went down this frame
    timer.StepMe();
    EXPECT_TRUE(timer.Started);
    EXPECT_FLOAT_EQ(timer.TimeLeft, 5999);
    {
        THelp bubble;
        for (int i = 0; i < 10; ++i)
            timer.StepMe();
        EXPECT_FLOAT_EQ(timer.TimeLeft, 5999) << "help bubble open";
    }
    timer.StepMe();
    EXPECT_FLOAT_EQ(timer.TimeLeft, 5998);
    EXPECT_EQ(timer.ElapsedSeconds(), 0);
}

TEST_F(PanelsTest, AddedTimeNeverPassesTheLevelTimeAndTheBarRefillsSlowly) {
    TTimer timer(100);
    timer.Init();
    timer.TimeLeft = 100;
    timer.TimeShown = 100;
    timer.AddSeconds(50);
    EXPECT_FLOAT_EQ(timer.TimeLeft, 3100);
    timer.AddSeconds(500);
    EXPECT_FLOAT_EQ(timer.TimeLeft, 6000);
    EXPECT_FLOAT_EQ(timer.BarSpeed, 0.001665f);
    timer.Started = true;
    timer.StepMe();
    EXPECT_LT(timer.TimeShown, 200) << "the bar creeps up while the time has jumped";
}

TEST_F(PanelsTest, LowTimeWarnsOnceUntilTimeIsAdded) {
    TLabelPanel strip;
    TTimer timer(100);
    timer.Init();
    timer.TimeLeft = 600; // 10 %
    timer.UpdateBar();
    timer.UpdateBar();
    EXPECT_TRUE(timer.LowTime);
    EXPECT_EQ(strip.Key, "TEXT_LabelPanel_LowTime");
    EXPECT_EQ(strip.Mode, 2);
    EXPECT_EQ(std::count(BoardSamplesPlayed.begin(), BoardSamplesPlayed.end(), "LowTime"), 1);
    timer.AddSeconds(50);
    timer.UpdateBar();
    EXPECT_FALSE(timer.LowTime);
}

TEST_F(PanelsTest, MessageStripBlinksAndHidesWhenItsTimeIsUp) {
    TLabelPanel strip;
    EXPECT_FALSE(strip.Visible);
    strip.ShowBlinking("TEXT_LabelPanel_Go", 0, 2);
    EXPECT_TRUE(strip.Visible);
    int shown = 0;
    for (int i = 0; i < 119; ++i) {
        strip.StepMe();
        shown += strip.Visible;
    }
    EXPECT_GT(shown, 40);
    EXPECT_LT(shown, 80) << "half a second on, half off";
    strip.StepMe();
    EXPECT_FALSE(strip.Visible);
    EXPECT_EQ(strip.Mode, 0);
}

struct TPixelBox {
    int32_t Left, Top, Right, Bottom;
};
// The empty band between two boxes, in pixels (negative when they overlap).
int32_t Gap(const TPixelBox& a, const TPixelBox& b) {
    return std::max({b.Left - a.Right, a.Left - b.Right, b.Top - a.Bottom, a.Top - b.Bottom});
}
TPixelBox BoxOf(TTexRect& r) {
    const int32_t w = static_cast<int32_t>(std::lround(r.Width / PixelSize));
    const int32_t h = static_cast<int32_t>(std::lround(r.Height / PixelSize));
    return {r.ScreenX, r.ScreenY, r.ScreenX + w, r.ScreenY + h};
}

TEST_F(PanelsTest, MessageStripKeepsClearOfTheBonusWellsTheirCountsAndTheTimeBar) {
    TLabelPanel strip;
    TBonusPanel panel;
    TTimer timer(100);
    timer.Init();
    timer.SetBarLength(timer.BarMax);
    strip.Show("TEXT_LabelPanel_Go", 0, 2);
    const TPixelBox box = BoxOf(*strip.Back);
    EXPECT_GE(box.Right - box.Left, 100) << "room for the longest message";
    const int32_t textX = WorldToPixelX(strip.Text->X), textY = WorldToPixelY(strip.Text->Y);
    EXPECT_TRUE(textX > box.Left && textX < box.Right && textY > box.Top && textY < box.Bottom);
    for (int i = 1; i <= 4; ++i) {
        const TBonusPanel::TSlot& s = panel.Slots[i];
        const TPixelBox well{s.X - 3, s.Y - 3, s.X + s.W + 3, s.Y + s.H + 3}; // with its golden rim
        EXPECT_GE(Gap(box, well), 4) << "well " << i;
        const int32_t lx = WorldToPixelX(s.CountLabel->X), ly = WorldToPixelY(s.CountLabel->Y);
        EXPECT_GE(Gap(box, {lx - 24, ly - 10, lx + 24, ly + 10}), 4) << "count of well " << i;
    }
    TPixelBox bar = BoxOf(*timer.Bar);
    bar = {bar.Left - 6, bar.Top - 6, bar.Right + 6, bar.Bottom + 6}; // the bar's frame
    EXPECT_GE(Gap(box, bar), 4);
}

} // namespace velmora::playtest
