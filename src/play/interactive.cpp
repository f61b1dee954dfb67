#include "play/interactive.h"

#include <algorithm>
#include <cmath>

#include "app/gamedat.h"
#include "app/input.h"
#include "app/options.h"
#include "board/flies.h"
#include "board/gamevis.h"
#include "board/net.h"
#include "render/blocks.h"
#include "render/itf.h"
#include "render/tex.h"
#include "render/texlabels.h"
#include "render/visual.h"
#include "ui/w_menu.h"

namespace velmora {

TInteractiveHelp* HelpBubble = nullptr;

// While a bubble is on screen these keys are its own, fading out too, so that a key pressed to
// dismiss it never also picks a chip.
bool CloseHelpBubbleByKey(uint16_t key) {
    if (key != VK_RETURN && key != VK_SPACE && key != VK_ESCAPE) return false;
    if (!HelpBubble || HelpBubble->Dead) return false;
    if (HelpBubble->State == 1 || HelpBubble->State == 2) HelpBubble->Close();
    return true;
}

namespace {

constexpr int32_t cMinBox = 81;
constexpr int32_t cAway = 25;
constexpr int32_t cCorner = 40;  // corner pieces of the frame picture
constexpr int32_t cButtonW = 64; // the OK button sits in the box's bottom edge
constexpr int32_t cButtonH = 24;
constexpr float cFade = 20;
constexpr float cOpenPeriod = 10000000;
// The frame's own alpha per piece (0-3 corners, 4-7 edges, 8 the middle, 9-10 the button halves):
// the button face lets a little of the paper through.
constexpr uint8_t cPieceAlpha[11] = {255, 255, 255, 255, 255, 255, 255, 255, 255, 230, 230};
const uint32_t cButtonTint[3] = {0x00E8D8B0u, 0x00FFF4D0u, 0x00B8A070u};

TPlayerRec* PlayerOrNull() {
    if (GameDat.CurrentPlayer < 1 || GameDat.CurrentPlayer > 4) return nullptr;
    return &CurrentPlayerRec();
}

int32_t CellPixelCentreX(int32_t x) {
    return Net ? Net->PixelLeft() + cCellPixels * (x - 1) + cCellPixels / 2 : 0;
}
int32_t CellPixelCentreY(int32_t y) {
    return Net ? Net->PixelTop() + cCellPixels * (y - 1) + cCellPixels / 2 : 0;
}

bool IsSlice(const TCell& c) {
    return c.Kind == ckSlice;
}
bool IsWall(const TCell& c) {
    return c.Kind == ckBlank;
}
bool IsLock1(const TCell& c) {
    return c.Lock == 1;
}
bool IsLock2(const TCell& c) {
    return c.Lock == 2;
}

} // namespace

TBubbleBox BubbleBox(int32_t textW, int32_t textH, uint8_t dir, int32_t x, int32_t y) {
    TBubbleBox b;
    b.Width = std::max(cMinBox, textW + 40);
    b.Height = std::max(cMinBox, textH + 60);
    switch (dir) {
    case adLeft:
        b.Left = x - cAway - b.Width;
        b.Top = y - b.Height / 2;
        break;
    case adBelow:
        b.Left = x - b.Width / 2;
        b.Top = y + cAway;
        break;
    case adRight:
        b.Left = x + cAway;
        b.Top = y - b.Height / 2;
        break;
    default:
        b.Left = x - b.Width / 2;
        b.Top = y - cAway - b.Height;
        break;
    }
    return b;
}

float ArrowBob(float age) {
    return std::sin(0.2f * age) * 6.0f;
}

// ---- one bubble ----

TInteractiveHelp::TInteractiveHelp(const std::string& text, uint8_t arrowDir, int32_t y, int32_t x,
                                   bool hideArrow)
    : Key(text), ArrowX(x), ArrowY(y), ArrowDir(static_cast<uint8_t>(arrowDir & 3)) {
    StepInStates = false;
    Arrow = Add(new TTexRect());
    Arrow->TexId = tiArrows;
    Arrow->Block1 = sbTexModAlpha;
    Arrow->SetUVRect(ArrowsUV[ArrowDir]);
    Arrow->Visible = !hideArrow;

    TTexLabelExParams p;
    p.Font = InteractiveHelp ? InteractiveHelp : GameTextFont(22);
    p.Text = TextOf(text);
    TextLabel = Add(new TTexLabelEx(p));
    TextLabel->Layout();
    const int32_t textW =
        static_cast<int32_t>(std::lround(TextLabel->BlockWidth / std::max(PixelSize, 1e-6f)));
    const int32_t textH =
        static_cast<int32_t>(std::lround(TextLabel->BlockHeight / std::max(PixelSize, 1e-6f)));
    Box = BubbleBox(textW, textH, ArrowDir, x, y);

    Frame = Add(new TTexRecter());
    Frame->TexId = tiIHelp;
    Frame->Block1 = sbTexModAlpha;
    BuildFrame();
    BringToFront(TextLabel); // over the frame
    BringToFront(Arrow);
    TextLabel->X = TableX(Box.Left + Box.Width / 2) - HalfPixel;
    TextLabel->Y = TableY(Box.Top + 18 + textH / 2) - HalfPixel;
    TextLabel->ExBlock1 = sbTexModAlpha;
    TextLabel->Layout();
    ButtonLabel =
        Add(MakeGameLabel(19, TextOf("TEXT_Ok"), ButtonLeft + cButtonW / 2, ButtonTop + cButtonH / 2));
    ButtonLabel->ExBlock1 = sbTexModAlpha;
    PlaceArrow();

    Link = std::make_unique<TLink>(this);
    HelpBubble = this;
    SetStateInfo(1, &TInteractiveHelp::OnFadeIn, cFade);
    SetStateInfo(2, &TInteractiveHelp::OnOpen, cOpenPeriod);
    SetStateInfo(3, &TInteractiveHelp::OnFadeOut, cFade);
    SetAlpha(0);
    SetState(1);
}

TInteractiveHelp::~TInteractiveHelp() {
    if (HelpBubble == this) HelpBubble = nullptr;
}

void TInteractiveHelp::BuildFrame() {
    const int32_t l = Box.Left, t = Box.Top, w = Box.Width, h = Box.Height, c = cCorner;
    const TBubbleBox rects[9] = {{l, t, c, c},
                                 {l + w - c, t, c, c},
                                 {l, t + h - c, c, c},
                                 {l + w - c, t + h - c, c, c},
                                 {l + c, t, w - 2 * c, c},
                                 {l + w - c, t + c, c, h - 2 * c},
                                 {l + c, t + h - c, w - 2 * c, c},
                                 {l, t + c, c, h - 2 * c},
                                 {l + c, t + c, w - 2 * c, h - 2 * c}};
    Frame->RectCount = 0;
    for (int i = 0; i < 9; ++i)
        Frame->AddRect(rects[i].Left, rects[i].Top, IHelpUV[i], rects[i].Width, rects[i].Height, 0);
    ButtonLeft = l + (w - cButtonW) / 2;
    ButtonTop = t + h - cButtonH - 8;
    Frame->AddRect(ButtonLeft, ButtonTop, IHelpUV[9], cButtonW / 2, cButtonH, 0);
    Frame->AddRect(ButtonLeft + cButtonW / 2, ButtonTop, IHelpUV[10], cButtonW / 2, cButtonH, 0);
    std::copy(std::begin(cPieceAlpha), std::end(cPieceAlpha), FrameAlpha);
    Frame->BuildRects();
}

void TInteractiveHelp::ApplyFrameColors() {
    for (int i = 0; i < 11 && i < Frame->RectCount; ++i) {
        const float a = std::clamp(Alpha * FrameAlpha[i] / 255.0f, 0.0f, 1.0f);
        const uint32_t tint = i >= 9 ? cButtonTint[ButtonLook] : 0x00FFFFFFu;
        Frame->Rects[i].Color = (WhiteAlpha(a) & 0xFF000000u) | tint;
    }
    if (Frame->VertexCount > 0) {
        Frame->FillVertices();
        Frame->UploadVertices();
    }
}

void TInteractiveHelp::SetAlpha(float alpha) {
    Alpha = alpha;
    const uint32_t c = WhiteAlpha(alpha);
    TextLabel->SetColor(c);
    if (ButtonLabel) ButtonLabel->SetColor(c);
    Arrow->SetColor(c);
    ApplyFrameColors();
}

void TInteractiveHelp::PlaceArrow() {
    // The arrow's tip touches the point; its picture lies between the point and the box.
    const TUVRect& uv = ArrowsUV[ArrowDir];
    const int32_t w = static_cast<int32_t>(std::lround((uv.Right - uv.Left) * 128));
    const int32_t h = static_cast<int32_t>(std::lround((uv.Bottom - uv.Top) * 128));
    const int32_t bob = static_cast<int32_t>(std::lround(ArrowBob(LifeTime)));
    int32_t l = ArrowX - w / 2, t = ArrowY - h / 2;
    switch (ArrowDir) {
    case adLeft:
        l = ArrowX - w + bob;
        break;
    case adBelow:
        t = ArrowY + bob;
        break;
    case adRight:
        l = ArrowX + bob;
        break;
    default:
        t = ArrowY - h + bob;
        break;
    }
    Arrow->SetRectLTRB(l, t, l + w, t + h);
}

bool TInteractiveHelp::OverButton() const {
    if (!Mouse) return false;
    return Mouse->X >= ButtonLeft && Mouse->X < ButtonLeft + cButtonW && Mouse->Y >= ButtonTop &&
           Mouse->Y < ButtonTop + cButtonH;
}

bool TInteractiveHelp::MouseOver() {
    if (!Mouse) return false;
    return Mouse->X >= Box.Left && Mouse->X < Box.Left + Box.Width && Mouse->Y >= Box.Top &&
           Mouse->Y < Box.Top + Box.Height;
}

void TInteractiveHelp::Close() {
    if (State == 3) return;
    const float reached = State == 1 ? 1 - StateTime : 1;
    SetState(3);
    StateTime = reached;
}

void TInteractiveHelp::Step() {
    // The level window closes an open bubble through the global it knows.
    if (Link && Link->Dead) {
        Dead = true;
        return;
    }
    TStater::Step();
}

void TInteractiveHelp::Render() {
    if (Link && !Link->Visible) return;
    TStater::Render();
}

void TInteractiveHelp::OnFadeIn(TStateEvent e) {
    if (e == seStart) BoardPlaySample("HelpAppear");
    if (e == seRunning) {
        SetAlpha(1 - StateTime);
        PlaceArrow();
        if (Mouse && Mouse->Pressed(0)) Close();
    }
    if (e == seFinish) SetState(2);
}

void TInteractiveHelp::OnOpen(TStateEvent e) {
    if (e != seRunning) return;
    PlaceArrow();
    const uint8_t look = OverButton() ? (Mouse->IsDown(0) ? 2 : 1) : 0;
    if (look != ButtonLook) {
        ButtonLook = look;
        ApplyFrameColors();
    }
    if (!Mouse) return;
    if (OverButton() ? Mouse->Released(0) : Mouse->Pressed(0)) Close();
}

void TInteractiveHelp::OnFadeOut(TStateEvent e) {
    if (e == seStart) {
        BoardPlaySample("Button1");
        if (Net) Net->HintTimer = cHintRepeat;
    }
    if (e == seRunning) {
        SetAlpha(StateTime);
        PlaceArrow();
    }
    if (e == seFinish) {
        Dead = true;
        Link.reset(); // Help := nil
        if (HelpBubble == this) HelpBubble = nullptr;
    }
}

// ---- the master ----

TInteractiveMaster::TInteractiveMaster() {
    HelpMaster = this;
    SetStateInfo(1, &TInteractiveMaster::OnWait, 30);
    SetStateInfo(2, &TInteractiveMaster::OnWatch, cOpenPeriod);
    SetStateInfo(3, &TInteractiveMaster::OnCheck, 1);
    SetState(1);
}

TInteractiveMaster::~TInteractiveMaster() {
    if (HelpMaster == this) HelpMaster = nullptr;
}

bool TInteractiveMaster::Shown(int32_t topic) {
    TPlayerRec* rec = PlayerOrNull();
    return !rec || topic < 0 || topic >= cHelpTopics || rec->HelpShown[topic] != 0;
}

void TInteractiveMaster::SetShown(int32_t topic, bool value) {
    TPlayerRec* rec = PlayerOrNull();
    if (rec && topic >= 0 && topic < cHelpTopics) rec->HelpShown[topic] = value ? 1 : 0;
}

TInteractiveHelp* TInteractiveMaster::OpenBubble(const std::string& key, uint8_t dir, int32_t x, int32_t y,
                                                 bool hideArrow) {
    if (HelpBubble) HelpBubble->Close();
    return Add(new TInteractiveHelp(key, dir, y, x, hideArrow));
}

void TInteractiveMaster::OnWait(TStateEvent e) {
    if (e == seFinish) SetState(3);
}

void TInteractiveMaster::OnCheck(TStateEvent e) {
    if (e != seStart) return;
    CheckBoard();
    SetState(2);
}

void TInteractiveMaster::OnWatch(TStateEvent e) {
    if (e == seRunning && !Help) SetState(1);
}

void TInteractiveMaster::CheckBoard() {
    if (!Net || Net->AState != asIdle || Help) return;
    // One bubble per check: a later check's bubble would close this one in the same frame, its
    // topic marked as seen and never read. The next check, after it closes, goes on.
    if (CheckMove() || CheckSlices()) return;
    if (!Shown(htLastSlice) && Shown(htLastSliceArmed)) {
        int32_t x = 0, y = 0;
        if (FindCell(IsSlice, true, x, y)) {
            PointAtCell(htLastSlice, "Text_IntHelp_NeedToDrop2Slice", x, y);
            return;
        }
    }
    struct TCheck {
        int32_t Topic;
        const char* Key;
        bool (*Match)(const TCell&);
    };
    static const TCheck cChecks[3] = {{htWall, "Text_IntHelp_WallShowed", IsWall},
                                      {htLock1, "Text_IntHelp_Lock1Showed", IsLock1},
                                      {htLock2, "Text_IntHelp_Lock2Showed", IsLock2}};
    for (const TCheck& check : cChecks) {
        if (Shown(check.Topic)) continue;
        int32_t x = 0, y = 0;
        if (FindCell(check.Match, false, x, y)) {
            PointAtCell(check.Topic, check.Key, x, y);
            return;
        }
    }
    CheckBonuses();
}

bool TInteractiveMaster::CheckMove() {
    if (Shown(htTwoHor)) return false;
    int32_t x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    if (Net->CountMoves(false, x1, y1, x2, y2) <= 0) return false;
    SetShown(htTwoHor, true);
    const int32_t px = CellPixelCentreX(x1) - 60;
    const int32_t py = CellPixelCentreY(y1) + (x1 == x2 ? 0 : 20);
    OpenBubble("Text_IntHelp_TwoHor", adLeft, px, py, true);
    for (const auto& [cx, cy] : {std::pair{x1, y1}, std::pair{x2, y2}})
        if (Net->CellExists(cx, cy) && Net->Cells.At(cx, cy).Kind == ckChip) Add(new TGlare(cx, 1, cy));
    return true;
}

bool TInteractiveMaster::CheckSlices() {
    if (Shown(htArtSlices) || !Shown(htTwoHor)) return false;
    TPlayerRec* rec = PlayerOrNull();
    if (!rec || rec->Falls <= 0) return false;
    SetShown(htArtSlices, true);
    int32_t x = 0, y = 0;
    if (!FindCell(IsSlice, true, x, y)) return false;
    OpenBubble("Text_IntHelp_WhatIsArtSlices", adAbove, CellPixelCentreX(x) + 20, CellPixelCentreY(y) - 20);
    return true;
}

// Slices are looked for from the row above the bottom upwards (one on the bottom row is leaving);
// walls and chains from the bottom row upwards.
bool TInteractiveMaster::FindCell(bool (*match)(const TCell&), bool slices, int32_t& fx, int32_t& fy) const {
    const int32_t w = Net->Info.Width, h = Net->Info.Height;
    for (int32_t y = slices ? h - 1 : h; y >= 1; --y)
        for (int32_t x = 1; x <= w; ++x)
            if (match(Net->Cells.At(x, y))) {
                fx = x;
                fy = y;
                return true;
            }
    return false;
}

bool TInteractiveMaster::CheckBonuses() {
    const int32_t w = Net->Info.Width, h = Net->Info.Height;
    for (int32_t y = 1; y <= h; ++y)
        for (int32_t x = 1; x <= w; ++x) {
            const TCell& c = Net->Cells.At(x, y);
            if (c.Kind != ckBonus || c.Value < 1 || c.Value > 8 || Shown(htBonusBase + c.Value)) continue;
            PointAtCell(htBonusBase + c.Value, "Text_IntHelp_Bonus" + std::to_string(c.Value), x, y);
            return true;
        }
    return false;
}

void TInteractiveMaster::PointAtCell(int32_t topic, const std::string& key, int32_t x, int32_t y) {
    SetShown(topic, true);
    const int32_t px = CellPixelCentreX(x), py = CellPixelCentreY(y);
    if (py < 300)
        OpenBubble(key, adBelow, px + 20, py + 60);
    else
        OpenBubble(key, adAbove, px + 20, py - 20);
}

void TInteractiveMaster::ShowError(int32_t, int32_t, int32_t, int32_t) {
    if (Shown(htError)) return;
    SetShown(htError, true);
    OpenBubble("Text_IntHelp_Error", adAbove, 550, 540, true);
    TPlayerRec* rec = PlayerOrNull();
    if (rec && rec->Level == 1) SetShown(htError, false);
}

void TInteractiveMaster::LowTime() {
    if (Shown(htLowTime)) return;
    SetShown(htLowTime, true);
    OpenBubble("Text_IntHelp_LowTime", adAbove, 380, 474);
}

void TInteractiveMaster::VisBonusArrived(int32_t code) {
    if (code < 1 || code > 4 || Shown(htVisBonusBase + code)) return;
    SetShown(htVisBonusBase + code, true);
    int32_t px = 0, py = 0;
    if (BonusPanel) {
        px = WorldToPixelX(BonusPanel->Slots[code].CentreX);
        py = WorldToPixelY(BonusPanel->Slots[code].CentreY);
    }
    OpenBubble("TEXT_IntHelp_VisBonus" + std::to_string(code), adAbove, px, py - 30);
}

void TInteractiveMaster::BonusXXArrived(int32_t slot) {
    if (slot < 1 || slot > 2 || Shown(htBonusXX)) return;
    SetShown(htBonusXX, true);
    int32_t px = 0, py = 0, factor = 2;
    if (BonusXX) {
        px = WorldToPixelX(BonusXX->X[slot - 1]);
        py = WorldToPixelY(BonusXX->Y[slot - 1]);
        factor = BonusXX->Factor[slot - 1];
    }
    OpenBubble(factor == 3 ? "Text_IntHelp_BonusX3" : "Text_IntHelp_BonusX2", adBelow, px + 2, py + 30);
}

void TInteractiveMaster::SliceArrived() {
    TPlayerRec* rec = PlayerOrNull();
    if (rec && rec->Level == 2 && ArtMaster && ArtMaster->SlicesLeft == 1) SetShown(htLastSliceArmed, true);
}

} // namespace velmora
