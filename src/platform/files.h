// Files and folders as the game names them: backslash paths ("\\Textures\\Chips.tga") and names
// whose letter case may differ from the file on disk (data made on case-insensitive systems).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace velmora {

// Turns a game path into a path for this system: '\\' becomes '/', and when a component does not
// exist as spelled, a same-named entry of another letter case is used. Missing paths come back
// with their separators converted, so that they can still be created.
// With write overlays set, a path inside an overlaid folder resolves to the overlay's copy when
// that exists (reads look in the player's folder first, then in the installed data).
std::string ResolvePath(const std::string& gamePath);

// An installed data folder is never written: a write to a path inside `from` (a folder or one file)
// lands at the same place under `to`. The longest matching `from` wins. A portable run sets none.
void AddWriteOverlay(const std::string& from, const std::string& to);
void ClearWriteOverlays();
// Where a write to the game path goes: the overlay's copy (its parent folders made) or the path itself.
std::string ResolveWritePath(const std::string& gamePath);
// Why the last failed write of this thread failed ("No space left on device").
std::string LastWriteError();

bool FileExists(const std::string& gamePath);
bool DirectoryExists(const std::string& gamePath);
bool CreateDirectory(const std::string& gamePath); // creates parents too
bool DeleteFile(const std::string& gamePath);
bool RenameFile(const std::string& from, const std::string& to); // replaces the target
int64_t FileSize(const std::string& gamePath);                   // -1 when missing
bool ReadWholeFile(const std::string& gamePath, std::vector<uint8_t>& out);
bool WriteWholeFile(const std::string& gamePath, const void* data, size_t size); // atomic replace
std::string GetCurrentDirectory();
bool SetCurrentDirectory(const std::string& gamePath);
bool ReadWholeFile(const std::string& gamePath, std::string& out);
bool AppendToFile(const std::string& gamePath, const std::string& text); // creates the file if missing
// Names (not paths) of the regular files in a folder whose extension matches, case-insensitively
// (".tga"; "" = every file), sorted.
std::vector<std::string> ListFiles(const std::string& gameFolder, const std::string& extension = "");

} // namespace velmora
