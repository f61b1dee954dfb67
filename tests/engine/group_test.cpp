#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <string>
#include <vector>

#include "app/device.h"
#include "app/log.h"
#include "app/options.h"
#include "engine/group.h"
#include "platform/files.h"
#include "platform/recording_device.h"

using namespace velmora;

namespace {

int Created[17] = {};

template <int Code> struct TFakeWindow : TMaster {
    const char* ClassName() const override { return "TFakeWindow"; }
};

template <int Code> TBasic* MakeFake() {
    ++Created[Code];
    return new TFakeWindow<Code>();
}

struct TFailingRestore : TBasic {
    HRESULT_t RestoreDeviceObjects() override { return static_cast<HRESULT_t>(0x80004005u); }
    const char* ClassName() const override { return "TFailingRestore"; }
};

struct TKeyTaker : TBasic {
    bool KeyDown(uint16_t key) override {
        Keys.push_back(key);
        return true;
    }
    std::vector<uint16_t> Keys;
};

std::vector<std::string> LogLines() {
    std::ifstream in(LogFile());
    std::vector<std::string> lines;
    for (std::string l; std::getline(in, l);)
        lines.push_back(l);
    return lines;
}

bool LogHas(const std::string& line) {
    for (const std::string& l : LogLines())
        if (l == line) return true;
    return false;
}

class Group : public ::testing::Test {
  protected:
    void SetUp() override {
        std::fill(std::begin(Created), std::end(Created), 0);
        ClearWindowRegistry();
        RegisterWindow(9, &MakeFake<9>);
        RegisterWindow(11, &MakeFake<11>);
        RegisterWindow(4, &MakeFake<4>);
        RegisterWindow(15, &MakeFake<15>);
        InitScreenGeometryFor(800, 600);
        Delta = 1.0f;
        // The services record their device objects at once: the group always lives on a device.
        Recorder = CreateRecordingDevice(800, 600);
        Device = Recorder;
        group = new TGroup();
    }
    void TearDown() override {
        delete group;
        Device = nullptr;
        Recorder->Release();
        ClearWindowRegistry();
        StartWindowCode = 9;
    }
    int Windows() const {
        int n = 0;
        for (TBasic* c = group->First; c; c = c->Next)
            if (std::string(c->ClassName()) == "TFakeWindow") ++n;
        return n;
    }
    TGroup* group = nullptr;
    IRecordingDevice* Recorder = nullptr;
};

TEST_F(Group, FirstFrameCreatesTheStartWindowAndTheCursor) {
    EXPECT_EQ(RootGroup, group);
    EXPECT_EQ(group->NextWindow, 9);
    group->Step();
    EXPECT_EQ(Created[9], 1);
    EXPECT_EQ(group->RenderMode, 3);
    EXPECT_EQ(group->NextWindow, 0);
    ASSERT_NE(VisMouse, nullptr);
    EXPECT_TRUE(group->Contains(VisMouse));
    group->Step();
    EXPECT_EQ(Created[9], 1);
}

TEST_F(Group, TwoRequestsInOneFrameOnlyTheLastIsPerformed) {
    group->Step();
    group->ShowMainMenu();
    group->ShowGame();
    group->Step();
    EXPECT_EQ(Created[11], 0);
    EXPECT_EQ(Created[4], 1);
    EXPECT_EQ(group->RenderMode, 1);
}

TEST_F(Group, CodesEightAndFourteenOnlyChangeTheRenderMode) {
    group->Step();
    const int before = Windows();
    group->NextWindow = 8;
    group->Step();
    EXPECT_EQ(group->RenderMode, 1);
    EXPECT_EQ(Windows(), before);
    group->NextWindow = 14;
    group->Step();
    EXPECT_EQ(group->RenderMode, 2);
    EXPECT_EQ(Windows(), before);
}

TEST_F(Group, CodeWithoutWindowLogsAndStillSwitchesTheMode) {
    group->Step();
    group->ShowHiScores(1);
    EXPECT_EQ(HiScoresParam, 1);
    group->Step();
    EXPECT_EQ(group->RenderMode, 2);
    EXPECT_EQ(group->NextWindow, 0);
    EXPECT_TRUE(LogHas("TGroup.StepMe: no window registered for code 5"));
}

TEST_F(Group, UnknownCodeIsDroppedSoKeysReachTheFocusAgain) {
    group->Step();
    auto* taker = group->Add(new TKeyTaker());
    FocusObject = taker;
    group->NextWindow = 42;
    EXPECT_FALSE(group->KeyDown('A')); // a switch is pending
    group->Step();
    EXPECT_EQ(group->NextWindow, 0);
    EXPECT_EQ(group->RenderMode, 3);
    EXPECT_TRUE(group->KeyDown('B'));
    EXPECT_EQ(taker->Keys, std::vector<uint16_t>{'B'});
    FocusObject = nullptr;
}

TEST_F(Group, HistoryRequestStoresItsScene) {
    group->ShowHistory(3);
    EXPECT_EQ(HistoryScene, 3);
    EXPECT_EQ(group->NextWindow, 6);
}

TEST_F(Group, RestoreWalkLogsEachFailureAndGoesOn) {
    auto* holder = group->Add(new TMaster());
    holder->Add(new TFailingRestore());
    group->Add(new TFailingRestore());
    EXPECT_EQ(group->RestoreDeviceObjects(), 0);
    EXPECT_TRUE(group->DeviceObjectsRestored);
    int failures = 0;
    for (const std::string& l : LogLines())
        failures += l == "TGroup.RestoreDeviceObjects: TFailingRestore.RestoreDeviceObjects failed";
    EXPECT_GE(failures, 2);
    EXPECT_TRUE(LogHas("TGroup.RestoreDeviceObjects: <<-----end"));
    group->InvalidateDeviceObjects();
    EXPECT_FALSE(group->DeviceObjectsRestored);
}

class GroupOnDevice : public Group {
  protected:
    // Where a world point lands in clip space under the transforms last set.
    void Project(float x, float y, float& cx, float& cy) {
        D3DMATRIX view{}, proj{};
        Recorder->GetTransform(D3DTS_VIEW, &view);
        Recorder->GetTransform(D3DTS_PROJECTION, &proj);
        const D3DMATRIX m = D3DMatrixMultiply(view, proj);
        const float v[4] = {x, y, 0, 1};
        float r[4] = {};
        for (int j = 0; j < 4; ++j)
            for (int k = 0; k < 4; ++k)
                r[j] += v[k] * m.m[k][j];
        cx = r[0] / r[3];
        cy = r[1] / r[3];
    }
};

TEST_F(GroupOnDevice, DefaultCameraShowsExactlyTheWorldRectangle) {
    group->Render();
    float cx = 0, cy = 0;
    Project(ViewRight, ViewTop, cx, cy);
    EXPECT_NEAR(cx, 1.0f, 1e-4f);
    EXPECT_NEAR(cy, 1.0f, 1e-4f);
    Project(ViewLeft, ViewBottom, cx, cy);
    EXPECT_NEAR(cx, -1.0f, 1e-4f);
    EXPECT_NEAR(cy, -1.0f, 1e-4f);
}

TEST_F(GroupOnDevice, ShakeMovesTheViewSidewaysWithinItsAmplitude) {
    group->CameraShake = true;
    group->ShakeAmplitude = 1.0f;
    bool moved = false;
    for (int i = 0; i < 20; ++i) {
        group->Render();
        float cx = 0, cy = 0;
        Project(0, 0, cx, cy);
        EXPECT_LE(std::abs(cx), 0.05f / ViewRight + 1e-4f);
        EXPECT_NEAR(cy, 0.0f, 1e-5f);
        moved = moved || std::abs(cx) > 1e-6f;
    }
    EXPECT_TRUE(moved);
}

TEST_F(GroupOnDevice, RestoreClearsToWhiteAndLightsTheScene) {
    Recorder->ClearCalls();
    group->RestoreDeviceObjects();
    const auto clears = Recorder->CallsNamed("Clear");
    ASSERT_FALSE(clears.empty());
    EXPECT_EQ(static_cast<uint32_t>(clears[0].Args[2]), 0xFFFFFFFFu);
    EXPECT_EQ(Recorder->CountOf("Present"), 1);
    const auto lights = Recorder->CallsNamed("SetLight");
    ASSERT_EQ(lights.size(), 1u);
    EXPECT_EQ(lights[0].Args[1], D3DLIGHT_DIRECTIONAL);
    EXPECT_TRUE(LogHas("TGroup.RestoreDeviceObjects: CreateLights succeeded"));
}

TEST_F(GroupOnDevice, WindowRequestLeavesAScreenCapture) {
    ASSERT_TRUE(CreateDirectory(Paths.Textures));
    DeleteFile(ScreenCaptureFile());
    group->ShowMainMenu();
    ASSERT_TRUE(FileExists(ScreenCaptureFile()));
    EXPECT_EQ(FileSize(ScreenCaptureFile()), 18 + 800 * 600 * 4);
}

} // namespace
