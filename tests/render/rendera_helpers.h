// Shared set-up of the texture, image, state-block and visual tests: an 800 x 600 screen, the
// recording device, a private error log and a scratch data folder.
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
#include "engine/random.h"
#include "platform/recording_device.h"
#include "render/blocks.h"
#include "render/tex.h"
#include "render/tga.h"

namespace velmora::testing {

class TRenderATest : public ::testing::Test {
  protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        Dir = std::filesystem::temp_directory_path() /
              (std::string("velmora_renderA_") + info->test_suite_name() + "_" + info->name());
        std::filesystem::remove_all(Dir);
        std::filesystem::create_directories(Dir);
        SetLogFile((Dir / "Error.log").string());
        InitScreenGeometryFor(800, 600);
        Paths = TDataPaths{};
        Paths.Base = Dir.string();
        RandomSeed(777);
        Rec = CreateRecordingDevice(800, 600);
        ASSERT_NE(Rec, nullptr);
        Device = Rec;
        TextureFormat = D3DFMT_A8R8G8B8;
        SquareTexturesOnly = false;
        DitherAmplitude = 0;
        CapsFlags = TCapsFlags{};
    }
    void TearDown() override {
        ForgetRememberedTexture();
        Device = nullptr;
        if (Rec) Rec->Release();
        Rec = nullptr;
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
    bool Logged(const std::string& part) const {
        for (const std::string& line : LogLines())
            if (line.find(part) != std::string::npos) return true;
        return false;
    }
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

    // An uncompressed TGA as texture files are stored: rows bottom-up. Pixels are given top row first.
    static std::vector<uint8_t> TgaBytes(int w, int h, const std::vector<uint32_t>& topFirst, int bits = 32) {
        std::vector<uint8_t> b(18, 0);
        b[2] = 2;
        b[12] = static_cast<uint8_t>(w);
        b[13] = static_cast<uint8_t>(w >> 8);
        b[14] = static_cast<uint8_t>(h);
        b[15] = static_cast<uint8_t>(h >> 8);
        b[16] = static_cast<uint8_t>(bits);
        for (int r = h - 1; r >= 0; --r)
            for (int c = 0; c < w; ++c) {
                const uint32_t p = topFirst.empty() ? 0 : topFirst[static_cast<size_t>(r) * w + c];
                for (int k = 0; k < bits / 8; ++k)
                    b.push_back(static_cast<uint8_t>(p >> (8 * k)));
            }
        return b;
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

    std::filesystem::path Dir;
    IRecordingDevice* Rec = nullptr;
};

} // namespace velmora::testing
