// Text resources: every shown text is looked up by key ("TEXT_Nobody") in "TextResourses.txt",
// which holds all languages side by side. The language of a run is the player's saved choice, else
// the desktop's, else "Language.txt", else English. Read once when the scene is made; look-ups
// bisect the key list, case-insensitively.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "engine/basic.h"

namespace velmora {

constexpr int32_t cMaxTexts = 2048;

// The languages the game speaks, in index order (0 English, 1 Russian, 2 German).
struct TLanguageInfo {
    const char* Code;       // "Eng", as in "Language.txt", the text lines and "Options.txt"
    const char* Locale;     // the language part of a desktop locale name ("de" of "de_AT.UTF-8")
    int32_t CodePage;       // of its texts and fonts: 1252 or 1251
    const char* NativeName; // the name in its own language, Windows-1251 bytes ("LanguageNames" font)
};
constexpr int32_t cLanguageCount = 3;
extern const TLanguageInfo Languages[cLanguageCount];

// Index of a language code ("Rus" -> 1); -1 for a code the game does not speak.
int32_t LanguageIndexOf(const std::string& code);
// The game's language code for a locale name ("de_AT.UTF-8@euro" -> "Ger"); empty for "C", "POSIX"
// and languages the game does not speak.
std::string LanguageOfLocale(const std::string& locale);
// The desktop's language: the entries of LANGUAGE (a colon-separated list), then LC_ALL,
// LC_MESSAGES and LANG, in that order; the first that is one of the game's languages wins, any
// other entry falls through to the next. Empty when none is.
using TEnvironmentLookup = std::function<const char*(const char*)>;
std::string DesktopLanguage(const TEnvironmentLookup& getEnv);
std::string DesktopLanguage(); // of this process's environment
// The language of a run: the saved choice when it is one of the game's, else the desktop's, else
// the code of "Language.txt" (any code, as the text lines' prefix), else English.
std::string ChooseLanguage(const std::string& saved, const std::string& desktop, const std::string& fileCode);

// A language's own folder of data files, read before the shared ones: base + "\Lang\" + code.
std::string LanguageFolder(const std::string& code);
// The running language's own copy of a data file (LanguageFolder + rel, rel such as
// "\Fonts\MenuTitle.itf") when it has one, else the shared file.
std::string LanguageFile(const std::string& sharedFile, const std::string& rel);
// Stores the player's choice as the "Language" line of "Options.txt", every other line kept as it
// is, and in Options.Language; the texts change at the next start. False, logged, when the file is
// missing (the settings dialog then writes the choice with the rest) or cannot be written.
bool StoreLanguageChoice(const std::string& code);
// Code page of a player's name as typed (names are stored as typed): 1251 or 1252, 0 for plain
// ASCII. The German layout types only umlauts and sharp s above ASCII, among ASCII letters; any
// other high byte, or umlaut bytes without an ASCII letter, mean Cyrillic.
int32_t NameCodePage(const std::string& name);
// A stored name as the fonts of `codePage` can show it: unchanged in its own code page, Cyrillic
// transliterated to Latin for 1252 ("Дима" -> "Dima"), umlauts spelt out for 1251 ("Jörg" -> "Joerg").
std::string NameForCodePage(const std::string& name, int32_t codePage);
// The same for the running language's fonts.
std::string NameForDisplay(const std::string& name);
// Code page of the running language's texts and fonts (1252 before the texts are read).
int32_t RunningCodePage();

class TLang : public TBasic {
  public:
    // Reads both files from the texts folder (Paths.Texts) and becomes the global Lang.
    TLang();
    ~TLang() override;
    const char* ClassName() const override { return "TLang"; }

    // Text := the key's text when the key exists (any letter case); else Text is left alone.
    bool GetText(const std::string& key, std::string& text) const;

    struct TKeyRef {
        std::string Key;
        int32_t Index; // into Texts
    };

    std::array<std::string, cMaxTexts> Texts; // in file order
    std::vector<TKeyRef> Keys;                // sorted by key, ignoring case
    int32_t LangIndex = 0;                    // 0 English, 1 Russian, 2 German
    std::string LangCode;                     // the chosen code (ChooseLanguage)

  private:
    std::string ReadLanguageFile(const std::string& gamePath);
    void ReadLang(const std::string& gamePath);
    void AddEntry(const std::string& key, std::string text);
    int32_t Count = 0; // texts held
};

extern TLang* Lang;

} // namespace velmora
