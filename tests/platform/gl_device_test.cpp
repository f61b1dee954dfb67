// The OpenGL device drawing for real (under the virtual display, or SDL's offscreen driver when
// there is no display): pixels of the back buffer are probed after each draw.
#include "platform/d3d8.h"
#include "platform/win32.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

using namespace velmora;

namespace {

std::vector<MSG> received;

LRESULT TestProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    received.push_back({hWnd, msg, wParam, lParam, 0, {0, 0}});
    if (msg == WM_GETMINMAXINFO) reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize = {100, 100};
    if (msg == WM_CLOSE) return 0; // the game decides itself
    return DefWindowProc(hWnd, msg, wParam, lParam);
}

struct TLVertex { // D3DFVF_XYZRHW | D3DFVF_DIFFUSE
    float x, y, z, rhw;
    DWORD color;
};
struct TexVertex { // D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_TEX1
    float x, y, z;
    DWORD color;
    float u, v;
};
struct LitVertex { // D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_DIFFUSE
    float x, y, z, nx, ny, nz;
    DWORD color;
};
constexpr DWORD TLFVF = D3DFVF_XYZRHW | D3DFVF_DIFFUSE;
constexpr DWORD TexFVF = D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_TEX1;
constexpr DWORD LitFVF = D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_DIFFUSE;

struct Rgb {
    int r, g, b;
};

class GLDeviceTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        if (!std::getenv("DISPLAY")) setenv("SDL_VIDEODRIVER", "offscreen", 0);
        SetMessageBoxAutoAnswer(IDOK);
    }

    void SetUp() override {
        Wnd = CreateAppWindow("Velmora test", CW_USEDEFAULT, CW_USEDEFAULT, 800, 600, FALSE, TestProc);
        ASSERT_NE(Wnd, nullptr);
        D3D = Direct3DCreate8(D3D_SDK_VERSION);
        ASSERT_NE(D3D, nullptr);
        Params = Windowed(800, 600);
        ASSERT_EQ(D3D->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, Wnd,
                                    D3DCREATE_SOFTWARE_VERTEXPROCESSING, &Params, &Dev),
                  D3D_OK);
        D3DTestFinishEveryFrame(true);
        PlainStates();
    }

    void TearDown() override {
        if (Dev) {
            EXPECT_EQ(Dev->Release(), 0u);
        }
        if (D3D) D3D->Release();
        if (Wnd) DestroyWindow(Wnd);
        received.clear();
    }

    static D3DPRESENT_PARAMETERS Windowed(UINT w, UINT h) {
        D3DPRESENT_PARAMETERS p{};
        p.BackBufferWidth = w;
        p.BackBufferHeight = h;
        p.BackBufferFormat = D3DFMT_X8R8G8B8;
        p.BackBufferCount = 1;
        p.SwapEffect = D3DSWAPEFFECT_DISCARD;
        p.Windowed = TRUE;
        p.Flags = D3DPRESENTFLAG_LOCKABLE_BACKBUFFER;
        return p;
    }

    // What the game's default block sets: no lighting, no culling, no depth, flat colours.
    void PlainStates() {
        Dev->SetRenderState(D3DRS_LIGHTING, FALSE);
        Dev->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
        Dev->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
        Dev->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
        Dev->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_DIFFUSE);
        Dev->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
        Dev->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_DIFFUSE);
    }

    // A screen-space rectangle of pretransformed vertices (pixel edges).
    void FillRect(float l, float t, float r, float b, DWORD color) {
        const TLVertex v[4] = {
            {l, t, 0, 1, color}, {r, t, 0, 1, color}, {l, b, 0, 1, color}, {r, b, 0, 1, color}};
        Dev->SetVertexShader(TLFVF);
        ASSERT_EQ(Dev->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, v, sizeof(TLVertex)), D3D_OK);
    }

    // World space = back-buffer pixels through an orthographic projection (left-handed, y down).
    void PixelProjection() {
        D3DMATRIX p{};
        p.m[0][0] = 2.0f / 800;
        p.m[1][1] = -2.0f / 600;
        p.m[2][2] = 1.0f;
        p.m[3][0] = -1.0f;
        p.m[3][1] = 1.0f;
        p.m[3][3] = 1.0f;
        const D3DMATRIX id = D3DMatrixIdentity();
        Dev->SetTransform(D3DTS_PROJECTION, &p);
        Dev->SetTransform(D3DTS_VIEW, &id);
        Dev->SetTransform(D3DTS_WORLD, &id);
    }

    void TexturedQuad(float l, float t, float r, float b, float u1, float v1, DWORD color = 0xFFFFFFFF) {
        const TexVertex v[4] = {{l, t, 0.5f, color, 0, 0},
                                {r, t, 0.5f, color, u1, 0},
                                {l, b, 0.5f, color, 0, v1},
                                {r, b, 0.5f, color, u1, v1}};
        Dev->SetVertexShader(TexFVF);
        ASSERT_EQ(Dev->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, v, sizeof(TexVertex)), D3D_OK);
    }

    IDirect3DTexture8* MakeTexture(UINT w, UINT h, D3DFORMAT fmt, const std::vector<std::uint32_t>& texels) {
        IDirect3DTexture8* tex = nullptr;
        EXPECT_EQ(Dev->CreateTexture(w, h, 1, 0, fmt, D3DPOOL_MANAGED, &tex), D3D_OK);
        if (!tex) return nullptr;
        D3DLOCKED_RECT lr{};
        EXPECT_EQ(tex->LockRect(0, &lr, nullptr, 0), D3D_OK);
        const int bpp = D3DFormatBits(fmt) / 8;
        for (UINT y = 0; y < h; ++y)
            for (UINT x = 0; x < w; ++x) {
                auto* dst = static_cast<std::uint8_t*>(lr.pBits) + y * lr.Pitch + x * bpp;
                const std::uint32_t t = texels[y * w + x];
                std::memcpy(dst, &t, bpp);
            }
        EXPECT_EQ(tex->UnlockRect(0), D3D_OK);
        return tex;
    }

    void UseTexture(IDirect3DTexture8* tex) {
        Dev->SetTexture(0, tex);
        Dev->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
        Dev->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
        Dev->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
        Dev->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
    }

    std::vector<std::uint32_t> Pixels(UINT* w = nullptr) {
        IDirect3DSurface8* bb = nullptr;
        EXPECT_EQ(Dev->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &bb), D3D_OK);
        std::vector<std::uint32_t> out;
        if (!bb) return out;
        D3DSURFACE_DESC desc{};
        bb->GetDesc(&desc);
        D3DLOCKED_RECT lr{};
        EXPECT_EQ(bb->LockRect(&lr, nullptr, D3DLOCK_READONLY), D3D_OK);
        const auto* p = static_cast<const std::uint32_t*>(lr.pBits);
        out.assign(p, p + desc.Width * desc.Height);
        bb->UnlockRect();
        bb->Release();
        if (w) *w = desc.Width;
        return out;
    }

    Rgb At(int x, int y) {
        UINT w = 0;
        const auto px = Pixels(&w);
        const std::uint32_t p = px.at(static_cast<size_t>(y) * w + x);
        return {static_cast<int>((p >> 16) & 255), static_cast<int>((p >> 8) & 255),
                static_cast<int>(p & 255)};
    }

    // Lets what the window system said at creation pass, so that a test sees only its own input.
    static void DrainMessages() {
        MSG msg;
        while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessage(&msg);
        received.clear();
    }

    HWND Wnd = nullptr;
    IDirect3D8* D3D = nullptr;
    IDirect3DDevice8* Dev = nullptr;
    D3DPRESENT_PARAMETERS Params{};
};

::testing::AssertionResult Near(Rgb got, int r, int g, int b, int tolerance) {
    if (std::abs(got.r - r) <= tolerance && std::abs(got.g - g) <= tolerance &&
        std::abs(got.b - b) <= tolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "pixel is (" << got.r << ", " << got.g << ", " << got.b << "), expected (" << r << ", " << g
           << ", " << b << ") within " << tolerance;
}
#define EXPECT_RGB(...) EXPECT_TRUE(Near(__VA_ARGS__))

} // namespace

TEST_F(GLDeviceTest, ClearFillsTheViewportOrTheGivenRectangles) {
    Dev->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF204060, 1.0f, 0);
    EXPECT_RGB(At(0, 0), 0x20, 0x40, 0x60, 0);
    EXPECT_RGB(At(799, 599), 0x20, 0x40, 0x60, 0);
    const D3DRECT r{10, 20, 30, 40};
    Dev->Clear(1, &r, D3DCLEAR_TARGET, 0xFFFF0000, 1.0f, 0);
    EXPECT_RGB(At(10, 20), 255, 0, 0, 0);
    EXPECT_RGB(At(29, 39), 255, 0, 0, 0);
    EXPECT_RGB(At(30, 39), 0x20, 0x40, 0x60, 0);
    D3DVIEWPORT8 vp{400, 300, 100, 100, 0, 1};
    ASSERT_EQ(Dev->SetViewport(&vp), D3D_OK);
    Dev->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF00FF00, 1.0f, 0);
    EXPECT_RGB(At(450, 350), 0, 255, 0, 0);
    EXPECT_RGB(At(399, 350), 0x20, 0x40, 0x60, 0);
}

TEST_F(GLDeviceTest, PretransformedQuadCoversExactlyItsPixels) {
    Dev->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    Dev->BeginScene();
    FillRect(100, 100, 200, 150, 0xFFFF0000);
    Dev->EndScene();
    EXPECT_RGB(At(100, 100), 255, 0, 0, 0); // top-left pixel is inside
    EXPECT_RGB(At(199, 149), 255, 0, 0, 0);
    EXPECT_RGB(At(200, 120), 0, 0, 0, 0); // the right and bottom edges are outside
    EXPECT_RGB(At(150, 150), 0, 0, 0, 0);
    EXPECT_RGB(At(99, 120), 0, 0, 0, 0);
}

TEST_F(GLDeviceTest, TexturedQuadThroughWorldViewProjection) {
    // 2 x 2 texture: red, green / blue, white.
    IDirect3DTexture8* tex =
        MakeTexture(2, 2, D3DFMT_A8R8G8B8, {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF});
    ASSERT_NE(tex, nullptr);
    Dev->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    PixelProjection();
    D3DMATRIX world = D3DMatrixIdentity();
    world.m[3][0] = 300; // moved by the world matrix
    world.m[3][1] = 200;
    Dev->SetTransform(D3DTS_WORLD, &world);
    UseTexture(tex);
    Dev->BeginScene();
    TexturedQuad(0, 0, 200, 200, 1, 1);
    Dev->EndScene();
    EXPECT_RGB(At(350, 250), 255, 0, 0, 0);
    EXPECT_RGB(At(450, 250), 0, 255, 0, 0);
    EXPECT_RGB(At(350, 350), 0, 0, 255, 0);
    EXPECT_RGB(At(450, 350), 255, 255, 255, 0);
    EXPECT_RGB(At(299, 250), 0, 0, 0, 0);
    EXPECT_RGB(At(300, 200), 255, 0, 0, 0);
    EXPECT_RGB(At(500, 400), 0, 0, 0, 0);
    Dev->SetTexture(0, nullptr);
    tex->Release();
}

TEST_F(GLDeviceTest, BlendedQuadMixesBySourceAlpha) {
    Dev->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF0000FF, 1.0f, 0);
    Dev->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    Dev->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    Dev->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    Dev->BeginScene();
    FillRect(0, 0, 100, 100, 0x80FF0000);
    Dev->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE); // additive
    FillRect(200, 0, 300, 100, 0x80FF0000);
    Dev->EndScene();
    EXPECT_RGB(At(50, 50), 128, 0, 127, 2);
    EXPECT_RGB(At(250, 50), 128, 0, 255, 2);
}

TEST_F(GLDeviceTest, StageOperationsCombineTextureAndDiffuse) {
    IDirect3DTexture8* tex = MakeTexture(1, 1, D3DFMT_A8R8G8B8, {0x80FFFFFF}); // white, half transparent
    ASSERT_NE(tex, nullptr);
    Dev->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    PixelProjection();
    Dev->SetTexture(0, tex);
    Dev->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    Dev->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    Dev->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    Dev->BeginScene();
    // MODULATE(TEXTURE, DIFFUSE) colour, SELECTARG1(DIFFUSE) alpha: the diffuse colour, opaque.
    Dev->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
    Dev->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    Dev->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
    Dev->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
    Dev->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_DIFFUSE);
    TexturedQuad(0, 0, 100, 100, 1, 1, 0xFF00FF00);
    // SELECTARG1(TEXTURE) colour, MODULATE(TEXTURE, DIFFUSE) alpha: white at 0.5 x 0.5 over black.
    Dev->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    Dev->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
    Dev->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
    Dev->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
    TexturedQuad(200, 0, 300, 100, 1, 1, 0x80FF0000);
    // ADD(TEXTURE, DIFFUSE) saturates to white.
    Dev->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    Dev->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_ADD);
    TexturedQuad(400, 0, 500, 100, 1, 1, 0xFF0000FF);
    // SELECTARG2 picks the second argument (the texture factor here).
    Dev->SetRenderState(D3DRS_TEXTUREFACTOR, 0xFF123456);
    Dev->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG2);
    Dev->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_TFACTOR);
    TexturedQuad(600, 0, 700, 100, 1, 1, 0xFF0000FF);
    // DISABLE shows the diffuse colour alone.
    Dev->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_DISABLE);
    TexturedQuad(0, 200, 100, 300, 1, 1, 0xFF00FFFF);
    Dev->EndScene();
    EXPECT_RGB(At(50, 50), 0, 255, 0, 1);
    EXPECT_RGB(At(250, 50), 64, 64, 64, 2);
    EXPECT_RGB(At(450, 50), 255, 255, 255, 0);
    EXPECT_RGB(At(650, 50), 0x12, 0x34, 0x56, 0);
    EXPECT_RGB(At(50, 250), 0, 255, 255, 0);
    Dev->SetTexture(0, nullptr);
    tex->Release();
}

TEST_F(GLDeviceTest, MirrorAndWrapAddressing) {
    IDirect3DTexture8* tex = MakeTexture(2, 1, D3DFMT_A8R8G8B8, {0xFFFF0000, 0xFF00FF00});
    ASSERT_NE(tex, nullptr);
    Dev->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    PixelProjection();
    UseTexture(tex);
    Dev->BeginScene();
    Dev->SetTextureStageState(0, D3DTSS_ADDRESSU, D3DTADDRESS_MIRROR);
    TexturedQuad(0, 0, 400, 50, 2, 1); // red green | green red
    Dev->SetTextureStageState(0, D3DTSS_ADDRESSU, D3DTADDRESS_WRAP);
    TexturedQuad(0, 100, 400, 150, 2, 1); // red green | red green
    Dev->SetTextureStageState(0, D3DTSS_ADDRESSU, D3DTADDRESS_CLAMP);
    TexturedQuad(0, 200, 400, 250, 2, 1); // red green | green green
    Dev->EndScene();
    const int xs[4] = {50, 150, 250, 350};
    const Rgb mirror[4] = {{255, 0, 0}, {0, 255, 0}, {0, 255, 0}, {255, 0, 0}};
    const Rgb wrap[4] = {{255, 0, 0}, {0, 255, 0}, {255, 0, 0}, {0, 255, 0}};
    const Rgb clamp[4] = {{255, 0, 0}, {0, 255, 0}, {0, 255, 0}, {0, 255, 0}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_RGB(At(xs[i], 25), mirror[i].r, mirror[i].g, mirror[i].b, 0) << "mirror " << i;
        EXPECT_RGB(At(xs[i], 125), wrap[i].r, wrap[i].g, wrap[i].b, 0) << "wrap " << i;
        EXPECT_RGB(At(xs[i], 225), clamp[i].r, clamp[i].g, clamp[i].b, 0) << "clamp " << i;
    }
    Dev->SetTexture(0, nullptr);
    tex->Release();
}

TEST_F(GLDeviceTest, LinearFilterBlendsNeighbouringTexels) {
    IDirect3DTexture8* tex = MakeTexture(2, 1, D3DFMT_X8R8G8B8, {0xFF000000, 0xFFFFFFFF});
    ASSERT_NE(tex, nullptr);
    PixelProjection();
    UseTexture(tex);
    Dev->SetTextureStageState(0, D3DTSS_ADDRESSU, D3DTADDRESS_CLAMP);
    Dev->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTEXF_LINEAR);
    Dev->SetTextureStageState(0, D3DTSS_MINFILTER, D3DTEXF_LINEAR);
    Dev->BeginScene();
    TexturedQuad(0, 0, 200, 10, 1, 1);
    Dev->EndScene();
    const Rgb middle = At(100, 5);
    EXPECT_NEAR(middle.r, 128, 8);
    EXPECT_LT(At(10, 5).r, 10);
    EXPECT_GT(At(190, 5).r, 245);
    Dev->SetTexture(0, nullptr);
    tex->Release();
}

TEST_F(GLDeviceTest, TexturePixelsLiveInGLAndTheLowerLevelsAreMadeWhenSampled) {
    // 4 x 4 with a full chain: left half red, right half blue.
    IDirect3DTexture8* tex = nullptr;
    ASSERT_EQ(Dev->CreateTexture(4, 4, 0, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &tex), D3D_OK);
    ASSERT_EQ(tex->GetLevelCount(), 3u);
    D3DLOCKED_RECT lr{};
    ASSERT_EQ(tex->LockRect(0, &lr, nullptr, 0), D3D_OK);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            static_cast<std::uint32_t*>(lr.pBits)[y * lr.Pitch / 4 + x] = x < 2 ? 0xFFFF0000u : 0xFF0000FFu;
    ASSERT_EQ(tex->UnlockRect(0), D3D_OK);
    // Locked again, the levels show what GL holds: level 0 as written, the 1 x 1 level the box average.
    ASSERT_EQ(tex->LockRect(0, &lr, nullptr, D3DLOCK_READONLY), D3D_OK);
    EXPECT_EQ(static_cast<const std::uint32_t*>(lr.pBits)[1], 0xFFFF0000u);
    EXPECT_EQ(static_cast<const std::uint32_t*>(lr.pBits)[3 * lr.Pitch / 4 + 3], 0xFF0000FFu);
    tex->UnlockRect(0);
    ASSERT_EQ(tex->LockRect(2, &lr, nullptr, D3DLOCK_READONLY), D3D_OK);
    EXPECT_EQ(*static_cast<const std::uint32_t*>(lr.pBits), 0xFF800080u);
    tex->UnlockRect(2);
    // Drawn 1:1 the texels show; drawn into one pixel with point mip filtering the 1 x 1 level does.
    PixelProjection();
    UseTexture(tex);
    Dev->BeginScene();
    TexturedQuad(0, 0, 4, 4, 1, 1);
    Dev->SetTextureStageState(0, D3DTSS_MIPFILTER, D3DTEXF_POINT);
    TexturedQuad(10, 0, 11, 1, 1, 1);
    Dev->EndScene();
    EXPECT_RGB(At(0, 0), 255, 0, 0, 0);
    EXPECT_RGB(At(3, 3), 0, 0, 255, 0);
    EXPECT_RGB(At(10, 0), 128, 0, 128, 0);
    Dev->SetTexture(0, nullptr);
    tex->Release();
}

TEST_F(GLDeviceTest, SixteenBitFormatsUploadTheirChannels) {
    struct Case {
        D3DFORMAT Format;
        std::uint32_t Texel;
        Rgb Expected;
    };
    const Case cases[] = {
        {D3DFMT_R5G6B5, 0xF800, {255, 0, 0}},
        {D3DFMT_R5G6B5, 0x07E0, {0, 255, 0}},
        {D3DFMT_X1R5G5B5, 0x001F, {0, 0, 255}},
        {D3DFMT_A1R5G5B5, 0xFC00, {255, 0, 0}},
        {D3DFMT_A4R4G4B4, 0xF0F0, {0, 255, 0}},
        {D3DFMT_X4R4G4B4, 0x0F00, {255, 0, 0}},
        {D3DFMT_X8R8G8B8, 0x00123456, {0x12, 0x34, 0x56}},
    };
    PixelProjection();
    int x = 0;
    std::vector<IDirect3DTexture8*> made;
    Dev->BeginScene();
    for (const Case& c : cases) {
        IDirect3DTexture8* tex = MakeTexture(1, 1, c.Format, {c.Texel});
        ASSERT_NE(tex, nullptr);
        UseTexture(tex);
        TexturedQuad(static_cast<float>(x), 0, static_cast<float>(x + 50), 50, 1, 1);
        made.push_back(tex);
        x += 50;
    }
    Dev->EndScene();
    for (size_t i = 0; i < std::size(cases); ++i)
        EXPECT_RGB(At(static_cast<int>(i) * 50 + 25, 25), cases[i].Expected.r, cases[i].Expected.g,
                   cases[i].Expected.b, 0)
            << D3DFormatName(cases[i].Format);
    Dev->SetTexture(0, nullptr);
    for (auto* t : made)
        t->Release();
}

TEST_F(GLDeviceTest, AlphaTestDropsTransparentTexels) {
    IDirect3DTexture8* tex = MakeTexture(2, 1, D3DFMT_A1R5G5B5, {0x7C00, 0xFC00}); // clear red, opaque red
    ASSERT_NE(tex, nullptr);
    Dev->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    PixelProjection();
    UseTexture(tex);
    Dev->SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
    Dev->SetRenderState(D3DRS_ALPHAREF, 0x80);
    Dev->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATEREQUAL);
    Dev->BeginScene();
    TexturedQuad(0, 0, 200, 50, 1, 1);
    Dev->EndScene();
    EXPECT_RGB(At(50, 25), 0, 0, 0, 0);
    EXPECT_RGB(At(150, 25), 255, 0, 0, 0);
    Dev->SetTexture(0, nullptr);
    tex->Release();
}

TEST_F(GLDeviceTest, VertexBufferPrimitivesOfEveryKind) {
    IDirect3DVertexBuffer8* vb = nullptr;
    ASSERT_EQ(Dev->CreateVertexBuffer(16 * sizeof(TLVertex), D3DUSAGE_WRITEONLY, TLFVF, D3DPOOL_MANAGED, &vb),
              D3D_OK);
    const DWORD c = 0xFFFFFF00;
    const TLVertex v[16] = {// triangle list (0..2): a right triangle
                            {10, 10, 0, 1, c},
                            {110, 10, 0, 1, c},
                            {10, 110, 0, 1, c},
                            // fan (3..6): a square 200..300
                            {200, 10, 0, 1, c},
                            {300, 10, 0, 1, c},
                            {300, 110, 0, 1, c},
                            {200, 110, 0, 1, c},
                            // line list (7..8): horizontal line at y = 300
                            {10, 300.5f, 0, 1, c},
                            {300, 300.5f, 0, 1, c},
                            // line strip (9..11)
                            {400, 300.5f, 0, 1, c},
                            {500, 300.5f, 0, 1, c},
                            {500.5f, 400, 0, 1, c},
                            // points (12..15)
                            {600, 500, 0, 1, c},
                            {610, 500, 0, 1, c},
                            {620, 500, 0, 1, c},
                            {630, 500, 0, 1, c}};
    BYTE* data = nullptr;
    ASSERT_EQ(vb->Lock(0, 0, &data, 0), D3D_OK);
    std::memcpy(data, v, sizeof v);
    vb->Unlock();
    Dev->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    Dev->SetStreamSource(0, vb, sizeof(TLVertex));
    Dev->SetVertexShader(TLFVF);
    Dev->BeginScene();
    EXPECT_EQ(Dev->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 1), D3D_OK);
    EXPECT_EQ(Dev->DrawPrimitive(D3DPT_TRIANGLEFAN, 3, 2), D3D_OK);
    EXPECT_EQ(Dev->DrawPrimitive(D3DPT_LINELIST, 7, 1), D3D_OK);
    EXPECT_EQ(Dev->DrawPrimitive(D3DPT_LINESTRIP, 9, 2), D3D_OK);
    EXPECT_EQ(Dev->DrawPrimitive(D3DPT_POINTLIST, 12, 4), D3D_OK);
    EXPECT_EQ(Dev->DrawPrimitive(D3DPT_TRIANGLESTRIP, 14, 2), D3DERR_INVALIDCALL); // past the end
    Dev->EndScene();
    EXPECT_RGB(At(20, 20), 255, 255, 0, 0);
    EXPECT_RGB(At(100, 100), 0, 0, 0, 0); // beyond the hypotenuse
    EXPECT_RGB(At(250, 60), 255, 255, 0, 0);
    EXPECT_RGB(At(150, 300), 255, 255, 0, 0);
    EXPECT_RGB(At(150, 302), 0, 0, 0, 0);
    EXPECT_RGB(At(450, 300), 255, 255, 0, 0);
    EXPECT_RGB(At(500, 350), 255, 255, 0, 0);
    EXPECT_RGB(At(610, 500), 255, 255, 0, 0);
    EXPECT_RGB(At(605, 500), 0, 0, 0, 0);
    Dev->SetStreamSource(0, nullptr, 0);
    vb->Release();
}

// A big buffer of which only parts are ever locked (the particle quads): what was written at any
// offset is drawn, written parts survive the storage growing, unwritten vertices draw nothing.
TEST_F(GLDeviceTest, BigVertexBufferDrawsWhatWasLockedWherever) {
    constexpr UINT count = 100000, far = 90000;
    IDirect3DVertexBuffer8* vb = nullptr;
    ASSERT_EQ(
        Dev->CreateVertexBuffer(count * sizeof(TLVertex), D3DUSAGE_WRITEONLY, TLFVF, D3DPOOL_MANAGED, &vb),
        D3D_OK);
    D3DVERTEXBUFFER_DESC desc{};
    ASSERT_EQ(vb->GetDesc(&desc), D3D_OK);
    EXPECT_EQ(desc.Size, count * sizeof(TLVertex));
    const TLVertex nearTri[3] = {
        {10, 10, 0, 1, 0xFFFF0000}, {110, 10, 0, 1, 0xFFFF0000}, {10, 110, 0, 1, 0xFFFF0000}};
    const TLVertex farTri[3] = {
        {210, 10, 0, 1, 0xFF00FF00}, {310, 10, 0, 1, 0xFF00FF00}, {210, 110, 0, 1, 0xFF00FF00}};
    BYTE* data = nullptr;
    ASSERT_EQ(vb->Lock(0, sizeof nearTri, &data, 0), D3D_OK);
    std::memcpy(data, nearTri, sizeof nearTri);
    vb->Unlock();
    ASSERT_EQ(vb->Lock(far * sizeof(TLVertex), sizeof farTri, &data, 0), D3D_OK);
    std::memcpy(data, farTri, sizeof farTri);
    vb->Unlock();
    EXPECT_EQ(vb->Lock(far * sizeof(TLVertex), count * sizeof(TLVertex), &data, 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(vb->Lock(count * sizeof(TLVertex) + 1, 0, &data, 0), D3DERR_INVALIDCALL);
    Dev->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    Dev->SetStreamSource(0, vb, sizeof(TLVertex));
    Dev->SetVertexShader(TLFVF);
    Dev->BeginScene();
    EXPECT_EQ(Dev->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 1), D3D_OK);
    EXPECT_EQ(Dev->DrawPrimitive(D3DPT_TRIANGLELIST, far, 1), D3D_OK);
    EXPECT_EQ(Dev->DrawPrimitive(D3DPT_TRIANGLELIST, 50000, 100), D3D_OK); // never written: zeros
    EXPECT_EQ(Dev->DrawPrimitive(D3DPT_TRIANGLELIST, count - 2, 1), D3DERR_INVALIDCALL);
    Dev->EndScene();
    EXPECT_RGB(At(20, 20), 255, 0, 0, 0);
    EXPECT_RGB(At(220, 20), 0, 255, 0, 0);
    EXPECT_RGB(At(400, 20), 0, 0, 0, 0);
    Dev->SetStreamSource(0, nullptr, 0);
    vb->Release();
}

TEST_F(GLDeviceTest, CullingFollowsDirect3DWinding) {
    Dev->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    Dev->SetVertexShader(TLFVF);
    const DWORD c = 0xFFFFFFFF;
    const TLVertex clockwise[3] = {{10, 10, 0, 1, c}, {110, 10, 0, 1, c}, {10, 110, 0, 1, c}};
    const TLVertex counter[3] = {{210, 10, 0, 1, c}, {210, 110, 0, 1, c}, {310, 10, 0, 1, c}};
    Dev->SetRenderState(D3DRS_CULLMODE, D3DCULL_CCW); // Direct3D's default keeps clockwise triangles
    Dev->BeginScene();
    Dev->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, clockwise, sizeof(TLVertex));
    Dev->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, counter, sizeof(TLVertex));
    Dev->EndScene();
    EXPECT_RGB(At(20, 20), 255, 255, 255, 0);
    EXPECT_RGB(At(220, 20), 0, 0, 0, 0);
}

TEST_F(GLDeviceTest, DepthTestKeepsTheNearerSurface) {
    Dev->Release();
    Dev = nullptr;
    D3DPRESENT_PARAMETERS withDepth = Windowed(800, 600);
    withDepth.EnableAutoDepthStencil = TRUE;
    withDepth.AutoDepthStencilFormat = D3DFMT_D24X8;
    ASSERT_EQ(D3D->CreateDevice(0, D3DDEVTYPE_HAL, Wnd, 0, &withDepth, &Dev), D3D_OK);
    Dev->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
    Dev->SetRenderState(D3DRS_ZENABLE, D3DZB_TRUE);
    Dev->SetRenderState(D3DRS_ZFUNC, D3DCMP_LESSEQUAL);
    Dev->SetVertexShader(TLFVF);
    auto quad = [&](float z, DWORD c) {
        const TLVertex v[4] = {{0, 0, z, 1, c}, {100, 0, z, 1, c}, {0, 100, z, 1, c}, {100, 100, z, 1, c}};
        Dev->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, v, sizeof(TLVertex));
    };
    Dev->BeginScene();
    quad(0.2f, 0xFFFF0000);
    quad(0.8f, 0xFF00FF00); // behind the red one
    Dev->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
    quad(0.1f, 0x80000000); // in front, but leaves the depth alone
    Dev->SetRenderState(D3DRS_ZWRITEENABLE, TRUE);
    quad(0.15f, 0xFF0000FF);
    Dev->EndScene();
    EXPECT_RGB(At(50, 50), 0, 0, 255, 0);
    Dev->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
    Dev->BeginScene();
    quad(0.9f, 0xFFFFFF00); // no test: drawn over everything
    Dev->EndScene();
    EXPECT_RGB(At(50, 50), 255, 255, 0, 0);
}

TEST_F(GLDeviceTest, FlatShadingTakesTheFirstVertexColour) {
    Dev->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    Dev->SetRenderState(D3DRS_SHADEMODE, D3DSHADE_FLAT);
    const TLVertex v[3] = {
        {10, 10, 0, 1, 0xFFFF0000}, {110, 10, 0, 1, 0xFF00FF00}, {10, 110, 0, 1, 0xFF0000FF}};
    Dev->SetVertexShader(TLFVF);
    Dev->BeginScene();
    Dev->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, v, sizeof(TLVertex));
    Dev->EndScene();
    EXPECT_RGB(At(30, 30), 255, 0, 0, 0);
    EXPECT_RGB(At(90, 12), 255, 0, 0, 0);
}

TEST_F(GLDeviceTest, DirectionalLightLightsFacingSurfacesOnly) {
    Dev->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    PixelProjection();
    D3DLIGHT8 light{};
    light.Type = D3DLIGHT_DIRECTIONAL;
    light.Diffuse = {1, 1, 1, 1};
    light.Direction = {0, 0, 1}; // travelling into the screen
    Dev->SetLight(0, &light);
    Dev->LightEnable(0, TRUE);
    Dev->SetRenderState(D3DRS_LIGHTING, TRUE);
    Dev->SetRenderState(D3DRS_AMBIENT, 0);
    Dev->SetVertexShader(LitFVF);
    const DWORD c = 0xFF00FF00;
    // Normal towards the viewer (-z in a left-handed view): lit.
    const LitVertex lit[4] = {{0, 0, 0.5f, 0, 0, -1, c},
                              {100, 0, 0.5f, 0, 0, -1, c},
                              {0, 100, 0.5f, 0, 0, -1, c},
                              {100, 100, 0.5f, 0, 0, -1, c}};
    // Normal away from the viewer: dark.
    const LitVertex dark[4] = {{200, 0, 0.5f, 0, 0, 1, c},
                               {300, 0, 0.5f, 0, 0, 1, c},
                               {200, 100, 0.5f, 0, 0, 1, c},
                               {300, 100, 0.5f, 0, 0, 1, c}};
    Dev->BeginScene();
    Dev->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, lit, sizeof(LitVertex));
    Dev->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, dark, sizeof(LitVertex));
    Dev->EndScene();
    EXPECT_RGB(At(50, 50), 0, 255, 0, 2);
    EXPECT_RGB(At(250, 50), 0, 0, 0, 2);

    // Turning the light round with nothing else changed swaps the two.
    light.Direction = {0, 0, -1};
    Dev->SetLight(0, &light);
    Dev->BeginScene();
    Dev->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, lit, sizeof(LitVertex));
    Dev->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, dark, sizeof(LitVertex));
    Dev->EndScene();
    EXPECT_RGB(At(50, 50), 0, 0, 0, 2);
    EXPECT_RGB(At(250, 50), 0, 255, 0, 2);
    // Switched off, only the ambient light is left.
    Dev->LightEnable(0, FALSE);
    Dev->SetRenderState(D3DRS_AMBIENT, 0xFF808080);
    D3DMATERIAL8 material{};
    material.Ambient = {1, 1, 1, 1};
    Dev->SetMaterial(&material);
    Dev->BeginScene();
    Dev->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, dark, sizeof(LitVertex));
    Dev->EndScene();
    EXPECT_RGB(At(250, 50), 128, 128, 128, 2);
}

TEST_F(GLDeviceTest, ViewportFollowsTheBackBufferSize) {
    Dev->Release();
    Dev = nullptr;
    D3DPRESENT_PARAMETERS small = Windowed(640, 480);
    small.EnableAutoDepthStencil = TRUE;
    small.AutoDepthStencilFormat = D3DFMT_D24X8;
    ASSERT_EQ(D3D->CreateDevice(0, D3DDEVTYPE_HAL, Wnd, 0, &small, &Dev), D3D_OK);
    D3DVIEWPORT8 vp{};
    Dev->GetViewport(&vp);
    EXPECT_EQ(vp.Width, 640u);
    EXPECT_EQ(vp.Height, 480u);
    DWORD z = 0;
    Dev->GetRenderState(D3DRS_ZENABLE, &z);
    EXPECT_EQ(z, static_cast<DWORD>(D3DZB_TRUE));
}

TEST_F(GLDeviceTest, StateBlocksReplayOnTheGLDevice) {
    DWORD blend = 0;
    ASSERT_EQ(Dev->BeginStateBlock(), D3D_OK);
    Dev->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    Dev->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    Dev->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    ASSERT_EQ(Dev->EndStateBlock(&blend), D3D_OK);
    Dev->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    Dev->BeginScene();
    FillRect(0, 0, 50, 50, 0x80FFFFFF); // recorded, not applied yet: opaque
    Dev->ApplyStateBlock(blend);
    FillRect(100, 0, 150, 50, 0x80FFFFFF);
    Dev->EndScene();
    EXPECT_RGB(At(25, 25), 255, 255, 255, 0);
    EXPECT_RGB(At(125, 25), 128, 128, 128, 2);
    EXPECT_EQ(Dev->DeleteStateBlock(blend), D3D_OK);
    EXPECT_EQ(Dev->ApplyStateBlock(blend), D3DERR_INVALIDCALL);
}

TEST_F(GLDeviceTest, PresentShowsTheFrameAndKeepsTheBackBuffer) {
    Dev->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF336699, 1.0f, 0);
    ASSERT_EQ(Dev->BeginScene(), D3D_OK);
    EXPECT_EQ(Dev->Present(nullptr, nullptr, nullptr, nullptr), D3DERR_INVALIDCALL); // not inside a scene
    ASSERT_EQ(Dev->EndScene(), D3D_OK);
    EXPECT_EQ(Dev->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
    EXPECT_RGB(At(400, 300), 0x33, 0x66, 0x99, 0);
}

TEST_F(GLDeviceTest, FullScreenToggleThroughResetKeepsTextures) {
    IDirect3DTexture8* tex = MakeTexture(1, 1, D3DFMT_A8R8G8B8, {0xFF00FF00});
    ASSERT_NE(tex, nullptr);
    D3DPRESENT_PARAMETERS full = Windowed(800, 600);
    full.Windowed = FALSE;
    ASSERT_EQ(Dev->Reset(&full), D3D_OK);
    EXPECT_TRUE(IsWindowFullscreen(Wnd));
    PlainStates(); // Reset returns every state to its default
    PixelProjection();
    UseTexture(tex);
    Dev->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    Dev->BeginScene();
    TexturedQuad(0, 0, 100, 100, 1, 1);
    Dev->EndScene();
    EXPECT_EQ(Dev->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
    EXPECT_RGB(At(50, 50), 0, 255, 0, 0);

    D3DPRESENT_PARAMETERS back = Windowed(800, 600);
    ASSERT_EQ(Dev->Reset(&back), D3D_OK);
    EXPECT_FALSE(IsWindowFullscreen(Wnd));
    MSG msg;
    while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE))
        DispatchMessage(&msg);
    RECT client{};
    GetClientRect(Wnd, &client);
    EXPECT_EQ(client.right, 800); // the window size came back without a window manager
    EXPECT_EQ(client.bottom, 600);
    PlainStates();
    PixelProjection();
    UseTexture(tex);
    Dev->BeginScene();
    TexturedQuad(200, 0, 300, 100, 1, 1);
    Dev->EndScene();
    EXPECT_RGB(At(250, 50), 0, 255, 0, 0);
    Dev->SetTexture(0, nullptr);
    tex->Release();
}

TEST_F(GLDeviceTest, ResetChangesTheBackBufferSize) {
    D3DPRESENT_PARAMETERS small = Windowed(320, 240);
    ASSERT_EQ(Dev->Reset(&small), D3D_OK);
    Dev->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFFFFFFFF, 1.0f, 0);
    IDirect3DSurface8* bb = nullptr;
    ASSERT_EQ(Dev->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &bb), D3D_OK);
    D3DSURFACE_DESC desc{};
    bb->GetDesc(&desc);
    EXPECT_EQ(desc.Width, 320u);
    EXPECT_EQ(desc.Height, 240u);
    bb->Release();
    D3DVIEWPORT8 vp{};
    Dev->GetViewport(&vp);
    EXPECT_EQ(vp.Width, 320u);
}

TEST_F(GLDeviceTest, LostDeviceSwitchReportsOnceAndResetRecovers) {
    EXPECT_EQ(Dev->TestCooperativeLevel(), D3D_OK);
    D3DTestLoseDeviceOnce();
    EXPECT_EQ(Dev->TestCooperativeLevel(), D3DERR_DEVICENOTRESET);
    ASSERT_EQ(Dev->Reset(&Params), D3D_OK);
    EXPECT_EQ(Dev->TestCooperativeLevel(), D3D_OK);
}

TEST_F(GLDeviceTest, PostedMessagesReachTheProcedureInOrder) {
    received.clear();
    PostMessage(Wnd, WM_KEYDOWN, VK_RETURN, 0);
    PostMessage(Wnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(120, 340));
    PostMessage(Wnd, WM_KEYUP, VK_RETURN, 0);
    MSG msg;
    while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessage(&msg);
    }
    std::vector<MSG> keys;
    for (const MSG& m : received)
        if (m.message == WM_KEYDOWN || m.message == WM_KEYUP || m.message == WM_LBUTTONDOWN)
            keys.push_back(m);
    ASSERT_EQ(keys.size(), 3u);
    EXPECT_EQ(keys[0].message, WM_KEYDOWN);
    EXPECT_EQ(keys[0].wParam, VK_RETURN);
    EXPECT_EQ(keys[1].message, WM_LBUTTONDOWN);
    EXPECT_EQ(GET_X_LPARAM(keys[1].lParam), 120);
    EXPECT_EQ(GET_Y_LPARAM(keys[1].lParam), 340);
    EXPECT_EQ(keys[2].message, WM_KEYUP);
}

TEST_F(GLDeviceTest, MouseArrivesInBackBufferPixels) {
    D3DPRESENT_PARAMETERS half = Windowed(400, 300); // the window shows it doubled
    ASSERT_EQ(Dev->Reset(&half), D3D_OK);
    DrainMessages();
    ASSERT_TRUE(SimulateMouseInput(Wnd, WM_MOUSEMOVE, 401, 201));
    ASSERT_TRUE(SimulateMouseInput(Wnd, WM_RBUTTONDOWN, 10, 20));
    MSG msg;
    while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE))
        DispatchMessage(&msg);
    std::vector<MSG> mouse;
    for (const MSG& m : received)
        if (m.message == WM_MOUSEMOVE || m.message == WM_RBUTTONDOWN) mouse.push_back(m);
    ASSERT_EQ(mouse.size(), 2u);
    EXPECT_EQ(GET_X_LPARAM(mouse[0].lParam), 200);
    EXPECT_EQ(GET_Y_LPARAM(mouse[0].lParam), 100);
    EXPECT_EQ(mouse[1].message, WM_RBUTTONDOWN);
    EXPECT_EQ(GET_X_LPARAM(mouse[1].lParam), 5);
    EXPECT_EQ(GET_Y_LPARAM(mouse[1].lParam), 10);
}

// A driven test run drops the desk's input but keeps what the test hooks give.
TEST_F(GLDeviceTest, IgnoringTheDeviceStillLetsSimulatedInputThrough) {
    DrainMessages();
    received.clear();
    IgnoreDeviceInput(TRUE);
    ASSERT_TRUE(SimulateMouseInput(Wnd, WM_MOUSEMOVE, 30, 40));
    ASSERT_TRUE(SimulateMouseInput(Wnd, WM_LBUTTONDOWN, 31, 41));
    ASSERT_TRUE(SimulateMouseInput(Wnd, WM_LBUTTONUP, 31, 41));
    ASSERT_TRUE(SimulateCloseRequest(Wnd));
    MSG msg;
    while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE))
        DispatchMessage(&msg);
    IgnoreDeviceInput(FALSE);
    std::vector<UINT> got;
    for (const MSG& m : received)
        if (m.message == WM_MOUSEMOVE || m.message == WM_LBUTTONDOWN || m.message == WM_LBUTTONUP ||
            m.message == WM_CLOSE)
            got.push_back(m.message);
    EXPECT_EQ(got, (std::vector<UINT>{WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_CLOSE}));
}

TEST_F(GLDeviceTest, FullScreenMouseIsMappedThroughTheBars) {
    D3DPRESENT_PARAMETERS full = Windowed(800, 600);
    full.Windowed = FALSE;
    ASSERT_EQ(Dev->Reset(&full), D3D_OK);
    DrainMessages();
    RECT client{};
    GetClientRect(Wnd, &client);
    int desktopW = 0, desktopH = 0;
    GetDesktopSize(&desktopW, &desktopH);
    EXPECT_EQ(client.right, desktopW);
    EXPECT_EQ(client.bottom, desktopH);
    const PresentRect r = ComputePresentRect(800, 600, client.right, client.bottom);
    // The centre of the picture and its bottom-right pixel.
    ASSERT_TRUE(SimulateMouseInput(Wnd, WM_MOUSEMOVE, r.X + r.Width / 2, r.Y + r.Height / 2));
    ASSERT_TRUE(SimulateMouseInput(Wnd, WM_LBUTTONUP, r.X + r.Width - 1, r.Y + r.Height - 1));
    MSG msg;
    while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE))
        DispatchMessage(&msg);
    std::vector<MSG> mouse;
    for (const MSG& m : received)
        if (m.message == WM_MOUSEMOVE || m.message == WM_LBUTTONUP) mouse.push_back(m);
    ASSERT_EQ(mouse.size(), 2u);
    EXPECT_EQ(GET_X_LPARAM(mouse[0].lParam), 400);
    EXPECT_EQ(GET_Y_LPARAM(mouse[0].lParam), 300);
    EXPECT_EQ(GET_X_LPARAM(mouse[1].lParam), 799);
    EXPECT_EQ(GET_Y_LPARAM(mouse[1].lParam), 599);
}

TEST_F(GLDeviceTest, WindowKeepsTheMinimumSizeItsProcedureAsksFor) {
    SetWindowPos(Wnd, HWND_NOTOPMOST, 0, 0, 40, 30, 0);
    RECT client{};
    GetClientRect(Wnd, &client);
    EXPECT_GE(client.right, 100); // TestProc answers WM_GETMINMAXINFO with 100 x 100
    EXPECT_GE(client.bottom, 100);
    SetWindowPos(Wnd, HWND_NOTOPMOST, 0, 0, 640, 480, 0);
    GetClientRect(Wnd, &client);
    EXPECT_EQ(client.right, 640);
    EXPECT_EQ(client.bottom, 480);
    const LONG before = GetWindowLong(Wnd, GWL_STYLE);
    EXPECT_EQ(SetWindowLong(Wnd, GWL_STYLE, static_cast<LONG>(0x90080000u)), before);
    EXPECT_EQ(GetWindowLong(Wnd, GWL_STYLE), static_cast<LONG>(0x90080000u));
}

TEST_F(GLDeviceTest, CursorFromAFile) {
    // 1 x 1 32-bit cursor, hot spot (0, 0).
    std::vector<std::uint8_t> file = {0, 0, 2, 0, 1, 0, 1, 1, 0, 0, 0, 0, 0, 0, 48, 0, 0, 0, 22, 0, 0, 0};
    const std::uint8_t header[40] = {40, 0, 0, 0, 1, 0, 0, 0, 2, 0, 0, 0, 1, 0, 32, 0};
    file.insert(file.end(), header, header + 40);
    const std::uint8_t pixelAndMask[8] = {0, 0, 255, 255, 0, 0, 0, 0};
    file.insert(file.end(), pixelAndMask, pixelAndMask + 8);
    const std::string path = ::testing::TempDir() + "velmora_test_cursor.xcr";
    FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(file.data(), 1, file.size(), f);
    std::fclose(f);
    HCURSOR cursor = LoadCursorFromFile(path.c_str());
    ASSERT_NE(cursor, nullptr);
    EXPECT_EQ(SetCursor(cursor), nullptr);
    EXPECT_EQ(SetCursor(nullptr), cursor);
    EXPECT_EQ(ShowCursor(FALSE), -1);
    EXPECT_EQ(ShowCursor(TRUE), 0);
    EXPECT_TRUE(DestroyCursor(cursor));
    EXPECT_EQ(LoadCursorFromFile((path + ".missing").c_str()), nullptr);
    std::remove(path.c_str());
}

TEST_F(GLDeviceTest, FocusAndCloseBecomeWindowMessages) {
    DrainMessages();
    SimulateFocus(Wnd, FALSE);
    SimulateFocus(Wnd, TRUE);
    SimulateCloseRequest(Wnd);
    MSG msg;
    while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE))
        DispatchMessage(&msg);
    std::vector<MSG> got;
    for (const MSG& m : received)
        if (m.message == WM_ACTIVATEAPP || m.message == WM_CLOSE) got.push_back(m);
    ASSERT_GE(got.size(), 3u);
    EXPECT_EQ(got[got.size() - 3].message, WM_ACTIVATEAPP);
    EXPECT_EQ(got[got.size() - 3].wParam, static_cast<WPARAM>(FALSE));
    EXPECT_EQ(got[got.size() - 2].wParam, static_cast<WPARAM>(TRUE));
    EXPECT_EQ(got.back().message, WM_CLOSE);
    EXPECT_TRUE(IsWindow(Wnd)); // the procedure refused the close
}

TEST_F(GLDeviceTest, DefaultProcedureTurnsAltF4IntoCloseAndCloseIntoDestroy) {
    DrainMessages();
    EXPECT_EQ(DefWindowProc(Wnd, WM_SYSKEYDOWN, VK_F4, 1 << 29), 0);
    MSG msg;
    ASSERT_TRUE(PeekMessage(&msg, Wnd, WM_CLOSE, WM_CLOSE, PM_REMOVE));
    EXPECT_EQ(msg.message, WM_CLOSE);
    SendMessage(Wnd, WM_USER + 5, 7, 9);
    ASSERT_FALSE(received.empty());
    EXPECT_EQ(received.back().message, WM_USER + 5);
    EXPECT_EQ(received.back().wParam, 7u);
    // The device goes first, then the window, as the application frame does it.
    EXPECT_EQ(Dev->Release(), 0u);
    Dev = nullptr;
    DefWindowProc(Wnd, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(Wnd));
    EXPECT_EQ(received.back().message, WM_DESTROY);
    Wnd = nullptr;
}

TEST_F(GLDeviceTest, TheDirect3DObjectDescribesTheAdapter) {
    D3DDISPLAYMODE desktop{};
    ASSERT_EQ(D3D->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, &desktop), D3D_OK);
    EXPECT_GT(desktop.Width, 0u);
    EXPECT_TRUE(desktop.Format == D3DFMT_X8R8G8B8 || desktop.Format == D3DFMT_R5G6B5);
    const UINT modes = D3D->GetAdapterModeCount(D3DADAPTER_DEFAULT);
    ASSERT_GT(modes, 0u);
    bool has16 = false, has32 = false;
    for (UINT i = 0; i < modes; ++i) {
        D3DDISPLAYMODE m{};
        ASSERT_EQ(D3D->EnumAdapterModes(D3DADAPTER_DEFAULT, i, &m), D3D_OK);
        has16 |= m.Format == D3DFMT_R5G6B5;
        has32 |= m.Format == D3DFMT_X8R8G8B8;
    }
    EXPECT_TRUE(has16 && has32);
    D3DDISPLAYMODE none{};
    EXPECT_EQ(D3D->EnumAdapterModes(D3DADAPTER_DEFAULT, modes, &none), D3DERR_INVALIDCALL);
    for (D3DFORMAT f : {D3DFMT_A8R8G8B8, D3DFMT_A4R4G4B4, D3DFMT_A1R5G5B5, D3DFMT_R5G6B5})
        EXPECT_EQ(D3D->CheckDeviceFormat(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, 0, D3DRTYPE_TEXTURE, f), D3D_OK)
            << D3DFormatName(f);
    EXPECT_EQ(D3D->CheckDeviceFormat(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, 0, D3DRTYPE_TEXTURE, D3DFMT_DXT1),
              D3DERR_NOTAVAILABLE);
    EXPECT_EQ(D3D->CheckDeviceFormat(0, D3DDEVTYPE_HAL, D3DFMT_P8, 0, D3DRTYPE_TEXTURE, D3DFMT_A8R8G8B8),
              D3DERR_NOTAVAILABLE);
    D3DADAPTER_IDENTIFIER8 id{};
    ASSERT_EQ(D3D->GetAdapterIdentifier(0, 0, &id), D3D_OK);
    EXPECT_GT(std::strlen(id.Description), 0u);
    EXPECT_GT(Dev->GetAvailableTextureMem(), 16u * 1024 * 1024);
    D3DCAPS8 caps{};
    ASSERT_EQ(Dev->GetDeviceCaps(&caps), D3D_OK);
    EXPECT_TRUE(caps.Caps2 & D3DCAPS2_CANRENDERWINDOWED);
    EXPECT_GE(caps.MaxTextureWidth, 1024u);
}

TEST_F(GLDeviceTest, OneDeviceAtATimeAndTheCreationSwitch) {
    IDirect3DDevice8* second = nullptr;
    EXPECT_EQ(D3D->CreateDevice(0, D3DDEVTYPE_HAL, Wnd, 0, &Params, &second), D3DERR_NOTAVAILABLE);
    EXPECT_EQ(second, nullptr);
    EXPECT_EQ(Direct3DCreate8(120), nullptr); // wrong SDK version
    D3DTestFailCreate(true);
    EXPECT_EQ(Direct3DCreate8(D3D_SDK_VERSION), nullptr);
    D3DTestFailCreate(false);
}
