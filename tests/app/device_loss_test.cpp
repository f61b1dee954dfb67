#include <gtest/gtest.h>

#include "app/d3dapp.h"
#include "app/device.h"
#include "app/options.h"
#include "engine/group.h"
#include "platform/recording_device.h"
#include "render/blocks.h"

using namespace velmora;

namespace {

int Restored = 0, Invalidated = 0;

// A scene object that counts the device walks that reach it.
struct TDeviceUser : TMaster {
    HRESULT_t RestoreDeviceObjects() override {
        ++Restored;
        return 0;
    }
    void InvalidateDeviceObjects() override { ++Invalidated; }
};

TEST(DeviceLoss, LostDeviceIsResetAndEveryObjectRestored) {
    InitScreenGeometryFor(800, 600);
    IRecordingDevice* recorder = CreateRecordingDevice(800, 600);
    Device = recorder;
    {
        TMyApp app;
        app.Windowed = true;
        auto* group = new TGroup();
        auto* holder = group->Add(new TMaster());
        holder->Add(new TDeviceUser());
        group->Add(new TDeviceUser());
        group->RestoreDeviceObjects();
        Restored = Invalidated = 0;
        recorder->ClearCalls();

        recorder->LoseDeviceOnce();
        EXPECT_EQ(app.Render3DEnvironment(), 0);
        EXPECT_EQ(recorder->CountOf("Reset"), 1);
        EXPECT_EQ(Invalidated, 2);
        EXPECT_EQ(Restored, 2);
        EXPECT_TRUE(group->DeviceObjectsRestored);
        EXPECT_EQ(recorder->CountOf("Present"), 2); // the restore's white frame and this frame

        recorder->ClearCalls();
        EXPECT_EQ(app.Render3DEnvironment(), 0);
        EXPECT_EQ(recorder->CountOf("Reset"), 0);
        EXPECT_EQ(recorder->CountOf("BeginScene"), 1);
        delete group;
        RootGroup = nullptr;
    }
    EXPECT_EQ(Device, nullptr); // the frame released the device it was given
}

// The texture of the last draw is held by the texture memory of ST; a lost device and the exit both
// let it go before the device is released, so no texture outlives its device.
TEST(DeviceLoss, TheLastTextureDrawnIsLetGoAtDeviceLossAndAtExit) {
    InitScreenGeometryFor(800, 600);
    IRecordingDevice* recorder = CreateRecordingDevice(800, 600);
    Device = recorder;
    IDirect3DTexture8* tex = nullptr;
    {
        TMyApp app;
        app.Windowed = true;
        auto* group = new TGroup(); // with the texture store and the state blocks
        group->RestoreDeviceObjects();
        ASSERT_TRUE(SUCCEEDED(CreateTextureDirect(8, 8, 1, tex, D3DPOOL_MANAGED, D3DFMT_A8R8G8B8, 0)));
        ST(0, tex);
        EXPECT_EQ(RememberedTexture(), tex);

        recorder->LoseDeviceOnce();
        EXPECT_EQ(app.Render3DEnvironment(), 0);
        EXPECT_EQ(recorder->CountOf("Reset"), 1);
        EXPECT_EQ(RememberedTexture(), nullptr) << "let go when the device was lost";

        ST(0, tex);                 // drawn again after the reset
        app.Cleanup3DEnvironment(); // the application's exit
        EXPECT_EQ(RootGroup, nullptr);
    }
    EXPECT_EQ(Device, nullptr);
    EXPECT_EQ(RememberedTexture(), nullptr);
    EXPECT_EQ(tex->Release(), 0u) << "the test's own reference was the last one";
}

} // namespace
