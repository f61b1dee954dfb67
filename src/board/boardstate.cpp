// The board's timed states, the player's selection and swaps, the idle board's hints and glares,
// and the row blow of the level's end.
#include <cmath>

#include "app/input.h"
#include "app/log.h"
#include "board/boardcursor.h"
#include "board/collaborators.h"
#include "board/flies.h"
#include "board/net.h"
#include "board/playerlink.h"
#include "engine/random.h"
#include "render/partmaster.h"

namespace velmora {

namespace {

struct TStateTiming {
    float Speed;
    const char* Sample; // played on entry; null for none
};

// Durations are 1 / Speed units of Delta.
constexpr TStateTiming cStates[8] = {
    {0.0f, nullptr},                 // asIdle
    {0.06666667f, "ChangeChips"},    // asSwap, 15
    {0.033333335f, "Mismatch"},      // asBadSwap, 30
    {0.025f, nullptr},               // asFall, 40: Match1 or Match2 by cascade
    {0.011111111f, nullptr},         // asSap, 90
    {0.008333334f, "MagicLampUsed"}, // asPaint, 120
    {0.1f, nullptr},                 // asSettle, 10
    {0.0f, nullptr},                 // asFrozen
};

} // namespace

void TNet::SetAState(int32_t state) {
    if (state < 0 || state >= 8) {
        Log("TNet.SetAState: Invalid State");
        AState = static_cast<uint8_t>(state);
        AStateTime = 1;
        AStateSpeed = 0;
        return;
    }
    AState = static_cast<uint8_t>(state);
    AStateTime = 1;
    AStateSpeed = cStates[state].Speed;
    if (state == asIdle) HintTimer = cHintDelay;
    if (state == asFall)
        BoardPlaySample(BoardCounters().Cascade < 1 ? "Match1" : "Match2");
    else if (cStates[state].Sample)
        BoardPlaySample(cStates[state].Sample);
}

void TNet::StepMe() {
    AStateTime = std::max(0.0f, AStateTime - AStateSpeed * Delta);
    if (AState >= 8) {
        Log("TNet.StepMe: Invalid State");
        return;
    }
    if (AState == asIdle) {
        StepIdle();
        return;
    }
    UpdateCellVisuals();
    if (AState != asFrozen && AStateSpeed > 0 && AStateTime <= 0) EndOfState();
}

void TNet::EndOfState() {
    switch (AState) {
    case asSwap:
        EndSwap();
        break;
    case asBadSwap:
        Deselect();
        SetAState(asIdle);
        break;
    case asFall:
        ResolveMatches();
        if (AState == asIdle) BoardCounters().Cascade = 0;
        break;
    case asSap:
        SetAState(asIdle);
        Collapse();
        break;
    case asPaint:
        EndPaint();
        break;
    case asSettle:
        StopAnimations();
        UpdateCellVisuals();
        SetAState(asIdle);
        break;
    default:
        break;
    }
}

void TNet::EndSwap() {
    RemoveLines(MoveX1, MoveY1);
    RemoveLines(MoveX2, MoveY2);
    Collapse();
    DropOutItems();
}

void TNet::EndPaint() {
    for (TBasic* c = First; c; c = c->Next)
        if (auto* paint = dynamic_cast<TPaintChip*>(c); paint && !paint->Dead) {
            if (CellExists(paint->Col, paint->Row)) SetChip(paint->Col, paint->Row, paint->NewColour);
            paint->Dead = true;
        }
    UpdateCellVisuals();
    ResolveMatches();
}

// ---- idle ----

void TNet::StepIdle() {
    HandleMouse();
    UpdateCellVisuals();
    StepHints();
    StepGlares();
    if (BoardGame && BoardGame->LevelComplete()) BoardGame->LevelWon();
}

void TNet::StepHints() {
    HintTimer -= Delta;
    if (HintTimer > 0 || Help) return;
    int32_t x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    if (CountMoves(true, x1, y1, x2, y2) >= 1) {
        if (Cells.At(x1, y1).Kind == ckChip) Add(new TGlare(x1, 1, y1));
        if (Cells.At(x2, y2).Kind == ckChip) Add(new TGlare(x2, 1, y2));
    } else {
        BreakThreeRandomChips();
        Collapse();
    }
    HintTimer = cHintRepeat;
}

// The cure for a board without moves. A board with no chip at all cannot be cured this way, so
// the picks are bounded instead of looping for ever.
void TNet::BreakThreeRandomChips() {
    int32_t broken = 0;
    for (int attempt = 0; broken < 3 && attempt < 100000; ++attempt) {
        const int32_t x = 1 + RandomInt(Info.Width);
        const int32_t y = 1 + RandomInt(Info.Height);
        if (Cells.At(x, y).Kind != ckChip) continue;
        BreakCell(x, y);
        ++broken;
    }
}

void TNet::StepGlares() {
    if (HintTimer >= cHintDelay || Help) return;
    GlareTimer -= Delta;
    if (GlareTimer >= 0) return;
    if (BonusPanel && (BonusPanel->Hovered == 2 || BonusPanel->Hovered == 4)) return;
    const int32_t x = 1 + RandomInt(Info.Width);
    const int32_t y = 1 + RandomInt(Info.Height);
    if (Cells.At(x, y).Kind == ckChip) Add(new TGlare(x, 0, y));
    GlareTimer = (Random() + 1) * 0.66f * 120;
}

// ---- marks ----

void TNet::Hover(int32_t x, int32_t y) {
    Unhover();
    if (Selected && x == SelX && y == SelY) return;
    if (!CellExists(x, y) || Cells.At(x, y).Lock >= 1) return;
    Cells.At(x, y).Mark = 1;
    Hovered = true;
    HoverX = x;
    HoverY = y;
    if (ActiveRects) ActiveRects->ShowHover(x, y);
}

void TNet::Unhover() {
    if (Hovered && CellExists(HoverX, HoverY) && Cells.At(HoverX, HoverY).Mark == 1)
        Cells.At(HoverX, HoverY).Mark = 0;
    Hovered = false;
    if (ActiveRects) ActiveRects->HideHover();
}

void TNet::Select(int32_t x, int32_t y) {
    Deselect();
    if (!CellExists(x, y)) return;
    BoardPlaySample("Click");
    Unhover();
    Selected = true;
    SelX = x;
    SelY = y;
    Cells.At(x, y).Mark = 2;
    if (ActiveRects) ActiveRects->ShowSelect(x, y);
}

void TNet::Deselect() {
    if (Selected && CellExists(SelX, SelY)) Cells.At(SelX, SelY).Mark = 0;
    Selected = false;
    if (ActiveRects) ActiveRects->HideSelect();
}

// ---- mouse ----

bool TNet::PointerCell(int32_t& x, int32_t& y) const {
    x = y = -1;
    if (!Mouse) return false;
    if (VisNet)
        VisNet->PointToCell(Mouse->X, Mouse->Y, x, y);
    else {
        x = Mouse->X < PixelLeft() ? -1 : (Mouse->X - PixelLeft()) / 40 + 1;
        y = Mouse->Y < PixelTop() ? -1 : (Mouse->Y - PixelTop()) / 40 + 1;
    }
    return CellExists(x, y) && Cells.At(x, y).Back != 0;
}

void TNet::HandleMouse() {
    if (!Mouse) return;
    if (Help && Help->MouseOver()) return;
    if (BoardGame && !BoardGame->HasFocusNow()) return;
    if (BoardCursor && BoardCursor->KeysLead()) return; // a resting pointer marks nothing meanwhile
    int32_t x = 0, y = 0;
    if (!PointerCell(x, y)) {
        Hover(0, 0);
        if (Selected && dynamic_cast<TDragNDropChip*>(FlyAt(SelX, SelY))) ReleaseDragChip();
        return;
    }
    if (Hammer && Hammer->Armed) {
        HammerClick(x, y);
        return;
    }
    if (BoardDragNDrop())
        DragMouse(x, y);
    else
        ClickMouse(x, y);
}

void TNet::HammerClick(int32_t x, int32_t y) {
    Hover(x, y);
    if (!Mouse->Pressed(0) || !Hammer->Accepts(Cells.At(x, y))) return;
    BreakCell(x, y);
    ClearCell(x, y);
    Collapse();
    Hammer->Disarm();
    BoardPlaySample("HammerUsed");
}

void TNet::ReleaseDragChip() {
    if (auto* drag = dynamic_cast<TDragNDropChip*>(FlyAt(SelX, SelY))) drag->Release();
    SetAState(asSettle);
}

void TNet::DragMouse(int32_t x, int32_t y) {
    if (Mouse->Pressed(0)) {
        if (Cells.At(x, y).Lock != 0) return;
        SetFly(x, y, Add(new TDragNDropChip(x, y)));
        Select(x, y);
        return;
    }
    if (!Mouse->Released(0)) {
        Hover(x, y);
        return;
    }
    if (!Selected) {
        Select(x, y);
        return;
    }
    if (!dynamic_cast<TDragNDropChip*>(FlyAt(SelX, SelY))) return;
    if (IsNeighbour(SelX, SelY, x, y) && Cells.At(x, y).Lock == 0) {
        EndFly(SelX, SelY);
        MakeMove(x, y);
    } else {
        ReleaseDragChip();
    }
}

void TNet::ClickMouse(int32_t x, int32_t y) {
    if (Cells.At(x, y).Lock != 0) return;
    if (Selected && Mouse->IsDown(0) && IsNeighbour(SelX, SelY, x, y)) {
        MakeMove(x, y);
        return;
    }
    if (!Mouse->Pressed(0)) {
        Hover(x, y);
        return;
    }
    Select(x, y);
}

// ---- swaps ----

bool TNet::SwapMakesLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2) const {
    TCellGrid copy;
    CopyCells(copy);
    std::swap(copy.At(x1, y1), copy.At(x2, y2));
    int32_t count = 0;
    return CheckLine(copy, x1, y1, count) || CheckLine(copy, x2, y2, count);
}

void TNet::MakeMove(int32_t x2, int32_t y2) {
    const int32_t x1 = SelX, y1 = SelY;
    if (!IsNeighbour(x1, y1, x2, y2)) {
        Deselect();
        Select(x2, y2);
        return;
    }
    Deselect();
    Unhover();
    // Both cells must be movable; a chained chip or a blank never takes part in a swap.
    const bool movable = CanMove(x1, y1, true) && CanMove(x2, y2, true);
    if (movable && !SameChips(x1, y1, x2, y2) && SwapMakesLine(x1, y1, x2, y2))
        AcceptSwap(x1, y1, x2, y2);
    else
        RefuseSwap(x1, y1, x2, y2);
}

void TNet::AcceptSwap(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    SetAState(asSwap);
    SetFly(x2, y2, Add(new TFlyChip(x1, y1, x2, y2)));
    SetFly(x1, y1, Add(new TFlyChip(x2, y2, x1, y1)));
    TCell& a = Cells.At(x1, y1);
    TCell& b = Cells.At(x2, y2);
    std::swap(a.Kind, b.Kind);
    std::swap(a.Value, b.Value);
    MoveX1 = x1;
    MoveY1 = y1;
    MoveX2 = x2;
    MoveY2 = y2;
}

void TNet::RefuseSwap(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    SetAState(asBadSwap);
    SetFly(x1, y1, Add(new TInvalidChip(x2, y2, x1, y1)));
    SetFly(x2, y2, Add(new TInvalidChip(x1, y1, x2, y2)));
    if (Help) Help->RefusedSwap(x1, y1, x2, y2);
    if (HelpMaster) HelpMaster->ShowError(x1, y1, x2, y2);
}

void TNet::BlowRow(int32_t y) {
    BoardPlaySample("EndLevel_Explode");
    if (y < 1 || y > Info.Height) return;
    for (int32_t x = 1; x <= Info.Width; ++x) {
        const TCell& cell = Cells.At(x, y);
        if (cell.Kind == ckNone || cell.Kind == ckBlank) continue;
        if (cell.Kind == ckSlice && ArtMaster)
            if (TSlice* s = ArtMaster->Slice(cell.Value)) s->Hidden = true;
        const TWorldPoint c = CellCentre(x, y);
        if (NetParticles) NetParticles->BurstAtWorld("@LitExpl2.prt", c.X, c.Y);
        ClearCell(x, y);
        Cells.At(x, y).Kind = ckNone;
    }
}

} // namespace velmora
