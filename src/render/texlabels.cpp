#include "render/texlabels.h"

#include "app/device.h"
#include "app/input.h"
#include "app/log.h"
#include "app/options.h"
#include "render/blocks.h"

#include <algorithm>
#include <cmath>

namespace velmora {

namespace {

// Writes six vertices per character of a line from its top-left corner; a character the font
// lacks gets six empty vertices and takes no room.
TVertexDiffuseTex* WriteGlyphs(const TIndexedTextureFont& font, const std::string& line, float left,
                               float top, float spacing, uint32_t color, TVertexDiffuseTex* v) {
    float cursor = left;
    for (char ch : line) {
        const TLetterRec* l = font.GetLetterRec(ch);
        if (l == nullptr) {
            std::fill(v, v + 6, TVertexDiffuseTex{0, 0, 0, 0, 0, 0});
            v += 6;
            cursor += spacing;
            continue;
        }
        const float right = cursor + l->W;
        const float gTop = top - l->Shift;
        const float gBottom = gTop - l->H;
        const TVertexDiffuseTex lt{cursor, gTop, 0, color, l->UV.Left, l->UV.Top};
        const TVertexDiffuseTex rt{right, gTop, 0, color, l->UV.Right, l->UV.Top};
        const TVertexDiffuseTex lb{cursor, gBottom, 0, color, l->UV.Left, l->UV.Bottom};
        const TVertexDiffuseTex rb{right, gBottom, 0, color, l->UV.Right, l->UV.Bottom};
        v[0] = lt;
        v[1] = rt;
        v[2] = lb;
        v[3] = rt;
        v[4] = lb;
        v[5] = rb;
        v += 6;
        cursor += l->W + spacing;
    }
    return v;
}

void WriteColor(TVisual& visual, uint32_t c) {
    TVertexDiffuseTex* v = visual.VerticesAs<TVertexDiffuseTex>();
    for (int32_t i = 0; i < visual.VertexCount; ++i)
        v[i].Color = c;
}

void SetWorldTransform(const TPrior& prior) {
    TMatrix m;
    prior.GetWorldMatrix(m);
    D3DMATRIX world;
    std::copy(&m.m[0][0], &m.m[0][0] + 16, &world.m[0][0]);
    Check(Device->SetTransform(D3DTS_WORLD, &world), "TTexLabel.Draw");
}

void BindStream(TVisual& visual) {
    Check(Device->SetStreamSource(0, visual.VertexBuffer, static_cast<UINT>(visual.VertexSize)),
          "TTexLabel.Draw");
    Check(Device->SetVertexShader(visual.FVF), "TTexLabel.Draw");
}

void ApplyBlock(int32_t no) {
    if (no != 0 && StateBlocks != nullptr) StateBlocks->Apply(no);
}

float SnapToPixel(float v) {
    return std::round(v / PixelSize) * PixelSize;
}

int32_t VertexCountFor(const std::string& text) {
    return 6 * std::max<int32_t>(1, static_cast<int32_t>(text.size()));
}

} // namespace

// ---- TTexLabel ----------------------------------------------------------------------------------

TTexLabel::TTexLabel(TIndexedTextureFont* font, int32_t spacing, const std::string& text)
    : Text(text.empty() ? "?" : text), Font(font), Spacing(static_cast<float>(spacing) * PixelSize) {
    SetPrimitiveType(D3DPT_TRIANGLELIST);
    SetVertexFormat(vfDiffuseTex);
    SetVertexCount(VertexCountFor(Text));
    FillVertices();
    RestoreDeviceObjects();
}

void TTexLabel::FillVertices() {
    if (Font == nullptr || Vertices.empty()) return;
    float w = 0, h = 0;
    Font->GetTextExtent(Text, w, h, Spacing);
    SetWidth(w);
    SetHeight(h);
    WriteGlyphs(*Font, Text, -w / 2, h / 2, Spacing, Color, VerticesAs<TVertexDiffuseTex>());
}

void TTexLabel::SetText(const std::string& s) {
    if (s == Text) return;
    Text = s;
    Visible = !s.empty();
    SetVertexCount(VertexCountFor(Text));
    FillVertices();
    RestoreDeviceObjects();
}

void TTexLabel::Draw() {
    if (Device == nullptr) return;
    BindStream(*this);
    ApplyBlock(Block);
    ST(0, Font != nullptr ? Font->Texture : nullptr);
    SetWorldTransform(*this);
}

void TTexLabel::ApplyColor(uint32_t c) {
    WriteColor(*this, c);
}

void TTexLabel::SetColor(uint32_t c) {
    if (c == Color) return;
    Color = c;
    ApplyColor(c);
    UploadVertices();
}

void TTexLabel::SetPixelPos(int32_t px, int32_t py) {
    SetLeft((static_cast<float>(px) - 0.5f) * PixelSize - ViewHalfWidth);
    SetTop(ViewHalfHeight - (static_cast<float>(py) - 0.5f) * PixelSize);
}

void TTexLabel::SetWorldPosSnapped(float x, float y) {
    SetLeft(ViewLeft + SnapToPixel(x - ViewLeft));
    SetTop(ViewTop - SnapToPixel(ViewTop - y));
}

// ---- TTexLabelEx --------------------------------------------------------------------------------

TTexLabelEx::TTexLabelEx(const TTexLabelExParams& params)
    : Text(params.Text.empty() ? "?" : params.Text), Font(params.Font),
      Spacing(static_cast<float>(params.Spacing) * PixelSize),
      LineSpacing(static_cast<float>(params.LineSpacing) * PixelSize), HAlign(params.HAlign),
      VAlign(params.VAlign) {
    SplitLines();
    SetPrimitiveType(D3DPT_TRIANGLELIST);
    SetVertexFormat(vfDiffuseTex);
    SetVertexCount(VertexCountFor(Text));
    FillVertices();
    RestoreDeviceObjects();
}

void TTexLabelEx::SetText(const std::string& s) {
    const std::string text = s.empty() ? "?" : s;
    if (text == Text) return;
    Text = text;
    SplitLines();
    SetVertexCount(VertexCountFor(Text));
    FillVertices();
    RestoreDeviceObjects();
}

void TTexLabelEx::SplitLines() {
    Lines.clear();
    size_t start = 0;
    for (;;) {
        const size_t lf = Text.find('\n', start);
        if (static_cast<int32_t>(Lines.size()) == cMaxLabelLines) {
            Log("TTexLabelEx.SplitLines: more than 256 lines; the rest is not shown");
            break;
        }
        Lines.push_back(Text.substr(start, lf == std::string::npos ? std::string::npos : lf - start));
        if (lf == std::string::npos) break;
        start = lf + 1;
    }
    LineCount = static_cast<int32_t>(Lines.size());
}

void TTexLabelEx::Layout() {
    LineWidths.assign(Lines.size(), 0.0f);
    LineLefts.assign(Lines.size(), 0.0f);
    LineTops.assign(Lines.size(), 0.0f);
    if (Font == nullptr) return;
    float lineHeight = 0;
    BlockWidth = 0;
    for (size_t i = 0; i < Lines.size(); ++i) {
        Font->GetTextExtent(Lines[i], LineWidths[i], lineHeight, Spacing);
        BlockWidth = std::max(BlockWidth, LineWidths[i]);
    }
    lineHeight = static_cast<float>(Font->LineHeight) * PixelSize;
    BlockHeight = lineHeight * LineCount + static_cast<float>(LineCount - 1) * LineSpacing;
    if (Snap) {
        // An even pixel count keeps half the block on whole pixels too.
        auto evenPixels = [](float v) {
            int32_t n = static_cast<int32_t>(std::lround(v / PixelSize));
            return static_cast<float>(n % 2 != 0 ? n + 1 : n) * PixelSize;
        };
        BlockWidth = evenPixels(BlockWidth);
        BlockHeight = evenPixels(BlockHeight);
    }
    float top = VAlign == 0 ? BlockHeight / 2 : VAlign == 1 ? BlockHeight : 0.0f;
    for (size_t i = 0; i < Lines.size(); ++i) {
        float left = HAlign == 0 ? -LineWidths[i] / 2 : HAlign == 1 ? 0.0f : -LineWidths[i];
        float lineTop = top;
        if (Snap) {
            left = SnapToPixel(left) + HalfPixel;
            lineTop = SnapToPixel(lineTop) + HalfPixel;
        }
        LineLefts[i] = left;
        LineTops[i] = lineTop;
        top -= lineHeight + LineSpacing;
    }
    BoxLeft = Lines.empty() ? 0 : WorldToPixelX(X + LineLefts[0]);
    BoxTop = Lines.empty() ? 0 : WorldToPixelY(Y + LineTops[0]);
    BoxWidth = static_cast<int32_t>(std::lround(BlockWidth / PixelSize));
    BoxHeight = static_cast<int32_t>(std::lround(BlockHeight / PixelSize));
}

void TTexLabelEx::FillVertices() {
    if (Font == nullptr || Vertices.empty()) return;
    Layout();
    SetWidth(BlockWidth);
    SetHeight(BlockHeight);
    TVertexDiffuseTex* v = VerticesAs<TVertexDiffuseTex>();
    TVertexDiffuseTex* const end = v + VertexCount;
    for (size_t i = 0; i < Lines.size(); ++i) {
        v = WriteGlyphs(*Font, Lines[i], LineLefts[i], LineTops[i], Spacing, Color, v);
        // The line feed between two lines keeps its six (empty) vertices.
        if (i + 1 < Lines.size() && v + 6 <= end) {
            std::fill(v, v + 6, TVertexDiffuseTex{0, 0, 0, 0, 0, 0});
            v += 6;
        }
    }
}

void TTexLabelEx::Draw() {
    if (Device == nullptr) return;
    BindStream(*this);
    ApplyBlock(ExBlock1);
    ApplyBlock(ExBlock2);
    ApplyBlock(ExBlock3);
    if (Scaled) ApplyBlock(sbLinearFilter);
    ST(0, Font != nullptr ? Font->Texture : nullptr);
    SetWorldTransform(*this);
}

bool TTexLabelEx::MouseOver() {
    if (Mouse == nullptr) return false;
    const int32_t px = WorldToPixelX(X);
    const int32_t py = WorldToPixelY(Y);
    const int32_t left = HAlign == 0 ? px - BoxWidth / 2 : HAlign == 1 ? px : px - BoxWidth;
    const int32_t top = VAlign == 0 ? py - BoxHeight / 2 : VAlign == 1 ? py - BoxHeight : py;
    return Mouse->InArea(left, top, BoxWidth, BoxHeight);
}

void TTexLabelEx::SetColor(uint32_t c) {
    if (c == Color) return;
    Color = c;
    ApplyColor(c);
    UploadVertices();
}

void TTexLabelEx::ApplyColor(uint32_t c) {
    WriteColor(*this, c);
}

} // namespace velmora
