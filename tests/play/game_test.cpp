// The level flow of the game window: intro, play, outcome, time bonus, record update.
#include "board/boardcursor.h"
#include "play_fixture.h"
#include "render/visual.h"
#include "render/texlabels.h"
#include "ui/w_menugame.h"
#include "ui/w_stats.h"
#include "ui/wincontrols.h"

namespace velmora::playtest {

using GameTest = PlayTest;

TEST_F(GameTest, GradeHalvesGoToTheEvenGrade) {
    EXPECT_EQ(TW_Game::GradeKey(5, 50, 100), "TEXT_MainLabel_Congratulations_Norm") << "2.5 goes to 2";
    EXPECT_EQ(TW_Game::GradeKey(5, 90, 100), "TEXT_MainLabel_Congratulations_Best") << "4.5 goes to 4";
    EXPECT_EQ(TW_Game::GradeKey(5, 100, 100), "TEXT_MainLabel_Congratulations_Best");
    EXPECT_EQ(TW_Game::GradeKey(5, 70, 100), "TEXT_MainLabel_Congratulations_Best") << "3.5 goes to 4";
    EXPECT_EQ(TW_Game::GradeKey(5, 68, 100), "TEXT_MainLabel_Congratulations_Good");
    EXPECT_EQ(TW_Game::GradeKey(5, 28, 100), "TEXT_MainLabel_Congratulations_Ok");
    EXPECT_EQ(TW_Game::GradeKey(5, 5, 100), "TEXT_MainLabel_Congratulations_Bad");
    EXPECT_EQ(TW_Game::GradeKey(5, 30, 100), "TEXT_MainLabel_Congratulations_Norm") << "1.5 goes to 2";
    EXPECT_EQ(TW_Game::GradeKey(23, 100, 100), "TEXT_MainLabel_AngryChip");
}

TEST_F(GameTest, IntroShowsTitleAndFreezesTheBoard) {
    TW_Game& g = Open();
    EXPECT_EQ(g.State, gsIntro);
    EXPECT_EQ(Net->AState, asFrozen);
    EXPECT_TRUE(g.MainLabel->Visible);
    EXPECT_NE(g.MainLabel->Text.find("1-2"), std::string::npos) << g.MainLabel->Text;
    EXPECT_EQ(Game, &g);
}

TEST_F(GameTest, OneClickSkipsIntroAndDropIn) {
    TW_Game& g = Open();
    Frame(mePressed);
    EXPECT_TRUE(g.Skipped);
    EXPECT_LT(RunTo(gsPlaying, 5), 5) << "the drop-in is skipped as well";
    EXPECT_EQ(Net->AState, asIdle);
    EXPECT_EQ(FocusObject, &g);
    EXPECT_EQ(LabelPanel->Key, "TEXT_LabelPanel_Go");
}

TEST_F(GameTest, WithoutAClickTheIntroAndDropInRunTheirTime) {
    TW_Game& g = Open();
    const int steps = RunTo(gsPlaying, 2000);
    EXPECT_GE(steps, 300 + 5 * 20 + 30 - 3);
    EXPECT_EQ(g.State, gsPlaying);
    EXPECT_FALSE(Timer->Started) << "the clock waits for the first click";
    Frames(60);
    EXPECT_FLOAT_EQ(Timer->TimeLeft, 6000);
}

TEST_F(GameTest, TimeBonusWithX2AndX3IsMultipliedBySix) {
    TW_Game& g = Open();
    StartPlaying();
    BonusXX->Activate(1, 6, 60);
    BonusXX->Activate(2, 7, 60);
    Timer->Elapsed = 40 * 60; // 60 s left of 100
    const int32_t before = Scores->Score;
    g.LevelWon();
    ASSERT_LT(RunTo(gsTimeBonus, 200), 200);
    const int32_t bonus = Scores->TimeBonus();
    EXPECT_EQ(bonus, 60 * 10 * 6);
    ASSERT_LT(RunTo(gsFadeOut, 2000), 2000);
    EXPECT_EQ(Scores->Score - before, bonus);
    EXPECT_EQ((Scores->Score - before) % 6, 0);
    EXPECT_EQ(Scores->Shown, Scores->Score);
}

TEST_F(GameTest, AClickEndsTheTimeBonusCountWithTheFullBonusPaid) {
    TW_Game& g = Open();
    StartPlaying();
    Timer->Elapsed = 30 * 60;
    const int32_t before = Scores->Score;
    g.LevelWon();
    ASSERT_LT(RunTo(gsTimeBonus, 200), 200);
    Frames(3);
    Frame(mePressed);
    Frame();
    EXPECT_EQ(g.State, gsFadeOut) << "the count ended at once";
    EXPECT_EQ(Scores->Score - before, 700);
}

TEST_F(GameTest, WinningWritesStatsAndTheNextLevel) {
    TW_Game& g = Open();
    StartPlaying();
    Timer->Elapsed = 75 * 60;
    g.LevelWon();
    ASSERT_LT(RunTo(gsLeave, 3000), 3000);
    ASSERT_NE(StatsWindow, nullptr) << "the statistics window opens";
    EXPECT_EQ(Rec().Level, 3);
    EXPECT_EQ(Rec().LevelInProgress, 0);
    EXPECT_EQ(LevelStats[6], 75);
    EXPECT_EQ(LevelStats[7], 250);
    EXPECT_EQ(LevelStats[9], Rec().Score);
    EXPECT_EQ(Rec().TotalSeconds, 75);
    StatsWindow->OnButtonUp(StatsWindow->Buttons, 1);
    EXPECT_TRUE(g.Dead);
    EXPECT_TRUE(std::filesystem::exists(Dir + "/PlayerData/Game.dat") ||
                std::filesystem::exists(Dir + "/Game.dat"));
}

TEST_F(GameTest, RestartCostsALife) {
    Rec().BonusCount[0] = 2;
    TW_Game& g = Open();
    StartPlaying();
    Rec().BonusCount[0] = 0; // spent in the attempt
    g.Pause();
    ASSERT_EQ(g.State, gsPaused);
    ASSERT_NE(GameMenu, nullptr);
    GameMenu->AnswerRestart();
    EXPECT_EQ(g.Result, grRestart);
    ASSERT_LT(RunTo(gsLeave, 3000), 3000);
    Frame();
    EXPECT_TRUE(g.Dead);
    EXPECT_EQ(Rec().Lives, 2);
    EXPECT_EQ(Rec().Level, 2);
    EXPECT_EQ(Rec().BonusCount[0], 2) << "bonuses spent in the attempt are undone";
}

TEST_F(GameTest, RestartWithoutALifeIsAGameOverBackToTheFirstLevel) {
    Rec().Lives = 0;
    Rec().Score = 1234;
    Rec().BonusCount[2] = 4;
    Rec().TotalChips = 77;
    TW_Game& g = Open();
    StartPlaying();
    g.Pause();
    GameMenu->AnswerRestart();
    EXPECT_EQ(g.Result, grGameOver);
    ASSERT_LT(RunTo(gsLeave, 3000), 3000);
    EXPECT_NE(StatsWindow, nullptr);
    EXPECT_EQ(Rec().Level, 1) << "the first level of the country";
    EXPECT_EQ(Rec().Lives, 3);
    EXPECT_EQ(Rec().Score, 0);
    for (int32_t c : Rec().BonusCount)
        EXPECT_EQ(c, 0);
    EXPECT_EQ(TotalStats[0], 77) << "totals before the level";
    EXPECT_EQ(TotalStats[7], 1234);
    EXPECT_EQ(PendingHiScore.Name, "Tester");
    EXPECT_EQ(PendingHiScore.Score, 1234);
}

TEST_F(GameTest, TimeRunningOutLosesALife) {
    TW_Game& g = Open();
    StartPlaying();
    Frame(mePressed); // the clock starts
    Timer->TimeLeft = 2;
    Frames(5);
    EXPECT_EQ(g.Result, grLifeLost);
    ASSERT_LT(RunTo(gsLeave, 3000), 3000);
    Frame();
    EXPECT_EQ(Rec().Lives, 2);
}

TEST_F(GameTest, PauseHidesTheBoardAndResumeShowsItBack) {
    TW_Game& g = Open();
    StartPlaying();
    g.Pause();
    EXPECT_TRUE(g.Overlay->Visible);
    EXPECT_FALSE(VisNet->Visible);
    EXPECT_EQ(LabelPanel->Key, "TEXT_LabelPanel_Paused");
    const float left = Timer->TimeLeft;
    Frames(30);
    EXPECT_FLOAT_EQ(Timer->TimeLeft, left) << "the clock stands while paused";
    GameMenu->OnButtonUp(GameMenu->Buttons, 0);
    EXPECT_EQ(g.State, gsPlaying);
    EXPECT_FALSE(g.Overlay->Visible);
    EXPECT_TRUE(VisNet->Visible);
    EXPECT_FALSE(LabelPanel->Visible);
}

TEST_F(GameTest, EscapeAndTheCloseOpenTheMenu) {
    TW_Game& g = Open();
    StartPlaying();
    EXPECT_TRUE(GameCloseHandler());
    Frames(20); // the button's press is shown first
    EXPECT_EQ(g.State, gsPaused);
    EXPECT_FALSE(GameCloseHandler()) << "paused: the exit dialog asks";
}

TEST_F(GameTest, KeysPickOnTheBoardEscapeDropsThePickThenOpensTheMenuAndPauseResumes) {
    TW_Game& g = Open();
    EXPECT_FALSE(g.KeyDown(VK_DOWN)) << "the frozen board of the intro takes no arrows";
    EXPECT_TRUE(g.KeyDown(VK_RETURN)) << "Enter skips the intro as a click does";
    Frame();
    EXPECT_TRUE(g.Skipped);
    ASSERT_LT(RunTo(gsPlaying, 5), 5) << "the drop-in is skipped as well";
    ASSERT_NE(BoardCursor, nullptr);
    EXPECT_TRUE(g.KeyDown(VK_DOWN));
    EXPECT_TRUE(BoardCursor->Shown);
    Frame();
    EXPECT_TRUE(BoardCursor->Edge[0]->Visible);
    EXPECT_TRUE(g.KeyDown(VK_RETURN));
    EXPECT_TRUE(Net->Selected);
    EXPECT_TRUE(g.KeyDown(VK_ESCAPE));
    EXPECT_FALSE(Net->Selected);
    Frames(20);
    EXPECT_EQ(g.State, gsPlaying) << "Escape only dropped the pick";
    EXPECT_TRUE(g.KeyDown(VK_ESCAPE));
    Frames(20);
    EXPECT_EQ(g.State, gsPaused);
    EXPECT_FALSE(BoardCursor->Edge[0]->Visible) << "the frame goes with the board";
    ASSERT_NE(GameMenu, nullptr);
    EXPECT_TRUE(GameMenu->KeyDown(VK_PAUSE)) << "the pad's Start closes the menu it opened";
    Frames(20);
    EXPECT_EQ(g.State, gsPlaying);
    EXPECT_TRUE(g.KeyDown(VK_PAUSE));
    Frames(20);
    EXPECT_EQ(g.State, gsPaused);
}

TEST_F(GameTest, LevelSavedMidCascadeIsResumedWithEverythingInFlightBooked) {
    Rec().BonusCount[1] = 1;
    {
        TW_Game& g = Open();
        StartPlaying();
        BonusXX->Activate(1, 6, 30);
        Net->Add(new TFallenVisBonus(1, 2, ckBonus, 5));
        Net->Add(new TFallenArt(3, 1, ckSlice, 5));
        Net->Add(new TFallenBonusXX(2, 7, ckBonus, 5));
        Frames(3); // the flights are under way
        Scores->AddScore(40);
        Net->SetAState(asFall);
        g.SaveProgress();
        EXPECT_EQ(Rec().LevelInProgress, 1);
        delete Window;
        Window = nullptr;
    }
    EXPECT_EQ(Rec().BonusCount[1], 2) << "the flying sap is booked";
    EXPECT_EQ(Rec().SliceDone[0], 1) << "the flying slice is booked";
    EXPECT_EQ(Rec().XX[0].XXFactor, 2);
    EXPECT_EQ(Rec().XX[1].XXFactor, 3);
    EXPECT_FLOAT_EQ(Rec().XX[1].XXTime, 3600);
    EXPECT_EQ(Rec().Score, 80) << "40 points at x2";

    TW_Game& g = Open();
    EXPECT_EQ(g.State, gsResume);
    EXPECT_EQ(Scores->Score, 80);
    EXPECT_EQ(BonusXX->Multiplier(), 6);
    EXPECT_EQ(BonusPanel->Count(2), 2);
    Frame();
    EXPECT_EQ(g.State, gsPlaying);
    EXPECT_EQ(Net->AState, asIdle);
}

// Hammers alive as children of the window (armed, or flying back to the slot).
int LiveHammers(const TW_Game& g) {
    int n = 0;
    for (TBasic* c = g.First; c; c = c->Next)
        n += dynamic_cast<THammer*>(c) && !c->Dead;
    return n;
}

TEST_F(GameTest, HammerTakenOutButNotUsedGoesBackToItsSlotWhenTheLevelIsWon) {
    Rec().BonusCount[0] = 2;
    TW_Game& g = Open();
    StartPlaying();
    BonusPanel->Change(1, -1);
    ASSERT_NE(Hammer, nullptr);
    ASSERT_EQ(BonusPanel->Count(1), 1);
    g.LevelWon(); // the last slice landed while the player held the hammer
    EXPECT_EQ(Hammer, nullptr) << "no hammer over the outcome";
    EXPECT_EQ(BonusPanel->Count(1), 2);
    ASSERT_LT(RunTo(gsLeave, 3000), 3000);
    EXPECT_EQ(LiveHammers(g), 0);
    EXPECT_EQ(Rec().Level, 3);
    EXPECT_EQ(Rec().BonusCount[0], 2) << "the won level keeps the unused hammer";
}

TEST_F(GameTest, LevelLeftWithAHammerArmedOrFlyingBackIsResumedWithBothInTheSlot) {
    Rec().BonusCount[0] = 2;
    {
        TW_Game& g = Open();
        StartPlaying();
        BonusPanel->Change(1, -1);
        THammer* flying = Hammer;
        MouseObj.RightEvent = mePressed; // sent back with the right button: it flies to the slot
        Frame();
        MouseObj.RightEvent = meNone;
        ASSERT_EQ(flying->Phase, 1);
        BonusPanel->Change(1, -1);
        ASSERT_NE(Hammer, nullptr) << "the second one is armed";
        ASSERT_EQ(BonusPanel->Count(1), 0);
        g.SaveAndExit();
        EXPECT_EQ(Rec().BonusCount[0], 2);
        EXPECT_EQ(LiveHammers(g), 0);
        g.SaveProgress(); // the window's end saves again: nothing is counted twice
        EXPECT_EQ(Rec().BonusCount[0], 2);
        delete Window;
        Window = nullptr;
    }
    EXPECT_EQ(Rec().LevelInProgress, 1);
    Open();
    EXPECT_EQ(BonusPanel->Count(1), 2);
}

TEST_F(GameTest, StatsTimeFormat) {
    EXPECT_EQ(StatsTimeText(75), "01:15");
    EXPECT_EQ(StatsTimeText(3725), "01:02:05");
    EXPECT_EQ(StatsTimeText(0), "00:00");
}

} // namespace velmora::playtest
