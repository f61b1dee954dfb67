// The real game binary plays small test levels under the virtual display: a win through the sap
// bonus ends in the statistics window and the next level in "Game.dat"; a level whose time runs out
// costs a life. Screenshots are kept in the build folder as artefacts.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

#include "app/gamedat.h"
#include "render/tga.h"

namespace fs = std::filesystem;

namespace velmora::playtest {

namespace {

class PlayEndToEnd : public ::testing::Test {
  protected:
    void SetUp() override {
        Dir = fs::temp_directory_path() / ("velmora_play_e2e_" + std::to_string(::getpid()));
        fs::remove_all(Dir);
        fs::copy(VELMORA_DATA_DIR, Dir, fs::copy_options::recursive);
        Artefacts = fs::path(VELMORA_BINARY).parent_path() / "play_artefacts";
        fs::create_directories(Artefacts);
    }
    void TearDown() override { fs::remove_all(Dir); }

    // One player at level 1 of Greece, with a sap in the bonus panel.
    void PrepareGameDat(int32_t lives, int32_t saps) {
        TGameDat dat{};
        dat.SoundVolume = 0;
        dat.MusicVolume = 0;
        dat.PlayerCount = 1;
        dat.CurrentPlayer = 1;
        TPlayerRec& p = dat.Players[0];
        p.Name.Set("Runner");
        p.Level = 1;
        p.Lives = lives;
        p.BonusCount[1] = saps;
        for (uint8_t& shown : p.HelpShown)
            shown = 1; // no help bubbles: they would stop the clock
        std::vector<uint8_t> bytes(cGameDatSize);
        GameDatToBytes(dat, bytes.data());
        fs::create_directories(Dir / "PlayerData");
        std::ofstream(Dir / "PlayerData" / "Game.dat", std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    void WriteLevel(const std::string& text) { std::ofstream(Dir / "Levels" / "Greece" / "01.map") << text; }
    TGameDat ReadGameDat() {
        std::ifstream in(Dir / "PlayerData" / "Game.dat", std::ios::binary);
        std::vector<uint8_t> bytes(cGameDatSize);
        in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        TGameDat dat{};
        GameDatFromBytes(bytes.data(), dat);
        return dat;
    }
    int Run(const std::string& script, int frames, const std::vector<std::pair<int, std::string>>& shots) {
        std::ofstream(Dir / "script.txt") << script;
        std::string args = "--start-window 4 --fixed-step --seed 7 --windowed --script script.txt --frames " +
                           std::to_string(frames);
        for (const auto& [frame, name] : shots)
            args += " --screenshot " + std::to_string(frame) + ":" + name;
        const std::string cmd = "cd '" + Dir.string() +
                                "' && SDL_AUDIODRIVER=dummy VELMORA_MSGBOX_ANSWER=1 timeout 300 '" +
                                std::string(VELMORA_BINARY) + "' " + args + " > run.out 2>&1";
        const int status = std::system(cmd.c_str());
        for (const auto& [frame, name] : shots)
            if (fs::exists(Dir / name))
                fs::copy_file(Dir / name, Artefacts / name, fs::copy_options::overwrite_existing);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    // Colour of a pixel of a TGA screenshot (top-left origin), as 0xRRGGBB; 0 when unreadable.
    uint32_t Pixel(const std::string& name, int x, int y) {
        std::ifstream in(Dir / name, std::ios::binary);
        std::vector<uint8_t> b((std::istreambuf_iterator<char>(in)), {});
        if (b.size() < 18 || b[2] != 2) return 0;
        const int w = b[12] | b[13] << 8, h = b[14] | b[15] << 8, bytes = b[16] / 8;
        const bool topDown = (b[17] & 0x20) != 0;
        const int row = topDown ? y : h - 1 - y;
        const size_t at = 18 + b[0] + (static_cast<size_t>(row) * w + x) * bytes;
        if (x < 0 || y < 0 || x >= w || y >= h || bytes < 3 || at + 2 >= b.size()) return 0;
        return static_cast<uint32_t>(b[at + 2]) << 16 | b[at + 1] << 8 | b[at];
    }
    static int R(uint32_t c) { return c >> 16 & 255; }
    static int G(uint32_t c) { return c >> 8 & 255; }
    static int B(uint32_t c) { return c & 255; }
    std::string Log() {
        std::ifstream in(Dir / "Error.log");
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    fs::path Dir, Artefacts;
};

} // namespace

TEST_F(PlayEndToEnd, SapWinsTheLevelAndTheStatisticsOkWritesTheNextLevel) {
    PrepareGameDat(3, 1);
    WriteLevel("Time 120\nColorCount 5\nColors 1 2 3 4 5\nField 3x2\nc000a001c000\nc000c000c000\n");
    // A click skips the intro and the drop-in; F2 uses the sap; clicks end the time-bonus count;
    // Escape presses the statistics window's OK.
    const std::string script = "10 down left 700 60\n11 up left 700 60\n40 key 113\n"
                               "420 down left 700 60\n421 up left 700 60\n"
                               "440 down left 700 60\n441 up left 700 60\n"
                               "700 key 27\n";
    ASSERT_EQ(Run(script, 760,
                  {{5, "play_intro.png"},
                   {5, "play_intro.tga"},
                   {30, "play_playing.png"},
                   {30, "play_playing.tga"},
                   {650, "play_stats.png"},
                   {650, "play_stats.tga"}}),
              0)
        << Log();
    const TGameDat dat = ReadGameDat();
    const TPlayerRec& p = dat.Players[0];
    EXPECT_EQ(p.Level, 2) << Log();
    EXPECT_EQ(p.LevelInProgress, 0);
    EXPECT_EQ(p.Lives, 3);
    EXPECT_EQ(p.BonusCount[1], 0) << "the sap was used";
    EXPECT_EQ(p.TotalSlices, 1);
    EXPECT_GT(p.Score, 0) << "the time bonus was paid";
    // Key pixels: the first heart is red during the intro, the time bar is drawn while playing, and
    // the statistics panel covers the board area.
    const uint32_t heart = Pixel("play_intro.tga", 125, 433);
    EXPECT_GT(R(heart), G(heart) + 60) << std::hex << heart;
    const uint32_t bar = Pixel("play_playing.tga", 600, 509);
    EXPECT_GT(B(bar), 120) << std::hex << bar;
    const uint32_t panel = Pixel("play_stats.tga", 300, 400);
    EXPECT_GT(B(panel), R(panel)) << std::hex << panel;
    EXPECT_GT(B(panel), 40) << "the panel, not the black screen behind it";
    EXPECT_NE(Pixel("play_playing.tga", 300, 400), panel) << "no panel while playing";
}

TEST_F(PlayEndToEnd, TimeRunningOutCostsALife) {
    PrepareGameDat(3, 0);
    WriteLevel(
        "Time 2\nColorCount 5\nColors 1 2 3 4 5\nField 3x3\nc000a001c000\nc000c000c000\nc000c000c000\n");
    // The first click skips the intro, the second starts the clock; two seconds later the life is
    // lost.
    const std::string script =
        "10 down left 700 60\n11 up left 700 60\n30 down left 700 60\n31 up left 700 60\n";
    ASSERT_EQ(Run(script, 760, {{160, "play_outcome.png"}, {300, "play_lose.png"}, {300, "play_lose.tga"}}),
              0)
        << Log();
    const TGameDat dat = ReadGameDat();
    const TPlayerRec& p = dat.Players[0];
    EXPECT_EQ(p.Lives, 2) << Log();
    EXPECT_EQ(p.Level, 1) << "the level is played again";
    EXPECT_EQ(p.LevelInProgress, 0);
    // The fade dims the whole screen at most to half: the menu button still shows through it.
    const uint32_t button = Pixel("play_lose.tga", 100, 557);
    EXPECT_GT(R(button) + G(button) + B(button), 60) << std::hex << button;
}

} // namespace velmora::playtest
