// Which data folder a run uses, whether it is installed or portable, and the player's folders.
#include "app/datafolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace fs = std::filesystem;
using namespace velmora;

namespace {

class DataFolderChoice : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "velmora_datafolder_XXXXXX").string();
        Root = mkdtemp(pattern.data());
        // An installed tree: usr/bin/velmora and usr/share/velmora; a portable copy; a plain folder.
        fs::create_directories(Root / "usr" / "bin");
        fs::create_directories(Root / "usr" / "share" / "velmora" / "Textures");
        fs::create_directories(Root / "copy" / "Textures");
        fs::create_directories(Root / "home");
        Clues.ExeFolder = (Root / "usr" / "bin").string();
        Clues.FromExe = "../share/velmora";
        Clues.CurrentFolder = (Root / "home").string();
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(Root, ec);
    }
    std::string Installed() const { return (Root / "usr" / "share" / "velmora").string(); }

    fs::path Root;
    TDataFolderClues Clues;
};

TEST_F(DataFolderChoice, TheInstalledBinaryFindsItsDataBesideItselfFromAnyFolder) {
    const TDataFolder d = ChooseDataFolder(Clues);
    EXPECT_EQ(d.Folder, Installed());
    EXPECT_TRUE(d.Installed);
    // Even from a portable copy: the binary's own data wins.
    Clues.CurrentFolder = (Root / "copy").string();
    EXPECT_EQ(ChooseDataFolder(Clues).Folder, Installed());
}

TEST_F(DataFolderChoice, StartedInsideItsDataFolderTheRunIsPortable) {
    Clues.CurrentFolder = Installed();
    const TDataFolder d = ChooseDataFolder(Clues);
    EXPECT_EQ(d.Folder, Installed());
    EXPECT_FALSE(d.Installed);
}

TEST_F(DataFolderChoice, ABinaryAwayFromAnInstallationRunsPortableInTheCurrentFolder) {
    Clues.ExeFolder = (Root / "build").string(); // the build tree: nothing at ../share/velmora
    Clues.CurrentFolder = (Root / "copy").string();
    Clues.InstallData = Installed();
    TDataFolder d = ChooseDataFolder(Clues);
    EXPECT_EQ(d.Folder, Clues.CurrentFolder);
    EXPECT_FALSE(d.Installed);
    // Outside any data folder the compiled-in installation is used.
    Clues.CurrentFolder = (Root / "home").string();
    d = ChooseDataFolder(Clues);
    EXPECT_EQ(d.Folder, Installed());
    EXPECT_TRUE(d.Installed);
    // Without any, today's behaviour: the current folder.
    Clues.InstallData.clear();
    d = ChooseDataFolder(Clues);
    EXPECT_EQ(d.Folder, Clues.CurrentFolder);
    EXPECT_FALSE(d.Installed);
}

TEST_F(DataFolderChoice, TheEnvironmentNamesTheDataFolder) {
    Clues.EnvData = (Root / "copy").string();
    TDataFolder d = ChooseDataFolder(Clues);
    EXPECT_EQ(d.Folder, Clues.EnvData);
    EXPECT_TRUE(d.Installed);
    Clues.CurrentFolder = Clues.EnvData;
    EXPECT_FALSE(ChooseDataFolder(Clues).Installed);
    Clues.EnvData += "/"; // the same folder, spelled with a trailing separator
    EXPECT_EQ(ChooseDataFolder(Clues).Folder, Clues.CurrentFolder);
}

// Sets the variables for one test and puts the old values back.
class TEnvironment {
  public:
    ~TEnvironment() {
        for (const auto& [name, value] : Saved)
            value ? setenv(name.c_str(), value->c_str(), 1) : unsetenv(name.c_str());
    }
    void Keep(const char* name) {
        const char* v = std::getenv(name);
        Saved.emplace_back(name, v ? std::optional<std::string>(v) : std::nullopt);
    }

  private:
    std::vector<std::pair<std::string, std::optional<std::string>>> Saved;
};

TEST(UserFolders, XdgVariablesWithTheirDefaultsUnderHome) {
    TEnvironment env;
    for (const char* v : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_STATE_HOME", "XDG_CACHE_HOME"})
        env.Keep(v);
    setenv("HOME", "/home/player", 1);
    setenv("XDG_CONFIG_HOME", "/elsewhere/config", 1);
    setenv("XDG_DATA_HOME", "", 1);                // empty: the default
    setenv("XDG_STATE_HOME", "relative/state", 1); // not absolute: ignored
    unsetenv("XDG_CACHE_HOME");
    const TUserFolders u = UserFoldersOfProcess();
    EXPECT_EQ(u.Config, "/elsewhere/config/velmora");
    EXPECT_EQ(u.Data, "/home/player/.local/share/velmora");
    EXPECT_EQ(u.State, "/home/player/.local/state/velmora");
    EXPECT_EQ(u.Cache, "/home/player/.cache/velmora");
}

} // namespace
