// The real game binary from a fresh data folder: the resource creator makes every derived texture,
// the logo follows, then the main menu. Screenshots of the three stay in the build folder.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

struct TShot {
    int Width = 0, Height = 0;
    std::vector<uint32_t> Pixels; // 0xRRGGBB, top row first
    uint32_t At(int x, int y) const { return Pixels[static_cast<size_t>(y) * Width + x]; }
};

// Screenshots in TGA form: uncompressed 24- or 32-bit.
bool ReadShot(const fs::path& file, TShot& shot) {
    std::ifstream in(file, std::ios::binary);
    std::vector<unsigned char> b((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (b.size() < 18 || b[2] != 2 || (b[16] != 24 && b[16] != 32)) return false;
    shot.Width = b[12] | (b[13] << 8);
    shot.Height = b[14] | (b[15] << 8);
    const size_t bpp = b[16] / 8, start = 18 + b[0];
    if (b.size() < start + bpp * shot.Width * shot.Height) return false;
    const bool topFirst = (b[17] & 0x20) != 0;
    shot.Pixels.resize(static_cast<size_t>(shot.Width) * shot.Height);
    for (int y = 0; y < shot.Height; ++y)
        for (int x = 0; x < shot.Width; ++x) {
            const unsigned char* p = &b[start + bpp * (static_cast<size_t>(y) * shot.Width + x)];
            const int row = topFirst ? y : shot.Height - 1 - y;
            shot.Pixels[static_cast<size_t>(row) * shot.Width + x] = (p[2] << 16) | (p[1] << 8) | p[0];
        }
    return true;
}

double WhiteShare(const TShot& shot) {
    size_t white = 0;
    for (uint32_t p : shot.Pixels)
        white += (p & 0xF0F0F0) == 0xF0F0F0;
    return shot.Pixels.empty() ? 0 : double(white) / shot.Pixels.size();
}

std::vector<std::string> ReadLines(const fs::path& file) {
    std::ifstream in(file);
    std::vector<std::string> lines;
    for (std::string l; std::getline(in, l);) {
        if (!l.empty() && l.back() == '\r') l.pop_back();
        lines.push_back(l);
    }
    return lines;
}

std::string ToNative(std::string name) {
    for (char& c : name)
        if (c == '\\') c = '/';
    return name;
}

// The pictures the list names, as TGA paths relative to the textures folder.
std::vector<fs::path> ListedTextures(const fs::path& textures) {
    std::vector<fs::path> out;
    for (const std::string& line : ReadLines(textures / "tga2jpgANDmask.txt")) {
        std::istringstream words(line);
        std::string kind, name;
        if (line.empty() || line[0] == ';' || !(words >> kind >> name)) continue;
        out.push_back(fs::path(ToNative(name)).replace_extension(".tga"));
    }
    return out;
}

int SliceCountOf(const fs::path& colours) {
    int n = 0;
    for (const std::string& line : ReadLines(colours))
        n += !line.empty() && line[0] != ';' && line.rfind("//", 0) != 0;
    return n;
}

bool IsSliceFolder(const fs::directory_entry& e) {
    const std::string n = e.path().filename().string();
    return e.is_directory() && n.size() == 3 && std::isdigit(n[0]) && std::isdigit(n[1]) &&
           std::isdigit(n[2]);
}

class FirstRun : public ::testing::Test {
  protected:
    void SetUp() override {
        Dir = fs::temp_directory_path() / ("velmora_firstrun_" + std::to_string(::getpid()));
        fs::remove_all(Dir);
        fs::copy(VELMORA_DATA_DIR, Dir, fs::copy_options::recursive);
        MakeFresh();
        // an "Options.txt" keeps the settings dialog away; the glint turns over the logo's sun
        std::ofstream(Dir / "Options.txt") << "Windowed 1\nWidth 800\nHeight 600\nSoundEnabled 0\n"
                                              "CONST_BlickX 400\nCONST_BlickY 250\nCONST_AngleCoeff 3\n";
        Shots = fs::path(VELMORA_DATA_DIR).parent_path() / "startup_screenshots";
        fs::create_directories(Shots);
    }
    void TearDown() override { fs::remove_all(Dir); }

    // Whatever an earlier run derived in the copied folder goes, as at a new installation.
    void MakeFresh() {
        const fs::path tex = Dir / "Textures";
        for (const fs::path& t : ListedTextures(tex)) {
            fs::remove(tex / t);
            fs::remove(tex / fs::path(t).replace_filename(t.stem().string() + "_Alpha.tga"));
        }
        for (const char* f : {"Glares1.tga", "Glares2.tga", "ResCreator/Background.tga", "!!!.tga"})
            fs::remove(tex / f);
        for (const auto& art : fs::directory_iterator(tex / "Arts")) {
            fs::remove(art.path() / "Body.tga");
            for (const auto& e : fs::directory_iterator(art.path()))
                if (IsSliceFolder(e)) fs::remove_all(e.path());
        }
    }
    int Run(const std::string& args) {
        const std::string cmd = "cd '" + Dir.string() +
                                "' && SDL_AUDIODRIVER=dummy VELMORA_MSGBOX_ANSWER=1 timeout 300 '" +
                                std::string(VELMORA_BINARY) + "' " + args + " > run.out 2>&1";
        const int status = std::system(cmd.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    bool LogHas(const std::string& text) const {
        for (const std::string& l : ReadLines(Dir / "Error.log"))
            if (l.find(text) != std::string::npos) return true;
        return false;
    }
    std::string ShotArgs(int frame, const std::string& name) {
        return " --screenshot " + std::to_string(frame) + ":'" + (Shots / (name + ".png")).string() + "'" +
               " --screenshot " + std::to_string(frame) + ":'" + (Dir / (name + ".tga")).string() + "'";
    }
    fs::path Dir, Shots;
};

TEST_F(FirstRun, ResourceCreatorThenLogoThenMainMenu) {
    // 25 unpacked pictures, the glares, the bodies and 198 slices take about 230 frames; the logo 345.
    const std::string args = "--fixed-step --seed 1 --windowed --frames 640" + ShotArgs(60, "1_rescreator") +
                             ShotArgs(420, "2_logo") + ShotArgs(635, "3_mainmenu");
    ASSERT_EQ(Run(args), 0);

    const fs::path tex = Dir / "Textures";
    for (const fs::path& t : ListedTextures(tex))
        EXPECT_TRUE(fs::exists(tex / t)) << t;
    EXPECT_TRUE(fs::exists(tex / "Glares1.tga"));
    EXPECT_TRUE(fs::exists(tex / "Glares2.tga"));
    int arts = 0;
    for (const auto& art : fs::directory_iterator(tex / "Arts")) {
        ++arts;
        EXPECT_TRUE(fs::exists(art.path() / "Body.tga")) << art.path();
        int made = 0;
        for (const auto& e : fs::directory_iterator(art.path()))
            if (IsSliceFolder(e)) {
                ++made;
                for (const char* f : {"Coords.txt", "Slice.tga", "Glow.tga"})
                    EXPECT_TRUE(fs::exists(e.path() / f)) << e.path() << " " << f;
            }
        EXPECT_EQ(made, SliceCountOf(art.path() / "!Colors.txt")) << art.path();
    }
    EXPECT_EQ(arts, 8);
    EXPECT_FALSE(LogHas("TW_ResCreator.")) << "a shipped installation has nothing to report";
    EXPECT_FALSE(LogHas("TArtMaster."));
    EXPECT_FALSE(LogHas("no window registered for code"));
    EXPECT_FALSE(LogHas("unknown window code"));

    TShot creator, logo, menu;
    ASSERT_TRUE(ReadShot(Dir / "1_rescreator.tga", creator));
    ASSERT_TRUE(ReadShot(Dir / "2_logo.tga", logo));
    ASSERT_TRUE(ReadShot(Dir / "3_mainmenu.tga", menu));
    ASSERT_EQ(creator.Width, 800);
    ASSERT_EQ(creator.Height, 600);
    // The bar has grown past its middle by frame 60 and not yet to its end.
    EXPECT_NE(creator.At(200, 531), creator.At(600, 531));
    EXPECT_LT(WhiteShare(logo), 0.5); // the logo is shown, not the white it fades from
    EXPECT_LT(WhiteShare(menu), 0.5);
    EXPECT_NE(logo.Pixels, menu.Pixels);
    EXPECT_NE(creator.Pixels, logo.Pixels);
}

} // namespace
