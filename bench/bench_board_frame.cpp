// CPU cost of one frame of a 32 x 32 board in the middle of a cascade: the board's step (state
// clock, falling chips, explosion particles) and the drawing of its subtree (one-buffer chip visual
// rebuilt and uploaded, particle quads) on the recording device, which draws nothing.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "app/device.h"
#include "app/gamedat.h"
#include "app/log.h"
#include "app/options.h"
#include "board/collaborators.h"
#include "board/countries.h"
#include "board/net.h"
#include "engine/basic.h"
#include "engine/random.h"
#include "platform/recording_device.h"
#include "render/partmaster.h"

namespace {

using namespace velmora;

constexpr int cSize = 32;

std::string MakeDataFolder() {
    char pattern[] = "/tmp/velmora_bench_frame_XXXXXX";
    const std::string dir = mkdtemp(pattern);
    std::filesystem::create_directories(dir + "/Levels/Greece");
    std::filesystem::create_directories(dir + "/Particles");
    std::ofstream(dir + "/Levels/Countries.txt") << "CountryCount 1\nCountryNames Greece\nLevelCount 1\n";
    std::ostringstream level;
    level << "Time 120\nColorCount 5\nColors 1 2 3 4 5\nField " << cSize << "x" << cSize << "\n";
    for (int y = 0; y < cSize; ++y) {
        for (int x = 0; x < cSize; ++x)
            level << "c000";
        level << "\n";
    }
    std::ofstream(dir + "/Levels/Greece/01.map") << level.str();
    // A small shard burst like the game's chip explosions.
    for (const char* colour : {"Yellow", "Green", "Red", "White", "Purple", "Blue", "Brown", "Turq", "Black"})
        std::ofstream(dir + "/Particles/@LittleExplosion_" + colour + ".prt")
            << "Queue 3\nBlend 1\nUVIndex 9\nCount 18\nLifeTime 32\nBornRadius 0.03\nStartSpeed 0.009\n"
               "PartsPerStep 0\nWind 0 0\nGrav 0.0004 -1.5708\nColors FFFFC0A0 F0FF4040 A0C01010 00600000\n"
               "Size 0.45 0.2 0\nEnableAxisRotate true\nAxisRotate 0 7 0\n";
    return dir;
}

// Every other row one colour: half the board explodes at once and falls.
void StartCascade(TNet& net) {
    net.StopAnimations();
    for (int32_t y = 1; y <= cSize; ++y)
        for (int32_t x = 1; x <= cSize; ++x)
            net.SetChip(x, y, y % 2 ? 1 + (y / 2) % 5 : 1 + (x + y) % 5);
    net.ResolveMatches();
}

void BM_BoardFrameInCascade(benchmark::State& state) {
    const std::string dir = MakeDataFolder();
    InitDataPaths(dir);
    SetLogFile(dir + "/Error.log");
    InitScreenGeometryFor(800, 600);
    ReadCountries();
    CurrentPlayerRec() = TPlayerRec{};
    CurrentPlayerRec().Level = 1;
    Delta = 1;
    DeltaSq = 1;
    RandomSeed(42);
    IRecordingDevice* rec = CreateRecordingDevice(800, 600);
    Device = rec;
    TLevelInfo info;
    auto net = std::make_unique<TNet>(info);
    net->StartLevel();
    net->StopAnimations();
    StartCascade(*net);
    int64_t frames = 0;
    for (auto _ : state) {
        if (net->AState == asIdle) {
            state.PauseTiming();
            StartCascade(*net);
            state.ResumeTiming();
        }
        net->Step();
        net->Render();
        rec->ClearCalls();
        ++frames;
    }
    state.counters["particle_systems"] = NetParticles ? NetParticles->Count : 0;
    state.counters["chips_drawn"] = VisNet ? static_cast<double>(VisNet->Chips.size()) : 0;
    state.SetItemsProcessed(frames);
    net.reset();
    Device = nullptr;
    rec->Release();
    SetLogFile("Error.log");
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_BoardFrameInCascade)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
