// The game played without a mouse, from a fresh data folder (no player data) to a won level 1 and
// the map of level 2: by the bot's keyboard hands, and by its gamepad hands, whose recorded session
// replays as a script of pad lines alone.
#include <gtest/gtest.h>

#include <map>
#include <set>
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

class NoMouse : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!DataFolderBuilt())
            GTEST_SKIP() << "no data folder at " << VELMORA_DATA_DIR << " (build content_data)";
        Root = fs::temp_directory_path() / ("velmora_nomouse_" + std::to_string(::getpid()));
        fs::remove_all(Root);
        fs::create_directories(Root);
    }
    void TearDown() override {
        if (!Root.empty()) fs::remove_all(Root);
    }

    // A new installation's folder: no player data, no log; the display settings already chosen
    // (their dialog is the desktop's own, outside the game's windows).
    fs::path Fresh(const std::string& name) {
        const fs::path dir = Root / name;
        fs::copy(VELMORA_DATA_DIR, dir, fs::copy_options::recursive);
        for (const char* f : {"Error.log", "PlayerData/Game.dat"})
            fs::remove(dir / f);
        std::ofstream(dir / "Options.txt") << "Windowed 1\nWidth 800\nHeight 600\nSoundEnabled 0\n";
        return dir;
    }

    // The screens of a new player up to the map of level 2.
    std::vector<std::string> PathToLevelTwo(const fs::path& dir) const {
        std::vector<std::string> path = {"TW_ResCreator", "TW_Logo",      "TW_MenuMain",  "TW_MenuPlayer",
                                         "TW_MenuName",   "TW_History",   "TW_MenuMap",   "TW_Help",
                                         "TW_Game",       "TW_MenuStats", "TW_Artefacts", "TW_MenuMap"};
        if (fs::exists(dir / "Textures" / "Glares1.tga")) path.erase(path.begin()); // nothing to derive
        return path;
    }

    int Play(const fs::path& dir, const std::string& args, size_t screens) {
        return RunGame(dir,
                       "--windowed --fixed-step --draw-shots-only --seed 5 --frames 30000 --screens screens "
                       "--quit-after-screens " +
                           std::to_string(screens) + " " + args,
                       300);
    }

    // The recording's messages, "FRAME keydown VK" ...; the comment line left out.
    static std::vector<std::string> Events(const fs::path& file) {
        std::vector<std::string> out;
        for (const std::string& l : ReadLines(file))
            if (!l.empty() && l[0] != '#') out.push_back(l);
        return out;
    }

    static void ExpectLevelTwoReached(const fs::path& dir) {
        const TGameDat dat = ReadGameDat(dir);
        ASSERT_EQ(dat.PlayerCount, 1);
        const TPlayerRec& p = dat.Players[0];
        EXPECT_EQ(p.Level, 2) << "level 1 won";
        EXPECT_EQ(p.LevelInProgress, 0);
        EXPECT_GT(p.Score, 0);
        EXPECT_GT(p.TotalChips, 0);
    }

    fs::path Root;
};

TEST_F(NoMouse, KeyboardOnlyNewPlayerWinsLevelOneAndReachesTheMapOfLevelTwo) {
    const fs::path dir = Fresh("keys");
    const std::vector<std::string> path = PathToLevelTwo(dir);
    ASSERT_EQ(Play(dir, "--autoplay --autoplay-input=keys --record rec.txt", path.size()), 0)
        << ReadBytes(dir / "run.out");
    EXPECT_EQ(Screens(dir), path);
    ExpectLevelTwoReached(dir);
    EXPECT_EQ(ReadGameDat(dir).Players[0].Name.Get(), "Bot") << "typed on the keyboard";

    // Every input was a key; the arrows, the pick key and Enter did the work.
    std::set<int> keys;
    for (const std::string& e : Events(dir / "rec.txt")) {
        std::istringstream words(e);
        std::string frame, kind;
        int vk = 0;
        words >> frame >> kind >> vk;
        EXPECT_TRUE(kind == "keydown" || kind == "keyup") << e;
        keys.insert(vk);
    }
    for (const int k : {37, 38, 39, 40, 13})
        EXPECT_TRUE(keys.count(k)) << "key " << k << " was never pressed";
}

TEST_F(NoMouse, GamepadOnlyNewPlayerWinsLevelOneAndThePadScriptReplaysIt) {
    const fs::path dir = Fresh("pad");
    const std::vector<std::string> path = PathToLevelTwo(dir);
    ASSERT_EQ(Play(dir, "--autoplay --autoplay-input=pad --record rec.txt", path.size()), 0)
        << ReadBytes(dir / "run.out");
    EXPECT_EQ(Screens(dir), path);
    ExpectLevelTwoReached(dir);
    EXPECT_EQ(ReadGameDat(dir).Players[0].Name.Get(), "Bot") << "turned letter by letter";

    // Only keys a pad sends, each pressed and let go in one frame: the session as pad lines.
    const std::map<int, std::string> pad = {{13, "A"},    {27, "B"},    {112, "X"},    {113, "Y"},
                                            {114, "LB"},  {115, "RB"},  {19, "start"}, {38, "up"},
                                            {40, "down"}, {37, "left"}, {39, "right"}};
    const std::vector<std::string> events = Events(dir / "rec.txt");
    ASSERT_FALSE(events.empty());
    std::string script;
    for (size_t i = 0; i < events.size(); ++i) {
        std::istringstream words(events[i]);
        std::string frame, kind;
        int vk = 0;
        words >> frame >> kind >> vk;
        ASSERT_TRUE(pad.count(vk)) << "not a pad's key: " << events[i];
        ASSERT_EQ(kind, "keydown") << events[i];
        ASSERT_LT(i + 1, events.size());
        ASSERT_EQ(events[i + 1], frame + " keyup " + std::to_string(vk));
        script += frame + " pad " + pad.at(vk) + "\n";
        ++i;
    }
    const fs::path replay = Fresh("replay");
    std::ofstream(replay / "pad.txt") << script;
    ASSERT_EQ(Play(replay, "--script pad.txt", path.size()), 0) << ReadBytes(replay / "run.out");
    EXPECT_EQ(Screens(replay), path);
    EXPECT_TRUE(ReadBytes(dir / "PlayerData" / "Game.dat") == ReadBytes(replay / "PlayerData" / "Game.dat"))
        << "the pad lines played a different game";
}

} // namespace
