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

// ---- stored bonuses ----

// A board whose slice rests on a double-chained chip at the foot of its column, with holes on both
// sides: no line can ever take the chip away, only the hammer (or the sap) can.
class BotBonusTest : public BoardTest {
  protected:
    void SetUp() override {
        BoardTest::SetUp();
        MakeBoard(5, 5, "1 2 3 4", 4);
        Arrange({"1 1 2 1 3", "3 4 1 2 3", "1 2 4 3 4", "2 - s1 - 1", "3 - 3X - 2"});
        Window = std::make_unique<TMaster>();
        Panel = Window->Add(new TBonusPanel());
        Mouse = &MouseObj;
    }
    void TearDown() override {
        Window.reset();
        BoardTest::TearDown();
    }
    // Plays the actions frame by frame as the level window does: the panel sees the pointer first.
    void Play(const std::vector<std::vector<TBotAction>>& frames) {
        for (const auto& frame : frames) {
            ++FrameCount;
            for (const TBotAction& a : frame)
                a.Message == WM_MOUSEMOVE ? MouseObj.SetPosition(a.X, a.Y) : MouseObj.SetButton(a.Message);
            Panel->MouseProc();
            Board->Step();
            Window->Step();
            UpdateInput();
        }
    }
    static bool PressesInsidePanel(const std::vector<std::vector<TBotAction>>& frames,
                                   const TBonusPanel& panel) {
        for (const auto& frame : frames)
            for (const TBotAction& a : frame)
                for (int32_t i = 1; i <= 4; ++i) {
                    const auto& s = panel.Slots[i];
                    if (a.Message == WM_LBUTTONDOWN && a.X >= s.X && a.X < s.X + s.W && a.Y >= s.Y &&
                        a.Y < s.Y + s.H)
                        return true;
                }
        return false;
    }
    std::unique_ptr<TMaster> Window;
    TBonusPanel* Panel = nullptr;
};

TEST_F(BotBonusTest, HammerAndSapSimulationsFreeThePinnedSlice) {
    TCellGrid g = Board->Cells;
    const TSwapOutcome blow = SimulateHammer(g, 5, 5, 3, 5);
    EXPECT_EQ(blow.SlicesDropped, 1) << "the slice falls to the foot and leaves";
    EXPECT_EQ(blow.LocksBroken, 1);
    TCellGrid g2 = Board->Cells;
    EXPECT_EQ(SimulateSap(g2, 5, 5).SlicesDropped, 1);
    for (const TBotMove& m : LegalMoves(*Board)) {
        TCellGrid copy = Board->Cells;
        EXPECT_FALSE(BringsSliceDown(SimulateSwap(copy, 5, 5, m.X1, m.Y1, m.X2, m.Y2)))
            << m.X1 << ',' << m.Y1 << " - " << m.X2 << ',' << m.Y2;
    }
}

TEST_F(BotBonusTest, StuckSliceAndAStoredHammerTheBotStrikesAndTheSliceComesDown) {
    CurrentPlayerRec().BonusCount[0] = 1;
    Panel->Refresh();
    TBotSituation s = ReadBotSituation(cBotPatience);
    TBotBonus bonus;
    ASSERT_TRUE(ChooseBotBonus(*Board, cBotMaxSkill, s, bonus));
    EXPECT_EQ(bonus.Code, bbHammer);
    EXPECT_EQ(bonus.X, 3);
    EXPECT_EQ(bonus.Y, 5);
    Play(BonusActions(*Board, bonus));
    EXPECT_EQ(Panel->Count(1), 0);
    EXPECT_EQ(Hammer, nullptr) << "the hammer was used on the board";
    Settle();
    EXPECT_EQ(BoardCounters().SlicesDropped, 1);
    for (int32_t x = 1; x <= 5; ++x)
        for (int32_t y = 1; y <= 5; ++y)
            EXPECT_NE(Board->Cells.At(x, y).Kind, ckSlice);
}

TEST_F(BotBonusTest, TheBotWaitsBeforeReachingForABonusAndNeverClicksOneItDoesNotHave) {
    TBotSituation s = ReadBotSituation(cBotPatience - 1);
    s.Stored[bbHammer - 1] = 1;
    TBotBonus bonus;
    EXPECT_FALSE(ChooseBotBonus(*Board, cBotMaxSkill, s, bonus)) << "not stuck long enough yet";
    s.StillMoves = cBotPatience;
    EXPECT_FALSE(ChooseBotBonus(*Board, 1, s, bonus)) << "low skills play moves only";
    // Stuck for long, but the panel is empty: the turns are moves, never a press on a slot.
    ASSERT_EQ(Panel->Count(1) + Panel->Count(2) + Panel->Count(3) + Panel->Count(4), 0);
    TBotTurns turns(cBotMaxSkill);
    for (int i = 0; i < 3 * cBotPatience; ++i) {
        const auto frames = turns.Next(*Board, false);
        ASSERT_FALSE(frames.empty());
        EXPECT_FALSE(PressesInsidePanel(frames, *Panel)) << "turn " << i;
    }
    EXPECT_EQ(turns.BonusTurns, 0);
    EXPECT_GE(turns.StillMoves, cBotPatience);
}

TEST_F(BotBonusTest, SapWhenItBringsMoreDownClockWhenTimeRunsShort) {
    // Two slices resting on chips that no line can take: the sap frees both, the hammer one.
    Arrange({"1 2 3 1 2", "3 4 1 2 3", "s2 2 4 3 s3", "2 - 1 - 1", "3 - 3 - 2"});
    TBotSituation s;
    s.StillMoves = cBotPatience;
    s.Stored[bbHammer - 1] = 1;
    s.Stored[bbSap - 1] = 1;
    TBotBonus bonus;
    ASSERT_TRUE(ChooseBotBonus(*Board, cBotMaxSkill, s, bonus));
    EXPECT_EQ(bonus.Code, bbSap);
    s.Stored[bbClock - 1] = 1;
    s.TimeTotal = 6000;
    s.TimeLeft = 6000 * (cBotClockShare - 0.05f);
    ASSERT_TRUE(ChooseBotBonus(*Board, cBotMaxSkill, s, bonus));
    EXPECT_EQ(bonus.Code, bbClock);
    s.TimeLeft = 6000 * (cBotClockShare + 0.05f);
    ASSERT_TRUE(ChooseBotBonus(*Board, cBotMaxSkill, s, bonus));
    EXPECT_NE(bonus.Code, bbClock) << "time enough: the clock is kept";
}

TEST_F(BotBonusTest, AnArmedHammerIsUsedBeforeAnyMove) {
    CurrentPlayerRec().BonusCount[0] = 1;
    Panel->Change(1, -1);
    ASSERT_NE(Hammer, nullptr);
    TBotTurns turns(0); // even the lowest skill: a click on the board would be a blow anyway
    Play(turns.Next(*Board, false));
    EXPECT_EQ(Hammer, nullptr);
    EXPECT_EQ(Panel->Count(1), 0);
    EXPECT_EQ(Board->AState, asFall) << "the blow brings the column down";
}

} // namespace velmora::boardtest

namespace velmora {
namespace {

// The pinned level played headless: the hammer lying at the foot of the first column drops out
// with the first line, and only a player who uses it can bring the slice down.
TEST(BotHeadlessBonus, OnlyTheSkillThatUsesBonusesWinsAPinnedLevel) {
    char pattern[] = "/tmp/velmora_botbonus_XXXXXX";
    const std::string dir = mkdtemp(pattern);
    std::filesystem::create_directories(dir + "/Levels/Greece");
    std::ofstream(dir + "/Levels/Countries.txt") << "CountryCount 1\nCountryNames Greece\nLevelCount 1\n";
    std::ofstream(dir + "/Levels/Greece/01.map")
        << "Time 120\nColorCount 4\nColors 1 2 3 4\nField 5x5\n"
           "c000c000c000c000c000\nc000c000c000c000c000\nc000c000c000c000c000\n"
           "c000----a001----c000\nb001----X003----c000\n";
    InitDataPaths(dir);
    SetLogFile(dir + "/Error.log");
    Countries = TCountryTable{};
    ASSERT_TRUE(ReadCountries());
    const TLevelRun top = PlayLevelHeadless(1, 5, cBotMaxSkill);
    ASSERT_TRUE(top.Built);
    EXPECT_TRUE(top.Won) << top.SlicesDropped << " slices in " << top.SecondsUsed << " s";
    EXPECT_EQ(top.BonusesUsed[bbHammer - 1], 1);
    EXPECT_EQ(TotalBonusesUsed(top), 1);
    EXPECT_EQ(BonusPanel, nullptr) << "the borrowed panel is gone";
    EXPECT_EQ(Timer, nullptr);
    const TLevelRun low = PlayLevelHeadless(1, 5, 1);
    EXPECT_FALSE(low.Won);
    EXPECT_EQ(TotalBonusesUsed(low), 0);
    EXPECT_GE(low.SecondsUsed, 120.0f);
    std::filesystem::remove_all(dir);
}

} // namespace
} // namespace velmora

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
