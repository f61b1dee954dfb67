#include "ui/w_menu.h"

#include <cmath>

#include "app/d3dapp.h"
#include "app/language.h"
#include "app/log.h"
#include "app/options.h"
#include "engine/group.h"
#include "render/itf.h"
#include "render/texlabels.h"
#include "render/visual.h"
#include "ui/wincontrols.h"

namespace velmora {

TW_ExitDialog* ExitDialog = nullptr;

namespace {

constexpr int32_t cTitleLift = 12;          // a screen's title sits this much higher than a dialog's
constexpr int32_t cDialogTitleOffset = -42; // dialog titles inside the panel's top band
constexpr int32_t cDialogSubtitleOffset = -100;
constexpr int32_t cDialogButtonsFromBottom = 70;
constexpr int32_t cButtonGap = 20;

void ReportUndefined(const char* handler, const TBasic* self) {
    Report(std::string("TW_Menu.") + handler + ": procedure not defined. Self = \"" + self->ClassName() +
           "\"");
}

struct TDialogButtons {
    int32_t Count;
    const char* Keys[2];
};
const TDialogButtons cDialogButtons[4] = {
    {1, {"TEXT_Ok", nullptr}},
    {2, {"TEXT_Yes", "TEXT_No"}},
    {2, {"TEXT_Ok", "TEXT_Cancel"}},
    {2, {"TEXT_Continue", "TEXT_NewGame"}},
};

bool StillInTree(const TBasic* obj) {
    if (!obj || !RootGroup) return false;
    if (obj == RootGroup) return true;
    TBasic* walk = RootGroup;
    while (RootGroup->GetNext(walk))
        if (walk == obj) return true;
    return false;
}

} // namespace

TW_Win* WindowOf(TBasic* obj) {
    for (TBasic* o = obj; o; o = o->Parent)
        if (auto* w = dynamic_cast<TW_Win*>(o)) return w;
    return nullptr;
}

bool WindowHoldsFocus(const TW_Win* window) {
    return window && WindowOf(FocusObject) == window;
}

std::string TextOf(const std::string& key) {
    std::string text = key;
    if (Lang) Lang->GetText(key, text);
    return text;
}

// ---- TW_Win -------------------------------------------------------------------------------------

TW_Win::TW_Win() {
    FocusObject = this;
}

// ---- TW_Menu ------------------------------------------------------------------------------------

TW_Menu::TW_Menu() = default;

TW_Menu::~TW_Menu() {
    if (HasFocus()) FocusObject = Parent ? Parent : KnownParent;
}

bool TW_Menu::KeyDown(uint16_t key) {
    return Buttons && CanInteract() && Buttons->KeyDown(key);
}

void TW_Menu::MouseProc() {
    if (Buttons && CanInteract()) Buttons->MouseProc();
}

void TW_Menu::Step() {
    if (Parent) KnownParent = Parent;
    if (!Dead && WindowHoldsFocus(this)) MouseProc();
    TW_Win::Step();
}

void TW_Menu::StepMe() {}

void TW_Menu::SetTitles(const std::string& title, const std::string& subtitle, int32_t titleOffset,
                        int32_t subtitleOffset) {
    if (!title.empty()) TitleLabel = MakeTitleLabel(title, true, titleOffset + cTitleLift);
    if (!subtitle.empty()) SubtitleLabel = MakeTitleLabel(subtitle, false, subtitleOffset);
}

TTexLabelEx* TW_Menu::MakeTitleLabel(const std::string& key, bool isTitle, int32_t pixelsAbovePanel) {
    TTexLabelExParams p;
    p.Font = isTitle ? MenuTitle : DefaultButtonFont;
    p.Text = TextOf(key);
    p.VAlign = 2; // the label's top at the point
    auto* label = Add(new TTexLabelEx(p));
    const int32_t cx = PanelLeftPx() + PanelWidthPx() / 2;
    label->X = TableX(cx) - HalfPixel;
    label->Y = TableY(PanelTopPx() - pixelsAbovePanel) - HalfPixel;
    label->Layout();
    return label;
}

bool TW_Menu::CanInteract() {
    return true;
}
void TW_Menu::CreateContent() {}
void TW_Menu::AfterContent() {}

void TW_Menu::OnButtonUp(TBasic*, int32_t) {
    ReportUndefined("OnButtonUp", this);
}
void TW_Menu::OnDialogButtonUp(TBasic*, int32_t) {
    ReportUndefined("OnDialogButtonUp", this);
}
void TW_Menu::OnPanelUp(TBasic*, int32_t) {
    ReportUndefined("OnPanelUp", this);
}
void TW_Menu::OnMouseButtonUp(TBasic*, int32_t) {
    ReportUndefined("OnMouseButtonUp", this);
}

TVisual* TW_Menu::CreatePanel(const std::string& fileName, int32_t block) {
    auto* panel = Add(new TTexRect256(0, 0, fileName, true, 256));
    panel->Block1 = block;
    Panel = panel;
    return panel;
}

int32_t TW_Menu::PanelLeftPx() const {
    if (auto* p = dynamic_cast<TTexRect256*>(Panel))
        return p->Centered ? (ScreenWidth - p->ImageWidth) / 2 : p->PixelLeft;
    if (auto* p = dynamic_cast<TTexRect*>(Panel)) return p->ScreenX;
    return 0;
}
int32_t TW_Menu::PanelTopPx() const {
    if (auto* p = dynamic_cast<TTexRect256*>(Panel))
        return p->Centered ? (ScreenHeight - p->ImageHeight) / 2 : p->PixelTop;
    if (auto* p = dynamic_cast<TTexRect*>(Panel)) return p->ScreenY;
    return 0;
}
int32_t TW_Menu::PanelWidthPx() const {
    if (auto* p = dynamic_cast<TTexRect256*>(Panel)) return p->ImageWidth;
    if (Panel) return static_cast<int32_t>(std::lround(Panel->Width / PixelSize));
    return ScreenWidth;
}
int32_t TW_Menu::PanelHeightPx() const {
    if (auto* p = dynamic_cast<TTexRect256*>(Panel)) return p->ImageHeight;
    if (Panel) return static_cast<int32_t>(std::lround(Panel->Height / PixelSize));
    return ScreenHeight;
}

// ---- TW_Dialog ----------------------------------------------------------------------------------

TW_Dialog::TW_Dialog(TW_Dialog** ownerRef, uint8_t kind, const std::string& title,
                     const std::string& subtitle)
    : Kind(kind < 4 ? kind : 0), OwnerRef(ownerRef) {
    if (kind >= 4) Log("TW_Dialog.Create: unknown Kind=" + std::to_string(kind) + "; a single OK is shown");
    if (OwnerRef) *OwnerRef = this;
    CreatePanel("\\Textures\\StdDialog_Panel.tga", 19);
    SetTitles(title, subtitle, cDialogTitleOffset, cDialogSubtitleOffset);
    CreateContent();
}

TW_Dialog::~TW_Dialog() {
    if (OwnerRef && *OwnerRef == this) *OwnerRef = nullptr;
}

void TW_Dialog::SetTitles(const std::string& title, const std::string& subtitle, int32_t titleOffset,
                          int32_t subtitleOffset) {
    if (!title.empty()) TitleLabel = MakeTitleLabel(title, true, titleOffset);
    if (!subtitle.empty()) SubtitleLabel = MakeTitleLabel(subtitle, false, subtitleOffset);
}

void TW_Dialog::CreateContent() {
    Buttons = Add(new TButtonMaster());
    const TDialogButtons& set = cDialogButtons[Kind];
    const int32_t width = set.Count == 2 ? cWideButtonWidth : cDefaultButtonWidth;
    const int32_t total = set.Count * width + (set.Count - 1) * cButtonGap;
    const int32_t left = PanelLeftPx() + (PanelWidthPx() - total) / 2;
    const int32_t top = PanelTopPx() + PanelHeightPx() - cDialogButtonsFromBottom;
    for (int32_t i = 0; i < set.Count; ++i)
        Buttons->CreateButton(i, set.Keys[i],
                              TPixelRect{left + i * (width + cButtonGap), top, width, cDefaultButtonHeight});
    Buttons->SetButtonActive(0);
}

// Escape answers with the last button: No, Cancel, or the one OK.
bool TW_Dialog::KeyDown(uint16_t key) {
    if (!Buttons) return false;
    if (key != VK_ESCAPE) return Buttons->KeyDown(key);
    if (Buttons->Busy() || Buttons->Count < 1) return false;
    Buttons->SetButtonPressed(Buttons->Count - 1);
    return true;
}

void TW_Dialog::MouseProc() {
    if (Buttons) Buttons->MouseProc();
}

void TW_Dialog::OnButtonUp(TBasic*, int32_t index) {
    if (auto* owner = dynamic_cast<TW_Menu*>(Parent))
        owner->OnDialogButtonUp(this, index);
    else
        Report(std::string("TW_Dialog.OnButtonUp: the owner is not a menu window. Self = \"") + ClassName() +
               "\"");
    Dead = true;
}

// ---- TW_ExitDialog ------------------------------------------------------------------------------

TW_ExitDialog::TW_ExitDialog() : TW_ExitDialog(FocusObject) {}

TW_ExitDialog::TW_ExitDialog(TBasic* prevFocus)
    : TW_Dialog(nullptr, dkYesNo, "TEXT_Title_EXITPROGRAM", "TEXT_Subtitle_ExitProgram"),
      PrevFocus(prevFocus) {
    ExitDialog = this;
}

TW_ExitDialog::~TW_ExitDialog() {
    // Freed with its master (Parent still set) the tree is being torn down: nothing to give back.
    // Otherwise the window that had the focus may have closed meanwhile: then the root keeps it.
    if (!Parent && StillInTree(PrevFocus)) FocusObject = PrevFocus;
    if (ExitDialog == this) ExitDialog = nullptr;
}

void TW_ExitDialog::OnButtonUp(TBasic*, int32_t index) {
    if (index == 0) {
        QuitRequest = qrQuit;
        CloseConfirmed = true;
    }
    Dead = true;
}

TBasic* CreateExitDialog() {
    if (ExitDialog) return nullptr;
    return new TW_ExitDialog();
}

} // namespace velmora
