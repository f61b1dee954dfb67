#include "board/cells.h"

#include <algorithm>

namespace velmora {

bool GridCellExists(const TCellGrid& g, int32_t w, int32_t h, int32_t x, int32_t y) {
    return x >= 1 && x <= w && y >= 1 && y <= h && g.At(x, y).Kind != ckNone;
}

namespace {

bool Matches(const TCellGrid& g, int32_t w, int32_t h, int32_t x, int32_t y, int32_t colour) {
    if (!GridCellExists(g, w, h, x, y)) return false;
    const TCell& c = g.At(x, y);
    return c.Kind == ckChip && c.Value == colour;
}

int32_t RunLength(const TCellGrid& g, int32_t w, int32_t h, int32_t x, int32_t y, int32_t dx, int32_t dy) {
    const int32_t colour = g.At(x, y).Value;
    int32_t n = 1;
    for (int32_t i = 1; Matches(g, w, h, x - dx * i, y - dy * i, colour); ++i)
        ++n;
    for (int32_t i = 1; Matches(g, w, h, x + dx * i, y + dy * i, colour); ++i)
        ++n;
    return n;
}

} // namespace

int32_t GridRunH(const TCellGrid& g, int32_t w, int32_t h, int32_t x, int32_t y) {
    return RunLength(g, w, h, x, y, 1, 0);
}

int32_t GridRunV(const TCellGrid& g, int32_t w, int32_t h, int32_t x, int32_t y) {
    return RunLength(g, w, h, x, y, 0, 1);
}

bool GridCheckLine(const TCellGrid& g, int32_t w, int32_t h, int32_t x, int32_t y, int32_t& count) {
    if (!GridCellExists(g, w, h, x, y) || g.At(x, y).Kind != ckChip) return false;
    const int32_t hr = GridRunH(g, w, h, x, y);
    const int32_t vr = GridRunV(g, w, h, x, y);
    if (std::max(hr, vr) >= 3) {
        count = hr + vr;
        return true;
    }
    count = 0;
    return false;
}

} // namespace velmora
