// The instructions: four small looping demonstrations with their texts (swap, cascade, slices to the
// bottom, bonuses). Before a level a check box can turn the window off for the future.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "render/spline.h"
#include "render/visual.h"
#include "ui/w_menu.h"

namespace velmora {

class TTexRect256;
class TTexLabelEx;
class TCheckBox;
class TKeyRows;
class TGamePartMaster;
class TParticles;

// A chip of a demonstration board: a coloured tile.
class THelpChip : public TColorRect {
  public:
    const char* ClassName() const override { return "THelpChip"; }
    uint32_t Rgb = 0;
};

// One demonstration pane: a picture area at (Left, Top) and its text below.
class TCustomHelpWin : public TStater {
  public:
    TCustomHelpWin(int32_t left, int32_t top, const std::string& textKey);
    const char* ClassName() const override { return "TCustomHelpWin"; }
    THelpChip* MakeChip(int32_t colour, int32_t px, int32_t py);
    void PlaceChip(THelpChip* chip, float px, float py);
    void SetChipAlpha(THelpChip* chip, float alpha);
    void Burst(const std::string& effect, int32_t px, int32_t py);

    int32_t Left = 0, Top = 0;
    TTexLabelEx* Text = nullptr;
};

constexpr int32_t cHelpChip = 24; // pixels of a chip in the panes
constexpr int32_t cPointerPoints = 7;
constexpr int32_t cPointerSteps = 50;

// Pane 1: a 5 x 3 board; the pointer travels a seven-point path, swaps two chips, a line of three
// bursts and the chips above drop in.
class THelpWin1 : public TCustomHelpWin {
  public:
    THelpWin1(int32_t left, int32_t top);
    const char* ClassName() const override { return "THelpWin1"; }
    void OnLoop(TStateEvent e);
    void Reset();
    THelpChip* Chips[5][3] = {};
    TColorRect* Pointer = nullptr;
    TSplinePath Path;
    bool Burst1 = false;
};

// Pane 2: a cascade: one line falls into a second.
class THelpWin2 : public TCustomHelpWin {
  public:
    THelpWin2(int32_t left, int32_t top);
    const char* ClassName() const override { return "THelpWin2"; }
    void OnLoop(TStateEvent e);
    THelpChip* Chips[4][4] = {};
    int32_t Stage = 0;
};

// Pane 3: a slice falls to the bottom and flies into its place in the vase.
class THelpWin3 : public TCustomHelpWin {
  public:
    THelpWin3(int32_t left, int32_t top);
    const char* ClassName() const override { return "THelpWin3"; }
    void OnLoop(TStateEvent e);
    TTexRect256* Vase = nullptr;
    TTexRect256* Slice = nullptr;
    TParticles* Trail = nullptr;
    bool Landed = false;
};

// Pane 4: the four stored bonuses light up one after another.
class THelpWin4 : public TCustomHelpWin {
  public:
    THelpWin4(int32_t left, int32_t top);
    const char* ClassName() const override { return "THelpWin4"; }
    void OnLoop(TStateEvent e);
    TTexRect256* Bonuses = nullptr;
};

class TW_Help : public TW_Menu {
  public:
    explicit TW_Help(bool beforeLevel);
    ~TW_Help() override;
    bool KeyDown(uint16_t key) override;
    void MouseProc() override;
    const char* ClassName() const override { return "TW_Help"; }
    bool CanInteract() override;
    void OnButtonUp(TBasic* sender, int32_t index) override;

    bool BeforeLevel = false;
    TCheckBox* DontShow = nullptr;
    TKeyRows* KeyRows = nullptr; // the check box from the keyboard
    TTexRect256* Frame = nullptr;
    TGamePartMaster* Particles = nullptr;
};

extern TW_Help* HelpWindow;
extern bool HelpShownThisVisit;
extern THelpWin1* HelpWin1;
extern THelpWin2* HelpWin2;
extern THelpWin3* HelpWin3;
extern THelpWin4* HelpWin4;

TBasic* CreateHelp();

} // namespace velmora
