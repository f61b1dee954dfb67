// Parts both devices share (local to the platform layer): the device state with its defaults,
// state-block recording, and resources that keep their contents in memory.
#pragma once

#include "platform/d3d8.h"

#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <vector>

namespace velmora::detail {

// One Set* call as a state block keeps it.
struct StateOp {
    enum Kind {
        RenderState,
        StageState,
        Texture,
        Transform,
        Light,
        LightEnable,
        Material,
        Viewport,
        Shader,
        Stream
    };
    Kind What = RenderState;
    DWORD A = 0, B = 0, C = 0;
    D3DMATRIX Matrix{};
    D3DLIGHT8 LightData{};
    D3DMATERIAL8 MaterialData{};
    D3DVIEWPORT8 ViewportData{};
    IUnknown* Object = nullptr; // texture or vertex buffer; the op holds a reference
};

class StateOpList {
  public:
    StateOpList() = default;
    StateOpList(const StateOpList&) = delete;
    StateOpList& operator=(const StateOpList&) = delete;
    ~StateOpList();
    void Add(const StateOp& op); // adds a reference to op.Object
    const std::vector<StateOp>& Ops() const { return List; }

  private:
    std::vector<StateOp> List;
};

constexpr int MaxLights = 8;

struct DeviceState {
    DWORD Render[D3DRS_MAX];
    DWORD Stage[D3D_MAX_STAGES][D3DTSS_MAX];
    IDirect3DBaseTexture8* Textures[D3D_MAX_STAGES] = {};
    D3DMATRIX World, View, Projection;
    D3DLIGHT8 Lights[MaxLights];
    bool LightOn[MaxLights];
    D3DMATERIAL8 Material;
    D3DVIEWPORT8 Viewport;
    DWORD FVF = 0;
    IDirect3DVertexBuffer8* Stream = nullptr;
    UINT Stride = 0;

    DeviceState() { SetDefaults(800, 600, false); }
    DeviceState(const DeviceState&) = delete;
    DeviceState& operator=(const DeviceState&) = delete;
    ~DeviceState() { ReleaseObjects(); }
    void SetDefaults(UINT width, UINT height, bool depthBuffer); // Direct3D's initial states
    void Apply(const StateOp& op);                               // what the Set* call does
    void ReleaseObjects();
};

// Records state blocks (between Begin and End) and keeps them by token.
class StateBlockStore {
  public:
    bool Recording() const { return Current != nullptr; }
    HRESULT Begin();
    void Add(const StateOp& op) { Current->Add(op); }
    HRESULT End(DWORD* token);
    const StateOpList* Find(DWORD token) const;
    HRESULT Delete(DWORD token);
    HRESULT Capture(DWORD token, const DeviceState& state); // updates the block's ops from the state

  private:
    std::unique_ptr<StateOpList> Current;
    std::map<DWORD, std::unique_ptr<StateOpList>> Blocks;
    DWORD NextToken = 1;
};

// What a device learns of its resources.
class ResourceOwner {
  public:
    virtual void TextureUnlocked(class MemTexture* texture, UINT level) = 0;
    virtual void TextureLocked(MemTexture* texture, UINT level, DWORD flags) = 0;
    virtual void TextureDestroyed(MemTexture* texture) = 0;
    virtual void BufferLocked(class MemVertexBuffer* buffer, UINT offset, UINT size, DWORD flags) = 0;
    virtual void BufferUnlocked(MemVertexBuffer* buffer) = 0;
    virtual void BufferDestroyed(MemVertexBuffer* buffer) = 0;
    virtual IDirect3DDevice8* AsDevice() = 0;

  protected:
    ~ResourceOwner() = default;
};

int BytesPerPixel(D3DFORMAT fmt); // 2 or 4 for the texture formats, 0 otherwise
bool IsTextureFormat(D3DFORMAT fmt);

// A managed texture: every level in memory, or (memoryCopy false) a level only while it is locked,
// the device keeping the pixels itself.
class MemTexture : public IDirect3DTexture8 {
  public:
    MemTexture(ResourceOwner* owner, UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format,
               D3DPOOL pool, bool memoryCopy = true);
    ULONG AddRef() override { return ++Refs; }
    ULONG Release() override;
    HRESULT GetDevice(IDirect3DDevice8** device) override;
    D3DRESOURCETYPE GetType() override { return D3DRTYPE_TEXTURE; }
    DWORD GetLevelCount() override { return static_cast<DWORD>(Levels.size()); }
    HRESULT GetLevelDesc(UINT level, D3DSURFACE_DESC* desc) override;
    HRESULT GetSurfaceLevel(UINT level, IDirect3DSurface8** surface) override;
    HRESULT LockRect(UINT level, D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) override;
    HRESULT UnlockRect(UINT level) override;

    struct Level {
        UINT Width, Height;
        std::vector<std::uint8_t> Bits;
        bool Locked = false;
    };
    std::vector<Level> Levels;
    D3DFORMAT Format;
    DWORD Usage;
    D3DPOOL Pool;
    ResourceOwner* Owner;              // nullptr once the device is gone
    unsigned GLName = 0;               // the OpenGL texture, when the GL device made one
    int Sampler[4] = {-1, -1, -1, -1}; // GL wrap s, wrap t, mag, min last set on GLName
    bool MipsOnDevice = false;         // the GL texture holds the levels below 0 too
    bool MipsDirty = false;
    const bool MemoryCopy;

    size_t LevelBytes(UINT level) const;
    void DropMemoryCopies(); // the pixels of every unlocked level, once the device holds them

    // Rebuilds every level below 0 from level 0 by 2x2 box filtering.
    void BuildMips();

  protected:
    ~MemTexture() override;

  private:
    ULONG Refs = 1;
};

// A surface: one level of a texture (holding a reference on it) or a device's back buffer.
class MemSurface : public IDirect3DSurface8 {
  public:
    MemSurface(MemTexture* texture, UINT level); // texture level
    ULONG AddRef() override { return ++Refs; }
    ULONG Release() override;
    HRESULT GetDevice(IDirect3DDevice8** device) override;
    HRESULT GetDesc(D3DSURFACE_DESC* desc) override;
    HRESULT LockRect(D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) override;
    HRESULT UnlockRect() override;

  protected:
    ~MemSurface() override;

  private:
    MemTexture* Texture;
    UINT LevelIndex;
    ULONG Refs = 1;
};

// A back buffer: reading it asks the device for the pixels of what was drawn.
class BackBufferSource {
  public:
    virtual bool ReadBackBuffer(std::vector<std::uint32_t>& pixels, UINT& width, UINT& height) = 0;
    virtual bool BackBufferSize(UINT& width, UINT& height) = 0; // without reading any pixel
    virtual IDirect3DDevice8* AsDevice() = 0;
    virtual D3DFORMAT BackBufferFormat() = 0;

  protected:
    ~BackBufferSource() = default;
};

class BackBufferSurface : public IDirect3DSurface8 {
  public:
    explicit BackBufferSurface(BackBufferSource* source); // holds a reference on the device
    ULONG AddRef() override { return ++Refs; }
    ULONG Release() override;
    HRESULT GetDevice(IDirect3DDevice8** device) override;
    HRESULT GetDesc(D3DSURFACE_DESC* desc) override;
    HRESULT LockRect(D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) override;
    HRESULT UnlockRect() override;
    BackBufferSource* Source;

  protected:
    ~BackBufferSurface() override;

  private:
    ULONG Refs = 1;
    std::vector<std::uint32_t> Copy;
    UINT Width = 0, Height = 0;
    bool Locked = false;
};

class MemVertexBuffer : public IDirect3DVertexBuffer8 {
  public:
    MemVertexBuffer(ResourceOwner* owner, UINT length, DWORD usage, DWORD fvf, D3DPOOL pool);
    ULONG AddRef() override { return ++Refs; }
    ULONG Release() override;
    HRESULT GetDevice(IDirect3DDevice8** device) override;
    D3DRESOURCETYPE GetType() override { return D3DRTYPE_VERTEXBUFFER; }
    HRESULT Lock(UINT offset, UINT size, BYTE** data, DWORD flags) override;
    HRESULT Unlock() override;
    HRESULT GetDesc(D3DVERTEXBUFFER_DESC* desc) override;
    // The first `end` bytes (end <= Length), zero where never written; nullptr past Length.
    const std::uint8_t* Data(size_t end);

    // Storage grows to what is locked, not to Length: a big buffer of which a frame fills only
    // the start (the particle quads) keeps no untouched copy.
    std::vector<std::uint8_t> Bytes;
    UINT Length;
    DWORD Usage, FVF;
    D3DPOOL Pool;
    ResourceOwner* Owner;
    bool Locked = false;

  protected:
    ~MemVertexBuffer() override;

  private:
    bool Grow(size_t end);
    ULONG Refs = 1;
};

// Global switch of the test hook that makes TestCooperativeLevel report a lost device once.
bool TakeLoseDeviceOnce();

} // namespace velmora::detail
