// Composite controls cut from one atlas and laid out by a ".dscr" description: the pieces are read
// once, the owner chooses which piece each drawing slot shows, and all visible slots draw in one call.
#pragma once

#include <cstdint>
#include <string>

#include "render/visual.h"

namespace velmora {

constexpr int32_t MaxTexMultiRectRects = 128;

struct TMultiRectPiece {
    TUVRect World; // left, top, right, bottom in world units (top above bottom)
    TUVRect UV;
};

class TTexMultiRect : public TVisual {
  public:
    TTexMultiRect(int32_t slotCount, const std::string& fileName);

    void FillVertices() override;   // FillSlots, then upload the slots' primitives
    void DrawPrimitives() override; // the slots drawn by the last fill
    void Draw() override;
    const char* ClassName() const override { return "TTexMultiRect"; }

    virtual bool ReadDscr(const std::string& fileName); // 23
    virtual void FillSlots();                           // 24
    virtual void SetSlot(int32_t slot, int32_t piece);  // 25: both counted from 1

    uint32_t Color = 0xFFFFFFFF;
    int32_t TexId = 0;
    int32_t RectCount = 0;
    int32_t SlotCount = 0;
    // Index 0 unused: pieces and slots are numbered from 1.
    int32_t AtlasRects[MaxTexMultiRectRects + 1][4] = {};
    TMultiRectPiece Pieces[MaxTexMultiRectRects + 1] = {};
    TMultiRectPiece Slots[MaxTexMultiRectRects + 1] = {};
    bool SlotVisible[MaxTexMultiRectRects + 1] = {};
    int32_t DrawnCount = 0;
    int32_t LastPiece = 0;
};

} // namespace velmora
