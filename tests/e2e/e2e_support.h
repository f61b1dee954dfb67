// What the tests that run the real game binary share: running it in a data folder, its player
// data file, its screen pictures and its log.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <sys/wait.h>

#include "app/gamedat.h"

namespace velmora::e2e {

namespace fs = std::filesystem;

// The content tool's folder is there (the tests skip without it).
inline bool DataFolderBuilt() {
    return fs::exists(fs::path(VELMORA_DATA_DIR) / "Levels" / "Countries.txt");
}

// Pictures and logs of the runs stay in the build folder as artefacts.
inline fs::path ArtefactDir() {
    const fs::path dir = fs::path(VELMORA_DATA_DIR).parent_path() / "e2e-artefacts";
    fs::create_directories(dir);
    return dir;
}

inline std::string ReadBytes(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Lines without their line ends (a carriage return is dropped too).
inline std::vector<std::string> ReadLines(const fs::path& file) {
    std::ifstream in(file);
    std::vector<std::string> lines;
    for (std::string l; std::getline(in, l);) {
        if (!l.empty() && l.back() == '\r') l.pop_back();
        lines.push_back(l);
    }
    return lines;
}

// Runs the game in `dir` (its data folder) with `args`, output to "run.out"; message boxes answer
// themselves and there is no sound device. The desktop's language is none unless `env` sets one
// ("LANG=ru_RU.UTF-8"), so the folder decides. The exit code, -1 when the program did not exit.
inline int RunGame(const fs::path& dir, const std::string& args, int timeoutSeconds = 120,
                   const std::string& env = "") {
    const std::string cmd = "cd '" + dir.string() + "' && env -u LANGUAGE -u LC_ALL -u LC_MESSAGES -u LANG " +
                            env + " SDL_AUDIODRIVER=dummy VELMORA_MSGBOX_ANSWER=1 timeout " +
                            std::to_string(timeoutSeconds) + " '" + std::string(VELMORA_BINARY) + "' " +
                            args + " > run.out 2>&1";
    const int status = std::system(cmd.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The folder's "Game.dat"; all zero when it is missing or not of the file's size.
inline TGameDat ReadGameDat(const fs::path& dir) {
    const std::string bytes = ReadBytes(dir / "PlayerData" / "Game.dat");
    TGameDat dat{};
    if (bytes.size() == static_cast<size_t>(cGameDatSize))
        GameDatFromBytes(reinterpret_cast<const uint8_t*>(bytes.data()), dat);
    return dat;
}

inline void WriteGameDat(const fs::path& dir, const TGameDat& dat) {
    std::vector<uint8_t> bytes(cGameDatSize);
    GameDatToBytes(dat, bytes.data());
    fs::create_directories(dir / "PlayerData");
    std::ofstream(dir / "PlayerData" / "Game.dat", std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// Window classes of `--screens` pictures in the order the player saw them
// ("03_TW_MenuMain.png" -> "TW_MenuMain").
// Player data with one player, "Bot", about to play the level given.
inline void WriteOnePlayer(const fs::path& dir, int32_t level) {
    GameDat = TGameDat{};
    SetDefaults();
    GameDat.PlayerCount = 1;
    GameDat.CurrentPlayer = 1;
    ClearPlayer(1);
    GameDat.Players[0].Name.Set("Bot");
    GameDat.Players[0].Level = level;
    WriteGameDat(dir, GameDat);
}

inline std::vector<std::string> Screens(const fs::path& dir) {
    std::vector<std::string> names;
    if (!fs::exists(dir / "screens")) return names;
    for (const auto& e : fs::directory_iterator(dir / "screens"))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    for (std::string& n : names)
        n = n.substr(n.find('_') + 1, n.size() - n.find('_') - 5);
    return names;
}

// What the game logged once its start-up was over (empty lines left out).
inline std::vector<std::string> LogAfterStartUp(const fs::path& dir) {
    const std::vector<std::string> lines = ReadLines(dir / "Error.log");
    const auto end = std::find(lines.begin(), lines.end(), "TD3DApplication.Create_: <<-----end");
    if (end == lines.end()) return {"(no end of the start-up in the log)"};
    std::vector<std::string> out(end + 1, lines.end());
    out.erase(std::remove(out.begin(), out.end(), std::string()), out.end());
    return out;
}

} // namespace velmora::e2e
