#include "board_fixture.h"

namespace velmora::boardtest {
namespace {

using LinesTest = BoardTest;

TEST_F(LinesTest, FreshBoardHasNoLineAndAtLeastTwoMoves) {
    for (uint32_t seed : {1u, 2u, 3u, 4u, 5u, 6u, 7u, 8u}) {
        RandomSeed(seed);
        TNet& n = MakeBoard(8, 7, "1 2 3 4", 4);
        EXPECT_FALSE(AnyLine(n)) << "seed " << seed;
        EXPECT_GE(n.CountMoves(true), 2) << "seed " << seed;
        Board.reset();
    }
}

TEST_F(LinesTest, LevelWithoutTwoMovesIsPlayedAfterBoundedAttempts) {
    // One colour only: every arrangement is all lines; the builder must give up, not hang.
    WriteFile("Levels/Greece/01.map", "ColorCount 1\nColors 2\nField 2x2\nx001x002\nx003x004\n");
    Board = std::make_unique<TNet>(Info);
    EXPECT_NE(ReadLog().find("TNet.BuildBoard: no arrangement with two moves"), std::string::npos);
    EXPECT_EQ(Board->Cells.At(2, 2).Value, 4);
}

TEST_F(LinesTest, LineOfThreeAtCascadeZeroScoresFiveEach) {
    TNet& n = MakeBoard(5, 3);
    TScores scores;
    Arrange({"1 1 1 2 3", "2 3 4 5 2", "3 4 5 2 3"});
    n.RemoveLines(2, 1);
    EXPECT_EQ(scores.Score, 15);
    EXPECT_EQ(scores.ChipScores, 3);
    for (int x = 1; x <= 3; ++x)
        EXPECT_EQ(n.Cells.At(x, 1).Kind, ckEmpty);
    EXPECT_EQ(n.Cells.At(4, 1).Kind, ckChip);
    EXPECT_EQ(BoardCounters().ChipsRemoved, 3);
}

TEST_F(LinesTest, LineOfFourAtCascadeTwoScoresTwentyEachTimesMultiplier) {
    TNet& n = MakeBoard(5, 5);
    TScores scores;
    TBonusXX xx;
    xx.Factor[0] = 2;
    Arrange({"1 2 3 4 5", "2 3 4 5 1", "3 4 5 1 2", "4 5 1 2 3", "1 3 3 3 3"});
    BoardCounters().Cascade = 1;
    n.ResolveMatches(); // the second cascade pass
    EXPECT_EQ(BoardCounters().Cascade, 2);
    EXPECT_EQ(BoardCounters().BestCascade, 2);
    EXPECT_EQ(scores.Score, 4 * 20 * 2);
    EXPECT_EQ(n.AState, asFall) << "the holes start a fall";
}

TEST_F(LinesTest, CornerOfLShapeIsScoredTwiceAndRemoved) {
    TNet& n = MakeBoard(5, 5);
    TScores scores;
    Arrange({"1 2 3 4 5", "2 3 4 5 1", "3 4 5 1 2", "1 4 2 2 2", "4 5 1 3 2"});
    // Column 5 rows 3..5 hold 2 2 2 and row 4 columns 3..5 hold 2 2 2: corner (5, 4).
    int32_t count = 0;
    ASSERT_TRUE(n.CheckLine(n.Cells, 5, 4, count));
    EXPECT_EQ(count, 6);
    n.RemoveLines(5, 4);
    EXPECT_EQ(scores.ChipScores, 6) << "three in the row, three in the column, corner twice";
    EXPECT_EQ(scores.Score, 30);
    EXPECT_EQ(BoardCounters().ChipsRemoved, 6);
    int cornerAwards = 0;
    for (const auto& a : scores.Awards)
        cornerAwards += a.X == 5 && a.Y == 4;
    EXPECT_EQ(cornerAwards, 2);
    for (int x = 3; x <= 5; ++x)
        EXPECT_EQ(n.Cells.At(x, 4).Kind, ckEmpty);
    for (int y = 3; y <= 5; ++y)
        EXPECT_EQ(n.Cells.At(5, y).Kind, ckEmpty);
}

TEST_F(LinesTest, TwoLinesResolvedInScanOrderWithFreshScans) {
    TNet& n = MakeBoard(6, 4);
    TScores scores;
    Arrange({"1 2 3 4 5 1", "2 3 3 3 1 2", "4 4 4 1 2 3", "5 1 2 5 3 4"});
    // Row 2 (3 3 3) comes before row 3 (4 4 4) in row-major order; both score at cascade 1.
    n.ResolveMatches();
    ASSERT_EQ(scores.Awards.size(), 6u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(scores.Awards[i].Y, 2) << "the line of the earlier row goes first";
        EXPECT_EQ(scores.Awards[i + 3].Y, 3);
    }
    EXPECT_EQ(n.AState, asFall);
}

TEST_F(LinesTest, ScanPicksBestThenFirst) {
    TNet& n = MakeBoard(6, 4);
    TScores scores;
    // A line of three in row 1 and a line of four in row 4: the longer one goes first.
    Arrange({"1 1 1 4 5 2", "2 3 4 5 1 3", "4 5 2 1 2 4", "3 3 3 3 4 5"});
    n.ResolveMatches();
    ASSERT_EQ(scores.Awards.size(), 7u);
    EXPECT_EQ(scores.Awards[0].Y, 4);
    EXPECT_EQ(scores.Awards[0].LineLength, 4);
    EXPECT_EQ(scores.Awards[4].Y, 1);
}

TEST_F(LinesTest, DoubleChainedChipSurvivesTwoLines) {
    TNet& n = MakeBoard(5, 3);
    TScores scores;
    Arrange({"1 1X 1 2 3", "2 3 4 5 2", "3 4 5 2 3"});
    n.RemoveLines(1, 1);
    EXPECT_EQ(n.Cells.At(2, 1).Kind, ckChip);
    EXPECT_EQ(n.Cells.At(2, 1).Lock, 1);
    EXPECT_EQ(scores.ChipScores, 3) << "the chained chip scores too";
    Arrange({"1 1x 1 2 3", "2 3 4 5 2", "3 4 5 2 3"});
    n.RemoveLines(3, 1);
    EXPECT_EQ(n.Cells.At(2, 1).Kind, ckChip);
    EXPECT_EQ(n.Cells.At(2, 1).Lock, 0);
    n.RemoveLines(1, 1 + 0 * 0); // pivot at (1, 1) is now empty: nothing happens
    Arrange({"1 1 1 2 3", "2 3 4 5 2", "3 4 5 2 3"});
    n.RemoveLines(1, 1);
    EXPECT_EQ(n.Cells.At(2, 1).Kind, ckEmpty) << "a third line removes it";
    const int sparks =
        static_cast<int>(std::count(BoardSamplesPlayed.begin(), BoardSamplesPlayed.end(), "MatchLock"));
    EXPECT_EQ(sparks, 2);
}

TEST_F(LinesTest, ChainedPivotLeavesAtOnce) {
    TNet& n = MakeBoard(5, 3);
    Arrange({"1X 1 1 2 3", "2 3 4 5 2", "3 4 5 2 3"});
    n.RemoveLines(1, 1);
    EXPECT_EQ(n.Cells.At(1, 1).Kind, ckEmpty);
}

TEST_F(LinesTest, CheckLineOnItemsIsFalseAndLeavesCount) {
    TNet& n = MakeBoard(4, 3);
    Arrange({"s1 b2 - w", "1 1 1 2", "2 3 4 5"});
    for (int x = 1; x <= 4; ++x) {
        int32_t count = 77;
        EXPECT_FALSE(n.CheckLine(n.Cells, x, 1, count));
        EXPECT_EQ(count, 77);
    }
    int32_t count = 0;
    EXPECT_TRUE(n.CheckLine(n.Cells, 3, 2, count));
    EXPECT_EQ(count, 4);
}

TEST_F(LinesTest, SlicesDropOutAtTheBottomAndAboveAHole) {
    TNet& n = MakeBoard(4, 4);
    TTimer timer(100);
    timer.TimeLeft = 100;
    Arrange({"1 2 3 4", "2 s2 4 1", "3 - 1 2", "s1 3 2 b6"});
    n.Collapse();
    EXPECT_EQ(BoardCounters().SlicesDropped, 2);
    EXPECT_EQ(BoardCounters().BonusesDropped, 1);
    EXPECT_FLOAT_EQ(timer.TimeLeft, 100 + 600) << "five seconds per slice";
    EXPECT_EQ(n.AState, asFall);
    int fallen = 0, arts = 0;
    for (TBasic* c = n.First; c; c = c->Next) {
        fallen += dynamic_cast<TFallenItem*>(c) != nullptr;
        arts += dynamic_cast<TFallenArt*>(c) != nullptr;
    }
    EXPECT_EQ(fallen, 3);
    EXPECT_EQ(arts, 2);
    for (int x = 1; x <= 4; ++x)
        for (int y = 1; y <= 4; ++y)
            EXPECT_NE(n.Cells.At(x, y).Kind, ckEmpty) << x << "," << y;
    EXPECT_EQ(n.Cells.At(2, 3).Kind, ckNone) << "the hole stays a hole";
}

TEST_F(LinesTest, CollapseFallsPastBlanksAndRefillsFromAbove) {
    TNet& n = MakeBoard(3, 4);
    Arrange({"1 2 3", "4 w 5", "2 1 4", "5 3 1"});
    n.SetCell(2, 3, 0, ckEmpty);
    n.SetCell(2, 4, 0, ckEmpty);
    n.Collapse();
    EXPECT_EQ(n.Cells.At(2, 2).Kind, ckBlank) << "a blank is never landed on";
    EXPECT_EQ(n.Cells.At(2, 4).Kind, ckChip);
    EXPECT_EQ(n.Cells.At(2, 4).Value, 2) << "the chip above the blank falls past it";
    EXPECT_EQ(n.Cells.At(2, 1).Kind, ckChip);
    EXPECT_EQ(n.Cells.At(2, 3).Kind, ckChip);
    TFly* fly = n.FlyAt(2, 1);
    ASSERT_NE(dynamic_cast<TFallChip*>(fly), nullptr);
    EXPECT_TRUE(static_cast<TFallChip*>(fly)->IsNew);
    EXPECT_FALSE(static_cast<TFallChip*>(n.FlyAt(2, 4))->IsNew);
    EXPECT_EQ(BoardCounters().Falls, 1);
}

TEST_F(LinesTest, CountMovesWithAndWithoutItems) {
    TNet& n = MakeBoard(4, 3);
    Arrange({"3 1 3 4", "2 s1 1 1", "4 3 2 3"});
    // The only move: the chip 1 above the slice swaps down and completes row 2.
    int32_t x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    EXPECT_EQ(n.CountMoves(false, x1, y1, x2, y2), 0);
    EXPECT_EQ(n.CountMoves(true, x1, y1, x2, y2), 1) << "slice (2,2) swapped with chip 1 above it";
    EXPECT_EQ(x1, 2);
    EXPECT_EQ(y1, 1);
    EXPECT_EQ(x2, 2);
    EXPECT_EQ(y2, 2);
}

TEST_F(LinesTest, StoredCellLayoutIsTwentyFourBytesColumnByColumn) {
    TNet& n = MakeBoard(3, 3);
    Arrange({"1 2 3", "2 3x 1", "3 1 b7"});
    n.Cells.At(2, 2).Mark = 2;
    n.Cells.At(2, 2).Back = 6;
    n.StartDropIn(); // flies on every cell: the save must drop them
    n.SaveSnapshot();
    const uint8_t* bytes = CurrentPlayerRec().LevelSnapshot;
    const size_t at = ((2 - 1) * 32 + (2 - 1)) * 24;
    EXPECT_EQ(bytes[at + 0], ckChip);
    EXPECT_EQ(bytes[at + 1] | bytes[at + 2] | bytes[at + 3], 0);
    EXPECT_EQ(bytes[at + 4], 3);
    EXPECT_EQ(bytes[at + 8] | bytes[at + 9] | bytes[at + 10] | bytes[at + 11], 0) << "no animation saved";
    EXPECT_EQ(bytes[at + 12], 2);
    EXPECT_EQ(bytes[at + 16], 6);
    EXPECT_EQ(bytes[at + 20], 1);
    const size_t bonus = ((3 - 1) * 32 + (3 - 1)) * 24;
    EXPECT_EQ(bytes[bonus], ckBonus);
    EXPECT_EQ(bytes[bonus + 4], 7);

    // Restoring: the snapshot replaces the built board, without drop-in or marks.
    CurrentPlayerRec().LevelInProgress = 1;
    CurrentPlayerRec().LevelSnapshot[bonus + 8] = 0x55; // a stale reference in a hostile file
    Board.reset();
    Board = std::make_unique<TNet>(Info);
    EXPECT_TRUE(Board->Resumed);
    EXPECT_EQ(Board->Cells.At(3, 3).Kind, ckBonus);
    EXPECT_EQ(Board->Cells.At(3, 3).Fly, 0u);
    EXPECT_EQ(Board->Cells.At(2, 2).Mark, 0);
    EXPECT_EQ(Board->Cells.At(2, 2).Lock, 1);
    Board->StartLevel();
    int flies = 0;
    for (TBasic* c = Board->First; c; c = c->Next)
        flies += dynamic_cast<TFly*>(c) != nullptr;
    EXPECT_EQ(flies, 0) << "a restored level shows no drop-in";
}

} // namespace
} // namespace velmora::boardtest
