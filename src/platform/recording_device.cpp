// The recording device: keeps every call, draws nothing, and keeps the state a real device would.
#include "platform/recording_device.h"

#include "platform/device_common.h"

#include <cstring>
#include <map>

namespace velmora {

namespace {

using detail::StateOp;

std::int64_t Ptr(const void* p) {
    return static_cast<std::int64_t>(reinterpret_cast<std::intptr_t>(p));
}

class RecordingDevice final : public IRecordingDevice, detail::ResourceOwner, detail::BackBufferSource {
  public:
    RecordingDevice(UINT width, UINT height)
        : Width(width), Height(height), Pixels(size_t(width) * height, 0) {
        State.SetDefaults(width, height, false);
    }

    // ---- inspection ----
    const std::vector<D3DCallRecord>& Calls() const override { return Log; }
    void ClearCalls() override { Log.clear(); }
    std::vector<D3DCallRecord> CallsNamed(const std::string& name) const override {
        std::vector<D3DCallRecord> out;
        for (const auto& c : Log)
            if (c.Name == name) out.push_back(c);
        return out;
    }
    int CountOf(const std::string& name) const override {
        int n = 0;
        for (const auto& c : Log)
            n += c.Name == name;
        return n;
    }
    std::vector<D3DCallRecord> StateBlockCalls(DWORD token) const override {
        auto it = BlockRecords.find(token);
        return it == BlockRecords.end() || !Blocks.Find(token) ? std::vector<D3DCallRecord>{} : it->second;
    }
    void FailNextCall(const std::string& name, HRESULT hr) override { Failures[name] = hr; }
    void LoseDeviceOnce() override { LoseOnce = true; }
    void SetAvailableTextureMem(UINT bytes) override { TextureMem = bytes; }
    int LiveTextures() const override { return static_cast<int>(Textures.size()); }
    int LiveVertexBuffers() const override { return static_cast<int>(Buffers.size()); }

    // ---- IUnknown ----
    ULONG AddRef() override { return ++Refs; }
    ULONG Release() override {
        const ULONG left = --Refs;
        if (left == 0) delete this;
        return left;
    }

    // ---- queries ----
    HRESULT TestCooperativeLevel() override {
        if (LoseOnce || detail::TakeLoseDeviceOnce()) {
            LoseOnce = false;
            return D3DERR_DEVICENOTRESET;
        }
        return D3D_OK;
    }
    UINT GetAvailableTextureMem() override { return TextureMem; }
    HRESULT GetDirect3D(IDirect3D8** d3d) override {
        if (d3d) *d3d = nullptr;
        return D3DERR_NOTAVAILABLE;
    }
    HRESULT GetDeviceCaps(D3DCAPS8* caps) override {
        if (!caps) return D3DERR_INVALIDCALL;
        *caps = D3DStandardCaps();
        return D3D_OK;
    }
    HRESULT GetDisplayMode(D3DDISPLAYMODE* mode) override {
        if (!mode) return D3DERR_INVALIDCALL;
        *mode = {1024, 768, 60, D3DFMT_X8R8G8B8};
        return D3D_OK;
    }

    HRESULT Reset(D3DPRESENT_PARAMETERS* params) override {
        if (!params) return D3DERR_INVALIDCALL;
        if (params->BackBufferWidth) Width = params->BackBufferWidth;
        if (params->BackBufferHeight) Height = params->BackBufferHeight;
        Record("Reset", {Width, Height, params->Windowed});
        if (HRESULT hr = TakeFailure("Reset")) return hr;
        Pixels.assign(size_t(Width) * Height, 0);
        State.SetDefaults(Width, Height, params->EnableAutoDepthStencil);
        return D3D_OK;
    }
    HRESULT Present(const RECT*, const RECT*, HWND, const RGNDATA*) override { return Simple("Present"); }
    HRESULT GetBackBuffer(UINT index, D3DBACKBUFFER_TYPE, IDirect3DSurface8** surface) override {
        if (!surface || index != 0) return D3DERR_INVALIDCALL;
        *surface = new detail::BackBufferSurface(this);
        return D3D_OK;
    }

    HRESULT CreateTexture(UINT w, UINT h, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                          IDirect3DTexture8** texture) override {
        if (texture) *texture = nullptr;
        if (HRESULT hr = TakeFailure("CreateTexture")) {
            Record("CreateTexture", {w, h, levels, usage, format, pool, 0});
            return hr;
        }
        if (!texture || w == 0 || h == 0 || w > 4096 || h > 4096 || !detail::IsTextureFormat(format)) {
            Record("CreateTexture", {w, h, levels, usage, format, pool, 0});
            return D3DERR_INVALIDCALL;
        }
        auto* t = new detail::MemTexture(this, w, h, levels, usage, format, pool);
        Textures.insert(t);
        *texture = t;
        Record("CreateTexture", {w, h, levels, usage, format, pool, Ptr(t)});
        return D3D_OK;
    }
    HRESULT CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                               IDirect3DVertexBuffer8** buffer) override {
        if (buffer) *buffer = nullptr;
        if (HRESULT hr = TakeFailure("CreateVertexBuffer")) {
            Record("CreateVertexBuffer", {length, usage, fvf, pool, 0});
            return hr;
        }
        if (!buffer || length == 0) {
            Record("CreateVertexBuffer", {length, usage, fvf, pool, 0});
            return D3DERR_INVALIDCALL;
        }
        auto* b = new detail::MemVertexBuffer(this, length, usage, fvf, pool);
        Buffers.insert(b);
        *buffer = b;
        Record("CreateVertexBuffer", {length, usage, fvf, pool, Ptr(b)});
        return D3D_OK;
    }

    HRESULT SetRenderTarget(IDirect3DSurface8* target, IDirect3DSurface8*) override {
        Record("SetRenderTarget", {Ptr(target)});
        return TakeFailure("SetRenderTarget");
    }
    HRESULT GetRenderTarget(IDirect3DSurface8** target) override {
        return GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, target);
    }

    HRESULT BeginScene() override {
        if (InScene) {
            Record("BeginScene", {});
            return D3DERR_INVALIDCALL;
        }
        InScene = true;
        return Simple("BeginScene");
    }
    HRESULT EndScene() override {
        if (!InScene) {
            Record("EndScene", {});
            return D3DERR_INVALIDCALL;
        }
        InScene = false;
        return Simple("EndScene");
    }
    HRESULT Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float z,
                  DWORD stencil) override {
        Record("Clear", {count, flags, color, stencil}, {z});
        if (HRESULT hr = TakeFailure("Clear")) return hr;
        if (flags & D3DCLEAR_TARGET) ClearPixels(count, rects, color);
        return D3D_OK;
    }

    HRESULT SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* m) override {
        if (!m) return D3DERR_INVALIDCALL;
        std::vector<float> f(&m->m[0][0], &m->m[0][0] + 16);
        Record("SetTransform", {state}, f);
        StateOp op;
        op.What = StateOp::Transform;
        op.A = state;
        op.Matrix = *m;
        return SetState("SetTransform", op);
    }
    HRESULT GetTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* m) override {
        if (!m) return D3DERR_INVALIDCALL;
        if (state == D3DTS_VIEW)
            *m = State.View;
        else if (state == D3DTS_PROJECTION)
            *m = State.Projection;
        else if (state == D3DTS_WORLD)
            *m = State.World;
        else
            *m = D3DMatrixIdentity();
        return D3D_OK;
    }
    HRESULT SetViewport(const D3DVIEWPORT8* vp) override {
        if (!vp) return D3DERR_INVALIDCALL;
        Record("SetViewport", {vp->X, vp->Y, vp->Width, vp->Height}, {vp->MinZ, vp->MaxZ});
        StateOp op;
        op.What = StateOp::Viewport;
        op.ViewportData = *vp;
        return SetState("SetViewport", op);
    }
    HRESULT GetViewport(D3DVIEWPORT8* vp) override {
        if (!vp) return D3DERR_INVALIDCALL;
        *vp = State.Viewport;
        return D3D_OK;
    }
    HRESULT SetMaterial(const D3DMATERIAL8* m) override {
        if (!m) return D3DERR_INVALIDCALL;
        Record("SetMaterial", {});
        StateOp op;
        op.What = StateOp::Material;
        op.MaterialData = *m;
        return SetState("SetMaterial", op);
    }
    HRESULT SetLight(DWORD index, const D3DLIGHT8* l) override {
        if (!l) return D3DERR_INVALIDCALL;
        Record("SetLight", {index, l->Type},
               {l->Direction.x, l->Direction.y, l->Direction.z, l->Diffuse.r, l->Diffuse.g, l->Diffuse.b,
                l->Diffuse.a});
        if (index >= detail::MaxLights) return D3DERR_INVALIDCALL;
        StateOp op;
        op.What = StateOp::Light;
        op.A = index;
        op.LightData = *l;
        return SetState("SetLight", op);
    }
    HRESULT LightEnable(DWORD index, BOOL enable) override {
        Record("LightEnable", {index, enable});
        if (index >= detail::MaxLights) return D3DERR_INVALIDCALL;
        StateOp op;
        op.What = StateOp::LightEnable;
        op.A = index;
        op.B = enable ? 1 : 0;
        return SetState("LightEnable", op);
    }
    HRESULT SetRenderState(D3DRENDERSTATETYPE state, DWORD value) override {
        Record("SetRenderState", {state, value});
        if (state >= D3DRS_MAX) return D3DERR_INVALIDCALL;
        StateOp op;
        op.What = StateOp::RenderState;
        op.A = state;
        op.B = value;
        return SetState("SetRenderState", op);
    }
    HRESULT GetRenderState(D3DRENDERSTATETYPE state, DWORD* value) override {
        if (!value || state >= D3DRS_MAX) return D3DERR_INVALIDCALL;
        *value = State.Render[state];
        return D3D_OK;
    }

    HRESULT BeginStateBlock() override {
        Record("BeginStateBlock", {});
        if (HRESULT hr = TakeFailure("BeginStateBlock")) return hr;
        const HRESULT hr = Blocks.Begin();
        if (SUCCEEDED(hr)) PendingRecords.clear();
        return hr;
    }
    HRESULT EndStateBlock(DWORD* token) override {
        if (token) *token = 0;
        HRESULT hr = TakeFailure("EndStateBlock");
        if (hr == D3D_OK) hr = Blocks.End(token);
        if (SUCCEEDED(hr)) {
            BlockRecords[*token] = std::move(PendingRecords);
            PendingRecords.clear();
        }
        Record("EndStateBlock", {token ? *token : 0});
        return hr;
    }
    HRESULT ApplyStateBlock(DWORD token) override {
        Record("ApplyStateBlock", {token});
        if (HRESULT hr = TakeFailure("ApplyStateBlock")) return hr;
        const detail::StateOpList* block = Blocks.Find(token);
        if (!block || Blocks.Recording()) return D3DERR_INVALIDCALL;
        for (const StateOp& op : block->Ops())
            State.Apply(op);
        return D3D_OK;
    }
    HRESULT CaptureStateBlock(DWORD token) override {
        Record("CaptureStateBlock", {token});
        return Blocks.Capture(token, State);
    }
    HRESULT DeleteStateBlock(DWORD token) override {
        Record("DeleteStateBlock", {token});
        if (HRESULT hr = TakeFailure("DeleteStateBlock")) return hr;
        BlockRecords.erase(token);
        return Blocks.Delete(token);
    }

    HRESULT GetTexture(DWORD stage, IDirect3DBaseTexture8** texture) override {
        if (!texture || stage >= D3D_MAX_STAGES) return D3DERR_INVALIDCALL;
        *texture = State.Textures[stage];
        if (*texture) (*texture)->AddRef();
        return D3D_OK;
    }
    HRESULT SetTexture(DWORD stage, IDirect3DBaseTexture8* texture) override {
        Record("SetTexture", {stage, Ptr(texture)});
        if (stage >= D3D_MAX_STAGES) return D3DERR_INVALIDCALL;
        StateOp op;
        op.What = StateOp::Texture;
        op.A = stage;
        op.Object = texture;
        return SetState("SetTexture", op);
    }
    HRESULT GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD* value) override {
        if (!value || stage >= D3D_MAX_STAGES || type >= D3DTSS_MAX) return D3DERR_INVALIDCALL;
        *value = State.Stage[stage][type];
        return D3D_OK;
    }
    HRESULT SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) override {
        Record("SetTextureStageState", {stage, type, value});
        if (stage >= D3D_MAX_STAGES || type >= D3DTSS_MAX) return D3DERR_INVALIDCALL;
        StateOp op;
        op.What = StateOp::StageState;
        op.A = stage;
        op.B = type;
        op.C = value;
        return SetState("SetTextureStageState", op);
    }

    HRESULT DrawPrimitive(D3DPRIMITIVETYPE type, UINT start, UINT count) override {
        Record("DrawPrimitive", {type, start, count});
        if (HRESULT hr = TakeFailure("DrawPrimitive")) return hr;
        if (type < D3DPT_POINTLIST || type > D3DPT_TRIANGLEFAN || !State.Stream) return D3DERR_INVALIDCALL;
        return D3D_OK;
    }
    HRESULT DrawPrimitiveUP(D3DPRIMITIVETYPE type, UINT count, const void* data, UINT stride) override {
        Record("DrawPrimitiveUP", {type, count, stride});
        if (HRESULT hr = TakeFailure("DrawPrimitiveUP")) return hr;
        if (type < D3DPT_POINTLIST || type > D3DPT_TRIANGLEFAN || !data || !stride) return D3DERR_INVALIDCALL;
        // Direct3D unbinds stream 0 after a user-pointer draw.
        StateOp op;
        op.What = StateOp::Stream;
        State.Apply(op);
        return D3D_OK;
    }
    HRESULT SetVertexShader(DWORD fvf) override {
        Record("SetVertexShader", {fvf});
        StateOp op;
        op.What = StateOp::Shader;
        op.A = fvf;
        return SetState("SetVertexShader", op);
    }
    HRESULT GetVertexShader(DWORD* fvf) override {
        if (!fvf) return D3DERR_INVALIDCALL;
        *fvf = State.FVF;
        return D3D_OK;
    }
    HRESULT SetStreamSource(UINT stream, IDirect3DVertexBuffer8* buffer, UINT stride) override {
        Record("SetStreamSource", {stream, Ptr(buffer), stride});
        if (stream != 0) return D3DERR_INVALIDCALL;
        StateOp op;
        op.What = StateOp::Stream;
        op.Object = buffer;
        op.B = stride;
        return SetState("SetStreamSource", op);
    }
    HRESULT GetStreamSource(UINT stream, IDirect3DVertexBuffer8** buffer, UINT* stride) override {
        if (!buffer || !stride || stream != 0) return D3DERR_INVALIDCALL;
        *buffer = State.Stream;
        if (*buffer) (*buffer)->AddRef();
        *stride = State.Stride;
        return D3D_OK;
    }

  private:
    ~RecordingDevice() override {
        State.ReleaseObjects();
        for (auto* t : Textures)
            t->Owner = nullptr;
        for (auto* b : Buffers)
            b->Owner = nullptr;
    }

    // ResourceOwner
    void TextureLocked(detail::MemTexture* t, UINT level, DWORD flags) override {
        Record("LockRect", {Ptr(t), level, flags});
    }
    void TextureUnlocked(detail::MemTexture* t, UINT level) override {
        Record("UnlockRect", {Ptr(t), level});
    }
    void TextureDestroyed(detail::MemTexture* t) override { Textures.erase(t); }
    void BufferLocked(detail::MemVertexBuffer* b, UINT offset, UINT size, DWORD flags) override {
        Record("Lock", {Ptr(b), offset, size, flags});
    }
    void BufferUnlocked(detail::MemVertexBuffer* b) override { Record("Unlock", {Ptr(b)}); }
    void BufferDestroyed(detail::MemVertexBuffer* b) override { Buffers.erase(b); }
    IDirect3DDevice8* AsDevice() override { return this; }

    // BackBufferSource
    bool ReadBackBuffer(std::vector<std::uint32_t>& pixels, UINT& w, UINT& h) override {
        pixels = Pixels;
        w = Width;
        h = Height;
        return true;
    }
    bool BackBufferSize(UINT& w, UINT& h) override {
        w = Width;
        h = Height;
        return true;
    }
    D3DFORMAT BackBufferFormat() override { return D3DFMT_X8R8G8B8; }

    void Record(const char* name, std::initializer_list<std::int64_t> args, std::vector<float> floats = {}) {
        D3DCallRecord r{name, args, std::move(floats)};
        if (Blocks.Recording() && std::strncmp(name, "Set", 3) == 0 &&
            std::strcmp(name, "SetRenderTarget") != 0)
            PendingRecords.push_back(r);
        if (Blocks.Recording() && std::strcmp(name, "LightEnable") == 0) PendingRecords.push_back(r);
        Log.push_back(std::move(r));
    }
    HRESULT TakeFailure(const std::string& name) {
        auto it = Failures.find(name);
        if (it == Failures.end()) return D3D_OK;
        const HRESULT hr = it->second;
        Failures.erase(it);
        return hr;
    }
    HRESULT Simple(const char* name) {
        Record(name, {});
        return TakeFailure(name);
    }
    HRESULT SetState(const char* name, const StateOp& op) {
        if (HRESULT hr = TakeFailure(name)) return hr;
        if (Blocks.Recording())
            Blocks.Add(op);
        else
            State.Apply(op);
        return D3D_OK;
    }
    void ClearPixels(DWORD count, const D3DRECT* rects, D3DCOLOR color) {
        if (count == 0 || !rects) {
            std::fill(Pixels.begin(), Pixels.end(), color);
            return;
        }
        for (DWORD i = 0; i < count; ++i)
            for (LONG y = std::max<LONG>(0, rects[i].y1); y < std::min<LONG>(Height, rects[i].y2); ++y)
                for (LONG x = std::max<LONG>(0, rects[i].x1); x < std::min<LONG>(Width, rects[i].x2); ++x)
                    Pixels[size_t(y) * Width + x] = color;
    }

    ULONG Refs = 1;
    UINT Width, Height;
    std::vector<std::uint32_t> Pixels;
    detail::DeviceState State;
    detail::StateBlockStore Blocks;
    std::vector<D3DCallRecord> Log;
    std::vector<D3DCallRecord> PendingRecords;
    std::map<DWORD, std::vector<D3DCallRecord>> BlockRecords;
    std::map<std::string, HRESULT> Failures;
    std::set<detail::MemTexture*> Textures;
    std::set<detail::MemVertexBuffer*> Buffers;
    UINT TextureMem = 256u * 1024 * 1024;
    bool LoseOnce = false;
    bool InScene = false;
};

} // namespace

IRecordingDevice* CreateRecordingDevice(UINT backBufferWidth, UINT backBufferHeight) {
    return new RecordingDevice(backBufferWidth ? backBufferWidth : 800,
                               backBufferHeight ? backBufferHeight : 600);
}

} // namespace velmora
