// The campaign map between levels: the map of the country of the player's next level, a mark on
// every town (played, next - blinking - and still ahead), Start for the next level and Menu to
// leave for the main menu.
#pragma once

#include <cstdint>

#include "board/countries.h"
#include "ui/w_menu.h"

namespace velmora {

class TTexRect;
class TTexRect256;

// Offset from a town's coordinates in the country table to its screen pixel.
constexpr int32_t cMapOffsetX = 13, cMapOffsetY = 69;

class TW_MenuMap : public TW_Menu {
  public:
    TW_MenuMap();
    ~TW_MenuMap() override;

    bool KeyDown(uint16_t key) override;
    void MouseProc() override;
    void StepMe() override;
    const char* ClassName() const override { return "TW_MenuMap"; }

    bool CanInteract() override;
    void CreateContent() override;
    void OnButtonUp(TBasic* sender, int32_t index) override;
    void OnDialogButtonUp(TBasic* sender, int32_t index) override;

    // Texture of town i's mark at this moment (the current town blinks between done and current).
    int32_t MarkTexture(int32_t town) const;
    bool MouseOnCurrentTown() const;

    TTexRect256* MapPicture = nullptr;
    TTexRect256* BorderUp = nullptr;
    TTexRect256* BorderDown = nullptr;
    TTexRect256* BorderLeft = nullptr;
    TTexRect256* BorderRight = nullptr;
    int32_t Country = 1;
    int32_t CurrentTown = 1;
    int32_t TownCount = 0;
    int32_t MarkX[cMaxLevelsPerCountry + 1] = {};
    int32_t MarkY[cMaxLevelsPerCountry + 1] = {};
    TTexRect* Marks[cMaxLevelsPerCountry + 1] = {};
    TW_Dialog* Dialog = nullptr;

  private:
    void ReadPlayerPlace();
    void CreateMarks();
    void CreateTitles();
    void ShowMark(int32_t town, int32_t texId);
};

extern TW_MenuMap* MapWindow;

TBasic* CreateMenuMap();

} // namespace velmora
