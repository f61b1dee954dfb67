// The menu bot over the real menu windows: its messages go where the window procedure would send
// them, and the tests look at what the windows did with them (players, answers, window requests).
// Also the screen log of the "--screens" test hook.
#include <string>
#include <vector>

#include "app/d3dapp.h"
#include "engine/group.h"
#include "ui/menubot.h"
#include "ui/passage.h"
#include "ui/screens.h"
#include "ui/w_history.h"
#include "ui/w_menumain.h"
#include "ui/w_menugame.h"
#include "ui/w_menuplayer.h"
#include "menus_fixture.h"

using namespace velmora;
using velmora::testing::OpenedCodes;
using velmora::testing::TMenusTest;

namespace {

class MenuBotTest : public TMenusTest {
  protected:
    // The bot's messages reach the mouse and the focused window as the window procedure passes them.
    void Deliver(const TMenuBotMessage& m) {
        Sent.push_back({FrameCount, m});
        switch (m.Message) {
        case WM_MOUSEMOVE:
            TheMouse.SetPosition(m.X, m.Y);
            break;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
            TheMouse.SetButton(m.Message);
            break;
        case WM_KEYDOWN:
            PressedKeys.set(m.Key);
            Group->KeyDown(static_cast<uint16_t>(m.Key));
            break;
        case WM_KEYUP:
            PressedKeys.reset(m.Key);
            break;
        default:
            break;
        }
    }
    TMenuBot MakeBot(uint32_t seed = 7) {
        return TMenuBot([this](const TMenuBotMessage& m) { Deliver(m); }, seed);
    }
    // Frames with the bot until `done` holds (true) or the frames run out (false).
    template <class F> bool RunUntil(TMenuBot& bot, int frames, F done) {
        for (int i = 0; i < frames; ++i) {
            if (done()) return true;
            bot.Frame();
            Frame();
        }
        return done();
    }
    int Presses() const {
        int n = 0;
        for (const auto& s : Sent)
            n += s.Message.Message == WM_LBUTTONDOWN;
        return n;
    }

    struct TSent {
        int32_t Frame;
        TMenuBotMessage Message;
    };
    std::vector<TSent> Sent;
};

TEST_F(MenuBotTest, NewPlayerIsCreatedByClicksAndTypedKeysAndTheStoryOpens) {
    TMenuBot bot = MakeBot();
    Open(new TW_MenuMain());
    ASSERT_TRUE(RunUntil(bot, 600, [] { return !OpenedCodes.empty(); })) << "deeds: " << bot.Deeds;
    EXPECT_EQ(OpenedCodes, std::vector<int>{6}) << "a new player starts with the story";
    ASSERT_EQ(GameDat.PlayerCount, 1);
    EXPECT_EQ(GameDat.CurrentPlayer, 1);
    EXPECT_EQ(GameDat.Players[0].Name.Get(), "Bot") << "typed with Shift for the capital";
    // Start, the "New player" row, the name, OK: four deeds, each after a pause to read the screen.
    EXPECT_EQ(bot.Deeds, 4);
    ASSERT_FALSE(Sent.empty());
    EXPECT_GE(Sent.front().Frame, 40) << "the bot reads the menu before it clicks";
}

TEST_F(MenuBotTest, ContinueIsChosenOverNewGameSoProgressIsKept) {
    MakePlayers({"ADA"});
    GameDat.Players[0].Level = 5;
    GameDat.Players[0].Score = 1234;
    TMenuBot bot = MakeBot(3);
    Open(new TW_MenuMain());
    ASSERT_TRUE(RunUntil(bot, 400, [] { return !OpenedCodes.empty(); }));
    EXPECT_EQ(OpenedCodes, std::vector<int>{15}) << "the map of the level the player stands at";
    EXPECT_EQ(GameDat.Players[0].Level, 5);
    EXPECT_EQ(GameDat.Players[0].Score, 1234);
    EXPECT_EQ(GameDat.PlayerCount, 1) << "no new player when one is current";
}

TEST_F(MenuBotTest, FullPlayerListPlaysTheFirstPlayerInsteadOfAskingForAFifth) {
    MakePlayers({"ADA", "BEN", "CY", "DOT"});
    GameDat.Players[0].Level = 2;
    GameDat.CurrentPlayer = 0;
    TMenuBot bot = MakeBot(11);
    Open(new TW_MenuMain());
    ASSERT_TRUE(RunUntil(bot, 800, [] { return !OpenedCodes.empty(); })) << "deeds: " << bot.Deeds;
    EXPECT_EQ(GameDat.PlayerCount, 4);
    EXPECT_EQ(GameDat.CurrentPlayer, 1);
    EXPECT_EQ(OpenedCodes, std::vector<int>{15}) << "the first player's map";
}

TEST_F(MenuBotTest, DisabledPreferredButtonIsNeverPressedAndTheNextChoiceIs) {
    HistoryScene = 0;
    auto* story = Open(new TW_History());
    story->Buttons->SetButtonActive(1);
    story->Buttons->SetButtonState(0, bsDisabled); // "TEXT_Skip"
    EXPECT_EQ(PreferredButton(*story, {"TEXT_Skip"}), -1);
    EXPECT_EQ(PreferredButton(*story, {"TEXT_Skip", "TEXT_Next"}), 1);
    TMenuBot bot = MakeBot();
    ASSERT_TRUE(RunUntil(bot, 300, [&] { return story->Scene != 0 || !OpenedCodes.empty(); }));
    EXPECT_TRUE(OpenedCodes.empty()) << "Skip would have left the story";
    EXPECT_EQ(story->Scene, 1) << "Next goes to the following scene";
}

TEST_F(MenuBotTest, NothingIsSentWhileAPassageRunsOrAPressIsShown) {
    auto* menu = Open(new TW_MenuMain());
    menu->Add(new TPassageEffectWindow(pmFade));
    EXPECT_FALSE(MenuWindowReady(menu));
    TMenuBot bot = MakeBot();
    int passageEnd = -1;
    for (int i = 0; i < 200 && Sent.empty(); ++i) {
        if (passageEnd < 0 && !PassageEffect) passageEnd = FrameCount;
        bot.Frame();
        Frame();
    }
    ASSERT_GE(passageEnd, 0) << "the passage ends by itself";
    ASSERT_FALSE(Sent.empty());
    EXPECT_GE(Sent.front().Frame - passageEnd, 39) << "the reading pause counts from the end of the passage";

    // The click's down and up; then the press is shown and the bot waits for what it brings.
    for (int i = 0; i < 2; ++i) {
        bot.Frame();
        Frame();
    }
    ASSERT_TRUE(menu->Buttons->Busy()) << "the click pressed Start";
    EXPECT_FALSE(MenuWindowReady(menu));
    const size_t sent = Sent.size();
    while (menu->Buttons->Busy()) {
        bot.Frame();
        Frame();
    }
    EXPECT_EQ(Sent.size(), sent);
    EXPECT_NE(PlayerMenu, nullptr) << "Start without a player opened the list";
}

TEST_F(MenuBotTest, ScreenUnderAnOpenDialogIsNotReadyAndQuestionsAreAnsweredNo) {
    auto* menu = Open(new TW_MenuMain());
    EXPECT_TRUE(MenuWindowReady(menu));
    menu->Add(new TW_Dialog(&menu->Dialog, dkYesNo, "TEXT_Title_EXITPROGRAM", "TEXT_Subtitle_ExitProgram"));
    menu->Question = mqExit;
    Frame();
    EXPECT_FALSE(MenuWindowReady(menu)) << "the dialog holds the focus";
    EXPECT_EQ(FocusedMenuWindow(), menu->Dialog);
    QuitRequest = 0;
    TMenuBot bot = MakeBot();
    ASSERT_TRUE(RunUntil(bot, 300, [&] { return menu->Dialog == nullptr; }));
    EXPECT_EQ(QuitRequest, 0) << "the bot never quits the game";
    EXPECT_EQ(MainMenu, menu);
    EXPECT_EQ(Presses(), 1);
}

// The level behind the in-game menu: what the menu asked of it.
struct TFakeLevel : TGameMenuOwner {
    int Resumes = 0, Restarts = 0, LivesLost = 0, Left = 0;
    void Resume() override { ++Resumes; }
    void LoseLife() override { ++LivesLost; }
    void RestartLevel() override { ++Restarts; }
    void SaveAndExit() override { ++Left; }
    int Answers() const { return Resumes + Restarts + LivesLost + Left; }
};

TEST_F(MenuBotTest, ImpatientBotRestartsAndLeavesALevelAtMostOnceEachAndSaysYesToItsOwnQuestion) {
    MakePlayers({"Ann"});
    GameDat.CurrentPlayer = 1;
    CurrentPlayerRec().Level = 5;
    CurrentPlayerRec().Lives = 3;
    TFakeLevel level;
    TMenuBot bot = MakeBot(11);
    bot.Impatient = true;
    for (int visit = 0; visit < 40; ++visit) {
        auto* menu = Open(new TW_MenuGame(&level));
        const int before = level.Answers();
        ASSERT_TRUE(RunUntil(bot, 200, [&] { return level.Answers() > before; })) << "visit " << visit;
        Frame(2);
        EXPECT_FALSE(Group->Contains(menu));
    }
    EXPECT_EQ(level.Restarts, 1) << "a restart now and then, once per level";
    EXPECT_EQ(level.Left, 1) << "Save & Exit now and then, once per level";
    EXPECT_EQ(level.LivesLost, 0);

    CurrentPlayerRec().Level = 6;
    CurrentPlayerRec().Lives = 1; // a restart would be the game's end: never
    const int restarts = level.Restarts;
    for (int visit = 0; visit < 40; ++visit) {
        Open(new TW_MenuGame(&level));
        const int before = level.Answers();
        ASSERT_TRUE(RunUntil(bot, 200, [&] { return level.Answers() > before; }));
        Frame(2);
    }
    EXPECT_EQ(level.Restarts, restarts);
    EXPECT_EQ(level.LivesLost, 0);
    EXPECT_EQ(level.Left, 2) << "the new level may be left once too";
}

// ---- the screen log ----------------------------------------------------------------------------

class TFakeWindow : public TBasic {
  public:
    explicit TFakeWindow(const char* name) : Name(name) {}
    const char* ClassName() const override { return Name; }
    const char* Name;
};

// Frames until the log names a picture; -1 when none within `limit`.
int FramesUntilPicture(TScreenLog& log, const TBasic* window, std::string& name, int limit = 100) {
    for (int i = 1; i <= limit; ++i) {
        name = log.Look(window);
        if (!name.empty()) return i;
    }
    return -1;
}

TEST(ScreenLog, EachNewWindowGetsANumberedPictureAFixedTimeAfterItTakesTheFocus) {
    TScreenLog log;
    TFakeWindow menu("TW_MenuMain"), names("TW_MenuName");
    std::string name;
    EXPECT_EQ(FramesUntilPicture(log, &menu, name), cScreenPictureDelay);
    EXPECT_EQ(name, "01_TW_MenuMain.png");
    EXPECT_EQ(FramesUntilPicture(log, &menu, name, 200), -1) << "one picture per screen";
    EXPECT_EQ(FramesUntilPicture(log, &names, name), cScreenPictureDelay);
    EXPECT_EQ(name, "02_TW_MenuName.png");
    // Back to the menu when the box closes: the player sees it again.
    EXPECT_EQ(FramesUntilPicture(log, &menu, name), cScreenPictureDelay);
    EXPECT_EQ(name, "03_TW_MenuMain.png");
    EXPECT_EQ(log.Lost, 0);
}

TEST(ScreenLog, NoFocusKeepsTheWindowAndAYoungerWindowAtTheSameAddressIsNew) {
    TScreenLog log;
    TFakeWindow game("TW_Game");
    std::string name;
    EXPECT_EQ(log.Look(&game), "");
    // The level's intro takes the focus away; the picture is still taken on time.
    EXPECT_EQ(FramesUntilPicture(log, nullptr, name), cScreenPictureDelay - 1);
    EXPECT_EQ(name, "01_TW_Game.png");
    game.LifeTime = 500;
    EXPECT_EQ(FramesUntilPicture(log, &game, name), -1) << "the same level after its intro";
    game.LifeTime = 1; // the next attempt's window, made where the last one was
    EXPECT_EQ(FramesUntilPicture(log, &game, name), cScreenPictureDelay);
    EXPECT_EQ(name, "02_TW_Game.png");
}

TEST(ScreenLog, WindowGoneBeforeItsPictureIsCountedLost) {
    TScreenLog log;
    TFakeWindow a("TW_Dialog"), b("TW_MenuMain");
    for (int i = 0; i < cScreenPictureDelay / 2; ++i)
        EXPECT_EQ(log.Look(&a), "");
    std::string name;
    EXPECT_EQ(FramesUntilPicture(log, &b, name), cScreenPictureDelay);
    EXPECT_EQ(name, "02_TW_MenuMain.png");
    EXPECT_EQ(log.Lost, 1);
    EXPECT_EQ(log.Count, 2);
}

} // namespace
