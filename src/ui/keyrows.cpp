#include "ui/keyrows.h"

#include <algorithm>

#include "app/input.h"
#include "render/blocks.h"
#include "render/visual.h"
#include "ui/wincontrols.h"

namespace velmora {

namespace {
constexpr uint32_t cFrameColour = 0xC0FFD040; // the gold of hovered captions
constexpr int32_t cFrameMargin = 4, cFrameEdge = 2;
} // namespace

TKeyRows::TKeyRows(TButtonMaster* buttons) : Buttons(buttons) {
    for (TColorRect*& e : Edge) {
        e = Add(new TColorRect());
        e->Block1 = sbDiffuseAlpha;
        e->SetColor(cFrameColour);
        e->Visible = false;
    }
}

void TKeyRows::AddRow(TTrackBar* bar) {
    Bars.push_back(bar);
    Boxes.push_back(nullptr);
}

void TKeyRows::AddRow(TCheckBox* box) {
    Bars.push_back(nullptr);
    Boxes.push_back(box);
}

void TKeyRows::Choose(int32_t row) {
    Row = std::clamp(row, 0, Rows());
    if (!Buttons) return;
    if (OnButtons()) {
        if (!Buttons->ValidIndex(Buttons->ActiveIndex) && Buttons->FirstEnabled() >= 0)
            Buttons->SetButtonActive(Buttons->FirstEnabled());
    } else if (Buttons->ValidIndex(Buttons->ActiveIndex)) {
        // The keys left the buttons: none stays lit as if it had them.
        Buttons->SetButtonState(Buttons->ActiveIndex, bsNormal);
        Buttons->ActiveIndex = -1;
    }
    Frame();
}

bool TKeyRows::KeyDown(uint16_t key) {
    if (Rows() == 0) return false;
    const bool up = key == VK_UP, down = key == VK_DOWN;
    if (Row < 0) {
        if (!up && !down) return false;
        Choose(0);
        return true;
    }
    if (up || down) {
        Choose(Row + (down ? 1 : -1));
        return true;
    }
    if (OnButtons()) return false;
    TTrackBar* bar = Bars[static_cast<size_t>(Row)];
    TCheckBox* box = Boxes[static_cast<size_t>(Row)];
    if (bar && (key == VK_LEFT || key == VK_RIGHT)) {
        bar->SetValue(bar->Value + (key == VK_RIGHT ? cTrackBarKeyStep : -cTrackBarKeyStep));
        return true;
    }
    if (box && (key == VK_RETURN || key == VK_SPACE)) {
        box->SetChecked(!box->Checked);
        return true;
    }
    return key == VK_LEFT || key == VK_RIGHT || key == VK_RETURN || key == VK_SPACE;
}

void TKeyRows::Frame() {
    TPixelRect r{};
    const bool shown = Row >= 0 && !OnButtons();
    if (shown) {
        if (TTrackBar* bar = Bars[static_cast<size_t>(Row)]) {
            r = bar->Rect;
        } else if (TCheckBox* box = Boxes[static_cast<size_t>(Row)]) {
            const int32_t left = std::min(box->MarkRect.Left, box->LabelRect.Left);
            const int32_t top = std::min(box->MarkRect.Top, box->LabelRect.Top);
            const int32_t right = std::max(box->MarkRect.Left + box->MarkRect.Width,
                                           box->LabelRect.Left + box->LabelRect.Width);
            const int32_t bottom = std::max(box->MarkRect.Top + box->MarkRect.Height,
                                            box->LabelRect.Top + box->LabelRect.Height);
            r = {left, top, right - left, bottom - top};
        }
        const int32_t l = r.Left - cFrameMargin, t = r.Top - cFrameMargin, w = r.Width + 2 * cFrameMargin,
                      h = r.Height + 2 * cFrameMargin, e = cFrameEdge;
        Edge[0]->SetRect(l, t, w, e);
        Edge[1]->SetRect(l, t + h - e, w, e);
        Edge[2]->SetRect(l, t, e, h);
        Edge[3]->SetRect(l + w - e, t, e, h);
    }
    for (TColorRect* e : Edge)
        e->Visible = shown;
}

void TKeyRows::StepMe() {
    if (Row >= 0 && !OnButtons() && Mouse && Mouse->MovedNow()) {
        Row = -1;
        Frame();
    }
}

} // namespace velmora
