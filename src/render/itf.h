// Bitmap fonts: the binary ".itf" glyph table and the font object that pairs it with its TGA atlas.
#pragma once

#include <array>
#include <bitset>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/basic.h"
#include "platform/d3d8.h"
#include "render/tex.h"

namespace velmora {

// The whole file is read as one block of at most this many bytes (272 + 24 * 256).
constexpr size_t cItfReadLimit = 6416;
constexpr size_t cItfHeaderSize = 272;
constexpr size_t cItfGlyphSize = 24;

// One glyph record as stored in the file, in atlas pixels.
struct TItfGlyph {
    int32_t X = 0, Y = 0, W = 0, H = 0;
    int32_t Shift = 0;       // from the top of the line to the top of the glyph
    bool Transposed = false; // stored turned in the atlas (only the low byte of the field counts)
};

struct TItfData {
    std::string Chars;             // the character set, in glyph order
    int32_t LineHeight = 0;        // pixels
    std::vector<TItfGlyph> Glyphs; // one per character of Chars
};

// Decodes a font block. Short blocks, negative sizes and glyphs missing from the end are logged
// (with the file name) and made harmless; false only when not even the header is there.
bool ParseItf(const uint8_t* data, size_t size, TItfData& out, const std::string& fileName);
// Reads the first cItfReadLimit bytes of a font file and decodes them.
bool ReadItfFile(const std::string& gamePath, TItfData& out);

// One glyph in world units (pixel values times PixelSize) with its atlas rectangle.
struct TLetterRec {
    TUVRect UV;
    float X = 0, Y = 0, W = 0, H = 0, Shift = 0;
};

// Letter record of a file glyph in an atlas of the given image size; transposed glyphs have the
// u and v of each corner exchanged.
TLetterRec MakeLetterRec(const TItfGlyph& glyph, int32_t atlasWidth, int32_t atlasHeight, float pixelSize);

class TIndexedTextureFont : public TBasic {
  public:
    explicit TIndexedTextureFont(const std::string& fileName); // loads at once
    ~TIndexedTextureFont() override;

    HRESULT_t RestoreDeviceObjects() override; // reads the file and the atlas
    void InvalidateDeviceObjects() override;   // unusable until the next restore
    const char* ClassName() const override { return "TIndexedTextureFont"; }

    // 11: Height is one line; Width the glyph widths plus Spacing between neighbours (world units).
    virtual void GetTextExtent(const std::string& text, float& width, float& height, float spacing) const;

    // Nil for a character the font lacks; that is logged once per character.
    const TLetterRec* GetLetterRec(char c) const;
    // Fills Chars, LineHeight, the atlas size and Letters from decoded file data.
    void SetGlyphs(const TItfData& data, int32_t atlasWidth, int32_t atlasHeight);

    std::array<TLetterRec, 256> Letters{}; // Letters[k - 1] is the k-th character of Chars
    std::string FileName;
    std::string Chars;
    IDirect3DTexture8* Texture = nullptr; // one reference held
    int32_t LineHeight = 0;
    int32_t AtlasWidth = 0, AtlasHeight = 0;

  private:
    void ReleaseTexture();
    bool LoadAtlas(const std::string& tgaName);

    std::array<int16_t, 256> Index{}; // 1-based position of each character in Chars; 0 = none
    mutable std::bitset<256> Reported;
};

// The 18 shared fonts, loaded by the scene group in this order; each global is cleared when its
// font is freed.
extern TIndexedTextureFont* WhiteCourier11;
extern TIndexedTextureFont* BlackCourier11;
extern TIndexedTextureFont* MenuTitle;
extern TIndexedTextureFont* MenuStdButtons;
extern TIndexedTextureFont* MenuStdActButtons;
extern TIndexedTextureFont* MenuBigButtons;
extern TIndexedTextureFont* MenuBigActButtons;
extern TIndexedTextureFont* PlayerFont_Yellow;
extern TIndexedTextureFont* PlayerFont_Gray;
extern TIndexedTextureFont* GameScore;
extern TIndexedTextureFont* GameScore_Small;
extern TIndexedTextureFont* Welcome;
extern TIndexedTextureFont* PlayerFont2;
extern TIndexedTextureFont* History;
extern TIndexedTextureFont* History2;
extern TIndexedTextureFont* GameFont;
extern TIndexedTextureFont* InteractiveHelp;
extern TIndexedTextureFont* Arts;
extern TIndexedTextureFont* DefaultButtonFont; // the same object as MenuStdButtons

constexpr int32_t cSharedFontCount = 18;
struct TSharedFontEntry {
    const char* FileName; // in the fonts folder
    TIndexedTextureFont** Global;
};
extern const TSharedFontEntry SharedFonts[cSharedFontCount];

// Creates the shared fonts in their order, adds each to owner and sets the globals: from the running
// language's folder when it has them (LanguageFile), else from Paths.Fonts.
void CreateSharedFonts(TMaster& owner);

// The atlas of a font file: its name with the extension changed to ".tga".
std::string AtlasFileName(const std::string& itfName);

} // namespace velmora
