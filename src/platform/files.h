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

// Every read of a game file goes through one checked open: a missing file fails quietly (its reader
// says what it falls back to); anything else that is refused — not a regular file, unreadable, larger
// than the bound for its kind — is told to the fault sink with the file and the reason.
constexpr uint64_t cMaxTextFileBytes = 8u << 20;     // options, lists, tables, texts, scripts
constexpr uint64_t cMaxPictureFileBytes = 72u << 20; // a 4096 x 4096 32-bit TGA and its header
constexpr uint64_t cMaxSoundFileBytes = 64u << 20;
constexpr uint64_t cMaxSmallFileBytes = 1u << 20; // player data, cursors
using TFileFaultSink = void (*)(const std::string& text);
void SetFileFaultSink(TFileFaultSink sink); // nullptr: refusals are silent
// Reads the whole file when it is at most maxBytes long.
bool ReadWholeFile(const std::string& gamePath, std::vector<uint8_t>& out,
                   uint64_t maxBytes = cMaxPictureFileBytes);
bool ReadWholeFile(const std::string& gamePath, std::string& out, uint64_t maxBytes = cMaxTextFileBytes);
// Reads at most the first maxBytes bytes, whatever the file's length (readers that use only a head).
bool ReadFileHead(const std::string& gamePath, std::vector<uint8_t>& out, size_t maxBytes);
bool WriteWholeFile(const std::string& gamePath, const void* data, size_t size); // atomic replace
std::string GetCurrentDirectory();
bool SetCurrentDirectory(const std::string& gamePath);
bool AppendToFile(const std::string& gamePath, const std::string& text); // creates the file if missing
// Names (not paths) of the regular files in a folder whose extension matches, case-insensitively
// (".tga"; "" = every file), sorted.
std::vector<std::string> ListFiles(const std::string& gameFolder, const std::string& extension = "");

} // namespace velmora
