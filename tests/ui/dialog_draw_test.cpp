// Drawn on the real GL path under the virtual display: the game starts at the options window, the
// window's close message opens the exit dialog over it, and the mouse is moved over the dialog's
// buttons by script. The screenshots show the hovered button in its highlighted picture.
#include <gtest/gtest.h>

#include <cstdint>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

struct TShot {
    int32_t Width = 0, Height = 0;
    std::vector<uint32_t> Pixels; // 0xAARRGGBB, top row first

    // Mean colour of a pixel rectangle, per channel.
    void Mean(int left, int top, int w, int h, double out[3]) const {
        out[0] = out[1] = out[2] = 0;
        for (int y = top; y < top + h; ++y)
            for (int x = left; x < left + w; ++x) {
                const uint32_t p = Pixels[static_cast<size_t>(y) * Width + x];
                out[0] += (p >> 16) & 0xFF;
                out[1] += (p >> 8) & 0xFF;
                out[2] += p & 0xFF;
            }
        for (int c = 0; c < 3; ++c)
            out[c] /= static_cast<double>(w) * h;
    }
};

// Uncompressed 32-bit TGA as the screenshot hook writes it.
bool ReadTga(const fs::path& path, TShot& shot) {
    std::ifstream in(path, std::ios::binary);
    std::vector<uint8_t> b((std::istreambuf_iterator<char>(in)), {});
    if (b.size() < 18 || b[2] != 2 || b[16] != 32) return false;
    shot.Width = b[12] | (b[13] << 8);
    shot.Height = b[14] | (b[15] << 8);
    const bool topFirst = (b[17] & 0x20) != 0;
    const size_t start = 18 + b[0];
    if (b.size() < start + static_cast<size_t>(shot.Width) * shot.Height * 4) return false;
    shot.Pixels.resize(static_cast<size_t>(shot.Width) * shot.Height);
    for (int y = 0; y < shot.Height; ++y)
        for (int x = 0; x < shot.Width; ++x) {
            const uint8_t* p = &b[start + (static_cast<size_t>(y) * shot.Width + x) * 4];
            const int row = topFirst ? y : shot.Height - 1 - y;
            shot.Pixels[static_cast<size_t>(row) * shot.Width + x] =
                (uint32_t(p[3]) << 24) | (uint32_t(p[2]) << 16) | (uint32_t(p[1]) << 8) | p[0];
        }
    return true;
}

double Distance(const double a[3], const double b[3]) {
    double d = 0;
    for (int c = 0; c < 3; ++c)
        d += (a[c] - b[c]) * (a[c] - b[c]);
    return std::sqrt(d);
}

class DialogDraw : public ::testing::Test {
  protected:
    void SetUp() override {
        Dir = fs::temp_directory_path() / ("velmora_uidraw_" + std::to_string(::getpid()));
        fs::remove_all(Dir);
        fs::create_directories(Dir);
        // The content pack is linked in; the textures folder is a real folder of links so that the
        // screen capture the exit dialog takes stays in the scratch folder.
        const fs::path data = VELMORA_DATA_DIR;
        for (const auto& entry : fs::directory_iterator(data)) {
            const std::string name = entry.path().filename().string();
            if (name == "Textures") {
                fs::create_directories(Dir / name);
                for (const auto& t : fs::directory_iterator(entry.path()))
                    fs::create_symlink(t.path(), Dir / name / t.path().filename());
            } else if (name != "PlayerData" && name != "Options.txt" && name != "Error.log") {
                fs::create_symlink(entry.path(), Dir / name);
            }
        }
        fs::create_directories(Dir / "PlayerData");
        std::ofstream(Dir / "Options.txt") << "Windowed 1\nWidth 800\nHeight 600\nSoundEnabled 0\n";
    }
    void TearDown() override { fs::remove_all(Dir); }
    int Run(const std::string& args) {
        const std::string cmd = "cd '" + Dir.string() +
                                "' && SDL_AUDIODRIVER=dummy VELMORA_MSGBOX_ANSWER=1 timeout 120 '" +
                                std::string(VELMORA_BINARY) + "' " + args + " > run.out 2>&1";
        const int status = std::system(cmd.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    fs::path Dir;
};

// The exit dialog's panel (440 x 220) is centred; its two wide buttons (182 x 50, 20 apart) sit
// 70 pixels above the panel's bottom: Yes at (208, 340), No at (410, 340).
constexpr int cYesLeft = 208, cNoLeft = 410, cButtonTop = 340, cButtonWidth = 182;

TEST_F(DialogDraw, HoveredDialogButtonShowsItsHighlight) {
    std::ofstream(Dir / "script.txt") << "# the close message opens the exit dialog over the options window\n"
                                         "5 close\n"
                                         "10 move 700 580\n"
                                         "20 move 300 365\n"  // over Yes
                                         "40 move 500 365\n"; // over No
    ASSERT_EQ(Run("--fixed-step --seed 1 --windowed --start-window 12 --frames 60 --script script.txt"
                  " --screenshot 3:before.tga --screenshot 35:yes.tga --screenshot 55:no.tga"),
              0);
    TShot before, yes, no;
    ASSERT_TRUE(ReadTga(Dir / "before.tga", before));
    ASSERT_TRUE(ReadTga(Dir / "yes.tga", yes));
    ASSERT_TRUE(ReadTga(Dir / "no.tga", no));
    ASSERT_EQ(yes.Width, 800);
    ASSERT_EQ(yes.Height, 600);

    // A strip at the left end of each button, away from its caption.
    auto strip = [&](const TShot& s, int left, double out[3]) {
        s.Mean(left + 12, cButtonTop + 18, 24, 14, out);
    };
    double beforeYes[3], yesOnYes[3], yesOnNo[3], noOnYes[3], noOnNo[3];
    strip(before, cYesLeft, beforeYes);
    strip(yes, cYesLeft, yesOnYes);
    strip(yes, cNoLeft, yesOnNo);
    strip(no, cYesLeft, noOnYes);
    strip(no, cNoLeft, noOnNo);

    EXPECT_GT(Distance(beforeYes, yesOnYes), 20.0) << "the dialog is drawn over the options window";
    EXPECT_GT(Distance(yesOnYes, yesOnNo), 20.0) << "the hovered button differs from the other";
    EXPECT_GT(Distance(noOnNo, noOnYes), 20.0);
    EXPECT_LT(Distance(yesOnYes, noOnNo), 6.0) << "both hovered buttons wear the same highlight";
    EXPECT_LT(Distance(yesOnNo, noOnYes), 6.0) << "and both plain ones the same normal look";

    std::ifstream log(Dir / "Error.log");
    std::string line, all;
    while (std::getline(log, line))
        all += line + "\n";
    EXPECT_EQ(all.find("procedure not defined"), std::string::npos) << all;
}

// Yes ends the program after the frame; No closes the dialog and the game goes on.
TEST_F(DialogDraw, ExitDialogYesQuitsAndNoCarriesOn) {
    std::ofstream(Dir / "yes.txt") << "5 close\n10 down left 300 365\n11 up left 300 365\n";
    ASSERT_EQ(
        Run("--fixed-step --seed 3 --windowed --start-window 12 --frames 200 --script yes.txt --screenshot "
            "100:late.tga"),
        0);
    EXPECT_FALSE(fs::exists(Dir / "late.tga")) << "the program ended soon after the answer";

    // The first run's exit left its screen capture: this start fades in from it, so the question
    // comes after the passage is over.
    std::ofstream(Dir / "no.txt") << "45 close\n50 down left 500 365\n51 up left 500 365\n";
    ASSERT_EQ(Run("--fixed-step --seed 3 --windowed --start-window 12 --frames 200 --script no.txt"
                  " --screenshot 40:open.tga"
                  " --screenshot 140:after.tga"),
              0);
    TShot open, after;
    ASSERT_TRUE(ReadTga(Dir / "open.tga", open));
    ASSERT_TRUE(ReadTga(Dir / "after.tga", after));
    // The music and sound bars' tracks, under the dialog's panel: the options panel is see-through
    // elsewhere, and the menu scene's fish and bubbles move behind it.
    for (const int top : {177, 242}) {
        double a[3], b[3];
        open.Mean(230, top, 250, 10, a);
        after.Mean(230, top, 250, 10, b);
        EXPECT_LT(Distance(a, b), 3.0)
            << "the options window shows again as before the question; bar at " << top;
    }
}

// The options window's music bar (360 pixels from (220, 170) in the centred 480 x 460 panel)
// dragged by script: the music volume follows and is saved with the player data when the game ends.
TEST_F(DialogDraw, DraggedMusicBarSetsTheMusicVolume) {
    std::ofstream(Dir / "script.txt") << "10 down left 240 182\n"
                                         "12 move 300 182\n"
                                         "14 move 400 182\n"
                                         "16 up left 400 182\n"
                                         "20 move 700 182\n";
    ASSERT_EQ(Run("--fixed-step --seed 1 --windowed --start-window 12 --frames 30 --script script.txt"), 0);
    std::ifstream dat(Dir / "PlayerData" / "Game.dat", std::ios::binary);
    ASSERT_TRUE(dat.good());
    char bytes[12] = {};
    dat.read(bytes, sizeof bytes);
    float music = -1;
    std::memcpy(&music, bytes + 8, sizeof music);
    EXPECT_NEAR(music, 0.5f, 0.01f);
}

} // namespace
