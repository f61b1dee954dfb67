#include "render/itf.h"

#include "app/log.h"
#include "app/device.h"
#include "app/language.h"
#include "app/options.h"
#include "platform/files.h"
#include "render/blocks.h"

#include <algorithm>

namespace velmora {

namespace {

int32_t ReadI32(const uint8_t* p) {
    return static_cast<int32_t>(static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
                                static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24);
}

// Glyph sizes come straight from a file: a negative size would turn quads inside out and
// a huge one would cover the screen.
int32_t SaneSize(int32_t v) {
    return std::clamp(v, 0, 4096);
}

TItfGlyph DecodeGlyph(const uint8_t* p) {
    TItfGlyph g;
    g.X = ReadI32(p);
    g.Y = ReadI32(p + 4);
    g.W = SaneSize(ReadI32(p + 8));
    g.H = SaneSize(ReadI32(p + 12));
    g.Shift = std::clamp(ReadI32(p + 16), -4096, 4096);
    g.Transposed = p[20] != 0;
    return g;
}

} // namespace

bool ParseItf(const uint8_t* data, size_t size, TItfData& out, const std::string& fileName) {
    out = TItfData{};
    size = std::min(size, cItfReadLimit);
    if (size < 260) {
        Log("TIndexedTextureFont.RestoreDeviceObjects: Font file too short \"" + fileName + "\"");
        return false;
    }
    const size_t n = data[0];
    out.Chars.assign(reinterpret_cast<const char*>(data + 1), n);
    out.LineHeight = SaneSize(ReadI32(data + 256));
    out.Glyphs.resize(n);
    size_t present = size > cItfHeaderSize ? (size - cItfHeaderSize) / cItfGlyphSize : 0;
    if (present < n) {
        Log("TIndexedTextureFont.RestoreDeviceObjects: Glyph records missing in \"" + fileName +
            "\"; Chars=" + std::to_string(n) + "; Records=" + std::to_string(present));
    }
    for (size_t k = 0; k < n && k < present; ++k) {
        out.Glyphs[k] = DecodeGlyph(data + cItfHeaderSize + cItfGlyphSize * k);
    }
    return true;
}

bool ReadItfFile(const std::string& gamePath, TItfData& out) {
    // Only the first block is ever used, so a huge file costs no more than a proper one.
    std::vector<uint8_t> bytes;
    if (!ReadFileHead(gamePath, bytes, cItfReadLimit)) {
        Log("TIndexedTextureFont.RestoreDeviceObjects: File not exists \"" + gamePath + "\"");
        out = TItfData{};
        return false;
    }
    return ParseItf(bytes.data(), bytes.size(), out, gamePath);
}

TIndexedTextureFont* WhiteCourier11 = nullptr;
TIndexedTextureFont* BlackCourier11 = nullptr;
TIndexedTextureFont* MenuTitle = nullptr;
TIndexedTextureFont* MenuStdButtons = nullptr;
TIndexedTextureFont* MenuStdActButtons = nullptr;
TIndexedTextureFont* MenuBigButtons = nullptr;
TIndexedTextureFont* MenuBigActButtons = nullptr;
TIndexedTextureFont* PlayerFont_Yellow = nullptr;
TIndexedTextureFont* PlayerFont_Gray = nullptr;
TIndexedTextureFont* GameScore = nullptr;
TIndexedTextureFont* GameScore_Small = nullptr;
TIndexedTextureFont* Welcome = nullptr;
TIndexedTextureFont* PlayerFont2 = nullptr;
TIndexedTextureFont* History = nullptr;
TIndexedTextureFont* History2 = nullptr;
TIndexedTextureFont* GameFont = nullptr;
TIndexedTextureFont* InteractiveHelp = nullptr;
TIndexedTextureFont* Arts = nullptr;
TIndexedTextureFont* DefaultButtonFont = nullptr;

const TSharedFontEntry SharedFonts[cSharedFontCount] = {
    {"\\WhiteCourier11.itf", &WhiteCourier11},
    {"\\BlackCourier11.itf", &BlackCourier11},
    {"\\MenuTitle.itf", &MenuTitle},
    {"\\MenuStdButtons.itf", &MenuStdButtons},
    {"\\MenuStdActButtons.itf", &MenuStdActButtons},
    {"\\MenuBigButtons.itf", &MenuBigButtons},
    {"\\MenuBigActButtons.itf", &MenuBigActButtons},
    {"\\PlayerFont_Yellow.itf", &PlayerFont_Yellow},
    {"\\PlayerFont_Gray.itf", &PlayerFont_Gray},
    {"\\GameScore.itf", &GameScore},
    {"\\GameScore_Small.itf", &GameScore_Small},
    {"\\Welcome.itf", &Welcome},
    {"\\PlayerFont2.itf", &PlayerFont2},
    {"\\History.itf", &History},
    {"\\History2.itf", &History2},
    {"\\GameFont.itf", &GameFont},
    {"\\InteractiveHelp.itf", &InteractiveHelp},
    {"\\Arts.itf", &Arts},
};

void CreateSharedFonts(TMaster& owner) {
    for (const TSharedFontEntry& e : SharedFonts) {
        // A language of another code page has its own fonts.
        const std::string file = LanguageFile(Paths.Fonts + e.FileName, std::string("\\Fonts") + e.FileName);
        *e.Global = owner.Add(new TIndexedTextureFont(file));
    }
    DefaultButtonFont = MenuStdButtons;
}

TLetterRec MakeLetterRec(const TItfGlyph& g, int32_t atlasWidth, int32_t atlasHeight, float pixelSize) {
    TLetterRec r;
    const float aw = atlasWidth > 0 ? static_cast<float>(atlasWidth) : 1.0f;
    const float ah = atlasHeight > 0 ? static_cast<float>(atlasHeight) : 1.0f;
    if (g.Transposed) {
        r.UV = {g.Y / ah, g.X / aw, (g.Y + g.H) / ah, (g.X + g.W) / aw};
    } else {
        r.UV = {g.X / aw, g.Y / ah, (g.X + g.W) / aw, (g.Y + g.H) / ah};
    }
    r.X = g.X * pixelSize;
    r.Y = g.Y * pixelSize;
    r.W = g.W * pixelSize;
    r.H = g.H * pixelSize;
    r.Shift = g.Shift * pixelSize;
    return r;
}

std::string AtlasFileName(const std::string& itfName) {
    const size_t slash = itfName.find_last_of("\\/");
    const size_t dot = itfName.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return itfName + ".tga";
    return itfName.substr(0, dot) + ".tga";
}

TIndexedTextureFont::TIndexedTextureFont(const std::string& fileName) : FileName(fileName) {
    RestoreDeviceObjects();
}

TIndexedTextureFont::~TIndexedTextureFont() {
    ReleaseTexture();
    for (const TSharedFontEntry& e : SharedFonts) {
        if (*e.Global == this) *e.Global = nullptr;
    }
    if (DefaultButtonFont == this) DefaultButtonFont = nullptr;
}

void TIndexedTextureFont::ReleaseTexture() {
    if (Texture != nullptr) Texture->Release();
    Texture = nullptr;
}

// The atlas goes into a record of the font's own, as the store's loader would make it; the store
// itself may not exist yet when the shared fonts load.
bool TIndexedTextureFont::LoadAtlas(const std::string& tgaName) {
    TTexImage image;
    if (!LoadTexImage(tgaName, image)) return false;
    int32_t texWidth = 0, texHeight = 0;
    TextureSizeFor(image.Width, image.Height, texWidth, texHeight);
    IDirect3DTexture8* texture = nullptr;
    if (FAILED(CreateTextureDirect(texWidth, texHeight, 0, texture, D3DPOOL_MANAGED, TextureFormat, 0)) ||
        texture == nullptr) {
        return false;
    }
    CopyToTexture(texture, image, 0, 0, image.Width, image.Height);
    ReleaseTexture();
    Texture = texture;
    AtlasWidth = image.Width;
    AtlasHeight = image.Height;
    return true;
}

HRESULT_t TIndexedTextureFont::RestoreDeviceObjects() {
    TItfData data;
    if (!ReadItfFile(FileName, data)) {
        SetGlyphs(TItfData{}, 0, 0);
        return E_FAIL;
    }
    const bool atlasLoaded = Device != nullptr && LoadAtlas(AtlasFileName(FileName));
    if (!atlasLoaded) {
        Log("TIndexedTextureFont.RestoreDeviceObjects: Atlas not loaded \"" + AtlasFileName(FileName) + "\"");
    }
    SetGlyphs(data, AtlasWidth, AtlasHeight);
    return atlasLoaded ? S_OK : E_FAIL;
}

void TIndexedTextureFont::InvalidateDeviceObjects() {
    Chars.clear();
    Index.fill(0);
    ReleaseTexture();
}

void TIndexedTextureFont::SetGlyphs(const TItfData& data, int32_t atlasWidth, int32_t atlasHeight) {
    Chars = data.Chars;
    LineHeight = data.LineHeight;
    AtlasWidth = atlasWidth;
    AtlasHeight = atlasHeight;
    Index.fill(0);
    Letters.fill(TLetterRec{});
    for (size_t k = 0; k < Chars.size() && k < data.Glyphs.size(); ++k) {
        Letters[k] = MakeLetterRec(data.Glyphs[k], atlasWidth, atlasHeight, PixelSize);
        int16_t& slot = Index[static_cast<uint8_t>(Chars[k])];
        if (slot == 0) slot = static_cast<int16_t>(k + 1); // the first position counts
    }
}

const TLetterRec* TIndexedTextureFont::GetLetterRec(char c) const {
    const uint8_t code = static_cast<uint8_t>(c);
    if (Index[code] > 0) return &Letters[Index[code] - 1];
    // A font without characters failed to load (already logged) or waits for its restore.
    if (Chars.empty()) return nullptr;
    if (!Reported[code]) {
        Reported[code] = true;
        Log(std::string("Invalid char in TIndexedTextureFont.GetLetterRec:\"") + c + "\"");
    }
    return nullptr;
}

void TIndexedTextureFont::GetTextExtent(const std::string& text, float& width, float& height,
                                        float spacing) const {
    height = static_cast<float>(LineHeight) * PixelSize;
    width = 0;
    if (text.empty()) return;
    for (char c : text) {
        if (const TLetterRec* l = GetLetterRec(c)) width += l->W;
    }
    width += static_cast<float>(text.size() - 1) * spacing;
}

} // namespace velmora
