// A Direct3D 8 device that draws nothing and keeps every call, for tests without a display.
// Resources lock into plain memory; states, textures and transforms are kept so that the Get*
// calls and applied state blocks can be checked.
#pragma once

#include "platform/d3d8.h"

#include <cstdint>
#include <string>
#include <vector>

namespace velmora {

// One call: its name as in IDirect3DDevice8 and its arguments. Integers (enum values, counts,
// flags, colours, handles, tokens, and pointers as their address) go to Args; floats (matrices,
// Clear's z, light and viewport values) to Floats.
//   SetRenderState {state, value}            SetTextureStageState {stage, type, value}
//   SetTexture {stage, texture}              SetTransform {state} + 16 floats (row by row)
//   SetVertexShader {fvf}                    SetStreamSource {stream, buffer, stride}
//   DrawPrimitive {type, start, count}       DrawPrimitiveUP {type, count, stride}
//   Clear {count, flags, color, stencil} + {z}
//   BeginStateBlock {}  EndStateBlock {token}  ApplyStateBlock {token}  DeleteStateBlock {token}
//   CaptureStateBlock {token}
//   CreateTexture {width, height, levels, usage, format, pool, texture}
//   CreateVertexBuffer {length, usage, fvf, pool, buffer}
//   LockRect {texture, level, flags}  UnlockRect {texture, level}
//   Lock {buffer, offset, size, flags}  Unlock {buffer}
//   SetLight {index, type} + {direction x, y, z, diffuse r, g, b, a}   LightEnable {index, enable}
//   SetViewport {x, y, width, height} + {minZ, maxZ}   SetMaterial {}   SetRenderTarget {surface}
//   BeginScene {}  EndScene {}  Present {}  Reset {width, height, windowed}
// Queries (Get*, TestCooperativeLevel, GetAvailableTextureMem) are not recorded.
struct D3DCallRecord {
    std::string Name;
    std::vector<std::int64_t> Args;
    std::vector<float> Floats;
};

struct IRecordingDevice : IDirect3DDevice8 {
    virtual const std::vector<D3DCallRecord>& Calls() const = 0;
    virtual void ClearCalls() = 0;
    virtual std::vector<D3DCallRecord> CallsNamed(const std::string& name) const = 0;
    virtual int CountOf(const std::string& name) const = 0;
    // The Set* calls recorded into a state block (empty for an unknown or deleted token).
    virtual std::vector<D3DCallRecord> StateBlockCalls(DWORD token) const = 0;
    // The next call of that name fails with hr (creation calls then return no object).
    virtual void FailNextCall(const std::string& name, HRESULT hr) = 0;
    virtual void LoseDeviceOnce() = 0; // next TestCooperativeLevel answers D3DERR_DEVICENOTRESET
    virtual void SetAvailableTextureMem(UINT bytes) = 0;
    virtual int LiveTextures() const = 0;      // textures of this device not yet released
    virtual int LiveVertexBuffers() const = 0; // vertex buffers of this device not yet released
};

// A new recording device (reference count 1) with a back buffer of the given size.
IRecordingDevice* CreateRecordingDevice(UINT backBufferWidth = 800, UINT backBufferHeight = 600);

} // namespace velmora
