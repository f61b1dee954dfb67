// The options window: music and sound volume bars applied at once, full screen / help /
// drag-and-drop check boxes, the language (stored on OK, in force from the next start); OK keeps
// the choices, Cancel (or Escape) puts back the opening values.
#pragma once

#include <array>
#include <string>

#include "app/language.h"
#include "ui/w_menu.h"

namespace velmora {

class TTrackBar;
class TCheckBox;
class TIndexedTextureFont;
class TTexLabelEx;
class TKeyRows;

class TW_MenuOptions : public TW_Menu {
  public:
    // ownWindow: opened by its window code rather than over the main menu; it brings the menu's
    // scene and leads back to the main menu when it closes.
    explicit TW_MenuOptions(bool ownWindow = false);

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
    TKeyRows* KeyRows = nullptr; // the bars and boxes from the keyboard
    float OpenMusicVolume = 0, OpenSoundVolume = 0;
    bool OpenFullScreen = false, OpenShowHelp = false, OpenDragNDrop = false;
    bool OwnWindow = false;
    // The language choice: one box per language, its name in its own letters; exactly one checked.
    std::array<TCheckBox*, cLanguageCount> LanguageBoxes{};
    TIndexedTextureFont* LanguageNamesFont = nullptr; // owned, a child of the window
    TTexLabelEx* LanguageNote = nullptr;              // says when the choice takes effect
    std::string OpenLanguage, ChosenLanguage;         // codes

  private:
    void CreateLanguageChoice();
    void OnLanguageChange(int32_t index, TCheckBox* box);
    void OnMusicChange(TTrackBar* bar);
    void OnSoundChange(TTrackBar* bar);
    void OnFullScreenChange(TCheckBox* box);
    void OnShowHelpChange(TCheckBox* box);
    void OnDragNDropChange(TCheckBox* box);
};

TBasic* CreateMenuOptions();
TBasic* CreateMenuOptionsWindow(); // window code 12

} // namespace velmora
