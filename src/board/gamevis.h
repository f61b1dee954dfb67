// The board's visuals as far as the rules need them: the cell geometry and the three draw lists of
// TVisNet, the hover/selection rectangles, and the art master's board slices. The drawing itself
// (vertex buffers, textures, glows) is completed by the board-visuals owner on top of these.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/basic.h"

namespace velmora {

struct TWorldPoint {
    float X = 0, Y = 0;
};

// World position of the centre of cell (x, y) for a board whose cell (1, 1) has its top-left
// corner at pixel (left, top). Cells are 40 pixels.
TWorldPoint CellCentreAt(int32_t left, int32_t top, int32_t x, int32_t y);

struct TChipEntry {
    int32_t Picture = 0; // colour + 12 x variant
    float Opacity = 1;
    TWorldPoint Pos;
};
struct TBonusEntry {
    int32_t Code = 0;
    float Opacity = 1;
    TWorldPoint Pos;
};
struct TChainEntry {
    int32_t Locks = 0;
    TWorldPoint Pos;
};

class TVisNet : public TMaster {
  public:
    TVisNet(int32_t left, int32_t top);
    ~TVisNet() override;
    const char* ClassName() const override { return "TVisNet"; }

    void ClearLists();
    void AddChip(int32_t colour, int32_t locks, float opacity, int32_t variant, TWorldPoint pos);
    void AddBonus(TWorldPoint pos, int32_t code, float opacity);
    void PointToCell(int32_t px, int32_t py, int32_t& x, int32_t& y) const;
    TWorldPoint Centre(int32_t x, int32_t y) const; // rows -32..32, columns 1..32

    int32_t Left = 0, Top = 0;
    std::vector<TChipEntry> Chips;
    std::vector<TBonusEntry> Bonuses;
    std::vector<TChainEntry> Chains;
    bool Dirty = false;
    TWorldPoint CellCentre[33][65]; // [X][Y + 32]
};

extern TVisNet* VisNet;

class TActiveRects : public TMaster {
  public:
    TActiveRects();
    ~TActiveRects() override;
    const char* ClassName() const override { return "TActiveRects"; }

    void ShowHover(int32_t x, int32_t y);
    void ShowSelect(int32_t x, int32_t y);
    void HideHover() { HoverShown = false; }
    void HideSelect() { SelectShown = false; }

    bool HoverShown = false, SelectShown = false;
    int32_t HoverX = 0, HoverY = 0, SelectX = 0, SelectY = 0;
};

extern TActiveRects* ActiveRects;

// A slice of the artefact picture. On the board it is moved to its cell by the board every frame.
class TSlice : public TMaster {
  public:
    explicit TSlice(int32_t number) : Number(number) {}
    const char* ClassName() const override { return "TSlice"; }

    void MoveTo(float x, float y) {
        PosX = x;
        PosY = y;
    }
    void SetAlpha(float a) { Alpha = a; }
    void Place();

    int32_t Number = 0;
    float PosX = 0, PosY = 0, Alpha = 1;
    bool Placed = false;
    bool Hidden = false;
};

class TArtMaster : public TStater {
  public:
    TArtMaster();
    ~TArtMaster() override;
    const char* ClassName() const override { return "TArtMaster"; }

    // Creates board slices 1..count (all on the board).
    void SetSlices(int32_t count);
    TSlice* Slice(int32_t number) const;

    std::vector<TSlice*> Slices; // [0] unused
    int32_t SliceCount = 0;
    int32_t SlicesLeft = 0;
};

extern TArtMaster* ArtMaster;

class TGamePartMaster;
// The colour explosion of a removed chip, at a world position.
void ExplodeColour(TGamePartMaster* master, int32_t colour, float x, float y);
// The spark of a broken chain: a one-shot trail emitted along the segment (world units).
void ChainSpark(TGamePartMaster* master, float x1, float y1, float x2, float y2);

} // namespace velmora
