// Text on screen: TTexLabel draws one line centred on its placement point, TTexLabelEx several
// lines with horizontal and vertical alignment, kept on whole pixels.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "render/itf.h"
#include "render/visual.h"

namespace velmora {

class TTexLabel : public TVisual {
  public:
    // Spacing in pixels between glyphs; an empty text shows "?".
    TTexLabel(TIndexedTextureFont* font, int32_t spacing, const std::string& text);

    void Draw() override;
    void FillVertices() override;
    const char* ClassName() const override { return "TTexLabel"; }

    virtual void ApplyColor(uint32_t c);               // 23
    virtual void SetColor(uint32_t c);                 // 24: uploads only when the colour changes
    virtual void SetPixelPos(int32_t px, int32_t py);  // 25: top-left corner at a pixel
    virtual void SetWorldPosSnapped(float x, float y); // 26: top-left corner at the nearest pixel corner

    void SetText(const std::string& s); // an empty text hides the label

    std::string Text;
    TIndexedTextureFont* Font = nullptr; // not owned
    float Spacing = 0;                   // world units
    int32_t Block = 19;                  // sbTexAlpha
    uint32_t Color = 0xFFFFFFFF;
};

struct TTexLabelExParams {
    TIndexedTextureFont* Font = nullptr;
    int32_t Spacing = 0;     // pixels
    int32_t LineSpacing = 0; // pixels
    uint8_t HAlign = 0;      // 0 centre, 1 left edge at the point, 2 right edge at it
    uint8_t VAlign = 0;      // 0 centred, 1 above the point, 2 below it
    std::string Text;        // lines separated by line feeds
};

constexpr int32_t cMaxLabelLines = 256;

class TTexLabelEx : public TVisual {
  public:
    explicit TTexLabelEx(const TTexLabelExParams& params);

    void Draw() override;
    bool MouseOver() override;
    void FillVertices() override;
    const char* ClassName() const override { return "TTexLabelEx"; }

    virtual void SetColor(uint32_t c);   // 23: uploads only when the colour changes
    virtual void ApplyColor(uint32_t c); // 24

    // Replaces the text and lays it out again (an empty text shows "?").
    void SetText(const std::string& s);
    void SplitLines();
    // Places every line; LineLefts/LineTops get the corners (world units, relative to X, Y).
    void Layout();

    std::vector<std::string> Lines; // at most cMaxLabelLines
    int32_t LineCount = 0;
    std::string Text;
    TIndexedTextureFont* Font = nullptr; // not owned
    float Spacing = 0, LineSpacing = 0;  // world units
    uint8_t HAlign = 0, VAlign = 0;
    int32_t ExBlock1 = 19, ExBlock2 = 0, ExBlock3 = 0;
    uint32_t Color = 0xFFFFFFFF;
    bool Snap = true;
    int32_t BoxLeft = 0, BoxTop = 0, BoxWidth = 0, BoxHeight = 0; // pixels
    float BlockWidth = 0, BlockHeight = 0;                        // world units, after Layout
    std::vector<float> LineWidths, LineLefts, LineTops;
};

} // namespace velmora
