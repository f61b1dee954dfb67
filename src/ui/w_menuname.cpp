#include "ui/w_menuname.h"

#include "app/input.h"
#include "ui/w_menuplayer.h"
#include "ui/wincontrols.h"

namespace velmora {

namespace {

// Layout inside the 400 x 220 panel (ours to choose).
constexpr int32_t cTitleInside = 30, cSubtitleInside = 72;
constexpr int32_t cInputLeft = 84, cInputY = 120;
constexpr int32_t cButtonsTop = 152, cButtonGap = 16;

} // namespace

TW_MenuName::TW_MenuName(bool newPlayer, const std::string& name) : NewPlayer(newPlayer) {
    CreatePanel("\\Textures\\YourName_Panel.tga", 19);
    SetTitles("TEXT_Title_YOURNAME", "TEXT_Subtitle_EnterYourName", -cTitleInside, -cSubtitleInside);
    CreateContent();
    Input->SetText(name);
}

TW_MenuName::~TW_MenuName() {
    if (PlayerMenu && PlayerMenu->NameWindow == this) PlayerMenu->NameWindow = nullptr;
}

void TW_MenuName::CreateContent() {
    const int32_t left = PanelLeftPx(), top = PanelTopPx();
    Input = Add(new TTextInput(left + cInputLeft, top + cInputY, cMaxNameLength));
    Buttons = Add(new TButtonMaster());
    const int32_t total = 2 * cWideButtonWidth + cButtonGap;
    const int32_t bx = left + (PanelWidthPx() - total) / 2;
    Buttons->CreateButton(0, "TEXT_Ok", {bx, top + cButtonsTop, cWideButtonWidth, cDefaultButtonHeight});
    Buttons->CreateButton(
        1, "TEXT_Cancel",
        {bx + cWideButtonWidth + cButtonGap, top + cButtonsTop, cWideButtonWidth, cDefaultButtonHeight});
}

bool TW_MenuName::CanInteract() {
    return Buttons && !Buttons->Busy() && !Notice;
}

// Letters, Space, Backspace and the arrows belong to the name; Enter and Escape to the buttons.
bool TW_MenuName::KeyDown(uint16_t key) {
    if (!CanInteract()) return false;
    if (key == VK_RETURN) {
        Buttons->SetButtonPressed(0);
        return true;
    }
    if (key == VK_ESCAPE) {
        Buttons->SetButtonPressed(1);
        return true;
    }
    Input->KeyDown(key);
    return true;
}

void TW_MenuName::MouseProc() {
    if (CanInteract()) Buttons->MouseProc();
}

void TW_MenuName::OnButtonUp(TBasic*, int32_t index) {
    if (auto* owner = dynamic_cast<TW_Menu*>(Parent)) owner->OnDialogButtonUp(this, index);
}

void TW_MenuName::OnDialogButtonUp(TBasic*, int32_t) {}

void TW_MenuName::ShowNotice(const std::string& title, const std::string& subtitle) {
    Add(new TW_Dialog(&Notice, dkOk, title, subtitle));
}

std::string TW_MenuName::Name() const {
    return Input ? Input->Text : std::string();
}

} // namespace velmora
