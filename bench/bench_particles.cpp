// CPU time of one frame of a busy particle scene: eight full emitters (16,384 quads) stepped and
// written into the shared vertex array, as the game does every frame. No device: drawing itself
// is the driver's time, not ours.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "app/log.h"
#include "app/options.h"
#include "engine/basic.h"
#include "engine/random.h"
#include "render/partmaster.h"

using namespace velmora;

namespace {

// Continuous emitters that keep their pools full: every mode, spin and circling on some.
const std::vector<std::vector<std::string>> cEffects = {
    {"Queue 0", "Count 2048", "PartsPerStep 40", "LifeTime 60", "StartSpeed 0.01", "UVIndex 0", "Size 1 0.2 0",
     "Colors FFFFFFFF FFFF8000 80FF0000 00000000", "Grav 0.0005 -1.57"},
    {"Queue 1", "Count 2048", "PartsPerStep 40", "LifeTime 60", "StartSpeed 0.01", "UVIndex 1", "Size 1 2 0",
     "EnableAxisRotate 1", "AxisRotate 0 6.28 0", "Colors FF0000FF 800000FF 400000FF 00000000", "Blend 1"},
    {"Queue 2", "Count 2048", "PartsPerStep 40", "LifeTime 60", "BornRadius 0.5", "UVIndex 2", "Size 1 1 0",
     "EnableCenterRotate 1", "CenterRotate 0 3.14 0 0.1 0.3", "Colors FFFFFFFF FFFFFFFF FFFFFFFF 00FFFFFF"},
    {"Queue 0", "Count 2048", "PartsPerStep 40", "LifeTime 60", "StartSpeed 0.02", "UVIndex 3", "Size 0.5 1 0",
     "Wind 0.001 0.5", "Colors FF00FF00 FF00FF00 8000FF00 00000000", "Blend 1"},
};

void BM_ParticleFrame(benchmark::State& state) {
    SetLogFile("/dev/null");
    InitScreenGeometryFor(800, 600);
    RandomSeed(1);
    Delta = 1;
    DeltaSq = 1;
    TPartMaster master;
    for (int i = 0; i < 8; ++i) {
        TParticles* p = master.Add(new TParticles());
        p->LoadFromLines(cEffects[i % cEffects.size()], "bench.prt");
        p->BuildRamps();
        p->Reset();
        p->SetTrail(i % 2 == 0);
    }
    for (int i = 0; i < 120; ++i) master.Step(); // pools full before timing
    float t = 0;
    for (auto _ : state) {
        t += 0.01f;
        for (TBasic* c = master.First; c != nullptr; c = c->Next) {
            if (auto* p = dynamic_cast<TParticles*>(c)) p->MoveTo(t, -t);
        }
        master.Step();
        master.PartVisual->FillPeaks();
        benchmark::DoNotOptimize(master.PartVisual->Vertices.data());
    }
    state.counters["quads"] = master.PartVisual->NormalCount + master.PartVisual->AdditiveCount;
}
BENCHMARK(BM_ParticleFrame)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
