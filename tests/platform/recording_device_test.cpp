// The recording device stands in for the GPU in every engine test: it must keep the calls and
// behave like a device where the engine can observe it.
#include "platform/recording_device.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace velmora;

namespace {

struct RecordingDeviceTest : ::testing::Test {
    IRecordingDevice* Dev = CreateRecordingDevice();
    ~RecordingDeviceTest() override { Dev->Release(); }
};

DWORD RS(IDirect3DDevice8* d, D3DRENDERSTATETYPE s) {
    DWORD v = 0;
    d->GetRenderState(s, &v);
    return v;
}

} // namespace

TEST_F(RecordingDeviceTest, KeepsEveryCallWithItsArguments) {
    Dev->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    Dev->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
    Dev->SetVertexShader(D3DFVF_XYZ | D3DFVF_DIFFUSE);
    Dev->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF102030, 1.0f, 0);
    ASSERT_EQ(Dev->Calls().size(), 4u);
    EXPECT_EQ(Dev->Calls()[0].Name, "SetRenderState");
    EXPECT_EQ(Dev->Calls()[0].Args, (std::vector<std::int64_t>{D3DRS_ALPHABLENDENABLE, TRUE}));
    EXPECT_EQ(Dev->Calls()[1].Args, (std::vector<std::int64_t>{0, D3DTSS_COLOROP, D3DTOP_MODULATE}));
    EXPECT_EQ(Dev->Calls()[3].Args, (std::vector<std::int64_t>{0, D3DCLEAR_TARGET, 0xFF102030, 0}));
    EXPECT_EQ(Dev->Calls()[3].Floats, (std::vector<float>{1.0f}));
    EXPECT_EQ(Dev->CountOf("SetRenderState"), 1);
    Dev->ClearCalls();
    EXPECT_TRUE(Dev->Calls().empty());
}

TEST_F(RecordingDeviceTest, StartsWithDirect3DDefaults) {
    EXPECT_EQ(RS(Dev, D3DRS_LIGHTING), static_cast<DWORD>(TRUE));
    EXPECT_EQ(RS(Dev, D3DRS_CULLMODE), static_cast<DWORD>(D3DCULL_CCW));
    EXPECT_EQ(RS(Dev, D3DRS_SRCBLEND), static_cast<DWORD>(D3DBLEND_ONE));
    EXPECT_EQ(RS(Dev, D3DRS_TEXTUREFACTOR), 0xFFFFFFFFu);
    DWORD op = 0;
    Dev->GetTextureStageState(0, D3DTSS_COLOROP, &op);
    EXPECT_EQ(op, static_cast<DWORD>(D3DTOP_MODULATE));
    Dev->GetTextureStageState(1, D3DTSS_COLOROP, &op);
    EXPECT_EQ(op, static_cast<DWORD>(D3DTOP_DISABLE));
}

TEST_F(RecordingDeviceTest, StateBlockRecordsInsteadOfApplyingAndReplaysOnApply) {
    ASSERT_EQ(Dev->BeginStateBlock(), D3D_OK);
    Dev->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    Dev->SetRenderState(D3DRS_SHADEMODE, D3DSHADE_FLAT);
    Dev->SetTextureStageState(0, D3DTSS_ADDRESSU, D3DTADDRESS_MIRROR);
    DWORD token = 0;
    ASSERT_EQ(Dev->EndStateBlock(&token), D3D_OK);
    ASSERT_NE(token, 0u);
    // Recording did not touch the device's states.
    EXPECT_EQ(RS(Dev, D3DRS_ALPHABLENDENABLE), static_cast<DWORD>(FALSE));
    EXPECT_EQ(RS(Dev, D3DRS_SHADEMODE), static_cast<DWORD>(D3DSHADE_GOURAUD));

    const auto recorded = Dev->StateBlockCalls(token);
    ASSERT_EQ(recorded.size(), 3u);
    EXPECT_EQ(recorded[1].Args, (std::vector<std::int64_t>{D3DRS_SHADEMODE, D3DSHADE_FLAT}));

    ASSERT_EQ(Dev->ApplyStateBlock(token), D3D_OK);
    EXPECT_EQ(RS(Dev, D3DRS_ALPHABLENDENABLE), static_cast<DWORD>(TRUE));
    EXPECT_EQ(RS(Dev, D3DRS_SHADEMODE), static_cast<DWORD>(D3DSHADE_FLAT));
    DWORD address = 0;
    Dev->GetTextureStageState(0, D3DTSS_ADDRESSU, &address);
    EXPECT_EQ(address, static_cast<DWORD>(D3DTADDRESS_MIRROR));
}

TEST_F(RecordingDeviceTest, BlocksDoNotNest) {
    ASSERT_EQ(Dev->BeginStateBlock(), D3D_OK);
    Dev->SetRenderState(D3DRS_FOGENABLE, FALSE);
    EXPECT_EQ(Dev->BeginStateBlock(), D3DERR_INVALIDCALL);
    Dev->SetRenderState(D3DRS_CLIPPING, TRUE);
    DWORD token = 0;
    ASSERT_EQ(Dev->EndStateBlock(&token), D3D_OK);
    EXPECT_EQ(Dev->StateBlockCalls(token).size(), 2u); // the refused Begin lost nothing
    EXPECT_EQ(Dev->EndStateBlock(&token), D3DERR_INVALIDCALL);
    EXPECT_EQ(token, 0u);
}

TEST_F(RecordingDeviceTest, LaterBlocksOverrideEarlierOnesAndDeletedBlocksCannotBeApplied) {
    DWORD blend = 0, flat = 0;
    Dev->BeginStateBlock();
    Dev->SetRenderState(D3DRS_SHADEMODE, D3DSHADE_GOURAUD);
    Dev->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    Dev->EndStateBlock(&blend);
    Dev->BeginStateBlock();
    Dev->SetRenderState(D3DRS_SHADEMODE, D3DSHADE_FLAT);
    Dev->EndStateBlock(&flat);
    EXPECT_NE(blend, flat);
    Dev->ApplyStateBlock(blend);
    Dev->ApplyStateBlock(flat);
    EXPECT_EQ(RS(Dev, D3DRS_SHADEMODE), static_cast<DWORD>(D3DSHADE_FLAT));
    EXPECT_EQ(RS(Dev, D3DRS_ALPHABLENDENABLE), static_cast<DWORD>(TRUE));

    EXPECT_EQ(Dev->DeleteStateBlock(flat), D3D_OK);
    EXPECT_EQ(Dev->ApplyStateBlock(flat), D3DERR_INVALIDCALL);
    EXPECT_TRUE(Dev->StateBlockCalls(flat).empty());
    EXPECT_EQ(Dev->DeleteStateBlock(flat), D3DERR_INVALIDCALL);
    EXPECT_EQ(Dev->ApplyStateBlock(0), D3DERR_INVALIDCALL);
}

TEST_F(RecordingDeviceTest, BlocksHoldTheirTexturesAndApplyThem) {
    IDirect3DTexture8* tex = nullptr;
    ASSERT_EQ(Dev->CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &tex), D3D_OK);
    DWORD token = 0;
    Dev->BeginStateBlock();
    Dev->SetTexture(0, tex);
    Dev->EndStateBlock(&token);
    tex->Release(); // the block still holds it
    EXPECT_EQ(Dev->LiveTextures(), 1);
    Dev->ApplyStateBlock(token);
    IDirect3DBaseTexture8* bound = nullptr;
    Dev->GetTexture(0, &bound);
    EXPECT_EQ(bound, static_cast<IDirect3DBaseTexture8*>(tex));
    bound->Release();
    Dev->SetTexture(0, nullptr);
    Dev->DeleteStateBlock(token);
    EXPECT_EQ(Dev->LiveTextures(), 0);
}

TEST_F(RecordingDeviceTest, TexturesLockIntoMemoryWithAFullMipChain) {
    IDirect3DTexture8* tex = nullptr;
    ASSERT_EQ(Dev->CreateTexture(8, 2, 0, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &tex), D3D_OK);
    EXPECT_EQ(tex->GetLevelCount(), 4u); // 8x2, 4x1, 2x1, 1x1
    D3DSURFACE_DESC desc{};
    tex->GetLevelDesc(3, &desc);
    EXPECT_EQ(desc.Width, 1u);
    EXPECT_EQ(desc.Height, 1u);
    EXPECT_EQ(desc.Format, D3DFMT_A8R8G8B8);

    D3DLOCKED_RECT lr{};
    ASSERT_EQ(tex->LockRect(0, &lr, nullptr, 0), D3D_OK);
    EXPECT_EQ(lr.Pitch, 32);
    auto* px = static_cast<std::uint32_t*>(lr.pBits);
    for (int i = 0; i < 16; ++i)
        px[i] = 0xFF00FF00u;                                          // opaque green
    EXPECT_EQ(tex->LockRect(0, &lr, nullptr, 0), D3DERR_INVALIDCALL); // already locked
    ASSERT_EQ(tex->UnlockRect(0), D3D_OK);
    EXPECT_EQ(tex->UnlockRect(0), D3DERR_INVALIDCALL);

    // The smallest level was rebuilt from the top one.
    ASSERT_EQ(tex->LockRect(3, &lr, nullptr, D3DLOCK_READONLY), D3D_OK);
    EXPECT_EQ(*static_cast<std::uint32_t*>(lr.pBits), 0xFF00FF00u);
    tex->UnlockRect(3);
    EXPECT_EQ(Dev->CountOf("LockRect"), 2);
    EXPECT_EQ(tex->Release(), 0u);
}

TEST_F(RecordingDeviceTest, SixteenBitMipsAverageEveryChannel) {
    IDirect3DTexture8* tex = nullptr;
    ASSERT_EQ(Dev->CreateTexture(2, 1, 2, 0, D3DFMT_A4R4G4B4, D3DPOOL_MANAGED, &tex), D3D_OK);
    D3DLOCKED_RECT lr{};
    tex->LockRect(0, &lr, nullptr, 0);
    auto* px = static_cast<std::uint16_t*>(lr.pBits);
    px[0] = 0xF000; // opaque black
    px[1] = 0xFFFF; // opaque white
    tex->UnlockRect(0);
    tex->LockRect(1, &lr, nullptr, D3DLOCK_READONLY);
    const std::uint16_t mid = *static_cast<std::uint16_t*>(lr.pBits);
    tex->UnlockRect(1);
    EXPECT_EQ(mid >> 12, 0xF);
    EXPECT_EQ((mid >> 8) & 0xF, 0x8); // (0 + 255) / 2 = 128 -> 8 in four bits
    tex->Release();
}

TEST_F(RecordingDeviceTest, VertexBuffersLockIntoMemory) {
    IDirect3DVertexBuffer8* vb = nullptr;
    ASSERT_EQ(
        Dev->CreateVertexBuffer(64, D3DUSAGE_WRITEONLY, D3DFVF_XYZ | D3DFVF_DIFFUSE, D3DPOOL_MANAGED, &vb),
        D3D_OK);
    BYTE* data = nullptr;
    ASSERT_EQ(vb->Lock(16, 16, &data, 0), D3D_OK);
    std::memset(data, 0xAB, 16);
    vb->Unlock();
    EXPECT_EQ(vb->Lock(60, 16, &data, 0), D3DERR_INVALIDCALL); // past the end
    ASSERT_EQ(vb->Lock(0, 0, &data, D3DLOCK_READONLY), D3D_OK);
    EXPECT_EQ(data[16], 0xAB);
    EXPECT_EQ(data[15], 0);
    vb->Unlock();
    D3DVERTEXBUFFER_DESC desc{};
    vb->GetDesc(&desc);
    EXPECT_EQ(desc.Size, 64u);
    EXPECT_EQ(desc.FVF, D3DFVF_XYZ | D3DFVF_DIFFUSE);
    EXPECT_EQ(Dev->LiveVertexBuffers(), 1);
    Dev->SetStreamSource(0, vb, 16);
    EXPECT_EQ(Dev->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2), D3D_OK);
    vb->Release();
    EXPECT_EQ(Dev->LiveVertexBuffers(), 1); // still bound to stream 0
    Dev->SetStreamSource(0, nullptr, 0);
    EXPECT_EQ(Dev->LiveVertexBuffers(), 0);
    EXPECT_EQ(Dev->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2), D3DERR_INVALIDCALL);
}

TEST_F(RecordingDeviceTest, InjectedFailuresHitOnlyTheNextCall) {
    Dev->FailNextCall("CreateTexture", D3DERR_OUTOFVIDEOMEMORY);
    IDirect3DTexture8* tex = reinterpret_cast<IDirect3DTexture8*>(1);
    EXPECT_EQ(Dev->CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &tex),
              D3DERR_OUTOFVIDEOMEMORY);
    EXPECT_EQ(tex, nullptr);
    ASSERT_EQ(Dev->CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &tex), D3D_OK);
    tex->Release();
    Dev->FailNextCall("SetRenderState", D3DERR_INVALIDCALL);
    EXPECT_EQ(Dev->SetRenderState(D3DRS_LIGHTING, FALSE), D3DERR_INVALIDCALL);
    EXPECT_EQ(RS(Dev, D3DRS_LIGHTING), static_cast<DWORD>(TRUE));
    EXPECT_EQ(Dev->SetRenderState(D3DRS_LIGHTING, FALSE), D3D_OK);
}

TEST_F(RecordingDeviceTest, UnsupportedTextureFormatsAreRefused) {
    IDirect3DTexture8* tex = nullptr;
    EXPECT_EQ(Dev->CreateTexture(4, 4, 1, 0, D3DFMT_DXT1, D3DPOOL_MANAGED, &tex), D3DERR_INVALIDCALL);
    EXPECT_EQ(Dev->CreateTexture(0, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &tex), D3DERR_INVALIDCALL);
    EXPECT_EQ(tex, nullptr);
}

TEST_F(RecordingDeviceTest, LostOnceThenResetRestoresDefaults) {
    Dev->SetRenderState(D3DRS_LIGHTING, FALSE);
    Dev->LoseDeviceOnce();
    EXPECT_EQ(Dev->TestCooperativeLevel(), D3DERR_DEVICENOTRESET);
    EXPECT_EQ(Dev->TestCooperativeLevel(), D3D_OK);
    D3DTestLoseDeviceOnce(); // the process-wide switch reaches this device too
    EXPECT_EQ(Dev->TestCooperativeLevel(), D3DERR_DEVICENOTRESET);
    EXPECT_EQ(Dev->TestCooperativeLevel(), D3D_OK);
    D3DPRESENT_PARAMETERS pp{};
    pp.BackBufferWidth = 640;
    pp.BackBufferHeight = 480;
    pp.Windowed = TRUE;
    ASSERT_EQ(Dev->Reset(&pp), D3D_OK);
    EXPECT_EQ(RS(Dev, D3DRS_LIGHTING), static_cast<DWORD>(TRUE));
    D3DVIEWPORT8 vp{};
    Dev->GetViewport(&vp);
    EXPECT_EQ(vp.Width, 640u);
    EXPECT_EQ(vp.Height, 480u);
}

TEST_F(RecordingDeviceTest, BackBufferShowsTheClearColour) {
    Dev->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF336699, 1.0f, 0);
    D3DRECT r{10, 10, 20, 20};
    Dev->Clear(1, &r, D3DCLEAR_TARGET, 0xFFFF0000, 1.0f, 0);
    IDirect3DSurface8* bb = nullptr;
    ASSERT_EQ(Dev->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &bb), D3D_OK);
    D3DSURFACE_DESC desc{};
    bb->GetDesc(&desc);
    EXPECT_EQ(desc.Width, 800u);
    EXPECT_EQ(desc.Height, 600u);
    D3DLOCKED_RECT lr{};
    ASSERT_EQ(bb->LockRect(&lr, nullptr, D3DLOCK_READONLY), D3D_OK);
    const auto* px = static_cast<const std::uint32_t*>(lr.pBits);
    EXPECT_EQ(px[0], 0xFF336699u);
    EXPECT_EQ(px[15 * 800 + 15], 0xFFFF0000u);
    EXPECT_EQ(px[20 * 800 + 20], 0xFF336699u);
    bb->UnlockRect();
    bb->Release();
}

TEST_F(RecordingDeviceTest, ScenesDoNotNest) {
    EXPECT_EQ(Dev->BeginScene(), D3D_OK);
    EXPECT_EQ(Dev->BeginScene(), D3DERR_INVALIDCALL);
    EXPECT_EQ(Dev->EndScene(), D3D_OK);
    EXPECT_EQ(Dev->EndScene(), D3DERR_INVALIDCALL);
}

TEST_F(RecordingDeviceTest, ResourcesOutliveTheDeviceSafely) {
    IDirect3DTexture8* tex = nullptr;
    Dev->CreateTexture(2, 2, 1, 0, D3DFMT_R5G6B5, D3DPOOL_MANAGED, &tex);
    IRecordingDevice* other = CreateRecordingDevice(320, 200);
    IDirect3DVertexBuffer8* vb = nullptr;
    other->CreateVertexBuffer(16, 0, D3DFVF_XYZ, D3DPOOL_MANAGED, &vb);
    EXPECT_EQ(other->Release(), 0u);
    BYTE* data = nullptr;
    EXPECT_EQ(vb->Lock(0, 0, &data, 0), D3D_OK); // memory is still there
    vb->Unlock();
    IDirect3DDevice8* owner = nullptr;
    EXPECT_EQ(vb->GetDevice(&owner), D3DERR_INVALIDCALL);
    vb->Release();
    tex->Release();
}
