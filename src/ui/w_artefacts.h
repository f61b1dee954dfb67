// The artefacts collected so far, one page per country reached, stacked and scrolled; after the
// last level of a country its artefact is revealed with a magic effect, then the story goes on.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ui/w_menu.h"

namespace velmora {

class TTexRect256;
class TTexLabelEx;
class TScrollBar;
class TGamePartMaster;
class TParticles;
class TArtMaster;
class TW_Dialog;

constexpr float cArtefactPageHeight = 1.1f; // world units per page
constexpr int32_t cBrokenArtefactCountry = 3;
constexpr int32_t cBrokenArtefactLevel = 23; // from this level on country 3's artefact lies broken

// World y of page p (1..country) at scroll position s (0..1).
float ArtefactPageY(float s, int32_t country, int32_t page);
// The reveal runs after the last level of a country, except for the broken artefact's country.
bool ArtefactRevealAfter(int32_t wonLevel);
// Page 3 shows only the broken artefact once the level just won is 23 or later.
bool ArtefactPageBroken(int32_t page, int32_t wonLevel);

class TW_Artefacts : public TW_Menu {
  public:
    TW_Artefacts();
    ~TW_Artefacts() override;
    bool KeyDown(uint16_t key) override;
    void MouseProc() override;
    const char* ClassName() const override { return "TW_Artefacts"; }
    bool CanInteract() override;
    void OnButtonUp(TBasic* sender, int32_t index) override;
    void OnDialogButtonUp(TBasic* sender, int32_t index) override;

    void LayoutPages();

    struct TPage {
        std::string Title, Text;
        TTexRect256* Split = nullptr;
        TTexRect256* Norm = nullptr;
        TTexRect256* Shad = nullptr;
        TTexRect256* Broken = nullptr;
        TTexLabelEx* TitleLabel = nullptr;
        TTexLabelEx* TextLabel = nullptr;
    };
    int32_t Country = 0;
    int32_t WonLevel = 0;
    TTexRect256* Back = nullptr;
    TGamePartMaster* Particles = nullptr;
    std::vector<TPage> Pages; // [0] is page 1
    TScrollBar* ScrollBar = nullptr;
    TParticles* Magic = nullptr;
    TArtMaster* Art = nullptr;
    TW_Dialog* Dialog = nullptr;
    bool MagicStarted = false;

  private:
    void CreateFrame();
    void CreatePage(int32_t p);
    void OnIdle(TStateEvent e);
    void OnReveal(TStateEvent e);
    void RevealStep(float t);
};

extern TW_Artefacts* ArtefactsWindow;

TBasic* CreateArtefacts();

} // namespace velmora
