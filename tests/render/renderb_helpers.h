// Shared set-up of the font, particle and spline tests: an 800 x 600 screen, a private error log
// and a scratch folder, so that each test sees only its own messages and files.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/device.h"
#include "app/log.h"
#include "app/options.h"
#include "engine/basic.h"
#include "engine/random.h"
#include "platform/recording_device.h"
#include "render/blocks.h"
#include "render/tex.h"

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

// The same with the recording device in Device and the scratch folder as the data folder.
class TRenderBDeviceTest : public TRenderBTest {
  protected:
    void SetUp() override {
        TRenderBTest::SetUp();
        Paths = TDataPaths{};
        InitDataPaths(Dir.string());
        Rec = CreateRecordingDevice(800, 600);
        ASSERT_NE(Rec, nullptr);
        Device = Rec;
        TextureFormat = D3DFMT_A8R8G8B8;
        SquareTexturesOnly = false;
        DitherAmplitude = 0;
    }
    void TearDown() override {
        ForgetRememberedTexture();
        Device = nullptr;
        if (Rec != nullptr) Rec->Release();
        Rec = nullptr;
        TRenderBTest::TearDown();
    }

    // An uncompressed 32-bit TGA of one colour, rows bottom-up as the loader expects.
    std::string WriteTga(const std::string& name, int w, int h) const {
        std::vector<uint8_t> bytes(18 + static_cast<size_t>(w) * h * 4, 0xFF);
        std::fill(bytes.begin(), bytes.begin() + 18, 0);
        bytes[2] = 2;
        bytes[12] = static_cast<uint8_t>(w);
        bytes[13] = static_cast<uint8_t>(w >> 8);
        bytes[14] = static_cast<uint8_t>(h);
        bytes[15] = static_cast<uint8_t>(h >> 8);
        bytes[16] = 32;
        bytes[17] = 8;
        return WriteFile(name, bytes);
    }

    IRecordingDevice* Rec = nullptr;
};

} // namespace velmora::testing
