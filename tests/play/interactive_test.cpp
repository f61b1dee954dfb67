// Interactive help: bubble geometry, the order in which the board's elements are explained, one
// bubble at a time with the half-second pause, the error bubble of level 1, and the stopped clock.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "../board/board_fixture.h"
#include "play/interactive.h"

namespace velmora::boardtest {
namespace {

TEST(BubbleBoxTest, SmallTextKeepsTheMinimumBoxTwentyFivePixelsFromThePoint) {
    const TBubbleBox left = BubbleBox(10, 5, adLeft, 400, 300);
    EXPECT_EQ(left.Width, 81);
    EXPECT_EQ(left.Height, 81);
    EXPECT_EQ(left.Left + left.Width, 400 - 25);
    EXPECT_EQ(left.Top, 300 - 40);

    const TBubbleBox below = BubbleBox(10, 5, adBelow, 400, 300);
    EXPECT_EQ(below.Left, 400 - 40);
    EXPECT_EQ(below.Top, 325);

    const TBubbleBox right = BubbleBox(10, 5, adRight, 400, 300);
    EXPECT_EQ(right.Left, 425);
    EXPECT_EQ(right.Top, 260);

    const TBubbleBox above = BubbleBox(10, 5, adAbove, 400, 300);
    EXPECT_EQ(above.Left, 360);
    EXPECT_EQ(above.Top + above.Height, 300 - 25);
}

TEST(BubbleBoxTest, LargeTextGrowsTheBoxByItsMargins) {
    const TBubbleBox b = BubbleBox(201, 51, adAbove, 550, 540);
    EXPECT_EQ(b.Width, 241);
    EXPECT_EQ(b.Height, 111);
    EXPECT_EQ(b.Left, 550 - 120); // integer half of 241
    EXPECT_EQ(b.Top, 540 - 25 - 111);
    const TBubbleBox l = BubbleBox(201, 51, adLeft, 550, 540);
    EXPECT_EQ(l.Left, 550 - 25 - 241);
    EXPECT_EQ(l.Top, 540 - 55);
}

TEST(BubbleBoxTest, ArrowBobSwingsSixPixelsEachWay) {
    float lo = 0, hi = 0;
    for (int age = 0; age < 200; ++age) {
        lo = std::min(lo, ArrowBob(static_cast<float>(age)));
        hi = std::max(hi, ArrowBob(static_cast<float>(age)));
    }
    EXPECT_NEAR(hi, 6.0f, 0.05f);
    EXPECT_NEAR(lo, -6.0f, 0.05f);
    EXPECT_FLOAT_EQ(ArrowBob(0), 0);
}

class InteractiveTest : public BoardTest {
  protected:
    void SetUp() override {
        BoardTest::SetUp();
        GameDat.PlayerCount = 1;
        GameDat.CurrentPlayer = 1;
        CurrentPlayerRec().Level = 1; // the board reads the player's level file
        Mouse = &MouseObj;
    }
    void TearDown() override {
        Master.reset();
        BoardTest::TearDown();
    }

    struct TSeen {
        std::string Key;
        int Opened = 0;
        int Closed = -1;
    };

    // Steps the master; a bubble that has stood for 40 frames is clicked away.
    void Run(int frames) {
        for (int i = 0; i < frames; ++i, ++Frame) {
            ++FrameCount;
            const bool click = HelpBubble && HelpBubble->State == 2 && Frame - Seen.back().Opened >= 40;
            MouseObj.LeftEvent = click ? mePressed : meNone;
            MouseObj.ButtonFrame = click ? FrameCount : -1;
            TInteractiveHelp* before = HelpBubble;
            Master->Step();
            MouseObj.LeftEvent = meNone;
            int open = 0;
            for (TBasic* c = Master->First; c; c = c->Next)
                if (dynamic_cast<TInteractiveHelp*>(c) && !c->Dead) ++open;
            MaxOpen = std::max(MaxOpen, open);
            if (HelpBubble && HelpBubble != before) Seen.push_back({HelpBubble->Key, Frame});
            if (!Help && !Seen.empty() && Seen.back().Closed < 0) Seen.back().Closed = Frame;
        }
    }

    std::unique_ptr<TInteractiveMaster> Master;
    TMyMouse MouseObj;
    std::vector<TSeen> Seen;
    int Frame = 0;
    int MaxOpen = 0;
};

TEST_F(InteractiveTest, WallsChainsAndBonusesAreExplainedOneAtATimeAndOnlyOnce) {
    MakeBoard(5, 5);
    Arrange({"1 2 w 4 5", "b6 4 5 1 2", "3 5 3x 2 b2", "4 1 2X 5 3", "5 3 4 1 4"});
    ASSERT_EQ(Board->AState, asIdle);
    CurrentPlayerRec().Level = 2;
    CurrentPlayerRec().HelpShown[htTwoHor] = 1; // the move was explained on an earlier level
    Master = std::make_unique<TInteractiveMaster>();
    EXPECT_EQ(HelpMaster, Master.get());
    Run(1200);

    std::vector<std::string> keys;
    for (const TSeen& s : Seen)
        keys.push_back(s.Key);
    EXPECT_EQ(keys, (std::vector<std::string>{"Text_IntHelp_WallShowed", "Text_IntHelp_Lock1Showed",
                                              "Text_IntHelp_Lock2Showed", "Text_IntHelp_Bonus6",
                                              "Text_IntHelp_Bonus2"}));
    EXPECT_EQ(MaxOpen, 1);
    ASSERT_GE(Seen.size(), 2u);
    for (size_t i = 1; i < Seen.size(); ++i) {
        ASSERT_GE(Seen[i - 1].Closed, 0);
        EXPECT_GE(Seen[i].Opened - Seen[i - 1].Closed, 30) << Seen[i].Key;
    }
    for (int topic : {int(htWall), int(htLock1), int(htLock2), htBonusBase + 6, htBonusBase + 2})
        EXPECT_EQ(CurrentPlayerRec().HelpShown[topic], 1) << topic;
    EXPECT_EQ(CurrentPlayerRec().HelpShown[htBonusBase + 1], 0);

    // The next level has the same elements: nothing is explained again.
    Master = std::make_unique<TInteractiveMaster>();
    Seen.clear();
    Run(600);
    EXPECT_TRUE(Seen.empty());
    EXPECT_EQ(Help, nullptr);
}

// A new player meeting a move, a slice after a fall and a wall at once reads each in turn: no
// bubble closes another in the frame it opened.
TEST_F(InteractiveTest, MoveSlicesAndWallMetTogetherAreEachReadInTurn) {
    MakeBoard(5, 5);
    Arrange({"1 2 3 4 5", "2 s1 4 5 1", "1 1 2 1 3", "4 5 1 w 4", "5 4 5 3 2"});
    ASSERT_EQ(Board->AState, asIdle);
    CurrentPlayerRec().Level = 3;
    CurrentPlayerRec().Falls = 1;
    Master = std::make_unique<TInteractiveMaster>();
    Run(32);
    EXPECT_EQ(CurrentPlayerRec().HelpShown[htArtSlices], 0) << "marked as seen while another bubble stands";
    EXPECT_EQ(CurrentPlayerRec().HelpShown[htWall], 0);
    Run(600);

    std::vector<std::string> keys;
    for (const TSeen& s : Seen)
        keys.push_back(s.Key);
    EXPECT_EQ(keys, (std::vector<std::string>{"Text_IntHelp_TwoHor", "Text_IntHelp_WhatIsArtSlices",
                                              "Text_IntHelp_WallShowed"}));
    EXPECT_EQ(MaxOpen, 1);
    for (const TSeen& s : Seen)
        EXPECT_GE(s.Closed - s.Opened, 40) << s.Key << " was closed before it could be read";
}

TEST_F(InteractiveTest, APossibleMoveIsShownFirstWithItsTwoCellsGlaring) {
    MakeBoard(5, 5);
    Arrange({"1 2 3 4 5", "2 3 4 5 1", "1 1 2 1 3", "4 5 1 2 4", "5 4 5 3 2"});
    CurrentPlayerRec().Level = 3;
    Master = std::make_unique<TInteractiveMaster>();
    Run(32);
    ASSERT_FALSE(Seen.empty());
    EXPECT_EQ(Seen[0].Key, "Text_IntHelp_TwoHor");
    EXPECT_EQ(HelpBubble->ArrowDir, adLeft);
    EXPECT_FALSE(HelpBubble->Arrow->Visible);
    int32_t x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    ASSERT_GT(Board->CountMoves(false, x1, y1, x2, y2), 0);
    EXPECT_EQ(HelpBubble->ArrowX, Board->PixelLeft() + 40 * (x1 - 1) + 20 - 60);
    int glares = 0;
    for (TBasic* c = Master->First; c; c = c->Next)
        if (dynamic_cast<TGlare*>(c)) ++glares;
    EXPECT_EQ(glares, 2);
    EXPECT_EQ(CurrentPlayerRec().HelpShown[htTwoHor], 1);
}

TEST_F(InteractiveTest, RefusedSwapsExplainThemselvesEveryTimeOnLevelOneOnly) {
    MakeBoard(5, 5);
    CurrentPlayerRec().Level = 1;
    Master = std::make_unique<TInteractiveMaster>();
    Master->ShowError(1, 1, 2, 1);
    ASSERT_NE(HelpBubble, nullptr);
    EXPECT_EQ(HelpBubble->Key, "Text_IntHelp_Error");
    EXPECT_FALSE(HelpBubble->Arrow->Visible);
    TInteractiveHelp* first = HelpBubble;
    Master->ShowError(1, 1, 2, 1);
    EXPECT_NE(HelpBubble, first); // a new bubble; the first one fades out
    EXPECT_EQ(first->State, 3);
    EXPECT_EQ(CurrentPlayerRec().HelpShown[htError], 0);

    Master = std::make_unique<TInteractiveMaster>();
    CurrentPlayerRec().Level = 3;
    Master->ShowError(1, 1, 2, 1);
    ASSERT_NE(HelpBubble, nullptr);
    TInteractiveHelp* once = HelpBubble;
    Master->ShowError(1, 1, 2, 1);
    EXPECT_EQ(HelpBubble, once);
    EXPECT_EQ(CurrentPlayerRec().HelpShown[htError], 1);
}

TEST_F(InteractiveTest, RefusedSwapOnTheBoardReachesTheMaster) {
    MakeBoard(5, 5);
    Arrange({"1 2 3 4 5", "2 3 4 5 1", "3 4 5 1 2", "4 5 1 2 3", "5 1 2 3 4"});
    CurrentPlayerRec().Level = 1;
    Master = std::make_unique<TInteractiveMaster>();
    Click(1, 1);
    Click(2, 1);
    ASSERT_NE(HelpBubble, nullptr);
    EXPECT_EQ(HelpBubble->Key, "Text_IntHelp_Error");
}

TEST_F(InteractiveTest, ClickDuringFadeInFadesOutFromTheAlphaReached) {
    MakeBoard(5, 5);
    CurrentPlayerRec().Level = 4;
    Master = std::make_unique<TInteractiveMaster>();
    Master->LowTime();
    TInteractiveHelp* b = HelpBubble;
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->ArrowX, 380);
    EXPECT_EQ(b->ArrowY, 474);
    for (int i = 0; i < 5; ++i)
        b->Step();
    const float reached = b->Alpha;
    EXPECT_GT(reached, 0.1f);
    EXPECT_LT(reached, 0.5f);
    MouseObj.LeftEvent = mePressed;
    b->Step();
    MouseObj.LeftEvent = meNone;
    EXPECT_EQ(b->State, 3);
    b->Step();
    EXPECT_LE(b->Alpha, reached);
    EXPECT_GT(b->Alpha, reached - 0.1f);
    EXPECT_NE(Help, nullptr);
    for (int i = 0; i < 10 && !b->Dead; ++i)
        b->Step();
    EXPECT_TRUE(b->Dead);
    EXPECT_EQ(Help, nullptr);
}

TEST_F(InteractiveTest, EnterClosesTheBubbleAndTheKeysStayItsOwnWhileItFades) {
    MakeBoard(5, 5);
    CurrentPlayerRec().Level = 4;
    Master = std::make_unique<TInteractiveMaster>();
    Master->LowTime();
    TInteractiveHelp* b = HelpBubble;
    ASSERT_NE(b, nullptr);
    EXPECT_FALSE(CloseHelpBubbleByKey(VK_UP)) << "arrows still walk the board";
    EXPECT_TRUE(CloseHelpBubbleByKey(VK_RETURN));
    EXPECT_EQ(b->State, 3);
    EXPECT_TRUE(CloseHelpBubbleByKey(VK_SPACE)) << "fading, it still takes the key";
    for (int i = 0; i < 40 && !b->Dead; ++i)
        b->Step();
    EXPECT_EQ(HelpBubble, nullptr);
    EXPECT_FALSE(CloseHelpBubbleByKey(VK_ESCAPE)) << "no bubble: Escape is the level's";
}

TEST_F(InteractiveTest, BoardIgnoresThePointerOverABubbleAndTheClockStops) {
    MakeBoard(5, 5);
    CurrentPlayerRec().Level = 4;
    Master = std::make_unique<TInteractiveMaster>();
    Master->LowTime();
    ASSERT_NE(Help, nullptr);
    const TBubbleBox box = HelpBubble->Box;
    MouseObj.X = box.Left + 5;
    MouseObj.Y = box.Top + 5;
    EXPECT_TRUE(Help->MouseOver());
    MouseObj.X = box.Left - 5;
    EXPECT_FALSE(Help->MouseOver());

    TTimer timer(100);
    timer.Init();
    timer.Started = true;
    const float before = timer.TimeLeft;
    for (int i = 0; i < 10; ++i)
        timer.StepMe();
    EXPECT_EQ(timer.TimeLeft, before);
}

} // namespace
} // namespace velmora::boardtest
