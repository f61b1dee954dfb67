#include "board/gamevis.h"

#include <algorithm>
#include <cmath>

#include "app/device.h"
#include "app/log.h"
#include "app/options.h"
#include "platform/d3d8.h"
#include "render/blocks.h"
#include "render/partmaster.h"
#include "render/particles.h"
#include "render/tex.h"

namespace velmora {

TVisNet* VisNet = nullptr;
TActiveRects* ActiveRects = nullptr;

namespace {
float Size() {
    return PixelSize > 0 ? PixelSize : 2.0f / cLayoutHeight;
}
// World position of a pixel; works for pixels outside the screen (contents above the board).
float WorldOfPixelX(float px) {
    const float right = ViewRight != 0 ? ViewRight : static_cast<float>(cLayoutWidth) / cLayoutHeight;
    return px * Size() - right + Size() / 2;
}
float WorldOfPixelY(float py) {
    const float top = ViewTop != 0 ? ViewTop : 1.0f;
    return -py * Size() + top + Size() / 2;
}

uint32_t WhiteWithOpacity(float opacity) {
    const float a = std::clamp(opacity, 0.0f, 1.0f);
    return (static_cast<uint32_t>(std::lround(a * 255)) << 24) | 0xFFFFFFu;
}

// Two triangles of a quad centred on (x, y): top-left, top-right, bottom-left; top-right,
// bottom-right, bottom-left.
void PutQuad(TVertexDiffuseTex* v, float x, float y, float half, const TUVRect& uv, uint32_t colour) {
    const float l = x - half, r = x + half, t = y + half, b = y - half;
    const TVertexDiffuseTex corners[6] = {
        {l, t, 0, colour, uv.Left, uv.Top},     {r, t, 0, colour, uv.Right, uv.Top},
        {l, b, 0, colour, uv.Left, uv.Bottom},  {r, t, 0, colour, uv.Right, uv.Top},
        {r, b, 0, colour, uv.Right, uv.Bottom}, {l, b, 0, colour, uv.Left, uv.Bottom}};
    std::copy(std::begin(corners), std::end(corners), v);
}

const TUVRect& Entry(const TUVRect* table, int32_t size, int32_t index) {
    static const TUVRect none{};
    return index >= 0 && index < size ? table[index] : none;
}

IDirect3DTexture8* StoreTex(int32_t id) {
    return TexArr ? TexArr->Texture(id) : nullptr;
}

template <class T> bool RoomFor(std::vector<T>& list, bool& reported, const char* what) {
    if (list.size() < static_cast<size_t>(cMaxVisEntries)) return true;
    if (!reported) Log(std::string("TVisNet.") + what + " full; the entry is not drawn");
    reported = true;
    return false;
}
} // namespace

float PixelsToWorld(float pixels) {
    return pixels * Size();
}

TWorldPoint CellCentreAt(int32_t left, int32_t top, int32_t x, int32_t y) {
    return {WorldOfPixelX(static_cast<float>(left + cCellPixels * (x - 1) + cCellPixels / 2)),
            WorldOfPixelY(static_cast<float>(top + cCellPixels * (y - 1) + cCellPixels / 2))};
}

// ---- TVisNet ------------------------------------------------------------------------------------

TVisNet::TVisNet(int32_t left, int32_t top) : Left(left), Top(top) {
    VisNet = this;
    for (int32_t x = 1; x <= 32; ++x)
        for (int32_t y = -32; y <= 32; ++y) {
            CellCentre[x][y + 32] = CellCentreAt(left, top, x, y);
            CellPixel[x][y + 32] = {left + cCellPixels * (x - 1), top + cCellPixels * (y - 1)};
        }
    SetPrimitiveType(D3DPT_TRIANGLELIST);
    SetVertexFormat(vfDiffuseTex);
    SetPrimitiveCount(6 * cMaxVisEntries); // two triangles per entry of each of the three lists
    Block1 = sbTexAlpha;
    Chips.reserve(cMaxVisEntries);
    Bonuses.reserve(cMaxVisEntries);
    Chains.reserve(cMaxVisEntries);
    CreateVertexBuffer();
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
    Dirty = true;
    if (RoomFor(Chips, ChipsFullReported, "AddChip: chip list"))
        Chips.push_back({colour + 12 * variant, opacity, pos, WhiteWithOpacity(opacity)});
    if (locks >= 1 && RoomFor(Chains, ChainsFullReported, "AddChip: chain list"))
        Chains.push_back({locks, pos});
}

void TVisNet::AddBonus(TWorldPoint pos, int32_t code, float opacity) {
    Dirty = true;
    if (RoomFor(Bonuses, BonusesFullReported, "AddBonus: bonus list"))
        Bonuses.push_back({code, opacity, pos, WhiteWithOpacity(opacity)});
}

void TVisNet::PointToCell(int32_t px, int32_t py, int32_t& x, int32_t& y) const {
    x = px < Left ? -1 : (px - Left) / cCellPixels + 1;
    y = py < Top ? -1 : (py - Top) / cCellPixels + 1;
}

TWorldPoint TVisNet::Centre(int32_t x, int32_t y) const {
    if (x < 1 || x > 32 || y < -32 || y > 32) return CellCentreAt(Left, Top, x, y);
    return CellCentre[x][y + 32];
}

TPixelPoint TVisNet::Pixel(int32_t x, int32_t y) const {
    if (x < 1 || x > 32 || y < -32 || y > 32)
        return {Left + cCellPixels * (x - 1), Top + cCellPixels * (y - 1)};
    return CellPixel[x][y + 32];
}

void TVisNet::FillVertices() {
    auto* v = VerticesAs<TVertexDiffuseTex>();
    const float half = PixelsToWorld(cChipPixels / 2.0f);
    for (const TChipEntry& c : Chips) {
        PutQuad(v, c.Pos.X, c.Pos.Y, half, Entry(ChipsUV, 36, c.Picture - 1), c.Color);
        v += 6;
    }
    for (const TBonusEntry& b : Bonuses) {
        PutQuad(v, b.Pos.X, b.Pos.Y, half, Entry(BonusesUV, 36, b.Code - 1), b.Color);
        v += 6;
    }
    // The two chain pictures follow the bonus pictures in the sheet.
    for (const TChainEntry& c : Chains) {
        PutQuad(v, c.Pos.X, c.Pos.Y, half, Entry(BonusesUV, 36, 23 + c.Locks), 0xCCFFFFFFu);
        v += 6;
    }
}

void TVisNet::DrawPrimitives() {
    const auto chips = static_cast<int32_t>(Chips.size()), bonuses = static_cast<int32_t>(Bonuses.size()),
               chains = static_cast<int32_t>(Chains.size());
    if (Dirty) {
        FillVertices();
        UploadPrimitives(2 * (chips + bonuses + chains)); // only the part the draws read
        Dirty = false;
    }
    if (!VertexBuffer || !Device) return;
    if (StateBlocks) StateBlocks->Apply(sbTexModAlpha);
    ST(0, StoreTex(tiChips));
    if (chips) Device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 2 * chips);
    ST(0, StoreTex(tiBonuses));
    if (bonuses) Device->DrawPrimitive(D3DPT_TRIANGLELIST, 6 * chips, 2 * bonuses);
    if (StateBlocks) StateBlocks->Apply(sbTexAlpha);
    ST(0, StoreTex(tiBonuses));
    if (chains) Device->DrawPrimitive(D3DPT_TRIANGLELIST, 6 * (chips + bonuses), 2 * chains);
}

// ---- TActiveRects -------------------------------------------------------------------------------

TActiveRects::TActiveRects() {
    ActiveRects = this;
    HoverRect = Add(new TTexRect());
    SelectRect = Add(new TTexRect());
    for (TTexRect* r : {HoverRect, SelectRect}) {
        r->TexId = tiActSel;
        r->Block1 = sbTexAlpha;
        r->Visible = false;
    }
}

TActiveRects::~TActiveRects() {
    if (ActiveRects == this) ActiveRects = nullptr;
}

void TActiveRects::PlaceOver(TTexRect* rect, int32_t x, int32_t y) {
    const TWorldPoint c = VisNet ? VisNet->Centre(x, y) : TWorldPoint{};
    const float half = PixelsToWorld(cChipPixels / 2.0f), down = PixelsToWorld(1);
    rect->SetWorldRect(c.X - half, c.Y - half - down, c.X + half, c.Y + half - down);
    rect->SetUVRect(rect == HoverRect ? ActSelUV[0] : ActSelUV[1]);
    rect->UploadVertices();
    rect->Visible = true;
}

void TActiveRects::ShowHover(int32_t x, int32_t y) {
    HoverShown = true;
    HoverX = x;
    HoverY = y;
    PlaceOver(HoverRect, x, y);
}

void TActiveRects::ShowSelect(int32_t x, int32_t y) {
    SelectShown = true;
    SelectX = x;
    SelectY = y;
    PlaceOver(SelectRect, x, y);
}

void TActiveRects::HideHover() {
    HoverShown = false;
    HoverRect->Visible = false;
}

void TActiveRects::HideSelect() {
    SelectShown = false;
    SelectRect->Visible = false;
}

// ---- particles ----------------------------------------------------------------------------------

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
