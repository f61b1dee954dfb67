#include "startup/w_logo.h"

#include <algorithm>
#include <cmath>

#include "app/log.h"
#include "app/options.h"
#include "app/sound.h"
#include "engine/group.h"
#include "render/blocks.h"
#include "render/tex.h"

namespace velmora {

namespace {

int32_t GuardPixel(int32_t value, int32_t limit, const char* name) {
    if (value >= 0 && value < limit) return value;
    const int32_t kept = std::clamp(value, 0, limit - 1);
    Log(std::string("TW_Logo.Create: ") + name + "=" + std::to_string(value) + " lies off the screen; " +
        std::to_string(kept) + " is used");
    return kept;
}

} // namespace

int32_t GlintPixelX(int32_t x) {
    return GuardPixel(x, ScreenWidth, "CONST_BlickX");
}

int32_t GlintPixelY(int32_t y) {
    return GuardPixel(y, ScreenHeight, "CONST_BlickY");
}

uint32_t WhiteWithAlpha(float a) {
    const auto alpha = static_cast<uint32_t>(std::lround(std::clamp(a, 0.0f, 1.0f) * 255));
    return (alpha << 24) | 0x00FFFFFFu;
}

TW_Logo::TW_Logo() {
    Background = Add(new TTexRect256(0, 0, Paths.Textures + "\\Logo\\Logo.tga", false, 128));
    Background->Block1 = sbTexture;
    FadeRect = Add(new TColorRect());
    FadeRect->SetRect(0, 0, ScreenWidth, ScreenHeight);
    FadeRect->Block1 = sbDiffuseAlpha;
    Glint = Add(new TTexRect());
    Glint->TexId = tiBlick;
    Glint->PlaceTexture(0, 0, true);
    Glint->FitTexture();
    Glint->Block1 = sbTexModAlpha;
    Glint->Block2 = sbLinearFilter;
    Glint->Rotated = true;
    Glint->X = PixelX[GlintPixelX(Options.CONST_BlickX)];
    Glint->Y = PixelY[GlintPixelY(Options.CONST_BlickY)];
    Glint->Visible = false;
    SetStateInfo(1, &TW_Logo::OnAppear, cLogoAppearPeriod);
    SetStateInfo(2, &TW_Logo::OnGlint, cLogoGlintPeriod);
    SetStateInfo(3, &TW_Logo::OnDisappear, cLogoFadePeriod);
    if (SoundDepot) SoundDepot->PlaySample(cLogoMusicSlot);
    SetState(1);
}

bool TW_Logo::KeyDown(uint16_t) {
    return false;
}

void TW_Logo::MouseProc() {}

void TW_Logo::SetFade(float alpha) {
    FadeRect->SetColor(WhiteWithAlpha(alpha));
    FadeRect->UploadVertices();
}

void TW_Logo::OnAppear(TStateEvent e) {
    switch (e) {
    case seStart:
        SetFade(1);
        Glint->Visible = false;
        break;
    case seRunning:
        SetFade(StateTime);
        break;
    case seFinish:
        FadeRect->Visible = false;
        SetState(2);
        break;
    }
}

void TW_Logo::OnGlint(TStateEvent e) {
    switch (e) {
    case seStart:
        Glint->Visible = true;
        Glint->SetColor(0);
        break;
    case seRunning:
        Glint->Angle = StateTime * Options.CONST_AngleCoeff;
        Glint->SetColor(WhiteWithAlpha(StateTime < 0.5f ? 2 * StateTime : 2 * (1 - StateTime)));
        break;
    case seFinish:
        SetState(3);
        Glint->Visible = false;
        break;
    }
}

void TW_Logo::OnDisappear(TStateEvent e) {
    switch (e) {
    case seStart:
        FadeRect->Visible = true;
        break;
    case seRunning:
        SetFade(1 - StateTime);
        break;
    case seFinish:
        Dead = true;
        if (RootGroup) RootGroup->ShowMainMenu();
        break;
    }
}

TBasic* CreateLogo() {
    return new TW_Logo();
}

} // namespace velmora
