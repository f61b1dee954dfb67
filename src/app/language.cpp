#include "app/language.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "app/log.h"
#include "app/options.h"
#include "app/textfile.h"
#include "platform/files.h"

namespace velmora {

TLang* Lang = nullptr;

const TLanguageInfo Languages[cLanguageCount] = {
    {"Eng", "en", 1252, "English"},
    {"Rus", "ru", 1251, "\xD0\xF3\xF1\xF1\xEA\xE8\xE9"}, // "Русский"
    {"Ger", "de", 1252, "Deutsch"},
};

namespace {

constexpr const char* cDefaultLanguage = "Eng";
// Where the desktop names its language, most binding first.
constexpr const char* cLocaleVariables[] = {"LC_ALL", "LC_MESSAGES", "LANG"};

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

std::vector<std::string> SplitList(const std::string& list, char separator) {
    std::vector<std::string> items;
    size_t from = 0;
    for (;;) {
        const size_t at = list.find(separator, from);
        items.push_back(list.substr(from, at == std::string::npos ? std::string::npos : at - from));
        if (at == std::string::npos) return items;
        from = at + 1;
    }
}

} // namespace

int32_t LanguageIndexOf(const std::string& code) {
    for (int32_t i = 0; i < cLanguageCount; ++i)
        if (code == Languages[i].Code) return i;
    return -1;
}

std::string LanguageOfLocale(const std::string& locale) {
    // language[_territory][.codeset][@modifier]
    std::string language = locale.substr(0, locale.find_first_of("_.@"));
    for (char& c : language)
        c = LowerAscii(c);
    for (const TLanguageInfo& info : Languages)
        if (language == info.Locale) return info.Code;
    return {};
}

std::string DesktopLanguage(const TEnvironmentLookup& getEnv) {
    std::vector<std::string> candidates;
    if (const char* list = getEnv("LANGUAGE")) candidates = SplitList(list, ':');
    for (const char* name : cLocaleVariables)
        if (const char* value = getEnv(name)) candidates.push_back(value);
    for (const std::string& candidate : candidates) {
        const std::string code = LanguageOfLocale(candidate);
        if (!code.empty()) return code;
    }
    return {};
}

std::string DesktopLanguage() {
    return DesktopLanguage([](const char* name) -> const char* { return std::getenv(name); });
}

std::string ChooseLanguage(const std::string& saved, const std::string& desktop,
                           const std::string& fileCode) {
    if (LanguageIndexOf(saved) >= 0) return saved;
    if (LanguageIndexOf(desktop) >= 0) return desktop;
    if (!fileCode.empty()) return fileCode;
    return cDefaultLanguage;
}

std::string LanguageFolder(const std::string& code) {
    return Paths.Base + "\\Lang\\" + code;
}

std::string LanguageFile(const std::string& sharedFile, const std::string& rel) {
    if (Lang == nullptr || Lang->LangCode.empty()) return sharedFile;
    const std::string own = LanguageFolder(Lang->LangCode) + rel;
    return FileExists(own) ? own : sharedFile;
}

bool StoreLanguageChoice(const std::string& code) {
    Options.Language = code;
    const std::string path = ResolvePath(Paths.OptionsFile);
    std::vector<std::string> lines;
    if (!FileExists(Paths.OptionsFile) || !ReadTextLines(path, lines)) {
        Log("uLanguage.StoreLanguageChoice : \"" + path + "\" missing, the choice holds for this run");
        return false;
    }
    std::string text;
    for (const std::string& line : lines)
        if (IsCommentLine(line) || SplitDataLine(line).Key != "Language") text += line + "\n";
    char key[32];
    std::snprintf(key, sizeof key, "%-20s ", "Language"); // the look of the settings dialog's lines
    text += key + code + "\n";
    // The game path, so that an installed run writes the player's own copy.
    if (!WriteWholeFile(Paths.OptionsFile, text.data(), text.size())) {
        Log("uLanguage.StoreLanguageChoice : can't write \"" + path + "\"");
        return false;
    }
    return true;
}

int32_t RunningCodePage() {
    return Lang != nullptr ? Languages[Lang->LangIndex].CodePage : Languages[0].CodePage;
}

namespace {

// Latin spelling of the Windows-1251 letters 0xC0 (А) .. 0xFF (я).
constexpr const char* cCyrillicLatin[64] = {
    "A", "B", "V", "G", "D", "E",  "Zh", "Z",  "I",  "Y",    "K", "L", "M", "N", "O",  "P",
    "R", "S", "T", "U", "F", "Kh", "Ts", "Ch", "Sh", "Shch", "",  "Y", "",  "E", "Yu", "Ya",
    "a", "b", "v", "g", "d", "e",  "zh", "z",  "i",  "y",    "k", "l", "m", "n", "o",  "p",
    "r", "s", "t", "u", "f", "kh", "ts", "ch", "sh", "shch", "",  "y", "",  "e", "yu", "ya",
};

// The letters the German layout types above ASCII, with their spelling in plain letters.
struct TUmlaut {
    unsigned char Byte;
    const char* Plain;
};
constexpr TUmlaut cUmlauts[] = {{0xC4, "Ae"}, {0xD6, "Oe"}, {0xDC, "Ue"}, {0xDF, "ss"},
                                {0xE4, "ae"}, {0xF6, "oe"}, {0xFC, "ue"}};

const char* UmlautPlain(unsigned char c) {
    for (const TUmlaut& u : cUmlauts)
        if (u.Byte == c) return u.Plain;
    return nullptr;
}

std::string CyrillicToLatin(const std::string& name) {
    std::string out;
    for (char ch : name) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x80)
            out += ch;
        else if (c >= 0xC0)
            out += cCyrillicLatin[c - 0xC0];
        else if (c == 0xA8)
            out += "Yo";
        else if (c == 0xB8)
            out += "yo";
        else
            out += '?';
    }
    return out;
}

std::string UmlautsToPlain(const std::string& name) {
    std::string out;
    for (char ch : name) {
        const auto c = static_cast<unsigned char>(ch);
        const char* plain = UmlautPlain(c);
        out += c < 0x80 ? std::string(1, ch) : plain != nullptr ? std::string(plain) : std::string("?");
    }
    return out;
}

} // namespace

int32_t NameCodePage(const std::string& name) {
    bool high = false, asciiLetter = false;
    for (char ch : name) {
        const auto c = static_cast<unsigned char>(ch);
        if (c >= 0x80) {
            high = true;
            if (UmlautPlain(c) == nullptr) return 1251;
        } else if ((c | 0x20) >= 'a' && (c | 0x20) <= 'z') {
            asciiLetter = true;
        }
    }
    if (!high) return 0;
    return asciiLetter ? 1252 : 1251;
}

std::string NameForCodePage(const std::string& name, int32_t codePage) {
    const int32_t own = NameCodePage(name);
    if (own == 0 || own == codePage) return name;
    return own == 1251 ? CyrillicToLatin(name) : UmlautsToPlain(name);
}

std::string NameForDisplay(const std::string& name) {
    return NameForCodePage(name, RunningCodePage());
}

TLang::TLang() {
    const bool savedKnown = LanguageIndexOf(Options.Language) >= 0;
    if (!Options.Language.empty() && !savedKnown)
        Log("TLang.Create: unknown Language \"" + Options.Language + "\" in \"Options.txt\", ignored");
    const std::string saved = savedKnown ? Options.Language : std::string();
    const std::string desktop = saved.empty() ? DesktopLanguage() : std::string();
    // "Language.txt" is only the installation's default: read when nothing else decides.
    const std::string fileCode =
        saved.empty() && desktop.empty() ? ReadLanguageFile(Paths.Texts + "\\Language.txt") : std::string();
    LangCode = ChooseLanguage(saved, desktop, fileCode);
    LangIndex = std::max(0, LanguageIndexOf(LangCode));
    const char* source = !saved.empty() ? "Options.txt" : !desktop.empty() ? "desktop" : "Language.txt";
    Log("TLang.Create: Language " + LangCode + " (" + source + ")");
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

std::string TLang::ReadLanguageFile(const std::string& gamePath) {
    const std::string path = ResolvePath(gamePath);
    std::vector<std::string> lines;
    if (!ReadTextLines(path, lines) || lines.empty() || lines[0].empty()) {
        // Without a language choice the game still starts, in English.
        Report("uLanguage.ReadLanguage : Language choice missing, English is used \"" + path + "\"");
        return {};
    }
    std::string code = lines[0];
    if (StartsWith(code, "\xEF\xBB\xBF")) code.erase(0, 3); // a byte-order mark from an editor
    return code;
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
