#include "platform/device_common.h"

#include <algorithm>
#include <cstring>

namespace velmora::detail {

namespace {

bool loseDeviceOnce = false;

DWORD FloatBits(float f) {
    DWORD d;
    std::memcpy(&d, &f, sizeof d);
    return d;
}

// A texel as four 8-bit channels and back, for the formats the devices accept.
struct Texel {
    unsigned A, R, G, B;
};

unsigned Expand(unsigned v, int bits) {
    return bits == 8 ? v : (v * 255 + ((1u << bits) - 1) / 2) / ((1u << bits) - 1);
}

Texel Decode(D3DFORMAT fmt, const std::uint8_t* p) {
    if (BytesPerPixel(fmt) == 4) {
        std::uint32_t v;
        std::memcpy(&v, p, 4);
        return {fmt == D3DFMT_X8R8G8B8 ? 255u : v >> 24, (v >> 16) & 255, (v >> 8) & 255, v & 255};
    }
    std::uint16_t v;
    std::memcpy(&v, p, 2);
    switch (fmt) {
    case D3DFMT_R5G6B5:
        return {255, Expand(v >> 11, 5), Expand((v >> 5) & 63, 6), Expand(v & 31, 5)};
    case D3DFMT_X1R5G5B5:
    case D3DFMT_A1R5G5B5:
        return {fmt == D3DFMT_X1R5G5B5 ? 255u : (v >> 15) * 255u, Expand((v >> 10) & 31, 5),
                Expand((v >> 5) & 31, 5), Expand(v & 31, 5)};
    default:
        return {fmt == D3DFMT_X4R4G4B4 ? 255u : Expand(v >> 12, 4), Expand((v >> 8) & 15, 4),
                Expand((v >> 4) & 15, 4), Expand(v & 15, 4)};
    }
}

void Encode(D3DFORMAT fmt, const Texel& t, std::uint8_t* p) {
    if (BytesPerPixel(fmt) == 4) {
        const std::uint32_t v = (t.A << 24) | (t.R << 16) | (t.G << 8) | t.B;
        std::memcpy(p, &v, 4);
        return;
    }
    std::uint16_t v;
    switch (fmt) {
    case D3DFMT_R5G6B5:
        v = static_cast<std::uint16_t>(((t.R >> 3) << 11) | ((t.G >> 2) << 5) | (t.B >> 3));
        break;
    case D3DFMT_X1R5G5B5:
    case D3DFMT_A1R5G5B5:
        v = static_cast<std::uint16_t>(((t.A >> 7) << 15) | ((t.R >> 3) << 10) | ((t.G >> 3) << 5) |
                                       (t.B >> 3));
        break;
    default:
        v = static_cast<std::uint16_t>(((t.A >> 4) << 12) | ((t.R >> 4) << 8) | ((t.G >> 4) << 4) |
                                       (t.B >> 4));
        break;
    }
    std::memcpy(p, &v, 2);
}

} // namespace

bool TakeLoseDeviceOnce() {
    const bool was = loseDeviceOnce;
    loseDeviceOnce = false;
    return was;
}

} // namespace velmora::detail

namespace velmora {
void D3DTestLoseDeviceOnce() {
    detail::loseDeviceOnce = true;
}
} // namespace velmora

namespace velmora::detail {

int BytesPerPixel(D3DFORMAT fmt) {
    switch (fmt) {
    case D3DFMT_A8R8G8B8:
    case D3DFMT_X8R8G8B8:
        return 4;
    case D3DFMT_R5G6B5:
    case D3DFMT_X1R5G5B5:
    case D3DFMT_A1R5G5B5:
    case D3DFMT_A4R4G4B4:
    case D3DFMT_X4R4G4B4:
        return 2;
    default:
        return 0;
    }
}

bool IsTextureFormat(D3DFORMAT fmt) {
    return BytesPerPixel(fmt) != 0;
}

// ---- State ops and state blocks ----------------------------------------------------------------

StateOpList::~StateOpList() {
    for (StateOp& op : List)
        if (op.Object) op.Object->Release();
}

void StateOpList::Add(const StateOp& op) {
    if (op.Object) op.Object->AddRef();
    List.push_back(op);
}

HRESULT StateBlockStore::Begin() {
    if (Current) return D3DERR_INVALIDCALL;
    Current = std::make_unique<StateOpList>();
    return D3D_OK;
}

HRESULT StateBlockStore::End(DWORD* token) {
    if (!Current || !token) return D3DERR_INVALIDCALL;
    *token = NextToken++;
    Blocks[*token] = std::move(Current);
    return D3D_OK;
}

const StateOpList* StateBlockStore::Find(DWORD token) const {
    auto it = Blocks.find(token);
    return it == Blocks.end() ? nullptr : it->second.get();
}

HRESULT StateBlockStore::Delete(DWORD token) {
    return Blocks.erase(token) ? D3D_OK : D3DERR_INVALIDCALL;
}

HRESULT StateBlockStore::Capture(DWORD token, const DeviceState& state) {
    auto it = Blocks.find(token);
    if (it == Blocks.end()) return D3DERR_INVALIDCALL;
    auto fresh = std::make_unique<StateOpList>();
    for (StateOp op : it->second->Ops()) {
        switch (op.What) {
        case StateOp::RenderState:
            op.B = state.Render[op.A];
            break;
        case StateOp::StageState:
            op.C = state.Stage[op.A][op.B];
            break;
        case StateOp::Texture:
            op.Object = state.Textures[op.A];
            break;
        case StateOp::Transform:
            op.Matrix = op.A == D3DTS_VIEW         ? state.View
                        : op.A == D3DTS_PROJECTION ? state.Projection
                                                   : state.World;
            break;
        case StateOp::Light:
            op.LightData = state.Lights[op.A];
            break;
        case StateOp::LightEnable:
            op.B = state.LightOn[op.A];
            break;
        case StateOp::Material:
            op.MaterialData = state.Material;
            break;
        case StateOp::Viewport:
            op.ViewportData = state.Viewport;
            break;
        case StateOp::Shader:
            op.A = state.FVF;
            break;
        case StateOp::Stream:
            op.Object = state.Stream;
            op.B = state.Stride;
            break;
        }
        fresh->Add(op);
    }
    it->second = std::move(fresh);
    return D3D_OK;
}

// ---- Device state ------------------------------------------------------------------------------

void DeviceState::SetDefaults(UINT width, UINT height, bool depthBuffer) {
    ReleaseObjects();
    std::fill(std::begin(Render), std::end(Render), 0u);
    Render[D3DRS_ZENABLE] = depthBuffer ? D3DZB_TRUE : D3DZB_FALSE;
    Render[D3DRS_FILLMODE] = D3DFILL_SOLID;
    Render[D3DRS_SHADEMODE] = D3DSHADE_GOURAUD;
    Render[D3DRS_ZWRITEENABLE] = TRUE;
    Render[D3DRS_LASTPIXEL] = TRUE;
    Render[D3DRS_SRCBLEND] = D3DBLEND_ONE;
    Render[D3DRS_DESTBLEND] = D3DBLEND_ZERO;
    Render[D3DRS_CULLMODE] = D3DCULL_CCW;
    Render[D3DRS_ZFUNC] = D3DCMP_LESSEQUAL;
    Render[D3DRS_ALPHAFUNC] = D3DCMP_ALWAYS;
    Render[D3DRS_FOGSTART] = FloatBits(0.0f);
    Render[D3DRS_FOGEND] = FloatBits(1.0f);
    Render[D3DRS_FOGDENSITY] = FloatBits(1.0f);
    Render[D3DRS_STENCILFAIL] = Render[D3DRS_STENCILZFAIL] = Render[D3DRS_STENCILPASS] = 1; // KEEP
    Render[D3DRS_STENCILFUNC] = D3DCMP_ALWAYS;
    Render[D3DRS_STENCILMASK] = Render[D3DRS_STENCILWRITEMASK] = 0xFFFFFFFFu;
    Render[D3DRS_TEXTUREFACTOR] = 0xFFFFFFFFu;
    Render[D3DRS_CLIPPING] = TRUE;
    Render[D3DRS_LIGHTING] = TRUE;
    Render[D3DRS_COLORVERTEX] = TRUE;
    Render[D3DRS_LOCALVIEWER] = TRUE;
    Render[D3DRS_DIFFUSEMATERIALSOURCE] = D3DMCS_COLOR1;
    Render[D3DRS_SPECULARMATERIALSOURCE] = D3DMCS_COLOR2;
    Render[D3DRS_POINTSIZE] = FloatBits(1.0f);
    Render[D3DRS_POINTSIZE_MAX] = FloatBits(64.0f);
    Render[D3DRS_POINTSCALE_A] = FloatBits(1.0f);
    Render[D3DRS_MULTISAMPLEANTIALIAS] = TRUE;
    Render[D3DRS_MULTISAMPLEMASK] = 0xFFFFFFFFu;
    Render[D3DRS_COLORWRITEENABLE] = 0xF;
    Render[D3DRS_BLENDOP] = D3DBLENDOP_ADD;
    Render[D3DRS_POSITIONORDER] = 3;
    Render[D3DRS_NORMALORDER] = 1;
    for (int s = 0; s < D3D_MAX_STAGES; ++s) {
        DWORD* st = Stage[s];
        std::fill(st, st + D3DTSS_MAX, 0u);
        st[D3DTSS_COLOROP] = s == 0 ? D3DTOP_MODULATE : D3DTOP_DISABLE;
        st[D3DTSS_COLORARG1] = D3DTA_TEXTURE;
        st[D3DTSS_COLORARG2] = D3DTA_CURRENT;
        st[D3DTSS_ALPHAOP] = s == 0 ? D3DTOP_SELECTARG1 : D3DTOP_DISABLE;
        st[D3DTSS_ALPHAARG1] = D3DTA_TEXTURE;
        st[D3DTSS_ALPHAARG2] = D3DTA_CURRENT;
        st[D3DTSS_TEXCOORDINDEX] = static_cast<DWORD>(s);
        st[D3DTSS_ADDRESSU] = st[D3DTSS_ADDRESSV] = st[D3DTSS_ADDRESSW] = D3DTADDRESS_WRAP;
        st[D3DTSS_MAGFILTER] = st[D3DTSS_MINFILTER] = D3DTEXF_POINT;
        st[D3DTSS_MIPFILTER] = D3DTEXF_NONE;
        st[D3DTSS_MAXANISOTROPY] = 1;
        st[D3DTSS_TEXTURETRANSFORMFLAGS] = D3DTTFF_DISABLE;
        st[D3DTSS_COLORARG0] = st[D3DTSS_ALPHAARG0] = st[D3DTSS_RESULTARG] = D3DTA_CURRENT;
    }
    World = View = Projection = D3DMatrixIdentity();
    for (int i = 0; i < MaxLights; ++i) {
        Lights[i] = D3DLIGHT8{};
        Lights[i].Type = D3DLIGHT_DIRECTIONAL;
        Lights[i].Diffuse = {1, 1, 1, 0};
        Lights[i].Direction = {0, 0, 1};
        LightOn[i] = false;
    }
    Material = D3DMATERIAL8{};
    Viewport = {0, 0, width, height, 0.0f, 1.0f};
    FVF = 0;
    Stride = 0;
}

void DeviceState::ReleaseObjects() {
    for (auto*& t : Textures) {
        if (t) t->Release();
        t = nullptr;
    }
    if (Stream) Stream->Release();
    Stream = nullptr;
}

void DeviceState::Apply(const StateOp& op) {
    switch (op.What) {
    case StateOp::RenderState:
        if (op.A < D3DRS_MAX) Render[op.A] = op.B;
        break;
    case StateOp::StageState:
        if (op.A < D3D_MAX_STAGES && op.B < D3DTSS_MAX) Stage[op.A][op.B] = op.C;
        break;
    case StateOp::Texture: {
        if (op.A >= D3D_MAX_STAGES) break;
        auto* tex = static_cast<IDirect3DBaseTexture8*>(static_cast<IDirect3DResource8*>(op.Object));
        if (tex) tex->AddRef();
        if (Textures[op.A]) Textures[op.A]->Release();
        Textures[op.A] = tex;
        break;
    }
    case StateOp::Transform:
        if (op.A == D3DTS_VIEW)
            View = op.Matrix;
        else if (op.A == D3DTS_PROJECTION)
            Projection = op.Matrix;
        else if (op.A == D3DTS_WORLD)
            World = op.Matrix;
        break;
    case StateOp::Light:
        if (op.A < MaxLights) Lights[op.A] = op.LightData;
        break;
    case StateOp::LightEnable:
        if (op.A < MaxLights) LightOn[op.A] = op.B != 0;
        break;
    case StateOp::Material:
        Material = op.MaterialData;
        break;
    case StateOp::Viewport:
        Viewport = op.ViewportData;
        break;
    case StateOp::Shader:
        FVF = op.A;
        break;
    case StateOp::Stream: {
        auto* vb = static_cast<IDirect3DVertexBuffer8*>(static_cast<IDirect3DResource8*>(op.Object));
        if (vb) vb->AddRef();
        if (Stream) Stream->Release();
        Stream = vb;
        Stride = op.B;
        break;
    }
    }
}

// ---- Textures ----------------------------------------------------------------------------------

MemTexture::MemTexture(ResourceOwner* owner, UINT width, UINT height, UINT levels, DWORD usage,
                       D3DFORMAT format, D3DPOOL pool, bool memoryCopy)
    : Format(format), Usage(usage), Pool(pool), Owner(owner), MemoryCopy(memoryCopy) {
    UINT w = width, h = height;
    const int bpp = BytesPerPixel(format);
    for (UINT i = 0; levels == 0 || i < levels; ++i) {
        Level l{w, h, std::vector<std::uint8_t>(memoryCopy ? static_cast<size_t>(w) * h * bpp : 0, 0)};
        Levels.push_back(std::move(l));
        if (w == 1 && h == 1) break;
        w = std::max(1u, w / 2);
        h = std::max(1u, h / 2);
    }
}

MemTexture::~MemTexture() {
    if (Owner) Owner->TextureDestroyed(this);
}

ULONG MemTexture::Release() {
    const ULONG left = --Refs;
    if (left == 0) delete this;
    return left;
}

HRESULT MemTexture::GetDevice(IDirect3DDevice8** device) {
    if (!device || !Owner) return D3DERR_INVALIDCALL;
    *device = Owner->AsDevice();
    (*device)->AddRef();
    return D3D_OK;
}

size_t MemTexture::LevelBytes(UINT level) const {
    return static_cast<size_t>(Levels[level].Width) * Levels[level].Height * BytesPerPixel(Format);
}

void MemTexture::DropMemoryCopies() {
    for (Level& l : Levels)
        if (!l.Locked) std::vector<std::uint8_t>().swap(l.Bits);
}

HRESULT MemTexture::GetLevelDesc(UINT level, D3DSURFACE_DESC* desc) {
    if (!desc || level >= Levels.size()) return D3DERR_INVALIDCALL;
    const Level& l = Levels[level];
    *desc = {
        Format,  D3DRTYPE_SURFACE, Usage, Pool, static_cast<UINT>(LevelBytes(level)), D3DMULTISAMPLE_NONE,
        l.Width, l.Height};
    return D3D_OK;
}

HRESULT MemTexture::GetSurfaceLevel(UINT level, IDirect3DSurface8** surface) {
    if (!surface || level >= Levels.size()) return D3DERR_INVALIDCALL;
    *surface = new MemSurface(this, level);
    return D3D_OK;
}

HRESULT MemTexture::LockRect(UINT level, D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) {
    if (!locked || level >= Levels.size()) return D3DERR_INVALIDCALL;
    Level& l = Levels[level];
    if (l.Locked) return D3DERR_INVALIDCALL;
    const int bpp = BytesPerPixel(Format);
    size_t offset = 0;
    if (rect) {
        if (rect->left < 0 || rect->top < 0 || rect->right > static_cast<LONG>(l.Width) ||
            rect->bottom > static_cast<LONG>(l.Height) || rect->left >= rect->right ||
            rect->top >= rect->bottom)
            return D3DERR_INVALIDCALL;
        offset = (static_cast<size_t>(rect->top) * l.Width + rect->left) * bpp;
    }
    if (Owner) Owner->TextureLocked(this, level, flags); // brings the pixels back when the device kept them
    if (l.Bits.size() != LevelBytes(level)) l.Bits.assign(LevelBytes(level), 0);
    l.Locked = true;
    locked->Pitch = static_cast<INT>(l.Width * bpp);
    locked->pBits = l.Bits.data() + offset;
    if (level == 0 && !(flags & (D3DLOCK_READONLY | D3DLOCK_NO_DIRTY_UPDATE))) MipsDirty = true;
    return D3D_OK;
}

HRESULT MemTexture::UnlockRect(UINT level) {
    if (level >= Levels.size() || !Levels[level].Locked) return D3DERR_INVALIDCALL;
    Levels[level].Locked = false;
    if (level == 0 && MipsDirty) {
        if (MemoryCopy) BuildMips(); // else the device rebuilds the levels it keeps
        MipsDirty = false;
    }
    if (Owner) Owner->TextureUnlocked(this, level);
    return D3D_OK;
}

void MemTexture::BuildMips() {
    const int bpp = BytesPerPixel(Format);
    for (size_t i = 1; i < Levels.size(); ++i) {
        const Level& src = Levels[i - 1];
        Level& dst = Levels[i];
        for (UINT y = 0; y < dst.Height; ++y)
            for (UINT x = 0; x < dst.Width; ++x) {
                unsigned a = 0, r = 0, g = 0, b = 0, n = 0;
                for (UINT dy = 0; dy < 2; ++dy)
                    for (UINT dx = 0; dx < 2; ++dx) {
                        const UINT sx = std::min(src.Width - 1, x * 2 + dx),
                                   sy = std::min(src.Height - 1, y * 2 + dy);
                        const Texel t =
                            Decode(Format, &src.Bits[(static_cast<size_t>(sy) * src.Width + sx) * bpp]);
                        a += t.A, r += t.R, g += t.G, b += t.B, ++n;
                    }
                Encode(Format, {(a + n / 2) / n, (r + n / 2) / n, (g + n / 2) / n, (b + n / 2) / n},
                       &dst.Bits[(static_cast<size_t>(y) * dst.Width + x) * bpp]);
            }
    }
}

// ---- Surfaces ----------------------------------------------------------------------------------

MemSurface::MemSurface(MemTexture* texture, UINT level) : Texture(texture), LevelIndex(level) {
    Texture->AddRef();
}
MemSurface::~MemSurface() {
    Texture->Release();
}

ULONG MemSurface::Release() {
    const ULONG left = --Refs;
    if (left == 0) delete this;
    return left;
}

HRESULT MemSurface::GetDevice(IDirect3DDevice8** device) {
    return Texture->GetDevice(device);
}
HRESULT MemSurface::GetDesc(D3DSURFACE_DESC* desc) {
    return Texture->GetLevelDesc(LevelIndex, desc);
}
HRESULT MemSurface::LockRect(D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) {
    return Texture->LockRect(LevelIndex, locked, rect, flags);
}
HRESULT MemSurface::UnlockRect() {
    return Texture->UnlockRect(LevelIndex);
}

BackBufferSurface::BackBufferSurface(BackBufferSource* source) : Source(source) {
    Source->AsDevice()->AddRef();
}
BackBufferSurface::~BackBufferSurface() {
    Source->AsDevice()->Release();
}

ULONG BackBufferSurface::Release() {
    const ULONG left = --Refs;
    if (left == 0) delete this;
    return left;
}

HRESULT BackBufferSurface::GetDevice(IDirect3DDevice8** device) {
    if (!device || !Source) return D3DERR_INVALIDCALL;
    *device = Source->AsDevice();
    (*device)->AddRef();
    return D3D_OK;
}

HRESULT BackBufferSurface::GetDesc(D3DSURFACE_DESC* desc) {
    if (!desc || !Source) return D3DERR_INVALIDCALL;
    UINT w = 0, h = 0;
    if (Locked)
        w = Width, h = Height;
    else if (!Source->BackBufferSize(w, h))
        return D3DERR_INVALIDCALL;
    *desc = {Source->BackBufferFormat(),
             D3DRTYPE_SURFACE,
             D3DUSAGE_RENDERTARGET,
             D3DPOOL_DEFAULT,
             w * h * 4,
             D3DMULTISAMPLE_NONE,
             w,
             h};
    return D3D_OK;
}

HRESULT BackBufferSurface::LockRect(D3DLOCKED_RECT* locked, const RECT* rect, DWORD) {
    if (!locked || !Source || Locked) return D3DERR_INVALIDCALL;
    if (!Source->ReadBackBuffer(Copy, Width, Height)) return D3DERR_INVALIDCALL;
    size_t offset = 0;
    if (rect) {
        if (rect->left < 0 || rect->top < 0 || rect->right > static_cast<LONG>(Width) ||
            rect->bottom > static_cast<LONG>(Height) || rect->left >= rect->right ||
            rect->top >= rect->bottom)
            return D3DERR_INVALIDCALL;
        offset = static_cast<size_t>(rect->top) * Width + rect->left;
    }
    Locked = true;
    locked->Pitch = static_cast<INT>(Width * 4);
    locked->pBits = Copy.data() + offset;
    return D3D_OK;
}

HRESULT BackBufferSurface::UnlockRect() {
    if (!Locked) return D3DERR_INVALIDCALL;
    Locked = false;
    return D3D_OK;
}

// ---- Vertex buffers ----------------------------------------------------------------------------

MemVertexBuffer::MemVertexBuffer(ResourceOwner* owner, UINT length, DWORD usage, DWORD fvf, D3DPOOL pool)
    : Length(length), Usage(usage), FVF(fvf), Pool(pool), Owner(owner) {}

MemVertexBuffer::~MemVertexBuffer() {
    if (Owner) Owner->BufferDestroyed(this);
}

ULONG MemVertexBuffer::Release() {
    const ULONG left = --Refs;
    if (left == 0) delete this;
    return left;
}

HRESULT MemVertexBuffer::GetDevice(IDirect3DDevice8** device) {
    if (!device || !Owner) return D3DERR_INVALIDCALL;
    *device = Owner->AsDevice();
    (*device)->AddRef();
    return D3D_OK;
}

// In steps of 64 KiB, so that a slowly rising fill does not copy the storage every frame.
bool MemVertexBuffer::Grow(size_t end) {
    if (end > Length) return false;
    if (end <= Bytes.size()) return true;
    constexpr size_t step = 64 * 1024;
    Bytes.resize(std::min<size_t>(Length, (end + step - 1) / step * step), 0);
    return true;
}

const std::uint8_t* MemVertexBuffer::Data(size_t end) {
    return Grow(end) ? Bytes.data() : nullptr;
}

HRESULT MemVertexBuffer::Lock(UINT offset, UINT size, BYTE** data, DWORD flags) {
    if (!data || offset > Length || (size && size > Length - offset)) return D3DERR_INVALIDCALL;
    if (!Grow(size ? static_cast<size_t>(offset) + size : Length)) return D3DERR_INVALIDCALL;
    Locked = true;
    *data = Bytes.data() + offset;
    if (Owner) Owner->BufferLocked(this, offset, size, flags);
    return D3D_OK;
}

HRESULT MemVertexBuffer::Unlock() {
    if (!Locked) return D3DERR_INVALIDCALL;
    Locked = false;
    if (Owner) Owner->BufferUnlocked(this);
    return D3D_OK;
}

HRESULT MemVertexBuffer::GetDesc(D3DVERTEXBUFFER_DESC* desc) {
    if (!desc) return D3DERR_INVALIDCALL;
    *desc = {D3DFMT_VERTEXDATA, D3DRTYPE_VERTEXBUFFER, Usage, Pool, Length, FVF};
    return D3D_OK;
}

} // namespace velmora::detail
