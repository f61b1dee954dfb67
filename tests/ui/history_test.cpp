// History window: where each scene leads, the timing of the fade and the lines, completing a scene
// by click or key, Skip; and a new player's introduction in the real game binary.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include <sys/wait.h>
#include <unistd.h>

#include "app/language.h"
#include "menus_fixture.h"
#include "render/blocks.h"
#include "render/texlabels.h"
#include "render/visual.h"
#include "ui/w_history.h"

namespace velmora::testing {
namespace {

TEST(HistoryTables, SceneOrderLeadsThroughTheIntroductionAndTheEnding) {
    EXPECT_EQ(HistoryNext(0).GoOn, hgScene);
    EXPECT_EQ(HistoryNext(0).Scene, 1);
    EXPECT_EQ(HistoryNext(0).State, 3);
    EXPECT_EQ(HistoryNext(1).Scene, 2);
    EXPECT_EQ(HistoryNext(1).State, 2);
    for (int s = 2; s <= 9; ++s)
        EXPECT_EQ(HistoryNext(s).GoOn, hgPlay) << s;
    EXPECT_EQ(HistoryNext(10).Scene, 11);
    EXPECT_EQ(HistoryNext(11).Scene, 12);
    EXPECT_EQ(HistoryNext(12).Scene, 13);
    for (int s = 10; s <= 12; ++s)
        EXPECT_EQ(HistoryNext(s).State, 3) << s;
    EXPECT_EQ(HistoryNext(13).GoOn, hgMainMenu);
    for (int s = 0; s <= 9; ++s)
        EXPECT_EQ(HistorySkip(s), hgPlay) << s;
    for (int s = 10; s <= 13; ++s)
        EXPECT_EQ(HistorySkip(s), hgMainMenu) << s;
}

TEST(HistoryTables, LargeScenesAreOneAndElevenToThirteen) {
    for (int s = 0; s < cHistoryScenes; ++s) {
        const bool large = s == 1 || s >= 11;
        EXPECT_EQ(HistoryScenes[s].Large, large) << s;
        EXPECT_EQ(HistorySceneState(s), large ? 3 : 2) << s;
        EXPECT_EQ(HistoryScenes[s].Picture2 == nullptr, large) << s;
    }
    EXPECT_STREQ(HistoryScenes[3].Picture1, "Art_Greece.tga");
    EXPECT_STREQ(HistoryScenes[9].Text2, "TEXT_History_sc_Velmora1_2");
}

// A large scene runs 300 units: t = 1 - u / 300.
float LargeT(float units) {
    return 1 - units / 300;
}

TEST(HistoryTables, LargeSceneFadesThePictureOverSixtyUnitsThenALineEveryTwentyFour) {
    EXPECT_NEAR(HistoryPictureAlpha(LargeT(0)), 0, 1e-5);
    EXPECT_NEAR(HistoryPictureAlpha(LargeT(30)), 0.5f, 1e-4);
    EXPECT_NEAR(HistoryPictureAlpha(LargeT(60)), 1, 1e-4);
    EXPECT_NEAR(HistoryLineAlpha(LargeT(60), 1), 0, 1e-4);
    EXPECT_NEAR(HistoryLineAlpha(LargeT(72), 1), 0.5f, 1e-3);
    EXPECT_NEAR(HistoryLineAlpha(LargeT(84), 1), 1, 1e-3);
    EXPECT_NEAR(HistoryLineAlpha(LargeT(84), 2), 0, 1e-3);
    EXPECT_NEAR(HistoryLineAlpha(LargeT(60 + 24 * 4 + 12), 5), 0.5f, 1e-3);
    EXPECT_NEAR(HistoryLineAlpha(LargeT(300), 10), 1, 1e-3);
    EXPECT_EQ(HistoryLineAlpha(LargeT(300), 11), 0);
    EXPECT_EQ(HistoryLineAlpha(0, 12), 0);
}

class HistoryTest : public TMenusTest {
  protected:
    void SetUp() override {
        TMenusTest::SetUp();
        MakePlayers({"Ann"});
        GameDat.Players[0].Level = 1;
    }
    TW_History* OpenScene(int scene) {
        HistoryScene = static_cast<uint8_t>(scene);
        return Open(new TW_History());
    }
    void ClickWindow() { Click(400, 300); }
    static float AlphaOf(uint32_t color) { return static_cast<float>(color >> 24) / 255.0f; }
    // Replaces a text resource for the test.
    static void SetText(const std::string& key, const std::string& text) {
        for (const auto& ref : Lang->Keys)
            if (ref.Key == key) Lang->Texts[ref.Index] = text;
    }
};

TEST_F(HistoryTest, NewPlayerSeesScenesZeroOneTwoThenTheCampaignGoesOn) {
    TW_History* w = OpenScene(0);
    Frame();
    EXPECT_EQ(w->State, 2);
    ASSERT_NE(w->Panels[1].Picture, nullptr);
    ClickWindow(); // completes the scene at once
    EXPECT_EQ(w->State, 1);
    for (TTexLabelEx* line : w->Panels[0].Lines)
        EXPECT_EQ(AlphaOf(line->Color), 1.0f);
    EXPECT_EQ(w->Panels[0].Picture->Block1, sbTexture);
    ClickWindow(); // goes on
    EXPECT_EQ(w->Scene, 1);
    EXPECT_EQ(w->State, 3);
    EXPECT_EQ(w->Panels[1].Picture, nullptr);
    EXPECT_TRUE(Key(' ')); // a key completes too
    Frame();
    EXPECT_EQ(w->State, 1);
    Key(' ');
    EXPECT_EQ(w->Scene, 2);
    EXPECT_EQ(w->State, 2);
    ClickWindow();
    ClickWindow();
    Frame(3);
    EXPECT_EQ(OpenedCodes, std::vector<int>{15}); // the campaign map of the player's first level
}

TEST_F(HistoryTest, EndingRunsThroughElevenTwelveThirteenToTheMainMenu) {
    TW_History* w = OpenScene(10);
    Frame();
    EXPECT_EQ(w->State, 2);
    for (int expected : {11, 12, 13}) {
        ClickWindow();
        ClickWindow();
        EXPECT_EQ(w->Scene, expected);
        EXPECT_EQ(w->State, 3);
    }
    PressButton(w->Buttons, 1); // "Next" from the last scene
    Frame(2);
    EXPECT_EQ(OpenedCodes, std::vector<int>{11});
}

TEST_F(HistoryTest, SkipLeadsToTheLevelBeforeTheEndingAndToTheMenuAfterIt) {
    TW_History* w = OpenScene(3);
    Frame();
    PressButton(w->Buttons, 0);
    Frame(2);
    EXPECT_EQ(OpenedCodes, std::vector<int>{15});
    OpenedCodes.clear();
    TW_History* end = OpenScene(12);
    Frame();
    PressButton(end->Buttons, 0);
    Frame(2);
    EXPECT_EQ(OpenedCodes, std::vector<int>{11});
}

TEST_F(HistoryTest, LargeSceneShowsTenLinesAtMostAtTheirTimes) {
    ASSERT_NE(Lang, nullptr);
    std::string text;
    for (int i = 1; i <= 12; ++i)
        text += "Line " + std::to_string(i) + (i < 12 ? "\n" : "");
    SetText("TEXT_History_scPreHistory2", text);
    HistoryScene = 1;
    TW_History* w = Open(new TW_History());
    Frame(); // the window steps from its first frame in the group
    ASSERT_EQ(w->State, 3);
    ASSERT_EQ(w->Panels[0].Lines.size(), 12u);
    const float start = w->StateTime;
    auto elapsed = [&] { return (start - w->StateTime) * 300; };
    while (elapsed() < 30)
        Frame();
    EXPECT_NEAR(AlphaOf(w->Panels[0].Picture->Color), HistoryPictureAlpha(w->StateTime), 0.01f);
    EXPECT_NEAR(AlphaOf(w->Panels[0].Picture->Color), 0.5f, 0.05f);
    EXPECT_EQ(AlphaOf(w->Panels[0].Lines[0]->Color), 0);
    while (elapsed() < 84)
        Frame();
    EXPECT_NEAR(AlphaOf(w->Panels[0].Lines[0]->Color), 1, 0.05f);
    EXPECT_LT(AlphaOf(w->Panels[0].Lines[1]->Color), 0.1f);
    while (w->State == 3)
        Frame();
    EXPECT_EQ(AlphaOf(w->Panels[0].Lines[9]->Color), 1);
    EXPECT_EQ(AlphaOf(w->Panels[0].Lines[10]->Color), 0);
    EXPECT_EQ(AlphaOf(w->Panels[0].Lines[11]->Color), 0);
    // Line positions: 18 pixels apart from y = 50.
    EXPECT_NEAR(w->Panels[0].Lines[1]->Y - w->Panels[0].Lines[0]->Y, -18 * PixelSize, 1e-5);
}

TEST_F(HistoryTest, SecondTextEndsAboveTheBottomLine) {
    TW_History* w = OpenScene(3);
    Frame();
    const auto& lines = w->Panels[1].Lines;
    ASSERT_FALSE(lines.empty());
    EXPECT_NEAR(lines.back()->Y, TableY(483 - 18) - HalfPixel, 1e-5);
    EXPECT_EQ(lines.back()->HAlign, 1);
    EXPECT_EQ(w->Panels[0].Lines.front()->HAlign, 2);
    EXPECT_NEAR(w->Panels[0].Lines.front()->Y, TableY(90) - HalfPixel, 1e-5);
}

// ---- the real game ----

namespace fs = std::filesystem;

class HistoryRun : public ::testing::Test {
  protected:
    void SetUp() override {
        Dir = fs::temp_directory_path() / ("velmora_story_e2e_" + std::to_string(::getpid()));
        fs::remove_all(Dir);
        fs::copy(VELMORA_DATA_DIR, Dir, fs::copy_options::recursive);
        std::ofstream(Dir / "Options.txt") << "Windowed 1\nWidth 800\nHeight 600\n";
        // A new player whose campaign StartPlaying has just begun: level 1, nothing played.
        SavePlayer(1);
    }
    void SavePlayer(int32_t level) {
        const TDataPaths saved = Paths;
        Paths.GameDat = (Dir / "PlayerData" / "Game.dat").string();
        Paths.PlayerData = (Dir / "PlayerData").string();
        fs::create_directories(Dir / "PlayerData");
        GameDat = TGameDat{};
        GameDat.PlayerCount = 1;
        GameDat.CurrentPlayer = 1;
        ClearPlayer(1);
        GameDat.Players[0].Name.Set("Story");
        GameDat.Players[0].Level = level;
        GameDat.ShowHelp = 0;
        EXPECT_TRUE(SaveGameDat());
        Paths = saved;
    }
    void TearDown() override {
        // Screenshots stay with the build as the run's record.
        const fs::path keep = fs::path(VELMORA_BINARY).parent_path() / "story_screenshots";
        fs::create_directories(keep);
        for (const auto& e : fs::directory_iterator(Dir))
            if (e.path().extension() == ".png")
                fs::copy_file(e.path(), keep / e.path().filename(), fs::copy_options::overwrite_existing);
        fs::remove_all(Dir);
    }
    int Run(const std::string& args) {
        const std::string cmd = "cd '" + Dir.string() +
                                "' && SDL_AUDIODRIVER=dummy VELMORA_MSGBOX_ANSWER=1 timeout 120 '" +
                                std::string(VELMORA_BINARY) + "' " + args + " > run.out 2>&1";
        const int status = std::system(cmd.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    std::string LogText() const {
        std::ifstream in(Dir / "Error.log", std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    static double MeanDifference(const fs::path& a, const fs::path& b) {
        std::ifstream fa(a, std::ios::binary), fb(b, std::ios::binary);
        std::string da((std::istreambuf_iterator<char>(fa)), {}),
            db((std::istreambuf_iterator<char>(fb)), {});
        if (da.empty() || db.empty()) return 0;
        const size_t n = std::min(da.size(), db.size());
        size_t differing = 0;
        for (size_t i = 0; i < n; ++i)
            if (da[i] != db[i]) ++differing;
        return static_cast<double>(differing) / static_cast<double>(n);
    }
    fs::path Dir;
};

TEST_F(HistoryRun, NewPlayerSeesTheIntroductionThenTheMap) {
    // A first ordinary start lets the resource creator make the derived pictures (the scenes'
    // backgrounds come from JPEG sources).
    ASSERT_EQ(Run("--fixed-step --seed 3 --windowed --frames 400"), 0) << LogText();
    ASSERT_TRUE(fs::exists(Dir / "Textures" / "History" / "Large_Sun.tga"));
    fs::remove(Dir / "Error.log");
    // Each scene: a click completes it, the next click goes on. Scene 2 leads to the map.
    std::ofstream(Dir / "script.txt") << "40 down left 400 300\n41 up left 400 300\n"
                                         "60 down left 400 300\n61 up left 400 300\n"
                                         "100 down left 400 300\n101 up left 400 300\n"
                                         "120 down left 400 300\n121 up left 400 300\n"
                                         "160 down left 400 300\n161 up left 400 300\n"
                                         "180 down left 400 300\n181 up left 400 300\n";
    ASSERT_EQ(Run("--fixed-step --seed 3 --windowed --start-window 6 --script script.txt --frames 260 "
                  "--screenshot 30:story_scene0.png --screenshot 50:story_scene0_complete.png "
                  "--screenshot 110:story_scene1_complete.png --screenshot 170:story_scene2_complete.png "
                  "--screenshot 250:story_after_scene2.png"),
              0)
        << LogText();
    for (const char* shot : {"story_scene0.png", "story_scene0_complete.png", "story_scene1_complete.png",
                             "story_scene2_complete.png", "story_after_scene2.png"})
        ASSERT_TRUE(fs::exists(Dir / shot)) << shot;
    const std::string log = LogText();
    EXPECT_EQ(log.find("no window registered"), std::string::npos) << log;
    EXPECT_EQ(log.find("unknown window code"), std::string::npos) << log;
    EXPECT_EQ(log.find("TW_History.Create: Invalid scene"), std::string::npos);
    EXPECT_NE(log.find("TW_History.GoOn: scene 2 done, the campaign goes on"), std::string::npos) << log;
    // The scenes differ from each other and the window after them is another picture again.
    EXPECT_GT(MeanDifference(Dir / "story_scene0_complete.png", Dir / "story_scene1_complete.png"), 0.2);
    EXPECT_GT(MeanDifference(Dir / "story_scene1_complete.png", Dir / "story_scene2_complete.png"), 0.2);
    EXPECT_GT(MeanDifference(Dir / "story_scene2_complete.png", Dir / "story_after_scene2.png"), 0.2);
    EXPECT_GT(MeanDifference(Dir / "story_scene0.png", Dir / "story_after_scene2.png"), 0.2);
}

TEST_F(HistoryRun, LastLevelOfCountryOneRevealsItsArtefactThenSceneThreeThenTheNextMap) {
    ASSERT_EQ(Run("--fixed-step --seed 3 --windowed --frames 400"), 0) << LogText();
    fs::remove(Dir / "Error.log");
    SavePlayer(9); // level 8, the last of Greece, has just been won
    // The reveal takes 360 frames; then Next (bottom right), a click completing scene 3 and one
    // going on.
    std::ofstream(Dir / "script.txt") << "380 down left 669 561\n381 up left 669 561\n"
                                         "430 down left 400 300\n431 up left 400 300\n"
                                         "450 down left 400 300\n451 up left 400 300\n";
    ASSERT_EQ(Run("--fixed-step --seed 3 --windowed --start-window 7 --script script.txt --frames 560 "
                  "--screenshot 100:story_reveal_flicker.png --screenshot 300:story_reveal_magic.png "
                  "--screenshot 375:story_revealed.png --screenshot 440:story_scene3_complete.png "
                  "--screenshot 550:story_map_country2.png"),
              0)
        << LogText();
    for (const char* shot : {"story_reveal_flicker.png", "story_reveal_magic.png", "story_revealed.png",
                             "story_scene3_complete.png", "story_map_country2.png"})
        ASSERT_TRUE(fs::exists(Dir / shot)) << shot;
    const std::string log = LogText();
    EXPECT_NE(log.find("TW_History.GoOn: scene 3 done, the campaign goes on"), std::string::npos) << log;
    EXPECT_EQ(log.find("no window registered"), std::string::npos) << log;
    EXPECT_GT(MeanDifference(Dir / "story_reveal_flicker.png", Dir / "story_revealed.png"), 0.01);
    EXPECT_GT(MeanDifference(Dir / "story_scene3_complete.png", Dir / "story_map_country2.png"), 0.2);
}

} // namespace
} // namespace velmora::testing
