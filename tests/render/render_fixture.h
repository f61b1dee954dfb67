// Shared set-up of the render tests: an 800 x 600 screen, a private error log and a scratch folder
// per test, so that each test sees only its own messages and files, and the recording device for the
// tests that load or draw.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "../common/tga_bytes.h"
#include "app/device.h"
#include "app/log.h"
#include "app/options.h"
#include "engine/basic.h"
#include "engine/random.h"
#include "platform/recording_device.h"
#include "render/blocks.h"
#include "render/tex.h"
#include "render/tga.h"

namespace velmora::testing {

class TRenderTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        Dir = std::filesystem::temp_directory_path() /
              (std::string("velmora_render_") + info->test_suite_name() + "_" + info->name());
        std::filesystem::remove_all(Dir);
        std::filesystem::create_directories(Dir);
        SetLogFile((Dir / "Error.log").string());
        InitScreenGeometryFor(800, 600);
    }
    void TearDown() override {
        if (Rec) {
            ForgetRememberedTexture();
            Device = nullptr;
            Rec->Release();
            Rec = nullptr;
        }
        SetLogFile("Error.log");
        std::filesystem::remove_all(Dir);
    }

    // The recording device as the global Device, with true-colour textures of any shape.
    void UseRecordingDevice() {
        Rec = CreateRecordingDevice(800, 600);
        ASSERT_NE(Rec, nullptr);
        Device = Rec;
        TextureFormat = D3DFMT_A8R8G8B8;
        SquareTexturesOnly = false;
        DitherAmplitude = 0;
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
    bool Logged(const std::string& part) const { return LogCount(part) > 0; }
    std::string PathOf(const std::string& name) const { return (Dir / name).string(); }
    std::string WriteFile(const std::string& name, const std::vector<uint8_t>& bytes) const {
        const auto path = Dir / name;
        std::filesystem::create_directories(path.parent_path());
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        return path.string();
    }
    std::string WriteText(const std::string& name, const std::string& text) const {
        return WriteFile(name, std::vector<uint8_t>(text.begin(), text.end()));
    }
    static std::vector<uint8_t> ReadBytes(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
    }

    std::filesystem::path Dir;
    IRecordingDevice* Rec = nullptr;
};

// Textures, images, state blocks and visuals: the recording device, the scratch folder as the base
// folder and no device capabilities.
class TRenderATest : public TRenderTest {
  protected:
    void SetUp() override {
        TRenderTest::SetUp();
        Paths = TDataPaths{};
        Paths.Base = Dir.string();
        RandomSeed(777);
        UseRecordingDevice();
        CapsFlags = TCapsFlags{};
    }

    // A w x h picture whose pixel (x, y) has a colour made from its position.
    static std::vector<uint32_t> Pattern(int w, int h) {
        std::vector<uint32_t> p(static_cast<size_t>(w) * h);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                p[static_cast<size_t>(y) * w + x] = 0x80000000u | (uint32_t(x & 0xFF) << 16) |
                                                    (uint32_t(y & 0xFF) << 8) | uint32_t((x + y) & 0xFF);
        return p;
    }
    // Level 0 of a texture as stored by the device.
    static std::vector<uint8_t> TextureBytes(IDirect3DTexture8* tex, int rowBytes, int rows, int& pitch) {
        D3DLOCKED_RECT lr{};
        std::vector<uint8_t> out;
        if (FAILED(tex->LockRect(0, &lr, nullptr, D3DLOCK_READONLY))) return out;
        pitch = lr.Pitch;
        const auto* p = static_cast<const uint8_t*>(lr.pBits);
        for (int r = 0; r < rows; ++r)
            out.insert(out.end(), p + r * lr.Pitch, p + r * lr.Pitch + rowBytes);
        tex->UnlockRect(0);
        return out;
    }
};

// Fonts, particles and splines: one Delta per step and a fixed seed.
class TRenderBTest : public TRenderTest {
  protected:
    void SetUp() override {
        TRenderTest::SetUp();
        Delta = 1;
        DeltaSq = 1;
        RandomSeed(12345);
    }
};

// The same with the recording device in Device and the scratch folder as the data folder.
class TRenderBDeviceTest : public TRenderBTest {
  protected:
    void SetUp() override {
        TRenderBTest::SetUp();
        Paths = TDataPaths{};
        InitDataPaths(Dir.string());
        UseRecordingDevice();
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
};

} // namespace velmora::testing
