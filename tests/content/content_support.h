// Helpers of the content pack tests: reading files and the text rules, independent of the game.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace content_test {

namespace fs = std::filesystem;

inline fs::path data_dir() {
    return fs::path(VELMORA_DATA_DIR);
}
// A scratch folder of this process, so that test runs of several build folders never collide.
inline fs::path scratch_dir(const std::string& name) {
    return fs::temp_directory_path() / (name + "_" + std::to_string(::getpid()));
}

inline fs::path tool_path() {
    return data_dir().parent_path() / "tools" / "content" / "velmora_content";
}

inline std::string read_bytes(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

inline std::vector<std::string> read_lines(const fs::path& p) {
    std::vector<std::string> out;
    std::istringstream in(read_bytes(p));
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        out.push_back(line);
    }
    return out;
}

inline bool skipped(const std::string& line) {
    return line.empty() || line[0] == ';' || line.rfind("//", 0) == 0;
}

inline std::vector<std::string> words(const std::string& s) {
    std::vector<std::string> out;
    std::istringstream in(s);
    std::string w;
    while (in >> w)
        out.push_back(w);
    return out;
}

// Runs the content tool into a folder; true when it succeeded.
inline bool run_tool(const fs::path& out, const std::string& lang) {
    const std::string cmd =
        "\"" + tool_path().string() + "\" --lang " + lang + " --out \"" + out.string() + "\" > /dev/null";
    return std::system(cmd.c_str()) == 0;
}

// Text of one key for one language code, read by the rules of the text resources.
inline std::vector<std::pair<std::string, std::string>> read_text_entries(const fs::path& file,
                                                                          const std::string& code) {
    std::vector<std::pair<std::string, std::string>> out;
    const auto lines = read_lines(file);
    for (size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].rfind("$$>", 0) != 0) continue;
        const std::string key = lines[i].substr(3);
        size_t j = i + 1;
        while (j < lines.size() && lines[j].rfind("$$>", 0) != 0 && lines[j].rfind(code + ":", 0) != 0)
            ++j;
        if (j >= lines.size() || lines[j].rfind("$$>", 0) == 0) {
            out.emplace_back(key, std::string("\x01missing"));
            continue;
        }
        std::string text;
        for (; j < lines.size(); ++j) {
            std::string line = lines[j];
            if (line == "$$<") break;
            if (j > i + 1 && line.size() > 3 && line[3] == ':' && line.rfind(code + ":", 0) != 0) break;
            if (line.rfind(code + ":", 0) == 0) line = line.substr(4);
            const auto a = line.find_first_not_of(' '), b = line.find_last_not_of(' ');
            line = a == std::string::npos ? "" : line.substr(a, b - a + 1);
            if (line.size() >= 2)
                line = line.substr(1, line.size() - 2);
            else
                line.clear();
            if (!line.empty()) text += line + "\n";
            if (j + 1 < lines.size() && lines[j + 1].size() > 3 && lines[j + 1][3] == ':') break;
        }
        if (!text.empty()) text.pop_back();
        out.emplace_back(key, text);
    }
    return out;
}

struct ItfFont {
    std::string chars;
    int32_t lineHeight = 0;
    struct Glyph {
        int32_t x, y, w, h, shift, transposed;
    };
    std::vector<Glyph> glyphs;
};

inline int32_t i32(const std::string& s, size_t at) {
    uint32_t v = 0;
    for (int k = 0; k < 4; ++k)
        v |= uint32_t(static_cast<unsigned char>(s[at + size_t(k)])) << (8 * k);
    return int32_t(v);
}

inline ItfFont read_itf(const fs::path& p) {
    ItfFont f;
    const std::string s = read_bytes(p);
    if (s.size() < 272) return f;
    const size_t n = static_cast<unsigned char>(s[0]);
    f.chars = s.substr(1, n);
    f.lineHeight = i32(s, 256);
    for (size_t k = 0; k < n && 272 + 24 * k + 24 <= s.size(); ++k) {
        const size_t at = 272 + 24 * k;
        f.glyphs.push_back(
            {i32(s, at), i32(s, at + 4), i32(s, at + 8), i32(s, at + 12), i32(s, at + 16), i32(s, at + 20)});
    }
    return f;
}

struct TgaInfo {
    bool valid = false;
    int width = 0, height = 0;
};

// Uncompressed 32-bit true colour, no id field, bottom-up, and the size the header promises.
inline TgaInfo read_tga_header(const fs::path& p) {
    TgaInfo info;
    const std::string s = read_bytes(p);
    if (s.size() < 18) return info;
    auto u8 = [&](size_t i) { return static_cast<unsigned char>(s[i]); };
    info.width = u8(12) | (u8(13) << 8);
    info.height = u8(14) | (u8(15) << 8);
    const size_t pixels = size_t(info.width) * info.height * 4;
    info.valid = u8(0) == 0 && u8(1) == 0 && u8(2) == 2 && u8(16) == 32 && (u8(17) & 0x20) == 0 &&
                 info.width > 0 && info.height > 0 &&
                 (s.size() == 18 + pixels || s.size() == 18 + pixels + 26);
    return info;
}

} // namespace content_test
