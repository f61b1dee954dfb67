// The name entry box of the player list: one text input typed through the layout of the game's
// language, OK and Cancel; both answer the player list, which decides whether the box closes.
#pragma once

#include <cstdint>
#include <string>

#include "ui/w_menu.h"

namespace velmora {

class TTextInput;

constexpr int32_t cMaxNameLength = 11;

class TW_MenuName : public TW_Menu {
  public:
    // newPlayer: the name of a player to be created; otherwise the current player's new name.
    TW_MenuName(bool newPlayer, const std::string& name);
    ~TW_MenuName() override;

    bool KeyDown(uint16_t key) override;
    void MouseProc() override;
    const char* ClassName() const override { return "TW_MenuName"; }

    bool CanInteract() override;
    void CreateContent() override;
    void OnButtonUp(TBasic* sender, int32_t index) override;
    void OnDialogButtonUp(TBasic* sender, int32_t index) override; // the notice closed

    void ShowNotice(const std::string& title, const std::string& subtitle);
    std::string Name() const;

    bool NewPlayer = true;
    TTextInput* Input = nullptr;
    TW_Dialog* Notice = nullptr;
};

} // namespace velmora
