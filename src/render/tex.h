// The texture store: up to 2048 textures addressed by id, the fixed texture set of the current scene,
// and the coordinate tables of the standard atlases. Also the TGA-to-texture loader that the tiled
// pictures and the fonts share.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/basic.h"
#include "platform/d3d8.h"

namespace velmora {

constexpr int32_t cMaxTextures = 2048;

// Texture rectangle in texture units (0..1 over the whole texture).
struct TUVRect {
    float Left = 0, Top = 0, Right = 0, Bottom = 0;
};

struct TTexRec {
    int32_t Width = 0, Height = 0;        // loaded image, pixels
    int32_t TexWidth = 0, TexHeight = 0;  // device texture: powers of two not below the image
    IDirect3DTexture8* Texture = nullptr; // one reference held; nil when empty
    std::string Name;                     // lower-cased file name without directory

    void Release(); // drops the texture, keeps the sizes and the name
};

// Ids of the fixed sets.
enum TTexId : int32_t {
    tiParticles = 3,
    tiChips = 10,
    tiGlares1 = 11,
    tiGlares2 = 12,
    tiFields = 13,
    tiBonuses = 14,
    tiFishes1 = 15,
    tiFishes2 = 16,
    tiFishes3 = 17,
    tiCursors = 18,
    tiHammerPassive = 30,
    tiHammerActive = 31,
    tiButtonStart = 45,
    tiButtonOptions = 46,
    tiButtonHiScores = 47,
    tiButtonAbout = 48,
    tiButtonExit = 49,
    tiGameMenuButton = 50,
    tiButtonBig = 51,
    tiMusicMark = 70,
    tiMusicTrack = 71,
    tiNameCursor = 72,
    tiPlayerMarker = 73,
    tiMapMarkDone = 74,
    tiMapMarkCurrent = 75,
    tiMapMarkVirgin = 76,
    tiGameTimer = 77,
    tiArtefactsControls = 78,
    tiLabelPanel = 79,
    tiHearts = 80,
    tiActSel = 81,
    tiArrows = 82,
    tiIHelp = 83,
    tiBlick = 84,
    tiResCreatorBack = 85,
    tiSandLight = 179,
};

// Coordinate tables, filled when their texture loads and kept afterwards.
constexpr int32_t cMaxParticlesUV = 256;
extern TUVRect ChipsUV[36];
extern TUVRect GlaresUV[36];
extern TUVRect GlaresUV2[36];
extern TUVRect FieldsUV[36];
extern TUVRect BonusesUV[36];
extern TUVRect LabelPanelUV[3];
extern TUVRect HeartsUV[4];
extern TUVRect ActSelUV[2];
extern TUVRect ArrowsUV[4];
extern TUVRect IHelpUV[11];
extern TUVRect CursorsUV[4];
extern TUVRect ParticlesUV[cMaxParticlesUV];
extern int32_t ParticlesUVCount;
extern TUVRect FishesUV1[32];
extern TUVRect FishesUV2[32];
extern TUVRect FishesUV3[32];
extern TUVRect SandLightUV[16];

// Noise amplitude added before reduction to 16 bits: 8 in a 16-bit display mode, 0 in a 32-bit one.
extern int32_t DitherAmplitude;
// The device demands square textures (set by the frame from the device capabilities).
extern bool SquareTexturesOnly;

// Entry i of a grid of n cells, c per row, each w x h pixels, in an s x t texture.
void FillGridUV(TUVRect* table, int32_t n, int32_t perRow, int32_t w, int32_t h, int32_t s, int32_t t);
// The menu fish sheets: column-major 64 x 32 cells, 8 per column, in 256 x 256.
void FillFishesUV(TUVRect* table);

class TTexArr : public TBasic {
  public:
    explicit TTexArr(uint8_t texSet); // publishes itself in TexArr
    ~TTexArr() override;

    HRESULT_t RestoreDeviceObjects() override; // clears every record, loads the set TexSet
    void InvalidateDeviceObjects() override;   // releases every texture
    const char* ClassName() const override { return "TTexArr"; }

    // Loads a ".tga" file into record Id; other extensions are reported and load nothing.
    bool CreateTex(int32_t id, const std::string& fileName);
    // Reads x1 y1 x2 y2 lines (pixels of a 256 x 256 texture) into Rects, at most Capacity of them.
    // A missing file is reported and leaves Count unchanged.
    bool LoadUVFromFile(const std::string& fileName, TUVRect* rects, int32_t capacity, int32_t& count);
    // Loads a TGA file into a record the caller owns (fonts).
    bool LoadTexRec(TTexRec& rec, const std::string& fileName);

    TTexRec& Rec(int32_t id);               // id outside 0..2047 is a programming error
    IDirect3DTexture8* Texture(int32_t id); // nil for an empty record or an id out of range

    uint8_t TexSet = 0; // 1 game, 2 menus, 3 resource creator, 0 nothing
    std::array<TTexRec, cMaxTextures> Recs;

  private:
    void LoadGameSet();
    void LoadMenuSet();
    void LoadResCreatorSet();
    void LoadParticles();
};

extern TTexArr* TexArr;

// ---- The loader ---------------------------------------------------------------------------------

// A TGA picture in the pixel format of a texture: rows top first, BytesPerPixel 4 (A8R8G8B8 or
// X8R8G8B8) or 2 (16-bit formats).
struct TTexImage {
    int32_t Width = 0, Height = 0;
    int32_t BytesPerPixel = 4;
    std::vector<uint8_t> Data;
    const uint8_t* Row(int32_t r) const {
        return Data.data() + static_cast<size_t>(r) * Width * BytesPerPixel;
    }
};

// Smallest power of two not below n (n <= 1 gives 1).
int32_t NextPowerOfTwo(int32_t n);
// Texture size of an image, square when SquareTexturesOnly is set.
void TextureSizeFor(int32_t width, int32_t height, int32_t& texWidth, int32_t& texHeight);

// Game path as given, else under the data directory.
std::string DataFilePath(const std::string& fileName);

// Reads a 32-bit TGA into 0xAARRGGBB pixels, top row first; bad files are reported and refused.
bool LoadTgaPixels(const std::string& fileName, std::vector<uint32_t>& pixels, int32_t& width,
                   int32_t& height);
// Adds noise in [-amplitude, amplitude-1] to R, G and B of every pixel, clamped; alpha kept.
void DitherPixels(std::vector<uint32_t>& pixels, int32_t amplitude, uint32_t seed);
// Converts to a 16-bit texture format; an unknown format is reported and gives false.
bool ReFormat32BitImage(const std::vector<uint32_t>& pixels, D3DFORMAT format, std::vector<uint16_t>& out);
// TGA file to the pixels of a TextureFormat texture (dithered and reduced when it is 16-bit).
bool LoadTexImage(const std::string& fileName, TTexImage& image);
// Copies the image's columns [srcX, srcX+w) of rows [srcY, srcY+h) to the top-left of level 0.
bool CopyToTexture(IDirect3DTexture8* texture, const TTexImage& image, int32_t srcX, int32_t srcY, int32_t w,
                   int32_t h);

} // namespace velmora
