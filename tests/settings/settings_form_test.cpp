#include <gtest/gtest.h>

#include "fake_system.h"
#include "settings/settings_dialog.h"
#include "settings/settings_form.h"

namespace velmora::testing {
namespace {

using Items = std::vector<std::string>;

std::string SelectedItem(const TListControl& list) {
    return list.Selected() ? list.Items[list.ItemIndex] : "<none>";
}

// ---- The mode table --------------------------------------------------------------------------

class ModeTable : public TSettingsFolderTest {};

TEST_F(ModeTable, SmallVideoMemoryListsOnly800x600AtEveryDepthAndRate) {
    TFakeSystem sys;
    sys.Add(640, 480, 60);
    sys.Add(800, 600, 60, D3DFMT_R5G6B5);
    sys.Add(800, 600, 60);
    sys.Add(800, 600, 75);
    sys.Add(1024, 768, 60);
    sys.Memory = uint64_t{2} << 20;
    TForm1 form(sys);
    ASSERT_TRUE(form.OnCreate());

    ASSERT_EQ(form.Modes.size(), 1u);
    EXPECT_EQ(form.ModeListBox.Items, Items{"800x600"});
    ASSERT_EQ(form.Modes[0].Depths.size(), 2u);
    EXPECT_EQ(form.Modes[0].Depths[0].BitDepth, 16);
    EXPECT_EQ(form.Modes[0].Depths[1].Rates, (std::vector<uint32_t>{60, 75}));
}

TEST_F(ModeTable, AmpleVideoMemoryListsEverythingUpToTheDesktop) {
    TFakeSystem sys;
    sys.Add(800, 600, 60);
    sys.Add(1024, 768, 60);
    sys.Add(1280, 1024, 60);
    sys.Desktop = {1280, 1024, 60, D3DFMT_X8R8G8B8};
    TForm1 form(sys);
    ASSERT_TRUE(form.OnCreate());
    EXPECT_EQ(form.ModeListBox.Items, (Items{"800x600", "1024x768", "1280x1024"}));
}

TEST_F(ModeTable, DesktopSizeHidesLargerModes) {
    TFakeSystem sys;
    sys.Add(800, 600, 60);
    sys.Add(1024, 768, 60);
    sys.Add(1280, 1024, 60);
    TForm1 form(sys); // desktop 1024 x 768
    ASSERT_TRUE(form.OnCreate());
    EXPECT_EQ(form.Modes.size(), 3u); // known to the table, just not offered
    EXPECT_EQ(form.ModeListBox.Items, (Items{"800x600", "1024x768"}));
}

TEST_F(ModeTable, TwoThirtyTwoBitFormatsShareOneDepthAndRate) {
    TFakeSystem sys;
    sys.Add(1024, 768, 60, D3DFMT_X8R8G8B8);
    sys.Add(1024, 768, 60, D3DFMT_A8R8G8B8);
    TForm1 form(sys);
    ASSERT_TRUE(form.OnCreate());
    form.ControlChanged(ciCustom, 1);
    form.ControlChanged(ciModeList, 0);
    EXPECT_EQ(form.ModeListBox.Items, Items{"1024x768"});
    EXPECT_EQ(form.PixelDepthBox.Items, Items{"32 bit"});
    EXPECT_EQ(form.RefreshRateBox.Items, Items{"60 Hz"});
}

TEST_F(ModeTable, LimitsOfTheTableAreKept) {
    TFakeSystem sys;
    for (UINT rate = 1; rate <= 200; ++rate)
        sys.Add(800, 600, rate);
    for (UINT w = 0; w < 200; ++w)
        sys.Add(800 + w, 600, 60);
    sys.Desktop = {4096, 4096, 60, D3DFMT_X8R8G8B8};
    TForm1 form(sys);
    ASSERT_TRUE(form.OnCreate());
    EXPECT_EQ(form.Modes.size(), cMaxResolutions);
    EXPECT_EQ(form.Modes[0].Depths[0].Rates.size(), cMaxRates);
}

// ---- Saved settings --------------------------------------------------------------------------

class SavedSettings : public TSettingsFolderTest {
  protected:
    TFakeSystem Sys;
    void SetUp() override {
        TSettingsFolderTest::SetUp();
        Sys.Desktop = {1280, 1024, 60, D3DFMT_X8R8G8B8};
        for (auto [w, h] : {std::pair{800u, 600u}, {1024u, 768u}, {1280u, 1024u}}) {
            Sys.Add(w, h, 60, D3DFMT_R5G6B5);
            Sys.Add(w, h, 85, D3DFMT_R5G6B5);
            Sys.Add(w, h, 60);
            Sys.Add(w, h, 75);
        }
    }
};

TEST_F(SavedSettings, OddSizeSelectsLargestModeThatFits) {
    WriteOptions("Preset 0\nWidth 1100\nHeight 900\nFormat X8R8G8B8\nRefreshRate 75\n");
    TForm1 form(Sys);
    ASSERT_TRUE(form.OnCreate());
    EXPECT_TRUE(form.rbCustom);
    EXPECT_EQ(SelectedItem(form.ModeListBox), "1024x768");
    EXPECT_EQ(SelectedItem(form.PixelDepthBox), "32 bit");
    // The rates shown are those of the 32-bit depth, so the saved 75 Hz is found again.
    EXPECT_EQ(form.RefreshRateBox.Items, (Items{"60 Hz", "75 Hz"}));
    EXPECT_EQ(SelectedItem(form.RefreshRateBox), "75 Hz");
}

TEST_F(SavedSettings, SavingUnchangedFileAsksNothingAndKeepsItsValues) {
    WriteOptions("Preset 0\nWindowed 0\nWidth 1024\nHeight 768\nFormat X8R8G8B8\nRefreshRate 60\n"
                 "VSync 1\nSoundEnabled 1\nAdvancedOpt 1\nSpiralType 2\nSpiralCount 8\nBlendMode 1\n");
    TForm1 form(Sys);
    ASSERT_TRUE(form.OnCreate());
    EXPECT_EQ(SelectedItem(form.SpiralCount), "8");
    EXPECT_EQ(SelectedItem(form.SpiralType), "Third");
    EXPECT_EQ(SelectedItem(form.BlendMode), "Colored");
    EXPECT_EQ(form.Caption, "Velmora Options");
    const TCloseStep step = form.bOkClick();
    EXPECT_EQ(step.Ask, sqNone);
    EXPECT_TRUE(step.Close);
}

TEST_F(SavedSettings, PresetOutsideTheTwoChoicesChecksNeither) {
    WriteOptions("Preset 2\nWidth 800\nHeight 600\n");
    TForm1 form(Sys);
    ASSERT_TRUE(form.OnCreate());
    EXPECT_FALSE(form.rbCustom);
    EXPECT_FALSE(form.rbDesktop);
    EXPECT_TRUE(form.ModeListBox.Enabled);
}

TEST_F(SavedSettings, SavedSizeBelowEveryModeLeavesNothingSelected) {
    WriteOptions("Preset 0\nWidth 640\nHeight 480\n");
    TForm1 form(Sys);
    ASSERT_TRUE(form.OnCreate());
    EXPECT_FALSE(form.ModeListBox.Selected());
    EXPECT_TRUE(form.PixelDepthBox.Items.empty());
    TOptionsRec r;
    form.CollectOptions(r);
    EXPECT_EQ(r.Width, 0);
    EXPECT_EQ(r.RefreshRate, 0);
}

// ---- Choosing -------------------------------------------------------------------------------

class Choosing : public SavedSettings {};

TEST_F(Choosing, ThirtyTwoBitFallsBackToR5G6B5) {
    Sys.Supported = {D3DFMT_R5G6B5, D3DFMT_X1R5G5B5};
    TForm1 form(Sys);
    ASSERT_TRUE(form.OnCreate());
    form.ControlChanged(ciCustom, 1);
    form.ControlChanged(ciModeList, 1); // 1024x768, last depth picked: 32 bit
    ASSERT_EQ(SelectedItem(form.PixelDepthBox), "32 bit");
    TOptionsRec r;
    form.CollectOptions(r);
    EXPECT_EQ(r.Format, D3DFMT_R5G6B5);
}

TEST_F(Choosing, NoUsableFormatSavesUnknown) {
    Sys.Supported = {};
    TForm1 form(Sys);
    ASSERT_TRUE(form.OnCreate());
    form.ControlChanged(ciCustom, 1);
    form.ControlChanged(ciModeList, 1);
    form.ControlChanged(ciDepthList, 0); // 16 bit
    TOptionsRec r;
    form.CollectOptions(r);
    EXPECT_EQ(r.Format, 0);
}

TEST_F(Choosing, SixteenBitNeverPicksAThirtyTwoBitFormat) {
    Sys.Supported = {D3DFMT_X8R8G8B8, D3DFMT_X1R5G5B5};
    TForm1 form(Sys);
    ASSERT_TRUE(form.OnCreate());
    form.ControlChanged(ciCustom, 1);
    form.ControlChanged(ciModeList, 2);
    form.ControlChanged(ciDepthList, 0);
    ASSERT_EQ(SelectedItem(form.PixelDepthBox), "16 bit");
    EXPECT_EQ(form.RefreshRateBox.Items, (Items{"60 Hz", "85 Hz"}));
    TOptionsRec r;
    form.CollectOptions(r);
    EXPECT_EQ(r.Format, D3DFMT_X1R5G5B5);
    EXPECT_EQ(r.Width, 1280);
    EXPECT_EQ(r.RefreshRate, 60);
}

TEST_F(Choosing, DesktopChoiceLocksListsOnTheDesktopMode) {
    WriteOptions("Preset 0\nWidth 800\nHeight 600\nFormat R5G6B5\n");
    TForm1 form(Sys);
    ASSERT_TRUE(form.OnCreate());
    EXPECT_TRUE(form.ModeListBox.Enabled);
    EXPECT_EQ(SelectedItem(form.PixelDepthBox), "16 bit");
    form.ControlChanged(ciDesktop, 1);
    EXPECT_FALSE(form.ModeListBox.Enabled);
    EXPECT_FALSE(form.RefreshRateBox.Enabled);
    EXPECT_EQ(SelectedItem(form.ModeListBox), "1280x1024");
    EXPECT_EQ(SelectedItem(form.PixelDepthBox), "32 bit");
    EXPECT_EQ(SelectedItem(form.RefreshRateBox), "60 Hz");
    EXPECT_EQ(form.Caption, "Velmora Options *");
}

TEST_F(Choosing, AdvancedOptionsEnableTheirControls) {
    TForm1 form(Sys);
    ASSERT_TRUE(form.OnCreate());
    EXPECT_FALSE(form.SpiralType.Enabled);
    form.ControlChanged(ciAdvancedOptions, 1);
    EXPECT_TRUE(form.SpiralType.Enabled);
    EXPECT_TRUE(form.SpiralCount.Enabled);
    EXPECT_TRUE(form.BlendMode.Enabled);
    form.ControlChanged(ciSpiralCount, -1); // free text typed
    TOptionsRec r;
    form.CollectOptions(r);
    EXPECT_TRUE(r.AdvancedOpt);
    EXPECT_EQ(r.SpiralCount, 0);
}

TEST_F(Choosing, FailedSoundProbeSavesSoundOff) {
    Sys.SoundStarts = false;
    TForm1 form(Sys);
    ASSERT_TRUE(form.OnCreate());
    ASSERT_EQ(form.bOkClick().Ask, sqSaveAndExit);
    form.Answer(saYes);
    EXPECT_EQ(SavedValue("SoundEnabled"), "0");
}

// ---- First run: the cleared defaults -----------------------------------------------------------

class FirstRun : public SavedSettings {};

TEST_F(FirstRun, OpensOnTheDesktopModeWithAStarredCaption) {
    TForm1 form(Sys);
    ASSERT_TRUE(form.OnCreate());
    EXPECT_TRUE(form.rbDesktop);
    EXPECT_FALSE(form.rbCustom);
    EXPECT_EQ(SelectedItem(form.ModeListBox), "1280x1024");
    EXPECT_EQ(SelectedItem(form.PixelDepthBox), "32 bit");
    EXPECT_EQ(SelectedItem(form.RefreshRateBox), "60 Hz");
    EXPECT_EQ(SelectedItem(form.SpiralType), "Second");
    EXPECT_EQ(SelectedItem(form.SpiralCount), "8");
    EXPECT_EQ(SelectedItem(form.BlendMode), "Bright");
    EXPECT_EQ(form.Caption, "Velmora Options *");
    EXPECT_EQ(Options.Width, 0); // the record stays cleared until saved
}

TEST_F(FirstRun, OkAsksOnceThenSavesAndCloses) {
    TForm1 form(Sys);
    ASSERT_TRUE(form.OnCreate());
    const TCloseStep ask = form.bOkClick();
    EXPECT_EQ(ask.Ask, sqSaveAndExit);
    EXPECT_STREQ(QuestionText(ask.Ask), "Save changes end exit?");
    EXPECT_FALSE(ask.Close);
    const TCloseStep done = form.Answer(saYes);
    EXPECT_EQ(done.Ask, sqNone); // no "Save changes?" after saving
    EXPECT_TRUE(done.Close);
    EXPECT_EQ(form.Caption, "Velmora Options");
    EXPECT_EQ(SavedValue("Width"), "1280");
    EXPECT_EQ(SavedValue("Height"), "1024");
    EXPECT_EQ(SavedValue("Format"), "X8R8G8B8");
    EXPECT_EQ(SavedValue("Preset"), "1");
    EXPECT_EQ(SavedValue("Windowed"), "0");
    EXPECT_EQ(SavedValue("SpiralCount"), "8");
    EXPECT_EQ(Options.Width, 1280);
}

TEST_F(FirstRun, NoToTheSaveQuestionKeepsTheDialogOpen) {
    TForm1 form(Sys);
    ASSERT_TRUE(form.OnCreate());
    form.bOkClick();
    const TCloseStep step = form.Answer(saNo);
    EXPECT_FALSE(step.Close);
    EXPECT_EQ(step.Ask, sqNone);
    EXPECT_FALSE(OptionsFileExists());
}

TEST_F(FirstRun, CancelAsksWithoutTheAuthorsNoteAndStartsWindowed800x600) {
    TForm1 form(Sys);
    ASSERT_TRUE(form.OnCreate());
    const TCloseStep ask = form.bCancelClick();
    EXPECT_STREQ(QuestionText(ask.Ask), "Exit without saving?");
    EXPECT_FALSE(QuestionHasCancel(ask.Ask));
    const TCloseStep done = form.Answer(saYes);
    EXPECT_TRUE(done.Close);
    EXPECT_EQ(done.Ask, sqNone); // closing after a cancel asks nothing more
    EXPECT_FALSE(OptionsFileExists());

    EnsureStartSize(Options);
    EXPECT_TRUE(Options.Windowed);
    EXPECT_EQ(Options.Width, 800);
    EXPECT_EQ(Options.Height, 600);
}

TEST_F(FirstRun, CloseCommandOffersSaveDiscardOrStay) {
    TForm1 form(Sys);
    ASSERT_TRUE(form.OnCreate());
    TCloseStep step = form.OnClose();
    EXPECT_STREQ(QuestionText(step.Ask), "Save changes?");
    EXPECT_TRUE(QuestionHasCancel(step.Ask));
    step = form.Answer(saCancel);
    EXPECT_FALSE(step.Close);

    step = form.OnClose();
    step = form.Answer(saNo);
    EXPECT_TRUE(step.Close);
    EXPECT_FALSE(OptionsFileExists());

    step = form.OnClose();
    step = form.Answer(saYes);
    EXPECT_TRUE(step.Close);
    EXPECT_TRUE(OptionsFileExists());
}

TEST_F(FirstRun, UnwritableOptionsFileIsReportedNotHidden) {
    std::filesystem::create_directory(OptionsPath()); // a folder where the file should go
    TForm1 form(Sys);
    ASSERT_TRUE(form.OnCreate());
    form.bOkClick();
    form.Answer(saYes);
    ASSERT_EQ(form.Messages.size(), 1u);
    EXPECT_NE(form.Messages[0].find("Options.txt"), std::string::npos);
    EXPECT_NE(ReadFile(Base / "Error.log").find("uSettings.Save"), std::string::npos);
}

TEST_F(FirstRun, MissingDisplaySystemSaysSoAndCloses) {
    Sys.VideoStarts = false;
    TForm1 form(Sys);
    EXPECT_FALSE(form.OnCreate());
    EXPECT_EQ(form.Messages,
              (Items{"Direct3D8 interface creation failed\rPlease, install DirectX 8.1 or higher",
                     "The application will now exit"}));
}

TEST_F(FirstRun, HelpShowsItsBox) {
    TForm1 form(Sys);
    ASSERT_TRUE(form.OnCreate());
    form.OnHelp();
    EXPECT_EQ(form.Messages, Items{"11111111"});
}

} // namespace
} // namespace velmora::testing
