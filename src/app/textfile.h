// The shared rules of the game's plain-text data files: comment lines, key/value split,
// and the one number reader (decimal with sign, "$"/"x"/"0x" hexadecimal, stops at a foreign character).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

struct TDataLine {
    int LineNo = 0;    // 1-based line number in the file, for messages
    std::string Key;   // first word
    std::string Value; // rest of the line, trimmed
    std::string Raw;   // the whole line without its end-of-line characters
};

// True when the line is skipped by every reader: empty, ";..." or "//...".
bool IsCommentLine(std::string_view line);

// Splits a line into key and value by the shared rule.
TDataLine SplitDataLine(std::string_view line, int lineNo = 0);

// Reads every non-comment line of a file; false (and no lines) when the file cannot be opened, is not
// a regular file or is longer than the platform's bound for text files.
bool ReadDataFile(const std::string& path, std::vector<TDataLine>& out);

// Reads every line of a file as it stands (CR/LF stripped); false when it cannot be read (as above).
bool ReadTextLines(const std::string& path, std::vector<std::string>& out);

// Keeps the first maxLines lines that are not comments (comments between them stay); when there are more,
// says once in the log, for the file at path, that the rest is skipped. False when lines were cut.
bool CapDataLines(std::vector<std::string>& lines, size_t maxLines, const std::string& where,
                  const std::string& path);

int32_t ParseInt(std::string_view text); // no digits give 0
float ParseFloat(std::string_view text); // "." separator, locale-independent; no digits give 0
bool ParseBool(std::string_view text);   // exactly "true" or "1"
std::string Trim(std::string_view text);

} // namespace velmora
