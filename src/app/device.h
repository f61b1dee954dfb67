// The Direct3D-shaped object and device every drawing class uses, and what the frame learned of them.
// The application frame sets these; unit tests point Device at the recording device.
#pragma once

#include "platform/d3d8.h"

namespace velmora {

extern IDirect3D8* D3D;
extern IDirect3DDevice8* Device;
extern D3DCAPS8 Caps;
extern D3DFORMAT TextureFormat; // best texture format, chosen at device set-up

// Capability flags read once from Caps; the render-state blocks consult them.
struct TCapsFlags {
    bool TLVertex = false;         // DevCaps 0x400
    bool AlphaTextures = false;    // TextureCaps 0x4
    bool SquareOnly = false;       // TextureCaps 0x20
    bool AlphaGouraud = false;     // ShadeCaps 0x4000
    bool LinearMin = false;        // TextureFilterCaps 0x200
    bool LinearMag = false;        // TextureFilterCaps bit 25
    bool BlendFactorAlpha = false; // TextureOpCaps 0x2000
    bool BlendDiffuseAlpha = false;// 0x800
    bool BlendTextureAlpha = false;// 0x1000
    bool SelectArg1 = false;       // 0x2
    bool SelectArg2Modulate = false; // 0x4 and 0x8
    bool Mirror = false;           // TextureAddressCaps 0x2
    bool Wrap = false;             // TextureAddressCaps 0x1
};
extern TCapsFlags CapsFlags;
void ReadCapsFlags(const D3DCAPS8& caps, TCapsFlags& out);

} // namespace velmora
