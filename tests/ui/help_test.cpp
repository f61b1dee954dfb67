// Help window: before a level it has the check box and "Start" leads to the level (turning the
// window off when ticked); from the main menu no check box and "OK" goes back. The panes loop.
#include <gtest/gtest.h>

#include "menus_fixture.h"
#include "render/texlabels.h"
#include "render/visual.h"
#include "ui/w_help.h"

namespace velmora::testing {
namespace {

class HelpTest : public TMenusTest {
  protected:
    void SetUp() override {
        TMenusTest::SetUp();
        MakePlayers({"Ann"});
        GameDat.ShowHelp = 1;
        HelpShownThisVisit = false;
    }
    TW_Help* OpenHelp(bool beforeLevel) {
        HelpScreenParam = beforeLevel ? 1 : 0;
        return Open(static_cast<TW_Help*>(CreateHelp()));
    }
};

TEST_F(HelpTest, TickingDoNotShowAndStartingTurnsTheWindowOff) {
    TW_Help* w = OpenHelp(true);
    EXPECT_TRUE(HelpShownThisVisit);
    EXPECT_EQ(HelpWindow, w);
    ASSERT_NE(w->DontShow, nullptr);
    EXPECT_EQ(w->Frame, nullptr);
    EXPECT_FALSE(w->DontShow->Checked);
    EXPECT_EQ(w->Buttons->ButtonList[0].Label->Text, TextOf("TEXT_Start"));
    Frame(2);
    const TPixelRect box = w->DontShow->MarkRect;
    Click(box.Left + box.Width / 2, box.Top + box.Height / 2);
    EXPECT_TRUE(w->DontShow->Checked);
    PressButton(w->Buttons, 0);
    Frame(2);
    EXPECT_EQ(GameDat.ShowHelp, 0);
    EXPECT_EQ(OpenedCodes, std::vector<int>{4});
}

TEST_F(HelpTest, TheTickAndStartFromTheKeysAndEscapeGoesBack) {
    TW_Help* w = OpenHelp(true);
    Frame(2);
    EXPECT_TRUE(Key(VK_UP)) << "the check box takes the keys";
    EXPECT_TRUE(Key(VK_RETURN));
    EXPECT_TRUE(w->DontShow->Checked);
    Key(VK_DOWN); // back to Start
    Key(VK_RETURN);
    Frame(20);
    EXPECT_EQ(GameDat.ShowHelp, 0);
    EXPECT_EQ(OpenedCodes, std::vector<int>{4});
    OpenedCodes.clear();
    OpenHelp(false);
    Frame(60);
    EXPECT_TRUE(Key(VK_ESCAPE));
    Frame(20);
    EXPECT_EQ(OpenedCodes, std::vector<int>{11});
}

TEST_F(HelpTest, StartWithoutTheTickKeepsTheWindowOn) {
    TW_Help* w = OpenHelp(true);
    Frame(2);
    PressButton(w->Buttons, 0);
    Frame(2);
    EXPECT_EQ(GameDat.ShowHelp, 1);
    EXPECT_EQ(OpenedCodes, std::vector<int>{4});
}

TEST_F(HelpTest, FromTheMainMenuThereIsNoCheckBoxAndOkGoesBack) {
    TW_Help* w = OpenHelp(false);
    EXPECT_EQ(w->DontShow, nullptr);
    EXPECT_NE(w->Frame, nullptr);
    EXPECT_EQ(w->Buttons->ButtonList[0].Label->Text, TextOf("TEXT_Ok"));
    Frame(2);
    PressButton(w->Buttons, 0);
    Frame(2);
    EXPECT_EQ(OpenedCodes, std::vector<int>{11});
    EXPECT_EQ(GameDat.ShowHelp, 1);
}

TEST_F(HelpTest, FirstPanePointerFollowsItsSevenPointPathAndLoops) {
    OpenHelp(false);
    Frame();
    ASSERT_NE(HelpWin1, nullptr);
    EXPECT_EQ(HelpWin1->Path.PointCount, cPointerPoints);
    EXPECT_EQ(HelpWin1->Path.SampleCount, (cPointerPoints - 1) * cPointerSteps);
    EXPECT_EQ(HelpWin1->StatesInfo[1].StatePeriod, 100);
    // The pointer moves, the two chips swap places and the loop starts over after 100 units.
    const int32_t startX = HelpWin1->Pointer->ScreenX;
    const int32_t chipX = HelpWin1->Chips[1][1]->ScreenX;
    Frame(45);
    EXPECT_NE(HelpWin1->Pointer->ScreenX, startX);
    EXPECT_GT(HelpWin1->Chips[1][1]->ScreenX, chipX);
    EXPECT_FALSE(HelpWin1->Burst1); // the line bursts at half time
    Frame(10);
    EXPECT_TRUE(HelpWin1->Burst1);
    Frame(50);
    EXPECT_FALSE(HelpWin1->Burst1); // a new loop began
    EXPECT_EQ(HelpWin1->State, 1);
    for (TCustomHelpWin* pane :
         {static_cast<TCustomHelpWin*>(HelpWin2), static_cast<TCustomHelpWin*>(HelpWin3),
          static_cast<TCustomHelpWin*>(HelpWin4)}) {
        ASSERT_NE(pane, nullptr);
        EXPECT_EQ(pane->State, 1);
        EXPECT_FALSE(pane->Text->Text.empty());
    }
}

} // namespace
} // namespace velmora::testing
