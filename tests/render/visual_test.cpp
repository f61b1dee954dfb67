#include <cstring>

#include "render_fixture.h"
#include "render/visual.h"

namespace velmora::testing {
namespace {

class Visuals : public TRenderATest {
  protected:
    void SetUp() override {
        TRenderATest::SetUp();
        Store = new TTexArr(0);
        Depot = new TStateBlockDepot();
        Depot->RestoreDeviceObjects();
    }
    void TearDown() override {
        delete Depot;
        delete Store;
        TRenderATest::TearDown();
    }
    int LocksOf(IDirect3DVertexBuffer8* vb) const {
        int n = 0;
        for (const auto& c : Rec->CallsNamed("Lock"))
            n += c.Args[0] == reinterpret_cast<intptr_t>(vb);
        return n;
    }
    std::vector<uint8_t> BufferBytes(IDirect3DVertexBuffer8* vb, int size) const {
        BYTE* p = nullptr;
        if (FAILED(vb->Lock(0, size, &p, D3DLOCK_READONLY)) || !p) return {};
        std::vector<uint8_t> out(p, p + size);
        vb->Unlock();
        return out;
    }
    TTexArr* Store = nullptr;
    TStateBlockDepot* Depot = nullptr;
};

TEST_F(Visuals, CountsFollowThePrimitiveType) {
    EXPECT_EQ(GetPrimitiveCount(D3DPT_TRIANGLESTRIP, 4), 2);
    EXPECT_EQ(GetPrimitiveCount(D3DPT_TRIANGLELIST, 6), 2);
    EXPECT_EQ(GetPrimitiveCount(D3DPT_LINELIST, 8), 4);
    EXPECT_EQ(GetPrimitiveCount(D3DPT_LINESTRIP, 8), 7);
    EXPECT_EQ(GetPrimitiveCount(D3DPT_POINTLIST, 5), 5);
    EXPECT_EQ(GetVertexCount(D3DPT_TRIANGLEFAN, 3), 5);
    EXPECT_EQ(GetVertexCount(D3DPT_LINESTRIP, 7), 8);
    EXPECT_EQ(GetPrimitiveCount(9, 4), 0);
    EXPECT_TRUE(Logged("uV.GetPrimitiveCount: Unknown vertex buffer type"));
    EXPECT_EQ(GetVertexSize(1), 16);
    EXPECT_EQ(GetVertexSize(2), 28);
    EXPECT_EQ(GetVertexSize(3), 24);
    EXPECT_EQ(GetVertexSize(4), 20);
    EXPECT_EQ(GetVertexSize(5), 24);
    EXPECT_EQ(GetVertexShader(5), D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_TEX1);
    EXPECT_EQ(GetVertexShader(6), 0u);
    EXPECT_TRUE(Logged("uV.GetVertexShader: Unknown vertex buffer type"));

    TVisual v;
    v.SetPrimitiveType(D3DPT_TRIANGLELIST);
    v.SetVertexFormat(vfDiffuse);
    v.SetPrimitiveCount(3);
    EXPECT_EQ(v.VertexCount, 9);
    EXPECT_EQ(v.VertexBufferSize, 9 * 16);
    v.SetVertexCount(0);
    EXPECT_TRUE(Logged("Vertex count equal zero"));
}

TEST_F(Visuals, PlacedTextureTakesTheImageSizeAndTheUsedPartOfTheTexture) {
    WriteFile("Textures/B.tga", TgaBytes(100, 60, Pattern(100, 60)));
    ASSERT_TRUE(Store->CreateTex(40, "\\Textures\\B.tga"));
    TTexRect r;
    r.TexId = 40;
    r.PlaceTexture(0, 0, true);
    EXPECT_EQ(r.ScreenX, 350);
    EXPECT_EQ(r.ScreenY, 270);
    const TVertexDiffuseTex* q = r.Quad();
    EXPECT_FLOAT_EQ(q[0].X, -50 * PixelSize - HalfPixel);
    EXPECT_FLOAT_EQ(q[0].Y, 30 * PixelSize + HalfPixel);
    EXPECT_FLOAT_EQ(q[3].X - q[0].X, 100 * PixelSize);
    EXPECT_FLOAT_EQ(q[0].Y - q[3].Y, 60 * PixelSize);
    EXPECT_FLOAT_EQ(q[3].U, 100.0f / 128);
    EXPECT_FLOAT_EQ(q[3].V, 60.0f / 64);
    EXPECT_EQ(q[2].Color, 0xFFFFFFFFu);

    r.SetPixelPos(10, 20);
    EXPECT_EQ(r.ScreenX, 10);
    EXPECT_FLOAT_EQ(r.Quad()[0].X, CenteredX(10));
    EXPECT_FLOAT_EQ(r.Quad()[1].X - r.Quad()[0].X, 100 * PixelSize); // size kept

    r.SetRectLTRB(0, 0, 800, 600);
    EXPECT_FLOAT_EQ(r.Quad()[0].X, PixelX[0]);
    EXPECT_FLOAT_EQ(r.Quad()[0].Y, PixelY[0]);
    r.SetUVPixels(0, 0, 64, 32);
    EXPECT_FLOAT_EQ(r.Quad()[3].U, 0.5f);
    EXPECT_FLOAT_EQ(r.Quad()[3].V, 0.5f);
    r.SetUVFlipped({0.1f, 0.2f, 0.3f, 0.4f}, 1);
    EXPECT_FLOAT_EQ(r.Quad()[0].V, 0.4f);
    EXPECT_FLOAT_EQ(r.Quad()[2].V, 0.2f);
}

TEST_F(Visuals, TurnedRectanglesLandOnTheirPixelsUnderTheWorldMatrix) {
    TTexRect r;
    r.SetRectTurned(100, 50, 140, 70, 1);
    const float l = CenteredX(100), t = CenteredY(50), rr = CenteredX(140), b = CenteredY(70);
    EXPECT_FLOAT_EQ(r.GetLeft(), l);
    EXPECT_FLOAT_EQ(r.GetTop(), t);
    // Turn 1: vertex 0 shows the bottom-left corner, vertex 1 the top-left one.
    const TVertexDiffuseTex* q = r.Quad();
    EXPECT_NEAR(q[0].X + r.X, l, 1e-6);
    EXPECT_NEAR(q[0].Y + r.Y, b, 1e-6);
    EXPECT_NEAR(q[1].Y + r.Y, t, 1e-6);
    EXPECT_NEAR(q[3].X + r.X, rr, 1e-6);
    r.SetRectMirrored(100, 50, 140, 70, true);
    EXPECT_NEAR(r.Quad()[0].X + r.X, rr, 1e-6);
    EXPECT_NEAR(r.Quad()[1].X + r.X, l, 1e-6);

    TColorRect full;
    full.SetRect(0, 0, 800, 600);
    auto* c = full.VerticesAs<TVertexDiffuse>();
    EXPECT_NEAR(c[0].X + full.X, -400 * PixelSize, 1e-6);
    EXPECT_NEAR(c[3].Y + full.Y, -300 * PixelSize + HalfPixel, 1e-6);
    full.SetColors(1, 2, 3, 4);
    EXPECT_EQ(c[3].Color, 4u);
}

TEST_F(Visuals, SetColorUploadsOnlyWhenTheColourChanges) {
    TTexRect r;
    r.RestoreDeviceObjects();
    const int before = LocksOf(r.VertexBuffer);
    r.SetColor(0xFFFFFFFFu); // the colour it already has
    EXPECT_EQ(LocksOf(r.VertexBuffer), before);
    r.SetColor(0x80FF0000u);
    EXPECT_EQ(LocksOf(r.VertexBuffer), before + 1);
    r.SetColor(0x80FF0000u);
    EXPECT_EQ(LocksOf(r.VertexBuffer), before + 1);
    const std::vector<uint8_t> bytes = BufferBytes(r.VertexBuffer, r.VertexBufferSize);
    ASSERT_EQ(bytes.size(), 96u);
    uint32_t colour = 0;
    std::memcpy(&colour, bytes.data() + 3 * 24 + 12, 4);
    EXPECT_EQ(colour, 0x80FF0000u);
}

TEST_F(Visuals, ColorRectColoursReachTheDeviceOnlyWhenTheyChange) {
    TColorRect r;
    r.SetRect(10, 20, 28, 28);
    const int before = LocksOf(r.VertexBuffer);
    r.SetColor(0xFFD8B060u);
    EXPECT_EQ(LocksOf(r.VertexBuffer), before + 1);
    r.SetColor(0xFFD8B060u);
    EXPECT_EQ(LocksOf(r.VertexBuffer), before + 1);
    std::vector<uint8_t> bytes = BufferBytes(r.VertexBuffer, r.VertexBufferSize);
    ASSERT_EQ(bytes.size(), 64u);
    uint32_t colour = 0;
    float x = 0;
    std::memcpy(&colour, bytes.data() + 3 * 16 + 12, 4);
    std::memcpy(&x, bytes.data(), 4);
    EXPECT_EQ(colour, 0xFFD8B060u);
    EXPECT_FLOAT_EQ(x, r.VerticesAs<TVertexDiffuse>()[0].X); // the corners went along
    const int afterRead = LocksOf(r.VertexBuffer);           // reading back locks too
    r.SetColors(0xFFD8B060u, 0xFFD8B060u, 0xFFD8B060u, 0x11223344u);
    EXPECT_EQ(LocksOf(r.VertexBuffer), afterRead + 1);
    bytes = BufferBytes(r.VertexBuffer, r.VertexBufferSize);
    ASSERT_EQ(bytes.size(), 64u);
    std::memcpy(&colour, bytes.data() + 3 * 16 + 12, 4);
    EXPECT_EQ(colour, 0x11223344u);
}

TEST_F(Visuals, VerticesSurviveAResetAndDrawAgain) {
    TTexRect r;
    r.SetWidth(0.5f);
    r.SetHeight(0.25f);
    r.CenterVertices();
    r.X = 0.3f;
    r.Block1 = sbTexAlpha;
    r.RestoreDeviceObjects();
    const std::vector<uint8_t> before = BufferBytes(r.VertexBuffer, r.VertexBufferSize);
    const int liveBefore = Rec->LiveVertexBuffers();
    r.InvalidateDeviceObjects();
    EXPECT_EQ(r.VertexBuffer, nullptr);
    EXPECT_EQ(Rec->LiveVertexBuffers(), liveBefore - 1);
    r.Render(); // no buffer: nothing is drawn
    EXPECT_EQ(Rec->CountOf("DrawPrimitive"), 0);

    r.RestoreDeviceObjects();
    EXPECT_EQ(BufferBytes(r.VertexBuffer, r.VertexBufferSize), before);
    Rec->ClearCalls();
    r.Render();
    ASSERT_EQ(Rec->CountOf("DrawPrimitive"), 1);
    EXPECT_EQ(Rec->CallsNamed("DrawPrimitive")[0].Args, (std::vector<int64_t>{D3DPT_TRIANGLESTRIP, 0, 2}));
    ASSERT_EQ(Rec->CountOf("ApplyStateBlock"), 1);
    EXPECT_EQ(Rec->CallsNamed("ApplyStateBlock")[0].Args[0], Depot->Blocks[sbTexAlpha]);
    const auto transform = Rec->CallsNamed("SetTransform");
    ASSERT_EQ(transform.size(), 1u);
    EXPECT_FLOAT_EQ(transform[0].Floats[12], 0.3f);
    EXPECT_EQ(Rec->CallsNamed("SetVertexShader")[0].Args[0], D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_TEX1);

    r.Visible = false;
    r.Render();
    EXPECT_EQ(Rec->CountOf("DrawPrimitive"), 1);
}

TEST_F(Visuals, LargePictureIsCutIntoTilesWithShortLastColumnAndRow) {
    const std::vector<uint32_t> pixels = Pattern(700, 300);
    WriteFile("Textures/Big.tga", TgaBytes(700, 300, pixels));
    TTexRect256 pic(0, 0, "\\Textures\\Big.tga", false, 256);
    EXPECT_EQ(pic.Cols, 3);
    EXPECT_EQ(pic.Rows, 2);
    EXPECT_EQ(pic.TileCount, 6);
    EXPECT_EQ(pic.VertexCount, 36);
    EXPECT_EQ(pic.ShownWidth, 700);
    EXPECT_EQ(Rec->LiveTextures(), 6);
    auto* v = pic.VerticesAs<TVertexDiffuseTex>();
    // Tile 2 is the last column: 188 pixels wide, u up to 188/256.
    EXPECT_FLOAT_EQ(v[2 * 6 + 5].U, 188.0f / 256);
    EXPECT_NEAR(v[2 * 6 + 5].X - v[2 * 6].X, 188 * PixelSize, 1e-5);
    EXPECT_FLOAT_EQ(v[3 * 6 + 5].V, 44.0f / 256); // second row: 44 pixels
    EXPECT_FLOAT_EQ(v[0].U, 0.0f);
    EXPECT_FLOAT_EQ(v[5].V, 1.0f);
    // The top-left corner lands on pixel (0, 0) once the placement is added.
    EXPECT_NEAR(v[0].X + pic.X, CenteredX(0), 1e-5);
    EXPECT_NEAR(v[0].Y + pic.Y, CenteredY(0), 1e-5);

    const auto tilePixel = [&](int tile, int x, int y) {
        int pitch = 0;
        const auto bytes = TextureBytes(pic.Tiles[tile], 256 * 4, 256, pitch);
        uint32_t p = 0;
        std::memcpy(&p, bytes.data() + (y * 256 + x) * 4, 4);
        return p;
    };
    EXPECT_EQ(tilePixel(5, 0, 0), pixels[256 * 700 + 512]);
    EXPECT_EQ(tilePixel(5, 187, 43), pixels[299 * 700 + 699]);

    Rec->ClearCalls();
    pic.Render();
    const auto draws = Rec->CallsNamed("DrawPrimitive");
    ASSERT_EQ(draws.size(), 6u);
    EXPECT_EQ(draws[4].Args, (std::vector<int64_t>{D3DPT_TRIANGLELIST, 24, 2}));

    pic.InvalidateDeviceObjects();
    ST(0, nullptr); // the device and ST let go of it
    EXPECT_EQ(Rec->LiveTextures(), 0);
    pic.RestoreDeviceObjects();
    EXPECT_EQ(Rec->LiveTextures(), 6);
    EXPECT_EQ(tilePixel(5, 0, 0), pixels[256 * 700 + 512]); // reloaded from the file
    EXPECT_EQ(pic.VertexCount, 36);
}

TEST_F(Visuals, BadPicturesAreReportedAndDrawNothing) {
    TTexRect256 missing(0, 0, "\\Textures\\Nope.tga", true, 128);
    EXPECT_TRUE(Logged("TTexRect256.SetRectCount: QueryFileFormat failed"));
    EXPECT_EQ(missing.TileCount, 0);
    Rec->ClearCalls();
    missing.Render();
    EXPECT_EQ(Rec->CountOf("DrawPrimitive"), 0);

    WriteFile("Textures/Huge.tga", TgaBytes(4096, 1, {}));
    TTexRect256 huge(0, 0, "\\Textures\\Huge.tga", false, 8); // 512 tiles: more than the object holds
    EXPECT_EQ(huge.TileCount, 0);
    EXPECT_TRUE(Logged("TTexRect256.SetRectCount: Too many tiles"));
}

TEST_F(Visuals, RecterBatchesRectanglesInOneDraw) {
    TTexRecter rc;
    rc.AddRect(10, 20, {0, 0, 0.5f, 0.25f}, 30, 40, 0xFF00FF00u);
    rc.AddRect(0, 0, {0.5f, 0.5f, 1, 1}, 8, 8, 0x11223344u);
    rc.BuildRects();
    EXPECT_EQ(rc.PrimitiveCount, 4);
    EXPECT_EQ(rc.VertexCount, 12);
    auto* v = rc.VerticesAs<TVertexDiffuseTex>();
    EXPECT_FLOAT_EQ(v[0].X, PixelX[10]);
    EXPECT_FLOAT_EQ(v[5].Y, PixelY[60]);
    EXPECT_FLOAT_EQ(v[5].U, 0.5f);
    EXPECT_EQ(v[6].Color, 0x11223344u);
    Rec->ClearCalls();
    rc.Render();
    EXPECT_EQ(Rec->CountOf("DrawPrimitive"), 1);
    for (int i = 2; i < cMaxRecterRects; ++i)
        rc.AddRect(0, 0, {}, 1, 1, 0);
    EXPECT_FALSE(rc.AddRect(0, 0, {}, 1, 1, 0));
    EXPECT_EQ(rc.RectCount, cMaxRecterRects);
}

} // namespace
} // namespace velmora::testing
