// A small installation in a scratch folder: one country with a two-slice artefact, the glare and
// brush pictures and one JPEG picture of the game's data folder, and stand-in windows for the
// codes the start-up windows hand over to.
#pragma once

#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include "../ui/uiframe_fixture.h"
#include "images.h"

namespace velmora::testing {

inline std::vector<int> StartupOpened;

template <int Code> class TStartupStandIn : public TW_Win {
  public:
    TStartupStandIn() { StartupOpened.push_back(Code); }
    const char* ClassName() const override { return "TStartupStandIn"; }
};
template <int Code> TBasic* MakeStartupStandIn() {
    return new TStartupStandIn<Code>();
}

namespace fs = std::filesystem;

class TStartupTest : public TUiFrameTest {
  protected:
    void SetUp() override {
        TUiFrameTest::SetUp();
        Real = fs::path(VELMORA_DATA_DIR);
        Inst = Dir / "inst";
        Tex = Inst / "Textures";
        Art = Tex / "Arts" / "Tiny";
        fs::create_directories(Tex / "ResCreator");
        fs::create_directories(Art);
        fs::create_directories(Inst / "Levels");
        Paths.Base = Inst.string();
        Paths.Textures = Tex.string();
        Paths.Levels = (Inst / "Levels").string();
        for (const char* f : {"GlaresMask.tga", "Chips.tga", "BlurPen.tga", "ResCreator/Background.jpg",
                              "ResCreator/Back0.tga"})
            fs::copy_file(Real / "Textures" / f, Tex / f);
        fs::copy_file(Real / "Textures" / "ResCreator" / "Background.jpg", Tex / "Pic.jpg");
        Write(Tex / "tga2jpgANDmask.txt", "; pictures shipped as JPEG\njpg Pic.jpg\n");
        Write(Inst / "Levels" / "Countries.txt", "CountryCount 1\nCountryNames Tiny\nLevelCount 1\n");
        Write(Art / "!Colors.txt", "; slice colours\n1 FF0000\n2 00ff00\n");
        MakeArtefact();
        StartupOpened.clear();
        RegisterWindow(10, MakeStartupStandIn<10>);
        RegisterWindow(11, MakeStartupStandIn<11>);
    }

    static void Write(const fs::path& file, const std::string& text) {
        std::ofstream(file, std::ios::binary) << text;
    }

    static void SaveImage(const fs::path& file, int w, int h, uint32_t (*pixel)(int, int)) {
        ASSERT_TRUE(SaveTestImage(file.string(), w, h, pixel)) << file;
    }

    // 64 x 32: slice 1 is the red left quarter of the mask, slice 2 the green second quarter; the
    // split picture draws a blue bar over the grey body.
    void MakeArtefact() {
        SaveImage(Art / "Norm.tga", 64, 32, [](int, int) -> uint32_t { return 0xFF808080u; });
        SaveImage(Art / "Split.tga", 64, 32,
                  [](int x, int) -> uint32_t { return x < 8 ? 0xFF0000FFu : 0x00000000u; });
        SaveImage(Art / "Mask.tga", 64, 32, [](int x, int y) -> uint32_t {
            if (y < 4 || y >= 28) return 0;
            return x < 16 ? 0xFFFF0000u : x < 32 ? 0xFF00FF00u : 0;
        });
    }

    // Every file of the installation with its size and time of writing.
    std::map<std::string, std::pair<uintmax_t, fs::file_time_type>> Snapshot() const {
        std::map<std::string, std::pair<uintmax_t, fs::file_time_type>> files;
        for (const auto& e : fs::recursive_directory_iterator(Inst))
            files[e.path().string()] = {e.is_regular_file() ? e.file_size() : 0, e.last_write_time()};
        return files;
    }

    // Frames until the next window opens (bounded: a creator that never finishes fails the test).
    int FramesUntilHandover(int limit = 500) {
        for (int i = 1; i <= limit; ++i) {
            Frame();
            if (!StartupOpened.empty()) return i;
        }
        return -1;
    }

    fs::path Real, Inst, Tex, Art;
};

} // namespace velmora::testing
