// 2,000 textured quads a frame through the OpenGL device, drawn the way the game's visuals draw
// them: one vertex buffer each, a state block, a world matrix, a texture and a strip of two
// triangles. The CPU column is this thread's own work (the device and the GL front end); the
// real time adds what the software rasteriser does on its own threads until glFinish.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/d3d8.h"
#include "platform/win32.h"

namespace {

using namespace velmora;

constexpr int kQuads = 2000;

struct Vertex {
    float x, y, z;
    DWORD color;
    float u, v;
};
constexpr DWORD kFVF = D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_TEX1;

LRESULT QuietProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return msg == WM_CLOSE ? 0 : DefWindowProc(hWnd, msg, wParam, lParam);
}

struct TScene {
    TScene() {
        if (!std::getenv("DISPLAY")) setenv("SDL_VIDEODRIVER", "offscreen", 0);
        Wnd = CreateAppWindow("bench", CW_USEDEFAULT, CW_USEDEFAULT, 800, 600, FALSE, QuietProc);
        D3D = Wnd ? Direct3DCreate8(D3D_SDK_VERSION) : nullptr;
        if (!D3D) return;
        D3DPRESENT_PARAMETERS pp{};
        pp.BackBufferWidth = 800;
        pp.BackBufferHeight = 600;
        pp.BackBufferFormat = D3DFMT_X8R8G8B8;
        pp.SwapEffect = D3DSWAPEFFECT_DISCARD;
        pp.Windowed = TRUE;
        if (FAILED(D3D->CreateDevice(0, D3DDEVTYPE_HAL, Wnd, D3DCREATE_SOFTWARE_VERTEXPROCESSING, &pp, &Dev)))
            return;
        D3DTestFinishEveryFrame(true);
        MakeTextures();
        MakeBlock();
        MakeQuads();
        SetPixelProjection();
    }
    ~TScene() {
        for (auto* vb : Buffers)
            vb->Release();
        for (auto* t : Textures)
            t->Release();
        if (Dev) {
            Dev->SetTexture(0, nullptr);
            Dev->SetStreamSource(0, nullptr, 0);
            Dev->DeleteStateBlock(Block);
            Dev->Release();
        }
        if (D3D) D3D->Release();
        if (Wnd) DestroyWindow(Wnd);
    }

    void MakeTextures() {
        for (int i = 0; i < 4; ++i) {
            IDirect3DTexture8* tex = nullptr;
            Dev->CreateTexture(64, 64, 0, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &tex);
            D3DLOCKED_RECT lr{};
            tex->LockRect(0, &lr, nullptr, 0);
            auto* px = static_cast<DWORD*>(lr.pBits);
            for (int p = 0; p < 64 * 64; ++p)
                px[p] = 0x80000000u | static_cast<DWORD>(p * 977 * (i + 1));
            tex->UnlockRect(0);
            Textures.push_back(tex);
        }
    }

    // What the game's textured, alpha-blended block sets.
    void MakeBlock() {
        Dev->BeginStateBlock();
        Dev->SetRenderState(D3DRS_LIGHTING, FALSE);
        Dev->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
        Dev->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
        Dev->SetRenderState(D3DRS_SHADEMODE, D3DSHADE_FLAT);
        Dev->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
        Dev->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
        Dev->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
        Dev->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
        Dev->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
        Dev->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
        Dev->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
        Dev->SetTextureStageState(0, D3DTSS_ADDRESSU, D3DTADDRESS_MIRROR);
        Dev->SetTextureStageState(0, D3DTSS_ADDRESSV, D3DTADDRESS_MIRROR);
        Dev->EndStateBlock(&Block);
    }

    void MakeQuads() {
        for (int i = 0; i < kQuads; ++i) {
            IDirect3DVertexBuffer8* vb = nullptr;
            Dev->CreateVertexBuffer(4 * sizeof(Vertex), D3DUSAGE_WRITEONLY, kFVF, D3DPOOL_MANAGED, &vb);
            BYTE* data = nullptr;
            vb->Lock(0, 0, &data, 0);
            const Vertex v[4] = {{0, 0, 0, 0xFFFFFFFF, 0, 0},
                                 {32, 0, 0, 0xFFFFFFFF, 1, 0},
                                 {0, 32, 0, 0xFFFFFFFF, 0, 1},
                                 {32, 32, 0, 0xFFFFFFFF, 1, 1}};
            std::memcpy(data, v, sizeof v);
            vb->Unlock();
            Buffers.push_back(vb);
        }
    }

    void SetPixelProjection() {
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
    }

    void DrawFrame() {
        Dev->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
        Dev->BeginScene();
        for (int i = 0; i < kQuads; ++i) {
            Dev->SetStreamSource(0, Buffers[i], sizeof(Vertex));
            Dev->SetVertexShader(kFVF);
            Dev->ApplyStateBlock(Block);
            D3DMATRIX world = D3DMatrixIdentity();
            world.m[3][0] = static_cast<float>((i * 37) % 768);
            world.m[3][1] = static_cast<float>((i * 53) % 568);
            Dev->SetTransform(D3DTS_WORLD, &world);
            Dev->SetTexture(0, Textures[(i / 50) % 4]);
            Dev->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2);
        }
        Dev->EndScene();
    }

    HWND Wnd = nullptr;
    IDirect3D8* D3D = nullptr;
    IDirect3DDevice8* Dev = nullptr;
    DWORD Block = 0;
    std::vector<IDirect3DTexture8*> Textures;
    std::vector<IDirect3DVertexBuffer8*> Buffers;
};

// The calls alone: GL work queues up and is finished outside the timed part.
void BM_SubmitQuads(benchmark::State& state) {
    TScene scene;
    if (!scene.Dev) {
        state.SkipWithError("no OpenGL device");
        return;
    }
    for (auto _ : state) {
        scene.DrawFrame();
        state.PauseTiming();
        scene.Dev->Present(nullptr, nullptr, nullptr, nullptr); // ends with glFinish
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kQuads);
}
BENCHMARK(BM_SubmitQuads)->Unit(benchmark::kMillisecond);

// A whole frame: the calls, the rasteriser and the presentation.
void BM_WholeFrame(benchmark::State& state) {
    TScene scene;
    if (!scene.Dev) {
        state.SkipWithError("no OpenGL device");
        return;
    }
    for (auto _ : state) {
        scene.DrawFrame();
        scene.Dev->Present(nullptr, nullptr, nullptr, nullptr);
    }
    state.SetItemsProcessed(state.iterations() * kQuads);
}
BENCHMARK(BM_WholeFrame)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
