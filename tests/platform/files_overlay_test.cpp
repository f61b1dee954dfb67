// An installed data folder overlaid by the player's folders: reads find the player's copy first,
// every write lands in the player's folder, and the data folder stays byte for byte as it was.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/files.h"

namespace fs = std::filesystem;
using namespace velmora;

namespace {

std::string Read(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void Write(const fs::path& p, const std::string& text) {
    fs::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary) << text;
}

// Every entry of a folder with its size and time, to show that nothing in it changed.
std::string Listing(const fs::path& dir) {
    std::string out;
    for (const auto& e : fs::recursive_directory_iterator(dir)) {
        out += fs::relative(e.path(), dir).string() + " " +
               std::to_string(e.is_regular_file() ? e.file_size() : 0) + " " +
               std::to_string(e.last_write_time().time_since_epoch().count()) + "\n";
    }
    return out;
}

class WriteOverlay : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "velmora_overlay_XXXXXX").string();
        Root = mkdtemp(pattern.data());
        Data = Root / "share" / "velmora";
        Write(Data / "Textures" / "Chips.tga", "shipped chips");
        Write(Data / "Textures" / "Arts" / "Greece" / "Norm.tga", "shipped art");
        Write(Data / "Options.txt", "shipped options");
        fs::create_directories(Data / "PlayerData");
        AddWriteOverlay(Data.string() + "/Options.txt", (Root / "config" / "Options.txt").string());
        AddWriteOverlay(Data.string() + "/PlayerData", (Root / "home" / "PlayerData").string());
        AddWriteOverlay(Data.string() + "/", (Root / "cache").string() + "/"); // a trailing separator
        Before = Listing(Data);
    }
    void TearDown() override {
        ClearWriteOverlays();
        std::error_code ec;
        fs::remove_all(Root, ec);
    }
    // The game spells paths with backslashes under its base folder.
    std::string Game(const std::string& rel) const { return Data.string() + "\\" + rel; }

    fs::path Root, Data;
    std::string Before;
};

TEST_F(WriteOverlay, WritesLandInThePlayersFoldersAndTheDataFolderStaysUntouched) {
    ASSERT_TRUE(WriteWholeFile(Game("Textures\\Glares1.tga"), "derived", 7));
    ASSERT_TRUE(CreateDirectory(Game("textures\\arts\\greece\\001"))); // the game's own letter case
    ASSERT_TRUE(WriteWholeFile(Game("Textures\\Arts\\Greece\\001\\Slice.tga"), "slice", 5));
    ASSERT_TRUE(WriteWholeFile(Game("Options.txt"), "mine", 4));
    ASSERT_TRUE(CreateDirectory(Game("PlayerData")));
    ASSERT_TRUE(WriteWholeFile(Game("PlayerData\\Game.dat"), "save", 4));
    ASSERT_TRUE(AppendToFile(Game("Error.log"), "line\n"));

    EXPECT_EQ(Read(Root / "cache" / "Textures" / "Glares1.tga"), "derived");
    // The copy keeps the data folder's spelling, so that later reads find it.
    EXPECT_EQ(Read(Root / "cache" / "Textures" / "Arts" / "Greece" / "001" / "Slice.tga"), "slice");
    EXPECT_EQ(Read(Root / "config" / "Options.txt"), "mine");
    EXPECT_EQ(Read(Root / "home" / "PlayerData" / "Game.dat"), "save");
    EXPECT_EQ(Read(Root / "cache" / "Error.log"), "line\n");
    EXPECT_EQ(Listing(Data), Before);
}

TEST_F(WriteOverlay, ReadsFindThePlayersCopyFirstThenTheInstalledData) {
    EXPECT_EQ(ResolvePath(Game("Options.txt")), (Data / "Options.txt").string());
    EXPECT_TRUE(FileExists(Game("Textures\\Chips.tga")));
    EXPECT_FALSE(FileExists(Game("Textures\\Glares1.tga")));

    ASSERT_TRUE(WriteWholeFile(Game("Options.txt"), "mine", 4));
    ASSERT_TRUE(WriteWholeFile(Game("Textures\\Glares1.tga"), "derived", 7));
    std::string text;
    ASSERT_TRUE(ReadWholeFile(Game("Options.txt"), text));
    EXPECT_EQ(text, "mine");
    EXPECT_TRUE(FileExists(Game("textures\\glares1.tga")));
    ASSERT_TRUE(ReadWholeFile(Game("Textures\\Chips.tga"), text)); // not in the player's folder
    EXPECT_EQ(text, "shipped chips");

    EXPECT_EQ(ListFiles(Game("Textures"), ".tga"), (std::vector<std::string>{"Chips.tga", "Glares1.tga"}));

    // Deleting removes the player's copy only; the shipped file shows through again.
    EXPECT_TRUE(DeleteFile(Game("Options.txt")));
    ASSERT_TRUE(ReadWholeFile(Game("Options.txt"), text));
    EXPECT_EQ(text, "shipped options");
    EXPECT_EQ(Listing(Data), Before);
}

TEST_F(WriteOverlay, AFailedWriteSaysWhyAndPortableRunsWriteInPlace) {
    Write(Root / "home" / "PlayerData", "a file where the folder should be");
    EXPECT_FALSE(CreateDirectory(Game("PlayerData")));
    EXPECT_EQ(LastWriteError(), "Not a directory");
    EXPECT_FALSE(WriteWholeFile(Game("PlayerData\\Game.dat"), "save", 4));
    EXPECT_EQ(LastWriteError(), "Not a directory");

    ClearWriteOverlays();
    ASSERT_TRUE(WriteWholeFile(Game("Textures\\Glares1.tga"), "derived", 7));
    EXPECT_EQ(Read(Data / "Textures" / "Glares1.tga"), "derived");
}

} // namespace
