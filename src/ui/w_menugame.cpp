#include "ui/w_menugame.h"

#include "app/gamedat.h"
#include "ui/w_menuoptions.h"
#include "ui/wincontrols.h"

namespace velmora {

TW_MenuGame* GameMenu = nullptr;

namespace {
constexpr int32_t cTitleInside = 52;
constexpr int32_t cFirstButtonTop = 90, cButtonStep = 58;
constexpr const char* cCaptions[4] = {"TEXT_Resume", "TEXT_Restart", "TEXT_Options", "TEXT_MainMenu"};
} // namespace

TW_MenuGame::TW_MenuGame(TGameMenuOwner* owner) : Owner(owner) {
    GameMenu = this;
    CreatePanel("\\Textures\\GameMenu_Panel.tga", 19);
    SetTitles("TEXT_Title_MENU", "", -cTitleInside, 0);
    CreateContent();
    AfterContent();
}

TW_MenuGame::~TW_MenuGame() {
    if (GameMenu == this) GameMenu = nullptr;
}

void TW_MenuGame::CreateContent() {
    Buttons = Add(new TButtonMaster());
    const int32_t left = PanelLeftPx() + (PanelWidthPx() - cDefaultButtonWidth) / 2;
    for (int32_t i = 0; i < 4; ++i)
        Buttons->CreateButton(i, cCaptions[i],
                              {left, PanelTopPx() + cFirstButtonTop + i * cButtonStep, cDefaultButtonWidth,
                               cDefaultButtonHeight});
}

bool TW_MenuGame::CanInteract() {
    return Buttons && !Buttons->Busy() && !Dialog;
}

bool TW_MenuGame::KeyDown(uint16_t key) {
    if (!CanInteract()) return false;
    if (key == VK_ESCAPE || key == VK_PAUSE) { // Pause: the gamepad's Start that opened the menu
        Buttons->SetButtonPressed(0);
        return true;
    }
    return Buttons->KeyDown(key);
}

void TW_MenuGame::OnButtonUp(TBasic*, int32_t index) {
    switch (index) {
    case 0:
        Dead = true;
        if (Owner) Owner->Resume();
        break;
    case 1:
        Asked = 1;
        Dialog = Add(new TW_Dialog(&Dialog, dkYesNo, "TEXT_Title_RESTART", "TEXT_Subtitle_LoseAndRestart"));
        break;
    case 2:
        Add(new TW_MenuOptions());
        break;
    case 3:
        Asked = 3;
        Dialog = Add(new TW_Dialog(&Dialog, dkYesNo, "TEXT_Title_EXITGAME", "TEXT_Subtitle_SaveAndExit"));
        break;
    default:
        break;
    }
}

void TW_MenuGame::OnDialogButtonUp(TBasic*, int32_t index) {
    if (index != 0) return;
    if (Asked == 1) AnswerRestart();
    if (Asked == 3) AnswerSaveAndExit();
}

// A restart costs a life; without one left it is a game over.
void TW_MenuGame::AnswerRestart() {
    Dead = true;
    if (!Owner) return;
    Owner->Resume();
    if (CurrentPlayerRec().Lives < 1)
        Owner->LoseLife();
    else
        Owner->RestartLevel();
}

void TW_MenuGame::AnswerSaveAndExit() {
    Dead = true;
    if (Owner) Owner->SaveAndExit();
}

} // namespace velmora
