#include "board/flies.h"

#include <algorithm>
#include <cmath>

#include "app/input.h"
#include "board/collaborators.h"
#include "board/net.h"
#include "board/playerlink.h"
#include "engine/random.h"
#include "render/blocks.h"
#include "render/tex.h"
#include "render/visual.h"

namespace velmora {

int32_t PreviewBlinking = 0;

float FallEase(float from, float to, float u) {
    if (u >= 1) return to; // lands exactly, whatever the rounding of the sine
    constexpr double halfPi = 1.5707963267948966;
    return from + static_cast<float>((to - from) * (1 - std::sin(halfPi + u * halfPi)));
}

namespace {
TWorldPoint Centre(int32_t col, int32_t row) {
    return Net ? Net->CellCentre(col, row) : TWorldPoint{};
}
int32_t GlareFrame(float phase) {
    static const float edges[] = {0.83f, 0.67f, 0.5f, 0.33f, 0.17f};
    int32_t f = 0;
    while (f < 5 && phase <= edges[f])
        ++f;
    return f;
}
float BoardTime() {
    return Net ? Net->AStateTime : 0;
}
uint8_t BoardState() {
    return Net ? Net->AState : static_cast<uint8_t>(asIdle);
}

uint32_t WithAlpha(uint32_t rgb, float a) {
    return (static_cast<uint32_t>(std::lround(std::clamp(a, 0.0f, 1.0f) * 255)) << 24) | (rgb & 0xFFFFFFu);
}

// A quad of the given pixel size centred on a world position.
void PlaceCentred(TTexRect* r, float x, float y, float pixels) {
    const float half = PixelsToWorld(pixels / 2);
    r->SetWorldRect(x - half, y - half, x + half, y + half);
    r->UploadVertices();
}

// A quad of the given pixel size whose top-left corner is the cell's top-left pixel.
void PlaceOnCell(TTexRect* r, int32_t col, int32_t row, float pixels) {
    const TWorldPoint c = Centre(col, row);
    const float half = PixelsToWorld(cCellPixels / 2.0f);
    const float left = c.X - half, top = c.Y + half;
    r->SetWorldRect(left, top - PixelsToWorld(pixels), left + PixelsToWorld(pixels), top);
    r->UploadVertices();
}

TTexRect* MakePicture(TMaster* owner, int32_t tex, int32_t block, const TUVRect& uv) {
    TTexRect* r = owner->Add(new TTexRect());
    r->TexId = tex;
    r->Block1 = block;
    r->SetUVRect(uv);
    return r;
}

const TUVRect& UVAt(const TUVRect* table, int32_t index) {
    static const TUVRect none{};
    return index >= 0 && index < 36 ? table[index] : none;
}

// Glare sheets: six frames per colour, colours 1..6 on one texture and 7..12 on the other.
void ShowGlareFrame(TTexRect* r, int32_t colour, int32_t frame) {
    const bool second = colour >= 7;
    r->TexId = second ? tiGlares2 : tiGlares1;
    r->SetUVRect(UVAt(second ? GlaresUV2 : GlaresUV, 6 * frame + colour - (second ? 7 : 1)));
}
} // namespace

TFly::TFly(int32_t col, int32_t row) : Col(col), Row(row) {
    if (Net) Serial = Net->RegisterFly(this);
    const TWorldPoint p = Centre(col, row);
    PosX = p.X;
    PosY = p.Y;
}

TFly::~TFly() {
    if (Net) Net->ForgetFly(this);
}

void TFly::Finish() {
    Dead = true;
    if (Net && Col >= 1 && Col <= cMaxNetSize && Row >= 1 && Row <= cMaxNetSize &&
        Net->Cells.At(Col, Row).Fly == static_cast<uint32_t>(Serial))
        Net->Cells.At(Col, Row).Fly = 0;
}

// ---- swap flights ----

TFlyChip::TFlyChip(int32_t fromCol, int32_t fromRow, int32_t col, int32_t row) : TFly(col, row) {
    const TWorldPoint from = Centre(fromCol, fromRow), to = Centre(col, row);
    FromX = from.X;
    FromY = from.Y;
    ToX = to.X;
    ToY = to.Y;
    PosX = FromX;
    PosY = FromY;
    TakePointerIfOver(col, row);
}

void TFlyChip::TakePointerIfOver(int32_t col, int32_t row) {
    if (!BoardDragNDrop() || !Mouse || !Net) return;
    const int32_t left = Net->PixelLeft() + 40 * (col - 1), top = Net->PixelTop() + 40 * (row - 1);
    if (!Mouse->InArea(left, top, 40, 40)) return;
    FromPointer = true;
    PointerX = Mouse->WorldX();
    PointerY = Mouse->WorldY();
}

void TFlyChip::Step() {
    if (BoardState() == asIdle) {
        Finish();
        return;
    }
    const float t = BoardTime();
    const float sx = FromPointer ? PointerX : FromX, sy = FromPointer ? PointerY : FromY;
    PosX = sx + (ToX - sx) * (1 - t);
    PosY = sy + (ToY - sy) * (1 - t);
}

TInvalidChip::TInvalidChip(int32_t otherCol, int32_t otherRow, int32_t col, int32_t row)
    : TFlyChip(col, row, col, row) {
    const TWorldPoint other = Centre(otherCol, otherRow);
    ToX = other.X;
    ToY = other.Y;
    FromPointer = false;
    TakePointerIfOver(otherCol, otherRow);
}

void TInvalidChip::Step() {
    if (BoardState() == asIdle) {
        Finish();
        return;
    }
    const float t = BoardTime();
    if (t >= 0.5f) {
        const float p = (t - 0.5f) * 2;
        const float sx = FromPointer ? PointerX : FromX, sy = FromPointer ? PointerY : FromY;
        PosX = sx + (ToX - sx) * (1 - p);
        PosY = sy + (ToY - sy) * (1 - p);
    } else {
        PosX = FromX + (ToX - FromX) * 2 * t;
        PosY = FromY + (ToY - FromY) * 2 * t;
    }
}

// ---- falls ----

TFallChip::TFallChip(int32_t fromCol, int32_t fromRow, int32_t col, int32_t row) : TFly(col, row) {
    const TWorldPoint from = Centre(fromCol, fromRow), to = Centre(col, row);
    FromX = from.X;
    FromY = from.Y;
    ToX = to.X;
    ToY = to.Y;
    PosX = FromX;
    PosY = FromY;
    IsNew = !Net || !Net->CellExists(fromCol, fromRow);
}

void TFallChip::Step() {
    if (BoardState() == asIdle) {
        Finish();
        return;
    }
    const float t = BoardTime();
    const float s = t < 0.75f ? t / 0.75f : 1;
    PosX = FallEase(FromX, ToX, 1 - s);
    PosY = FallEase(FromY, ToY, 1 - s);
}

TStartChip::TStartChip(int32_t col, float fallTime, float delay, int32_t row, int32_t fromRow)
    : TFly(col, row), Delay(delay), FallTime(fallTime) {
    const TWorldPoint from = Centre(col, fromRow), to = Centre(col, row);
    FromX = from.X;
    FromY = from.Y;
    ToX = to.X;
    ToY = to.Y;
    PosX = FromX;
    PosY = FromY;
}

void TStartChip::Step() {
    const bool transition = BoardGame && BoardGame->TransitionRunning();
    if (!transition && Delay > 0) {
        // The delay runs out on the step that reaches 0, so the content always shows with its sound.
        if (Delay - Delta <= 0) {
            Delay = 0;
            BoardPlaySample("StartLevel_FallDown");
        } else {
            Delay -= Delta;
        }
    }
    if (Delay <= 0) FallTime = std::max(0.0f, FallTime - Delta);
    const float u = 1 - 0.5f * FallTime / 30;
    PosX = FallEase(FromX, ToX, u);
    PosY = FallEase(FromY, ToY, u);
}

// ---- dragged chip ----

TDragNDropChip::TDragNDropChip(int32_t col, int32_t row) : TFly(col, row) {
    if (Net) {
        Kind = Net->Cells.At(col, row).Kind;
        Value = Net->Cells.At(col, row).Value;
    }
    if (Kind == ckChip) Picture = MakePicture(this, tiChips, sbTexAlpha, UVAt(ChipsUV, Value - 1));
    if (Kind == ckBonus) Picture = MakePicture(this, tiBonuses, sbTexAlpha, UVAt(BonusesUV, Value - 1));
    ShowAtPosition();
}

void TDragNDropChip::ShowAtPosition() {
    if (Picture) PlaceCentred(Picture, PosX, PosY, cChipPixels);
    if (Kind == ckSlice && ArtMaster)
        if (TSlice* s = ArtMaster->Slice(Value)) s->MoveTo(PosX, PosY);
}

void TDragNDropChip::Release() {
    if (Mouse) {
        ReleaseX = Mouse->WorldX();
        ReleaseY = Mouse->WorldY();
    }
    const TWorldPoint home = Centre(Col, Row);
    HomeX = home.X;
    HomeY = home.Y;
}

void TDragNDropChip::Step() {
    if (Dead) return;
    if (BoardState() != asSettle) {
        if (Mouse) {
            PosX = Mouse->WorldX();
            PosY = Mouse->WorldY();
        }
    } else {
        const float t = BoardTime();
        PosX = ReleaseX + (HomeX - ReleaseX) * (1 - t);
        PosY = ReleaseY + (HomeY - ReleaseY) * (1 - t);
    }
    ShowAtPosition();
}

// ---- bonus pictures ----

TSapChip::TSapChip(int32_t col, int32_t row) : TFly(col, row) {
    if (Net) Colour = Net->Cells.At(col, row).Value;
}

void TSapChip::Step() {
    if (BoardState() != asSap) {
        Dead = true;
        return;
    }
    if (VisNet) VisNet->AddChip(Colour, 0, 1, BoardTime() >= 0.5f ? 1 : 2, {PosX, PosY});
}

TPaintChip::TPaintChip(int32_t col, int32_t newColour, int32_t row) : TFly(col, row), NewColour(newColour) {
    if (Net) OldColour = Net->Cells.At(col, row).Value;
    OldPicture = MakePicture(this, tiChips, sbTexModAlpha, UVAt(ChipsUV, OldColour - 1));
    NewPicture = MakePicture(this, tiChips, sbTexModAlpha, UVAt(ChipsUV, NewColour - 1));
    PlaceOnCell(OldPicture, col, row, cCellPixels);
    PlaceOnCell(NewPicture, col, row, cCellPixels);
    OldPicture->SetColor(WithAlpha(0, OldAlpha));
    NewPicture->SetColor(WithAlpha(0, NewAlpha));
}

void TPaintChip::Step() {
    if (BoardState() != asPaint) {
        Dead = true;
        return;
    }
    OldAlpha = BoardTime();
    NewAlpha = 1 - BoardTime();
    OldPicture->SetColor(WithAlpha(0, OldAlpha));
    NewPicture->SetColor(WithAlpha(0, NewAlpha));
}

TBlinkChip::TBlinkChip(int32_t col, int32_t row) : TFly(col, row) {
    if (Net) {
        Kind = Net->Cells.At(col, row).Kind;
        Value = Net->Cells.At(col, row).Value;
    }
    Picture = MakePicture(this, tiGlares1, sbAdditive, {});
    PlaceOnCell(Picture, col, row, cCellPixels - 2);
    ShowGlareFrame(Picture, Kind == ckChip ? Value : 1, 0);
    Picture->UploadVertices();
    Picture->Visible = false;
    ++PreviewBlinking;
}

// A blink freed before it finished (the level left in the middle of a preview) is no longer running.
TBlinkChip::~TBlinkChip() {
    if (!Finish) PreviewBlinking = std::max(0, PreviewBlinking - 1);
}

void TBlinkChip::Step() {
    Phase = std::max(0.0f, Phase - Speed * Delta);
    Shown = Phase <= 1;
    Picture->Visible = Shown;
    if (Phase > 0) {
        ShowGlareFrame(Picture, Kind == ckChip ? Value : 1, GlareFrame(Phase));
        Picture->UploadVertices();
        return;
    }
    const bool lampOrSap = BonusPanel && (BonusPanel->Hovered == 2 || BonusPanel->Hovered == 4);
    if (lampOrSap && BoardState() == asIdle) {
        Phase = 1;
        return;
    }
    Finish = true;
    Dead = true;
    PreviewBlinking = std::max(0, PreviewBlinking - 1);
}

// ---- glares ----

TGlare::TGlare(int32_t col, uint8_t variant, int32_t row) : Col(col), Row(row), Variant(variant) {
    if (Net) {
        Kind = Net->Cells.At(col, row).Kind;
        Value = Net->Cells.At(col, row).Value;
    }
    if (variant == 0) {
        Phase = 1 + Random();
    } else {
        Phase = 1;
        BoardPlaySample("HelpAppear");
    }
    Picture = MakePicture(this, tiGlares1, sbAdditive, {});
    PlaceOnCell(Picture, col, row, cCellPixels - 2);
    ShowGlareFrame(Picture, Kind == ckChip ? Value : 1, 0);
    Picture->UploadVertices();
    Picture->Visible = false;
}

void TGlare::Step() {
    if (Variant == 1 && BoardState() != asIdle) {
        Dead = true; // a hint ends as soon as the player starts a move
        return;
    }
    Phase = std::max(0.0f, Phase - Speed * Delta);
    Shown = !(Variant == 0 && Phase > 1) && !(BoardGame && BoardGame->Paused());
    Picture->Visible = Shown;
    if (Phase > 0) Frame = GlareFrame(Phase);
    ShowGlareFrame(Picture, Kind == ckChip ? Value : 1, Frame);
    Picture->UploadVertices();
    const TCell* cell = Net ? &Net->Cells.At(Col, Row) : nullptr;
    if (!cell || cell->Kind != Kind || cell->Value != Value) {
        Dead = true;
        return;
    }
    if (Phase > 0) return;
    if (Variant == 0) {
        Dead = true;
        return;
    }
    if (BoardState() != asIdle) {
        Dead = true;
        return;
    }
    if (LifeTime <= 240 || Help)
        Phase = 1;
    else
        Dead = true;
}

} // namespace velmora
