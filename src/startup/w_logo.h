// The second window of every run: the logo appears out of white, a glint turns over it, and it
// fades back to white before the main menu opens. It takes no input.
#pragma once

#include <cstdint>

#include "render/visual.h"
#include "ui/w_menu.h"

namespace velmora {

constexpr float cLogoAppearPeriod = 120;
constexpr float cLogoGlintPeriod = 180;
constexpr float cLogoFadePeriod = 45;
constexpr int32_t cLogoMusicSlot = 36; // "Music_Game20"

class TW_Logo : public TW_Menu {
  public:
    TW_Logo();
    const char* ClassName() const override { return "TW_Logo"; }
    // No keys, no mouse: the sequence runs its fixed length.
    bool KeyDown(uint16_t key) override;
    void MouseProc() override;

    TTexRect256* Background = nullptr;
    TColorRect* FadeRect = nullptr;
    TTexRect* Glint = nullptr;

  private:
    void OnAppear(TStateEvent e);
    void OnGlint(TStateEvent e);
    void OnDisappear(TStateEvent e);
    void SetFade(float alpha);
};

// The screen pixel of the glint's centre, kept on the 800 x 600 layout (an off-screen value is
// reported and clamped to the nearest edge).
int32_t GlintPixelX(int32_t x);
int32_t GlintPixelY(int32_t y);
// White with the opacity a (0..1) in the alpha byte.
uint32_t WhiteWithAlpha(float a);

TBasic* CreateLogo();

} // namespace velmora
