#include "app/language.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <memory>

#include "services_fixture.h"

namespace velmora {
namespace {

using testing::TScopedEnv;
using testing::TServicesFolder;

class LangTest : public ::testing::Test {
  protected:
    // The desktop of the machine running the tests never decides; a test that wants one sets it.
    TScopedEnv NoLanguageList{"LANGUAGE", ""}, NoLcAll{"LC_ALL", ""}, NoLcMessages{"LC_MESSAGES", ""},
        NoLang{"LANG", ""};

    void WriteTexts(const std::string& language, const std::string& resources) {
        Folder.Write("Texts/Language.txt", language);
        Folder.Write("Texts/TextResourses.txt", resources);
    }
    std::unique_ptr<TLang> Load() { return std::make_unique<TLang>(); }
    // The caller's preset text survives a failed look-up.
    static std::string Lookup(const TLang& lang, const std::string& key) {
        std::string text = "<preset>";
        lang.GetText(key, text);
        return text;
    }

    TServicesFolder Folder;
};

TEST_F(LangTest, MultiLineTextsAreJoinedByLineFeedsWithoutATrailingOne) {
    WriteTexts("Eng\r\n", "$$>TEXT_Story\r\n"
                          "Eng:\"First line\"\r\n"
                          "    \"Second line\"\r\n"
                          "\"Third line\"\r\n"
                          "Rus:\"...\"\r\n"
                          "$$<\r\n");
    auto lang = Load();
    EXPECT_EQ(Lookup(*lang, "TEXT_Story"), "First line\nSecond line\nThird line");
    EXPECT_EQ(Lang, lang.get());
}

TEST_F(LangTest, KeyKeepsItsTrailingSpace) {
    WriteTexts("Eng", "$$>TEXT_Spaced \nEng:\"with space\"\n$$<\n");
    auto lang = Load();
    EXPECT_EQ(Lookup(*lang, "TEXT_Spaced "), "with space");
    EXPECT_EQ(Lookup(*lang, "TEXT_Spaced"), "<preset>");
}

TEST_F(LangTest, GermanIsFoundWhateverTheOrderOfTheLanguages) {
    WriteTexts("Ger\n", "$$>TEXT_Nobody\n"
                        "Eng:\"Nobody\"\n"
                        "Ger:\"Niemand\"\n"
                        "    \"hier\"\n"
                        "Rus:\"Nikto\"\n"
                        "$$<\n"
                        "$$>TEXT_Play\n"
                        "Rus:\"Igrat\"\n"
                        "Ger:\"Spielen\"\n"
                        "Eng:\"Play\"\n"
                        "$$<\n");
    auto lang = Load();
    EXPECT_EQ(lang->LangIndex, 2);
    EXPECT_EQ(lang->LangCode, "Ger");
    EXPECT_EQ(Lookup(*lang, "TEXT_Nobody"), "Niemand\nhier");
    EXPECT_EQ(Lookup(*lang, "TEXT_Play"), "Spielen");
}

TEST_F(LangTest, OnlyTheTextBetweenTheQuotesIsKept) {
    WriteTexts("Eng", "$$>TEXT_Quote\nEng:   \"  He said \"hi\"  \"   \n$$<\n");
    auto lang = Load();
    EXPECT_EQ(Lookup(*lang, "TEXT_Quote"), "  He said \"hi\"  ");
}

TEST_F(LangTest, LookUpIgnoresLetterCaseAndFindsEveryKeyOfAnUnsortedFile) {
    std::string file = "; comment line\n// another\n\n";
    const char* keys[] = {"TEXT_Zeta",      "TEXT_alpha", "TEXT_Nobody",
                          "Text_IntHelp_1", "TEXT_Mid",   "TEXT_beta"};
    for (const char* key : keys)
        file += std::string("$$>") + key + "\nEng:\"" + key + " text\"\n$$<\n\n";
    WriteTexts("Eng", file);
    auto lang = Load();
    for (const char* key : keys)
        EXPECT_EQ(Lookup(*lang, key), std::string(key) + " text") << key;
    EXPECT_EQ(Lookup(*lang, "text_nobody"), "TEXT_Nobody text");
    EXPECT_EQ(Lookup(*lang, "TEXT_ALPHA"), "TEXT_alpha text");
    EXPECT_EQ(Lookup(*lang, "TEXT_Missing"), "<preset>");
    EXPECT_FALSE(lang->GetText("TEXT_Nobod", file));
}

TEST_F(LangTest, AnEntryWithoutTheLanguageNeverTakesTheNextEntrysText) {
    WriteTexts("Ger", "$$>TEXT_EnglishOnly\n"
                      "Eng:\"only english\"\n"
                      "$$<\n"
                      "$$>TEXT_Both\n"
                      "Eng:\"both\"\n"
                      "Ger:\"beide\"\n"
                      "$$<\n"
                      "$$>TEXT_LastWithoutGerman\n"
                      "Eng:\"at the end of the file\"\n");
    auto lang = Load();
    EXPECT_EQ(Lookup(*lang, "TEXT_EnglishOnly"), "<preset>");
    EXPECT_EQ(Lookup(*lang, "TEXT_Both"), "beide");
    EXPECT_EQ(Lookup(*lang, "TEXT_LastWithoutGerman"), "<preset>");
    EXPECT_NE(Folder.LogText().find("Key=\"TEXT_EnglishOnly\""), std::string::npos);
}

TEST_F(LangTest, AnEntryMissingItsEndLineStopsAtTheNextKey) {
    WriteTexts("Eng", "$$>TEXT_One\nEng:\"one\"\n$$>TEXT_Two\nEng:\"two\"\n$$<\n");
    auto lang = Load();
    EXPECT_EQ(Lookup(*lang, "TEXT_One"), "one");
    EXPECT_EQ(Lookup(*lang, "TEXT_Two"), "two");
}

TEST_F(LangTest, AnUnknownLanguageCodeIsStillThePrefix) {
    WriteTexts("Fra", "$$>TEXT_Hello\nEng:\"hello\"\nFra:\"bonjour\"\n$$<\n");
    auto lang = Load();
    EXPECT_EQ(lang->LangIndex, 0);
    EXPECT_EQ(Lookup(*lang, "TEXT_Hello"), "bonjour");
}

TEST_F(LangTest, TheFirstOfTwoEqualKeysIsFound) {
    WriteTexts("Eng", "$$>TEXT_Twice\nEng:\"first\"\n$$<\n$$>text_twice\nEng:\"second\"\n$$<\n");
    auto lang = Load();
    EXPECT_EQ(Lookup(*lang, "TEXT_Twice"), "first");
}

TEST_F(LangTest, MoreThan2048EntriesAreRefusedWithAMessage) {
    std::string file;
    for (int i = 0; i < cMaxTexts + 2; ++i) {
        const std::string n = std::to_string(i);
        file += "$$>K" + n + "\nEng:\"T" + n + "\"\n$$<\n";
    }
    WriteTexts("Eng", file);
    auto lang = Load();
    EXPECT_EQ(lang->Keys.size(), static_cast<size_t>(cMaxTexts));
    EXPECT_EQ(Lookup(*lang, "K0"), "T0");
    EXPECT_EQ(Lookup(*lang, "K2047"), "T2047");
    EXPECT_EQ(Lookup(*lang, "K2048"), "<preset>");
    EXPECT_NE(Folder.LogText().find("more than 2048 texts"), std::string::npos);
}

TEST_F(LangTest, MissingLanguageChoiceFallsBackToEnglishWithAMessage) {
    Folder.Write("Texts/TextResourses.txt", "$$>TEXT_Ok\nGer:\"Gut\"\nEng:\"Ok\"\n$$<\n");
    auto lang = Load();
    EXPECT_EQ(lang->LangCode, "Eng");
    EXPECT_EQ(lang->LangIndex, 0);
    EXPECT_EQ(Lookup(*lang, "TEXT_Ok"), "Ok");
    EXPECT_NE(Folder.LogText().find("uLanguage.ReadLanguage"), std::string::npos);
}

TEST_F(LangTest, MissingTextFileLeavesEveryCallerText) {
    Folder.Write("Texts/Language.txt", "Rus\n");
    auto lang = Load();
    EXPECT_EQ(lang->LangIndex, 1);
    EXPECT_EQ(Lookup(*lang, "TEXT_Nobody"), "<preset>");
    const std::string expected = "uLanguage.ReadLang: Language file doesn't exists \"";
    const std::string log = Folder.LogText();
    ASSERT_NE(log.find(expected), std::string::npos);
    EXPECT_NE(log.find("TextResourses.txt\""), std::string::npos);
}

TEST_F(LangTest, TheContentPackHasEveryTextInItsLanguage) {
    const std::string data = VELMORA_DATA_DIR;
    if (!std::filesystem::exists(data + "/Texts/TextResourses.txt"))
        GTEST_SKIP() << "no content pack in " << data;
    InitDataPaths(data);
    auto lang = Load();
    EXPECT_GT(lang->Keys.size(), 100u);
    EXPECT_NE(Lookup(*lang, "TEXT_Nobody"), "<preset>");
    EXPECT_EQ(Folder.LogText().find("uLanguage"), std::string::npos) << Folder.LogText();
}

// ---- Which language a run speaks ----------------------------------------------------------------

// The desktop's variables as a table: a missing name is an unset variable.
std::string DesktopOf(const std::map<std::string, std::string>& env) {
    return DesktopLanguage([&env](const char* name) -> const char* {
        const auto it = env.find(name);
        return it == env.end() ? nullptr : it->second.c_str();
    });
}

TEST(DesktopLanguage, EachVariableSpeaksInItsOrderAndForeignOrNeutralLocalesFallThrough) {
    // Each variable alone.
    EXPECT_EQ(DesktopOf({{"LANGUAGE", "de_AT:en"}}), "Ger");
    EXPECT_EQ(DesktopOf({{"LC_ALL", "de_AT.UTF-8"}}), "Ger");
    EXPECT_EQ(DesktopOf({{"LC_MESSAGES", "ru_RU.UTF-8"}}), "Rus");
    EXPECT_EQ(DesktopOf({{"LANG", "en_GB.UTF-8"}}), "Eng");
    EXPECT_EQ(DesktopOf({{"LANG", "ru_UA.KOI8-U@euro"}}), "Rus");
    // Precedence: LANGUAGE, LC_ALL, LC_MESSAGES, LANG.
    const std::map<std::string, std::string> all = {
        {"LANGUAGE", "ru"}, {"LC_ALL", "de_DE.UTF-8"}, {"LC_MESSAGES", "en_US.UTF-8"}, {"LANG", "ru_RU"}};
    EXPECT_EQ(DesktopOf(all), "Rus");
    EXPECT_EQ(DesktopOf({{"LC_ALL", "de_DE.UTF-8"}, {"LC_MESSAGES", "en_US"}, {"LANG", "ru_RU"}}), "Ger");
    EXPECT_EQ(DesktopOf({{"LC_MESSAGES", "en_US"}, {"LANG", "ru_RU"}}), "Eng");
    // A language the game does not speak, "C", "POSIX" and empty values hand over to the next entry.
    EXPECT_EQ(DesktopOf({{"LANGUAGE", "pt_BR:fr:de"}, {"LANG", "ru_RU"}}), "Ger");
    EXPECT_EQ(DesktopOf({{"LANGUAGE", ""}, {"LC_ALL", "C"}, {"LC_MESSAGES", "POSIX"}, {"LANG", "de_CH"}}),
              "Ger");
    EXPECT_EQ(DesktopOf({{"LC_ALL", "pt_BR.UTF-8"}, {"LANG", "C.UTF-8"}}), "");
    EXPECT_EQ(DesktopOf({{"LANG", "pt_BR"}}), "");
    EXPECT_EQ(DesktopOf({}), "");
}

TEST(DesktopLanguage, SavedChoiceBeatsDesktopWhichBeatsTheInstallationsDefault) {
    EXPECT_EQ(ChooseLanguage("Rus", "Ger", "Eng"), "Rus");
    EXPECT_EQ(ChooseLanguage("", "Ger", "Rus"), "Ger");
    EXPECT_EQ(ChooseLanguage("Klingon", "Ger", "Rus"), "Ger"); // a hand-edited choice the game lacks
    EXPECT_EQ(ChooseLanguage("", "", "Rus"), "Rus");
    EXPECT_EQ(ChooseLanguage("", "", "Xyz"), "Xyz"); // still the text lines' prefix
    EXPECT_EQ(ChooseLanguage("", "", ""), "Eng");
}

TEST_F(LangTest, TheDesktopsLanguageBeatsLanguageTxtAndASavedChoiceBeatsBoth) {
    WriteTexts("Eng", "$$>TEXT_Ok\nEng:\"Ok\"\nRus:\"\xC4\xE0\"\nGer:\"Gut\"\n$$<\n");
    {
        TScopedEnv lang("LANG", "de_AT.UTF-8");
        auto german = Load();
        EXPECT_EQ(german->LangCode, "Ger");
        EXPECT_EQ(german->LangIndex, 2);
        EXPECT_EQ(Lookup(*german, "TEXT_Ok"), "Gut");
        EXPECT_NE(Folder.LogText().find("TLang.Create: Language Ger (desktop)"), std::string::npos);
        german.reset();
        Options.Language = "Rus";
        auto russian = Load();
        EXPECT_EQ(russian->LangIndex, 1);
        EXPECT_EQ(Lookup(*russian, "TEXT_Ok"), "\xC4\xE0");
    }
    Options.Language = "";
    TScopedEnv lang("LANG", "pt_BR.UTF-8");
    auto fallback = Load();
    EXPECT_EQ(fallback->LangCode, "Eng");
    EXPECT_EQ(Lookup(*fallback, "TEXT_Ok"), "Ok");
}

TEST_F(LangTest, AnUnknownSavedChoiceIsLoggedAndTheNextSourceDecides) {
    WriteTexts("Ger", "$$>TEXT_Ok\nEng:\"Ok\"\nGer:\"Gut\"\n$$<\n");
    Options.Language = "Elvish";
    auto lang = Load();
    EXPECT_EQ(lang->LangCode, "Ger");
    EXPECT_NE(Folder.LogText().find("unknown Language \"Elvish\""), std::string::npos);
}

TEST_F(LangTest, TheRunningLanguagesOwnFileIsFoundBeforeTheSharedOne) {
    WriteTexts("Rus", "");
    Folder.Write("Lang/Rus/Levels/Countries.txt", "x");
    auto lang = Load();
    const std::string shared = Paths.Levels + "\\Countries.txt";
    EXPECT_EQ(LanguageFile(shared, "\\Levels\\Countries.txt"),
              LanguageFolder("Rus") + "\\Levels\\Countries.txt");
    EXPECT_EQ(LanguageFile(Paths.Fonts + "\\Arts.itf", "\\Fonts\\Arts.itf"), Paths.Fonts + "\\Arts.itf");
    EXPECT_EQ(RunningCodePage(), 1251);
    lang.reset();
    EXPECT_EQ(LanguageFile(shared, "\\Levels\\Countries.txt"), shared); // no language yet: shared files
}

TEST_F(LangTest, StoringTheChoiceKeepsEveryOtherOptionsLineAndReplacesAnOldChoice) {
    Folder.Write("Options.txt", "; mine\nWidth 1024\nLanguage    Ger\nCONST_BlickX 5\n");
    ASSERT_TRUE(StoreLanguageChoice("Rus"));
    EXPECT_EQ(Options.Language, "Rus");
    const std::vector<uint8_t> bytes = Folder.ReadBytes("Options.txt");
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()),
              "; mine\nWidth 1024\nCONST_BlickX 5\nLanguage             Rus\n");
    TOptionsRec rec;
    ASSERT_TRUE(ReadOptionsFrom((Folder.Dir / "Options.txt").string(), rec));
    EXPECT_EQ(rec.Language, "Rus");
    EXPECT_EQ(rec.CONST_BlickX, 5);
    // The settings dialog rewrites the file from the record: the choice stays.
    ASSERT_TRUE(SaveOptionsTo((Folder.Dir / "Options.txt").string(), rec));
    TOptionsRec again;
    ASSERT_TRUE(ReadOptionsFrom((Folder.Dir / "Options.txt").string(), again));
    EXPECT_EQ(again.Language, "Rus");
}

TEST_F(LangTest, WithoutOptionsTxtTheChoiceHoldsForTheRunAndNoFileIsMade) {
    EXPECT_FALSE(StoreLanguageChoice("Ger"));
    EXPECT_EQ(Options.Language, "Ger");
    EXPECT_FALSE(std::filesystem::exists(Folder.Dir / "Options.txt"));
    EXPECT_NE(Folder.LogText().find("uLanguage.StoreLanguageChoice"), std::string::npos);
}

// ---- Names typed in one language, shown in another ------------------------------------------------

TEST(PlayerNames, ANameShowsAsTypedInItsCodePageAndReadablyInTheOther) {
    const std::string dima = "\xC4\xE8\xEC\xE0";   // "Дима", Windows-1251
    const std::string yozh = "\xB8\xE6\xE8\xEA 2"; // "ёжик 2"
    const std::string joerg = "J\xF6rg";           // "Jörg", Windows-1252
    const std::string dyadya = "\xC4\xFF\xE4\xFF"; // "Дядя": 0xC4 and 0xE4 are umlauts in 1252
    const std::string dyadko = "\xC4\xE4\xFC";     // "Ддь": only umlaut bytes, but no Latin letter
    EXPECT_EQ(NameCodePage("Bot 7"), 0);
    EXPECT_EQ(NameCodePage(dima), 1251);
    EXPECT_EQ(NameCodePage(joerg), 1252);
    EXPECT_EQ(NameCodePage(dyadya), 1251);
    EXPECT_EQ(NameCodePage(dyadko), 1251);
    EXPECT_EQ(NameForCodePage(dima, 1251), dima);
    EXPECT_EQ(NameForCodePage(dima, 1252), "Dima");
    EXPECT_EQ(NameForCodePage(yozh, 1252), "yozhik 2");
    EXPECT_EQ(NameForCodePage(dyadya, 1252), "Dyadya");
    EXPECT_EQ(NameForCodePage(joerg, 1252), joerg);
    EXPECT_EQ(NameForCodePage(joerg, 1251), "Joerg");
    EXPECT_EQ(NameForCodePage("Stra\xDF"
                              "e",
                              1251),
              "Strasse");
    EXPECT_EQ(NameForCodePage("Bot 7", 1251), "Bot 7");
    // Every Cyrillic letter has a Latin spelling (the soft and hard signs none).
    for (int c = 0xC0; c <= 0xFF; ++c) {
        const std::string shown = NameForCodePage(std::string(1, static_cast<char>(c)), 1252);
        for (char ch : shown)
            EXPECT_LT(static_cast<unsigned char>(ch), 0x80) << c;
        if (c != 0xDA && c != 0xDC && c != 0xFA && c != 0xFC) {
            EXPECT_FALSE(shown.empty()) << c;
        }
    }
}

TEST_F(LangTest, TheGlobalIsClearedWithItsObject) {
    WriteTexts("Eng", "");
    {
        auto lang = Load();
        EXPECT_EQ(Lang, lang.get());
    }
    EXPECT_EQ(Lang, nullptr);
}

} // namespace
} // namespace velmora
