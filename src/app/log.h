// The error log ("Error.log" in the base folder) and the three reporting levels.
// Every entry is one line; the file is opened, appended and closed per entry.
#pragma once

#include <cstdint>
#include <string>

namespace velmora {

// Where entries go; set once at start-up (defaults to "Error.log" in the current directory).
void SetLogFile(const std::string& path);
const std::string& LogFile();

void Log(const std::string& text);        // append one line to the error log
void Report(const std::string& text);     // log, and send to the debug viewer
void Check(int32_t hr, const std::string& where = {}); // nothing on success; else report the code's text

// Start of a run: trim an oversized log, write the banner and a copy of the options file.
void StartErrorLog(const std::string& logPath, const std::string& optionsPath);

} // namespace velmora
