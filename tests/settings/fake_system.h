// A machine for the settings dialog to look at: modes, desktop, memory, formats and sound as a
// test sets them, with a temporary base folder holding "Options.txt" and "Error.log".
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <unistd.h>
#include <string>

#include "app/log.h"
#include "app/options.h"
#include "settings/settings_form.h"

namespace velmora::testing {

class TFakeSystem : public TSettingsSystem {
  public:
    std::vector<D3DDISPLAYMODE> Modes;
    D3DDISPLAYMODE Desktop{1024, 768, 60, D3DFMT_X8R8G8B8};
    uint64_t Memory = uint64_t{64} << 20;
    std::set<D3DFORMAT> Supported{D3DFMT_X8R8G8B8, D3DFMT_R5G6B5, D3DFMT_X1R5G5B5};
    bool VideoStarts = true;
    bool SoundStarts = true;

    bool DisplayModes(std::vector<D3DDISPLAYMODE>& modes, D3DDISPLAYMODE& desktop) override {
        modes = Modes;
        desktop = Desktop;
        return VideoStarts;
    }
    uint64_t VideoMemory() override { return Memory; }
    bool FullScreenFormatSupported(D3DFORMAT format) override { return Supported.count(format) != 0; }
    bool ProbeSound() override { return SoundStarts; }

    void Add(UINT w, UINT h, UINT rate, D3DFORMAT format = D3DFMT_X8R8G8B8) {
        Modes.push_back({w, h, rate, format});
    }
};

// Gives every test an empty base folder and a cleared settings record.
class TSettingsFolderTest : public ::testing::Test {
  protected:
    std::filesystem::path Base;

    void SetUp() override {
        Base = std::filesystem::temp_directory_path() /
               ("velmora_settings_" + std::to_string(::getpid()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(Base);
        std::filesystem::create_directories(Base);
        InitDataPaths(Base.string());
        SetLogFile((Base / "Error.log").string());
        Options = TOptionsRec{};
    }
    void TearDown() override { std::filesystem::remove_all(Base); }

    std::filesystem::path OptionsPath() const { return Base / "Options.txt"; }
    bool OptionsFileExists() const { return std::filesystem::exists(OptionsPath()); }

    void WriteOptions(const std::string& text) const { std::ofstream(OptionsPath()) << text; }

    std::string ReadFile(const std::filesystem::path& p) const {
        std::ifstream in(p);
        std::stringstream ss;
        ss << in.rdbuf();
        return ss.str();
    }

    // The value written after a key in "Options.txt" ("" when the key is absent).
    std::string SavedValue(const std::string& key) const {
        std::istringstream in(ReadFile(OptionsPath()));
        std::string line;
        while (std::getline(in, line)) {
            std::istringstream words(line);
            std::string k, v;
            words >> k >> v;
            if (k == key) return v;
        }
        return {};
    }
};

} // namespace velmora::testing
