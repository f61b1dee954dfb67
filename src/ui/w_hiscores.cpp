#include "ui/w_hiscores.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "app/language.h"
#include "app/options.h"
#include "board/countries.h"
#include "engine/group.h"
#include "render/blocks.h"
#include "render/itf.h"
#include "render/texlabels.h"
#include "render/visual.h"
#include "ui/passage.h"
#include "ui/wincontrols.h"

namespace velmora {

TW_HiScores* HiScoresWindow = nullptr;

const int32_t HiScoreColumnX[cHiScoreColumns] = {48, 120, 292, 467, 640};

namespace {

constexpr int32_t cHeaderY = 90;
constexpr int32_t cFirstRowY = 135;
constexpr float cRowStep = 35.6f;
const char* const cHeaderKeys[cHiScoreColumns] = {"TEXT_HISCORES_N", "TEXT_HISCORES_Player",
                                                  "TEXT_HISCORES_Country", "TEXT_HISCORES_Town",
                                                  "TEXT_HISCORES_Score"};
constexpr int32_t cTitleInside = 30;
constexpr int32_t cOkFromBottom = 72;

TTexLabelEx* CellLabel(TMaster& owner, TIndexedTextureFont* font, const std::string& text, int32_t px,
                       int32_t py) {
    TTexLabelExParams p;
    p.Font = font ? font : DefaultButtonFont;
    p.Text = text;
    p.HAlign = 1;
    auto* label = owner.Add(new TTexLabelEx(p));
    label->X = TableX(px) - HalfPixel;
    label->Y = TableY(py) - HalfPixel;
    label->Layout();
    return label;
}

std::string EntryNumber(int32_t i) {
    char text[16];
    std::snprintf(text, sizeof text, "%.2d", i);
    return text;
}

uint32_t WhiteWithAlpha(float a) {
    return static_cast<uint32_t>(std::lround(std::clamp(a, 0.0f, 1.0f) * 255)) << 24 | 0x00FFFFFFu;
}

} // namespace

int32_t HiScoreRowY(int32_t i) {
    return cFirstRowY + static_cast<int32_t>(std::lround((i - 1) * cRowStep));
}

float TW_HiScores::PulseAlpha(float age) {
    return (std::sin(0.15f * age) * 0.5f + 0.5f) * 0.5f + 0.5f;
}

TW_HiScores::TW_HiScores(bool afterGameOver) : AfterGameOver(afterGameOver) {
    HiScoresWindow = this;
    CreatePanel("\\Textures\\HiScores_Panel.tga", sbTexture);
    SetTitles("TEXT_Title_HiScores", "", -cTitleInside, 0);
    CreateContent();
    FadeInFromSnapshot(*this);
}

TW_HiScores::~TW_HiScores() {
    if (HiScoresWindow == this) HiScoresWindow = nullptr;
}

void TW_HiScores::CreateContent() {
    // Without its picture the panel has no size: the button then keeps to the screen's bottom.
    const bool sized = PanelWidthPx() > 0 && PanelHeightPx() > 0;
    const int32_t left = sized ? PanelLeftPx() : 0, width = sized ? PanelWidthPx() : ScreenWidth;
    const int32_t bottom = sized ? PanelTopPx() + PanelHeightPx() : ScreenHeight;
    Buttons = Add(new TButtonMaster());
    Buttons->CreateButton(0, "TEXT_Ok",
                          {left + (width - cDefaultButtonWidth) / 2, bottom - cOkFromBottom,
                           cDefaultButtonWidth, cDefaultButtonHeight});
    Buttons->SetButtonActive(0);
    if (AfterGameOver) {
        HighlightRow = InsertHiScore(PendingHiScore.Name, PendingHiScore.Level, PendingHiScore.Score);
        Highlight = HighlightRow >= 1 && HighlightRow <= cHiScoreCount;
    }
    CreateHeader();
    for (int32_t i = 1; i <= cHiScoreCount; ++i)
        CreateRow(i);
}

void TW_HiScores::CreateHeader() {
    for (int32_t c = 0; c < cHiScoreColumns; ++c)
        CellLabel(*this, DefaultButtonFont, TextOf(cHeaderKeys[c]), HiScoreColumnX[c], cHeaderY);
}

void TW_HiScores::CreateRow(int32_t i) {
    const THiScoreRec& entry = GameDat.HiScores[i - 1];
    std::string country, town;
    if (entry.Level == 0) {
        country = town = TextOf("TEXT_CountryName_None");
    } else {
        GetLevelNames(entry.Level, country, town);
    }
    const std::string name = NameForDisplay(entry.Name.Get()); // typed in another language too
    const std::string cells[cHiScoreColumns] = {EntryNumber(i), name, country, town,
                                                std::to_string(entry.Score)};
    const bool lit = Highlight && i == HighlightRow;
    TIndexedTextureFont* font = lit ? PlayerFont_Yellow : PlayerFont_Gray;
    for (int32_t c = 0; c < cHiScoreColumns; ++c) {
        RowLabels[i][c] = CellLabel(*this, font, cells[c], HiScoreColumnX[c], HiScoreRowY(i));
        if (lit) HighlightLabels[c] = RowLabels[i][c];
    }
}

void TW_HiScores::StepMe() {
    if (!Highlight) return;
    const uint32_t color = WhiteWithAlpha(PulseAlpha(LifeTime));
    for (TTexLabelEx* label : HighlightLabels)
        if (label) label->SetColor(color);
}

bool TW_HiScores::CanInteract() {
    return Buttons && !Buttons->Busy() && !PassageEffect;
}

bool TW_HiScores::KeyDown(uint16_t key) {
    if (key != VK_ESCAPE) return TW_Menu::KeyDown(key);
    if (!CanInteract()) return false;
    Buttons->SetButtonPressed(0);
    return true;
}

void TW_HiScores::OnButtonUp(TBasic*, int32_t index) {
    if (index != 0) return;
    if (RootGroup) {
        if (AfterGameOver)
            RootGroup->StartPlaying();
        else
            RootGroup->ShowMainMenu();
    }
    Dead = true;
}

TBasic* CreateHiScores() {
    return new TW_HiScores(HiScoresParam != 0);
}

} // namespace velmora
