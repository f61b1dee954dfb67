#include "app/device.h"

namespace velmora {

IDirect3D8* D3D = nullptr;
IDirect3DDevice8* Device = nullptr;
D3DCAPS8 Caps{};
D3DFORMAT TextureFormat = D3DFMT_UNKNOWN;
TCapsFlags CapsFlags;

void ReadCapsFlags(const D3DCAPS8& caps, TCapsFlags& out) {
    out.TLVertex = (caps.DevCaps & 0x400) != 0;
    out.AlphaTextures = (caps.TextureCaps & 0x4) != 0;
    out.SquareOnly = (caps.TextureCaps & 0x20) != 0;
    out.AlphaGouraud = (caps.ShadeCaps & 0x4000) != 0;
    out.LinearMin = (caps.TextureFilterCaps & 0x200) != 0;
    out.LinearMag = (caps.TextureFilterCaps & (1u << 25)) != 0;
    out.BlendFactorAlpha = (caps.TextureOpCaps & 0x2000) != 0;
    out.BlendDiffuseAlpha = (caps.TextureOpCaps & 0x800) != 0;
    out.BlendTextureAlpha = (caps.TextureOpCaps & 0x1000) != 0;
    out.SelectArg1 = (caps.TextureOpCaps & 0x2) != 0;
    out.SelectArg2Modulate = (caps.TextureOpCaps & 0xC) == 0xC;
    out.Mirror = (caps.TextureAddressCaps & 0x2) != 0;
    out.Wrap = (caps.TextureAddressCaps & 0x1) != 0;
}

} // namespace velmora
