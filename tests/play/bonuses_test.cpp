// Bonus panel, hammer, multipliers and the items falling out of the board.
#include <cmath>

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

// A level window that only lets the fallen items fly.
struct TFlyingGame : TBoardGameLink {
    bool LevelComplete() const override { return false; }
    void LevelWon() override {}
    bool HasFocusNow() const override { return true; }
    bool Paused() const override { return false; }
    bool TransitionRunning() const override { return false; }
};

// Where a picture's corner lands on the screen through its world matrix.
TWorldPoint Corner(TTexRect& r, int i) {
    TMatrix m;
    r.GetWorldMatrix(m);
    const float x = r.Quad()[i].X, y = r.Quad()[i].Y;
    return {x * m.m[0][0] + y * m.m[1][0] + m.m[3][0], x * m.m[0][1] + y * m.m[1][1] + m.m[3][1]};
}
TWorldPoint DrawnCentre(TTexRect& r) {
    const TWorldPoint a = Corner(r, 0), d = Corner(r, 3);
    return {(a.X + d.X) / 2, (a.Y + d.Y) / 2};
}
float DrawnTurn(TTexRect& r) { // direction of the top edge
    const TWorldPoint a = Corner(r, 0), b = Corner(r, 1);
    return std::atan2(b.Y - a.Y, b.X - a.X);
}
float Wrapped(float angle) {
    return std::remainder(angle, 2 * 3.14159265f);
}

class FallenFlightTest : public BonusesTest {
  protected:
    void SetUp() override {
        BonusesTest::SetUp();
        BoardGame = &Game;
    }
    void TearDown() override {
        BoardGame = nullptr;
        BonusesTest::TearDown();
    }
    TFlyingGame Game;
};

TEST_F(FallenFlightTest, TheAngryChipTurnsATenthOfARadianEachStepWhileFollowingItsPath) {
    auto* chip = Board->Add(new TFallenBonusAngryChip(2, 8, ckBonus, 5));
    chip->Step();
    ASSERT_NE(chip->Picture, nullptr);
    float before = DrawnTurn(*chip->Picture);
    for (int i = 0; i < 30; ++i) {
        chip->Step();
        const float now = DrawnTurn(*chip->Picture);
        EXPECT_NEAR(Wrapped(now - before), 0.1f, 1e-3f) << "step " << i;
        before = now;
        float px = 0, py = 0;
        chip->Path.GetPosition(1 - chip->StateTime, px, py);
        const TWorldPoint c = DrawnCentre(*chip->Picture);
        EXPECT_NEAR(c.X, px, 1e-4f);
        EXPECT_NEAR(c.Y, py, 1e-4f);
    }
    // It keeps its size while it turns.
    const TWorldPoint a = Corner(*chip->Picture, 0), b = Corner(*chip->Picture, 1);
    EXPECT_NEAR(std::hypot(b.X - a.X, b.Y - a.Y), 40 * PixelSize, 1e-5f);
}

TEST_F(FallenFlightTest, CoinsRollWithTheirHorizontalPosition) {
    auto* bag = Board->Add(new TFallenBonusMoney(3, 5, ckBonus, 5));
    for (int i = 0; i < 4000 && bag->State != 2; ++i)
        bag->Step();
    ASSERT_EQ(bag->State, 2) << "the bag reached the score";
    ASSERT_EQ(bag->Coins.size(), 40u);
    for (int i = 0; i < 20; ++i)
        bag->Step();
    int checked = 0;
    for (const TFallenBonusMoney::TCoin& c : bag->Coins) {
        if (c.Out) continue;
        ++checked;
        const TWorldPoint centre = DrawnCentre(*c.Icon);
        EXPECT_NEAR(centre.X, c.X, 1e-4f);
        EXPECT_NEAR(centre.Y, c.Y, 1e-4f);
        EXPECT_NEAR(Wrapped(DrawnTurn(*c.Icon) - (-12 * c.X)), 0, 1e-3f);
    }
    EXPECT_GT(checked, 0);
    // A coin rolling to the right turns clockwise.
    const TFallenBonusMoney::TCoin* right = nullptr;
    for (const auto& c : bag->Coins)
        if (!c.Out && c.VX > 0) right = &c;
    ASSERT_NE(right, nullptr);
    const float was = right->Icon->Angle;
    bag->Step();
    EXPECT_LT(right->Icon->Angle, was);
}

} // namespace velmora::playtest
