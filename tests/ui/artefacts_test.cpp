// Artefacts window: one page per country reached, the page layout for a scroll position, the reveal
// after a country's last level (never for the broken artefact of country 3), and where Next and
// Menu lead.
#include <gtest/gtest.h>

#include "board/countries.h"
#include "board/gamevis.h"
#include "menus_fixture.h"
#include "render/blocks.h"
#include "render/texlabels.h"
#include "render/visual.h"
#include "ui/w_artefacts.h"
#include "ui/wincontrols.h"

namespace velmora::testing {
namespace {

TEST(ArtefactPages, PagesStackElevenTenthsApartAndScrollTogether) {
    // At the full position the last page stands in the middle, earlier pages above it.
    EXPECT_FLOAT_EQ(ArtefactPageY(1, 3, 3), 0);
    EXPECT_FLOAT_EQ(ArtefactPageY(1, 3, 1), 2.2f);
    // At the top position page 1 is in the middle and the rest below.
    EXPECT_FLOAT_EQ(ArtefactPageY(0, 3, 1), 0);
    EXPECT_FLOAT_EQ(ArtefactPageY(0, 3, 3), -2.2f);
    EXPECT_FLOAT_EQ(ArtefactPageY(0.5f, 3, 2), 0);
    EXPECT_FLOAT_EQ(ArtefactPageY(0.25f, 5, 4), 0.25f * 1.1f * 4 - 3 * 1.1f);
    EXPECT_FLOAT_EQ(ArtefactPageY(0.7f, 1, 1), 0);
}

class ArtefactsTest : public TMenusTest {
  protected:
    void SetUp() override {
        TMenusTest::SetUp();
        ASSERT_TRUE(ReadCountries());
        MakePlayers({"Ann"});
    }
    // The window after winning `level`: the record already points at the next one.
    TW_Artefacts* OpenAfter(int level) {
        GameDat.Players[0].Level = level + 1;
        return Open(new TW_Artefacts());
    }
    static float AlphaOf(uint32_t c) { return static_cast<float>(c >> 24) / 255.0f; }
};

TEST_F(ArtefactsTest, RevealRulesFollowTheCountryTable) {
    EXPECT_TRUE(ArtefactRevealAfter(8)); // last of country 1
    EXPECT_FALSE(ArtefactRevealAfter(7));
    EXPECT_TRUE(ArtefactRevealAfter(17));  // last of country 2
    EXPECT_FALSE(ArtefactRevealAfter(23)); // last of country 3: the artefact is broken
    EXPECT_TRUE(ArtefactPageBroken(3, 23));
    EXPECT_TRUE(ArtefactPageBroken(3, 40));
    EXPECT_FALSE(ArtefactPageBroken(3, 22));
    EXPECT_FALSE(ArtefactPageBroken(2, 40));
}

TEST_F(ArtefactsTest, FirstLevelShowsOnePageWithoutScrollBarAndNextPlaysOn) {
    TW_Artefacts* w = OpenAfter(1);
    Frame();
    EXPECT_EQ(w->Country, 1);
    EXPECT_EQ(w->Pages.size(), 1u);
    EXPECT_FALSE(w->ScrollBar->Visible);
    EXPECT_EQ(w->State, 1);
    // The country's artefact is not revealed yet: the last page's pictures stay hidden.
    EXPECT_FALSE(w->Pages[0].Norm->Visible);
    Frame(10);
    PressButton(w->Buttons, 1);
    Frame(2);
    EXPECT_EQ(OpenedCodes, std::vector<int>{15});
}

TEST_F(ArtefactsTest, LastLevelOfCountryOneRevealsTheArtefactThenOpensSceneThree) {
    TW_Artefacts* w = OpenAfter(8);
    Frame();
    ASSERT_EQ(w->State, 2);
    TW_Artefacts::TPage& page = w->Pages.back();
    Frame(100); // first half: the pieces flicker, the artefact is still hidden
    EXPECT_TRUE(page.Split->Visible);
    EXPECT_FALSE(page.Norm->Visible);
    EXPECT_FALSE(w->MagicStarted);
    Frame(110); // past half time
    EXPECT_TRUE(w->MagicStarted);
    EXPECT_NE(w->Magic, nullptr);
    EXPECT_TRUE(page.Norm->Visible);
    EXPECT_EQ(page.Norm->Block1, sbTexModAlpha);
    const float a = AlphaOf(page.Norm->Color);
    EXPECT_GT(a, 0.05f);
    EXPECT_LT(a, 0.5f);
    EXPECT_NEAR(AlphaOf(page.Split->Color), (1 - a) * 0.5f, 0.02f);
    // Buttons wait for the reveal.
    EXPECT_FALSE(w->CanInteract());
    Frame(160);
    EXPECT_EQ(w->State, 1);
    EXPECT_EQ(page.Norm->Block1, sbTexAlpha);
    EXPECT_EQ(AlphaOf(page.Norm->Color), 1.0f);
    PressButton(w->Buttons, 1);
    Frame(2);
    EXPECT_EQ(OpenedCodes, std::vector<int>{6});
    EXPECT_EQ(HistoryScene, 3);
}

TEST_F(ArtefactsTest, CountryThreeShowsTheBrokenArtefactAndNoReveal) {
    TW_Artefacts* w = OpenAfter(23);
    Frame();
    EXPECT_EQ(w->Country, 3);
    EXPECT_EQ(w->State, 1);
    ASSERT_EQ(w->Pages.size(), 3u);
    EXPECT_NE(w->Pages[2].Broken, nullptr);
    EXPECT_EQ(w->Pages[2].Norm, nullptr);
    EXPECT_EQ(w->Art, nullptr);
    EXPECT_TRUE(w->ScrollBar->Visible);
    Frame(400);
    EXPECT_FALSE(w->MagicStarted);
    PressButton(w->Buttons, 1);
    Frame(2);
    EXPECT_EQ(OpenedCodes, std::vector<int>{6});
    EXPECT_EQ(HistoryScene, 5);
}

TEST_F(ArtefactsTest, ScrollingLaysThePagesOutAgain) {
    TW_Artefacts* w = OpenAfter(12); // in country 2: two pages
    Frame();
    ASSERT_EQ(w->Pages.size(), 2u);
    EXPECT_FLOAT_EQ(w->ScrollBar->Position, 1);
    EXPECT_FLOAT_EQ(w->Pages[1].Norm->Y, 0);
    EXPECT_FLOAT_EQ(w->Pages[0].Norm->Y, 1.1f);
    w->ScrollBar->SetPosition(0.25f);
    EXPECT_FLOAT_EQ(w->Pages[0].Norm->Y, ArtefactPageY(0.25f, 2, 1));
    EXPECT_FLOAT_EQ(w->Pages[1].Split->Y, ArtefactPageY(0.25f, 2, 2));
    EXPECT_NEAR(w->Pages[0].TitleLabel->X, -95 * PixelSize, 1e-4);
    EXPECT_NEAR(w->Pages[0].TextLabel->Y, ArtefactPageY(0.25f, 2, 1) + 90 * PixelSize, 1e-3);
}

TEST_F(ArtefactsTest, DraggedThumbFollowsThePointerOffTheBarUntilTheButtonIsReleased) {
    TW_Artefacts* w = OpenAfter(12); // in country 2: two pages
    Frame();
    TScrollBar* bar = w->ScrollBar;
    ASSERT_TRUE(bar->Visible);
    ASSERT_GT(bar->TrackLength - bar->ThumbRect.Height, 20) << "room to drag";
    const int thumbX = bar->ThumbRect.Left + bar->ThumbRect.Width / 2;
    Press(thumbX, bar->ThumbRect.Top + bar->ThumbRect.Height / 2);
    Frame();
    ASSERT_TRUE(bar->Dragging);
    const int midY = bar->TrackTop + bar->TrackLength / 2;
    MoveTo(thumbX - 150, midY); // well off the bar, sideways
    Frame();
    EXPECT_NEAR(bar->Position, bar->PositionAtPixel(midY), 1e-4) << "the drag let go of the thumb";
    MoveTo(thumbX, bar->TrackTop - 80); // past the bar's top end
    Frame();
    EXPECT_FLOAT_EQ(bar->Position, 0);
    EXPECT_FLOAT_EQ(w->Pages[0].Norm->Y, ArtefactPageY(0, 2, 1)) << "the pages follow the thumb";
    TheMouse.SetButton(WM_LBUTTONUP);
    Frame();
    EXPECT_FALSE(bar->Dragging);
    MoveTo(thumbX - 150, midY);
    Frame();
    EXPECT_FLOAT_EQ(bar->Position, 0) << "after the release the pointer moves nothing";
}

TEST_F(ArtefactsTest, SlicesOfTheLevelJustWonSitInTheArtefactOverItsPictures) {
    TW_Artefacts* w = OpenAfter(16); // Babylon, one level before its last
    Frame();
    ASSERT_NE(w->Art, nullptr);
    EXPECT_EQ(w->Art->SlicesLeft, 0) << "no slice waits at a board cell, over the text";
    // The art master's corner meets the corner of the page's artefact pictures (256 x 256 from the
    // content tool, centred where the page puts them), however the pages are scrolled.
    const TTexRect256* norm = w->Pages.back().Norm;
    for (float scroll : {1.0f, 0.5f}) {
        w->ScrollBar->SetPosition(scroll);
        // (A scrolled page's centre may fall between two pixels.)
        EXPECT_NEAR(w->Art->ArtLeft + 1, WorldToPixelX(norm->X) - 128, 1) << scroll;
        EXPECT_NEAR(w->Art->ArtTop - 1, WorldToPixelY(norm->Y) - 128, 1) << scroll;
    }
}

TEST_F(ArtefactsTest, MenuAsksAndYesSavesAndLeavesForTheMainMenu) {
    TW_Artefacts* w = OpenAfter(3);
    Frame();
    PressButton(w->Buttons, 0);
    ASSERT_NE(w->Dialog, nullptr);
    EXPECT_TRUE(OpenedCodes.empty());
    Answer(w->Dialog, 0);
    Frame(2);
    EXPECT_EQ(OpenedCodes, std::vector<int>{11});
    EXPECT_TRUE(std::filesystem::exists(Dir / "Game.dat"));
}

} // namespace
} // namespace velmora::testing
