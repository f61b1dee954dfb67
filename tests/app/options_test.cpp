#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/log.h"
#include "app/options.h"
#include "app/textfile.h"
#include "platform/d3d8.h"

using namespace velmora;
namespace fs = std::filesystem;

namespace {

class OptionsFile : public ::testing::Test {
  protected:
    void SetUp() override {
        Dir = fs::temp_directory_path() /
              ("velmora_options_" +
               std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(Dir);
        fs::create_directories(Dir);
        Path = (Dir / "Options.txt").string();
    }
    void TearDown() override { fs::remove_all(Dir); }
    void Write(const std::string& text) { std::ofstream(Path, std::ios::binary) << text; }
    std::string ReadBack() {
        std::ifstream in(Path, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    fs::path Dir;
    std::string Path;
};

TEST_F(OptionsFile, MissingFileLeavesTheRecordUntouched) {
    TOptionsRec rec;
    rec.Width = 1234;
    EXPECT_FALSE(ReadOptionsFrom(Path, rec));
    EXPECT_EQ(rec.Width, 1234);
}

TEST_F(OptionsFile, OnlySizeGivesWindowedSilentDefaults) {
    Write("Width 800\nHeight 600\n");
    TOptionsRec rec;
    ASSERT_TRUE(ReadOptionsFrom(Path, rec));
    EXPECT_TRUE(rec.Windowed);
    EXPECT_EQ(rec.Width, 800);
    EXPECT_EQ(rec.Height, 600);
    EXPECT_FALSE(rec.SoundEnabled);
    EXPECT_EQ(rec.RefreshRate, 0);
    EXPECT_EQ(rec.Format, 0);
    EXPECT_TRUE(rec.VSync);        // frames are paced to the display unless the file says otherwise
    EXPECT_EQ(rec.FrameLimit, -1); // at the display's refresh rate
}

TEST_F(OptionsFile, FrameLimitZeroLiftsTheCap) {
    Write("VSync 0\nFrameLimit 0\n");
    TOptionsRec rec;
    ASSERT_TRUE(ReadOptionsFrom(Path, rec));
    EXPECT_FALSE(rec.VSync);
    EXPECT_EQ(rec.FrameLimit, 0);
    Write("FrameLimit 75\n");
    ASSERT_TRUE(ReadOptionsFrom(Path, rec));
    EXPECT_EQ(rec.FrameLimit, 75);
    Write("FrameLimit -20\n");
    ASSERT_TRUE(ReadOptionsFrom(Path, rec));
    EXPECT_EQ(rec.FrameLimit, -1);
}

TEST_F(OptionsFile, WindowedNeedsExactlyOneWhileOtherFlagsNeedNonZero) {
    Write("Windowed 2\nVSync 2\nWaitGPU 0\nSoundEnabled x1\nAdvancedOpt yes\n");
    TOptionsRec rec;
    ASSERT_TRUE(ReadOptionsFrom(Path, rec));
    EXPECT_FALSE(rec.Windowed);
    EXPECT_TRUE(rec.VSync);
    EXPECT_FALSE(rec.WaitGPU);
    EXPECT_TRUE(rec.SoundEnabled); // "x1" is hexadecimal 1
    EXPECT_FALSE(rec.AdvancedOpt);
}

TEST_F(OptionsFile, KeysAreCaseSensitiveAndCommentsSkipped) {
    Write("width 640\n// Width 320\n; Height 200\nHeight 480\n   Width    1280   \n");
    TOptionsRec rec;
    ASSERT_TRUE(ReadOptionsFrom(Path, rec));
    EXPECT_EQ(rec.Width, 1280); // the lower-case and commented lines changed nothing
    EXPECT_EQ(rec.Height, 480);
}

TEST_F(OptionsFile, LastValueWinsAndValuesKeepInnerSpaces) {
    Write("Width 640\nWidth 720\nLink_OtherGames   http://example.org/a b  \r\nFormat R5G6B5\nRefreshRate "
          "75Hz\n");
    TOptionsRec rec;
    ASSERT_TRUE(ReadOptionsFrom(Path, rec));
    EXPECT_EQ(rec.Width, 720);
    EXPECT_EQ(rec.Link_OtherGames, "http://example.org/a b");
    EXPECT_EQ(rec.Format, D3DFMT_R5G6B5);
    EXPECT_EQ(rec.RefreshRate, 75);
}

TEST_F(OptionsFile, UnknownFormatNameGivesZero) {
    Write("Format X9R9G9B9\nCONST_AngleCoeff 0.25\n");
    TOptionsRec rec;
    ASSERT_TRUE(ReadOptionsFrom(Path, rec));
    EXPECT_EQ(rec.Format, 0);
    EXPECT_FLOAT_EQ(rec.CONST_AngleCoeff, 0.25f);
}

TEST_F(OptionsFile, SaveWritesFourteenPaddedLinesThatReadBack) {
    TOptionsRec rec;
    rec.Windowed = true;
    rec.Width = 1024;
    rec.Height = 768;
    rec.Format = D3DFMT_X8R8G8B8;
    rec.VSync = true;
    rec.Link_OtherGames = "http://x";
    rec.CONST_BlickX = 5;
    ASSERT_TRUE(SaveOptionsTo(Path, rec));
    const std::string text = ReadBack();
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string l; std::getline(in, l);)
        lines.push_back(l);
    ASSERT_EQ(lines.size(), 14u);
    EXPECT_EQ(lines[0], "Preset               0");
    EXPECT_EQ(lines[1], "Windowed             1");
    EXPECT_EQ(lines[4], "Format               X8R8G8B8");
    EXPECT_EQ(lines[13], "BlendMode            0");
    EXPECT_EQ(text.find("Link_"), std::string::npos);
    EXPECT_EQ(text.find("CONST_"), std::string::npos);
    TOptionsRec back;
    ASSERT_TRUE(ReadOptionsFrom(Path, back));
    EXPECT_TRUE(back.Windowed);
    EXPECT_EQ(back.Width, 1024);
    EXPECT_EQ(back.Format, D3DFMT_X8R8G8B8);
    EXPECT_TRUE(back.VSync);
}

TEST_F(OptionsFile, UnnamedFormatIsSavedAsUnknownAndReadsBackAsZero) {
    TOptionsRec rec;
    rec.Format = 12345;
    ASSERT_TRUE(SaveOptionsTo(Path, rec));
    EXPECT_NE(ReadBack().find("Format               UNKNOWN\n"), std::string::npos);
    TOptionsRec back;
    ASSERT_TRUE(ReadOptionsFrom(Path, back));
    EXPECT_EQ(back.Format, 0);
}

TEST(NumberReader, AcceptsDecimalSignAndThreeHexSpellings) {
    EXPECT_EQ(ParseInt("42"), 42);
    EXPECT_EQ(ParseInt("-17"), -17);
    EXPECT_EQ(ParseInt("+8"), 8);
    EXPECT_EQ(ParseInt("$1F"), 31);
    EXPECT_EQ(ParseInt("x10"), 16);
    EXPECT_EQ(ParseInt("0xff"), 255);
    EXPECT_EQ(ParseInt("12abc"), 12);
    EXPECT_EQ(ParseInt("abc"), 0);
    EXPECT_EQ(ParseInt(""), 0);
    EXPECT_FLOAT_EQ(ParseFloat("1.5"), 1.5f);
    EXPECT_FLOAT_EQ(ParseFloat("-0.25x"), -0.25f);
    EXPECT_TRUE(ParseBool("true"));
    EXPECT_TRUE(ParseBool("1"));
    EXPECT_FALSE(ParseBool("True"));
    EXPECT_FALSE(ParseBool("yes"));
}

class ErrorLogStart : public OptionsFile {
  protected:
    std::string LogPath() const { return (Dir / "Error.log").string(); }
    void TearDown() override {
        SetLogFile((fs::temp_directory_path() / "velmora_unused.log").string());
        OptionsFile::TearDown();
    }
};

TEST_F(ErrorLogStart, LogOfExactlyTheLimitIsKeptAndAppended) {
    std::ofstream(LogPath(), std::ios::binary) << std::string(204800, 'a');
    StartErrorLog(LogPath(), Path);
    EXPECT_GT(fs::file_size(LogPath()), 204800u);
}

TEST_F(ErrorLogStart, LogOneByteOverTheLimitStartsAfresh) {
    std::ofstream(LogPath(), std::ios::binary) << std::string(204801, 'a');
    StartErrorLog(LogPath(), Path);
    EXPECT_EQ(fs::file_size(LogPath()), 5u * 65u);
}

TEST_F(ErrorLogStart, BannerCarriesACopyOfTheOptions) {
    Write("Width 800\r\nHeight 600\r\n");
    StartErrorLog(LogPath(), Path);
    std::ifstream in(LogPath());
    std::vector<std::string> lines;
    for (std::string l; std::getline(in, l);)
        lines.push_back(l);
    ASSERT_EQ(lines.size(), 10u);
    EXPECT_EQ(lines[0], std::string(64, '*'));
    EXPECT_EQ(lines[5], "****-----------------------Options.txt----------------------****");
    EXPECT_EQ(lines[6], "Width 800");
    EXPECT_EQ(lines[8], "****--------------------------------------------------------****");
    EXPECT_EQ(lines[9], "");
}

TEST(ScreenGeometry, LayoutIsAlways800By600WhateverTheWindow) {
    Options.Width = 1280;
    Options.Height = 1024;
    InitScreenGeometry();
    EXPECT_EQ(ScreenWidth, 800);
    EXPECT_EQ(ScreenHeight, 600);
    EXPECT_FLOAT_EQ(ViewRight, 800.0f / 600.0f);
    EXPECT_FLOAT_EQ(PixelSize, 2.0f / 600.0f);
    EXPECT_FLOAT_EQ(PixelX[0], -ViewRight + PixelSize / 2);
    EXPECT_FLOAT_EQ(PixelY[599], -599 * PixelSize + 1.0f + PixelSize / 2);
}

} // namespace
