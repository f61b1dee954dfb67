#include "ui/w_menumain.h"

#include "app/d3dapp.h"
#include "app/gamedat.h"
#include "app/input.h"
#include "app/language.h"
#include "app/options.h"
#include "app/sound.h"
#include "engine/group.h"
#include "render/blocks.h"
#include "render/itf.h"
#include "render/tex.h"
#include "render/texlabels.h"
#include "ui/menuback.h"
#include "ui/passage.h"
#include "ui/w_menuoptions.h"
#include "ui/w_menuplayer.h"
#include "ui/wincontrols.h"

namespace velmora {

// Weak: the help window's own definition, when it is linked in, is the one used.
__attribute__((weak)) bool HelpShownThisVisit = false;

TW_MenuMain* MainMenu = nullptr;
TNameLabel* NameLabel = nullptr;

namespace {

// Layout inside the 320 x 400 panel, pixels from its top-left corner (ours to choose).
constexpr int32_t cTitleInside = 40;
constexpr int32_t cButtonsTop = 92, cButtonStep = 58;
constexpr int32_t cButtonCount = 5;
const char* const cButtonKeys[cButtonCount] = {"TEXT_Start", "TEXT_Options", "TEXT_HiScores", "TEXT_About",
                                               "TEXT_Exit"};
constexpr int32_t cExitButton = 4;
// The Start button's caption turns to this gold when hovered or pressed.
constexpr uint32_t cStartHoverColor = 0xFFFFD040;

// Welcome label anchors (left edge, top) in pixels.
constexpr int32_t cLabelX = 380;
constexpr int32_t cWelcomeY = 18, cNameY = 37, cHintY = 68;

TTexLabelEx* LabelAt(TMaster& owner, TIndexedTextureFont* font, const std::string& text, int32_t py) {
    TTexLabelExParams p;
    p.Font = font ? font : DefaultButtonFont;
    p.Text = text;
    p.HAlign = 1;
    p.VAlign = 2;
    auto* label = owner.Add(new TTexLabelEx(p));
    label->X = TableX(cLabelX) - HalfPixel;
    label->Y = TableY(py) - HalfPixel;
    label->Layout();
    return label;
}

} // namespace

bool HasCurrentPlayer() {
    return GameDat.CurrentPlayer >= 1 && GameDat.CurrentPlayer <= GameDat.PlayerCount &&
           GameDat.CurrentPlayer <= cPlayerCount;
}

// ---- TNameLabel ---------------------------------------------------------------------------------

TNameLabel::TNameLabel() {
    NameLabel = this;
    WelcomeLine = LabelAt(*this, Welcome, TextOf("TEXT_WelcomeToTheVelmora"), cWelcomeY);
    NameLine = LabelAt(*this, PlayerFont_Yellow, "", cNameY);
    HintLine = LabelAt(*this, Welcome, TextOf("TEXT_IfThisIsNotYouClickHere"), cHintY);
}

TNameLabel::~TNameLabel() {
    if (NameLabel == this) NameLabel = nullptr;
}

void TNameLabel::SetName(const std::string& name) {
    NameLine->SetText(name);
    NameLine->Layout();
}

bool TNameLabel::MouseOver() {
    for (TTexLabelEx* l : {WelcomeLine, NameLine, HintLine})
        if (l && l->MouseOver()) return true;
    return false;
}

void TNameLabel::MouseProc() {
    if (!Mouse || !MouseOver()) return;
    if (VisMouse) VisMouse->RequestShape(Mouse->IsDown(0) ? 2 : 1);
    if (!Mouse->ButtonChangedNow() || !Mouse->Released(0)) return;
    if (auto* menu = dynamic_cast<TW_Menu*>(Parent)) menu->OnMouseButtonUp(this, 0);
}

// ---- TW_MenuMain --------------------------------------------------------------------------------

TW_MenuMain::TW_MenuMain() {
    MainMenu = this;
    HelpShownThisVisit = false;
    Add(new TMenuBack());
    CreatePanel("\\Textures\\MainMenu_Panel.tga", sbTexAlpha);
    SetTitles("TEXT_Title_MENU", "", -cTitleInside, 0);
    CreateContent();
    RefreshNameLabel();
    FadeInFromSnapshot(*this);
    if (SoundDepot) SoundDepot->PlayMusic(sndMusic_Menu, 1, true);
    SeenInput = PlayerInput;
}

TW_MenuMain::~TW_MenuMain() {
    if (MainMenu == this) MainMenu = nullptr;
}

void TW_MenuMain::CreateContent() {
    Buttons = Add(new TButtonMaster());
    const int32_t left = PanelLeftPx() + (PanelWidthPx() - cDefaultButtonWidth) / 2;
    for (int32_t i = 0; i < cButtonCount; ++i)
        Buttons->CreateButton(
            i, cButtonKeys[i],
            {left, PanelTopPx() + cButtonsTop + i * cButtonStep, cDefaultButtonWidth, cDefaultButtonHeight},
            tiButtonStart + i);
    Buttons->SetButtonActive(0);
}

// The Start button alone takes a second caption colour when hovered or pressed.
void TW_MenuMain::StepMe() {
    const TButtonRec& start = Buttons->ButtonList[0];
    if (start.Label && (start.State == bsActive || start.State == bsPressed))
        start.Label->SetColor(cStartHoverColor);
    CountIdleTime();
}

// Nothing open over the menu and no button press playing.
bool TW_MenuMain::BareMenu() {
    if (ExitDialog || (Buttons && Buttons->Busy())) return false;
    for (TBasic* c = First; c; c = c->Next)
        if (dynamic_cast<TW_Win*>(c)) return false;
    return true;
}

void TW_MenuMain::CountIdleTime() {
    const bool input = PlayerInput.Presses != SeenInput.Presses || PlayerInput.Moves != SeenInput.Moves;
    SeenInput = PlayerInput;
    if (input || Dead || !BareMenu()) {
        IdleTime = 0;
        return;
    }
    IdleTime += Delta;
    // Without a demo window in the build the menu simply stays.
    if (IdleTime < cIdleDemoDelay || !RootGroup || !RegisteredWindow(cIdleDemoWindow)) return;
    IdleTime = 0;
    Dead = true;
    RootGroup->RequestWindow(cIdleDemoWindow);
}

bool TW_MenuMain::CanInteract() {
    return Buttons && !Buttons->Busy() && !PassageEffect;
}

bool TW_MenuMain::KeyDown(uint16_t key) {
    if (!CanInteract()) return false;
    if (Buttons->KeyDown(key)) return true;
    if (key != VK_ESCAPE) return false;
    Buttons->SetButtonPressed(cExitButton);
    return true;
}

void TW_MenuMain::MouseProc() {
    if (!CanInteract()) return;
    Buttons->MouseProc();
    if (NameLabel && !Buttons->Busy()) NameLabel->MouseProc();
}

void TW_MenuMain::Ask(uint8_t question, uint8_t kind, const char* title, const char* subtitle) {
    Question = question;
    Add(new TW_Dialog(&Dialog, kind, title, subtitle));
}

void TW_MenuMain::OpenPlayerList(bool startMode) {
    Add(new TW_MenuPlayer(startMode));
}

void TW_MenuMain::OnButtonUp(TBasic*, int32_t index) {
    switch (index) {
    case 0:
        if (HasCurrentPlayer())
            Ask(mqContinue, dkContinueNewGame, "TEXT_Title_NEWGAME", "TEXT_Subtitle_ContinueOldGame");
        else
            OpenPlayerList(true);
        break;
    case 1:
        Add(CreateMenuOptions());
        break;
    case 2:
        if (RootGroup) RootGroup->ShowHiScores(0);
        Dead = true;
        break;
    case 3:
        if (RootGroup) RootGroup->ShowHelpScreen(0);
        Dead = true;
        break;
    case cExitButton:
        Ask(mqExit, dkYesNo, "TEXT_Title_EXITPROGRAM", "TEXT_Subtitle_ExitProgram");
        break;
    default:
        break;
    }
}

void TW_MenuMain::OnDialogButtonUp(TBasic*, int32_t index) {
    const uint8_t question = Question;
    Question = mqNone;
    switch (question) {
    case mqContinue:
        AnswerContinue(index);
        break;
    case mqDeleteProgress:
        if (index == 0) StartNewGame();
        break;
    case mqExit:
        if (index == 0) {
            QuitRequest = qrQuit;
            CloseConfirmed = true;
        }
        break;
    default:
        break;
    }
}

void TW_MenuMain::AnswerContinue(int32_t index) {
    if (index == 0)
        CloseAndStartPlaying();
    else if (index == 1)
        Ask(mqDeleteProgress, dkYesNo, "TEXT_Title_NEWGAME", "TEXT_Subtitle_DeleteAllProgress");
}

// The player keeps the name and the help topics already seen; level 0 makes StartPlaying begin the
// campaign with the introduction.
void TW_MenuMain::StartNewGame() {
    if (!HasCurrentPlayer()) return;
    ResetPlayer(GameDat.CurrentPlayer);
    SaveGameDat();
    CurrentPlayerRec().Level = 0;
    CloseAndStartPlaying();
}

void TW_MenuMain::CloseAndStartPlaying() {
    Dead = true;
    if (RootGroup) RootGroup->StartPlaying();
}

void TW_MenuMain::OnMouseButtonUp(TBasic* sender, int32_t) {
    if (sender == NameLabel) OpenPlayerList(false);
}

void TW_MenuMain::RefreshNameLabel() {
    if (!HasCurrentPlayer()) {
        if (NameLabel && NameLabel->Parent == this) Remove(NameLabel, false);
        return;
    }
    if (!NameLabel) Add(new TNameLabel());
    NameLabel->SetName(NameForDisplay(CurrentPlayerRec().Name.Get()));
}

TBasic* CreateMenuMain() {
    return new TW_MenuMain();
}

} // namespace velmora
