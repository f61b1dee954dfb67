#include "ui/passage.h"

#include <algorithm>
#include <cmath>

#include "app/d3dapp.h"
#include "app/options.h"
#include "engine/group.h"
#include "engine/random.h"
#include "platform/files.h"
#include "render/blocks.h"
#include "render/visual.h"

namespace velmora {

TPassageEffectWindow* PassageEffect = nullptr;

namespace {

constexpr float cSlideWidth = 2.67f; // world units: the screen's width and a little more
constexpr float cSlideHeight = 2.0f;
constexpr uint8_t cLongFadeScene = 13;

} // namespace

TPassageEffectWindow::TPassageEffectWindow(uint8_t mode) : Mode(mode) {
    PassageEffect = this;
    Progress = 1.0f;
    if (Mode > pmFade) Mode = pmFade;
    switch (Mode) {
    case pmCloseShake:
        Speed = 1.0f / 60.0f;
        return;
    case pmSwing:
        Speed = 1.0f / 60.0f;
        break;
    case pmSlide:
        Speed = 0.02f;
        Direction = static_cast<uint8_t>(RandomInt(4));
        break;
    default:
        Speed = 1.0f / 30.0f;
        if (HistoryScene == cLongFadeScene) {
            Speed = 1.0f / 300.0f;
            HistoryScene = 0;
        }
        break;
    }
    Snapshot = Add(new TTexRect256(0, 0, ScreenCaptureFile(), true, 256));
    // The capture has the window's size: it is stretched over the 800 x 600 layout.
    if (Snapshot->ImageWidth > 0 && Snapshot->ImageHeight > 0 &&
        (Snapshot->ImageWidth != ScreenWidth || Snapshot->ImageHeight != ScreenHeight)) {
        Snapshot->Scaled = true;
        Snapshot->ScaleX = static_cast<float>(ScreenWidth) / Snapshot->ImageWidth;
        Snapshot->ScaleY = static_cast<float>(ScreenHeight) / Snapshot->ImageHeight;
    }
    if (Mode == pmFade) {
        Snapshot->Block1 = sbTexDiffuseAlpha;
        Snapshot->SetColor(0xFFFFFFFF);
    } else {
        Snapshot->Block1 = sbTexture;
        Snapshot->X -= PixelSize;
    }
    BaseX = Snapshot->X;
    BaseY = Snapshot->Y;
}

TPassageEffectWindow::~TPassageEffectWindow() {
    if (PassageEffect == this) PassageEffect = nullptr;
    const std::string file = ScreenCaptureFile();
    if (FileExists(file)) DeleteFile(file);
}

void TPassageEffectWindow::StepMe() {
    Progress = std::max(Progress - Speed * Delta, 0.0f);
    switch (Mode) {
    case pmCloseShake:
        StepShake();
        break;
    case pmSwing:
        StepSwing();
        break;
    case pmSlide:
        StepSlide();
        break;
    default:
        StepFade();
        break;
    }
}

void TPassageEffectWindow::StepShake() {
    if (!RootGroup) return;
    if (Progress > 0) {
        RootGroup->CameraShake = true;
        RootGroup->ShakeAmplitude = 1.0f - Progress;
        return;
    }
    RootGroup->CameraShake = false;
    QuitRequest = qrQuit;
    Dead = true;
}

void TPassageEffectWindow::StepSwing() {
    if (Progress <= 0) {
        if (RootGroup) RootGroup->CameraFree = false;
        Dead = true;
        return;
    }
    const float p = Progress;
    float a;
    if (p >= 0.5f) {
        a = 1.0f - (p - 0.5f) / 0.5f;
    } else {
        RemoveSnapshot();
        a = -(p / 0.5f);
    }
    if (!RootGroup) return;
    RootGroup->CameraFree = true;
    RootGroup->CameraEye = {-std::sqrt(std::max(0.0f, 1.0f - a * a)), 0.0f, 2.5f * a};
}

void TPassageEffectWindow::StepSlide() {
    if (Snapshot) {
        const float q = 1.0f - Progress;
        const float x0 = BaseX, y0 = BaseY;
        switch (Direction) {
        case 0:
            Snapshot->X = x0 + cSlideWidth * q;
            break;
        case 1:
            Snapshot->Y = y0 + cSlideHeight * q;
            break;
        case 2:
            Snapshot->X = x0 - cSlideWidth * q;
            break;
        default:
            Snapshot->Y = y0 - cSlideHeight * q;
            break;
        }
    }
    if (Progress <= 0) Dead = true;
}

void TPassageEffectWindow::StepFade() {
    if (Snapshot) {
        const auto alpha = static_cast<uint32_t>(std::lround(Progress * 255.0f));
        Snapshot->SetColor((alpha << 24) | 0x00FFFFFFu);
    }
    if (Progress <= 0) Dead = true;
}

void TPassageEffectWindow::RemoveSnapshot() {
    if (!Snapshot) return;
    Remove(Snapshot, false);
    Snapshot = nullptr;
}

void FadeInFromSnapshot(TMaster& window) {
    if (FileExists(ResolvePath(ScreenCaptureFile()))) window.Add(new TPassageEffectWindow(pmFade));
}

} // namespace velmora
