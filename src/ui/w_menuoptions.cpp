#include "ui/w_menuoptions.h"

#include <algorithm>

#include "app/d3dapp.h"
#include "app/gamedat.h"
#include "app/options.h"
#include "app/sound.h"
#include "engine/group.h"
#include "render/itf.h"
#include "render/texlabels.h"
#include "ui/keyrows.h"
#include "ui/menuback.h"
#include "ui/passage.h"
#include "ui/wincontrols.h"

namespace velmora {

namespace {

// Layout inside the 480 x 460 panel, in pixels from its top-left corner.
constexpr int32_t cTitleInside = 52; // the title's top this far below the panel's top (with the lift)
constexpr int32_t cBarLeft = 60, cBarWidth = 360, cBarHeight = 24;
constexpr int32_t cMusicBarTop = 100, cSoundBarTop = 165;
constexpr int32_t cBoxLeft = 60, cFirstBoxTop = 205, cBoxStep = 36;
constexpr int32_t cLanguageTop = 313, cLanguageStep = 130, cLanguageNoteY = 358;
constexpr int32_t cButtonsTop = 390, cButtonGap = 24;

// The language a run of the game would take next: the stored choice, else this run's.
std::string NextRunLanguage() {
    if (LanguageIndexOf(Options.Language) >= 0) return Options.Language;
    return Languages[Lang != nullptr ? Lang->LangIndex : 0].Code;
}

} // namespace

TW_MenuOptions::TW_MenuOptions(bool ownWindow) : OwnWindow(ownWindow) {
    OpenMusicVolume = GameDat.MusicVolume;
    OpenSoundVolume = GameDat.SoundVolume;
    OpenFullScreen = GameDat.FullScreen != 0;
    OpenShowHelp = GameDat.ShowHelp != 0;
    OpenDragNDrop = GameDat.DragNDrop != 0;
    // Nothing is under a window of its own: it brings the scene the main menu would have shown.
    if (OwnWindow) Add(new TMenuBack());
    CreatePanel("\\Textures\\Options_Panel.tga", 19);
    SetTitles("TEXT_Title_OPTIONS", "", -cTitleInside, 0);
    CreateContent();
    AfterContent();
    if (!OwnWindow) return;
    FadeInFromSnapshot(*this);
    if (SoundDepot) SoundDepot->PlayMusic(sndMusic_Menu, 1, true);
}

void TW_MenuOptions::CreateContent() {
    const int32_t left = PanelLeftPx(), top = PanelTopPx();
    MusicBar = Add(
        new TTrackBar("TEXT_TrackBar_Music", {left + cBarLeft, top + cMusicBarTop, cBarWidth, cBarHeight}));
    SoundBar = Add(
        new TTrackBar("TEXT_TrackBar_Sound", {left + cBarLeft, top + cSoundBarTop, cBarWidth, cBarHeight}));
    MusicBar->SetValue(OpenMusicVolume);
    SoundBar->SetValue(OpenSoundVolume);
    auto box = [&](const char* caption, int32_t row, bool checked) {
        return Add(new TCheckBox(caption, left + cBoxLeft, top + cFirstBoxTop + row * cBoxStep, checked));
    };
    FullScreenBox = box("TEXT_CheckBox_Fullscren", 0, OpenFullScreen);
    ShowHelpBox = box("TEXT_CheckBox_ShowHelp", 1, OpenShowHelp);
    DragNDropBox = box("TEXT_CheckBox_DragNDrop", 2, OpenDragNDrop);
    CreateLanguageChoice();
    // Bound after the opening values are shown, so that opening changes nothing.
    MusicBar->OnChange = [this](TTrackBar* b) { OnMusicChange(b); };
    SoundBar->OnChange = [this](TTrackBar* b) { OnSoundChange(b); };
    FullScreenBox->OnChange = [this](TCheckBox* b) { OnFullScreenChange(b); };
    ShowHelpBox->OnChange = [this](TCheckBox* b) { OnShowHelpChange(b); };
    DragNDropBox->OnChange = [this](TCheckBox* b) { OnDragNDropChange(b); };

    Buttons = Add(new TButtonMaster());
    const int32_t total = 2 * cWideButtonWidth + cButtonGap;
    const int32_t bx = left + (PanelWidthPx() - total) / 2;
    Buttons->CreateButton(0, "TEXT_Ok", {bx, top + cButtonsTop, cWideButtonWidth, cDefaultButtonHeight});
    Buttons->CreateButton(
        1, "TEXT_Cancel",
        {bx + cWideButtonWidth + cButtonGap, top + cButtonsTop, cWideButtonWidth, cDefaultButtonHeight});
    KeyRows = Add(new TKeyRows(Buttons));
    KeyRows->AddRow(MusicBar);
    KeyRows->AddRow(SoundBar);
    for (TCheckBox* b : {FullScreenBox, ShowHelpBox, DragNDropBox})
        KeyRows->AddRow(b);
    for (TCheckBox* b : LanguageBoxes) // Enter or Space on a language's row chooses it
        KeyRows->AddRow(b);
}

bool TW_MenuOptions::CanInteract() {
    return Buttons && !Buttons->Busy() && !(OwnWindow && PassageEffect);
}

bool TW_MenuOptions::KeyDown(uint16_t key) {
    if (!CanInteract()) return false;
    if (key == VK_ESCAPE) {
        Buttons->SetButtonPressed(1);
        return true;
    }
    if (KeyRows && KeyRows->KeyDown(key)) return true;
    return Buttons->KeyDown(key);
}

void TW_MenuOptions::MouseProc() {
    if (!CanInteract()) return;
    Buttons->MouseProc();
    MusicBar->MouseProc();
    SoundBar->MouseProc();
    FullScreenBox->MouseProc();
    ShowHelpBox->MouseProc();
    DragNDropBox->MouseProc();
    for (TCheckBox* b : LanguageBoxes)
        b->MouseProc();
}

void TW_MenuOptions::OnButtonUp(TBasic*, int32_t index) {
    if (index == 0)
        Accept();
    else
        Cancel();
    Dead = true;
    if (OwnWindow && RootGroup) RootGroup->ShowMainMenu();
}

void TW_MenuOptions::Accept() {
    // Only a choice the player made is stored: otherwise the desktop's language keeps deciding.
    if (ChosenLanguage != OpenLanguage) StoreLanguageChoice(ChosenLanguage);
    if (GameDat.PlayerCount < 1) return;
    TPlayerRec& player = CurrentPlayerRec();
    player.PlayerShowHelp = GameDat.ShowHelp;
    player.PlayerDragNDrop = GameDat.DragNDrop;
}

void TW_MenuOptions::Cancel() {
    if (MusicBar->Value != OpenMusicVolume) MusicBar->SetValue(OpenMusicVolume);
    if (SoundBar->Value != OpenSoundVolume) SoundBar->SetValue(OpenSoundVolume);
    FullScreenBox->SetChecked(OpenFullScreen);
    ShowHelpBox->SetChecked(OpenShowHelp);
    DragNDropBox->SetChecked(OpenDragNDrop);
    LanguageBoxes[std::max(0, LanguageIndexOf(OpenLanguage))]->SetChecked(true);
}

void TW_MenuOptions::CreateLanguageChoice() {
    const int32_t left = PanelLeftPx(), top = PanelTopPx();
    OpenLanguage = ChosenLanguage = NextRunLanguage();
    // One small font holds the letters of all three names; without it each name is written as the
    // running fonts can show it ("Russkiy").
    LanguageNamesFont = Add(new TIndexedTextureFont(Paths.Fonts + "\\LanguageNames.itf"));
    const bool ownLetters = !LanguageNamesFont->Chars.empty();
    for (int32_t i = 0; i < cLanguageCount; ++i) {
        const std::string name = ownLetters ? std::string(Languages[i].NativeName)
                                            : NameForCodePage(Languages[i].NativeName, RunningCodePage());
        LanguageBoxes[i] =
            Add(new TCheckBox(name, left + cBoxLeft + i * cLanguageStep, top + cLanguageTop,
                              ChosenLanguage == Languages[i].Code, ownLetters ? LanguageNamesFont : nullptr));
        LanguageBoxes[i]->OnChange = [this, i](TCheckBox* b) { OnLanguageChange(i, b); };
    }
    TTexLabelExParams p;
    p.Font = DefaultButtonFont;
    p.Text = TextOf("TEXT_Options_LanguageNextStart");
    LanguageNote = Add(new TTexLabelEx(p));
    LanguageNote->X = TableX(left + PanelWidthPx() / 2) - HalfPixel;
    LanguageNote->Y = TableY(top + cLanguageNoteY) - HalfPixel;
    LanguageNote->Layout();
}

// The boxes act as one choice: checking one clears the others, and the checked one stays checked.
void TW_MenuOptions::OnLanguageChange(int32_t index, TCheckBox* box) {
    const std::string code = Languages[index].Code;
    if (!box->Checked) {
        if (code == ChosenLanguage) box->SetChecked(true);
        return;
    }
    ChosenLanguage = code;
    for (int32_t i = 0; i < cLanguageCount; ++i)
        if (i != index) LanguageBoxes[i]->SetChecked(false);
}

void TW_MenuOptions::OnMusicChange(TTrackBar* bar) {
    GameDat.MusicVolume = bar->Value;
    if (SoundDepot) SoundDepot->UpdateMusicVolume();
}

void TW_MenuOptions::OnSoundChange(TTrackBar* bar) {
    GameDat.SoundVolume = bar->Value;
    if (SoundDepot && !SoundDepot->IsPlaying(sndTrackBarMove)) SoundDepot->PlaySample(sndTrackBarMove);
}

void TW_MenuOptions::OnFullScreenChange(TCheckBox* box) {
    GameDat.FullScreen = box->Checked ? 1 : 0;
    QuitRequest = qrToggleFullscreen;
}

void TW_MenuOptions::OnShowHelpChange(TCheckBox* box) {
    GameDat.ShowHelp = box->Checked ? 1 : 0;
}

void TW_MenuOptions::OnDragNDropChange(TCheckBox* box) {
    GameDat.DragNDrop = box->Checked ? 1 : 0;
}

TBasic* CreateMenuOptions() {
    return new TW_MenuOptions();
}

TBasic* CreateMenuOptionsWindow() {
    return new TW_MenuOptions(true);
}

} // namespace velmora
