// Player list and name entry: selection by click, OK / Cancel / Delete / Rename with their notices
// and questions, names refused when empty or cut to eleven characters, and start mode.
#include <string>

#include "app/language.h"
#include "render/texlabels.h"
#include "ui/menuback.h"
#include "ui/w_menumain.h"
#include "ui/w_menuname.h"
#include "ui/w_menuplayer.h"
#include "menus_fixture.h"

namespace velmora {
void RegisterUiWindows();
}

using namespace velmora;
using velmora::testing::OpenedCodes;
using velmora::testing::TMenusTest;

namespace {

class PlayerList : public TMenusTest {
  protected:
    TW_MenuPlayer* OpenList(bool startMode = false) {
        Menu = Open(new TW_MenuMain());
        Menu->OpenPlayerList(startMode);
        Frame();
        return PlayerMenu;
    }
    void ClickRow(TW_MenuPlayer* list, int row) {
        const TPixelRect r = TW_MenuPlayer::RowRect(list->PanelLeftPx(), list->PanelTopPx(), row);
        Click(r.Left + r.Width / 2, r.Top + r.Height / 2);
    }
    std::string RowText(TW_MenuPlayer* list, int row) { return list->Rows[row]->Text; }

    TW_MenuMain* Menu = nullptr;
};

TEST_F(PlayerList, RowsShowNewPlayerAndTheNamesAndTheHighlightFollowsClicks) {
    MakePlayers({"ADA", "BEN", "CY"});
    GameDat.CurrentPlayer = 2;
    TW_MenuPlayer* list = OpenList();
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->Selected, 2);
    EXPECT_EQ(RowText(list, 1), "ADA");
    EXPECT_EQ(RowText(list, 3), "CY");
    EXPECT_FALSE(list->Rows[4]->Visible);
    // The rows are 232 x 26 at (panel left + 83, panel top + 75 + 22 x row).
    const TPixelRect r = TW_MenuPlayer::RowRect(list->PanelLeftPx(), list->PanelTopPx(), 3);
    EXPECT_EQ(r.Left - list->PanelLeftPx(), 83);
    EXPECT_EQ(r.Top - list->PanelTopPx(), 75 + 66);
    EXPECT_EQ(r.Width, 232);
    EXPECT_EQ(r.Height, 26);

    ClickRow(list, 3);
    EXPECT_EQ(list->Selected, 3);
    EXPECT_EQ(list->Highlight->ScreenY, r.Top);
    EXPECT_EQ(GameDat.CurrentPlayer, 3);
    ClickRow(list, 4); // beyond the list: nothing there
    EXPECT_EQ(list->Selected, 3);
}

TEST_F(PlayerList, ClickingTheSelectedRowAgainActsAsOkAndAppliesThePlayersSettings) {
    MakePlayers({"ADA", "BEN"});
    GameDat.Players[1].PlayerShowHelp = 0;
    GameDat.Players[1].PlayerDragNDrop = 1;
    GameDat.ShowHelp = 1;
    GameDat.DragNDrop = 0;
    TW_MenuPlayer* list = OpenList();
    ClickRow(list, 2);
    ClickRow(list, 2);
    for (int i = 0; i < 40 && PlayerMenu; ++i)
        Frame();
    EXPECT_EQ(PlayerMenu, nullptr);
    EXPECT_EQ(GameDat.CurrentPlayer, 2);
    EXPECT_EQ(GameDat.ShowHelp, 0);
    EXPECT_EQ(GameDat.DragNDrop, 1);
    EXPECT_EQ(MainMenu, Menu) << "outside start mode the main menu stays";
    ASSERT_NE(NameLabel, nullptr);
    EXPECT_EQ(NameLabel->NameLine->Text, "BEN");
    EXPECT_TRUE(OpenedCodes.empty());
}

TEST_F(PlayerList, StartModeStartsPlayingWithTheChosenPlayer) {
    MakePlayers({"ADA", "BEN"});
    GameDat.CurrentPlayer = 0;
    GameDat.Players[1].Level = 4;
    TW_MenuPlayer* list = OpenList(true);
    ClickRow(list, 2);
    PressButton(list->Buttons, 0);
    Frame();
    EXPECT_EQ(MainMenu, nullptr);
    EXPECT_EQ(OpenedCodes, std::vector<int>{15});
}

TEST_F(PlayerList, DeletingTheLastPlayerSelectsTheNewLast) {
    MakePlayers({"ADA", "BEN", "CY"});
    GameDat.CurrentPlayer = 3;
    TW_MenuPlayer* list = OpenList();
    PressButton(list->Buttons, 2);
    ASSERT_NE(list->Dialog, nullptr);
    EXPECT_EQ(list->Dialog->Kind, dkYesNo);
    ASSERT_NE(list->Dialog->SubtitleLabel, nullptr);
    EXPECT_NE(list->Dialog->SubtitleLabel->Text.find("\n\"CY\"?"), std::string::npos);
    Answer(list->Dialog, 0);
    EXPECT_EQ(GameDat.PlayerCount, 2);
    EXPECT_EQ(list->Selected, 2);
    EXPECT_EQ(GameDat.CurrentPlayer, 2);
    EXPECT_FALSE(list->Rows[3]->Visible);
    EXPECT_EQ(RowText(list, 2), "BEN");
}

TEST_F(PlayerList, DeletingInTheMiddleMovesTheLaterPlayersDown) {
    MakePlayers({"ADA", "BEN", "CY"});
    GameDat.Players[2].Score = 777;
    GameDat.CurrentPlayer = 2;
    TW_MenuPlayer* list = OpenList();
    PressButton(list->Buttons, 2);
    Answer(list->Dialog, 0);
    EXPECT_EQ(GameDat.Players[1].Name.Get(), "CY");
    EXPECT_EQ(GameDat.Players[1].Score, 777);
    EXPECT_EQ(GameDat.Players[2].Name.Get(), "");
    EXPECT_EQ(list->Selected, 2);
}

TEST_F(PlayerList, NoAnswerKeepsThePlayer) {
    MakePlayers({"ADA"});
    TW_MenuPlayer* list = OpenList();
    PressButton(list->Buttons, 2);
    Answer(list->Dialog, 1);
    EXPECT_EQ(GameDat.PlayerCount, 1);
}

TEST_F(PlayerList, DeleteAndRenameWithoutASelectedPlayerGiveTheNotice) {
    MakePlayers({"ADA"});
    GameDat.CurrentPlayer = 0;
    TW_MenuPlayer* list = OpenList();
    for (int button : {2, 3}) {
        PressButton(list->Buttons, button);
        ASSERT_NE(list->Dialog, nullptr);
        EXPECT_EQ(list->Dialog->Kind, dkOk);
        EXPECT_EQ(list->NameWindow, nullptr);
        Answer(list->Dialog, 0);
        EXPECT_EQ(list->Dialog, nullptr);
    }
    EXPECT_EQ(GameDat.PlayerCount, 1);
}

TEST_F(PlayerList, RenameReplacesTheNameAndKeepsTheListOpen) {
    MakePlayers({"ADA", "BEN"});
    GameDat.Players[1].Score = 300;
    TW_MenuPlayer* list = OpenList();
    ClickRow(list, 2);
    PressButton(list->Buttons, 3);
    TW_MenuName* names = list->NameWindow;
    ASSERT_NE(names, nullptr);
    EXPECT_FALSE(names->NewPlayer);
    EXPECT_EQ(names->Name(), "BEN");
    for (int i = 0; i < 3; ++i)
        Key(VK_BACK);
    Type("BENEDIKT");
    PressButton(names->Buttons, 0);
    EXPECT_EQ(list->NameWindow, nullptr);
    EXPECT_EQ(PlayerMenu, list);
    EXPECT_EQ(GameDat.Players[1].Name.Get(), "BENEDIKT");
    EXPECT_EQ(GameDat.Players[1].Score, 300);
    EXPECT_EQ(GameDat.PlayerCount, 2);
    EXPECT_EQ(RowText(list, 2), "BENEDIKT");
}

// A name typed in Russian shows in Latin letters with the Windows-1252 fonts; offered so for a rename
// and accepted unchanged, it keeps its own letters.
TEST_F(PlayerList, ANameTypedInAnotherCodePageShowsReadablyAndSurvivesAnUnchangedRename) {
    const std::string dima = "\xC4\xE8\xEC\xE0"; // "Дима" in Windows-1251
    MakePlayers({"ADA", dima.c_str()});
    const std::string shown = RunningCodePage() == 1251 ? dima : "Dima";
    TW_MenuPlayer* list = OpenList();
    EXPECT_EQ(RowText(list, 2), shown);
    ClickRow(list, 2);
    PressButton(list->Buttons, 3);
    ASSERT_NE(list->NameWindow, nullptr);
    EXPECT_EQ(list->NameWindow->Name(), shown);
    PressButton(list->NameWindow->Buttons, 0);
    EXPECT_EQ(GameDat.Players[1].Name.Get(), dima);
    EXPECT_EQ(RowText(list, 2), shown);
}

TEST_F(PlayerList, EmptyNameIsRefusedAndTheNameWindowStays) {
    MakePlayers({"ADA"});
    TW_MenuPlayer* list = OpenList();
    ClickRow(list, 0);
    PressButton(list->Buttons, 0);
    TW_MenuName* names = list->NameWindow;
    ASSERT_NE(names, nullptr);
    Key(VK_SPACE);
    Key(VK_RETURN);
    for (int i = 0; i < 40 && !names->Notice; ++i)
        Frame();
    ASSERT_NE(names->Notice, nullptr);
    EXPECT_EQ(names->Notice->TitleLabel->Text, TextOf("TEXT_Title_INVALIDNAME"));
    EXPECT_EQ(GameDat.PlayerCount, 1);
    Answer(names->Notice, 0);
    EXPECT_EQ(list->NameWindow, names) << "the name can be typed again";
    EXPECT_EQ(names->Notice, nullptr);
    EXPECT_TRUE(WindowHoldsFocus(names)) << "the keys return to the name";
}

TEST_F(PlayerList, NamesAreCutToElevenCharacters) {
    TW_MenuPlayer* list = OpenList();
    PressButton(list->Buttons, 0);
    ASSERT_NE(list->NameWindow, nullptr);
    Type("ABCDEFGHIJKLMNOP");
    EXPECT_EQ(list->NameWindow->Name(), "ABCDEFGHIJK");
    EXPECT_FALSE(NameAcceptable("   "));
    EXPECT_TRUE(NameAcceptable(" X "));
}

TEST_F(PlayerList, NameWindowCancelClosesOnlyTheNameWindow) {
    TW_MenuPlayer* list = OpenList();
    PressButton(list->Buttons, 0);
    ASSERT_NE(list->NameWindow, nullptr);
    Key(VK_ESCAPE);
    for (int i = 0; i < 40 && list->NameWindow; ++i)
        Frame();
    EXPECT_EQ(list->NameWindow, nullptr);
    EXPECT_EQ(PlayerMenu, list);
    EXPECT_EQ(GameDat.PlayerCount, 0);
}

TEST_F(PlayerList, CancelRestoresThePlayerAtOpen) {
    MakePlayers({"ADA", "BEN", "CY"});
    GameDat.CurrentPlayer = 2;
    TW_MenuPlayer* list = OpenList();
    ClickRow(list, 3);
    EXPECT_EQ(GameDat.CurrentPlayer, 3);
    PressButton(list->Buttons, 1);
    EXPECT_EQ(PlayerMenu, nullptr);
    EXPECT_EQ(GameDat.CurrentPlayer, 2);
    EXPECT_EQ(NameLabel->NameLine->Text, "BEN");
}

TEST_F(PlayerList, CancelAfterDeletingThePlayerAtOpenLeavesNoPlayer) {
    MakePlayers({"ADA", "BEN"});
    GameDat.CurrentPlayer = 2;
    TW_MenuPlayer* list = OpenList();
    PressButton(list->Buttons, 2);
    Answer(list->Dialog, 0);
    EXPECT_EQ(GameDat.CurrentPlayer, 1);
    PressButton(list->Buttons, 1);
    EXPECT_EQ(GameDat.CurrentPlayer, 0);
    EXPECT_EQ(NameLabel, nullptr) << "no player, no welcome";
}

TEST_F(PlayerList, CancelFollowsThePlayerAtOpenWhenAnEarlierOneIsDeleted) {
    MakePlayers({"ADA", "BEN", "CY"});
    GameDat.CurrentPlayer = 3;
    TW_MenuPlayer* list = OpenList();
    ClickRow(list, 1);
    PressButton(list->Buttons, 2);
    Answer(list->Dialog, 0);
    PressButton(list->Buttons, 1);
    EXPECT_EQ(GameDat.CurrentPlayer, 2);
    EXPECT_EQ(GameDat.Players[1].Name.Get(), "CY");
}

TEST_F(PlayerList, AFullListAsksForAnExistingPlayer) {
    MakePlayers({"A", "B", "C", "D"});
    TW_MenuPlayer* list = OpenList();
    ClickRow(list, 0);
    PressButton(list->Buttons, 0);
    EXPECT_EQ(list->NameWindow, nullptr);
    ASSERT_NE(list->Dialog, nullptr);
    EXPECT_EQ(list->Dialog->Kind, dkOk);
    EXPECT_EQ(GameDat.PlayerCount, 4);
}

// The list as a window of the scene group (code 13): its own background, and the main menu after it.
class PlayerWindow : public PlayerList {
  protected:
    TW_MenuPlayer* OpenWindow() {
        RegisterUiWindows();
        EXPECT_NE(RegisteredWindow(13), nullptr);
        // Where the list leads is seen through the fixture's stand-ins again.
        RegisterWindow(6, velmora::testing::MakeStandIn<6>);
        RegisterWindow(11, velmora::testing::MakeStandIn<11>);
        Group->NextWindow = 13;
        Frame();
        Frame();
        return PlayerMenu;
    }
    static bool HasMenuBack(TW_MenuPlayer* list) {
        for (TBasic* c = list->First; c; c = c->Next)
            if (dynamic_cast<TMenuBack*>(c)) return true;
        return false;
    }
};

TEST_F(PlayerWindow, CodeThirteenOpensTheListOnItsOwnWithTheMenuBackground) {
    MakePlayers({"ADA", "BEN"});
    GameDat.CurrentPlayer = 2;
    TW_MenuPlayer* list = OpenWindow();
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->Parent, Group) << "a window of the scene group";
    EXPECT_EQ(MainMenu, nullptr);
    EXPECT_TRUE(list->OwnWindow);
    EXPECT_FALSE(list->StartMode);
    EXPECT_TRUE(HasMenuBack(list));
    EXPECT_EQ(list->Selected, 2);
    EXPECT_EQ(FocusObject, list) << "keys reach the list";
    EXPECT_EQ(RowText(list, 1), "ADA");
}

TEST_F(PlayerWindow, OkTakesTheChosenPlayerToTheMainMenu) {
    MakePlayers({"ADA", "BEN"});
    TW_MenuPlayer* list = OpenWindow();
    ASSERT_NE(list, nullptr);
    ClickRow(list, 2);
    PressButton(list->Buttons, 0);
    Frame();
    EXPECT_EQ(PlayerMenu, nullptr);
    EXPECT_EQ(GameDat.CurrentPlayer, 2);
    EXPECT_EQ(OpenedCodes, std::vector<int>{11});
}

TEST_F(PlayerWindow, CancelAndEscapeGoBackToTheMainMenuWithThePlayerAtOpen) {
    MakePlayers({"ADA", "BEN"});
    TW_MenuPlayer* list = OpenWindow();
    ASSERT_NE(list, nullptr);
    ClickRow(list, 2);
    Key(VK_ESCAPE);
    for (int i = 0; i < 60 && PlayerMenu; ++i)
        Frame();
    Frame();
    EXPECT_EQ(PlayerMenu, nullptr);
    EXPECT_EQ(GameDat.CurrentPlayer, 1);
    EXPECT_EQ(OpenedCodes, std::vector<int>{11});
}

TEST_F(PlayerWindow, ANewPlayerStartsPlayingInsteadOfTheMenu) {
    MakePlayers({});
    TW_MenuPlayer* list = OpenWindow();
    ASSERT_NE(list, nullptr);
    PressButton(list->Buttons, 0);
    ASSERT_NE(list->NameWindow, nullptr);
    Type("ZOE");
    PressButton(list->NameWindow->Buttons, 0);
    Frame();
    EXPECT_EQ(PlayerMenu, nullptr);
    EXPECT_EQ(GameDat.PlayerCount, 1);
    EXPECT_EQ(OpenedCodes, std::vector<int>{6}) << "a new player starts with the history";
}

} // namespace
