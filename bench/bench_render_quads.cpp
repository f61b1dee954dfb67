// CPU cost of drawing 2,000 textured quads through TTexRect on the recording device: block
// application, texture memory, world matrix and the draw call of each quad, per frame.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "app/device.h"
#include "app/log.h"
#include "app/options.h"
#include "platform/recording_device.h"
#include "render/blocks.h"
#include "render/tex.h"
#include "render/visual.h"

namespace {

using namespace velmora;

constexpr int kQuads = 2000;

struct TScene {
    TScene() {
        SetLogFile("/dev/null");
        InitScreenGeometryFor(800, 600);
        Rec = CreateRecordingDevice(800, 600);
        Device = Rec;
        TextureFormat = D3DFMT_A8R8G8B8;
        Store = std::make_unique<TTexArr>(0);
        Blocks = std::make_unique<TStateBlockDepot>();
        Blocks->RestoreDeviceObjects();
        // Four textures shared by the quads, so that the texture memory both hits and misses.
        for (int id = 0; id < 4; ++id) {
            TTexRec& rec = Store->Recs[id];
            CreateTextureDirect(64, 64, 1, rec.Texture, D3DPOOL_MANAGED, TextureFormat, 0);
            rec.Width = rec.Height = rec.TexWidth = rec.TexHeight = 64;
        }
        for (int i = 0; i < kQuads; ++i) {
            auto q = std::make_unique<TTexRect>();
            q->TexId = (i / 50) % 4;
            q->Block1 = sbTexAlpha;
            q->PlaceTexture((i * 37) % 736, (i * 53) % 536, false);
            q->RestoreDeviceObjects();
            Quads.push_back(std::move(q));
        }
    }
    ~TScene() {
        Quads.clear();
        Blocks.reset();
        Store.reset();
        ST(0, nullptr);
        ForgetRememberedTexture();
        Device = nullptr;
        Rec->Release();
    }
    IRecordingDevice* Rec = nullptr;
    std::unique_ptr<TTexArr> Store;
    std::unique_ptr<TStateBlockDepot> Blocks;
    std::vector<std::unique_ptr<TTexRect>> Quads;
};

void BM_Draw2000TexturedQuads(benchmark::State& state) {
    TScene scene;
    for (auto _ : state) {
        for (auto& q : scene.Quads)
            q->Render();
        state.PauseTiming();
        scene.Rec->ClearCalls(); // the recording would otherwise grow without bound
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kQuads);
}
BENCHMARK(BM_Draw2000TexturedQuads)->Unit(benchmark::kMicrosecond);

void BM_Recolour2000Quads(benchmark::State& state) {
    TScene scene;
    uint32_t colour = 0xFF000000u;
    for (auto _ : state) {
        ++colour; // every quad changes colour, so every quad uploads
        for (auto& q : scene.Quads)
            q->SetColor(colour);
        state.PauseTiming();
        scene.Rec->ClearCalls();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kQuads);
}
BENCHMARK(BM_Recolour2000Quads)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
