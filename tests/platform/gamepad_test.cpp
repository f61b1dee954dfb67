// Gamepads as key messages: the buttons' table, a pad plugged in and pulled out, its buttons,
// D-pad and stick queued as the keys the game understands, held arrows repeating, and the pad
// still heard while the desk's own input is ignored.
#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <vector>

#include "platform/gamepad.h"
#include "platform/win32.h"

using namespace velmora;

namespace {

std::vector<MSG> received;

LRESULT PadProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_KEYDOWN || msg == WM_KEYUP) received.push_back({wnd, msg, wParam, lParam, 0, {0, 0}});
    return DefWindowProc(wnd, msg, wParam, lParam);
}

class Gamepad : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        if (!std::getenv("DISPLAY")) setenv("SDL_VIDEODRIVER", "offscreen", 0);
    }
    void SetUp() override {
        Wnd = CreateAppWindow("Velmora pad test", CW_USEDEFAULT, CW_USEDEFAULT, 320, 240, FALSE, PadProc);
        ASSERT_NE(Wnd, nullptr);
        Pump();
        received.clear();
    }
    void TearDown() override {
        IgnoreDeviceInput(FALSE);
        if (Wnd) DestroyWindow(Wnd);
        received.clear();
    }
    static void Pump() {
        MSG msg;
        while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessage(&msg);
    }
    // The keys received since the last look, as (message, key).
    static std::vector<std::pair<UINT, WPARAM>> Keys() {
        Pump();
        std::vector<std::pair<UINT, WPARAM>> out;
        for (const MSG& m : received)
            out.push_back({m.message, m.wParam});
        received.clear();
        return out;
    }
    HWND Wnd = nullptr;
};

TEST(PadTable, EveryButtonHasAKeyAndANameAndTheNamesAreFound) {
    std::set<std::string> names;
    for (int b = 0; b < pbCount; ++b) {
        const TPadKey& k = cPadKeys[b];
        EXPECT_EQ(k.Button, b) << "rows in button order";
        EXPECT_NE(k.Key, 0u);
        names.insert(k.Name);
        TPadButton found;
        ASSERT_TRUE(PadButtonFromName(k.Name, found));
        EXPECT_EQ(found, k.Button);
    }
    EXPECT_EQ(names.size(), static_cast<size_t>(pbCount));
    EXPECT_EQ(PadButtonKey(pbA), VK_RETURN);
    EXPECT_EQ(PadButtonKey(pbB), VK_ESCAPE);
    EXPECT_EQ(PadButtonKey(pbStart), VK_PAUSE);
    EXPECT_EQ(PadButtonKey(pbX), VK_F1);
    EXPECT_EQ(PadButtonKey(pbRightShoulder), VK_F4);
    TPadButton b;
    EXPECT_TRUE(PadButtonFromName("rb", b));
    EXPECT_FALSE(PadButtonFromName("Z", b));
    EXPECT_FALSE(PadButtonFromName("", b));
}

TEST_F(Gamepad, ButtonsDpadAndStickArriveAsKeys) {
    ASSERT_TRUE(SimulatePadButton(Wnd, pbA, TRUE));
    ASSERT_TRUE(SimulatePadButton(Wnd, pbA, FALSE));
    ASSERT_TRUE(SimulatePadButton(Wnd, pbY, TRUE));
    using K = std::vector<std::pair<UINT, WPARAM>>;
    EXPECT_EQ(Keys(), (K{{WM_KEYDOWN, VK_RETURN}, {WM_KEYUP, VK_RETURN}, {WM_KEYDOWN, VK_F2}}));
    SimulatePadButton(Wnd, pbY, FALSE);
    Keys();

    // The stick pushed left past its dead zone, eased back but still beyond the let-go point,
    // then let go; the D-pad and the stick holding one arrow give one press.
    SimulatePadStick(Wnd, 0, -20000);
    SimulatePadStick(Wnd, 0, -12000);
    SimulatePadButton(Wnd, pbLeft, TRUE);
    EXPECT_EQ(Keys(), (K{{WM_KEYDOWN, VK_LEFT}}));
    SimulatePadStick(Wnd, 0, 0);
    EXPECT_EQ(Keys(), K{}) << "the D-pad still holds it";
    SimulatePadButton(Wnd, pbLeft, FALSE);
    EXPECT_EQ(Keys(), (K{{WM_KEYUP, VK_LEFT}}));
    SimulatePadStick(Wnd, 1, 30000);
    SimulatePadStick(Wnd, 1, 5000);
    EXPECT_EQ(Keys(), (K{{WM_KEYDOWN, VK_DOWN}, {WM_KEYUP, VK_DOWN}}));
}

TEST_F(Gamepad, HeldArrowRepeatsLikeAHeldKey) {
    SimulatePadButton(Wnd, pbUp, TRUE);
    Pump();
    Sleep(600); // past the pause and one step
    Pump();
    SimulatePadButton(Wnd, pbUp, FALSE);
    Pump();
    ASSERT_GE(received.size(), 3u);
    EXPECT_EQ(received.front().message, WM_KEYDOWN);
    EXPECT_EQ(received.front().lParam & (1L << 30), 0) << "the first press is no repeat";
    EXPECT_EQ(received[1].message, WM_KEYDOWN);
    EXPECT_EQ(received[1].wParam, VK_UP);
    EXPECT_NE(received[1].lParam & (1L << 30), 0) << "a repeat carries the repeat bit";
    EXPECT_EQ(received.back().message, WM_KEYUP);
}

TEST_F(Gamepad, DrivenRunStillHearsThePadsOfTheTestHooks) {
    IgnoreDeviceInput(TRUE);
    SimulatePadButton(Wnd, pbStart, TRUE);
    Pump();
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].wParam, VK_PAUSE);
    SimulatePadButton(Wnd, pbStart, FALSE);
}

TEST_F(Gamepad, APadPluggedInIsOpenedAndPulledOutIsClosed) {
    const int before = ConnectedPads();
    const int index = SimulatePadPlugIn();
    if (index < 0) GTEST_SKIP() << "SDL offers no virtual controller here";
    Pump();
    EXPECT_EQ(ConnectedPads(), before + 1) << "SDL's mapping database knows the controller";
    ASSERT_TRUE(SimulatePadPullOut(index));
    Pump();
    EXPECT_EQ(ConnectedPads(), before);
}

} // namespace
