// CPU time of one frame of the empty scene: the group's step (window switch check, cursor, sound
// depot, children) and its render (camera, children) on the recording device, without GL time.
#include <benchmark/benchmark.h>

#include "app/device.h"
#include "app/input.h"
#include "app/log.h"
#include "app/options.h"
#include "engine/group.h"
#include "platform/recording_device.h"
#include "platform/win32.h"

using namespace velmora;

static void BM_EmptySceneFrame(benchmark::State& state) {
    SetLogFile("/tmp/velmora_bench_frame.log");
    InitDataPaths("/tmp");
    SetMessageBoxAutoAnswer(IDOK);
    InitScreenGeometryFor(800, 600);
    IRecordingDevice* recorder = CreateRecordingDevice(800, 600);
    Device = recorder;
    InitInput(nullptr);
    StartWindowCode = 14; // render mode only: the scene stays empty
    auto* group = new TGroup();
    group->Step();
    for (auto _ : state) {
        group->Step();
        recorder->BeginScene();
        group->Render();
        recorder->EndScene();
        UpdateInput();
        ++FrameCount;
        recorder->ClearCalls();
    }
    delete group;
    DoneInput();
    Device = nullptr;
    recorder->Release();
}
BENCHMARK(BM_EmptySceneFrame);

BENCHMARK_MAIN();
