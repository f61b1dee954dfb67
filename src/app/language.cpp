#include "app/language.h"

#include <algorithm>

#include "app/log.h"
#include "app/options.h"
#include "app/textfile.h"
#include "platform/files.h"

namespace velmora {

TLang* Lang = nullptr;

namespace {

struct TLanguageCode {
    const char* Code;
    int32_t Index;
};
constexpr TLanguageCode cLanguages[] = {{"Eng", 0}, {"Rus", 1}, {"Ger", 2}};
constexpr const char* cDefaultLanguage = "Eng";

char LowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
}

// The order of the key list: letter case does not count.
int CompareNoCase(const std::string& a, const std::string& b) {
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        const unsigned char x = LowerAscii(a[i]), y = LowerAscii(b[i]);
        if (x != y) return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

bool StartsWith(const std::string& line, const std::string& prefix) {
    return line.size() >= prefix.size() && line.compare(0, prefix.size(), prefix) == 0;
}

bool IsKeyLine(const std::string& line) {
    return StartsWith(line, "$$>");
}
bool IsEndLine(const std::string& line) {
    return line == "$$<";
}
// Any language's line: the code's three letters, then a colon.
bool IsLanguageLine(const std::string& line) {
    return line.size() >= 4 && line[3] == ':';
}

// Drops the language prefix, the blanks around the text and the quotes around it.
std::string TextOfLine(const std::string& line, const std::string& prefix) {
    std::string s = StartsWith(line, prefix) ? line.substr(prefix.size()) : line;
    const size_t b = s.find_first_not_of(" \t");
    if (b == std::string::npos) return {};
    const size_t e = s.find_last_not_of(" \t");
    s = s.substr(b, e - b + 1);
    if (s.size() <= 2) return {};
    return s.substr(1, s.size() - 2);
}

// Moves `i` to the entry's line of the wanted language. Stops at the end of the entry, at the next
// entry's key and at the end of the file: an entry without that language has no text.
bool FindLanguageLine(const std::vector<std::string>& lines, size_t& i, const std::string& prefix) {
    for (; i < lines.size(); ++i) {
        if (StartsWith(lines[i], prefix)) return true;
        if (IsKeyLine(lines[i])) return false;
        if (IsEndLine(lines[i])) {
            ++i;
            return false;
        }
    }
    return false;
}

// Reads the text starting at the language line `i`; the lines of one text are joined by line feeds.
std::string ReadTextLinesAt(const std::vector<std::string>& lines, size_t& i, const std::string& prefix) {
    std::string text;
    for (;;) {
        const std::string piece = TextOfLine(lines[i], prefix);
        if (!piece.empty()) text += piece + '\n';
        if (++i >= lines.size()) break;
        if (IsEndLine(lines[i])) {
            ++i;
            break;
        }
        if (IsLanguageLine(lines[i]) || IsKeyLine(lines[i])) break;
    }
    if (!text.empty()) text.pop_back();
    return text;
}

} // namespace

TLang::TLang() {
    ReadLanguage(Paths.Texts + "\\Language.txt");
    ReadLang(Paths.Texts + "\\TextResourses.txt");
    Lang = this;
}

TLang::~TLang() {
    Keys.clear();
    if (Lang == this) Lang = nullptr;
}

bool TLang::GetText(const std::string& key, std::string& text) const {
    auto it = std::lower_bound(Keys.begin(), Keys.end(), key, [](const TKeyRef& ref, const std::string& k) {
        return CompareNoCase(ref.Key, k) < 0;
    });
    if (it == Keys.end() || CompareNoCase(it->Key, key) != 0) return false;
    text = Texts[it->Index];
    return true;
}

void TLang::ReadLanguage(const std::string& gamePath) {
    const std::string path = ResolvePath(gamePath);
    std::vector<std::string> lines;
    if (!ReadTextLines(path, lines) || lines.empty() || lines[0].empty()) {
        // Without a language choice the game still starts, in English.
        Report("uLanguage.ReadLanguage : Language choice missing, English is used \"" + path + "\"");
        LangCode = cDefaultLanguage;
        LangIndex = 0;
        return;
    }
    LangCode = lines[0];
    if (StartsWith(LangCode, "\xEF\xBB\xBF")) LangCode.erase(0, 3); // a byte-order mark from an editor
    LangIndex = 0;
    for (const auto& language : cLanguages)
        if (LangCode == language.Code) LangIndex = language.Index;
}

void TLang::AddEntry(const std::string& key, std::string text) {
    Texts[Count] = std::move(text);
    Keys.push_back({key, Count});
    ++Count;
}

void TLang::ReadLang(const std::string& gamePath) {
    const std::string path = ResolvePath(gamePath);
    std::vector<std::string> lines;
    if (!FileExists(gamePath) || !ReadTextLines(path, lines)) {
        Report("uLanguage.ReadLang: Language file doesn't exists \"" + path + "\"");
        return;
    }
    const std::string prefix = LangCode + ":";
    constexpr int cMissingTextsNamed = 16;
    int missing = 0;
    size_t i = 0;
    while (i < lines.size()) {
        const std::string& line = lines[i++];
        if (IsCommentLine(line) || !IsKeyLine(line)) continue;
        const std::string key = line.substr(3);
        if (Count >= cMaxTexts) {
            Report("uLanguage.ReadLang: more than " + std::to_string(cMaxTexts) +
                   " texts, the rest is ignored from Key=\"" + key + "\"");
            break;
        }
        if (!FindLanguageLine(lines, i, prefix)) {
            // A damaged file could hold a key per line: the first few are named, the rest counted.
            if (++missing <= cMissingTextsNamed)
                Log("uLanguage.ReadLang: no " + LangCode + " text; Key=\"" + key + "\"");
            continue;
        }
        AddEntry(key, ReadTextLinesAt(lines, i, prefix));
    }
    if (missing > cMissingTextsNamed)
        Log("uLanguage.ReadLang: " + std::to_string(missing - cMissingTextsNamed) + " more keys without a " +
            LangCode + " text in \"" + path + "\"");
    // Stable, so that of two equal keys the first in the file is found.
    std::stable_sort(Keys.begin(), Keys.end(),
                     [](const TKeyRef& a, const TKeyRef& b) { return CompareNoCase(a.Key, b.Key) < 0; });
}

} // namespace velmora
