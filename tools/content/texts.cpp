#include "content.h"
#include "texts.h"

#include <sstream>
#include <stdexcept>

namespace content {

std::vector<TextEntry> all_texts() {
    std::vector<TextEntry> out = ui_texts();
    const auto& story = story_texts();
    out.insert(out.end(), story.begin(), story.end());
    return out;
}

namespace {

size_t utf8_length(const std::string& s) {
    size_t n = 0;
    for (unsigned char c : s)
        n += (c & 0xC0) != 0x80;
    return n;
}

std::vector<std::string> split(const std::string& s, char sep) {
    std::vector<std::string> out;
    std::string cur;
    for (char c : s) {
        if (c == sep) {
            out.push_back(cur);
            cur.clear();
        } else {
            cur.push_back(c);
        }
    }
    out.push_back(cur);
    return out;
}

} // namespace

std::string wrap_text(const std::string& utf8, int width) {
    if (width <= 0) return utf8;
    std::string out;
    for (const std::string& para : split(utf8, '\n')) {
        std::string line;
        for (const std::string& word : split(para, ' ')) {
            if (word.empty()) continue;
            if (!line.empty() && utf8_length(line) + 1 + utf8_length(word) > size_t(width)) {
                out += line + "\n";
                line.clear();
            }
            line += (line.empty() ? "" : " ") + word;
        }
        out += line + "\n";
    }
    out.pop_back();
    return out;
}

namespace {

// One language line block: the first line carries the code, later lines only their quotes.
// A later line must not look like a language line (a colon as its fourth character).
std::string language_lines(const std::string& code, const std::string& text, const std::string& key) {
    std::string out;
    bool first = true;
    for (const std::string& line : split(text, '\n')) {
        if (line.empty()) throw std::runtime_error("empty text line in " + key);
        const std::string quoted = "\"" + line + "\"";
        if (!first && quoted.size() > 3 && quoted[3] == ':')
            throw std::runtime_error("ambiguous text line in " + key);
        out += (first ? code + ":" : std::string()) + quoted + "\n";
        first = false;
    }
    return out;
}

} // namespace

void write_texts(const Context& ctx, const Campaign& campaign) {
    (void)campaign;
    // Only the default: the player's choice and the desktop's language come first.
    write_file(ctx.out / "Texts" / "Language.txt", ctx.code() + "\n");
    std::ostringstream s;
    s << "; Velmora text resources: one entry per key, English, Russian (Windows-1251) and German "
         "(Windows-1252)\n";
    for (const TextEntry& e : all_texts()) {
        s << "\n$$>" << e.key << "\n";
        s << language_lines("Eng", to_codepage(wrap_text(e.eng, e.wrap), CodePage::Cp1252), e.key);
        s << language_lines("Rus", to_codepage(wrap_text(e.rus, e.wrap), CodePage::Cp1251), e.key);
        s << language_lines("Ger", to_codepage(wrap_text(e.ger, e.wrap), CodePage::Cp1252), e.key);
        s << "$$<\n";
    }
    write_file(ctx.out / "Texts" / "TextResourses.txt", s.str());
}

} // namespace content
