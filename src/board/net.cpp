#include "board/net.h"

#include <algorithm>
#include <vector>

#include "app/log.h"
#include "board/collaborators.h"
#include "board/flies.h"
#include "board/playerlink.h"
#include "engine/random.h"
#include "render/partmaster.h"

namespace velmora {

TNet* Net = nullptr;
TGamePartMaster* NetParticles = nullptr;

TNet::TNet(TLevelInfo& info) : Info(info) {
    Net = this;
    Hammer = nullptr;
    ClearBoard();
    BuildBoard();
    if (BoardLevelInProgress()) {
        BoardLoadSnapshot(Cells);
        MendRestoredCells();
        Resumed = true;
    } else {
        BoardStartFreshLevel();
    }
}

TNet::~TNet() {
    FreeChildren(); // the animations unregister themselves while the map still exists
    NetParticles = nullptr;
    if (Net == this) Net = nullptr;
}

// A snapshot comes from a file: it carries no animations, and values the rules cannot hold are
// made safe rather than trusted.
void TNet::MendRestoredCells() {
    int32_t mended = 0;
    for (auto& column : Cells.C)
        for (auto& cell : column) {
            cell.Fly = 0;
            cell.Mark = 0;
            if (cell.Kind > ckBonus) {
                cell.Kind = ckNone;
                ++mended;
            }
            if (cell.Lock < 0 || cell.Lock > 2) {
                cell.Lock = cell.Lock < 0 ? 0 : 2;
                ++mended;
            }
            if (cell.Kind == ckChip && (cell.Value < 1 || cell.Value > cMaxColors)) {
                cell.Value = RandomColor(0);
                ++mended;
            }
        }
    if (mended > 0)
        Log("TNet.Create: saved board had " + std::to_string(mended) + " impossible cell values; mended");
}

void TNet::SaveSnapshot() const {
    TCellGrid grid;
    SaveCells(grid);
    BoardStoreSnapshot(grid);
}

void TNet::ClearCell(int32_t x, int32_t y) {
    TCell& c = Cells.At(x, y);
    if (c.Fly) EndFly(x, y);
    c.Kind = ckEmpty;
    c.Value = 0;
    c.Lock = 0;
    c.Mark = 0;
}

void TNet::SetCell(int32_t x, int32_t y, int32_t value, uint8_t kind) {
    ClearCell(x, y);
    Cells.At(x, y).Kind = kind;
    Cells.At(x, y).Value = value;
}

bool TNet::SameChips(int32_t x1, int32_t y1, int32_t x2, int32_t y2) const {
    const TCell& a = Cells.At(x1, y1);
    const TCell& b = Cells.At(x2, y2);
    return a.Kind == ckChip && b.Kind == ckChip && a.Value == b.Value;
}

bool TNet::IsNeighbour(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    const int32_t dx = x1 > x2 ? x1 - x2 : x2 - x1;
    const int32_t dy = y1 > y2 ? y1 - y2 : y2 - y1;
    return dx + dy == 1;
}

bool TNet::CanMove(int32_t x, int32_t y, bool allowItems) const {
    const TCell& c = Cells.At(x, y);
    if (c.Kind == ckChip) return c.Lock == 0;
    return allowItems && (c.Kind == ckSlice || c.Kind == ckBonus);
}

void TNet::SaveCells(TCellGrid& buffer) const {
    buffer = Cells;
    for (int32_t x = 1; x <= Info.Width; ++x)
        for (int32_t y = 1; y <= Info.Height; ++y)
            buffer.At(x, y).Fly = 0;
}

void TNet::ClearBoard() {
    for (int32_t x = 1; x <= Info.Width; ++x)
        for (int32_t y = 1; y <= Info.Height; ++y) {
            ClearCell(x, y);
            Cells.At(x, y).Kind = ckNone;
            Cells.At(x, y).Value = 0;
        }
}

bool TNet::BuildBoard() {
    for (int attempt = 1; attempt <= cBuildAttempts; ++attempt) {
        if (!ReadLevelFile(Info, Cells, true)) return false;
        ReadLevelFile(Info, Cells, true);
        if (CountMoves(true) >= 2) return true;
    }
    Log("TNet.BuildBoard: no arrangement with two moves after " + std::to_string(cBuildAttempts) +
        " attempts; Level=" + std::to_string(BoardPlayerLevel()) + "; the last one is played");
    return true;
}

void TNet::StartLevel() {
    if (!VisNet) Add(new TVisNet(PixelLeft(), PixelTop()));
    if (!Resumed) StartDropIn();
    UpdateCellVisuals();
    if (!NetParticles) NetParticles = Add(new TGamePartMaster());
    SetAState(asIdle);
}

namespace {
bool HasContent(uint8_t kind) {
    return kind == ckChip || kind == ckSlice || kind == ckBonus;
}
} // namespace

void TNet::StartDropIn() {
    for (int32_t x = 1; x <= Info.Width; ++x) {
        int32_t top = 1;
        while (top <= Info.Height && Cells.At(x, top).Kind == ckNone)
            ++top;
        if (top > Info.Height) continue;
        int32_t bottom = Info.Height;
        while (Cells.At(x, bottom).Kind == ckNone)
            --bottom;
        int32_t n = 0;
        for (int32_t y = top; y <= bottom; ++y)
            n += HasContent(Cells.At(x, y).Kind) ? 1 : 0;
        // Every content of the column falls n rows, those below a wall or a hole as well; the
        // walls and holes themselves stay in place.
        for (int32_t row = top; row <= bottom; ++row)
            if (HasContent(Cells.At(x, row).Kind))
                SetFly(x, row, Add(new TStartChip(x, 30, 20.0f * x, row, row - n)));
    }
}

void TNet::GlareAll() {
    for (int32_t x = 1; x <= Info.Width; ++x)
        for (int32_t y = 1; y <= Info.Height; ++y)
            if (Cells.At(x, y).Kind == ckChip && Random() < 0.5f) Add(new TGlare(x, 0, y));
}

void TNet::StopAnimations() {
    for (int32_t x = 1; x <= Info.Width; ++x)
        for (int32_t y = 1; y <= Info.Height; ++y)
            if (Cells.At(x, y).Fly) EndFly(x, y);
}

TFly* TNet::FlyAt(int32_t x, int32_t y) const {
    const uint32_t handle = Cells.At(x, y).Fly;
    if (!handle) return nullptr;
    const auto it = Flies.find(handle);
    return it == Flies.end() ? nullptr : it->second;
}

void TNet::SetFly(int32_t x, int32_t y, TFly* fly) {
    if (Cells.At(x, y).Fly) EndFly(x, y);
    Cells.At(x, y).Fly = fly ? static_cast<uint32_t>(fly->Serial) : 0;
}

void TNet::EndFly(int32_t x, int32_t y) {
    if (TFly* fly = FlyAt(x, y)) fly->Dead = true;
    Cells.At(x, y).Fly = 0;
}

int32_t TNet::RegisterFly(TFly* fly) {
    ++FlySerial;
    Flies[static_cast<uint32_t>(FlySerial)] = fly;
    return FlySerial;
}

void TNet::ForgetFly(const TFly* fly) {
    Flies.erase(static_cast<uint32_t>(fly->Serial));
}

bool TNet::FlyIsLive(uint32_t handle) const {
    const auto it = Flies.find(handle);
    return it != Flies.end() && !it->second->Dead && it->second->Parent == this;
}

TWorldPoint TNet::CellCentre(int32_t x, int32_t y) const {
    if (VisNet && x >= 1 && x <= 32 && y >= -32 && y <= 32) return VisNet->Centre(x, y);
    return CellCentreAt(PixelLeft(), PixelTop(), x, y);
}

// ---- drawing hand-off ----

void TNet::DrawCell(const TCell& cell, TWorldPoint pos, float opacity) {
    switch (cell.Kind) {
    case ckChip:
        VisNet->AddChip(cell.Value, cell.Lock, opacity, 0, pos);
        break;
    case ckBonus:
        VisNet->AddBonus(pos, cell.Value, opacity);
        break;
    case ckSlice:
        if (ArtMaster)
            if (TSlice* s = ArtMaster->Slice(cell.Value)) {
                s->MoveTo(pos.X, pos.Y);
                // Outside the drop-in a board slice is always whole: a skipped drop-in may have left
                // it at opacity 0, and nothing else would raise it again.
                s->SetAlpha(AState == asFrozen ? opacity : 1);
            }
        break;
    default:
        break;
    }
}

void TNet::DrawMovingCell(int32_t x, int32_t y) {
    TFly* fly = FlyAt(x, y);
    if (!fly || dynamic_cast<TDragNDropChip*>(fly)) return;
    const TCell& cell = Cells.At(x, y);
    float opacity = 1;
    if (AState == asFrozen) {
        if (auto* start = dynamic_cast<TStartChip*>(fly)) {
            if (start->Delay > 0) {
                if (cell.Kind == ckSlice) DrawCell(cell, {fly->PosX, fly->PosY}, 0);
                return;
            }
            opacity = 1 - start->FallTime / 30;
        }
    } else if (auto* fall = dynamic_cast<TFallChip*>(fly); fall && fall->IsNew && cell.Kind == ckChip) {
        opacity = 1 - AStateTime;
    }
    DrawCell(cell, {fly->PosX, fly->PosY}, opacity);
}

void TNet::UpdateCellVisuals() {
    if (!VisNet) return;
    VisNet->ClearLists();
    for (int32_t x = 1; x <= Info.Width; ++x)
        for (int32_t y = 1; y <= Info.Height; ++y)
            if (!Cells.At(x, y).Fly) DrawCell(Cells.At(x, y), CellCentre(x, y), 1);
    if (AState == asSwap || AState == asBadSwap) {
        std::vector<std::pair<int32_t, std::pair<int32_t, int32_t>>> moving;
        for (int32_t x = 1; x <= Info.Width; ++x)
            for (int32_t y = 1; y <= Info.Height; ++y)
                if (TFly* f = FlyAt(x, y)) moving.push_back({f->Serial, {x, y}});
        std::sort(moving.begin(), moving.end(),
                  [](const auto& a, const auto& b) { return a.first > b.first; });
        for (const auto& m : moving)
            DrawMovingCell(m.second.first, m.second.second);
        return;
    }
    for (int32_t x = 1; x <= Info.Width; ++x)
        for (int32_t y = 1; y <= Info.Height; ++y)
            if (Cells.At(x, y).Fly) DrawMovingCell(x, y);
}

} // namespace velmora
