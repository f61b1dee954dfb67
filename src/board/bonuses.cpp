// The bonus panel under the board, the hammer cursor and the two score-multiplier slots.
#include <algorithm>
#include <cmath>

#include "app/gamedat.h"
#include "app/input.h"
#include "app/options.h"
#include "board/boardcursor.h"
#include "board/collaborators.h"
#include "board/flies.h"
#include "board/net.h"
#include "engine/group.h"
#include "platform/win32.h"
#include "render/blocks.h"
#include "render/partmaster.h"
#include "render/tex.h"
#include "render/texlabels.h"
#include "render/visual.h"

namespace velmora {

namespace {

struct TSlotPlace {
    int32_t X, Y, LabelDX;
};
constexpr TSlotPlace cSlotPlaces[5] = {
    {0, 0, 0}, {380, 536, 32}, {486, 536, 36}, {593, 536, 44}, {684, 536, 40}};
constexpr int32_t cSlotSize = 41;
constexpr int32_t cCountLabelDY = 32;
constexpr uint16_t cKeyF1 = 112, cKeyF6 = 117;
constexpr float cBlinkFrom = 282.6f;

TTexRect* MakePicture(int32_t texId, int32_t block, const TUVRect& uv) {
    auto* r = new TTexRect();
    r->TexId = texId;
    r->Block1 = block;
    r->SetUVRect(uv);
    return r;
}

void Burst(const char* name, float x, float y) {
    if (NetParticles) NetParticles->BurstAtWorld(name, x, y);
}

TWorldPoint CellPoint(int32_t x, int32_t y) {
    return Net ? Net->CellCentre(x, y) : TWorldPoint{};
}

void ShowSystemCursor(bool show) {
    ShowCursor(show ? TRUE : FALSE);
}

} // namespace

// ---- TBonusXXMaster ----

TBonusXXMaster::TBonusXXMaster() {
    BonusXX = this;
    const int32_t px[2] = {69, 211};
    for (int32_t i = 0; i < 2; ++i) {
        Icon[i] = Add(MakePicture(80, sbTexModAlpha, HeartsUV[1]));
        Icon[i]->SetRectLTRB(px[i], 423, px[i] + 16, 423 + 16);
        Icon[i]->UploadVertices();
        X[i] = TableX(px[i] + 7);
        Y[i] = TableY(423 + 7);
    }
    Refresh();
    const TPlayerRec& rec = CurrentPlayerRec();
    if (!rec.LevelInProgress) return;
    for (int32_t i = 0; i < 2; ++i) {
        if (!(rec.XX[i].XXTime > 0)) continue;
        const auto s = static_cast<int32_t>(std::lround(std::min(rec.XX[i].XXTime, 36000.0f) / 60.0f));
        if (s <= 0) continue;
        if (rec.XX[i].XXFactor == 2) Activate(i + 1, 6, s);
        if (rec.XX[i].XXFactor == 3) Activate(i + 1, 7, s);
    }
}
TBonusXXMaster::~TBonusXXMaster() {
    if (BonusXX == this) BonusXX = nullptr;
}

int32_t TBonusXXMaster::ChooseSlot() const {
    if (Factor[1] == 1 && !Pending[1]) return 2;
    if (Factor[0] == 1 && !Pending[0]) return 1;
    return TimeLeft[0] <= TimeLeft[1] ? 1 : 2;
}

void TBonusXXMaster::Activate(int32_t slot, int32_t code, int32_t seconds) {
    if (slot < 1 || slot > 2) return;
    TimeLeft[slot - 1] = seconds * 60.0f;
    Factor[slot - 1] = code == 6 ? 2 : 3;
    Refresh();
}

void TBonusXXMaster::Refresh() {
    for (int32_t i = 0; i < 2; ++i) {
        Icon[i]->Visible = Factor[i] >= 2;
        Icon[i]->SetUVRect(HeartsUV[Factor[i] == 3 ? 2 : 1]);
        Icon[i]->SetColor(0xFFFFFFFF);
        Icon[i]->UploadVertices();
    }
}

void TBonusXXMaster::FlashCoins() {
    if (LastFlash + 40 >= GameTime) return;
    LastFlash = GameTime;
    for (int32_t i = 0; i < 2; ++i)
        if (Factor[i] > 1) Add(new TFlyCoin(X[i], Y[i], Factor[i]));
}

void TBonusXXMaster::Freeze() {
    for (int32_t i = 0; i < 2; ++i)
        if (Factor[i] > 1) TimeLeft[i] = cInfinitePeriod;
}

void TBonusXXMaster::StepMe() {
    for (int32_t i = 0; i < 2; ++i) {
        if (Factor[i] <= 1) continue;
        TimeLeft[i] -= Delta;
        if (TimeLeft[i] <= 0) {
            Factor[i] = 1;
            Icon[i]->Visible = false;
            Burst("@TimeOff.prt", X[i], Y[i]);
        } else if (TimeLeft[i] <= cBlinkFrom) {
            Icon[i]->SetColor(WhiteAlpha(std::sin(0.2f * TimeLeft[i]) * 0.5f + 0.5f));
        }
    }
}

// ---- TBonusPanel ----

TBonusPanel::TBonusPanel() {
    BonusPanel = this;
    for (int32_t i = 1; i <= 4; ++i) {
        TSlot& s = Slots[i];
        s.X = cSlotPlaces[i].X;
        s.Y = cSlotPlaces[i].Y;
        s.Normal = Add(MakePicture(14, sbTexAlpha, BonusesUV[i - 1]));
        s.Lit = Add(MakePicture(14, sbTexAlpha, BonusesUV[i - 1 + 12]));
        for (TTexRect* r : {s.Normal, s.Lit}) {
            r->SetRectLTRB(s.X, s.Y, s.X + cSlotSize, s.Y + cSlotSize);
            r->UploadVertices();
            r->Visible = false;
        }
        // The count sits over the slot's lower right corner: below the slot it would leave the screen.
        s.CountLabel = Add(MakeGameLabel(19, "*1", s.X + cSlotPlaces[i].LabelDX, s.Y + cCountLabelDY));
        s.CentreX = TableX(s.X + 20);
        s.CentreY = TableY(s.Y + 20);
    }
    Refresh();
}
TBonusPanel::~TBonusPanel() {
    if (BonusPanel == this) BonusPanel = nullptr;
}

int32_t TBonusPanel::Count(int32_t i) const {
    if (i < 1 || i > cBonusCodes) return 0;
    return CurrentPlayerRec().BonusCount[i - 1];
}

void TBonusPanel::SetCount(int32_t i, int32_t n) {
    if (i < 1 || i > cBonusCodes) return;
    CurrentPlayerRec().BonusCount[i - 1] = n;
}

bool TBonusPanel::BoardIdle() {
    return Net && Net->AState == asIdle;
}

bool TBonusPanel::InSlot(int32_t i) const {
    return Mouse && Mouse->InArea(Slots[i].X, Slots[i].Y, Slots[i].W, Slots[i].H);
}

void TBonusPanel::Refresh() {
    for (int32_t i = 1; i <= 4; ++i) {
        char text[16];
        std::snprintf(text, sizeof text, "*%.1d", Count(i));
        Slots[i].CountLabel->SetText(text);
        Slots[i].CountLabel->Visible = Count(i) > 0;
    }
    UpdateHighlight();
}

void TBonusPanel::UpdateHighlight() {
    for (int32_t i = 1; i <= 4; ++i) {
        TSlot& s = Slots[i];
        const bool has = Count(i) > 0;
        const bool lit = has && Hovered == i && BoardIdle();
        s.Lit->Visible = lit;
        s.Normal->Visible = has && !lit;
        if (lit && VisMouse) VisMouse->RequestShape(1);
    }
}

bool TBonusPanel::CanChange(int32_t i, int32_t delta) const {
    if (delta > 0) return true;
    if (Count(i) + delta < 0) return false;
    if (delta == 0) return true;
    if (i == 1) return !(Hammer && Hammer->Armed);
    return i >= 2 && i <= 4;
}

void TBonusPanel::Change(int32_t i, int32_t delta) {
    if (!CanChange(i, delta)) return;
    if (Count(i) + delta >= 0) SetCount(i, Count(i) + delta);
    Refresh();
    if (delta != -1) return;
    Activate(i);
    UpdateHighlight();
}

void TBonusPanel::Activate(int32_t i) {
    BoardPlaySample("Button2");
    switch (i) {
    case 1:
        if (!(Hammer && Hammer->Armed) && Parent) Parent->Add(new THammer());
        break;
    case 2:
        Sap();
        break;
    case 3:
        if (Timer) Timer->AddSeconds(50);
        break;
    case 4:
        MagicLamp();
        break;
    default:
        break;
    }
    Burst("@LittleExplosion_In.prt", Slots[i].CentreX, Slots[i].CentreY);
}

// A chip right under a slice is dissolved so that the slice can sink.
void TBonusPanel::Sap() {
    if (!Net) return;
    const int32_t w = Net->Info.Width, h = Net->Info.Height;
    for (int32_t y = 1; y <= h - 1; ++y)
        for (int32_t x = 1; x <= w; ++x) {
            if (!Net->CellExists(x, y) || !Net->CellExists(x, y + 1)) continue;
            if (Net->Cells.At(x, y).Kind != ckSlice || Net->Cells.At(x, y + 1).Kind != ckChip) continue;
            Net->Add(new TSapChip(x, y + 1));
            Net->ClearCell(x, y + 1);
            const TWorldPoint p = CellPoint(x, y + 1);
            Burst("@Expl_Sap.prt", p.X, p.Y);
        }
    Net->SetAState(asSap);
    BoardPlaySample("SapUsed");
}

namespace {
bool NextToSlice(int32_t x, int32_t y) {
    for (int32_t dy = -1; dy <= 1; ++dy)
        for (int32_t dx = -1; dx <= 1; ++dx)
            if ((dx || dy) && Net->CellExists(x + dx, y + dy) &&
                Net->Cells.At(x + dx, y + dy).Kind == ckSlice)
                return true;
    return false;
}
} // namespace

// Chips around the slices take new colours, opening lines near them.
void TBonusPanel::MagicLamp() {
    if (!Net) return;
    for (int32_t y = 1; y <= Net->Info.Height; ++y)
        for (int32_t x = 1; x <= Net->Info.Width; ++x) {
            if (!Net->CellExists(x, y) || Net->Cells.At(x, y).Kind != ckChip || !NextToSlice(x, y)) continue;
            const int32_t colour = Net->RandomColor(Net->Cells.At(x, y).Value);
            Net->Add(new TPaintChip(x, colour, y));
            Net->ClearCell(x, y);
            const TWorldPoint p = CellPoint(x, y);
            Burst("@Expl_Paint.prt", p.X, p.Y);
        }
    Net->SetAState(asPaint);
}

bool TBonusPanel::KeyDown(uint16_t key) {
    if (!BoardIdle() || key < cKeyF1 || key > cKeyF6) return false;
    Change(key - 111, -1);
    return true;
}

bool TBonusPanel::MouseOver() {
    for (int32_t i = 1; i <= 4; ++i)
        if (Count(i) > 0 && InSlot(i)) return true;
    return false;
}

void TBonusPanel::MouseProc() {
    Hovered = 0;
    for (int32_t i = 1; i <= 4 && !Hovered; ++i)
        if (InSlot(i) && Count(i) > 0) Hovered = i;
    if (!Mouse || !Mouse->Pressed(0)) return;
    if (Hammer && Hammer->Armed) {
        if (InSlot(1)) Hammer->GiveBack();
        return;
    }
    for (int32_t i = 1; i <= 4; ++i)
        if (InSlot(i) && Count(i) > 0 && BoardIdle()) Change(i, -1);
}

void TBonusPanel::SapPreview() {
    if (Count(2) < 1) return;
    for (int32_t y = 1; y <= Net->Info.Height - 1; ++y)
        for (int32_t x = 1; x <= Net->Info.Width; ++x)
            if (Net->CellExists(x, y) && Net->CellExists(x, y + 1) && Net->Cells.At(x, y).Kind == ckSlice &&
                Net->Cells.At(x, y + 1).Kind == ckChip)
                Net->Add(new TBlinkChip(x, y + 1));
}

void TBonusPanel::LampPreview() {
    if (Count(4) < 1) return;
    for (int32_t y = 1; y <= Net->Info.Height; ++y)
        for (int32_t x = 1; x <= Net->Info.Width; ++x) {
            if (!Net->CellExists(x, y)) continue;
            const uint8_t kind = Net->Cells.At(x, y).Kind;
            if (kind != ckSlice && kind != ckBlank && NextToSlice(x, y)) Net->Add(new TBlinkChip(x, y));
        }
}

void TBonusPanel::StepMe() {
    if (!PreviewBlinking && BoardIdle()) {
        if (InSlot(2)) SapPreview();
        if (InSlot(4)) LampPreview();
    }
    UpdateHighlight();
}

// ---- THammer ----

THammer::THammer() {
    Hammer = this;
    Picture = Add(MakePicture(30, sbTexAlpha, TUVRect{0, 0, 1, 1}));
    Picture->FitTexture();
    if (Picture->Width <= 0) {
        Picture->SetWidth(40 * PixelSize);
        Picture->SetHeight(40 * PixelSize);
    }
    FollowPointer();
    ShowSystemCursor(false);
}
THammer::~THammer() {
    if (Hammer == this) {
        Hammer = nullptr;
        ShowSystemCursor(true);
    }
}

bool THammer::Accepts(const TCell& cell) const {
    return cell.Kind == ckChip || (cell.Kind == ckBonus && cell.Value != 8);
}

bool THammer::CanHit() const {
    int32_t px = 0, py = 0;
    if (!VisNet || !Net || !AimPixel(px, py)) return false;
    int32_t x = 0, y = 0;
    VisNet->PointToCell(px, py, x, y);
    if (!Net->CellExists(x, y)) return false;
    const TCell& c = Net->Cells.At(x, y);
    return c.Back != 0 && Accepts(c);
}

void THammer::Disarm() {
    Armed = false;
    Dead = true;
    if (Hammer == this) {
        Hammer = nullptr;
        ShowSystemCursor(true);
    }
}

void THammer::GiveBack() {
    if (BonusPanel) BonusPanel->Change(1, +1);
    Disarm();
}

// A hammer out of its slot but never used is the player's still; flying back, it lands at once.
void THammer::ReturnToSlot() {
    if (Dead) return;
    if (Armed) {
        GiveBack();
        return;
    }
    if (Phase != 1) return;
    Back = 0;
    BackSpeed = 0;
    FlyBack();
}

void THammer::FollowPointer() {
    int32_t px = 0, py = 0;
    if (!AimPixel(px, py)) return;
    Picture->SetPixelPos(px - 3, py + 10);
    Picture->UploadVertices();
}

void THammer::FlyBack() {
    Back = std::max(Back - BackSpeed * Delta, 0.0f);
    if (Back < 1e-4f) Back = 0; // steps of 1/15 leave crumbs
    const float cx = BonusPanel ? BonusPanel->Slots[1].CentreX : 0,
                cy = BonusPanel ? BonusPanel->Slots[1].CentreY : 0;
    Picture->SetWorldPos(cx + (StartX - cx) * Back, cy + (StartY - cy) * Back);
    Picture->UploadVertices();
    if (Back > 0) return;
    if (BonusPanel) {
        BonusPanel->SetCount(1, BonusPanel->Count(1) + 1);
        BonusPanel->Refresh();
    }
    Dead = true;
}

void THammer::StepMe() {
    if (Phase == 1) return FlyBack();
    Picture->TexId = CanHit() ? 31 : 30;
    FollowPointer();
    if (!Mouse || !Mouse->Pressed(1)) return;
    BoardPlaySample("No");
    if (Hammer == this) {
        Hammer = nullptr;
        ShowSystemCursor(true);
    }
    Armed = false;
    Phase = 1;
    Back = 1;
    BackSpeed = 1.0f / 15;
    StartX = Picture->Quad()[0].X;
    StartY = Picture->Quad()[0].Y;
}

} // namespace velmora
