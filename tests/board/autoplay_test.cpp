// The player bot on real boards: what a swap does to the known cells, which move each skill picks,
// and the pointer actions that make the board itself carry the move out.
#include "board/autoplay.h"

#include "board_fixture.h"

namespace velmora::boardtest {

using BotTest = BoardTest;

TEST_F(BotTest, SimulatedSwapRemovesTheLineAndBringsTheSliceDown) {
    MakeBoard(4, 4);
    Arrange({"1 2 3 4", "5 s1 4 3", "2 1 1 5", "1 3 4 2"});
    // Swapping (1,4) up with (1,3) makes 1 1 1 in row 3 right under the slice.
    TCellGrid g = Board->Cells;
    const TSwapOutcome o = SimulateSwap(g, 4, 4, 1, 3, 1, 4);
    EXPECT_EQ(o.ChipsRemoved, 3);
    EXPECT_GE(o.Cascades, 1);
    EXPECT_EQ(o.SliceDescent, 1);
    EXPECT_EQ(g.At(2, 3).Kind, ckSlice);
    EXPECT_EQ(g.At(2, 2).Kind, ckChip);  // the chip above fell behind it
    EXPECT_EQ(g.At(2, 1).Kind, ckEmpty); // unknown chip from above
}

TEST_F(BotTest, ChainedChipLosesAChainAndStays) {
    MakeBoard(4, 3);
    Arrange({"1 2 3 4", "2x 2 5 2", "3 4 2 5"});
    TCellGrid g = Board->Cells;
    // (3,3) up to (3,2) gives 2x 2 2 2: the chained chip keeps its place with one chain less.
    const TSwapOutcome o = SimulateSwap(g, 4, 3, 3, 2, 3, 3);
    EXPECT_EQ(o.LocksBroken, 1);
    EXPECT_EQ(g.At(1, 2).Kind, ckChip);
    EXPECT_EQ(g.At(1, 2).Lock, 0);
}

TEST_F(BotTest, LegalMovesAreExactlyTheSwapsTheBoardAccepts) {
    MakeBoard(5, 5);
    const std::vector<TBotMove> moves = LegalMoves(*Board);
    EXPECT_EQ(static_cast<int32_t>(moves.size()), Board->CountMoves(true));
}

TEST_F(BotTest, TopSkillPrefersTheMoveThatDropsASlice) {
    MakeBoard(4, 4);
    // Two moves: (3,1)<->(4,1) makes 3 3 3 in row 1 far from the slice; (3,3)<->(3,4) completes
    // 1 1 1 in row 4 right under the slice on (2,3), which then leaves the board.
    Arrange({"3 3 4 3", "2 5 2 5", "4 s1 1 5", "1 1 4 2"});
    ASSERT_GE(LegalMoves(*Board).size(), 2u);
    TBotMove m;
    ASSERT_TRUE(ChooseBotMove(*Board, 3, m));
    EXPECT_EQ(std::min(m.X1, m.X2), 3);
    EXPECT_EQ(std::min(m.Y1, m.Y2), 3);
    // That move carries the slice out of the board.
    TCellGrid g = Board->Cells;
    EXPECT_EQ(SimulateSwap(g, 4, 4, 3, 3, 3, 4).SlicesDropped, 1);
}

TEST_F(BotTest, ClicksThroughTheBoardsMouseMakeTheSwap) {
    MakeBoard(4, 4);
    Arrange({"3 3 4 3", "2 5 2 5", "4 1 5 1", "1 2 2 4"});
    TBotMove m;
    ASSERT_TRUE(ChooseBotMove(*Board, 1, m));
    Mouse = &MouseObj;
    for (const auto& frame : MoveActions(*Board, m, false)) {
        for (const TBotAction& a : frame)
            a.Message == WM_MOUSEMOVE ? MouseObj.SetPosition(a.X, a.Y) : MouseObj.SetButton(a.Message);
        Board->Step();
        UpdateInput();
    }
    EXPECT_EQ(Board->AState, asSwap);
    EXPECT_EQ(std::min(Board->MoveX1, Board->MoveX2), std::min(m.X1, m.X2));
}

TEST_F(BotTest, HeadlessRunOfALevelBringsItsSliceDown) {
    WriteFile("Levels/Greece/01.map", "Time 120\nColorCount 4\nColors 1 2 3 4\nField 5x5\n"
                                      "c000c000a001c000c000\nc000c000c000c000c000\nc000c000c000c000c000\n"
                                      "c000c000c000c000c000\nc000c000c000c000c000\n");
    const TLevelRun r = PlayLevelHeadless(1, 77, cBotMaxSkill);
    ASSERT_TRUE(r.Built);
    EXPECT_EQ(r.Slices, 1);
    EXPECT_TRUE(r.Won);
    EXPECT_EQ(r.SlicesDropped, 1);
    EXPECT_GT(r.Moves, 0);
    EXPECT_LE(r.SecondsUsed, 120.0f);
    EXPECT_EQ(Mouse, nullptr); // the borrowed pointer is given back
}

} // namespace velmora::boardtest

namespace velmora {
namespace {

// The content pack's opening levels must be won by the top skill whatever the seed.
TEST(BotCampaign, OpeningLevelsOfTheContentPackAreWon) {
    const std::string data = VELMORA_DATA_DIR;
    if (!std::filesystem::exists(data + "/Levels/Countries.txt"))
        GTEST_SKIP() << "no data folder at " << data << " (build content_data)";
    char pattern[] = "/tmp/velmora_botlog_XXXXXX";
    const std::string logDir = mkdtemp(pattern);
    InitDataPaths(data);
    SetLogFile(logDir + "/Error.log");
    Countries = TCountryTable{};
    ASSERT_TRUE(ReadCountries());
    for (int32_t level = 1; level <= 3; ++level)
        for (uint32_t seed : {1u, 2u}) {
            const TLevelRun r = PlayLevelHeadless(level, seed, cBotMaxSkill);
            ASSERT_TRUE(r.Built) << "level " << level;
            EXPECT_TRUE(r.Won) << "level " << level << " seed " << seed << ": " << r.SlicesDropped << "/"
                               << r.Slices << " slices in " << r.SecondsUsed << " s";
            EXPECT_LE(r.SecondsUsed, static_cast<float>(r.SecondsAllowed));
        }
    std::filesystem::remove_all(logDir);
}

} // namespace
} // namespace velmora
