#include "render/tex.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "app/device.h"
#include "app/log.h"
#include "app/options.h"
#include "app/textfile.h"
#include "engine/random.h"
#include "platform/files.h"
#include "render/blocks.h"
#include "render/tga.h"

namespace velmora {

TTexArr* TexArr = nullptr;
int32_t DitherAmplitude = 0;
bool SquareTexturesOnly = false;

TUVRect ChipsUV[36];
TUVRect GlaresUV[36];
TUVRect GlaresUV2[36];
TUVRect FieldsUV[36];
TUVRect BonusesUV[36];
TUVRect LabelPanelUV[3];
TUVRect HeartsUV[4];
TUVRect ActSelUV[2];
TUVRect ArrowsUV[4];
TUVRect IHelpUV[11];
TUVRect CursorsUV[4];
TUVRect ParticlesUV[cMaxParticlesUV];
int32_t ParticlesUVCount = 0;
TUVRect FishesUV1[32];
TUVRect FishesUV2[32];
TUVRect FishesUV3[32];
TUVRect SandLightUV[16];

namespace {

const TUVRect kHeartsUV[4] = {{0, 0, 0.28125f, 0.25f},
                              {0.015625f, 0.328125f, 0.25f, 0.5625f},
                              {0.28125f, 0.328125f, 0.515625f, 0.5625f},
                              {0.4375f, 0, 0.75f, 0.3125f}};

const TUVRect kArrowsUV[4] = {{0.265625f, 0.28125f, 0.5234375f, 0.5f},
                              {0.2890625f, 0, 0.5078125f, 0.2578125f},
                              {0, 0.015625f, 0.2578125f, 0.234375f},
                              {0.0234375f, 0.265625f, 0.2421875f, 0.5234375f}};

const TUVRect kActSelUV[2] = {{0, 0, 0.625f, 0.3125f}, {0, 0.3125f, 0.625f, 0.625f}};

// Pieces of the help frame as x, y, w, h in 128 x 128: corners, edges, middle strips.
const int32_t kIHelpPixels[11][4] = {{0, 0, 40, 40},  {88, 0, 40, 40},  {0, 88, 40, 40},  {88, 88, 40, 40},
                                     {40, 0, 48, 40}, {88, 40, 40, 48}, {40, 88, 48, 40}, {0, 40, 40, 48},
                                     {40, 40, 48, 4}, {40, 44, 48, 22}, {40, 66, 48, 22}};

TUVRect PixelRect(int32_t x, int32_t y, int32_t w, int32_t h, float s, float t) {
    return {static_cast<float>(x) / s, static_cast<float>(y) / t, static_cast<float>(x + w) / s,
            static_cast<float>(y + h) / t};
}

std::string ToLower(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
}

std::string FilePart(const std::string& name) {
    const size_t slash = name.find_last_of("\\/");
    return slash == std::string::npos ? name : name.substr(slash + 1);
}

bool EndsWith(const std::string& s, const std::string& tail) {
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

bool Is32BitFormat(D3DFORMAT f) {
    return f == D3DFMT_A8R8G8B8 || f == D3DFMT_X8R8G8B8;
}

uint8_t DisplayBits(int32_t format) {
    return static_cast<uint8_t>(D3DFormatBits(static_cast<D3DFORMAT>(format)));
}

// Small generator of the dither noise; its seed comes from the game's random source.
struct TNoise {
    uint32_t State;
    int32_t Next(int32_t n) {
        State ^= State << 13;
        State ^= State >> 17;
        State ^= State << 5;
        return static_cast<int32_t>(State % static_cast<uint32_t>(n));
    }
};

uint16_t To16(uint32_t p, D3DFORMAT f) {
    const uint32_t a = p >> 24, r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
    switch (f) {
    case D3DFMT_R5G6B5:
        return static_cast<uint16_t>((r >> 3) << 11 | (g >> 2) << 5 | (b >> 3));
    case D3DFMT_X1R5G5B5:
    case D3DFMT_A1R5G5B5:
        return static_cast<uint16_t>((a >> 7) << 15 | (r >> 3) << 10 | (g >> 3) << 5 | (b >> 3));
    default:
        return static_cast<uint16_t>((a >> 4) << 12 | (r >> 4) << 8 | (g >> 4) << 4 | (b >> 4));
    }
}

} // namespace

void TTexRec::Release() {
    if (Texture) Texture->Release();
    Texture = nullptr;
}

void FillGridUV(TUVRect* table, int32_t n, int32_t perRow, int32_t w, int32_t h, int32_t s, int32_t t) {
    for (int32_t i = 0; i < n; ++i)
        table[i] =
            PixelRect((i % perRow) * w, (i / perRow) * h, w, h, static_cast<float>(s), static_cast<float>(t));
}

void FillFishesUV(TUVRect* table) {
    for (int32_t i = 0; i < 32; ++i)
        table[i] = PixelRect((i / 8) * 64, (i % 8) * 32, 64, 32, 256, 256);
}

int32_t NextPowerOfTwo(int32_t n) {
    int32_t p = 1;
    while (p < n && p < (1 << 30))
        p *= 2;
    return p;
}

void TextureSizeFor(int32_t width, int32_t height, int32_t& texWidth, int32_t& texHeight) {
    texWidth = NextPowerOfTwo(width);
    texHeight = NextPowerOfTwo(height);
    if (SquareTexturesOnly) texWidth = texHeight = std::max(texWidth, texHeight);
}

std::string DataFilePath(const std::string& fileName) {
    if (FileExists(fileName) || Paths.Base.empty()) return fileName;
    // Art folders are named relative to the base folder ("Textures\\Arts\\..."), which is not the
    // current directory of an installed run.
    const bool rooted = !fileName.empty() && (fileName[0] == '\\' || fileName[0] == '/');
    return rooted ? Paths.Base + fileName : Paths.Base + "\\" + fileName;
}

bool LoadTgaPixels(const std::string& fileName, std::vector<uint32_t>& pixels, int32_t& width,
                   int32_t& height) {
    TTgaImage image;
    // Texture files are stored bottom-up, the screen capture top row first: its header says so.
    if (!LoadTgaImage(fileName, image, 0)) return false;
    width = image.Width();
    height = image.Height();
    pixels = std::move(image.Data);
    if (!image.Header.TopRowFirst())
        for (int32_t top = 0, bottom = height - 1; top < bottom; ++top, --bottom)
            std::swap_ranges(pixels.begin() + static_cast<ptrdiff_t>(top) * width,
                             pixels.begin() + static_cast<ptrdiff_t>(top + 1) * width,
                             pixels.begin() + static_cast<ptrdiff_t>(bottom) * width);
    return true;
}

void DitherPixels(std::vector<uint32_t>& pixels, int32_t amplitude, uint32_t seed) {
    if (amplitude <= 0) return;
    TNoise noise{seed ? seed : 0x9E3779B9u};
    for (uint32_t& p : pixels) {
        uint32_t out = p & 0xFF000000u;
        for (int shift = 0; shift <= 16; shift += 8) {
            const int32_t c =
                static_cast<int32_t>((p >> shift) & 0xFF) + noise.Next(2 * amplitude) - amplitude;
            out |= static_cast<uint32_t>(std::clamp(c, 0, 255)) << shift;
        }
        p = out;
    }
}

bool ReFormat32BitImage(const std::vector<uint32_t>& pixels, D3DFORMAT format, std::vector<uint16_t>& out) {
    switch (format) {
    case D3DFMT_R5G6B5:
    case D3DFMT_X1R5G5B5:
    case D3DFMT_A1R5G5B5:
    case D3DFMT_A4R4G4B4:
    case D3DFMT_X4R4G4B4:
        break;
    default:
        Report("ReFormat32BitImage: unknown format.  Format=" + D3DFormatName(format));
        return false;
    }
    out.resize(pixels.size());
    for (size_t i = 0; i < pixels.size(); ++i)
        out[i] = To16(pixels[i], format);
    return true;
}

bool LoadTexImage(const std::string& fileName, TTexImage& image) {
    std::vector<uint32_t> pixels;
    if (!LoadTgaPixels(fileName, pixels, image.Width, image.Height)) return false;
    if (Is32BitFormat(TextureFormat)) {
        image.BytesPerPixel = 4;
        image.Data.resize(pixels.size() * 4);
        std::memcpy(image.Data.data(), pixels.data(), image.Data.size());
        return true;
    }
    DitherPixels(pixels, DitherAmplitude, RandomBits());
    std::vector<uint16_t> reduced;
    if (!ReFormat32BitImage(pixels, TextureFormat, reduced)) return false;
    image.BytesPerPixel = 2;
    image.Data.resize(reduced.size() * 2);
    std::memcpy(image.Data.data(), reduced.data(), image.Data.size());
    return true;
}

bool CopyToTexture(IDirect3DTexture8* texture, const TTexImage& image, int32_t srcX, int32_t srcY, int32_t w,
                   int32_t h) {
    if (!texture) return false;
    D3DLOCKED_RECT locked{};
    const HRESULT hr = texture->LockRect(0, &locked, nullptr, 0);
    if (FAILED(hr) || !locked.pBits) {
        Check(hr, "uTex.CopyToTexture");
        return false;
    }
    const size_t rowBytes = static_cast<size_t>(w) * image.BytesPerPixel;
    auto* dst = static_cast<uint8_t*>(locked.pBits);
    for (int32_t r = 0; r < h; ++r)
        std::memcpy(dst + static_cast<size_t>(r) * locked.Pitch,
                    image.Row(srcY + r) + srcX * image.BytesPerPixel, rowBytes);
    texture->UnlockRect(0);
    return true;
}

// ---- TTexArr ------------------------------------------------------------------------------------

TTexArr::TTexArr(uint8_t texSet) : TexSet(texSet) {
    TexArr = this;
    const uint8_t bits = DisplayBits(Options.Format);
    if (bits == 16) DitherAmplitude = 8;
    if (bits == 32) DitherAmplitude = 0;
}

TTexArr::~TTexArr() {
    InvalidateDeviceObjects();
    if (TexArr == this) TexArr = nullptr;
}

HRESULT_t TTexArr::RestoreDeviceObjects() {
    for (TTexRec& r : Recs) {
        r.Release();
        r = TTexRec{};
    }
    switch (TexSet) {
    case 1:
        LoadGameSet();
        break;
    case 2:
        LoadMenuSet();
        break;
    case 3:
        LoadResCreatorSet();
        break;
    default:
        break;
    }
    return 0;
}

void TTexArr::InvalidateDeviceObjects() {
    for (TTexRec& r : Recs)
        r.Release();
}

TTexRec& TTexArr::Rec(int32_t id) {
    if (id < 0 || id >= cMaxTextures)
        throw std::out_of_range("TTexArr.Rec: texture id " + std::to_string(id));
    return Recs[static_cast<size_t>(id)];
}

IDirect3DTexture8* TTexArr::Texture(int32_t id) {
    if (id < 0 || id >= cMaxTextures) return nullptr;
    return Recs[static_cast<size_t>(id)].Texture;
}

bool TTexArr::CreateTex(int32_t id, const std::string& fileName) {
    TTexRec& rec = Rec(id);
    const std::string name = ToLower(fileName);
    rec.Name = FilePart(name);
    if (!EndsWith(name, ".tga")) {
        Report("TTexArr.CreateTex: Invalid file extension \"" + name + "\"");
        return false;
    }
    return LoadTexRec(rec, fileName);
}

bool TTexArr::LoadTexRec(TTexRec& rec, const std::string& fileName) {
    TTexImage image;
    if (!LoadTexImage(DataFilePath(fileName), image)) return false;
    int32_t tw = 0, th = 0;
    TextureSizeFor(image.Width, image.Height, tw, th);
    IDirect3DTexture8* texture = nullptr;
    if (FAILED(CreateTextureDirect(tw, th, 0, texture, D3DPOOL_MANAGED, TextureFormat, 0))) return false;
    CopyToTexture(texture, image, 0, 0, image.Width, image.Height);
    rec.Release();
    rec.Texture = texture;
    rec.Width = image.Width;
    rec.Height = image.Height;
    rec.TexWidth = tw;
    rec.TexHeight = th;
    return true;
}

bool TTexArr::LoadUVFromFile(const std::string& fileName, TUVRect* rects, int32_t capacity, int32_t& count) {
    const std::string path = DataFilePath(fileName);
    std::vector<std::string> lines;
    if (!FileExists(path) || !ReadTextLines(ResolvePath(path), lines)) {
        Report("TTexArr.LoadUVFromFile: File not exists \"" + fileName + "\"");
        return false;
    }
    int32_t n = 0;
    for (const std::string& line : lines) {
        if (IsCommentLine(line) || Trim(line).empty()) continue;
        if (n >= capacity) {
            Report("TTexArr.LoadUVFromFile: Too many rectangles \"" + fileName +
                   "\"; Limit=" + std::to_string(capacity));
            break;
        }
        int32_t v[4] = {};
        size_t pos = 0;
        for (int32_t& x : v) {
            const size_t end = line.find(' ', pos);
            x = ParseInt(
                std::string_view(line).substr(pos, end == std::string::npos ? std::string::npos : end - pos));
            pos = end == std::string::npos ? line.size() : end + 1;
        }
        rects[n++] = {v[0] / 256.0f, v[1] / 256.0f, v[2] / 256.0f, v[3] / 256.0f};
    }
    count = n;
    return true;
}

void TTexArr::LoadParticles() {
    CreateTex(tiParticles, "\\Textures\\Particles.tga");
    LoadUVFromFile("\\Textures\\Particles.uv", ParticlesUV, cMaxParticlesUV, ParticlesUVCount);
}

void TTexArr::LoadGameSet() {
    LoadParticles();
    CreateTex(tiChips, "\\Textures\\Chips.tga");
    FillGridUV(ChipsUV, 36, 6, 40, 40, 256, 256);
    CreateTex(tiGlares1, "\\Textures\\Glares1.tga");
    CreateTex(tiGlares2, "\\Textures\\Glares2.tga");
    FillGridUV(GlaresUV, 36, 6, 40, 40, 256, 256);
    std::copy(std::begin(GlaresUV), std::end(GlaresUV), GlaresUV2);
    CreateTex(tiFields, "\\Textures\\Fields.tga");
    FillGridUV(FieldsUV, 36, 6, 40, 40, 256, 256);
    CreateTex(tiBonuses, "\\Textures\\Bonuses.tga");
    FillGridUV(BonusesUV, 36, 6, 40, 40, 256, 256);
    CreateTex(tiHammerPassive, "\\Textures\\Cursor_Hammer_Passive.tga");
    CreateTex(tiHammerActive, "\\Textures\\Cursor_Hammer_Active.tga");
    CreateTex(tiButtonBig, "\\Textures\\MainMenu_ButtonBig.tga");
    CreateTex(tiButtonOptions, "\\Textures\\MainMenu_ButtonOptions.tga");
    CreateTex(tiButtonExit, "\\Textures\\MainMenu_ButtonExit.tga");
    CreateTex(tiMusicMark, "\\Textures\\Options_MusicMark.tga");
    CreateTex(tiMusicTrack, "\\Textures\\Options_MusicTrack.tga");
    CreateTex(tiNameCursor, "\\Textures\\YourName_Cursor.tga");
    CreateTex(tiGameMenuButton, "\\Textures\\Game_MenuButton.tga");
    CreateTex(tiGameTimer, "\\Textures\\Game_Timer.tga");
    CreateTex(tiLabelPanel, "\\Textures\\Game_LabelPanel.tga");
    for (int32_t i = 0; i < 3; ++i)
        LabelPanelUV[i] = {0, 24.0f * i / 128, 127.0f / 128, (24.0f * i + 24) / 128};
    CreateTex(tiHearts, "\\Textures\\Hearts.tga");
    std::copy(std::begin(kHeartsUV), std::end(kHeartsUV), HeartsUV);
    CreateTex(tiActSel, "\\Textures\\ActSel.tga");
    std::copy(std::begin(kActSelUV), std::end(kActSelUV), ActSelUV);
    CreateTex(tiArrows, "\\Textures\\InteractiveHelp\\Arrows.tga");
    std::copy(std::begin(kArrowsUV), std::end(kArrowsUV), ArrowsUV);
    CreateTex(tiIHelp, "\\Textures\\InteractiveHelp\\IHelp.tga");
    for (int32_t i = 0; i < 11; ++i) {
        const int32_t* p = kIHelpPixels[i];
        IHelpUV[i] = PixelRect(p[0], p[1], p[2], p[3], 128, 128);
    }
    CreateTex(tiCursors, "\\Textures\\Cursors.tga");
    FillGridUV(CursorsUV, 4, 2, 32, 32, 64, 64);
}

void TTexArr::LoadMenuSet() {
    LoadParticles();
    CreateTex(tiButtonStart, "\\Textures\\MainMenu_ButtonStart.tga");
    CreateTex(tiButtonOptions, "\\Textures\\MainMenu_ButtonOptions.tga");
    CreateTex(tiButtonHiScores, "\\Textures\\MainMenu_ButtonHiScores.tga");
    CreateTex(tiButtonAbout, "\\Textures\\MainMenu_ButtonAbout.tga");
    CreateTex(tiButtonExit, "\\Textures\\MainMenu_ButtonExit.tga");
    CreateTex(tiButtonBig, "\\Textures\\MainMenu_ButtonBig.tga");
    CreateTex(tiMusicMark, "\\Textures\\Options_MusicMark.tga");
    CreateTex(tiMusicTrack, "\\Textures\\Options_MusicTrack.tga");
    CreateTex(tiNameCursor, "\\Textures\\YourName_Cursor.tga");
    CreateTex(tiPlayerMarker, "\\Textures\\Player_Marker.tga");
    CreateTex(tiMapMarkDone, "\\Textures\\Map_Mark_Done.tga");
    CreateTex(tiMapMarkCurrent, "\\Textures\\Map_Mark_Current.tga");
    CreateTex(tiMapMarkVirgin, "\\Textures\\Map_Mark_Virgin.tga");
    CreateTex(tiArtefactsControls, "\\Textures\\Artefacts_Controls.tga");
    CreateTex(tiFishes1, "\\Textures\\MenuBack\\Fishes1.tga");
    CreateTex(tiFishes2, "\\Textures\\MenuBack\\Fishes2.tga");
    CreateTex(tiFishes3, "\\Textures\\MenuBack\\Fishes3.tga");
    FillFishesUV(FishesUV1);
    FillFishesUV(FishesUV2);
    FillFishesUV(FishesUV3);
    CreateTex(tiSandLight, "\\Textures\\MenuBack\\SandLight.tga");
    FillGridUV(SandLightUV, 16, 4, 64, 64, 256, 256);
    CreateTex(tiCursors, "\\Textures\\Cursors.tga");
    FillGridUV(CursorsUV, 4, 2, 32, 32, 64, 64);
    CreateTex(tiBlick, "\\Textures\\Logo\\Blick.tga");
}

void TTexArr::LoadResCreatorSet() {
    CreateTex(tiResCreatorBack, "\\Textures\\ResCreator\\Back0.tga");
}

} // namespace velmora
