#include "app/gamedat.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <filesystem>
#include <memory>
#include <sys/resource.h>

#include "app/language.h"
#include "platform/win32.h"
#include "services_fixture.h"

namespace velmora {
namespace {

using testing::TServicesFolder;

int32_t I32At(const std::vector<uint8_t>& b, size_t at) {
    return static_cast<int32_t>(b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) |
                                (static_cast<uint32_t>(b[at + 3]) << 24));
}
float F32At(const std::vector<uint8_t>& b, size_t at) {
    const uint32_t bits = static_cast<uint32_t>(I32At(b, at));
    float f;
    std::memcpy(&f, &bits, 4);
    return f;
}
std::string NameAt(const std::vector<uint8_t>& b, size_t at) {
    return std::string(reinterpret_cast<const char*>(&b[at + 1]), b[at]);
}

constexpr size_t cPlayer2 = 24 + 24952;
constexpr size_t cHiScore3 = 99832 + 2 * 20;

class GameDatTest : public ::testing::Test {
  protected:
    void SetUp() override { GameDat = TGameDat{}; }
    void TearDown() override { GameDat = TGameDat{}; }
    std::vector<uint8_t> SavedBytes() const { return Folder.ReadBytes("PlayerData/Game.dat"); }

    TServicesFolder Folder;
};

TEST_F(GameDatTest, NewInstallationStartsWithTheDefaults) {
    Folder.Write("Texts/Language.txt", "Ger\n");
    Folder.Write("Texts/TextResourses.txt",
                 "$$>TEXT_Nobody\nEng:\"Nobody\"\nGer:\"Niemand-Keiner-Nie\"\n$$<\n");
    auto lang = std::make_unique<TLang>();
    GameDat.CurrentPlayer = 3; // leftovers must not survive the defaults
    LoadGameDat();

    EXPECT_EQ(GameDat.FullScreen, 1);
    EXPECT_EQ(GameDat.ShowHelp, 1);
    EXPECT_EQ(GameDat.DragNDrop, 0);
    EXPECT_FLOAT_EQ(GameDat.SoundVolume, 0.75f);
    EXPECT_FLOAT_EQ(GameDat.MusicVolume, 0.75f);
    EXPECT_EQ(GameDat.PlayerCount, 0);
    EXPECT_EQ(GameDat.CurrentPlayer, 0);
    const int32_t scores[] = {250000, 200000, 150000, 120000, 100000, 80000, 60000, 40000, 20000, 10000};
    for (int i = 0; i < cHiScoreCount; ++i) {
        EXPECT_EQ(GameDat.HiScores[i].Name.Get(), "Niemand-Kei") << i; // cut to 11 characters
        EXPECT_EQ(GameDat.HiScores[i].Score, scores[i]);
        EXPECT_EQ(GameDat.HiScores[i].Level, 0);
    }
    EXPECT_EQ(GameDat.Players[0].Level, 0);
    EXPECT_EQ(Folder.LogText().find("uGameDat"), std::string::npos); // no message for a missing file
}

TEST_F(GameDatTest, SavedBytesSitAtTheirOffsets) {
    SetDefaults();
    GameDat.SoundVolume = 0.5f;
    GameDat.MusicVolume = 0.25f;
    GameDat.DragNDrop = 1;
    GameDat.PlayerCount = 2;
    GameDat.CurrentPlayer = 2;
    TPlayerRec& p = GameDat.Players[1];
    ClearPlayer(2);
    p.Name.Set("Alice");
    p.Level = 7;
    p.Lives = 2;
    p.ScoreAtStart = 1234;
    p.BonusCount[3] = 5;         // bonus code 4
    p.BonusCountAtStart[11] = 9; // bonus code 12
    p.TimeLeft = 321.5f;
    p.XX[1].XXFactor = 3;
    p.XX[1].XXTime = 59.0f;
    p.BestCascade = 6;
    p.BonusesDropped = 4;
    p.LevelInProgress = 1;
    const size_t cell = ((2 - 1) * 32 + (3 - 1)) * 24; // cell (2, 3)
    p.LevelSnapshot[cell] = 2;                         // Kind
    p.LevelSnapshot[cell + 4] = 7;                     // Value
    p.SliceDone[5 - 1] = 1;
    p.HelpShown[22] = 1;
    p.TotalChips = 1000;
    p.TotalLives = 5;
    p.PlayerDragNDrop = 1;
    EXPECT_EQ(InsertHiScore("Bob", 12, 160000), 3);
    ASSERT_TRUE(SaveGameDat());

    const auto b = SavedBytes();
    ASSERT_EQ(b.size(), 100032u);
    EXPECT_EQ(I32At(b, 0), 0);
    EXPECT_FLOAT_EQ(F32At(b, 4), 0.5f);
    EXPECT_FLOAT_EQ(F32At(b, 8), 0.25f);
    EXPECT_EQ(b[12], 1);
    EXPECT_EQ(b[13], 1);
    EXPECT_EQ(b[14], 1);
    EXPECT_EQ(I32At(b, 16), 2);
    EXPECT_EQ(I32At(b, 20), 2);
    EXPECT_EQ(NameAt(b, cPlayer2), "Alice");
    EXPECT_EQ(I32At(b, cPlayer2 + 12), 7);
    EXPECT_EQ(I32At(b, cPlayer2 + 16), 2);
    EXPECT_EQ(I32At(b, cPlayer2 + 28), 1234);
    EXPECT_EQ(I32At(b, cPlayer2 + 32 + 3 * 4), 5);
    EXPECT_EQ(I32At(b, cPlayer2 + 80 + 11 * 4), 9);
    EXPECT_FLOAT_EQ(F32At(b, cPlayer2 + 128), 321.5f);
    EXPECT_EQ(I32At(b, cPlayer2 + 140), 3);
    EXPECT_FLOAT_EQ(F32At(b, cPlayer2 + 144), 59.0f);
    EXPECT_EQ(I32At(b, cPlayer2 + 172), 6);
    EXPECT_EQ(I32At(b, cPlayer2 + 184), 4);
    EXPECT_EQ(b[cPlayer2 + 188], 1);
    EXPECT_EQ(b[cPlayer2 + 192 + cell], 2);
    EXPECT_EQ(I32At(b, cPlayer2 + 192 + cell + 4), 7);
    EXPECT_EQ(b[cPlayer2 + 24767 + 5], 1);
    EXPECT_EQ(b[cPlayer2 + 24896 + 22], 1);
    EXPECT_EQ(I32At(b, cPlayer2 + 24920), 1000);
    EXPECT_EQ(I32At(b, cPlayer2 + 24944), 5);
    EXPECT_EQ(b[cPlayer2 + 24948], 1);
    EXPECT_EQ(b[cPlayer2 + 24949], 1);
    EXPECT_EQ(NameAt(b, cHiScore3), "Bob");
    EXPECT_EQ(I32At(b, cHiScore3 + 12), 12);
    EXPECT_EQ(I32At(b, cHiScore3 + 16), 160000);
    EXPECT_EQ(I32At(b, 99832 + 9 * 20 + 16), 20000); // the old ninth entry is tenth now
}

TEST_F(GameDatTest, SaveAndLoadGiveBackTheSameRecord) {
    SetDefaults();
    GameDat.PlayerCount = 1;
    GameDat.CurrentPlayer = 1;
    ClearPlayer(1);
    GameDat.Players[0].Name.Set("Zed");
    GameDat.Players[0].Score = 4321;
    ASSERT_TRUE(SaveGameDat());
    const TGameDat saved = GameDat;
    GameDat = TGameDat{};
    LoadGameDat();
    EXPECT_EQ(std::memcmp(&saved, &GameDat, sizeof(TGameDat)), 0);
    EXPECT_EQ(CurrentPlayerRec().Name.Get(), "Zed");
}

TEST_F(GameDatTest, AFileOneByteShortIsTreatedAsMissing) {
    std::vector<uint8_t> bytes(cGameDatSize - 1, 0);
    bytes[16] = 3; // PlayerCount
    Folder.WriteBytes("PlayerData/Game.dat", bytes);
    LoadGameDat();
    EXPECT_EQ(GameDat.PlayerCount, 0);
    EXPECT_FLOAT_EQ(GameDat.SoundVolume, 0.75f);
    EXPECT_EQ(GameDat.HiScores[0].Score, 250000);
}

TEST_F(GameDatTest, HostileValuesAreLoggedAndKeptInRange) {
    std::vector<uint8_t> bytes(cGameDatSize, 0);
    bytes[12] = 1;
    bytes[16] = 200; // PlayerCount
    bytes[20] = 9;   // CurrentPlayer
    bytes[7] = 0x7F; // SoundVolume: a huge float
    bytes[24] = 250; // player 1's name claims 250 characters
    Folder.WriteBytes("PlayerData/Game.dat", bytes);
    LoadGameDat();
    EXPECT_EQ(GameDat.PlayerCount, 4);
    EXPECT_EQ(GameDat.CurrentPlayer, 0);
    EXPECT_FLOAT_EQ(GameDat.SoundVolume, 1.0f);
    EXPECT_EQ(GameDat.Players[0].Name.Get().size(), 11u);
    const std::string log = Folder.LogText();
    EXPECT_NE(log.find("CurrentPlayer=9"), std::string::npos);
    EXPECT_NE(log.find("PlayerCount=200"), std::string::npos);

    // Without a selected player the writes go to a spare record, not over the settings.
    const TGameDat before = GameDat;
    CurrentPlayerRec().Level = 55;
    CurrentPlayerRec().Name.Set("Ghost");
    EXPECT_EQ(std::memcmp(&before, &GameDat, sizeof(TGameDat)), 0);
}

TEST_F(GameDatTest, InsertHiScorePlacesTiesAfterAndDropsTheLast) {
    SetDefaults();
    EXPECT_EQ(InsertHiScore("Tie", 3, 100000), 6); // equal to the fifth entry
    EXPECT_EQ(GameDat.HiScores[4].Score, 100000);
    EXPECT_EQ(GameDat.HiScores[5].Name.Get(), "Tie");
    EXPECT_EQ(GameDat.HiScores[5].Level, 3);
    EXPECT_EQ(GameDat.HiScores[6].Score, 80000);
    EXPECT_EQ(GameDat.HiScores[9].Score, 20000); // 10000 dropped out

    EXPECT_EQ(InsertHiScore("A very long name", 77, 999999), 1);
    EXPECT_EQ(GameDat.HiScores[0].Name.Get(), "A very long");
    EXPECT_EQ(GameDat.HiScores[1].Score, 250000);
    EXPECT_EQ(GameDat.HiScores[9].Score, 40000);

    // A score that beats none still takes the tenth place.
    EXPECT_EQ(InsertHiScore("Low", 1, 5), 10);
    EXPECT_EQ(GameDat.HiScores[9].Name.Get(), "Low");
    EXPECT_EQ(GameDat.HiScores[9].Score, 5);
    EXPECT_EQ(GameDat.HiScores[8].Score, 60000);
}

TEST_F(GameDatTest, ResetPlayerKeepsNameAndShownHelpOnly) {
    SetDefaults();
    TPlayerRec& p = GameDat.Players[2];
    p.Name.Set("Carla");
    p.Level = 33;
    p.Lives = 1;
    p.Score = 777;
    p.LevelInProgress = 1;
    p.LevelSnapshot[100] = 5;
    p.HelpShown[0] = 1;
    p.HelpShown[22] = 1;
    p.PlayerShowHelp = 0;
    p.PlayerDragNDrop = 1;
    p.TotalChips = 50;
    GameDat.Players[3].Score = 42; // a neighbour stays untouched
    ResetPlayer(3);
    EXPECT_EQ(p.Name.Get(), "Carla");
    EXPECT_EQ(p.HelpShown[0], 1);
    EXPECT_EQ(p.HelpShown[22], 1);
    EXPECT_EQ(p.Level, 0);
    EXPECT_EQ(p.Lives, 3);
    EXPECT_EQ(p.Score, 0);
    EXPECT_EQ(p.LevelInProgress, 0);
    EXPECT_EQ(p.LevelSnapshot[100], 0);
    EXPECT_EQ(p.TotalChips, 0);
    EXPECT_EQ(p.PlayerShowHelp, 1);
    EXPECT_EQ(p.PlayerDragNDrop, 0);
    EXPECT_EQ(GameDat.Players[3].Score, 42);

    ClearPlayer(3);
    EXPECT_EQ(p.Name.Get(), "");
    EXPECT_EQ(p.HelpShown[0], 0);
    ResetPlayer(0); // out of range: nothing happens
    ResetPlayer(5);
}

// Lowers the largest file this process may write, so that a save stops half-way.
class TFileSizeLimit {
  public:
    explicit TFileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &Saved);
        OldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit lowered = Saved;
        lowered.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &lowered);
    }
    ~TFileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &Saved);
        std::signal(SIGXFSZ, OldHandler);
    }

  private:
    rlimit Saved{};
    void (*OldHandler)(int) = nullptr;
};

TEST_F(GameDatTest, ASaveFailingHalfWayLeavesThePreviousFileLoadable) {
    SetDefaults();
    GameDat.PlayerCount = 1;
    GameDat.Players[0].Name.Set("Kept");
    ASSERT_TRUE(SaveGameDat());

    GameDat.Players[0].Name.Set("Lost");
    ClearShownMessageBoxes();
    {
        TFileSizeLimit limit(50000);
        EXPECT_FALSE(SaveGameDat());
        EXPECT_FALSE(SaveGameDat()); // the next level's save fails too
    }
    // Each failure is logged with the file and the reason; the player is told once, not at every save.
    const std::string file = (Folder.Dir / "PlayerData" / "Game.dat").string();
    const std::string line = "uGameDat.SaveGameDat: Cann't save data to \"" + file + "\": File too large";
    const std::string log = Folder.LogText();
    ASSERT_NE(log.find(line), std::string::npos) << log;
    EXPECT_NE(log.find(line, log.find(line) + 1), std::string::npos) << "the second failure is logged too";
    ASSERT_EQ(ShownMessageBoxes().size(), 1u);
    EXPECT_NE(ShownMessageBoxes()[0].Text.find(file), std::string::npos) << ShownMessageBoxes()[0].Text;
    EXPECT_NE(ShownMessageBoxes()[0].Text.find("could not be saved"), std::string::npos);
    EXPECT_EQ(GameDat.Players[0].Name.Get(), "Lost"); // the game goes on with the data in memory

    GameDat = TGameDat{};
    LoadGameDat();
    EXPECT_EQ(GameDat.PlayerCount, 1);
    EXPECT_EQ(GameDat.Players[0].Name.Get(), "Kept");
    for (const auto& entry : std::filesystem::directory_iterator(Folder.Dir / "PlayerData"))
        EXPECT_EQ(entry.path().filename(), "Game.dat"); // no temporary file left behind
}

TEST_F(GameDatTest, SaveCreatesThePlayerFolderAndReportsWhenItCannot) {
    SetDefaults();
    ASSERT_TRUE(SaveGameDat()); // the folder did not exist yet
    EXPECT_EQ(SavedBytes().size(), 100032u);

    std::filesystem::remove_all(Folder.Dir / "PlayerData");
    Folder.Write("PlayerData", "a file where the folder should be");
    EXPECT_FALSE(SaveGameDat());
    const std::string file = (Folder.Dir / "PlayerData" / "Game.dat").string();
    EXPECT_NE(Folder.LogText().find("Cann't save data to \"" + file + "\": Not a directory"),
              std::string::npos)
        << Folder.LogText();
}

TEST_F(GameDatTest, AScratchPlayerLeavesTheRecordsTheTableAndTheFileAlone) {
    SetDefaults();
    GameDat.PlayerCount = 1;
    GameDat.CurrentPlayer = 1;
    ClearPlayer(1);
    GameDat.Players[0].Name.Set("Real");
    GameDat.Players[0].Level = 9;
    ASSERT_TRUE(SaveGameDat());
    const std::vector<uint8_t> fileBefore = SavedBytes();
    const TGameDat before = GameDat;

    TPlayerRec scratch{};
    scratch.Level = 4;
    BeginScratchPlayer(scratch);
    EXPECT_TRUE(ScratchPlayerInUse());
    EXPECT_EQ(CurrentPlayerRec().Level, 4) << "the level played is the scratch record's";
    CurrentPlayerRec().Score = 777;
    CurrentPlayerRec().Level = 5;
    EXPECT_EQ(InsertHiScore("Demo", 5, 999999), 0);
    EXPECT_FALSE(SaveGameDat()) << "nothing may be written while the scratch is in use";
    EndScratchPlayer();

    EXPECT_FALSE(ScratchPlayerInUse());
    EXPECT_EQ(std::memcmp(&before, &GameDat, sizeof(TGameDat)), 0) << "the players and the table changed";
    EXPECT_EQ(SavedBytes(), fileBefore) << "Game.dat was written";
    EXPECT_EQ(CurrentPlayerRec().Name.Get(), "Real");
    EXPECT_EQ(CurrentPlayerRec().Level, 9);
    EXPECT_NE(Folder.LogText().find("nothing written"), std::string::npos);

    // A later scratch starts from what it is given, not from the last one's leftovers.
    BeginScratchPlayer(TPlayerRec{});
    EXPECT_EQ(CurrentPlayerRec().Score, 0);
    EndScratchPlayer();
    ASSERT_TRUE(SaveGameDat()) << "saving works again once the scratch is gone";
}

} // namespace
} // namespace velmora
