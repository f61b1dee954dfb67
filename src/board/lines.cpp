// The rule core: lines, their removal and scoring, chains, cascades, collapse and refill, items
// leaving the board, and the count of possible moves.
#include <algorithm>
#include <vector>

#include "app/options.h"
#include "board/collaborators.h"
#include "board/flies.h"
#include "board/net.h"
#include "board/playerlink.h"
#include "engine/random.h"
#include "render/partmaster.h"

namespace velmora {

namespace {

// Pixel offsets of the chain sparks, turned into world units.
float Px(float pixels) {
    return pixels * (PixelSize > 0 ? PixelSize : 2.0f / cLayoutHeight);
}

} // namespace

void TNet::RemoveLines(int32_t x, int32_t y) {
    if (!CellExists(x, y) || Cells.At(x, y).Kind != ckChip) return;
    const int32_t colour = Cells.At(x, y).Value;
    const int32_t cascade = BoardCounters().Cascade;

    const int32_t h = GridRunH(Cells, Info.Width, Info.Height, x, y);
    if (h >= 3) {
        int32_t left = x;
        while (left > 1 && CellExists(left - 1, y) && Cells.At(left - 1, y).Kind == ckChip &&
               Cells.At(left - 1, y).Value == colour)
            --left;
        for (int32_t cx = left; cx < left + h; ++cx) {
            BreakCell(cx, y);
            if (Scores) Scores->AddChipScore(cx, y, cascade, h);
        }
    }
    SetChip(x, y, colour);
    const int32_t v = GridRunV(Cells, Info.Width, Info.Height, x, y);
    if (v >= 3) {
        int32_t top = y;
        while (top > 1 && CellExists(x, top - 1) && Cells.At(x, top - 1).Kind == ckChip &&
               Cells.At(x, top - 1).Value == colour)
            --top;
        for (int32_t cy = top; cy < top + v; ++cy) {
            BreakCell(x, cy);
            if (Scores) Scores->AddChipScore(x, cy, cascade, v);
        }
    }
    if (h >= 3) ClearCell(x, y);
}

void TNet::BreakCell(int32_t x, int32_t y) {
    TCell& cell = Cells.At(x, y);
    BoardCounters().ChipsRemoved += 1;
    const TWorldPoint c = CellCentre(x, y);
    if (NetParticles) NetParticles->BurstAtWorld("@LittleExplosion_In.prt", c.X, c.Y);
    if (cell.Lock <= 0) {
        ExplodeColour(NetParticles, cell.Value, c.X, c.Y);
        ClearCell(x, y);
        return;
    }
    ChainSpark(NetParticles, c.X + Px(19), c.Y + Px(8), c.X - Px(19), c.Y - Px(8));
    if (cell.Lock >= 2) ChainSpark(NetParticles, c.X - Px(19), c.Y + Px(10), c.X + Px(19), c.Y - Px(10));
    cell.Lock = cell.Lock >= 2 ? 1 : 0;
    BoardPlaySample("MatchLock");
}

void TNet::ResolveMatches() {
    TLevelCounters& counters = BoardCounters();
    counters.Cascade += 1;
    counters.BestCascade = std::max(counters.BestCascade, counters.Cascade);
    for (;;) {
        int32_t best = 0, bestX = 0, bestY = 0;
        for (int32_t y = 1; y <= Info.Height; ++y)
            for (int32_t x = 1; x <= Info.Width; ++x) {
                int32_t count = 0;
                if (CheckLine(Cells, x, y, count) && count > best) {
                    best = count;
                    bestX = x;
                    bestY = y;
                }
            }
        if (best == 0) break;
        if (Cells.At(bestX, bestY).Fly) EndFly(bestX, bestY);
        RemoveLines(bestX, bestY);
    }
    SetAState(asIdle);
    Collapse();
}

void TNet::Collapse() {
    StopAnimations();
    DropOutItems();
    bool anyEmpty = false;
    for (int32_t x = 1; x <= Info.Width && !anyEmpty; ++x)
        for (int32_t y = 1; y <= Info.Height; ++y)
            if (Cells.At(x, y).Kind == ckEmpty) {
                anyEmpty = true;
                break;
            }
    if (!anyEmpty) return;
    BoardCounters().Falls += 1;
    SetAState(asFall);
    for (int32_t x = 1; x <= Info.Width; ++x)
        CollapseColumn(x);
}

// Contents fall into the column's free places; blank cells and holes stay where they are and are
// passed over, so a content never lands on one. New chips come in from above the column's top.
void TNet::CollapseColumn(int32_t x) {
    std::vector<int32_t> places; // rows that can hold a content, bottom first
    for (int32_t y = Info.Height; y >= 1; --y) {
        const uint8_t k = Cells.At(x, y).Kind;
        if (k != ckNone && k != ckBlank) places.push_back(y);
    }
    if (places.empty()) return;
    int32_t top = 1;
    while (Cells.At(x, top).Kind == ckNone)
        ++top;

    size_t filled = 0; // places[0..filled) already hold their final content
    for (size_t i = 0; i < places.size(); ++i) {
        const int32_t y = places[i];
        if (Cells.At(x, y).Kind == ckEmpty) continue;
        if (i != filled) MoveCellDown(x, y, places[filled]);
        ++filled;
    }
    const int32_t gaps = static_cast<int32_t>(places.size() - filled);
    for (int32_t i = 1; i <= gaps; ++i) {
        const int32_t target = places[places.size() - static_cast<size_t>(gaps - i) - 1];
        MoveCellDown(x, top - i, target);
    }
}

void TNet::MoveCellDown(int32_t x, int32_t fromY, int32_t toY) {
    TCell& target = Cells.At(x, toY);
    if (!CellExists(x, fromY)) {
        target.Kind = ckChip;
        target.Value = RandomColor(0);
        target.Lock = 0;
        target.Mark = 0;
    } else {
        const TCell& source = Cells.At(x, fromY);
        target.Kind = source.Kind;
        target.Value = source.Value;
        target.Lock = source.Lock;
        target.Mark = 0;
        ClearCell(x, fromY);
    }
    SetFly(x, toY, Add(new TFallChip(x, fromY, x, toY)));
}

void TNet::DropOutCell(int32_t x, int32_t y) {
    TCell& cell = Cells.At(x, y);
    TLevelCounters& counters = BoardCounters();
    if (cell.Kind == ckSlice) {
        counters.SlicesDropped += 1;
        Add(new TFallenArt(x, cell.Value, cell.Kind, y));
        ClearCell(x, y);
        if (Timer) Timer->AddSeconds(5);
        return;
    }
    counters.BonusesDropped += 1;
    switch (cell.Value) {
    case 1:
    case 2:
    case 3:
    case 4:
        Add(new TFallenVisBonus(x, cell.Value, cell.Kind, y));
        break;
    case 5:
        Add(new TFallenBonusMoney(x, cell.Value, cell.Kind, y));
        break;
    case 6:
    case 7:
        Add(new TFallenBonusXX(x, cell.Value, cell.Kind, y));
        break;
    case 8:
        Add(new TFallenBonusAngryChip(x, cell.Value, cell.Kind, y));
        break;
    default:
        break;
    }
    ClearCell(x, y);
}

void TNet::DropOutItems() {
    for (int32_t x = 1; x <= Info.Width; ++x)
        for (int32_t y = Info.Height; y >= 1; --y) {
            const TCell& cell = Cells.At(x, y);
            if (cell.Fly || (cell.Kind != ckSlice && cell.Kind != ckBonus)) continue;
            const bool atBottom = y == Info.Height || Cells.At(x, y + 1).Kind == ckNone;
            if (atBottom) DropOutCell(x, y);
        }
}

int32_t TNet::CountMoves(bool allowItems, int32_t& x1, int32_t& y1, int32_t& x2, int32_t& y2) const {
    struct TPair {
        int32_t X1, Y1, X2, Y2;
    };
    std::vector<TPair> found;
    TCellGrid copy = Cells;
    auto tryPair = [&](int32_t ax, int32_t ay, int32_t bx, int32_t by) {
        if (!CellExists(bx, by) || !CanMove(ax, ay, allowItems) || !CanMove(bx, by, allowItems)) return;
        std::swap(copy.At(ax, ay), copy.At(bx, by));
        int32_t count = 0;
        if (CheckLine(copy, ax, ay, count) || CheckLine(copy, bx, by, count))
            found.push_back({ax, ay, bx, by});
        std::swap(copy.At(ax, ay), copy.At(bx, by));
    };
    for (int32_t y = 1; y <= Info.Height; ++y)
        for (int32_t x = 1; x <= Info.Width; ++x) {
            if (!CellExists(x, y)) continue;
            tryPair(x, y, x + 1, y);
            tryPair(x, y, x, y + 1);
        }
    if (!found.empty()) {
        const TPair& p = found[static_cast<size_t>(RandomInt(static_cast<int32_t>(found.size())))];
        x1 = p.X1;
        y1 = p.Y1;
        x2 = p.X2;
        y2 = p.Y2;
    }
    return static_cast<int32_t>(found.size());
}

int32_t TNet::CountMoves(bool allowItems) const {
    int32_t x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    return CountMoves(allowItems, x1, y1, x2, y2);
}

} // namespace velmora
