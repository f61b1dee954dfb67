// Where the game's data folder is, whether this run is an installed or a portable one, and where an
// installed run keeps the player's own files (XDG base directories).
#pragma once

#include <string>

namespace velmora {

// What the choice is made from; FindDataFolder fills it from the process.
struct TDataFolderClues {
    std::string EnvData;       // $VELMORA_DATA, "" when unset
    std::string ExeFolder;     // the folder of the running executable
    std::string FromExe;       // the install-relative data folder seen from the executable's folder
    std::string InstallData;   // the data folder compiled in for the configured prefix
    std::string CurrentFolder; // the current directory
};

struct TDataFolder {
    std::string Folder;
    bool Installed = false; // the player's files go to the XDG folders, the data folder stays untouched
};

// The data folder: $VELMORA_DATA; else the install-relative folder next to the executable; else the
// current directory when it holds game data ("Textures"); else the compiled-in install folder; else
// the current directory. The run is portable (one folder for everything, as from the build tree)
// exactly when that folder is the current directory, otherwise installed. Permissions play no part.
TDataFolder ChooseDataFolder(const TDataFolderClues& clues);
TDataFolderClues DataFolderCluesOfProcess();
inline TDataFolder FindDataFolder() {
    return ChooseDataFolder(DataFolderCluesOfProcess());
}

// The player's folders, each ending in "velmora": $XDG_CONFIG_HOME (~/.config), $XDG_DATA_HOME
// (~/.local/share), $XDG_STATE_HOME (~/.local/state), $XDG_CACHE_HOME (~/.cache). A variable that is
// unset, empty or not an absolute path gives the default.
struct TUserFolders {
    std::string Config, Data, State, Cache;
};
TUserFolders UserFoldersOfProcess();

// Points the writes of an installed run at the player's folders: "Options.txt" to Config,
// "PlayerData" to Data, "Error.log" to State, everything else the game makes (derived pictures, the
// screen capture) to Cache. Reads find the player's copy first, then the installed data.
void UseUserFolders(const std::string& dataFolder, const TUserFolders& user);

// One line for the log naming the folders of this run.
std::string DescribeDataFolders(const TDataFolder& data, const TUserFolders& user);

} // namespace velmora
