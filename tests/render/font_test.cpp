#include "render/itf.h"

#include "renderb_helpers.h"

#include <cstring>

namespace velmora {
namespace {

struct TGlyphSpec {
    int32_t X, Y, W, H, Shift, Transposed;
};

// A font file as the font tool writes it: set, line height, then one record per character.
std::vector<uint8_t> MakeItf(const std::string& chars, int32_t lineHeight,
                             const std::vector<TGlyphSpec>& glyphs) {
    std::vector<uint8_t> bytes(cItfHeaderSize + cItfGlyphSize * glyphs.size(), 0);
    bytes[0] = static_cast<uint8_t>(chars.size());
    std::memcpy(bytes.data() + 1, chars.data(), chars.size());
    auto put = [&bytes](size_t at, int32_t v) {
        for (int i = 0; i < 4; ++i)
            bytes[at + i] = static_cast<uint8_t>(static_cast<uint32_t>(v) >> (8 * i));
    };
    put(256, lineHeight);
    for (size_t k = 0; k < glyphs.size(); ++k) {
        const size_t at = cItfHeaderSize + cItfGlyphSize * k;
        const TGlyphSpec& g = glyphs[k];
        put(at, g.X);
        put(at + 4, g.Y);
        put(at + 8, g.W);
        put(at + 12, g.H);
        put(at + 16, g.Shift);
        put(at + 20, g.Transposed);
    }
    return bytes;
}

// "AB?" with widths 10, 6 and 8 pixels; B is stored turned in the atlas.
std::vector<uint8_t> TinyFont() {
    return MakeItf("AB?", 16, {{0, 0, 10, 14, 1, 0}, {32, 8, 6, 12, 3, 1}, {64, 0, 8, 14, 0, 0x100}});
}

class FontTest : public testing::TRenderBTest {
  protected:
    // A font object with the tiny font's glyphs and a 128 x 64 atlas, without a device.
    TIndexedTextureFont* MakeFont() {
        Font = std::make_unique<TIndexedTextureFont>(WriteFile("Tiny.itf", TinyFont()));
        TItfData data;
        const std::vector<uint8_t> bytes = TinyFont();
        EXPECT_TRUE(ParseItf(bytes.data(), bytes.size(), data, "Tiny.itf"));
        Font->SetGlyphs(data, 128, 64);
        return Font.get();
    }
    std::unique_ptr<TIndexedTextureFont> Font;
};

TEST_F(FontTest, ReadsTheHandMadeFont) {
    TItfData data;
    ASSERT_TRUE(ReadItfFile(WriteFile("Tiny.itf", TinyFont()), data));
    EXPECT_EQ(data.Chars, "AB?");
    EXPECT_EQ(data.LineHeight, 16);
    ASSERT_EQ(data.Glyphs.size(), 3u);
    EXPECT_EQ(data.Glyphs[1].X, 32);
    EXPECT_EQ(data.Glyphs[1].Y, 8);
    EXPECT_EQ(data.Glyphs[1].W, 6);
    EXPECT_EQ(data.Glyphs[1].H, 12);
    EXPECT_EQ(data.Glyphs[1].Shift, 3);
    EXPECT_TRUE(data.Glyphs[1].Transposed);
    EXPECT_FALSE(data.Glyphs[0].Transposed);
    EXPECT_FALSE(data.Glyphs[2].Transposed) << "only the low byte of the flag counts";
}

TEST_F(FontTest, ReadsOnlyTheFirstBlockOfALargeFile) {
    // A full set of 255 characters, then garbage past the read limit.
    std::string chars;
    std::vector<TGlyphSpec> glyphs;
    for (int c = 1; c <= 255; ++c) {
        chars += static_cast<char>(c);
        glyphs.push_back({c, 0, 5, 9, 0, 0});
    }
    std::vector<uint8_t> bytes = MakeItf(chars, 12, glyphs);
    EXPECT_EQ(bytes.size(), 272u + 24u * 255u);
    bytes.resize(100000, 0xFF);
    TItfData data;
    ASSERT_TRUE(ReadItfFile(WriteFile("Big.itf", bytes), data));
    ASSERT_EQ(data.Glyphs.size(), 255u);
    EXPECT_EQ(data.Glyphs[254].X, 255);
    EXPECT_EQ(data.Glyphs[254].W, 5);
}

TEST_F(FontTest, BrokenFilesAreLoggedAndHarmless) {
    TItfData data;
    EXPECT_FALSE(ReadItfFile((Dir / "Missing.itf").string(), data));
    EXPECT_EQ(LogCount("File not exists"), 1);
    EXPECT_TRUE(data.Chars.empty());

    std::vector<uint8_t> shortFile(100, 3);
    EXPECT_FALSE(ParseItf(shortFile.data(), shortFile.size(), data, "Short.itf"));
    EXPECT_EQ(LogCount("Font file too short"), 1);

    // Three characters announced, one record present; hostile sizes are clamped.
    std::vector<uint8_t> cut = MakeItf("xyz", -5, {{0, 0, -40, 100000, 2, 0}});
    ASSERT_TRUE(ParseItf(cut.data(), cut.size(), data, "Cut.itf"));
    EXPECT_EQ(LogCount("Glyph records missing"), 1);
    ASSERT_EQ(data.Glyphs.size(), 3u);
    EXPECT_EQ(data.LineHeight, 0);
    EXPECT_EQ(data.Glyphs[0].W, 0);
    EXPECT_EQ(data.Glyphs[0].H, 4096);
    EXPECT_EQ(data.Glyphs[2].W, 0);
}

TEST_F(FontTest, LetterRecordsScaleAndTurnUV) {
    const TLetterRec plain = MakeLetterRec({16, 8, 10, 14, 2, false}, 128, 64, PixelSize);
    EXPECT_FLOAT_EQ(plain.UV.Left, 16.0f / 128);
    EXPECT_FLOAT_EQ(plain.UV.Top, 8.0f / 64);
    EXPECT_FLOAT_EQ(plain.UV.Right, 26.0f / 128);
    EXPECT_FLOAT_EQ(plain.UV.Bottom, 22.0f / 64);
    EXPECT_FLOAT_EQ(plain.W, 10 * PixelSize);
    EXPECT_FLOAT_EQ(plain.Shift, 2 * PixelSize);

    const TLetterRec turned = MakeLetterRec({16, 8, 10, 14, 2, true}, 128, 64, PixelSize);
    EXPECT_FLOAT_EQ(turned.UV.Left, 8.0f / 64);
    EXPECT_FLOAT_EQ(turned.UV.Top, 16.0f / 128);
    EXPECT_FLOAT_EQ(turned.UV.Right, 22.0f / 64);
    EXPECT_FLOAT_EQ(turned.UV.Bottom, 26.0f / 128);
}

TEST_F(FontTest, TextExtents) {
    TIndexedTextureFont* font = MakeFont();
    float w = 0, h = 0;
    font->GetTextExtent("AB", w, h, 3 * PixelSize);
    EXPECT_NEAR(w, 19 * PixelSize, 1e-6f);
    EXPECT_NEAR(h, 16 * PixelSize, 1e-6f);
    font->GetTextExtent("B", w, h, 3 * PixelSize);
    EXPECT_NEAR(w, 6 * PixelSize, 1e-6f);
    font->GetTextExtent("", w, h, 3 * PixelSize);
    EXPECT_EQ(w, 0);
    EXPECT_NEAR(h, 16 * PixelSize, 1e-6f);
}

TEST_F(FontTest, MissingCharacterIsLoggedOncePerCharacter) {
    TIndexedTextureFont* font = MakeFont();
    EXPECT_NE(font->GetLetterRec('A'), nullptr);
    float w = 0, h = 0;
    font->GetTextExtent("AzzA", w, h, 0);
    font->GetTextExtent("zq", w, h, 0);
    EXPECT_NEAR(w, 0, 1e-6f) << "a missing character takes no room";
    EXPECT_EQ(LogCount("Invalid char in TIndexedTextureFont.GetLetterRec:\"z\""), 1);
    EXPECT_EQ(LogCount("Invalid char in TIndexedTextureFont.GetLetterRec:\"q\""), 1);
}

TEST_F(FontTest, FirstPositionOfARepeatedCharacterWins) {
    const std::vector<uint8_t> bytes =
        MakeItf("aba", 10, {{0, 0, 4, 4, 0, 0}, {0, 0, 5, 5, 0, 0}, {0, 0, 9, 9, 0, 0}});
    TIndexedTextureFont font(WriteFile("Rep.itf", bytes));
    EXPECT_EQ(font.Chars, "aba");
    ASSERT_NE(font.GetLetterRec('a'), nullptr);
    EXPECT_FLOAT_EQ(font.GetLetterRec('a')->W, 4 * PixelSize);
}

TEST_F(FontTest, InvalidatedFontHasNoCharacters) {
    TIndexedTextureFont* font = MakeFont();
    font->InvalidateDeviceObjects();
    EXPECT_TRUE(font->Chars.empty());
    EXPECT_EQ(font->GetLetterRec('A'), nullptr);
    EXPECT_EQ(font->Texture, nullptr);
}

TEST_F(FontTest, AtlasNameChangesTheExtension) {
    EXPECT_EQ(AtlasFileName("\\Fonts\\GameFont.itf"), "\\Fonts\\GameFont.tga");
    EXPECT_EQ(AtlasFileName("\\Fonts.v2\\GameFont"), "\\Fonts.v2\\GameFont.tga");
}

} // namespace
} // namespace velmora
