#include "ui/w_artefacts.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "app/gamedat.h"
#include "app/log.h"
#include "app/options.h"
#include "app/sound.h"
#include "board/countries.h"
#include "board/gamevis.h"
#include "engine/group.h"
#include "render/blocks.h"
#include "render/itf.h"
#include "render/partmaster.h"
#include "render/texlabels.h"
#include "render/visual.h"
#include "ui/passage.h"
#include "ui/wincontrols.h"

namespace velmora {

TW_Artefacts* ArtefactsWindow = nullptr;

namespace {

constexpr float cRevealPeriod = 360;
// The artefact pictures hold the artefact alone: they stand where the art master assembles it, left
// of the page's text.
constexpr float cPictureOffsetX = -242;
// The art master puts its silhouette's corner 142 pixels above the point it is given; the 256-pixel
// pictures centred on the page start 128 above its centre: the art goes that much lower to meet them.
constexpr float cArtBelowPage = 142 - 128;
constexpr float cFlickerStep = 20;
constexpr int32_t cButtonTop = 536;
constexpr int32_t cButtonMargin = 40;

uint32_t WhiteWithAlpha(float a) {
    return static_cast<uint32_t>(std::lround(std::clamp(a, 0.0f, 1.0f) * 255)) << 24 | 0x00FFFFFFu;
}

std::string TwoDigits(int32_t n) {
    char text[16];
    std::snprintf(text, sizeof text, "%.2d", n);
    return text;
}

int32_t CountryOfLevel(int32_t level) {
    int32_t country = 0, inCountry = 0;
    LevelToCountry(level, country, inCountry);
    return country;
}

} // namespace

float ArtefactPageY(float s, int32_t country, int32_t page) {
    return s * cArtefactPageHeight * static_cast<float>(country - 1) -
           static_cast<float>(page - 1) * cArtefactPageHeight;
}

bool ArtefactRevealAfter(int32_t wonLevel) {
    return IsLastLevelOfCountry(wonLevel) && CountryOfLevel(wonLevel) != cBrokenArtefactCountry;
}

bool ArtefactPageBroken(int32_t page, int32_t wonLevel) {
    return page == cBrokenArtefactCountry && wonLevel >= cBrokenArtefactLevel;
}

TW_Artefacts::TW_Artefacts() {
    ArtefactsWindow = this;
    const bool hasPlayer = GameDat.CurrentPlayer >= 1 && GameDat.CurrentPlayer <= 4;
    WonLevel = hasPlayer ? CurrentPlayerRec().Level - 1 : 0;
    Country = std::clamp(CountryOfLevel(std::max(WonLevel, 1)), 1, cMaxCountries);
    if (WonLevel < 1) Log("TW_Artefacts.Create: no level won; the first country's page is shown");

    Back = Add(new TTexRect256(0, 0, "\\Textures\\Artefacts_TempBack.tga", false, 128));
    Back->Block1 = sbTexture;
    for (int32_t p = 1; p <= Country; ++p)
        CreatePage(p);
    if (WonLevel != cBrokenArtefactLevel) {
        Art = Add(new TArtMaster(Country, std::max(WonLevel, 1)));
    }
    Particles = Add(new TGamePartMaster());
    CreateFrame();
    SetTitles("TEXT_Title_Artefacts", "", -30, 0);
    Buttons = Add(new TButtonMaster());
    Buttons->CreateButton(0, "TEXT_Menu",
                          {cButtonMargin, cButtonTop, cWideButtonWidth, cDefaultButtonHeight});
    Buttons->CreateButton(
        1, "TEXT_Next",
        {ScreenWidth - cButtonMargin - cWideButtonWidth, cButtonTop, cWideButtonWidth, cDefaultButtonHeight});
    Buttons->SetButtonActive(1);
    ScrollBar = Add(new TScrollBar("\\Textures\\Artefacts_Controls.dscr"));
    ScrollBar->Visible = Country > 1;
    ScrollBar->SetPosition(1);
    ScrollBar->OnChange = [this](TScrollBar*) { LayoutPages(); };
    LayoutPages();
    SetStateInfo(1, &TW_Artefacts::OnIdle, cInfinitePeriod);
    SetStateInfo(2, &TW_Artefacts::OnReveal, cRevealPeriod);
    SetState(ArtefactRevealAfter(WonLevel) ? 2 : 1);
    FadeInFromSnapshot(*this);
    if (SoundDepot) SoundDepot->PlayMusic(sndMusic_Map, 1, true);
}

TW_Artefacts::~TW_Artefacts() {
    if (ArtefactsWindow == this) ArtefactsWindow = nullptr;
}

void TW_Artefacts::CreateFrame() {
    struct TFramePiece {
        const char* File;
        int32_t X, Y;
    };
    const TFramePiece pieces[4] = {
        {"\\Textures\\Artefacts_Up.tga", 0, 0},
        {"\\Textures\\Artefacts_Down.tga", 0, 520},
        {"\\Textures\\Artefacts_Left.tga", 0, 70},
        {Country == 1 ? "\\Textures\\Artefacts_Right.tga" : "\\Textures\\Artefacts_Right2.tga",
         Country == 1 ? 770 : 736, 70}};
    for (const TFramePiece& piece : pieces) {
        auto* pic = Add(new TTexRect256(piece.X, piece.Y, piece.File, false, 128));
        pic->Block1 = sbTexAlpha;
    }
}

void TW_Artefacts::CreatePage(int32_t p) {
    TPage page;
    page.Title = TextOf("TEXT_MAP_ArtTitle_" + TwoDigits(p));
    page.Text = TextOf("TEXT_MAP_ArtText_" + TwoDigits(p));
    auto picture = [&](const char* name) {
        auto* pic = Add(new TTexRect256(0, 0, CountryArtFile(p, name), true, 128));
        pic->Block1 = sbTexAlpha;
        return pic;
    };
    if (ArtefactPageBroken(p, WonLevel)) {
        page.Broken = picture("Broken");
    } else {
        page.Split = picture("Split");
        page.Shad = picture("Shad");
        page.Norm = picture("Norm");
        if (p == Country) page.Split->Visible = page.Shad->Visible = page.Norm->Visible = false;
    }
    TTexLabelExParams tp;
    tp.Font = Arts ? Arts : DefaultButtonFont;
    tp.HAlign = 1;
    tp.VAlign = 2;
    tp.Text = page.Title;
    page.TitleLabel = Add(new TTexLabelEx(tp));
    tp.Text = page.Text;
    tp.Font = History ? History : DefaultButtonFont;
    page.TextLabel = Add(new TTexLabelEx(tp));
    Pages.push_back(page);
}

void TW_Artefacts::LayoutPages() {
    const float s = ScrollBar ? ScrollBar->Position : 1;
    for (int32_t p = 1; p <= static_cast<int32_t>(Pages.size()); ++p) {
        TPage& page = Pages[p - 1];
        const float y = ArtefactPageY(s, Country, p);
        for (TTexRect256* pic : {page.Split, page.Norm, page.Shad, page.Broken})
            if (pic) {
                pic->X = cPictureOffsetX * PixelSize;
                pic->Y = y;
            }
        page.TitleLabel->X = -95 * PixelSize;
        page.TitleLabel->Y = y + 140 * PixelSize;
        page.TitleLabel->Layout();
        page.TextLabel->X = -95 * PixelSize;
        page.TextLabel->Y = y + 90 * PixelSize;
        page.TextLabel->Layout();
        if (p == Country && Art)
            Art->SetPosition(0, y - (cArtBelowPage + 0.25f) * PixelSize); // inside the pixel
    }
}

bool TW_Artefacts::CanInteract() {
    return Buttons && !Buttons->Busy() && !PassageEffect && State == 1 && !Dialog;
}

void TW_Artefacts::OnIdle(TStateEvent) {}

void TW_Artefacts::OnReveal(TStateEvent e) {
    if (e == seStart) {
        if (SoundDepot) SoundDepot->PlaySample(sndArtMagic);
        MagicStarted = false;
    }
    if (e == seRunning) RevealStep(StateTime);
    if (e == seFinish) {
        TPage& page = Pages.back();
        if (page.Norm) page.Norm->Block1 = sbTexAlpha;
        if (page.Shad) page.Shad->Block1 = sbTexAlpha;
        RevealStep(0);
        SetState(1);
    }
}

// First half: the pieces flicker; second half: the whole artefact and its shadow come out of the
// magic while the pieces fade to half.
void TW_Artefacts::RevealStep(float t) {
    if (Pages.empty()) return;
    TPage& page = Pages.back();
    if (!page.Split || !page.Norm || !page.Shad) return;
    if (t > 0.5f) {
        const bool on = static_cast<int32_t>(LifeTime / cFlickerStep) % 2 == 0;
        page.Split->Visible = true;
        page.Split->SetColor(WhiteWithAlpha(on ? 1.0f : 0.4f));
        return;
    }
    if (!MagicStarted) {
        MagicStarted = true;
        const int32_t py =
            WorldToPixelY(ArtefactPageY(ScrollBar ? ScrollBar->Position : 1, Country, Country));
        if (Particles)
            Magic = Particles->StartAtPixel("@ArtMagic.prt",
                                            ScreenWidth / 2 + static_cast<int32_t>(cPictureOffsetX), py + 14);
        page.Norm->Block1 = page.Shad->Block1 = sbTexModAlpha;
    }
    const float a = std::min(1 - 2 * t, 1.0f);
    page.Norm->Visible = page.Shad->Visible = true;
    page.Norm->SetColor(WhiteWithAlpha(a));
    page.Shad->SetColor(WhiteWithAlpha(a));
    page.Split->SetColor(WhiteWithAlpha((1 - a) * 0.5f));
}

void TW_Artefacts::OnButtonUp(TBasic*, int32_t index) {
    if (Dead) return;
    if (index == 0) {
        Add(new TW_Dialog(&Dialog, dkYesNo, "TEXT_Title_EXITGAME", "TEXT_Subtitle_SaveAndExit"));
        return;
    }
    if (index != 1) return;
    if (RootGroup) {
        if (IsLastLevelOfCountry(WonLevel))
            RootGroup->ShowHistory(static_cast<uint8_t>(Country + 2));
        else
            RootGroup->StartPlaying();
    }
    Dead = true;
}

void TW_Artefacts::OnDialogButtonUp(TBasic*, int32_t index) {
    if (index != 0) return;
    SaveGameDat();
    if (RootGroup) RootGroup->ShowMainMenu();
    Dead = true;
}

bool TW_Artefacts::KeyDown(uint16_t key) {
    if (Dead || !CanInteract()) return false;
    // Up and Down read the text; Escape is the way back to the menu.
    if ((key == VK_UP || key == VK_DOWN) && ScrollBar && ScrollBar->Visible) {
        ScrollBar->SetPosition(ScrollBar->Position + (key == VK_DOWN ? 0.1f : -0.1f));
        return true;
    }
    if (key == VK_ESCAPE) {
        Buttons->SetButtonPressed(0);
        return true;
    }
    return Buttons->KeyDown(key);
}

void TW_Artefacts::MouseProc() {
    if (Dead || !CanInteract()) return;
    if (ScrollBar && ScrollBar->Visible && ScrollBar->MouseOver()) {
        ScrollBar->MouseProc();
        return;
    }
    Buttons->MouseProc();
}

TBasic* CreateArtefacts() {
    return new TW_Artefacts();
}

} // namespace velmora
