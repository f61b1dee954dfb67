// Main menu: the Start button's two roads (player list in start mode, or the continue / new game
// questions), Exit and Escape, the welcome label, and a scripted run of the real game binary from
// the main menu through a new player to the campaign map and the first level.
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include <sys/wait.h>
#include <unistd.h>

#include "app/d3dapp.h"
#include "platform/files.h"
#include "render/texlabels.h"
#include "ui/menuback.h"
#include "ui/w_menumain.h"
#include "ui/w_menuname.h"
#include "ui/w_menuoptions.h"
#include "ui/w_menuplayer.h"
#include "menus_fixture.h"

using namespace velmora;
using velmora::testing::OpenedCodes;
using velmora::testing::TMenusTest;

namespace {

class MainMenuTest : public TMenusTest {
  protected:
    TW_MenuMain* OpenMenu() { return Open(new TW_MenuMain()); }
    void Press(TW_MenuMain* menu, int index) { PressButton(menu->Buttons, index); }
};

TEST_F(MainMenuTest, OpeningBuildsSceneAndResetsTheHelpVisit) {
    HelpShownThisVisit = true;
    TW_MenuMain* menu = OpenMenu();
    EXPECT_EQ(MainMenu, menu);
    EXPECT_FALSE(HelpShownThisVisit);
    ASSERT_NE(MenuBack, nullptr);
    EXPECT_EQ(menu->First, MenuBack) << "the scene is drawn under everything else";
    EXPECT_EQ(menu->Buttons->Count, 5);
    EXPECT_EQ(NameLabel, nullptr) << "no player, no welcome";
}

TEST_F(MainMenuTest, StartWithoutPlayerOpensListInStartModeAndFirstPlayerStartsTheGame) {
    TW_MenuMain* menu = OpenMenu();
    Press(menu, 0);
    ASSERT_NE(PlayerMenu, nullptr);
    EXPECT_TRUE(PlayerMenu->StartMode);
    EXPECT_EQ(PlayerMenu->Selected, 0);

    PressButton(PlayerMenu->Buttons, 0); // OK on "New player"
    ASSERT_NE(PlayerMenu->NameWindow, nullptr);
    Type("ANNA");
    EXPECT_EQ(PlayerMenu->NameWindow->Name(), "ANNA");
    Key(VK_RETURN);
    for (int i = 0; i < 40 && MainMenu; ++i)
        Frame();
    Frame(); // the requested window opens at the next step
    EXPECT_EQ(MainMenu, nullptr) << "the menu closes for the game";
    EXPECT_EQ(GameDat.PlayerCount, 1);
    EXPECT_EQ(GameDat.CurrentPlayer, 1);
    EXPECT_EQ(GameDat.Players[0].Name.Get(), "ANNA");
    EXPECT_EQ(GameDat.Players[0].Level, 1) << "a new player begins at the first level";
    ASSERT_FALSE(OpenedCodes.empty());
    EXPECT_EQ(OpenedCodes.back(), 6) << "with the story";
    EXPECT_TRUE(FileExists((Dir / "Game.dat").string())) << "a new player is kept at once";
}

TEST_F(MainMenuTest, ContinueStartsPlayingWhereThePlayerStands) {
    MakePlayers({"BORIS"});
    GameDat.Players[0].Level = 3;
    TW_MenuMain* menu = OpenMenu();
    Press(menu, 0);
    ASSERT_NE(menu->Dialog, nullptr);
    EXPECT_EQ(menu->Dialog->Kind, dkContinueNewGame);
    Answer(menu->Dialog, 0);
    Frame();
    EXPECT_EQ(MainMenu, nullptr);
    ASSERT_EQ(OpenedCodes.size(), 1u);
    EXPECT_EQ(OpenedCodes[0], 15) << "between levels the map opens";
}

TEST_F(MainMenuTest, NewGameAsksAgainAndResetsProgressKeepingNameAndHelp) {
    MakePlayers({"CLARA"});
    TPlayerRec& p = GameDat.Players[0];
    p.Level = 12;
    p.Score = 5000;
    p.HelpShown[4] = 1;
    TW_MenuMain* menu = OpenMenu();
    Press(menu, 0);
    Answer(menu->Dialog, 1);
    ASSERT_NE(menu->Dialog, nullptr) << "the delete-progress question follows";
    EXPECT_EQ(menu->Dialog->Kind, dkYesNo);
    EXPECT_EQ(menu->Question, mqDeleteProgress);
    Answer(menu->Dialog, 0);
    Frame();
    EXPECT_EQ(p.Name.Get(), "CLARA");
    EXPECT_EQ(p.HelpShown[4], 1);
    EXPECT_EQ(p.Score, 0);
    EXPECT_EQ(p.Level, 1);
    ASSERT_EQ(OpenedCodes.size(), 1u);
    EXPECT_EQ(OpenedCodes[0], 6);
}

TEST_F(MainMenuTest, NoToDeletingProgressLeavesEverything) {
    MakePlayers({"DORA"});
    GameDat.Players[0].Level = 12;
    TW_MenuMain* menu = OpenMenu();
    Press(menu, 0);
    Answer(menu->Dialog, 1);
    Answer(menu->Dialog, 1);
    Frame(3);
    EXPECT_EQ(MainMenu, menu);
    EXPECT_EQ(GameDat.Players[0].Level, 12);
    EXPECT_TRUE(OpenedCodes.empty());
}

TEST_F(MainMenuTest, EscapeAsksToExitAndYesQuits) {
    QuitRequest = qrNone;
    TW_MenuMain* menu = OpenMenu();
    Key(VK_ESCAPE);
    for (int i = 0; i < 40 && !menu->Dialog; ++i)
        Frame();
    ASSERT_NE(menu->Dialog, nullptr);
    Answer(menu->Dialog, 1);
    EXPECT_EQ(QuitRequest, qrNone);
    Key(VK_ESCAPE);
    for (int i = 0; i < 40 && !menu->Dialog; ++i)
        Frame();
    Answer(menu->Dialog, 0);
    EXPECT_EQ(QuitRequest, qrQuit);
    QuitRequest = qrNone;
    CloseConfirmed = false;
}

TEST_F(MainMenuTest, HiScoresAboutAndOptionsButtons) {
    TW_MenuMain* menu = OpenMenu();
    Press(menu, 1);
    bool optionsOpen = false;
    for (TBasic* c = menu->First; c; c = c->Next)
        optionsOpen |= dynamic_cast<TW_MenuOptions*>(c) != nullptr;
    EXPECT_TRUE(optionsOpen);

    Group->Remove(menu, false);
    menu = OpenMenu();
    Press(menu, 2);
    EXPECT_EQ(HiScoresParam, 0);
    EXPECT_EQ(OpenedCodes, std::vector<int>{5});

    menu = OpenMenu();
    Press(menu, 3);
    EXPECT_EQ(HelpScreenParam, 0);
    EXPECT_EQ(OpenedCodes, (std::vector<int>{5, 3}));
}

TEST_F(MainMenuTest, WelcomeLabelNamesThePlayerAndItsClickOpensTheList) {
    MakePlayers({"EMIL", "FRIDA"});
    GameDat.CurrentPlayer = 2;
    TW_MenuMain* menu = OpenMenu();
    ASSERT_NE(NameLabel, nullptr);
    EXPECT_EQ(NameLabel->NameLine->Text, "FRIDA");
    const TTexLabelEx* name = NameLabel->NameLine;
    Click(name->BoxLeft + name->BoxWidth / 2, name->BoxTop + name->BoxHeight / 2);
    ASSERT_NE(PlayerMenu, nullptr);
    EXPECT_FALSE(PlayerMenu->StartMode);
    EXPECT_EQ(PlayerMenu->PlayerAtOpen, 2);

    GameDat.CurrentPlayer = 0;
    menu->RefreshNameLabel();
    EXPECT_EQ(NameLabel, nullptr);
    GameDat.CurrentPlayer = 1;
    menu->RefreshNameLabel();
    ASSERT_NE(NameLabel, nullptr);
    EXPECT_EQ(NameLabel->NameLine->Text, "EMIL");
}

// ---- The real game, scripted -------------------------------------------------------------------

namespace fs = std::filesystem;

class ScriptedRun : public ::testing::Test {
  protected:
    void SetUp() override {
        Dir = fs::temp_directory_path() / ("velmora_menus_" + std::to_string(::getpid()));
        fs::remove_all(Dir);
        fs::copy(VELMORA_DATA_DIR, Dir, fs::copy_options::recursive);
        fs::remove(Dir / "Textures" / "!!!.tga");
        fs::remove(Dir / "PlayerData" / "Game.dat");
        Shots = fs::path(VELMORA_DATA_DIR).parent_path() / "menus_screens";
        fs::create_directories(Shots);
    }
    void TearDown() override { fs::remove_all(Dir); }
    int Run(const std::string& args) {
        const std::string cmd = "cd '" + Dir.string() +
                                "' && SDL_AUDIODRIVER=dummy VELMORA_MSGBOX_ANSWER=1 timeout 300 '" +
                                std::string(VELMORA_BINARY) + "' --windowed " + args + " > run.out 2>&1";
        const int status = std::system(cmd.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    std::string LogText() const {
        std::ifstream in(Dir / "Error.log");
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    void Keep(const char* name) {
        if (fs::exists(Dir / name))
            fs::copy_file(Dir / name, Shots / name, fs::copy_options::overwrite_existing);
    }
    fs::path Dir, Shots;
};

// Pixels of the layout: the main menu's panel is centred, its buttons 246 x 50 from 92 below its
// top, 58 apart; the player list's rows start 75 below its panel's top.
TEST_F(ScriptedRun, NewPlayerByTypingReachesTheMapAndStartsLevelOne) {
    {
        // Start, "New player" (row 0 clicked twice), typed name, Enter: the game starts.
        std::ofstream s(Dir / "create.txt");
        s << "60 down left 400 217\n61 up left 400 217\n"   // Start
          << "120 down left 300 208\n121 up left 300 208\n" // row 0 selected already: acts as OK
          << "178 keydown 16\n180 key 78\n182 key 69\n184 key 77\n186 key 79\n188 keyup 16\n" // N E M O
          << "240 key 13\n";
    }
    ASSERT_EQ(Run("--start-window 11 --fixed-step --seed 5 --frames 320 --script create.txt "
                  "--screenshot 50:menu.png --screenshot 100:players.png --screenshot 200:name.png"),
              0);
    for (const char* shot : {"menu.png", "players.png", "name.png"}) {
        EXPECT_TRUE(fs::exists(Dir / shot)) << shot;
        Keep(shot);
    }
    TGameDat dat{};
    {
        std::ifstream in(Dir / "PlayerData" / "Game.dat", std::ios::binary);
        std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), {});
        ASSERT_EQ(bytes.size(), static_cast<size_t>(cGameDatSize));
        GameDatFromBytes(bytes.data(), dat);
    }
    EXPECT_EQ(dat.PlayerCount, 1);
    EXPECT_EQ(dat.CurrentPlayer, 1);
    EXPECT_EQ(dat.Players[0].Name.Get(), "NEMO");
    EXPECT_EQ(dat.Players[0].Level, 1);

    // Second visit: Start, Continue; the map of Greece; its Start opens the level (help off).
    {
        std::ofstream s(Dir / "play.txt");
        s << "60 down left 400 217\n61 up left 400 217\n" // Start
          << "100 key 13\n"                               // Continue (the question's first button)
          << "300 key 13\n";                              // the map's Start
    }
    dat.ShowHelp = 0;
    dat.Players[0].PlayerShowHelp = 0;
    {
        std::vector<uint8_t> bytes(cGameDatSize);
        GameDatToBytes(dat, bytes.data());
        std::ofstream out(Dir / "PlayerData" / "Game.dat", std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    ASSERT_EQ(Run("--start-window 11 --fixed-step --seed 5 --frames 420 --script play.txt "
                  "--screenshot 90:continue.png --screenshot 280:map.png --screenshot 410:level.png"),
              0);
    for (const char* shot : {"continue.png", "map.png", "level.png"}) {
        EXPECT_TRUE(fs::exists(Dir / shot)) << shot;
        Keep(shot);
    }
    const std::string log = LogText();
    EXPECT_EQ(log.find("no window registered for code 15"), std::string::npos) << log;
    EXPECT_EQ(log.find("TW_MenuMap.Create: level"), std::string::npos) << "the map shows level 1";
    // The level window is the play folder's: until it is registered the switch to it is logged.
    const bool levelOpened = log.find("no window registered for code 4") == std::string::npos;
    if (!levelOpened) GTEST_LOG_(INFO) << "the level window is not built yet: its request was logged";
    EXPECT_EQ(log.find("no window registered for code 3"), std::string::npos)
        << "help is off: no help window";
}

} // namespace
