#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>

#include "app/d3dapp.h"
#include "app/input.h"
#include "app/options.h"
#include "app/testhooks.h"
#include "engine/basic.h"

using namespace velmora;

namespace {

class MouseFrames : public ::testing::Test {
  protected:
    void SetUp() override {
        FrameCount = 10;
        ASSERT_EQ(InitInput(nullptr), 0);
        ASSERT_NE(Mouse, nullptr);
    }
    void TearDown() override { DoneInput(); }
    // What the scene does once per frame: look, then the frame clears the events.
    void EndFrame() {
        UpdateInput();
        ++FrameCount;
    }
};

TEST_F(MouseFrames, ClickBetweenFramesLeavesOnlyTheRelease) {
    Mouse->SetButton(WM_LBUTTONDOWN);
    Mouse->SetButton(WM_LBUTTONUP);
    EXPECT_TRUE(Mouse->Released(0));
    EXPECT_FALSE(Mouse->Pressed(0));
    EXPECT_FALSE(Mouse->IsDown(0));
    EXPECT_TRUE(Mouse->ButtonChangedNow());
    EndFrame();
    EXPECT_FALSE(Mouse->Released(0));
    EXPECT_FALSE(Mouse->ButtonChangedNow());
}

TEST_F(MouseFrames, HeldButtonIsPressedInTheFirstFrameOnly) {
    Mouse->SetButton(WM_RBUTTONDOWN);
    int pressedFrames = 0, downFrames = 0;
    for (int i = 0; i < 5; ++i) {
        pressedFrames += Mouse->Pressed(1);
        downFrames += Mouse->IsDown(1);
        EXPECT_FALSE(Mouse->Pressed(0));
        EndFrame();
    }
    EXPECT_EQ(pressedFrames, 1);
    EXPECT_EQ(downFrames, 5);
}

TEST_F(MouseFrames, UnknownButtonMessageOnlyMarksTheFrame) {
    Mouse->SetButton(WM_MOUSEMOVE);
    EXPECT_FALSE(Mouse->IsDown(0));
    EXPECT_EQ(Mouse->LeftEvent, meNone);
    EXPECT_EQ(Mouse->ButtonFrame, FrameCount);
}

TEST_F(MouseFrames, AreaIncludesLeftTopAndExcludesFarEdges) {
    Mouse->SetPosition(10, 20);
    EXPECT_TRUE(Mouse->MovedNow());
    EXPECT_TRUE(Mouse->InArea(10, 20, 5, 5));
    EXPECT_TRUE(Mouse->InRect(TPixelRect{6, 16, 5, 5}));
    EXPECT_FALSE(Mouse->InArea(5, 20, 5, 5)); // x = Left + Width is outside
    EXPECT_FALSE(Mouse->InArea(10, 15, 5, 5));
}

TEST_F(MouseFrames, WorldPositionFollowsTheLayoutGeometry) {
    InitScreenGeometryFor(800, 600);
    Mouse->SetPosition(0, 0);
    EXPECT_FLOAT_EQ(Mouse->WorldX(), PixelX[0]);
    EXPECT_FLOAT_EQ(Mouse->WorldY(), PixelY[0]);
    Mouse->SetPosition(400, 300);
    EXPECT_NEAR(Mouse->WorldX(), HalfPixel, 1e-6f);
}

class KeySets : public ::testing::Test {
  protected:
    void SetUp() override { PressedKeys.reset(); }
    void TearDown() override { PressedKeys.reset(); }
};

TEST_F(KeySets, ExactlyMeansNoMoreAndNoFewer) {
    PressedKeys.set(VK_CONTROL);
    EXPECT_FALSE(KeysExactly({VK_CONTROL, 'X'}));
    PressedKeys.set('X');
    EXPECT_TRUE(KeysExactly({VK_CONTROL, 'X'}));
    PressedKeys.set(VK_SHIFT);
    EXPECT_FALSE(KeysExactly({VK_CONTROL, 'X'}));
    EXPECT_TRUE(AnyKeyOf({VK_ESCAPE, VK_SHIFT}));
    EXPECT_FALSE(AnyKeyOf({VK_ESCAPE, VK_RETURN}));
}

TEST_F(KeySets, WindowProcedureKeepsHeldKeysAndCtrlXAsksToQuit) {
    TMyApp app;
    QuitRequest = qrNone;
    app.MsgProc(nullptr, WM_KEYDOWN, VK_CONTROL, 0);
    app.MsgProc(nullptr, WM_KEYDOWN, VK_SHIFT, 0);
    app.MsgProc(nullptr, WM_KEYDOWN, 'X', 0);
    EXPECT_EQ(QuitRequest, qrNone); // Shift is down too
    app.MsgProc(nullptr, WM_KEYUP, VK_SHIFT, 0);
    app.MsgProc(nullptr, WM_KEYUP, 'X', 0);
    app.MsgProc(nullptr, WM_KEYDOWN, 'X', 0);
    EXPECT_EQ(QuitRequest, qrQuit);
    QuitRequest = qrNone;
    app.MsgProc(nullptr, WM_ACTIVATEAPP, TRUE, 0);
    EXPECT_TRUE(PressedKeys.none()); // regaining the focus forgets held keys
}

TEST_F(KeySets, MouseMovesAreIgnoredUntilTheFrameIsReady) {
    ASSERT_EQ(InitInput(nullptr), 0);
    TMyApp app;
    app.MsgProc(nullptr, WM_MOUSEMOVE, 0, MAKELPARAM(120, 45));
    EXPECT_EQ(Mouse->X, 0);
    app.MsgProc(nullptr, WM_LBUTTONDOWN, 0, MAKELPARAM(120, 45));
    EXPECT_TRUE(Mouse->IsDown(0)); // buttons always reach the input
    DoneInput();
}

TEST_F(KeySets, OnlyThePlayersMessagesCountAsTheirInputAndAreRecorded) {
    TMyApp app;
    const std::filesystem::path rec =
        std::filesystem::temp_directory_path() / ("velmora_own_input_" + std::to_string(::getpid()) + ".txt");
    ASSERT_TRUE(StartRecording(rec.string()));
    const TPlayerInput start = PlayerInput;
    app.MsgProc(nullptr, WM_MOUSEMOVE, 0, MAKELPARAM(10, 10));
    app.MsgProc(nullptr, WM_LBUTTONDOWN, 0, MAKELPARAM(10, 10));
    app.MsgProc(nullptr, WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
    app.MsgProc(nullptr, WM_KEYDOWN, VK_SPACE, 0);
    app.MsgProc(nullptr, WM_KEYUP, VK_SPACE, 0);
    EXPECT_EQ(PlayerInput.Presses, start.Presses + 2) << "a button and a key went down";
    EXPECT_EQ(PlayerInput.Moves, start.Moves + 1);
    {
        TOwnInputScope own; // the program's own clicks, as the idle demo's bot sends them
        EXPECT_TRUE(OwnInputNow());
        app.MsgProc(nullptr, WM_MOUSEMOVE, 0, MAKELPARAM(20, 20));
        app.MsgProc(nullptr, WM_RBUTTONDOWN, 0, MAKELPARAM(20, 20));
        app.MsgProc(nullptr, WM_RBUTTONUP, 0, MAKELPARAM(20, 20));
    }
    EXPECT_FALSE(OwnInputNow());
    EXPECT_EQ(PlayerInput.Presses, start.Presses + 2);
    EXPECT_EQ(PlayerInput.Moves, start.Moves + 1);
    app.MsgProc(nullptr, WM_RBUTTONDOWN, 0, MAKELPARAM(20, 20));
    EXPECT_EQ(PlayerInput.Presses, start.Presses + 3);
    StopRecording();
    PressedKeys.reset();
    std::ifstream in(rec);
    const std::string lines((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::filesystem::remove(rec);
    EXPECT_NE(lines.find("down left 10 10"), std::string::npos) << lines;
    // A replay makes the program's own clicks again: recording them would send them twice.
    EXPECT_EQ(lines.find("move 20 20"), std::string::npos) << lines;
    EXPECT_EQ(lines.find("up right"), std::string::npos) << lines;
    EXPECT_NE(lines.find("down right 20 20"), std::string::npos) << "the player's own press after it";
}

struct TKeyCase {
    int Language;
    UINT Key;
    unsigned char Char;
};

class KeyTables : public ::testing::TestWithParam<TKeyCase> {};

TEST_P(KeyTables, UnshiftedCharacterOfTheLayout) {
    const TKeyCase c = GetParam();
    EXPECT_EQ(LayoutChar(c.Key, c.Language), c.Char) << "key " << c.Key << " language " << c.Language;
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, KeyTables,
    ::testing::Values(
        TKeyCase{lgEnglish, '0', '0'}, TKeyCase{lgEnglish, VK_NUMPAD7, '7'}, TKeyCase{lgEnglish, 'A', 'a'},
        TKeyCase{lgEnglish, 'Z', 'z'}, TKeyCase{lgEnglish, VK_SPACE, ' '}, TKeyCase{lgEnglish, 186, ';'},
        TKeyCase{lgEnglish, 187, '='}, TKeyCase{lgEnglish, 188, ','}, TKeyCase{lgEnglish, 189, '-'},
        TKeyCase{lgEnglish, 190, '.'}, TKeyCase{lgEnglish, 191, '/'}, TKeyCase{lgEnglish, 192, '`'},
        TKeyCase{lgEnglish, VK_F1, 0}, TKeyCase{lgEnglish, VK_RETURN, 0},
        // Russian, code page 1251
        TKeyCase{lgRussian, 'Q', 0xE9}, TKeyCase{lgRussian, 'F', 0xE0}, TKeyCase{lgRussian, 'Z', 0xFF},
        TKeyCase{lgRussian, 186, 0xE6}, TKeyCase{lgRussian, 222, 0xFD}, TKeyCase{lgRussian, 188, 0xE1},
        TKeyCase{lgRussian, 190, 0xFE}, TKeyCase{lgRussian, 192, 0xB8}, TKeyCase{lgRussian, 219, 0xF5},
        TKeyCase{lgRussian, 221, 0xFA}, TKeyCase{lgRussian, '5', '5'},
        // German, code page 1252
        TKeyCase{lgGerman, 'Y', 'z'}, TKeyCase{lgGerman, 'Z', 'y'}, TKeyCase{lgGerman, 186, 0xFC},
        TKeyCase{lgGerman, 192, 0xF6}, TKeyCase{lgGerman, 222, 0xE4}, TKeyCase{lgGerman, 219, 0xDF},
        TKeyCase{lgGerman, 187, '+'}, TKeyCase{lgGerman, 191, '#'}, TKeyCase{lgGerman, 'A', 'a'}));

TEST(KeyTablesComplete, EveryLetterKeyTypesADistinctLetterInEachLayout) {
    for (int lang : {lgEnglish, lgRussian, lgGerman}) {
        std::string seen;
        for (UINT k = 'A'; k <= 'Z'; ++k) {
            const unsigned char c = LayoutChar(k, lang);
            ASSERT_NE(c, 0) << "language " << lang << " key " << k;
            EXPECT_EQ(seen.find(static_cast<char>(c)), std::string::npos);
            seen += static_cast<char>(c);
        }
    }
}

TEST(KeyToCharFilter, OnlyAllowedCharactersPass) {
    char out = 0;
    EXPECT_TRUE(KeyToChar('A', 0, lgEnglish, "abc", out));
    EXPECT_EQ(out, 'a');
    EXPECT_FALSE(KeyToChar('D', 0, lgEnglish, "abc", out));
    EXPECT_FALSE(KeyToChar(VK_F5, 0, lgEnglish, std::string(256, 'x'), out));
    const std::string cyrillic = "\xE9\xC9";
    EXPECT_TRUE(KeyToChar('Q', 0, lgRussian, cyrillic, out));
    EXPECT_EQ(static_cast<unsigned char>(out), 0xE9);
    EXPECT_TRUE(KeyToChar('Q', 1, lgRussian, cyrillic, out));
    EXPECT_EQ(static_cast<unsigned char>(out), 0xC9);
}

} // namespace
