#include "render/partmaster.h"

#include "app/device.h"
#include "app/log.h"
#include "app/options.h"
#include "render/blocks.h"

#include <algorithm>

namespace velmora {

// ---- TPartVisual --------------------------------------------------------------------------------

TPartVisual::TPartVisual() {
    SetPrimitiveType(D3DPT_TRIANGLELIST);
    SetVertexFormat(vfDiffuseTex);
    SetPrimitiveCount(2 * cMaxPartRects);
    CreateVertexBuffer();
}

int32_t TPartVisual::FillBlend(uint8_t blend, TVertexDiffuseTex* dest, int32_t room) {
    int32_t written = 0;
    for (TBasic* child = Parent != nullptr ? Parent->First : nullptr; child != nullptr; child = child->Next) {
        const auto* system = dynamic_cast<const TParticles*>(child);
        if (system == nullptr || system->Blend != blend || system->Count == 0) continue;
        const int32_t n = std::min(system->Count, room - written);
        if (n <= 0) break;
        system->FillQuads(dest + 6 * written, n);
        written += n;
    }
    return written;
}

void TPartVisual::FillPeaks() {
    int32_t normal = 0, additive = 0;
    for (TBasic* child = Parent != nullptr ? Parent->First : nullptr; child != nullptr; child = child->Next) {
        if (const auto* system = dynamic_cast<const TParticles*>(child)) {
            if (system->Blend == 0) normal += system->Count;
            if (system->Blend == 1) additive += system->Count;
        }
    }
    const int32_t room = std::min(MaxRects, cMaxPartRects);
    if (normal + additive > room) {
        // Once per overflow, not once per frame: the log would fill in seconds.
        if (!OverflowReported) Report("TPartVisual.FillPeaks: RectCount is above maximal value");
        OverflowReported = true;
    } else {
        OverflowReported = false;
    }
    TVertexDiffuseTex* v = VerticesAs<TVertexDiffuseTex>();
    NormalCount = FillBlend(0, v, room);
    AdditiveCount = FillBlend(1, v + 6 * NormalCount, room - NormalCount);
    const int32_t quads = NormalCount + AdditiveCount;
    if (quads > 0) UploadPrimitives(2 * quads);
}

void TPartVisual::FillVertices() {
    FillPeaks();
}

void TPartVisual::Draw() {
    FillPeaks();
    if (Device == nullptr) return;
    Check(Device->SetStreamSource(0, VertexBuffer, static_cast<UINT>(VertexSize)), "TPartVisual.Draw");
    Check(Device->SetVertexShader(FVF), "TPartVisual.Draw");
    const D3DMATRIX identity = D3DMatrixIdentity();
    Check(Device->SetTransform(D3DTS_WORLD, &identity), "TPartVisual.Draw");
    ST(0, TexArr != nullptr ? TexArr->Texture(tiParticles) : nullptr);
}

void TPartVisual::DrawPrimitives() {
    if (Device == nullptr) return;
    if (StateBlocks != nullptr) {
        StateBlocks->Apply(sbModulateAll);
        StateBlocks->Apply(sbLinearFilter);
    }
    if (NormalCount > 0) {
        Check(Device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, static_cast<UINT>(2 * NormalCount)),
              "TPartVisual.DrawPrimitives");
    }
    // Left additive on purpose: the next visual's state block sets blending again.
    SRS(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    SRS(D3DRS_DESTBLEND, D3DBLEND_ONE);
    if (AdditiveCount > 0) {
        Check(Device->DrawPrimitive(D3DPT_TRIANGLELIST, static_cast<UINT>(6 * NormalCount),
                                    static_cast<UINT>(2 * AdditiveCount)),
              "TPartVisual.DrawPrimitives");
    }
}

// ---- Masters ------------------------------------------------------------------------------------

TPartMaster::TPartMaster() {
    PartVisual = Add(new TPartVisual());
}

std::string ParticleFilePath(const std::string& name) {
    return Paths.Base + "\\Particles\\" + name;
}

TParticles* TGamePartMaster::StartEffect(const std::string& name) {
    TParticles* p = Add(new TParticles());
    LastLoadFailed = !p->LoadFromFile(ParticleFilePath(name));
    p->BuildRamps();
    p->Reset();
    return p;
}

// A burst whose file is missing can never bear anything and nobody will stop it: without this it
// would stay in the master for good, one more empty pool for every explosion.
void TGamePartMaster::EndIfNotLoaded(TParticles* p) const {
    if (LastLoadFailed) p->Emitting = false;
}

TParticles* TGamePartMaster::StartInRect(const std::string& name, int32_t left, int32_t top, int32_t right,
                                         int32_t bottom) {
    TParticles* p = StartEffect(name);
    p->SetBornRect(left, top, right, bottom);
    return p;
}

TParticles* TGamePartMaster::StartAtPixel(const std::string& name, int32_t px, int32_t py) {
    TParticles* p = StartEffect(name);
    p->EmitFrom[0] = TableX(px);
    p->EmitFrom[1] = TableY(py);
    p->SetTrail(p->Trail); // the trail segment starts where the emitter stands
    return p;
}

TParticles* TGamePartMaster::BurstAtPixel(const std::string& name, int32_t px, int32_t py) {
    TParticles* p = StartAtPixel(name, px, py);
    p->OneShot = true;
    EndIfNotLoaded(p);
    return p;
}

TParticles* TGamePartMaster::BurstAtWorld(const std::string& name, float x, float y) {
    TParticles* p = StartEffect(name);
    p->EmitFrom[0] = x;
    p->EmitFrom[1] = y;
    p->SetTrail(p->Trail);
    p->OneShot = true;
    EndIfNotLoaded(p);
    return p;
}

} // namespace velmora
