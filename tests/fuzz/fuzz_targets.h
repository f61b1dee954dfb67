// The game's readers, each taking raw bytes the way it takes its file: the bytes are written to a
// scratch file and read through the reader's own entry point. Shared by the libFuzzer programs and
// the regression test that replays the inputs they once crashed on.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace velmora::fuzz {

struct TFuzzTarget {
    const char* Name;      // also the folder of its regression inputs and seeds
    const char* Extension; // of the scratch file
    void (*Read)(const uint8_t* data, size_t size);
};

const std::vector<TFuzzTarget>& FuzzTargets();
const TFuzzTarget* FindFuzzTarget(const std::string& name);

// Once per process: the log goes nowhere, the scratch folder is made and the paths point into it.
void PrepareFuzzing();

} // namespace velmora::fuzz
