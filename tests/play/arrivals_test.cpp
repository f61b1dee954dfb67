// Items arriving from the board tell the interactive help: the first bonus stored in the panel and
// the first multiplier explain themselves once, and on level 2 the landing of the second-to-last slice
// arms the explanation of the last one.
#include "board/gamevis.h"
#include "play/interactive.h"
#include "play_fixture.h"

namespace velmora::playtest {
namespace {

class ArrivalHelpTest : public PlayTest {
  protected:
    void SetUp() override {
        PlayTest::SetUp();
        Rec().BonusCount[1] = 0;
    }

    // Steps until a bubble opens (or the budget runs out); its key, or "" when none opened.
    std::string NextBubble(int budget) {
        for (int i = 0; i < budget; ++i) {
            Frame();
            if (HelpBubble) return HelpBubble->Key;
        }
        return "";
    }
    // Closes the open bubble and waits until it has faded out.
    void CloseBubble() {
        ASSERT_NE(HelpBubble, nullptr);
        HelpBubble->Close();
        for (int i = 0; i < 60 && Help; ++i)
            Frame();
        ASSERT_EQ(Help, nullptr);
    }
};

TEST_F(ArrivalHelpTest, TheFirstStoredBonusOfACodeOpensItsBubbleOnceAboveItsSlot) {
    Rec().HelpShown[htVisBonusBase + 2] = 0;
    Open();
    StartPlaying();
    Net->Add(new TFallenVisBonus(1, 2, ckBonus, 5));
    EXPECT_EQ(NextBubble(100), "") << "nothing before the sap lands (two seconds)";
    EXPECT_EQ(NextBubble(40), "TEXT_IntHelp_VisBonus2");
    EXPECT_EQ(BonusPanel->Count(2), 1);
    EXPECT_EQ(Rec().HelpShown[htVisBonusBase + 2], 1);
    EXPECT_EQ(HelpBubble->ArrowX, WorldToPixelX(BonusPanel->Slots[2].CentreX));
    EXPECT_EQ(HelpBubble->ArrowY, WorldToPixelY(BonusPanel->Slots[2].CentreY) - 30);
    CloseBubble();

    Net->Add(new TFallenVisBonus(2, 2, ckBonus, 5));
    EXPECT_EQ(NextBubble(200), "") << "the second sap lands without a word";
    EXPECT_EQ(BonusPanel->Count(2), 2);
}

TEST_F(ArrivalHelpTest, TheFirstMultiplierExplainsItsFactorOnceBelowItsSlot) {
    Rec().HelpShown[htBonusXX] = 0;
    Open();
    StartPlaying();
    Net->Add(new TFallenBonusXX(3, 7, ckBonus, 5));
    EXPECT_EQ(NextBubble(200), "Text_IntHelp_BonusX3");
    EXPECT_EQ(BonusXX->Multiplier(), 3);
    EXPECT_EQ(HelpBubble->ArrowDir, adBelow);
    CloseBubble();

    Net->Add(new TFallenBonusXX(3, 6, ckBonus, 5));
    EXPECT_EQ(NextBubble(250), "") << "one flag for both factors";
    EXPECT_EQ(BonusXX->Multiplier(), 6);
}

TEST_F(ArrivalHelpTest, OnLevelTwoTheSecondToLastSliceLandingArmsTheLastSliceBubble) {
    // Two slices at the top of a 5 x 5 board.
    std::string level = "Time 100\nColorCount 5\nColors 1 2 3 4 5\nField 5x5\n";
    level += "c000a001c000a002c000\n";
    for (int y = 1; y < 5; ++y)
        level += "c000c000c000c000c000\n";
    WriteFile("Levels/Greece/02.map", level);
    Rec().HelpShown[htLastSliceArmed] = 0;
    Rec().HelpShown[htLastSlice] = 0;
    Open();
    StartPlaying();
    ASSERT_EQ(ArtMaster->SlicesLeft, 2);
    Net->Add(new TFallenArt(2, 1, ckSlice, 5));
    for (int i = 0; i < 190; ++i)
        Frame();
    EXPECT_EQ(ArtMaster->SlicesLeft, 1);
    EXPECT_EQ(Rec().HelpShown[htLastSliceArmed], 1) << "the landing arms the last-slice message";
    EXPECT_EQ(NextBubble(120), "Text_IntHelp_NeedToDrop2Slice");
    EXPECT_EQ(Rec().HelpShown[htLastSlice], 1);
}

TEST_F(ArrivalHelpTest, ALandingOnAnotherLevelArmsNothing) {
    Rec().HelpShown[htLastSliceArmed] = 0;
    Rec().HelpShown[htLastSlice] = 0;
    Rec().Level = 3;
    WriteFile("Levels/Countries.txt", "CountryCount 1\nCountryNames Greece\nLevelCount 3\n");
    std::string level = "Time 100\nColorCount 5\nColors 1 2 3 4 5\nField 5x5\n";
    level += "c000a001c000a002c000\n";
    for (int y = 1; y < 5; ++y)
        level += "c000c000c000c000c000\n";
    WriteFile("Levels/Greece/03.map", level);
    Open();
    StartPlaying();
    Net->Add(new TFallenArt(2, 1, ckSlice, 5));
    EXPECT_EQ(NextBubble(300), "");
    EXPECT_EQ(Rec().HelpShown[htLastSliceArmed], 0);
}

} // namespace
} // namespace velmora::playtest
