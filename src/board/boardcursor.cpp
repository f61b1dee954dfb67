#include "board/boardcursor.h"

#include <cmath>
#include <cstdlib>

#include "app/input.h"
#include "board/collaborators.h"
#include "board/net.h"
#include "platform/win32.h"
#include "render/blocks.h"
#include "render/visual.h"

namespace velmora {

TBoardCursor* BoardCursor = nullptr;

namespace {

constexpr uint32_t cCursorGold = 0xFFD040;    // the gold of hovered captions
constexpr int32_t cEdgePixels = 3;            // the frame keeps to the cell's rim, off the chip's symbol
constexpr uint32_t cCursorShade = 0xA0201404; // the dark line outside the gold
constexpr float cPulseSpeed = 0.1f;           // radians per Delta: about one pulse a second

struct TKeyRole {
    uint16_t Key;
    TCursorKey Role;
};
constexpr TKeyRole cKeyRoles[] = {
    {VK_UP, bkUp},      {'W', bkUp},         {VK_DOWN, bkDown},     {'S', bkDown},
    {VK_LEFT, bkLeft},  {'A', bkLeft},       {VK_RIGHT, bkRight},   {'D', bkRight},
    {VK_SPACE, bkPick}, {VK_RETURN, bkPick}, {VK_ESCAPE, bkCancel},
};

int32_t Sign(int32_t v) {
    return (v > 0) - (v < 0);
}

} // namespace

TCursorKey CursorKeyOf(uint16_t key) {
    for (const TKeyRole& r : cKeyRoles)
        if (r.Key == key) return r.Role;
    return bkNone;
}

bool CursorCanStand(const TNet& net, int32_t x, int32_t y) {
    return net.CellExists(x, y) && net.Cells.At(x, y).Back != 0;
}

bool CursorHome(const TNet& net, int32_t& x, int32_t& y) {
    const int32_t cx = (net.Info.Width + 1) / 2, cy = (net.Info.Height + 1) / 2;
    if (CursorCanStand(net, cx, cy)) {
        x = cx;
        y = cy;
        return true;
    }
    int32_t best = -1;
    for (int32_t j = 1; j <= net.Info.Height; ++j)
        for (int32_t i = 1; i <= net.Info.Width; ++i) {
            const int32_t d = (i - cx) * (i - cx) + (j - cy) * (j - cy);
            if (!CursorCanStand(net, i, j) || (best >= 0 && d >= best)) continue;
            best = d;
            x = i;
            y = j;
        }
    return best >= 0;
}

bool CursorStep(const TNet& net, int32_t& x, int32_t& y, int32_t dx, int32_t dy) {
    dx = Sign(dx);
    dy = Sign(dy);
    if (dx == 0 && dy == 0) return false;
    for (int32_t nx = x + dx, ny = y + dy;
         nx >= 1 && ny >= 1 && nx <= net.Info.Width && ny <= net.Info.Height; nx += dx, ny += dy)
        if (CursorCanStand(net, nx, ny)) {
            x = nx;
            y = ny;
            return true;
        }
    // Nothing on the line: the nearest cell ahead, leaning to the line (a side step costs double).
    int32_t best = -1, bestAcross = 0, bx = x, by = y;
    for (int32_t j = 1; j <= net.Info.Height; ++j)
        for (int32_t i = 1; i <= net.Info.Width; ++i) {
            const int32_t along = dx != 0 ? (i - x) * dx : (j - y) * dy;
            const int32_t across = dx != 0 ? std::abs(j - y) : std::abs(i - x);
            if (along <= 0 || !CursorCanStand(net, i, j)) continue;
            const int32_t cost = along + 2 * across;
            if (best >= 0 && (cost > best || (cost == best && across >= bestAcross))) continue;
            best = cost;
            bestAcross = across;
            bx = i;
            by = j;
        }
    if (best < 0) return false;
    x = bx;
    y = by;
    return true;
}

// ---- TBoardCursor -------------------------------------------------------------------------------

TBoardCursor::TBoardCursor() {
    BoardCursor = this;
    for (TColorRect*& e : Edge) {
        e = Add(new TColorRect());
        e->Block1 = sbDiffuseAlpha;
        e->Visible = false;
    }
}

TBoardCursor::~TBoardCursor() {
    if (BoardCursor == this) BoardCursor = nullptr;
}

bool TBoardCursor::KeysLead() const {
    return Shown && !(Mouse && (Mouse->MovedNow() || Mouse->ButtonChangedNow()));
}

void TBoardCursor::CentrePixel(int32_t& px, int32_t& py) const {
    const int32_t left = VisNet ? VisNet->Left : (Net ? Net->PixelLeft() : 0);
    const int32_t top = VisNet ? VisNet->Top : (Net ? Net->PixelTop() : 0);
    px = left + cCellPixels * (X - 1) + cCellPixels / 2;
    py = top + cCellPixels * (Y - 1) + cCellPixels / 2;
}

// The board takes keys while its level is being played: not in the intro or the outcome, not paused.
bool TBoardCursor::BoardTakesKeys() const {
    if (!Net || Net->AState == asFrozen) return false;
    return !BoardGame || (BoardGame->HasFocusNow() && !BoardGame->Paused());
}

bool TBoardCursor::KeyDown(uint16_t key) {
    const TCursorKey role = CursorKeyOf(key);
    if (role == bkNone || !BoardTakesKeys()) return false;
    if (role == bkCancel) return Cancel();
    if (!Shown) {
        Reveal(); // the first key shows where the cursor stands
        return true;
    }
    Net->Unhover();
    switch (role) {
    case bkUp:
        Net->Selected ? SwapPicked(0, -1) : Move(0, -1);
        break;
    case bkDown:
        Net->Selected ? SwapPicked(0, 1) : Move(0, 1);
        break;
    case bkLeft:
        Net->Selected ? SwapPicked(-1, 0) : Move(-1, 0);
        break;
    case bkRight:
        Net->Selected ? SwapPicked(1, 0) : Move(1, 0);
        break;
    default:
        Pick();
        break;
    }
    PlaceFrame();
    return true;
}

// The cursor comes back where the pointer last marked a cell, else where it was.
void TBoardCursor::Reveal() {
    if (Net->Hovered && CursorCanStand(*Net, Net->HoverX, Net->HoverY)) {
        X = Net->HoverX;
        Y = Net->HoverY;
    } else if (!CursorCanStand(*Net, X, Y)) {
        CursorHome(*Net, X, Y);
    }
    Net->Unhover();
    Shown = true;
    PlaceFrame();
}

void TBoardCursor::Move(int32_t dx, int32_t dy) {
    CursorStep(*Net, X, Y, dx, dy);
}

// The picked chip and its neighbour swap through the board's own move, so the rules, sounds, marks
// and hints are those of two clicks. The cursor follows the chip when the swap is accepted.
void TBoardCursor::SwapPicked(int32_t dx, int32_t dy) {
    if (Net->AState != asIdle) return;
    const int32_t fromX = Net->SelX, fromY = Net->SelY, toX = fromX + dx, toY = fromY + dy;
    X = fromX;
    Y = fromY;
    if (!CursorCanStand(*Net, toX, toY) || Net->Cells.At(toX, toY).Lock != 0) return;
    Net->MakeMove(toX, toY);
    if (Net->AState == asSwap) {
        X = toX;
        Y = toY;
    }
}

void TBoardCursor::Pick() {
    if (Net->AState != asIdle || !CursorCanStand(*Net, X, Y)) return;
    TCell& cell = Net->Cells.At(X, Y);
    if (Hammer && Hammer->Armed) {
        // The blow of a click with the armed hammer.
        if (!Hammer->Accepts(cell)) return;
        Net->BreakCell(X, Y);
        Net->ClearCell(X, Y);
        Net->Collapse();
        Hammer->Disarm();
        BoardPlaySample("HammerUsed");
        return;
    }
    if (cell.Lock != 0) return;
    if (Net->Selected && Net->SelX == X && Net->SelY == Y) {
        Net->Deselect(); // a second press puts the chip down
        return;
    }
    if (Net->Selected && TNet::IsNeighbour(Net->SelX, Net->SelY, X, Y)) {
        SwapPicked(X - Net->SelX, Y - Net->SelY);
        return;
    }
    Net->Select(X, Y);
}

// Escape drops a pick or gives an armed hammer back; otherwise the key is the level window's.
bool TBoardCursor::Cancel() {
    if (Hammer && Hammer->Armed) {
        Hammer->GiveBack();
        return true;
    }
    if (!Net->Selected || Net->AState != asIdle) return false;
    Net->Deselect();
    return true;
}

void TBoardCursor::PlaceFrame() {
    int32_t cx = 0, cy = 0;
    CentrePixel(cx, cy);
    // Dark bars of one pixel on the rim, gold bars of two inside them.
    for (int32_t ring = 0; ring < 2; ++ring) {
        const int32_t in = ring, e = ring == 0 ? 1 : cEdgePixels - 1, size = cCellPixels - 2 * in;
        const int32_t l = cx - cCellPixels / 2 + in, t = cy - cCellPixels / 2 + in;
        TColorRect** bars = Edge + 4 * ring;
        bars[0]->SetRect(l, t, size, e);
        bars[1]->SetRect(l, t + size - e, size, e);
        bars[2]->SetRect(l, t + e, e, size - 2 * e);
        bars[3]->SetRect(l + size - e, t + e, e, size - 2 * e);
    }
}

void TBoardCursor::StepMe() {
    if (Mouse && (Mouse->MovedNow() || Mouse->ButtonChangedNow())) Shown = false;
    if (Net && !CursorCanStand(*Net, X, Y)) {
        if (CursorHome(*Net, X, Y)) PlaceFrame();
    }
    Pulse = 0.5f + 0.5f * std::sin(LifeTime * cPulseSpeed);
    const bool visible = Shown && Net && Net->AState != asFrozen && CursorCanStand(*Net, X, Y) &&
                         (!VisNet || VisNet->Visible) && !(BoardGame && BoardGame->Paused());
    const auto alpha = static_cast<uint32_t>(std::lround((0.45f + 0.55f * Pulse) * 255));
    for (int32_t i = 0; i < 8; ++i) {
        Edge[i]->Visible = visible;
        if (visible) Edge[i]->SetColor(i < 4 ? cCursorShade : (alpha << 24) | cCursorGold);
    }
}

bool AimPixel(int32_t& px, int32_t& py) {
    if (BoardCursor && BoardCursor->KeysLead()) {
        BoardCursor->CentrePixel(px, py);
        return true;
    }
    if (!Mouse) return false;
    px = Mouse->X;
    py = Mouse->Y;
    return true;
}

} // namespace velmora
