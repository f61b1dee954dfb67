#include "app/datafolder.h"

#include <cstdlib>
#include <filesystem>
#include <pwd.h>
#include <unistd.h>

#include "platform/files.h"

// The build system names the installed layout; a build without it looks only beside the binary.
#ifndef VELMORA_DATA_FROM_BIN
#define VELMORA_DATA_FROM_BIN "../share/velmora"
#endif
#ifndef VELMORA_INSTALL_DATA_DIR
#define VELMORA_INSTALL_DATA_DIR ""
#endif

namespace fs = std::filesystem;

namespace velmora {

namespace {

bool HoldsGameData(const std::string& folder) {
    std::error_code ec;
    return !folder.empty() && fs::is_directory(fs::path(folder) / "Textures", ec);
}

bool SameFolder(const std::string& a, const std::string& b) {
    std::error_code ec;
    return fs::equivalent(a, b, ec);
}

std::string EnvOr(const char* name, const std::string& fallback) {
    const char* v = std::getenv(name);
    return v && *v ? v : fallback;
}

std::string HomeFolder() {
    std::string home = EnvOr("HOME", "");
    if (home.empty())
        if (const passwd* pw = getpwuid(getuid())) home = pw->pw_dir ? pw->pw_dir : "";
    return home.empty() ? "/tmp" : home;
}

// The XDG rule: a relative value is invalid and ignored.
std::string XdgFolder(const char* variable, const std::string& defaultUnderHome) {
    const std::string value = EnvOr(variable, "");
    const fs::path base =
        !value.empty() && value[0] == '/' ? fs::path(value) : fs::path(HomeFolder()) / defaultUnderHome;
    return (base / "velmora").lexically_normal().string();
}

} // namespace

TDataFolder ChooseDataFolder(const TDataFolderClues& clues) {
    auto found = [&clues](const std::string& folder) {
        return TDataFolder{folder, !SameFolder(folder, clues.CurrentFolder)};
    };
    if (!clues.EnvData.empty()) {
        std::error_code ec;
        fs::path env = fs::absolute(clues.EnvData, ec).lexically_normal();
        if (!env.has_filename() && env != env.root_path()) env = env.parent_path();
        return found(env.string());
    }
    if (!clues.ExeFolder.empty() && !clues.FromExe.empty()) {
        const std::string besideExe = (fs::path(clues.ExeFolder) / clues.FromExe).lexically_normal().string();
        if (HoldsGameData(besideExe)) return found(besideExe);
    }
    if (HoldsGameData(clues.CurrentFolder)) return {clues.CurrentFolder, false};
    if (HoldsGameData(clues.InstallData)) return found(clues.InstallData);
    return {clues.CurrentFolder, false};
}

TDataFolderClues DataFolderCluesOfProcess() {
    TDataFolderClues clues;
    clues.EnvData = EnvOr("VELMORA_DATA", "");
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (!ec) clues.ExeFolder = exe.parent_path().string();
    clues.FromExe = VELMORA_DATA_FROM_BIN;
    clues.InstallData = VELMORA_INSTALL_DATA_DIR;
    clues.CurrentFolder = GetCurrentDirectory();
    return clues;
}

TUserFolders UserFoldersOfProcess() {
    return {XdgFolder("XDG_CONFIG_HOME", ".config"), XdgFolder("XDG_DATA_HOME", ".local/share"),
            XdgFolder("XDG_STATE_HOME", ".local/state"), XdgFolder("XDG_CACHE_HOME", ".cache")};
}

void UseUserFolders(const std::string& dataFolder, const TUserFolders& user) {
    ClearWriteOverlays();
    AddWriteOverlay(dataFolder + "/Options.txt", user.Config + "/Options.txt");
    AddWriteOverlay(dataFolder + "/PlayerData", user.Data + "/PlayerData");
    AddWriteOverlay(dataFolder + "/Error.log", user.State + "/Error.log");
    AddWriteOverlay(dataFolder, user.Cache);
}

std::string DescribeDataFolders(const TDataFolder& data, const TUserFolders& user) {
    if (!data.Installed) return "Project: portable run, data and player files in '" + data.Folder + "'";
    return "Project: installed data '" + data.Folder + "'; options in '" + user.Config +
           "', player data in '" + user.Data + "', log in '" + user.State + "', derived pictures in '" +
           user.Cache + "'";
}

} // namespace velmora
