// Shared set-up of the font, particle and spline tests: an 800 x 600 screen, a private error log
// and a scratch folder, so that each test sees only its own messages and files.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/log.h"
#include "app/options.h"
#include "engine/basic.h"
#include "engine/random.h"

namespace velmora::testing {

class TRenderBTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        Dir = std::filesystem::temp_directory_path() /
              (std::string("velmora_renderB_") + info->test_suite_name() + "_" + info->name());
        std::filesystem::remove_all(Dir);
        std::filesystem::create_directories(Dir);
        SetLogFile((Dir / "Error.log").string());
        InitScreenGeometryFor(800, 600);
        Delta = 1;
        DeltaSq = 1;
        RandomSeed(12345);
    }
    void TearDown() override {
        SetLogFile("Error.log");
        std::filesystem::remove_all(Dir);
    }

    std::vector<std::string> LogLines() const {
        std::vector<std::string> lines;
        std::ifstream in(Dir / "Error.log");
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        return lines;
    }
    int LogCount(const std::string& part) const {
        int n = 0;
        for (const std::string& line : LogLines())
            n += line.find(part) != std::string::npos ? 1 : 0;
        return n;
    }
    std::string WriteFile(const std::string& name, const std::vector<uint8_t>& bytes) const {
        const auto path = Dir / name;
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        return path.string();
    }
    std::string WriteText(const std::string& name, const std::string& text) const {
        return WriteFile(name, std::vector<uint8_t>(text.begin(), text.end()));
    }

    std::filesystem::path Dir;
};

} // namespace velmora::testing
