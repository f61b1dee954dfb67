// Drawable primitives: TVisual keeps its vertices in memory and a managed vertex buffer on the device,
// applies up to three state blocks and draws with one DrawPrimitive under its world matrix.
// TTexRect, TColorRect, TTexRect256 and TTexRecter are the ready-made quads built on it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/basic.h"
#include "platform/d3d8.h"
#include "platform/zeroed_memory.h"
#include "render/tex.h"

namespace velmora {

// Vertex format codes.
enum TVertexFormat : int32_t {
    vfDiffuse = 1,        // position, colour
    vfNormalDiffuse = 2,  // position, normal, colour
    vfTransformedTex = 3, // position with rhw, uv
    vfTex = 4,            // position, uv
    vfDiffuseTex = 5,     // position, colour, uv
};

struct TVertexDiffuse {
    float X, Y, Z;
    uint32_t Color;
};
struct TVertexNormalDiffuse {
    float X, Y, Z;
    float NX, NY, NZ;
    uint32_t Color;
};
struct TVertexTransformedTex {
    float X, Y, Z, RHW;
    float U, V;
};
struct TVertexTex {
    float X, Y, Z;
    float U, V;
};
struct TVertexDiffuseTex {
    float X, Y, Z;
    uint32_t Color;
    float U, V;
};

// Format code to FVF and size; unknown codes are reported and give 0.
DWORD GetVertexShader(int32_t format);
int32_t GetVertexSize(int32_t format);
// Primitive count of n vertices and vertex count of p primitives; unknown types report and give 0.
int32_t GetPrimitiveCount(int32_t type, int32_t vertexCount);
int32_t GetVertexCount(int32_t type, int32_t primitiveCount);

// Pixel to world: the centred form ((px - CX) * PixelSize - HalfPixel, (CY - py) * PixelSize + HalfPixel)
// and the table form (PixelX / PixelY as functions of any integer pixel); CX, CY are the layout halves.
float CenteredX(float px);
float CenteredY(float py);
float TableX(int32_t px);
float TableY(int32_t py);
// World to pixel, truncated toward zero.
int32_t WorldToPixelX(float x);
int32_t WorldToPixelY(float y);

class TVisual : public TPrior {
  public:
    TVisual() = default;
    ~TVisual() override;

    HRESULT_t RestoreDeviceObjects() override; // buffer made again from Vertices
    void InvalidateDeviceObjects() override;   // buffer released; Vertices kept
    void Draw() override;
    void Render() override;
    const char* ClassName() const override { return "TVisual"; }

    virtual void SetPrimitiveType(int32_t type); // 14
    virtual void SetVertexCount(int32_t n);      // 15
    virtual void SetPrimitiveCount(int32_t n);   // 16
    virtual void SetVertexFormat(int32_t code);  // 17
    virtual void CreateVertexBuffer();           // 18
    virtual void FillVertices();                 // 19
    virtual void UploadVertices();               // 20
    virtual void UploadPrimitives(int32_t n);    // 21
    virtual void DrawPrimitives();               // 22

    template <class V> V* VerticesAs() { return reinterpret_cast<V*>(Vertices.data()); }
    void ClearVertices();

    int32_t PrimitiveCount = 0;
    int32_t PrimitiveType = 0;
    int32_t VertexCount = 0;
    int32_t VertexBufferSize = 0;
    IDirect3DVertexBuffer8* VertexBuffer = nullptr;
    DWORD FVF = 0;
    int32_t VertexSize = 0;
    int32_t VertexFormat = 0;
    std::vector<uint8_t, ZeroedAllocator<uint8_t>> Vertices; // made anew by AllocateVertices only
    bool Visible = true;
    int32_t Block1 = 0, Block2 = 0, Block3 = 0;

  protected:
    void ApplyBlocks();
    void AllocateVertices();
    void UploadBytes(int32_t bytes);
};

// One textured quad of a store texture; vertices 0 top-left, 1 top-right, 2 bottom-left, 3 bottom-right.
class TTexRect : public TVisual {
  public:
    TTexRect();
    void Draw() override;
    const char* ClassName() const override { return "TTexRect"; }

    virtual void PlaceTexture(int32_t px, int32_t py, bool centered);                                    // 23
    virtual void SetRectLTRB(int32_t left, int32_t top, int32_t right, int32_t bottom);                  // 24
    virtual void SetRectTurned(int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t turn);  // 25
    virtual void SetRectMirrored(int32_t left, int32_t top, int32_t right, int32_t bottom, bool mirror); // 26
    virtual void SetUVFlipped(const TUVRect& uv, int32_t flip);                                          // 27
    virtual void FitTexture();                                                                           // 28
    virtual void SetUVPixels(int32_t left, int32_t top, int32_t right, int32_t bottom);                  // 29
    virtual void SetUV(float leftU, float topV, float rightU, float bottomV);                            // 30
    virtual void ResetUV();                                                                              // 31
    virtual void CenterVertices();                                                                       // 32
    virtual void SetPixelPos(int32_t px, int32_t py);                                                    // 33
    virtual void SetWorldPos(float x, float y);                                                          // 34

    void SetWorldRect(float x1, float y1, float x2, float y2);
    void SetUVRect(const TUVRect& uv);
    void SetColor(uint32_t c); // uploads only when the colour changes

    TVertexDiffuseTex* Quad() { return VerticesAs<TVertexDiffuseTex>(); }

    int32_t ScreenX = 0, ScreenY = 0;
    int32_t TexId = 0;
    uint32_t Color = 0xFFFFFFFF;

  protected:
    void SetCorners(float left, float top, float right, float bottom);
    void SetImageSizeFromRecord();
    void SetUVOfRecord();
};

// One untextured quad with a colour per corner.
class TColorRect : public TVisual {
  public:
    TColorRect();
    const char* ClassName() const override { return "TColorRect"; }

    virtual void SetRect(int32_t left, int32_t top, int32_t width, int32_t height); // 23: pixels
    virtual void SetSize(float width, float height);                                // 24: world units
    virtual void SetColor(uint32_t c);                                              // 25: uploads on change
    virtual void SetColors(uint32_t topLeft, uint32_t topRight, uint32_t bottomLeft,
                           uint32_t bottomRight); // 26

    int32_t ScreenX = 0, ScreenY = 0;
};

constexpr int32_t cMaxTiles = 256;

// A picture from its own TGA file, cut into square tiles of one texture each.
class TTexRect256 : public TVisual {
  public:
    TTexRect256(int32_t pixelLeft, int32_t pixelTop, const std::string& fileName, bool centered,
                int32_t tileSize);
    ~TTexRect256() override;

    HRESULT_t RestoreDeviceObjects() override;
    void InvalidateDeviceObjects() override;
    void SetLeft(float value) override;
    void SetTop(float value) override;
    void FillVertices() override;
    void DrawPrimitives() override;
    const char* ClassName() const override { return "TTexRect256"; }

    virtual void SetColor(uint32_t c); // 23: uploads only when the colour changes
    virtual void ApplyColor();         // 24
    virtual void CreateTiles();        // 25
    virtual void LoadTiles();          // 26

    void SetRectCount(); // sizes from the TGA header

    bool Centered = false;
    IDirect3DTexture8* Tiles[cMaxTiles] = {};
    int32_t PixelLeft = 0, PixelTop = 0;
    int32_t ShownWidth = 0, ShownHeight = 0;
    int32_t TileSize = 256;
    int32_t ImageWidth = 0, ImageHeight = 0;
    int32_t Cols = 0, Rows = 0;
    int32_t TileCount = 0;
    uint32_t Color = 0xFFFFFFFF;
    std::string FileName;

  private:
    void ReleaseTiles();
    bool VerticesMade = false;
};

constexpr int32_t cMaxRecterRects = 256;

struct TRecterRect {
    int32_t Left = 0, Top = 0, Width = 0, Height = 0; // pixels
    uint32_t Color = 0xFFFFFFFF;
    TUVRect UV;
};

// Up to 256 textured rectangles of one store texture drawn in one call.
class TTexRecter : public TVisual {
  public:
    TTexRecter();
    void Draw() override;
    void FillVertices() override;
    const char* ClassName() const override { return "TTexRecter"; }

    // False (and reported) when the batch is full.
    bool AddRect(int32_t left, int32_t top, const TUVRect& uv, int32_t width, int32_t height, uint32_t color);
    void BuildRects();

    int32_t RectCount = 0;
    int32_t TexId = 0;
    TRecterRect Rects[cMaxRecterRects]; // used from index 0
};

} // namespace velmora
