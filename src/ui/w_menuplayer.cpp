#include "ui/w_menuplayer.h"

#include <algorithm>
#include <cstring>

#include "app/gamedat.h"
#include "app/language.h"
#include "app/log.h"
#include "app/options.h"
#include "app/sound.h"
#include "engine/group.h"
#include "render/blocks.h"
#include "render/itf.h"
#include "render/tex.h"
#include "render/texlabels.h"
#include "render/visual.h"
#include "ui/menuback.h"
#include "ui/passage.h"
#include "ui/w_menumain.h"
#include "ui/w_menuname.h"
#include "ui/wincontrols.h"

namespace velmora {

TW_MenuPlayer* PlayerMenu = nullptr;

namespace {

// Rows: 232 x 26 pixels from (83, 75) inside the panel, 22 apart.
constexpr int32_t cRowLeft = 83, cRowTop = 75, cRowStep = 22;
constexpr int32_t cRowWidth = 232, cRowHeight = 26;
constexpr int32_t cRowTextIndent = 10;
// The rest of the 400 x 360 panel (ours to choose): title inside the top band, buttons two by two.
constexpr int32_t cTitleInside = 30;
constexpr int32_t cButtonsTop = 200, cButtonRowStep = 56, cButtonGap = 12;

std::string PlayerName(int32_t player) {
    return NameForDisplay(GameDat.Players[player - 1].Name.Get()); // typed in another language too
}

} // namespace

bool NameAcceptable(const std::string& name) {
    return name.find_first_not_of(' ') != std::string::npos;
}

TPixelRect TW_MenuPlayer::RowRect(int32_t panelLeft, int32_t panelTop, int32_t row) {
    return {panelLeft + cRowLeft, panelTop + cRowTop + cRowStep * row, cRowWidth, cRowHeight};
}

TW_MenuPlayer::TW_MenuPlayer(bool startMode, bool ownWindow) : StartMode(startMode), OwnWindow(ownWindow) {
    PlayerMenu = this;
    GameDat.PlayerCount = std::clamp(GameDat.PlayerCount, 0, cPlayerCount);
    PlayerAtOpen = HasCurrentPlayer() ? GameDat.CurrentPlayer : 0;
    Selected = PlayerAtOpen;
    // Nothing is under a window of its own: it brings the scene the main menu would have shown.
    if (OwnWindow) Add(new TMenuBack());
    CreatePanel("\\Textures\\Player_Panel.tga", 19);
    SetTitles("TEXT_Title_PLAYER", "", -cTitleInside, 0);
    CreateContent();
    Rebuild();
    if (!OwnWindow) return;
    FadeInFromSnapshot(*this);
    if (SoundDepot) SoundDepot->PlayMusic(sndMusic_Menu, 1, true);
}

TW_MenuPlayer::~TW_MenuPlayer() {
    if (PlayerMenu == this) PlayerMenu = nullptr;
}

void TW_MenuPlayer::CreateContent() {
    const int32_t left = PanelLeftPx(), top = PanelTopPx();
    const TPixelRect first = RowRect(left, top, 0);
    auto* marker = Add(new TTexRect());
    marker->TexId = tiPlayerMarker;
    marker->Block1 = sbTexAlpha;
    marker->SetRectLTRB(first.Left, first.Top, first.Left + first.Width, first.Top + first.Height);
    marker->SetUVPixels(0, 0, cRowWidth, cRowHeight);
    marker->UploadVertices();
    Highlight = marker;
    for (int32_t row = 0; row < cPlayerRows; ++row) {
        const TPixelRect r = RowRect(left, top, row);
        TTexLabelExParams p;
        p.Font = PlayerFont_Yellow ? PlayerFont_Yellow : DefaultButtonFont;
        p.HAlign = 1;
        p.Text = "?";
        Rows[row] = Add(new TTexLabelEx(p));
        Rows[row]->X = TableX(r.Left + cRowTextIndent) - HalfPixel;
        Rows[row]->Y = TableY(r.Top + r.Height / 2) - HalfPixel;
        Rows[row]->Layout();
    }
    Buttons = Add(new TButtonMaster());
    const int32_t bx = left + (PanelWidthPx() - 2 * cWideButtonWidth - cButtonGap) / 2;
    const char* const keys[4] = {"TEXT_Ok", "TEXT_Cancel", "TEXT_Delete", "TEXT_Rename"};
    for (int32_t i = 0; i < 4; ++i)
        Buttons->CreateButton(i, keys[i],
                              {bx + (i % 2) * (cWideButtonWidth + cButtonGap),
                               top + cButtonsTop + (i / 2) * cButtonRowStep, cWideButtonWidth,
                               cDefaultButtonHeight});
}

void TW_MenuPlayer::Rebuild() {
    Rows[0]->SetText(TextOf("TEXT_NewPlayer"));
    Rows[0]->Layout();
    for (int32_t row = 1; row < cPlayerRows; ++row) {
        const bool shown = row <= GameDat.PlayerCount;
        Rows[row]->Visible = shown;
        if (!shown) continue;
        Rows[row]->SetText(PlayerName(row));
        Rows[row]->Visible = true;
        Rows[row]->Layout();
    }
    Selected = std::clamp(Selected, 0, GameDat.PlayerCount);
    const TPixelRect r = RowRect(PanelLeftPx(), PanelTopPx(), Selected);
    Highlight->SetRectLTRB(r.Left, r.Top, r.Left + r.Width, r.Top + r.Height);
    Highlight->SetUVPixels(0, 0, cRowWidth, cRowHeight);
    Highlight->UploadVertices();
}

bool TW_MenuPlayer::CanInteract() {
    return Buttons && !Buttons->Busy() && !(OwnWindow && PassageEffect);
}

bool TW_MenuPlayer::KeyDown(uint16_t key) {
    if (!CanInteract()) return false;
    switch (key) {
    case VK_ESCAPE:
        Buttons->SetButtonPressed(1);
        return true;
    case VK_UP:
        Select(std::max(0, Selected - 1));
        return true;
    case VK_DOWN:
        Select(std::min(GameDat.PlayerCount, Selected + 1));
        return true;
    case VK_RETURN:
        if (Buttons->ActiveIndex >= 0) return Buttons->KeyDown(key);
        Buttons->SetButtonPressed(0);
        return true;
    default:
        return Buttons->KeyDown(key);
    }
}

int32_t TW_MenuPlayer::RowAtMouse() const {
    if (!Mouse) return -1;
    for (int32_t row = 0; row <= GameDat.PlayerCount && row < cPlayerRows; ++row)
        if (Mouse->InRect(RowRect(PanelLeftPx(), PanelTopPx(), row))) return row;
    return -1;
}

void TW_MenuPlayer::MouseProc() {
    if (!CanInteract()) return;
    Buttons->MouseProc();
    if (Buttons->Busy() || !Mouse) return;
    const int32_t row = RowAtMouse();
    if (row < 0) return;
    if (VisMouse) VisMouse->RequestShape(Mouse->IsDown(0) ? 2 : 1);
    if (Mouse->ButtonChangedNow() && Mouse->Pressed(0)) ClickRow(row);
}

void TW_MenuPlayer::ClickRow(int32_t row) {
    if (SoundDepot) SoundDepot->PlaySample(sndButton2);
    if (row != Selected)
        Select(row);
    else
        Buttons->SetButtonPressed(0);
}

// The selection is the current player while the list is open; Cancel puts the opening one back.
void TW_MenuPlayer::Select(int32_t row) {
    Selected = std::clamp(row, 0, GameDat.PlayerCount);
    if (Selected > 0) GameDat.CurrentPlayer = Selected;
    Rebuild();
}

void TW_MenuPlayer::OnButtonUp(TBasic*, int32_t index) {
    switch (index) {
    case 0:
        Accept();
        break;
    case 1:
        Cancel();
        break;
    case 2:
        AskDelete();
        break;
    case 3:
        Rename();
        break;
    default:
        break;
    }
}

void TW_MenuPlayer::ApplyPlayerSettings(int32_t player) {
    const TPlayerRec& rec = GameDat.Players[player - 1];
    GameDat.ShowHelp = rec.PlayerShowHelp;
    GameDat.DragNDrop = rec.PlayerDragNDrop;
}

void TW_MenuPlayer::Accept() {
    if (Selected == 0) {
        if (GameDat.PlayerCount >= cPlayerCount) {
            // Four players fill the list: one of them has to be chosen (or deleted) first.
            Notice("TEXT_Title_ATTENTION", "TEXT_Subtitle_SelectAPlayer");
            return;
        }
        NameWindow = Add(new TW_MenuName(true, ""));
        return;
    }
    GameDat.CurrentPlayer = Selected;
    ApplyPlayerSettings(Selected);
    if (StartMode) {
        Dead = true;
        if (MainMenu) MainMenu->Dead = true;
        if (RootGroup) RootGroup->StartPlaying();
        return;
    }
    if (MainMenu) MainMenu->RefreshNameLabel();
    Close();
}

void TW_MenuPlayer::Cancel() {
    GameDat.CurrentPlayer = PlayerAtOpen >= 1 && PlayerAtOpen <= GameDat.PlayerCount ? PlayerAtOpen : 0;
    if (MainMenu) MainMenu->RefreshNameLabel();
    Close();
}

void TW_MenuPlayer::Close() {
    Dead = true;
    if (OwnWindow && RootGroup) RootGroup->ShowMainMenu();
}

void TW_MenuPlayer::Notice(const char* title, const char* subtitle) {
    Question = pqNotice;
    Add(new TW_Dialog(&Dialog, dkOk, title, subtitle));
}

void TW_MenuPlayer::AskDelete() {
    if (Selected == 0) {
        Notice("TEXT_Title_ATTENTION", "TEXT_Subtitle_SelectAPlayer");
        return;
    }
    Question = pqDelete;
    const std::string text =
        TextOf("TEXT_Subtitle_ReallyDeletePlayer") + "\n\"" + PlayerName(Selected) + "\"?";
    Add(new TW_Dialog(&Dialog, dkYesNo, "TEXT_Title_ATTENTION", text));
}

// The records after the deleted one move down a place; the current player and the player the list
// opened with keep pointing at the same people (0 when it was the deleted one).
void TW_MenuPlayer::DeleteSelected() {
    const int32_t gone = Selected;
    if (gone < 1 || gone > GameDat.PlayerCount) return;
    for (int32_t i = gone; i < GameDat.PlayerCount; ++i)
        GameDat.Players[i - 1] = GameDat.Players[i];
    GameDat.Players[GameDat.PlayerCount - 1] = TPlayerRec{};
    GameDat.PlayerCount -= 1;
    auto follow = [gone](int32_t& player) {
        if (player == gone)
            player = 0;
        else if (player > gone)
            player -= 1;
    };
    follow(PlayerAtOpen);
    if (Selected > GameDat.PlayerCount) Selected = GameDat.PlayerCount;
    GameDat.CurrentPlayer = Selected;
    Rebuild();
    SaveGameDat();
}

void TW_MenuPlayer::Rename() {
    if (Selected == 0) {
        Notice("TEXT_Title_ATTENTION", "TEXT_Subtitle_SelectAPlayer");
        return;
    }
    GameDat.CurrentPlayer = Selected;
    NameWindow = Add(new TW_MenuName(false, PlayerName(Selected)));
}

void TW_MenuPlayer::OnDialogButtonUp(TBasic* sender, int32_t index) {
    if (auto* names = dynamic_cast<TW_MenuName*>(sender)) {
        OnNameAnswer(names, index);
        return;
    }
    const uint8_t question = Question;
    Question = pqNone;
    if (question == pqDelete && index == 0) DeleteSelected();
}

void TW_MenuPlayer::CreatePlayer(const std::string& name) {
    const int32_t player = GameDat.PlayerCount + 1;
    GameDat.PlayerCount = player;
    ClearPlayer(player);
    GameDat.Players[player - 1].Name.Set(name.substr(0, cMaxNameLength));
    Selected = player;
    GameDat.CurrentPlayer = player;
    Rebuild();
    ApplyPlayerSettings(player);
    SaveGameDat();
}

void TW_MenuPlayer::OnNameAnswer(TW_MenuName* window, int32_t index) {
    if (index != 0) {
        window->Dead = true;
        return;
    }
    const std::string name = window->Name();
    if (!NameAcceptable(name)) {
        window->ShowNotice("TEXT_Title_INVALIDNAME", "TEXT_Subtitle_EnterCorrectName");
        return;
    }
    if (window->NewPlayer) {
        if (GameDat.PlayerCount >= cPlayerCount) {
            Log("TW_MenuPlayer.OnNameAnswer: the list is full; no player added");
            window->Dead = true;
            return;
        }
        CreatePlayer(name);
        window->Dead = true;
        Dead = true;
        if (MainMenu) MainMenu->Dead = true;
        if (RootGroup) RootGroup->StartPlaying();
        return;
    }
    // A name typed in another language is offered as shown; left as it was, it keeps its own letters.
    if (HasCurrentPlayer() && name != PlayerName(GameDat.CurrentPlayer))
        GameDat.Players[GameDat.CurrentPlayer - 1].Name.Set(name.substr(0, cMaxNameLength));
    Rebuild();
    SaveGameDat();
    window->Dead = true;
}

TBasic* CreateMenuPlayer() {
    return new TW_MenuPlayer(false, true);
}

} // namespace velmora
