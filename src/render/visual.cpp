#include "render/visual.h"

#include <cmath>
#include <cstring>

#include "app/device.h"
#include "app/log.h"
#include "app/options.h"
#include "platform/files.h"
#include "render/blocks.h"
#include "render/tga.h"

namespace velmora {

namespace {

int32_t HalfScreenW() {
    return ScreenWidth / 2;
}
int32_t HalfScreenH() {
    return ScreenHeight / 2;
}

IDirect3DTexture8* StoreTexture(int32_t id) {
    return TexArr ? TexArr->Texture(id) : nullptr;
}

const TTexRec* StoreRecord(int32_t id) {
    if (!TexArr || id < 0 || id >= cMaxTextures) return nullptr;
    return &TexArr->Recs[static_cast<size_t>(id)];
}

void SetXY(TVertexDiffuseTex& v, float x, float y) {
    v.X = x;
    v.Y = y;
    v.Z = 0;
}

void SetUVOf(TVertexDiffuseTex& v, float u, float w) {
    v.U = u;
    v.V = w;
}

std::string ToLower(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
}

} // namespace

// ---- Formats, counts and pixel geometry ----------------------------------------------------------

DWORD GetVertexShader(int32_t format) {
    switch (format) {
    case vfDiffuse:
        return D3DFVF_XYZ | D3DFVF_DIFFUSE;
    case vfNormalDiffuse:
        return D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_DIFFUSE;
    case vfTransformedTex:
        return D3DFVF_XYZRHW | D3DFVF_TEX1;
    case vfTex:
        return D3DFVF_XYZ | D3DFVF_TEX1;
    case vfDiffuseTex:
        return D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_TEX1;
    default:
        Report("uV.GetVertexShader: Unknown vertex buffer type");
        return 0;
    }
}

int32_t GetVertexSize(int32_t format) {
    switch (format) {
    case vfDiffuse:
        return sizeof(TVertexDiffuse);
    case vfNormalDiffuse:
        return sizeof(TVertexNormalDiffuse);
    case vfTransformedTex:
        return sizeof(TVertexTransformedTex);
    case vfTex:
        return sizeof(TVertexTex);
    case vfDiffuseTex:
        return sizeof(TVertexDiffuseTex);
    default:
        Report("uV.GetVertexSize: Unknown vertex buffer type");
        return 0;
    }
}

int32_t GetPrimitiveCount(int32_t type, int32_t n) {
    switch (type) {
    case D3DPT_POINTLIST:
        return n;
    case D3DPT_LINELIST:
        return n / 2;
    case D3DPT_LINESTRIP:
        return n - 1;
    case D3DPT_TRIANGLELIST:
        return n / 3;
    case D3DPT_TRIANGLESTRIP:
    case D3DPT_TRIANGLEFAN:
        return n - 2;
    default:
        Report("uV.GetPrimitiveCount: Unknown vertex buffer type");
        return 0;
    }
}

int32_t GetVertexCount(int32_t type, int32_t p) {
    switch (type) {
    case D3DPT_POINTLIST:
        return p;
    case D3DPT_LINELIST:
        return 2 * p;
    case D3DPT_LINESTRIP:
        return p + 1;
    case D3DPT_TRIANGLELIST:
        return 3 * p;
    case D3DPT_TRIANGLESTRIP:
    case D3DPT_TRIANGLEFAN:
        return p + 2;
    default:
        Report("uV.GetVertexCount: Unknown vertex buffer type");
        return 0;
    }
}

float CenteredX(float px) {
    return (px - HalfScreenW()) * PixelSize - HalfPixel;
}
float CenteredY(float py) {
    return (HalfScreenH() - py) * PixelSize + HalfPixel;
}
float TableX(int32_t px) {
    return px * PixelSize - ViewRight + HalfPixel;
}
float TableY(int32_t py) {
    return -py * PixelSize + ViewTop + HalfPixel;
}
int32_t WorldToPixelX(float x) {
    return static_cast<int32_t>((x + ViewRight) / PixelSize);
}
int32_t WorldToPixelY(float y) {
    return static_cast<int32_t>((ViewTop - y) / PixelSize);
}

// ---- TVisual ------------------------------------------------------------------------------------

TVisual::~TVisual() {
    TVisual::InvalidateDeviceObjects();
}

HRESULT_t TVisual::RestoreDeviceObjects() {
    CreateVertexBuffer();
    UploadVertices();
    return 0;
}

void TVisual::InvalidateDeviceObjects() {
    if (VertexBuffer) VertexBuffer->Release();
    VertexBuffer = nullptr;
}

void TVisual::ApplyBlocks() {
    if (!StateBlocks) return;
    for (int32_t block : {Block1, Block2, Block3})
        if (block) StateBlocks->Apply(block);
}

void TVisual::Draw() {
    Device->SetStreamSource(0, VertexBuffer, VertexSize);
    Device->SetVertexShader(FVF);
    ApplyBlocks();
    TMatrix world;
    GetWorldMatrix(world);
    D3DMATRIX m;
    std::memcpy(m.m, world.m, sizeof(m.m));
    Device->SetTransform(D3DTS_WORLD, &m);
}

void TVisual::Render() {
    if (!Visible) return;
    Draw();
    DrawPrimitives();
}

void TVisual::SetPrimitiveType(int32_t type) {
    PrimitiveType = type;
}

void TVisual::AllocateVertices() {
    VertexBufferSize = VertexCount * VertexSize;
    // Made anew, zeroed without being written: pages a visual never fills stay out of memory.
    Vertices = decltype(Vertices)(static_cast<size_t>(std::max(VertexBufferSize, 0)));
}

void TVisual::SetVertexCount(int32_t n) {
    if (n == 0) Report("Vertex count equal zero");
    VertexCount = std::max(n, 0);
    PrimitiveCount = GetPrimitiveCount(PrimitiveType, VertexCount);
    AllocateVertices();
}

void TVisual::SetPrimitiveCount(int32_t n) {
    if (n == 0) Report("Primitive count equal zero");
    PrimitiveCount = std::max(n, 0);
    VertexCount = GetVertexCount(PrimitiveType, PrimitiveCount);
    AllocateVertices();
}

void TVisual::SetVertexFormat(int32_t code) {
    VertexFormat = code;
    FVF = GetVertexShader(code);
    VertexSize = GetVertexSize(code);
}

void TVisual::ClearVertices() {
    std::fill(Vertices.begin(), Vertices.end(), 0);
}

void TVisual::CreateVertexBuffer() {
    TVisual::InvalidateDeviceObjects();
    if (!Device || VertexBufferSize <= 0) return;
    const HRESULT hr =
        Device->CreateVertexBuffer(VertexBufferSize, D3DUSAGE_WRITEONLY, FVF, D3DPOOL_MANAGED, &VertexBuffer);
    if (FAILED(hr)) VertexBuffer = nullptr;
    Check(hr, std::string(ClassName()) + ".CreateVertexBuffer");
}

void TVisual::FillVertices() {}

void TVisual::UploadBytes(int32_t bytes) {
    bytes = std::min(bytes, static_cast<int32_t>(Vertices.size()));
    if (!VertexBuffer || bytes <= 0) return;
    BYTE* data = nullptr;
    const HRESULT hr = VertexBuffer->Lock(0, bytes, &data, 0);
    if (FAILED(hr) || !data) {
        Check(hr, std::string(ClassName()) + ".UploadVertices");
        return;
    }
    std::memcpy(data, Vertices.data(), static_cast<size_t>(bytes));
    VertexBuffer->Unlock();
}

void TVisual::UploadVertices() {
    UploadBytes(VertexBufferSize);
}

void TVisual::UploadPrimitives(int32_t n) {
    UploadBytes(GetVertexCount(PrimitiveType, n) * VertexSize);
}

void TVisual::DrawPrimitives() {
    if (!VertexBuffer || PrimitiveCount <= 0) return;
    Device->DrawPrimitive(static_cast<D3DPRIMITIVETYPE>(PrimitiveType), 0, PrimitiveCount);
}

// ---- TTexRect -----------------------------------------------------------------------------------

TTexRect::TTexRect() {
    SetPrimitiveType(D3DPT_TRIANGLESTRIP);
    SetVertexFormat(vfDiffuseTex);
    SetVertexCount(4);
    ClearVertices();
    // The vertices carry the colour the field says, so that a later SetColor compares truthfully.
    for (int32_t i = 0; i < 4; ++i)
        Quad()[i].Color = Color;
    CreateVertexBuffer();
}

void TTexRect::Draw() {
    TVisual::Draw();
    ST(0, StoreTexture(TexId));
}

void TTexRect::SetCorners(float left, float top, float right, float bottom) {
    TVertexDiffuseTex* q = Quad();
    SetXY(q[0], left, top);
    SetXY(q[1], right, top);
    SetXY(q[2], left, bottom);
    SetXY(q[3], right, bottom);
}

void TTexRect::SetImageSizeFromRecord() {
    const TTexRec* rec = StoreRecord(TexId);
    SetWidth(rec ? rec->Width * PixelSize : 0);
    SetHeight(rec ? rec->Height * PixelSize : 0);
}

void TTexRect::SetUVOfRecord() {
    const TTexRec* rec = StoreRecord(TexId);
    if (!rec || rec->TexWidth <= 0 || rec->TexHeight <= 0) return SetUV(0, 0, 1, 1);
    SetUV(0, 0, static_cast<float>(rec->Width) / rec->TexWidth,
          static_cast<float>(rec->Height) / rec->TexHeight);
}

void TTexRect::PlaceTexture(int32_t px, int32_t py, bool centered) {
    SetImageSizeFromRecord();
    if (centered) {
        ScreenX = HalfScreenW() - static_cast<int32_t>(std::lround(HalfWidth / PixelSize));
        ScreenY = HalfScreenH() - static_cast<int32_t>(std::lround(HalfHeight / PixelSize));
    } else {
        ScreenX = px;
        ScreenY = py;
    }
    const float left = CenteredX(ScreenX), top = CenteredY(ScreenY);
    SetCorners(left, top, left + Width, top - Height);
    SetUVOfRecord();
}

void TTexRect::SetRectLTRB(int32_t left, int32_t top, int32_t right, int32_t bottom) {
    SetWidth((right - left) * PixelSize);
    SetHeight((bottom - top) * PixelSize);
    ScreenX = left;
    ScreenY = top;
    const float l = TableX(left), t = TableY(top);
    SetCorners(l, t, l + Width, t - Height);
}

// The corners are stored relative to the placement that the operation moves to the rectangle, so
// that the world matrix puts them back where the pixels say.
void TTexRect::SetRectTurned(int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t turn) {
    SetWidth((right - left) * PixelSize);
    SetHeight((bottom - top) * PixelSize);
    ScreenX = left;
    ScreenY = top;
    const float l = CenteredX(left), t = CenteredY(top), r = CenteredX(right), b = CenteredY(bottom);
    SetLeft(l);
    SetTop(t);
    struct TCorner {
        float X, Y;
    };
    const TCorner tl{l - X, t - Y}, tr{r - X, t - Y}, bl{l - X, b - Y}, br{r - X, b - Y};
    static const int kOrder[4][4] = {{0, 1, 2, 3}, {2, 0, 3, 1}, {3, 2, 1, 0}, {1, 3, 0, 2}};
    const TCorner corners[4] = {tl, tr, bl, br};
    const int* order = kOrder[((turn % 4) + 4) % 4];
    for (int i = 0; i < 4; ++i)
        SetXY(Quad()[i], corners[order[i]].X, corners[order[i]].Y);
}

void TTexRect::SetRectMirrored(int32_t left, int32_t top, int32_t right, int32_t bottom, bool mirror) {
    SetRectTurned(left, top, right, bottom, 0);
    if (!mirror) return;
    TVertexDiffuseTex* q = Quad();
    std::swap(q[0].X, q[1].X);
    std::swap(q[2].X, q[3].X);
}

void TTexRect::SetUVFlipped(const TUVRect& uv, int32_t flip) {
    if (flip == 1) return SetUV(uv.Left, uv.Bottom, uv.Right, uv.Top);
    SetUV(uv.Left, uv.Top, uv.Right, uv.Bottom);
}

void TTexRect::FitTexture() {
    SetImageSizeFromRecord();
    SetUVOfRecord();
}

void TTexRect::SetUVPixels(int32_t left, int32_t top, int32_t right, int32_t bottom) {
    const TTexRec* rec = StoreRecord(TexId);
    if (!rec || rec->TexWidth <= 0 || rec->TexHeight <= 0) return;
    const float tw = static_cast<float>(rec->TexWidth), th = static_cast<float>(rec->TexHeight);
    SetUV(left / tw, top / th, right / tw, bottom / th);
}

void TTexRect::SetUV(float leftU, float topV, float rightU, float bottomV) {
    TVertexDiffuseTex* q = Quad();
    SetUVOf(q[0], leftU, topV);
    SetUVOf(q[1], rightU, topV);
    SetUVOf(q[2], leftU, bottomV);
    SetUVOf(q[3], rightU, bottomV);
}

void TTexRect::ResetUV() {
    SetUV(0, 0, 1, 1);
}

void TTexRect::CenterVertices() {
    SetCorners(-HalfWidth, HalfHeight, HalfWidth, -HalfHeight);
}

void TTexRect::SetPixelPos(int32_t px, int32_t py) {
    ScreenX = px;
    ScreenY = py;
    const float l = CenteredX(px), t = CenteredY(py);
    SetCorners(l, t, l + Width, t - Height);
}

void TTexRect::SetWorldPos(float x, float y) {
    ScreenX = WorldToPixelX(x);
    ScreenY = WorldToPixelY(y);
    SetCorners(x, y, x + Width, y - Height);
}

void TTexRect::SetWorldRect(float x1, float y1, float x2, float y2) {
    SetWidth(x2 - x1);
    SetHeight(std::fabs(y1 - y2));
    ScreenX = WorldToPixelX(x1);
    ScreenY = WorldToPixelY(y2);
    SetCorners(x1, y2, x2, y2 - Height);
}

void TTexRect::SetUVRect(const TUVRect& uv) {
    SetUV(uv.Left, uv.Top, uv.Right, uv.Bottom);
}

void TTexRect::SetColor(uint32_t c) {
    if (c == Color) return;
    Color = c;
    for (int32_t i = 0; i < 4; ++i)
        Quad()[i].Color = c;
    UploadVertices();
}

// ---- TColorRect ---------------------------------------------------------------------------------

TColorRect::TColorRect() {
    SetPrimitiveType(D3DPT_TRIANGLESTRIP);
    SetVertexFormat(vfDiffuse);
    SetVertexCount(4);
    ClearVertices();
    CreateVertexBuffer();
}

void TColorRect::SetRect(int32_t left, int32_t top, int32_t width, int32_t height) {
    SetWidth(width * PixelSize);
    SetHeight(height * PixelSize);
    SetLeft(TableX(left));
    SetTop(TableY(top));
    ScreenX = left;
    ScreenY = top;
    const float l = (left - HalfScreenW()) * PixelSize, t = (HalfScreenH() - top) * PixelSize;
    const float r = l + Width - HalfPixel, b = t - (Height - HalfPixel);
    auto* q = VerticesAs<TVertexDiffuse>();
    const float xs[4] = {l, r, l, r}, ys[4] = {t, t, b, b};
    // Relative to the placement, which the world matrix adds back.
    for (int i = 0; i < 4; ++i) {
        q[i].X = xs[i] - X;
        q[i].Y = ys[i] - Y;
        q[i].Z = 0;
    }
}

void TColorRect::SetSize(float width, float height) {
    SetWidth(width);
    SetHeight(height);
    SetLeft(-HalfWidth);
    SetTop(HalfHeight);
    ScreenX = WorldToPixelX(GetLeft());
    ScreenY = WorldToPixelY(GetTop());
    auto* q = VerticesAs<TVertexDiffuse>();
    const float l = -HalfWidth + HalfPixel, r = HalfWidth + HalfPixel;
    const float t = HalfHeight - HalfPixel, b = -HalfHeight - HalfPixel;
    const float xs[4] = {l, r, l, r}, ys[4] = {t, t, b, b};
    for (int i = 0; i < 4; ++i) {
        q[i].X = xs[i];
        q[i].Y = ys[i];
        q[i].Z = 0;
    }
}

void TColorRect::SetColor(uint32_t c) {
    SetColors(c, c, c, c);
}

// Colours are usually set once after the rectangle; the buffer follows them (and the corners set
// so far) so that the device shows them without the owner uploading, but only when they change.
void TColorRect::SetColors(uint32_t topLeft, uint32_t topRight, uint32_t bottomLeft, uint32_t bottomRight) {
    auto* q = VerticesAs<TVertexDiffuse>();
    const uint32_t colours[4] = {topLeft, topRight, bottomLeft, bottomRight};
    bool changed = false;
    for (int i = 0; i < 4; ++i) {
        changed = changed || q[i].Color != colours[i];
        q[i].Color = colours[i];
    }
    if (changed) UploadVertices();
}

// ---- TTexRect256 --------------------------------------------------------------------------------

TTexRect256::TTexRect256(int32_t pixelLeft, int32_t pixelTop, const std::string& fileName, bool centered,
                         int32_t tileSize)
    : Centered(centered), PixelLeft(pixelLeft), PixelTop(pixelTop), TileSize(tileSize) {
    SetPrimitiveType(D3DPT_TRIANGLELIST);
    SetVertexFormat(vfDiffuseTex);
    FileName = DataFilePath(ToLower(fileName)); // the data folder keeps its own spelling
    SetRectCount();
    RestoreDeviceObjects();
    ShownWidth = ImageWidth;
    ShownHeight = ImageHeight;
}

TTexRect256::~TTexRect256() {
    ReleaseTiles();
}

void TTexRect256::SetRectCount() {
    TTgaHeader header;
    const bool read = ReadTgaHeader(FileName, header);
    const bool tga = FileName.size() >= 4 && FileName.compare(FileName.size() - 4, 4, ".tga") == 0;
    if (!read || !tga || header.Bits() != 32) Report("TTexRect256.SetRectCount: QueryFileFormat failed");
    ImageWidth = read ? header.Width() : 0;
    ImageHeight = read ? header.Height() : 0;
    if (TileSize <= 0) TileSize = 256;
    Cols = (ImageWidth + TileSize - 1) / TileSize;
    Rows = (ImageHeight + TileSize - 1) / TileSize;
    TileCount = Cols * Rows;
    if (TileCount > cMaxTiles) {
        Report("TTexRect256.SetRectCount: Too many tiles \"" + FileName +
               "\"; TileCount=" + std::to_string(TileCount));
        Cols = Rows = TileCount = 0;
    }
}

HRESULT_t TTexRect256::RestoreDeviceObjects() {
    if (!VerticesMade) {
        VerticesMade = true;
        SetVertexCount(Cols * 6 * Rows);
        FillVertices();
        ApplyColor();
    }
    CreateTiles();
    LoadTiles();
    CreateVertexBuffer();
    UploadVertices();
    return 0;
}

void TTexRect256::ReleaseTiles() {
    for (IDirect3DTexture8*& tile : Tiles) {
        if (tile) tile->Release();
        tile = nullptr;
    }
}

void TTexRect256::InvalidateDeviceObjects() {
    TVisual::InvalidateDeviceObjects();
    ReleaseTiles();
}

void TTexRect256::SetLeft(float value) {
    TVisual::SetLeft(value);
    PixelLeft = WorldToPixelX(value);
}

void TTexRect256::SetTop(float value) {
    TVisual::SetTop(value);
    PixelTop = WorldToPixelY(value);
}

void TTexRect256::FillVertices() {
    SetWidth(ImageWidth * PixelSize);
    SetHeight(ImageHeight * PixelSize);
    float left = 0, top = 0;
    if (Centered) {
        left = TableX((ScreenWidth - ImageWidth) / 2);
        top = TableY((ScreenHeight - ImageHeight) / 2);
        SetLeft(left);
        SetTop(top);
    } else {
        left = CenteredX(PixelLeft);
        top = CenteredY(PixelTop);
        const int32_t px = PixelLeft, py = PixelTop;
        SetLeft(TableX(px));
        SetTop(TableY(py));
    }
    // Tiles are stored relative to the placement, which the world matrix adds back.
    left -= X;
    top -= Y;
    auto* v = VerticesAs<TVertexDiffuseTex>();
    const float tile = TileSize * PixelSize;
    for (int32_t r = 0; r < Rows; ++r) {
        const int32_t lastH = ImageHeight % TileSize;
        const int32_t h = (r == Rows - 1 && lastH) ? lastH : TileSize;
        for (int32_t c = 0; c < Cols; ++c) {
            const int32_t lastW = ImageWidth % TileSize;
            const int32_t w = (c == Cols - 1 && lastW) ? lastW : TileSize;
            const float l = left + c * tile, t = top - r * tile;
            const float rr = l + w * PixelSize, b = t - h * PixelSize;
            const float u = static_cast<float>(w) / TileSize, vv = static_cast<float>(h) / TileSize;
            TVertexDiffuseTex* q = v + (r * Cols + c) * 6;
            const float xs[6] = {l, rr, l, rr, l, rr}, ys[6] = {t, t, b, t, b, b};
            const float us[6] = {0, u, 0, u, 0, u}, vs[6] = {0, 0, vv, 0, vv, vv};
            for (int i = 0; i < 6; ++i) {
                SetXY(q[i], xs[i], ys[i]);
                SetUVOf(q[i], us[i], vs[i]);
            }
        }
    }
}

void TTexRect256::SetColor(uint32_t c) {
    if (c == Color) return;
    Color = c;
    ApplyColor();
    UploadVertices();
}

void TTexRect256::ApplyColor() {
    auto* v = VerticesAs<TVertexDiffuseTex>();
    for (int32_t i = 0; i < VertexCount; ++i)
        v[i].Color = Color;
}

void TTexRect256::CreateTiles() {
    ReleaseTiles();
    if (!Device) return;
    for (int32_t i = 0; i < TileCount; ++i)
        CreateTextureDirect(TileSize, TileSize, 0, Tiles[i], D3DPOOL_MANAGED, TextureFormat, 0);
}

void TTexRect256::LoadTiles() {
    if (TileCount == 0) return;
    TTexImage image;
    if (!LoadTexImage(FileName, image)) return;
    if (image.Width != ImageWidth || image.Height != ImageHeight) return;
    for (int32_t r = 0; r < Rows; ++r)
        for (int32_t c = 0; c < Cols; ++c) {
            const int32_t x = c * TileSize, y = r * TileSize;
            CopyToTexture(Tiles[r * Cols + c], image, x, y, std::min(TileSize, ImageWidth - x),
                          std::min(TileSize, ImageHeight - y));
        }
}

void TTexRect256::DrawPrimitives() {
    if (!VertexBuffer) return;
    for (int32_t i = 0; i < TileCount; ++i) {
        ST(0, Tiles[i]);
        Device->DrawPrimitive(D3DPT_TRIANGLELIST, 6 * i, 2);
    }
}

// ---- TTexRecter ---------------------------------------------------------------------------------

TTexRecter::TTexRecter() {
    SetPrimitiveType(D3DPT_TRIANGLELIST);
    SetVertexFormat(vfDiffuseTex);
}

bool TTexRecter::AddRect(int32_t left, int32_t top, const TUVRect& uv, int32_t width, int32_t height,
                         uint32_t color) {
    if (RectCount >= cMaxRecterRects) {
        Report("TTexRecter.AddRect: Too many rectangles; Limit=" + std::to_string(cMaxRecterRects));
        return false;
    }
    Rects[RectCount++] = {left, top, width, height, color, uv};
    return true;
}

void TTexRecter::BuildRects() {
    SetPrimitiveType(D3DPT_TRIANGLELIST);
    SetVertexFormat(vfDiffuseTex);
    SetPrimitiveCount(2 * RectCount);
    ClearVertices();
    CreateVertexBuffer();
    FillVertices();
    UploadVertices();
}

void TTexRecter::FillVertices() {
    auto* v = VerticesAs<TVertexDiffuseTex>();
    const int32_t n = std::min(RectCount, VertexCount / 6);
    for (int32_t i = 0; i < n; ++i) {
        const TRecterRect& rc = Rects[i];
        const float l = TableX(rc.Left), t = TableY(rc.Top);
        const float r = TableX(rc.Left + rc.Width), b = TableY(rc.Top + rc.Height);
        const float xs[6] = {l, r, l, r, l, r}, ys[6] = {t, t, b, t, b, b};
        const float us[6] = {rc.UV.Left, rc.UV.Right, rc.UV.Left, rc.UV.Right, rc.UV.Left, rc.UV.Right};
        const float vs[6] = {rc.UV.Top, rc.UV.Top, rc.UV.Bottom, rc.UV.Top, rc.UV.Bottom, rc.UV.Bottom};
        for (int k = 0; k < 6; ++k) {
            TVertexDiffuseTex& q = v[i * 6 + k];
            SetXY(q, xs[k], ys[k]);
            q.Color = rc.Color;
            SetUVOf(q, us[k], vs[k]);
        }
    }
}

void TTexRecter::Draw() {
    TVisual::Draw();
    ST(0, StoreTexture(TexId));
}

} // namespace velmora
