// The level statistics window: its two contents, the time format and OK handing back to the level.
#include "render/texlabels.h"
#include "ui/w_stats.h"
#include "ui/wincontrols.h"
#include "uiframe_fixture.h"

namespace velmora::testing {

namespace {

class TFakeLevel : public TStatsOwner {
  public:
    explicit TFakeLevel(uint8_t result) : Result(result) {}
    uint8_t GameResult() const override { return Result; }
    void FinishLeave() override { ++Finished; }
    uint8_t Result;
    int Finished = 0;
};

} // namespace

using StatsTest = TUiFrameTest;

TEST_F(StatsTest, TimeIsMinutesAndSecondsUnderAnHour) {
    EXPECT_EQ(StatsTimeText(75), "01:15");
    EXPECT_EQ(StatsTimeText(3599), "59:59");
    EXPECT_EQ(StatsTimeText(3600), "01:00:00");
    EXPECT_EQ(StatsTimeText(3725), "01:02:05");
    EXPECT_EQ(StatsTimeText(-5), "00:00") << "a hostile value reads as no time";
}

TEST_F(StatsTest, WonLevelShowsTheLevelsFigures) {
    const int32_t figures[10] = {120, 14, 3, 2, 5, 1, 75, 600, 2300, 2900};
    std::copy(std::begin(figures), std::end(figures), LevelStats);
    TFakeLevel level(1);
    auto* w = new TW_MenuStats(&level);
    Group->AddWindow(w);
    EXPECT_EQ(StatsWindow, w);
    ASSERT_NE(w->Values[0], nullptr);
    EXPECT_EQ(w->Values[0]->Text, "120\n14\n3\n2\n5");
    EXPECT_EQ(w->Values[1]->Text, "1\n01:15\n600\n2300");
    EXPECT_EQ(w->Values[2]->Text, "2900");
    EXPECT_EQ(w->Names[2]->Text.find("TEXT_"), std::string::npos) << "names come from the texts";
}

TEST_F(StatsTest, GameOverShowsTheTotals) {
    const int32_t totals[8] = {900, 80, 12, 9, 7, 3725, 4, 15000};
    std::copy(std::begin(totals), std::end(totals), TotalStats);
    TFakeLevel level(3);
    auto* w = new TW_MenuStats(&level);
    Group->AddWindow(w);
    EXPECT_EQ(w->Values[0]->Text, "900\n80\n12\n9");
    EXPECT_EQ(w->Values[1]->Text, "01:02:05\n4\n7");
    EXPECT_EQ(w->Values[2]->Text, "15000");
}

// Blocks run down the panel (world Y grows upwards) and each starts below the previous one's text;
// values stand right of their names on the same rows.
static void ExpectRowsApart(const TW_MenuStats& w) {
    for (int b = 0; b < 3; ++b) {
        ASSERT_NE(w.Names[b], nullptr);
        ASSERT_GT(w.Names[b]->BlockHeight, 0.0f) << "block " << b;
        EXPECT_FLOAT_EQ(w.Names[b]->Y, w.Values[b]->Y) << "block " << b;
        EXPECT_GT(w.Values[b]->X - w.Names[b]->X, w.Names[b]->BlockWidth) << "block " << b;
    }
    for (int b = 0; b + 1 < 3; ++b)
        EXPECT_LE(w.Names[b + 1]->Y, w.Names[b]->Y - w.Names[b]->BlockHeight)
            << "block " << b + 1 << " starts inside block " << b;
}

TEST_F(StatsTest, LevelRowsDoNotOverlap) {
    TFakeLevel level(1);
    auto* w = new TW_MenuStats(&level);
    Group->AddWindow(w);
    ExpectRowsApart(*w);
}

TEST_F(StatsTest, TotalsRowsDoNotOverlap) {
    TFakeLevel level(3);
    auto* w = new TW_MenuStats(&level);
    Group->AddWindow(w);
    ExpectRowsApart(*w);
}

TEST_F(StatsTest, EscapePressesOkWhichHandsBackToTheLevel) {
    TFakeLevel level(1);
    auto* w = new TW_MenuStats(&level);
    Group->AddWindow(w);
    Frame(2);
    EXPECT_TRUE(w->KeyDown(VK_ESCAPE));
    Frame(30); // the press is shown before it is reported
    EXPECT_EQ(level.Finished, 1);
}

} // namespace velmora::testing
