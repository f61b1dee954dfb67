#include "ui/wincontrols.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "app/language.h"
#include "app/log.h"
#include "app/options.h"
#include "app/sound.h"
#include "engine/group.h"
#include "render/blocks.h"
#include "render/itf.h"
#include "render/multirect.h"
#include "render/tex.h"
#include "render/texlabels.h"
#include "render/visual.h"
#include "ui/w_menu.h"

namespace velmora {

namespace {

// Default looks: pale gold captions, white when hovered, pushed down a little when pressed, grey
// and half transparent when disabled.
const TButtonLook cDefaultLooks[4] = {
    {0xFFF0DCA0, 1.0f, 0, 0},
    {0xFFFFFFFF, 1.0f, 0, 0},
    {0xFFFFE060, 1.0f, 1, 2},
    {0x80A0A0A0, 1.0f, 0, 0},
};

constexpr uint32_t cCheckBoxEdge = 0xFFD8B060;
constexpr uint32_t cCheckBoxColor = 0xFF04101E;
constexpr int32_t cCheckBoxSize = 28;
constexpr int32_t cCaptionGap = 12;
constexpr int32_t cKnobWidth = 24, cKnobHeight = 32;
constexpr int32_t cCaretWidth = 4, cCaretHeight = 24;

void PlaySound(int32_t slot) {
    if (SoundDepot) SoundDepot->PlaySample(slot);
}

float PixelLeftX(int32_t px) {
    return TableX(px) - HalfPixel;
}
float PixelTopY(int32_t py) {
    return TableY(py) - HalfPixel;
}
int32_t PixelOfX(float x) {
    return static_cast<int32_t>(std::lround((x - PixelLeftX(0)) / PixelSize));
}
int32_t PixelOfY(float y) {
    return static_cast<int32_t>(std::lround((PixelTopY(0) - y) / PixelSize));
}

bool MouseIn(const TPixelRect& r) {
    return Mouse && Mouse->InRect(r);
}
bool LeftPressedNow() {
    return Mouse && Mouse->ButtonChangedNow() && Mouse->Pressed(0);
}
bool LeftReleasedNow() {
    return Mouse && Mouse->ButtonChangedNow() && Mouse->Released(0);
}

TTexLabelEx* MakeLabel(TMaster& owner, TIndexedTextureFont* font, const std::string& text, uint8_t hAlign,
                       uint8_t vAlign, int32_t px, int32_t py) {
    TTexLabelExParams p;
    p.Font = font ? font : DefaultButtonFont;
    p.Text = text;
    p.HAlign = hAlign;
    p.VAlign = vAlign;
    auto* label = owner.Add(new TTexLabelEx(p));
    label->X = PixelLeftX(px);
    label->Y = PixelTopY(py);
    label->Layout(); // the box the mouse tests follows the placement
    return label;
}

TTexRect* MakeImage(TMaster& owner, int32_t texId, const TPixelRect& r) {
    auto* image = owner.Add(new TTexRect());
    image->TexId = texId;
    image->Block1 = sbTexAlpha;
    image->SetRectLTRB(r.Left, r.Top, r.Left + r.Width, r.Top + r.Height);
    image->UploadVertices();
    return image;
}

} // namespace

// ---- TMenuControl -------------------------------------------------------------------------------

void TMenuControl::Step() {
    TMaster::Step();
    UpdateCursor();
}

void TMenuControl::UpdateHoverMe() {
    MouseOver();
}

void TMenuControl::RequestHandCursor() {
    if (!VisMouse || !Mouse || !WindowHoldsFocus(WindowOf(this))) return;
    VisMouse->RequestShape(Mouse->IsDown(0) ? 2 : 1);
}

// ---- TButtonMaster ------------------------------------------------------------------------------

TButtonMaster::TButtonMaster(intptr_t owner, intptr_t ownerData) : Owner(owner), OwnerData(ownerData) {
    std::copy(std::begin(cDefaultLooks), std::end(cDefaultLooks), Looks);
}

bool TButtonMaster::ValidIndex(int32_t index) const {
    return index >= 0 && index < cMaxButtons && ButtonList[index].Created;
}

bool TButtonMaster::CreateButton(int32_t index, const std::string& caption, const TPixelRect& rect,
                                 int32_t texId, int32_t baseFrame, TIndexedTextureFont* font) {
    if (index > cMaxButtons - 1) {
        Report("TButtonMaster.CreateButton error: Index is above maximal");
        return false;
    }
    if (index < 0 || ButtonList[index].Created) {
        Report("TButtonMaster.CreateButton error: Index=" + std::to_string(index) + " is taken or negative");
        return false;
    }
    TButtonRec& b = ButtonList[index];
    b.Rect = rect;
    b.BaseFrame = baseFrame;
    b.Caption = caption;
    b.State = bsNormal;
    b.Image = MakeImage(*this, texId, rect);
    b.Label =
        MakeLabel(*this, font, TextOf(caption), 0, 0, rect.Left + rect.Width / 2, rect.Top + rect.Height / 2);
    b.Created = true;
    Count = std::max(Count, index + 1);
    ApplyLook(index);
    return true;
}

void TButtonMaster::SetLook(uint8_t state, const TButtonLook& look) {
    if (state > bsDisabled) return;
    Looks[state] = look;
    for (int32_t i = 0; i < Count; ++i)
        if (ButtonList[i].Created && ButtonList[i].State == state) ApplyLook(i);
}

void TButtonMaster::ApplyLookAs(int32_t index, uint8_t state) {
    TButtonRec& b = ButtonList[index];
    if (LookImage && b.Image) {
        const int32_t frame = b.BaseFrame + state;
        const float rowV = 1.0f / cButtonFramesPerTexture;
        b.Image->SetUV(0, frame * rowV, 1, (frame + 1) * rowV);
        b.Image->UploadVertices();
    }
    if (!b.Label) return;
    const TButtonLook& look = Looks[state];
    if (LookLabel) {
        b.Label->SetColor(look.Color);
        b.Label->Scaled = look.Size != 1.0f;
        b.Label->ScaleX = b.Label->ScaleY = look.Size;
    }
    const int32_t dx = LookOffset ? look.OffsetX : 0, dy = LookOffset ? look.OffsetY : 0;
    b.Label->X = PixelLeftX(b.Rect.Left + b.Rect.Width / 2 + dx);
    b.Label->Y = PixelTopY(b.Rect.Top + b.Rect.Height / 2 + dy);
    b.Label->Layout();
}

void TButtonMaster::ApplyLook(int32_t index) {
    ApplyLookAs(index, ButtonList[index].State);
}

void TButtonMaster::SetButtonState(int32_t index, uint8_t state) {
    if (!ValidIndex(index) || state > bsDisabled || (state == bsDisabled && index == ActiveIndex)) {
        Report("TButtonMaster.SetButtonState error: incorrect Value");
        return;
    }
    ButtonList[index].State = state;
    ApplyLook(index);
}

void TButtonMaster::SetButtonActive(int32_t index) {
    if (!ValidIndex(index) || ButtonList[index].State == bsDisabled) {
        Report("TButtonMaster.SetButtonActive error: incorrect ButtonState");
        return;
    }
    if (ActiveIndex != index && ValidIndex(ActiveIndex) && ButtonList[ActiveIndex].State != bsDisabled)
        SetButtonState(ActiveIndex, bsNormal);
    ActiveIndex = index;
    SetButtonState(index, bsActive);
}

void TButtonMaster::SetButtonPressed(int32_t index) {
    if (!ValidIndex(index) || ButtonList[index].State == bsDisabled) {
        Report("TButtonMaster.SetButtonPressed error: incorrect ButtonState");
        return;
    }
    if (ActiveIndex != index && ValidIndex(ActiveIndex) && ButtonList[ActiveIndex].State != bsDisabled)
        SetButtonState(ActiveIndex, bsNormal);
    ActiveIndex = index;
    SetButtonState(index, bsPressed);
    PressMode = 1;
    PressTime = PressDuration;
    PlaySound(sndButton1);
}

int32_t TButtonMaster::ButtonAt() const {
    for (int32_t i = 0; i < Count; ++i)
        if (ButtonList[i].Created && MouseIn(ButtonList[i].Rect)) return i;
    return -1;
}

bool TButtonMaster::MouseOver() {
    for (int32_t i = 0; i < Count; ++i)
        if (ButtonList[i].Created && ButtonList[i].State != bsDisabled && MouseIn(ButtonList[i].Rect))
            return true;
    return false;
}

void TButtonMaster::MouseProc() {
    if (!Mouse) return;
    if (LeftPressedNow() && PressMode == 0) {
        const int32_t i = ButtonAt();
        if (i >= 0 && ButtonList[i].State != bsDisabled) SetButtonPressed(i);
    }
    if (Mouse->MovedNow() && PressMode == 0) {
        const int32_t i = ButtonAt();
        if (i >= 0 && ButtonList[i].State != bsDisabled &&
            (i != ActiveIndex || ButtonList[i].State != bsActive))
            SetButtonActive(i);
    }
}

bool TButtonMaster::KeyDown(uint16_t key) {
    if (!Enabled || PressMode != 0) return false;
    const bool arrow = key == VK_LEFT || key == VK_RIGHT || key == VK_UP || key == VK_DOWN;
    if (!ValidIndex(ActiveIndex)) {
        if (!arrow) return false;
        for (int32_t i = 0; i < Count; ++i)
            if (ButtonList[i].Created && ButtonList[i].State != bsDisabled) {
                SetButtonActive(i);
                break;
            }
        return true;
    }
    switch (key) {
    case VK_RIGHT:
        MoveActive(mdRight);
        return true;
    case VK_UP:
        MoveActive(mdUp);
        return true;
    case VK_LEFT:
        MoveActive(mdLeft);
        return true;
    case VK_DOWN:
        MoveActive(mdDown);
        return true;
    case VK_RETURN:
        SetButtonPressed(ActiveIndex);
        return true;
    default:
        return false;
    }
}

void TButtonMaster::MoveActive(TMoveDirection dir) {
    if (!ValidIndex(ActiveIndex)) return;
    if (const int32_t best = ActiveAfter(ActiveIndex, dir); best >= 0) SetButtonActive(best);
}

int32_t TButtonMaster::FirstEnabled() const {
    for (int32_t i = 0; i < Count; ++i)
        if (ButtonList[i].Created && ButtonList[i].State != bsDisabled) return i;
    return -1;
}

int32_t TButtonMaster::ActiveAfter(int32_t from, TMoveDirection dir) const {
    if (!ValidIndex(from)) return -1;
    auto centre = [this](int32_t i, double& x, double& y) {
        const TPixelRect& r = ButtonList[i].Rect;
        x = r.Left + r.Width / 2.0;
        y = r.Top + r.Height / 2.0;
    };
    double ax, ay;
    centre(from, ax, ay);
    int32_t best = -1;
    double bestDist = std::numeric_limits<double>::max();
    for (int32_t i = 0; i < Count; ++i) {
        if (i == from || !ButtonList[i].Created || ButtonList[i].State == bsDisabled) continue;
        double x, y;
        centre(i, x, y);
        const bool inDirection = (dir == mdRight && x > ax) || (dir == mdUp && y < ay) ||
                                 (dir == mdLeft && x < ax) || (dir == mdDown && y > ay);
        const double dist = std::hypot(x - ax, y - ay);
        if (inDirection && dist < bestDist) {
            best = i;
            bestDist = dist;
        }
    }
    return best;
}

void TButtonMaster::StepMe() {
    const float before = PressTime;
    PressTime = std::max(0.0f, PressTime - Delta);
    if (PressMode == 0 || !ValidIndex(ActiveIndex)) return;
    // Steps of Delta rarely land on the mark itself: the released look returns when it is passed.
    if (before > ReleaseMark && PressTime <= ReleaseMark && PressTime > 0) ApplyLookAs(ActiveIndex, bsActive);
    if (PressTime > 0) return;
    const int32_t index = ActiveIndex;
    SetButtonState(index, bsActive);
    PressMode = 0;
    ReportRelease(index);
}

void TButtonMaster::ReportRelease(int32_t index) {
    if (auto* window = dynamic_cast<TW_Menu*>(Parent)) window->OnButtonUp(this, index);
}

void TButtonMaster::UpdateCursor() {
    if (MouseOver()) RequestHandCursor();
}

void TButtonMaster::ClearHover() {
    if (ButtonAt() >= 0) return;
    for (int32_t i = 0; i < Count; ++i)
        if (ButtonList[i].Created && ButtonList[i].State == bsActive) SetButtonState(i, bsNormal);
}

// ---- TCheckBox ----------------------------------------------------------------------------------

TCheckBox::TCheckBox(const std::string& caption, int32_t px, int32_t py, bool checked,
                     TIndexedTextureFont* font)
    : Checked(checked) {
    MarkRect = {px, py, cCheckBoxSize, cCheckBoxSize};
    BoxFrame = Add(new TColorRect());
    BoxFrame->Block1 = sbDiffuseAlpha;
    BoxFrame->SetRect(px, py, cCheckBoxSize, cCheckBoxSize);
    BoxFrame->SetColor(cCheckBoxEdge);
    Box = Add(new TColorRect());
    Box->Block1 = sbDiffuseAlpha;
    Box->SetRect(px + 2, py + 2, cCheckBoxSize - 4, cCheckBoxSize - 4);
    Box->SetColor(cCheckBoxColor);
    Mark = Add(new TTexRect256(px - 2, py - 2, "\\Textures\\Options_Mark.tga", false, 32));
    Mark->Block1 = sbTexAlpha;
    Mark->Visible = Checked;
    Label = MakeLabel(*this, font, TextOf(caption), 1, 0, px + cCheckBoxSize + cCaptionGap,
                      py + cCheckBoxSize / 2);
    LabelRect = {Label->BoxLeft, Label->BoxTop, Label->BoxWidth, Label->BoxHeight};
}

bool TCheckBox::MouseOver() {
    Hover = MouseIn(MarkRect) || (Label && Label->MouseOver());
    return Hover;
}

void TCheckBox::MouseProc() {
    if (LeftReleasedNow() && MouseOver()) {
        Checked = !Checked;
        Mark->Visible = Checked;
        if (OnChange) OnChange(this);
    }
}

void TCheckBox::UpdateCursor() {
    if (MouseOver()) RequestHandCursor();
}

void TCheckBox::SetChecked(bool value) {
    Mark->Visible = value;
    if (value == Checked) return;
    Checked = value;
    if (OnChange) OnChange(this);
}

// ---- TTrackBar ----------------------------------------------------------------------------------

TTrackBar::TTrackBar(const std::string& caption, const TPixelRect& rect, TIndexedTextureFont* font)
    : Rect(rect) {
    Bar = MakeImage(*this, tiMusicTrack, rect);
    Bar->SetUVPixels(0, 0, 256, 24);
    Bar->UploadVertices();
    Knob = MakeImage(*this, tiMusicMark, TPixelRect{rect.Left, rect.Top, cKnobWidth, cKnobHeight});
    Knob->SetUVPixels(0, 0, cKnobWidth, cKnobHeight);
    Caption = MakeLabel(*this, font, TextOf(caption), 1, 1, rect.Left, rect.Top - 8);
    SetValue(0.5f);
}

float TTrackBar::ValueAtPixel(int32_t x) const {
    return Rect.Width > 0 ? static_cast<float>(x - Rect.Left) / static_cast<float>(Rect.Width) : 0.0f;
}

void TTrackBar::SetValue(float v) {
    Value = std::clamp(std::isnan(v) ? 0.0f : v, 0.0f, 1.0f);
    const int32_t centre = Rect.Left + 1 + static_cast<int32_t>(std::lround((Rect.Width - 2) * Value));
    const int32_t left = centre - cKnobWidth / 2, top = Rect.Top + Rect.Height / 2 - cKnobHeight / 2;
    Knob->SetRectLTRB(left, top, left + cKnobWidth, top + cKnobHeight);
    Knob->UploadVertices();
    if (OnChange) OnChange(this);
}

bool TTrackBar::MouseOver() {
    return MouseIn(Rect);
}

void TTrackBar::MouseProc() {
    if (!Mouse) return;
    if (LeftPressedNow() && MouseIn(Rect)) {
        Dragging = 1;
        SetValue(ValueAtPixel(Mouse->X));
        return;
    }
    if (!Dragging) return;
    if (!Mouse->IsDown(0)) {
        Dragging = 0;
        return;
    }
    if (Mouse->MovedNow()) SetValue(ValueAtPixel(Mouse->X));
}

void TTrackBar::UpdateCursor() {
    if (Dragging || MouseOver()) RequestHandCursor();
}

// ---- TScrollBar ---------------------------------------------------------------------------------

TScrollBar::TScrollBar(const std::string& dscrFile, int32_t texId) {
    Pieces = Add(new TTexMultiRect(3, DataFilePath(dscrFile)));
    Pieces->TexId = texId;
    Pieces->Block1 = sbTexAlpha;
    if (Pieces->RectCount < 9) Log("TScrollBar.Create: nine pieces expected in \"" + dscrFile + "\"");
    auto rectOf = [this](int32_t piece) {
        const TMultiRectPiece& p = Pieces->Pieces[piece];
        const int32_t left = PixelOfX(p.World.Left), top = PixelOfY(p.World.Top);
        return TPixelRect{left, top, PixelOfX(p.World.Right) - left, PixelOfY(p.World.Bottom) - top};
    };
    UpRect = rectOf(1);
    DownRect = rectOf(4);
    ThumbRect = rectOf(7);
    TrackTop = UpRect.Top + UpRect.Height;
    TrackLength = std::max(0, DownRect.Top - TrackTop);
    for (int32_t slot = 1; slot <= 3; ++slot)
        Pieces->SetSlot(slot, 1 + (slot - 1) * 3);
    PlaceThumb();
}

float TScrollBar::PositionAtPixel(int32_t y) const {
    const int32_t room = TrackLength - ThumbRect.Height;
    if (room <= 0) return 0.0f;
    return static_cast<float>(y - ThumbRect.Height / 2 - TrackTop) / static_cast<float>(room);
}

void TScrollBar::PlaceThumb() {
    ThumbRect.Top =
        TrackTop + static_cast<int32_t>(std::lround(Position * std::max(0, TrackLength - ThumbRect.Height)));
    // The looks follow the mouse: hovered and pressed pieces come two and three in each group.
    const bool upHeld = ArrowHeld<0, downHeld = ArrowHeld> 0;
    Pieces->SetSlot(1, upHeld ? 3 : MouseIn(UpRect) ? 2 : 1);
    Pieces->SetSlot(2, downHeld ? 6 : MouseIn(DownRect) ? 5 : 4);
    Pieces->SetSlot(3, Dragging ? 9 : MouseIn(ThumbRect) ? 8 : 7);
    TUVRect& w = Pieces->Slots[3].World;
    w.Top = PixelTopY(ThumbRect.Top);
    w.Bottom = PixelTopY(ThumbRect.Top + ThumbRect.Height);
    Pieces->FillVertices();
}

void TScrollBar::SetPosition(float p) {
    const float clamped = std::clamp(std::isnan(p) ? 0.0f : p, 0.0f, 1.0f);
    const bool changed = clamped != Position;
    Position = clamped;
    PlaceThumb();
    if (changed && OnChange) OnChange(this);
}

bool TScrollBar::MouseOver() {
    return MouseIn(UpRect) || MouseIn(DownRect) || MouseIn(ThumbRect);
}

void TScrollBar::MouseProc() {
    if (!Mouse) return;
    if (LeftPressedNow()) {
        if (MouseIn(ThumbRect)) Dragging = true;
        ArrowHeld = MouseIn(UpRect) ? -1 : MouseIn(DownRect) ? 1 : 0;
    }
    if (!Mouse->IsDown(0)) {
        Dragging = false;
        ArrowHeld = 0;
    }
    if (Dragging && Mouse->MovedNow()) SetPosition(PositionAtPixel(Mouse->Y));
}

void TScrollBar::StepMe() {
    if (!Dragging && ArrowHeld != 0) {
        const bool stillOn = MouseIn(ArrowHeld < 0 ? UpRect : DownRect);
        if (stillOn) SetPosition(Position + ArrowHeld * ArrowStep * Delta);
    }
    PlaceThumb();
}

void TScrollBar::UpdateCursor() {
    if (Dragging || MouseOver()) RequestHandCursor();
}

// ---- TTextInput ---------------------------------------------------------------------------------

TTextInput::TTextInput(int32_t px, int32_t py, int32_t maxLength, TIndexedTextureFont* font)
    : MaxLength(std::max(0, maxLength)), PixelLeft(px), PixelY(py) {
    Label = MakeLabel(*this, font ? font : PlayerFont_Yellow, "?", 1, 0, px, py);
    Caret = MakeImage(*this, tiNameCursor, TPixelRect{px, py - cCaretHeight / 2, cCaretWidth, cCaretHeight});
    Caret->SetUVPixels(0, 0, cCaretWidth, cCaretHeight);
    Caret->UploadVertices();
    Refresh();
}

std::string TTextInput::AcceptedChars() const {
    return Label && Label->Font ? Label->Font->Chars : std::string();
}

void TTextInput::Refresh() {
    CaretPos = std::clamp(CaretPos, 0, static_cast<int32_t>(Text.size()));
    Label->SetText(Text);
    Label->Visible = !Text.empty();
    float width = 0, height = 0;
    if (Label->Font && CaretPos > 0)
        Label->Font->GetTextExtent(Text.substr(0, CaretPos), width, height, Label->Spacing);
    const int32_t left = PixelLeft + static_cast<int32_t>(std::lround(width / PixelSize));
    Caret->SetRectLTRB(left, PixelY - cCaretHeight / 2, left + cCaretWidth, PixelY + cCaretHeight / 2);
    Caret->UploadVertices();
}

void TTextInput::SetText(const std::string& text) {
    Text = text.substr(0, static_cast<size_t>(MaxLength));
    CaretPos = static_cast<int32_t>(Text.size());
    Refresh();
}

bool TTextInput::InsertChar(char c) {
    if (static_cast<int32_t>(Text.size()) >= MaxLength) return false;
    Text.insert(Text.begin() + CaretPos, c);
    ++CaretPos;
    Refresh();
    return true;
}

bool TTextInput::KeyDown(uint16_t key) {
    PlaySound(sndTyping);
    switch (key) {
    case VK_SPACE:
        InsertChar(' ');
        return true;
    case VK_LEFT:
        CaretPos = std::max(0, CaretPos - 1);
        Refresh();
        return true;
    case VK_UP:
        TurnLetter(1);
        return true;
    case VK_DOWN:
        TurnLetter(-1);
        return true;
    case VK_RIGHT:
        if (Turning && CaretPos == static_cast<int32_t>(Text.size()) && !LetterRow().empty()) {
            InsertChar(LetterRow().front()); // the next letter to turn
            return true;
        }
        CaretPos = std::min(static_cast<int32_t>(Text.size()), CaretPos + 1);
        Refresh();
        return true;
    case VK_BACK:
        if (CaretPos > 0) {
            Text.erase(static_cast<size_t>(CaretPos - 1), 1);
            --CaretPos;
            Refresh();
        }
        return true;
    case VK_DELETE:
        if (CaretPos < static_cast<int32_t>(Text.size())) {
            Text.erase(static_cast<size_t>(CaretPos), 1);
            Refresh();
        }
        return true;
    case VK_RETURN:
    case VK_ESCAPE:
        return false;
    default:
        break;
    }
    const int32_t language = Language >= 0 ? Language : (Lang ? Lang->LangIndex : lgEnglish);
    const int32_t shift = PressedKeys[VK_SHIFT] ? 1 : 0;
    char c = 0;
    if (KeyToChar(key, shift, language, AcceptedChars(), c)) {
        InsertChar(c);
        Turning = false;
    }
    return false;
}

std::string TTextInput::LetterRow() const {
    static const std::string cBase = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    const std::string accepted = AcceptedChars();
    std::string row;
    for (const char c : cBase)
        if (accepted.find(c) != std::string::npos) row += c;
    // The letters of the other code pages, in the font's order.
    for (const char c : accepted)
        if (static_cast<unsigned char>(c) >= 0xC0 && row.find(c) == std::string::npos) row += c;
    return row;
}

void TTextInput::TurnLetter(int32_t step) {
    const std::string row = LetterRow();
    if (row.empty() || step == 0) return;
    Turning = true;
    if (CaretPos == 0) {
        InsertChar(step > 0 ? row.front() : row.back());
        return;
    }
    const size_t at = static_cast<size_t>(CaretPos - 1);
    const size_t found = row.find(Text[at]);
    const int32_t index = found == std::string::npos ? (step > 0 ? -1 : static_cast<int32_t>(row.size()))
                                                     : static_cast<int32_t>(found);
    const int32_t next = index + (step > 0 ? 1 : -1);
    if (next < 0 || next >= static_cast<int32_t>(row.size())) {
        Text.erase(at, 1); // past the row's end the letter goes
        --CaretPos;
    } else {
        Text[at] = row[static_cast<size_t>(next)];
    }
    Refresh();
}

void TTextInput::StepMe() {
    Caret->Visible = static_cast<int32_t>(LifeTime) % 40 < 20;
}

} // namespace velmora
