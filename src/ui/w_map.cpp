#include "ui/w_map.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "app/gamedat.h"
#include "app/input.h"
#include "app/log.h"
#include "app/options.h"
#include "app/sound.h"
#include "engine/group.h"
#include "render/blocks.h"
#include "render/itf.h"
#include "render/tex.h"
#include "render/texlabels.h"
#include "render/visual.h"
#include "ui/passage.h"
#include "ui/w_menumain.h"
#include "ui/wincontrols.h"

namespace velmora {

TW_MenuMap* MapWindow = nullptr;

namespace {

constexpr int32_t cScreenW = 800, cScreenH = 600;
constexpr int32_t cBorderThick = 69, cBorderSide = 13;
// The map picture lies so that its towns sit under their marks; the borders hide the overhang.
constexpr int32_t cMarkShiftX = 9, cMarkShiftY = 10;
constexpr int32_t cMarkSize = 32;
constexpr float cBlinkPeriod = 20.0f;
// The current town's click square relative to its mark point.
constexpr int32_t cClickLeft = -8, cClickTop = -9, cClickSize = 20;
constexpr int32_t cTitleX = 50, cSubtitleX = 750;
constexpr int32_t cButtonsTop = cScreenH - cBorderThick + 10;
constexpr int32_t cMenuButtonLeft = 30, cStartButtonLeft = cScreenW - 30 - cWideButtonWidth;

TTexRect256* Picture(TMaster& owner, const std::string& file, int32_t left, int32_t top) {
    auto* p = owner.Add(new TTexRect256(left, top, file, false, 256));
    p->Block1 = sbTexAlpha;
    return p;
}

std::string TwoDigits(int32_t n) {
    char text[16];
    std::snprintf(text, sizeof text, "%.2d", n);
    return text;
}

} // namespace

TW_MenuMap::TW_MenuMap() {
    MapWindow = this;
    ReadPlayerPlace();
    CreateContent();
    CreateTitles();
    CreateMarks();
    FadeInFromSnapshot(*this);
    if (SoundDepot) SoundDepot->PlayMusic(sndMusic_Map, 1, true);
}

TW_MenuMap::~TW_MenuMap() {
    if (MapWindow == this) MapWindow = nullptr;
}

// A level outside the table (a new player, a finished campaign, a damaged record) shows the first
// town of the first country rather than an empty map.
void TW_MenuMap::ReadPlayerPlace() {
    const int32_t level = CurrentPlayerRec().Level;
    int32_t country = 0, town = 0;
    LevelToCountry(level, country, town);
    if (country < 1 || town < 1) {
        Log("TW_MenuMap.Create: level " + std::to_string(level) + " is in no country; the first is shown");
        country = 1;
        town = 1;
    }
    Country = country;
    CurrentTown = town;
    TownCount = std::clamp(Countries.LevelCount[country], 0, cMaxLevelsPerCountry);
    if (CurrentTown > TownCount) TownCount = std::min(CurrentTown, cMaxLevelsPerCountry);
    for (int32_t i = 1; i <= TownCount; ++i) {
        MarkX[i] = Countries.TownCoords[country][i].X + cMapOffsetX;
        MarkY[i] = Countries.TownCoords[country][i].Y + cMapOffsetY;
    }
}

void TW_MenuMap::CreateContent() {
    const std::string folder = Countries.CountryNames[Country];
    MapPicture = Picture(*this, "\\Textures\\Maps\\" + folder + ".tga", cMapOffsetX + cMarkShiftX,
                         cMapOffsetY + cMarkShiftY);
    BorderUp = Picture(*this, "\\Textures\\Map_BorderUp.tga", 0, 0);
    BorderDown = Picture(*this, "\\Textures\\Map_BorderDown.tga", 0, cScreenH - cBorderThick);
    BorderLeft = Picture(*this, "\\Textures\\Map_BorderLeft.tga", 0, cBorderThick);
    BorderRight = Picture(*this, "\\Textures\\Map_BorderRight.tga", cScreenW - cBorderSide, cBorderThick);
    Panel = BorderUp;
    Buttons = Add(new TButtonMaster());
    Buttons->CreateButton(0, "TEXT_Start",
                          {cStartButtonLeft, cButtonsTop, cWideButtonWidth, cDefaultButtonHeight});
    Buttons->CreateButton(1, "TEXT_Menu",
                          {cMenuButtonLeft, cButtonsTop, cWideButtonWidth, cDefaultButtonHeight});
    Buttons->SetButtonActive(0);
}

void TW_MenuMap::CreateTitles() {
    auto label = [this](const std::string& key, TIndexedTextureFont* font, uint8_t align, int32_t px) {
        TTexLabelExParams p;
        p.Font = font ? font : DefaultButtonFont;
        p.Text = TextOf(key);
        p.HAlign = align;
        auto* l = Add(new TTexLabelEx(p));
        l->X = TableX(px) - HalfPixel;
        l->Y = TableY(cBorderThick / 2) - HalfPixel;
        l->Layout();
        return l;
    };
    TitleLabel = label("TEXT_MAP_CountryName_" + TwoDigits(Country), MenuTitle, 1, cTitleX);
    SubtitleLabel = label("TEXT_MAP_Subtitle_" + TwoDigits(Country), DefaultButtonFont, 2, cSubtitleX);
}

int32_t TW_MenuMap::MarkTexture(int32_t town) const {
    if (town < CurrentTown) return tiMapMarkDone;
    if (town > CurrentTown) return tiMapMarkVirgin;
    const int64_t phase = std::lround(GameTime / cBlinkPeriod);
    return phase % 2 == 0 ? tiMapMarkDone : tiMapMarkCurrent;
}

void TW_MenuMap::ShowMark(int32_t town, int32_t texId) {
    TTexRect* mark = Marks[town];
    if (!mark || mark->TexId == texId) return;
    mark->TexId = texId;
}

void TW_MenuMap::CreateMarks() {
    for (int32_t i = 1; i <= TownCount; ++i) {
        auto* mark = Add(new TTexRect());
        mark->Block1 = sbTexAlpha;
        const int32_t cx = MarkX[i] + cMarkShiftX, cy = MarkY[i] + cMarkShiftY;
        mark->SetRectLTRB(cx - cMarkSize / 2, cy - cMarkSize / 2, cx + cMarkSize / 2, cy + cMarkSize / 2);
        mark->SetUV(0, 0, 1, 1);
        mark->UploadVertices();
        Marks[i] = mark;
        mark->TexId = MarkTexture(i);
    }
}

bool TW_MenuMap::CanInteract() {
    return Buttons && !Buttons->Busy() && !PassageEffect && !Dialog;
}

bool TW_MenuMap::KeyDown(uint16_t key) {
    if (!CanInteract()) return false;
    if (Buttons->KeyDown(key)) return true;
    if (key != VK_ESCAPE) return false;
    Buttons->SetButtonPressed(1);
    return true;
}

bool TW_MenuMap::MouseOnCurrentTown() const {
    if (!Mouse || CurrentTown < 1 || CurrentTown > TownCount) return false;
    return Mouse->InArea(MarkX[CurrentTown] + cClickLeft, MarkY[CurrentTown] + cClickTop, cClickSize,
                         cClickSize);
}

void TW_MenuMap::MouseProc() {
    if (!CanInteract()) return;
    Buttons->MouseProc();
    if (Buttons->Busy() || !MouseOnCurrentTown()) return;
    if (VisMouse) VisMouse->RequestShape(Mouse->IsDown(0) ? 2 : 1);
    if (Mouse->ButtonChangedNow() && Mouse->Pressed(0)) Buttons->SetButtonPressed(0);
}

void TW_MenuMap::StepMe() {
    if (CurrentTown >= 1 && CurrentTown <= TownCount) ShowMark(CurrentTown, MarkTexture(CurrentTown));
}

void TW_MenuMap::OnButtonUp(TBasic*, int32_t index) {
    if (index == 0) {
        // The instructions come once per visit of the main menu, before the first level played.
        if (GameDat.ShowHelp != 0 && !HelpShownThisVisit) {
            if (RootGroup) RootGroup->ShowHelpScreen(1);
        } else if (RootGroup) {
            RootGroup->ShowGame();
        }
        Dead = true;
    } else if (index == 1) {
        Add(new TW_Dialog(&Dialog, dkYesNo, "TEXT_Title_EXITGAME", "TEXT_Subtitle_SaveAndExit"));
    }
}

void TW_MenuMap::OnDialogButtonUp(TBasic*, int32_t index) {
    if (index != 0) return;
    SaveGameDat();
    if (RootGroup) RootGroup->ShowMainMenu();
    Dead = true;
}

TBasic* CreateMenuMap() {
    return new TW_MenuMap();
}

} // namespace velmora
