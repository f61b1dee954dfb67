// The real binary played by the bot from the menus on: a new player from the first run of a fresh
// data folder to the map of level 2, and a game over on the last life that ends in the high-score
// table with the player's row lit. Pictures of every screen stay in the build folder under
// e2e-artefacts/<test name>/.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
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

// ---- pictures ----------------------------------------------------------------------------------

struct TPicture {
    int Width = 0, Height = 0;
    std::vector<uint8_t> Rgba; // top row first
    void At(int x, int y, int& r, int& g, int& b) const {
        const size_t o = (static_cast<size_t>(y) * Width + x) * 4;
        r = Rgba[o];
        g = Rgba[o + 1];
        b = Rgba[o + 2];
    }
};

uint32_t BigEndian(const std::string& s, size_t at) {
    return (uint32_t(uint8_t(s[at])) << 24) | (uint32_t(uint8_t(s[at + 1])) << 16) |
           (uint32_t(uint8_t(s[at + 2])) << 8) | uint32_t(uint8_t(s[at + 3]));
}

// The game's screenshots: 8-bit RGBA PNG, one zlib stream of stored blocks, rows without filter.
bool ReadPicture(const fs::path& file, TPicture& pic) {
    const std::string png = ReadBytes(file);
    if (png.size() < 8 || png.compare(1, 3, "PNG") != 0) return false;
    std::string z;
    for (size_t at = 8; at + 8 <= png.size();) {
        const uint32_t len = BigEndian(png, at);
        const std::string type = png.substr(at + 4, 4);
        if (at + 12 + len > png.size()) return false;
        if (type == "IHDR") {
            pic.Width = static_cast<int>(BigEndian(png, at + 8));
            pic.Height = static_cast<int>(BigEndian(png, at + 12));
            if (png[at + 16] != 8 || png[at + 17] != 6) return false;
        } else if (type == "IDAT") {
            z += png.substr(at + 8, len);
        }
        at += 12 + len;
    }
    std::string raw;
    for (size_t at = 2; at < z.size();) {
        const auto head = static_cast<uint8_t>(z[at]);
        if ((head & 6) != 0 || at + 5 > z.size()) return false; // a compressed block: not ours
        const size_t len = uint8_t(z[at + 1]) | (uint8_t(z[at + 2]) << 8);
        raw += z.substr(at + 5, len);
        at += 5 + len;
        if (head & 1) break;
    }
    const size_t row = static_cast<size_t>(pic.Width) * 4 + 1;
    if (pic.Width <= 0 || raw.size() != row * pic.Height) return false;
    pic.Rgba.clear();
    for (int y = 0; y < pic.Height; ++y) {
        if (raw[y * row] != 0) return false;
        pic.Rgba.insert(pic.Rgba.end(), raw.begin() + y * row + 1, raw.begin() + (y + 1) * row);
    }
    return true;
}

// Pixels of the yellow highlight font in a band around a table row (the grey rows have none).
int YellowPixelsAround(const TPicture& pic, int rowY) {
    int n = 0;
    for (int y = std::max(0, rowY - 9); y <= std::min(pic.Height - 1, rowY + 9); ++y)
        for (int x = 40; x < std::min(pic.Width, 760); ++x) {
            int r, g, b;
            pic.At(x, y, r, g, b);
            n += r - b > 60 && g - b > 30;
        }
    return n;
}

// ---- the data folder ---------------------------------------------------------------------------

std::string ToNative(std::string name) {
    for (char& c : name)
        if (c == '\\') c = '/';
    return name;
}

bool IsSliceFolder(const fs::directory_entry& e) {
    const std::string n = e.path().filename().string();
    return e.is_directory() && n.size() == 3 && std::isdigit(n[0]) && std::isdigit(n[1]) &&
           std::isdigit(n[2]);
}

// Whatever a run derived in the copied folder goes, as at a new installation.
void RemoveDerivedFiles(const fs::path& dir) {
    const fs::path tex = dir / "Textures";
    for (const std::string& line : ReadLines(tex / "tga2jpgANDmask.txt")) {
        std::istringstream words(line);
        std::string kind, name;
        if (line.empty() || line[0] == ';' || !(words >> kind >> name)) continue;
        const fs::path t = fs::path(ToNative(name)).replace_extension(".tga");
        fs::remove(tex / t);
        fs::remove(tex / fs::path(t).replace_filename(t.stem().string() + "_Alpha.tga"));
    }
    for (const char* f : {"Glares1.tga", "Glares2.tga", "ResCreator/Background.tga", "!!!.tga"})
        fs::remove(tex / f);
    for (const auto& art : fs::directory_iterator(tex / "Arts")) {
        fs::remove(art.path() / "Body.tga");
        for (const auto& e : fs::directory_iterator(art.path()))
            if (IsSliceFolder(e)) fs::remove_all(e.path());
    }
}

// ---- the fixture -------------------------------------------------------------------------------

class Campaign : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!DataFolderBuilt())
            GTEST_SKIP() << "no data folder at " << VELMORA_DATA_DIR << " (build content_data)";
        Dir = fs::temp_directory_path() / ("velmora_campaign_" + std::to_string(::getpid()));
        fs::remove_all(Dir);
        fs::copy(VELMORA_DATA_DIR, Dir, fs::copy_options::recursive);
        RemoveDerivedFiles(Dir);
        for (const char* f : {"Error.log", "Options.txt", "PlayerData/Game.dat"})
            fs::remove(Dir / f);
    }
    void TearDown() override {
        if (!Dir.empty()) {
            KeepPictures();
            fs::remove_all(Dir);
            fs::remove_all(Dir.string() + "_replay");
        }
    }

    // The bot plays; only the frames whose pictures are taken are drawn.
    int Run(const std::string& args) { return RunIn(Dir, "--autoplay " + args); }
    int RunIn(const fs::path& dir, const std::string& args) {
        return RunGame(dir, "--windowed --fixed-step --draw-shots-only --screens screens " + args);
    }

    // Window classes in the order the player saw them ("03_TW_MenuMain.png" -> "TW_MenuMain").
    std::vector<std::string> Screens() const { return e2e::Screens(Dir); }
    fs::path Picture(const std::string& suffix) const {
        for (const auto& e : fs::directory_iterator(Dir / "screens"))
            if (e.path().filename().string().ends_with(suffix)) return e.path();
        return {};
    }
    void KeepPictures() const {
        if (!fs::exists(Dir / "screens")) return;
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        const fs::path keep = ArtefactDir() / info->name();
        fs::remove_all(keep);
        fs::create_directories(keep);
        for (const auto& e : fs::directory_iterator(Dir / "screens"))
            fs::copy_file(e.path(), keep / e.path().filename(), fs::copy_options::overwrite_existing);
        for (const char* f : {"Error.log", "Options.txt", "run.out"})
            if (fs::exists(Dir / f)) fs::copy_file(Dir / f, keep / f, fs::copy_options::overwrite_existing);
    }

    // Lines that report a failure anywhere in the log.
    std::vector<std::string> FailureLines() const {
        static const char* const words[] = {"error",   "fail",      "not exist",   "can't",
                                            "cannot",  "not found", "not defined", "incorrect",
                                            "invalid", "unknown",   "equal zero"};
        std::vector<std::string> out;
        for (const std::string& l : ReadLines(Dir / "Error.log")) {
            std::string lower = l;
            std::transform(lower.begin(), lower.end(), lower.begin(),
                           [](unsigned char c) { return std::tolower(c); });
            for (const char* w : words)
                if (lower.find(w) != std::string::npos) {
                    out.push_back(l);
                    break;
                }
        }
        return out;
    }
    std::vector<std::string> LogAfterStartUp() const { return e2e::LogAfterStartUp(Dir); }
    TGameDat ReadGameDat() const { return e2e::ReadGameDat(Dir); }
    void WriteGameDat(const TGameDat& dat) const { e2e::WriteGameDat(Dir, dat); }
    // The level file's "Time" line set to `seconds`.
    void SetLevelTime(const std::string& file, int seconds) const {
        std::vector<std::string> lines = ReadLines(Dir / "Levels" / file);
        for (std::string& l : lines)
            if (l.rfind("Time ", 0) == 0) l = "Time " + std::to_string(seconds);
        std::ofstream out(Dir / "Levels" / file);
        for (const std::string& l : lines)
            out << l << "\n";
    }

    fs::path Dir;
};

TEST_F(Campaign, NewPlayerFromTheFirstRunOfAFreshFolderReachesTheMapOfLevelTwo) {
    const std::vector<std::string> path = {"TW_ResCreator", "TW_Logo",      "TW_MenuMain",  "TW_MenuPlayer",
                                           "TW_MenuName",   "TW_History",   "TW_MenuMap",   "TW_Help",
                                           "TW_Game",       "TW_MenuStats", "TW_Artefacts", "TW_MenuMap"};
    ASSERT_EQ(
        Run("--seed 5 --settings-ok --frames 30000 --quit-after-screens " + std::to_string(path.size())), 0)
        << ReadBytes(Dir / "run.out");

    // The settings dialog was shown and its OK wrote the file; the resource creator did its work.
    EXPECT_TRUE(fs::exists(Dir / "Options.txt"));
    std::string options = ReadBytes(Dir / "Options.txt");
    EXPECT_NE(options.find("Width"), std::string::npos) << options;
    EXPECT_NE(options.find("Height"), std::string::npos) << options;
    const std::vector<std::string> log = ReadLines(Dir / "Error.log");
    EXPECT_NE(std::find(log.begin(), log.end(), "uSettings : the test hook presses OK"), log.end());
    EXPECT_TRUE(fs::exists(Dir / "Textures" / "Glares1.tga"));

    EXPECT_EQ(Screens(), path) << "the screens a new player passes through, in order";

    const TGameDat dat = ReadGameDat();
    ASSERT_EQ(dat.PlayerCount, 1);
    EXPECT_EQ(dat.CurrentPlayer, 1);
    const TPlayerRec& p = dat.Players[0];
    EXPECT_EQ(p.Name.Get(), "Bot");
    EXPECT_EQ(p.Level, 2) << "level 1 won";
    EXPECT_EQ(p.LevelInProgress, 0);
    EXPECT_GT(p.Score, 0);
    EXPECT_GT(p.TotalChips, 0);

    EXPECT_EQ(FailureLines(), std::vector<std::string>{});
    EXPECT_EQ(LogAfterStartUp(), std::vector<std::string>{"TW_History.Skip: scene 0 skipped"});
}

TEST_F(Campaign, GameOverOnTheLastLifeEndsInTheHighScoreTableWithThePlayersRowLit) {
    std::ofstream(Dir / "Options.txt") << "Windowed 1\nWidth 800\nHeight 600\nSoundEnabled 0\n";
    // A player on the last life, well placed in the default table; no help bubbles (they stop the
    // clock). The first level lasts a second, so its time runs out under the bot's first moves.
    GameDat = TGameDat{};
    SetDefaults();
    GameDat.ShowHelp = 0;
    GameDat.PlayerCount = 1;
    GameDat.CurrentPlayer = 1;
    ClearPlayer(1);
    TPlayerRec& hero = GameDat.Players[0];
    hero.Name.Set("Hero");
    hero.Level = 1;
    hero.Lives = 0;
    hero.Score = 45000;
    hero.PlayerShowHelp = 0;
    WriteGameDat(GameDat);
    SetLevelTime("Greece/01.map", 1);

    const std::vector<std::string> path = {"TW_ResCreator", "TW_Logo", "TW_MenuMain",  "TW_Dialog",
                                           "TW_MenuMap",    "TW_Game", "TW_MenuStats", "TW_HiScores"};
    ASSERT_EQ(Run("--seed 7 --frames 30000 --quit-after-screens " + std::to_string(path.size())), 0)
        << ReadBytes(Dir / "run.out");
    EXPECT_EQ(Screens(), path) << "continue, map, the level, the totals, the table";

    // The table kept at the quit holds the player's row; the player starts the country again.
    const TGameDat dat = ReadGameDat();
    int row = 0;
    for (int i = 1; i <= cHiScoreCount; ++i)
        if (dat.HiScores[i - 1].Name.Get() == "Hero") {
            EXPECT_EQ(row, 0) << "one row for one game";
            row = i;
        }
    ASSERT_GE(row, 1) << "the player's result is not in the table";
    EXPECT_GE(dat.HiScores[row - 1].Score, 45000);
    EXPECT_EQ(dat.HiScores[row - 1].Level, 1);
    for (int i = 1; i < cHiScoreCount; ++i)
        EXPECT_GE(dat.HiScores[i - 1].Score, dat.HiScores[i].Score) << "row " << i;
    EXPECT_EQ(dat.Players[0].Lives, 3);
    EXPECT_EQ(dat.Players[0].Score, 0);
    EXPECT_EQ(dat.Players[0].Level, 1);

    // On the screen the player's row, and only it, is in the yellow highlight font.
    TPicture table;
    ASSERT_TRUE(ReadPicture(Picture("_TW_HiScores.png"), table));
    ASSERT_EQ(table.Width, 800);
    for (int i = 1; i <= cHiScoreCount; ++i) {
        const int y = 135 + static_cast<int>(std::lround((i - 1) * 35.6));
        if (i == row)
            EXPECT_GT(YellowPixelsAround(table, y), 300) << "the player's row " << i << " is not lit";
        else
            EXPECT_LT(YellowPixelsAround(table, y), 20) << "row " << i << " is lit";
    }

    EXPECT_EQ(FailureLines(), std::vector<std::string>{});
    EXPECT_EQ(LogAfterStartUp(), std::vector<std::string>{});
}

TEST_F(Campaign, MenusAndLevelPlayedByTheBotReplayFromTheRecordingToTheSameGameDat) {
    // Whatever the bots do reaches the game as window messages: the recording alone, replayed
    // without them, makes the same player data and passes the same screens.
    std::ofstream(Dir / "Options.txt") << "Windowed 1\nWidth 800\nHeight 600\nSoundEnabled 0\n";
    const fs::path replay = Dir.string() + "_replay";
    fs::remove_all(replay);
    fs::copy(Dir, replay, fs::copy_options::recursive);
    const std::string common = "--seed 9 --frames 2500";
    ASSERT_EQ(Run(common + " --record rec.txt"), 0) << ReadBytes(Dir / "run.out");
    fs::copy_file(Dir / "rec.txt", replay / "rec.txt");
    ASSERT_EQ(RunIn(replay, common + " --script rec.txt"), 0) << ReadBytes(replay / "run.out");

    const std::string rec = ReadBytes(Dir / "rec.txt");
    EXPECT_NE(rec.find("keydown 16"), std::string::npos) << "the name was typed with Shift";
    EXPECT_NE(rec.find("down left"), std::string::npos);
    // The virtual display's pointer rests over the new window; that is the desk's input, not the
    // bot's, and arrives at a moment that depends on timing: it must not be in the recording.
    std::istringstream lines(rec);
    std::string first;
    while (std::getline(lines, first) && (first.empty() || first[0] == '#')) {
    }
    EXPECT_GE(std::atoi(first.c_str()), 40) << "input before the bot's first reading pause: " << first;
    const std::string original = ReadBytes(Dir / "PlayerData" / "Game.dat");
    const std::string replayed = ReadBytes(replay / "PlayerData" / "Game.dat");
    EXPECT_EQ(ReadGameDat().Players[0].Name.Get(), "Bot");
    ASSERT_EQ(original.size(), static_cast<size_t>(cGameDatSize));
    EXPECT_TRUE(original == replayed) << "the replay's player data differs";
    const std::vector<std::string> screens = Screens();
    EXPECT_GE(screens.size(), 9u) << "the run reached the level";
    EXPECT_EQ(e2e::Screens(replay), screens);
}

} // namespace
