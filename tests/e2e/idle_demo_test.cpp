// The idle demo in the real game: sixty seconds on the main menu start a level played by the bot,
// a scripted click brings the menu back, and the player data file keeps every byte, also when the
// program closes in the middle of a demo.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <unistd.h>

#include "app/gamedat.h"
#include "e2e_support.h"

namespace fs = std::filesystem;
using namespace velmora;
using namespace velmora::e2e;

namespace {

constexpr int cMainMenu = 11;
constexpr int cIdleFrames = 3600; // sixty seconds of fixed steps
constexpr int cDemoShot = 4150;   // intro and drop-in are over: the bot plays
constexpr int cClick = 4300;      // the player's click
constexpr int cMenuShot = 4400;   // the menu's passage effect has faded
constexpr int cFrames = cMenuShot + 10;

// A 32-bit top-left TGA as the game writes it.
struct TShot {
    int Width = 0, Height = 0;
    std::string Bytes;
    bool Load(const fs::path& p) {
        Bytes = ReadBytes(p);
        if (Bytes.size() < 18) return false;
        Width = static_cast<uint8_t>(Bytes[12]) | static_cast<uint8_t>(Bytes[13]) << 8;
        Height = static_cast<uint8_t>(Bytes[14]) | static_cast<uint8_t>(Bytes[15]) << 8;
        return Bytes.size() == 18 + static_cast<size_t>(Width) * Height * 4;
    }
    int Channel(int x, int y, int c) const {
        return static_cast<uint8_t>(Bytes[18 + (y * Width + x) * 4 + c]);
    }
};

// Mean difference of the colour channels over the rectangle, 0..255.
double MeanDifference(const TShot& a, const TShot& b, int left, int top, int right, int bottom) {
    double sum = 0;
    int n = 0;
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x)
            for (int c = 0; c < 3; ++c, ++n)
                sum += std::abs(a.Channel(x, y, c) - b.Channel(x, y, c));
    return n ? sum / n : 0;
}

class IdleDemoRun : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!DataFolderBuilt())
            GTEST_SKIP() << "no data folder at " << VELMORA_DATA_DIR << " (build content_data)";
        Dir = fs::temp_directory_path() / ("velmora_idle_demo_" + std::to_string(::getpid()));
        fs::remove_all(Dir);
        fs::copy(VELMORA_DATA_DIR, Dir, fs::copy_options::recursive);
        fs::remove(Dir / "Error.log");
        fs::remove(Dir / "Options.txt");
    }
    void TearDown() override {
        if (!Dir.empty()) fs::remove_all(Dir);
    }

    int Run(const std::string& args) { return RunGame(Dir, "--windowed --fixed-step " + args); }

    // A player well into the campaign, with a score, stored bonuses and a changed high-score table.
    void WritePlayerData() {
        GameDat = TGameDat{};
        SetDefaults();
        GameDat.PlayerCount = 1;
        GameDat.CurrentPlayer = 1;
        ClearPlayer(1);
        TPlayerRec& p = GameDat.Players[0];
        p.Name.Set("Idler");
        p.Level = 4;
        p.Lives = 2;
        p.Score = 5120;
        p.BonusCount[2] = 1;
        p.TotalChips = 300;
        p.HelpShown[0] = 1;
        InsertHiScore("Idler", 3, 60500);
        WriteGameDat(Dir, GameDat);
    }

    std::string LogLine(const std::string& start) const {
        std::ifstream in(Dir / "Error.log");
        for (std::string line; std::getline(in, line);)
            if (line.rfind(start, 0) == 0) return line;
        return "";
    }

    void Keep(const std::string& file, const std::string& as) const {
        fs::copy_file(Dir / file, ArtefactDir() / as, fs::copy_options::overwrite_existing);
    }

    fs::path Dir;
};

TEST_F(IdleDemoRun, SixtySecondsOnTheMenuPlayADemoThatAClickEndsLeavingGameDatAsItWas) {
    // The first run of a data folder makes the derived textures (the country pictures among them).
    ASSERT_EQ(Run("--seed 1 --draw-shots-only --frames 300"), 0);
    WritePlayerData();
    const std::string before = ReadBytes(Dir / "PlayerData" / "Game.dat");
    ASSERT_EQ(before.size(), static_cast<size_t>(cGameDatSize));
    std::ofstream(Dir / "click.txt") << "# the player comes back\n"
                                     << cClick << " move 760 300\n"
                                     << cClick << " down left 760 300\n"
                                     << cClick + 1 << " up left 760 300\n";
    std::string shots;
    for (int frame : {cIdleFrames - 10, cDemoShot, cMenuShot})
        for (const char* ext : {"tga", "png"})
            shots += " --screenshot " + std::to_string(frame) + ":f" + std::to_string(frame) + "." + ext;
    ASSERT_EQ(Run("--seed 7 --draw-shots-only --start-window " + std::to_string(cMainMenu) +
                  " --script click.txt --frames " + std::to_string(cFrames) + shots),
              0);

    Keep("f" + std::to_string(cIdleFrames - 10) + ".png", "idle_demo_menu_before.png");
    Keep("f" + std::to_string(cDemoShot) + ".png", "idle_demo_playing.png");
    Keep("f" + std::to_string(cMenuShot) + ".png", "idle_demo_menu_after.png");

    // The main menu is stepped from frame 1: its 3600th idle step asks, the next frame opens the demo.
    const std::string started = LogLine("TW_Game: idle demo of level ");
    ASSERT_FALSE(started.empty()) << "no demo started";
    EXPECT_NE(started.find("from frame " + std::to_string(cIdleFrames + 1)), std::string::npos) << started;
    const int level = std::atoi(started.c_str() + std::string("TW_Game: idle demo of level ").size());
    EXPECT_GE(level, 1);
    EXPECT_LE(level, 4) << "a level the player has reached";
    EXPECT_EQ(LogLine("TW_Game: the idle demo ends"),
              "TW_Game: the idle demo ends (the player's input) at frame " + std::to_string(cClick));
    EXPECT_TRUE(LogLine("uGameDat.").empty()) << LogLine("uGameDat.");

    const std::string after = ReadBytes(Dir / "PlayerData" / "Game.dat");
    EXPECT_TRUE(after == before) << "Game.dat changed over the demo";

    // The left third of the screen: the menu's sea before and after, the level's panel in between.
    TShot menuBefore, demo, menuAfter;
    ASSERT_TRUE(menuBefore.Load(Dir / ("f" + std::to_string(cIdleFrames - 10) + ".tga")));
    ASSERT_TRUE(demo.Load(Dir / ("f" + std::to_string(cDemoShot) + ".tga")));
    ASSERT_TRUE(menuAfter.Load(Dir / ("f" + std::to_string(cMenuShot) + ".tga")));
    ASSERT_EQ(demo.Width, 800);
    ASSERT_EQ(demo.Height, 600);
    const double toDemo = MeanDifference(menuBefore, demo, 10, 0, 280, 600);
    const double back = MeanDifference(menuBefore, menuAfter, 10, 0, 280, 600);
    EXPECT_GT(toDemo, 4 * back) << "the demo's screen is not the level's (" << toDemo << " vs " << back
                                << ")";
    EXPECT_LT(back, 12.0) << "the main menu is not back";

    // The program closed in the middle of a demo saves the player data as it was before the demo.
    fs::remove(Dir / "Error.log");
    ASSERT_EQ(Run("--seed 7 --draw-shots-only --start-window " + std::to_string(cMainMenu) + " --frames " +
                  std::to_string(cDemoShot)),
              0);
    EXPECT_FALSE(LogLine("TW_Game: idle demo of level ").empty());
    EXPECT_TRUE(LogLine("TW_Game: the idle demo ends").empty()) << "the demo was still playing at the close";
    EXPECT_TRUE(LogLine("uGameDat.").empty()) << LogLine("uGameDat.");
    EXPECT_TRUE(ReadBytes(Dir / "PlayerData" / "Game.dat") == before) << "the close saved the demo's record";
}

} // namespace
