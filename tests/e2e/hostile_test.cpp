// A damaged data folder, a kill at any moment and the desktop's termination signal: the game runs on
// (or ends) cleanly, says what was wrong in Error.log and never loses the player data.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <functional>
#include <random>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

#include "app/gamedat.h"
#include "app/options.h"
#include "e2e_support.h"

namespace velmora::e2e {
namespace {

using Clock = std::chrono::steady_clock;

// A copy of the data folder made of hard links: fast, and safe because the game replaces files by
// renaming a new one over them. A damage always removes the link before it writes.
fs::path LinkedCopy(const std::string& name) {
    const fs::path dir = ArtefactDir() / ("hostile_" + name);
    fs::remove_all(dir);
    fs::copy(VELMORA_DATA_DIR, dir, fs::copy_options::recursive | fs::copy_options::create_hard_links);
    return dir;
}

void Replace(const fs::path& file, const std::string& bytes) {
    fs::remove_all(file);
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << bytes;
}

std::string Repeated(const std::function<std::string(int)>& line, int count) {
    std::string out;
    for (int i = 0; i < count; ++i)
        out += line(i);
    return out;
}

struct TDamage {
    const char* Name;
    const char* File; // relative to the data folder; Error.log must name it
    std::function<void(const fs::path& file)> Apply;
};

const std::vector<TDamage>& Damages() {
    static const std::vector<TDamage> damages = {
        {"FolderForTexture", "Textures/Chips.tga",
         [](const fs::path& f) {
             fs::remove(f);
             fs::create_directories(f);
         }},
        {"FolderForGameDat", "PlayerData/Game.dat", [](const fs::path& f) { fs::create_directories(f); }},
        {"FolderForFont", "Fonts/MenuTitle.itf",
         [](const fs::path& f) {
             fs::remove(f);
             fs::create_directories(f);
         }},
        {"LongColourList", "Textures/Arts/Greece/!Colors.txt",
         [](const fs::path& f) {
             Replace(f, Repeated([](int i) { return std::to_string(i % 300) + " NOTHEX\r\n"; }, 100000));
         }},
        {"LongUnpackList", "Textures/tga2jpgANDmask.txt",
         [](const fs::path& f) {
             Replace(f,
                     Repeated([](int i) { return "jpg Missing" + std::to_string(i) + ".jpg\r\n"; }, 100000));
         }},
        {"TruncatedGameDat", "PlayerData/Game.dat",
         [](const fs::path& f) { Replace(f, std::string(1000, 'x')); }},
        {"EmptyLevel", "Levels/Greece/01.map", [](const fs::path& f) { Replace(f, ""); }},
        {"HugeNumbersInLevel", "Levels/Greece/01.map",
         [](const fs::path& f) {
             Replace(f,
                     "Time 99999999999999999999\r\nColorCount -99999999999\r\nColors 1 2 3 4 5 6 7 8 9 10 11 "
                     "12 13\r\nField 99999999x-4\r\n");
         }},
        {"TruncatedTexture", "Textures/MainMenu_ButtonBig.tga",
         [](const fs::path& f) {
             const std::string head = ReadBytes(f).substr(0, 100);
             Replace(f, head);
         }},
        {"HugeParticleFile", "Particles/@LittleExplosion_Red.prt",
         [](const fs::path& f) {
             Replace(f, std::string(1 << 20, 'L') + "\r\n" +
                            Repeated([](int) { return "Count 99999999999999\r\n"; }, 20000));
         }},
    };
    return damages;
}

class DamagedFolder : public ::testing::TestWithParam<size_t> {};

// Start-up, the main menu and a level by the bot, on a folder with one damage.
TEST_P(DamagedFolder, RunsIntoALevelAndNamesTheFile) {
    if (!DataFolderBuilt()) GTEST_SKIP() << "no data folder";
    const TDamage& damage = Damages()[GetParam()];
    const fs::path dir = LinkedCopy(damage.Name);
    const fs::path file = dir / damage.File;
    damage.Apply(file);
    const bool wasFile = fs::is_regular_file(file);
    const std::string before = wasFile ? ReadBytes(file) : std::string();

    const int code = RunGame(
        dir, "--fixed-step --seed 1 --autoplay --draw-shots-only --frames 2500 --screens screens", 90);
    EXPECT_EQ(code, 0) << damage.Name;

    const std::vector<std::string> screens = Screens(dir);
    EXPECT_NE(std::find(screens.begin(), screens.end(), "TW_MenuMain"), screens.end()) << damage.Name;
    EXPECT_NE(std::find(screens.begin(), screens.end(), "TW_Game"), screens.end()) << damage.Name;

    const std::string log = ReadBytes(dir / "Error.log");
    const std::string leaf = fs::path(damage.File).filename().string();
    EXPECT_NE(log.find(leaf), std::string::npos) << damage.Name << ": Error.log does not name " << leaf;
    EXPECT_LT(log.size(), 2u << 20) << damage.Name << ": a fault was logged over and over";

    // The player data is the damaged one untouched, or a valid file.
    const fs::path dat = dir / "PlayerData" / "Game.dat";
    const bool untouched = std::string(damage.File) == "PlayerData/Game.dat" &&
                           (!fs::is_regular_file(dat) || ReadBytes(dat) == before);
    if (!untouched) {
        ASSERT_TRUE(fs::is_regular_file(dat)) << damage.Name;
        EXPECT_EQ(fs::file_size(dat), static_cast<uintmax_t>(cGameDatSize)) << damage.Name;
    }
    fs::remove_all(dir);
}

INSTANTIATE_TEST_SUITE_P(Hostile, DamagedFolder, ::testing::Range<size_t>(0, 10),
                         [](const ::testing::TestParamInfo<size_t>& info) {
                             return std::string(Damages()[info.param].Name);
                         });

// A size no desktop holds is clamped and the game starts; a start that truly fails says so in its
// exit status.
TEST(Start, ImpossibleWindowSizeIsClampedAndAFailedStartExitsNonZero) {
    if (!DataFolderBuilt()) GTEST_SKIP() << "no data folder";
    const fs::path dir = LinkedCopy("start");
    std::ofstream(dir / "Options.txt") << "Windowed 1\r\nWidth 99999\r\nHeight 99999\r\n";
    EXPECT_EQ(RunGame(dir, "--fixed-step --frames 30"), 0);
    EXPECT_NE(ReadBytes(dir / "Error.log").find("clamped to the desktop"), std::string::npos);

    const std::string cmd =
        "cd '" + dir.string() + "' && SDL_VIDEODRIVER=nosuchdriver SDL_AUDIODRIVER=dummy " +
        "VELMORA_MSGBOX_ANSWER=1 timeout 60 '" + VELMORA_BINARY + "' --frames 30 > run.out 2>&1";
    const int status = std::system(cmd.c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1);
    fs::remove_all(dir);
}

// ---- running the game as a child we can signal ----------------------------------------------------

pid_t StartGame(const fs::path& dir, const std::vector<std::string>& args) {
    const pid_t pid = fork();
    if (pid != 0) return pid;
    if (chdir(dir.c_str()) != 0) _exit(127);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    setenv("VELMORA_MSGBOX_ANSWER", "1", 1);
    const int null = open("/dev/null", O_WRONLY);
    dup2(null, 1);
    dup2(null, 2);
    std::vector<const char*> argv{VELMORA_BINARY};
    for (const std::string& a : args)
        argv.push_back(a.c_str());
    argv.push_back(nullptr);
    execv(VELMORA_BINARY, const_cast<char* const*>(argv.data()));
    _exit(127);
}

// The exit status, or -1 when the child did not end within the time (it is then killed).
int WaitFor(pid_t pid, double seconds) {
    const auto end = Clock::now() + std::chrono::duration<double>(seconds);
    int status = 0;
    while (Clock::now() < end) {
        if (waitpid(pid, &status, WNOHANG) == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : 128;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    kill(pid, SIGKILL);
    waitpid(pid, &status, 0);
    return -1;
}

// The game's own reader takes the file: its size is right and the players are the ones saved.
void ExpectLoadsWithPlayers(const fs::path& dir, const TGameDat& expected, const std::string& when) {
    ASSERT_EQ(fs::file_size(dir / "PlayerData" / "Game.dat"), static_cast<uintmax_t>(cGameDatSize)) << when;
    Paths.GameDat = (dir / "PlayerData" / "Game.dat").string();
    LoadGameDat();
    EXPECT_EQ(GameDat.PlayerCount, expected.PlayerCount) << when;
    for (int i = 0; i < cPlayerCount; ++i)
        EXPECT_EQ(GameDat.Players[i].Name.Get(), expected.Players[i].Name.Get()) << when;
}

// Changes with every save: the new file renamed over the old has its own inode and change time (an
// inode number alone can come back).
std::pair<ino_t, int64_t> StampOf(const fs::path& file) {
    struct stat st {};
    if (stat(file.c_str(), &st) != 0) return {0, 0};
    return {st.st_ino, static_cast<int64_t>(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec};
}

// A folder whose player data holds one player, "Bot", about to play the level given.
fs::path FolderWithPlayer(const std::string& name, int32_t level) {
    const fs::path dir = LinkedCopy(name);
    WriteOnePlayer(dir, level);
    return dir;
}

// SIGKILL at random moments of a run that writes Game.dat every other frame.
TEST(Kill, AtAnyMomentLeavesAValidGameDat) {
    if (!DataFolderBuilt()) GTEST_SKIP() << "no data folder";
    const fs::path dir = FolderWithPlayer("kill", 1);
    const TGameDat first = ReadGameDat(dir);
    ASSERT_EQ(first.PlayerCount, 1);
    const fs::path dat = dir / "PlayerData" / "Game.dat";
    std::mt19937 dice(20);
    std::uniform_int_distribution<int> delayMs(0, 250);
    for (int run = 0; run < 100; ++run) {
        const auto before = StampOf(dat);
        const pid_t pid =
            StartGame(dir, {"--fixed-step", "--seed", std::to_string(run), "--autoplay", "--draw-shots-only",
                            "--frames", "100000", "--start-window", "4", "--save-every", "2"});
        ASSERT_GT(pid, 0);
        // Once the file has been replaced the game is saving, and the kill falls among its writes.
        const auto giveUp = Clock::now() + std::chrono::seconds(30);
        while (StampOf(dat) == before && Clock::now() < giveUp)
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        const bool saving = StampOf(dat) != before;
        std::this_thread::sleep_for(std::chrono::milliseconds(delayMs(dice)));
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
        ASSERT_TRUE(saving) << "run " << run << " never wrote Game.dat";
        ExpectLoadsWithPlayers(dir, first, "after kill " + std::to_string(run));
        if (HasFatalFailure()) break;
    }
    fs::remove_all(dir);
}

// The desktop's log-out mid-level: the level in progress is in Game.dat and the game is gone within
// a second.
TEST(Terminate, MidLevelSavesTheLevelAndEndsWithinASecond) {
    if (!DataFolderBuilt()) GTEST_SKIP() << "no data folder";
    // Nobody plays: the level stays in progress until its timer runs out, long after the signal.
    const fs::path dir = FolderWithPlayer("sigterm", 5);
    const pid_t pid = StartGame(dir, {"--fixed-step", "--seed", "1", "--draw-shots-only", "--frames",
                                      "1000000", "--start-window", "4", "--screenshot", "900:playing.png"});
    ASSERT_GT(pid, 0);
    // Frame 900 is well past the level's intro: its picture shows the level being played.
    const auto giveUp = Clock::now() + std::chrono::seconds(60);
    while (!fs::exists(dir / "playing.png") && Clock::now() < giveUp)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    ASSERT_TRUE(fs::exists(dir / "playing.png")) << "the level never got to frame 900";

    const auto sent = Clock::now();
    kill(pid, SIGTERM);
    const int code = WaitFor(pid, 5.0);
    const double seconds = std::chrono::duration<double>(Clock::now() - sent).count();
    EXPECT_EQ(code, 0);
    EXPECT_LE(seconds, 1.0);

    const TGameDat dat = ReadGameDat(dir);
    ASSERT_GE(dat.CurrentPlayer, 1);
    EXPECT_EQ(dat.Players[dat.CurrentPlayer - 1].LevelInProgress, 1);
    EXPECT_FALSE(fs::exists(dir / "PlayerData" / "Game.dat.tmp"));
    const std::string log = ReadBytes(dir / "Error.log");
    EXPECT_NE(log.find("signal 15 received"), std::string::npos);
    fs::remove_all(dir);
}

// The settings dialog of a first run is open: the signal closes it and the game does not start.
TEST(Terminate, SettingsDialogClosesWithoutAQuestion) {
    if (!DataFolderBuilt()) GTEST_SKIP() << "no data folder";
    const fs::path dir = LinkedCopy("sigterm_settings");
    fs::remove(dir / "Options.txt");
    const pid_t pid = StartGame(dir, {"--windowed"});
    ASSERT_GT(pid, 0);
    std::this_thread::sleep_for(std::chrono::seconds(3));
    const auto sent = Clock::now();
    kill(pid, SIGTERM);
    EXPECT_EQ(WaitFor(pid, 5.0), 0);
    EXPECT_LE(std::chrono::duration<double>(Clock::now() - sent).count(), 1.0);
    EXPECT_FALSE(fs::exists(dir / "Options.txt"));
    EXPECT_EQ(ReadBytes(dir / "Error.log").find("TD3DApplication.Create_"), std::string::npos);
    fs::remove_all(dir);
}

} // namespace
} // namespace velmora::e2e
