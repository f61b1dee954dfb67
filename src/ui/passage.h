// The transition between windows, drawn over the new window from the snapshot "\!!!.tga" that the
// scene group took of the old one: 0 closing shake (then the game quits), 1 swing, 2 slide, 3 fade.
#pragma once

#include <cstdint>

#include "engine/basic.h"

namespace velmora {

class TTexRect256;

enum TPassageMode : uint8_t { pmCloseShake = 0, pmSwing = 1, pmSlide = 2, pmFade = 3 };

class TPassageEffectWindow : public TMaster {
  public:
    explicit TPassageEffectWindow(uint8_t mode);
    ~TPassageEffectWindow() override; // PassageEffect := nil; the snapshot file is deleted

    void StepMe() override;
    const char* ClassName() const override { return "TPassageEffectWindow"; }

    uint8_t Mode = 0;
    TTexRect256* Snapshot = nullptr;
    uint8_t Direction = 0;
    float Progress = 1.0f;
    float Speed = 0;
    float BaseX = 0, BaseY = 0; // the snapshot's placement at the start

  private:
    void StepShake();
    void StepSwing();
    void StepSlide();
    void StepFade();
    void RemoveSnapshot();
};

extern TPassageEffectWindow* PassageEffect;

// A window the scene group opens fades in from the snapshot of the one before, when one was taken.
void FadeInFromSnapshot(TMaster& window);

} // namespace velmora
