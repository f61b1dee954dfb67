// The board's cell record, its fixed stored layout and the line test that both the level reader
// and the rules use. Kept apart from TNet so the reader can work on a scratch grid.
#pragma once

#include <cstddef>
#include <cstdint>

namespace velmora {

enum TCellKind : uint8_t { ckEmpty = 0, ckNone = 1, ckChip = 2, ckBlank = 3, ckSlice = 4, ckBonus = 5 };

constexpr int32_t cMaxNetSize = 32;
constexpr int32_t cMaxColors = 10;

// One grid cell. The record is saved byte for byte in the player record, so its layout is fixed:
// Fly is a 4-byte handle (the serial of the animation object), 0 = none, always 0 when saved.
struct TCell {
    uint8_t Kind = ckNone;
    uint8_t Pad1[3] = {0, 0, 0};
    int32_t Value = 0;
    uint32_t Fly = 0;
    uint8_t Mark = 0;
    uint8_t Pad2[3] = {0, 0, 0};
    int32_t Back = 0;
    int32_t Lock = 0;
};
static_assert(sizeof(TCell) == 24);
static_assert(offsetof(TCell, Kind) == 0 && offsetof(TCell, Value) == 4 && offsetof(TCell, Fly) == 8);
static_assert(offsetof(TCell, Mark) == 12 && offsetof(TCell, Back) == 16 && offsetof(TCell, Lock) == 20);

// [X][Y], both 0-based in storage; the rules speak 1-based, see At().
struct TCellGrid {
    TCell C[cMaxNetSize][cMaxNetSize];

    TCell& At(int32_t x, int32_t y) { return C[x - 1][y - 1]; }
    const TCell& At(int32_t x, int32_t y) const { return C[x - 1][y - 1]; }
};
static_assert(sizeof(TCellGrid) == 24576);

// Inside width x height and not a hole.
bool GridCellExists(const TCellGrid& g, int32_t w, int32_t h, int32_t x, int32_t y);

// Three or more chips of one colour through (x, y), horizontally or vertically. Count := H + V
// on success, 0 on failure; left alone when (x, y) holds no chip.
bool GridCheckLine(const TCellGrid& g, int32_t w, int32_t h, int32_t x, int32_t y, int32_t& count);

// Lengths of the runs of the pivot's colour through (x, y).
int32_t GridRunH(const TCellGrid& g, int32_t w, int32_t h, int32_t x, int32_t y);
int32_t GridRunV(const TCellGrid& g, int32_t w, int32_t h, int32_t x, int32_t y);

} // namespace velmora
