#include "app/log.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <vector>

#include "app/textfile.h"

#include "platform/debug.h"
#include "platform/files.h"
#include "platform/d3d8.h"

namespace velmora {

namespace {
std::string& LogPathRef() {
    static std::string path = "Error.log";
    return path;
}
constexpr std::uintmax_t cLogSizeLimit = 204800;
constexpr size_t cOptionsLinesCopied = 200;
constexpr size_t cOptionsLineLengthCopied = 256;
} // namespace

// Game paths are spelled with backslashes; the log is opened through the platform's spelling, and
// an installed run's log goes to the player's folder.
void SetLogFile(const std::string& path) {
    LogPathRef() = ResolveWritePath(path);
    // Refused reads (a folder in place of a file, an oversized file) reach the log from every reader.
    SetFileFaultSink(&Log);
}
const std::string& LogFile() { return LogPathRef(); }

void Log(const std::string& text) {
    if (FILE* f = std::fopen(LogPathRef().c_str(), "ab")) {
        std::fwrite(text.data(), 1, text.size(), f);
        std::fputc('\n', f);
        std::fclose(f);
    }
}

void Report(const std::string& text) {
    Log(text);
    OutputDebugString(text);
}

void Check(int32_t hr, const std::string& where) {
    if (hr >= 0) return;
    std::string text = D3DErrorDescription(hr);
    Report(where.empty() ? text : where + " : " + text);
}

void StartErrorLog(const std::string& logGamePath, const std::string& optionsGamePath) {
    SetLogFile(logGamePath);
    const std::string& logPath = LogFile();
    const std::string optionsPath = ResolvePath(optionsGamePath);
    std::error_code ec;
    if (std::filesystem::exists(logPath, ec) && std::filesystem::file_size(logPath, ec) > cLogSizeLimit)
        std::filesystem::remove(logPath, ec);
    const std::string stars(64, '*');
    for (int i = 0; i < 5; ++i)
        Log(stars);
    std::vector<std::string> lines;
    if (!ReadTextLines(optionsPath, lines)) return;
    Log("****-----------------------Options.txt----------------------****");
    // A copy, not the whole of a runaway file: the log has a size limit of its own.
    const size_t shown = std::min<size_t>(lines.size(), cOptionsLinesCopied);
    for (size_t i = 0; i < shown; ++i)
        Log(lines[i].substr(0, cOptionsLineLengthCopied));
    if (shown < lines.size()) Log("(" + std::to_string(lines.size() - shown) + " more lines not copied)");
    Log("****--------------------------------------------------------****");
    Log("");
}

} // namespace velmora
