#include "ui/menuback.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "app/input.h"
#include "app/options.h"
#include "engine/random.h"
#include "platform/files.h"
#include "render/blocks.h"
#include "render/partmaster.h"
#include "render/tex.h"

namespace velmora {

TMenuBack* MenuBack = nullptr;
TSandLight* SandLight = nullptr;
TMouseBubbles* MouseBubbles = nullptr;

// Start x and base height in pixels, depth, direction, kind, x range (world), speed (world per Delta).
const TFishParams FishTable[cFishCount] = {
    {1500, -75, 2.4f, fdLeft, 0, -1, 4.93f, 0.004921f},
    {1500, -75, 2.4f, fdRight, 2, -1, 4.93f, 0.004921f},
    {1500, -100, 2.3f, fdRight, 2, -1, 4.93f, 0.003857f},
    {1500, -100, 2.3f, fdLeft, 1, -1, 4.93f, 0.003857f},
    {1500, -100, 2.3f, fdLeft, 2, -1, 4.93f, 0.003857f},
    {1500, -50, 2.2f, fdLeft, 0, -1, 4.93f, 0.004522f},
    {1500, 100, 2.1f, fdLeft, 3, -1, 4.99f, 0.0043f},
    {1500, 100, 2.1f, fdRight, 2, -1, 4.99f, 0.005719f},
    {1500, -200, 2.0f, fdRight, 4, -1, 4.99f, 0.005453f},
    {1500, -200, 2.0f, fdRight, 5, -1, 4.93f, 0.003075f},
    {200, 400, 1.3f, fdLeft, 1, -3.84f, 3.65f, 0.001f},
    {520, 500, 1.3f, fdLeft, 1, -3.84f, 3.65f, 0.001f},
    {300, 550, 0.7f, fdRight, 0, -3.1f, 2.85f, 0.002f},
    {200, 500, 0.5f, fdRight, 1, -2.9f, 2.7f, 0.003f},
    {600, 400, 0.3f, fdRight, 4, -3.1f, 2.2f, 0.0015f},
    {200, 500, 0.1f, fdLeft, 1, -3.1f, 2.2f, 0.0015f},
    {400, 200, 0.1f, fdRight, 3, -2.5f, 2.5f, 0.00375f},
    {750, 300, 0.1f, fdLeft, 2, -2.5f, 2.5f, 0.003f},
    {50, 50, 0.1f, fdRight, 5, -2.5f, 2.5f, 0.00405f},
    {450, 450, 0.0f, fdRight, 1, -3.1f, 2.2f, 0.0015f},
    {250, 250, 0.0f, fdLeft, 3, -2.5f, 2.5f, 0.00375f},
    {150, 150, 0.0f, fdRight, 2, -2.5f, 2.5f, 0.003f},
    {350, 350, 0.0f, fdLeft, 5, -2.5f, 2.5f, 0.00405f},
};

namespace {

constexpr int32_t cFishWidth = 37, cFishHeight = 14; // scaled pixels, before the 1.25 scale
constexpr float cFishScale = 1.25f;
constexpr int32_t cFishFrames = 16;
constexpr float cFishWave = 20.0f; // scaled pixels of vertical swing
const int32_t cShallowKinds[4] = {0, 4, 5, 2};

constexpr uint32_t cPlainSea = 0xFF06203A;
constexpr int32_t cSandLightSize = 64;
constexpr float cSandLightFramePeriod = 15.0f;

constexpr int32_t cLogoLeftX = 64, cLogoRightX = 735;
constexpr int32_t cLogoLowY = 670, cLogoHighY = 535;

// Pictures lying on the sand (their left-top pixel; placement is ours).
constexpr int32_t cTigerLeft = 223, cTigerTop = 340;
constexpr int32_t cWheelLeft = 470, cWheelTop = 6;

uint32_t Argb(float a, float r, float g, float b) {
    auto byte = [](float v) { return static_cast<uint32_t>(std::lround(std::clamp(v, 0.0f, 1.0f) * 255)); };
    return byte(a) << 24 | byte(r) << 16 | byte(g) << 8 | byte(b);
}

int32_t SheetOfKind(int32_t kind) {
    return kind <= 1 ? tiFishes1 : kind <= 3 ? tiFishes2 : tiFishes3;
}
const TUVRect* TableOfKind(int32_t kind) {
    return kind <= 1 ? FishesUV1 : kind <= 3 ? FishesUV2 : FishesUV3;
}

TTexRect256* PictureAt(TMaster& owner, const std::string& file, int32_t left, int32_t top, int32_t block) {
    auto* picture = owner.Add(new TTexRect256(left, top, file, false, 256));
    picture->Block1 = block;
    return picture;
}

} // namespace

// ---- TFish --------------------------------------------------------------------------------------

TFish::TFish(const TFishParams& p)
    : Depth(p.Depth), Speed(p.Speed), XMin(p.XMin), XMax(p.XMax), Kind(p.Kind), Dir(p.Dir) {
    X = TableX(p.StartX);
    BaseY = TableY(p.BaseHeight);
    Y = BaseY;
    Phase = Random() * 1000.0f;
    Scaled = true;
    ScaleX = ScaleY = cFishScale;
    SetWidth(cFishWidth * PixelSize);
    SetHeight(cFishHeight * PixelSize);
    SetCorners(-HalfWidth, HalfHeight, HalfWidth, -HalfHeight);
    TTexRect::SetColor(Argb(std::min(Depth / 3.0f, 1.0f), 0.055f, 0.27f, 0.15f));
    ShowFrame();
}

void TFish::Turn(uint8_t dir) {
    Dir = dir;
    WavePhase = Random() * 2.0f * std::numbers::pi_v<float>;
    if (Depth < 1.0f) Kind = cShallowKinds[RandomInt(4)];
}

void TFish::Swim() {
    if (Dir == fdRight) {
        X += Speed * Delta;
        if (X >= XMax) Turn(fdLeft);
    } else {
        X -= Speed * Delta;
        if (X < XMin) Turn(fdRight);
    }
    Y = BaseY + std::sin(4.0f * X + WavePhase) * cFishWave * PixelSize;
}

int32_t TFish::CurrentFrame() const {
    return static_cast<int32_t>(std::lround(0.3f * LifeTime)) % cFishFrames;
}

// The vertices go to the device only when the picture changes (a few times a second).
void TFish::ShowFrame() {
    TexId = SheetOfKind(Kind);
    const int32_t cell = (Kind % 2) * cFishFrames + CurrentFrame();
    const int32_t shown = (Kind * 32 + cell) * 4 + Dir;
    if (shown == ShownPicture) return;
    ShownPicture = shown;
    const TUVRect& uv = TableOfKind(Kind)[cell];
    if (Dir == fdLeft)
        SetUV(uv.Right, uv.Top, uv.Left, uv.Bottom);
    else
        SetUV(uv.Left, uv.Top, uv.Right, uv.Bottom);
    UploadVertices();
}

void TFish::Step() {
    Swim();
    ShowFrame();
}

void TFish::Render() {
    if (!Visible) return;
    if (Depth == 0.0f) {
        Block1 = sbTexAlpha;
        Block2 = 0;
        TTexRect::Render();
        return;
    }
    // A blurred pass through the linear filter, then the sea's tint over it.
    Block1 = sbTexAlpha;
    Block2 = sbLinearFilter;
    TTexRect::Render();
    Block1 = sbDiffuseModAlpha;
    Block2 = 0;
    TTexRect::Render();
}

// ---- TSandLight ---------------------------------------------------------------------------------

TSandLight::TSandLight() {
    SandLight = this;
    Light = Add(new TTexRect());
    Light->TexId = tiSandLight;
    Light->Block1 = sbTexModAlpha;
    Light->Block2 = sbLinearFilter;
    Light->SetWidth(cSandLightSize * PixelSize);
    Light->SetHeight(cSandLightSize * PixelSize);
    Light->SetWorldRect(-Light->HalfWidth, Light->HalfHeight, Light->HalfWidth, -Light->HalfHeight);
    Light->SetUVRect(SandLightUV[0]);
    Light->UploadVertices();
}

TSandLight::~TSandLight() {
    if (SandLight == this) SandLight = nullptr;
}

void TSandLight::StepMe() {
    const float age = LifeTime;
    Light->X = std::cos(0.01f * age) * 0.2f;
    Light->Y = std::sin(0.01f * age) * 0.2f;
    const float alpha = std::max(std::cos(0.01f * age) * 0.25f + 0.75f, 0.0f) * 0.7f + 0.3f;
    Light->SetColor(Argb(alpha, 0, 0, 0));
    FrameTime += Delta;
    while (FrameTime >= cSandLightFramePeriod) {
        FrameTime -= cSandLightFramePeriod;
        Frame += FrameStep;
        if (Frame >= 15 || Frame <= 0) {
            Frame = std::clamp(Frame, 0, 15);
            FrameStep = -FrameStep;
        }
        Light->SetUVRect(SandLightUV[Frame]);
        Light->UploadVertices();
    }
}

// ---- TMouseBubbles ------------------------------------------------------------------------------

TMouseBubbles::TMouseBubbles() {
    MouseBubbles = this;
    Bubbles = Add(new TGamePartMaster());
}

TMouseBubbles::~TMouseBubbles() {
    if (MouseBubbles == this) MouseBubbles = nullptr;
}

void TMouseBubbles::StepMe() {
    if (Mouse && Mouse->MovedNow() && RandomInt(2) == 0)
        Bubbles->StartAtPixel("@Bubbles5.prt", Mouse->X + 10, Mouse->Y + 20);
    FollowFocus();
}

// The bubbles stay drawn over whatever window of the menu has the keyboard. Only windows inside
// the menu are followed: elsewhere the bubbles would outlive the scene they belong to.
void TMouseBubbles::FollowFocus() {
    auto* focus = dynamic_cast<TMaster*>(FocusObject);
    if (!focus || focus == Parent || !Home) return;
    bool inside = false;
    for (TBasic* o = focus; o; o = o->Parent)
        if (o == Home) inside = true;
    if (!inside) return;
    if (Parent) Parent->Remove(this, true);
    focus->Add(this);
}

// ---- TLogotype ----------------------------------------------------------------------------------

TLogotype::TLogotype(uint8_t side, const std::string& fileName) : Side(side) {
    Picture = Add(new TTexRect256(0, 0, fileName, false, 256));
    Picture->Block1 = sbTexAlpha;
    PlaceAt(cLogoLowY);
    SetStateInfo(1, &TLogotype::OnRise, 120);
    SetStateInfo(2, &TLogotype::OnStay, 300);
    SetStateInfo(3, &TLogotype::OnSink, 60);
    SetState(1);
}

void TLogotype::PlaceAt(int32_t py) {
    const int32_t cx = Side == lsLeft ? cLogoLeftX : cLogoRightX;
    Picture->SetLeft(TableX(cx - Picture->ImageWidth / 2));
    Picture->SetTop(TableY(py - Picture->ImageHeight / 2));
}

void TLogotype::OnRise(TStateEvent e) {
    if (e == seFinish) {
        PlaceAt(cLogoHighY);
        SetState(2);
        return;
    }
    // StateTime runs from 1 to 0: the picture rises during the second half.
    const float t = std::clamp((0.5f - StateTime) / 0.5f, 0.0f, 1.0f);
    PlaceAt(static_cast<int32_t>(std::lround(cLogoLowY + (cLogoHighY - cLogoLowY) * t)));
}

void TLogotype::OnStay(TStateEvent e) {
    if (e == seFinish) SetState(3);
}

void TLogotype::OnSink(TStateEvent e) {
    if (e == seFinish) {
        PlaceAt(cLogoLowY);
        Dead = true;
        return;
    }
    const float t = 1.0f - StateTime;
    PlaceAt(static_cast<int32_t>(std::lround(cLogoHighY + (cLogoLowY - cLogoHighY) * t)));
}

// ---- TMenuBack ----------------------------------------------------------------------------------

TMenuBack::TMenuBack() {
    RandomSeed(static_cast<uint32_t>(Options.CONST_MenuRandSeed));
    MenuBack = this;
    Back = PictureAt(*this, "\\Textures\\MenuBack\\Back.tga", 0, 0, sbTexture);
    // Without its picture the sea is painted plain: the fish must not smear over last frame.
    if (Back->ImageWidth <= 0 || Back->ImageHeight <= 0) {
        auto* sea = Add(new TColorRect());
        sea->Block1 = sbDiffuse;
        sea->SetRect(0, 0, ScreenWidth, ScreenHeight);
        sea->SetColor(cPlainSea);
        sea->UploadVertices();
    }
    AddFish(0, cFishBehind);
    Source1 = Add(new TGamePartMaster());
    Source1->StartAtPixel("@Bubbles1.prt", 333, 701);
    Source1->StartAtPixel("@Bubbles2.prt", 333, 701);
    Tiger = PictureAt(*this, "\\Textures\\MenuBack\\Tiger.tga", cTigerLeft, cTigerTop, sbTexAlpha);
    Source2 = Add(new TGamePartMaster());
    Source2->StartAtPixel("@Bubbles3.prt", 568, 106);
    Wheel = PictureAt(*this, "\\Textures\\MenuBack\\Wheel.tga", cWheelLeft, cWheelTop, sbTexAlpha);
    Add(new TSandLight());
    AddFish(cFishBehind, cFishInFront);
    AddLogo("\\MenuBack\\Logo1.tga", lsLeft);
    AddLogo("\\MenuBack\\Logo2.tga", lsRight);
}

TMenuBack::~TMenuBack() {
    if (MenuBack == this) MenuBack = nullptr;
}

void TMenuBack::AddFish(int32_t first, int32_t count) {
    for (int32_t i = first; i < first + count; ++i)
        Add(new TFish(FishTable[i]));
}

void TMenuBack::AddLogo(const char* fileName, uint8_t side) {
    const std::string file = Paths.Textures + fileName;
    if (FileExists(ResolvePath(file))) Add(new TLogotype(side, file));
}

void TMenuBack::StepMe() {
    if (MouseBubbles) return;
    auto* bubbles = Add(new TMouseBubbles());
    bubbles->Home = Parent;
}

} // namespace velmora
