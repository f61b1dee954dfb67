// The options window: music and sound volume bars applied at once, full screen / help /
// drag-and-drop check boxes; OK keeps the choices, Cancel (or Escape) puts back the opening values.
#pragma once

#include "ui/w_menu.h"

namespace velmora {

class TTrackBar;
class TCheckBox;

class TW_MenuOptions : public TW_Menu {
  public:
    TW_MenuOptions();

    bool KeyDown(uint16_t key) override;
    void MouseProc() override;
    const char* ClassName() const override { return "TW_MenuOptions"; }

    bool CanInteract() override;
    void CreateContent() override;
    void OnButtonUp(TBasic* sender, int32_t index) override;

    void Accept(); // OK
    void Cancel(); // Cancel: controls back to the opening values

    TTrackBar* MusicBar = nullptr;
    TTrackBar* SoundBar = nullptr;
    TCheckBox* FullScreenBox = nullptr;
    TCheckBox* ShowHelpBox = nullptr;
    TCheckBox* DragNDropBox = nullptr;
    float OpenMusicVolume = 0, OpenSoundVolume = 0;
    bool OpenFullScreen = false, OpenShowHelp = false, OpenDragNDrop = false;

  private:
    void OnMusicChange(TTrackBar* bar);
    void OnSoundChange(TTrackBar* bar);
    void OnFullScreenChange(TCheckBox* box);
    void OnShowHelpChange(TCheckBox* box);
    void OnDragNDropChange(TCheckBox* box);
};

TBasic* CreateMenuOptions();

} // namespace velmora
