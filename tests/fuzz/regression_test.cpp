// Every input a fuzzer once crashed a reader with, read again through the same entry point (built
// with the normal compiler), with a few hostile inputs of every kind beside them.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "app/log.h"
#include "fuzz_targets.h"

namespace velmora::fuzz {
namespace {

namespace fs = std::filesystem;

std::vector<uint8_t> Bytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<std::vector<uint8_t>> HostileInputs() {
    std::vector<std::vector<uint8_t>> inputs;
    inputs.push_back({});
    inputs.push_back({0});
    inputs.push_back(std::vector<uint8_t>(70000, 0xFF));
    const std::string text = "Width 99999999999999999999\nHeight -2147483649\nCount $FFFFFFFF\n[Body]\n"
                             "1 FFFFFF\n0x7FFFFFFF 1 2 3 4 5\nField 33x99999\n###:TEXT_A\nENG:x\n";
    inputs.emplace_back(text.begin(), text.end());
    std::string lines;
    for (int i = 0; i < 20000; ++i)
        lines += "x " + std::to_string(i) + "\n";
    inputs.emplace_back(lines.begin(), lines.end());
    return inputs;
}

class Reader : public ::testing::TestWithParam<size_t> {
  protected:
    void SetUp() override { PrepareFuzzing(); }
};

TEST_P(Reader, SurvivesHostileAndOnceCrashingInputs) {
    const TFuzzTarget& target = FuzzTargets()[GetParam()];
    for (const auto& input : HostileInputs())
        target.Read(input.data(), input.size());
    const fs::path dir = fs::path(VELMORA_FUZZ_DIR) / "regressions" / target.Name;
    int replayed = 0;
    if (fs::is_directory(dir))
        for (const auto& entry : fs::directory_iterator(dir)) {
            SCOPED_TRACE(entry.path().string());
            const std::vector<uint8_t> input = Bytes(entry.path());
            target.Read(input.data(), input.size());
            ++replayed;
        }
    RecordProperty("replayed", replayed);
}

INSTANTIATE_TEST_SUITE_P(Fuzz, Reader, ::testing::Range<size_t>(0, FuzzTargets().size()),
                         [](const ::testing::TestParamInfo<size_t>& info) {
                             return std::string(FuzzTargets()[info.param].Name);
                         });

} // namespace
} // namespace velmora::fuzz
