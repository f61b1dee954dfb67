// Menu background: the scene made from the fixed seed, the fish table and how fish swim, turn and
// are drawn, the sand light, bubbles that follow the mouse over the window in front, the optional
// logos, and two runs of the real game giving the same picture after 300 frames.
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>

#include <sys/wait.h>
#include <unistd.h>

#include "app/options.h"
#include "render/partmaster.h"
#include "render/tex.h"
#include "ui/menuback.h"
#include "ui/w_menumain.h"
#include "menus_fixture.h"

using namespace velmora;
using velmora::testing::TMenusTest;

namespace {

class MenuBackTest : public TMenusTest {
  protected:
    std::vector<TFish*> Fish(TMaster* scene) {
        std::vector<TFish*> fish;
        for (TBasic* c = scene->First; c; c = c->Next)
            if (auto* f = dynamic_cast<TFish*>(c)) fish.push_back(f);
        return fish;
    }
    int IndexOf(TMaster* scene, TBasic* obj) {
        int i = 0;
        for (TBasic* c = scene->First; c; c = c->Next, ++i)
            if (c == obj) return i;
        return -1;
    }
};

TEST_F(MenuBackTest, SceneIsBuiltInItsOrderWithTheTwentyThreeFish) {
    auto* scene = Open(new TMenuBack());
    EXPECT_EQ(MenuBack, scene);
    std::vector<TFish*> fish = Fish(scene);
    ASSERT_EQ(fish.size(), 23u);
    EXPECT_EQ(scene->First, scene->Back);
    // Fourteen behind the decorations and the light, nine in front of them.
    EXPECT_LT(IndexOf(scene, fish[13]), IndexOf(scene, scene->Source1));
    EXPECT_LT(IndexOf(scene, scene->Source1), IndexOf(scene, scene->Tiger));
    EXPECT_LT(IndexOf(scene, scene->Wheel), IndexOf(scene, SandLight));
    EXPECT_GT(IndexOf(scene, fish[14]), IndexOf(scene, SandLight));
    for (size_t i = 0; i < fish.size(); ++i) {
        const TFishParams& row = FishTable[i];
        EXPECT_FLOAT_EQ(fish[i]->Depth, row.Depth) << i;
        EXPECT_FLOAT_EQ(fish[i]->X, TableX(row.StartX)) << i;
        EXPECT_FLOAT_EQ(fish[i]->BaseY, TableY(row.BaseHeight)) << i;
        EXPECT_EQ(fish[i]->Dir, row.Dir) << i;
        EXPECT_FLOAT_EQ(fish[i]->ScaleX, 1.25f);
        EXPECT_EQ(fish[i]->Color >> 24,
                  static_cast<uint32_t>(std::lround(std::min(row.Depth / 3, 1.0f) * 255)));
    }
    // A few rows as the table gives them.
    EXPECT_EQ(FishTable[0].Kind, 0);
    EXPECT_FLOAT_EQ(FishTable[0].Speed, 0.004921f);
    EXPECT_EQ(FishTable[10].StartX, 200);
    EXPECT_FLOAT_EQ(FishTable[10].XMin, -3.84f);
    EXPECT_EQ(FishTable[22].Dir, fdLeft);
    EXPECT_FLOAT_EQ(FishTable[22].Speed, 0.00405f);
}

TEST_F(MenuBackTest, TheSameSeedGivesTheSameSceneEveryVisit) {
    Options.CONST_MenuRandSeed = 77;
    auto* first = Open(new TMenuBack());
    Frame(200);
    std::vector<float> xs, ys, phases;
    for (TFish* f : Fish(first)) {
        xs.push_back(f->X);
        ys.push_back(f->Y);
        phases.push_back(f->Phase);
    }
    Group->Remove(first, false);
    const float t0 = GameTime;
    auto* second = Open(new TMenuBack());
    GameTime = t0 - 200; // the fish do not read the clock, but keep it honest
    Frame(200);
    std::vector<TFish*> fish = Fish(second);
    ASSERT_EQ(fish.size(), xs.size());
    for (size_t i = 0; i < fish.size(); ++i) {
        EXPECT_FLOAT_EQ(fish[i]->X, xs[i]) << i;
        EXPECT_FLOAT_EQ(fish[i]->Y, ys[i]) << i;
        EXPECT_FLOAT_EQ(fish[i]->Phase, phases[i]) << i;
    }
}

TEST_F(MenuBackTest, FishTurnAtTheirBoundsAndShallowOnesMayChangeKind) {
    auto* scene = Open(new TMenuBack());
    TFish* fish = Fish(scene)[19]; // depth 0, swimming right
    fish->X = fish->XMax - 0.0001f;
    Frame();
    EXPECT_EQ(fish->Dir, fdLeft);
    const float x = fish->X;
    Frame();
    EXPECT_LT(fish->X, x);
    fish->X = fish->XMin;
    Frame();
    EXPECT_EQ(fish->Dir, fdRight);
    const int kinds[4] = {0, 4, 5, 2};
    EXPECT_NE(std::find(std::begin(kinds), std::end(kinds), fish->Kind), std::end(kinds));
    // The height follows the wave around the base height (20 scaled pixels at most).
    EXPECT_LE(std::fabs(fish->Y - fish->BaseY), 20 * PixelSize + 1e-5f);
    // The picture set of the kind and a frame of the sixteen.
    EXPECT_EQ(fish->TexId, fish->Kind <= 1 ? tiFishes1 : fish->Kind <= 3 ? tiFishes2 : tiFishes3);
    EXPECT_GE(fish->CurrentFrame(), 0);
    EXPECT_LT(fish->CurrentFrame(), 16);
}

TEST_F(MenuBackTest, FishShowTheFrameOfTheirKindMirroredWhenSwimmingLeft) {
    FillFishesUV(FishesUV1);
    FillFishesUV(FishesUV2);
    FillFishesUV(FishesUV3);
    auto* scene = Open(new TMenuBack());
    Frame(7);
    for (TFish* fish : Fish(scene)) {
        const TUVRect* table = fish->Kind <= 1 ? FishesUV1 : fish->Kind <= 3 ? FishesUV2 : FishesUV3;
        const TUVRect& uv = table[(fish->Kind % 2) * 16 + fish->CurrentFrame()];
        const TVertexDiffuseTex* q = fish->Quad();
        EXPECT_FLOAT_EQ(q[0].U, fish->Dir == fdLeft ? uv.Right : uv.Left);
        EXPECT_FLOAT_EQ(q[1].U, fish->Dir == fdLeft ? uv.Left : uv.Right);
        EXPECT_FLOAT_EQ(q[0].V, uv.Top);
        EXPECT_FLOAT_EQ(q[3].V, uv.Bottom);
    }
}

// A view of the data folder without one file: links to everything else. The shared data folder
// gains the background picture once the game has run there, so the test makes its own absence.
std::filesystem::path DataWithout(const std::filesystem::path& dir, const std::filesystem::path& relative) {
    namespace fs = std::filesystem;
    const fs::path data = VELMORA_DATA_DIR;
    std::function<void(const fs::path&)> mirror = [&](const fs::path& rel) {
        fs::create_directories(dir / rel);
        for (const fs::directory_entry& e : fs::directory_iterator(data / rel)) {
            const fs::path child = rel / e.path().filename();
            if (child == relative) continue;
            if (relative.string().starts_with(child.string() + "/"))
                mirror(child);
            else
                fs::create_symlink(e.path(), dir / child);
        }
    };
    mirror({});
    return dir;
}

TEST_F(MenuBackTest, WithoutTheBackgroundPictureTheSeaIsPaintedPlain) {
    Paths.Base = DataWithout(Dir / "base", "Textures/MenuBack/Back.tga").string();
    auto* scene = Open(new TMenuBack());
    ASSERT_EQ(scene->Back->ImageWidth, 0);
    auto* sea = dynamic_cast<TColorRect*>(scene->Back->Next);
    ASSERT_NE(sea, nullptr);
    EXPECT_EQ(sea->Width, 800 * PixelSize);
    EXPECT_EQ(sea->Height, 600 * PixelSize);
    EXPECT_TRUE(LogHas("back.tga")) << "the missing picture is logged";
}

TEST_F(MenuBackTest, DeepFishAreDrawnTwiceAndSurfaceFishOnce) {
    auto* scene = Open(new TMenuBack());
    std::vector<TFish*> fish = Fish(scene);
    Rec->ClearCalls();
    fish[0]->Render(); // depth 2.4
    const int deep = Rec->CountOf("DrawPrimitive");
    Rec->ClearCalls();
    fish[22]->Render(); // depth 0
    const int surface = Rec->CountOf("DrawPrimitive");
    EXPECT_EQ(deep, 2);
    EXPECT_EQ(surface, 1);
    EXPECT_EQ(fish[22]->Block1, 19);
    EXPECT_EQ(fish[0]->Block1, 23) << "the deep fish's last pass";
}

TEST_F(MenuBackTest, SandLightCirclesAndWalksItsFramesBackAndForth) {
    Open(new TMenuBack());
    ASSERT_NE(SandLight, nullptr);
    std::vector<int> frames;
    for (int i = 0; i < 16 * 15 * 2 + 30; ++i) {
        Frame();
        if (frames.empty() || frames.back() != SandLight->Frame) frames.push_back(SandLight->Frame);
    }
    ASSERT_GE(frames.size(), 20u);
    EXPECT_EQ(*std::max_element(frames.begin(), frames.end()), 15);
    EXPECT_EQ(frames[15], 15);
    EXPECT_EQ(frames[16], 14) << "it turns back at the last frame";
    const float age = SandLight->LifeTime;
    EXPECT_NEAR(SandLight->Light->X, std::cos(0.01f * age) * 0.2f, 0.02f);
    EXPECT_NEAR(SandLight->Light->Y, std::sin(0.01f * age) * 0.2f, 0.02f);
}

TEST_F(MenuBackTest, MouseBubblesFollowTheWindowInFront) {
    auto* menu = Open(new TW_MenuMain());
    Frame();
    ASSERT_NE(MouseBubbles, nullptr);
    Frame();
    EXPECT_EQ(MouseBubbles->Parent, menu) << "over the main menu's panel";
    auto* dialog = menu->Add(new TW_Dialog(nullptr, dkOk, "TEXT_Title_ATTENTION", ""));
    Frame();
    EXPECT_EQ(MouseBubbles->Parent, dialog);
    EXPECT_EQ(dialog->Last, MouseBubbles);
    dialog->Dead = true;
    Frame(2);
    ASSERT_NE(MouseBubbles, nullptr) << "made again when they went with the dialog";
    for (int i = 0; i < 30; ++i) {
        MoveTo(100 + i * 5, 300);
        Frame();
    }
    EXPECT_GT(MouseBubbles->Bubbles->Count, 1) << "moves leave bubbles";
}

TEST_F(MenuBackTest, LogosRiseStayAndSinkOnlyWhenTheirFilesExist) {
    auto count = [](TMaster* scene) {
        int n = 0;
        for (TBasic* c = scene->First; c; c = c->Next)
            n += dynamic_cast<TLogotype*>(c) != nullptr;
        return n;
    };
    auto* plain = Open(new TMenuBack());
    EXPECT_EQ(count(plain), 0);
    Group->Remove(plain, false);

    std::filesystem::create_directories(Dir / "Textures" / "MenuBack");
    std::filesystem::copy_file(std::filesystem::path(VELMORA_DATA_DIR) / "Textures" / "MenuBack" /
                                   "Wheel.tga",
                               Dir / "Textures" / "MenuBack" / "Logo1.tga");
    auto* scene = Open(new TMenuBack());
    ASSERT_EQ(count(scene), 1);
    TLogotype* logo = nullptr;
    for (TBasic* c = scene->First; c; c = c->Next)
        if (auto* l = dynamic_cast<TLogotype*>(c)) logo = l;
    auto centreY = [&] { return WorldToPixelY(logo->Picture->Y); };
    auto centreX = [&] { return WorldToPixelX(logo->Picture->X); };
    EXPECT_NEAR(centreX(), 64, 1);
    Frame(50);
    EXPECT_NEAR(centreY(), 670, 1) << "still below the edge in the first half";
    Frame(80);
    EXPECT_EQ(logo->State, 2);
    EXPECT_NEAR(centreY(), 535, 1);
    Frame(300);
    EXPECT_EQ(logo->State, 3);
    Frame(70);
    EXPECT_EQ(count(scene), 0) << "gone after sinking";
}

// ---- Two runs of the real game ------------------------------------------------------------------

namespace fs = std::filesystem;

std::string ReadAll(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(MenuBackRuns, SameSeedGivesTheSamePictureAfterThreeHundredFrames) {
    const fs::path dir = fs::temp_directory_path() / ("velmora_menuback_" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::copy(VELMORA_DATA_DIR, dir, fs::copy_options::recursive);
    fs::remove(dir / "Textures" / "!!!.tga");
    auto run = [&](const char* shot) {
        const std::string cmd =
            "cd '" + dir.string() + "' && SDL_AUDIODRIVER=dummy VELMORA_MSGBOX_ANSWER=1 timeout 300 '" +
            std::string(VELMORA_BINARY) +
            "' --windowed --start-window 11 --fixed-step --seed 3 --frames 302 --screenshot 300:" + shot +
            " > run.out 2>&1";
        const int status = std::system(cmd.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    };
    ASSERT_EQ(run("first.png"), 0);
    ASSERT_EQ(run("second.png"), 0);
    const std::string a = ReadAll(dir / "first.png"), b = ReadAll(dir / "second.png");
    ASSERT_GT(a.size(), 1000u);
    EXPECT_TRUE(a == b) << "the two pictures differ";
    const fs::path keep = fs::path(VELMORA_DATA_DIR).parent_path() / "menus_screens";
    fs::create_directories(keep);
    fs::copy_file(dir / "first.png", keep / "menuback_300.png", fs::copy_options::overwrite_existing);
    fs::remove_all(dir);
}

} // namespace
