#include <gtest/gtest.h>

#include "app/d3dapp.h"
#include "app/device.h"
#include "app/options.h"
#include "engine/group.h"
#include "platform/recording_device.h"

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

} // namespace
