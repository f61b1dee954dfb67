// One particle emitter: a fixed pool of up to 2048 sprites described by a ".prt" file, stepped in
// Delta units and written as quads into its master's shared vertex buffer.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/basic.h"
#include "render/tex.h"
#include "render/visual.h"

namespace velmora {

constexpr int32_t cMaxParticles = 2048;
constexpr int32_t cRampSize = 256;

struct TParticle {
    float Age = 1.1f; // 0 at birth; dead from 1 on
    int32_t RampIndex = 0;
    float AgeStep = 0;
    float X = 0, Y = 0;
    float VX = 0, VY = 0;
    float Color0[4] = {}, Color1[4] = {};
    uint32_t Color = 0;
    float OrbitRadius = 0, OrbitRadiusStep = 0;
    float OrbitAngle = 0, OrbitAngleStep = 0;
    float Spin = 0, SpinStep = 0;
    float GX = 0, GY = 0; // velocity gained from gravity

    bool Alive() const { return Age < 1.0f; }
};

// Emission modes of the "Queue" key.
enum TQueueMode : uint8_t { qmNewestOnTop = 0, qmNewestBelow = 1, qmRandomSlots = 2, qmBurst = 3 };

// Forgets the particle files read so far (tests that rewrite a file under the same name).
void ForgetParticleFiles();

class TParticles : public TBasic {
  public:
    TParticles();

    void Step() override;
    const char* ClassName() const override { return "TParticles"; }

    // Reads a ".prt" file (once per run: later calls reuse its lines); a missing file is logged and
    // leaves the defaults (nothing is ever born).
    bool LoadFromFile(const std::string& fileName);
    // Reads ".prt" text lines (for files and tests); fileName only names the source in messages.
    void LoadFromLines(const std::vector<std::string>& lines, const std::string& fileName);
    void BuildRamps();
    void Reset(); // all dead; a burst is owed at once in queue mode 3
    void SetBornRect(int32_t left, int32_t top, int32_t right, int32_t bottom); // pixels, inclusive
    void MoveTo(float x, float y);
    void SetTrail(bool on);
    // Writes 6 vertices per pool entry (Count of them, at most limit) in Order order.
    void FillQuads(TVertexDiffuseTex* dest, int32_t limit = cMaxParticles) const;

    int32_t AliveCount() const;

    float WindAngle = 0, WindStrength = 0, WindX = 0, WindY = 0;
    float GravAngle = 0, GravStrength = 0, GravX = 0, GravY = 0;
    std::array<TParticle, cMaxParticles> Parts;
    std::array<TParticle*, cMaxParticles> Order;
    std::array<uint32_t, cRampSize> ColorRamp{};
    std::array<float, cRampSize> SizeRamp{};
    int32_t UVIndex = 0;
    float EmitFrom[2] = {}, EmitTo[2] = {};
    bool Trail = false;
    int32_t SpriteSize = 0;
    TUVRect SpriteUV;
    float ToBorn = 0;
    float AgeStep = 0;
    uint8_t Blend = 0, Queue = 0;
    float BornRadius = 0, StartSpeed = 0;
    int32_t LifeTime = 0; // Delta units a particle lives; 0 or less is taken as 1
    float PartsPerStep = 0;
    int32_t Count = 0;
    float Colors[4][4] = {}; // key colours at ages 0, 1/3, 2/3, 1; channels a, r, g, b in 0..255
    float Sizes[3] = {};
    bool AxisRotateOn = false;
    float AxisRotate[3] = {};
    bool CenterRotateOn = false;
    float CenterRotate[5] = {};
    bool OneShot = false;
    bool Emitting = true;
    bool UseRect = false;
    float RectWidth = 0, RectHeight = 0;

  private:
    void ReadKey(const std::string& key, const std::string* values, const std::string& fileName);
    void Born(TParticle& p);
    int32_t CountToBorn();
    void EmitNewestOnTop();
    void EmitNewestBelow();
    void EmitRandomSlots();
    void EmitBurst();
    void MoveParticle(TParticle& p) const;

    // Scratch space for reordering, kept here so that a step never allocates.
    std::array<TParticle*, cMaxParticles> Scratch;
    std::array<bool, cMaxParticles> Used;
};

// 0xAARRGGBB from a hexadecimal text without prefix ("FFFF8000"); bad digits stop the reading.
uint32_t ParseHexColor(const std::string& text);

} // namespace velmora
