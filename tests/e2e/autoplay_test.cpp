// The whole game run by its binary with the player bot: a level played through the mouse alone,
// a recorded session replayed to the same player data and picture.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
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

constexpr int cGameWindow = 4;

class Autoplay : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!DataFolderBuilt())
            GTEST_SKIP() << "no data folder at " << VELMORA_DATA_DIR << " (build content_data)";
        Root = fs::temp_directory_path() / ("velmora_autoplay_" + std::to_string(::getpid()));
        fs::remove_all(Root);
        fs::create_directories(Root);
    }
    void TearDown() override {
        if (!Root.empty()) fs::remove_all(Root);
    }

    // A fresh copy of the data folder whose player data holds one player about to play level 1.
    fs::path FreshData(const std::string& name) {
        const fs::path dir = Root / name;
        fs::copy(VELMORA_DATA_DIR, dir, fs::copy_options::recursive);
        fs::remove(dir / "Error.log");
        fs::remove(dir / "Options.txt");
        WriteOnePlayer(dir, 1);
        return dir;
    }

    // Only the frames whose pictures are taken are drawn: the game steps the same either way.
    int Run(const fs::path& dir, const std::string& args) {
        return RunGame(dir, "--windowed --fixed-step --draw-shots-only " + args, 300);
    }

    fs::path Root;
};

TEST_F(Autoplay, BotPlaysTheFirstLevelThroughTheMouseAndTheSessionIsRecorded) {
    const fs::path dir = FreshData("play");
    const fs::path shot = ArtefactDir() / "autoplay_level1.png";
    ASSERT_EQ(Run(dir, "--seed 5 --autoplay --start-window " + std::to_string(cGameWindow) +
                           " --frames 2400 --record rec.txt --screenshot 2400:" + shot.string()),
              0);
    ASSERT_TRUE(fs::exists(shot));
    const std::string rec = ReadBytes(dir / "rec.txt");
    // The bot clicked cells: presses went through the window procedure and into the recording.
    EXPECT_NE(rec.find("down left"), std::string::npos) << rec.substr(0, 400);
    EXPECT_NE(rec.find("up left"), std::string::npos);
    const TGameDat dat = ReadGameDat(dir);
    const TPlayerRec& p = dat.Players[0];
    // Either the level was won (the player goes on) or it is kept in progress with chips removed.
    EXPECT_TRUE(p.Level >= 2 || p.ChipsRemoved > 0 || p.TotalChips > 0)
        << "level " << p.Level << ", chips " << p.ChipsRemoved;
}

TEST_F(Autoplay, RecordedSessionReplaysToTheSameGameDatAndPicture) {
    const fs::path a = FreshData("a");
    const fs::path b = FreshData("b");
    const std::string common = "--seed 11 --start-window " + std::to_string(cGameWindow) + " --frames 1500";
    ASSERT_EQ(Run(a, common + " --autoplay=2 --record rec.txt --screenshot 1500:shot.png"), 0);
    fs::copy_file(a / "rec.txt", b / "rec.txt");
    ASSERT_EQ(Run(b, common + " --script rec.txt --screenshot 1500:shot.png"), 0);
    ASSERT_NE(ReadBytes(a / "rec.txt").find("down left"), std::string::npos);
    const std::string datA = ReadBytes(a / "PlayerData" / "Game.dat");
    const std::string datB = ReadBytes(b / "PlayerData" / "Game.dat");
    ASSERT_EQ(datA.size(), static_cast<size_t>(cGameDatSize));
    EXPECT_TRUE(datA == datB) << "the replay's player data differs";
    EXPECT_TRUE(ReadBytes(a / "shot.png") == ReadBytes(b / "shot.png")) << "the replay's picture differs";
    fs::copy_file(b / "shot.png", ArtefactDir() / "replay_frame1500.png",
                  fs::copy_options::overwrite_existing);
}

TEST_F(Autoplay, LevelLeftInTheMiddleIsResumedWithTheSameBoard) {
    const fs::path dir = FreshData("resume");
    const std::string start = "--start-window " + std::to_string(cGameWindow);
    ASSERT_EQ(Run(dir, "--seed 3 --autoplay " + start + " --frames 900 --screenshot 900:left.png"), 0);
    const TGameDat left = ReadGameDat(dir);
    if (left.Players[0].Level != 1) GTEST_SKIP() << "the bot finished the level before the quit";
    ASSERT_EQ(left.Players[0].LevelInProgress, 1) << "the level was not kept at the quit";
    EXPECT_GT(left.Players[0].ChipsRemoved, 0);
    // Another seed: a board dealt afresh would differ; the resumed one must not.
    ASSERT_EQ(Run(dir, "--seed 99 " + start + " --frames 300 --screenshot 300:resumed.png"), 0);
    const TGameDat resumed = ReadGameDat(dir);
    EXPECT_EQ(resumed.Players[0].LevelInProgress, 1);
    EXPECT_EQ(resumed.Players[0].ChipsRemoved, left.Players[0].ChipsRemoved);
    EXPECT_EQ(std::memcmp(resumed.Players[0].LevelSnapshot, left.Players[0].LevelSnapshot, cSnapshotBytes), 0)
        << "the board after the restart is not the board that was left";
    fs::copy_file(dir / "left.png", ArtefactDir() / "resume_left.png", fs::copy_options::overwrite_existing);
    fs::copy_file(dir / "resumed.png", ArtefactDir() / "resume_restarted.png",
                  fs::copy_options::overwrite_existing);
}

} // namespace
