// Window framework: focus hand-over between screens and dialogs, dialog answers, the exit dialog,
// and the reports of handlers a window forgot to override.
#include <vector>

#include "app/d3dapp.h"
#include "render/texlabels.h"
#include "ui/w_menu.h"
#include "ui/wincontrols.h"
#include "uiframe_fixture.h"

using namespace velmora;
using velmora::testing::TUiFrameTest;

namespace velmora {
void RegisterUiWindows();
}

namespace {

// A screen with one button of its own that asks questions and records the answers.
class TScreen : public TW_Menu {
  public:
    TScreen() {
        Buttons = Add(new TButtonMaster());
        Buttons->CreateButton(0, "TEXT_Ok", {20, 20, 100, 40});
    }
    bool CanInteract() override { return !Buttons->Busy() && !Dialog; }
    void OnButtonUp(TBasic*, int32_t index) override { ScreenPresses.push_back(index); }
    void OnDialogButtonUp(TBasic* sender, int32_t index) override {
        Answers.push_back(index);
        AnsweredBy = sender;
    }
    TW_Dialog* Ask(uint8_t kind) {
        return Add(new TW_Dialog(&Dialog, kind, "TEXT_Title_EXITPROGRAM", "TEXT_Yes"));
    }
    const char* ClassName() const override { return "TScreen"; }

    TW_Dialog* Dialog = nullptr;
    std::vector<int32_t> Answers, ScreenPresses;
    TBasic* AnsweredBy = nullptr;
};

// A menu that overrides no handler.
class TPlainMenu : public TW_Menu {
  public:
    const char* ClassName() const override { return "TPlainMenu"; }
};

class Menu : public TUiFrameTest {
  protected:
    void AwaitRelease(TButtonMaster* set) {
        for (int i = 0; i < 100 && InScene(set) && set->Busy(); ++i)
            Frame();
    }
    int ButtonCentreX(TButtonMaster* set, int i) const {
        return set->ButtonList[i].Rect.Left + set->ButtonList[i].Rect.Width / 2;
    }
    int ButtonCentreY(TButtonMaster* set, int i) const {
        return set->ButtonList[i].Rect.Top + set->ButtonList[i].Rect.Height / 2;
    }
    void TearDown() override {
        QuitRequest = qrNone;
        CloseConfirmed = false;
        TUiFrameTest::TearDown();
    }
};

TEST_F(Menu, DialogTakesTheKeyboardAndEnterAnswersWithTheFirstButton) {
    auto* screen = Group->Add(new TScreen());
    EXPECT_EQ(FocusObject, screen);
    TW_Dialog* dialog = screen->Ask(dkYesNo);
    EXPECT_EQ(FocusObject, dialog);
    EXPECT_EQ(screen->Dialog, dialog);
    EXPECT_EQ(dialog->Buttons->ActiveIndex, 0);

    EXPECT_TRUE(Key(VK_RETURN));
    Frame();
    EXPECT_TRUE(screen->Answers.empty()) << "the answer waits for the press to be shown";
    AwaitRelease(dialog->Buttons);
    Frame();

    ASSERT_EQ(screen->Answers, std::vector<int32_t>{0});
    EXPECT_EQ(screen->AnsweredBy, dialog);
    EXPECT_EQ(screen->Dialog, nullptr) << "the owner's variable is cleared when the dialog goes";
    EXPECT_FALSE(screen->Contains(dialog));
    EXPECT_EQ(FocusObject, screen);
    EXPECT_TRUE(screen->ScreenPresses.empty());
}

TEST_F(Menu, FocusReturnsToTheOwnerEvenWhenOtherObjectsWereCreatedMeanwhile) {
    auto* screen = Group->Add(new TScreen());
    TW_Dialog* dialog = screen->Ask(dkOkCancel);
    // Other things appear while the question is open; none of them takes the focus from the dialog.
    screen->Add(new TButtonMaster());
    Group->Add(new TMaster());
    auto* input = screen->Add(new TTextInput(10, 300, 11));
    EXPECT_EQ(FocusObject, dialog);

    Click(ButtonCentreX(dialog->Buttons, 1), ButtonCentreY(dialog->Buttons, 1));
    AwaitRelease(dialog->Buttons);
    Frame();

    EXPECT_EQ(screen->Answers, std::vector<int32_t>{1});
    EXPECT_EQ(FocusObject, screen);
    EXPECT_TRUE(screen->Contains(input));
}

TEST_F(Menu, ScreenUnderAnOpenDialogIgnoresTheMouse) {
    auto* screen = Group->Add(new TScreen());
    screen->Ask(dkOk);
    Click(70, 40); // the screen's own button
    Frame(20);
    EXPECT_TRUE(screen->ScreenPresses.empty());
    EXPECT_NE(screen->Buttons->ButtonList[0].State, bsPressed);
}

TEST_F(Menu, DialogKindsShowTheirButtonsLeftToRight) {
    struct TCase {
        uint8_t Kind;
        std::vector<std::string> Keys;
    };
    const TCase cases[] = {{dkOk, {"TEXT_Ok"}},
                           {dkYesNo, {"TEXT_Yes", "TEXT_No"}},
                           {dkOkCancel, {"TEXT_Ok", "TEXT_Cancel"}},
                           {dkContinueNewGame, {"TEXT_Continue", "TEXT_NewGame"}}};
    auto* screen = Group->Add(new TScreen());
    for (const TCase& c : cases) {
        TW_Dialog* dialog = screen->Ask(c.Kind);
        TButtonMaster* set = dialog->Buttons;
        ASSERT_EQ(set->Count, static_cast<int32_t>(c.Keys.size())) << int(c.Kind);
        for (size_t i = 0; i < c.Keys.size(); ++i) {
            EXPECT_EQ(set->ButtonList[i].Label->Text, TextOf(c.Keys[i]));
            EXPECT_NE(set->ButtonList[i].Label->Text, c.Keys[i])
                << "the caption comes from the text resources";
        }
        if (c.Keys.size() == 2) {
            EXPECT_EQ(set->ButtonList[0].Rect.Width, cWideButtonWidth);
            EXPECT_LT(set->ButtonList[0].Rect.Left + set->ButtonList[0].Rect.Width,
                      set->ButtonList[1].Rect.Left);
        }
        // Inside the dialog's panel.
        EXPECT_GE(set->ButtonList[0].Rect.Left, dialog->PanelLeftPx());
        EXPECT_LE(set->ButtonList[set->Count - 1].Rect.Left + set->ButtonList[set->Count - 1].Rect.Width,
                  dialog->PanelLeftPx() + dialog->PanelWidthPx());
        dialog->Dead = true;
        Frame();
        EXPECT_EQ(screen->Dialog, nullptr);
    }
}

TEST_F(Menu, DialogWithoutOwnerVariableStillAnswers) {
    auto* screen = Group->Add(new TScreen());
    auto* dialog = screen->Add(new TW_Dialog(nullptr, dkOk, "TEXT_Title_EXITPROGRAM", ""));
    EXPECT_EQ(dialog->SubtitleLabel, nullptr);
    ASSERT_NE(dialog->TitleLabel, nullptr);
    EXPECT_EQ(dialog->TitleLabel->Font, MenuTitle);
    Key(VK_RETURN);
    AwaitRelease(dialog->Buttons);
    Frame();
    EXPECT_EQ(screen->Answers, std::vector<int32_t>{0});
    EXPECT_EQ(FocusObject, screen);
}

TEST_F(Menu, ScreenTitleHangsTwelvePixelsHigherThanADialogTitle) {
    auto* screen = Group->Add(new TScreen());
    screen->CreatePanel("\\Textures\\StdDialog_Panel.tga", 19);
    screen->SetTitles("TEXT_Title_EXITPROGRAM", "TEXT_Yes", 30, 10);
    TW_Dialog* dialog = screen->Ask(dkOk);
    dialog->TitleLabel->Dead = true; // replaced below with the same offsets
    dialog->SetTitles("TEXT_Title_EXITPROGRAM", "", 30, 10);
    const float screenY = screen->TitleLabel->Y, dialogY = dialog->TitleLabel->Y;
    EXPECT_NEAR((screenY - dialogY) / PixelSize, 12.0f, 0.01f);
    EXPECT_NEAR(screen->TitleLabel->X, dialog->TitleLabel->X, 1e-5f) << "both centred on the panel";
}

TEST_F(Menu, ExitDialogNoGivesTheFocusBackAndKeepsTheGameRunning) {
    RegisterUiWindows();
    auto* screen = Group->Add(new TScreen());
    Group->ShowExitDialog();
    ASSERT_NE(ExitDialog, nullptr);
    EXPECT_EQ(FocusObject, ExitDialog);
    EXPECT_EQ(ExitDialog->PrevFocus, screen);
    EXPECT_TRUE(Group->Contains(ExitDialog)) << "the exit dialog covers whatever screen is shown";
    TW_ExitDialog* first = ExitDialog;
    Group->ShowExitDialog(); // a second close request while asking
    EXPECT_EQ(ExitDialog, first);
    int open = 0;
    for (TBasic* c = Group->First; c; c = c->Next)
        open += dynamic_cast<TW_ExitDialog*>(c) ? 1 : 0;
    EXPECT_EQ(open, 1);

    EXPECT_TRUE(Key(VK_ESCAPE)) << "Escape answers No";
    EXPECT_EQ(first->Buttons->ActiveIndex, 1);
    AwaitRelease(first->Buttons);
    Frame();

    EXPECT_EQ(ExitDialog, nullptr);
    EXPECT_EQ(FocusObject, screen);
    EXPECT_EQ(QuitRequest, qrNone);
    EXPECT_FALSE(CloseConfirmed);
    EXPECT_TRUE(screen->Answers.empty()) << "the exit dialog answers nobody";
}

TEST_F(Menu, ExitDialogYesEndsTheProgramAfterTheFrame) {
    RegisterUiWindows();
    Group->Add(new TScreen());
    Group->ShowExitDialog();
    TW_ExitDialog* dialog = ExitDialog;
    ASSERT_NE(dialog, nullptr);
    Click(dialog->Buttons->ButtonList[0].Rect.Left + 5, dialog->Buttons->ButtonList[0].Rect.Top + 5);
    AwaitRelease(dialog->Buttons);
    EXPECT_EQ(QuitRequest, qrQuit);
    EXPECT_TRUE(CloseConfirmed);
    Frame();
    EXPECT_EQ(ExitDialog, nullptr);
}

TEST_F(Menu, ExitDialogOutlivingThePreviousFocusLeavesNoDanglingFocus) {
    RegisterUiWindows();
    auto* screen = Group->Add(new TScreen());
    Group->ShowExitDialog();
    TW_ExitDialog* dialog = ExitDialog;
    screen->Dead = true; // the screen closes while the question is open
    Frame();
    Key(VK_DOWN);
    Key(VK_RIGHT);
    Key(VK_RETURN);
    AwaitRelease(dialog->Buttons);
    Frame();
    EXPECT_EQ(ExitDialog, nullptr);
    EXPECT_TRUE(FocusObject == nullptr || FocusObject == Group);
}

TEST_F(Menu, MissingHandlersAreReportedWithTheClassName) {
    auto* menu = Group->Add(new TPlainMenu());
    menu->Buttons = menu->Add(new TButtonMaster());
    menu->Buttons->CreateButton(0, "TEXT_Ok", {300, 300, 100, 40});
    Click(350, 320);
    AwaitRelease(menu->Buttons);
    EXPECT_TRUE(LogHas("TW_Menu.OnButtonUp: procedure not defined. Self = \"TPlainMenu\""));
    menu->OnDialogButtonUp(menu, 0);
    menu->OnPanelUp(menu, 0);
    menu->OnMouseButtonUp(menu, 0);
    EXPECT_TRUE(LogHas("TW_Menu.OnDialogButtonUp: procedure not defined. Self = \"TPlainMenu\""));
    EXPECT_TRUE(LogHas("TW_Menu.OnPanelUp: procedure not defined. Self = \"TPlainMenu\""));
    EXPECT_TRUE(LogHas("TW_Menu.OnMouseButtonUp: procedure not defined. Self = \"TPlainMenu\""));
    EXPECT_TRUE(Group->Contains(menu)) << "the event is lost, the window goes on";
}

TEST_F(Menu, ClosingAScreenThatHasTheFocusHandsItToTheRoot) {
    auto* screen = Group->Add(new TScreen());
    auto* input = screen->Add(new TTextInput(10, 300, 11));
    FocusObject = input; // a child of the screen holds the keyboard
    screen->Dead = true;
    Frame();
    EXPECT_EQ(FocusObject, Group);
}

} // namespace
