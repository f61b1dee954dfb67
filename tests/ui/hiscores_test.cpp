// High scores: rows at their pixel rows, the names of each entry's level, the result of a game
// over entered and pulsing, and where OK leads.
#include <cmath>

#include "board/countries.h"
#include "render/texlabels.h"
#include "render/visual.h"
#include "ui/w_hiscores.h"
#include "menus_fixture.h"

using namespace velmora;
using velmora::testing::OpenedCodes;
using velmora::testing::TMenusTest;

namespace {

class HiScoresTest : public TMenusTest {
  protected:
    void SetUp() override {
        TMenusTest::SetUp();
        for (int i = 0; i < cHiScoreCount; ++i) {
            GameDat.HiScores[i].Name.Set("P" + std::to_string(i + 1));
            GameDat.HiScores[i].Level = i + 1;
            GameDat.HiScores[i].Score = 1000 - 100 * i;
        }
    }
    TW_HiScores* OpenTable(bool afterGameOver) { return Open(new TW_HiScores(afterGameOver)); }
    static int PixelRowOf(const TTexLabelEx* label) {
        return static_cast<int>(std::lround((TableY(0) - HalfPixel - label->Y) / PixelSize));
    }
    static uint32_t Alpha(const TTexLabelEx* label) { return label->Color >> 24; }
};

TEST_F(HiScoresTest, RowsStandAtTheirPixelRows) {
    const int expected[cHiScoreCount] = {135, 171, 206, 242, 277, 313, 349, 384, 420, 455};
    TW_HiScores* table = OpenTable(false);
    for (int i = 1; i <= cHiScoreCount; ++i) {
        EXPECT_EQ(HiScoreRowY(i), expected[i - 1]) << i;
        for (int c = 0; c < cHiScoreColumns; ++c)
            EXPECT_EQ(PixelRowOf(table->RowLabels[i][c]), expected[i - 1]) << i << "/" << c;
    }
}

TEST_F(HiScoresTest, RowsShowNumberNameCountryTownAndScore) {
    GameDat.HiScores[9].Level = 0;
    TW_HiScores* table = OpenTable(false);
    std::string country, town;
    GetLevelNames(2, country, town);
    EXPECT_EQ(table->RowLabels[2][0]->Text, "02");
    EXPECT_EQ(table->RowLabels[2][1]->Text, "P2");
    EXPECT_EQ(table->RowLabels[2][2]->Text, country);
    EXPECT_EQ(table->RowLabels[2][3]->Text, town);
    EXPECT_EQ(table->RowLabels[2][3]->Text, Countries.TownNames[1][2]);
    EXPECT_EQ(table->RowLabels[2][4]->Text, "900");
    EXPECT_EQ(table->RowLabels[10][0]->Text, "10");
    EXPECT_EQ(table->RowLabels[10][2]->Text, TextOf("TEXT_CountryName_None"));
    EXPECT_EQ(table->RowLabels[10][3]->Text, TextOf("TEXT_CountryName_None"));
}

TEST_F(HiScoresTest, FromTheMainMenuNothingChangesAndOkReturnsThere) {
    const TGameDat before = GameDat;
    TW_HiScores* table = OpenTable(false);
    EXPECT_FALSE(table->Highlight);
    Frame(30);
    EXPECT_EQ(Alpha(table->RowLabels[1][1]), 0xFFu) << "no row pulses";
    for (int i = 0; i < cHiScoreCount; ++i)
        EXPECT_EQ(GameDat.HiScores[i].Score, before.HiScores[i].Score);
    EXPECT_TRUE(Key(VK_ESCAPE)) << "Escape answers with OK";
    Frame(20);
    EXPECT_EQ(HiScoresWindow, nullptr);
    EXPECT_EQ(OpenedCodes, std::vector<int>{11});
}

TEST_F(HiScoresTest, GameOverEntersTheResultAndItsRowPulses) {
    PendingHiScore = {"ZED", 3, 550};
    TW_HiScores* table = OpenTable(true);
    ASSERT_TRUE(table->Highlight);
    EXPECT_EQ(table->HighlightRow, 6);
    EXPECT_EQ(GameDat.HiScores[5].Name.Get(), "ZED");
    EXPECT_EQ(GameDat.HiScores[6].Score, 500) << "the others move down";
    EXPECT_EQ(table->HighlightLabels[1], table->RowLabels[6][1]);
    EXPECT_EQ(table->RowLabels[6][1]->Text, "ZED");
    uint32_t lo = 255, hi = 0;
    for (int i = 0; i < 60; ++i) {
        Frame();
        const uint32_t a = Alpha(table->HighlightLabels[0]);
        // The colour was set in the window's step, before its age moved on by this frame's Delta.
        EXPECT_EQ(a,
                  static_cast<uint32_t>(std::lround(TW_HiScores::PulseAlpha(table->LifeTime - Delta) * 255)));
        lo = std::min(lo, a);
        hi = std::max(hi, a);
        EXPECT_EQ(Alpha(table->RowLabels[5][0]), 0xFFu);
    }
    EXPECT_GE(lo, 127u);
    EXPECT_LE(lo, 140u);
    EXPECT_GE(hi, 250u);
}

TEST_F(HiScoresTest, AResultBelowAllTakesTheTenthRow) {
    PendingHiScore = {"LOW", 1, 5};
    TW_HiScores* table = OpenTable(true);
    EXPECT_EQ(table->HighlightRow, 10);
    EXPECT_EQ(table->RowLabels[10][1]->Text, "LOW");
}

TEST_F(HiScoresTest, OkAfterAGameOverPlaysOn) {
    MakePlayers({"ZED"});
    GameDat.Players[0].Level = 9;
    PendingHiScore = {"ZED", 9, 2000};
    TW_HiScores* table = OpenTable(true);
    PressButton(table->Buttons, 0);
    EXPECT_EQ(OpenedCodes, std::vector<int>{15});
}

} // namespace
