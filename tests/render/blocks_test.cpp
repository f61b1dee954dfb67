#include <algorithm>

#include "render_fixture.h"

namespace velmora::testing {
namespace {

class StateBlocksTest : public TRenderATest {
  protected:
    void TearDown() override {
        delete Depot;
        TRenderATest::TearDown();
    }
    static bool Has(const std::vector<D3DCallRecord>& calls, const std::string& name,
                    std::vector<int64_t> args) {
        return std::any_of(calls.begin(), calls.end(), [&](const D3DCallRecord& c) {
            return c.Name == name && c.Args.size() >= args.size() &&
                   std::equal(args.begin(), args.end(), c.Args.begin());
        });
    }
    TStateBlockDepot* Depot = nullptr;
};

TEST_F(StateBlocksTest, NineteenBlocksAreRecordedAndTheRestStayEmpty) {
    Depot = new TStateBlockDepot();
    EXPECT_EQ(StateBlocks, Depot);
    EXPECT_EQ(Depot->RestoreDeviceObjects(), 0);
    EXPECT_EQ(Rec->CountOf("BeginStateBlock"), 19);
    EXPECT_EQ(Rec->CountOf("EndStateBlock"), 19);
    int recorded = 0;
    for (int i = 0; i < cStateBlockSlots; ++i)
        recorded += Depot->Blocks[i] != 0;
    EXPECT_EQ(recorded, 19);
    for (int no : {0, 10, 18, 26, 27, 28, 29, 35})
        EXPECT_EQ(Depot->Blocks[no], 0u) << no;
}

TEST_F(StateBlocksTest, BlocksHoldTheDefaultsAndTheirOwnStates) {
    CapsFlags.Mirror = true;
    Depot = new TStateBlockDepot();
    Depot->RestoreDeviceObjects();
    const auto texAlpha = Rec->StateBlockCalls(Depot->Blocks[sbTexAlpha]);
    EXPECT_TRUE(Has(texAlpha, "SetRenderState", {D3DRS_LIGHTING, FALSE}));
    EXPECT_TRUE(Has(texAlpha, "SetTextureStageState", {0, D3DTSS_ADDRESSU, D3DTADDRESS_MIRROR}));
    EXPECT_TRUE(Has(texAlpha, "SetTextureStageState", {1, D3DTSS_COLOROP, D3DTOP_DISABLE}));
    EXPECT_TRUE(Has(texAlpha, "SetTextureStageState", {0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE}));
    // The block's own blending comes after the default that turns it off.
    std::vector<int64_t> blend;
    for (const auto& c : texAlpha)
        if (c.Name == "SetRenderState" && c.Args[0] == D3DRS_ALPHABLENDENABLE) blend.push_back(c.Args[1]);
    EXPECT_EQ(blend, (std::vector<int64_t>{FALSE, TRUE}));

    const auto gouraud = Rec->StateBlockCalls(Depot->Blocks[sbTexModDiffuse]);
    EXPECT_TRUE(Has(gouraud, "SetTextureStageState", {0, D3DTSS_COLORARG2, D3DTA_DIFFUSE}));
    EXPECT_EQ(gouraud.back().Args, (std::vector<int64_t>{D3DRS_SHADEMODE, D3DSHADE_GOURAUD}));

    // Modifiers change one aspect and carry no defaults.
    const auto additive = Rec->StateBlockCalls(Depot->Blocks[sbAdditive]);
    ASSERT_EQ(additive.size(), 2u);
    EXPECT_TRUE(Has(additive, "SetRenderState", {D3DRS_DESTBLEND, D3DBLEND_ONE}));
    const auto wrap = Rec->StateBlockCalls(Depot->Blocks[sbWrap]);
    EXPECT_TRUE(Has(wrap, "SetTextureStageState", {0, D3DTSS_ADDRESSV, D3DTADDRESS_WRAP}));
}

TEST_F(StateBlocksTest, TheRememberedTextureSkipsRepeatsAndReachesOnlyTheFirstBlockAfterAReset) {
    IDirect3DTexture8* tex = nullptr;
    ASSERT_TRUE(SUCCEEDED(CreateTextureDirect(8, 8, 1, tex, D3DPOOL_MANAGED, D3DFMT_A8R8G8B8, 0)));
    EXPECT_EQ(ST(0, tex), D3D_OK);
    EXPECT_EQ(ST(0, tex), D3D_OK);
    EXPECT_EQ(Rec->CountOf("SetTexture"), 1);

    Depot = new TStateBlockDepot();
    Depot->RestoreDeviceObjects();
    // The remembered texture was not none: only the first block records the texture reset.
    EXPECT_TRUE(Has(Rec->StateBlockCalls(Depot->Blocks[sbDefault]), "SetTexture", {0, 0}));
    EXPECT_FALSE(Has(Rec->StateBlockCalls(Depot->Blocks[sbTexture]), "SetTexture", {0, 0}));

    const DWORD before = Depot->Blocks[sbTexture];
    Depot->InvalidateDeviceObjects();
    EXPECT_EQ(Rec->CountOf("DeleteStateBlock"), 19);
    Depot->RestoreDeviceObjects();
    EXPECT_TRUE(Rec->StateBlockCalls(before).empty() || before == Depot->Blocks[sbTexture]);
    EXPECT_FALSE(Rec->StateBlockCalls(Depot->Blocks[sbTexture]).empty());
    EXPECT_FALSE(Has(Rec->StateBlockCalls(Depot->Blocks[sbDefault]), "SetTexture", {0, 0}));

    // Applying a block leaves the memory alone; the texture is still held by ST.
    Rec->ClearCalls();
    Depot->Apply(sbTexture);
    Depot->Apply(18); // never recorded: skipped
    ASSERT_EQ(Rec->CountOf("ApplyStateBlock"), 1);
    EXPECT_EQ(Rec->CallsNamed("ApplyStateBlock")[0].Args[0], Depot->Blocks[sbTexture]);
    EXPECT_EQ(RememberedTexture(), nullptr); // set to none while the first block was recorded
    tex->Release();
}

TEST_F(StateBlocksTest, InvalidatedBlocksLetGoOfTheRememberedTexture) {
    Depot = new TStateBlockDepot();
    Depot->RestoreDeviceObjects();
    IDirect3DTexture8* tex = nullptr;
    ASSERT_TRUE(SUCCEEDED(CreateTextureDirect(8, 8, 1, tex, D3DPOOL_MANAGED, D3DFMT_A8R8G8B8, 0)));
    ST(0, tex); // the last picture drawn
    Device->SetTexture(0, nullptr);
    tex->Release(); // the store lets go at device loss
    EXPECT_EQ(Rec->LiveTextures(), 1) << "held by ST alone";

    Depot->InvalidateDeviceObjects();
    EXPECT_EQ(RememberedTexture(), nullptr);
    EXPECT_EQ(Rec->LiveTextures(), 0) << "nothing holds the texture once the blocks are gone";

    // After the restore the same texture pointer value would be set again, not skipped.
    Depot->RestoreDeviceObjects();
    ASSERT_TRUE(SUCCEEDED(CreateTextureDirect(8, 8, 1, tex, D3DPOOL_MANAGED, D3DFMT_A8R8G8B8, 0)));
    Rec->ClearCalls();
    ST(0, tex);
    EXPECT_EQ(Rec->CountOf("SetTexture"), 1);
    Depot->InvalidateDeviceObjects();
    Device->SetTexture(0, nullptr);
    tex->Release();
    EXPECT_EQ(Rec->LiveTextures(), 0);
}

TEST_F(StateBlocksTest, FailingWrappersLogTheirArgumentsAndReturnTheCode) {
    Rec->FailNextCall("SetRenderState", D3DERR_INVALIDCALL);
    EXPECT_EQ(SRS(D3DRS_ZENABLE, 7), D3DERR_INVALIDCALL);
    EXPECT_TRUE(Logged("uDebug.SRS : Device.SetRenderState error"));
    EXPECT_TRUE(Logged("State=7; Value=7"));

    Rec->FailNextCall("SetTextureStageState", D3DERR_INVALIDCALL);
    STSS(1, D3DTSS_MINFILTER, 2);
    EXPECT_TRUE(Logged("Stage=1; _Type=17; Value=2"));

    Rec->FailNextCall("ApplyStateBlock", D3DERR_INVALIDCALL);
    ASB(42);
    EXPECT_TRUE(Logged("uDebug.ASB : Device.ApplyStateBlock error"));
    EXPECT_TRUE(Logged("Block=42"));

    Rec->SetAvailableTextureMem(4096 * 1024);
    Rec->FailNextCall("CreateTexture", D3DERR_OUTOFVIDEOMEMORY);
    IDirect3DTexture8* tex = reinterpret_cast<IDirect3DTexture8*>(0x1);
    EXPECT_TRUE(FAILED(CreateTextureDirect(64, 32, 0, tex, D3DPOOL_MANAGED, D3DFMT_A4R4G4B4, 0)));
    EXPECT_EQ(tex, nullptr);
    EXPECT_TRUE(Logged("uDebug.CreateTextureDirect : Texture creation failed"));
    EXPECT_TRUE(Logged("Width=64;"));
    EXPECT_TRUE(Logged("Format=A4R4G4B4;"));
    EXPECT_TRUE(Logged("VMem=4096"));
}

TEST_F(StateBlocksTest, RenderModeSwitchesTheTextureSetAndRecordsTheBlocksAgain) {
    WriteFile("Textures/ResCreator/Back0.tga", TgaBytes(2, 2, Pattern(2, 2)));
    TTexArr store(0);
    Depot = new TStateBlockDepot();
    Depot->RestoreDeviceObjects();
    Rec->ClearCalls();
    Depot->SetRenderMode(3);
    EXPECT_EQ(Depot->RenderMode, 3);
    EXPECT_EQ(store.TexSet, 3);
    EXPECT_NE(store.Recs[tiResCreatorBack].Texture, nullptr);
    EXPECT_EQ(Rec->CountOf("DeleteStateBlock"), 19);
    EXPECT_EQ(Rec->CountOf("EndStateBlock"), 19);
    // The same mode again loads nothing new.
    const int created = Rec->CountOf("CreateTexture");
    Depot->SetRenderMode(3);
    EXPECT_EQ(Rec->CountOf("CreateTexture"), created);
    delete Depot;
    Depot = nullptr;
    EXPECT_EQ(StateBlocks, nullptr);
}

} // namespace
} // namespace velmora::testing
