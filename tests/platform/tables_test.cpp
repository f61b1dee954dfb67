// Published Direct3D 8 values, names and texts: logs and data files depend on them.
#include "platform/d3d8.h"
#include "platform/dinput8.h"

#include <gtest/gtest.h>

using namespace velmora;

TEST(FormatTable, NamesRoundTripForEveryNamedFormat) {
    const D3DFORMAT all[] = {D3DFMT_R8G8B8,   D3DFMT_A8R8G8B8, D3DFMT_X8R8G8B8,   D3DFMT_R5G6B5,
                             D3DFMT_X1R5G5B5, D3DFMT_A1R5G5B5, D3DFMT_A4R4G4B4,   D3DFMT_X4R4G4B4,
                             D3DFMT_A8,       D3DFMT_P8,       D3DFMT_L8,         D3DFMT_DXT1,
                             D3DFMT_DXT5,     D3DFMT_D16,      D3DFMT_D24S8,      D3DFMT_D16_LOCKABLE,
                             D3DFMT_INDEX16,  D3DFMT_INDEX32,  D3DFMT_VERTEXDATA, D3DFMT_UYVY};
    for (D3DFORMAT f : all) {
        const std::string name = D3DFormatName(f);
        EXPECT_NE(name, "UNKNOWN") << f;
        EXPECT_EQ(D3DFormatFromName(name), f) << name;
        EXPECT_EQ(D3DFormatFromName("D3DFMT_" + name), f) << name;
    }
}

TEST(FormatTable, PublishedCodesAndNames) {
    EXPECT_EQ(D3DFMT_R8G8B8, 20u);
    EXPECT_EQ(D3DFMT_A8R8G8B8, 21u);
    EXPECT_EQ(D3DFMT_X8R8G8B8, 22u);
    EXPECT_EQ(D3DFMT_R5G6B5, 23u);
    EXPECT_EQ(D3DFMT_X1R5G5B5, 24u);
    EXPECT_EQ(D3DFMT_A1R5G5B5, 25u);
    EXPECT_EQ(D3DFMT_A4R4G4B4, 26u);
    EXPECT_EQ(D3DFMT_X4R4G4B4, 30u);
    EXPECT_EQ(D3DFMT_DXT1, 0x31545844u);
    EXPECT_EQ(D3DFormatName(D3DFMT_A8R8G8B8), "A8R8G8B8");
    EXPECT_EQ(D3DFormatName(D3DFMT_R5G6B5), "R5G6B5");
    EXPECT_EQ(D3DFormatName(D3DFMT_DXT3), "DXT3");
}

TEST(FormatTable, UnnamedCodesAreUnknown) {
    EXPECT_EQ(D3DFormatName(static_cast<D3DFORMAT>(33)), "UNKNOWN");
    EXPECT_EQ(D3DFormatName(static_cast<D3DFORMAT>(12345)), "UNKNOWN");
    EXPECT_EQ(D3DFormatFromName("a8r8g8b8"), D3DFMT_UNKNOWN); // names compare exactly
    EXPECT_EQ(D3DFormatFromName(""), D3DFMT_UNKNOWN);
}

TEST(FormatTable, BitsPerPixel) {
    EXPECT_EQ(D3DFormatBits(D3DFMT_A8R8G8B8), 32);
    EXPECT_EQ(D3DFormatBits(D3DFMT_X8R8G8B8), 32);
    EXPECT_EQ(D3DFormatBits(D3DFMT_R8G8B8), 24);
    EXPECT_EQ(D3DFormatBits(D3DFMT_R5G6B5), 16);
    EXPECT_EQ(D3DFormatBits(D3DFMT_A4R4G4B4), 16);
    EXPECT_EQ(D3DFormatBits(D3DFMT_X1R5G5B5), 16);
    EXPECT_EQ(D3DFormatBits(D3DFMT_DXT1), 4);
    EXPECT_EQ(D3DFormatBits(static_cast<D3DFORMAT>(99)), 0);
}

TEST(ResultCodes, PublishedValues) {
    EXPECT_EQ(static_cast<unsigned>(D3DERR_OUTOFVIDEOMEMORY), 0x8876017Cu);
    EXPECT_EQ(static_cast<unsigned>(D3DERR_INVALIDCALL), 0x8876086Cu);
    EXPECT_EQ(static_cast<unsigned>(D3DERR_DEVICELOST), 0x88760868u);
    EXPECT_EQ(static_cast<unsigned>(D3DERR_DEVICENOTRESET), 0x88760869u);
    EXPECT_EQ(static_cast<unsigned>(D3DERR_NOTAVAILABLE), 0x8876086Au);
    EXPECT_EQ(static_cast<unsigned>(E_OUTOFMEMORY), 0x8007000Eu);
    EXPECT_TRUE(FAILED(D3DERR_INVALIDCALL));
    EXPECT_TRUE(SUCCEEDED(D3D_OK));
    EXPECT_TRUE(SUCCEEDED(S_FALSE));
}

TEST(ResultCodes, NamesAndDescriptions) {
    EXPECT_EQ(D3DErrorName(D3DERR_INVALIDCALL), "D3DERR_INVALIDCALL");
    EXPECT_EQ(D3DErrorName(D3D_OK), "D3D_OK");
    EXPECT_EQ(D3DErrorName(static_cast<HRESULT>(0x80001234u)), "0x80001234");
    EXPECT_EQ(D3DErrorDescription(D3DERR_OUTOFVIDEOMEMORY),
              "Direct3D does not have enough display memory to perform the operation.");
    EXPECT_EQ(D3DErrorDescription(E_OUTOFMEMORY),
              "Direct3D could not allocate sufficient memory to complete the call.");
    EXPECT_EQ(D3DErrorDescription(static_cast<HRESULT>(0x80001234u)), "Unrecognized Error");
    EXPECT_EQ(D3DErrorDescription(static_cast<HRESULT>(0x82000001u)), "Unrecognized Error");
}

TEST(StateCodes, PublishedValuesTheStateBlocksUse) {
    EXPECT_EQ(D3DRS_ZENABLE, 7u);
    EXPECT_EQ(D3DRS_SHADEMODE, 9u);
    EXPECT_EQ(D3DRS_ALPHABLENDENABLE, 27u);
    EXPECT_EQ(D3DRS_SRCBLEND, 19u);
    EXPECT_EQ(D3DRS_DESTBLEND, 20u);
    EXPECT_EQ(D3DRS_CULLMODE, 22u);
    EXPECT_EQ(D3DRS_TEXTUREFACTOR, 60u);
    EXPECT_EQ(D3DRS_CLIPPING, 136u);
    EXPECT_EQ(D3DRS_LIGHTING, 137u);
    EXPECT_EQ(D3DRS_VERTEXBLEND, 151u);
    EXPECT_EQ(D3DRS_INDEXEDVERTEXBLENDENABLE, 167u);
    EXPECT_EQ(D3DTSS_COLOROP, 1u);
    EXPECT_EQ(D3DTSS_ADDRESSU, 13u);
    EXPECT_EQ(D3DTSS_MAGFILTER, 16u);
    EXPECT_EQ(D3DTSS_MIPFILTER, 18u);
    EXPECT_EQ(D3DTSS_TEXTURETRANSFORMFLAGS, 24u);
    EXPECT_EQ(D3DTOP_SELECTARG1, 2u);
    EXPECT_EQ(D3DTOP_MODULATE, 4u);
    EXPECT_EQ(D3DTOP_ADD, 7u);
    EXPECT_EQ(D3DTADDRESS_MIRROR, 2u);
    EXPECT_EQ(D3DTS_WORLD, 256u);
    EXPECT_EQ(D3DPT_TRIANGLEFAN, 6u);
}

TEST(VertexFormats, SizesOfTheGameFormats) {
    EXPECT_EQ(D3DFVFVertexSize(D3DFVF_XYZ | D3DFVF_DIFFUSE), 16u);
    EXPECT_EQ(D3DFVFVertexSize(D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_DIFFUSE), 28u);
    EXPECT_EQ(D3DFVFVertexSize(D3DFVF_XYZRHW | D3DFVF_TEX1), 24u);
    EXPECT_EQ(D3DFVFVertexSize(D3DFVF_XYZ | D3DFVF_TEX1), 20u);
    EXPECT_EQ(D3DFVFVertexSize(D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_TEX1), 24u);
    EXPECT_EQ(D3DFVFVertexSize(0xF00 | D3DFVF_XYZ), 0u); // 15 coordinate sets do not exist
}

TEST(Caps, EveryCapabilityTheGameChecksIsOffered) {
    const D3DCAPS8 c = D3DStandardCaps();
    EXPECT_TRUE(c.DevCaps & 0x400);
    EXPECT_TRUE(c.TextureCaps & 0x4);
    EXPECT_FALSE(c.TextureCaps & 0x20); // not square-only
    EXPECT_TRUE(c.ShadeCaps & 0x4000);
    EXPECT_TRUE(c.TextureFilterCaps & 0x200);
    EXPECT_TRUE(c.TextureFilterCaps & (1u << 25));
    for (DWORD op : {0x2u, 0x4u, 0x8u, 0x800u, 0x1000u, 0x2000u})
        EXPECT_TRUE(c.TextureOpCaps & op) << op;
    EXPECT_TRUE(c.TextureAddressCaps & 0x1);
    EXPECT_TRUE(c.TextureAddressCaps & 0x2);
    EXPECT_TRUE(c.Caps2 & 0x80000);
    EXPECT_GE(c.MaxTextureWidth, 1024u);
}

TEST(Matrices, MultiplyUsesRowVectors) {
    D3DMATRIX scale = D3DMatrixIdentity(), move = D3DMatrixIdentity();
    scale.m[0][0] = 2;
    move.m[3][0] = 5; // translation lives in the last row
    const D3DMATRIX both = D3DMatrixMultiply(scale, move);
    // (1, 0, 0, 1) * scale * move = (2 + 5, 0, 0, 1)
    EXPECT_FLOAT_EQ(both.m[0][0] * 1 + both.m[3][0], 7.0f);
    EXPECT_FLOAT_EQ(D3DMatrixMultiply(move, scale).m[3][0], 10.0f);
}

TEST(DirectInput, CreatesTheObjectAndHonoursTheFailureSwitch) {
    void* out = nullptr;
    ASSERT_EQ(DirectInput8Create(nullptr, DIRECTINPUT_VERSION, IID_IDirectInput8, &out, nullptr), DI_OK);
    ASSERT_NE(out, nullptr);
    EXPECT_EQ(static_cast<IDirectInput8*>(out)->Release(), 0u);

    EXPECT_EQ(DirectInput8Create(nullptr, 0x0700, IID_IDirectInput8, &out, nullptr),
              DIERR_OLDDIRECTINPUTVERSION);
    EXPECT_EQ(out, nullptr);
    DInputTestFailCreate(true);
    EXPECT_TRUE(FAILED(DirectInput8Create(nullptr, DIRECTINPUT_VERSION, IID_IDirectInput8, &out, nullptr)));
    EXPECT_EQ(out, nullptr);
    DInputTestFailCreate(false);
}
