#include "board_fixture.h"

namespace velmora::boardtest {
namespace {

using BoardStateTest = BoardTest;

const std::vector<std::string> kQuiet = {"1 2 3 4 5", "2 3 4 5 1", "3 4 5 1 2", "4 5 1 2 3", "5 1 2 3 4"};

TEST_F(BoardStateTest, StatesTakeTheirDurationsAndPlayTheirSounds) {
    TNet& n = MakeBoard(5, 5);
    Arrange(kQuiet);
    n.SetAState(asBadSwap);
    EXPECT_EQ(BoardSamplesPlayed.back(), "Mismatch");
    int steps = 0;
    while (n.AState == asBadSwap && steps < 100) {
        n.Step();
        ++steps;
    }
    EXPECT_EQ(steps, 30);
    n.SetAState(asSettle);
    EXPECT_EQ(Settle(), 10);
    n.SetAState(9);
    EXPECT_NE(ReadLog().find("TNet.SetAState: Invalid State"), std::string::npos);
    n.Step();
    EXPECT_NE(ReadLog().find("TNet.StepMe: Invalid State"), std::string::npos);
}

TEST_F(BoardStateTest, AcceptedSwapRunsThroughTheCascadeToIdle) {
    TNet& n = MakeBoard(5, 5);
    TScores scores;
    Arrange({"1 2 3 4 5", "2 3 4 5 1", "3 4 5 1 2", "4 5 1 2 3", "1 5 1 1 4"});
    n.SetAState(asIdle);
    Click(2, 5);
    EXPECT_TRUE(n.Selected);
    EXPECT_EQ(n.Cells.At(2, 5).Mark, 2);
    Click(1, 5); // neighbour: (1,5)=1 goes to (2,5) and completes 1 1 1 in row 5
    EXPECT_EQ(n.AState, asSwap);
    EXPECT_EQ(BoardSamplesPlayed.back(), "ChangeChips");
    EXPECT_EQ(n.Cells.At(2, 5).Value, 1);
    EXPECT_EQ(n.Cells.At(1, 5).Value, 5);
    EXPECT_FALSE(n.Selected);
    EXPECT_NE(dynamic_cast<TFlyChip*>(n.FlyAt(1, 5)), nullptr);
    Settle();
    EXPECT_EQ(n.AState, asIdle);
    EXPECT_EQ(BoardCounters().Cascade, 0) << "reset when the board settles";
    EXPECT_GE(scores.Score, 15);
    EXPECT_EQ(scores.Awards[0].Cascade, 0);
    EXPECT_FALSE(AnyLine(n));
}

TEST_F(BoardStateTest, RefusedSwapLeavesTheCellsUntouched) {
    TNet& n = MakeBoard(5, 5);
    THelp help;
    Arrange(kQuiet);
    const TCellGrid before = n.Cells;
    n.SetAState(asIdle);
    Click(1, 1);
    Click(2, 1);
    EXPECT_EQ(n.AState, asBadSwap);
    EXPECT_EQ(help.RefusedSwaps, 1);
    EXPECT_NE(dynamic_cast<TInvalidChip*>(n.FlyAt(1, 1)), nullptr);
    Settle();
    for (int x = 1; x <= 5; ++x)
        for (int y = 1; y <= 5; ++y) {
            EXPECT_EQ(n.Cells.At(x, y).Kind, before.At(x, y).Kind);
            EXPECT_EQ(n.Cells.At(x, y).Value, before.At(x, y).Value);
            EXPECT_EQ(n.Cells.At(x, y).Fly, 0u) << "the flights end in idle";
        }
}

TEST_F(BoardStateTest, SameColouredNeighboursAreRefused) {
    TNet& n = MakeBoard(5, 5);
    Arrange({"1 1 3 1 5", "2 3 4 5 1", "3 4 5 1 2", "4 5 1 2 3", "5 1 2 3 4"});
    n.SetAState(asIdle);
    n.Select(1, 1);
    n.MakeMove(2, 1);
    EXPECT_EQ(n.AState, asBadSwap);
}

TEST_F(BoardStateTest, ChipSwappedWithTheSliceBelowIt) {
    TNet& n = MakeBoard(5, 5);
    Arrange({"1 2 3 4 5", "2 3 4 5 1", "3 4 5 1 2", "4 5 1 2 3", "5 1 s3 1 4"});
    n.SetAState(asIdle);
    n.Select(3, 4);
    n.MakeMove(3, 5); // the slice moves up; the chip 1 completes 1 1 1 in row 5
    ASSERT_EQ(n.AState, asSwap);
    EXPECT_EQ(n.Cells.At(3, 4).Kind, ckSlice);
    EXPECT_EQ(n.Cells.At(3, 5).Kind, ckChip);
    Settle();
    EXPECT_EQ(n.AState, asIdle);
    EXPECT_EQ(BoardCounters().SlicesDropped, 1) << "the slice fell back to the bottom and dropped out";
}

TEST_F(BoardStateTest, ChainedChipsCannotBeHoveredSelectedOrSwapped) {
    TNet& n = MakeBoard(5, 5);
    Arrange({"1x 2 3 4 5", "2 3 4 5 1", "3 4 5 1 2", "4 5 1 2 3", "5 1 2 3 4"});
    n.SetAState(asIdle);
    PointAt(1, 1, meNone, false);
    n.Step();
    EXPECT_FALSE(n.Hovered);
    Click(1, 1);
    EXPECT_FALSE(n.Selected);
    Click(2, 1);
    ASSERT_TRUE(n.Selected);
    Click(1, 1); // a neighbour, but chained
    EXPECT_EQ(n.AState, asIdle);
    EXPECT_TRUE(n.Selected);
    EXPECT_EQ(n.SelX, 2);
}

TEST_F(BoardStateTest, ClicksMoveTheSelectionAndHoverFollowsThePointer) {
    TNet& n = MakeBoard(5, 5);
    TActiveRects rects;
    Arrange(kQuiet);
    n.SetAState(asIdle);
    PointAt(3, 3, meNone, false);
    n.Step();
    EXPECT_TRUE(n.Hovered);
    EXPECT_TRUE(rects.HoverShown);
    EXPECT_EQ(n.Cells.At(3, 3).Mark, 1);
    Click(3, 3);
    EXPECT_TRUE(rects.SelectShown);
    EXPECT_FALSE(n.Hovered);
    EXPECT_EQ(BoardSamplesPlayed.back(), "Click");
    Click(5, 5); // not a neighbour: the selection moves there
    EXPECT_EQ(n.SelX, 5);
    EXPECT_EQ(n.SelY, 5);
    EXPECT_EQ(n.Cells.At(3, 3).Mark, 0);
    PointAt(-3, 1, meNone, false); // off the board
    n.Step();
    EXPECT_FALSE(n.Hovered);
}

TEST_F(BoardStateTest, NoMoveBoardBreaksThreeChipsAfterTheHintDelay) {
    TNet& n = MakeBoard(4, 4, "1 2 3 4", 4);
    Arrange({"1 2 3 4", "3 4 1 2", "1 2 3 4", "3 4 1 2"});
    ASSERT_EQ(n.CountMoves(true), 0);
    n.SetAState(asIdle);
    for (int i = 0; i < 599; ++i)
        n.Step();
    EXPECT_EQ(BoardCounters().ChipsRemoved, 0) << "nothing happens for ten seconds";
    EXPECT_EQ(n.AState, asIdle);
    n.Step();
    EXPECT_EQ(BoardCounters().ChipsRemoved, 3);
    EXPECT_EQ(n.AState, asFall);
}

TEST_F(BoardStateTest, HintGlaresAppearAfterTheDelayAndEndWithAMove) {
    TNet& n = MakeBoard(5, 5);
    Arrange({"1 2 3 4 5", "2 3 4 5 1", "3 4 5 1 2", "4 5 1 2 3", "1 5 1 1 4"});
    n.SetAState(asIdle);
    auto glares = [&] {
        int g = 0;
        for (TBasic* c = n.First; c; c = c->Next)
            if (auto* gl = dynamic_cast<TGlare*>(c); gl && gl->Variant == 1 && !gl->Dead) ++g;
        return g;
    };
    for (int i = 0; i < 600; ++i)
        n.Step();
    EXPECT_EQ(glares(), 2);
    EXPECT_EQ(BoardSamplesPlayed.back(), "HelpAppear");
    EXPECT_FLOAT_EQ(n.HintTimer, cHintRepeat);
    n.Select(2, 5);
    n.MakeMove(1, 5);
    n.Step();
    EXPECT_EQ(glares(), 0);
}

TEST_F(BoardStateTest, DragAndDropMovesOnReleaseOverANeighbour) {
    TNet& n = MakeBoard(5, 5);
    GameDat.DragNDrop = 1;
    Arrange({"1 2 3 4 5", "2 3 4 5 1", "3 4 5 1 2", "4 5 1 2 3", "1 5 1 1 4"});
    n.SetAState(asIdle);
    PointAt(2, 5, mePressed, true);
    n.Step();
    ASSERT_NE(dynamic_cast<TDragNDropChip*>(n.FlyAt(2, 5)), nullptr);
    EXPECT_TRUE(n.Selected);
    PointAt(4, 4, meReleased, false); // not a neighbour: the chip glides home
    n.Step();
    EXPECT_EQ(n.AState, asSettle);
    Settle();
    EXPECT_EQ(n.FlyAt(2, 5), nullptr);
    PointAt(2, 5, mePressed, true);
    n.Step();
    PointAt(1, 5, meReleased, false);
    n.Step();
    EXPECT_EQ(n.AState, asSwap);
    EXPECT_TRUE(static_cast<TFlyChip*>(n.FlyAt(1, 5))->FromPointer) << "the flight into the pointer's cell";
    EXPECT_FALSE(static_cast<TFlyChip*>(n.FlyAt(2, 5))->FromPointer);
}

TEST_F(BoardStateTest, HammerBreaksTheCellUnderAClick) {
    TNet& n = MakeBoard(5, 5);
    auto* hammer = new THammer();
    Arrange({"1X 2 3 4 5", "2 3 4 5 1", "3 4 5 1 2", "4 5 1 2 3", "5 1 2 3 4"});
    n.SetAState(asIdle);
    Click(1, 1);
    EXPECT_EQ(BoardCounters().ChipsRemoved, 1);
    EXPECT_EQ(n.AState, asFall) << "a chained chip goes too, and the column falls";
    EXPECT_TRUE(hammer->Dead);
    EXPECT_EQ(BoardSamplesPlayed.back(), "HammerUsed");
    delete hammer;
}

TEST_F(BoardStateTest, DropInFallsEachColumnByItsContentCount) {
    TNet& n = MakeBoard(3, 5);
    Arrange({"- 1 2", "- 2 3", "1 3 4", "2 w 5", "3 5 1"});
    n.StartDropIn();
    auto* a = dynamic_cast<TStartChip*>(n.FlyAt(1, 5));
    ASSERT_NE(a, nullptr);
    EXPECT_FLOAT_EQ(a->Delay, 20);
    EXPECT_FLOAT_EQ(a->FromY, n.CellCentre(1, 2).Y) << "three contents: each falls three rows";
    auto* c = dynamic_cast<TStartChip*>(n.FlyAt(3, 5));
    ASSERT_NE(c, nullptr);
    EXPECT_FLOAT_EQ(c->Delay, 60);
    EXPECT_EQ(n.FlyAt(2, 4), nullptr) << "the blank gets no drop";
}

TEST_F(BoardStateTest, FrozenBoardShowsEachColumnOnceItsDelayRunsOut) {
    TNet& n = MakeBoard(3, 3);
    n.StartLevel();
    ASSERT_NE(VisNet, nullptr);
    n.SetAState(asFrozen);
    BoardSamplesPlayed.clear();
    for (int i = 0; i < 20; ++i)
        n.Step();
    EXPECT_TRUE(VisNet->Chips.empty()) << "nothing shows before its delay";
    ASSERT_EQ(BoardSamplesPlayed.size(), 3u) << "one for each content of the first column";
    EXPECT_EQ(BoardSamplesPlayed.back(), "StartLevel_FallDown");
    n.Step();
    ASSERT_EQ(VisNet->Chips.size(), 3u) << "the first column shows";
    EXPECT_LT(VisNet->Chips[0].Opacity, 0.1f) << "and fades in as it falls";
    for (int i = 0; i < 100; ++i)
        n.Step();
    ASSERT_EQ(VisNet->Chips.size(), 9u);
    for (const auto& chip : VisNet->Chips)
        EXPECT_FLOAT_EQ(chip.Opacity, 1);
    EXPECT_NEAR(VisNet->Chips[8].Pos.Y, n.CellCentre(3, 3).Y, 1e-5) << "landed in its cell";
}

TEST_F(BoardStateTest, BlowRowClearsTheRowToHoles) {
    TNet& n = MakeBoard(4, 3);
    Arrange({"1 2 3 4", "2 w s1 b3", "3 4 1 2"});
    n.BlowRow(2);
    EXPECT_EQ(n.Cells.At(1, 2).Kind, ckNone);
    EXPECT_EQ(n.Cells.At(2, 2).Kind, ckBlank);
    EXPECT_EQ(n.Cells.At(3, 2).Kind, ckNone);
    EXPECT_EQ(BoardSamplesPlayed.back(), "EndLevel_Explode");
}

} // namespace
} // namespace velmora::boardtest
