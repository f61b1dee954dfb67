#include "ui/w_help.h"

#include <algorithm>
#include <cmath>

#include "app/gamedat.h"
#include "app/options.h"
#include "engine/group.h"
#include "render/blocks.h"
#include "render/itf.h"
#include "render/partmaster.h"
#include "render/particles.h"
#include "render/tex.h"
#include "render/texlabels.h"
#include "render/visual.h"
#include "ui/keyrows.h"
#include "ui/passage.h"
#include "ui/wincontrols.h"

namespace velmora {

TW_Help* HelpWindow = nullptr;
bool HelpShownThisVisit = false;
THelpWin1* HelpWin1 = nullptr;
THelpWin2* HelpWin2 = nullptr;
THelpWin3* HelpWin3 = nullptr;
THelpWin4* HelpWin4 = nullptr;

namespace {

constexpr int32_t cPaneLeft[4] = {60, 430, 60, 430};
constexpr int32_t cPaneTop[4] = {105, 105, 315, 315};
constexpr int32_t cTextBelow = 128; // the pane's text starts this far below its top
constexpr int32_t cButtonTop = 540;
constexpr int32_t cButtonRight = 40;

// Red, blue, green, gold, violet.
constexpr uint32_t ChipColours[5] = {0xFFD03030u, 0xFF3060D0u, 0xFF30A040u, 0xFFE0B020u, 0xFF9040C0u};

uint32_t WhiteWithAlpha(float a) {
    return static_cast<uint32_t>(std::lround(std::clamp(a, 0.0f, 1.0f) * 255)) << 24 | 0x00FFFFFFu;
}

float Smooth(float f) {
    f = std::clamp(f, 0.0f, 1.0f);
    return f * f * (3 - 2 * f);
}

// The colours of pane 1's board: swapping (2,2) and (3,2) lines up three 1s in row 2.
constexpr int32_t cBoard1[3][5] = {{2, 3, 4, 2, 5}, {1, 4, 1, 1, 3}, {3, 2, 4, 5, 2}};
// Pane 2: the three 2s of column 1 go; the 3s above drop onto the 3s at the bottom.
constexpr int32_t cBoard2[4][4] = {{3, 4, 5, 1}, {2, 1, 4, 5}, {2, 3, 3, 1}, {2, 5, 1, 4}};

} // namespace

// ---- the common pane ----

TCustomHelpWin::TCustomHelpWin(int32_t left, int32_t top, const std::string& textKey) : Left(left), Top(top) {
    TTexLabelExParams p;
    p.Font = History ? History : DefaultButtonFont;
    p.HAlign = 1;
    p.VAlign = 2;
    p.LineSpacing = -4;
    p.Text = TextOf(textKey);
    Text = Add(new TTexLabelEx(p));
    Text->X = TableX(left) - HalfPixel;
    Text->Y = TableY(top + cTextBelow) - HalfPixel;
    Text->Layout();
}

// Chips of the panes are plain coloured tiles: the chip pictures belong to the level's texture set,
// which is not loaded while a menu window is shown.
THelpChip* TCustomHelpWin::MakeChip(int32_t colour, int32_t px, int32_t py) {
    auto* chip = Add(new THelpChip());
    chip->Block1 = sbDiffuseAlpha;
    chip->Rgb = ChipColours[std::clamp(colour, 1, 5) - 1] & 0x00FFFFFFu;
    PlaceChip(chip, static_cast<float>(px), static_cast<float>(py));
    SetChipAlpha(chip, 1);
    return chip;
}

void TCustomHelpWin::SetChipAlpha(THelpChip* chip, float alpha) {
    chip->SetColor((WhiteWithAlpha(alpha) & 0xFF000000u) | chip->Rgb);
    chip->UploadVertices(); // colour rectangles keep their vertices in memory until told
}

void TCustomHelpWin::PlaceChip(THelpChip* chip, float px, float py) {
    chip->SetRect(static_cast<int32_t>(std::lround(px)) + 1, static_cast<int32_t>(std::lround(py)) + 1,
                  cHelpChip - 2, cHelpChip - 2);
    chip->UploadVertices();
}

void TCustomHelpWin::Burst(const std::string& effect, int32_t px, int32_t py) {
    if (HelpWindow && HelpWindow->Particles) HelpWindow->Particles->BurstAtPixel(effect, px, py);
}

// ---- pane 1: swap ----

THelpWin1::THelpWin1(int32_t left, int32_t top) : TCustomHelpWin(left, top, "TEXT_Help_Win1") {
    HelpWin1 = this;
    for (int32_t x = 0; x < 5; ++x)
        for (int32_t y = 0; y < 3; ++y)
            Chips[x][y] = MakeChip(cBoard1[y][x], left + 40 + x * cHelpChip, top + 20 + y * cHelpChip);
    Pointer = Add(new TColorRect());
    Pointer->Block1 = sbDiffuseAlpha;
    Pointer->SetColor(0xF0FFFFFFu);
    // From the pane's corner to chip (2,2), across to (3,2), and away to rest.
    const float pts[cPointerPoints][2] = {{0, 110},  {30, 80},  {60, 48},  {78, 40},
                                          {102, 40}, {140, 70}, {190, 100}};
    Path.SetPointCount(cPointerPoints);
    Path.Steps = cPointerSteps;
    for (int32_t i = 0; i < cPointerPoints; ++i)
        Path.SetPoint(i + 1, left + pts[i][0], top + pts[i][1]);
    Path.Build();
    SetStateInfo(1, &THelpWin1::OnLoop, 100);
    SetState(1);
}

void THelpWin1::Reset() {
    for (int32_t x = 0; x < 5; ++x)
        for (int32_t y = 0; y < 3; ++y) {
            SetChipAlpha(Chips[x][y], 1);
            PlaceChip(Chips[x][y], Left + 40.0f + x * cHelpChip, Top + 20.0f + y * cHelpChip);
        }
    Burst1 = false;
}

void THelpWin1::OnLoop(TStateEvent e) {
    if (e == seStart) Reset();
    if (e == seFinish) {
        SetState(1);
        return;
    }
    if (e != seRunning) return;
    const float f = 1 - StateTime; // 0 -> 1 over the loop
    float px = 0, py = 0;
    Path.GetPosition(std::min(f / 0.6f, 1.0f), px, py);
    const auto l = static_cast<int32_t>(std::lround(px)), t = static_cast<int32_t>(std::lround(py));
    Pointer->SetRect(l, t, 8, 8);
    Pointer->SetColor(0xF0FFFFFFu);
    Pointer->UploadVertices();
    // The swap while the pointer crosses from one chip to the other.
    const float s = Smooth((f - 0.3f) / 0.15f);
    const float y1 = Top + 20.0f + cHelpChip;
    PlaceChip(Chips[1][1], Left + 40.0f + (1 + s) * cHelpChip, y1);
    PlaceChip(Chips[2][1], Left + 40.0f + (2 - s) * cHelpChip, y1);
    if (f >= 0.5f && !Burst1) {
        Burst1 = true;
        Burst("@LittleExplosion_In.prt", Left + 40 + 3 * cHelpChip, static_cast<int32_t>(y1) + cHelpChip / 2);
    }
    // The line of three fades; then everything stands as it was for the next loop.
    const float fade = f >= 0.5f ? 1 - Smooth((f - 0.5f) / 0.15f) : 1;
    for (THelpChip* chip : {Chips[1][1], Chips[2][1], Chips[3][1]})
        SetChipAlpha(chip, fade);
}

// ---- pane 2: cascade ----

THelpWin2::THelpWin2(int32_t left, int32_t top) : TCustomHelpWin(left, top, "TEXT_Help_Win2") {
    HelpWin2 = this;
    for (int32_t x = 0; x < 4; ++x)
        for (int32_t y = 0; y < 4; ++y)
            Chips[x][y] = MakeChip(cBoard2[y][x], left + 60 + x * cHelpChip, top + 10 + y * cHelpChip);
    SetStateInfo(1, &THelpWin2::OnLoop, 150);
    SetState(1);
}

void THelpWin2::OnLoop(TStateEvent e) {
    if (e == seStart) {
        Stage = 0;
        for (int32_t x = 0; x < 4; ++x)
            for (int32_t y = 0; y < 4; ++y) {
                SetChipAlpha(Chips[x][y], 1);
                PlaceChip(Chips[x][y], Left + 60.0f + x * cHelpChip, Top + 10.0f + y * cHelpChip);
            }
    }
    if (e == seFinish) {
        SetState(1);
        return;
    }
    if (e != seRunning) return;
    const float f = 1 - StateTime;
    // Stage 1: the column of 2s goes; the 3 above it drops three cells onto the row of 3s.
    if (Stage == 0 && f >= 0.2f) {
        Stage = 1;
        Burst("@LittleExplosion_In.prt", Left + 60 + cHelpChip / 2, Top + 10 + 2 * cHelpChip);
    }
    if (Stage >= 1) {
        const float gone = Smooth((f - 0.2f) / 0.1f);
        for (int32_t y = 1; y < 4; ++y)
            SetChipAlpha(Chips[0][y], 1 - gone);
        const float drop = Smooth((f - 0.3f) / 0.15f) * 3 * cHelpChip;
        PlaceChip(Chips[0][0], Left + 60.0f, Top + 10.0f + drop);
    }
    // Stage 2: the cascade: three 3s on the bottom row... the second line scores more.
    if (Stage == 1 && f >= 0.5f) {
        Stage = 2;
        Burst("@LittleExplosion_In.prt", Left + 60 + cHelpChip * 3 / 2, Top + 10 + 3 * cHelpChip);
    }
    if (Stage == 2) {
        const float gone = Smooth((f - 0.5f) / 0.1f);
        for (THelpChip* chip : {Chips[0][0], Chips[1][2], Chips[2][2]})
            SetChipAlpha(chip, 1 - gone);
    }
}

// ---- pane 3: slices to the bottom ----

THelpWin3::THelpWin3(int32_t left, int32_t top) : TCustomHelpWin(left, top, "TEXT_Help_Win3") {
    HelpWin3 = this;
    Vase = Add(new TTexRect256(left + 170, top, "\\Textures\\Help\\Vase.tga", false, 128));
    Vase->Block1 = sbTexAlpha;
    Slice = Add(new TTexRect256(left + 40, top, "\\Textures\\Help\\Slice.tga", false, 64));
    Slice->Block1 = sbTexModAlpha;
    SetStateInfo(1, &THelpWin3::OnLoop, 180);
    SetState(1);
}

void THelpWin3::OnLoop(TStateEvent e) {
    if (e == seStart) {
        Landed = false;
        Slice->SetColor(0xFFFFFFFF);
    }
    if (e == seFinish) {
        if (Trail) Trail = nullptr;
        SetState(1);
        return;
    }
    if (e != seRunning) return;
    const float f = 1 - StateTime;
    // Down the board, then across into the vase.
    float x = Left + 40.0f, y = Top + 0.0f;
    if (f < 0.4f) {
        y += Smooth(f / 0.4f) * 80;
    } else {
        y += 80;
        if (!Landed) {
            Landed = true;
            Burst("@LittleExplosion_In.prt", Left + 64, Top + 104);
            Burst("@Fire.prt", Left + 64, Top + 104);
        }
        const float g = Smooth((f - 0.4f) / 0.35f);
        x += g * 150;
        y -= g * 50;
        Slice->SetColor(WhiteWithAlpha(f > 0.85f ? 1 - (f - 0.85f) / 0.15f : 1));
    }
    Slice->PixelLeft = static_cast<int32_t>(std::lround(x));
    Slice->PixelTop = static_cast<int32_t>(std::lround(y));
    Slice->X = TableX(Slice->PixelLeft) + Slice->HalfWidth;
    Slice->Y = TableY(Slice->PixelTop) - Slice->HalfHeight;
}

// ---- pane 4: bonuses ----

THelpWin4::THelpWin4(int32_t left, int32_t top) : TCustomHelpWin(left, top, "TEXT_Help_Win4") {
    HelpWin4 = this;
    Bonuses = Add(new TTexRect256(left + 40, top + 30, "\\Textures\\Help\\Bonuses.tga", false, 64));
    Bonuses->Block1 = sbTexModAlpha;
    SetStateInfo(1, &THelpWin4::OnLoop, 240);
    SetState(1);
}

void THelpWin4::OnLoop(TStateEvent e) {
    if (e == seFinish) {
        SetState(1);
        return;
    }
    if (e == seRunning)
        Bonuses->SetColor(WhiteWithAlpha(0.75f + 0.25f * std::sin((1 - StateTime) * 6.2832f * 2)));
}

// ---- the window ----

TW_Help::TW_Help(bool beforeLevel) : BeforeLevel(beforeLevel) {
    HelpShownThisVisit = true;
    HelpWindow = this;
    CreatePanel("\\Textures\\Help_Panel.tga", sbTexture);
    SetTitles("TEXT_Title_Instructions", "", -30, 0);
    Buttons = Add(new TButtonMaster());
    Buttons->CreateButton(
        0, beforeLevel ? "TEXT_Start" : "TEXT_Ok",
        {ScreenWidth - cButtonRight - cWideButtonWidth, cButtonTop, cWideButtonWidth, cDefaultButtonHeight});
    Buttons->SetButtonActive(0);
    const bool sized = PanelWidthPx() > 0;
    const int32_t left = sized ? PanelLeftPx() : 0, top = sized ? PanelTopPx() : 0;
    if (beforeLevel) {
        DontShow = Add(new TCheckBox("TEXT_CheckBox_DoNotShowThisMessageAgain", left + 29, top + 557, false));
        KeyRows = Add(new TKeyRows(Buttons));
        KeyRows->AddRow(DontShow);
    } else {
        Frame = Add(new TTexRect256(left + 272, top + 530, "\\Textures\\Help\\Rect2.tga", false, 128));
        Frame->Block1 = sbTexture;
    }
    Particles = Add(new TGamePartMaster());
    Add(new THelpWin1(cPaneLeft[0], cPaneTop[0]));
    Add(new THelpWin2(cPaneLeft[1], cPaneTop[1]));
    Add(new THelpWin3(cPaneLeft[2], cPaneTop[2]));
    Add(new THelpWin4(cPaneLeft[3], cPaneTop[3]));
    BringToFront(Particles);
    FadeInFromSnapshot(*this);
}

TW_Help::~TW_Help() {
    if (HelpWindow == this) HelpWindow = nullptr;
    HelpWin1 = nullptr;
    HelpWin2 = nullptr;
    HelpWin3 = nullptr;
    HelpWin4 = nullptr;
}

bool TW_Help::CanInteract() {
    return Buttons && !Buttons->Busy() && !PassageEffect;
}

bool TW_Help::KeyDown(uint16_t key) {
    if (Dead || !CanInteract()) return false;
    if (key == VK_ESCAPE) {
        Buttons->SetButtonPressed(0);
        return true;
    }
    return (KeyRows && KeyRows->KeyDown(key)) || Buttons->KeyDown(key);
}

void TW_Help::MouseProc() {
    if (Dead || !CanInteract()) return;
    if (DontShow) DontShow->MouseProc();
    Buttons->MouseProc();
}

void TW_Help::OnButtonUp(TBasic*, int32_t index) {
    if (index != 0 || Dead) return;
    if (BeforeLevel) {
        GameDat.ShowHelp = DontShow && DontShow->Checked ? 0 : 1;
        if (RootGroup) RootGroup->ShowGame();
    } else if (RootGroup) {
        RootGroup->ShowMainMenu();
    }
    Dead = true;
}

TBasic* CreateHelp() {
    return new TW_Help(HelpScreenParam != 0);
}

} // namespace velmora
