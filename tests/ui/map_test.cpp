// Campaign map: where the marks stand and what they show, the blinking current town and its click
// square, Start through the help window once per main-menu visit, and Menu's save-and-exit question.
#include "board/countries.h"
#include "render/tex.h"
#include "render/texlabels.h"
#include "render/visual.h"
#include "ui/w_map.h"
#include "ui/w_menumain.h"
#include "menus_fixture.h"

using namespace velmora;
using velmora::testing::OpenedCodes;
using velmora::testing::TMenusTest;

namespace {

class MapWindowTest : public TMenusTest {
  protected:
    void SetUp() override {
        TMenusTest::SetUp();
        ASSERT_GE(Countries.CountryCount, 2) << "the content's country table";
        MakePlayers({"MIRA"});
    }
    TW_MenuMap* OpenMap(int32_t level) {
        GameDat.Players[0].Level = level;
        return Open(new TW_MenuMap());
    }
    // A visit of the main menu, as the player makes it between two maps.
    void VisitMainMenu() {
        auto* menu = Open(new TW_MenuMain());
        Frame();
        Group->Remove(menu, false);
    }
    void PressStart(TW_MenuMap* map) {
        PressButton(map->Buttons, 0);
        Frame();
    }
};

TEST_F(MapWindowTest, MarksStandOnTheTownsOfTheCountryShiftedIntoTheFrame) {
    const int32_t country = 2;
    TW_MenuMap* map = OpenMap(FirstLevelOfCountry(country) + 3);
    EXPECT_EQ(MapWindow, map);
    EXPECT_EQ(map->Country, country);
    EXPECT_EQ(map->CurrentTown, 4);
    EXPECT_EQ(map->TownCount, Countries.LevelCount[country]);
    for (int32_t i = 1; i <= map->TownCount; ++i) {
        EXPECT_EQ(map->MarkX[i], Countries.TownCoords[country][i].X + 13) << i;
        EXPECT_EQ(map->MarkY[i], Countries.TownCoords[country][i].Y + 69) << i;
        ASSERT_NE(map->Marks[i], nullptr);
    }
    EXPECT_EQ(map->Marks[map->TownCount + 1], nullptr);
    EXPECT_EQ(map->Marks[1]->TexId, tiMapMarkDone);
    EXPECT_EQ(map->Marks[3]->TexId, tiMapMarkDone);
    EXPECT_EQ(map->Marks[5]->TexId, tiMapMarkVirgin);
    EXPECT_EQ(map->TitleLabel->Text, TextOf("TEXT_MAP_CountryName_02"));
    EXPECT_EQ(map->SubtitleLabel->Text, TextOf("TEXT_MAP_Subtitle_02"));
}

TEST_F(MapWindowTest, OnTheFirstLevelOfACountryOnlyTheFirstTownBlinks) {
    TW_MenuMap* map = OpenMap(FirstLevelOfCountry(3));
    ASSERT_EQ(map->CurrentTown, 1);
    bool sawDone = false, sawCurrent = false;
    for (int step = 0; step < 60; ++step) {
        Frame(5);
        const int32_t tex = map->Marks[1]->TexId;
        sawDone |= tex == tiMapMarkDone;
        sawCurrent |= tex == tiMapMarkCurrent;
        for (int32_t i = 2; i <= map->TownCount; ++i)
            ASSERT_EQ(map->Marks[i]->TexId, tiMapMarkVirgin) << "town " << i;
    }
    EXPECT_TRUE(sawDone && sawCurrent);
}

TEST_F(MapWindowTest, CurrentTownSwitchesPictureEveryTwentyUnits) {
    TW_MenuMap* map = OpenMap(1);
    GameTime = 0;
    EXPECT_EQ(map->MarkTexture(1), tiMapMarkDone);
    GameTime = 21;
    EXPECT_EQ(map->MarkTexture(1), tiMapMarkCurrent);
    GameTime = 41;
    EXPECT_EQ(map->MarkTexture(1), tiMapMarkDone);
    GameTime = 61;
    EXPECT_EQ(map->MarkTexture(1), tiMapMarkCurrent);
}

TEST_F(MapWindowTest, ClickOnTheCurrentTownPressesStart) {
    GameDat.ShowHelp = 0;
    TW_MenuMap* map = OpenMap(2);
    const int x = map->MarkX[2], y = map->MarkY[2];
    Click(map->MarkX[1], map->MarkY[1]); // a town already played does nothing
    Frame(20);
    EXPECT_TRUE(OpenedCodes.empty());
    Click(x, y);
    for (int i = 0; i < 40 && OpenedCodes.empty(); ++i)
        Frame();
    EXPECT_EQ(OpenedCodes, std::vector<int>{4});
}

TEST_F(MapWindowTest, HelpWindowComesOncePerMainMenuVisit) {
    GameDat.ShowHelp = 1;
    // The help window marks itself shown when it opens.
    RegisterWindow(3, []() -> TBasic* {
        HelpShownThisVisit = true;
        return velmora::testing::MakeStandIn<3>();
    });
    VisitMainMenu();
    PressStart(OpenMap(1));
    EXPECT_EQ(HelpScreenParam, 1) << "before a level";
    PressStart(OpenMap(2));
    VisitMainMenu();
    PressStart(OpenMap(2));
    EXPECT_EQ(OpenedCodes, (std::vector<int>{3, 4, 3}));
}

TEST_F(MapWindowTest, WithHelpOffStartGoesStraightToTheLevel) {
    GameDat.ShowHelp = 0;
    VisitMainMenu();
    TW_MenuMap* map = OpenMap(1);
    PressStart(map);
    EXPECT_EQ(MapWindow, nullptr);
    EXPECT_EQ(OpenedCodes, std::vector<int>{4});
}

TEST_F(MapWindowTest, EscapeAsksToSaveAndExitAndYesGoesToTheMainMenu) {
    TW_MenuMap* map = OpenMap(5);
    Key(VK_ESCAPE);
    for (int i = 0; i < 40 && !map->Dialog; ++i)
        Frame();
    ASSERT_NE(map->Dialog, nullptr);
    EXPECT_EQ(map->Dialog->TitleLabel->Text, TextOf("TEXT_Title_EXITGAME"));
    Answer(map->Dialog, 1);
    EXPECT_EQ(MapWindow, map);
    Key(VK_ESCAPE);
    for (int i = 0; i < 40 && !map->Dialog; ++i)
        Frame();
    Answer(map->Dialog, 0);
    Frame();
    EXPECT_EQ(MapWindow, nullptr);
    EXPECT_EQ(OpenedCodes, std::vector<int>{11});
    EXPECT_TRUE(std::filesystem::exists(Dir / "Game.dat"));
}

TEST_F(MapWindowTest, LevelOutsideTheTableShowsTheFirstTownAndLogs) {
    TW_MenuMap* map = OpenMap(500);
    EXPECT_EQ(map->Country, 1);
    EXPECT_EQ(map->CurrentTown, 1);
    EXPECT_TRUE(LogHas("TW_MenuMap.Create: level 500 is in no country"));
}

} // namespace
