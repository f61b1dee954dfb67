// The idle demo's game window: it plays on a scratch record, so whatever happens in it (a win, a
// game over, the program closing) leaves the players, the high scores and Game.dat as they were;
// the player's key or click ends it, the bot's own clicks do not; the game after it is ordinary.
#include <cstring>
#include <filesystem>

#include "play/demo.h"
#include "play/interactive.h"
#include "play_fixture.h"
#include "render/texlabels.h"
#include "ui/w_stats.h"
#include "ui/wincontrols.h"

namespace velmora::playtest {

class DemoTest : public PlayTest {
  protected:
    void SetUp() override {
        PlayTest::SetUp();
        Rec().Score = 4321;
        Rec().BonusCount[0] = 2;
        Rec().HelpShown[3] = 0;
        Before = GameDat;
    }
    TW_Game& OpenDemo(int32_t level = 2) {
        Window = new TW_Game(level);
        return *Window;
    }
    void CloseWindow() {
        delete Window;
        Window = nullptr;
    }
    bool PlayerDataUnchanged() const { return std::memcmp(&Before, &GameDat, sizeof(TGameDat)) == 0; }
    bool FileWritten() const {
        return std::filesystem::exists(Dir + "/PlayerData/Game.dat") ||
               std::filesystem::exists(Dir + "/Game.dat");
    }
    bool LogHas(const std::string& text) const {
        std::ifstream in(Dir + "/Error.log");
        const std::string log((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        return log.find(text) != std::string::npos;
    }
    TGameDat Before{};
};

TEST_F(DemoTest, TheDemoPlaysItsLevelOnAScratchRecordWithItsCaptionAndNoHelp) {
    TW_Game& g = OpenDemo();
    EXPECT_TRUE(g.Demo);
    EXPECT_TRUE(ScratchPlayerInUse());
    EXPECT_EQ(Rec().Name.Get(), "Demo");
    EXPECT_EQ(Rec().Score, 0);
    EXPECT_EQ(Scores->Score, 0) << "the panels show the demo's record, not the player's";
    EXPECT_EQ(Hearts->Lives, 3);
    EXPECT_EQ(BonusPanel->Count(1), 0);
    EXPECT_EQ(HelpMaster, nullptr) << "no help bubbles in the demo";
    ASSERT_NE(g.DemoCaption, nullptr);
    EXPECT_EQ(g.DemoCaption->Text, "TEXT_Demo") << "shown as its key: the test has no text resources";
    EXPECT_FALSE(g.MenuButton->Visible);
    EXPECT_TRUE(LogHas("TW_Game: idle demo of level 2"));
    StartPlaying();
    EXPECT_EQ(g.State, gsPlaying);
    CloseWindow();
    EXPECT_FALSE(ScratchPlayerInUse());
    EXPECT_EQ(Rec().Name.Get(), "Tester");
    EXPECT_TRUE(PlayerDataUnchanged());
}

TEST_F(DemoTest, AWonDemoEndsWithoutStatisticsSavesOrNextLevel) {
    TW_Game& g = OpenDemo();
    StartPlaying();
    Timer->Elapsed = 30 * 60;
    g.LevelWon();
    const int n = RunTo(gsLeave, 3000);
    EXPECT_LT(n, 3000);
    EXPECT_TRUE(g.Dead) << "the demo ends with its level";
    EXPECT_EQ(StatsWindow, nullptr);
    EXPECT_TRUE(LogHas("the idle demo ends (the level is over)"));
    CloseWindow();
    EXPECT_TRUE(PlayerDataUnchanged()) << "the player's level, score or totals moved";
    EXPECT_FALSE(FileWritten());
}

TEST_F(DemoTest, ADemoGameOverLeavesTheHighScoresAndThePendingEntryAlone) {
    PendingHiScore = {"Earlier", 5, 500};
    TW_Game& g = OpenDemo();
    StartPlaying();
    Hearts->SetLives(0);
    g.LoseLife();
    EXPECT_EQ(g.Result, grGameOver);
    RunTo(gsLeave, 3000);
    EXPECT_TRUE(g.Dead);
    EXPECT_EQ(PendingHiScore.Name, "Earlier");
    EXPECT_EQ(StatsWindow, nullptr);
    CloseWindow();
    EXPECT_TRUE(PlayerDataUnchanged());
    EXPECT_FALSE(FileWritten());
}

TEST_F(DemoTest, ThePlayersPressEndsTheDemoTheBotsClicksAndKeysForTheFrameDoNot) {
    TW_Game& g = OpenDemo();
    StartPlaying();
    {
        TOwnInputScope own;
        NotePlayerInput(WM_MOUSEMOVE);
        NotePlayerInput(WM_LBUTTONDOWN);
    }
    Frames(3);
    EXPECT_FALSE(g.Dead) << "the bot's own clicks";
    EXPECT_FALSE(g.KeyDown(VK_ESCAPE)) << "keys go on to the frame (Ctrl+X still quits)";
    EXPECT_EQ(g.State, gsPlaying) << "Escape does not open the level's menu";
    EXPECT_FALSE(GameCloseHandler()) << "the exit dialog asks at once over the demo";
    NotePlayerInput(WM_MOUSEMOVE);
    Frame();
    EXPECT_FALSE(g.Dead) << "a move alone is no click";
    NotePlayerInput(WM_KEYDOWN);
    const float timeLeft = Timer->TimeLeft;
    Frame(mePressed);
    EXPECT_TRUE(g.Dead);
    EXPECT_TRUE(g.Left);
    EXPECT_FLOAT_EQ(Timer->TimeLeft, timeLeft) << "the level does not see the press that ends it";
    EXPECT_TRUE(LogHas("the idle demo ends (the player's input)"));
    CloseWindow();
    EXPECT_TRUE(PlayerDataUnchanged());
}

TEST_F(DemoTest, ClosingTheProgramInTheMiddleOfADemoKeepsNoLevelInProgress) {
    TW_Game& g = OpenDemo();
    StartPlaying();
    Frame(mePressed);
    Frames(30);
    EXPECT_FALSE(g.Dead);
    CloseWindow(); // as the scene group frees it when the program ends
    EXPECT_TRUE(PlayerDataUnchanged()) << "the demo's board was saved into the player's record";
}

TEST_F(DemoTest, TheGameAfterADemoIsOrdinary) {
    TW_Game& demo = OpenDemo();
    StartPlaying();
    demo.LevelWon();
    RunTo(gsLeave, 3000);
    CloseWindow();

    TW_Game& g = Open();
    EXPECT_FALSE(g.Demo);
    EXPECT_FALSE(ScratchPlayerInUse());
    EXPECT_EQ(Scores->Score, 4321);
    EXPECT_NE(HelpMaster, nullptr);
    EXPECT_TRUE(g.MenuButton->Visible);
    StartPlaying();
    g.LevelWon();
    ASSERT_LT(RunTo(gsLeave, 3000), 3000);
    ASSERT_NE(StatsWindow, nullptr);
    EXPECT_EQ(Rec().Level, 3) << "the player's own win is booked";
    StatsWindow->OnButtonUp(StatsWindow->Buttons, 1);
    EXPECT_TRUE(FileWritten());
}

TEST_F(DemoTest, TheDemoLevelIsOneThePlayerHasReached) {
    // Three levels in the table (the fixture's country).
    for (uint32_t seed = 1; seed <= 20; ++seed) {
        RandomSeed(seed);
        Rec().Level = 2;
        const int32_t a = ChooseDemoLevel();
        EXPECT_GE(a, 1);
        EXPECT_LE(a, 2);
        Rec().Level = 77; // campaign finished: any level of the table
        const int32_t b = ChooseDemoLevel();
        EXPECT_GE(b, 1);
        EXPECT_LE(b, 3);
    }
    Rec().Level = 0;
    EXPECT_EQ(ChooseDemoLevel(), 1) << "a new player has seen only the first";
    GameDat.CurrentPlayer = 0;
    EXPECT_EQ(ChooseDemoLevel(), 1);
    const TPlayerRec demo = DemoRecord(3);
    EXPECT_EQ(demo.Level, 3);
    EXPECT_EQ(demo.Lives, 3);
    EXPECT_EQ(demo.LevelInProgress, 0);
    for (uint8_t shown : demo.HelpShown)
        EXPECT_EQ(shown, 1);
}

} // namespace velmora::playtest
