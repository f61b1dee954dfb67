// Bonus panel, hammer, multipliers and the items falling out of the board.
#include "board/flies.h"
#include "play_fixture.h"
#include "render/texlabels.h"

namespace velmora::playtest {

class BonusesTest : public PlayTest {
  protected:
    void SetUp() override {
        PlayTest::SetUp();
        Owner = std::make_unique<TMaster>();
        Board = Owner->Add(new TNet(Info));
        Board->StartLevel();
        Board->StopAnimations();
        Board->SetAState(asIdle);
        Panel = Owner->Add(new TBonusPanel());
    }
    void TearDown() override {
        Owner.reset();
        PlayTest::TearDown();
    }
    void PressAt(int px, int py, int button = 0) {
        ++FrameCount;
        MouseObj.X = px;
        MouseObj.Y = py;
        (button == 0 ? MouseObj.LeftEvent : MouseObj.RightEvent) = mePressed;
        MouseObj.ButtonFrame = FrameCount;
    }
    void Release() { MouseObj.LeftEvent = MouseObj.RightEvent = meNone; }
    TLevelInfo Info;
    std::unique_ptr<TMaster> Owner;
    TNet* Board = nullptr;
    TBonusPanel* Panel = nullptr;
};

TEST_F(BonusesTest, HammerIsGivenBackByClickingItsSlot) {
    Rec().BonusCount[0] = 1;
    Panel->Refresh();
    PressAt(390, 546);
    Panel->MouseProc();
    Release();
    ASSERT_NE(Hammer, nullptr) << "the hammer is armed";
    EXPECT_EQ(Panel->Count(1), 0);
    Panel->Change(1, -1);
    EXPECT_EQ(Panel->Count(1), 0) << "a second hammer is refused while one is armed";
    PressAt(390, 546);
    Panel->MouseProc();
    Release();
    EXPECT_EQ(Hammer, nullptr);
    EXPECT_EQ(Panel->Count(1), 1) << "given back at once";
}

TEST_F(BonusesTest, RightClickSendsTheHammerBackAndItLandsInItsSlot) {
    Rec().BonusCount[0] = 1;
    Panel->Change(1, -1);
    THammer* h = Hammer;
    ASSERT_NE(h, nullptr);
    PressAt(500, 200, 1);
    h->StepMe();
    Release();
    EXPECT_EQ(Hammer, nullptr);
    EXPECT_EQ(Panel->Count(1), 0) << "still flying";
    for (int i = 0; i < 15 && !h->Dead; ++i)
        h->StepMe();
    EXPECT_TRUE(h->Dead);
    EXPECT_EQ(Panel->Count(1), 1);
}

TEST_F(BonusesTest, FunctionKeysFiveAndSixAreConsumedButChangeNothing) {
    for (int i = 0; i < 4; ++i)
        Rec().BonusCount[i] = 1;
    Rec().BonusCount[4] = 3;
    Rec().BonusCount[5] = 3;
    EXPECT_TRUE(Panel->KeyDown(116));
    EXPECT_TRUE(Panel->KeyDown(117));
    EXPECT_EQ(Rec().BonusCount[4], 3);
    EXPECT_EQ(Rec().BonusCount[5], 3);
    EXPECT_EQ(Board->AState, asIdle);
    EXPECT_FALSE(Panel->KeyDown(118)) << "F7 is not the panel's";
    EXPECT_TRUE(Panel->KeyDown(114)); // F3: the clock
    EXPECT_EQ(Panel->Count(3), 0);
}

TEST_F(BonusesTest, SapWithNoChipUnderASliceStillEntersSap) {
    Rec().BonusCount[1] = 1;
    for (int x = 1; x <= 5; ++x)
        for (int y = 1; y <= 5; ++y)
            if (Board->Cells.At(x, y).Kind == ckSlice) Board->Cells.At(x, y + 1).Kind = ckBlank;
    const TCellGrid before = Board->Cells;
    Panel->Change(2, -1);
    EXPECT_EQ(Board->AState, asSap);
    for (int x = 1; x <= 5; ++x)
        for (int y = 1; y <= 5; ++y)
            EXPECT_EQ(Board->Cells.At(x, y).Kind, before.At(x, y).Kind);
    EXPECT_EQ(std::count(BoardSamplesPlayed.begin(), BoardSamplesPlayed.end(), "SapUsed"), 1);
}

TEST_F(BonusesTest, SapDissolvesTheChipUnderASlice) {
    Rec().BonusCount[1] = 1;
    ASSERT_EQ(Board->Cells.At(3, 1).Kind, ckSlice);
    Panel->Change(2, -1);
    EXPECT_EQ(Board->Cells.At(3, 2).Kind, ckEmpty);
    EXPECT_EQ(Board->AState, asSap);
}

TEST_F(BonusesTest, TwoX3GiveNineAndAThirdReplacesTheSlotWithLessTime) {
    TBonusXXMaster* xx = Owner->Add(new TBonusXXMaster());
    EXPECT_EQ(xx->ChooseSlot(), 2);
    xx->Activate(2, 7, 60);
    EXPECT_EQ(xx->ChooseSlot(), 1);
    xx->Activate(1, 7, 60);
    EXPECT_EQ(xx->Multiplier(), 9);
    for (int i = 0; i < 100; ++i)
        xx->StepMe();
    xx->TimeLeft[1] -= 50; // slot 2 has less time left now
    EXPECT_EQ(xx->ChooseSlot(), 2);
    xx->Activate(xx->ChooseSlot(), 6, 60);
    EXPECT_EQ(xx->Multiplier(), 6);
    EXPECT_FLOAT_EQ(xx->TimeLeft[1], 3600);
}

TEST_F(BonusesTest, MultiplierRunsOutAfterSixtySeconds) {
    TBonusXXMaster* xx = Owner->Add(new TBonusXXMaster());
    xx->Activate(1, 6, 60);
    for (int i = 0; i < 3599; ++i)
        xx->StepMe();
    EXPECT_EQ(xx->Multiplier(), 2);
    xx->StepMe();
    EXPECT_EQ(xx->Multiplier(), 1);
    EXPECT_FALSE(xx->Icon[0]->Visible);
}

TEST_F(BonusesTest, MoneyWithX2AddsTwiceTheBagsPoints) {
    TScores* scores = Owner->Add(new TScores());
    TBonusXXMaster* xx = Owner->Add(new TBonusXXMaster());
    xx->Activate(1, 6, 60);
    TFallenBonusMoney bag(1, 5, ckBonus, 5);
    bag.Arrive();
    EXPECT_EQ(scores->Score, 1000);
}

TEST_F(BonusesTest, FallenBonusReachesItsSlotCount) {
    TFallenVisBonus fallen(2, 3, ckBonus, 5);
    fallen.Step(); // without a game window it arrives at once
    EXPECT_EQ(Panel->Count(3), 1);
    EXPECT_TRUE(Panel->Slots[3].CountLabel->Visible);
}

} // namespace velmora::playtest
