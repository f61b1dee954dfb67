#include <gtest/gtest.h>

#include <thread>

#include "startup/w_rescreator.h"
#include "startup_fixture.h"

namespace velmora::testing {
namespace {

class ResCreatorTest : public TStartupTest {
  protected:
    TW_ResCreator* Open() {
        auto* w = new TW_ResCreator();
        Group->AddWindow(w);
        return w;
    }
    // A fresh creator runs until the logo window opens.
    void RunToEnd() {
        Open();
        ASSERT_GT(FramesUntilHandover(), 0);
        StartupOpened.clear();
    }
    static TTestImage Load(const fs::path& file) {
        TTestImage img;
        EXPECT_TRUE(LoadTestImage(file.string(), img)) << file;
        return img;
    }
    static std::string ReadText(const fs::path& file) {
        std::ifstream in(file, std::ios::binary);
        std::string s;
        std::getline(in, s);
        return s;
    }
    static bool SliceComplete(const fs::path& folder) {
        return fs::exists(folder / "Coords.txt") && fs::exists(folder / "Slice.tga") &&
               fs::exists(folder / "Glow.tga");
    }
    // Every cell of a glare sheet is the chip of its column in white, with the mask row's alpha.
    void ExpectGlareSheet(const fs::path& file, int chipRow) {
        const TTestImage sheet = Load(file), chips = Load(Tex / "Chips.tga"),
                         mask = Load(Tex / "GlaresMask.tga");
        ASSERT_EQ(sheet.Width, 256);
        ASSERT_EQ(sheet.Height, 256);
        int lit = 0;
        for (int y = 0; y < 256; ++y)
            for (int x = 0; x < 256; ++x) {
                uint32_t want = 0;
                if (x < 240 && y < 240 && (chips.At(x, 40 * chipRow + y % 40) >> 24) != 0)
                    want = (mask.At(x % 40, y) & 0xFF000000u) | 0x00FFFFFFu;
                ASSERT_EQ(sheet.At(x, y), want) << file << " at " << x << "," << y;
                lit += (want >> 24) != 0;
            }
        EXPECT_GT(lit, 0); // the chips and the mask overlap somewhere
    }
};

TEST_F(ResCreatorTest, FreshInstallationDoesOneTaskPerFrameThenOpensTheLogo) {
    TW_ResCreator* w = Open();
    EXPECT_TRUE(fs::exists(Tex / "ResCreator" / "Background.tga")); // made before the window draws
    EXPECT_FLOAT_EQ(w->Progress, 0);

    Frame(); // unpacking
    EXPECT_FLOAT_EQ(w->Progress, 0.004f);
    EXPECT_TRUE(fs::exists(Tex / "Pic.tga"));
    EXPECT_FALSE(fs::exists(Tex / "Glares1.tga"));

    Frame(); // glare sheets
    EXPECT_FLOAT_EQ(w->Progress, 0.45f);
    EXPECT_TRUE(fs::exists(Tex / "Glares1.tga"));
    EXPECT_TRUE(fs::exists(Tex / "Glares2.tga"));
    EXPECT_FALSE(fs::exists(Art / "Body.tga"));

    Frame(); // artefact bodies
    EXPECT_FLOAT_EQ(w->Progress, 0.5f);
    ASSERT_TRUE(fs::exists(Art / "Body.tga"));
    EXPECT_FALSE(fs::exists(Art / "001"));
    const TTestImage body = Load(Art / "Body.tga");
    EXPECT_EQ(body.At(3, 10), 0xFF0000FFu);  // split over norm
    EXPECT_EQ(body.At(40, 10), 0xFF808080u); // norm where the split is clear

    Frame(); // first slice
    EXPECT_FLOAT_EQ(w->Progress, 0.5013f);
    EXPECT_TRUE(SliceComplete(Art / "001"));
    EXPECT_FALSE(fs::exists(Art / "002"));
    EXPECT_EQ(ReadText(Art / "001" / "Coords.txt"), "0 4 15 27\r");
    const TTestImage slice = Load(Art / "001" / "Slice.tga");
    EXPECT_EQ(slice.Width, 16);
    EXPECT_EQ(slice.Height, 24);
    EXPECT_EQ(slice.At(2, 5), 0xFF0000FFu);
    EXPECT_EQ(slice.At(12, 5), 0xFF808080u);

    Frame(); // second slice
    EXPECT_FLOAT_EQ(w->Progress, 0.5026f);
    EXPECT_TRUE(SliceComplete(Art / "002"));
    EXPECT_EQ(ReadText(Art / "002" / "Coords.txt"), "16 4 31 27\r");

    EXPECT_EQ(FramesUntilHandover(), 2); // nothing left: closes, and the group opens the logo next
    EXPECT_EQ(StartupOpened, std::vector<int>{10});
    EXPECT_FALSE(fs::exists(Art / "003"));
}

TEST_F(ResCreatorTest, CompleteInstallationClosesOnItsFirstFrameWithoutWriting) {
    RunToEnd();
    const auto before = Snapshot();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    Open();
    EXPECT_EQ(FramesUntilHandover(), 2);
    EXPECT_EQ(StartupOpened, std::vector<int>{10});
    EXPECT_EQ(Snapshot(), before);
}

TEST_F(ResCreatorTest, MissingSecondGlareSheetRemakesBothInOneFrame) {
    RunToEnd();
    Write(Tex / "Glares1.tga", "stale");
    fs::remove(Tex / "Glares2.tga");
    TW_ResCreator* w = Open();
    Frame();
    EXPECT_FLOAT_EQ(w->Progress, 0.45f);
    ExpectGlareSheet(Tex / "Glares1.tga", 0);
    ExpectGlareSheet(Tex / "Glares2.tga", 1);
    EXPECT_EQ(FramesUntilHandover(), 2);
}

TEST_F(ResCreatorTest, DeletedSliceFolderIsTheOnlyThingMadeAgain) {
    RunToEnd();
    fs::remove_all(Art / "002");
    const auto before = Snapshot();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    TW_ResCreator* w = Open();
    Frame();
    EXPECT_FLOAT_EQ(w->Progress, 0.0013f);
    EXPECT_TRUE(SliceComplete(Art / "002"));
    auto after = Snapshot();
    for (const char* f : {"", "/Coords.txt", "/Slice.tga", "/Glow.tga"})
        EXPECT_EQ(after.erase((Art / "002").string() + f), 1u) << f;
    after.erase(Art.string()); // the art folder's own time changes with the new folder
    auto unchanged = before;
    unchanged.erase(Art.string());
    EXPECT_EQ(after, unchanged); // slice 1, the body and the sheets untouched
    EXPECT_EQ(FramesUntilHandover(), 2);
}

TEST_F(ResCreatorTest, SliceFolderWithMissingFilesIsNotRevisited) {
    RunToEnd();
    fs::remove(Art / "001" / "Glow.tga");
    Open();
    EXPECT_EQ(FramesUntilHandover(), 2);
    EXPECT_FALSE(fs::exists(Art / "001" / "Glow.tga"));
}

TEST_F(ResCreatorTest, MissingListFileIsReportedAndTheOtherTasksStillRun) {
    fs::remove(Tex / "tga2jpgANDmask.txt");
    Open();
    EXPECT_GT(FramesUntilHandover(), 0);
    EXPECT_TRUE(LogHas("tga2jpgANDmask.txt' doesn't exist"));
    EXPECT_FALSE(fs::exists(Tex / "Pic.tga"));
    EXPECT_TRUE(fs::exists(Tex / "Glares2.tga"));
    EXPECT_TRUE(SliceComplete(Art / "002"));
}

TEST_F(ResCreatorTest, ShortListLineAndMissingPictureAreReportedOnceAndSkipped) {
    fs::copy_file(Tex / "Pic.jpg", Inst / "Out.jpg");
    Write(Tex / "tga2jpgANDmask.txt", "jpg\njpg Gone.jpg\njpg ..\\Out.jpg\njpg Pic.jpg\n");
    TW_ResCreator* w = Open();
    Frame();
    // The missing picture costs no frame (a long damaged list passes at once): the next one is made.
    EXPECT_FLOAT_EQ(w->Progress, 0.004f);
    EXPECT_TRUE(fs::exists(Tex / "Pic.tga"));
    EXPECT_GT(FramesUntilHandover(50), 0); // never stuck on either line
    const std::string log = LogText();
    EXPECT_NE(log.find("line 1 of '"), std::string::npos);
    EXPECT_NE(log.find("Gone.jpg' doesn't exist; skipped"), std::string::npos);
    EXPECT_NE(log.find("line 3 of '"), std::string::npos);
    EXPECT_FALSE(fs::exists(Inst / "Out.tga")); // nothing written outside the textures folder
    EXPECT_EQ(log.find("line 1 of '"), log.rfind("line 1 of '")); // reported once
}

TEST_F(ResCreatorTest, MissingColourFileIsReportedWithItsPathAndTheWindowCloses) {
    fs::remove(Art / "!Colors.txt");
    Open();
    EXPECT_GT(FramesUntilHandover(50), 0);
    // the game path, as the game names it
    const std::string colours = Tex.string() + "\\Arts\\Tiny\\!Colors.txt";
    EXPECT_TRUE(LogHas("TArtMaster.ReadMaskColors: file '" + colours + "' doesn't exists"));
    EXPECT_TRUE(fs::exists(Art / "Body.tga"));
    EXPECT_FALSE(fs::exists(Art / "001"));
}

TEST_F(ResCreatorTest, MissingGlarePicturesAreReportedAndSkipped) {
    fs::remove(Tex / "Chips.tga");
    Open();
    EXPECT_GT(FramesUntilHandover(50), 0);
    EXPECT_TRUE(LogHas("Chips.tga' cannot be read"));
    EXPECT_FALSE(fs::exists(Tex / "Glares1.tga"));
    EXPECT_TRUE(SliceComplete(Art / "002"));
}

TEST_F(ResCreatorTest, SliceWithoutPixelsOrTooLargeForItsGlowIsSkipped) {
    Write(Art / "!Colors.txt", "1 FF0000\n2 0000FF\n3 00FF00\n");
    // slice 3 covers the whole 300-pixel width: its glow would pass 256 x 256
    SaveImage(Art / "Mask.tga", 300, 32,
              [](int x, int) -> uint32_t { return x < 16 ? 0xFFFF0000u : 0xFF00FF00u; });
    SaveImage(Art / "Norm.tga", 300, 32, [](int, int) -> uint32_t { return 0xFF808080u; });
    SaveImage(Art / "Split.tga", 300, 32, [](int, int) -> uint32_t { return 0; });
    Open();
    EXPECT_GT(FramesUntilHandover(50), 0);
    EXPECT_TRUE(SliceComplete(Art / "001"));
    EXPECT_FALSE(fs::exists(Art / "002")); // no mask pixel is blue
    EXPECT_FALSE(fs::exists(Art / "003"));
    EXPECT_TRUE(LogHas("slice 2 of '"));
    EXPECT_TRUE(LogHas("slice 3 of '"));
}

TEST_F(ResCreatorTest, ProgressBarShowsTheDoneShareOfItsTexture) {
    TW_ResCreator* w = Open();
    w->ShowProgress(0.5f);
    EXPECT_FLOAT_EQ(w->ProgressBar->Width, 208 * PixelSize);
    EXPECT_FLOAT_EQ(w->ProgressBar->Height, 14 * PixelSize);
    EXPECT_EQ(w->ProgressBar->ScreenX, 194);
    EXPECT_EQ(w->ProgressBar->ScreenY, 524);
    w->ShowProgress(0);
    EXPECT_FLOAT_EQ(w->ProgressBar->Width, 0);
}

// Damaged lists far longer than the game's own: cut at their caps, read once, each fault told once,
// and the window hands over in a few frames.
TEST_F(ResCreatorTest, LongListsAreCutReadOnceAndPassQuickly) {
    std::string unpack, colours;
    for (int i = 0; i < 20000; ++i) {
        unpack += "jpg Missing" + std::to_string(i) + ".jpg\n";
        colours += std::to_string(i % 100 + 1) + " NOTHEX\n";
    }
    Write(Tex / "tga2jpgANDmask.txt", unpack);
    Write(Art / "!Colors.txt", colours);
    Open();
    EXPECT_GT(FramesUntilHandover(50), 0);
    const std::string log = LogText();
    const auto count = [&log](const std::string& text) {
        size_t n = 0;
        for (size_t at = log.find(text); at != std::string::npos; at = log.find(text, at + 1))
            ++n;
        return n;
    };
    EXPECT_EQ(count("more than 256 lines in '"), 1u);
    EXPECT_EQ(count("more than 128 lines in '"), 1u);
    EXPECT_EQ(count("doesn't exist; skipped"), 256u);
    EXPECT_EQ(count("TArtMaster.ReadMaskColors: bad line"), 128u);
}

} // namespace
} // namespace velmora::testing
