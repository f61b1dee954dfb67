#include "render/itf.h"

#include "app/input.h"
#include "app/language.h"
#include "app/options.h"
#include "render/texlabels.h"
#include "render_fixture.h"

#include <cmath>
#include <cstring>
#include <memory>

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

// ---- Labels ---------------------------------------------------------------------------------------

namespace velmora {
namespace {

class LabelTest : public testing::TRenderBDeviceTest {
  protected:
    void SetUp() override {
        TRenderBDeviceTest::SetUp();
        WriteTga("Tiny.tga", 128, 64);
        Font = std::make_unique<TIndexedTextureFont>(WriteFile("Tiny.itf", TinyFont()));
        // One 101-pixel glyph on a 21-pixel line: both sizes are odd.
        WriteTga("Wide.tga", 128, 32);
        Wide = std::make_unique<TIndexedTextureFont>(
            WriteFile("Wide.itf", MakeItf("Wi", 21, {{0, 0, 101, 20, 0, 0}, {0, 0, 40, 20, 0, 0}})));
    }
    void TearDown() override {
        Mouse = nullptr;
        Font.reset();
        Wide.reset();
        TRenderBDeviceTest::TearDown();
    }
    static TTexLabelExParams Params(TIndexedTextureFont* font, const std::string& text, uint8_t h = 0,
                                    uint8_t v = 0) {
        TTexLabelExParams p;
        p.Font = font;
        p.Text = text;
        p.HAlign = h;
        p.VAlign = v;
        return p;
    }

    std::unique_ptr<TIndexedTextureFont> Font, Wide;
};

TEST_F(LabelTest, FontLoadsItsAtlasAndSurvivesADeviceReset) {
    ASSERT_NE(Font->Texture, nullptr);
    EXPECT_EQ(Font->AtlasWidth, 128);
    EXPECT_EQ(Font->AtlasHeight, 64);
    const TLetterRec* b = Font->GetLetterRec('B');
    ASSERT_NE(b, nullptr);
    EXPECT_FLOAT_EQ(b->UV.Left, 8.0f / 64) << "B is stored transposed";
    EXPECT_FLOAT_EQ(b->UV.Top, 32.0f / 128);
    const int live = Rec->LiveTextures();
    Font->InvalidateDeviceObjects();
    EXPECT_EQ(Rec->LiveTextures(), live - 1);
    EXPECT_EQ(Font->RestoreDeviceObjects(), 0);
    EXPECT_EQ(Rec->LiveTextures(), live);
    EXPECT_EQ(Font->Chars, "AB?");
}

TEST_F(LabelTest, MissingAtlasIsLoggedAndTheFontStillMeasures) {
    TIndexedTextureFont font(WriteFile("NoAtlas.itf", TinyFont()));
    EXPECT_EQ(font.Texture, nullptr);
    EXPECT_EQ(LogCount("Atlas not loaded"), 1);
    float w = 0, h = 0;
    font.GetTextExtent("A", w, h, 0);
    EXPECT_NEAR(w, 10 * PixelSize, 1e-6f);
}

TEST_F(LabelTest, SingleLineIsCentredOnItsPlacement) {
    TTexLabel label(Font.get(), 2, "AB");
    EXPECT_EQ(label.VertexCount, 12);
    EXPECT_EQ(label.Block, 19);
    EXPECT_EQ(label.Color, 0xFFFFFFFFu);
    EXPECT_NEAR(label.Width, 18 * PixelSize, 1e-6f);
    EXPECT_NEAR(label.Height, 16 * PixelSize, 1e-6f);
    const TVertexDiffuseTex* v = label.VerticesAs<TVertexDiffuseTex>();
    EXPECT_NEAR(v[0].X, -9 * PixelSize, 1e-6f);
    EXPECT_NEAR(v[0].Y, 7 * PixelSize, 1e-6f) << "line top minus A's shift of 1";
    EXPECT_NEAR(v[2].Y, -7 * PixelSize, 1e-6f) << "14 pixels high";
    EXPECT_NEAR(v[6].X, 3 * PixelSize, 1e-6f) << "B starts after A's 10 pixels and 2 of spacing";
    EXPECT_NEAR(v[11].X, 9 * PixelSize, 1e-6f);
    EXPECT_EQ(v[5].Color, 0xFFFFFFFFu);
}

TEST_F(LabelTest, SetTextAndSetColorUploadOnlyOnChange) {
    TTexLabel label(Font.get(), 0, "");
    EXPECT_EQ(label.Text, "?");
    Rec->ClearCalls();
    label.SetText("?");
    label.SetColor(0xFFFFFFFF);
    EXPECT_EQ(Rec->CountOf("Lock"), 0);
    label.SetText("BA");
    EXPECT_EQ(label.VertexCount, 12);
    EXPECT_TRUE(label.Visible);
    EXPECT_GE(Rec->CountOf("Lock"), 1);
    label.SetColor(0x80FF0000);
    for (int i = 0; i < 12; ++i)
        EXPECT_EQ(label.VerticesAs<TVertexDiffuseTex>()[i].Color, 0x80FF0000u);
    label.SetText("");
    EXPECT_FALSE(label.Visible);
    EXPECT_EQ(label.VertexCount, 6);
}

TEST_F(LabelTest, MissingCharacterDrawsNothingAndIsLoggedOnce) {
    TTexLabel label(Font.get(), 0, "AzA");
    const TVertexDiffuseTex* v = label.VerticesAs<TVertexDiffuseTex>();
    for (int i = 6; i < 12; ++i) {
        EXPECT_EQ(v[i].Color, 0u);
        EXPECT_EQ(v[i].X, 0);
    }
    EXPECT_NEAR(v[12].X - v[0].X, 10 * PixelSize, 1e-6f) << "the gap takes no room";
    label.SetText("zz");
    EXPECT_EQ(LogCount("GetLetterRec:\"z\""), 1);
}

TEST_F(LabelTest, PixelPlacement) {
    TTexLabel label(Wide.get(), 0, "W");
    label.SetPixelPos(10, 20);
    EXPECT_NEAR(label.GetLeft(), 9.5f * PixelSize - ViewHalfWidth, 1e-6f);
    EXPECT_NEAR(label.GetTop(), ViewHalfHeight - 19.5f * PixelSize, 1e-6f);
    label.SetWorldPosSnapped(ViewLeft + 10.4f * PixelSize, ViewTop - 3.6f * PixelSize);
    EXPECT_NEAR(label.GetLeft(), ViewLeft + 10 * PixelSize, 1e-5f);
    EXPECT_NEAR(label.GetTop(), ViewTop - 4 * PixelSize, 1e-5f);
}

TEST_F(LabelTest, LinesAreCutAtLineFeeds) {
    TTexLabelEx two(Params(Font.get(), "A\nB"));
    EXPECT_EQ(two.LineCount, 2);
    TTexLabelEx three(Params(Font.get(), "A\n\nB"));
    ASSERT_EQ(three.LineCount, 3);
    EXPECT_EQ(three.Lines[1], "");
    EXPECT_EQ(three.VertexCount, 6 * 4);
    TTexLabelEx empty(Params(Font.get(), ""));
    EXPECT_EQ(empty.Text, "?");
    EXPECT_EQ(empty.ExBlock1, 19);
    EXPECT_TRUE(empty.Snap);
}

TEST_F(LabelTest, SnappedBlockHasAnEvenPixelSize) {
    TTexLabelEx label(Params(Wide.get(), "W"));
    EXPECT_EQ(label.BoxWidth, 102);
    EXPECT_EQ(label.BoxHeight, 22);
    // Centred: the corner lies on a pixel corner plus half a pixel.
    const float leftPixels = (label.LineLefts[0] - HalfPixel) / PixelSize;
    EXPECT_NEAR(leftPixels, std::round(leftPixels), 1e-3f);
    EXPECT_NEAR(label.LineTops[0], 11 * PixelSize + HalfPixel, 1e-6f);
}

TEST_F(LabelTest, AlignmentPlacesTheBlockAroundThePoint) {
    TTexLabelEx left(Params(Wide.get(), "W\ni", 1, 2));
    EXPECT_NEAR(left.LineLefts[0], HalfPixel, 1e-6f);
    EXPECT_NEAR(left.LineLefts[1], HalfPixel, 1e-6f);
    EXPECT_NEAR(left.LineTops[0], HalfPixel, 1e-6f) << "block below the point";
    EXPECT_NEAR(left.LineTops[1], -21 * PixelSize + HalfPixel, 1e-6f);

    TTexLabelEx right(Params(Wide.get(), "W\ni", 2, 1));
    EXPECT_NEAR(right.LineLefts[0], -101 * PixelSize + HalfPixel, 1e-6f);
    EXPECT_NEAR(right.LineLefts[1], -40 * PixelSize + HalfPixel, 1e-6f);
    EXPECT_NEAR(right.LineTops[0], 42 * PixelSize + HalfPixel, 1e-6f) << "block above: 2 x 21 pixels";
    EXPECT_NEAR(right.VerticesAs<TVertexDiffuseTex>()[0].X, right.LineLefts[0], 1e-6f);

    TTexLabelEx centred(Params(Wide.get(), "W\ni", 0, 0));
    EXPECT_NEAR(centred.LineLefts[1], -20 * PixelSize + HalfPixel, 1e-6f);
    // The second line's vertices start after the first line's six and the line feed's six.
    EXPECT_NEAR(centred.VerticesAs<TVertexDiffuseTex>()[12].X, centred.LineLefts[1], 1e-6f);
}

TEST_F(LabelTest, MouseOverFollowsTheAlignedBox) {
    TMyMouse mouse;
    Mouse = &mouse;
    TTexLabelEx label(Params(Wide.get(), "W"));
    label.X = ViewLeft + 400.25f * PixelSize;
    label.Y = ViewTop - 300.25f * PixelSize;
    // 102 x 22 pixels centred on (400, 300).
    mouse.SetPosition(349, 289);
    EXPECT_TRUE(label.MouseOver());
    mouse.SetPosition(450, 310);
    EXPECT_TRUE(label.MouseOver());
    mouse.SetPosition(451, 300);
    EXPECT_FALSE(label.MouseOver());
    mouse.SetPosition(348, 300);
    EXPECT_FALSE(label.MouseOver());
    label.HAlign = 1;
    label.VAlign = 2;
    mouse.SetPosition(400, 300);
    EXPECT_TRUE(label.MouseOver());
    mouse.SetPosition(399, 300);
    EXPECT_FALSE(label.MouseOver());
}

TEST_F(LabelTest, DrawsWithTheFontTextureInOneCall) {
    TTexLabelEx label(Params(Font.get(), "AB\nA"));
    Rec->ClearCalls();
    label.Render();
    const auto draws = Rec->CallsNamed("DrawPrimitive");
    ASSERT_EQ(draws.size(), 1u);
    EXPECT_EQ(draws[0].Args[0], D3DPT_TRIANGLELIST);
    EXPECT_EQ(draws[0].Args[2], 8) << "four characters including the line feed, two triangles each";
    const auto textures = Rec->CallsNamed("SetTexture");
    ASSERT_EQ(textures.size(), 1u);
    EXPECT_EQ(textures[0].Args[1], reinterpret_cast<std::int64_t>(Font->Texture));
}

// The shared fonts come from the running language's folder when it has them: a Russian run loads
// the Windows-1251 set, an English or German one (and any font the folder lacks) the shared set.
TEST_F(LabelTest, SharedFontsAreThoseOfTheRunningLanguagesCodePage) {
    const std::string latin = "AB?", cyrillic = "\xC0\xC1?";
    for (const TSharedFontEntry& e : SharedFonts) {
        const std::string name = std::string(e.FileName).substr(1, std::strlen(e.FileName) - 5);
        WriteFile("Fonts/" + name + ".itf",
                  MakeItf(latin, 16, {{0, 0, 10, 14, 1, 0}, {16, 0, 6, 12, 3, 0}, {32, 0, 8, 14, 0, 0}}));
        WriteTga("Fonts/" + name + ".tga", 64, 16);
    }
    WriteFile("Lang/Rus/Fonts/MenuTitle.itf",
              MakeItf(cyrillic, 18, {{0, 0, 9, 14, 1, 0}, {16, 0, 7, 12, 3, 0}, {32, 0, 8, 14, 0, 0}}));
    WriteTga("Lang/Rus/Fonts/MenuTitle.tga", 64, 16);
    const TOptionsRec savedOptions = Options;
    for (const char* code : {"Rus", "Ger"}) {
        Options.Language = code; // the saved choice: the desktop of the test machine does not count
        TLang lang;
        TMaster owner;
        CreateSharedFonts(owner);
        ASSERT_NE(MenuTitle, nullptr);
        ASSERT_NE(WhiteCourier11, nullptr);
        const bool russian = std::string(code) == "Rus";
        EXPECT_EQ(MenuTitle->Chars, russian ? cyrillic : latin) << code;
        EXPECT_EQ(MenuTitle->FileName.find("Lang\\Rus") != std::string::npos, russian) << MenuTitle->FileName;
        EXPECT_EQ(MenuTitle->GetLetterRec('\xC0') != nullptr, russian) << code;
        EXPECT_NE(MenuTitle->Texture, nullptr) << code;
        EXPECT_EQ(WhiteCourier11->Chars, latin) << code; // not in the language's folder: the shared one
    }
    Options = savedOptions;
}

} // namespace
} // namespace velmora
