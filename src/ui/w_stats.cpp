#include "ui/w_stats.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "app/options.h"
#include "engine/group.h"
#include "platform/win32.h"
#include "render/itf.h"
#include "render/texlabels.h"
#include "render/visual.h"
#include "ui/wincontrols.h"

namespace velmora {

int32_t LevelStats[10] = {};
int32_t TotalStats[8] = {};
TPendingHiScore PendingHiScore;
TW_MenuStats* StatsWindow = nullptr;

namespace {

// Names and values form two columns inset from the panel's sides; the blocks follow one another
// down the panel, each starting below the last one's real text height so no two rows overlap.
constexpr int32_t cColumnInset = 70;
constexpr int32_t cFirstRowBelowTop = 78;
constexpr int32_t cBlockGap = 14;
constexpr int32_t cTitleInside = 40;
constexpr int32_t cButtonBottomGap = 70;

std::string Lines(std::initializer_list<std::string> parts) {
    std::string out;
    for (const std::string& p : parts) {
        if (!out.empty()) out += "\n";
        out += p;
    }
    return out;
}

std::string Num(int32_t v) {
    return std::to_string(v);
}

TTexLabelEx* MakeLabel(const std::string& text, int32_t px, int32_t py, uint8_t hAlign) {
    TTexLabelExParams p;
    p.Font = GameFont ? GameFont : DefaultButtonFont;
    p.Text = text;
    p.HAlign = hAlign;
    p.VAlign = 2;
    auto* label = new TTexLabelEx(p);
    label->X = TableX(px) - HalfPixel;
    label->Y = TableY(py) - HalfPixel;
    label->Layout();
    return label;
}

} // namespace

std::string StatsTimeText(int32_t seconds) {
    if (seconds < 0) seconds = 0;
    char text[32];
    const int32_t h = seconds / 3600, m = seconds / 60 % 60, s = seconds % 60;
    if (seconds < 3600)
        std::snprintf(text, sizeof text, "%.2d:%.2d", m, s);
    else
        std::snprintf(text, sizeof text, "%.2d:%.2d:%.2d", h, m, s);
    return text;
}

TW_MenuStats::TW_MenuStats(TStatsOwner* owner) : Owner(owner) {
    StatsWindow = this;
    Result = owner ? owner->GameResult() : 1;
    CreatePanel("\\Textures\\Stats\\Panel.tga", 19);
    SetTitles(Result == 3 ? "TEXT_Stats_GameOver" : "TEXT_Stats_Success", "", -cTitleInside, 0);
    CreateContent();
    AfterContent();
}

TW_MenuStats::~TW_MenuStats() {
    if (StatsWindow == this) StatsWindow = nullptr;
}

void TW_MenuStats::SetBlock(int32_t block, const std::string& names, const std::string& values) {
    if (block == 0) NextRowY = PanelTopPx() + cFirstRowBelowTop;
    const int32_t nameX = PanelLeftPx() + cColumnInset;
    const int32_t valueX = PanelLeftPx() + PanelWidthPx() - cColumnInset;
    Names[block] = Add(MakeLabel(names, nameX, NextRowY, 1));
    Values[block] = Add(MakeLabel(values, valueX, NextRowY, 2));
    const float height = std::max(std::abs(Names[block]->BlockHeight), std::abs(Values[block]->BlockHeight));
    const int32_t pixels = PixelSize > 0 ? static_cast<int32_t>(std::ceil(height / PixelSize)) : 0;
    NextRowY += pixels + cBlockGap;
}

void TW_MenuStats::CreateContent() {
    const int32_t* l = LevelStats;
    const int32_t* t = TotalStats;
    if (Result == 3) {
        SetBlock(0,
                 Lines({TextOf("TEXT_Stats_TotalChips"), TextOf("TEXT_Stats_TotalChains"),
                        TextOf("TEXT_Stats_TotalBonuses"), TextOf("TEXT_Stats_TotalSlices")}),
                 Lines({Num(t[0]), Num(t[1]), Num(t[2]), Num(t[3])}));
        SetBlock(1,
                 Lines({TextOf("TEXT_Stats_TotalTime"), TextOf("TEXT_Stats_TotalLives"),
                        TextOf("TEXT_Stats_MaxChain")}),
                 Lines({StatsTimeText(t[5]), Num(t[6]), Num(t[4])}));
        SetBlock(2, TextOf("TEXT_Stats_TotalScore"), Num(t[7]));
    } else {
        SetBlock(0,
                 Lines({TextOf("TEXT_Stats_Chips"), TextOf("TEXT_Stats_Chains"), TextOf("TEXT_Stats_Bonuses"),
                        TextOf("TEXT_Stats_Slices"), TextOf("TEXT_Stats_MaxChain")}),
                 Lines({Num(l[0]), Num(l[1]), Num(l[2]), Num(l[3]), Num(l[4])}));
        SetBlock(1,
                 Lines({TextOf("TEXT_Stats_BonusLives"), TextOf("TEXT_Stats_YourTime"),
                        TextOf("TEXT_Stats_TimeBonus"), TextOf("TEXT_Stats_YourScore")}),
                 Lines({Num(l[5]), StatsTimeText(l[6]), Num(l[7]), Num(l[8])}));
        SetBlock(2, TextOf("TEXT_Stats_TotalScore"), Num(l[9]));
    }
    Buttons = Add(new TButtonMaster());
    const int32_t left = PanelLeftPx() + (PanelWidthPx() - cWideButtonWidth) / 2;
    const int32_t top = PanelTopPx() + PanelHeightPx() - cButtonBottomGap;
    Buttons->CreateButton(1, "Text_Ok", {left, top, cWideButtonWidth, cDefaultButtonHeight});
    Buttons->SetButtonActive(1);
}

bool TW_MenuStats::KeyDown(uint16_t key) {
    if (!Buttons || Buttons->Busy()) return false;
    if (key == VK_ESCAPE) {
        Buttons->SetButtonPressed(1);
        return true;
    }
    return Buttons->KeyDown(key);
}

void TW_MenuStats::MouseProc() {
    if (Buttons && !Buttons->Busy()) Buttons->MouseProc();
}

void TW_MenuStats::OnButtonUp(TBasic*, int32_t index) {
    if (index != 1) return;
    if (Owner) {
        Owner->FinishLeave(); // the game window frees this window with itself
        return;
    }
    Dead = true;
    if (RootGroup) RootGroup->ShowMainMenu();
}

TBasic* CreateMenuStats() {
    return new TW_MenuStats(nullptr);
}

} // namespace velmora
