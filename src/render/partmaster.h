// Particle masters: a master owns its emitters and one visual that draws all of them with one
// vertex buffer in two calls (normal blending first, then additive).
#pragma once

#include <cstdint>
#include <string>

#include "engine/basic.h"
#include "render/particles.h"
#include "render/visual.h"

namespace velmora {

constexpr int32_t cMaxPartRects = 16384;

class TPartVisual : public TVisual {
  public:
    TPartVisual(); // the vertex array and buffer for cMaxPartRects quads are made once here

    void Draw() override;         // rebuilds and uploads the quads every frame
    void FillVertices() override; // FillPeaks
    void DrawPrimitives() override;
    const char* ClassName() const override { return "TPartVisual"; }

    // Writes the quads of the parent master's systems: blend 0 in child order, then blend 1.
    void FillPeaks();

    int32_t NormalCount = 0, AdditiveCount = 0; // quads of each kind at the last fill
    int32_t MaxRects = cMaxPartRects;

  private:
    int32_t FillBlend(uint8_t blend, TVertexDiffuseTex* dest, int32_t room);
    bool OverflowReported = false;
};

class TPartMaster : public TMaster {
  public:
    TPartMaster(); // PartVisual is the first child
    const char* ClassName() const override { return "TPartMaster"; }

    TPartVisual* PartVisual = nullptr; // owned through the child list
};

// Starts named effects ("@Fire.prt") from the particle folder at a place.
class TGamePartMaster : public TPartMaster {
  public:
    const char* ClassName() const override { return "TGamePartMaster"; }

    virtual TParticles* StartInRect(const std::string& name, int32_t left, int32_t top, int32_t right,
                                    int32_t bottom); // 15: pixels, inclusive
    virtual TParticles* StartAtPixel(const std::string& name, int32_t px, int32_t py); // 16
    virtual TParticles* BurstAtPixel(const std::string& name, int32_t px, int32_t py); // 17: one burst
    virtual TParticles* BurstAtWorld(const std::string& name, float x, float y);       // 18: one burst

  protected:
    TParticles* StartEffect(const std::string& name);
    void EndIfNotLoaded(TParticles* p) const;

    bool LastLoadFailed = false;
};

// Game path of a particle description: data folder + "\Particles\" + name.
std::string ParticleFilePath(const std::string& name);

} // namespace velmora
