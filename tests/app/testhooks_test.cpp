#include <gtest/gtest.h>

#include <vector>

#include "app/options.h"
#include "app/screenshot.h"
#include "app/testhooks.h"

using namespace velmora;

namespace {

bool Parse(std::vector<const char*> args, TTestHooks& hooks, std::string& error) {
    args.insert(args.begin(), "velmora");
    return ParseCommandLine(static_cast<int>(args.size()), args.data(), hooks, error);
}

TEST(CommandLine, NoOptionsChangeNothing) {
    TTestHooks hooks;
    std::string error;
    ASSERT_TRUE(Parse({}, hooks, error));
    EXPECT_FALSE(hooks.FixedStep);
    EXPECT_FALSE(hooks.HasSeed);
    EXPECT_EQ(hooks.Frames, 0);
    EXPECT_EQ(hooks.StartWindow, -1);
    TOptionsRec before = Options;
    ApplyOptionOverrides(hooks);
    EXPECT_EQ(Options.Width, before.Width);
    EXPECT_EQ(Options.Windowed, before.Windowed);
}

TEST(CommandLine, EveryHookIsRead) {
    TTestHooks hooks;
    std::string error;
    ASSERT_TRUE(Parse({"--fixed-step",
                       "--seed",
                       "77",
                       "--frames",
                       "120",
                       "--screenshot",
                       "60:a.png",
                       "--screenshot",
                       "90:dir/b.tga",
                       "--windowed",
                       "--size",
                       "1024x768",
                       "--start-window",
                       "11",
                       "--script",
                       "s.txt",
                       "--screens",
                       "shots",
                       "--quit-after-screens",
                       "12",
                       "--draw-shots-only",
                       "--autoplay-input=pad",
                       "--settings-ok"},
                      hooks, error))
        << error;
    EXPECT_EQ(hooks.ScreensDir, "shots");
    EXPECT_EQ(hooks.QuitAfterScreens, 12);
    EXPECT_TRUE(hooks.DrawShotsOnly);
    EXPECT_TRUE(hooks.SettingsOk);
    EXPECT_EQ(hooks.AutoplayInput, 2) << "the bot's gamepad hands";
    EXPECT_TRUE(hooks.FixedStep);
    EXPECT_TRUE(hooks.HasSeed);
    EXPECT_EQ(hooks.Seed, 77u);
    EXPECT_EQ(hooks.Frames, 120);
    ASSERT_EQ(hooks.Screenshots.size(), 2u);
    EXPECT_EQ(hooks.Screenshots[1].Frame, 90);
    EXPECT_EQ(hooks.Screenshots[1].File, "dir/b.tga");
    EXPECT_TRUE(hooks.Windowed);
    EXPECT_EQ(hooks.Width, 1024);
    EXPECT_EQ(hooks.Height, 768);
    EXPECT_EQ(hooks.StartWindow, 11);
    EXPECT_EQ(hooks.ScriptFile, "s.txt");
    Options.Windowed = false;
    ApplyOptionOverrides(hooks);
    EXPECT_TRUE(Options.Windowed);
    EXPECT_EQ(Options.Width, 1024);
}

TEST(CommandLine, MalformedValuesAreRefusedWithAReason) {
    for (std::vector<const char*> bad : std::vector<std::vector<const char*>>{{"--frames"},
                                                                              {"--frames", "0"},
                                                                              {"--frames", "12x"},
                                                                              {"--seed", "-1"},
                                                                              {"--screenshot", "60"},
                                                                              {"--screenshot", "0:a.png"},
                                                                              {"--size", "800"},
                                                                              {"--size", "99999x600"},
                                                                              {"--start-window", "300"},
                                                                              {"--screens"},
                                                                              {"--quit-after-screens", "0"},
                                                                              {"--autoplay-input=feet"},
                                                                              {"--bogus"}}) {
        TTestHooks hooks;
        std::string error;
        EXPECT_FALSE(Parse(bad, hooks, error)) << bad[0];
        EXPECT_FALSE(error.empty());
    }
}

int FrameAHookWants = -1;

TEST(Drawing, OnlyFramesWithPicturesAreDrawnWhenAsked) {
    const TTestHooks saved = TestHooks;
    TestHooks = TTestHooks{};
    EXPECT_TRUE(FrameToBeDrawn(3)) << "every frame is drawn by default";
    TestHooks.DrawShotsOnly = true;
    TestHooks.Screenshots.push_back({5, "a.png"});
    FrameAHookWants = 9;
    RegisterFrameSteppedHook([](int32_t frame) { return frame == FrameAHookWants; });
    std::vector<int> drawn;
    for (int frame = 1; frame <= 12; ++frame) {
        AfterFrameStep(frame);
        if (FrameToBeDrawn(frame)) drawn.push_back(frame);
    }
    EXPECT_EQ(drawn, (std::vector<int>{5, 9}));
    FrameAHookWants = -1;
    TestHooks = saved;
}

TEST(Script, LinesBecomeWindowMessagesInFrameOrder) {
    std::vector<TScriptEvent> events;
    ParseScript("# a comment\n"
                "5 key 13   # Enter\n"
                "2 move 100 200\n"
                "3 down left 10 20\n"
                "3 up right 11 21\n"
                "4 keydown 17\n"
                "4 keyup 17\n"
                "9 close\n"
                "\n",
                events);
    ASSERT_EQ(events.size(), 10u);
    EXPECT_EQ(events[0].Frame, 2);
    EXPECT_EQ(events[0].Message, WM_MOUSEMOVE);
    EXPECT_EQ(GET_X_LPARAM(events[0].LParam), 100);
    EXPECT_EQ(GET_Y_LPARAM(events[0].LParam), 200);
    EXPECT_EQ(events[1].Message, WM_MOUSEMOVE); // the pointer goes where the button acts
    EXPECT_EQ(events[2].Message, WM_LBUTTONDOWN);
    EXPECT_EQ(events[4].Message, WM_RBUTTONUP);
    EXPECT_EQ(GET_X_LPARAM(events[4].LParam), 11);
    EXPECT_EQ(events[5].Message, WM_KEYDOWN);
    EXPECT_EQ(events[6].Message, WM_KEYUP);
    EXPECT_EQ(events[7].Frame, 5);
    EXPECT_EQ(events[7].Message, WM_KEYDOWN);
    EXPECT_EQ(events[7].WParam, 13u);
    EXPECT_EQ(events[8].Message, WM_KEYUP);
    EXPECT_EQ(events[9].Message, WM_CLOSE);
}

TEST(Script, PadLinesSendTheKeysOfThePadsButtons) {
    std::vector<TScriptEvent> events;
    ParseScript("1 pad A\n2 pad b\n3 paddown Up\n4 padup up\n5 pad X\n5 pad RB\n6 pad start\n", events);
    std::vector<std::pair<UINT, WPARAM>> got;
    for (const TScriptEvent& e : events)
        got.push_back({e.Message, e.WParam});
    const std::vector<std::pair<UINT, WPARAM>> want = {
        {WM_KEYDOWN, VK_RETURN}, {WM_KEYUP, VK_RETURN}, {WM_KEYDOWN, VK_ESCAPE}, {WM_KEYUP, VK_ESCAPE},
        {WM_KEYDOWN, VK_UP},     {WM_KEYUP, VK_UP},     {WM_KEYDOWN, VK_F1},     {WM_KEYUP, VK_F1},
        {WM_KEYDOWN, VK_F4},     {WM_KEYUP, VK_F4},     {WM_KEYDOWN, VK_PAUSE},  {WM_KEYUP, VK_PAUSE}};
    EXPECT_EQ(got, want);
}

TEST(Script, MalformedLinesAreSkipped) {
    std::vector<TScriptEvent> events;
    ParseScript(
        "x move 1 2\n1 move 1\n1 down middle 1 2\n1 key 300\n1 jump\n-3 close\n1 pad Z\n1 pad\n2 close\n",
        events);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].Frame, 2);
}

TEST(Script, WindowLinesMinimiseRestoreHideAndShow) {
    std::vector<TScriptEvent> events;
    ParseScript("7 minimize\n8 restore\n9 hide\n10 show\n11 hide now\n", events);
    ASSERT_EQ(events.size(), 4u); // the line with a word too many is skipped
    EXPECT_EQ(events[0].Message, WM_SYSCOMMAND);
    EXPECT_EQ(events[0].WParam, SC_MINIMIZE);
    EXPECT_EQ(events[1].WParam, SC_RESTORE);
    EXPECT_EQ(events[2].Message, WM_SHOWWINDOW);
    EXPECT_EQ(events[2].WParam, static_cast<WPARAM>(FALSE));
    EXPECT_EQ(events[3].Frame, 10);
    EXPECT_EQ(events[3].WParam, static_cast<WPARAM>(TRUE));
}

TEST(Pacing, OnlyDrivenFixedStepRunsGoUnpaced) {
    TTestHooks hooks;
    EXPECT_FALSE(DrivenFixedStepRun(hooks));
    hooks.AutoplaySkill = 3; // the bot in real time, as the cost benchmark runs it
    EXPECT_FALSE(DrivenFixedStepRun(hooks));
    hooks.FixedStep = true;
    EXPECT_TRUE(DrivenFixedStepRun(hooks));
    hooks.AutoplaySkill = -1; // a person playing at a fixed step
    EXPECT_FALSE(DrivenFixedStepRun(hooks));
    hooks.Frames = 100;
    EXPECT_TRUE(DrivenFixedStepRun(hooks));
}

TEST(Pictures, TgaHeaderAndPixelOrder) {
    TPixelImage image;
    image.Width = 2;
    image.Height = 1;
    image.Pixels = {0xFF112233u, 0x80445566u};
    const std::vector<uint8_t> tga = EncodeTga32(image);
    ASSERT_EQ(tga.size(), 18u + 8u);
    EXPECT_EQ(tga[2], 2);
    EXPECT_EQ(tga[12], 2);
    EXPECT_EQ(tga[14], 1);
    EXPECT_EQ(tga[16], 32);
    EXPECT_EQ(tga[17], 0x28);
    EXPECT_EQ(std::vector<uint8_t>(tga.begin() + 18, tga.end()),
              (std::vector<uint8_t>{0x33, 0x22, 0x11, 0xFF, 0x66, 0x55, 0x44, 0x80}));
}

TEST(Pictures, PngIsWellFormed) {
    TPixelImage image;
    image.Width = 300;
    image.Height = 300; // more than one stored block
    image.Pixels.assign(300 * 300, 0xFF00FF00u);
    const std::vector<uint8_t> png = EncodePng(image);
    ASSERT_GT(png.size(), 300u * 300u * 4u);
    EXPECT_EQ(std::vector<uint8_t>(png.begin(), png.begin() + 8),
              (std::vector<uint8_t>{0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A}));
    EXPECT_EQ(std::string(png.begin() + 12, png.begin() + 16), "IHDR");
    EXPECT_EQ(std::string(png.end() - 8, png.end() - 4), "IEND");
}

} // namespace
