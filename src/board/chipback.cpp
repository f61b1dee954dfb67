// TChipBack: the backing under the board's cells and the frame tiles around any board shape.
#include <algorithm>

#include "app/log.h"
#include "board/gamevis.h"
#include "app/device.h"
#include "board/net.h"
#include "render/blocks.h"
#include "render/tex.h"

namespace velmora {

TChipBack* ChipBack = nullptr;

namespace {

bool IsBoard(const TCellGrid& cells, int32_t w, int32_t h, int32_t x, int32_t y) {
    if (x < 1 || x > w || y < 1 || y > h) return false;
    const uint8_t kind = cells.At(x, y).Kind;
    return kind != ckNone && kind != ckEmpty;
}

struct TAround {
    bool Up, Right, Down, Left;
    bool UpRight, DownRight, DownLeft, UpLeft;
};

int32_t EdgeTiles(const TAround& a, int32_t* out) {
    int32_t n = 0;
    if (a.Up) out[n++] = 10;
    if (a.Right) out[n++] = 11;
    if (a.Down) out[n++] = 12;
    if (a.Left) out[n++] = 13;
    return n;
}

int32_t CornerTiles(const TAround& a, int32_t* out) {
    int32_t n = 0;
    if (a.UpRight && !a.Up && !a.Right) out[n++] = 14;
    if (a.DownRight && !a.Right && !a.Down) out[n++] = 15;
    if (a.DownLeft && !a.Down && !a.Left) out[n++] = 16;
    if (a.UpLeft && !a.Left && !a.Up) out[n++] = 17;
    return n;
}

int32_t TwoSidesTile(const TAround& a) {
    if (a.Up && a.Right) return 6;
    if (a.Up && a.Left) return 7;
    if (a.Right && a.Down) return 8;
    if (a.Down && a.Left) return 9;
    return 0; // opposite sides: one edge tile each
}

int32_t ThreeSidesTile(const TAround& a) {
    if (!a.Left) return 2;
    if (!a.Down) return 3;
    if (!a.Right) return 4;
    return 5;
}

} // namespace

int32_t BackTilesAt(const TCellGrid& cells, int32_t w, int32_t h, int32_t x, int32_t y, int32_t (&tiles)[4]) {
    if (IsBoard(cells, w, h, x, y)) {
        tiles[0] = cells.At(x, y).Kind == ckBlank ? 19 : 18;
        return 1;
    }
    auto at = [&](int32_t dx, int32_t dy) { return IsBoard(cells, w, h, x + dx, y + dy); };
    const TAround a{at(0, -1), at(1, 0), at(0, 1), at(-1, 0), at(1, -1), at(1, 1), at(-1, 1), at(-1, -1)};
    const int32_t sides = a.Up + a.Right + a.Down + a.Left;
    switch (sides) {
    case 4:
        tiles[0] = 1;
        return 1;
    case 3:
        tiles[0] = ThreeSidesTile(a);
        return 1;
    case 2:
        if (const int32_t t = TwoSidesTile(a)) {
            tiles[0] = t;
            return 1;
        }
        return EdgeTiles(a, tiles);
    case 1: {
        const int32_t n = EdgeTiles(a, tiles);
        return n + CornerTiles(a, tiles + n);
    }
    default:
        return CornerTiles(a, tiles);
    }
}

TChipBack::TChipBack() {
    ChipBack = this;
    SetPrimitiveType(D3DPT_TRIANGLELIST);
    SetVertexFormat(vfDiffuseTex);
    Block1 = sbTexAlpha;
}

TChipBack::~TChipBack() {
    if (ChipBack == this) ChipBack = nullptr;
}

void TChipBack::Build() {
    if (!Net || !VisNet) {
        Log("TChipBack.Build: the board or its visual does not exist yet");
        return;
    }
    BuildFor(Net->Cells, Net->Info.Width, Net->Info.Height, *VisNet);
}

void TChipBack::BuildFor(const TCellGrid& cells, int32_t width, int32_t height, const TVisNet& geometry) {
    Tiles.clear();
    for (int32_t y = 0; y <= height + 1; ++y)
        for (int32_t x = 0; x <= width + 1; ++x) {
            int32_t found[4];
            const int32_t n = BackTilesAt(cells, width, height, x, y, found);
            for (int32_t i = 0; i < n && Tiles.size() < static_cast<size_t>(cMaxBackTiles); ++i) {
                TileCentre[Tiles.size()] = geometry.Centre(x, y);
                Tiles.push_back({found[i], x, y});
            }
        }
    // An empty board still keeps one (unused) quad so the buffer exists.
    SetPrimitiveCount(2 * std::max<int32_t>(1, static_cast<int32_t>(Tiles.size())));
    FillVertices();
    CreateVertexBuffer();
    UploadVertices();
}

void TChipBack::FillVertices() {
    auto* v = VerticesAs<TVertexDiffuseTex>();
    const float half = PixelsToWorld(cChipPixels / 2.0f), down = PixelsToWorld(1);
    for (size_t i = 0; i < Tiles.size(); ++i, v += 6) {
        const TUVRect uv =
            Tiles[i].Tile >= 1 && Tiles[i].Tile <= 36 ? FieldsUV[Tiles[i].Tile - 1] : TUVRect{};
        const float x = TileCentre[i].X, y = TileCentre[i].Y - down;
        const float l = x - half, r = x + half, t = y + half, b = y - half;
        const TVertexDiffuseTex q[6] = {
            {l, t, 0, Color, uv.Left, uv.Top},     {r, t, 0, Color, uv.Right, uv.Top},
            {l, b, 0, Color, uv.Left, uv.Bottom},  {r, t, 0, Color, uv.Right, uv.Top},
            {r, b, 0, Color, uv.Right, uv.Bottom}, {l, b, 0, Color, uv.Left, uv.Bottom}};
        std::copy(std::begin(q), std::end(q), v);
    }
}

void TChipBack::SetColor(uint32_t c) {
    if (c == Color) return;
    Color = c;
    auto* v = VerticesAs<TVertexDiffuseTex>();
    for (int32_t i = 0; i < VertexCount; ++i)
        v[i].Color = c;
    UploadVertices();
    // Translucent while fading; opaque draws with the sheet's own alpha.
    Block1 = (c >> 24) < 255 ? sbTexModAlpha : sbTexAlpha;
}

void TChipBack::DrawPrimitives() {
    if (!VertexBuffer || !Device || Tiles.empty()) return;
    ST(0, TexArr ? TexArr->Texture(tiFields) : nullptr);
    Device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 2 * static_cast<int32_t>(Tiles.size()));
}

} // namespace velmora
