// One libFuzzer program per reader: VELMORA_FUZZ_TARGET names it.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "fuzz_targets.h"

using namespace velmora::fuzz;

namespace {
const TFuzzTarget* Target = nullptr;
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    PrepareFuzzing();
    Target = FindFuzzTarget(VELMORA_FUZZ_TARGET);
    if (!Target) std::abort();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Target->Read(data, size);
    return 0;
}
