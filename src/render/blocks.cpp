#include "render/blocks.h"

#include <string>

#include "app/device.h"
#include "app/log.h"
#include "render/tex.h"

namespace velmora {

TStateBlockDepot* StateBlocks = nullptr;

const int32_t RecordedBlocks[cRecordedBlockCount] = {
    sbDefault,
    sbTexture,
    sbDiffuse,
    sbTexModDiffuse,
    sbDiffuseAlpha,
    sbTexDiffuseAlpha,
    sbTexModDiffuseDiffuseAlpha,
    sbTexAlpha,
    sbDiffuseTexAlpha,
    sbTexModDiffuseTexAlpha,
    sbTexModAlpha,
    sbDiffuseModAlpha,
    sbModulateAll,
    sbTexAddDiffuse,
    sbLinearFilter,
    sbFlat,
    sbAdditive,
    sbWrap,
    sbGouraud,
};

namespace {

IDirect3DBaseTexture8* Remembered = nullptr;

void Remember(IDirect3DBaseTexture8* texture) {
    if (texture) texture->AddRef();
    if (Remembered) Remembered->Release();
    Remembered = texture;
}

// What a block of 11..25 sets on stage 0 beyond the defaults.
struct TBlockRecipe {
    int32_t No;
    DWORD ColorOp, ColorArg1, ColorArg2;
    DWORD AlphaOp, AlphaArg1, AlphaArg2; // AlphaOp 0: not set
    bool Blend;
    D3DSHADEMODE Shade;
};

constexpr DWORD kTex = D3DTA_TEXTURE;
constexpr DWORD kDif = D3DTA_DIFFUSE;

const TBlockRecipe BlockRecipes[] = {
    {sbDefault, 0, 0, 0, 0, 0, 0, false, D3DSHADE_FLAT},
    {sbTexture, D3DTOP_SELECTARG1, kTex, 0, 0, 0, 0, false, D3DSHADE_FLAT},
    {sbDiffuse, D3DTOP_SELECTARG1, kDif, 0, 0, 0, 0, false, D3DSHADE_GOURAUD},
    {sbTexModDiffuse, D3DTOP_MODULATE, kTex, kDif, 0, 0, 0, false, D3DSHADE_GOURAUD},
    {sbDiffuseAlpha, D3DTOP_SELECTARG1, kDif, 0, D3DTOP_SELECTARG1, kDif, 0, true, D3DSHADE_GOURAUD},
    {sbTexDiffuseAlpha, D3DTOP_SELECTARG1, kTex, 0, D3DTOP_SELECTARG1, kDif, 0, true, D3DSHADE_FLAT},
    {sbTexModDiffuseDiffuseAlpha, D3DTOP_MODULATE, kTex, kDif, D3DTOP_SELECTARG1, kDif, 0, true,
     D3DSHADE_FLAT},
    {sbTexAlpha, D3DTOP_SELECTARG1, kTex, 0, D3DTOP_SELECTARG1, kTex, 0, true, D3DSHADE_FLAT},
    {sbDiffuseTexAlpha, D3DTOP_SELECTARG1, kDif, 0, D3DTOP_SELECTARG1, kTex, 0, true, D3DSHADE_FLAT},
    {sbTexModDiffuseTexAlpha, D3DTOP_MODULATE, kTex, kDif, D3DTOP_SELECTARG1, kTex, 0, true, D3DSHADE_FLAT},
    {sbTexModAlpha, D3DTOP_SELECTARG1, kTex, 0, D3DTOP_MODULATE, kTex, kDif, true, D3DSHADE_FLAT},
    {sbDiffuseModAlpha, D3DTOP_SELECTARG1, kDif, 0, D3DTOP_MODULATE, kTex, kDif, true, D3DSHADE_FLAT},
    {sbModulateAll, D3DTOP_MODULATE, kTex, kDif, D3DTOP_MODULATE, kTex, kDif, true, D3DSHADE_FLAT},
    // A signed add: the board slice's half-grey colour leaves its picture's own colours and less red
    // and green darken it towards blue; a plain add would wash every slice pale.
    {sbTexAddDiffuse, D3DTOP_ADDSIGNED, kTex, kDif, D3DTOP_MODULATE, kTex, kDif, true, D3DSHADE_FLAT},
};

void SetRecipeStates(const TBlockRecipe& r) {
    if (r.ColorOp) {
        STSS(0, D3DTSS_COLOROP, r.ColorOp);
        STSS(0, D3DTSS_COLORARG1, r.ColorArg1);
        if (r.ColorOp != D3DTOP_SELECTARG1) STSS(0, D3DTSS_COLORARG2, r.ColorArg2);
    }
    if (r.AlphaOp) {
        STSS(0, D3DTSS_ALPHAOP, r.AlphaOp);
        STSS(0, D3DTSS_ALPHAARG1, r.AlphaArg1);
        if (r.AlphaOp != D3DTOP_SELECTARG1) STSS(0, D3DTSS_ALPHAARG2, r.AlphaArg2);
    }
    SRS(D3DRS_ALPHABLENDENABLE, r.Blend ? TRUE : FALSE);
    SRS(D3DRS_SHADEMODE, r.Shade);
}

// The modifiers 30..34: one aspect each, no defaults.
void SetModifierStates(int32_t no) {
    switch (no) {
    case sbLinearFilter:
        STSS(0, D3DTSS_MINFILTER, D3DTEXF_LINEAR);
        STSS(0, D3DTSS_MAGFILTER, D3DTEXF_LINEAR);
        break;
    case sbFlat:
        SRS(D3DRS_SHADEMODE, D3DSHADE_FLAT);
        break;
    case sbAdditive:
        SRS(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
        SRS(D3DRS_DESTBLEND, D3DBLEND_ONE);
        break;
    case sbWrap:
        STSS(0, D3DTSS_ADDRESSU, D3DTADDRESS_WRAP);
        STSS(0, D3DTSS_ADDRESSV, D3DTADDRESS_WRAP);
        break;
    case sbGouraud:
        SRS(D3DRS_SHADEMODE, D3DSHADE_GOURAUD);
        break;
    default:
        break;
    }
}

void RecordBlockStates(int32_t no) {
    for (const TBlockRecipe& r : BlockRecipes) {
        if (r.No != no) continue;
        SetDefaultStates();
        SetRecipeStates(r);
        return;
    }
    SetModifierStates(no);
}

HRESULT LogFailure(HRESULT hr, const std::string& first, const std::string& second) {
    Log(first);
    Log(second);
    Check(hr);
    return hr;
}

} // namespace

void SetDefaultStates() {
    ST(0, nullptr);
    SRS(D3DRS_ZENABLE, D3DZB_FALSE);
    SRS(D3DRS_SHADEMODE, D3DSHADE_FLAT);
    SRS(D3DRS_ALPHABLENDENABLE, FALSE);
    SRS(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    SRS(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    SRS(D3DRS_ALPHATESTENABLE, FALSE);
    SRS(D3DRS_FILLMODE, D3DFILL_SOLID);
    SRS(D3DRS_CULLMODE, D3DCULL_NONE);
    SRS(D3DRS_STENCILENABLE, FALSE);
    SRS(D3DRS_CLIPPING, TRUE);
    SRS(D3DRS_EDGEANTIALIAS, FALSE);
    SRS(D3DRS_CLIPPLANEENABLE, 0);
    SRS(D3DRS_VERTEXBLEND, D3DVBF_DISABLE);
    SRS(D3DRS_INDEXEDVERTEXBLENDENABLE, FALSE);
    SRS(D3DRS_FOGENABLE, FALSE);
    SRS(D3DRS_LIGHTING, FALSE);
    STSS(0, D3DTSS_MINFILTER, D3DTEXF_POINT);
    STSS(0, D3DTSS_MAGFILTER, D3DTEXF_POINT);
    STSS(0, D3DTSS_MIPFILTER, D3DTEXF_NONE);
    const DWORD address = CapsFlags.Mirror ? D3DTADDRESS_MIRROR : D3DTADDRESS_WRAP;
    STSS(0, D3DTSS_ADDRESSU, address);
    STSS(0, D3DTSS_ADDRESSV, address);
    STSS(0, D3DTSS_TEXCOORDINDEX, 0);
    STSS(0, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_DISABLE);
    STSS(1, D3DTSS_COLOROP, D3DTOP_DISABLE);
    STSS(1, D3DTSS_ALPHAOP, D3DTOP_DISABLE);
}

HRESULT SRS(D3DRENDERSTATETYPE state, DWORD value) {
    const HRESULT hr = Device->SetRenderState(state, value);
    if (SUCCEEDED(hr)) return hr;
    return LogFailure(hr, "uDebug.SRS : Device.SetRenderState error",
                      "State=" + std::to_string(state) + "; Value=" + std::to_string(value));
}

HRESULT STSS(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) {
    const HRESULT hr = Device->SetTextureStageState(stage, type, value);
    if (SUCCEEDED(hr)) return hr;
    return LogFailure(hr, "uDebug.STSS : Device.SetTextureStageState error",
                      "Stage=" + std::to_string(stage) + "; _Type=" + std::to_string(type) +
                          "; Value=" + std::to_string(value));
}

HRESULT ST(DWORD stage, IDirect3DBaseTexture8* texture) {
    if (texture == Remembered) return D3D_OK;
    const HRESULT hr = Device->SetTexture(stage, texture);
    Remember(texture);
    if (SUCCEEDED(hr)) return hr;
    return LogFailure(hr, "uDebug.ST : Device.SetTexture error",
                      "Stage=" + std::to_string(stage) +
                          "; pTexture=" + std::to_string(reinterpret_cast<std::uintptr_t>(texture)));
}

HRESULT ASB(DWORD block) {
    const HRESULT hr = Device->ApplyStateBlock(block);
    if (SUCCEEDED(hr)) return hr;
    return LogFailure(hr, "uDebug.ASB : Device.ApplyStateBlock error", "Block=" + std::to_string(block));
}

HRESULT CreateTextureDirect(UINT width, UINT height, UINT levels, IDirect3DTexture8*& texture, D3DPOOL pool,
                            D3DFORMAT format, DWORD usage) {
    texture = nullptr;
    HRESULT hr = Device->CreateTexture(width, height, levels, usage, format, pool, &texture);
    if (SUCCEEDED(hr) && texture) return hr;
    if (SUCCEEDED(hr)) hr = D3DERR_INVALIDCALL; // a nil texture is a failure too
    const std::string sep = ";\x20\r";
    Report("uDebug.CreateTextureDirect : Texture creation failed");
    Report("Width=" + std::to_string(width) + sep + "Height=" + std::to_string(height) + sep +
           "Levels=" + std::to_string(levels) + sep + "Usage=" + std::to_string(usage) + sep +
           "Format=" + D3DFormatName(format) + sep + "Pool=" + std::to_string(pool) + sep +
           "VMem=" + std::to_string(Device->GetAvailableTextureMem() >> 10));
    Check(hr);
    return hr;
}

void ForgetRememberedTexture() {
    Remember(nullptr);
}

IDirect3DBaseTexture8* RememberedTexture() {
    return Remembered;
}

// ---- TStateBlockDepot ---------------------------------------------------------------------------

TStateBlockDepot::TStateBlockDepot() {
    StateBlocks = this;
}

TStateBlockDepot::~TStateBlockDepot() {
    InvalidateDeviceObjects();
    if (StateBlocks == this) StateBlocks = nullptr;
}

HRESULT_t TStateBlockDepot::RestoreDeviceObjects() {
    for (int32_t no : RecordedBlocks) {
        Device->BeginStateBlock();
        RecordBlockStates(no);
        DWORD token = 0;
        const HRESULT hr = Device->EndStateBlock(&token);
        Check(hr, "TStateBlockDepot.RestoreDeviceObjects");
        Blocks[no] = SUCCEEDED(hr) ? token : 0;
    }
    return 0;
}

void TStateBlockDepot::InvalidateDeviceObjects() {
    // Every device loss, mode switch and the exit walk the scene through here before the device goes:
    // the texture ST remembers must not outlive it (nor stand for what a new block set binds).
    ForgetRememberedTexture();
    if (!Device) return;
    for (DWORD& handle : Blocks) {
        if (handle) Device->DeleteStateBlock(handle);
        // Cleared so that a handle from before a reset is never applied or deleted twice.
        handle = 0;
    }
}

void TStateBlockDepot::SetRenderMode(uint8_t mode) {
    RenderMode = mode;
    InvalidateDeviceObjects();
    if (TexArr && TexArr->TexSet != mode) {
        TexArr->InvalidateDeviceObjects();
        TexArr->TexSet = mode;
        TexArr->RestoreDeviceObjects();
    }
    RestoreDeviceObjects();
}

void TStateBlockDepot::Apply(int32_t no) const {
    if (no <= 0 || no >= cStateBlockSlots || Blocks[no] == 0) return;
    ASB(Blocks[no]);
}

} // namespace velmora
