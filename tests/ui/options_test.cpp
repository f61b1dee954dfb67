// The options window: live volume changes, OK keeping and Cancel or Escape restoring the opening
// values, the player's own copy of the help and drag-and-drop choices.
#include <cstring>
#include <fstream>
#include <sstream>

#include "app/d3dapp.h"
#include "app/gamedat.h"
#include "app/language.h"
#include "app/options.h"
#include "app/sound.h"
#include "platform/bass.h"
#include "render/itf.h"
#include "render/texlabels.h"
#include "render/visual.h"
#include "ui/keyrows.h"
#include "ui/w_menuoptions.h"
#include "ui/wincontrols.h"
#include "menus_fixture.h"
#include "ui/menuback.h"
#include "ui/passage.h"

using namespace velmora;
using velmora::testing::TUiFrameTest;

namespace velmora {
void RegisterUiWindows();
}

namespace {

class Options_ : public TUiFrameTest {
  protected:
    void SetUp() override {
        TUiFrameTest::SetUp();
        GameDat.MusicVolume = 0.8f;
        GameDat.SoundVolume = 0.6f;
        GameDat.FullScreen = 0;
        GameDat.ShowHelp = 1;
        GameDat.DragNDrop = 0;
        GameDat.PlayerCount = 1;
        GameDat.CurrentPlayer = 1;
        ClearPlayer(1);
        GameDat.Players[0].PlayerShowHelp = 1;
        GameDat.Players[0].PlayerDragNDrop = 0;
    }
    void TearDown() override {
        QuitRequest = qrNone;
        TUiFrameTest::TearDown();
    }
    TW_MenuOptions* Open() { return Group->Add(new TW_MenuOptions()); }
    void Finish(TW_MenuOptions* w) {
        for (int i = 0; i < 100 && Group->Contains(w); ++i)
            Frame();
    }
    // Clicks the bar at a fraction of its width.
    void ClickBar(TTrackBar* bar, float fraction) {
        const int x = bar->Rect.Left + static_cast<int>(fraction * bar->Rect.Width);
        Click(x, bar->Rect.Top + bar->Rect.Height / 2);
    }
    void ClickBox(TCheckBox* box) { Click(box->MarkRect.Left + 4, box->MarkRect.Top + 4); }
    void ClickButton(TW_MenuOptions* w, int i) {
        const TPixelRect& r = w->Buttons->ButtonList[i].Rect;
        Click(r.Left + r.Width / 2, r.Top + r.Height / 2);
    }
    int MusicChannelVolume() const {
        int freq = 0, volume = -1, pan = 0;
        BASS_ChannelGetAttributes(SoundDepot->MusicChannel, &freq, &volume, &pan);
        return volume;
    }
};

TEST_F(Options_, ControlsOpenWithTheStoredValues) {
    TW_MenuOptions* w = Open();
    EXPECT_FLOAT_EQ(w->MusicBar->Value, 0.8f);
    EXPECT_FLOAT_EQ(w->SoundBar->Value, 0.6f);
    EXPECT_FALSE(w->FullScreenBox->Checked);
    EXPECT_TRUE(w->ShowHelpBox->Checked);
    EXPECT_FALSE(w->DragNDropBox->Checked);
    EXPECT_EQ(FocusObject, w);
    EXPECT_EQ(QuitRequest, qrNone) << "opening changes nothing";
}

TEST_F(Options_, MusicBarAppliesAtOnceAndCancelRestoresTheVolume) {
    SoundDepot->PlayMusic(sndMusic_Menu, 0, true);
    const bool musicRuns = SoundDepot->MusicChannel != 0;
    TW_MenuOptions* w = Open();
    ClickBar(w->MusicBar, 0.25f);
    EXPECT_NEAR(GameDat.MusicVolume, 0.25f, 0.01f);
    if (musicRuns) {
        EXPECT_EQ(MusicChannelVolume(), BassVolume(GameDat.MusicVolume));
    }
    ClickButton(w, 1);
    Finish(w);
    EXPECT_FLOAT_EQ(GameDat.MusicVolume, 0.8f);
    if (musicRuns) {
        EXPECT_EQ(MusicChannelVolume(), 80);
    }
    EXPECT_FALSE(Group->Contains(w));
}

TEST_F(Options_, EscapeIsCancel) {
    TW_MenuOptions* w = Open();
    ClickBar(w->SoundBar, 0.9f);
    ClickBox(w->DragNDropBox);
    ClickBox(w->ShowHelpBox);
    EXPECT_EQ(GameDat.DragNDrop, 1);
    EXPECT_EQ(GameDat.ShowHelp, 0);
    EXPECT_TRUE(Key(VK_ESCAPE));
    Finish(w);
    EXPECT_FLOAT_EQ(GameDat.SoundVolume, 0.6f);
    EXPECT_EQ(GameDat.DragNDrop, 0);
    EXPECT_EQ(GameDat.ShowHelp, 1);
    EXPECT_EQ(GameDat.Players[0].PlayerDragNDrop, 0) << "the player's copy is left alone";
}

TEST_F(Options_, BarsAndBoxesAnswerTheArrowsAndEnterThenOkFromTheKeys) {
    TW_MenuOptions* w = Open();
    EXPECT_TRUE(Key(VK_DOWN)) << "the first arrow takes the music bar";
    EXPECT_TRUE(w->KeyRows->Edge[0]->Visible) << "framed in gold";
    EXPECT_TRUE(Key(VK_LEFT));
    EXPECT_TRUE(Key(VK_LEFT));
    EXPECT_NEAR(GameDat.MusicVolume, 0.7f, 0.001f);
    Key(VK_DOWN);
    Key(VK_RIGHT);
    EXPECT_NEAR(GameDat.SoundVolume, 0.65f, 0.001f);
    Key(VK_DOWN); // full screen, left alone
    Key(VK_DOWN);
    EXPECT_TRUE(Key(VK_RETURN));
    EXPECT_EQ(GameDat.ShowHelp, 0);
    Key(VK_DOWN);
    EXPECT_TRUE(Key(VK_SPACE));
    EXPECT_EQ(GameDat.DragNDrop, 1);
    EXPECT_EQ(w->Buttons->ActiveIndex, -1) << "no button is lit while a control has the keys";
    for (int32_t i = 0; i < cLanguageCount; ++i)
        Key(VK_DOWN); // the language rows, left alone
    Key(VK_DOWN);     // on to the buttons: OK lights
    EXPECT_EQ(w->Buttons->ActiveIndex, 0);
    EXPECT_FALSE(w->KeyRows->Edge[0]->Visible);
    Key(VK_RIGHT);
    Key(VK_LEFT);
    Key(VK_RETURN);
    Finish(w);
    EXPECT_EQ(GameDat.Players[0].PlayerDragNDrop, 1);
    EXPECT_EQ(GameDat.Players[0].PlayerShowHelp, 0);
    EXPECT_NEAR(GameDat.MusicVolume, 0.7f, 0.001f);
}

TEST_F(Options_, OkKeepsTheChoicesAndCopiesThemToTheCurrentPlayer) {
    TW_MenuOptions* w = Open();
    ClickBar(w->MusicBar, 0.5f);
    ClickBox(w->DragNDropBox);
    ClickBox(w->ShowHelpBox);
    ClickButton(w, 0);
    Finish(w);
    EXPECT_NEAR(GameDat.MusicVolume, 0.5f, 0.01f);
    EXPECT_EQ(GameDat.DragNDrop, 1);
    EXPECT_EQ(GameDat.ShowHelp, 0);
    EXPECT_EQ(GameDat.Players[0].PlayerDragNDrop, 1);
    EXPECT_EQ(GameDat.Players[0].PlayerShowHelp, 0);
}

TEST_F(Options_, OkWithoutPlayersTouchesNoRecord) {
    GameDat.PlayerCount = 0;
    GameDat.CurrentPlayer = 0;
    TPlayerRec saved[cPlayerCount];
    std::memcpy(saved, GameDat.Players, sizeof saved);
    TW_MenuOptions* w = Open();
    ClickBox(w->DragNDropBox);
    ClickButton(w, 0);
    Finish(w);
    EXPECT_EQ(GameDat.DragNDrop, 1);
    EXPECT_EQ(std::memcmp(saved, GameDat.Players, sizeof saved), 0);
}

TEST_F(Options_, FullScreenBoxAsksForTheSwitchAndCancelSwitchesBack) {
    TW_MenuOptions* w = Open();
    ClickBox(w->FullScreenBox);
    EXPECT_EQ(QuitRequest, qrToggleFullscreen);
    EXPECT_EQ(GameDat.FullScreen, 1);
    QuitRequest = qrNone; // the frame performs it
    ClickButton(w, 1);
    Finish(w);
    EXPECT_EQ(QuitRequest, qrToggleFullscreen);
    EXPECT_EQ(GameDat.FullScreen, 0);
}

TEST_F(Options_, SoundBarPlaysItsSample) {
    TW_MenuOptions* w = Open();
    const HCHANNEL before = SoundDepot->Samples[sndTrackBarMove].Voices[0].Channel;
    ClickBar(w->SoundBar, 0.3f);
    EXPECT_NE(SoundDepot->Samples[sndTrackBarMove].Voices[0].Channel, before);
    EXPECT_NEAR(GameDat.SoundVolume, 0.3f, 0.01f);
}

// As a window of its own (code 12) it brings the menu's scene and leads to the main menu.
TEST_F(Options_, CodeTwelveOpensItOnItsOwnAndOkLeadsToTheMainMenu) {
    RegisterUiWindows();
    ASSERT_NE(RegisteredWindow(12), nullptr);
    velmora::testing::OpenedCodes.clear();
    RegisterWindow(11, velmora::testing::MakeStandIn<11>);
    Group->NextWindow = 12;
    Frame();
    TW_MenuOptions* w = nullptr;
    for (TBasic* c = Group->First; c; c = c->Next)
        if (auto* o = dynamic_cast<TW_MenuOptions*>(c)) w = o;
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(w->OwnWindow);
    bool back = false;
    for (TBasic* c = w->First; c; c = c->Next)
        back = back || dynamic_cast<TMenuBack*>(c) != nullptr;
    EXPECT_TRUE(back) << "nothing else is under it";
    for (int i = 0; i < 120 && PassageEffect; ++i)
        Frame();
    ClickButton(w, 0);
    Finish(w);
    Frame();
    EXPECT_EQ(velmora::testing::OpenedCodes, std::vector<int>{11});
}

TEST_F(Options_, OverTheMainMenuItOnlyCloses) {
    velmora::testing::OpenedCodes.clear();
    RegisterWindow(11, velmora::testing::MakeStandIn<11>);
    TW_MenuOptions* w = Open();
    ClickButton(w, 1);
    Finish(w);
    Frame();
    EXPECT_TRUE(velmora::testing::OpenedCodes.empty());
}

// The three language boxes are one choice, each name in its own letters; OK stores a changed choice
// in "Options.txt" (in force from the next start, as the note says), Cancel and an unchanged OK store
// nothing, so that the desktop's language keeps deciding.
TEST_F(Options_, LanguageBoxesAreOneChoiceStoredOnOkOnlyWhenChanged) {
    Paths.OptionsFile = (Dir / "Options.txt").string();
    std::ofstream(Paths.OptionsFile) << "Width 800\n";
    auto optionsText = [this] {
        std::ifstream in(Dir / "Options.txt");
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    };
    Options.Language = "";
    ASSERT_NE(Lang, nullptr);
    TW_MenuOptions* w = Open();
    for (int32_t i = 0; i < cLanguageCount; ++i) {
        EXPECT_EQ(w->LanguageBoxes[i]->Checked, i == Lang->LangIndex) << i;
        EXPECT_EQ(w->LanguageBoxes[i]->Label->Text, Languages[i].NativeName) << i;
        EXPECT_EQ(w->LanguageBoxes[i]->Label->Font, w->LanguageNamesFont) << i;
    }
    EXPECT_EQ(w->LanguageNamesFont->GetLetterRec('\xD0') != nullptr, true) << "the Cyrillic R of the names";
    EXPECT_EQ(w->LanguageNote->Text, TextOf("TEXT_Options_LanguageNextStart"));
    EXPECT_NE(w->LanguageNote->Text, "TEXT_Options_LanguageNextStart");
    const int32_t other = (Lang->LangIndex + 1) % cLanguageCount;
    ClickBox(w->LanguageBoxes[other]);
    ClickBox(w->LanguageBoxes[other]); // a second click does not leave the choice empty
    for (int32_t i = 0; i < cLanguageCount; ++i)
        EXPECT_EQ(w->LanguageBoxes[i]->Checked, i == other) << i;
    ClickButton(w, 1);
    Finish(w);
    EXPECT_EQ(optionsText(), "Width 800\n");
    EXPECT_EQ(Options.Language, "");

    w = Open();
    ClickBox(w->LanguageBoxes[other]);
    ClickButton(w, 0);
    Finish(w);
    EXPECT_EQ(Options.Language, Languages[other].Code);
    EXPECT_EQ(optionsText(), std::string("Width 800\nLanguage             ") + Languages[other].Code + "\n");

    std::ofstream(Paths.OptionsFile) << "Width 800\n"; // so a rewrite would show
    w = Open();
    EXPECT_TRUE(w->LanguageBoxes[other]->Checked) << "the stored choice, not this run's language";
    ClickButton(w, 0);
    Finish(w);
    EXPECT_EQ(optionsText(), "Width 800\n");

    // From the keys: the language rows follow the five rows of bars and boxes.
    const int32_t third = (other + 1) % cLanguageCount;
    w = Open();
    for (int32_t i = 0; i < 5 + third + 1; ++i)
        Key(VK_DOWN);
    EXPECT_TRUE(Key(VK_RETURN));
    for (int32_t i = 0; i < cLanguageCount; ++i)
        EXPECT_EQ(w->LanguageBoxes[i]->Checked, i == third) << i;
    EXPECT_TRUE(Key(VK_ESCAPE));
    Finish(w);
    EXPECT_EQ(optionsText(), "Width 800\n") << "Cancel stores nothing";
}

} // namespace
