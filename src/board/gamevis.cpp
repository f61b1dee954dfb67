#include "board/gamevis.h"

#include "app/options.h"
#include "render/partmaster.h"
#include "render/particles.h"

namespace velmora {

TVisNet* VisNet = nullptr;
TActiveRects* ActiveRects = nullptr;
TArtMaster* ArtMaster = nullptr;

namespace {
// World position of a pixel; works for pixels outside the screen (contents above the board).
float WorldOfPixelX(float px) {
    const float size = PixelSize > 0 ? PixelSize : 2.0f / cLayoutHeight;
    const float right = ViewRight != 0 ? ViewRight : static_cast<float>(cLayoutWidth) / cLayoutHeight;
    return px * size - right + size / 2;
}
float WorldOfPixelY(float py) {
    const float size = PixelSize > 0 ? PixelSize : 2.0f / cLayoutHeight;
    const float top = ViewTop != 0 ? ViewTop : 1.0f;
    return -py * size + top + size / 2;
}
} // namespace

TWorldPoint CellCentreAt(int32_t left, int32_t top, int32_t x, int32_t y) {
    return {WorldOfPixelX(static_cast<float>(left + 40 * (x - 1) + 20)),
            WorldOfPixelY(static_cast<float>(top + 40 * (y - 1) + 20))};
}

TVisNet::TVisNet(int32_t left, int32_t top) : Left(left), Top(top) {
    VisNet = this;
    for (int32_t x = 1; x <= 32; ++x)
        for (int32_t y = -32; y <= 32; ++y)
            CellCentre[x][y + 32] = CellCentreAt(left, top, x, y);
}

TVisNet::~TVisNet() {
    if (VisNet == this) VisNet = nullptr;
}

void TVisNet::ClearLists() {
    Chips.clear();
    Bonuses.clear();
    Chains.clear();
    Dirty = true;
}

void TVisNet::AddChip(int32_t colour, int32_t locks, float opacity, int32_t variant, TWorldPoint pos) {
    Chips.push_back({colour + 12 * variant, opacity, pos});
    if (locks >= 1) Chains.push_back({locks, pos});
    Dirty = true;
}

void TVisNet::AddBonus(TWorldPoint pos, int32_t code, float opacity) {
    Bonuses.push_back({code, opacity, pos});
    Dirty = true;
}

void TVisNet::PointToCell(int32_t px, int32_t py, int32_t& x, int32_t& y) const {
    x = px < Left ? -1 : (px - Left) / 40 + 1;
    y = py < Top ? -1 : (py - Top) / 40 + 1;
}

TWorldPoint TVisNet::Centre(int32_t x, int32_t y) const {
    if (x < 1 || x > 32 || y < -32 || y > 32) return CellCentreAt(Left, Top, x, y);
    return CellCentre[x][y + 32];
}

TActiveRects::TActiveRects() {
    ActiveRects = this;
}

TActiveRects::~TActiveRects() {
    if (ActiveRects == this) ActiveRects = nullptr;
}

void TActiveRects::ShowHover(int32_t x, int32_t y) {
    HoverShown = true;
    HoverX = x;
    HoverY = y;
}

void TActiveRects::ShowSelect(int32_t x, int32_t y) {
    SelectShown = true;
    SelectX = x;
    SelectY = y;
}

void TSlice::Place() {
    if (Placed) return;
    Placed = true;
    if (auto* art = dynamic_cast<TArtMaster*>(Parent)) art->SlicesLeft -= 1;
}

TArtMaster::TArtMaster() {
    ArtMaster = this;
}

TArtMaster::~TArtMaster() {
    if (ArtMaster == this) ArtMaster = nullptr;
}

void TArtMaster::SetSlices(int32_t count) {
    Slices.assign(1, nullptr);
    for (int32_t i = 1; i <= count; ++i)
        Slices.push_back(Add(new TSlice(i)));
    SliceCount = count;
    SlicesLeft = count;
}

TSlice* TArtMaster::Slice(int32_t number) const {
    return number >= 1 && number < static_cast<int32_t>(Slices.size()) ? Slices[static_cast<size_t>(number)]
                                                                       : nullptr;
}

void ExplodeColour(TGamePartMaster* master, int32_t colour, float x, float y) {
    static const char* const files[] = {"",
                                        "@LittleExplosion_Yellow.prt",
                                        "@LittleExplosion_Green.prt",
                                        "@LittleExplosion_Red.prt",
                                        "@LittleExplosion_White.prt",
                                        "@LittleExplosion_Green.prt",
                                        "@LittleExplosion_Purple.prt",
                                        "@LittleExplosion_Blue.prt",
                                        "@LittleExplosion_Brown.prt",
                                        "@LittleExplosion_Turq.prt",
                                        "@LittleExplosion_Black.prt"};
    if (!master) return;
    TParticles* p = master->Add(new TParticles());
    if (colour < 1 || colour > 10) return;
    p->LoadFromFile(ParticleFilePath(files[colour]));
    p->BuildRamps();
    p->Reset();
    p->OneShot = true;
    p->EmitFrom[0] = x;
    p->EmitFrom[1] = y;
}

void ChainSpark(TGamePartMaster* master, float x1, float y1, float x2, float y2) {
    if (!master) return;
    TParticles* p = master->Add(new TParticles());
    p->LoadFromFile(ParticleFilePath("@LitExpl.prt"));
    p->OneShot = true;
    p->SetTrail(true);
    p->MoveTo(x1, y1);
    p->MoveTo(x2, y2);
    p->Reset();
}

} // namespace velmora
