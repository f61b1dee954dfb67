// Complete moves per second of the board's rule core, headless: a swap, its cascades, the refill
// and the settle, all through the real state machine with a fixed step.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "app/gamedat.h"
#include "app/log.h"
#include "app/options.h"
#include "board/collaborators.h"
#include "board/countries.h"
#include "board/net.h"
#include "board/playerlink.h"
#include "engine/basic.h"
#include "engine/random.h"

namespace {

using namespace velmora;

std::string MakeDataFolder(int size) {
    char pattern[] = "/tmp/velmora_bench_board_XXXXXX";
    const std::string dir = mkdtemp(pattern);
    std::filesystem::create_directories(dir + "/Levels/Greece");
    std::ofstream(dir + "/Levels/Countries.txt") << "CountryCount 1\nCountryNames Greece\nLevelCount 1\n";
    std::ostringstream level;
    level << "Time 120\nColorCount 5\nColors 1 2 3 4 5\nField " << size << "x" << size << "\n";
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x)
            level << "c000";
        level << "\n";
    }
    std::ofstream(dir + "/Levels/Greece/01.map") << level.str();
    return dir;
}

void BM_CompleteMoves(benchmark::State& state) {
    const int size = static_cast<int>(state.range(0));
    const std::string dir = MakeDataFolder(size);
    InitDataPaths(dir);
    SetLogFile(dir + "/Error.log");
    ReadCountries();
    CurrentPlayerRec() = TPlayerRec{};
    CurrentPlayerRec().Level = 1;
    Delta = 1;
    RandomSeed(42);
    TLevelInfo info;
    auto net = std::make_unique<TNet>(info);
    TScores scores;
    int64_t moves = 0, steps = 0;
    for (auto _ : state) {
        int32_t x1 = 0, y1 = 0, x2 = 0, y2 = 0;
        if (net->CountMoves(false, x1, y1, x2, y2) == 0) {
            // A stuck board: start over on a fresh build.
            state.PauseTiming();
            net = std::make_unique<TNet>(info);
            state.ResumeTiming();
            continue;
        }
        net->Select(x1, y1);
        net->MakeMove(x2, y2);
        while (net->AState != asIdle) {
            net->Step();
            ++steps;
        }
        ++moves;
    }
    state.counters["moves/s"] = benchmark::Counter(static_cast<double>(moves), benchmark::Counter::kIsRate);
    state.counters["steps/move"] = moves ? static_cast<double>(steps) / static_cast<double>(moves) : 0;
    net.reset();
    std::filesystem::remove_all(dir);
}

BENCHMARK(BM_CompleteMoves)->Arg(8)->Arg(16)->Arg(32)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
