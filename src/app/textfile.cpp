#include "app/textfile.h"

#include <charconv>

#include "app/log.h"
#include "platform/files.h"

namespace velmora {

bool IsCommentLine(std::string_view line) {
    if (line.empty()) return true;
    if (line[0] == ';') return true;
    return line.size() >= 2 && line[0] == '/' && line[1] == '/';
}

std::string Trim(std::string_view text) {
    const char* blanks = " \t\r\n";
    const auto b = text.find_first_not_of(blanks);
    if (b == std::string_view::npos) return {};
    const auto e = text.find_last_not_of(blanks);
    return std::string(text.substr(b, e - b + 1));
}

TDataLine SplitDataLine(std::string_view line, int lineNo) {
    TDataLine out;
    out.LineNo = lineNo;
    out.Raw = std::string(line);
    size_t i = line.find_first_not_of(" \t");
    if (i == std::string_view::npos) return out;
    size_t end = line.find_first_of(" \t", i);
    if (end == std::string_view::npos) {
        out.Key = std::string(line.substr(i));
        return out;
    }
    out.Key = std::string(line.substr(i, end - i));
    out.Value = Trim(line.substr(end + 1));
    return out;
}

bool ReadTextLines(const std::string& path, std::vector<std::string>& out) {
    out.clear();
    std::string text;
    if (!ReadWholeFile(path, text, cMaxTextFileBytes)) return false;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        size_t last = end;
        while (last > start && text[last - 1] == '\r')
            --last;
        out.emplace_back(text, start, last - start);
        start = end + 1;
    }
    return true;
}

bool ReadDataFile(const std::string& path, std::vector<TDataLine>& out) {
    out.clear();
    std::vector<std::string> lines;
    if (!ReadTextLines(path, lines)) return false;
    for (size_t i = 0; i < lines.size(); ++i)
        if (!IsCommentLine(lines[i])) out.push_back(SplitDataLine(lines[i], static_cast<int>(i + 1)));
    return true;
}

bool CapDataLines(std::vector<std::string>& lines, size_t maxLines, const std::string& where,
                  const std::string& path) {
    size_t kept = 0;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (IsCommentLine(lines[i])) continue;
        if (kept == maxLines) {
            Log(where + " : more than " + std::to_string(maxLines) + " lines in '" + path +
                "'; the rest (from line " + std::to_string(i + 1) + ") is skipped");
            lines.resize(i);
            return false;
        }
        ++kept;
    }
    return true;
}

int32_t ParseInt(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        negative = text[i] == '-';
        ++i;
    }
    int base = 10;
    if (i < text.size() && text[i] == '$') {
        base = 16;
        ++i;
    } else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        base = 16;
        i += 2;
    } else if (i < text.size() && (text[i] == 'x' || text[i] == 'X')) {
        base = 16;
        ++i;
    }
    uint64_t value = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            break;
        value = value * base + digit;
        if (value > 0xFFFFFFFFull) value = 0xFFFFFFFFull; // clamp hostile lengths instead of overflowing
    }
    const auto v32 = static_cast<uint32_t>(value);
    const auto signedValue = static_cast<int32_t>(v32);
    return negative ? static_cast<int32_t>(0u - v32) : signedValue;
}

float ParseFloat(std::string_view text) {
    const std::string t = Trim(text);
    std::string_view s = t;
    if (!s.empty() && s[0] == '+') s.remove_prefix(1);
    float value = 0;
    std::from_chars(s.data(), s.data() + s.size(), value);
    return value;
}

bool ParseBool(std::string_view text) {
    return text == "true" || text == "1";
}

} // namespace velmora
