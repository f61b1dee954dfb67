// The real binary with the player bot on a level whose one slice no move can free: it stands on a
// double-chained chip between walls. The stored hammer or sap in Game.dat is the only way out; the
// bot must reach for it through the bonus panel as a player would, and win. Pictures of each run
// stay in the build folder under e2e-artefacts/<test name>/.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "app/gamedat.h"
#include "e2e_support.h"

namespace fs = std::filesystem;
using namespace velmora;
using namespace velmora::e2e;

namespace {

constexpr int cGameWindow = 4;
constexpr int cHammer = 1, cSap = 2;

// Level 1 rebuilt: slice 1 at (3, 5) sits on a chip with two chains at (3, 6); walls on both sides
// keep every line away from them. The chips above and beside still give the bot moves to make.
constexpr const char* cPinnedLevel = "; slice pinned behind chains\n"
                                     "Time 120\n"
                                     "ColorCount 4\n"
                                     "Colors 1 3 5 6\n"
                                     "Field 6x6\n"
                                     "c000c000c000c000c000c000\n"
                                     "c000c000c000c000c000c000\n"
                                     "c000c000c000c000c000c000\n"
                                     "c000c000c000c000c000c000\n"
                                     "c000w000a001w000c000c000\n"
                                     "c000w000X001w000c000c000\n";

struct TRect {
    int X, Y, W, H;
    bool Holds(int x, int y) const { return x >= X && x < X + W && y >= Y && y < Y + H; }
};

// The panel slots of the hammer and the sap, and the chained cell (3, 6) of the 6 x 6 board, whose
// top-left cell starts at pixel (548 - 20 * 6, 253 - 20 * 6) with 40-pixel cells.
constexpr TRect cSlot[3] = {{0, 0, 0, 0}, {380, 536, 41, 41}, {486, 536, 41, 41}};
constexpr TRect cChainedCell = {428 + 2 * 40, 133 + 5 * 40, 40, 40};
constexpr TRect cBoard = {428, 133, 240, 240};

struct TPress {
    int Frame, X, Y;
};

int LineFrame(const std::string& line) {
    return line.empty() || line[0] == '#' ? 0 : std::atoi(line.c_str());
}

// Left-button presses of a recording, in order.
std::vector<TPress> LeftPresses(const fs::path& rec) {
    std::vector<TPress> out;
    for (const std::string& line : ReadLines(rec)) {
        std::istringstream w(line);
        TPress p{};
        std::string what, button;
        if (w >> p.Frame >> what >> button >> p.X >> p.Y && what == "down" && button == "left")
            out.push_back(p);
    }
    return out;
}

std::vector<size_t> PressesIn(const std::vector<TPress>& presses, const TRect& r) {
    std::vector<size_t> out;
    for (size_t i = 0; i < presses.size(); ++i)
        if (r.Holds(presses[i].X, presses[i].Y)) out.push_back(i);
    return out;
}

// Only the frames whose pictures are taken are drawn, and each screen is pictured.
int RunBonusGame(const fs::path& dir, const std::string& args) {
    return RunGame(dir, "--windowed --fixed-step --draw-shots-only --screens screens " + args);
}

class BonusUse : public ::testing::Test {
  protected:
    // One data folder for the suite, with the pinned level, in which the resource creator has done
    // its work once: the runs then start on the level and still find every derived picture.
    static void SetUpTestSuite() {
        if (!DataFolderBuilt()) return;
        Prepared = fs::temp_directory_path() / ("velmora_bonus_" + std::to_string(::getpid()) + "_base");
        fs::remove_all(Prepared);
        fs::copy(VELMORA_DATA_DIR, Prepared, fs::copy_options::recursive);
        for (const char* f : {"Error.log", "PlayerData/Game.dat"})
            fs::remove(Prepared / f);
        std::ofstream(Prepared / "Options.txt") << "Windowed 1\nWidth 800\nHeight 600\nSoundEnabled 0\n";
        std::ofstream(Prepared / "Levels" / "Greece" / "01.map") << cPinnedLevel;
        PreparedRun = RunBonusGame(Prepared, "--frames 3000 --quit-after-screens 2");
        fs::remove_all(Prepared / "screens");
        fs::remove(Prepared / "Error.log");
        fs::remove(Prepared / "PlayerData" / "Game.dat");
    }
    static void TearDownTestSuite() {
        if (!Prepared.empty()) fs::remove_all(Prepared);
    }

    void SetUp() override {
        if (Prepared.empty())
            GTEST_SKIP() << "no data folder at " << VELMORA_DATA_DIR << " (build content_data)";
        ASSERT_EQ(PreparedRun, 0) << ReadBytes(Prepared / "run.out");
        ASSERT_TRUE(fs::exists(Prepared / "Textures" / "Glares1.tga")) << "the resource creator did not run";
        Dir = Folder("run");
    }
    void TearDown() override {
        for (const fs::path& d : Folders) {
            KeepPictures(d);
            fs::remove_all(d);
        }
    }

    fs::path Folder(const std::string& name) {
        const fs::path dir = Prepared.string() + "_" + name;
        fs::remove_all(dir);
        fs::copy(Prepared, dir, fs::copy_options::recursive);
        Folders.push_back(dir);
        return dir;
    }

    // A new player at level 1 holding `count` stored bonuses of `code` (help bubbles as for anyone new).
    static void WritePlayer(const fs::path& dir, int code, int count) {
        GameDat = TGameDat{};
        SetDefaults();
        GameDat.PlayerCount = 1;
        GameDat.CurrentPlayer = 1;
        ClearPlayer(1);
        TPlayerRec& p = GameDat.Players[0];
        p.Name.Set("Bot");
        p.Level = 1;
        p.BonusCount[code - 1] = count;
        WriteGameDat(dir, GameDat);
    }

    void KeepPictures(const fs::path& dir) const {
        const fs::path keep = ArtefactDir() /
                              ::testing::UnitTest::GetInstance()->current_test_info()->name() /
                              dir.filename().string().substr(Prepared.filename().string().size() + 1);
        fs::remove_all(keep);
        fs::create_directories(keep);
        if (fs::exists(dir / "screens"))
            for (const auto& e : fs::directory_iterator(dir / "screens"))
                fs::copy_file(e.path(), keep / e.path().filename(), fs::copy_options::overwrite_existing);
        for (const auto& e : fs::directory_iterator(dir))
            if (e.path().extension() == ".png" || e.path().extension() == ".txt" ||
                e.path().filename() == "Error.log" || e.path().filename() == "run.out")
                if (e.path().filename() != "Options.txt")
                    fs::copy_file(e.path(), keep / e.path().filename(), fs::copy_options::overwrite_existing);
    }

    // The bot plays the pinned level from the level window on until the statistics show.
    static int PlayByBot(const fs::path& dir) {
        return RunBonusGame(dir, "--seed 4 --autoplay --start-window " + std::to_string(cGameWindow) +
                                     " --record rec.txt --frames 9000 --quit-after-screens 2");
    }
    // The same session from a script, with pictures at the given frames.
    static int Replay(const fs::path& dir, const std::string& script, const std::vector<int>& shots) {
        std::string args = "--seed 4 --start-window " + std::to_string(cGameWindow) + " --script " + script +
                           " --frames 9000 --quit-after-screens 2";
        for (int f : shots)
            args += " --screenshot " + std::to_string(f) + ":frame" + std::to_string(f) + ".png";
        return RunBonusGame(dir, args);
    }

    void ExpectWonLevel(const fs::path& dir) const {
        EXPECT_EQ(Screens(dir), (std::vector<std::string>{"TW_Game", "TW_MenuStats"}))
            << "the level ended in a win";
        const TPlayerRec& p = ReadGameDat(dir).Players[0];
        EXPECT_EQ(p.Level, 2) << "the pinned slice came down and the level was won";
        EXPECT_EQ(p.LevelInProgress, 0);
        EXPECT_EQ(LogAfterStartUp(dir), std::vector<std::string>{});
    }

    void BotUsesTheStoredBonus(int code) {
        WritePlayer(Dir, code, 1);
        ASSERT_EQ(PlayByBot(Dir), 0) << ReadBytes(Dir / "run.out");
        ExpectWonLevel(Dir);
        const TPlayerRec& p = ReadGameDat(Dir).Players[0];
        for (int c = 1; c <= 4; ++c)
            EXPECT_EQ(p.BonusCount[c - 1], 0) << "bonus " << c << " (one stored: " << code << ")";

        // One press on the slot, in the window messages the recording keeps.
        const std::vector<TPress> presses = LeftPresses(Dir / "rec.txt");
        const std::vector<size_t> onSlot = PressesIn(presses, cSlot[code]);
        ASSERT_EQ(onSlot.size(), 1u) << "presses on the slot";
        ASSERT_LT(onSlot[0] + 1, presses.size());
        const TPress use = presses[onSlot[0]], next = presses[onSlot[0] + 1];
        if (code == cHammer) {
            EXPECT_TRUE(cChainedCell.Holds(next.X, next.Y))
                << "the armed hammer's blow fell at " << next.X << "," << next.Y;
            EXPECT_LE(next.Frame - use.Frame, 5) << "the hammer was struck at once";
        }

        // The recording alone plays the same session: the bot acted through the window messages.
        const fs::path replay = Folder("replay");
        WritePlayer(replay, code, 1);
        fs::copy_file(Dir / "rec.txt", replay / "rec.txt");
        // Pictures: the bonus just taken, the hammer's blow or the sap at work, the slice let go.
        const int at = code == cHammer ? next.Frame : use.Frame + 10;
        ASSERT_EQ(Replay(replay, "rec.txt", {use.Frame + 1, at + 1, at + 40}), 0)
            << ReadBytes(replay / "run.out");
        EXPECT_TRUE(ReadBytes(Dir / "PlayerData" / "Game.dat") ==
                    ReadBytes(replay / "PlayerData" / "Game.dat"))
            << "the replay's player data differs";
        EXPECT_EQ(Screens(replay), Screens(Dir));
    }

    static fs::path Prepared;
    static int PreparedRun;
    fs::path Dir;
    std::vector<fs::path> Folders;
};

fs::path BonusUse::Prepared;
int BonusUse::PreparedRun = -1;

TEST_F(BonusUse, BotStrikesThePinnedSlicesChainedChipWithTheStoredHammerAndWins) {
    BotUsesTheStoredBonus(cHammer);
}

TEST_F(BonusUse, BotDissolvesTheChipUnderThePinnedSliceWithTheStoredSapAndWins) {
    BotUsesTheStoredBonus(cSap);
}

TEST_F(BonusUse, HammerInHandWhenTheLastSliceLandsIsKeptWithTheWonLevel) {
    // The bot frees the slice with one of two hammers; while the slice flies to the art panel the
    // player takes the other out and holds it until the level is won.
    WritePlayer(Dir, cHammer, 2);
    ASSERT_EQ(PlayByBot(Dir), 0) << ReadBytes(Dir / "run.out");
    const std::vector<TPress> presses = LeftPresses(Dir / "rec.txt");
    const std::vector<size_t> onSlot = PressesIn(presses, cSlot[cHammer]);
    ASSERT_EQ(onSlot.size(), 1u);
    ASSERT_LT(onSlot[0] + 2, presses.size()) << "the bot made no move after the blow: the slice had landed";
    // The bot's next move after the blow starts on an idle board, with the slice still in flight.
    const int idle = presses[onSlot[0] + 2].Frame;
    ASSERT_TRUE(cBoard.Holds(presses[onSlot[0] + 2].X, presses[onSlot[0] + 2].Y));

    const fs::path held = Folder("held");
    WritePlayer(held, cHammer, 2);
    std::ofstream script(held / "held.txt");
    for (const std::string& line : ReadLines(Dir / "rec.txt"))
        if (LineFrame(line) < idle) script << line << "\n";
    const int x = cSlot[cHammer].X + 20, y = cSlot[cHammer].Y + 20;
    script << idle << " move " << x << " " << y << "\n"
           << idle << " down left " << x << " " << y << "\n"
           << idle + 1 << " up left " << x << " " << y << "\n"
           << idle + 2 << " move 300 120\n"; // beside the board, away from every chip
    script.close();
    ASSERT_EQ(Replay(held, "held.txt", {idle + 3, idle + 300}), 0) << ReadBytes(held / "run.out");
    ExpectWonLevel(held);
    EXPECT_EQ(ReadGameDat(held).Players[0].BonusCount[cHammer - 1], 1) << "one used, the one held kept";
}

} // namespace
