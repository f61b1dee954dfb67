// Items leaving the board: slices fly to the art panel, bonuses to their slots, money falls into the
// score and the angry chip hits the artefact.
#include <algorithm>
#include <cmath>

#include "app/options.h"
#include "board/collaborators.h"
#include "board/net.h"
#include "engine/random.h"
#include "render/blocks.h"
#include "render/particles.h"
#include "render/partmaster.h"
#include "render/tex.h"
#include "render/visual.h"

namespace velmora {

namespace {

constexpr float cGravity = 0.00025f;

TTexRect* MakeCellPicture(TMaster* owner, int32_t texId, int32_t block, const TUVRect& uv, float pixels) {
    auto* r = owner->Add(new TTexRect());
    r->TexId = texId;
    r->Block1 = block;
    r->SetUVRect(uv);
    r->SetWidth(pixels * PixelSize);
    r->SetHeight(pixels * PixelSize);
    return r;
}

void PlaceCentred(TTexRect* r, float x, float y) {
    r->SetWorldPos(x - r->HalfWidth, y + r->HalfHeight);
    r->UploadVertices();
}

// A turning picture keeps its corners around its own centre and is placed and turned by its world
// matrix, so a turn never costs an upload.
TTexRect* MakeTurningPicture(TMaster* owner, int32_t texId, const TUVRect& uv, float pixels) {
    TTexRect* r = MakeCellPicture(owner, texId, sbTexAlpha, uv, pixels);
    r->CenterVertices();
    r->UploadVertices();
    r->Rotated = true;
    return r;
}

void PlaceTurned(TTexRect* r, float x, float y, float angle) {
    r->X = x;
    r->Y = y;
    r->Angle = angle;
}

float Spread(float pixels) {
    return (Random() * 2 - 1) * pixels * PixelSize;
}

} // namespace

TFallenItem::TFallenItem(int32_t col, int32_t value, uint8_t kind, int32_t row)
    : Col(col), Row(row), Value(value), Kind(kind) {
    const TWorldPoint p = Net ? Net->CellCentre(col, row) : CellCentreAt(0, 0, col, row);
    StartX = p.X;
    StartY = p.Y;
}

TFallenItem::~TFallenItem() = default;

void TFallenItem::Step() {
    if (!BoardGame) {
        // No game window, no panels to fly to: the item arrives at once.
        Arrive();
        Dead = true;
        return;
    }
    if (!Started) {
        Started = true;
        BeginFlight();
    }
    TStater::Step();
}

// The path leaves the board downwards, swings out halfway and ends on the target.
void TFallenItem::StartFlight(float period, const char* sample, const char* trail, float targetX,
                              float targetY, bool sixPoints) {
    const float belowY = StartY - 50 * PixelSize;
    const float midX = (StartX + targetX) / 2, midY = (belowY + targetY) / 2;
    if (sixPoints) {
        Path.SetPointCount(6);
        Path.SetPoint(1, StartX, StartY);
        Path.SetPoint(2, StartX, belowY);
        Path.SetPoint(3, StartX, belowY);
        Path.SetPoint(4, midX + Spread(100), midY + Spread(100));
        Path.SetPoint(5, targetX + Spread(25), targetY + Spread(25));
        Path.SetPoint(6, targetX, targetY);
    } else {
        Path.SetPointCount(4);
        Path.SetPoint(1, StartX, StartY);
        Path.SetPoint(2, StartX, belowY);
        Path.SetPoint(3, midX + Spread(25), midY - Random() * 50 * PixelSize);
        Path.SetPoint(4, targetX, targetY);
    }
    Path.Steps = 32;
    Path.Build();
    BoardPlaySample(sample);
    if (NetParticles) {
        Trail = NetParticles->StartAtPixel(trail, WorldToPixelX(StartX), WorldToPixelY(StartY));
        if (Trail) Trail->SetTrail(true);
    }
    SetStateInfo(1, &TFallenItem::OnFlight, period);
    SetState(1);
}

void TFallenItem::StopTrail() {
    if (Trail && NetParticles && NetParticles->Contains(Trail)) Trail->Emitting = false;
    Trail = nullptr;
}

void TFallenItem::OnFlight(TStateEvent e) {
    if (e == seRunning) {
        float x = 0, y = 0;
        Path.GetPosition(1 - StateTime, x, y);
        MoveAlong(x, y);
        if (Trail && NetParticles && NetParticles->Contains(Trail)) Trail->MoveTo(x, y);
    } else if (e == seFinish) {
        StopTrail();
        Dead = true;
        Arrive();
    }
}

// ---- slices ----

void TFallenArt::BeginFlight() {
    TSlice* s = ArtMaster ? ArtMaster->Slice(Value) : nullptr;
    float tx = TableX(148), ty = TableY(180);
    if (s && ArtMaster) {
        tx = TableX(ArtMaster->ArtLeft + s->ArtX);
        ty = TableY(ArtMaster->ArtTop + s->ArtY);
    }
    StartFlight(180, "FallenArtefact", "@Fire.prt", tx, ty, true);
}

void TFallenArt::MoveAlong(float x, float y) {
    if (TSlice* s = ArtMaster ? ArtMaster->Slice(Value) : nullptr) s->MoveTo(x, y);
}

void TFallenArt::Arrive() {
    if (!ArtMaster) return;
    if (TSlice* s = ArtMaster->Slice(Value)) s->Place();
    if (HelpMaster) HelpMaster->SliceArrived();
    if (ArtMaster->SlicesLeft <= 0 && BoardGame) BoardGame->SetLevelComplete();
}

// ---- bonuses for the panel ----

TFallenVisBonus::~TFallenVisBonus() = default;

void TFallenVisBonus::BeginFlight() {
    Picture = MakeCellPicture(this, tiBonuses, sbTexAlpha, BonusesUV[std::clamp(Value, 1, 36) - 1], 40);
    PlaceCentred(Picture, StartX, StartY);
    float tx = StartX, ty = -1;
    if (BonusPanel && Value >= 1 && Value <= 4) {
        tx = BonusPanel->Slots[Value].CentreX;
        ty = BonusPanel->Slots[Value].CentreY;
    }
    StartFlight(120, "FallenVisBonus", "@Fire4.prt", tx, ty, false);
}

void TFallenVisBonus::MoveAlong(float x, float y) {
    if (Picture) PlaceCentred(Picture, x, y);
}

void TFallenVisBonus::Arrive() {
    // A save of the level already counted it into the record, whose count the panel shows.
    if (BonusPanel && Booked) BonusPanel->Refresh();
    if (BonusPanel && !Booked) BonusPanel->Change(Value, +1);
    if (HelpMaster && Value >= 1 && Value <= 4) HelpMaster->VisBonusArrived(Value);
}

// ---- multipliers ----

TFallenBonusXX::~TFallenBonusXX() {
    if (BonusXX && Slot >= 1 && BonusXX->Pending[Slot - 1] == this) BonusXX->Pending[Slot - 1] = nullptr;
}

void TFallenBonusXX::BeginFlight() {
    Picture = MakeCellPicture(this, tiBonuses, sbTexAlpha, BonusesUV[std::clamp(Value, 1, 36) - 1], 40);
    PlaceCentred(Picture, StartX, StartY);
    float tx = StartX, ty = StartY;
    if (BonusXX) {
        Slot = BonusXX->ChooseSlot();
        BonusXX->Pending[Slot - 1] = this;
        tx = BonusXX->X[Slot - 1];
        ty = BonusXX->Y[Slot - 1];
    }
    StartFlight(180, "FallenBonusXX", "@Fire2.prt", tx, ty, true);
}

void TFallenBonusXX::MoveAlong(float x, float y) {
    if (Picture) PlaceCentred(Picture, x, y);
}

void TFallenBonusXX::Arrive() {
    if (!BonusXX) return;
    if (Slot == 0) Slot = BonusXX->ChooseSlot();
    BonusXX->Activate(Slot, Value, 60);
    if (BonusXX->Pending[Slot - 1] == this) BonusXX->Pending[Slot - 1] = nullptr;
    if (HelpMaster) HelpMaster->BonusXXArrived(Slot);
}

// ---- the angry chip ----

void TFallenBonusAngryChip::BeginFlight() {
    Picture = MakeTurningPicture(this, tiBonuses, BonusesUV[7], 40);
    PlaceTurned(Picture, StartX, StartY, 0);
    StartFlight(240, "FallenAngryChip", "@Fire3.prt", TableX(148), TableY(180), true);
}

void TFallenBonusAngryChip::MoveAlong(float x, float y) {
    if (Picture) PlaceTurned(Picture, x, y, Picture->Angle + 0.1f * Delta);
}

void TFallenBonusAngryChip::Arrive() {
    if (ArtMaster) ArtMaster->StartShake();
}

// ---- money ----

void TFallenBonusMoney::BeginFlight() {
    Bag = MakeCellPicture(this, tiBonuses, sbTexAlpha, BonusesUV[4], 40);
    PlaceCentred(Bag, StartX, StartY);
    BoardPlaySample("FallenMoney");
    if (NetParticles)
        Trail = NetParticles->StartAtPixel("@Fire.prt", WorldToPixelX(StartX), WorldToPixelY(StartY));
    SetStateInfo(1, &TFallenBonusMoney::OnFall, 3600);
    SetStateInfo(2, &TFallenBonusMoney::OnCoins, 3600);
    SetState(1);
}

void TFallenBonusMoney::Arrive() {
    if (Scores) Scores->AddScore(Options.CONST_BonusMoneyScores);
}

// The bag falls out of the bottom of the screen, comes in again above the score counter and drops
// into it.
void TFallenBonusMoney::OnFall(TStateEvent e) {
    if (e == seRunning) {
        Speed -= cGravity * Delta;
        float x = Bag->Quad()[0].X + Bag->HalfWidth, y = Bag->Quad()[0].Y - Bag->HalfHeight + Speed;
        if (y < -1.1f) {
            y = 1.1f;
            x = TableX(143);
            Reentered = true;
        }
        PlaceCentred(Bag, x, y);
        if (Trail && NetParticles && NetParticles->Contains(Trail)) Trail->MoveTo(x, y);
        if (Reentered && y <= TableY(395)) StateTime = 0;
    } else if (e == seFinish) {
        Bag->Visible = false;
        StopTrail();
        const float x = Bag->Quad()[0].X + Bag->HalfWidth, y = Bag->Quad()[0].Y - Bag->HalfHeight;
        if (NetParticles) NetParticles->BurstAtWorld("@MoneyExpl.prt", x, y - 15 * PixelSize);
        Arrive();
        Coins.resize(40);
        for (TCoin& c : Coins) {
            c.Icon = MakeTurningPicture(this, 80, HeartsUV[3], 20);
            c.X = x;
            c.Y = y;
            c.VX = (0.35f + 0.65f * Random()) * 2 * 0.01f * (Random() < 0.5f ? -1.0f : 1.0f);
            c.VY = 0.013f * Random();
            PlaceTurned(c.Icon, c.X, c.Y, CoinAngle(c.X));
        }
        SetState(2);
    }
}

// The coins burst from the bag and bounce on the floor until they leave the screen sideways.
void TFallenBonusMoney::OnCoins(TStateEvent e) {
    if (e == seFinish) {
        Dead = true;
        return;
    }
    if (e != seRunning) return;
    const float floor = TableY(590);
    bool allOut = true;
    for (TCoin& c : Coins) {
        if (c.Out) continue;
        c.VY -= cGravity * Delta;
        c.X += c.VX;
        const float y = c.Y + c.VY;
        if (y < floor) {
            c.Y = floor;
            c.VY = -c.VY * 0.8f;
        } else {
            c.Y = y;
        }
        c.Out = !(c.X > -1.35f && c.X < 1.35f);
        c.Icon->Visible = !c.Out;
        if (!c.Out) PlaceTurned(c.Icon, c.X, c.Y, CoinAngle(c.X));
        allOut = allOut && c.Out;
    }
    if (allOut) StateTime = 0;
}

} // namespace velmora
