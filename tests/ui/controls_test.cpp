// Menu controls: button sets (hover, press sequence, arrow navigation, disabled buttons, errors),
// check boxes, track bars, the scroll bar and the text input.
#include <string>
#include <vector>

#include "app/language.h"
#include "app/sound.h"
#include "render/itf.h"
#include "render/multirect.h"
#include "render/texlabels.h"
#include "ui/w_menu.h"
#include "ui/wincontrols.h"
#include "uiframe_fixture.h"

using namespace velmora;
using velmora::testing::TUiFrameTest;

namespace {

// A window that records what its button set reports.
class TRecorder : public TW_Menu {
  public:
    TRecorder() { Buttons = Add(new TButtonMaster()); }
    void OnButtonUp(TBasic* sender, int32_t index) override {
        EXPECT_EQ(sender, Buttons);
        Ups.push_back(index);
    }
    const char* ClassName() const override { return "TRecorder"; }
    std::vector<int32_t> Ups;
};

class Controls : public TUiFrameTest {
  protected:
    void SetUp() override {
        TUiFrameTest::SetUp();
        Window = Group->Add(new TRecorder());
        Set = Window->Buttons;
    }
    // Buttons 100 x 40 on a grid of 150 x 60 pixels, from (100, 100).
    void Grid(int cols, int rows) {
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c < cols; ++c)
                Set->CreateButton(r * cols + c, "TEXT_Ok", {100 + c * 150, 100 + r * 60, 100, 40});
    }
    void Centre(int index) {
        const TPixelRect& r = Set->ButtonList[index].Rect;
        MoveTo(r.Left + r.Width / 2, r.Top + r.Height / 2);
    }
    HCHANNEL Channel(int32_t slot) const { return SoundDepot->Samples[slot].Voices[0].Channel; }
    float ImageTopV(int index) { return Set->ButtonList[index].Image->Quad()[0].V; }

    TRecorder* Window = nullptr;
    TButtonMaster* Set = nullptr;
};

// ---- Button sets ----------------------------------------------------------------------------------

TEST_F(Controls, ArrowsInARowMoveSidewaysOnly) {
    Grid(3, 1);
    Set->SetButtonActive(0);
    EXPECT_TRUE(Key(VK_UP));
    EXPECT_TRUE(Key(VK_DOWN));
    EXPECT_EQ(Set->ActiveIndex, 0);
    Key(VK_RIGHT);
    EXPECT_EQ(Set->ActiveIndex, 1);
    EXPECT_EQ(Set->ButtonList[0].State, bsNormal);
    EXPECT_EQ(Set->ButtonList[1].State, bsActive);
    Key(VK_RIGHT);
    Key(VK_RIGHT); // from the last button nothing lies to the right
    EXPECT_EQ(Set->ActiveIndex, 2);
    Key(VK_LEFT);
    EXPECT_EQ(Set->ActiveIndex, 1);
}

TEST_F(Controls, ArrowsInAGridChooseTheNearestCentreAndSkipDisabledButtons) {
    Grid(3, 2); // 0 1 2 / 3 4 5
    Set->SetButtonActive(1);
    Key(VK_DOWN);
    EXPECT_EQ(Set->ActiveIndex, 4);
    Key(VK_RIGHT);
    EXPECT_EQ(Set->ActiveIndex, 5);
    Set->SetButtonState(2, bsDisabled);
    Key(VK_UP); // 2 is straight above but disabled: 1 is the nearest of the rest
    EXPECT_EQ(Set->ActiveIndex, 1);
    Key(VK_LEFT);
    EXPECT_EQ(Set->ActiveIndex, 0);
    Key(VK_UP);
    EXPECT_EQ(Set->ActiveIndex, 0);
}

TEST_F(Controls, WithoutAnActiveButtonAnArrowPicksTheFirstEnabledOne) {
    Grid(3, 1);
    Set->SetButtonState(0, bsDisabled);
    EXPECT_FALSE(Key(VK_RETURN)) << "Enter has nothing to press";
    EXPECT_FALSE(Key('A'));
    EXPECT_TRUE(Key(VK_LEFT));
    EXPECT_EQ(Set->ActiveIndex, 1);
    Set->Enabled = false;
    EXPECT_FALSE(Key(VK_RIGHT));
    EXPECT_EQ(Set->ActiveIndex, 1);
}

TEST_F(Controls, PressShowsItselfThenReportsOnceAtItsEnd) {
    Grid(2, 1);
    Set->PressDuration = 12;
    Set->ReleaseMark = 6;
    Press(150, 120);
    Frame();
    EXPECT_EQ(Set->ButtonList[0].State, bsPressed);
    EXPECT_NEAR(ImageTopV(0), 2.0f / cButtonFramesPerTexture, 1e-6f);
    EXPECT_NE(Channel(sndButton1), 0u) << "the press sound plays";
    Frame(6); // PressTime now 5: past the release mark
    EXPECT_EQ(Set->ButtonList[0].State, bsPressed);
    EXPECT_NEAR(ImageTopV(0), 1.0f / cButtonFramesPerTexture, 1e-6f) << "drawn released again";
    EXPECT_TRUE(Window->Ups.empty());
    Frame(5);
    EXPECT_EQ(Window->Ups, std::vector<int32_t>{0});
    EXPECT_EQ(Set->ButtonList[0].State, bsActive);
    EXPECT_FALSE(Set->Busy());
    Frame(20);
    EXPECT_EQ(Window->Ups.size(), 1u);
}

TEST_F(Controls, ClicksAndEnterDuringAPressAreIgnored) {
    Grid(2, 1);
    Click(150, 120);
    ASSERT_TRUE(Set->Busy());
    Click(300, 120); // button 1
    EXPECT_FALSE(Key(VK_RETURN));
    EXPECT_FALSE(Key(VK_RIGHT));
    for (int i = 0; i < 30; ++i)
        Frame();
    EXPECT_EQ(Window->Ups, std::vector<int32_t>{0});
    EXPECT_EQ(Set->ButtonList[1].State, bsNormal);
}

TEST_F(Controls, DisabledButtonIsSilentAndDead) {
    Grid(2, 1);
    Set->SetButtonState(1, bsDisabled);
    const HCHANNEL before = Channel(sndButton1);
    Centre(1);
    Frame();
    EXPECT_EQ(Set->ButtonList[1].State, bsDisabled) << "no hover either";
    EXPECT_EQ(VisMouse->RequestedShape, 0) << "no hand over a disabled button";
    Click(300, 120);
    Frame(30);
    EXPECT_EQ(Channel(sndButton1), before);
    EXPECT_TRUE(Window->Ups.empty());
    EXPECT_NEAR(ImageTopV(1), 3.0f / cButtonFramesPerTexture, 1e-6f);
}

TEST_F(Controls, ProgrammingErrorsAreReportedAndChangeNothing) {
    Grid(2, 1);
    EXPECT_FALSE(Set->CreateButton(128, "TEXT_Ok", {0, 0, 10, 10}));
    EXPECT_TRUE(LogHas("TButtonMaster.CreateButton error: Index is above maximal"));
    Set->SetButtonActive(0);
    Set->SetButtonState(0, bsDisabled);
    EXPECT_TRUE(LogHas("TButtonMaster.SetButtonState error: incorrect Value"));
    EXPECT_EQ(Set->ButtonList[0].State, bsActive);
    Set->SetButtonState(1, bsDisabled);
    Set->SetButtonActive(1);
    EXPECT_TRUE(LogHas("TButtonMaster.SetButtonActive error: incorrect ButtonState"));
    Set->SetButtonPressed(1);
    EXPECT_TRUE(LogHas("TButtonMaster.SetButtonPressed error: incorrect ButtonState"));
    EXPECT_EQ(Set->ActiveIndex, 0);
    EXPECT_FALSE(Set->Busy());
}

TEST_F(Controls, HoverFollowsTheMouseAndClearHoverDropsIt) {
    Grid(2, 1);
    Centre(0);
    Frame();
    EXPECT_EQ(Set->ButtonList[0].State, bsActive);
    EXPECT_EQ(VisMouse->RequestedShape, 1);
    Centre(1);
    Frame();
    EXPECT_EQ(Set->ActiveIndex, 1);
    EXPECT_EQ(Set->ButtonList[0].State, bsNormal);
    EXPECT_EQ(Set->ButtonList[0].Label->Color, Set->Looks[bsNormal].Color);
    EXPECT_EQ(Set->ButtonList[1].Label->Color, Set->Looks[bsActive].Color);
    Set->ClearHover(); // still on the button: nothing changes
    EXPECT_EQ(Set->ButtonList[1].State, bsActive);
    MoveTo(700, 500);
    Frame();
    EXPECT_EQ(Set->ButtonList[1].State, bsActive) << "leaving a button alone keeps the highlight";
    EXPECT_EQ(VisMouse->RequestedShape, 0);
    Set->ClearHover();
    EXPECT_EQ(Set->ButtonList[1].State, bsNormal);
    EXPECT_EQ(Set->ActiveIndex, 1);
    EXPECT_TRUE(Key(VK_RETURN)) << "the kept index still answers Enter";
}

TEST_F(Controls, HeldButtonAsksForThePressedHandOnlyInTheFocusedWindow) {
    Grid(1, 1);
    Press(150, 120);
    Frame();
    EXPECT_EQ(VisMouse->RequestedShape, 2);
    Release(150, 120);
    Frame(20);
    auto* dialog = Window->Add(new TW_Dialog(nullptr, dkOk, "", ""));
    (void)dialog;
    MoveTo(150, 121);
    Frame();
    EXPECT_EQ(VisMouse->RequestedShape, 0) << "the window under a dialog shows no hand";
}

// ---- Check box --------------------------------------------------------------------------------------

TEST_F(Controls, CheckBoxFlipsOnReleaseOverMarkOrCaption) {
    auto* box = Window->Add(new TCheckBox("TEXT_CheckBox_ShowHelp", 200, 300, false));
    int changes = 0;
    box->OnChange = [&](TCheckBox*) { ++changes; };
    Press(210, 310);
    box->MouseProc();
    EXPECT_FALSE(box->Checked) << "the press alone does nothing";
    Frame();
    Release(210, 310);
    box->MouseProc();
    EXPECT_TRUE(box->Checked);
    EXPECT_TRUE(box->Mark->Visible);
    Frame();
    const int captionX = box->Label->BoxLeft + box->Label->BoxWidth / 2;
    const int captionY = box->Label->BoxTop + box->Label->BoxHeight / 2;
    Release(captionX, captionY);
    box->MouseProc();
    EXPECT_FALSE(box->Checked);
    EXPECT_FALSE(box->Mark->Visible);
    Frame();
    Release(600, 550); // elsewhere
    box->MouseProc();
    EXPECT_FALSE(box->Checked);
    EXPECT_EQ(changes, 2);
    box->SetChecked(false);
    EXPECT_EQ(changes, 2) << "no change, no call";
    box->SetChecked(true);
    EXPECT_EQ(changes, 3);
    EXPECT_TRUE(box->Mark->Visible);
}

// ---- Track bar ----------------------------------------------------------------------------------------

TEST_F(Controls, TrackBarEdgesAndClamping) {
    auto* bar = Window->Add(new TTrackBar("TEXT_TrackBar_Music", {200, 300, 200, 24}));
    EXPECT_FLOAT_EQ(bar->Value, 0.5f);
    float reported = -1;
    bar->OnChange = [&](TTrackBar* b) { reported = b->Value; };
    Press(200, 310);
    bar->MouseProc();
    EXPECT_FLOAT_EQ(bar->Value, 0.0f);
    EXPECT_FLOAT_EQ(reported, 0.0f);
    Frame();
    Release(200, 310);
    bar->MouseProc();
    Frame();
    Press(399, 310); // width - 1 pixels in
    bar->MouseProc();
    EXPECT_FLOAT_EQ(bar->Value, 199.0f / 200.0f);
    Frame();
    MoveTo(700, 310); // dragged past the end, button held
    bar->MouseProc();
    EXPECT_FLOAT_EQ(bar->Value, 1.0f);
    Frame();
    MoveTo(100, 310);
    bar->MouseProc();
    EXPECT_FLOAT_EQ(bar->Value, 0.0f);
    Frame();
    Release(300, 310);
    bar->MouseProc();
    Frame();
    MoveTo(350, 310); // no longer dragging
    bar->MouseProc();
    EXPECT_FLOAT_EQ(bar->Value, 0.0f);
    bar->SetValue(-3);
    EXPECT_FLOAT_EQ(bar->Value, 0.0f);
    bar->SetValue(7);
    EXPECT_FLOAT_EQ(bar->Value, 1.0f);
    EXPECT_FLOAT_EQ(reported, 1.0f);
}

TEST_F(Controls, TrackBarKnobSitsAtItsValue) {
    auto* bar = Window->Add(new TTrackBar("", {200, 300, 202, 24}));
    auto knobCentrePx = [&] {
        const TVertexDiffuseTex* q = bar->Knob->Quad();
        return (q[0].X + q[1].X) / 2 / PixelSize + 400;
    };
    bar->SetValue(0);
    const float atZero = knobCentrePx();
    bar->SetValue(1);
    EXPECT_NEAR(knobCentrePx() - atZero, 200.0f, 0.51f) << "(width - 2) x Value";
}

// ---- Scroll bar ------------------------------------------------------------------------------------------

TEST_F(Controls, ScrollBarThumbDragAndArrows) {
    auto* bar = Window->Add(new TScrollBar("\\Textures\\Artefacts_Controls.dscr"));
    ASSERT_GT(bar->TrackLength, bar->ThumbRect.Height);
    std::vector<float> reports;
    bar->OnChange = [&](TScrollBar* b) { reports.push_back(b->Position); };
    const int x = bar->ThumbRect.Left + bar->ThumbRect.Width / 2;
    Press(x, bar->ThumbRect.Top + 3);
    bar->MouseProc(); // the window passes the mouse on
    Frame();
    EXPECT_TRUE(bar->Dragging);
    MoveTo(x, 599);
    Window->Add(new TMaster()); // nothing in between matters
    bar->MouseProc();
    EXPECT_FLOAT_EQ(bar->Position, 1.0f);
    EXPECT_EQ(bar->ThumbRect.Top + bar->ThumbRect.Height, bar->TrackTop + bar->TrackLength);
    MoveTo(x, 0);
    bar->MouseProc();
    EXPECT_FLOAT_EQ(bar->Position, 0.0f);
    EXPECT_EQ(bar->ThumbRect.Top, bar->TrackTop);
    const int middle = bar->TrackTop + bar->TrackLength / 2;
    MoveTo(x, middle);
    bar->MouseProc();
    EXPECT_NEAR(bar->Position, 0.5f, 0.01f);
    Frame();
    Release(x, middle);
    bar->MouseProc();
    Frame();
    EXPECT_FALSE(bar->Dragging);
    ASSERT_GE(reports.size(), 3u);

    const float before = bar->Position;
    Press(bar->DownRect.Left + 5, bar->DownRect.Top + 5);
    bar->MouseProc();
    Frame(10);
    EXPECT_GT(bar->Position, before) << "holding the down arrow scrolls on";
    Release(bar->DownRect.Left + 5, bar->DownRect.Top + 5);
    bar->MouseProc();
    Frame();
    const float stopped = bar->Position;
    Frame(5);
    EXPECT_FLOAT_EQ(bar->Position, stopped);
    Press(bar->UpRect.Left + 5, bar->UpRect.Top + 5);
    bar->MouseProc();
    Frame(200);
    EXPECT_FLOAT_EQ(bar->Position, 0.0f);
}

TEST_F(Controls, ScrollBarFromAMissingDescriptionIsReportedNotFatal) {
    auto* bar = Window->Add(new TScrollBar("\\Textures\\NoSuch.dscr"));
    EXPECT_TRUE(LogHas("TScrollBar.Create: nine pieces expected"));
    MoveTo(100, 100);
    Frame(3);
    bar->SetPosition(7.0f);
    EXPECT_FLOAT_EQ(bar->Position, 1.0f);
}

// ---- Text input ------------------------------------------------------------------------------------------

class TextInput : public Controls {
  protected:
    void SetUp() override {
        Controls::SetUp();
        Input = Window->Add(new TTextInput(300, 300, 5));
        Input->Language = lgEnglish;
        FocusObject = Input;
    }
    TTextInput* Input = nullptr;
};

TEST_F(TextInput, TypingEditingAndTheCaret) {
    const HCHANNEL before = Channel(sndTyping);
    EXPECT_FALSE(Key('A')) << "a typed character is not a handled key";
    EXPECT_NE(Channel(sndTyping), before);
    Key('B');
    EXPECT_TRUE(Key(VK_SPACE));
    Key('C');
    EXPECT_EQ(Input->Text, "ab c");
    EXPECT_EQ(Input->CaretPos, 4);
    EXPECT_TRUE(Key(VK_LEFT));
    EXPECT_TRUE(Key(VK_LEFT));
    Key('D');
    EXPECT_EQ(Input->Text, "abd c");
    EXPECT_EQ(Input->CaretPos, 3);
    EXPECT_TRUE(Key(VK_BACK));
    EXPECT_EQ(Input->Text, "ab c");
    EXPECT_EQ(Input->CaretPos, 2);
    EXPECT_TRUE(Key(VK_DELETE));
    EXPECT_EQ(Input->Text, "abc");
    EXPECT_TRUE(Key(VK_DELETE));
    EXPECT_EQ(Input->Text, "ab");
    EXPECT_TRUE(Key(VK_DELETE)); // nothing after the caret
    EXPECT_EQ(Input->Text, "ab");
    Key(VK_LEFT);
    Key(VK_LEFT);
    Key(VK_LEFT);
    EXPECT_EQ(Input->CaretPos, 0);
    EXPECT_TRUE(Key(VK_BACK));
    EXPECT_EQ(Input->Text, "ab");
    Key(VK_RIGHT);
    Key(VK_RIGHT);
    Key(VK_RIGHT);
    EXPECT_EQ(Input->CaretPos, 2);
    EXPECT_FALSE(Key(VK_RETURN));
    EXPECT_FALSE(Key(VK_ESCAPE));
    EXPECT_EQ(Input->Text, "ab");
}

TEST_F(TextInput, ArrowsTurnLettersForAPadWithoutLetterKeys) {
    const std::string row = Input->LetterRow();
    ASSERT_GE(row.size(), 26u);
    EXPECT_EQ(row.substr(0, 3), "abc");
    EXPECT_TRUE(Key(VK_UP));
    EXPECT_EQ(Input->Text, "a");
    Key(VK_UP);
    Key(VK_UP);
    EXPECT_EQ(Input->Text, "c");
    EXPECT_TRUE(Key(VK_RIGHT)) << "after a turned letter Right starts the next one";
    EXPECT_EQ(Input->Text, "ca");
    Key(VK_DOWN);
    EXPECT_EQ(Input->Text, "c") << "down past the row's start the letter goes";
    EXPECT_EQ(Input->CaretPos, 1);
    Key(VK_RIGHT);
    Key(VK_UP);
    EXPECT_EQ(Input->Text, "cb");
    Key(VK_LEFT);
    Key(VK_LEFT);
    EXPECT_TRUE(Key(VK_DOWN)) << "before the first letter Down starts from the row's end";
    EXPECT_EQ(Input->Text, std::string(1, row.back()) + "cb");
    Input->SetText("");
    Key('B');
    Key(VK_RIGHT);
    EXPECT_EQ(Input->Text, "b") << "Right after a typed letter only moves the caret";
}

TEST_F(TextInput, LengthLimitHoldsForTypingAndSetText) {
    for (uint16_t k : {'A', 'B', 'C', 'D', 'E', 'F', 'G'})
        Key(k);
    EXPECT_EQ(Input->Text, "abcde");
    Key(VK_LEFT);
    Key(VK_SPACE);
    EXPECT_EQ(Input->Text, "abcde") << "an insertion that would overflow is ignored";
    Input->SetText("Alexandrina");
    EXPECT_EQ(Input->Text, "Alexa");
    EXPECT_EQ(Input->CaretPos, 5);
}

TEST_F(TextInput, CaretMovesWithTheTextAndBlinks) {
    const float emptyX = Input->Caret->Quad()[0].X;
    Key('W');
    Key('W');
    EXPECT_GT(Input->Caret->Quad()[0].X, emptyX);
    Key(VK_LEFT);
    Key(VK_LEFT);
    EXPECT_FLOAT_EQ(Input->Caret->Quad()[0].X, emptyX);
    Input->LifeTime = 0;
    std::string pattern;
    for (int i = 0; i < 80; i += 10) {
        Input->LifeTime = static_cast<float>(i) + 0.5f;
        Input->StepMe();
        pattern += Input->Caret->Visible ? '1' : '0';
    }
    EXPECT_EQ(pattern, "11001100");
}

TEST_F(TextInput, AcceptedCharactersFollowTheLanguageAndTheFont) {
    const std::string chars = Input->AcceptedChars();
    ASSERT_FALSE(chars.empty());
    // The Russian layout types Cyrillic letters on the same keys; the font decides what stays.
    Input->Language = lgRussian;
    Key('F'); // Cyrillic "a" in code page 1251
    const char cyrillicA = static_cast<char>(0xE0);
    const bool fontHasIt = chars.find(cyrillicA) != std::string::npos;
    EXPECT_EQ(Input->Text, fontHasIt ? std::string(1, cyrillicA) : std::string());
    Input->SetText("");
    Input->Language = lgGerman;
    Key('Y'); // German layout swaps Y and Z
    EXPECT_EQ(Input->Text, "z");
    // A character the font lacks is refused: an input whose font knows only digits.
    TIndexedTextureFont* digitsOnly = GameScore;
    ASSERT_NE(digitsOnly, nullptr);
    auto* digits = Window->Add(new TTextInput(100, 100, 11, digitsOnly));
    digits->Language = lgEnglish;
    FocusObject = digits;
    const bool hasQ = digitsOnly->Chars.find('q') != std::string::npos;
    Key('Q');
    Key('1');
    EXPECT_EQ(digits->Text, std::string(hasQ ? "q1" : "1"));
}

} // namespace
