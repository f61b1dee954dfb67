// Campaign validation speed: one level played headless by the bot from the first build of the
// board to its last slice (or the end of its time). Items per second x 60 = levels per minute.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/gamedat.h"
#include "app/log.h"
#include "app/options.h"
#include "board/autoplay.h"
#include "board/countries.h"

using namespace velmora;

namespace {

// An 8 x 8 level of five colours with three slices on its top row.
void WriteLevelFolder(const std::string& dir) {
    std::filesystem::create_directories(dir + "/Levels/Greece");
    std::ofstream(dir + "/Levels/Countries.txt") << "CountryCount 1\nCountryNames Greece\nLevelCount 1\n";
    std::ofstream level(dir + "/Levels/Greece/01.map");
    level << "Time 300\nColorCount 5\nColors 1 2 3 4 5\nField 8x8\n";
    level << "c000a001c000c000a002c000c000a003\n";
    for (int y = 1; y < 8; ++y)
        level << "c000c000c000c000c000c000c000c000\n";
}

void BM_ValidateLevel(benchmark::State& state) {
    const std::string dir = (std::filesystem::temp_directory_path() / "velmora_bench_validate").string();
    WriteLevelFolder(dir);
    InitDataPaths(dir);
    SetLogFile(dir + "/Error.log");
    ReadCountries();
    uint32_t seed = 1;
    int64_t won = 0;
    for (auto _ : state) {
        const TLevelRun r = PlayLevelHeadless(1, seed++, static_cast<int32_t>(state.range(0)));
        won += r.Won ? 1 : 0;
        benchmark::DoNotOptimize(r);
    }
    state.SetItemsProcessed(state.iterations());
    state.counters["won"] =
        benchmark::Counter(static_cast<double>(won) / static_cast<double>(state.iterations()));
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_ValidateLevel)->Arg(0)->Arg(2)->Arg(3)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
