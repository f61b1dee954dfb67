// The underwater scene behind the main menu: a background picture, fish swimming to and fro at
// several depths, rising bubbles, a patch of light wandering over the sand, bubbles following the
// mouse and two optional logos sliding up from the bottom edge. Seeded with CONST_MenuRandSeed, so
// the scene starts the same at every visit.
#pragma once

#include <cstdint>

#include "engine/basic.h"
#include "render/visual.h"

namespace velmora {

class TGamePartMaster;

enum TFishDir : uint8_t { fdRight = 0, fdLeft = 2 };

// One row of the fish table: pixel values may lie beyond the screen.
struct TFishParams {
    int32_t StartX, BaseHeight;
    float Depth;
    uint8_t Dir;
    int32_t Kind;
    float XMin, XMax, Speed;
};

constexpr int32_t cFishBehind = 14;
constexpr int32_t cFishInFront = 9;
constexpr int32_t cFishCount = cFishBehind + cFishInFront;
extern const TFishParams FishTable[cFishCount];

class TFish : public TTexRect {
  public:
    explicit TFish(const TFishParams& params);

    void Step() override;
    void Render() override;
    const char* ClassName() const override { return "TFish"; }

    // The picture of this frame: kind's sheet, frame from the age, mirrored when swimming left.
    void ShowFrame();
    int32_t CurrentFrame() const;

    float Phase = 0;
    float BaseY = 0;
    float Depth = 0;
    float Speed = 0;
    float WavePhase = 0;
    float XMin = 0, XMax = 0;
    int32_t Kind = 0;
    uint8_t Dir = fdRight;

  private:
    int32_t ShownPicture = -1; // kind, frame and direction of the uploaded picture
    void Swim();
    void Turn(uint8_t dir);
};

class TSandLight : public TMaster {
  public:
    TSandLight();
    ~TSandLight() override;

    void StepMe() override;
    const char* ClassName() const override { return "TSandLight"; }

    TTexRect* Light = nullptr;
    int32_t Frame = 0;
    int32_t FrameStep = 1;
    float FrameTime = 0;
};

class TMouseBubbles : public TMaster {
  public:
    TMouseBubbles();
    ~TMouseBubbles() override;

    void StepMe() override;
    const char* ClassName() const override { return "TMouseBubbles"; }

    TGamePartMaster* Bubbles = nullptr;
    // The window subtree the bubbles may follow the focus into (the menu the scene belongs to).
    TMaster* Home = nullptr;

  private:
    void FollowFocus();
};

enum TLogoSide : uint8_t { lsRight = 0, lsLeft = 2 };

class TLogotype : public TStater {
  public:
    TLogotype(uint8_t side, const std::string& fileName);
    const char* ClassName() const override { return "TLogotype"; }

    void PlaceAt(int32_t py); // the picture's centre at this pixel row

    uint8_t Side = lsRight;
    TTexRect256* Picture = nullptr;

  private:
    void OnRise(TStateEvent e);
    void OnStay(TStateEvent e);
    void OnSink(TStateEvent e);
};

class TMenuBack : public TMaster {
  public:
    TMenuBack();
    ~TMenuBack() override;

    void StepMe() override;
    const char* ClassName() const override { return "TMenuBack"; }

    TTexRect256* Back = nullptr;
    TTexRect256* Wheel = nullptr;
    TTexRect256* Tiger = nullptr;
    TGamePartMaster* Source1 = nullptr;
    TGamePartMaster* Source2 = nullptr;

  private:
    void AddFish(int32_t first, int32_t count);
    void AddLogo(const char* fileName, uint8_t side);
};

extern TMenuBack* MenuBack;
extern TSandLight* SandLight;
extern TMouseBubbles* MouseBubbles;

} // namespace velmora
