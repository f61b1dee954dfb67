#include "app/language.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "services_fixture.h"

namespace velmora {
namespace {

using testing::TServicesFolder;

class LangTest : public ::testing::Test {
  protected:
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
