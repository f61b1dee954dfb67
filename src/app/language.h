// Text resources: every shown text is looked up by key ("TEXT_Nobody") in "TextResourses.txt",
// which holds all languages side by side; "Language.txt" picks the language. Read once when the
// scene is made; look-ups bisect the key list, case-insensitively.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/basic.h"

namespace velmora {

constexpr int32_t cMaxTexts = 2048;

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
    std::string LangCode;                     // as read from "Language.txt"

  private:
    void ReadLanguage(const std::string& gamePath);
    void ReadLang(const std::string& gamePath);
    void AddEntry(const std::string& key, std::string text);
    int32_t Count = 0; // texts held
};

extern TLang* Lang;

} // namespace velmora
