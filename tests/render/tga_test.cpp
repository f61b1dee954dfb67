#include <cstdio>
#include <cstring>

#include <jpeglib.h>

#include "render_fixture.h"

namespace velmora::testing {
namespace {

class TgaTools : public TRenderATest {
  protected:
    // A baseline JPEG through libjpeg; colour(x, y) gives 0xRRGGBB.
    template <class F> std::string WriteJpeg(const std::string& name, int w, int h, F colour) {
        const std::string path = PathOf(name);
        std::FILE* f = std::fopen(path.c_str(), "wb");
        jpeg_compress_struct info;
        jpeg_error_mgr err;
        info.err = jpeg_std_error(&err);
        jpeg_create_compress(&info);
        jpeg_stdio_dest(&info, f);
        info.image_width = w;
        info.image_height = h;
        info.input_components = 3;
        info.in_color_space = JCS_RGB;
        jpeg_set_defaults(&info);
        jpeg_set_quality(&info, 100, TRUE);
        jpeg_start_compress(&info, TRUE);
        std::vector<uint8_t> row(static_cast<size_t>(w) * 3);
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                const uint32_t c = colour(x, y);
                row[x * 3] = uint8_t(c >> 16), row[x * 3 + 1] = uint8_t(c >> 8), row[x * 3 + 2] = uint8_t(c);
            }
            JSAMPROW p = row.data();
            jpeg_write_scanlines(&info, &p, 1);
        }
        jpeg_finish_compress(&info);
        jpeg_destroy_compress(&info);
        std::fclose(f);
        return path;
    }

    static TTgaImage Image(int w, int h, uint32_t fill) {
        TTgaImage im;
        EXPECT_TRUE(NewTgaImage(im, w, h));
        FillTgaImage(im, fill);
        return im;
    }
};

TEST_F(TgaTools, SavedImageReadsBackWithHeaderRowsAndFooter) {
    TTgaImage im = Image(3, 2, 0);
    for (int i = 0; i < 6; ++i)
        im.Data[i] = 0x11223300u + i;
    const std::string path = PathOf("round.tga");
    ASSERT_TRUE(SaveTgaImage(path, im, 1));

    const std::vector<uint8_t> bytes = ReadBytes(path);
    ASSERT_EQ(bytes.size(), 18u + 6 * 4 + 26);
    EXPECT_EQ(bytes[2], 2);
    EXPECT_EQ(bytes[16], 32);
    // Flip 1 writes the last memory row first; bytes are B, G, R, A.
    EXPECT_EQ(bytes[18], 0x03);
    EXPECT_EQ(bytes[21], 0x11);
    const std::string footer(bytes.end() - 26, bytes.end());
    EXPECT_EQ(footer.substr(0, 8), std::string(8, '\0'));
    EXPECT_EQ(footer.substr(8, 17), "TRUEVISION-XFILE.");
    EXPECT_EQ(footer[25], '\0');

    TTgaHeader header;
    ASSERT_TRUE(ReadTgaHeader(path, header));
    EXPECT_EQ(header.Width(), 3);
    EXPECT_EQ(header.Height(), 2);

    TTgaImage same, flipped;
    ASSERT_TRUE(LoadTgaImage(path, same, 1));
    EXPECT_EQ(same.Data, im.Data);
    ASSERT_TRUE(LoadTgaImage(path, flipped, 0));
    EXPECT_EQ(flipped.Data[0], im.Data[3]);
    FreeTgaImage(same);
    EXPECT_TRUE(same.Data.empty());
}

TEST_F(TgaTools, UnsafeFilesAreRefusedWithTheirName) {
    struct TCase {
        const char* Name;
        std::vector<uint8_t> Bytes;
    };
    std::vector<uint8_t> mismatched = TgaBytes(4, 4, Pattern(4, 4));
    mismatched.resize(18 + 4 * 4 * 4 - 1);
    std::vector<uint8_t> absurd = TgaBytes(1, 1, {0});
    absurd[12] = absurd[13] = absurd[14] = absurd[15] = 0xFF; // 65535 x 65535 in a 22-byte file
    const TCase cases[] = {
        {"short.tga", std::vector<uint8_t>(10, 0)},
        {"mismatched.tga", mismatched},
        {"zero.tga", TgaBytes(0, 5, {})},
        {"absurd.tga", absurd},
        {"depth24.tga", TgaBytes(2, 2, Pattern(2, 2), 24)},
    };
    for (const TCase& c : cases) {
        const std::string path = WriteFile(c.Name, c.Bytes);
        TTgaImage im;
        EXPECT_FALSE(LoadTgaImage(path, im, 0)) << c.Name;
        EXPECT_TRUE(im.Data.empty()) << c.Name;
        EXPECT_TRUE(Logged(std::string("\"") + path + "\"")) << c.Name;
    }
    TTgaImage missing;
    EXPECT_FALSE(LoadTgaImage(PathOf("none.tga"), missing, 0));
    TTgaHeader header;
    EXPECT_FALSE(ReadTgaHeader(PathOf("short.tga"), header));
}

TEST_F(TgaTools, NewImageRejectsSizesBeyondSixteenBits) {
    TTgaImage im;
    EXPECT_FALSE(NewTgaImage(im, 70000, 1));
    EXPECT_FALSE(NewTgaImage(im, 0, 1));
    ASSERT_TRUE(NewTgaImage(im, 2, 3));
    EXPECT_EQ(im.Data.size(), 6u);
    EXPECT_EQ(im.Header.ImageType(), 2);
    EXPECT_EQ(im.Header.Bits(), 32);
}

TEST_F(TgaTools, CompositingFollowsTheAlphaRulesAndTiesGoToEven) {
    // Opaque source replaces, transparent source keeps.
    EXPECT_EQ(ComposePixel(0xFF102030u, 0x80405060u), 0xFF102030u);
    EXPECT_EQ(ComposePixel(0x00102030u, 0x80405060u), 0x80405060u);
    // Half-transparent over nothing keeps the source as it is.
    EXPECT_EQ(ComposePixel(0x80FF0000u, 0x00000000u), 0x80FF0000u);
    // Over an opaque destination the weights are as and 1 - as.
    EXPECT_EQ(ComposePixel(0x80FF0000u, 0xFF0000FFu), 0xFF80007Fu);
    // Exact halves: 127.5 -> 128, 128.5 -> 128, 43.5 -> 44, 212.5 -> 212.
    EXPECT_EQ((ComposePixel(0x02010000u, 0x02FF0000u) >> 16) & 0xFF, 128u);
    EXPECT_EQ((ComposePixel(0x02FF0000u, 0x02010000u) >> 16) & 0xFF, 128u);
    EXPECT_EQ((ComposePixel(0x14FF0000u, 0x6C010000u) >> 16) & 0xFF, 44u);
    EXPECT_EQ((ComposePixel(0x14010000u, 0x6CFF0000u) >> 16) & 0xFF, 212u);
    EXPECT_EQ(ComposePixel(0x02010000u, 0x02FF0000u) >> 24, 4u); // 3.98 rounds to 4
}

TEST_F(TgaTools, ComposeRectIsClippedToBothImages) {
    TTgaImage src = Image(4, 4, 0xFF00FF00u);
    src.At(1, 1) = 0xFFFF0000u;
    TTgaImage dst = Image(3, 3, 0xFF000000u);
    ComposeTgaRect(src, dst, -1, 1, 0, 0, 3, 3); // src (1,1) lands on dst (0,2); parts fall outside
    EXPECT_EQ(dst.At(0, 2), 0xFFFF0000u);
    EXPECT_EQ(dst.At(1, 1), 0xFF00FF00u);
    EXPECT_EQ(dst.At(0, 0), 0xFF000000u);
    EXPECT_EQ(dst.At(1, 2), 0xFF00FF00u);
    EXPECT_EQ(dst.At(2, 2), 0xFF000000u); // source column 3 lies outside the rectangle
    ComposeTga(src, dst, 10, 10); // wholly outside: nothing changes and nothing is written out of range
    EXPECT_EQ(dst.At(2, 0), 0xFF000000u);
}

TEST_F(TgaTools, ColorBoundsAndExtractColorCutTheKeyedRegion) {
    TTgaImage mask = Image(6, 5, 0);
    mask.At(2, 1) = 0xFF123456u;
    mask.At(4, 3) = 0x40123456u;
    mask.At(5, 4) = 0x00123456u; // transparent pixels never count
    mask.At(0, 0) = 0xFF654321u;
    TImageRect rect;
    ASSERT_TRUE(ColorBounds(mask, 0x123456, rect));
    EXPECT_EQ(rect.Left, 2);
    EXPECT_EQ(rect.Top, 1);
    EXPECT_EQ(rect.Right, 4);
    EXPECT_EQ(rect.Bottom, 3);

    TImageRect none;
    EXPECT_FALSE(ColorBounds(mask, 0xABCDEF, none));
    EXPECT_EQ(none.Left, 2147483647);
    EXPECT_EQ(none.Right, -2147483647 - 1);
    // The empty bounds are refused rather than cut.
    EXPECT_FALSE(ExtractColor(mask, mask, none, PathOf("x.tga"), 0xABCDEF));

    TTgaImage colour = Image(6, 5, 0xFFAABBCCu);
    const std::string out = PathOf("Art/Slices/1.tga");
    ASSERT_TRUE(ExtractColor(colour, mask, rect, out, 0x123456));
    TTgaImage cut;
    ASSERT_TRUE(LoadTgaImage(out, cut, 1));
    ASSERT_EQ(cut.Width(), 3);
    ASSERT_EQ(cut.Height(), 3);
    EXPECT_EQ(cut.At(0, 0), 0xFFAABBCCu);
    EXPECT_EQ(cut.At(2, 2), 0x40AABBCCu); // the mask's alpha with the colour image's RGB
    EXPECT_EQ(cut.At(1, 1), 0u);
}

TEST_F(TgaTools, GlowRingsTheShapeAndRefusesLargeShapes) {
    TTgaImage brush = Image(3, 3, 0xFFFFFFFFu); // r = 1; stamped at (x - 5, y - 5)
    TTgaImage shape = Image(12, 12, 0);
    for (int y = 4; y < 8; ++y)
        for (int x = 4; x < 8; ++x)
            shape.At(x, y) = 0xFF000000u;
    TTgaImage glow;
    ASSERT_TRUE(MakeGlowWithBrush(shape, brush, glow));
    EXPECT_EQ(glow.Width(), 14);
    EXPECT_EQ(glow.Height(), 14);
    // The square sits at 5..8 in the padded image; boundary pixels stamp 3 x 3 at (x-5, y-5).
    EXPECT_EQ(glow.At(0, 0), 0xFFFFFFFFu);
    EXPECT_EQ(glow.At(5, 5), 0xFFFFFFFFu);
    EXPECT_EQ(glow.At(6, 6), 0u);
    EXPECT_EQ(glow.At(13, 13), 0u);

    TTgaImage big = Image(250, 10, 0xFF000000u);
    EXPECT_FALSE(MakeGlowWithBrush(big, Image(8, 8, 0xFFFFFFFFu), glow));
    EXPECT_TRUE(Logged("uTex.MakeGlow"));
    ASSERT_TRUE(SaveTgaImage(PathOf("brush.tga"), brush, 1));
    EXPECT_TRUE(MakeGlow(shape, PathOf("brush.tga"), glow));
}

TEST_F(TgaTools, OpaqueJpegBuildsAnOpaqueTexture) {
    WriteJpeg("x.jpg", 16, 8, [](int x, int) { return x < 8 ? 0xFF0000u : 0x0000FFu; });
    ASSERT_TRUE(BuildTgaFromJpg(PathOf("x")));
    TTgaImage im;
    ASSERT_TRUE(LoadTgaImage(PathOf("x.tga"), im, 1));
    ASSERT_EQ(im.Width(), 16);
    for (uint32_t p : im.Data)
        EXPECT_EQ(p >> 24, 255u);
    EXPECT_GT((im.At(1, 1) >> 16) & 0xFF, 200u); // red on the left, top row first after the flip
    EXPECT_GT(im.At(14, 6) & 0xFF, 200u);
    EXPECT_FALSE(std::filesystem::exists(Dir / "x_Alpha.tga"));
}

TEST_F(TgaTools, AlphaJpegBecomesTheAlphaChannel) {
    WriteJpeg("y.jpg", 16, 16, [](int, int) { return 0x20A040u; });
    WriteJpeg("y_Alpha.jpg", 16, 16, [](int x, int) { return x < 8 ? 0x000000u : 0xFFFFFFu; });
    ASSERT_TRUE(BuildTgaFromJpg(PathOf("y.jpg")));
    TTgaImage im, alpha;
    ASSERT_TRUE(LoadTgaImage(PathOf("y.tga"), im, 0));
    ASSERT_TRUE(LoadTgaImage(PathOf("y_Alpha.tga"), alpha, 0));
    for (size_t i = 0; i < im.Data.size(); ++i)
        ASSERT_EQ(im.Data[i] >> 24, (alpha.Data[i] >> 16) & 0xFF);
    EXPECT_LT(im.At(0, 0) >> 24, 20u);
    EXPECT_GT(im.At(15, 0) >> 24, 235u);
    // An existing texture is left alone.
    const auto before = std::filesystem::last_write_time(Dir / "y.tga");
    EXPECT_TRUE(BuildTgaFromJpg(PathOf("y")));
    EXPECT_EQ(std::filesystem::last_write_time(Dir / "y.tga"), before);
}

TEST_F(TgaTools, BrokenJpegIsReportedNotFatal) {
    WriteText("bad.jpg", "not a jpeg at all");
    EXPECT_FALSE(JpgToTga(PathOf("bad.jpg"), PathOf("bad.tga")));
    EXPECT_TRUE(Logged("uTex.JpgToTga"));
    EXPECT_FALSE(std::filesystem::exists(Dir / "bad.tga"));
}

// A hostile JPEG of a few kilobytes may claim a picture of hundreds of megabytes.
TEST_F(TgaTools, JpegWiderThanAnyTextureIsRefusedBeforeDecoding) {
    WriteJpeg("wide.jpg", cMaxJpegSide + 8, 8, [](int, int) { return 0x808080u; });
    EXPECT_FALSE(JpgToTga(PathOf("wide.jpg"), PathOf("wide.tga")));
    EXPECT_TRUE(Logged("unsupported picture size"));
    EXPECT_FALSE(std::filesystem::exists(Dir / "wide.tga"));
    WriteJpeg("fits.jpg", cMaxJpegSide, 8, [](int, int) { return 0x808080u; });
    EXPECT_TRUE(JpgToTga(PathOf("fits.jpg"), PathOf("fits.tga")));
}

TEST_F(TgaTools, BmpRowsBecomeAnOpaqueTga) {
    // 2 x 2, 24-bit, bottom-up, rows padded to 8 bytes: bottom row blue, green; top row red, white.
    std::vector<uint8_t> b = {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0,  40,
                              0,   0,   0, 2, 0, 0, 0, 2, 0, 0, 0,  1, 0, 24, 0};
    b.resize(54, 0);
    const uint8_t rows[] = {255, 0, 0, 0, 255, 0, 0, 0, 0, 0, 255, 255, 255, 255, 0, 0};
    b.insert(b.end(), rows, rows + 16);
    ASSERT_TRUE(BmpToTga(WriteFile("p.bmp", b), PathOf("p.tga")));
    TTgaImage im;
    ASSERT_TRUE(LoadTgaImage(PathOf("p.tga"), im, 1));
    EXPECT_EQ(im.At(0, 0), 0xFFFF0000u);
    EXPECT_EQ(im.At(1, 0), 0xFFFFFFFFu);
    EXPECT_EQ(im.At(0, 1), 0xFF0000FFu);
    EXPECT_EQ(im.At(1, 1), 0xFF00FF00u);
    b.resize(60); // truncated pixel rows
    EXPECT_FALSE(BmpToTga(WriteFile("q.bmp", b), PathOf("q.tga")));
}

TEST_F(TgaTools, MergeAlphaRefusesPicturesOfDifferentSize) {
    ASSERT_TRUE(SaveTgaImage(PathOf("c.tga"), Image(4, 4, 0xFF112233u), 0));
    ASSERT_TRUE(SaveTgaImage(PathOf("a.tga"), Image(2, 4, 0xFF808080u), 0));
    EXPECT_FALSE(MergeAlpha(PathOf("c.tga"), PathOf("a.tga"), PathOf("o.tga")));
    ASSERT_TRUE(SaveTgaImage(PathOf("a.tga"), Image(4, 4, 0xFF7F0000u), 0));
    ASSERT_TRUE(MergeAlpha(PathOf("c.tga"), PathOf("a.tga"), PathOf("o.tga")));
    TTgaImage o;
    ASSERT_TRUE(LoadTgaImage(PathOf("o.tga"), o, 0));
    EXPECT_EQ(o.At(3, 3), 0x7F112233u);
}

} // namespace
} // namespace velmora::testing
