#include "render/multirect.h"

#include <algorithm>

#include "app/log.h"
#include "app/textfile.h"
#include "platform/files.h"
#include "app/device.h"
#include "render/blocks.h"

namespace velmora {

namespace {

enum TDscrSection { dsNone, dsHead, dsBody };

constexpr int32_t cMaxDscrPixels = 1 << 20;

// Numbers separated by single spaces; a missing or malformed field reads as 0.
void ReadFields(const std::string& line, int32_t* out, int32_t count) {
    size_t pos = 0;
    for (int32_t i = 0; i < count; ++i) {
        if (pos >= line.size()) {
            out[i] = 0;
            continue;
        }
        const size_t end = line.find(' ', pos);
        // Pixel positions and sizes: a damaged value is held where sums of two cannot overflow.
        out[i] = std::clamp(ParseInt(std::string_view(line).substr(
                                pos, end == std::string::npos ? std::string::npos : end - pos)),
                            -cMaxDscrPixels, cMaxDscrPixels);
        pos = end == std::string::npos ? line.size() : end + 1;
    }
}

} // namespace

TTexMultiRect::TTexMultiRect(int32_t slotCount, const std::string& fileName) {
    if (slotCount < 0 || slotCount > MaxTexMultiRectRects) {
        Report("TTexMultiRect.Create: SlotCount>MaxTexMultiRectRects; SlotCount=" +
               std::to_string(slotCount));
        slotCount = slotCount < 0 ? 0 : MaxTexMultiRectRects;
    }
    SlotCount = slotCount;
    if (FileExists(fileName)) ReadDscr(fileName);
    SetPrimitiveType(D3DPT_TRIANGLELIST);
    SetVertexFormat(vfDiffuseTex);
    SetVertexCount(SlotCount * 6);
    ClearVertices();
    CreateVertexBuffer();
    Block1 = sbTexture;
    Color = 0xFFFFFFFF;
    for (bool& v : SlotVisible)
        v = true;
}

bool TTexMultiRect::ReadDscr(const std::string& fileName) {
    std::vector<std::string> lines;
    if (!FileExists(fileName) || !ReadTextLines(ResolvePath(fileName), lines)) {
        Report("TTexMultiRect.ReadDscr: File not exists \"" + fileName + "\"");
        RectCount = 0;
        return false;
    }
    TDscrSection section = dsNone;
    float atlasW = 1, atlasH = 1;
    int32_t piece = 1;
    bool tooMany = false;
    for (const std::string& line : lines) {
        if (IsCommentLine(line) || Trim(line).empty()) continue;
        if (line[0] == '[') {
            if (line == "[Head]") section = dsHead;
            if (line == "[Body]") section = dsBody;
            continue;
        }
        if (section == dsHead) {
            int32_t v[2];
            ReadFields(line, v, 2);
            atlasW = static_cast<float>(v[0]);
            atlasH = static_cast<float>(v[1]);
        } else if (section == dsBody) {
            if (piece > MaxTexMultiRectRects) {
                tooMany = true;
                continue;
            }
            int32_t v[6];
            ReadFields(line, v, 6);
            const int32_t x = v[0], y = v[1], w = v[2], h = v[3], sx = v[4], sy = v[5];
            AtlasRects[piece][0] = x;
            AtlasRects[piece][1] = y;
            AtlasRects[piece][2] = w;
            AtlasRects[piece][3] = h;
            // A zero atlas size would divide by zero: such UVs stay at 0.
            const auto u = [](float px, float size) { return size != 0 ? px / size : 0.0f; };
            Pieces[piece].UV = {u(x, atlasW), u(y, atlasH), u(x + w, atlasW), u(y + h, atlasH)};
            Pieces[piece].World = {TableX(sx), TableY(sy), TableX(sx + w), TableY(sy + h)};
            ++piece;
        }
    }
    if (tooMany) Report("TTexMultiRect.ReadDscr: HidRectCount>MaxTexMultiRectRects");
    RectCount = piece - 1;
    return true;
}

void TTexMultiRect::SetSlot(int32_t slot, int32_t piece) {
    if (slot < 1 || slot > MaxTexMultiRectRects || piece < 1 || piece > MaxTexMultiRectRects) return;
    Slots[slot] = Pieces[piece];
    LastPiece = piece;
}

void TTexMultiRect::FillSlots() {
    DrawnCount = 0;
    auto* v = VerticesAs<TVertexDiffuseTex>();
    for (int32_t s = 1; s <= SlotCount; ++s) {
        if (!SlotVisible[s]) continue;
        const TUVRect& w = Slots[s].World;
        const TUVRect& uv = Slots[s].UV;
        const float xs[6] = {w.Left, w.Right, w.Left, w.Right, w.Left, w.Right};
        const float ys[6] = {w.Top, w.Top, w.Bottom, w.Top, w.Bottom, w.Bottom};
        const float us[6] = {uv.Left, uv.Right, uv.Left, uv.Right, uv.Left, uv.Right};
        const float vs[6] = {uv.Top, uv.Top, uv.Bottom, uv.Top, uv.Bottom, uv.Bottom};
        TVertexDiffuseTex* q = v + DrawnCount * 6;
        for (int k = 0; k < 6; ++k)
            q[k] = {xs[k], ys[k], 0, Color, us[k], vs[k]};
        ++DrawnCount;
    }
}

void TTexMultiRect::FillVertices() {
    FillSlots();
    UploadPrimitives(2 * SlotCount);
}

void TTexMultiRect::DrawPrimitives() {
    if (!VertexBuffer || DrawnCount <= 0) return;
    Device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 2 * DrawnCount);
}

void TTexMultiRect::Draw() {
    TVisual::Draw();
    ST(0, TexArr ? TexArr->Texture(TexId) : nullptr);
}

} // namespace velmora
