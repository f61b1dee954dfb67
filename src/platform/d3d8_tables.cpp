// The published Direct3D 8 tables: result codes with their names and texts, format names and
// sizes, and the small helpers both devices share.
#include "platform/d3d8.h"

#include <cstdio>
#include <cstring>

namespace velmora {

namespace {

struct ErrorEntry {
    HRESULT Code;
    const char* Name;
    const char* Description;
};

const ErrorEntry ErrorTable[] = {
    {D3D_OK, "D3D_OK", "No error occurred."},
    {S_FALSE, "S_FALSE", "Call succeeded, but the result is false."},
    {E_NOTIMPL, "E_NOTIMPL", "Not implemented."},
    {E_NOINTERFACE, "E_NOINTERFACE", "No object interface is available."},
    {E_POINTER, "E_POINTER", "Invalid pointer."},
    {E_FAIL, "E_FAIL", "An undetermined error occurred inside the Direct3D subsystem."},
    {E_OUTOFMEMORY, "E_OUTOFMEMORY", "Direct3D could not allocate sufficient memory to complete the call."},
    {E_INVALIDARG, "E_INVALIDARG", "An invalid parameter was passed to the returning function."},
    {D3DERR_WRONGTEXTUREFORMAT, "D3DERR_WRONGTEXTUREFORMAT",
     "The pixel format of the texture surface is not valid."},
    {D3DERR_UNSUPPORTEDCOLOROPERATION, "D3DERR_UNSUPPORTEDCOLOROPERATION",
     "The device does not support a specified texture-blending operation for color values."},
    {D3DERR_UNSUPPORTEDCOLORARG, "D3DERR_UNSUPPORTEDCOLORARG",
     "The device does not support a specified texture-blending argument for color values."},
    {D3DERR_UNSUPPORTEDALPHAOPERATION, "D3DERR_UNSUPPORTEDALPHAOPERATION",
     "The device does not support a specified texture-blending operation for the alpha channel."},
    {D3DERR_UNSUPPORTEDALPHAARG, "D3DERR_UNSUPPORTEDALPHAARG",
     "The device does not support a specified texture-blending argument for the alpha channel."},
    {D3DERR_TOOMANYOPERATIONS, "D3DERR_TOOMANYOPERATIONS",
     "The application is requesting more texture-filtering operations than the device supports."},
    {D3DERR_CONFLICTINGTEXTUREFILTER, "D3DERR_CONFLICTINGTEXTUREFILTER",
     "The current texture filters cannot be used together."},
    {D3DERR_UNSUPPORTEDFACTORVALUE, "D3DERR_UNSUPPORTEDFACTORVALUE",
     "The device does not support the specified texture factor value."},
    {D3DERR_CONFLICTINGRENDERSTATE, "D3DERR_CONFLICTINGRENDERSTATE",
     "The currently set render states cannot be used together."},
    {D3DERR_UNSUPPORTEDTEXTUREFILTER, "D3DERR_UNSUPPORTEDTEXTUREFILTER",
     "The device does not support the specified texture filter."},
    {D3DERR_CONFLICTINGTEXTUREPALETTE, "D3DERR_CONFLICTINGTEXTUREPALETTE",
     "The current textures cannot be used simultaneously."},
    {D3DERR_DRIVERINTERNALERROR, "D3DERR_DRIVERINTERNALERROR", "Internal driver error."},
    {D3DERR_NOTFOUND, "D3DERR_NOTFOUND", "The requested item was not found."},
    {D3DERR_MOREDATA, "D3DERR_MOREDATA",
     "There is more data available than the specified buffer size can hold."},
    {D3DERR_DEVICELOST, "D3DERR_DEVICELOST",
     "The device is lost and cannot be restored at the current time, so rendering is not possible."},
    {D3DERR_DEVICENOTRESET, "D3DERR_DEVICENOTRESET",
     "The device has been lost but can be reset at this time."},
    {D3DERR_NOTAVAILABLE, "D3DERR_NOTAVAILABLE", "This device does not support the queried technique."},
    {D3DERR_OUTOFVIDEOMEMORY, "D3DERR_OUTOFVIDEOMEMORY",
     "Direct3D does not have enough display memory to perform the operation."},
    {D3DERR_INVALIDDEVICE, "D3DERR_INVALIDDEVICE", "The requested device type is not valid."},
    {D3DERR_INVALIDCALL, "D3DERR_INVALIDCALL",
     "The method call is invalid. For example, a method's parameter may have an invalid value."},
    {D3DERR_DRIVERINVALIDCALL, "D3DERR_DRIVERINVALIDCALL", "Not used."},
};

const ErrorEntry* FindError(HRESULT hr) {
    for (const ErrorEntry& e : ErrorTable)
        if (e.Code == hr) return &e;
    return nullptr;
}

struct FormatEntry {
    D3DFORMAT Format;
    const char* Name;
    int Bits;
};

const FormatEntry FormatTable[] = {
    {D3DFMT_UNKNOWN, "UNKNOWN", 0},
    {D3DFMT_R8G8B8, "R8G8B8", 24},
    {D3DFMT_A8R8G8B8, "A8R8G8B8", 32},
    {D3DFMT_X8R8G8B8, "X8R8G8B8", 32},
    {D3DFMT_R5G6B5, "R5G6B5", 16},
    {D3DFMT_X1R5G5B5, "X1R5G5B5", 16},
    {D3DFMT_A1R5G5B5, "A1R5G5B5", 16},
    {D3DFMT_A4R4G4B4, "A4R4G4B4", 16},
    {D3DFMT_R3G3B2, "R3G3B2", 8},
    {D3DFMT_A8, "A8", 8},
    {D3DFMT_A8R3G3B2, "A8R3G3B2", 16},
    {D3DFMT_X4R4G4B4, "X4R4G4B4", 16},
    {D3DFMT_A2B10G10R10, "A2B10G10R10", 32},
    {D3DFMT_G16R16, "G16R16", 32},
    {D3DFMT_A8P8, "A8P8", 16},
    {D3DFMT_P8, "P8", 8},
    {D3DFMT_L8, "L8", 8},
    {D3DFMT_A8L8, "A8L8", 16},
    {D3DFMT_A4L4, "A4L4", 8},
    {D3DFMT_V8U8, "V8U8", 16},
    {D3DFMT_L6V5U5, "L6V5U5", 16},
    {D3DFMT_X8L8V8U8, "X8L8V8U8", 32},
    {D3DFMT_Q8W8V8U8, "Q8W8V8U8", 32},
    {D3DFMT_V16U16, "V16U16", 32},
    {D3DFMT_W11V11U10, "W11V11U10", 32},
    {D3DFMT_A2W10V10U10, "A2W10V10U10", 32},
    {D3DFMT_UYVY, "UYVY", 16},
    {D3DFMT_YUY2, "YUY2", 16},
    {D3DFMT_DXT1, "DXT1", 4},
    {D3DFMT_DXT2, "DXT2", 8},
    {D3DFMT_DXT3, "DXT3", 8},
    {D3DFMT_DXT4, "DXT4", 8},
    {D3DFMT_DXT5, "DXT5", 8},
    {D3DFMT_D16_LOCKABLE, "D16_LOCKABLE", 16},
    {D3DFMT_D32, "D32", 32},
    {D3DFMT_D15S1, "D15S1", 16},
    {D3DFMT_D24S8, "D24S8", 32},
    {D3DFMT_D16, "D16", 16},
    {D3DFMT_D24X8, "D24X8", 32},
    {D3DFMT_D24X4S4, "D24X4S4", 32},
    {D3DFMT_VERTEXDATA, "VERTEXDATA", 0},
    {D3DFMT_INDEX16, "INDEX16", 16},
    {D3DFMT_INDEX32, "INDEX32", 32},
};

const FormatEntry* FindFormat(D3DFORMAT fmt) {
    for (const FormatEntry& e : FormatTable)
        if (e.Format == fmt) return &e;
    return nullptr;
}

} // namespace

std::string D3DErrorName(HRESULT hr) {
    if (const ErrorEntry* e = FindError(hr)) return e->Name;
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%08X", static_cast<unsigned>(hr));
    return buf;
}

std::string D3DErrorDescription(HRESULT hr) {
    if (const ErrorEntry* e = FindError(hr)) return e->Description;
    return "Unrecognized Error";
}

std::string D3DFormatName(D3DFORMAT fmt) {
    const FormatEntry* e = FindFormat(fmt);
    return e ? e->Name : "UNKNOWN";
}

D3DFORMAT D3DFormatFromName(const std::string& name) {
    const std::string bare = name.rfind("D3DFMT_", 0) == 0 ? name.substr(7) : name;
    for (const FormatEntry& e : FormatTable)
        if (bare == e.Name) return e.Format;
    return D3DFMT_UNKNOWN;
}

int D3DFormatBits(D3DFORMAT fmt) {
    const FormatEntry* e = FindFormat(fmt);
    return e ? e->Bits : 0;
}

UINT D3DFVFVertexSize(DWORD fvf) {
    UINT size = 0;
    switch (fvf & D3DFVF_POSITION_MASK) {
    case 0:
        break;
    case D3DFVF_XYZ:
        size += 12;
        break;
    case D3DFVF_XYZRHW:
        size += 16;
        break;
    default:
        size += 12 + 4 * (((fvf & D3DFVF_POSITION_MASK) - 4) / 2);
        break; // XYZB1..B5
    }
    if (fvf & D3DFVF_NORMAL) size += 12;
    if (fvf & D3DFVF_PSIZE) size += 4;
    if (fvf & D3DFVF_DIFFUSE) size += 4;
    if (fvf & D3DFVF_SPECULAR) size += 4;
    const DWORD texCount = (fvf & D3DFVF_TEXCOUNT_MASK) >> D3DFVF_TEXCOUNT_SHIFT;
    if (texCount > 8) return 0;
    size += 8 * texCount;
    return size;
}

D3DMATRIX D3DMatrixIdentity() {
    D3DMATRIX m{};
    for (int i = 0; i < 4; ++i)
        m.m[i][i] = 1.0f;
    return m;
}

D3DMATRIX D3DMatrixMultiply(const D3DMATRIX& a, const D3DMATRIX& b) {
    D3DMATRIX r{};
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) {
            float s = 0;
            for (int k = 0; k < 4; ++k)
                s += a.m[i][k] * b.m[k][j];
            r.m[i][j] = s;
        }
    return r;
}

D3DCAPS8 D3DStandardCaps() {
    D3DCAPS8 c{};
    c.DeviceType = D3DDEVTYPE_HAL;
    c.AdapterOrdinal = 0;
    c.Caps2 = D3DCAPS2_CANRENDERWINDOWED | D3DCAPS2_DYNAMICTEXTURES;
    c.PresentationIntervals = D3DPRESENT_INTERVAL_ONE | D3DPRESENT_INTERVAL_IMMEDIATE;
    c.CursorCaps = D3DCURSORCAPS_COLOR;
    c.DevCaps = D3DDEVCAPS_EXECUTESYSTEMMEMORY | D3DDEVCAPS_TLVERTEXSYSTEMMEMORY |
                D3DDEVCAPS_TEXTURESYSTEMMEMORY | D3DDEVCAPS_TEXTUREVIDEOMEMORY | D3DDEVCAPS_DRAWPRIMTLVERTEX |
                D3DDEVCAPS_CANRENDERAFTERFLIP | D3DDEVCAPS_DRAWPRIMITIVES2 | D3DDEVCAPS_DRAWPRIMITIVES2EX |
                D3DDEVCAPS_HWRASTERIZATION;
    c.PrimitiveMiscCaps = D3DPMISCCAPS_MASKZ | D3DPMISCCAPS_CULLNONE | D3DPMISCCAPS_CULLCW |
                          D3DPMISCCAPS_CULLCCW | D3DPMISCCAPS_COLORWRITEENABLE | D3DPMISCCAPS_BLENDOP;
    c.RasterCaps = D3DPRASTERCAPS_DITHER | D3DPRASTERCAPS_ZTEST | D3DPRASTERCAPS_FOGVERTEX |
                   D3DPRASTERCAPS_FOGTABLE | D3DPRASTERCAPS_MIPMAPLODBIAS | D3DPRASTERCAPS_FOGRANGE;
    c.ZCmpCaps = c.AlphaCmpCaps = 0xFF;
    c.SrcBlendCaps = c.DestBlendCaps = 0x7FF;
    c.ShadeCaps = D3DPSHADECAPS_COLORGOURAUDRGB | D3DPSHADECAPS_SPECULARGOURAUDRGB |
                  D3DPSHADECAPS_ALPHAGOURAUDBLEND | D3DPSHADECAPS_FOGGOURAUD;
    c.TextureCaps = D3DPTEXTURECAPS_PERSPECTIVE | D3DPTEXTURECAPS_POW2 | D3DPTEXTURECAPS_ALPHA |
                    D3DPTEXTURECAPS_PROJECTED | D3DPTEXTURECAPS_MIPMAP;
    c.TextureFilterCaps = D3DPTFILTERCAPS_MINFPOINT | D3DPTFILTERCAPS_MINFLINEAR | D3DPTFILTERCAPS_MIPFPOINT |
                          D3DPTFILTERCAPS_MIPFLINEAR | D3DPTFILTERCAPS_MAGFPOINT | D3DPTFILTERCAPS_MAGFLINEAR;
    c.TextureAddressCaps = D3DPTADDRESSCAPS_WRAP | D3DPTADDRESSCAPS_MIRROR | D3DPTADDRESSCAPS_CLAMP |
                           D3DPTADDRESSCAPS_INDEPENDENTUV;
    c.LineCaps = D3DLINECAPS_TEXTURE | D3DLINECAPS_ZTEST | D3DLINECAPS_BLEND | D3DLINECAPS_ALPHACMP;
    c.MaxTextureWidth = c.MaxTextureHeight = 2048;
    c.MaxTextureRepeat = 8192;
    c.MaxTextureAspectRatio = 2048;
    c.MaxAnisotropy = 1;
    c.MaxVertexW = 1e10f;
    c.GuardBandLeft = c.GuardBandTop = -8192.0f;
    c.GuardBandRight = c.GuardBandBottom = 8192.0f;
    c.FVFCaps = 8;
    c.TextureOpCaps = D3DTEXOPCAPS_DISABLE | D3DTEXOPCAPS_SELECTARG1 | D3DTEXOPCAPS_SELECTARG2 |
                      D3DTEXOPCAPS_MODULATE | D3DTEXOPCAPS_MODULATE2X | D3DTEXOPCAPS_MODULATE4X |
                      D3DTEXOPCAPS_ADD | D3DTEXOPCAPS_ADDSIGNED | D3DTEXOPCAPS_SUBTRACT |
                      D3DTEXOPCAPS_BLENDDIFFUSEALPHA | D3DTEXOPCAPS_BLENDTEXTUREALPHA |
                      D3DTEXOPCAPS_BLENDFACTORALPHA | D3DTEXOPCAPS_BLENDCURRENTALPHA;
    c.MaxTextureBlendStages = 1;
    c.MaxSimultaneousTextures = 1;
    c.VertexProcessingCaps = D3DVTXPCAPS_DIRECTIONALLIGHTS;
    c.MaxActiveLights = 8;
    c.MaxPointSize = 64.0f;
    c.MaxPrimitiveCount = 0xFFFFF;
    c.MaxVertexIndex = 0xFFFFF;
    c.MaxStreams = 1;
    c.MaxStreamStride = 256;
    return c;
}

} // namespace velmora
