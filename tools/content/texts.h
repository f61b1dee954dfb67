// The text table: one entry per key with its three languages.
#pragma once

#include <string>
#include <vector>

namespace content {

struct TextEntry {
    std::string key;
    std::string eng, rus, ger; // UTF-8; "\n" breaks a line
    int wrap = 0;              // break lines at this many characters (0: as written)
};

const std::vector<TextEntry>& ui_texts();
const std::vector<TextEntry>& story_texts();
// Every entry the game looks up, town-independent; country names of the map come from here too.
std::vector<TextEntry> all_texts();
// Word-wraps a UTF-8 text to lines of at most `width` characters, keeping existing breaks.
std::string wrap_text(const std::string& utf8, int width);

} // namespace content
