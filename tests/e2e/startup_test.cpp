#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "e2e_support.h"

namespace fs = std::filesystem;

namespace {

// Runs the real game binary in a fresh data folder under the test command's virtual display.
class StartUp : public ::testing::Test {
  protected:
    void SetUp() override {
        Dir = fs::temp_directory_path() / ("velmora_e2e_" + std::to_string(::getpid()));
        fs::remove_all(Dir);
        fs::create_directories(Dir);
    }
    void TearDown() override { fs::remove_all(Dir); }
    int Run(const std::string& args) { return velmora::e2e::RunGame(Dir, args); }
    std::vector<std::string> Log() {
        std::ifstream in(Dir / "Error.log");
        std::vector<std::string> lines;
        for (std::string l; std::getline(in, l);)
            lines.push_back(l);
        return lines;
    }
    static bool Has(const std::vector<std::string>& lines, const std::string& line) {
        for (const std::string& l : lines)
            if (l == line) return true;
        return false;
    }
    fs::path Dir;
};

TEST_F(StartUp, FixedStepRunWritesScreenshotAndStartUpLines) {
    ASSERT_EQ(Run("--fixed-step --seed 1 --frames 120 --screenshot 60:shot.png --windowed"), 0);
    const fs::path shot = Dir / "shot.png";
    ASSERT_TRUE(fs::exists(shot));
    EXPECT_GT(fs::file_size(shot), 800u * 600u * 4u);
    std::ifstream png(shot, std::ios::binary);
    char magic[8] = {};
    png.read(magic, 8);
    EXPECT_EQ(std::string(magic + 1, 3), "PNG");

    const std::vector<std::string> log = Log();
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log[0], std::string(64, '*'));
    for (const char* line :
         {"TD3DApplication.Create_: ----->>start", "TD3DApplication.Create_: Interface creation succeeded",
          "TD3DApplication.Create_: Build device list succeeded",
          "TD3DApplication.Create_: CreateWindow succeeded",
          "TD3DApplication.Initialize3DEnvironment: RestoreDeviceObjects succeeded",
          "TD3DApplication.Create_: Initialize3DEnvironment succeeded",
          "TD3DApplication.Create_: OneTimeSceneInit succeeded", "TD3DApplication.Create_: <<-----end",
          "//----------- START Adapter information -----------//",
          "//------------- END Adapter information -----------//"})
        EXPECT_TRUE(Has(log, line)) << line;
    EXPECT_FALSE(Has(log, "Project: Failed initialization Direct3D"));
}

TEST_F(StartUp, OptionsFileIsCopiedIntoTheLogAndScriptedRunEndsCleanly) {
    std::ofstream(Dir / "Options.txt") << "Windowed 1\nWidth 1024\nHeight 768\n";
    std::ofstream(Dir / "script.txt") << "# close early\n5 close\n";
    ASSERT_EQ(Run("--fixed-step --frames 200 --script script.txt"), 0);
    const std::vector<std::string> log = Log();
    EXPECT_TRUE(Has(log, "****-----------------------Options.txt----------------------****"));
    EXPECT_TRUE(Has(log, "Width 1024"));
    EXPECT_TRUE(Has(log, "TD3DApplication.Create_: <<-----end"));
}

TEST_F(StartUp, BadOptionIsRefusedBeforeAnythingStarts) {
    EXPECT_EQ(Run("--frames nope"), 2);
    EXPECT_FALSE(fs::exists(Dir / "Error.log"));
}

} // namespace
