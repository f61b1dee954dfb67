// The main menu's idle count: sixty seconds of game time on the bare menu without the player's
// input ask for the idle demo (window code 17); any move, click or key starts the count afresh, and
// an open question, options window or player list holds it at zero.
#include "app/input.h"
#include "engine/group.h"
#include "ui/w_menumain.h"
#include "ui/w_menuoptions.h"
#include "ui/w_menuplayer.h"
#include "menus_fixture.h"

using namespace velmora;
using velmora::testing::MakeStandIn;
using velmora::testing::OpenedCodes;
using velmora::testing::TMenusTest;

namespace {

class IdleDemo : public TMenusTest {
  protected:
    void SetUp() override {
        TMenusTest::SetUp();
        RegisterWindow(cIdleDemoWindow, MakeStandIn<cIdleDemoWindow>);
    }
    TW_MenuMain* OpenMenu() { return Open(new TW_MenuMain()); }
    template <class W> W* ChildOf(TW_MenuMain* menu) {
        for (TBasic* c = menu->First; c; c = c->Next)
            if (auto* w = dynamic_cast<W*>(c)) return w;
        return nullptr;
    }
    bool DemoOpened() const {
        return !OpenedCodes.empty() && OpenedCodes.back() == static_cast<int>(cIdleDemoWindow);
    }
};

TEST_F(IdleDemo, SixtySecondsOnTheBareMenuOpenTheDemoNotOneFrameEarlier) {
    TW_MenuMain* menu = OpenMenu();
    Frame(3599);
    EXPECT_EQ(MainMenu, menu);
    EXPECT_FLOAT_EQ(menu->IdleTime, 3599);
    Frame();
    EXPECT_EQ(MainMenu, nullptr) << "the 3600th frame closes the menu for the demo";
    Frame(); // the requested window opens at the next step
    EXPECT_TRUE(DemoOpened());
    EXPECT_EQ(OpenedCodes.size(), 1u);
}

TEST_F(IdleDemo, TheCountIsInGameTimeNotFrames) {
    Delta = 2.0f; // a slow machine's frames are longer
    TW_MenuMain* menu = OpenMenu();
    Frame(1799);
    EXPECT_EQ(MainMenu, menu);
    Frame();
    EXPECT_EQ(MainMenu, nullptr);
    Delta = 1.0f;
}

TEST_F(IdleDemo, EveryMoveClickOrKeyOfThePlayerStartsTheCountAfresh) {
    TW_MenuMain* menu = OpenMenu();
    Frame(3000);
    for (UINT message : {WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_KEYDOWN}) {
        NotePlayerInput(message);
        Frame(); // the frame that sees the input
        EXPECT_FLOAT_EQ(menu->IdleTime, 0) << message;
        Frame(3599);
        EXPECT_EQ(MainMenu, menu) << "a minute has not passed since message " << message;
    }
    {
        TOwnInputScope own; // the program's own messages are no sign of a player
        NotePlayerInput(WM_MOUSEMOVE);
    }
    Frame();
    EXPECT_EQ(MainMenu, nullptr);
    Frame();
    EXPECT_TRUE(DemoOpened());
}

TEST_F(IdleDemo, NoDemoWhileAQuestionOptionsOrThePlayerListIsOpen) {
    MakePlayers({"IDA"});
    TW_MenuMain* menu = OpenMenu();
    PressButton(menu->Buttons, 4); // Exit asks
    ASSERT_NE(menu->Dialog, nullptr);
    Frame(4000);
    EXPECT_EQ(MainMenu, menu);
    EXPECT_FLOAT_EQ(menu->IdleTime, 0);
    Answer(menu->Dialog, 1); // No

    PressButton(menu->Buttons, 1);
    TW_MenuOptions* options = ChildOf<TW_MenuOptions>(menu);
    ASSERT_NE(options, nullptr);
    Frame(4000);
    EXPECT_EQ(MainMenu, menu);
    PressButton(options->Buttons, 1); // Cancel
    EXPECT_EQ(ChildOf<TW_MenuOptions>(menu), nullptr);

    menu->OpenPlayerList(false);
    ASSERT_NE(PlayerMenu, nullptr);
    Frame(4000);
    EXPECT_EQ(MainMenu, menu);
    PressButton(PlayerMenu->Buttons, 1); // Cancel
    EXPECT_EQ(PlayerMenu, nullptr);
    EXPECT_FALSE(DemoOpened());

    Frame(3500); // the count runs again once the menu is bare
    EXPECT_EQ(MainMenu, menu);
    Frame(200);
    EXPECT_EQ(MainMenu, nullptr);
    Frame();
    EXPECT_TRUE(DemoOpened());
}

TEST_F(IdleDemo, WithoutADemoWindowTheMenuStays) {
    ClearWindowRegistry();
    TW_MenuMain* menu = OpenMenu();
    Frame(4000);
    EXPECT_EQ(MainMenu, menu);
    EXPECT_TRUE(OpenedCodes.empty());
}

} // namespace
