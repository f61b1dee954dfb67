// The data folder written by the content tool: complete, well formed and the same every run.
#include "content_support.h"

#include "app/language.h"
#include "app/sound.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <utility>

using namespace content_test;

namespace {

const std::vector<std::string>& required_files() {
    static const std::vector<std::string> files = {"Texts/Language.txt",
                                                   "Texts/TextResourses.txt",
                                                   "Levels/Countries.txt",
                                                   "Sound/Snd/descr.txt",
                                                   "Sound/Mus/descr.txt",
                                                   "Textures/Particles.tga",
                                                   "Textures/Particles.uv",
                                                   "Textures/Chips.tga",
                                                   "Textures/GlaresMask.tga",
                                                   "Textures/BlurPen.tga",
                                                   "Textures/Fields.tga",
                                                   "Textures/Bonuses.tga",
                                                   "Textures/Cursor_Hammer_Passive.tga",
                                                   "Textures/Cursor_Hammer_Active.tga",
                                                   "Textures/MainMenu_ButtonBig.tga",
                                                   "Textures/MainMenu_ButtonStart.tga",
                                                   "Textures/MainMenu_ButtonOptions.tga",
                                                   "Textures/MainMenu_ButtonHiScores.tga",
                                                   "Textures/MainMenu_ButtonAbout.tga",
                                                   "Textures/MainMenu_ButtonExit.tga",
                                                   "Textures/Options_MusicMark.tga",
                                                   "Textures/Options_MusicTrack.tga",
                                                   "Textures/Options_Mark.tga",
                                                   "Textures/YourName_Cursor.tga",
                                                   "Textures/Game_MenuButton.tga",
                                                   "Textures/Game_Timer.tga",
                                                   "Textures/Game_LabelPanel.tga",
                                                   "Textures/Hearts.tga",
                                                   "Textures/ActSel.tga",
                                                   "Textures/InteractiveHelp/Arrows.tga",
                                                   "Textures/InteractiveHelp/IHelp.tga",
                                                   "Textures/Cursors.tga",
                                                   "Textures/Player_Marker.tga",
                                                   "Textures/Map_Mark_Done.tga",
                                                   "Textures/Map_Mark_Current.tga",
                                                   "Textures/Map_Mark_Virgin.tga",
                                                   "Textures/Artefacts_Controls.tga",
                                                   "Textures/Artefacts_Controls.dscr",
                                                   "Textures/MenuBack/Fishes1.tga",
                                                   "Textures/MenuBack/Fishes2.tga",
                                                   "Textures/MenuBack/Fishes3.tga",
                                                   "Textures/MenuBack/SandLight.tga",
                                                   "Textures/MenuBack/Wheel.tga",
                                                   "Textures/MenuBack/Tiger.tga",
                                                   "Textures/MenuBack/Back.jpg",
                                                   "Textures/Logo/Blick.tga",
                                                   "Textures/Logo/Logo.jpg",
                                                   "Textures/ResCreator/Back0.tga",
                                                   "Textures/ResCreator/Background.jpg",
                                                   "Textures/tga2jpgANDmask.txt",
                                                   "Textures/Game_PanelLeft.tga",
                                                   "Textures/Game_PanelRight.tga",
                                                   "Textures/MainMenu_Panel.tga",
                                                   "Textures/GameMenu_Panel.tga",
                                                   "Textures/Options_Panel.tga",
                                                   "Textures/Player_Panel.tga",
                                                   "Textures/YourName_Panel.tga",
                                                   "Textures/StdDialog_Panel.tga",
                                                   "Textures/Help_Panel.jpg",
                                                   "Textures/HiScores_Panel.jpg",
                                                   "Textures/Stats/Panel.tga",
                                                   "Textures/Help/Vase.tga",
                                                   "Textures/Help/Slice.tga",
                                                   "Textures/Help/Bonuses.tga",
                                                   "Textures/Help/Rect2.tga",
                                                   "Textures/History/Back.jpg",
                                                   "Textures/History/Border.tga",
                                                   "Textures/History/Small_Sun.tga",
                                                   "Textures/History/Small_Lion.tga",
                                                   "Textures/History/Small_Horse.tga",
                                                   "Textures/History/Large_Sun.jpg",
                                                   "Textures/History/Large_Tsunami.jpg",
                                                   "Textures/History/Large_Underwater.jpg",
                                                   "Textures/Map_BorderUp.tga",
                                                   "Textures/Map_BorderDown.tga",
                                                   "Textures/Map_BorderLeft.tga",
                                                   "Textures/Map_BorderRight.tga",
                                                   "Textures/Artefacts_TempBack.jpg",
                                                   "Textures/Artefacts_Up.tga",
                                                   "Textures/Artefacts_Down.tga",
                                                   "Textures/Artefacts_Left.tga",
                                                   "Textures/Artefacts_Right.tga",
                                                   "Textures/Artefacts_Right2.tga",
                                                   "Textures/Cursor_1.xcr",
                                                   "Textures/Cursor_2.xcr",
                                                   "Textures/Cursor_3.xcr",
                                                   "Textures/Arts/Egypt1/Broken.tga",
                                                   "Textures/MenuBack/Logo1.tga",
                                                   "Textures/MenuBack/Logo2.tga"};
    return files;
}

const std::vector<std::string> kCountries = {"Greece", "Babylon",  "Egypt1",   "Egypt2",
                                             "Rome",   "Carthage", "Velmora1", "Velmora2"};

const std::vector<std::string> kFonts = {"WhiteCourier11",    "BlackCourier11",    "MenuTitle",
                                         "MenuStdButtons",    "MenuStdActButtons", "MenuBigButtons",
                                         "MenuBigActButtons", "PlayerFont_Yellow", "PlayerFont_Gray",
                                         "GameScore",         "GameScore_Small",   "Welcome",
                                         "PlayerFont2",       "History",           "History2",
                                         "GameFont",          "InteractiveHelp",   "Arts"};

const std::vector<std::string> kParticles = {"@ArtMagic",
                                             "@Bubbles1",
                                             "@Bubbles2",
                                             "@Bubbles3",
                                             "@Bubbles5",
                                             "@Expl_Paint",
                                             "@Expl_Sap",
                                             "@Fire",
                                             "@Fire2",
                                             "@Fire3",
                                             "@Fire4",
                                             "@LitExpl",
                                             "@LitExpl2",
                                             "@LittleExplosion_Black",
                                             "@LittleExplosion_Blue",
                                             "@LittleExplosion_Brown",
                                             "@LittleExplosion_Green",
                                             "@LittleExplosion_In",
                                             "@LittleExplosion_Purple",
                                             "@LittleExplosion_Red",
                                             "@LittleExplosion_Turq",
                                             "@LittleExplosion_White",
                                             "@LittleExplosion_Yellow",
                                             "@MoneyExpl",
                                             "@TimeOff"};

std::vector<std::string> required_keys() {
    std::vector<std::string> keys = {"TEXT_About",
                                     "TEXT_Cancel",
                                     "TEXT_CheckBox_DoNotShowThisMessageAgain",
                                     "TEXT_CheckBox_DragNDrop",
                                     "TEXT_CheckBox_Fullscren",
                                     "TEXT_CheckBox_ShowHelp",
                                     "TEXT_Continue",
                                     "TEXT_CountryName_Babylon",
                                     "TEXT_CountryName_Carthage",
                                     "TEXT_CountryName_Egypt",
                                     "TEXT_CountryName_Greece",
                                     "TEXT_CountryName_None",
                                     "TEXT_CountryName_Rome",
                                     "TEXT_CountryName_Velmora",
                                     "TEXT_Delete",
                                     "TEXT_Exit",
                                     "TEXT_HISCORES_Country",
                                     "TEXT_HISCORES_N",
                                     "TEXT_HISCORES_Player",
                                     "TEXT_HISCORES_Score",
                                     "TEXT_HISCORES_Town",
                                     "TEXT_Help_Win1",
                                     "TEXT_Help_Win2",
                                     "TEXT_Help_Win3",
                                     "TEXT_Help_Win4",
                                     "TEXT_HiScores",
                                     "TEXT_IfThisIsNotYouClickHere",
                                     "TEXT_LabelPanel_GetReady",
                                     "TEXT_LabelPanel_Go",
                                     "TEXT_LabelPanel_LowTime",
                                     "TEXT_LabelPanel_Paused",
                                     "TEXT_MainLabel_AngryChip",
                                     "TEXT_MainLabel_Congratulations_Bad",
                                     "TEXT_MainLabel_Congratulations_Best",
                                     "TEXT_MainLabel_Congratulations_Good",
                                     "TEXT_MainLabel_Congratulations_Norm",
                                     "TEXT_MainLabel_Congratulations_Ok",
                                     "TEXT_MainLabel_GameOver",
                                     "TEXT_MainLabel_LastLife",
                                     "TEXT_MainLabel_Level",
                                     "TEXT_MainLabel_LivesLeft",
                                     "TEXT_MainLabel_Restart",
                                     "TEXT_MainLabel_YouLoseTheGame",
                                     "TEXT_MainMenu",
                                     "TEXT_Menu",
                                     "TEXT_NewGame",
                                     "TEXT_NewPlayer",
                                     "TEXT_Next",
                                     "TEXT_No",
                                     "TEXT_Nobody",
                                     "TEXT_Ok",
                                     "TEXT_Options",
                                     "TEXT_Rename",
                                     "TEXT_Restart",
                                     "TEXT_Resume",
                                     "TEXT_Skip",
                                     "TEXT_Start",
                                     "TEXT_Stats_BonusLives",
                                     "TEXT_Stats_Bonuses",
                                     "TEXT_Stats_Chains",
                                     "TEXT_Stats_Chips",
                                     "TEXT_Stats_GameOver",
                                     "TEXT_Stats_MaxChain",
                                     "TEXT_Stats_Slices",
                                     "TEXT_Stats_Success",
                                     "TEXT_Stats_TimeBonus",
                                     "TEXT_Stats_TotalBonuses",
                                     "TEXT_Stats_TotalChains",
                                     "TEXT_Stats_TotalChips",
                                     "TEXT_Stats_TotalLives",
                                     "TEXT_Stats_TotalScore",
                                     "TEXT_Stats_TotalSlices",
                                     "TEXT_Stats_TotalTime",
                                     "TEXT_Stats_YourScore",
                                     "TEXT_Stats_YourTime",
                                     "TEXT_Subtitle_ContinueOldGame",
                                     "TEXT_Subtitle_DeleteAllProgress",
                                     "TEXT_Subtitle_EnterCorrectName",
                                     "TEXT_Subtitle_EnterYourName",
                                     "TEXT_Subtitle_ExitProgram",
                                     "TEXT_Subtitle_LoseAndRestart",
                                     "TEXT_Subtitle_ReallyDeletePlayer",
                                     "TEXT_Subtitle_SaveAndExit",
                                     "TEXT_Subtitle_SelectAPlayer",
                                     "TEXT_Title_ATTENTION",
                                     "TEXT_Title_Artefacts",
                                     "TEXT_Title_EXITGAME",
                                     "TEXT_Title_EXITPROGRAM",
                                     "TEXT_Title_HiScores",
                                     "TEXT_Title_History",
                                     "TEXT_Title_INVALIDNAME",
                                     "TEXT_Title_Instructions",
                                     "TEXT_Title_MENU",
                                     "TEXT_Title_NEWGAME",
                                     "TEXT_Title_OPTIONS",
                                     "TEXT_Title_PLAYER",
                                     "TEXT_Title_RESTART",
                                     "TEXT_Title_YOURNAME",
                                     "TEXT_TrackBar_Music",
                                     "TEXT_TrackBar_Sound",
                                     "TEXT_WelcomeToTheVelmora",
                                     "TEXT_Yes",
                                     "Text_IntHelp_Error",
                                     "Text_IntHelp_Lock1Showed",
                                     "Text_IntHelp_Lock2Showed",
                                     "Text_IntHelp_LowTime",
                                     "Text_IntHelp_NeedToDrop2Slice",
                                     "Text_IntHelp_TwoHor",
                                     "Text_IntHelp_WallShowed",
                                     "Text_IntHelp_WhatIsArtSlices",
                                     "Text_IntHelp_BonusX2",
                                     "Text_IntHelp_BonusX3",
                                     "TEXT_History_scPreHistory1_1",
                                     "TEXT_History_scPreHistory1_2",
                                     "TEXT_History_scPreHistory2",
                                     "TEXT_History_scPreHistory3_1",
                                     "TEXT_History_scPreHistory3_2",
                                     "TEXT_History_scPostHistory1_1",
                                     "TEXT_History_scPostHistory1_2",
                                     "TEXT_History_scPostHistory2",
                                     "TEXT_History_scPostHistory3",
                                     "TEXT_History_scPostHistory4"};
    for (const char* c : {"Greece", "Babylon", "Egypt1", "Egypt2", "Rome", "Carthage", "Velmora1"})
        for (int k = 1; k <= 2; ++k)
            keys.push_back(std::string("TEXT_History_sc_") + c + "_" + std::to_string(k));
    for (int i = 1; i <= 8; ++i) {
        const std::string n = (i < 10 ? "0" : "") + std::to_string(i);
        for (const char* p :
             {"TEXT_MAP_ArtText_", "TEXT_MAP_ArtTitle_", "TEXT_MAP_CountryName_", "TEXT_MAP_Subtitle_"})
            keys.push_back(p + n);
        keys.push_back("Text_IntHelp_Bonus" + std::to_string(i));
    }
    for (int i = 1; i <= 4; ++i)
        keys.push_back("TEXT_IntHelp_VisBonus" + std::to_string(i));
    return keys;
}

std::string lower(std::string s) {
    for (char& c : s)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

} // namespace

TEST(ContentPack, EveryFileTheGameNamesExists) {
    for (const std::string& f : required_files()) {
        EXPECT_TRUE(fs::exists(data_dir() / f)) << f;
    }
    // The shared fonts are Windows-1252; Russian brings its Windows-1251 set and its town names,
    // German its town names; the options window's font holds the three languages' names.
    for (const fs::path& fonts : {data_dir() / "Fonts", data_dir() / "Lang" / "Rus" / "Fonts"}) {
        for (const std::string& f : kFonts) {
            EXPECT_TRUE(fs::exists(fonts / (f + ".itf"))) << fonts << f;
            EXPECT_TRUE(fs::exists(fonts / (f + ".tga"))) << fonts << f;
        }
    }
    EXPECT_TRUE(fs::exists(data_dir() / "Fonts" / "LanguageNames.itf"));
    EXPECT_TRUE(fs::exists(data_dir() / "Fonts" / "LanguageNames.tga"));
    for (const char* code : {"Rus", "Ger"})
        EXPECT_TRUE(fs::exists(data_dir() / "Lang" / code / "Levels" / "Countries.txt")) << code;
    EXPECT_FALSE(fs::exists(data_dir() / "Lang" / "Eng")) << "English is the shared folders' language";
    for (const std::string& p : kParticles) {
        EXPECT_TRUE(fs::exists(data_dir() / "Particles" / (p + ".prt"))) << p;
    }
    for (const std::string& c : kCountries) {
        for (const char* pic : {"Norm.tga", "Split.tga", "Shad.tga", "Mask.tga", "!Colors.txt"})
            EXPECT_TRUE(fs::exists(data_dir() / "Textures" / "Arts" / c / pic)) << c << '/' << pic;
        EXPECT_TRUE(fs::exists(data_dir() / "Textures" / "Countries" / (c + ".jpg"))) << c;
        EXPECT_TRUE(fs::exists(data_dir() / "Textures" / "Maps" / (c + ".jpg"))) << c;
        EXPECT_TRUE(fs::exists(data_dir() / "Textures" / "Maps" / (c + "_Alpha.jpg"))) << c;
        EXPECT_TRUE(fs::exists(data_dir() / "Textures" / "History" / ("Map_" + c + ".tga"))) << c;
        if (c != "Velmora2") {
            EXPECT_TRUE(fs::exists(data_dir() / "Textures" / "History" / ("Art_" + c + ".tga"))) << c;
        }
    }
}

TEST(ContentPack, EveryTextureIsAnUncompressed32BitBottomUpTga) {
    int count = 0;
    for (const auto& e : fs::recursive_directory_iterator(data_dir() / "Textures")) {
        if (e.path().extension() != ".tga") continue;
        const TgaInfo info = read_tga_header(e.path());
        EXPECT_TRUE(info.valid) << e.path();
        ++count;
    }
    EXPECT_GT(count, 80);
    // the sheets addressed by fixed grids have the sizes the grids assume
    for (const char* sheet :
         {"Chips.tga", "Fields.tga", "Bonuses.tga", "Particles.tga", "MenuBack/SandLight.tga"}) {
        const TgaInfo info = read_tga_header(data_dir() / "Textures" / sheet);
        EXPECT_EQ(info.width, 256) << sheet;
        EXPECT_EQ(info.height, 256) << sheet;
    }
    EXPECT_EQ(read_tga_header(data_dir() / "Textures" / "Cursors.tga").width, 64);
    EXPECT_EQ(read_tga_header(data_dir() / "Textures" / "InteractiveHelp" / "IHelp.tga").width, 128);
    EXPECT_EQ(read_tga_header(data_dir() / "Textures" / "GlaresMask.tga").width, 40);
    // pictures the game cuts into small tiles: a tiled picture shows at most 256 tiles, else nothing
    for (const auto& [name, tile] : {std::pair<const char*, int>{"Game_PanelRight.tga", 32},
                                     {"Game_PanelLeft.tga", 128},
                                     {"History/Border.tga", 128}}) {
        const TgaInfo info = read_tga_header(data_dir() / "Textures" / name);
        ASSERT_TRUE(info.valid) << name;
        EXPECT_LE(((info.width + tile - 1) / tile) * ((info.height + tile - 1) / tile), 256) << name;
    }
    // the map bars cover the strip between the border size (69, 13) and the map picture
    EXPECT_EQ(read_tga_header(data_dir() / "Textures" / "Map_BorderUp.tga").height, 79);
    EXPECT_EQ(read_tga_header(data_dir() / "Textures" / "Map_BorderLeft.tga").width, 22);
}

TEST(ContentPack, JpegListNamesShippedPictures) {
    int listed = 0;
    for (const std::string& line : read_lines(data_dir() / "Textures" / "tga2jpgANDmask.txt")) {
        if (skipped(line)) {
            continue;
        }
        const auto w = words(line);
        ASSERT_EQ(w.size(), 2u) << line;
        std::string rel = w[1];
        std::replace(rel.begin(), rel.end(), '\\', '/');
        EXPECT_TRUE(fs::exists(data_dir() / "Textures" / rel)) << rel;
        ++listed;
    }
    EXPECT_GE(listed, 25);
}

// Every slot of the game's own sound table has its file in the list.
TEST(ContentPack, SoundListNamesEverySlotAndItsFile) {
    std::map<std::string, std::string> files;
    for (const std::string& line : read_lines(data_dir() / "Sound" / "Snd" / "descr.txt")) {
        if (skipped(line)) {
            continue;
        }
        const std::string file = words(line)[0];
        files[lower(file.substr(0, file.rfind('.')))] = file;
    }
    for (const velmora::TSoundTableRow& row : velmora::SoundTable) {
        const std::string s = row.Name;
        ASSERT_TRUE(files.count(lower(s))) << s;
        const std::string bytes = read_bytes(data_dir() / "Sound" / "Snd" / files[lower(s)]);
        ASSERT_GT(bytes.size(), 44u) << s;
        if (s.rfind("Music_", 0) == 0) {
            EXPECT_EQ(bytes.substr(0, 4), "OggS") << s;
            continue;
        }
        EXPECT_EQ(bytes.substr(0, 4) + bytes.substr(8, 4), "RIFFWAVE") << s;
        // 16-bit samples after the 44-byte header: the effect must be audible
        int peak = 0;
        for (size_t i = 44; i + 1 < bytes.size(); i += 2) {
            const auto v = int16_t(uint16_t(static_cast<unsigned char>(bytes[i])) |
                                   uint16_t(static_cast<unsigned char>(bytes[i + 1]) << 8));
            peak = std::max(peak, std::abs(int(v)));
        }
        EXPECT_GT(peak, 8000) << s;
    }
}

TEST(ContentPack, EveryTextKeyExistsInAllThreeLanguages) {
    const fs::path file = data_dir() / "Texts" / "TextResourses.txt";
    for (const char* code : {"Eng", "Rus", "Ger"}) {
        std::map<std::string, std::string> texts;
        for (auto& [k, t] : read_text_entries(file, code))
            texts[lower(k)] = t;
        for (const std::string& key : required_keys()) {
            ASSERT_TRUE(texts.count(lower(key))) << key;
            EXPECT_FALSE(texts[lower(key)].empty()) << code << ' ' << key;
            EXPECT_NE(texts[lower(key)], "\x01missing") << code << ' ' << key;
        }
    }
    EXPECT_EQ(read_lines(data_dir() / "Texts" / "Language.txt").at(0), "Eng");
}

TEST(ContentPack, RussianTextsAreWindows1251AndGermanTexts1252) {
    const fs::path file = data_dir() / "Texts" / "TextResourses.txt";
    std::map<std::string, std::string> rus, ger;
    for (auto& [k, t] : read_text_entries(file, "Rus"))
        rus[k] = t;
    for (auto& [k, t] : read_text_entries(file, "Ger"))
        ger[k] = t;
    // exact code-page bytes: "ИГРОК" in Windows-1251, "Hauptmenü" in Windows-1252
    EXPECT_EQ(rus["TEXT_Title_PLAYER"], "\xC8\xC3\xD0\xCE\xCA");
    EXPECT_EQ(ger["TEXT_MainMenu"], "Hauptmen\xFC");
    EXPECT_EQ(rus["TEXT_Yes"], "\xC4\xE0");
}

TEST(ContentPack, FontsAreWellFormedAndFitTheirAtlas) {
    std::vector<fs::path> fonts;
    for (const std::string& name : kFonts) {
        fonts.push_back(data_dir() / "Fonts" / (name + ".itf"));
        fonts.push_back(data_dir() / "Lang" / "Rus" / "Fonts" / (name + ".itf"));
    }
    fonts.push_back(data_dir() / "Fonts" / "LanguageNames.itf");
    for (const fs::path& file : fonts) {
        const std::string name = file.string();
        const ItfFont f = read_itf(file);
        const TgaInfo atlas = read_tga_header(fs::path(file).replace_extension(".tga"));
        ASSERT_TRUE(atlas.valid) << name;
        if (file.stem() != "LanguageNames") {
            EXPECT_GT(f.chars.size(), 150u) << name;
        }
        EXPECT_EQ(fs::file_size(file), 272 + 24 * f.chars.size()) << name;
        EXPECT_GT(f.lineHeight, 8) << name;
        for (const auto& g : f.glyphs) {
            EXPECT_GE(g.x, 0);
            EXPECT_GE(g.y, 0);
            EXPECT_LE(g.x + g.w, atlas.width) << name;
            EXPECT_LE(g.y + g.h, atlas.height) << name;
            EXPECT_LE(g.shift + g.h, f.lineHeight) << name;
            EXPECT_EQ(g.transposed, 0);
        }
    }
}

namespace {

// A language's own copy of a data file when its folder has one, else the shared file, as the game
// looks them up.
fs::path language_file(const fs::path& dir, const std::string& code, const fs::path& rel) {
    const fs::path own = dir / "Lang" / code / rel;
    return fs::exists(own) ? own : dir / rel;
}

// Every character of a language's texts (and town names) is in every font the language loads.
void expect_fonts_cover_texts(const fs::path& dir, const std::string& code) {
    std::set<unsigned char> used;
    for (auto& [k, t] : read_text_entries(dir / "Texts" / "TextResourses.txt", code))
        for (char c : t)
            if (c != '\n') used.insert(static_cast<unsigned char>(c));
    for (const std::string& line : read_lines(language_file(dir, code, fs::path("Levels") / "Countries.txt")))
        for (char c : line)
            used.insert(static_cast<unsigned char>(c));
    for (const std::string& name : kFonts) {
        const ItfFont f = read_itf(language_file(dir, code, fs::path("Fonts") / (name + ".itf")));
        for (unsigned char c : used)
            EXPECT_NE(f.chars.find(char(c)), std::string::npos)
                << code << " font " << name << " lacks byte " << int(c);
    }
}

// A line's width in a font as the labels lay it out: glyph widths side by side.
int32_t line_width(const ItfFont& font, const std::string& line) {
    int32_t width = 0;
    for (char c : line) {
        const size_t at = font.chars.find(c);
        if (at != std::string::npos && at < font.glyphs.size()) width += font.glyphs[at].w;
    }
    return width;
}

// The questions' titles and one-line subtitles stand inside the smallest panel that shows them,
// the 440-pixel dialog, clear of its 20-pixel gilded frame; the options' check box captions start
// 102 pixels into the 480-pixel options panel and end before its frame, and the note under the
// language choice stands between the frames.
void expect_menu_texts_fit_their_panels(const fs::path& dir, const std::string& code) {
    constexpr int32_t cFrame = 20;
    constexpr int32_t cInsideDialog = 440 - 2 * cFrame;
    constexpr int32_t cCheckBoxCaption = 480 - cFrame - 102;
    constexpr int32_t cInsideOptions = 480 - 2 * cFrame;
    const std::set<std::string> optionBoxes = {"TEXT_CheckBox_Fullscren", "TEXT_CheckBox_ShowHelp",
                                               "TEXT_CheckBox_DragNDrop"};
    const std::set<std::string> questionTitles = {"TEXT_Title_ATTENTION",   "TEXT_Title_EXITGAME",
                                                  "TEXT_Title_EXITPROGRAM", "TEXT_Title_RESTART",
                                                  "TEXT_Title_NEWGAME",     "TEXT_Title_INVALIDNAME"};
    const ItfFont font = read_itf(language_file(dir, code, fs::path("Fonts") / "MenuStdButtons.itf"));
    const ItfFont titleFont = read_itf(language_file(dir, code, fs::path("Fonts") / "MenuTitle.itf"));
    int subtitles = 0, notes = 0;
    for (auto& [key, text] : read_text_entries(dir / "Texts" / "TextResourses.txt", code)) {
        if (key == "TEXT_Options_LanguageNextStart") {
            ++notes;
            EXPECT_LE(line_width(font, text), cInsideOptions) << code << ' ' << key << ": \"" << text << '"';
        }
        if (questionTitles.count(key) != 0) {
            EXPECT_LE(line_width(titleFont, text), cInsideDialog)
                << code << ' ' << key << ": \"" << text << '"';
        }
        if (optionBoxes.count(key) != 0) {
            EXPECT_LE(line_width(font, text), cCheckBoxCaption)
                << code << ' ' << key << ": \"" << text << '"';
        }
        if (key.rfind("TEXT_Subtitle_", 0) != 0) continue;
        ++subtitles;
        EXPECT_EQ(text.find('\n'), std::string::npos) << code << ' ' << key;
        EXPECT_LE(line_width(font, text), cInsideDialog) << code << ' ' << key << ": \"" << text << '"';
    }
    EXPECT_GE(subtitles, 9) << code;
    EXPECT_EQ(notes, 1) << code;
}

} // namespace

TEST(ContentPack, EnglishFontsHoldEveryCharacterOfTheEnglishTexts) {
    expect_fonts_cover_texts(data_dir(), "Eng");
    expect_menu_texts_fit_their_panels(data_dir(), "Eng");
}

// German shares Windows-1252 with English, so the same fonts must hold the German texts too.
TEST(ContentPack, Windows1252FontsHoldEveryCharacterOfTheGermanTexts) {
    expect_fonts_cover_texts(data_dir(), "Ger");
    expect_menu_texts_fit_their_panels(data_dir(), "Ger");
}

// Russian takes the fonts of its own folder, Windows-1251.
TEST(ContentPack, RussianFontsHoldEveryCharacterOfTheRussianTexts) {
    expect_fonts_cover_texts(data_dir(), "Rus");
    expect_menu_texts_fit_their_panels(data_dir(), "Rus");
}

// The options window writes each language's name in its own letters with one font, whatever the
// running language: three boxes 130 pixels apart from 60 pixels into the 480-pixel panel, each name
// 40 pixels right of its box and clear of the next box (the last one of the frame).
TEST(ContentPack, TheLanguageNamesFontHoldsAndFitsEveryName) {
    constexpr int32_t cNameRoom = 130 - 40;
    const ItfFont font = read_itf(data_dir() / "Fonts" / "LanguageNames.itf");
    for (const velmora::TLanguageInfo& language : velmora::Languages) {
        const std::string name = language.NativeName;
        for (char c : name)
            EXPECT_NE(font.chars.find(c), std::string::npos)
                << language.Code << " lacks byte " << int(uint8_t(c));
        EXPECT_GT(line_width(font, name), 30) << language.Code;
        EXPECT_LE(line_width(font, name), cNameRoom) << language.Code;
    }
}

// One folder serves every language: a run for another default language differs in the default
// only, and two runs are byte for byte the same.
TEST(ContentPack, RunsAreByteIdenticalAndTheDefaultLanguageIsTheirOnlyDifference) {
    const fs::path a = scratch_dir("velmora_content_a");
    const fs::path b = scratch_dir("velmora_content_b");
    for (const auto& p : {a, b})
        fs::remove_all(p);
    ASSERT_TRUE(run_tool(a, "Rus"));
    ASSERT_TRUE(run_tool(b, "Rus"));
    std::vector<std::string> filesA, filesB;
    for (const auto& e : fs::recursive_directory_iterator(a))
        if (e.is_regular_file()) filesA.push_back(fs::relative(e.path(), a).string());
    for (const auto& e : fs::recursive_directory_iterator(b))
        if (e.is_regular_file()) filesB.push_back(fs::relative(e.path(), b).string());
    std::sort(filesA.begin(), filesA.end());
    std::sort(filesB.begin(), filesB.end());
    ASSERT_EQ(filesA, filesB);
    for (const std::string& f : filesA) {
        const std::string bytes = read_bytes(a / f);
        EXPECT_TRUE(bytes == read_bytes(b / f)) << f;
        if (f != "Texts/Language.txt") {
            EXPECT_TRUE(bytes == read_bytes(data_dir() / f)) << f;
        }
    }
    EXPECT_EQ(read_lines(a / "Texts" / "Language.txt").at(0), "Rus");
    for (const auto& p : {a, b})
        fs::remove_all(p);
}

TEST(ContentPack, ParticleFilesUseKnownKeysAndVisibleSprites) {
    const std::set<std::string> keys = {"Queue",
                                        "Blend",
                                        "BornRadius",
                                        "StartSpeed",
                                        "LifeTime",
                                        "PartsPerStep",
                                        "Count",
                                        "Wind",
                                        "Grav",
                                        "UVIndex",
                                        "Colors",
                                        "Size",
                                        "EnableAxisRotate",
                                        "AxisRotate",
                                        "EnableCenterRotate",
                                        "CenterRotate"};
    int uvCount = 0;
    for (const std::string& line : read_lines(data_dir() / "Textures" / "Particles.uv"))
        if (!skipped(line)) {
            EXPECT_EQ(words(line).size(), 4u) << line;
            ++uvCount;
        }
    for (const std::string& p : kParticles) {
        std::map<std::string, std::vector<std::string>> seen;
        for (const std::string& line : read_lines(data_dir() / "Particles" / (p + ".prt"))) {
            if (skipped(line)) {
                continue;
            }
            auto w = words(line);
            EXPECT_TRUE(keys.count(w[0])) << p << ": " << w[0];
            seen[w[0]] = std::vector<std::string>(w.begin() + 1, w.end());
        }
        ASSERT_TRUE(seen.count("UVIndex")) << p;
        EXPECT_LT(std::stoi(seen["UVIndex"][0]), uvCount) << p;
        EXPECT_GT(std::stoi(seen["LifeTime"][0]), 0) << p;
        EXPECT_GT(std::stoi(seen["Count"][0]), 0) << p;
        EXPECT_LE(std::stoi(seen["Count"][0]), 2048) << p;
        // a continuous emitter needs a pool as large as the particles alive at once, or it stutters
        if (std::stoi(seen["Queue"][0]) != 3) {
            EXPECT_GE(std::stod(seen["Count"][0]),
                      std::stod(seen["PartsPerStep"][0]) * std::stod(seen["LifeTime"][0]))
                << p;
        }
        EXPECT_EQ(seen["Colors"].size(), 4u) << p;
    }
}

TEST(ContentPack, HistoryTextsFitTheTenLinesAScenePlays) {
    const fs::path file = data_dir() / "Texts" / "TextResourses.txt";
    for (const char* code : {"Eng", "Rus", "Ger"}) {
        int scenes = 0;
        for (auto& [key, text] : read_text_entries(file, code)) {
            if (key.rfind("TEXT_History_", 0) != 0) {
                continue;
            }
            ++scenes;
            EXPECT_LE(std::count(text.begin(), text.end(), '\n') + 1, 10) << code << ' ' << key;
            size_t start = 0;
            while (start <= text.size()) {
                const size_t end = std::min(text.find('\n', start), text.size());
                EXPECT_LE(end - start, 70u) << code << ' ' << key << " has a line too wide for the window";
                start = end + 1;
            }
        }
        EXPECT_EQ(scenes, 24) << code;
    }
}
