// The GTK dialog under the virtual display, driven as a player would drive it.
#include <gtest/gtest.h>

#include <cstdlib>

#include "fake_system.h"
#include "platform/settings_view.h"
#include "settings/settings_dialog.h"

namespace velmora::testing {
namespace {

using Items = std::vector<std::string>;

class SettingsWindow : public TSettingsFolderTest {
  protected:
    TFakeSystem Sys;

    void SetUp() override {
        TSettingsFolderTest::SetUp();
        const char* display = std::getenv("DISPLAY");
        if (!display || !*display) GTEST_SKIP() << "no DISPLAY for the settings window";
        ASSERT_TRUE(TSettingsView::StartToolkit());
        ClearSettingsViewMessages();
        Sys.Add(800, 600, 60);
        Sys.Add(1024, 768, 60);
        Sys.Add(1024, 768, 75);
    }
    void TearDown() override {
        SetSettingsViewAutoAnswer(std::nullopt);
        SetSettingsViewTestScript(nullptr);
        TSettingsFolderTest::TearDown();
    }
};

TEST_F(SettingsWindow, ChosenModeIsSavedAfterOkAndYes) {
    SetSettingsViewAutoAnswer(svaYes);
    bool leftOpen = true;
    SetSettingsViewTestScript([&] {
        EXPECT_EQ(SettingsViewTestCaption(), "Velmora Options *");
        EXPECT_EQ(SettingsViewTestItems(svModeList), (Items{"800x600", "1024x768"}));
        EXPECT_EQ(SettingsViewTestSelected(svModeList), 1); // the desktop's mode
        EXPECT_EQ(SettingsViewTestSelected(svDesktop), 1);
        EXPECT_FALSE(SettingsViewTestEnabled(svModeList));
        EXPECT_EQ(SettingsViewTestItems(svSpiralCount).size(), 8u);
        EXPECT_FALSE(SettingsViewTestEnabled(svSpiralType));

        EXPECT_TRUE(SettingsViewTestClick(svCustom));
        EXPECT_TRUE(SettingsViewTestEnabled(svModeList));
        EXPECT_TRUE(SettingsViewTestSelect(svModeList, 0));
        EXPECT_EQ(SettingsViewTestItems(svDepthList), Items{"32 bit"});
        EXPECT_EQ(SettingsViewTestItems(svRateList), Items{"60 Hz"});
        EXPECT_TRUE(SettingsViewTestClick(svOk));
        leftOpen = SettingsViewTestDestroy();
    });
    EXPECT_TRUE(RunSettingsDialog(Sys));

    EXPECT_FALSE(leftOpen);
    EXPECT_EQ(SettingsViewMessages(), Items{"Save changes end exit?"});
    EXPECT_EQ(SavedValue("Preset"), "0");
    EXPECT_EQ(SavedValue("Width"), "800");
    EXPECT_EQ(SavedValue("Height"), "600");
    EXPECT_EQ(SavedValue("RefreshRate"), "60");
    EXPECT_EQ(SavedValue("Format"), "X8R8G8B8");
    EXPECT_EQ(Options.Width, 800);
    EXPECT_FALSE(Options.Windowed);
}

TEST_F(SettingsWindow, TestHookPressesOkOnceShownAndTheOfferedModeIsSaved) {
    AnswerSettingsDialogWithOk();
    EXPECT_TRUE(RunSettingsDialog(Sys));
    EXPECT_EQ(SettingsViewMessages(), Items{"Save changes end exit?"});
    EXPECT_EQ(SavedValue("Preset"), "1") << "the desktop's mode, as the dialog offers it";
    EXPECT_EQ(SavedValue("Width"), "1024");
    EXPECT_EQ(SavedValue("Height"), "768");
    EXPECT_EQ(Options.Width, 1024);
}

TEST_F(SettingsWindow, CloseCommandAsksAndCanBeRefused) {
    SetSettingsViewAutoAnswer(svaCancel);
    bool openAfterCancel = false;
    bool leftOpen = true;
    SetSettingsViewTestScript([&] {
        EXPECT_TRUE(SettingsViewTestCloseWindow());
        openAfterCancel = !SettingsViewTestCaption().empty();
        SetSettingsViewAutoAnswer(svaNo);
        EXPECT_TRUE(SettingsViewTestCloseWindow());
        leftOpen = SettingsViewTestDestroy();
    });
    EXPECT_TRUE(RunSettingsDialog(Sys));

    EXPECT_TRUE(openAfterCancel);
    EXPECT_FALSE(leftOpen);
    EXPECT_EQ(SettingsViewMessages(), (Items{"Save changes?", "Save changes?"}));
    EXPECT_FALSE(OptionsFileExists());
    EXPECT_TRUE(Options.Windowed);
    EXPECT_EQ(Options.Width, 800);
    EXPECT_EQ(Options.Height, 600);
}

TEST_F(SettingsWindow, AdvancedCheckBoxAndSpiralChoicesReachTheFile) {
    SetSettingsViewAutoAnswer(svaYes);
    SetSettingsViewTestScript([&] {
        EXPECT_TRUE(SettingsViewTestClick(svAdvancedOptions));
        EXPECT_TRUE(SettingsViewTestEnabled(svSpiralType));
        EXPECT_TRUE(SettingsViewTestSelect(svSpiralCount, 2));
        EXPECT_TRUE(SettingsViewTestSelect(svBlendMode, 2));
        EXPECT_TRUE(SettingsViewTestClick(svOk));
        SettingsViewTestDestroy();
    });
    RunSettingsDialog(Sys);
    EXPECT_EQ(SavedValue("AdvancedOpt"), "1");
    EXPECT_EQ(SavedValue("SpiralCount"), "3");
    EXPECT_EQ(SavedValue("BlendMode"), "2");
    EXPECT_EQ(SavedValue("SpiralType"), "1");
}

TEST_F(SettingsWindow, MissingDisplaySystemIsToldAndTheGameStartsWindowed) {
    SetSettingsViewAutoAnswer(svaYes);
    bool opened = false;
    SetSettingsViewTestScript([&] { opened = SettingsViewTestDestroy(); });
    Sys.VideoStarts = false;
    EXPECT_FALSE(RunSettingsDialog(Sys));
    SetSettingsViewTestScript(nullptr);

    EXPECT_FALSE(opened);
    EXPECT_EQ(SettingsViewMessages(),
              (Items{"Direct3D8 interface creation failed\rPlease, install DirectX 8.1 or higher",
                     "The application will now exit"}));
    EXPECT_FALSE(OptionsFileExists());
    EXPECT_TRUE(Options.Windowed);
    EXPECT_EQ(Options.Width, 800);
    EXPECT_EQ(Options.Height, 600);
}

// The real machine under the virtual display: SDL's modes, the GL driver's memory, the sound probe.
TEST_F(SettingsWindow, RealDisplayCancelStartsWindowed800x600) {
    SetSettingsViewAutoAnswer(svaYes);
    Items modes;
    int selected = -1;
    SetSettingsViewTestScript([&] {
        modes = SettingsViewTestItems(svModeList);
        selected = SettingsViewTestSelected(svModeList);
        EXPECT_TRUE(SettingsViewTestClick(svCancel));
        SettingsViewTestDestroy();
    });
    EXPECT_TRUE(RunSettingsDialog());

    ASSERT_FALSE(modes.empty());
    EXPECT_GE(selected, 0);
    EXPECT_EQ(SettingsViewMessages(), Items{"Exit without saving?"});
    EXPECT_FALSE(OptionsFileExists());
    EXPECT_TRUE(Options.Windowed);
    EXPECT_EQ(Options.Width, 800);
    EXPECT_EQ(Options.Height, 600);
}

} // namespace
} // namespace velmora::testing
